// SPDX-License-Identifier: GPL-3.0-or-later
#include "UndoBar.h"

#include "ui/Accessibility.h"
#include "ui/panel/PanelStyle.h"
#include "ui/panel/PanelWidgets.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>

namespace nookary {

UndoBar::UndoBar(AppModel &model, AppModel::Column column, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_column(column)
    , m_label(new QLabel(tr("Deleted."), this))
    , m_undo(new SymbolButton(QString(), 0, tr("Undo"), this))
{
    // Readers are told when it appears, as a notification; the focus stays where it was.
    const QString undoKey = QKeySequence(QKeySequence::Undo).toString(QKeySequence::NativeText);
    Accessibility::setRole(this, QAccessible::Notification);
    setAccessibleName(tr("Deleted. %1 puts it back.").arg(undoKey));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(PanelStyle::rowPaddingH + 8, 2, PanelStyle::rowPaddingH, 2);
    row->setSpacing(4);
    m_label->setFont(PanelStyle::subheadline());
    m_label->setStyleSheet(
        QStringLiteral("color: %1;").arg(PanelStyle::secondary().name(QColor::HexArgb)));
    m_undo->setFont(PanelStyle::font(12, QFont::DemiBold));
    m_undo->setAccented(true);
    m_undo->setFocusPolicy(Qt::TabFocus);
    m_undo->setToolTip(
        tr("Undo (%1)").arg(QKeySequence(QKeySequence::Undo).toString(QKeySequence::NativeText)));
    row->addWidget(m_label);
    row->addWidget(m_undo);
    row->addStretch(1);
    connect(m_undo, &QAbstractButton::clicked, this, [this] {
        // The button goes with the bar: the keys go back to the search field.
        const bool hadFocus = m_undo->hasFocus();
        m_model.undoRemoval();
        if (hadFocus)
            m_model.setFocusSearchTick(m_model.focusSearchTick() + 1);
    });
    connect(&m_model, &AppModel::undoableRemovalChanged, this, &UndoBar::sync);
    sync();
}

void UndoBar::sync()
{
    setVisible(m_model.undoableRemoval() == m_column);
}

} // namespace nookary
