// The game's own pointer, for systems that report only the mouse's motion and
// cannot place the system pointer (Wayland, the browser's Pointer Lock). It is
// kept in picture pixels, fractions included, moves by the mouse's motion
// scaled from the display to the picture, stops at the picture's edges (no
// dead zone: a move back inward takes effect at once), and goes wherever the
// game moves the pointer.
#pragma once

#include <algorithm>
#include <cmath>

#include "platform/draw.h"

namespace vx {

class GamePointer {
  public:
    // dx, dy in display pixels; scale: picture pixels per display pixel.
    void moveby(double dx, double dy, double scale) {
        x_ = std::clamp(x_ + dx * scale, 0.0, kScreenW - 1.0);
        y_ = std::clamp(y_ + dy * scale, 0.0, kScreenH - 1.0);
    }
    // The game moves the pointer (the ship's reset, its box, the pause's end).
    void moveto(int x, int y) {
        x_ = std::clamp(x, 0, kScreenW - 1);
        y_ = std::clamp(y, 0, kScreenH - 1);
    }
    // The picture pixel under it. Scaled motion is not exact in binary (three
    // thirds of a pixel add up to just under one), so a hair's breadth counts.
    int x() const { return static_cast<int>(std::floor(x_ + kHair)); }
    int y() const { return static_cast<int>(std::floor(y_ + kHair)); }

  private:
    static constexpr double kHair = 1e-6;
    // It starts at the picture's centre.
    double x_ = kScreenW / 2, y_ = kScreenH / 2;
};

}  // namespace vx
