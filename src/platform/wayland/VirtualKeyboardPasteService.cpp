// SPDX-License-Identifier: GPL-3.0-or-later
#include "VirtualKeyboardPasteService.h"

#include "virtual-keyboard-unstable-v1-client-protocol.h"

#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <QLoggingCategory>
#include <QtGlobal>

#include <chrono>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcVirtualKeyboard, "nookary.paste")

namespace nookary {

namespace {

// evdev key codes, as the keymap below places them.
constexpr uint32_t kKeyLeftCtrl = 29;
constexpr uint32_t kKeyLeftShift = 42;
constexpr uint32_t kKeyLeftAlt = 56;
constexpr uint32_t kKeyV = 47;
constexpr uint32_t kPressed = WL_KEYBOARD_KEY_STATE_PRESSED;
constexpr uint32_t kReleased = WL_KEYBOARD_KEY_STATE_RELEASED;

uint32_t nowMs()
{
    return uint32_t(std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch())
                        .count());
}

} // namespace

struct VirtualKeyboardPasteService::Connection {
    wl_display *display = nullptr;
    wl_registry *registry = nullptr;
    wl_seat *seat = nullptr;
    zwp_virtual_keyboard_manager_v1 *manager = nullptr;
    zwp_virtual_keyboard_v1 *keyboard = nullptr;
    uint32_t controlMask = 0;
    uint32_t shiftMask = 0;
    uint32_t altMask = 0;
    bool failed = false;

    ~Connection()
    {
        if (keyboard)
            zwp_virtual_keyboard_v1_destroy(keyboard);
        if (manager)
            zwp_virtual_keyboard_manager_v1_destroy(manager);
        if (seat)
            wl_seat_destroy(seat);
        if (registry)
            wl_registry_destroy(registry);
        if (display)
            wl_display_disconnect(display);
    }

    static void global(
        void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t)
    {
        auto *self = static_cast<Connection *>(data);
        if (!self->seat && qstrcmp(interface, wl_seat_interface.name) == 0)
            self->seat
                = static_cast<wl_seat *>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        else if (!self->manager
            && qstrcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0)
            self->manager = static_cast<zwp_virtual_keyboard_manager_v1 *>(
                wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    }
    static void globalRemoved(void *, wl_registry *, uint32_t) { }
    static constexpr wl_registry_listener registryListener { &global, &globalRemoved };

    // A US keymap handed over as the compositor wants it: a sealed-size file to map.
    bool sendKeymap()
    {
        xkb_context *context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
        const xkb_rule_names names { "evdev", "pc105", "us", "", "" };
        xkb_keymap *keymap = context
            ? xkb_keymap_new_from_names(context, &names, XKB_KEYMAP_COMPILE_NO_FLAGS)
            : nullptr;
        char *text = keymap ? xkb_keymap_get_as_string(keymap, XKB_KEYMAP_FORMAT_TEXT_V1) : nullptr;
        bool sent = false;
        if (text) {
            controlMask = 1u << xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_CTRL);
            shiftMask = 1u << xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_SHIFT);
            altMask = 1u << xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_ALT);
            const size_t size = std::strlen(text) + 1;
            const int fd = memfd_create("nookary-keymap", MFD_CLOEXEC);
            if (fd >= 0 && write(fd, text, size) == ssize_t(size)) {
                zwp_virtual_keyboard_v1_keymap(
                    keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, uint32_t(size));
                sent = true;
            }
            if (fd >= 0)
                close(fd);
            free(text);
        }
        if (keymap)
            xkb_keymap_unref(keymap);
        if (context)
            xkb_context_unref(context);
        return sent;
    }
};

std::unique_ptr<PasteService> VirtualKeyboardPasteService::create(Clock &clock)
{
    auto wl = std::make_unique<Connection>();
    wl->display = wl_display_connect(nullptr);
    if (!wl->display)
        return nullptr;
    wl->registry = wl_display_get_registry(wl->display);
    wl_registry_add_listener(wl->registry, &Connection::registryListener, wl.get());
    if (wl_display_roundtrip(wl->display) < 0 || !wl->seat || !wl->manager) {
        qCInfo(lcVirtualKeyboard,
            "The compositor offers no virtual keyboard: no paste after choosing.");
        return std::make_unique<NullPasteService>(Availability::noVirtualKeyboard);
    }
    return std::unique_ptr<PasteService>(new VirtualKeyboardPasteService(std::move(wl), clock));
}

VirtualKeyboardPasteService::VirtualKeyboardPasteService(
    std::unique_ptr<Connection> connection, Clock &clock)
    : PasteService(clock)
    , m_wl(std::move(connection))
{
}

VirtualKeyboardPasteService::~VirtualKeyboardPasteService() = default;

PasteService::Availability VirtualKeyboardPasteService::availability() const
{
    return m_wl->failed ? Availability::noVirtualKeyboard : Availability::available;
}

bool VirtualKeyboardPasteService::makeKeyboard() const
{
    m_wl->keyboard
        = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(m_wl->manager, m_wl->seat);
    // A compositor that allows only some clients ends the connection here.
    if (!m_wl->sendKeymap() || wl_display_roundtrip(m_wl->display) < 0) {
        qCWarning(lcVirtualKeyboard, "The compositor refused a virtual keyboard (error %d).",
            wl_display_get_error(m_wl->display));
        m_wl->failed = true;
        return false;
    }
    return true;
}

bool VirtualKeyboardPasteService::isReady(const Request &) const
{
    // The base class asks only once our window has let the keyboard go. The first time, the
    // keyboard is made and programs are given a moment to take it.
    if (m_wl->failed)
        return false;
    if (!m_wl->keyboard) {
        makeKeyboard();
        return false;
    }
    return true;
}

bool VirtualKeyboardPasteService::send(Keys keys)
{
    if (m_wl->failed || !m_wl->keyboard)
        return false;
    zwp_virtual_keyboard_v1 *keyboard = m_wl->keyboard;
    // The modifier held with Ctrl, if any: Shift or Alt.
    uint32_t second = 0;
    uint32_t mods = m_wl->controlMask;
    if (keys == Keys::ctrlShiftV) {
        second = kKeyLeftShift;
        mods |= m_wl->shiftMask;
    } else if (keys == Keys::ctrlAltV) {
        second = kKeyLeftAlt;
        mods |= m_wl->altMask;
    }
    const uint32_t time = nowMs();
    zwp_virtual_keyboard_v1_key(keyboard, time, kKeyLeftCtrl, kPressed);
    if (second)
        zwp_virtual_keyboard_v1_key(keyboard, time, second, kPressed);
    zwp_virtual_keyboard_v1_modifiers(keyboard, mods, 0, 0, 0);
    zwp_virtual_keyboard_v1_key(keyboard, time, kKeyV, kPressed);
    zwp_virtual_keyboard_v1_key(keyboard, time + 1, kKeyV, kReleased);
    if (second)
        zwp_virtual_keyboard_v1_key(keyboard, time + 1, second, kReleased);
    zwp_virtual_keyboard_v1_key(keyboard, time + 1, kKeyLeftCtrl, kReleased);
    zwp_virtual_keyboard_v1_modifiers(keyboard, 0, 0, 0, 0);
    if (wl_display_roundtrip(m_wl->display) < 0) {
        qCWarning(lcVirtualKeyboard, "The compositor ended the virtual keyboard (error %d).",
            wl_display_get_error(m_wl->display));
        m_wl->failed = true;
        return false;
    }
    return true;
}

} // namespace nookary
