// The program entry: the command line, where the files are, then the game on
// the real platform, recording every game; or a recorded game shown in the window.
#include <cstdio>
#include <cstring>
#include <string>

#include "persist/persist.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/sdl/sdl_platform.h"
#include "shell/game.h"
#include "shell/options.h"
#include "shell/playback.h"
#include "shell/recorder.h"
#include "shell/replay.h"
#include "shell/shell.h"

int main(int argc, char** argv) {
    const vx::Options opts = vx::readoptions(argc, argv);
    switch (opts.action) {
        case vx::Options::help:
            std::fputs(vx::usage().c_str(), stdout);
            return 0;
        case vx::Options::version:
            std::printf("%s\n", vx::versionline().c_str());
            return 0;
        case vx::Options::bad:
            std::fprintf(stderr, "vexaloid: %s\n%s", opts.error.c_str(), vx::usage().c_str());
            return 2;
        case vx::Options::play:
            break;
    }
    // A recorded game is read whole before any window opens.
    std::optional<vx::Replay> replay;
    if (!opts.replay.empty()) {
        // A replay is a few KB of text; anything past 64 MiB is not one.
        int error = 0;
        auto bytes = vx::files::readall(opts.replay, size_t(64) << 20, &error);
        if (!bytes) {
            std::fprintf(stderr, "vexaloid: cannot read replay %s (%s)\n", opts.replay.c_str(),
                         std::strerror(error));
            return 2;
        }
        vx::ReplayError err;
        replay = vx::readreplay(std::string(bytes->begin(), bytes->end()), err);
        if (!replay) {
            std::fprintf(stderr, "vexaloid: %s:%d: %s\n", opts.replay.c_str(), err.line,
                         err.message.c_str());
            return 2;
        }
    }
    vx::Paths paths = vx::findpaths();
    if (!paths.nohome.empty() && !replay)
        std::fprintf(stderr,
                     "vexaloid: no usable home folder (%s); the best score will not be kept\n",
                     paths.nohome.c_str());
    auto platform = vx::makesdlplatform(true, opts.windowed);
    auto game = std::make_unique<vx::Game>(*platform);
    game->paths = paths;
    if (replay) return vx::playreplay(*game, *replay);
    // Without a home for the player's files there is nowhere to keep replays either.
    std::unique_ptr<vx::Recorder> recorder;
    if (!paths.userdata.empty())
        recorder = std::make_unique<vx::Recorder>(*game, paths.userdata + "/replays");
    return vx::rungame(*game);
}
