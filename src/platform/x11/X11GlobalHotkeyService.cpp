// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11GlobalHotkeyService.h"

#include "platform/MainQueue.h"
#include "platform/x11/KeyCodeTable.h"
#include "platform/x11/X11Connection.h"

#include <QGuiApplication>
#include <QLoggingCategory>

#include <xcb/xcb.h>
// xkb.h names a member "explicit", a C++ keyword.
#define explicit xcb_explicit
#include <xcb/xkb.h>
#undef explicit

Q_LOGGING_CATEGORY(lcHotkey, "nookary.hotkey")

namespace nookary {

namespace {

// Keysyms whose modifier bit the server decides.
constexpr quint32 kAltL = 0xffe9, kAltR = 0xffea, kSuperL = 0xffeb, kSuperR = 0xffec,
                  kNumLock = 0xff7f;

} // namespace

struct X11GlobalHotkeyService::Connection {
    xcb_connection_t *c = nullptr;
    xcb_window_t root = 0;
    quint8 xkbEvent = 0; // first event code of XKB, 0 without it
    quint16 altMask = XCB_MOD_MASK_1;
    quint16 superMask = XCB_MOD_MASK_4;
    quint16 numLockMask = XCB_MOD_MASK_2;
};

std::unique_ptr<X11GlobalHotkeyService> X11GlobalHotkeyService::create()
{
    xcb_connection_t *c = X11::qtConnection();
    if (!c)
        return nullptr;
    auto connection = std::make_unique<Connection>();
    connection->c = c;
    connection->root = X11::rootWindow(c);
    if (const xcb_query_extension_reply_t *xkb = xcb_get_extension_data(connection->c, &xcb_xkb_id);
        xkb && xkb->present)
        connection->xkbEvent = xkb->first_event;
    auto service = std::unique_ptr<X11GlobalHotkeyService>(
        new X11GlobalHotkeyService(std::move(connection)));
    service->readModifierMapping();
    return service;
}

X11GlobalHotkeyService::X11GlobalHotkeyService(std::unique_ptr<Connection> connection)
    : m_x(std::move(connection))
{
    m_releaseWatch.setInterval(std::chrono::milliseconds(50));
    connect(&m_releaseWatch, &QTimer::timeout, this, &X11GlobalHotkeyService::checkKeyReleased);
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11GlobalHotkeyService::~X11GlobalHotkeyService()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
}

void X11GlobalHotkeyService::readModifierMapping()
{
    xcb_connection_t *c = m_x->c;
    const xcb_setup_t *setup = xcb_get_setup(c);
    const quint8 minKeycode = setup->min_keycode;
    const quint8 count = quint8(setup->max_keycode - minKeycode + 1);
    const X11::Owned<xcb_get_keyboard_mapping_reply_t> keyboard(
        xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, minKeycode, count), nullptr));
    const X11::Owned<xcb_get_modifier_mapping_reply_t> modifiers(
        xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr));
    if (keyboard && modifiers) {
        const xcb_keysym_t *keysyms = xcb_get_keyboard_mapping_keysyms(keyboard.get());
        const int perKey = keyboard->keysyms_per_keycode;
        const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(modifiers.get());
        const int perModifier = modifiers->keycodes_per_modifier;
        auto hasSym = [&](xcb_keycode_t code, std::initializer_list<quint32> wanted) {
            if (code < minKeycode)
                return false;
            const int row = (code - minKeycode) * perKey;
            for (int i = 0; i < perKey; ++i) {
                for (quint32 sym : wanted) {
                    if (keysyms[row + i] == sym)
                        return true;
                }
            }
            return false;
        };
        // Bits Mod1 to Mod5 are indices 3 to 7 of the mapping.
        quint16 alt = 0, super = 0, numLock = 0;
        for (int modifier = 3; modifier < 8; ++modifier) {
            for (int k = 0; k < perModifier; ++k) {
                const xcb_keycode_t code = codes[modifier * perModifier + k];
                if (code == 0)
                    continue;
                const auto bit = quint16(1u << modifier);
                if (!alt && hasSym(code, { kAltL, kAltR }))
                    alt = bit;
                if (!super && hasSym(code, { kSuperL, kSuperR }))
                    super = bit;
                if (!numLock && hasSym(code, { kNumLock }))
                    numLock = bit;
            }
        }
        m_x->altMask = alt ? alt : quint16(XCB_MOD_MASK_1);
        m_x->superMask = super ? super : quint16(XCB_MOD_MASK_4);
        m_x->numLockMask = numLock ? numLock : quint16(XCB_MOD_MASK_2);
    }
}

std::optional<X11GlobalHotkeyService::Grab> X11GlobalHotkeyService::grabFor(
    HotkeyShortcut shortcut) const
{
    const auto keycode = KeyCodeTable::x11FromVirtualKey(shortcut.keyCode);
    if (!keycode || *keycode > 255)
        return std::nullopt;
    quint16 mask = 0;
    if (shortcut.modifiers & HotkeyShortcut::controlBit)
        mask |= XCB_MOD_MASK_CONTROL;
    if (shortcut.modifiers & HotkeyShortcut::shiftBit)
        mask |= XCB_MOD_MASK_SHIFT;
    if (shortcut.modifiers & HotkeyShortcut::optionBit)
        mask |= m_x->altMask;
    if (shortcut.modifiers & HotkeyShortcut::commandBit)
        mask |= m_x->superMask;
    return Grab { quint8(*keycode), mask };
}

QList<quint16> X11GlobalHotkeyService::lockVariants() const
{
    const quint16 caps = XCB_MOD_MASK_LOCK;
    const quint16 num = m_x->numLockMask;
    return { 0, caps, num, quint16(caps | num) };
}

