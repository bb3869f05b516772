// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace nookary {

// The running program: becomes the one Nookary of this user (or asks the one that runs to
// re-open) and runs the event loop until Quit.
namespace NookaryApp {
int runInstance(int argc, char **argv, bool launchedFromLoginItem);
}

} // namespace nookary
