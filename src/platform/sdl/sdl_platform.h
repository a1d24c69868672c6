// The real platform: an SDL2 window with an OpenGL context, the mouse and
// keyboard, SDL's clock and audio device.
#pragma once

#include <memory>
#include <optional>

#include "platform/platform.h"

namespace vx {

// earlyaudio: the program plays sound, so the audio device is opened on a
// thread of its own while the window and its OpenGL context come up (that
// takes a good part of the time to the first picture); the baseline passes
// false and never opens it. windowed: the start mode asked for on the command
// line; unset, VEXALOID_WINDOWED=1 starts in a window, anything else full screen.
std::unique_ptr<Platform> makesdlplatform(bool earlyaudio = true,
                                          std::optional<bool> windowed = std::nullopt);

}  // namespace vx
