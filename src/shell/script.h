// Input scripts: one event a line, "FRAME EVENT", in frame order. The simulator
// reads them, and replays carry their input in the same lines.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/input.h"

namespace vx {

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

// One event from a line's words ("120", "move", "300", "400") whose frame is
// at least minframe; on a bad line, false and what is wrong.
bool parseevent(const std::vector<std::string>& words, int minframe, Event& e, std::string& error);

// The script line of an event, without its newline ("120 move 300 400").
std::string eventline(const Event& e);
// The same into a caller's buffer, for writers that must not allocate; the
// length written, or -1 when it does not fit.
int formatevent(const Event& e, char* buf, size_t size);

}  // namespace vx

// The simulator's own names for them.
namespace vx::sim {
using vx::Event;
using vx::parsescript;
using vx::ScriptError;
}  // namespace vx::sim
