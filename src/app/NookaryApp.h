#pragma once

namespace nookary {

// The program's entry: reads the command line, talks to a running instance or becomes the
// running instance, and runs the event loop.
namespace NookaryApp {
int run(int argc, char **argv);
}

} // namespace nookary
