// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShelfRow.h"

#include "core/TextDirection.h"
#include "model/EntryText.h"
#include "platform/MainQueue.h"
#include "ui/Accessibility.h"
#include "ui/SymbolIcons.h"
#include "ui/panel/DragPayload.h"
#include "ui/panel/PanelStyle.h"
#include "ui/panel/PanelWidgets.h"

#include <QApplication>
#include <QCursor>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScopedValueRollback>
#include <QTextBlock>

#include <utility>

namespace nookary {

namespace {

constexpr int kBadgeRoom = 32;
constexpr int kTrailingRoom = 4;
constexpr int kOverlayInset = 6;
// Between the text and the badge or the hover buttons.
constexpr int kBadgeGap = 6;

// The row's padding with `room` more at the trailing edge, where the badge and the hover
// buttons lie: the left one in a mirrored row.
QMargins paddingWithTrailingRoom(const QWidget &row, int room)
{
    const int leading = PanelStyle::rowPaddingH;
    const int trailing = PanelStyle::rowPaddingH + room;
    return row.isRightToLeft()
        ? QMargins(trailing, PanelStyle::rowPaddingV, leading, PanelStyle::rowPaddingV)
        : QMargins(leading, PanelStyle::rowPaddingV, trailing, PanelStyle::rowPaddingV);
}

// Swallows clicks, so that pressing the handle never copies the snippet; pressing and
// moving past the drag distance starts the reorder drag.
class DragGrip final : public QWidget {
public:
    DragGrip(std::function<void(QPoint)> onDragStart, QWidget *parent)
        : QWidget(parent)
        , m_onDragStart(std::move(onDragStart))
    {
        setFixedWidth(22);
        setCursor(Qt::OpenHandCursor);
        Accessibility::setRole(this, QAccessible::Grip);
        Accessibility::setName(
            this, QCoreApplication::translate("nookary::ShelfRow", "Drag to reorder"));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QPixmap icon = SymbolIcons::pixmap(
            QStringLiteral("line.3.horizontal"), 14, PanelStyle::secondary(), devicePixelRatioF());
        painter.drawPixmap((width() - 14) / 2, (height() - 14) / 2, icon);
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        event->accept();
        m_pressedAt = event->button() == Qt::LeftButton ? std::optional(event->position().toPoint())
                                                        : std::nullopt;
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        event->accept();
        if (!m_pressedAt || !(event->buttons() & Qt::LeftButton))
            return;
        if ((event->position().toPoint() - *m_pressedAt).manhattanLength()
            < QApplication::startDragDistance())
            return;
        const QPoint start = *std::exchange(m_pressedAt, std::nullopt);
        if (m_onDragStart)
            m_onDragStart(start);
    }
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        event->accept();
        m_pressedAt.reset();
    }

private:
    std::function<void(QPoint)> m_onDragStart;
    std::optional<QPoint> m_pressedAt;
};

// A small rounded overlay on the "ultra-thin material".
class Capsule final : public QWidget {
public:
    Capsule(int radius, QWidget *parent)
        : QWidget(parent)
        , m_radius(radius)
    {
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()), m_radius, m_radius);
        painter.fillPath(path, PanelStyle::overlayFill());
    }

private:
    int m_radius;
};

} // namespace

// SnippetEditor

SnippetEditor::SnippetEditor(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setFont(PanelStyle::subheadline());
    setFrameStyle(QFrame::NoFrame);
    setFixedHeight(104);
    setTabChangesFocus(true);
    Accessibility::setName(this, tr("Snippet text"));
    viewport()->setAutoFillBackground(false);
    setStyleSheet(QStringLiteral("QPlainTextEdit { background: transparent; color: %1; }")
                      .arg(PanelStyle::primary().name(QColor::HexArgb)));
    connect(this, &QPlainTextEdit::textChanged, this, &SnippetEditor::keepWithinLimit);
    connect(this, &QPlainTextEdit::textChanged, this, &SnippetEditor::followTextDirection);
    followTextDirection();
}

