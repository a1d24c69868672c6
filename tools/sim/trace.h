// One JSON object per presented picture.
#pragma once

#include <string>

namespace vx {
struct Game;
}

namespace vx::sim {

void tracefields(const Game& g, int frame, int px, int py, bool entities, bool draws, std::string& out);

}  // namespace vx::sim
