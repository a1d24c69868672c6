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
    if (mixer_) mixpicture();
    if (onpresent) onpresent(frame_);
    gfx.clearops();
}

void HeadlessPlatform::enablesound(int rate) {
    mixer_ = std::make_unique<Mixer>(rate);
    soundframes_ = 0;
}

AudioOut& HeadlessPlatform::audio() {
    if (mixer_) return *mixer_;
    return silent_;
}

void HeadlessPlatform::mixpicture() {
    // Picture N sounds from frame N * rate / 60 to (N + 1) * rate / 60. Before
    // the first picture (start-up) nothing sounds, and voices started then
    // begin with it.
    const long long rate = mixer_->rate();
    const long long from = frame_ * rate / 60, to = (frame_ + 1) * rate / 60;
    if (soundframes_ < from) {
        sound_.assign(2 * size_t(from - soundframes_), 0.0f);
        if (onsound) onsound(sound_.data(), int(from - soundframes_));
        soundframes_ = from;
    }
    const int n = int(to - soundframes_);
    sound_.resize(2 * size_t(n));
    mixer_->mix(sound_.data(), n);
    if (onsound) onsound(sound_.data(), n);
    soundframes_ = to;
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
    if (onwait)
        onwait();
    else
        suspendedflag = false;
}

}  // namespace vx
