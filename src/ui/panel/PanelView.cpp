// SPDX-License-Identifier: GPL-3.0-or-later
#include "PanelView.h"

#include "model/AppModel.h"
#include "model/EntryText.h"
#include "platform/MainQueue.h"
#include "ui/Accessibility.h"
#include "ui/SymbolIcons.h"
#include "ui/panel/DragPayload.h"
#include "ui/panel/HistoryColumn.h"
#include "ui/panel/HistoryRow.h"
#include "ui/panel/PanelActions.h"
#include "ui/panel/PanelStyle.h"
#include "ui/panel/PanelWidgets.h"
#include "ui/panel/ShelfColumn.h"
#include "ui/panel/ShelfRow.h"
#include "ui/panel/UndoBar.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStackedLayout>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace nookary {

namespace {

constexpr int kStrip = 14;
constexpr int kFooterHeight = 32;
constexpr int kBottomStripGap = 40;
constexpr std::chrono::seconds noticeDuration { 5 };

QFrame *line(QFrame::Shape shape, QWidget *parent)
{
    auto *frame = new QFrame(parent);
    frame->setFrameShape(QFrame::NoFrame);
    frame->setAutoFillBackground(false);
    frame->setStyleSheet(
        QStringLiteral("background: %1;").arg(PanelStyle::divider().name(QColor::HexArgb)));
    if (shape == QFrame::VLine)
        frame->setFixedWidth(1);
    else
        frame->setFixedHeight(1);
    return frame;
}

// The resize grip's symbol over its resize area; hovering anywhere in it lights the symbol.
class ResizeGrip final : public QWidget {
public:
    explicit ResizeGrip(QWidget *parent)
        : QWidget(parent)
        , m_area(new WindowResizeHandle(this))
    {
        setFixedSize(18, 18);
        setAttribute(Qt::WA_Hover);
        setCursor(isRightToLeft() ? Qt::SizeBDiagCursor : Qt::SizeFDiagCursor);
        Accessibility::setRole(this, QAccessible::Grip);
        Accessibility::setName(this, QCoreApplication::translate("nookary::PanelView", "Resize"));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        const QColor color = underMouse() ? PanelStyle::primary() : PanelStyle::secondary();
        if (isRightToLeft()) // in the bottom-left corner, pointing into it
            painter.setTransform(QTransform(-1, 0, 0, 1, width(), 0));
        painter.drawPixmap(3, 3,
            SymbolIcons::pixmap(QStringLiteral("arrow.down.right.and.arrow.up.left"), 12, color,
                devicePixelRatioF()));
    }
    void enterEvent(QEnterEvent *) override { update(); }
    void leaveEvent(QEvent *) override { update(); }

private:
    WindowResizeHandle *m_area;
};

} // namespace

