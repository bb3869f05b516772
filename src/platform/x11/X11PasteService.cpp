// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11PasteService.h"

#include "platform/x11/X11Connection.h"

#include <xcb/xtest.h>

#include <QLoggingCategory>

#include <algorithm>
#include <vector>

Q_LOGGING_CATEGORY(lcX11Paste, "nookary.paste")

namespace nookary {

struct X11PasteService::Connection {
    xcb_connection_t *c = nullptr;
    xcb_window_t root = 0;
    xcb_atom_t activeWindow = 0;
    bool hasXTest = false;
};

namespace {

constexpr quint32 kControlL = 0xffe3;
constexpr quint32 kShiftL = 0xffe1;
constexpr quint32 kAltL = 0xffe9;
constexpr quint32 kLowerV = 0x0076;
// evdev places (+ 8), for a keyboard mapping that lacks one of the keysyms.
constexpr xcb_keycode_t kFallbackControl = 37, kFallbackShift = 50, kFallbackAlt = 64,
                        kFallbackV = 55;

// Whether `window` is `ancestor` or lies inside it: toolkits give the input focus to the
// client window itself (Qt, GTK) or to a window of their own inside it (Tk).
bool isInside(xcb_connection_t *c, xcb_window_t window, xcb_window_t ancestor)
{
    for (int depth = 0; depth < 16 && window != XCB_WINDOW_NONE; ++depth) {
        if (window == ancestor)
            return true;
        const X11::Owned<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
        if (!tree || tree->parent == tree->root)
            return false;
        window = tree->parent;
    }
    return false;
}

// The first key code that types `keysym` in any column, or `fallback`.
xcb_keycode_t keycodeFor(xcb_connection_t *c, quint32 keysym, xcb_keycode_t fallback)
{
    const xcb_setup_t *setup = xcb_get_setup(c);
    const xcb_keycode_t first = setup->min_keycode;
    const quint8 count = quint8(setup->max_keycode - first + 1);
    const X11::Owned<xcb_get_keyboard_mapping_reply_t> mapping(
        xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, first, count), nullptr));
    if (!mapping || mapping->keysyms_per_keycode == 0)
        return fallback;
    const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(mapping.get());
    const int perKey = mapping->keysyms_per_keycode;
    const int total = xcb_get_keyboard_mapping_keysyms_length(mapping.get());
    // The first column first: a key that types the keysym without Shift or another group.
    for (int column = 0; column < perKey; ++column) {
        for (int i = column; i < total; i += perKey) {
            if (syms[i] == keysym)
                return xcb_keycode_t(first + i / perKey);
        }
    }
    return fallback;
}

} // namespace

std::unique_ptr<X11PasteService> X11PasteService::create(Clock &clock)
{
    xcb_connection_t *c = X11::qtConnection();
    if (!c)
        return nullptr;
    auto x = std::make_unique<Connection>();
    x->c = c;
    x->root = X11::rootWindow(c);
    x->activeWindow = X11::internAtom(c, "_NET_ACTIVE_WINDOW");
    const xcb_query_extension_reply_t *xtest = xcb_get_extension_data(c, &xcb_test_id);
    x->hasXTest = xtest && xtest->present;
    if (!x->hasXTest)
        qCInfo(lcX11Paste, "The X server has no XTEST extension: no paste after choosing.");
    return std::unique_ptr<X11PasteService>(new X11PasteService(std::move(x), clock));
}

X11PasteService::X11PasteService(std::unique_ptr<Connection> connection, Clock &clock)
    : PasteService(clock)
    , m_x(std::move(connection))
{
}

X11PasteService::~X11PasteService() = default;

PasteService::Availability X11PasteService::availability() const
{
    return m_x->hasXTest ? Availability::available : Availability::noXTest;
}

bool X11PasteService::canServe(const Request &request) const
{
    return request.target && request.target->windowId != 0;
}

bool X11PasteService::isReady(const Request &request) const
{
    xcb_connection_t *c = m_x->c;
    const auto target = xcb_window_t(request.target->windowId);
    const auto active = xcb_get_property(c, 0, m_x->root, m_x->activeWindow, XCB_ATOM_WINDOW, 0, 1);
    const auto focus = xcb_get_input_focus(c);
    const auto keymap = xcb_query_keymap(c);
    const X11::Owned<xcb_get_property_reply_t> activeReply(
        xcb_get_property_reply(c, active, nullptr));
    const X11::Owned<xcb_get_input_focus_reply_t> focusReply(
        xcb_get_input_focus_reply(c, focus, nullptr));
    const X11::Owned<xcb_query_keymap_reply_t> keymapReply(
        xcb_query_keymap_reply(c, keymap, nullptr));
    if (!activeReply || !focusReply || !keymapReply)
        return false;
    if (activeReply->format != 32 || xcb_get_property_value_length(activeReply.get()) < 4
        || *static_cast<const xcb_window_t *>(xcb_get_property_value(activeReply.get())) != target)
        return false;
    if (!isInside(c, focusReply->focus, target))
        return false;
    return std::all_of(std::begin(keymapReply->keys), std::end(keymapReply->keys),
        [](uint8_t bits) { return bits == 0; });
}

QStringList X11PasteService::windowClass(const Request &request) const
{
    xcb_connection_t *c = m_x->c;
    const auto cookie = xcb_get_property(
        c, 0, xcb_window_t(request.target->windowId), XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256);
    const X11::Owned<xcb_get_property_reply_t> reply(xcb_get_property_reply(c, cookie, nullptr));
    if (!reply || reply->format != 8)
        return {};
    // Instance and class, each ended by a NUL.
    const QByteArray value(static_cast<const char *>(xcb_get_property_value(reply.get())),
        xcb_get_property_value_length(reply.get()));
    QStringList names;
    for (const QByteArray &name : value.split('\0')) {
        if (!name.isEmpty())
            names.append(QString::fromLatin1(name));
    }
    return names;
}

bool X11PasteService::send(Keys keys)
{
    xcb_connection_t *c = m_x->c;
    std::vector<xcb_keycode_t> chord { keycodeFor(c, kControlL, kFallbackControl) };
    if (keys == Keys::ctrlShiftV)
        chord.push_back(keycodeFor(c, kShiftL, kFallbackShift));
    else if (keys == Keys::ctrlAltV)
        chord.push_back(keycodeFor(c, kAltL, kFallbackAlt));
    chord.push_back(keycodeFor(c, kLowerV, kFallbackV));
    auto fake = [&](uint8_t type, xcb_keycode_t code) {
        return xcb_test_fake_input_checked(c, type, code, XCB_CURRENT_TIME, m_x->root, 0, 0, 0);
    };
    std::vector<xcb_void_cookie_t> cookies;
    for (const xcb_keycode_t code : chord)
        cookies.push_back(fake(XCB_KEY_PRESS, code));
    for (auto code = chord.rbegin(); code != chord.rend(); ++code)
        cookies.push_back(fake(XCB_KEY_RELEASE, *code));
    bool sent = true;
    for (const xcb_void_cookie_t cookie : cookies) {
        if (X11::Owned<xcb_generic_error_t> error { xcb_request_check(c, cookie) }) {
            sent = false;
            qCWarning(
                lcX11Paste, "The X server refused a paste key (error %d).", int(error->error_code));
        }
    }
    return sent;
}

} // namespace nookary
