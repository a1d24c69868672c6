// Runs the simulator in-process on a script, in a fresh run folder, keeping a
// summary of every presented frame.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "shell/game.h"
#include "sim.h"

namespace vx::test {

struct FrameInfo {
    int frame = 0;
    std::string screen;
    int titlescr = 0, getready = 0, control = 0, wavedone = 0, gameover = 0;
    int wavetype = 0, wavesize = 0, spawndelay = 0, killctr = 0, seqtmr = 0;
    float fadealpha = 0, musicvol = 0, sfxvol = 0;
    player_tag player;
    std::map<std::string, size_t> lists;  // members of each gameplay list, by its name
    std::vector<std::string> sfx, music, texts;
};

// A run folder with the build's sound files linked into its data/, inside a
// folder of its own so that its ../config belongs to the test alone.
class RunFolder {
  public:
    RunFolder() {
        char tmpl[] = "/tmp/vexaloid-test-XXXXXX";
        root_ = mkdtemp(tmpl);
        path_ = root_ + "/game";
        std::filesystem::create_directories(path_ + "/data");
        std::filesystem::path built = std::string(VEXALOID_BINARY_DIR) + "/data";
        if (std::filesystem::exists(built))
            for (const auto& e : std::filesystem::directory_iterator(built))
                if (e.path().extension() == ".wav")
                    std::filesystem::create_symlink(
                        e.path(), path_ + "/data/" + e.path().filename().string());
    }
    ~RunFolder() { std::filesystem::remove_all(root_); }
    const std::string& path() const { return path_; }
    std::string file(const std::string& rel) const { return path_ + "/" + rel; }
    // The shared settings file beside the game's folder.
    std::string settingsfile() const {
        std::filesystem::create_directories(root_ + "/config");
        return root_ + "/config/settings.cfg";
    }

  private:
    std::string root_, path_;
};

struct SimResult {
    int status = 0;
    std::string error;
    std::vector<FrameInfo> frames;  // frames[i] is frame i + 1
    const FrameInfo& at(int frame) const { return frames.at(static_cast<size_t>(frame - 1)); }
    // The first frame at or after `from` whose summary satisfies pred, or 0.
    template <class P>
    int find(P pred, int from = 1) const {
        for (size_t i = static_cast<size_t>(from - 1); i < frames.size(); ++i)
            if (pred(frames[i])) return frames[i].frame;
        return 0;
    }
};

inline SimResult simulate(const RunFolder& dir, const std::string& script, long long frames,
                          uint32_t seed = 1) {
    std::string scriptpath = dir.path() + "/../script.txt";
    std::ofstream(scriptpath) << script;
    sim::Options opt;
    opt.dir = dir.path();
    opt.seed = seed;
    opt.frames = frames;
    opt.input = scriptpath;
    SimResult r;
    opt.onframe = [&r](const Game& g, int frame) {
        FrameInfo f;
        f.frame = frame;
        f.screen = g.screen;
        f.titlescr = g.titlescr, f.getready = g.getready, f.control = g.control;
        f.wavedone = g.wavedone, f.gameover = g.gameover, f.wavetype = g.wavetype;
        f.wavesize = g.wavesize, f.spawndelay = g.spawndelay, f.killctr = g.killctr,
        f.seqtmr = g.seqtmr;
        f.fadealpha = g.fadealpha, f.musicvol = g.musicvol, f.sfxvol = g.sfxvol;
        f.player = g.player;
        eachplaylist(g, [&f](const auto& list) { f.lists[list.name()] = list.size(); });
        for (Sfx s : g.snd.log.sfx) f.sfx.emplace_back(kSfxNames[s]);
        f.music = g.snd.log.music;
        for (const DrawOp& op : g.gfx.ops())
            if (op.kind == OpKind::text) f.texts.emplace_back(g.gfx.text(op));
        r.frames.push_back(std::move(f));
    };
    r.status = sim::run(opt, r.error);
    return r;
}

}  // namespace vx::test
