// Bad files and faults around the game's stored files, run through the whole
// game in the simulator in a fresh run folder: every case starts, plays on and
// ends cleanly, plays silence for a bad sound, and never loses a stored record.
// docs/reliability.md lists every case and where it is tested.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

#include "persist/persist.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "simrun.h"

namespace vx::test {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> readbytes(const std::string& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}
void writebytes(const std::string& p, const std::vector<uint8_t>& b) {
    fs::remove(p);
    std::ofstream(p, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}
std::vector<uint8_t> garbage(size_t n) {
    std::vector<uint8_t> b(n);
    uint32_t s = 12345;
    for (auto& c : b) c = static_cast<uint8_t>((s = s * 1103515245u + 12345u) >> 24);
    return b;
}

// The ways a stored file can be bad, each made in place of `path`.
struct BadFile {
    const char* name;
    std::function<void(const std::string& path)> make;
};
const BadFile kBadFiles[] = {
    {"Missing", [](const std::string& p) { fs::remove(p); }},
    {"Empty", [](const std::string& p) { writebytes(p, {}); }},
    {"Short",
     [](const std::string& p) {
         writebytes(p, {'R', 'I', 'F'});
     }},
    {"Garbage", [](const std::string& p) { writebytes(p, garbage(4096)); }},
    {"Oversized", [](const std::string& p) { writebytes(p, garbage(16u << 20)); }},
    {"Directory", [](const std::string& p) { fs::remove(p), fs::create_directories(p + "/x"); }},
    // Far larger than memory (64 GiB), yet sparse: a few KB on disk. It starts
    // with a record of 1234, which the best-score file reads.
    {"Sparse64GiB",
     [](const std::string& p) {
         writebytes(p, {0xD2, 0x04, 0, 0});
         fs::resize_file(p, uintmax_t(64) << 30);
     }},
    // As root no permission keeps a file from being read; a link to itself
    // cannot be opened by anyone.
    {"Unreadable",
     [](const std::string& p) { fs::remove(p), fs::create_symlink(fs::path(p).filename(), p); }},
};

// Runs the game: the splash clicked away, a game started and played with some
// firing, then Escape. What the start-up loaded, from the first picture.
struct Outcome {
    int status = 0;
    std::string error;
    int frames = 0;
    bool slot[kSfxCount] = {};
    int hscore = -1, timerhz = -1;
    std::string lastscreen;
};
Outcome play(const RunFolder& dir, long long frames = 700) {
    std::ofstream(dir.path() + "/../script.txt") << "30 tap left\n60 tap left\n"
                                                    "400 move 250 440\n410 tap left\n420 tap left\n"
                                                    "430 tap space\n440 tap f3\n450 tap space\n"
                                                    "600 tap escape\n";
    sim::Options opt;
    opt.dir = dir.path();
    opt.frames = frames;
    opt.input = dir.path() + "/../script.txt";
    Outcome out;
    opt.onframe = [&out](const Game& g, int frame) {
        if (frame == 1) {
            for (int i = 0; i < kSfxCount; ++i) out.slot[i] = g.snd.slot[i] != nullptr;
            out.hscore = g.player.hscore;
            out.timerhz = g.timerhz;
        }
        out.frames = frame;
        out.lastscreen = g.screen;
    };
    out.status = sim::run(opt, out.error);
    return out;
}

// Escape, given after picture 599, ended the program there (not the frame limit).
bool endedbyescape(const Outcome& o) {
    return o.status == 0 && o.frames == 599;
}

void PrintTo(const BadFile& b, std::ostream* os) {
    *os << b.name;
}

class SoundFile : public testing::TestWithParam<BadFile> {};

TEST_P(SoundFile, AnEffectPlaysSilenceAndTheGameGoesOn) {
    RunFolder dir;
    GetParam().make(dir.file("data/shot1.wav"));
    Outcome o = play(dir);
    EXPECT_EQ(o.status, 0) << o.error;
    EXPECT_TRUE(endedbyescape(o)) << o.frames;
    EXPECT_FALSE(o.slot[shotsnd]);
    EXPECT_TRUE(o.slot[hyperspsnd]);  // the others are loaded as usual
    EXPECT_EQ(readbytes(dir.file("data/hiscore.dat")).size(), 4u);
}

TEST_P(SoundFile, AMusicTrackPlaysSilenceAndTheGameGoesOn) {
    RunFolder dir;
    // The title music (the splash's) and the first wave's.
    GetParam().make(dir.file("data/techno4.wav"));
    GetParam().make(dir.file("data/techno1.wav"));
    Outcome o = play(dir);
    EXPECT_EQ(o.status, 0) << o.error;
    EXPECT_TRUE(endedbyescape(o)) << o.frames;
}

INSTANTIATE_TEST_SUITE_P(Bad, SoundFile, testing::ValuesIn(kBadFiles),
                         [](const auto& info) { return std::string(info.param.name); });

class SettingsFile : public testing::TestWithParam<BadFile> {};

TEST_P(SettingsFile, CountsAsNoFileAndTheGameGoesOn) {
    RunFolder dir;
    std::ofstream(dir.settingsfile()) << "x";
    GetParam().make(dir.settingsfile());
    Outcome o = play(dir);
    EXPECT_EQ(o.status, 0) << o.error;
    EXPECT_TRUE(endedbyescape(o)) << o.frames;
    // Bytes 12 to 15 of the garbage make some value; any value runs the game.
    const std::string name = GetParam().name;
    if (name == "Garbage" || name == "Oversized")
        EXPECT_EQ(o.timerhz, readle32(*files::readhead(dir.settingsfile(), 32), 3));
    else
        EXPECT_EQ(o.timerhz, 0);
}

INSTANTIATE_TEST_SUITE_P(Bad, SettingsFile, testing::ValuesIn(kBadFiles),
                         [](const auto& info) { return std::string(info.param.name); });

class HiscoreFileBad : public testing::TestWithParam<BadFile> {};

TEST_P(HiscoreFileBad, ReadsAsFarAsItGoesAndIsWrittenBackAsFourBytes) {
    RunFolder dir;
    const std::string path = dir.file("data/hiscore.dat");
    GetParam().make(path);
    const std::string name = GetParam().name;
    // A folder or a link that cannot be opened: there, but not readable.
    const bool unreadable = name == "Directory" || name == "Unreadable";
    std::vector<uint8_t> before = unreadable
                                      ? std::vector<uint8_t>{}
                                      : files::readhead(path, 4).value_or(std::vector<uint8_t>{});
    testing::internal::CaptureStderr();
    Outcome o = play(dir);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(o.status, 0) << o.error;
    EXPECT_TRUE(endedbyescape(o)) << o.frames;
    const int32_t read = readle32(before, 0);
    // A negative record is raised to the score 0 in the first picture.
    EXPECT_EQ(o.hscore, read < 0 ? 0 : read);
    if (unreadable) {
        // Left alone, with one message: the record it may hold is never replaced.
        if (name == "Directory") {
            EXPECT_TRUE(fs::is_directory(dir.file("data/hiscore.dat/x")));
        } else {
            EXPECT_TRUE(fs::is_symlink(path));
        }
        EXPECT_NE(said.find("cannot read data/hiscore.dat"), std::string::npos) << said;
        EXPECT_EQ(said.find("best score not saved"), std::string::npos) << said;
    } else {
        std::vector<uint8_t> after = readbytes(path);
        ASSERT_EQ(after.size(), 4u);
        EXPECT_GE(readle32(after, 0), o.hscore);
    }
    EXPECT_FALSE(fs::exists(dir.file("data/hiscore.dat.tmp")));
}

INSTANTIATE_TEST_SUITE_P(Bad, HiscoreFileBad, testing::ValuesIn(kBadFiles),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DataFolder, AFileInItsPlacePlaysSilentlyAndIsLeftAlone) {
    RunFolder dir;
    fs::remove_all(dir.path() + "/data");
    writebytes(dir.path() + "/data", {1, 2, 3});
    Outcome o = play(dir);
    EXPECT_EQ(o.status, 0) << o.error;
    EXPECT_TRUE(endedbyescape(o)) << o.frames;
    for (bool loaded : o.slot) EXPECT_FALSE(loaded);
    EXPECT_EQ(readbytes(dir.path() + "/data"), (std::vector<uint8_t>{1, 2, 3}));
}

TEST(BestScoreWrite, WhenItCannotBeWrittenTheOldRecordStaysWhole) {
    RunFolder dir;
    writebytes(dir.file("data/hiscore.dat"), {0xD2, 0x04, 0, 0});
    // The temporary file cannot be made: a folder of its name is in the way.
    fs::create_directories(dir.file("data/hiscore.dat.tmp/x"));
    Outcome o = play(dir);
    EXPECT_EQ(o.status, 0) << o.error;
    EXPECT_EQ(o.hscore, 1234);
    EXPECT_EQ(readbytes(dir.file("data/hiscore.dat")), (std::vector<uint8_t>{0xD2, 0x04, 0, 0}));
}

TEST(BestScoreWrite, ATemporaryFileLeftByACrashIsIgnoredAndReplaced) {
    RunFolder dir;
    writebytes(dir.file("data/hiscore.dat"), {0xD2, 0x04, 0, 0});
    writebytes(dir.file("data/hiscore.dat.tmp"), {0xff, 0xff});
    Outcome o = play(dir);
    EXPECT_EQ(o.status, 0) << o.error;
    EXPECT_EQ(o.hscore, 1234);
    EXPECT_EQ(readbytes(dir.file("data/hiscore.dat")), (std::vector<uint8_t>{0xD2, 0x04, 0, 0}));
    EXPECT_FALSE(fs::exists(dir.file("data/hiscore.dat.tmp")));
}

// The program killed at any moment of the write: the file always holds a whole
// record, the old one or the new one.
TEST(BestScoreWrite, KilledAtAnyMomentLeavesAWholeRecord) {
    RunFolder dir;
    const std::string path = dir.file("data/hiscore.dat");
    auto record = [](uint32_t v) {
        return std::vector<uint8_t>{uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16),
                                    uint8_t(v >> 24)};
    };
    ASSERT_FALSE(files::replacefile(path, record(0x01010101u)));
    for (int round = 0; round < 12; ++round) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Writes records whose four bytes are all the same, one after another.
            for (uint32_t i = 1;; ++i) {
                uint32_t b = (i % 250) + 1;
                files::replacefile(path, record(b * 0x01010101u));
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(1500 + 3700 * round));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        std::vector<uint8_t> now = readbytes(path);
        ASSERT_EQ(now.size(), 4u) << "round " << round;
        EXPECT_TRUE(now[0] != 0 && now[0] == now[1] && now[1] == now[2] && now[2] == now[3])
            << "round " << round << ": a torn record";
    }
}

