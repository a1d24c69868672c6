// Screenshots: a 640x480 RGB picture written as a PNG file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vx::sim {

// False with a message in `error` when the file cannot be written.
bool writepng(const std::string& path, const std::vector<uint8_t>& rgb, std::string& error);

}  // namespace vx::sim
