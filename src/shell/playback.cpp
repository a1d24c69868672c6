#include "shell/playback.h"

#include <cstdio>

#include "shell/shell.h"

namespace vx {

void applyevent(Platform& pf, Input& in, const Event& e) {
    switch (e.kind) {
        case Event::move:
            pf.movemouse(e.x, e.y);
            break;
        case Event::press:
            in.press(e.key);
            break;
        case Event::release:
            in.release(e.key);
            break;
        case Event::tap:
            in.press(e.key);
            in.release(e.key);
            break;
        case Event::suspend:
        case Event::resume:
            // What the recorded suspension did to the game: keys and buttons forgotten.
            in.flushkeys();
            in.flushmouse();
            break;
        case Event::quit:
            // The recording ends with the frame that read it.
            break;
    }
}

ReplayPlayer::ReplayPlayer(Game& g, const Replay& r) : g_(g), replay_(r) {
    g.watcher = this;
}

ReplayPlayer::~ReplayPlayer() {
    if (g_.watcher == this) g_.watcher = nullptr;
}

void ReplayPlayer::deliver(int frame) {
    const std::vector<Event>& ev = replay_.events;
    while (next_ < ev.size() && ev[next_].frame <= frame) applyevent(g_.pf, g_.input, ev[next_++]);
}

void ReplayPlayer::presented(Game& g) {
    ++frame_;
    Input& viewer = g.pf.viewer;
    if (viewer.hit(Key::space)) holdstill(g);
    if (frame_ >= replay_.endframe() || viewer.hit(Key::escape)) {
        g.quitting = true;
        return;
    }
    deliver(frame_ + 1);
}

void ReplayPlayer::holdstill(Game& g) {
    // The picture stays as it is; the window keeps answering.
    Input& viewer = g.pf.viewer;
    pausemusic(g);
    while (!viewer.hit(Key::space) && !viewer.down(Key::escape) && !g.pf.quitrequested())
        g.pf.delay(15);
    resumemusic(g);
}

int playreplay(Game& g, const Replay& r) {
    g.pf.playback = true;
    if (!replaystartup(g, r.start)) return 1;
    ReplayPlayer player(g, r);
    player.deliver(1);
    while (mainframe(g)) {
    }
    if (g.snd.musicchan.playing()) stopmusic(g);
    std::printf("replay: score %d wave %d\n", g.player.score, g.player.wave);
    std::fflush(stdout);
    return 0;
}

}  // namespace vx
