// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11Workspace.h"

#include "platform/x11/X11Connection.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

namespace nookary {

struct X11Workspace::Connection {
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

std::optional<quint32> cardinalProperty(
    xcb_connection_t *c, xcb_window_t window, xcb_atom_t property, xcb_atom_t type)
{
    const auto cookie = xcb_get_property(c, 0, window, property, type, 0, 1);
    const X11::Owned<xcb_get_property_reply_t> reply(xcb_get_property_reply(c, cookie, nullptr));
    if (reply && reply->format == 32 && xcb_get_property_value_length(reply.get()) >= 4)
        return *static_cast<const quint32 *>(xcb_get_property_value(reply.get()));
    return std::nullopt;
}

} // namespace

std::unique_ptr<X11Workspace> X11Workspace::create()
{
    xcb_connection_t *c = X11::qtConnection();
    if (!c)
        return nullptr;
    auto connection = std::make_unique<Connection>();
    connection->connection = c;
    connection->root = X11::rootWindow(c);
    connection->activeWindow = X11::internAtom(c, "_NET_ACTIVE_WINDOW");
    connection->wmPid = X11::internAtom(c, "_NET_WM_PID");
    connection->wmState = X11::internAtom(c, "WM_STATE");
    connection->windowType = X11::internAtom(c, "_NET_WM_WINDOW_TYPE");
    connection->typeDock = X11::internAtom(c, "_NET_WM_WINDOW_TYPE_DOCK");
    connection->typeDesktop = X11::internAtom(c, "_NET_WM_WINDOW_TYPE_DESKTOP");
    return std::unique_ptr<X11Workspace>(new X11Workspace(std::move(connection)));
}

X11Workspace::X11Workspace(std::unique_ptr<Connection> connection)
    : m_x(std::move(connection))
{
}

// The window manager publishes each activation on the root window's _NET_ACTIVE_WINDOW,
// which Qt's connection already listens to (it follows the root window's properties).
class X11Workspace::ActiveWindowWatch final : public QObject, public QAbstractNativeEventFilter {
public:
    ActiveWindowWatch(const Connection &x, std::function<void()> changed)
        : m_root(x.root)
        , m_activeWindow(x.activeWindow)
        , m_changed(std::move(changed))
    {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~ActiveWindowWatch() override
    {
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto *event = static_cast<const xcb_generic_event_t *>(message);
        if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
            return false;
        const auto *property = reinterpret_cast<const xcb_property_notify_event_t *>(event);
        if (property->window == m_root && property->atom == m_activeWindow) {
            // Not from inside Qt's event dispatch: the handler may close windows.
            QTimer::singleShot(0, this, [this] { m_changed(); });
        }
        return false;
    }

private:
    xcb_window_t m_root;
    xcb_atom_t m_activeWindow;
    std::function<void()> m_changed;
};

X11Workspace::~X11Workspace() = default;

void X11Workspace::setFrontmostChangedHandler(std::function<void()> changed)
{
    m_watch.reset();
    if (changed && QCoreApplication::instance())
        m_watch = std::make_unique<ActiveWindowWatch>(*m_x, std::move(changed));
}

std::optional<RunningApplication> X11Workspace::frontmostApplication() const
{
    const auto window
        = cardinalProperty(m_x->connection, m_x->root, m_x->activeWindow, XCB_ATOM_WINDOW);
    if (!window || *window == quint32(XCB_WINDOW_NONE))
        return std::nullopt;
    RunningApplication application;
    application.windowId = *window;
    application.pid
        = cardinalProperty(m_x->connection, *window, m_x->wmPid, XCB_ATOM_CARDINAL).value_or(0);
    return application;
}

std::optional<RunningApplication> X11Workspace::applicationAt(QPoint globalPosition) const
{
    xcb_connection_t *c = m_x->connection;
    // Down from the root through the topmost child under the point (a window manager's
    // frame, then the client inside it) until a window carries WM_STATE.
    xcb_window_t window = m_x->root;
    for (int depth = 0; depth < 8; ++depth) {
        const auto cookie = xcb_translate_coordinates(
            c, m_x->root, window, int16_t(globalPosition.x()), int16_t(globalPosition.y()));
        const X11::Owned<xcb_translate_coordinates_reply_t> reply(
            xcb_translate_coordinates_reply(c, cookie, nullptr));
        const xcb_window_t child = reply ? reply->child : xcb_window_t(XCB_WINDOW_NONE);
        if (child == XCB_WINDOW_NONE)
            return std::nullopt;
        window = child;
        const auto state
            = xcb_get_property(c, 0, window, m_x->wmState, XCB_GET_PROPERTY_TYPE_ANY, 0, 0);
        const X11::Owned<xcb_get_property_reply_t> stateReply(
            xcb_get_property_reply(c, state, nullptr));
        const bool isClient = stateReply && stateReply->type != XCB_ATOM_NONE;
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
    xcb_client_message_event_t event {};
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
