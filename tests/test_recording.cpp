// Recorded games: the recorder's files, the strict replay reader, and the
// simulator's verdict on a replay (ok, diverged, unreadable).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "shell/options.h"
#include "shell/replay.h"
#include "sim.h"
#include "simrun.h"

namespace fs = std::filesystem;

namespace {

const fs::path kReplayDir = fs::path(VEXALOID_SOURCE_DIR) / "tests/replays";

std::string readtext(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::ostringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

std::vector<std::string> replaysin(const fs::path& dir) {
    std::vector<std::string> names;
    if (fs::is_directory(dir))
        for (const auto& e : fs::directory_iterator(dir))
            names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

struct Verdict {
    int status = 0;
    std::string out, error;
};

// vexaloid-sim --replay FILE, in-process.
Verdict verify(const vx::test::RunFolder& dir, const std::string& file,
               const std::string& trace = "") {
    vx::sim::Options opt;
    opt.dir = dir.path();
    opt.replay = file;
    opt.trace = trace;
    Verdict v;
    testing::internal::CaptureStdout();
    v.status = vx::sim::run(opt, v.error);
    v.out = testing::internal::GetCapturedStdout();
    return v;
}

// Plays a script in the simulator with the recorder on; the replay folder.
std::string record(const vx::test::RunFolder& dir, const std::string& script, long long frames,
                   uint32_t seed, std::string* err = nullptr) {
    const std::string scriptpath = dir.path() + "/../script.txt";
    std::ofstream(scriptpath) << script;
    vx::sim::Options opt;
    opt.dir = dir.path();
    opt.seed = seed;
    opt.frames = frames;
    opt.input = scriptpath;
    opt.record = "data/replays";
    std::string error;
    testing::internal::CaptureStderr();
    EXPECT_EQ(vx::sim::run(opt, error), 0) << error;
    std::string stderrtext = testing::internal::GetCapturedStderr();
    if (err) *err = stderrtext;
    return dir.file("data/replays");
}

// The first kills of tests/replays: a game from the title to its game over.
std::string firstkills() {
    return readtext(kReplayDir / "first_kills.txt");
}

// Rewrites the lines of a replay that pred picks.
template <class F>
std::string rewrite(const std::string& text, F change) {
    std::istringstream in(text);
    std::string out;
    for (std::string line; std::getline(in, line);) out += change(line) + "\n";
    return out;
}

TEST(Recording, AGameIsRecordedAndReplaysToItsScore) {
    vx::test::RunFolder dir;
    const std::string folder = record(dir, firstkills(), 1400, 7);
    const std::vector<std::string> names = replaysin(folder);
    ASSERT_EQ(names.size(), 1u);
    // Date and time, the final score, and the mark of a new best score.
    EXPECT_TRUE(names[0].size() == std::string("2026-12-11_10-42-07_900_best.vxr").size() &&
                names[0].compare(names[0].size() - 13, 13, "_900_best.vxr") == 0)
        << names[0];
    const std::string file = folder + "/" + names[0];

    vx::ReplayError err;
    const auto replay = vx::readreplay(readtext(file), err);
    ASSERT_TRUE(replay) << err.line << ": " << err.message;
    EXPECT_EQ(replay->start.seed, 7u);
    EXPECT_EQ(replay->start.stars.size(), 300u);
    EXPECT_EQ(replay->start.player.hscore, 0);
    EXPECT_EQ(replay->checks.back().score, 900);
    for (size_t i = 0; i + 1 < replay->checks.size(); ++i)
        EXPECT_EQ(replay->checks[i].frame, static_cast<int>(i + 1) * 60);

    const Verdict v = verify(dir, file);
    EXPECT_EQ(v.status, 0) << v.error;
    EXPECT_EQ(v.out,
              "replay ok: frames " + std::to_string(replay->endframe()) + " score 900 wave 1\n");
}

TEST(Recording, EveryWayAGameEndsIsRecorded) {
    // Escape during play, the close request, F1 and the game over: each ends
    // the recording with the picture that ended the game, and each replays.
    const std::string start = "30 tap left\n90 tap left\n300 move 200 440\n310 tap left\n";
    const struct {
        const char* name;
        std::string ending;
        int games;
    } cases[] = {
        {"escape", "400 tap escape\n", 1},
        {"close request", "400 quit\n", 1},
        {"f1", "400 tap f1\n500 tap escape\n", 1},
        {"pause then escape", "400 tap space\n410 tap f2\n420 press escape\n", 1},
        {"suspended", "400 suspend\n401 tap left\n402 resume\n403 move 300 430\n500 quit\n", 1},
    };
    for (const auto& c : cases) {
        vx::test::RunFolder dir;
        const std::string folder = record(dir, start + c.ending, 2000, 3);
        const std::vector<std::string> names = replaysin(folder);
        ASSERT_EQ(names.size(), static_cast<size_t>(c.games)) << c.name;
        const Verdict v = verify(dir, folder + "/" + names[0]);
        EXPECT_EQ(v.status, 0) << c.name << ": " << v.error;
        EXPECT_EQ(v.out.rfind("replay ok: frames ", 0), 0u) << c.name << ": " << v.out;
    }
}

TEST(Recording, AnAlteredReplayDivergesNamingTheFrame) {
    vx::test::RunFolder dir;
    const std::string folder = record(dir, firstkills(), 1400, 7);
    const std::string file = folder + "/" + replaysin(folder).at(0);
    const std::string text = readtext(file);
    const struct {
        const char* name;
        std::string text;
        const char* want;
    } cases[] = {
        // The pointer moved aside from frame 700 on.
        {"moves shifted",
         rewrite(text,
                 [](std::string l) {
                     int f = 0, x = 0, y = 0;
                     char verb[8] = {};
                     if (std::sscanf(l.c_str(), "%d %7s %d %d", &f, verb, &x, &y) == 4 &&
                         std::string(verb) == "move" && f > 700)
                         return std::to_string(f) + " move " + std::to_string(x + 9) + " " +
                                std::to_string(y);
                     return l;
                 }),
         "replay diverged at frame 720: "},
        {"other generator",
         rewrite(
             text,
             [](std::string l) { return l.rfind("rng ", 0) == 0 ? "rng 0000000000000001" : l; }),
         "replay diverged at frame 60: state "},
        {"other score at the end",
         rewrite(text,
                 [](std::string l) {
                     if (l.rfind("end ", 0) != 0) return l;
                     return l.replace(l.find(" score 900"), 10, " score 950");
                 }),
         "score 900, recorded 950"},
        {"ends later than the game",
         rewrite(text,
                 [](std::string l) {
                     if (l.rfind("end ", 0) != 0) return l;
                     return "end 1500" + l.substr(l.find(' ', 4));
                 }),
         ": the game ended, recorded to end at frame 1500"},
    };
    for (const auto& c : cases) {
        const std::string altered = dir.path() + "/../altered.vxr";
        std::ofstream(altered, std::ios::binary) << c.text;
        const Verdict v = verify(dir, altered);
        EXPECT_EQ(v.status, 1) << c.name << ": " << v.error;
        EXPECT_NE(v.out.find(c.want), std::string::npos) << c.name << ": " << v.out;
    }
}

TEST(Recording, AReplayCombinesWithTheTrace) {
    vx::test::RunFolder dir;
    const std::string folder = record(dir, firstkills(), 1400, 7);
    const std::string file = folder + "/" + replaysin(folder).at(0);
    const std::string trace = dir.path() + "/../trace.jsonl";
    const Verdict v = verify(dir, file, trace);
    EXPECT_EQ(v.status, 0) << v.error;
    const std::string t = readtext(trace);
    const auto lines = std::count(t.begin(), t.end(), '\n');
    EXPECT_EQ(v.out, "replay ok: frames " + std::to_string(lines) + " score 900 wave 1\n");
    // Frame 1 is the get-ready screen's second picture.
    EXPECT_EQ(t.rfind(R"({"frame":1,"screen":"getready",)", 0), 0u) << t.substr(0, 80);
}

TEST(Recording, AFolderThatCannotBeWrittenCostsOnlyTheReplay) {
    vx::test::RunFolder dir;
    // data/replays is a file: no folder can be made there.
    std::ofstream(dir.file("data/replays")) << "in the way";
    std::string err;
    record(dir, firstkills(), 1400, 7, &err);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("vexaloid: this game's replay is not kept: data/replays is not a folder"),
              std::string::npos)
        << err;
    EXPECT_EQ(readtext(dir.file("data/replays")), "in the way");
}

TEST(Recording, TheLastFiftyAndEveryBestAreKept) {
    vx::test::RunFolder dir;
    const fs::path folder = dir.file("data/replays");
    fs::create_directories(folder);
    // Sixty older games; every tenth set a new best. A file of another kind stays.
    for (int i = 0; i < 60; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "2001-01-01_00-%02d-00_%d%s.vxr", i, i * 10,
                      i % 10 == 0 ? "_best" : "");
        std::ofstream(folder / name) << "x";
    }
    std::ofstream(folder / "notes.txt") << "mine";
    record(dir, firstkills(), 1400, 7);
    const std::vector<std::string> names = replaysin(folder);
    // 50 newest (the new game and 49 old ones) + the old bests before them + notes.txt.
    std::vector<std::string> expect;
    for (int i = 0; i < 60; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "2001-01-01_00-%02d-00_%d%s.vxr", i, i * 10,
                      i % 10 == 0 ? "_best" : "");
        if (i >= 11 || i % 10 == 0) expect.push_back(name);
    }
    EXPECT_EQ(names.size(), expect.size() + 2);
    for (const std::string& n : expect)
        EXPECT_TRUE(std::find(names.begin(), names.end(), n) != names.end()) << n;
    EXPECT_TRUE(std::find(names.begin(), names.end(), "notes.txt") != names.end());
}