void SnippetEditor::followTextDirection()
{
    // As the row shows the snippet, so that its text keeps its side when editing starts and
    // ends: by the first strong character of its first line, else the panel's direction.
    const Qt::LayoutDirection direction
        = TextDirection::ofFirstStrongCharacter(document()->firstBlock().text())
              .value_or(layoutDirection());
    QTextOption option = document()->defaultTextOption();
    if (option.textDirection() == direction)
        return;
    option.setTextDirection(direction);
    // The plain text layout aligns to the left whatever the direction, unless told.
    option.setAlignment(
        (direction == Qt::RightToLeft ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignAbsolute);
    document()->setDefaultTextOption(option);
}

void SnippetEditor::keepWithinLimit()
{
    const QString text = toPlainText();
    if (text.size() <= maxEntryCharacters)
        return;
    const QString kept = firstCharacters(text, maxEntryCharacters);
    if (kept.size() == text.size())
        return;
    const QSignalBlocker blocker(this);
    setPlainText(kept);
    moveCursor(QTextCursor::End);
}

void SnippetEditor::focusOutEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusOutEvent(event);
    // Its own context menu, or another window or application taking focus, is not the
    // user leaving the edit: focus comes back here afterwards. Closing the panel commits
    // through the row being hidden instead.
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
        return;
    Q_EMIT focusLost();
}

// ShelfRow

