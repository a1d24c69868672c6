#include "sim.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <type_traits>

#include "autopilot.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "script.h"
#include "shell/game.h"
#include "shell/recorder.h"
#include "shell/replay.h"
#include "shell/shell.h"
#include "shotpng.h"
#include "trace.h"
#include "wavout.h"

namespace vx::sim {

namespace {

// Thrown from a present to end the run after the last requested frame.
struct StopRun {};

// The invariants that hold after every presented picture, whatever the input.
class Checker {
  public:
    // The first invariant broken by this picture, or empty.
    std::string check(const Game& g) {
        const player_tag& p = g.player;
        if (g.control == 1 && p.dead == 0 &&
            (p.x < kShipLeft || p.x > kShipRight || p.y < kShipTop || p.y > kShipBottom))
            return "ship outside its box at (" + std::to_string(p.x) + ", " + std::to_string(p.y) +
                   ")";
        if (g.spawnctr < 0 || g.spawnctr > 150) return "spawnctr " + std::to_string(g.spawnctr);
        // Eleven steps of 0.1 in single precision end a hair above 1.
        for (float v : {g.musicvol, g.sfxvol})
            if (!(v >= 0.0f && v <= 1.0f + 1e-6f))
                return "volume " + floattext(v) + " outside 0..1";
        if (!(g.fadealpha <= 1.0f) || !std::isfinite(g.fadealpha))
            return "fadealpha " + floattext(g.fadealpha);
        std::string bad;
        auto lists = [&](const auto& list) {
            if (!bad.empty()) return;
            if (list.size() >= 10000)
                bad = std::string(list.name()) + " holds " + std::to_string(list.size());
            int index = 0;
            list.each([&](const auto& e) {
                e.visit([&](const char* field, auto v) {
                    if constexpr (std::is_floating_point_v<decltype(v)>)
                        if (bad.empty() && !std::isfinite(v))
                            bad = std::string(list.name()) + "[" + std::to_string(index) + "]." +
                                  field + " is " + floattext(v);
                });
                ++index;
            });
        };
        eachlist(g, lists);
        if (!bad.empty()) return bad;
        // A game's score only grows; the title screen ends a game.
        if (g.titlescr)
            lastscore_ = 0;
        else if (p.score < lastscore_)
            return "score fell from " + std::to_string(lastscore_) + " to " +
                   std::to_string(p.score);
        else
            lastscore_ = p.score;
        return {};
    }

  private:
    int lastscore_ = 0;
};

// Hands the script's events to the platform as a keyboard and mouse would.
class Feeder {
  public:
    // A recorded game's input (replay) is what the game saw before each frame:
    // the lines after a resume in the same frame arrive before that frame runs.
    Feeder(HeadlessPlatform& pf, std::vector<Event> events, bool recorded)
        : pf_(pf), events_(std::move(events)), recorded_(recorded) {}

    // Delivers the events of frames up to and including `frame`; stops at a suspend.
    void deliver(int frame) {
        target_ = frame;
        while (next_ < events_.size() && !pf_.suspendedflag && events_[next_].frame <= frame)
            apply(events_[next_++]);
    }
    // While suspended: the next line, whatever its frame.
    void waitone() {
        if (next_ < events_.size())
            apply(events_[next_++]);
        else
            pf_.suspendedflag = false;  // a script ending while suspended resumes
        if (recorded_ && !pf_.suspendedflag) deliver(target_);
    }