// A small replay to break line by line: two stars, a click, a check, the end.
const char* kSmall =
    "vexaloid-replay 1\n"
    "version 1.0\n"
    "seed 7\n"
    "rng 00000000deadbeef\n"
    "pointer 320 400\n"
    "shell titlescr=0 getready=1 control=0 wavedone=0 gameover=0 wavetype=0 wavesize=10 "
    "spawndelay=120 spawntmr=0 spawnctr=0 madectr=0 killctr=0 escapectr=0 seqtmr=1 skipbanner=0 "
    "musicstep=10 sfxstep=5 fadealpha=1 musicvol=1 sfxvol=0.5\n"
    "player x=320 y=400 frame=0 shotctr=0 hyperctr=0 dead=0 score=0 hscore=0 wave=1 newhs=0\n"
    "star 10 20 0\n"
    "star 30 40 2\n"
    "input\n"
    "5 move 100 420\n"
    "5 press left\n"
    "60 check 0123456789abcdef score 0 wave 1\n"
    "61 release left\n"
    "end 70 fedcba9876543210 score 0 wave 1\n";

TEST(ReplayReader, ReadsTheWholeFile) {
    vx::ReplayError err;
    const auto r = vx::readreplay(kSmall, err);
    ASSERT_TRUE(r) << err.line << ": " << err.message;
    EXPECT_EQ(r->start.rng, 0xdeadbeefu);
    EXPECT_EQ(r->start.stars.size(), 2u);
    EXPECT_EQ(r->start.stars[1].size, 2);
    EXPECT_EQ(r->start.shellfloats[2], 0.5f);  // sfxvol
    ASSERT_EQ(r->events.size(), 3u);
    EXPECT_EQ(r->events[1].kind, vx::Event::press);
    ASSERT_EQ(r->checks.size(), 2u);
    EXPECT_EQ(r->checks[0].hash, 0x0123456789abcdefu);
    EXPECT_EQ(r->endframe(), 70);
    // The header written from a start reads back as the same start.
    const auto again =
        vx::readreplay(vx::starttext(r->start) + "end 1 0000000000000000 score 0 wave 1\n", err);
    ASSERT_TRUE(again) << err.line << ": " << err.message;
    EXPECT_EQ(vx::starttext(again->start), vx::starttext(r->start));
}