ShelfRow::ShelfRow(const QUuid &id, const QString &text, QWidget *parent)
    : RowFrame(id, parent)
    , m_handle(new DragGrip(
          [this](QPoint pressed) { Q_EMIT handleDragRequested(m_handle->mapTo(this, pressed)); },
          this))
    , m_label(new ElidedLabel(this))
    , m_note(new RowNote(this))
    , m_actions(new Capsule(10, this))
    , m_editButton(new SymbolButton(QStringLiteral("pencil"), 13, {}, m_actions))
    , m_deleteButton(new SymbolButton(QStringLiteral("trash"), 13, {}, m_actions))
    , m_badge(new QLabel(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(PanelStyle::rowPaddingH, PanelStyle::rowPaddingV,
        PanelStyle::rowPaddingH, PanelStyle::rowPaddingV);
    layout->setSpacing(8);
    layout->addWidget(m_handle);
    layout->addWidget(m_label, 1);
    layout->addWidget(m_note);

    auto *actions = new QHBoxLayout(m_actions);
    actions->setContentsMargins(10, 6, 10, 6);
    actions->setSpacing(8);
    actions->addWidget(m_editButton);
    actions->addWidget(m_deleteButton);
    // The keys that do the same on the selected snippet.
    m_editButton->setToolTip(
        tr("Edit (%1)").arg(QKeySequence(Qt::Key_F2).toString(QKeySequence::NativeText)));
    m_deleteButton->setToolTip(
        tr("Delete (%1)").arg(QKeySequence(Qt::Key_Delete).toString(QKeySequence::NativeText)));
    Accessibility::setName(m_editButton, tr("Edit"));
    Accessibility::setName(m_deleteButton, tr("Delete"));
    Accessibility::setRole(m_actions, QAccessible::Grouping);
    connect(m_editButton, &QAbstractButton::clicked, this, &ShelfRow::editRequested);
    connect(m_deleteButton, &QAbstractButton::clicked, this, &ShelfRow::deleteRequested);

    m_badge->setFont(PanelStyle::caption2());
    m_badge->setContentsMargins(8, 4, 8, 4);
    m_badge->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_badge->setStyleSheet(
        QStringLiteral("QLabel { color: %1; background: %2; border-radius: 8px; }")
            .arg(PanelStyle::secondary().name(QColor::HexArgb),
                PanelStyle::overlayFill().name(QColor::HexArgb)));

    connect(this, &RowFrame::clicked, this, [this] {
        if (!isEditing())
            Q_EMIT copyRequested(m_text);
    });
    setText(text);
    updateTrailing();
}

void ShelfRow::setText(const QString &text)
{
    m_text = text;
    m_label->setText(displayText(text));
}

void ShelfRow::setNote(const QString &note)
{
    m_note->setNote(note);
    m_note->setVisible(!note.isEmpty() && !isEditing());
}

QString ShelfRow::shownText() const
{
    return m_label->shownText();
}

void ShelfRow::setShortcutLabel(const QString &label)
{
    if (label == m_shortcutLabel)
        return;
    m_shortcutLabel = label;
    m_badge->setText(label);
    m_badge->adjustSize();
    updateTrailing();
}

void ShelfRow::setEditing(bool editing)
{
    if (editing == isEditing())
        return;
    auto *layout = static_cast<QHBoxLayout *>(this->layout());
    if (editing) {
        m_editor = new SnippetEditor(this);
        m_editor->setPlainText(m_text);
        m_editor->moveCursor(QTextCursor::End);
        connect(m_editor, &SnippetEditor::focusLost, this,
            [this] { Q_EMIT draftDone(m_editor->toPlainText()); });
        DragPayload::refuseShelfHandleDrops(m_editor);
        m_label->hide();
        m_note->hide();
        layout->insertWidget(2, m_editor, 1);
        layout->setContentsMargins(paddingWithTrailingRoom(*this, kTrailingRoom));
        postToNextTurn(m_editor, [editor = m_editor] { editor->setFocus(Qt::OtherFocusReason); });
    } else {
        // Disconnected first: a focus change while it goes must not commit the draft.
        m_editor->disconnect(this);
        // Hidden with the focus, it would pass it on to the next control; the panel gives
        // it to the search field instead.
        if (m_editor->hasFocus())
            m_editor->clearFocus();
        m_editor->deleteLater();
        m_editor->hide();
        m_editor = nullptr;
        m_label->show();
        m_note->setVisible(!m_note->text().isEmpty());
        layout->setContentsMargins(PanelStyle::rowPaddingH, PanelStyle::rowPaddingV,
            PanelStyle::rowPaddingH, PanelStyle::rowPaddingV);
    }
    updateTrailing();
}

QString ShelfRow::draftText() const
{
    return m_editor ? m_editor->toPlainText() : QString();
}

QRect ShelfRow::textGeometry() const
{
    return m_label->geometry();
}

QRect ShelfRow::badgeGeometry() const
{
    return m_badge->geometry();
}

bool ShelfRow::showsActions() const
{
    return !isEditing() && m_hovering;
}

bool ShelfRow::showsBadge() const
{
    return !isEditing() && !m_hovering && !m_shortcutLabel.isEmpty();
}

void ShelfRow::enterEvent(QEnterEvent *event)
{
    m_hovering = true;
    updateTrailing();
    RowFrame::enterEvent(event);
}

void ShelfRow::leaveEvent(QEvent *event)
{
    m_hovering = false;
    updateTrailing();
    RowFrame::leaveEvent(event);
}

void ShelfRow::hideEvent(QHideEvent *event)
{
    // The panel closed (or the row left the list) with the editor open: whatever closed
    // it, the draft is kept. A popup that closes sends its widgets no focus-out.
    if (m_editor)
        Q_EMIT draftDone(m_editor->toPlainText());
    RowFrame::hideEvent(event);
    if (m_hovering) {
        m_hovering = false;
        updateTrailing();
    }
}

void ShelfRow::showEvent(QShowEvent *event)
{
    RowFrame::showEvent(event);
    followPointer();
}

void ShelfRow::moveEvent(QMoveEvent *event)
{
    RowFrame::moveEvent(event);
    followPointer();
}

void ShelfRow::resizeEvent(QResizeEvent *event)
{
    RowFrame::resizeEvent(event);
    updateTrailing();
    followPointer();
}

void ShelfRow::followPointer()
{
    // When the list changes under a resting pointer (a filter typed, an editor closed), rows
    // slide under it or away from it, and Qt tells them only once the pointer moves again.
    if (!isVisible() || m_updatingTrailing)
        return;
    const bool under = visibleRegion().contains(mapFromGlobal(QCursor::pos()));
    if (under == m_hovering)
        return;
    m_hovering = under;
    updateTrailing();
}

void ShelfRow::updateTrailing()
{
    // Hiding a button under the pointer makes Qt send this row enter and leave events from
    // inside the hide; answered there, they hid it again without end (a stack overflow).
    // What they said is applied once more afterwards, and no more: they may go on
    // alternating as long as buttons come and go under the pointer.
    if (m_updatingTrailing) {
        m_trailingStale = true;
        return;
    }
    const QScopedValueRollback busy(m_updatingTrailing, true);
    applyTrailing();
    if (std::exchange(m_trailingStale, false))
        applyTrailing();
    m_trailingStale = false;
}

void ShelfRow::applyTrailing()
{
    m_actions->setVisible(showsActions());
    m_badge->setVisible(showsBadge());
    m_actions->adjustSize();
    if (!isEditing()) {
        const auto roomFor = [](const QWidget *overlay) {
            return kOverlayInset + overlay->width() + kBadgeGap - PanelStyle::rowPaddingH;
        };
        int room = kTrailingRoom;
        if (m_hovering) {
            // A text that starts at the buttons' side (Hebrew in an English panel) keeps
            // clear of them; one that only ends there may run under them.
            if (m_label->textDirection() != layoutDirection())
                room = roomFor(m_actions);
        } else if (!m_shortcutLabel.isEmpty()) {
            // "Ctrl+1" is wider than the glyph badge the 32 were measured for: the text
            // makes room for the badge as it is drawn.
            room = std::max(kBadgeRoom, roomFor(m_badge));
        }
        layout()->setContentsMargins(paddingWithTrailingRoom(*this, room));
    }
    // At the trailing edge: the left one in a mirrored panel.
    const auto trailing = [this](const QWidget *overlay) {
        return isRightToLeft() ? kOverlayInset : width() - kOverlayInset - overlay->width();
    };
    m_actions->move(trailing(m_actions), (height() - m_actions->height()) / 2);
    m_actions->raise();
    m_badge->move(trailing(m_badge), (height() - m_badge->height()) / 2);
    m_badge->raise();
}

// AddShelfRow

AddShelfRow::AddShelfRow(QWidget *parent)
    : QWidget(parent)
    , m_label(new QLabel(this))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(10, 6, 10, 6);
    layout->addWidget(m_label);
    // The invitation is a sentence: it wraps rather than lose its end in a narrow column.
    m_label->setWordWrap(true);
    m_label->setFont(PanelStyle::subheadline());
    m_label->setAttribute(Qt::WA_TransparentForMouseEvents);
    setColor(PanelStyle::secondary());
    setCursor(Qt::PointingHandCursor);
    // A button for the keyboard and for readers too (Ctrl+N does the same from anywhere).
    Accessibility::install();
    setFocusPolicy(Qt::TabFocus);
    setToolTip(tr("Add a snippet (%1)")
                   .arg(QKeySequence(QKeySequence::New).toString(QKeySequence::NativeText)));
    setListEmpty(true);
}

