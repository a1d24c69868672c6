// Recorded input scripts replayed through the simulator, their traces checked at
// chosen frames and as a whole against a stored hash. The same hash in the
// normal and the sanitizer build shows that the game computes the same floats
// in both.
//
// A replay file is a simulator script with lines the script reader skips:
//   #! seed 7                      run options (seed, frames; last: the picture
//                                  after which the script ends the program)
//   #! fails-against other.txt     an altered copy that must fail other.txt's checks
//   #@ 356 screen=play player.score=0   trace values at a frame (paths into the
//                                  JSON; a space in a value is written "_")
//   #= 0123456789abcdef            FNV-1a hash of the whole trace (with entities)
// VEXALOID_REPLAY_UPDATE=1 rewrites the values and hashes from the current game
// (see tests/replays/README.md).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "sim.h"

namespace fs = std::filesystem;

namespace {

const fs::path kReplayDir = fs::path(VEXALOID_SOURCE_DIR) / "tests/replays";

struct Checkpoint {
    int frame = 0;
    std::vector<std::pair<std::string, std::string>> values;  // path, expected text
};

struct Replay {
    std::string text;
    uint32_t seed = 1;
    long long frames = -1;
    int last = 0;  // the last picture, when the script ends the program
    std::string failsagainst;
    std::vector<Checkpoint> checks;
    std::string hash;
};

std::string readtext(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::ostringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

Replay loadreplay(const fs::path& p) {
    Replay r;
    r.text = readtext(p);
    std::istringstream in(r.text);
    for (std::string line; std::getline(in, line);) {
        std::istringstream w(line);
        std::string tag;
        w >> tag;
        if (tag == "#!") {
            std::string key, value;
            w >> key >> value;
            if (key == "seed") r.seed = static_cast<uint32_t>(std::stoul(value));
            if (key == "frames") r.frames = std::stoll(value);
            if (key == "last") r.last = std::stoi(value);
            if (key == "fails-against") r.failsagainst = value;
        } else if (tag == "#@") {
            Checkpoint c;
            w >> c.frame;
            for (std::string kv; w >> kv;) {
                size_t eq = kv.find('=');
                if (eq != std::string::npos)
                    c.values.emplace_back(kv.substr(0, eq), kv.substr(eq + 1));
            }
            r.checks.push_back(c);
        } else if (tag == "#=") {
            w >> r.hash;
        }
    }
    return r;
}

// The raw text of the value at a dotted path ("player.score") in one trace line:
// strings without their quotes, arrays and objects as written, with every space
// written as "_" so that a check line splits on spaces.
std::string rawvalue(const std::string& line, const std::string& path);
std::string tracevalue(const std::string& line, const std::string& path) {
    std::string v = rawvalue(line, path);
    for (char& c : v)
        if (c == ' ') c = '_';
    return v;
}
std::string rawvalue(const std::string& line, const std::string& path) {
    size_t pos = 0;
    std::istringstream parts(path);
    for (std::string key; std::getline(parts, key, '.');) {
        size_t at = line.find("\"" + key + "\":", pos);
        if (at == std::string::npos) return "<missing>";
        pos = at + key.size() + 3;
    }
    if (pos >= line.size()) return "<missing>";
    if (line[pos] == '"') {
        size_t end = pos + 1;
        while (end < line.size() && line[end] != '"') end += line[end] == '\\' ? 2 : 1;
        return line.substr(pos + 1, end - pos - 1);
    }
    size_t end = pos;
    if (line[pos] == '[' || line[pos] == '{') {
        int depth = 0;
        do {
            if (line[end] == '[' || line[end] == '{') ++depth;
            if (line[end] == ']' || line[end] == '}') --depth;
            ++end;
        } while (end < line.size() && depth > 0);
    } else {
        while (end < line.size() && line[end] != ',' && line[end] != '}' && line[end] != ']') ++end;
    }
    return line.substr(pos, end - pos);
}

std::string fnv1a(const std::string& s) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : s) h = (h ^ c) * 1099511628211ull;
    char buf[17];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(h));
    return buf;
}

// Runs a replay's script in a fresh run folder; the trace lines by frame.
struct RunResult {
    int status = 0;
    std::string error, trace;
    std::map<int, std::string> lines;
};

