// The figures VEXALOID_STATS=1 prints at exit: frame rate, pacing, draw calls,
// heap allocations per frame and the time to the first picture.
#pragma once

#include <cstdint>
#include <vector>

namespace vx {

class FrameStats {
public:
    FrameStats();
    bool enabled() const { return enabled_; }
    // After each present: the draw calls it took; skip marks a frame whose
    // allocations do not count (a music track was loaded in it).
    void presented(int drawcalls, bool skipallocs);
    void print() const;

private:
    bool enabled_ = false;
    double start_ = 0, first_ = -1, last_ = 0;
    std::vector<double> intervals_;
    long long frames_ = 0, drawsum_ = 0;
    int drawmax_ = 0;
    uint64_t lastallocs_ = 0;
    long long allocframes_ = 0, allocsum_ = 0, allocmax_ = 0;
};

// Heap allocations made through operator new so far.
uint64_t heapallocations();
// Milliseconds on a steady clock, from an arbitrary start.
double nowms();
// Milliseconds since the process started.
double sinceprocessstart();

}  // namespace vx
