#include "shell/game.h"

namespace vx {

void clearplayfield(Game& g) {
    eachplaylist(g, [](auto& list) { list.clear(); });
}

}  // namespace vx
