// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/NookaryApp.h"

// The running program's side, kept in a module of its own: command lines that only talk to
// a running Nookary never load the user interface, the X11 libraries or the SVG renderer.
extern "C" __attribute__((visibility("default"))) int nookary_run_instance(
    int argc, char **argv, bool launchedFromLoginItem)
{
    return nookary::NookaryApp::runInstance(argc, argv, launchedFromLoginItem);
}
