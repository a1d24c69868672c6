#include "shell/game.h"

namespace vx {

void clearplayfield(Game& g) {
    g.beelist.clear();
    g.shotlist.clear();
    g.splatlist.clear();
    g.beeshotlist.clear();
    g.pointslist.clear();
    g.partlist.clear();
}

}  // namespace vx
