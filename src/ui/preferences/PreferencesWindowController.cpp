// SPDX-License-Identifier: GPL-3.0-or-later
#include "PreferencesWindowController.h"

#include "core/TextDirection.h"
#include "ui/Accessibility.h"
#include "ui/preferences/PreferencesView.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>

namespace nookary {

PreferencesWindowController::PreferencesWindowController(
    AppModel &model, const KeyTranslator &keys, bool canRegisterShortcut, QObject *parent)
    : QObject(parent)
    , m_window(std::make_unique<QWidget>(nullptr,
          Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
              | Qt::WindowMinimizeButtonHint | Qt::CustomizeWindowHint))
{
    m_window->setObjectName(QStringLiteral("PreferencesWindow"));
    Accessibility::setRole(m_window.get(), QAccessible::Window);
    // Task bars show a title as it is: no invisible marks.
    m_window->setWindowTitle(TextDirection::withoutMarks(title()));
    m_window->setAttribute(Qt::WA_DeleteOnClose, false);
    m_view = new PreferencesView(model, keys, canRegisterShortcut, m_window.get());
    auto *layout = new QVBoxLayout(m_window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    m_window->resize(preferredContentSize);
    connect(m_view, &PreferencesView::neededHeightChanged, this,
        &PreferencesWindowController::prepareForDisplay);
}

PreferencesWindowController::~PreferencesWindowController() = default;

bool PreferencesWindowController::isVisible() const
{
    return m_window && m_window->isVisible();
}

void PreferencesWindowController::prepareForDisplay()
{
    // Taller where the shortcut row explains how to bind one in the desktop, so that none of
    // the steps is cut off, and wider, as far as the screen allows, so that the commands to
    // type show whole.
    int width = std::max(preferredContentSize.width(), m_view->sizeHint().width());
    if (const QScreen *screen = m_window->screen())
        width = std::max(preferredContentSize.width(),
            std::min(width, screen->availableGeometry().width() - 40));
    const int needed
        = m_view->hasHeightForWidth() ? m_view->heightForWidth(width) : m_view->sizeHint().height();
    const QSize size(width, std::max(preferredContentSize.height(), needed));
    m_window->setMinimumSize(size);
    m_window->setMaximumSize(size);
    m_window->resize(size);
}

void PreferencesWindowController::showWindow()
{
    if (!m_placed) {
        // Centred on the screen under the pointer, the first time; later where the user left it.
        const QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (screen) {
            QRect frame(QPoint(), m_window->size());
            frame.moveCenter(screen->availableGeometry().center());
            m_window->move(frame.topLeft());
        }
        m_placed = true;
    }
    // A minimised window would otherwise stay in the task bar while the command seemed to
    // do nothing.
    m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

} // namespace nookary
