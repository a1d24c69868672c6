// The simulator's platform: no window and no audio device, the CPU renderer
// on demand, a virtual clock in which waits take no real time, and input fed
// by the caller between pictures.
#pragma once

#include <functional>

#include "platform/platform.h"
#include "platform/renderer.h"

namespace vx {

class HeadlessPlatform : public Platform {
public:
    HeadlessPlatform();

    // Called as the last thing of every present, with the presented frame's number.
    std::function<void(int frame)> onpresent;
    // Called while the game waits suspended; it delivers the next input.
    std::function<void()> onwait;
    // Render each presented picture with the CPU renderer (screenshots).
    bool render = false;
    bool suspendedflag = false;
    bool quitflag = false;

    int frame() const { return frame_; }
    CpuRenderer& renderer() { return cpu_; }

    void settitle(const char*) override {}
    bool opendisplay() override { return true; }
    void flip() override;
    void grabpicture(Image& img) override;
    void hidepointer() override {}

    int mousex() override { return mx_; }
    int mousey() override { return my_; }
    void movemouse(int x, int y) override;

    uint32_t millisecs() override { return static_cast<uint32_t>(clock_); }
    uint32_t clockseed() override { return seed; }
    uint32_t seed = 1;
    void delay(int ms) override { clock_ += ms > 0 ? ms : 0; }
    void createtimer(int hz) override;
    void waittimer() override;

    bool suspended() override { return suspendedflag; }
    void waitevents() override;
    bool quitrequested() override { return quitflag; }

    AudioOut& audio() override { return silent_; }

private:
    CpuRenderer cpu_;
    SilentAudio silent_;
    int frame_ = 0;
    double clock_ = 0.0;  // virtual milliseconds
    int mx_ = 0, my_ = 0;
    int timerhz_ = 0;
    long long timerseen_ = 0;
};

}  // namespace vx
