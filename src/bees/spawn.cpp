// The spawn step: a swarm every spawndelay frames in a normal wave, a bonus bee
// every 140 frames in a bonus round.
#include "bees/spawn.h"

#include "shell/game.h"

namespace vx {

void spawnstep(Game& g) {
    ++g.spawntmr;
    if (g.wavetype < kBonusRound && g.spawntmr >= g.spawndelay) {
        g.spawntmr = 0;
        ++g.spawnctr;
        if (g.spawnctr > 150) g.spawnctr = 0;
        starbee_tag::Create(g, kSwarmBee, 0.0f, 0.0f, 0.0f, g.spawnctr, 0);
    } else if (g.wavetype == kBonusRound && g.spawntmr >= 140) {
        g.spawntmr = 0;
        starbee_tag::Create(g, kBonusBee, 0.0f, 0.0f, 0.0f, 0, 0);
    }
}

}  // namespace vx
