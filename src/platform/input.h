// Key and button counts: presses since a key's count was last read, whether it
// is held, and flushing.
#pragma once

#include <array>

namespace vx {

enum class Key { escape, space, f1, f2, f3, mouseleft, mouseright, count };

class Input {
public:
    // Was hit: reads and clears the count.
    bool hit(Key k) {
        int n = counts_[idx(k)];
        counts_[idx(k)] = 0;
        return n > 0;
    }
    bool down(Key k) const { return down_[idx(k)]; }
    int pending(Key k) const { return counts_[idx(k)]; }

    void press(Key k) {
        ++counts_[idx(k)];
        down_[idx(k)] = true;
    }
    void release(Key k) { down_[idx(k)] = false; }

    void flushkeys() { flushrange(Key::escape, Key::f3); }
    void flushmouse() { flushrange(Key::mouseleft, Key::mouseright); }

private:
    static int idx(Key k) { return static_cast<int>(k); }
    void flushrange(Key from, Key to) {
        for (int i = idx(from); i <= idx(to); ++i) counts_[i] = 0, down_[i] = false;
    }
    std::array<int, static_cast<int>(Key::count)> counts_{};
    std::array<bool, static_cast<int>(Key::count)> down_{};
};

}  // namespace vx