TEST(ReplayReader, BadLinesAreNamedByNumber) {
    const struct {
        const char* line;  // replaces the line that begins with `at`
        const char* at;
        int want;
        const char* message;
    } cases[] = {
        {"vexaloid-replay 2", "vexaloid-replay", 1, "format 2"},
        {"nonsense", "vexaloid-replay", 1, "not a replay"},
        {"seed -1", "seed", 3, "bad seed"},
        {"rng 12", "rng", 4, "16 hex digits"},
        {"pointer 640 10", "pointer", 5, "bad pointer"},
        {"shell titlescr=0", "shell", 6, "needs 20 values"},
        {"player x=1 y=400 frame=0 shotctr=0 hyperctr=0 dead=0 score=0 hscore=0 wave=1 newhs=x",
         "player", 7, "bad value in 'newhs=x'"},
        {"player y=1 x=400 frame=0 shotctr=0 hyperctr=0 dead=0 score=0 hscore=0 wave=1 newhs=0",
         "player", 7, "expected x="},
        {"star 1 2", "star 30", 9, "three whole numbers"},
        {"5 move 100", "5 move", 11, "move needs two whole numbers"},
        {"4 press left", "5 press", 12, "before the previous line's"},
        {"60 check 0123 score 0 wave 1", "60 check", 13, "check needs HASH"},
        {"end 70 fedcba9876543210 score 0", "end", 15, "end needs FRAME"},
        {"end 59 fedcba9876543210 score 0 wave 1", "end", 15, "before the previous line's"},
        {"end 70 fedcba9876543210 score 0 wave 1\n71 tap left", "end", 16, "after the end line"},
        {"", "end", 16, "no end line"},
        {"", "input", 6, "expected the shell line"},
    };
    for (const auto& c : cases) {
        std::string text = rewrite(kSmall, [&](const std::string& l) {
            return l.rfind(c.at, 0) == 0 ? std::string(c.line) : l;
        });
        if (std::string(c.at) == "input") text = text.substr(0, text.find("shell")) + "input\n";
        vx::ReplayError err;
        EXPECT_FALSE(vx::readreplay(text, err)) << c.line;
        EXPECT_EQ(err.line, c.want) << c.line << ": " << err.message;
        EXPECT_NE(err.message.find(c.message), std::string::npos) << c.line << ": " << err.message;
    }
}

