// Where the game's files live in its two modes, and the command line.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "persist/persist.h"
#include "platform/files.h"
#include "platform/headless.h"
#include "platform/paths.h"
#include "shell/game.h"
#include "shell/options.h"

namespace vx::test {
namespace {

namespace fs = std::filesystem;

// A private temporary folder, removed afterwards.
class TempDir {
  public:
    TempDir() {
        char tmpl[] = "/tmp/vexaloid-paths-XXXXXX";
        path_ = mkdtemp(tmpl);
    }
    ~TempDir() { fs::remove_all(path_); }
    std::string operator/(const std::string& rel) const { return path_ + "/" + rel; }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

struct ChoiceCase {
    const char* name;
    Machine machine;
    RunMode mode;
    const char* sounds;
    const char* settings;
    const char* userdata;
    bool nohome;
};

class Choice : public testing::TestWithParam<ChoiceCase> {};

TEST_P(Choice, PathsFollowTheModeAndTheXdgRules) {
    const ChoiceCase& c = GetParam();
    const Paths p = choosepaths(c.machine);
    EXPECT_EQ(p.mode, c.mode);
    EXPECT_EQ(p.sounds, c.sounds);
    EXPECT_EQ(p.settings, c.settings);
    EXPECT_EQ(p.userdata, c.userdata);
    EXPECT_EQ(!p.nohome.empty(), c.nohome) << p.nohome;
    EXPECT_EQ(p.hiscore(), c.userdata[0] ? std::string(c.userdata) + "/hiscore.dat" : "");
}

constexpr RunMode kP = RunMode::portable, kI = RunMode::installed;
constexpr const char* kSounds = "/opt/vx/share/games/vexaloid";

INSTANTIATE_TEST_SUITE_P(
    Paths, Choice,
    testing::Values(
        // data/ in the working folder: everything relative to it, whatever the environment.
        ChoiceCase{"PortableIgnoresTheEnvironment",
                   {true, "/opt/vx/games", "/home/ann", "/x", "/y"},
                   kP,
                   "data",
                   "../config/settings.cfg",
                   "data",
                   false},
        ChoiceCase{"PortableWithoutHome",
                   {true, "/opt/vx/games", "", "", ""},
                   kP,
                   "data",
                   "../config/settings.cfg",
                   "data",
                   false},
        ChoiceCase{"InstalledDefaults",
                   {false, "/opt/vx/games", "/home/ann", "", ""},
                   kI,
                   kSounds,
                   "/home/ann/.config/vexaloid/settings.cfg",
                   "/home/ann/.local/share/vexaloid",
                   false},
        ChoiceCase{"InstalledXdgFolders",
                   {false, "/opt/vx/games", "/home/ann", "/d/x", "/c/y/"},
                   kI,
                   kSounds,
                   "/c/y/vexaloid/settings.cfg",
                   "/d/x/vexaloid",
                   false},
        // Relative XDG folders are invalid and ignored.
        ChoiceCase{"RelativeXdgIgnored",
                   {false, "/opt/vx/games", "/home/ann", "rel", "./c"},
                   kI,
                   kSounds,
                   "/home/ann/.config/vexaloid/settings.cfg",
                   "/home/ann/.local/share/vexaloid",
                   false},
        ChoiceCase{"HomeWithTrailingSlash",
                   {false, "/opt/vx/games", "/home/ann/", "", ""},
                   kI,
                   kSounds,
                   "/home/ann/.config/vexaloid/settings.cfg",
                   "/home/ann/.local/share/vexaloid",
                   false},
        ChoiceCase{"NoHomeButXdgDataHome",
                   {false, "/opt/vx/games", "", "/d", ""},
                   kI,
                   kSounds,
                   "",
                   "/d/vexaloid",
                   false},
        ChoiceCase{"NoHome", {false, "/opt/vx/games", "", "", ""}, kI, kSounds, "", "", true},
        ChoiceCase{"RelativeHome",
                   {false, "/opt/vx/games", "home/ann", "", ""},
                   kI,
                   kSounds,
                   "",
                   "",
                   true},
        // A moved tree: the sounds beside the program's own folder.
        ChoiceCase{"MovedTree",
                   {false, "/tmp/t/usr/games", "/h", "", ""},
                   kI,
                   "/tmp/t/usr/share/games/vexaloid",
                   "/h/.config/vexaloid/settings.cfg",
                   "/h/.local/share/vexaloid",
                   false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Paths, CanMakeFolderFindsTheNearestExistingAncestor) {
    TempDir t;
    std::ofstream(t / "file") << "x";
    fs::create_directories(t / "dir");
    struct {
        std::string dir;
        bool ok;
    } cases[] = {
        {t / "dir", true},             // exists
        {t / "new/a/b", true},         // made under a folder that exists
        {t / "file", false},           // a file in the folder's place
        {t / "file/below/it", false},  // a file on the way
    };
    for (const auto& c : cases) EXPECT_EQ(canmakefolder(c.dir), c.ok) << c.dir;
}

TEST(Paths, MakeFoldersMakesPrivateParentsAndReportsAFileInTheWay) {
    TempDir t;
    EXPECT_EQ(files::makefolders(t / "a/b/c"), std::nullopt);
    struct stat st;
    ASSERT_EQ(stat((t / "a/b").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(files::makefolders(t / "a/b/c"), std::nullopt);  // already there
    std::ofstream(t / "f") << "x";
    auto err = files::makefolders(t / "f/g");
    ASSERT_TRUE(err.has_value());
    EXPECT_NE(err->find(t / "f"), std::string::npos) << *err;
}

// The installed game's files through its own readers and writer: nothing in
// the working folder, the user data folder made only when the record is stored.
TEST(InstalledMode, BestScoreAndSettingsLiveInTheXdgFolders) {
    TempDir t;
    const Paths p = choosepaths({false, "/nowhere/games", t / "home", "", ""});
    HeadlessPlatform pf;
    Game g(pf);
    g.paths = p;
    hiscorefile(g, 0);
    EXPECT_EQ(g.player.hscore, 0);
    EXPECT_FALSE(fs::exists(t / "home")) << "reading must not make folders";
    g.player.hscore = 4321;
    hiscorefile(g, 1);
    std::ifstream in(t / "home/.local/share/vexaloid/hiscore.dat", std::ios::binary);
    std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(bytes, (std::vector<char>{char(0xE1), 0x10, 0, 0}));
    g.player.hscore = 0;
    hiscorefile(g, 0);
    EXPECT_EQ(g.player.hscore, 4321);

    fs::create_directories(t / "home/.config/vexaloid");
    std::ofstream(t / "home/.config/vexaloid/settings.cfg", std::ios::binary)
        .write("\0\0\0\0\0\0\0\0\0\0\0\0\x1e\0\0\0", 16);
    readsettings(g);
    EXPECT_EQ(g.timerhz, 30);
}

TEST(InstalledMode, WithoutAUsableHomeNothingIsStored) {
    TempDir t;
    const std::string here = files::cwd();
    ASSERT_TRUE(files::changedir(t.path()));
    HeadlessPlatform pf;
    Game g(pf);
    g.paths = choosepaths({false, "/nowhere/games", "", "", ""});
    hiscorefile(g, 0);
    g.player.hscore = 99;
    readsettings(g);
    hiscorefile(g, 1);
    files::changedir(here);
    EXPECT_EQ(g.timerhz, 0);
    EXPECT_TRUE(fs::is_empty(t.path()));
}

TEST(InstalledMode, SoundsComeFromTheSoundFolderWhateverTheWorkingFolder) {
    TempDir t;
    const std::string here = files::cwd();
    ASSERT_TRUE(files::changedir(t.path()));
    HeadlessPlatform pf;
    Game g(pf);
    g.paths = choosepaths({false, "/nowhere/games", t / "home", "", ""});
    g.paths.sounds = VEXALOID_BINARY_DIR "/data";
    loadsounds(g);
    files::changedir(here);
    for (int i = 0; i < kSfxCount; ++i) EXPECT_NE(g.snd.slot[i], nullptr) << kSfxFiles[i];
}

TEST(PortableMode, StoringTheRecordNeverMakesADataFolder) {
    TempDir t;
    const std::string here = files::cwd();
    ASSERT_TRUE(files::changedir(t.path()));
    Paths p;
    auto err = p.makeuserdata();
    files::changedir(here);
    EXPECT_EQ(err, std::nullopt);
    EXPECT_TRUE(fs::is_empty(t.path()));
}

struct ArgsCase {
    const char* name;
    std::vector<const char*> args;
    Options::Action action;
    std::optional<bool> windowed;
    const char* error;
};

class CommandLine : public testing::TestWithParam<ArgsCase> {};

TEST_P(CommandLine, Reads) {
    const ArgsCase& c = GetParam();
    std::vector<const char*> argv = {"vexaloid"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const Options o = readoptions(static_cast<int>(argv.size()), argv.data());
    EXPECT_EQ(o.action, c.action);
    EXPECT_EQ(o.windowed, c.windowed);
    EXPECT_EQ(o.error, c.error);
}

INSTANTIATE_TEST_SUITE_P(
    Options, CommandLine,
    testing::Values(
        ArgsCase{"None", {}, Options::play, std::nullopt, ""},
        ArgsCase{"Windowed", {"--windowed"}, Options::play, true, ""},
        ArgsCase{"Fullscreen", {"--fullscreen"}, Options::play, false, ""},
        ArgsCase{"LastModeCounts", {"--fullscreen", "--windowed"}, Options::play, true, ""},
        ArgsCase{"Help", {"--help"}, Options::help, std::nullopt, ""},
        ArgsCase{"ShortHelp", {"-h"}, Options::help, std::nullopt, ""},
        ArgsCase{"Version", {"--version"}, Options::version, std::nullopt, ""},
        ArgsCase{"HelpWinsOverVersion", {"--version", "--help"}, Options::help, std::nullopt, ""},
        ArgsCase{"UnknownOption",
                 {"--windowed", "--fast"},
                 Options::bad,
                 true,
                 "unknown option '--fast'"},
        ArgsCase{"UnknownBeatsHelp",
                 {"--help", "-x"},
                 Options::bad,
                 std::nullopt,
                 "unknown option '-x'"},
        ArgsCase{
            "Argument", {"level2"}, Options::bad, std::nullopt, "unexpected argument 'level2'"},
        ArgsCase{"Empty", {""}, Options::bad, std::nullopt, "unexpected argument ''"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandLine, VersionAndUsage) {
    EXPECT_TRUE(std::regex_match(versionline(), std::regex("vexaloid [0-9]+\\.[0-9]+\\.[0-9]+")))
        << versionline();
    EXPECT_EQ(usage().rfind("usage: vexaloid", 0), 0u);
    for (const char* opt : {"--windowed", "--fullscreen", "--help", "--version"})
        EXPECT_NE(usage().find(opt), std::string::npos) << opt;
}

}  // namespace
}  // namespace vx::test
