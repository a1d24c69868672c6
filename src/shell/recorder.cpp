#include "shell/recorder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "shell/replay.h"

namespace vx {

Recorder::Recorder(Game& g, std::string folder) : g_(g), folder_(std::move(folder)) {
    g.watcher = this;
    g.pf.sink = this;
}

Recorder::~Recorder() {
    if (g_.watcher == this) g_.watcher = nullptr;
    if (g_.pf.sink == this) g_.pf.sink = nullptr;
}

void Recorder::presented(Game& g) {
    bool title = g.titlescr != 0;
    if (!recording_) {
        // The click on the title screen has started a game in this picture.
        if (wastitle_ && !title) begin(g);
        wastitle_ = title;
        return;
    }
    ++frame_;
    lastx_ = g.pf.mousex(), lasty_ = g.pf.mousey();
    last_ = ReplayCheck{frame_, statehash(g, lastx_, lasty_), g.player.score, g.player.wave, 0};
    wastitle_ = title;
    if (title) return end(g);
    if (frame_ % kReplayCheckEvery == 0) {
        char line[96];
        append(line, formatcheck(last_, false, line, sizeof line));
    }
}

void Recorder::programending(Game& g) {
    if (recording_) end(g);
}

void Recorder::begin(Game& g) {
    // This picture loads the get-ready music; the few allocations here go with it.
    stamp_ = files::localstamp();
    std::string path = folder_ + "/.recording-" + files::processtag() + ".part";
    if (auto err = files::makefolders(folder_)) return fail(*err);
    if (auto err = file_.open(path)) return fail(*err);
    recording_ = true;
    frame_ = 0;
    used_ = 0;
    startbest_ = g.player.hscore;
    lastx_ = g.pf.mousex(), lasty_ = g.pf.mousey();
    const std::string header = starttext(capturestart(g, g.seed));
    append(header.data(), static_cast<int>(header.size()));
}

void Recorder::end(Game& g) {
    char line[96];
    append(line, formatcheck(last_, true, line, sizeof line));
    if (!recording_ || !flush()) return;
    recording_ = false;
    bool best = g.player.score > startbest_;
    std::string base = folder_ + "/" + stamp_ + "_" + std::to_string(g.player.score);
    if (best) base += "_best";
    std::string name = base + ".vxr";
    for (int n = 2; files::exists(name) && n < 100; ++n)
        name = base + "-" + std::to_string(n) + ".vxr";
    if (auto err = file_.finish(name)) return fail(*err);
    lastfile_ = name;
    prune();
}

void Recorder::input(Event e) {
    if (!recording_) return;
    e.frame = frame_ + 1;  // seen by the next frame
    char line[64];
    int n = formatevent(e, line, sizeof line - 1);
    if (n < 0) return;
    line[n++] = '\n';
    append(line, n);
}

void Recorder::key(Key k, bool down) {
    Event e;
    e.kind = down ? Event::press : Event::release;
    e.key = k;
    input(e);
}

void Recorder::pointer(int x, int y) {
    if (x == lastx_ && y == lasty_) return;
    lastx_ = x, lasty_ = y;
    Event e;
    e.kind = Event::move;
    e.x = x, e.y = y;
    input(e);
}

void Recorder::suspend(bool suspended) {
    Event e;
    e.kind = suspended ? Event::suspend : Event::resume;
    input(e);
}

void Recorder::quit() {
    Event e;
    e.kind = Event::quit;
    input(e);
}

void Recorder::append(const char* text, int size) {
    if (!recording_ || size < 0) return;
    size_t n = static_cast<size_t>(size);
    if (used_ + n > buf_.size() && !flush()) return;
    if (n > buf_.size()) {
        if (auto err = file_.write(text, n)) fail(*err);
        return;
    }
    std::memcpy(buf_.data() + used_, text, n);
    used_ += n;
}

bool Recorder::flush() {
    if (!recording_) return false;
    if (auto err = file_.write(buf_.data(), used_)) {
        fail(*err);
        return false;
    }
    used_ = 0;
    return true;
}

void Recorder::fail(const std::string& why) {
    std::fprintf(stderr, "vexaloid: this game's replay is not kept: %s\n", why.c_str());
    file_.discard();
    recording_ = false;
    used_ = 0;
}

void Recorder::prune() {
    // Names begin with the date and time, so they sort from oldest to newest.
    std::vector<std::string> names;
    for (std::string& n : files::listfolder(folder_))
        if (n.size() > 4 && n.compare(n.size() - 4, 4, ".vxr") == 0 && n[0] != '.')
            names.push_back(std::move(n));
    std::sort(names.begin(), names.end());
    if (names.size() <= static_cast<size_t>(kKeptReplays)) return;
    for (size_t i = 0; i + kKeptReplays < names.size(); ++i)
        if (names[i].find("_best") == std::string::npos)
            files::removefile(folder_ + "/" + names[i]);
}

}  // namespace vx
