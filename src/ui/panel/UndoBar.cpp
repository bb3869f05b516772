// SPDX-License-Identifier: GPL-3.0-or-later
#include "UndoBar.h"

#include "core/TextDirection.h"
#include "ui/Accessibility.h"
#include "ui/panel/PanelStyle.h"
#include "ui/panel/PanelWidgets.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>

namespace nookary {

UndoBar::UndoBar(AppModel &model, AppModel::Column column, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_column(column)
    , m_label(new QLabel(this))
    , m_undo(new SymbolButton(QString(), 0, tr("Undo"), this))
{
    // Readers are told when it appears, as a notification; the focus stays where it was.
    Accessibility::setRole(this, QAccessible::Notification);
    auto *row = new QHBoxLayout(this);
    // The words are indented at the leading edge: the right one in a mirrored panel.
    const int leading = PanelStyle::rowPaddingH + 8;
    const int trailing = PanelStyle::rowPaddingH;
    row->setContentsMargins(
        isRightToLeft() ? trailing : leading, 2, isRightToLeft() ? leading : trailing, 2);
    row->setSpacing(4);
    m_label->setFont(PanelStyle::subheadline());
    m_label->setWordWrap(true);
    m_label->setStyleSheet(
        QStringLiteral("color: %1;").arg(PanelStyle::secondary().name(QColor::HexArgb)));
    m_undo->setFont(PanelStyle::font(12, QFont::DemiBold));
    m_undo->setAccented(true);
    m_undo->setFocusPolicy(Qt::TabFocus);
    m_undo->setToolTip(
        tr("Undo (%1)").arg(QKeySequence(QKeySequence::Undo).toString(QKeySequence::NativeText)));
    m_undo->installEventFilter(this);
    row->addWidget(m_label, 1);
    row->addWidget(m_undo, 0, Qt::AlignTop);
    connect(m_undo, &QAbstractButton::clicked, this, [this] { m_model.undoRemoval(); });
    connect(&m_model, &AppModel::undoableRemovalChanged, this, &UndoBar::sync);
    sync();
}

bool UndoBar::eventFilter(QObject *watched, QEvent *event)
{
    // Whoever is at the button is deciding: the removal waits for them.
    if (watched == m_undo && event->type() == QEvent::FocusIn)
        m_model.setRemovalUndoHeld(true);
    else if (watched == m_undo && event->type() == QEvent::FocusOut)
        m_model.setRemovalUndoHeld(false);
    return QWidget::eventFilter(watched, event);
}

void UndoBar::sync()
{
    const bool offered = m_model.undoableRemoval() == m_column;
    if (!offered) {
        if (m_undo->hasFocus()) {
            // Hidden with the focus, the button would hand it to the next control ("Add a
            // snippet…", where Return adds one): the keys go back to the search field.
            m_undo->clearFocus();
            Q_EMIT keysGivenUp();
        }
        hide();
        return;
    }
    const QString undoKey = QKeySequence(QKeySequence::Undo).toString(QKeySequence::NativeText);
    QString shown = tr("Deleted.");
    QString spoken = tr("Deleted. %1 puts it back.").arg(undoKey);
    const std::optional<AppModel::UndoRefusal> refusal = m_model.undoRefusal();
    if (refusal) {
        // It stays offered: nothing is thrown away, and the reason is told each time.
        shown = spoken = *refusal == AppModel::UndoRefusal::savedFull
            ? tr("Saved is full, so it cannot go back.")
            : tr("It cannot go back: the history keeps only the newest %Ln.", nullptr,
                m_model.settings().historyLimit());
    }
    const bool again
        = isVisible() && (refusal || TextDirection::withoutMarks(spoken) != accessibleName());
    m_label->setText(shown);
    Accessibility::setName(this, spoken);
    show();
    if (again)
        Accessibility::announceNotification(this);
}

} // namespace nookary
