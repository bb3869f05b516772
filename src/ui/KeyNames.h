// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace nookary::KeyNames {

// Makes Qt write keys as a Linux desktop names them wherever it shows a shortcut (menus,
// tooltips): "Delete" for the key Qt calls "Del". A language's own words decide: Nookary's
// translation where it names the key ("Entf", "Eingabe"), else Qt's for that language. Call
// after the application object exists; again, while it is installed, it does nothing.
void install();

} // namespace nookary::KeyNames
