// The simulator's platform: no window and no audio device, the CPU renderer
// on demand, a virtual clock in which waits take no real time, and input fed
// by the caller between pictures. On request the game's own mixer renders the
// sound by the same clock: rate/60 frames per presented picture (the remainder
// carried), so picture N's sound starts at frame N * rate / 60; waits between
// pictures (a delay, a suspension) add no sound.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/mixer.h"
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
    // With sound on: called at every present, before onpresent, with that
    // picture's mixed interleaved stereo frames.
    std::function<void(const float* frames, int count)> onsound;
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

    // Mixes the game's voices at this rate from now on (call before the game starts).
    void enablesound(int rate);
    AudioOut& audio() override;

  private:
    void mixpicture();

    CpuRenderer cpu_;
    SilentAudio silent_;
    std::unique_ptr<Mixer> mixer_;
    std::vector<float> sound_;   // one picture's frames
    long long soundframes_ = 0;  // frames of sound handed out so far
    int frame_ = 0;
    double clock_ = 0.0;  // virtual milliseconds
    int mx_ = 0, my_ = 0;
    int timerhz_ = 0;
    long long timerseen_ = 0;
};

}  // namespace vx
