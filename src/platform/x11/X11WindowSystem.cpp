// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/X11WindowSystem.h"

#include "platform/x11/X11Connection.h"

#include <QWidget>

#include <algorithm>
#include <vector>

namespace nookary {

void X11WindowSystem::excludeFromTaskbar(QWidget &window)
{
    xcb_connection_t *c = X11::qtConnection();
    if (!c)
        return;
    const auto id = xcb_window_t(window.winId());
    const xcb_atom_t state = X11::internAtom(c, "_NET_WM_STATE");
    // Qt keeps the states already on an unmapped window and adds its own when it maps it
    // (Qt::Tool alone does not keep a window out of every task bar).
    std::vector<xcb_atom_t> states;
    const X11::Owned<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, id, state, XCB_ATOM_ATOM, 0, 64), nullptr));
    if (reply && reply->format == 32) {
        const auto *data = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
        states.assign(data, data + xcb_get_property_value_length(reply.get()) / 4);
    }
    for (const char *name : { "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER" }) {
        const xcb_atom_t a = X11::internAtom(c, name);
        if (std::find(states.begin(), states.end(), a) == states.end())
            states.push_back(a);
    }
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32,
        uint32_t(states.size()), states.data());
    xcb_flush(c);
}

void X11WindowSystem::cancelSystemMove(QWidget &window)
{
    xcb_connection_t *c = X11::qtConnection();
    if (!c || !window.testAttribute(Qt::WA_WState_Created))
        return;
    constexpr uint32_t moveResizeCancel = 11;
    xcb_client_message_event_t event {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = xcb_window_t(window.winId());
    event.type = X11::internAtom(c, "_NET_WM_MOVERESIZE");
    event.data.data32[2] = moveResizeCancel;
    event.data.data32[3] = XCB_BUTTON_INDEX_1;
    event.data.data32[4] = 1; // a normal application
    xcb_send_event(c, 0, X11::rootWindow(c),
        XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
        reinterpret_cast<const char *>(&event));
    xcb_flush(c);
}

} // namespace nookary
