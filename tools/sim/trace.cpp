#include "trace.h"

#include <cstdio>

#include "shell/game.h"

namespace vx::sim {

namespace {

struct Writer {
    std::string& s;
    void key(const char* k) {
        s += '"';
        s += k;
        s += "\":";
    }
    void num(int v) { s += std::to_string(v); }
    void num(float v) { s += floattext(v); }
    void str(std::string_view v) {
        s += '"';
        for (char c : v) {
            if (c == '"' || c == '\\')
                s += '\\', s += c;
            else if (static_cast<unsigned char>(c) < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                s += buf;
            } else {
                s += c;
            }
        }
        s += '"';
    }
    template <class T>
    void field(const char* k, T v) {
        key(k);
        num(v);
        s += ',';
    }
    void close() {
        if (!s.empty() && s.back() == ',') s.pop_back();
    }
};

template <class T>
void object(Writer& w, const T& e) {
    w.s += '{';
    e.visit([&w](const char* name, auto v) { w.field(name, v); });
    w.close();
    w.s += '}';
}

template <class T>
void members(Writer& w, const EntityList<T>& list) {
    w.key(list.name());
    w.s += '[';
    list.each([&w](const T& e) {
        object(w, e);
        w.s += ',';
    });
    w.close();
    w.s += "],";
}

const char* opimage(const Game& g, const Image* img) {
    if (img == &g.pauseimg) return "pauseimg";
    if (img == &g.logoimg) return "logoimg";
    return imagename(g.img, img);
}

void drawstate(Writer& w, const DrawState& st) {
    w.s += "\"color\":[" + std::to_string(st.r) + "," + std::to_string(st.g) + "," +
           std::to_string(st.b) + "],";
    w.field("alpha", st.alpha);
    w.field("blend", static_cast<int>(st.blend));
    w.s += "\"scale\":[" + floattext(st.sx) + "," + floattext(st.sy) + "],";
    w.field("rotation", st.rot);
}

void drawops(Writer& w, const Game& g) {
    static const char* const kinds[] = {"cls", "image", "plot", "rect", "text"};
    w.key("draws");
    w.s += '[';
    for (const DrawOp& op : g.gfx.ops()) {
        w.s += "{\"op\":\"";
        w.s += kinds[static_cast<int>(op.kind)];
        w.s += "\",";
        switch (op.kind) {
            case OpKind::cls:
                w.s += "\"color\":[" + std::to_string(op.cr) + "," + std::to_string(op.cg) + "," +
                       std::to_string(op.cb) + "],";
                break;
            case OpKind::image:
                w.key("image");
                w.str(opimage(g, op.img));
                w.s += ',';
                w.field("frame", op.frame);
                [[fallthrough]];
            case OpKind::plot:
                w.field("x", op.x);
                w.field("y", op.y);
                drawstate(w, op.st);
                break;
            case OpKind::rect:
                w.field("x", op.x);
                w.field("y", op.y);
                w.field("w", op.w);
                w.field("h", op.h);
                drawstate(w, op.st);
                break;
            case OpKind::text:
                w.key("text");
                w.str(g.gfx.text(op));
                w.s += ',';
                w.field("x", op.x);
                w.field("y", op.y);
                drawstate(w, op.st);
                break;
        }
        w.close();
        w.s += "},";
    }
    w.close();
    w.s += "],";
}

}  // namespace

void tracefields(const Game& g, int frame, int px, int py, bool entities, bool draws,
                 std::string& out) {
    Writer w{out};
    out += '{';
    w.field("frame", frame);
    w.key("screen");
    w.str(g.screen);
    out += ',';
    w.field("titlescr", g.titlescr);
    w.field("getready", g.getready);
    w.field("control", g.control);
    w.field("wavedone", g.wavedone);
    w.field("gameover", g.gameover);
    w.field("wavetype", g.wavetype);
    w.field("wavesize", g.wavesize);
    w.field("spawndelay", g.spawndelay);
    w.field("spawntmr", g.spawntmr);
    w.field("spawnctr", g.spawnctr);
    w.field("madectr", g.madectr);
    w.field("killctr", g.killctr);
    w.field("escapectr", g.escapectr);
    w.field("seqtmr", g.seqtmr);
    w.field("fadealpha", g.fadealpha);
    w.field("musicstep", g.musicstep);
    w.field("sfxstep", g.sfxstep);
    w.field("musicvol", g.musicvol);
    w.field("sfxvol", g.sfxvol);
    w.field("timerhz", g.timerhz);
    w.key("player");
    object(w, g.player);
    out += ',';
    w.key("counts");
    out += '{';
    eachlist(g, [&w](const auto& list) { w.field(list.name(), static_cast<int>(list.size())); });
    w.close();
    out += "},";
    w.key("sfx");
    out += '[';
    for (Sfx s : g.snd.log.sfx) {
        w.str(kSfxNames[s]);
        out += ',';
    }
    w.close();
    out += "],";
    w.key("music");
    out += '[';
    for (const std::string& m : g.snd.log.music) {
        w.str(m);
        out += ',';
    }
    w.close();
    out += "],";
    out += "\"pointer\":[" + std::to_string(px) + "," + std::to_string(py) + "],";
    if (entities) {
        w.key("entities");
        out += '{';
        eachlist(g, [&w](const auto& list) { members(w, list); });
        w.close();
        out += "},";
    }
    if (draws) drawops(w, g);
    w.close();
    out += "}\n";
}

}  // namespace vx::sim
