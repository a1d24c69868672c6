// The player's ship, which also carries the game's progress.
#pragma once

namespace vx {

struct Game;

// The box the ship is kept in while steered (inclusive).
constexpr int kShipTop = 280;
constexpr int kShipBottom = 460;
constexpr int kShipLeft = 95;
constexpr int kShipRight = 545;

struct player_tag {
    int x = 0;
    int y = 0;
    int frame = 0;
    int shotctr = 0;
    int hyperctr = 0;
    int dead = 0;
    int score = 0;
    int hscore = 0;
    int wave = 0;
    int newhs = 0;

    void reset(Game& g);
    void update(Game& g, int control);

    template <class V>
    void visit(V&& v) const {
        v("x", x), v("y", y), v("frame", frame), v("shotctr", shotctr), v("hyperctr", hyperctr);
        v("dead", dead), v("score", score), v("hscore", hscore), v("wave", wave), v("newhs", newhs);
    }
};

}  // namespace vx
