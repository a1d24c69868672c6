// A bot that plays the game in the simulator: starts games, steers, dodges,
// fires, loses and starts again.
#pragma once

namespace vx {
struct Game;
class HeadlessPlatform;
}  // namespace vx

namespace vx::sim {

class Autopilot {
public:
    Autopilot(HeadlessPlatform& pf, const Game& g) : pf_(pf), g_(g) {}
    // Gives the input for the frame about to be drawn.
    void step(int frame);

private:
    HeadlessPlatform& pf_;
    const Game& g_;
    int lastclick_ = 0;
};

}  // namespace vx::sim