// Another user's record (mode 600, data/ writable by all), played by an
// unprivileged user: it cannot be read, so it is neither read as 0 nor replaced.
TEST(HiscoreFile, ARecordThePlayerCannotReadIsNeverReplaced) {
    RunFolder dir;
    const std::string path = dir.file("data/hiscore.dat");
    writebytes(path, {0x10, 0x27, 0, 0});
    const bool root = geteuid() == 0;
    fs::permissions(path, root ? fs::perms(0600) : fs::perms::none);
    // The run folder and data/ are everyone's; the script beside them is written by the run.
    for (const std::string& d : {dir.path() + "/..", dir.path(), dir.file("data")})
        fs::permissions(d, fs::perms::all);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // As nobody: only the permissions decide.
        if (root && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
        Outcome o = play(dir);
        _exit(endedbyescape(o) && o.hscore == 0 ? 0 : 1);
    }
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    fs::permissions(path, fs::perms(0600));
    EXPECT_EQ(readbytes(path), (std::vector<uint8_t>{0x10, 0x27, 0, 0}));
    EXPECT_FALSE(fs::exists(dir.file("data/hiscore.dat.tmp")));
}

// A link at the temporary file's name is never followed: its target stays whole
// and the record becomes a plain file.
TEST(BestScoreWrite, ALinkAtTheTemporaryNameIsNeverFollowed) {
    RunFolder dir;
    const std::string victim = dir.path() + "/../victim.txt";
    writebytes(victim, {'k', 'e', 'e', 'p'});
    writebytes(dir.file("data/hiscore.dat"), {0xD2, 0x04, 0, 0});
    fs::create_symlink(victim, dir.file("data/hiscore.dat.tmp"));
    Outcome o = play(dir);
    EXPECT_TRUE(endedbyescape(o)) << o.error;
    EXPECT_EQ(readbytes(victim), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));
    EXPECT_FALSE(fs::is_symlink(dir.file("data/hiscore.dat")));
    EXPECT_EQ(readbytes(dir.file("data/hiscore.dat")), (std::vector<uint8_t>{0xD2, 0x04, 0, 0}));
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir.file("data/hiscore.dat.tmp"))));
}

