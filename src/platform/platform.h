// Everything the game asks of the machine: the display and its drawing layer,
// input, time, the application's state and the audio output. Two platforms
// implement it: the real one on SDL2 and OpenGL, and the headless one of the
// simulator (CPU renderer, virtual clock, scripted input).
#pragma once

#include <cstdint>

#include "platform/audio_out.h"
#include "platform/draw.h"
#include "platform/image.h"
#include "platform/input.h"

namespace vx {

// Told of every input the player gives the game, as it arrives (the replay
// recorder): keys and buttons, the pointer's new position, the application
// suspended or resumed, the close request.
class InputSink {
  public:
    virtual ~InputSink() = default;
    virtual void key(Key k, bool down) = 0;
    virtual void pointer(int x, int y) = 0;
    virtual void suspend(bool suspended) = 0;
    virtual void quit() = 0;
};

class Platform {
  public:
    virtual ~Platform() = default;

    DrawLayer gfx;
    Input input;
    InputSink* sink = nullptr;
    // A recorded game plays: the player's keys and buttons go to `viewer`
    // instead of `input`, and the pointer is the recording's alone.
    bool playback = false;
    Input viewer;

    // Display
    virtual void settitle(const char* title) = 0;
    // Opens the 640x480 picture; false (with a message printed) when there is no display.
    virtual bool opendisplay() = 0;
    // Shows the back buffer at the next vertical blank, paced to 60 per second.
    virtual void flip() = 0;
    // Copies the picture last shown into frame 0 of a 640x480 image (masked).
    virtual void grabpicture(Image& img) = 0;
    virtual void hidepointer() = 0;

    // Pointer, in picture pixels.
    virtual int mousex() = 0;
    virtual int mousey() = 0;
    virtual void movemouse(int x, int y) = 0;

    // Time
    virtual uint32_t millisecs() = 0;
    // The value the game seeds its generator with: the millisecond clock.
    virtual uint32_t clockseed() { return millisecs(); }
    virtual void delay(int ms) = 0;
    // The optional frame timer; a frequency it cannot honour makes no timer.
    virtual void createtimer(int hz) = 0;
    // Waits until the frame timer has ticked at least once since the last wait.
    virtual void waittimer() = 0;

    // Application state
    virtual bool suspended() = 0;
    // Processes the system's events while the game waits (suspended).
    virtual void waitevents() = 0;
    // The window system asked the game to close (close button, Alt+F4, SIGTERM).
    virtual bool quitrequested() = 0;

    // Audio
    virtual AudioOut& audio() = 0;
};

}  // namespace vx
