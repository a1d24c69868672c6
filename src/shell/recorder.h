// Records every game played into the replay folder: from the picture whose
// click started it to its end (the title screen back after the game over or
// F1, Escape, the close request). The last 50 games are kept, and every game
// that set a new best score.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/files.h"
#include "platform/platform.h"
#include "shell/game.h"
#include "shell/replay.h"

namespace vx {

constexpr int kKeptReplays = 50;

class Recorder final : public FrameWatcher, public InputSink {
  public:
    // Watches the game and its platform's input from now on.
    Recorder(Game& g, std::string folder);
    ~Recorder() override;

    void presented(Game& g) override;
    void programending(Game& g) override;

    void key(Key k, bool down) override;
    void pointer(int x, int y) override;
    void suspend(bool suspended) override;
    void quit() override;

    // The file the last finished game went to (empty when none was kept).
    const std::string& lastfile() const { return lastfile_; }

  private:
    void begin(Game& g);
    void end(Game& g);
    void input(Event e);
    void append(const char* text, int size);
    bool flush();
    void fail(const std::string& why);
    void prune();

    Game& g_;
    std::string folder_, lastfile_, stamp_;
    files::Appender file_;
    bool recording_ = false, wastitle_ = false;
    int frame_ = 0;  // pictures shown since the game started
    int startbest_ = 0;
    int lastx_ = 0, lasty_ = 0;
    ReplayCheck last_;  // the state as the last picture showed it
    // Lines wait here and go to the file in large writes.
    std::array<char, 1 << 16> buf_{};
    size_t used_ = 0;
};

}  // namespace vx
