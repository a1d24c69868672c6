#include "shell/replay.h"

#include <charconv>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <type_traits>

#include "shell/game.h"
#include "shell/options.h"
#include "shell/shell.h"

namespace vx {

namespace {

// The members behind kReplayShellInts and kReplayShellFloats, in the same order.
constexpr std::array<int Game::*, kReplayShellInts.size()> kShellIntMembers = {
    &Game::titlescr,  &Game::getready, &Game::control,    &Game::wavedone, &Game::gameover,
    &Game::wavetype,  &Game::wavesize, &Game::spawndelay, &Game::spawntmr, &Game::spawnctr,
    &Game::madectr,   &Game::killctr,  &Game::escapectr,  &Game::seqtmr,   &Game::skipbanner,
    &Game::musicstep, &Game::sfxstep};
constexpr std::array<float Game::*, kReplayShellFloats.size()> kShellFloatMembers = {
    &Game::fadealpha, &Game::musicvol, &Game::sfxvol};

// The player's fields in the order of its visit.
constexpr std::array<const char*, 10> kPlayerNames = {
    "x", "y", "frame", "shotctr", "hyperctr", "dead", "score", "hscore", "wave", "newhs"};
constexpr std::array<int player_tag::*, 10> kPlayerMembers = {
    &player_tag::x,        &player_tag::y,    &player_tag::frame, &player_tag::shotctr,
    &player_tag::hyperctr, &player_tag::dead, &player_tag::score, &player_tag::hscore,
    &player_tag::wave,     &player_tag::newhs};

struct Fnv {
    uint64_t h = 0xcbf29ce484222325ull;
    void bytes(const void* p, size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        for (size_t i = 0; i < n; ++i) h = (h ^ b[i]) * 0x100000001b3ull;
    }
    void text(const char* s) { bytes(s, std::strlen(s) + 1); }
    void i64(int64_t v) { bytes(&v, sizeof v); }
    void f32(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        bytes(&bits, sizeof bits);
    }
};

template <class T>
void hashlist(Fnv& f, const EntityList<T>& list) {
    f.text(list.name());
    f.i64(static_cast<int64_t>(list.size()));
    list.each([&f](const T& e) {
        e.visit([&f](const char* name, auto v) {
            f.text(name);
            if constexpr (std::is_floating_point_v<decltype(v)>)
                f.f32(static_cast<float>(v));
            else
                f.i64(static_cast<int64_t>(v));
        });
    });
}

bool parseint(const std::string& s, int& out) {
    if (s.empty()) return false;
    auto res = std::from_chars(s.data(), s.data() + s.size(), out);
    return res.ec == std::errc() && res.ptr == s.data() + s.size();
}

bool parseu32(const std::string& s, uint32_t& out) {
    if (s.empty()) return false;
    auto res = std::from_chars(s.data(), s.data() + s.size(), out);
    return res.ec == std::errc() && res.ptr == s.data() + s.size();
}

bool parsehex(const std::string& s, uint64_t& out) {
    if (s.size() != 16) return false;
    auto res = std::from_chars(s.data(), s.data() + s.size(), out, 16);
    return res.ec == std::errc() && res.ptr == s.data() + s.size();
}

// A finite float as floattext writes it (no hex, no infinities, no NaN).
bool parsefloat(const std::string& s, float& out) {
    if (s.empty() || s.size() > 32) return false;
    for (char c : s)
        if (!std::strchr("0123456789+-.e", c)) return false;
    char* end = nullptr;
    out = std::strtof(s.c_str(), &end);
    return end == s.c_str() + s.size() && std::isfinite(out);
}

std::vector<std::string> splitwords(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> w;
    for (std::string s; in >> s;) w.push_back(s);
    return w;
}

// "name=value" words in a fixed order after the line's tag.
template <size_t N, class Parse>
bool namedvalues(const std::vector<std::string>& w, const std::array<const char*, N>& names,
                 size_t first, Parse parse, std::string& error) {
    if (w.size() != first + N) {
        error =
            w[0] + " needs " + std::to_string(N) + " values, found " + std::to_string(w.size() - 1);
        return false;
    }
    for (size_t i = 0; i < N; ++i) {
        const std::string& word = w[first + i];
        const std::string want = std::string(names[i]) + "=";
        if (word.compare(0, want.size(), want) != 0) {
            error = "expected " + want + "VALUE, found '" + word + "'";
            return false;
        }
        if (!parse(i, word.substr(want.size()))) {
            error = "bad value in '" + word + "'";
            return false;
        }
    }
    return true;
}

}  // namespace

uint64_t statehash(const Game& g, int pointerx, int pointery) {
    Fnv f;
    for (size_t i = 0; i < kShellIntMembers.size(); ++i) {
        f.text(kReplayShellInts[i]);
        f.i64(g.*kShellIntMembers[i]);
    }
    for (size_t i = 0; i < kShellFloatMembers.size(); ++i) {
        f.text(kReplayShellFloats[i]);
        f.f32(g.*kShellFloatMembers[i]);
    }
    g.player.visit([&f](const char* name, int v) {
        f.text(name);
        f.i64(v);
    });
    f.text("rng");
    f.i64(static_cast<int64_t>(g.rng.state()));
    f.text("pointer");
    f.i64(pointerx);
    f.i64(pointery);
    f.text("screen");
    f.text(g.screen);
    eachlist(g, [&f](const auto& list) { hashlist(f, list); });
    return f.h;
}

ReplayStart capturestart(const Game& g, uint32_t seed) {
    ReplayStart s;
    s.version = gameversion();
    s.seed = seed;
    s.rng = g.rng.state();
    s.pointerx = g.pf.mousex();
    s.pointery = g.pf.mousey();
    for (size_t i = 0; i < kShellIntMembers.size(); ++i) s.shellints[i] = g.*kShellIntMembers[i];
    for (size_t i = 0; i < kShellFloatMembers.size(); ++i)
        s.shellfloats[i] = g.*kShellFloatMembers[i];
    s.player = g.player;
    g.starlist.each([&s](const starfield_tag& star) { s.stars.push_back(star); });
    return s;
}

void applystart(Game& g, const ReplayStart& s) {
    g.rng.seed(s.rng);
    g.pf.movemouse(s.pointerx, s.pointery);
    for (size_t i = 0; i < kShellIntMembers.size(); ++i) g.*kShellIntMembers[i] = s.shellints[i];
    for (size_t i = 0; i < kShellFloatMembers.size(); ++i)
        g.*kShellFloatMembers[i] = s.shellfloats[i];
    g.player = s.player;
    clearplayfield(g);
    g.starlist.clear();
    for (const starfield_tag& star : s.stars) g.starlist.add() = star;
    g.screen = screenname(g);
}

std::string starttext(const ReplayStart& s) {
    std::string t = "vexaloid-replay " + std::to_string(kReplayFormat) + "\n";
    t += "version " + s.version + "\n";
    t += "seed " + std::to_string(s.seed) + "\n";
    char hex[24];
    std::snprintf(hex, sizeof hex, "%016" PRIx64, s.rng);
    t += std::string("rng ") + hex + "\n";
    t += "pointer " + std::to_string(s.pointerx) + " " + std::to_string(s.pointery) + "\n";
    t += "shell";
    for (size_t i = 0; i < s.shellints.size(); ++i)
        t += std::string(" ") + kReplayShellInts[i] + "=" + std::to_string(s.shellints[i]);
    for (size_t i = 0; i < s.shellfloats.size(); ++i)
        t += std::string(" ") + kReplayShellFloats[i] + "=" + floattext(s.shellfloats[i]);
    t += "\nplayer";
    for (size_t i = 0; i < kPlayerMembers.size(); ++i)
        t += std::string(" ") + kPlayerNames[i] + "=" + std::to_string(s.player.*kPlayerMembers[i]);
    t += "\n";
    for (const starfield_tag& star : s.stars)
        t += "star " + std::to_string(star.x) + " " + std::to_string(star.y) + " " +
             std::to_string(star.size) + "\n";
    t += "input\n";
    return t;
}

int formatcheck(const ReplayCheck& c, bool end, char* buf, size_t size) {
    int n = end ? std::snprintf(buf, size, "end %d %016" PRIx64 " score %d wave %d\n", c.frame,
                                c.hash, c.score, c.wave)
                : std::snprintf(buf, size, "%d check %016" PRIx64 " score %d wave %d\n", c.frame,
                                c.hash, c.score, c.wave);
    return n >= 0 && static_cast<size_t>(n) < size ? n : -1;
}

std::optional<Replay> readreplay(const std::string& text, ReplayError& error) {
    Replay r;
    ReplayStart& s = r.start;
    std::istringstream in(text);
    std::string raw, message;
    int lineno = 0;
    // The header's lines in order; "star" repeats until "input".
    enum Part { magic, version, seed, rng, pointer, shell, player, stars, body, done } part = magic;
    int lastframe = 0;
    auto fail = [&](const std::string& msg) -> std::optional<Replay> {
        error = ReplayError{lineno, msg};
        return std::nullopt;
    };
    auto check = [&](const std::vector<std::string>& w, size_t at, ReplayCheck& c) {
        c.line = lineno;
        return w.size() == at + 5 && parsehex(w[at], c.hash) && w[at + 1] == "score" &&
               parseint(w[at + 2], c.score) && w[at + 3] == "wave" && parseint(w[at + 4], c.wave);
    };
    while (std::getline(in, raw)) {
        ++lineno;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        if (raw.size() > 4096) return fail("line too long");
        if (raw.find('\0') != std::string::npos) return fail("NUL byte in the line");
        if (raw.empty() || raw[0] == '#') continue;
        const std::vector<std::string> w = splitwords(raw);
        if (w.empty()) continue;
        const std::string& tag = w[0];
        auto expect = [&](const char* want, size_t words) {
            if (tag != want) {
                message = std::string("expected the ") + want + " line, found '" + tag + "'";
                return false;
            }
            if (w.size() != words) {
                message = std::string(want) + " needs " + std::to_string(words - 1) +
                          (words == 2 ? " value" : " values");
                return false;
            }
            return true;
        };
        switch (part) {
            case magic:
                if (tag != "vexaloid-replay") return fail("not a replay (no vexaloid-replay line)");
                if (w.size() != 2 || w[1] != std::to_string(kReplayFormat))
                    return fail("replay format " + (w.size() > 1 ? w[1] : std::string("?")) +
                                " is not format " + std::to_string(kReplayFormat));
                part = version;
                break;
            case version:
                if (!expect("version", 2)) return fail(message);
                if (w[1].size() > 32 ||
                    w[1].find_first_not_of("0123456789abcdefghijklmnopqrstuvwxyz"
                                           "ABCDEFGHIJKLMNOPQRSTUVWXYZ.+-_~") != std::string::npos)
                    return fail("bad version '" + w[1] + "'");
                s.version = w[1];
                part = seed;
                break;
            case seed:
                if (!expect("seed", 2)) return fail(message);
                if (!parseu32(w[1], s.seed)) return fail("bad seed '" + w[1] + "'");
                part = rng;
                break;
            case rng:
                if (!expect("rng", 2)) return fail(message);
                if (!parsehex(w[1], s.rng))
                    return fail("bad generator state '" + w[1] + "' (want 16 hex digits)");
                part = pointer;
                break;
            case pointer:
                if (!expect("pointer", 3)) return fail(message);
                if (!parseint(w[1], s.pointerx) || !parseint(w[2], s.pointery) || s.pointerx < 0 ||
                    s.pointerx >= 640 || s.pointery < 0 || s.pointery >= 480)
                    return fail("bad pointer position (want X 0..639, Y 0..479)");
                part = shell;
                break;
            case shell: {
                if (tag != "shell") return fail("expected the shell line, found '" + tag + "'");
                std::array<const char*, kReplayShellInts.size() + kReplayShellFloats.size()>
                    names{};
                std::copy(kReplayShellInts.begin(), kReplayShellInts.end(), names.begin());
                std::copy(kReplayShellFloats.begin(), kReplayShellFloats.end(),
                          names.begin() + kReplayShellInts.size());
                auto value = [&s](size_t i, const std::string& v) {
                    if (i < kReplayShellInts.size()) return parseint(v, s.shellints[i]);
                    return parsefloat(v, s.shellfloats[i - kReplayShellInts.size()]);
                };
                if (!namedvalues(w, names, 1, value, message)) return fail(message);
                part = player;
                break;
            }
            case player: {
                if (tag != "player") return fail("expected the player line, found '" + tag + "'");
                auto value = [&s](size_t i, const std::string& v) {
                    return parseint(v, s.player.*kPlayerMembers[i]);
                };
                if (!namedvalues(w, kPlayerNames, 1, value, message)) return fail(message);
                part = stars;
                break;
            }
            case stars:
                if (tag == "input") {
                    if (w.size() != 1) return fail("extra words after input");
                    part = body;
                    break;
                }
                if (tag != "star")
                    return fail("expected a star or the input line, found '" + tag + "'");
                if (s.stars.size() >= 1000) return fail("more than 1000 stars");
                {
                    starfield_tag star;
                    if (w.size() != 4 || !parseint(w[1], star.x) || !parseint(w[2], star.y) ||
                        !parseint(w[3], star.size))
                        return fail("star needs three whole numbers X Y SIZE");
                    s.stars.push_back(star);
                }
                break;
            case body: {
                if (tag == "end") {
                    ReplayCheck c;
                    if (w.size() < 2 || !parseint(w[1], c.frame) || c.frame < 1)
                        return fail("end needs a frame number");
                    if (c.frame < lastframe - 1 ||
                        (!r.checks.empty() && c.frame < r.checks.back().frame))
                        return fail("end frame " + w[1] + " is before the previous line's");
                    if (!check(w, 2, c)) return fail("end needs FRAME HASH score S wave W");
                    r.checks.push_back(c);
                    part = done;
                    break;
                }
                if (w.size() >= 2 && w[1] == "check") {
                    ReplayCheck c;
                    if (!parseint(w[0], c.frame) || c.frame < 1)
                        return fail("bad frame number '" + w[0] + "'");
                    if (c.frame < lastframe)
                        return fail("frame " + w[0] + " is before the previous line's");
                    if (!check(w, 2, c)) return fail("check needs HASH score S wave W");
                    lastframe = c.frame;
                    r.checks.push_back(c);
                    break;
                }
                Event e;
                e.line = lineno;
                if (!parseevent(w, lastframe, e, message)) return fail(message);
                lastframe = e.frame;
                r.events.push_back(e);
                break;
            }
            case done:
                return fail("text after the end line");
        }
    }
    if (part != done) {
        ++lineno;
        return fail(part == body ? "the replay has no end line (cut short?)"
                                 : "the replay's header is incomplete");
    }
    return r;
}

}  // namespace vx
