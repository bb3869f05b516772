// SPDX-License-Identifier: GPL-3.0-or-later
#include "Alert.h"

#include "core/TextDirection.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QGridLayout>
#include <QIcon>
#include <QSpacerItem>

namespace nookary::Alert {

namespace {

// The window manager's icon, buttons and padding beside the title: openbox's default
// layout takes about 110 px.
constexpr int kTitleBarRoom = 128;

} // namespace

std::unique_ptr<QMessageBox> make(QMessageBox::Icon icon, const QString &title, const QString &text,
    const QString &informativeText, QWidget *parent)
{
    auto box = std::make_unique<QMessageBox>(
        icon, TextDirection::withoutMarks(title), text, QMessageBox::Ok, parent);
    box->setInformativeText(informativeText);
    // Qt draws a button's icon and words apart in a mirrored window: the words end up
    // squeezed against the button's left edge. The words alone are centred.
    if (box->layoutDirection() == Qt::RightToLeft) {
        const auto buttons = box->buttons();
        for (QAbstractButton *button : buttons)
            button->setIcon(QIcon());
    }
    fitToTitle(*box);
    return box;
}

void fitToTitle(QMessageBox &box)
{
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    if (!grid)
        return;
    // Qt sizes a message box by its contents alone, fixed; a row of its own as wide as the
    // title needs is the one thing it keeps room for.
    const QMargins margins = grid->contentsMargins();
    const int width
        = widthForTitle(box.windowTitle(), box.font()) - margins.left() - margins.right();
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Fixed),
        grid->rowCount(), 0, 1, grid->columnCount());
}

int widthForTitle(const QString &title, const QFont &font)
{
    QFont bold = font;
    bold.setBold(true);
    return QFontMetrics(bold).horizontalAdvance(title) + kTitleBarRoom;
}

} // namespace nookary::Alert
