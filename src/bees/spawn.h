// The spawn step: releases swarms in a normal wave and bonus bees in a bonus round.
#pragma once

namespace vx {

struct Game;

// Advances the spawn timer and releases swarms or bonus bees.
void spawnstep(Game& g);

}  // namespace vx
