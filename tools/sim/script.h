// The input script reader lives with the game (replays use it too).
#pragma once

#include "shell/script.h"
