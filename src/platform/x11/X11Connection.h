// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace nookary::X11 {

// Replies, events and errors that xcb hands over belong to the caller; this frees them.
struct FreeDeleter {
    void operator()(void *pointer) const { std::free(pointer); }
};
template <typename T> using Owned = std::unique_ptr<T, FreeDeleter>;

// Qt's connection to the X server; null when the application does not run on X11.
xcb_connection_t *qtConnection();
xcb_window_t rootWindow(xcb_connection_t *c);
// XCB_ATOM_NONE when the server does not answer.
xcb_atom_t internAtom(xcb_connection_t *c, const char *name);

// One taking of a selection, as `ClipboardContents::origin` names it: the owner's window and
// the time it took the selection (XFixes reports both). 0 for no owner.
inline quint64 selectionOrigin(xcb_window_t owner, xcb_timestamp_t time)
{
    return owner == XCB_NONE ? 0 : quint64(owner) << 32 | time;
}

} // namespace nookary::X11
