#include "script.h"

#include <charconv>
#include <sstream>

namespace vx::sim {

namespace {

bool parseint(const std::string& s, int& out) {
    if (s.empty()) return false;
    auto res = std::from_chars(s.data(), s.data() + s.size(), out);
    return res.ec == std::errc() && res.ptr == s.data() + s.size();
}

bool parsekey(const std::string& s, Key& k) {
    static const struct {
        const char* name;
        Key key;
    } keys[] = {{"left", Key::mouseleft}, {"right", Key::mouseright}, {"space", Key::space},
                {"escape", Key::escape},  {"f1", Key::f1},            {"f2", Key::f2},
                {"f3", Key::f3}};
    for (const auto& e : keys)
        if (s == e.name) return k = e.key, true;
    return false;
}

}  // namespace

std::vector<Event> parsescript(const std::string& text, std::optional<ScriptError>& error) {
    std::vector<Event> events;
    std::istringstream in(text);
    std::string raw;
    int lineno = 0, lastframe = 0;
    auto fail = [&](const std::string& msg) {
        error = ScriptError{lineno, msg};
        return std::vector<Event>{};
    };
    while (std::getline(in, raw)) {
        ++lineno;
        if (auto hash = raw.find('#'); hash != std::string::npos) raw.erase(hash);
        std::istringstream words(raw);
        std::vector<std::string> w;
        for (std::string s; words >> s;) w.push_back(s);
        if (w.empty()) continue;
        Event e;
        e.line = lineno;
        if (!parseint(w[0], e.frame) || e.frame < 1) return fail("bad frame number '" + w[0] + "'");
        if (e.frame < lastframe) return fail("frame " + w[0] + " is before the previous line's");
        lastframe = e.frame;
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
        events.push_back(e);
    }
    return events;
}

}  // namespace vx::sim