  private:
    // As the real platform does, and told to a listening recorder.
    void apply(const Event& e) {
        Input& in = pf_.input;
        InputSink* sink = pf_.sink;
        switch (e.kind) {
            case Event::move:
                pf_.movemouse(e.x, e.y);
                if (sink) sink->pointer(pf_.mousex(), pf_.mousey());
                break;
            case Event::press:
            case Event::tap:
                in.press(e.key);
                if (sink) sink->key(e.key, true);
                if (e.kind == Event::press) break;
                [[fallthrough]];
            case Event::release:
                in.release(e.key);
                if (sink) sink->key(e.key, false);
                break;
            case Event::suspend:
            case Event::resume:
                // The system flushes keyboard and mouse on suspension and on resumption.
                pf_.suspendedflag = e.kind == Event::suspend;
                in.flushkeys();
                in.flushmouse();
                if (sink) sink->suspend(pf_.suspendedflag);
                break;
            case Event::quit:
                if (sink && !pf_.quitflag) sink->quit();
                pf_.quitflag = true;
                break;
        }
    }
    HeadlessPlatform& pf_;
    std::vector<Event> events_;
    size_t next_ = 0;
    int target_ = 0;
    bool recorded_ = false;
};

}  // namespace

int run(const Options& opt, std::string& error) {
    std::vector<Event> events;
    std::optional<Replay> replay;
    if (!opt.replay.empty()) {
        std::ifstream f(opt.replay, std::ios::binary);
        if (!f) {
            error = "cannot read replay " + opt.replay;
            return 2;
        }
        std::ostringstream ss;
        ss << f.rdbuf();
        ReplayError err;
        replay = readreplay(ss.str(), err);
        if (!replay) {
            error = opt.replay + ":" + std::to_string(err.line) + ": " + err.message;
            return 2;
        }
        events = replay->events;
    }
    if (!opt.input.empty()) {
        std::string text;
        if (opt.input == "-") {
            std::ostringstream ss;
            ss << std::cin.rdbuf();
            text = ss.str();
        } else {
            std::ifstream f(opt.input, std::ios::binary);
            if (!f) {
                error = "cannot read input script " + opt.input;
                return 2;
            }
            std::ostringstream ss;
            ss << f.rdbuf();
            text = ss.str();
        }
        std::optional<ScriptError> err;
        events = parsescript(text, err);
        if (err) {
            error = opt.input + ":" + std::to_string(err->line) + ": " + err->message;
            return 2;
        }
    }

    FILE* trace = nullptr;
    if (opt.trace == "-")
        trace = stdout;
    else if (!opt.trace.empty() && !(trace = std::fopen(opt.trace.c_str(), "wb"))) {
        error = "cannot write trace " + opt.trace;
        return 2;
    }
    // The sound is rendered at the rate the game's device is asked for.
    constexpr int kSoundRate = 44100;
    WavOut wav;
    if (!opt.audio.empty() && !wav.open(opt.audio, kSoundRate, error)) {
        if (trace && trace != stdout) std::fclose(trace);
        return 2;
    }
    std::string here = files::cwd();
    if (!opt.dir.empty() && !files::changedir(opt.dir)) {
        if (trace && trace != stdout) std::fclose(trace);
        error = "cannot enter folder " + opt.dir;
        return 2;
    }

    auto pf = std::make_unique<HeadlessPlatform>();
    pf->seed = opt.seed;
    pf->render = !opt.shots.empty();
    if (!opt.audio.empty()) {
        pf->enablesound(kSoundRate);
        pf->onsound = [&wav](const float* frames, int count) { wav.write(frames, count); };
    }
    auto game = std::make_unique<Game>(*pf);
    Game& g = *game;
    g.snd.log.enabled = trace != nullptr || opt.onframe != nullptr;
    std::unique_ptr<Recorder> recorder;
    if (!opt.record.empty()) recorder = std::make_unique<Recorder>(g, opt.record);
    Feeder feeder(*pf, std::move(events), replay.has_value());
    // The replay's verdict: the first difference from its check lines.
    std::string diverged;
    size_t nextcheck = 0;
    auto replaycheck = [&](int frame) {
        const std::vector<ReplayCheck>& checks = replay->checks;
        const int endframe = replay->endframe();
        for (; nextcheck < checks.size() && checks[nextcheck].frame <= frame; ++nextcheck) {
            const ReplayCheck& c = checks[nextcheck];
            if (c.frame != frame) continue;
            char what[160];
            const uint64_t hash = statehash(g, pf->mousex(), pf->mousey());
            if (g.player.score != c.score)
                std::snprintf(what, sizeof what, "score %d, recorded %d", g.player.score, c.score);
            else if (g.player.wave != c.wave)
                std::snprintf(what, sizeof what, "wave %d, recorded %d", g.player.wave, c.wave);
            else if (hash != c.hash)
                std::snprintf(what, sizeof what, "state %016llx, recorded %016llx",
                              static_cast<unsigned long long>(hash),
                              static_cast<unsigned long long>(c.hash));
            else
                continue;
            diverged = "replay diverged at frame " + std::to_string(frame) + ": " + what;
            throw StopRun{};
        }
        if (frame >= endframe) throw StopRun{};
        if (g.titlescr) {
            diverged = "replay diverged at frame " + std::to_string(frame) +
                       ": the game ended, recorded to end at frame " + std::to_string(endframe);
            throw StopRun{};
        }
    };
    std::unique_ptr<Autopilot> bot;
    if (opt.autopilot) bot = std::make_unique<Autopilot>(*pf, g);
    std::unique_ptr<Checker> checker;
    if (opt.check) checker = std::make_unique<Checker>();
    long long checked = 0;
    std::string line;
    line.reserve(1 << 16);
    int status = 0;

    pf->onpresent = [&](int frame) {
        if (trace) {
            line.clear();
            tracefields(g, frame, pf->mousex(), pf->mousey(), opt.entities, opt.draws, line);
            std::fwrite(line.data(), 1, line.size(), trace);
        }
        for (const auto& [n, path] : opt.shots)
            if (n == frame && !writepng(path, pf->renderer().pixels(), error)) status = 2;
        if (opt.onframe) opt.onframe(g, frame);
        if (checker) {
            if (std::string broken = checker->check(g); !broken.empty()) {
                error = "frame " + std::to_string(frame) + ": " + broken;
                status = 3;
                throw StopRun{};
            }
            ++checked;
        }
        g.snd.log.clear();
        if (replay) replaycheck(frame);
        if (opt.frames >= 0 && frame >= opt.frames) throw StopRun{};
        feeder.deliver(frame + 1);
        if (bot) bot->step(frame + 1);
    };
    pf->onwait = [&] { feeder.waitone(); };

    if (replay) {
        try {
            if (replaystartup(g, replay->start)) {
                feeder.deliver(1);
                while (mainframe(g)) {
                }
                diverged = "replay diverged at frame " + std::to_string(pf->frame()) +
                           ": the program ended, recorded to end at frame " +
                           std::to_string(replay->endframe());
            }
        } catch (const StopRun&) {
        }
        if (status == 0) {
            if (diverged.empty())
                std::printf("replay ok: frames %d score %d wave %d\n", pf->frame(), g.player.score,
                            g.player.wave);
            else
                std::printf("%s\n", diverged.c_str());
            status = diverged.empty() ? 0 : 1;
        }
    } else if (opt.frames != 0) {
        feeder.deliver(1);
        if (bot) bot->step(1);
        try {
            status = rungame(g) == 0 ? status : 1;
        } catch (const StopRun&) {
        }
    }
    if (trace && trace != stdout)
        std::fclose(trace);
    else if (trace)
        std::fflush(stdout);
    files::changedir(here);
    if (std::string why; !wav.close(why)) {
        error = error.empty() ? why : error + "; " + why;
        status = status ? status : 2;
    }
    if (checker && status != 3) {
        std::fprintf(stderr, "vexaloid-sim: %lld frames checked, every invariant held", checked);
        if (bot)
            std::fprintf(stderr, "; autopilot: %d games, best wave %d, best score %d", bot->games(),
                         bot->bestwave(), bot->bestscore());
        std::fprintf(stderr, "\n");
    }
    return status;
}

bool parseargs(int argc, char** argv, Options& opt, std::string& error) {
    auto number = [&](const std::string& s, long long& out) {
        try {
            size_t used = 0;
            out = std::stoll(s, &used);
            return used == s.size();
        } catch (...) {
            return false;
        }
    };
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= argc) {
                error = a + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        std::string v;
        long long n = 0;
        if (a == "--dir") {
            if (!value(opt.dir)) return false;
        } else if (a == "--seed") {
            if (!value(v)) return false;
            if (!number(v, n) || n < 0 || n > 0xffffffffLL) return error = "bad --seed " + v, false;
            opt.seed = static_cast<uint32_t>(n);
        } else if (a == "--frames") {
            if (!value(v)) return false;
            if (!number(v, n) || n < 0) return error = "bad --frames " + v, false;
            opt.frames = n;
        } else if (a == "--record") {
            if (!value(opt.record)) return false;
        } else if (a == "--replay") {
            if (!value(opt.replay)) return false;
        } else if (a == "--input") {
            if (!value(opt.input)) return false;
        } else if (a == "--trace") {
            if (!value(opt.trace)) return false;
        } else if (a == "--audio") {
            if (!value(opt.audio)) return false;
        } else if (a == "--entities") {
            opt.entities = true;
        } else if (a == "--draws") {
            opt.draws = true;
        } else if (a == "--autopilot") {
            opt.autopilot = true;
        } else if (a == "--check") {
            opt.check = true;
        } else if (a == "--shot") {
            if (!value(v)) return false;
            size_t colon = v.find(':');
            if (colon == std::string::npos || !number(v.substr(0, colon), n) || n < 1 ||
                colon + 1 >= v.size())
                return error = "bad --shot " + v + " (want N:FILE.png)", false;
            opt.shots.emplace_back(n, v.substr(colon + 1));
        } else {
            error = "unknown argument " + a;
            return false;
        }
    }
    if (!opt.replay.empty() && (!opt.input.empty() || opt.autopilot || opt.frames >= 0))
        return error =
                   "--replay brings its own input and length: no --input, --autopilot or --frames",
               false;
    return true;
}

}  // namespace vx::sim