// A new best is stored the moment its game ends, not only at quit.
TEST(BestScoreWrite, ANewBestIsStoredAsSoonAsItsGameEnds) {
    const struct {
        const char* name;
        int titlescr, gameover, hscore;
        bool unreadable, stored;
    } cases[] = {
        {"during the game", 0, 0, 5000, false, false},
        {"game over", 0, 1, 5000, false, true},
        {"F1 back to the title", 1, 0, 5000, false, true},
        {"game over without a new best", 0, 1, 100, false, false},
        {"game over, record unreadable", 0, 1, 5000, true, false},
    };
    const std::string here = files::cwd();
    for (const auto& c : cases) {
        RunFolder dir;
        const std::string path = dir.file("data/hiscore.dat");
        if (c.unreadable)
            fs::create_symlink("hiscore.dat", path);
        else
            writebytes(path, {100, 0, 0, 0});
        ASSERT_TRUE(files::changedir(dir.path()));
        HeadlessPlatform pf;
        auto g = std::make_unique<Game>(pf);
        testing::internal::CaptureStderr();
        hiscorefile(*g, 0);
        g->titlescr = c.titlescr, g->gameover = c.gameover, g->player.hscore = c.hscore;
        storenewbest(*g);
        storenewbest(*g);  // once stored, not again
        testing::internal::GetCapturedStderr();
        files::changedir(here);
        if (c.unreadable) {
            EXPECT_TRUE(fs::is_symlink(path)) << c.name;
        } else {
            const uint8_t low = c.stored ? uint8_t(5000 & 0xff) : 100;
            EXPECT_EQ(readbytes(path)[0], low) << c.name;
        }
    }
}

