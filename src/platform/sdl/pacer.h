// Keeps the game at 60 frames a second: by the vertical blank where that is
// 60 Hz and really waits, otherwise by a timer that sleeps most of the frame.
#pragma once

namespace vx {

class Pacer {
public:
    // vsync: swaps are expected to wait for a 60 Hz vertical blank.
    void begin(bool vsync);
    // After each swap.
    void paced();

private:
    void sleepuntil(double t);
    bool vsync_ = false;
    double next_ = -1;     // when the next frame is due, in ms
    double last_ = -1;     // the previous swap
    int probes_ = 0;       // swaps measured to tell whether vsync really waits
    double probesum_ = 0;
};

// The optional frame timer of the settings file: ticks hz times a second; a
// wait returns once it has ticked since the previous wait.
class FrameTimer {
public:
    void start(int hz);
    void wait();

private:
    int hz_ = 0;
    double t0_ = 0;
    long long seen_ = 0;
};

}  // namespace vx
