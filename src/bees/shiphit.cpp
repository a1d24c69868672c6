// The ship is hit by the spark image alone: a spark tests its own frame, a bee
// tests a spark-sized probe at its centre, both against the whole ship frame.
#include "bees/shiphit.h"

#include "shell/game.h"

namespace vx {

bool touchesship(const Game& g, float x, float y) {
    const Placement ship(g.img.shipimg, 0, static_cast<float>(g.player.x),
                         static_cast<float>(g.player.y), 1.0f, 1.0f, 0.0f);
    const Placement spark(g.img.beeshotimg, 0, static_cast<float>(static_cast<int>(x)),
                          static_cast<float>(static_cast<int>(y)), 1.0f, 1.0f, 0.0f);
    return imagesoverlap(ship, spark);
}

void destroyship(Game& g) {
    clearplayfield(g);
    g.player.dead = 1;
    playsfx(g, shipdiesnd);
    stopmusic(g);
    g.control = 0;
    g.gameover = 1;
    float px = static_cast<float>(g.player.x);
    float py = static_cast<float>(g.player.y);
    beesplat_tag::Create(g, px, py, 0.5f);
    particle_tag::Create(g, px, py, 1, 0.4f, 80);
}

}  // namespace vx