PanelView::PanelView(AppModel &model, PanelActions &actions, Clock &clock, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_panel(model.panelState())
    , m_snippets(model.savedSnippets())
    , m_clipboardHistory(model.clipboardHistory())
    , m_actions(actions)
    , m_search(new QLineEdit(this))
    , m_history(new HistoryColumn(model, [this](const QString &text) { m_actions.choose(text); }))
    , m_saved(
          new ShelfColumn(model, clock, [this](const QString &text) { m_actions.choose(text); }))
    , m_topStrip(new WindowDragHandle(this))
    , m_leftStrip(new WindowDragHandle(this))
    , m_rightStrip(new WindowDragHandle(this))
{
    setMinimumSize(minimumPanelSize);
    setAttribute(Qt::WA_TranslucentBackground);

    m_search->setPlaceholderText(tr("Search"));
    Accessibility::setName(m_search, tr("Search"));
    Accessibility::setKeyboardHome(m_search);
    m_search->installEventFilter(this);
    m_search->setClearButtonEnabled(false);
    m_search->setFont(PanelStyle::font(13));
    m_search->setStyleSheet(
        QStringLiteral("QLineEdit { background: rgba(255,255,255,18); color: %1; border: 1px solid "
                       "rgba(255,255,255,40);"
                       " border-radius: 6px; padding: 3px 6px; selection-background-color: %2; }"
                       "QLineEdit:focus { border: 1px solid %2; }")
            .arg(PanelStyle::primary().name(QColor::HexArgb), PanelStyle::accent().name()));
    QPalette searchPalette = m_search->palette();
    searchPalette.setColor(QPalette::PlaceholderText, PanelStyle::secondary());
    m_search->setPalette(searchPalette);
    // Qt puts an empty field's caret on the keyboard's side; it belongs where the
    // placeholder is, at the panel's leading edge. A typed text takes its own side.
    const auto placeCaret = [this] {
        m_search->setAlignment(m_search->text().isEmpty()
                ? QStyle::visualAlignment(layoutDirection(), Qt::AlignLeft)
                : Qt::AlignLeft);
    };
    connect(m_search, &QLineEdit::textChanged, this, placeCaret);
    m_search->setText(m_panel.query());
    placeCaret();
    connect(m_search, &QLineEdit::textEdited, this,
        [this](const QString &text) { m_panel.setQuery(text); });
    DragPayload::refuseShelfHandleDrops(m_search);

    auto *searchRow = new QHBoxLayout;
    searchRow->setContentsMargins(16, 16, 16, 0);
    searchRow->setSpacing(8);
    searchRow->addWidget(m_search, 1);
    searchRow->addStretch(1);

    auto *columns = new QHBoxLayout;
    columns->setContentsMargins(16, 0, 16, 0);
    columns->setSpacing(16);
    columns->addWidget(m_history, 1);
    columns->addWidget(line(QFrame::VLine, this));
    columns->addWidget(m_saved, 1);

    auto *content = new QVBoxLayout(this);
    content->setContentsMargins(0, 0, 0, 8);
    content->setSpacing(8);
    content->addLayout(searchRow);
    content->addLayout(columns, 1);
    content->addWidget(line(QFrame::HLine, this));
    content->addWidget(makeFooter());

    for (QWidget *strip : edgeStrips())
        strip->raise();

    connect(&m_panel, &PanelState::queryChanged, this, &PanelView::onQueryChanged);
    // An undo button hidden with the keys hands them back to the search field.
    for (UndoBar *bar : { m_history->undoBar(), m_saved->undoBar() })
        connect(bar, &UndoBar::keysGivenUp, this, &PanelView::focusSearch);
    connect(&m_model.settings(), &Settings::openPresentationChanged, this,
        &PanelView::syncPresentation);
    connect(&m_model.settings(), &Settings::keepWindowPinnedChanged, this, &PanelView::syncPin);
    for (auto signal : { &PanelState::selectedColumnChanged, &PanelState::selectedShelfIDChanged,
             &PanelState::selectedHistoryIDChanged, &PanelState::selectionRevealRequested })
        connect(&m_panel, signal, this, [this] { announceSelectionOnNextTurn(); });
    connect(
        &m_panel, &PanelState::queryChanged, this, [this] { announceSelectionOnNextTurn(false); });
    connect(
        &m_snippets, &Shelf::editingIDChanged, this, &PanelView::focusSearchAfterEditOnNextTurn);
    syncPresentation();
    setTabOrder();
}

PanelView::~PanelView()
{
    // QWidget's destructor hides the rows, and an open editor saves its draft: the model's
    // signals must not reach this view, half gone by then.
    const QObject *senders[]
        = { &m_model, &m_model.settings(), &m_panel, &m_snippets, &m_clipboardHistory };
    for (const QObject *sender : senders)
        disconnect(sender, nullptr, this, nullptr);
}

void PanelView::setTabOrder()
{
    // Reading order: the search field, the history column, the saved column, the footer.
    // Rows take no focus: the arrows move among them from the search field.
    const QList<QWidget *> order { m_search, m_history->undoBar()->undoButton(), m_saved->addRow(),
        m_saved->undoBar()->undoButton(), m_clear, m_pin, m_settings };
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

QWidget *PanelView::selectedRow() const
{
    if (m_panel.selectedColumn() == AppModel::Column::history)
        return m_history->row(m_panel.selectedHistoryID());
    return m_saved->row(m_panel.selectedShelfID());
}

void PanelView::announceSelectionOnNextTurn(bool moved)
{
    m_selectionMoved = m_selectionMoved || moved;
    if (std::exchange(m_announcePending, true))
        return;
    postToNextTurn(this, [this] {
        m_announcePending = false;
        const bool moved = std::exchange(m_selectionMoved, false);
        const bool nothingMatches = !m_panel.query().trimmed().isEmpty()
            && m_panel.filteredHistory().isEmpty() && m_panel.filteredShelf().isEmpty();
        Accessibility::setDescription(m_search, nothingMatches ? tr("No results") : QString());
        // The keys stand on a row only while they go to the search field, and not while a
        // snippet is edited.
        if (!isVisible() || !m_search->hasFocus() || !m_snippets.editingID().isNull())
            return;
        QWidget *row = selectedRow();
        if (row && !row->isHidden()) {
            if (moved) {
                Accessibility::announceFocus(row);
                m_readerOnRow = true;
            }
        } else if (nothingMatches && std::exchange(m_readerOnRow, false)) {
            // The row the reader was on is gone: back to the field, which says why.
            Accessibility::announceFocus(m_search);
        }
    });
}

void PanelView::focusSearchAfterEditOnNextTurn()
{
    if (!m_snippets.editingID().isNull()) {
        m_editedID = m_snippets.editingID();
        return;
    }
    postToNextTurn(this, [this, edited = std::exchange(m_editedID, QUuid())] {
        if (!isVisible() || !m_snippets.editingID().isNull() || window()->focusWidget())
            return;
        // The keys stand on the row just edited, where the reader hears them land.
        const QList<ShelfItem> shown = m_panel.filteredShelf();
        if (std::any_of(
                shown.begin(), shown.end(), [&](const ShelfItem &s) { return s.id == edited; }))
            m_panel.selectShelf(edited);
        m_search->setFocus(Qt::OtherFocusReason);
    });
}

bool PanelView::eventFilter(QObject *watched, QEvent *event)
{
    // Back in the search field (on opening, after Tab or an edit), the reader hears the
    // row the keys stand on after the field itself.
    if (watched == m_search && event->type() == QEvent::FocusIn)
        announceSelectionOnNextTurn();
    if (watched == m_noticeArea
        && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        placeNotice();
    return QWidget::eventFilter(watched, event);
}

void PanelView::tell(const QString &why)
{
    // Shown anew each time, so that readers hear it each time.
    m_notice->hide();
    m_noticeText->setText(why);
    Accessibility::setName(m_notice, why);
    placeNotice();
    m_notice->show();
    m_notice->raise();
    m_noticeTimer->start();
}

void PanelView::openContextMenuForSelection()
{
    if (m_panel.selectedColumn() == AppModel::Column::history)
        m_history->showContextMenu(m_panel.selectedHistoryID(), QPoint());
    else
        m_saved->showContextMenu(m_panel.selectedShelfID(), QPoint());
}

QWidget *PanelView::makeFooter()
{
    auto *footer = new QWidget(this);
    footer->setFixedHeight(kFooterHeight);
    auto *layers = new QStackedLayout(footer);
    layers->setStackingMode(QStackedLayout::StackAll);

    auto *bar = new QWidget(footer);
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(16, 0, 16, 0);
    m_clear = new SymbolButton(QStringLiteral("trash"), 13, tr("Clear"), bar);
    m_clear->setFont(PanelStyle::font(12));
    Accessibility::setName(m_clear, tr("Clear history"));
    m_clear->setToolTip(tr("Clear the history"));
    connect(m_clear, &QAbstractButton::clicked, this, [this] {
        // The whole history goes, without asking.
        m_clipboardHistory.clear();
        m_panel.ensureSelectionValid();
    });
    row->addWidget(m_clear);
    // The bar lies over the handle behind it, so its empty middle moves the window itself.
    auto *middle = new WindowDragHandle(bar);
    row->addWidget(middle, 1);
    // A refusal's reason shows there for a while, over the handle, which still takes the
    // presses. Readers hear it as a notification. It wraps, and a reason longer than the
    // footer holds (a long language, a narrow panel) rises above it: it is read whole.
    m_noticeArea = middle;
    middle->installEventFilter(this);
    m_notice = new QWidget(this);
    m_notice->setObjectName(QStringLiteral("notice"));
    m_notice->setAttribute(Qt::WA_StyledBackground);
    Accessibility::setRole(m_notice, QAccessible::Notification);
    m_notice->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_noticeText = new QLabel(m_notice);
    m_noticeText->setFont(PanelStyle::subheadline());
    m_noticeText->setAlignment(Qt::AlignCenter);
    m_noticeText->setWordWrap(true);
    m_noticeText->setStyleSheet(
        QStringLiteral("color: %1;").arg(PanelStyle::primary().name(QColor::HexArgb)));
    auto *noticeLayout = new QHBoxLayout(m_notice);
    noticeLayout->setContentsMargins(8, 0, 8, 0);
    noticeLayout->addWidget(m_noticeText);
    m_notice->hide();
    m_noticeTimer = new QTimer(this);
    m_noticeTimer->setSingleShot(true);
    m_noticeTimer->setInterval(noticeDuration);
    connect(m_noticeTimer, &QTimer::timeout, m_notice, &QWidget::hide);
    auto *controls = new QHBoxLayout;
    controls->setSpacing(10);
    m_pin = new SymbolButton(QStringLiteral("pin"), 13, {}, bar);
    // A toggle for readers: checked while pinned.
    m_pin->setCheckable(true);
    Accessibility::setName(m_pin, tr("Pin"));
    connect(m_pin, &QAbstractButton::clicked, this,
        [this] { m_model.settings().setKeepWindowPinned(!m_model.settings().keepWindowPinned()); });
    m_settings = new SymbolButton(QStringLiteral("gearshape"), 13, {}, bar);
    m_settings->setToolTip(
        tr("Preferences (%1)")
            .arg(QKeySequence(Qt::CTRL | Qt::Key_Comma).toString(QKeySequence::NativeText)));
    Accessibility::setName(m_settings, tr("Preferences"));
    connect(m_settings, &QAbstractButton::clicked, this, [this] { m_actions.openPreferences(); });
    m_grip = new ResizeGrip(bar);
    for (SymbolButton *button : { m_clear, m_pin, m_settings })
        button->setFocusPolicy(Qt::TabFocus); // reached by Tab, not taken by a click
    m_grip->setToolTip(tr("Drag to resize"));
    controls->addWidget(m_pin);
    controls->addWidget(m_settings);
    controls->addWidget(m_grip);
    row->addLayout(controls);

    // The bar's empty parts move the window; its buttons lie above.
    layers->addWidget(new WindowDragHandle(footer));
    layers->addWidget(bar);
    bar->raise();
    return footer;
}

void PanelView::placeNotice()
{
    const QRect area(m_noticeArea->mapTo(this, QPoint()), m_noticeArea->size());
    constexpr int padding = 6;
    m_notice->layout()->setContentsMargins(8, 0, 8, 0);
    const int needed = m_notice->heightForWidth(area.width());
    const bool rises = needed > area.height();
    const int height = rises ? needed + 2 * padding : area.height();
    if (rises)
        m_notice->layout()->setContentsMargins(8, padding, 8, padding);
    // Over the rows it rises above, on a fill of its own.
    m_notice->setStyleSheet(rises
            ? QStringLiteral("#notice { background: %1; border-radius: 8px; }")
                  .arg(PanelStyle::overlayFill().name(QColor::HexArgb))
            : QString());
    m_notice->setGeometry(area.left(), area.bottom() + 1 - height, area.width(), height);
}

QList<QWidget *> PanelView::edgeStrips() const
{
    return { m_topStrip, m_leftStrip, m_rightStrip };
}

void PanelView::syncPresentation()
{
    const bool centred
        = m_model.settings().openPresentation() == AppModel::OpenPresentation::centeredWindow;
    m_pin->setVisible(centred);
    m_grip->setVisible(centred);
    for (QWidget *strip : edgeStrips())
        strip->setVisible(centred);
    syncPin();
}

void PanelView::syncPin()
{
    const bool pinned = m_model.settings().keepWindowPinned();
    m_pin->setSymbol(pinned ? QStringLiteral("pin.fill") : QStringLiteral("pin"));
    m_pin->setAccented(pinned);
    m_pin->setChecked(pinned);
    m_pin->setToolTip(pinned ? tr("Unpin (close after copy)") : tr("Pin (keep open after copy)"));
}

void PanelView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_topStrip->setGeometry(0, 0, width(), kStrip);
    const int stripHeight = std::max(0, height() - kStrip - kBottomStripGap);
    m_leftStrip->setGeometry(0, kStrip, kStrip, stripHeight);
    m_rightStrip->setGeometry(width() - kStrip, kStrip, kStrip, stripHeight);
}

void PanelView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    postToNextTurn(this, [this] {
        m_search->setFocus(Qt::OtherFocusReason);
        m_panel.ensureSelectionValid();
    });
}

void PanelView::mousePressEvent(QMouseEvent *event)
{
    // A click on the background ends an edit, which then commits.
    if (!m_snippets.editingID().isNull())
        endEditingOnNextTurn();
    QWidget::mousePressEvent(event);
}

void PanelView::endEditingOnNextTurn()
{
    postToNextTurn(this, [this] {
        if (QWidget *focused = QApplication::focusWidget();
            focused && window()->isAncestorOf(focused))
            focused->clearFocus();
    });
}

void PanelView::onQueryChanged()
{
    const QString query = m_panel.query();
    if (m_search->text() != query)
        m_search->setText(query);
    if (!query.isEmpty() && trimmedEntryText(query).isEmpty()) {
        // Only white space: cleared on the next turn, if it is still so.
        postToNextTurn(this, [this] {
            const QString now = m_panel.query();
            if (!now.isEmpty() && trimmedEntryText(now).isEmpty())
                m_panel.setQuery(QString());
        });
        return;
    }
    m_panel.ensureSelectionValid();
}

void PanelView::focusSearch()
{
    postToNextTurn(this, [this] { m_search->setFocus(Qt::OtherFocusReason); });
}

} // namespace nookary
