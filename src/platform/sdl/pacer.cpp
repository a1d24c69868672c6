#include "platform/sdl/pacer.h"

#include <SDL.h>

#include <cmath>

#include "platform/sdl/frame_stats.h"

namespace vx {

namespace {
constexpr double kPeriod = 1000.0 / 60.0;
}

void Pacer::begin(bool vsync) {
    vsync_ = vsync;
    next_ = last_ = -1;
    probes_ = 0;
    probesum_ = 0;
}

void Pacer::sleepuntil(double t) {
    // Sleep most of the wait, then spin the last fraction of a millisecond.
    for (double left = t - nowms(); left > 1.5; left = t - nowms())
        SDL_Delay(static_cast<Uint32>(left - 1.0));
    while (nowms() < t) {
    }
}

void Pacer::paced() {
    double now = nowms();
    if (vsync_) {
        // A swap interval that does not wait (Xvfb, some drivers) shows in the
        // first frames; then the timer takes over.
        if (last_ >= 0 && probes_ < 30) {
            probesum_ += now - last_;
            if (++probes_ == 30 && probesum_ / probes_ < kPeriod * 0.8) {
                vsync_ = false;
                SDL_GL_SetSwapInterval(0);
            }
        }
        last_ = now;
        if (vsync_) return;
    }
    if (next_ < 0) next_ = now;
    next_ += kPeriod;
    if (now < next_) {
        sleepuntil(next_);
    } else if (now - next_ > kPeriod) {
        // After a late frame, resume the schedule rather than rush to catch up.
        next_ = now;
    }
}

void FrameTimer::start(int hz) {
    // A frequency the clock cannot honour means no timer.
    hz_ = (hz > 0 && hz <= 1000) ? hz : 0;
    t0_ = nowms();
    seen_ = 0;
}

void FrameTimer::wait() {
    if (!hz_) return;
    double tick = 1000.0 / hz_;
    long long ticks = static_cast<long long>((nowms() - t0_) / tick);
    if (ticks <= seen_) {
        ticks = seen_ + 1;
        double due = t0_ + ticks * tick;
        while (nowms() < due) {
            double left = due - nowms();
            if (left > 1.5) SDL_Delay(static_cast<Uint32>(left - 1.0));
        }
    }
    seen_ = ticks;
}

}  // namespace vx
