#include "shell/script.h"

#include <charconv>
#include <cstdio>
#include <sstream>

namespace vx {

namespace {

bool parseint(const std::string& s, int& out) {
    if (s.empty()) return false;
    auto res = std::from_chars(s.data(), s.data() + s.size(), out);
    return res.ec == std::errc() && res.ptr == s.data() + s.size();
}

const struct {
    const char* name;
    Key key;
} kKeys[] = {{"left", Key::mouseleft}, {"right", Key::mouseright},
             {"space", Key::space},    {"escape", Key::escape},
             {"f1", Key::f1},          {"f2", Key::f2},
             {"f3", Key::f3}};

bool parsekey(const std::string& s, Key& k) {
    for (const auto& e : kKeys)
        if (s == e.name) return k = e.key, true;
    return false;
}

const char* keyname(Key k) {
    for (const auto& e : kKeys)
        if (e.key == k) return e.name;
    return "?";
}

}  // namespace

bool parseevent(const std::vector<std::string>& w, int minframe, Event& e, std::string& error) {
    auto fail = [&](const std::string& msg) {
        error = msg;
        return false;
    };
    if (!parseint(w[0], e.frame) || e.frame < 1) return fail("bad frame number '" + w[0] + "'");
    if (e.frame < minframe) return fail("frame " + w[0] + " is before the previous line's");
    if (w.size() < 2) return fail("missing event");
    const std::string& ev = w[1];
    size_t want = 2;
    if (ev == "move") {
        e.kind = Event::move;
        want = 4;
        if (w.size() != 4 || !parseint(w[2], e.x) || !parseint(w[3], e.y))
            return fail("move needs two whole numbers X Y");
    } else if (ev == "press" || ev == "release" || ev == "tap") {
        e.kind = ev == "press" ? Event::press : ev == "release" ? Event::release : Event::tap;
        want = 3;
        if (w.size() != 3 || !parsekey(w[2], e.key))
            return fail(ev + " needs a key: left, right, space, escape, f1, f2 or f3");
    } else if (ev == "suspend") {
        e.kind = Event::suspend;
    } else if (ev == "resume") {
        e.kind = Event::resume;
    } else if (ev == "quit") {
        e.kind = Event::quit;
    } else {
        return fail("unknown event '" + ev + "'");
    }
    if (w.size() != want) return fail("extra words after " + ev);
    return true;
}

std::vector<Event> parsescript(const std::string& text, std::optional<ScriptError>& error) {
    std::vector<Event> events;
    std::istringstream in(text);
    std::string raw, message;
    int lineno = 0, lastframe = 0;
    while (std::getline(in, raw)) {
        ++lineno;
        if (auto hash = raw.find('#'); hash != std::string::npos) raw.erase(hash);
        std::istringstream words(raw);
        std::vector<std::string> w;
        for (std::string s; words >> s;) w.push_back(s);
        if (w.empty()) continue;
        Event e;
        e.line = lineno;
        if (!parseevent(w, lastframe, e, message)) {
            error = ScriptError{lineno, message};
            return {};
        }
        lastframe = e.frame;
        events.push_back(e);
    }
    return events;
}

int formatevent(const Event& e, char* buf, size_t size) {
    int n = 0;
    switch (e.kind) {
        case Event::move:
            n = std::snprintf(buf, size, "%d move %d %d", e.frame, e.x, e.y);
            break;
        case Event::press:
        case Event::release:
        case Event::tap: {
            const char* verb = e.kind == Event::press     ? "press"
                               : e.kind == Event::release ? "release"
                                                          : "tap";
            n = std::snprintf(buf, size, "%d %s %s", e.frame, verb, keyname(e.key));
            break;
        }
        case Event::suspend:
            n = std::snprintf(buf, size, "%d suspend", e.frame);
            break;
        case Event::resume:
            n = std::snprintf(buf, size, "%d resume", e.frame);
            break;
        case Event::quit:
            n = std::snprintf(buf, size, "%d quit", e.frame);
            break;
    }
    return n >= 0 && static_cast<size_t>(n) < size ? n : -1;
}

std::string eventline(const Event& e) {
    char buf[64];
    int n = formatevent(e, buf, sizeof buf);
    return n < 0 ? std::string() : std::string(buf, static_cast<size_t>(n));
}

}  // namespace vx
