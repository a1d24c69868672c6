// The simulator's input script: one event a line, "FRAME EVENT", in frame order.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/input.h"

namespace vx::sim {

struct Event {
    enum Kind { move, press, release, tap, suspend, resume, quit } kind = move;
    int frame = 0;
    Key key = Key::escape;
    int x = 0, y = 0;
    int line = 0;
};

struct ScriptError {
    int line = 0;
    std::string message;
};

// Parses a whole script; on the first bad line, the error with its line number.
std::vector<Event> parsescript(const std::string& text, std::optional<ScriptError>& error);

}  // namespace vx::sim
