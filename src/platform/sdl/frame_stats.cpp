#include "platform/sdl/frame_stats.h"

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <new>
#include <sstream>
#include <string>

namespace {
std::atomic<uint64_t> gAllocs{0};
}

// Counting every allocation of the program costs one relaxed increment.
void* operator new(std::size_t n) {
    gAllocs.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) {
    return operator new(n);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}

namespace vx {

uint64_t heapallocations() {
    return gAllocs.load(std::memory_order_relaxed);
}

double nowms() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

double sinceprocessstart() {
    // Field 22 of /proc/self/stat: the start time in clock ticks since boot.
    std::ifstream f("/proc/self/stat");
    std::string s((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    size_t close = s.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream rest(s.substr(close + 2));
    std::string field;
    for (int i = 3; i <= 22 && rest >> field; ++i) {
    }
    double startticks = std::atof(field.c_str());
    timespec ts;
    clock_gettime(CLOCK_BOOTTIME, &ts);
    double boot = ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
    return boot - startticks * 1000.0 / sysconf(_SC_CLK_TCK);
}

FrameStats::FrameStats() {
    const char* e = std::getenv("VEXALOID_STATS");
    enabled_ = e && e[0] == '1';
    start_ = nowms();
    if (enabled_) intervals_.reserve(1 << 20);
}

void FrameStats::presented(int drawcalls, bool skipallocs) {
    if (!enabled_) return;
    double t = nowms();
    if (first_ < 0)
        first_ = sinceprocessstart();
    else if (intervals_.size() < intervals_.capacity())
        intervals_.push_back(t - last_);
    last_ = t;
    ++frames_;
    drawsum_ += drawcalls;
    drawmax_ = std::max(drawmax_, drawcalls);
    uint64_t a = heapallocations();
    // Allocations count from the second second on.
    if (frames_ > 60 && !skipallocs) {
        long long n = static_cast<long long>(a - lastallocs_);
        ++allocframes_;
        allocsum_ += n;
        allocmax_ = std::max(allocmax_, n);
    }
    lastallocs_ = heapallocations();
}

void FrameStats::print() const {
    if (!enabled_) return;
    std::vector<double> iv = intervals_;
    double p99 = 0, sum = 0, longest = 0;
    for (double v : iv) sum += v, longest = std::max(longest, v);
    if (!iv.empty()) {
        size_t k = std::min(iv.size() - 1, static_cast<size_t>(iv.size() * 0.99));
        std::nth_element(iv.begin(), iv.begin() + k, iv.end());
        p99 = iv[k];
    }
    double fps = sum > 0 ? iv.size() * 1000.0 / sum : 0;
    std::fprintf(
        stderr,
        "stats: frames=%lld fps=%.2f p99_ms=%.2f draws_mean=%.2f draws_max=%d allocs_mean=%.3f "
        "allocs_max=%lld first_frame_ms=%.1f max_ms=%.2f\n",
        frames_, fps, p99, frames_ ? static_cast<double>(drawsum_) / frames_ : 0.0, drawmax_,
        allocframes_ ? static_cast<double>(allocsum_) / allocframes_ : 0.0, allocmax_, first_,
        longest);
}

}  // namespace vx
