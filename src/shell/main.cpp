// The program entry: the command line, where the files are, then the game on
// the real platform.
#include <cstdio>

#include "platform/paths.h"
#include "platform/sdl/sdl_platform.h"
#include "shell/game.h"
#include "shell/options.h"
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
    vx::Paths paths = vx::findpaths();
    if (!paths.nohome.empty())
        std::fprintf(stderr,
                     "vexaloid: no usable home folder (%s); the best score will not be kept\n",
                     paths.nohome.c_str());
    auto platform = vx::makesdlplatform(true, opts.windowed);
    auto game = std::make_unique<vx::Game>(*platform);
    game->paths = paths;
    return vx::rungame(*game);
}
