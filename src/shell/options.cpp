#include "shell/options.h"

#ifndef VEXALOID_VERSION
#define VEXALOID_VERSION "0.0.0"
#endif

namespace vx {

Options readoptions(int argc, const char* const* argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            o.action = Options::help;
        } else if (a == "--version") {
            // --help wins when both are given.
            if (o.action != Options::help) o.action = Options::version;
        } else if (a == "--windowed") {
            o.windowed = true;
        } else if (a == "--fullscreen") {
            o.windowed = false;
        } else if (a == "--replay") {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                o.action = Options::bad;
                o.error = "--replay needs a file";
                return o;
            }
            o.replay = argv[++i];
        } else {
            o.action = Options::bad;
            o.error = a.size() > 1 && a[0] == '-' ? "unknown option '" + a + "'"
                                                  : "unexpected argument '" + a + "'";
            return o;
        }
    }
    return o;
}

std::string usage() {
    return "usage: vexaloid [--windowed | --fullscreen] [--replay FILE.vxr]\n"
           "       vexaloid --help | --version\n"
           "\n"
           "An arcade shooter: steer the ship with the mouse, fire with the left button,\n"
           "turn faint with the right one, Space pauses, Escape quits.\n"
           "\n"
           "  --windowed    start in a window (VEXALOID_WINDOWED=1 does the same)\n"
           "  --fullscreen  start full screen (the default)\n"
           "  --replay FILE.vxr\n"
           "                show a recorded game (Space holds it, Escape ends it)\n"
           "  -h, --help    show this help and exit\n"
           "  --version     show the version and exit\n"
           "\n"
           "Alt+Enter or F11 switches between full screen and a window while playing.\n";
}

std::string gameversion() {
    return VEXALOID_VERSION;
}

std::string versionline() {
    return "vexaloid " VEXALOID_VERSION;
}

}  // namespace vx
