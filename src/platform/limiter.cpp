#include "platform/limiter.h"

#include <algorithm>
#include <cmath>

namespace vx {

Limiter::Limiter(int rate)
    : lookahead_(std::max(1, int(std::lround(kLookaheadSeconds * std::max(rate, 1))))),
      release_(1.0 - std::exp(-1.0 / (kReleaseSeconds * std::max(rate, 1)))),
      delay_(2 * size_t(lookahead_), 0.0f),
      queue_(size_t(lookahead_) + 1),
      held_(size_t(lookahead_), 1.0f),
      sum_(lookahead_) {}

void Limiter::process(float* io, int frames) {
    const int capacity = int(queue_.size());
    for (int i = 0; i < frames; ++i, ++frame_) {
        float& l = io[2 * i];
        float& r = io[2 * i + 1];

        // The gain this frame asks for.
        const float peak = std::max(std::fabs(l), std::fabs(r));
        const float need = peak > kCeiling ? kCeiling / peak : 1.0f;

        // Hold: the lowest need of this frame and the lookahead_ before it.
        while (count_ > 0 && queue_[(front_ + count_ - 1) % capacity].gain >= need) --count_;
        queue_[(front_ + count_) % capacity] = {need, frame_};
        ++count_;
        if (queue_[front_].frame < frame_ - lookahead_) {
            front_ = (front_ + 1) % capacity;
            --count_;
        }
        const float hold = queue_[front_].gain;

        // Attack: the moving average of the hold. Every value averaged saw the
        // frame that comes out now, so the result is no more than it needs.
        sum_ += double(hold) - double(held_[heldat_]);
        held_[heldat_] = hold;
        heldat_ = (heldat_ + 1) % lookahead_;
        const double target = std::min(1.0, sum_ / lookahead_);

        // Release: down at once (the ramp is already smooth), back up gently.
        if (target <= gain_ || target - gain_ < 1e-6)
            gain_ = target;
        else
            gain_ += (target - gain_) * release_;

        // Out goes the frame of lookahead_ ago; in comes this one.
        float* held = &delay_[2 * size_t(at_)];
        const float outl = float(held[0] * gain_), outr = float(held[1] * gain_);
        held[0] = l;
        held[1] = r;
        at_ = (at_ + 1) % lookahead_;
        l = outl;
        r = outr;
    }
}

}  // namespace vx