RunResult runreplay(const Replay& r) {
    char tmpl[] = "/tmp/vexaloid-replay-XXXXXX";
    fs::path root = mkdtemp(tmpl);
    fs::path game = root / "game";
    fs::create_directories(game / "data");
    fs::path built = fs::path(VEXALOID_BINARY_DIR) / "data";
    if (fs::exists(built))
        for (const auto& e : fs::directory_iterator(built))
            if (e.path().extension() == ".wav")
                fs::copy_file(e.path(), game / "data" / e.path().filename());
    std::ofstream(root / "script.txt", std::ios::binary) << r.text;

    vx::sim::Options opt;
    opt.dir = game.string();
    opt.seed = r.seed;
    opt.frames = r.frames;
    opt.input = (root / "script.txt").string();
    opt.trace = (root / "trace.jsonl").string();
    opt.entities = true;
    RunResult run;
    run.status = vx::sim::run(opt, run.error);
    run.trace = readtext(root / "trace.jsonl");
    std::istringstream in(run.trace);
    for (std::string line; std::getline(in, line);) {
        int frame = std::atoi(tracevalue(line, "frame").c_str());
        // The last line of a frame number wins (there is one per picture).
        run.lines[frame] = line;
    }
    fs::remove_all(root);
    return run;
}

// Every difference between a run and a replay's checks.
std::vector<std::string> compare(const Replay& want, const RunResult& run) {
    std::vector<std::string> diffs;
    if (run.status != 0) diffs.push_back("status " + std::to_string(run.status) + ": " + run.error);
    for (const Checkpoint& c : want.checks) {
        auto it = run.lines.find(c.frame);
        if (it == run.lines.end()) {
            diffs.push_back("no picture " + std::to_string(c.frame));
            continue;
        }
        for (const auto& [path, value] : c.values) {
            std::string got = tracevalue(it->second, path);
            if (got != value)
                diffs.push_back("frame " + std::to_string(c.frame) + " " + path + ": want " +
                                value + ", got " + got);
        }
    }
    if (want.last != 0 && (run.lines.empty() || run.lines.rbegin()->first != want.last))
        diffs.push_back("want the program to end after picture " + std::to_string(want.last));
    if (fnv1a(run.trace) != want.hash)
        diffs.push_back("trace hash: want " + want.hash + ", got " + fnv1a(run.trace));
    return diffs;
}

// Writes the current game's values into a replay's check lines.
void update(const fs::path& p, const RunResult& run) {
    std::istringstream in(readtext(p));
    std::ostringstream out;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("#@", 0) == 0) {
            std::istringstream w(line);
            std::string tag;
            int frame = 0;
            w >> tag >> frame;
            line = "#@ " + std::to_string(frame);
            for (std::string kv; w >> kv;) {
                std::string path = kv.substr(0, kv.find('='));
                auto it = run.lines.find(frame);
                line += " " + path + "=" +
                        (it == run.lines.end() ? "<missing>" : tracevalue(it->second, path));
            }
        } else if (line.rfind("#=", 0) == 0) {
            line = "#= " + fnv1a(run.trace);
        }
        out << line << '\n';
    }
    std::ofstream(p, std::ios::binary) << out.str();
}

std::vector<std::string> replayfiles() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(kReplayDir))
        if (e.path().extension() == ".txt") names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class Replays : public testing::TestWithParam<std::string> {};

TEST_P(Replays, TraceMatchesTheRecordedChecks) {
    const fs::path file = kReplayDir / GetParam();
    Replay r = loadreplay(file);
    if (!r.failsagainst.empty()) {
        // An altered replay: its own input against another replay's checks and
        // options must show differences, or the checks could never fail.
        Replay original = loadreplay(kReplayDir / r.failsagainst);
        ASSERT_FALSE(original.checks.empty());
        original.text = r.text;
        RunResult run = runreplay(original);
        EXPECT_EQ(run.status, 0) << run.error;
        EXPECT_FALSE(compare(loadreplay(kReplayDir / r.failsagainst), run).empty())
            << GetParam() << " passes the checks of " << r.failsagainst;
        return;
    }
    ASSERT_FALSE(r.checks.empty()) << "no #@ lines";
    RunResult run = runreplay(r);
    if (std::getenv("VEXALOID_REPLAY_UPDATE")) {
        update(file, run);
        r = loadreplay(file);
    }
    for (const std::string& d : compare(r, run)) ADD_FAILURE() << GetParam() << ": " << d;
}

INSTANTIATE_TEST_SUITE_P(Recorded, Replays, testing::ValuesIn(replayfiles()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param.substr(0, info.param.size() - 4);
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

TEST(TraceValue, ReadsNestedFieldsStringsAndArrays) {
    const std::string line =
        R"({"frame":3,"screen":"play","player":{"x":12,"score":250},"sfx":["a 1","b"],"n":{"x":1}})";
    const struct {
        const char* path;
        const char* want;
    } cases[] = {{"frame", "3"},          {"screen", "play"},        {"player.x", "12"},
                 {"player.score", "250"}, {"sfx", R"(["a_1","b"])"}, {"n", R"({"x":1})"},
                 {"nothere", "<missing>"}};
    for (const auto& c : cases) EXPECT_EQ(tracevalue(line, c.path), c.want) << c.path;
}

}  // namespace
