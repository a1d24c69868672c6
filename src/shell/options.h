// The command line. The game itself reads none; these are what a packaged
// program is expected to answer.
#pragma once

#include <optional>
#include <string>

namespace vx {

struct Options {
    enum Action { play, help, version, bad };
    Action action = play;
    // Set by --windowed / --fullscreen (the last one given counts); unset
    // leaves the choice to VEXALOID_WINDOWED and then full screen.
    std::optional<bool> windowed;
    std::string error;  // what was wrong, for Action bad
    // --replay FILE: show a recorded game instead of playing.
    std::string replay;
};

Options readoptions(int argc, const char* const* argv);
// The usage text, several lines ending in a newline.
std::string usage();
// "vexaloid X.Y.Z".
std::string versionline();
// "X.Y.Z".
std::string gameversion();

}  // namespace vx
