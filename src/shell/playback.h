// A recorded game shown in the window at normal speed: the recorded input
// drives the game, the player's mouse is ignored, Space pauses the showing
// and Escape ends it. Nothing is stored and nothing is recorded.
#pragma once

#include "shell/game.h"
#include "shell/replay.h"

namespace vx {

// Gives the game a recorded input line as the platform would.
void applyevent(Platform& pf, Input& in, const Event& e);

class ReplayPlayer final : public FrameWatcher {
  public:
    ReplayPlayer(Game& g, const Replay& r);
    ~ReplayPlayer() override;
    void presented(Game& g) override;
    // The events of frames up to and including `frame`.
    void deliver(int frame);

  private:
    void holdstill(Game& g);

    Game& g_;
    const Replay& replay_;
    size_t next_ = 0;
    int frame_ = 0;
};

// Plays a replay to its end (or Escape); prints "replay: score S wave W".
// Returns the exit status.
int playreplay(Game& g, const Replay& r);

}  // namespace vx
