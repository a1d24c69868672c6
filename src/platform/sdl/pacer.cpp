#include "platform/sdl/pacer.h"

#include <SDL.h>
#include <time.h>

#include <cerrno>
#include <cmath>

#include "platform/sdl/frame_stats.h"

namespace vx {

namespace {
constexpr double kPeriod = 1000.0 / 60.0;
// The timer sleeps up to this long before a frame is due, then spins the rest:
// a wake-up is usually this much late on a quiet system.
constexpr double kSpinMs = 0.3;
// A frame less than a period late keeps the schedule (the next one waits less);
// a later one starts the schedule anew rather than rushing frames to catch up.
constexpr double kCatchUp = kPeriod;

// Sleeps until t on the steady clock that nowms() reads.
void sleepabsolute(double t) {
    long long ns = static_cast<long long>(t * 1e6);
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(ns / 1000000000);
    ts.tv_nsec = static_cast<long>(ns % 1000000000);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}
}  // namespace

void Pacer::begin(bool vsync) {
    vsync_ = vsync;
    next_ = last_ = -1;
    probes_ = 0;
    probesum_ = 0;
}

void Pacer::sleepuntil(double t) {
    // Sleep to just before t in one absolute wait (no rounding to whole
    // milliseconds), then spin the last fraction of a millisecond.
    if (t - nowms() > kSpinMs) sleepabsolute(t - kSpinMs);
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
    } else if (now - next_ > kCatchUp) {
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
        if (due - nowms() > kSpinMs) sleepabsolute(due - kSpinMs);
        while (nowms() < due) {
        }
    }
    seen_ = ticks;
}

}  // namespace vx
