#include "platform/headless.h"

#include <algorithm>
#include <cmath>

namespace vx {

HeadlessPlatform::HeadlessPlatform() = default;

void HeadlessPlatform::flip() {
    // The picture is shown at the next vertical blank of a 60 Hz display.
    if (render) cpu_.render(gfx);
    clock_ += 1000.0 / 60.0;
    ++frame_;
    if (onpresent) onpresent(frame_);
    gfx.clearops();
}

void HeadlessPlatform::grabpicture(Image& img) {
    std::vector<uint8_t> rgb;
    cpu_.readpixels(rgb);
    img = makeimage(kScreenW, kScreenH, 1, false);
    Picture pic{kScreenW, kScreenH, std::move(rgb)};
    cutframe(img, 0, pic, 0, 0);
}

void HeadlessPlatform::movemouse(int x, int y) {
    mx_ = std::clamp(x, 0, kScreenW - 1);
    my_ = std::clamp(y, 0, kScreenH - 1);
}

void HeadlessPlatform::createtimer(int hz) {
    timerhz_ = (hz > 0 && hz <= 1000) ? hz : 0;
    timerseen_ = 0;
}

void HeadlessPlatform::waittimer() {
    if (!timerhz_) return;
    long long ticks = static_cast<long long>(std::floor(clock_ * timerhz_ / 1000.0));
    if (ticks <= timerseen_) {
        // Sleep until the next tick.
        ticks = timerseen_ + 1;
        clock_ = std::max(clock_, static_cast<double>(ticks) * 1000.0 / timerhz_);
    }
    timerseen_ = ticks;
}

void HeadlessPlatform::waitevents() {
    clock_ += 1.0;
    if (onwait) onwait();
    else suspendedflag = false;
}

}  // namespace vx
