#include "autopilot.h"

#include "platform/headless.h"
#include "shell/game.h"

namespace vx::sim {

void Autopilot::step(int frame) {
    // Click now and then: ends the splash, starts games, fires.
    if (frame - lastclick_ >= 8) {
        pf_.input.press(Key::mouseleft);
        pf_.input.release(Key::mouseleft);
        lastclick_ = frame;
    }
    (void)g_;
}

}  // namespace vx::sim