bool X11GlobalHotkeyService::grab(const Grab &g)
{
    QList<quint16> done;
    for (const quint16 locks : lockVariants()) {
        const auto cookie = xcb_grab_key_checked(m_x->c, 1, m_x->root, quint16(g.modifiers | locks),
            g.keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
        if (const X11::Owned<xcb_generic_error_t> error { xcb_request_check(m_x->c, cookie) }) {
            qCInfo(lcHotkey) << "The shortcut is held by another program (X error"
                             << error->error_code << ")";
            for (const quint16 made : std::as_const(done))
                xcb_ungrab_key(m_x->c, g.keycode, m_x->root, quint16(g.modifiers | made));
            xcb_flush(m_x->c);
            return false;
        }
        done.append(locks);
    }
    return true;
}

void X11GlobalHotkeyService::ungrab(const Grab &g)
{
    for (const quint16 locks : lockVariants())
        xcb_ungrab_key(m_x->c, g.keycode, m_x->root, quint16(g.modifiers | locks));
    xcb_flush(m_x->c);
}

bool X11GlobalHotkeyService::registerHotkey(HotkeyShortcut shortcut)
{
    unregisterHotkey();
    const auto wanted = grabFor(shortcut);
    if (!wanted || !shortcut.isSet() || !grab(*wanted))
        return false;
    m_shortcut = shortcut;
    m_grab = wanted;
    // Keys still held from choosing the shortcut (the recorder took their press) would
    // auto-repeat into the new grab as presses: the press already made ends when the key
    // is let go.
    m_keyDown = isKeyDown(wanted->keycode);
    if (m_keyDown)
        m_releaseWatch.start();
    return true;
}

void X11GlobalHotkeyService::unregisterHotkey()
{
    if (m_grab)
        ungrab(*m_grab);
    m_grab.reset();
    m_shortcut.reset();
}

bool X11GlobalHotkeyService::nativeEventFilter(
    const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    auto *event = static_cast<xcb_generic_event_t *>(message);
    const quint8 type = event->response_type & 0x7f;

    const bool mappingChanged = type == XCB_MAPPING_NOTIFY
        || (m_x->xkbEvent && type == m_x->xkbEvent
            && (event->pad0 == XCB_XKB_NEW_KEYBOARD_NOTIFY || event->pad0 == XCB_XKB_MAP_NOTIFY));
    if (mappingChanged && !m_regrabPending) {
        // Re-grab once things have settled, outside Qt's own handling of the event.
        m_regrabPending = true;
        postToNextTurn(this, [this] {
            m_regrabPending = false;
            const auto shortcut = m_shortcut;
            if (m_grab)
                ungrab(*m_grab);
            m_grab.reset();
            readModifierMapping();
            if (shortcut) {
                const auto wanted = grabFor(*shortcut);
                if (wanted && grab(*wanted))
                    m_grab = wanted;
                else
                    qCWarning(lcHotkey)
                        << "The shortcut could not be taken again after a keyboard change";
            }
            Q_EMIT keyboardChanged();
        });
        return false;
    }

    // Switching between the keyboard's layouts (its groups) changes what the keys type, not
    // the map: the grab stands, but whether it should may not.
    const bool groupChanged = m_x->xkbEvent && type == m_x->xkbEvent
        && event->pad0 == XCB_XKB_STATE_NOTIFY
        && (reinterpret_cast<xcb_xkb_state_notify_event_t *>(event)->changed
            & XCB_XKB_STATE_PART_GROUP_STATE);
    if (groupChanged && !m_groupNoticePending) {
        m_groupNoticePending = true;
        postToNextTurn(this, [this] {
            m_groupNoticePending = false;
            Q_EMIT keyboardChanged();
        });
        return false;
    }

    if ((type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE) || !m_grab)
        return false;
    auto *key = reinterpret_cast<xcb_key_press_event_t *>(event);
    if (key->detail != m_grab->keycode)
        return false;
    if (type == XCB_KEY_RELEASE) {
        // The modifiers may be let go first: the key's own release ends the press.
        if (m_keyDown) {
            m_keyDown = false;
            m_lastReleaseTime = key->time;
            m_releaseWatch.stop();
        }
        return false;
    }
    const quint16 locks = quint16(XCB_MOD_MASK_LOCK | m_x->numLockMask);
    if ((key->state & ~locks & 0xff) != m_grab->modifiers)
        return false;
    // Auto-repeat: presses while held, or (without detectable auto-repeat) a press that
    // comes with the same time stamp as the release before it; the key is still held then,
    // so the next release of the pair is known as auto-repeat too.
    if (m_keyDown)
        return true;
    const bool repeat = key->time == m_lastReleaseTime;
    m_keyDown = true;
    // The release may never reach us: when the press came through a keyboard grab of our
    // own (the popover's), the panel closes and lets go of the keyboard before the key is
    // let go, and the release goes to another program. Missing it would take the next
    // press for auto-repeat, so the key's state is read until it is up.
    m_releaseWatch.start();
    if (!repeat)
        Q_EMIT pressed();
    return true;
}

void X11GlobalHotkeyService::checkKeyReleased()
{
    if (!m_keyDown || !m_grab) {
        m_releaseWatch.stop();
        return;
    }
    if (!isKeyDown(m_grab->keycode)) {
        m_keyDown = false;
        m_releaseWatch.stop();
    }
}

bool X11GlobalHotkeyService::isKeyDown(quint8 keycode) const
{
    const X11::Owned<xcb_query_keymap_reply_t> keymap(
        xcb_query_keymap_reply(m_x->c, xcb_query_keymap(m_x->c), nullptr));
    // Unknown counts as down: the watch asks again shortly.
    return !keymap || (keymap->keys[keycode / 8] & (1u << (keycode % 8)));
}

} // namespace nookary
