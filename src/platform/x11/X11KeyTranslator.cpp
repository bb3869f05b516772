// SPDX-License-Identifier: GPL-3.0-or-later
#include "X11KeyTranslator.h"

#include "platform/x11/X11Connection.h"

#include <xcb/xcb.h>
// xkb.h names a member "explicit", a C++ keyword.
#define explicit xcb_explicit
#include <xcb/xkb.h>
#undef explicit

namespace nookary {

namespace {

// Keysyms up to 0xff are Latin-1, the same numbers as the characters.
bool isLatin1(xcb_keysym_t sym)
{
    return sym != 0 && sym <= 0xff;
}

} // namespace

std::optional<QChar> X11KeyTranslator::letterTyped(quint32 virtualKey) const
{
    const std::optional<quint32> keycode = nativeScanCode(virtualKey);
    if (!m_connection || !keycode || *keycode > 255)
        return KeyTranslator::letterTyped(virtualKey);
    xcb_connection_t *c = m_connection;
    const auto code = xcb_keycode_t(*keycode);
    const auto stateCookie = xcb_xkb_get_state(c, XCB_XKB_ID_USE_CORE_KBD);
    const auto mapCookie = xcb_xkb_get_map(c, XCB_XKB_ID_USE_CORE_KBD, 0, XCB_XKB_MAP_PART_KEY_SYMS,
        0, 0, code, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    const X11::Owned<xcb_xkb_get_state_reply_t> state(
        xcb_xkb_get_state_reply(c, stateCookie, nullptr));
    const X11::Owned<xcb_xkb_get_map_reply_t> map(xcb_xkb_get_map_reply(c, mapCookie, nullptr));
    if (!state || !map || !(map->present & XCB_XKB_MAP_PART_KEY_SYMS) || map->nKeySyms != 1)
        return KeyTranslator::letterTyped(virtualKey);
    xcb_xkb_get_map_map_t parts {};
    xcb_xkb_get_map_map_unpack(xcb_xkb_get_map_map(map.get()), map->nTypes, map->nKeySyms,
        map->nKeyActions, map->totalActions, map->totalKeyBehaviors, map->virtualMods,
        map->totalKeyExplicit, map->totalModMapKeys, map->totalVModMapKeys, map->present, &parts);
    const xcb_xkb_key_sym_map_t *keySyms = parts.syms_rtrn;
    const int groups = keySyms ? keySyms->groupInfo & 0x0f : 0;
    const int width = keySyms ? keySyms->width : 0;
    if (groups == 0 || width == 0 || keySyms->nSyms < groups * width)
        return std::nullopt; // the key types nothing
    const xcb_keysym_t *syms = xcb_xkb_key_sym_map_syms(keySyms);

    // The first level of the group in use; a group beyond the key's own wraps round, as
    // the server does by default.
    xcb_keysym_t sym = syms[(state->group % groups) * width];
    // As Qt and GTK read Control shortcuts: a key whose symbol is not Latin (Cyrillic,
    // Greek...) counts as the Latin letter it types in another layout.
    for (int group = 0; !isLatin1(sym) && group < groups; ++group) {
        if (isLatin1(syms[group * width]))
            sym = syms[group * width];
    }
    const QChar letter = QChar(char16_t(sym)).toUpper();
    if (isLatin1(sym) && letter >= u'A' && letter <= u'Z')
        return letter;
    return std::nullopt;
}

} // namespace nookary