TEST(ReplayReader, TheSimulatorReportsABadFileWithStatusTwo) {
    vx::test::RunFolder dir;
    const std::string file = dir.path() + "/../bad.vxr";
    std::ofstream(file) << rewrite(kSmall, [](const std::string& l) {
        return l.rfind("star 30", 0) == 0 ? "star x 40 2" : l;
    });
    const Verdict v = verify(dir, file);
    EXPECT_EQ(v.status, 2);
    EXPECT_EQ(v.error, file + ":9: star needs three whole numbers X Y SIZE");
    EXPECT_EQ(v.out, "");
    const Verdict missing = verify(dir, dir.path() + "/../none.vxr");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.error.find("cannot read replay"), std::string::npos);
}

// The real games kept in tests/replays: each reproduces to its recorded end.
TEST(RecordedGames, EachReproducesInTheSimulator) {
    int games = 0;
    for (const std::string& name : replaysin(kReplayDir)) {
        if (name.size() < 4 || name.compare(name.size() - 4, 4, ".vxr") != 0) continue;
        vx::test::RunFolder dir;
        vx::ReplayError err;
        const auto r = vx::readreplay(readtext(kReplayDir / name), err);
        ASSERT_TRUE(r) << name << ":" << err.line << ": " << err.message;
        const Verdict v = verify(dir, (kReplayDir / name).string());
        EXPECT_EQ(v.status, 0) << name << ": " << v.error;
        EXPECT_EQ(v.out, "replay ok: frames " + std::to_string(r->endframe()) + " score " +
                             std::to_string(r->checks.back().score) + " wave " +
                             std::to_string(r->checks.back().wave) + "\n")
            << name;
        ++games;
    }
    EXPECT_GE(games, 1);
}

}  // namespace

namespace {

TEST(CommandLine, ReplayTakesAFile) {
    const struct {
        std::vector<const char*> args;
        vx::Options::Action action;
        const char* replay;
        const char* error;
    } cases[] = {
        {{"vexaloid", "--replay", "game.vxr"}, vx::Options::play, "game.vxr", ""},
        {{"vexaloid", "--windowed", "--replay", "a b.vxr"}, vx::Options::play, "a b.vxr", ""},
        {{"vexaloid", "--replay"}, vx::Options::bad, "", "--replay needs a file"},
        {{"vexaloid", "--replay", ""}, vx::Options::bad, "", "--replay needs a file"},
    };
    for (const auto& c : cases) {
        const vx::Options o = vx::readoptions(static_cast<int>(c.args.size()), c.args.data());
        EXPECT_EQ(o.action, c.action) << c.args.back();
        EXPECT_EQ(o.replay, c.replay);
        EXPECT_EQ(o.error, c.error);
    }
    EXPECT_NE(vx::usage().find("--replay FILE.vxr"), std::string::npos);
}

}  // namespace
