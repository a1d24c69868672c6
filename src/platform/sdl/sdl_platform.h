// The real platform: an SDL2 window with an OpenGL context, the mouse and
// keyboard, SDL's clock and audio device.
#pragma once

#include <memory>

#include "platform/platform.h"

namespace vx {

std::unique_ptr<Platform> makesdlplatform();

}  // namespace vx
