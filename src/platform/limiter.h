// The master output's limiter: a stereo-linked look-ahead peak limiter, so
// that no number of voices at any volume reaches full scale, and a mix that
// stays under the ceiling comes out untouched.
//
// How it works, frame by frame:
//  - every frame is held back by the look-ahead before it is written;
//  - each frame asks for the gain that brings its louder side to the ceiling
//    (1 when it is already below);
//  - the gain used is the lowest asked for within the look-ahead (a hold),
//    averaged over the look-ahead: a straight ramp down that has arrived
//    when the loud frame comes out, so the attack never steps;
//  - afterwards the gain returns to 1 with an exponential release.
//
// Settings (kCeiling, kLookaheadSeconds, kReleaseSeconds):
//   ceiling     0.944 (-0.5 dBFS): no sample that comes out is above it;
//   look-ahead  2 ms (88 frames at 44.1 kHz): the attack time and the delay;
//   release     60 ms time constant: quick enough not to duck the music for
//               long after a burst, slow enough not to make it flutter.
// The sound files peak at -1 dBFS, so one voice at any volume is never touched.
#pragma once

#include <vector>

namespace vx {

class Limiter {
  public:
    static constexpr float kCeiling = 0.944f;
    static constexpr double kLookaheadSeconds = 0.002;
    static constexpr double kReleaseSeconds = 0.060;

    // rate: frames per second.
    explicit Limiter(int rate);

    // Limits interleaved stereo in place; the output is the input of
    // latency() frames ago. Allocates nothing.
    void process(float* io, int frames);

    // The delay in frames.
    int latency() const { return lookahead_; }
    // The gain applied to the frame written last (1 when not limiting).
    float gain() const { return float(gain_); }

  private:
    const int lookahead_;
    const double release_;  // share of the way back to the target per frame

    // The frames held back, interleaved, and where the oldest is.
    std::vector<float> delay_;
    int at_ = 0;

    // The lowest asked-for gain within the last lookahead_ + 1 frames: a
    // queue of (gain, frame) rising from front to back, in a ring.
    struct Need {
        float gain;
        long long frame;
    };
    std::vector<Need> queue_;
    int front_ = 0, count_ = 0;
    long long frame_ = 0;

    // The moving average of the held gain over lookahead_ frames.
    std::vector<float> held_;
    double sum_;
    int heldat_ = 0;

    double gain_ = 1.0;  // double, so that the release does reach 1
};

}  // namespace vx
