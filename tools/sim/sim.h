// The headless simulator: the real game on the headless platform, driven by a
// script (or the autopilot), writing a trace and screenshots.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace vx {
struct Game;
class HeadlessPlatform;
}  // namespace vx

namespace vx::sim {

struct Options {
    std::string dir;  // empty: the current folder
    uint32_t seed = 1;
    long long frames = -1;  // -1: until the game ends
    std::string input;      // script file, "-" for standard input
    std::string trace;      // trace file, "-" for standard output
    // Sound file: the game's mixer renders the run's sound into a 16-bit
    // stereo 44.1 kHz WAV, 735 frames per presented picture.
    std::string audio;
    // A recorded game to verify: its start, its input, its checks; the run
    // prints "replay ok: ..." (status 0) or "replay diverged at frame N: ..." (1).
    std::string replay;
    // Records every game the run plays into this folder, as the game does.
    std::string record;
    bool entities = false;
    bool draws = false;
    std::vector<std::pair<long long, std::string>> shots;
    bool autopilot = false;
    // Checks the game's invariants after every picture; the first broken one
    // ends the run with status 3 and "frame N: what broke" in the error.
    bool check = false;
    // Called after every presented frame (tests, soak checks).
    std::function<void(const Game&, int frame)> onframe;
};

// Runs the game; returns the exit status (2 with a message on bad input).
int run(const Options& opt, std::string& error);

// Parses the command line into options; false with a message on a bad argument.
bool parseargs(int argc, char** argv, Options& opt, std::string& error);

}  // namespace vx::sim
