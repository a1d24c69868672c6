// The ship's destruction: the one test of a bee or spark against the ship, and
// what happens when it hits.
#pragma once

namespace vx {

struct Game;

// Whether the spark image's unscaled frame, placed at (x, y) cut to whole
// pixels, covers an opaque pixel of the ship's whole unscaled frame 0.
bool touchesship(const Game& g, float x, float y);

// The ship is destroyed: the playfield emptied, the game over.
void destroyship(Game& g);

}  // namespace vx