void AddShelfRow::setColor(const QColor &color)
{
    QColor shown = color;
    if (!isEnabled())
        shown.setAlpha(color.alpha() / 2);
    m_label->setStyleSheet(QStringLiteral("color: %1;").arg(shown.name(QColor::HexArgb)));
}

void AddShelfRow::setRefusal(const QString &reason)
{
    setEnabled(reason.isEmpty());
    setToolTip(reason);
    setCursor(reason.isEmpty() ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void AddShelfRow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        setColor(isEnabled() && underMouse() ? PanelStyle::primary() : PanelStyle::secondary());
}

void AddShelfRow::setListEmpty(bool empty)
{
    m_label->setText(
        empty ? tr("Drag from History or add a snippet\u2026") : tr("Add a snippet\u2026"));
    Accessibility::setName(this, m_label->text());
}

QString AddShelfRow::text() const
{
    return m_label->text();
}

void AddShelfRow::enterEvent(QEnterEvent *event)
{
    setColor(PanelStyle::primary());
    QWidget::enterEvent(event);
}

void AddShelfRow::leaveEvent(QEvent *event)
{
    setColor(PanelStyle::secondary());
    QWidget::leaveEvent(event);
}

void AddShelfRow::keyPressEvent(QKeyEvent *event)
{
    const bool bare = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    const int key = event->key();
    if (bare && (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        Q_EMIT clicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

void AddShelfRow::focusInEvent(QFocusEvent *event)
{
    update();
    QWidget::focusInEvent(event);
}

void AddShelfRow::focusOutEvent(QFocusEvent *event)
{
    update();
    QWidget::focusOutEvent(event);
}

void AddShelfRow::paintEvent(QPaintEvent *)
{
    if (!hasFocus())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(PanelStyle::accent(), 1.5));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75), 6, 6);
}

void AddShelfRow::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void AddShelfRow::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

} // namespace nookary
