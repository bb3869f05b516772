// SPDX-License-Identifier: GPL-3.0-or-later
#include "PanelInputRouter.h"

#include "app/ApplicationEventMonitor.h"
#include "app/PanelPresenter.h"
#include "app/PopoverWindow.h"
#include "model/AppModel.h"
#include "ui/panel/PanelView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWindow>

namespace nookary {

namespace {

bool isTextControl(const QWidget *widget)
{
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        if (qobject_cast<const QLineEdit *>(w) || qobject_cast<const QPlainTextEdit *>(w)
            || qobject_cast<const QTextEdit *>(w))
            return true;
        if (w->isWindow())
            break;
    }
    return false;
}

} // namespace

PanelInputRouter::PanelInputRouter(
    AppModel &model, PanelPresenter &presenter, const KeyTranslator &keys, QObject *parent)
    : QObject(parent)
    , m_model(model)
    , m_presenter(presenter)
    , m_keys(keys)
    , m_keyMap(std::make_unique<PanelKeyMap>(model, presenter))
    , m_monitor(std::make_unique<ApplicationEventMonitor>(
          [this](QWidget *window, QKeyEvent &event) { return handleKey(window, event); },
          [this](QWidget *target, QMouseEvent &) { handleMousePress(target); }))
{
    // A Return waiting for a copy is for the panel as the user left it: not once it closed
    // or another window took the keyboard (the tray menu, say).
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow *window) {
        if (!window || !m_presenter.isPanelWindowId(window->winId()))
            m_keyMap->dropWaitingReturn();
    });
}

PanelInputRouter::~PanelInputRouter()
{
    // No press may reach a half-destroyed router.
    m_monitor.reset();
}

bool PanelInputRouter::handleKey(QWidget *window, QKeyEvent &event)
{
    PanelKey key = PanelKey::fromEvent(event, m_keys);
    if (event.type() == QEvent::KeyRelease) {
        // Seen wherever it goes, so that the next press of the key counts as a new one.
        m_keyMap->handleRelease(key);
        return false;
    }
    // Inside a menu (the tray menu, a pull-down, a pop-up list) every key is the menu's,
    // Ctrl+, included.
    if (QWidget *popup = QApplication::activePopupWidget(); popup && popup != m_presenter.popover())
        return false;
    // Keys meant for our menus and dialogs are theirs: Escape closes the menu, not the panel.
    key.towardsPanel = m_presenter.isPanelWindow(window);
    const PanelView *view = window ? window->findChild<PanelView *>() : nullptr;
    const QWidget *focused = QApplication::focusWidget();
    key.focusElsewhere
        = view && focused && focused != view->searchField() && view->isAncestorOf(focused);
    return m_keyMap->handle(key) == PanelKeyMap::Decision::consume;
}

void PanelInputRouter::handleMousePress(QWidget *target)
{
    if (!m_presenter.isPanelOpen() || m_model.savedSnippets().editingID().isNull() || !target)
        return;
    // Presses in other windows (the editor's context menu, the tray menu) are not the panel's.
    // Within the panel, a press in the editor or the search field keeps the edit going. The
    // panel's window is compared, not the active window, which is null while a popup shows.
    if (!m_presenter.isPanelWindow(target->window()) || isTextControl(target))
        return;
    m_presenter.endEditingOnNextTurn();
}

} // namespace nookary
