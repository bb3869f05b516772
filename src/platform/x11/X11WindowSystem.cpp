#include "platform/WindowSystem.h"

#include <QEvent>
#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <vector>

namespace nookary {

namespace {

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(qstrlen(name)), name), nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return result;
}

// Qt sends Show before it maps the window, when the desktop still reads its states.
class TaskbarExclusion final : public QObject {
public:
    explicit TaskbarExclusion(QWidget &window)
        : QObject(&window)
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched == parent())
            WindowSystem::keepOutOfTaskbar(static_cast<QWidget &>(*watched));
        return false;
    }
};

} // namespace

void WindowSystem::keepOutOfTaskbarWhenShown(QWidget &window)
{
    new TaskbarExclusion(window);
}

void WindowSystem::keepOutOfTaskbar(QWidget &window)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return;
    xcb_connection_t *c = x11->connection();
    const auto id = xcb_window_t(window.winId());
    const xcb_atom_t state = atom(c, "_NET_WM_STATE");
    // Qt keeps the states already on an unmapped window and adds its own when it maps it
    // (Qt::Tool alone does not keep a window out of every task bar).
    std::vector<xcb_atom_t> states;
    xcb_get_property_reply_t *reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, id, state, XCB_ATOM_ATOM, 0, 64), nullptr);
    if (reply && reply->format == 32) {
        const auto *data = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
        states.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    free(reply);
    for (const char *name : {"_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"}) {
        const xcb_atom_t a = atom(c, name);
        if (std::find(states.begin(), states.end(), a) == states.end())
            states.push_back(a);
    }
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32, uint32_t(states.size()),
                        states.data());
    xcb_flush(c);
}

} // namespace nookary
