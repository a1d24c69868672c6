// The score display across the top of the playfield.
#pragma once

namespace vx {

struct Game;

// Draws score, best score and wave, raising the best score when it is beaten.
void drawscores(Game& g);

}  // namespace vx
