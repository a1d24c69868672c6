// How the process meets the ends the machine forces on it: signals, and the
// chatter of a broken graphics driver.
#pragma once

namespace vx {

// SIGHUP (the terminal that started the game closed), SIGINT and SIGTERM only
// note the request, so the game ends through its normal end and stores the
// best score; SIGPIPE is ignored, so a write to a closed stderr is harmless.
void catchendsignals();
// True once one of those signals has arrived.
bool endsignalled();

// While the window and its OpenGL context come up, what the driver prints on
// stderr is held back.
// When that works, the held lines are shown as they would have been; when it
// does not, only the game's own line reaches the terminal.
class DriverQuiet {
  public:
    DriverQuiet();
    ~DriverQuiet();
    DriverQuiet(const DriverQuiet&) = delete;
    DriverQuiet& operator=(const DriverQuiet&) = delete;
    // It worked: the held output is shown and stderr is back.
    void pass();
    // It failed: `line` goes to the terminal, and everything printed later
    // (the driver unloading, the audio thread) is dropped.
    void fail(const char* line);

  private:
    int saved_ = -1, held_ = -1;
    bool done_ = false;
};

}  // namespace vx
