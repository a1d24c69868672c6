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

    // How far the bot has got, for the soak's summary.
    int games() const { return games_; }
    int bestwave() const { return bestwave_; }
    int bestscore() const { return bestscore_; }

    // The fastest the bot moves the pointer, in pixels per frame (a quick hand).
    static constexpr int kMaxStep = 24;
    // How long the bot goes on knocking bonus bees up before it lets them escape.
    static constexpr int kBonusFrames = 1800;

  private:
    void click();
    void play();
    // How soon a spark or a bee would touch the ship standing at (x, y): 0 for
    // never within the look-ahead, larger for sooner.
    int danger(int x, int y) const;
    // The column to fire from: under the nearest bee worth shooting, led for its flight.
    int targetcolumn() const;

    HeadlessPlatform& pf_;
    const Game& g_;
    int titleframes_ = 0;
    int bonusframes_ = 0;  // frames played in the current bonus round
    bool wasplaying_ = false;
    int games_ = 0, bestwave_ = 0, bestscore_ = 0;
};

}  // namespace vx::sim
