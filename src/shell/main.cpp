// The program entry: the game on the real platform.
#include "platform/sdl/sdl_platform.h"
#include "shell/game.h"
#include "shell/shell.h"

int main() {
    auto platform = vx::makesdlplatform();
    auto game = std::make_unique<vx::Game>(*platform);
    return vx::rungame(*game);
}
