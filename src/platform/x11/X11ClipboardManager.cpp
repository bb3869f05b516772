// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11ClipboardManager.h"

#include "platform/x11/X11ClipboardReader.h"
#include "platform/x11/X11Connection.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLoggingCategory>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <algorithm>
#include <utility>

Q_LOGGING_CATEGORY(lcClipboardManager, "nookary.clipboard.manager")

namespace nookary {

struct X11ClipboardManager::Connection {
    xcb_connection_t *c = nullptr;
    xcb_window_t root = 0;
    xcb_window_t window = 0;
    quint8 xfixesEvent = 0;
    xcb_atom_t manager = 0;
    xcb_atom_t clipboard = 0;
    xcb_atom_t saveTargets = 0;
    xcb_atom_t targets = 0;
    xcb_atom_t null = 0;
    xcb_atom_t managerMessage = 0;

    xcb_window_t owner(xcb_atom_t selection) const
    {
        const X11::Owned<xcb_get_selection_owner_reply_t> r(
            xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr));
        return r ? r->owner : xcb_window_t(XCB_NONE);
    }
};

std::unique_ptr<X11ClipboardManager> X11ClipboardManager::create()
{
    xcb_connection_t *c = X11::qtConnection();
    if (!c)
        return nullptr;
    const xcb_query_extension_reply_t *xfixes = xcb_get_extension_data(c, &xcb_xfixes_id);
    if (!xfixes || !xfixes->present)
        return nullptr;
    auto x = std::make_unique<Connection>();
    x->c = c;
    x->xfixesEvent = quint8(xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY);
    // XFixes wants its version asked once per client. Qt shares this connection and has
    // asked already; asking for the newest version the header knows cannot lower what the
    // server agreed with Qt, as asking for an older one would.
    X11::Owned<xcb_xfixes_query_version_reply_t>(xcb_xfixes_query_version_reply(c,
        xcb_xfixes_query_version(c, XCB_XFIXES_MAJOR_VERSION, XCB_XFIXES_MINOR_VERSION), nullptr));

    x->root = X11::rootWindow(c);
    x->manager = X11::internAtom(c, "CLIPBOARD_MANAGER");
    x->clipboard = X11::internAtom(c, "CLIPBOARD");
    x->saveTargets = X11::internAtom(c, "SAVE_TARGETS");
    x->targets = X11::internAtom(c, "TARGETS");
    x->null = X11::internAtom(c, "NULL");
    x->managerMessage = X11::internAtom(c, "MANAGER");
    return std::unique_ptr<X11ClipboardManager>(new X11ClipboardManager(std::move(x)));
}

X11ClipboardManager::X11ClipboardManager(std::unique_ptr<Connection> connection)
    : m_x(std::move(connection))
{
}

X11ClipboardManager::~X11ClipboardManager()
{
    stop();
}

void X11ClipboardManager::start(Keeper &keeper)
{
    if (m_keeper)
        return;
    m_keeper = &keeper;
    xcb_connection_t *c = m_x->c;
    m_x->window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, m_x->window, m_x->root, 0, 0, 1, 1, 0,
        XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    static const char name[] = "Nookary clipboard manager";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, m_x->window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
        sizeof name - 1, name);
    const uint32_t mask = XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER
        | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY
        | XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE;
    xcb_xfixes_select_selection_input(c, m_x->window, m_x->clipboard, mask);
    xcb_xfixes_select_selection_input(c, m_x->window, m_x->manager, mask);
    QCoreApplication::instance()->installNativeEventFilter(this);
    takeRoleIfFree();
}

void X11ClipboardManager::stop()
{
    if (!m_keeper)
        return;
    for (const Request &request : std::exchange(m_pendingHandOvers, {}))
        reply(request, false);
    m_reader.reset();
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
    // Destroying the window gives the selection up; the request is on the same connection
    // as Qt's, so Qt's own look for a manager at exit comes after it.
    xcb_destroy_window(m_x->c, m_x->window);
    xcb_flush(m_x->c);
    m_x->window = 0;
    m_isManager = false;
    m_keeper = nullptr;
}

void X11ClipboardManager::takeRoleIfFree()
{
    xcb_connection_t *c = m_x->c;
    const xcb_window_t other = m_x->owner(m_x->manager);
    if (other == XCB_NONE) {
        xcb_set_selection_owner(c, m_x->window, m_x->manager, XCB_CURRENT_TIME);
        m_isManager = m_x->owner(m_x->manager) == m_x->window;
    }
    if (!m_isManager) {
        if (!std::exchange(m_toldOfOtherManager, true))
            qCInfo(lcClipboardManager) << "Another clipboard manager is running; Nookary leaves the"
                                          " clipboard to it while it runs";
        return;
    }
    // Announced as ICCCM asks of a program that takes a manager selection.
    xcb_client_message_event_t message {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = m_x->root;
    message.type = m_x->managerMessage;
    message.data.data32[0] = XCB_CURRENT_TIME;
    message.data.data32[1] = m_x->manager;
    message.data.data32[2] = m_x->window;
    xcb_send_event(
        c, 0, m_x->root, XCB_EVENT_MASK_STRUCTURE_NOTIFY, reinterpret_cast<const char *>(&message));
    xcb_flush(c);
}

bool X11ClipboardManager::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t" || !m_keeper)
        return false;
    auto *event = static_cast<xcb_generic_event_t *>(message);
    const quint8 type = event->response_type & 0x7f;

    if (type == XCB_SELECTION_REQUEST) {
        const auto *r = reinterpret_cast<xcb_selection_request_event_t *>(event);
        if (r->owner != m_x->window)
            return false;
        answer({ r->time, r->requestor, r->selection, r->target, r->property });
        return true;
    }
    if (type == XCB_SELECTION_CLEAR) {
        const auto *clear = reinterpret_cast<xcb_selection_clear_event_t *>(event);
        if (clear->owner != m_x->window)
            return false;
        if (clear->selection == m_x->manager) {
            m_isManager = false;
            if (!std::exchange(m_toldOfOtherManager, true))
                qCInfo(lcClipboardManager)
                    << "Another clipboard manager took over; Nookary leaves the"
                       " clipboard to it while it runs";
        }
        return true;
    }
    if (type == m_x->xfixesEvent) {
        const auto *notify = reinterpret_cast<xcb_xfixes_selection_notify_event_t *>(event);
        if (notify->window != m_x->window)
            return false; // Qt's own, for its clipboard
        if (notify->selection == m_x->clipboard)
            clipboardOwnerChanged(notify->subtype, notify->owner, notify->selection_timestamp);
        else if (notify->selection == m_x->manager && notify->owner == XCB_NONE && !m_isManager)
            takeRoleIfFree(); // the other manager left
        return true;
    }
    return false;
}