// Each message about a sound file is said once per run, however often the
// file is loaded: the title music starts at the splash and again at every F1.
TEST(SoundMessages, EachIsSaidOncePerRun) {
    RunFolder dir;
    writebytes(dir.file("data/techno3.wav"), garbage(100));
    fs::remove(dir.file("data/bhit.wav"));
    std::ofstream(dir.path() + "/../script.txt") << "30 tap left\n100 tap f1\n200 tap f1\n"
                                                    "300 tap f1\n400 tap escape\n";
    sim::Options opt;
    opt.dir = dir.path();
    opt.frames = 500;
    opt.input = dir.path() + "/../script.txt";
    std::string error;
    testing::internal::CaptureStderr();
    EXPECT_EQ(sim::run(opt, error), 0) << error;
    const std::string said = testing::internal::GetCapturedStderr();
    auto count = [&said](const std::string& what) {
        size_t n = 0;
        for (size_t at = said.find(what); at != std::string::npos; at = said.find(what, at + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("data/techno3.wav is not a PCM WAV file"), 1u) << said;
    EXPECT_EQ(count("cannot read data/bhit.wav"), 1u) << said;
}

// Started in a folder whose path is 5,000 characters long: the settings beside
// it, the sounds and the record in it are all found, and the record is stored there.
TEST(StartFolder, APathOf5000CharactersFindsTheGamesFiles) {
    RunFolder dir;
    const std::string script = dir.path() + "/../script.txt";
    std::ofstream(script) << "30 tap left\n600 tap escape\n";
    const std::string deep = dir.path() + "/../deep";
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Made one step at a time: no path handed to the system is long.
        if (mkdir(deep.c_str(), 0755) != 0 || chdir(deep.c_str()) != 0) _exit(10);
        const std::string step(199, 'd');
        for (int i = 0; i < 25; ++i)
            if (mkdir(step.c_str(), 0755) != 0 || chdir(step.c_str()) != 0) _exit(11);
        fs::create_directories("config");
        std::vector<uint8_t> settings(32, 0);
        settings[12] = 30;  // timerhz
        writebytes("config/settings.cfg", settings);
        fs::create_directories("game/data");
        if (chdir("game") != 0) _exit(12);
        fs::copy_symlink(dir.file("data/shot1.wav"), "data/shot1.wav");
        writebytes("data/hiscore.dat", {0xD2, 0x04, 0, 0});
        sim::Options opt;
        opt.frames = 700;
        opt.input = script;
        int timerhz = -1, hscore = -1;
        bool shot = false;
        opt.onframe = [&](const Game& g, int frame) {
            if (frame != 1) return;
            timerhz = g.timerhz, hscore = g.player.hscore, shot = g.snd.slot[shotsnd] != nullptr;
        };
        std::string error;
        const int status = sim::run(opt, error);
        const auto stored = files::readhead("data/hiscore.dat", 8);
        const bool ok = status == 0 && timerhz == 30 && hscore == 1234 && shot && stored &&
                        stored->size() == 4 && readle32(*stored, 0) >= 1234;
        _exit(ok ? 0 : 1);
    }
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    // rm walks the tree without long paths; the run folder's own removal would not.
    EXPECT_EQ(std::system(("rm -rf " + deep).c_str()), 0);
}

// A named pipe in place of a stored file must not stop the game from starting.
// Disabled: start-up waits forever for a writer (files::readall opens the path
// blocking before it checks that it is a regular file).
TEST(SpecialFiles, ANamedPipeInPlaceOfASoundDoesNotHangStartUp) {
    RunFolder dir;
    fs::remove(dir.file("data/shot1.wav"));
    ASSERT_EQ(mkfifo(dir.file("data/shot1.wav").c_str(), 0644), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        Outcome o = play(dir, 10);
        _exit(o.status == 0 && o.frames == 10 ? 0 : 1);
    }
    int status = -1;
    for (int i = 0; i < 100 && waitpid(child, &status, WNOHANG) == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (waitpid(child, &status, WNOHANG) == 0) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        FAIL() << "start-up still waiting after 10 s";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
}  // namespace vx::test
