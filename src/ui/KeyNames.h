// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace nookary::KeyNames {

// Makes Qt write keys as a Linux desktop names them wherever it shows a shortcut (menus,
// tooltips): "Delete" for the key Qt calls "Del". A translation installed later (a
// language's own) still decides. Call after the application object exists; again, it does
// nothing.
void install();

} // namespace nookary::KeyNames