void X11ClipboardManager::clipboardOwnerChanged(quint8 subtype, quint32 owner, quint32 since)
{
    ++m_clipboardOwnerChanges;
    const quint32 previousOwner = std::exchange(m_clipboardOwner, owner);
    // Another manager keeps what it likes; offering something again would fight it.
    if (!m_isManager || owner != XCB_NONE)
        return;
    // An owner that sets no owner cleared the clipboard on purpose (a password manager
    // after its timeout): it stays empty. The time of a vanished owner's taking is still
    // the selection's: with its window, it names the copy it held.
    if (subtype == XCB_XFIXES_SELECTION_EVENT_SELECTION_WINDOW_DESTROY
        || subtype == XCB_XFIXES_SELECTION_EVENT_SELECTION_CLIENT_CLOSE)
        m_keeper->ownerVanished(X11::selectionOrigin(previousOwner, since));
}

void X11ClipboardManager::answer(const Request &request)
{
    if (request.selection != m_x->manager || !m_isManager) {
        reply(request, false);
        return;
    }
    if (request.target == m_x->targets) {
        const xcb_atom_t offered[] = { m_x->targets, m_x->saveTargets };
        const xcb_atom_t property = request.property ? request.property : request.target;
        xcb_discard_reply(m_x->c,
            xcb_change_property_checked(m_x->c, XCB_PROP_MODE_REPLACE, request.requestor, property,
                XCB_ATOM_ATOM, 32, 2, offered)
                .sequence);
        reply(request, true);
        return;
    }
    if (request.target == m_x->saveTargets) {
        saveTargets(request);
        return;
    }
    reply(request, false);
}

void X11ClipboardManager::saveTargets(const Request &request)
{
    if (!m_keeper->acceptsHandOver()) {
        reply(request, false);
        return;
    }
    // Asked by a program that does not own the clipboard while this one does: what it holds
    // stays anyway.
    if (QGuiApplication::clipboard()->ownsClipboard()) {
        reply(request, true);
        return;
    }
    if (!m_reader)
        m_reader = X11ClipboardReader::create(1, X11ClipboardReader::Requests::OneAtATime);
    if (!m_reader) {
        reply(request, false);
        return;
    }
    m_pendingHandOvers.append(request);
    m_reader->read(
        [this, request, ownerChanges = m_clipboardOwnerChanges](ClipboardContents contents) {
            const auto pending = std::find_if(
                m_pendingHandOvers.cbegin(), m_pendingHandOvers.cend(), [&](const Request &r) {
                    return r.requestor == request.requestor && r.time == request.time
                        && r.property == request.property;
                });
            if (pending == m_pendingHandOvers.cend())
                return; // stopped meanwhile, and refused then
            m_pendingHandOvers.erase(pending);
            // A copy made elsewhere while the exiting program's was read is the one to keep.
            const bool current = ownerChanges == m_clipboardOwnerChanges;
            const bool kept = current && m_isManager && m_keeper->keepHandedOver(contents);
            if (kept && !QGuiApplication::clipboard()->ownsClipboard())
                qCWarning(lcClipboardManager)
                    << "The clipboard handed over by a quitting program could not be taken";
            reply(request, kept);
        });
}

void X11ClipboardManager::reply(const Request &request, bool done)
{
    // ICCCM: a target with a side effect only answers with an empty property of type NULL;
    // a client of the oldest kind names no property, and then the target stands for it.
    const xcb_atom_t property = request.property ? request.property : request.target;
    if (done && request.target == m_x->saveTargets)
        xcb_discard_reply(m_x->c,
            xcb_change_property_checked(m_x->c, XCB_PROP_MODE_REPLACE, request.requestor, property,
                m_x->null, 32, 0, nullptr)
                .sequence);
    xcb_selection_notify_event_t notify {};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request.time;
    notify.requestor = request.requestor;
    notify.selection = request.selection;
    notify.target = request.target;
    notify.property = done ? property : xcb_atom_t(XCB_NONE);
    // The requestor may be gone by now (a program that gave up waiting): its window's error
    // is nobody's business.
    xcb_discard_reply(m_x->c,
        xcb_send_event_checked(m_x->c, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
            reinterpret_cast<const char *>(&notify))
            .sequence);
    xcb_flush(m_x->c);
}

} // namespace nookary
