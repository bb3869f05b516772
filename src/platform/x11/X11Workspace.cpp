#include "X11Workspace.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

namespace nookary {

struct X11Workspace::Connection
{
    xcb_connection_t *connection = nullptr;
    xcb_window_t root = 0;
    xcb_atom_t activeWindow = 0;
    xcb_atom_t wmPid = 0;
    xcb_atom_t wmState = 0;
    xcb_atom_t windowType = 0;
    xcb_atom_t typeDock = 0;
    xcb_atom_t typeDesktop = 0;
};

namespace {

xcb_atom_t internAtom(xcb_connection_t *c, const char *name)
{
    const auto cookie = xcb_intern_atom(c, 0, uint16_t(qstrlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(c, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return atom;
}

std::optional<quint32> cardinalProperty(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property,
                                        xcb_atom_t type)
{
    const auto cookie = xcb_get_property(c, 0, window, property, type, 0, 1);
    xcb_get_property_reply_t *reply = xcb_get_property_reply(c, cookie, nullptr);
    std::optional<quint32> value;
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply) >= 4)
        value = *static_cast<const quint32 *>(xcb_get_property_value(reply));
    free(reply);
    return value;
}

} // namespace

std::unique_ptr<X11Workspace> X11Workspace::create()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return nullptr;
    auto connection = std::make_unique<Connection>();
    connection->connection = x11->connection();
    const xcb_setup_t *setup = xcb_get_setup(connection->connection);
    connection->root = xcb_setup_roots_iterator(setup).data->root;
    connection->activeWindow = internAtom(connection->connection, "_NET_ACTIVE_WINDOW");
    connection->wmPid = internAtom(connection->connection, "_NET_WM_PID");
    connection->wmState = internAtom(connection->connection, "WM_STATE");
    connection->windowType = internAtom(connection->connection, "_NET_WM_WINDOW_TYPE");
    connection->typeDock = internAtom(connection->connection, "_NET_WM_WINDOW_TYPE_DOCK");
    connection->typeDesktop = internAtom(connection->connection, "_NET_WM_WINDOW_TYPE_DESKTOP");
    return std::unique_ptr<X11Workspace>(new X11Workspace(std::move(connection)));
}

X11Workspace::X11Workspace(std::unique_ptr<Connection> connection)
    : m_x(std::move(connection))
{
}

X11Workspace::~X11Workspace() = default;

std::optional<RunningApplication> X11Workspace::frontmostApplication() const
{
    const auto window = cardinalProperty(m_x->connection, m_x->root, m_x->activeWindow, XCB_ATOM_WINDOW);
    if (!window || *window == quint32(XCB_WINDOW_NONE))
        return std::nullopt;
    RunningApplication application;
    application.windowId = *window;
    application.pid = cardinalProperty(m_x->connection, *window, m_x->wmPid, XCB_ATOM_CARDINAL).value_or(0);
    return application;
}

std::optional<RunningApplication> X11Workspace::applicationAt(QPoint globalPosition) const
{
    xcb_connection_t *c = m_x->connection;
    // Down from the root through the topmost child under the point (a window manager's
    // frame, then the client inside it) until a window carries WM_STATE.
    xcb_window_t window = m_x->root;
    for (int depth = 0; depth < 8; ++depth) {
        const auto cookie = xcb_translate_coordinates(c, m_x->root, window, int16_t(globalPosition.x()),
                                                      int16_t(globalPosition.y()));
        xcb_translate_coordinates_reply_t *reply = xcb_translate_coordinates_reply(c, cookie, nullptr);
        const xcb_window_t child = reply ? reply->child : xcb_window_t(XCB_WINDOW_NONE);
        free(reply);
        if (child == XCB_WINDOW_NONE)
            return std::nullopt;
        window = child;
        const auto state = xcb_get_property(c, 0, window, m_x->wmState, XCB_GET_PROPERTY_TYPE_ANY, 0, 0);
        xcb_get_property_reply_t *stateReply = xcb_get_property_reply(c, state, nullptr);
        const bool isClient = stateReply && stateReply->type != XCB_ATOM_NONE;
        free(stateReply);
        if (!isClient)
            continue;
        const auto type = cardinalProperty(c, window, m_x->windowType, XCB_ATOM_ATOM);
        if (type && (*type == m_x->typeDock || *type == m_x->typeDesktop))
            return std::nullopt;
        RunningApplication application;
        application.windowId = window;
        application.pid = cardinalProperty(c, window, m_x->wmPid, XCB_ATOM_CARDINAL).value_or(0);
        return application;
    }
    return std::nullopt;
}

void X11Workspace::activate(const RunningApplication &application)
{
    if (application.windowId == 0 || m_x->activeWindow == xcb_atom_t(XCB_ATOM_NONE))
        return;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = xcb_window_t(application.windowId);
    event.type = m_x->activeWindow;
    // Source 2 (a pager, acting for the user): window managers honour it even when they
    // would refuse an application taking focus for itself.
    event.data.data32[0] = 2;
    event.data.data32[1] = XCB_CURRENT_TIME;
    event.data.data32[2] = 0;
    xcb_send_event(m_x->connection, 0, m_x->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char *>(&event));
    xcb_flush(m_x->connection);
}

} // namespace nookary
