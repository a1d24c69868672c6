// The screens frame by frame: splash, title, get-ready, play, pause, wave end,
// wave complete, game over and F1, through the simulator and the game itself.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "fixture.h"
#include "persist/persist.h"
#include "platform/files.h"
#include "shell/shell.h"
#include "simrun.h"

namespace vx::test {
namespace {

using Strings = std::vector<std::string>;

// Ends the splash at frame 2 and starts a game with a click at frame 10.
const char* kStart = "2 tap left\n10 tap left\n";
constexpr int kStartFrame = 10;
constexpr int kPlayFrame = kStartFrame + 266;  // the get-ready screen's 267th frame

TEST(Splash, EndsAfterFrame399WithTheTitleMusicPlaying) {
    RunFolder dir;
    SimResult r = simulate(dir, "", 420);
    EXPECT_EQ(r.at(1).music, Strings({"play 3"}));
    EXPECT_EQ(r.at(399).screen, "splash");
    EXPECT_EQ(r.at(400).screen, "title");
    EXPECT_EQ(r.at(400).titlescr, 1);
}

TEST(Splash, ClickEndsItAndIsFlushedWithTheKeys) {
    RunFolder dir;
    // The click and Escape arrive while picture 4 is shown; the splash reads the
    // click right after presenting it.
    SimResult r = simulate(dir, "5 tap escape\n5 tap left\n", 100);
    ASSERT_EQ(r.frames.size(), 100u);  // Escape did not end the program
    EXPECT_EQ(r.at(4).screen, "splash");
    EXPECT_EQ(r.at(5).screen, "title");  // the click did not start a game either
    EXPECT_EQ(r.at(99).screen, "title");
}

TEST(GameStart, GetReadyMusicAndTimelineToPlay) {
    RunFolder dir;
    SimResult r = simulate(dir, kStart, kPlayFrame + 5);
    const FrameInfo& start = r.at(kStartFrame);
    EXPECT_EQ(start.screen, "getready");
    EXPECT_EQ(start.sfx, Strings({"gstartsnd"}));
    EXPECT_EQ(start.music, Strings({"stop", "play 0"}));
    EXPECT_EQ(start.player.x, 320);
    EXPECT_EQ(start.player.y, 400);
    EXPECT_EQ(r.at(kPlayFrame - 1).getready, 1);
    EXPECT_EQ(r.at(kPlayFrame).control, 1);
    EXPECT_EQ(r.at(kPlayFrame).getready, 0);
    EXPECT_EQ(r.find([](const FrameInfo& f) { return f.control == 1; }), kPlayFrame);
}

TEST(GameStart, ClickOnGetReadyDoesNotFire) {
    RunFolder dir;
    SimResult r = simulate(dir, std::string(kStart) + "100 tap left\n", kPlayFrame + 20);
    for (int f = kStartFrame + 1; f <= kPlayFrame + 20; ++f) {
        EXPECT_TRUE(r.at(f).sfx.empty()) << "frame " << f;
        EXPECT_EQ(r.at(f).lists.at("shotlist"), 0u) << "frame " << f;
    }
}

TEST(Pause, SpaceOnGetReadyPausesInTheFirstFrameOfPlay) {
    RunFolder dir;
    SimResult r = simulate(dir, std::string(kStart) + "100 tap space\n", kPlayFrame + 10);
    // Play begins in the get-ready step of frame kPlayFrame; the pause step of the
    // same frame reads the waiting Space.
    EXPECT_EQ(r.at(kPlayFrame - 1).screen, "getready");
    for (int f = kPlayFrame; f <= kPlayFrame + 10; ++f) EXPECT_EQ(r.at(f).screen, "pause") << f;
}

TEST(Pause, VolumeStepsCycleThroughOffTo100) {
    RunFolder dir;
    std::string script = std::string(kStart) + "100 tap space\n";
    // The pause starts in frame kPlayFrame; one F2 and one F3 every other frame.
    for (int k = 0; k < 12; ++k) {
        script += std::to_string(kPlayFrame + 3 + 2 * k) + " tap f2\n";
        script += std::to_string(kPlayFrame + 3 + 2 * k) + " tap f3\n";
    }
    SimResult r = simulate(dir, script, kPlayFrame + 30);
    for (int k = 0; k < 12; ++k) {
        const FrameInfo& f = r.at(kPlayFrame + 3 + 2 * k);
        int music = (10 + k + 1) % 11, sfx = (5 + k + 1) % 11;
        ASSERT_EQ(f.screen, "pause");
        EXPECT_EQ(f.player.x, 320);
        ASSERT_EQ(f.texts.size(), 3u);
        EXPECT_EQ(f.texts[0], "** Paused **");
        EXPECT_EQ(f.texts[1], std::string("F2=Adjust Music Volume:") + voltxt[music]) << k;
        EXPECT_EQ(f.texts[2], std::string("F3=Adjust SoundFX Volume:") + voltxt[sfx]) << k;
        EXPECT_EQ(f.sfx, Strings({"shotsnd"}));  // the sample of the new effect volume
        ASSERT_EQ(f.music.size(), 1u);
        EXPECT_EQ(f.music[0], "volume " + floattext(f.musicvol));
        EXPECT_NEAR(f.musicvol, music * 0.1f, 1e-5f);
        EXPECT_NEAR(f.sfxvol, sfx * 0.1f, 1e-5f);
    }
}

TEST(Pause, ShipComesBackWhereItWasAndAClickIsConsumed) {
    RunFolder dir;
    std::string script = std::string(kStart) + std::to_string(kPlayFrame + 1) + " move 200 300\n" +
                         std::to_string(kPlayFrame + 3) + " tap space\n" +
                         std::to_string(kPlayFrame + 5) + " move 500 450\n" +
                         std::to_string(kPlayFrame + 6) + " tap left\n";
    SimResult r = simulate(dir, script, kPlayFrame + 20);
    // The click arrives while pause picture kPlayFrame + 5 shows and ends the pause.
    EXPECT_EQ(r.at(kPlayFrame + 3).screen, "pause");
    EXPECT_EQ(r.at(kPlayFrame + 5).screen, "pause");
    EXPECT_EQ(r.at(kPlayFrame + 6).screen, "play");
    for (int f = kPlayFrame + 6; f <= kPlayFrame + 20; ++f) {
        EXPECT_EQ(r.at(f).player.x, 200) << f;
        EXPECT_EQ(r.at(f).player.y, 300) << f;
        EXPECT_EQ(r.at(f).lists.at("shotlist"), 0u) << f;
    }
}

TEST(Pause, EscapeEndsThePauseAndTheProgramAtTheEndOfThatFrame) {
    RunFolder dir;
    std::string script = std::string(kStart) + std::to_string(kPlayFrame + 2) + " tap space\n" +
                         std::to_string(kPlayFrame + 8) + " press escape\n";
    SimResult r = simulate(dir, script, kPlayFrame + 100);
    EXPECT_EQ(r.status, 0);
    // Escape is held after pause picture kPlayFrame + 7; the frame goes on to its
    // end and the program ends after it.
    ASSERT_EQ(r.frames.size(), static_cast<size_t>(kPlayFrame + 8));
    EXPECT_EQ(r.at(kPlayFrame + 7).screen, "pause");
    EXPECT_EQ(r.at(kPlayFrame + 8).screen, "play");
    EXPECT_TRUE(std::filesystem::exists(dir.file("data/hiscore.dat")));
}

// F1 from a screen gives one blank picture, then a clean title screen.
struct F1Case {
    const char* name;
    std::string script;
    int f1frame;
};

class F1 : public testing::TestWithParam<F1Case> {};

TEST_P(F1, GivesABlankPictureThenACleanTitle) {
    const F1Case& c = GetParam();
    RunFolder dir;
    SimResult r = simulate(dir, c.script + std::to_string(c.f1frame) + " tap f1\n", c.f1frame + 40);
    // F1 is read in the frame of its event: that frame's picture is the blank one.
    const FrameInfo& before = r.at(c.f1frame - 1);
    EXPECT_EQ(before.screen, c.name);
    const FrameInfo& blank = r.at(c.f1frame);
    EXPECT_EQ(blank.screen, "blank");
    EXPECT_EQ(blank.music, Strings({"stop"}));
    const FrameInfo& title = r.at(c.f1frame + 1);
    EXPECT_EQ(title.screen, "title");
    EXPECT_EQ(title.music, Strings({"play 3"}));
    EXPECT_EQ(title.spawndelay, 25);
    EXPECT_EQ(title.wavetype, 0);
    for (const auto& [list, members] : title.lists) EXPECT_EQ(members, 0u) << list;
    EXPECT_EQ(title.player.x, 320);
    EXPECT_EQ(title.player.y, 400);
    EXPECT_EQ(title.player.dead, 0);
    // Swarms every 25 frames from then on; the next click starts a normal game.
    SimResult again = simulate(dir,
                               c.script + std::to_string(c.f1frame) + " tap f1\n" +
                                   std::to_string(c.f1frame + 30) + " tap left\n",
                               c.f1frame + 31);
    EXPECT_EQ(again.at(c.f1frame + 30).screen, "getready");
    EXPECT_EQ(again.at(c.f1frame + 30).music, Strings({"stop", "play 0"}));
}

INSTANTIATE_TEST_SUITE_P(FromEachScreen, F1,
                         testing::Values(F1Case{"title", "2 tap left\n", 50},
                                         F1Case{"getready", kStart, 100},
                                         F1Case{"play", kStart, kPlayFrame + 50}),
                         [](const auto& info) { return std::string(info.param.name); });

// The wave-end test, the wave-complete screen and the game-over screen, run
// from a state set up directly.
class Screens : public GameFixture, public testing::Test {
  protected:
    Screens() {
        starfield_tag::Create(g);
        g.player.reset(g);
    }
    void play(int wavetype, int y) {
        g.titlescr = 0, g.control = 1, g.wavetype = wavetype;
        g.wavesize = 10, g.spawndelay = 120, g.killctr = 0;
        g.player.y = y;
    }
    // Frames run until pred holds, or -1 after limit frames.
    template <class P>
    int framesuntil(P pred, int limit = 2000) {
        for (int n = 1; n <= limit; ++n) {
            g.snd.log.clear();
            mainframe(g);
            if (pred()) return n;
        }
        return -1;
    }
};

TEST_F(Screens, WaveCompleteTakes328Or329FramesWhateverTheShipsHeight) {
    for (int y : {280, 333, 400, 459, 460}) {
        play(0, y);
        g.killctr = 10;
        int endscore = g.player.score, wave = g.player.wave;
        int n = framesuntil([&] { return g.getready == 1; });
        EXPECT_TRUE(n == 328 || n == 329) << "y " << y << ": " << n;
        EXPECT_EQ(g.player.score, endscore + 2000);
        EXPECT_EQ(g.player.wave, wave + 1);
        EXPECT_EQ(g.wavetype, 1);
        EXPECT_EQ(g.wavesize, 20);
        EXPECT_EQ(g.spawndelay, 110);
        g.getready = 0;
    }
}

TEST_F(Screens, WaveEndSoundsAndTheBonusOnce) {
    play(0, 400);
    g.player.hscore = 100000;
    g.killctr = 12;  // extra kills are harmless
    mainframe(g);
    EXPECT_EQ(g.snd.log.sfx, std::vector<Sfx>({flyawaysnd}));
    EXPECT_EQ(g.snd.log.music, Strings({"stop"}));
    EXPECT_EQ(g.wavedone, 1);
    EXPECT_EQ(g.killctr, 0);
    int banner = framesuntil([&] { return !g.snd.log.sfx.empty(); });
    EXPECT_EQ(g.snd.log.sfx, std::vector<Sfx>({endwavesnd}));
    EXPECT_EQ(g.player.y, 400 - 6 * (banner + 1));
    EXPECT_LT(g.player.y, -30);
    EXPECT_GE(g.player.y, -36);
    EXPECT_EQ(framesuntil([&] { return !g.snd.log.sfx.empty() || g.getready; }) > 0, true);
    EXPECT_EQ(g.getready, 1);  // no second bonus sound on the way
}

TEST_F(Screens, AfterABonusRoundNoBannerNoBonusAndAShortScreen) {
    for (int y : {280, 460}) {
        play(2, y);
        g.escapectr = 3;
        int score = g.player.score, wave = g.player.wave;
        int n = framesuntil([&] { return g.getready == 1; });
        EXPECT_GE(n, 97) << y;
        EXPECT_LE(n, 127) << y;
        EXPECT_EQ(g.player.score, score);
        EXPECT_EQ(g.player.wave, wave);
        EXPECT_EQ(g.wavetype, 0);
        EXPECT_EQ(g.wavesize, 10);  // the bonus round keeps the counters it had
        EXPECT_EQ(g.spawndelay, 120);
        EXPECT_EQ(g.escapectr, 0);
        g.getready = 0;
    }
}

TEST_F(Screens, WaveProgression) {
    struct Wave {
        int wavetype, wavesize, spawndelay;
    };
    // The values in force while each wave is played, from a new game.
    const Wave waves[] = {{0, 10, 120}, {1, 20, 110}, {2, 30, 100}, {0, 30, 100},
                          {1, 40, 90},  {2, 50, 80},  {0, 50, 80}};
    g.wavetype = 0, g.wavesize = 10, g.spawndelay = 120;
    for (const Wave& w : waves) {
        EXPECT_EQ(g.wavetype, w.wavetype);
        EXPECT_EQ(g.wavesize, w.wavesize);
        EXPECT_EQ(g.spawndelay, w.spawndelay);
        g.control = 1;
        if (g.wavetype == 2)
            g.escapectr = 3;
        else
            g.killctr = g.wavesize;
        waveendtest(g);
        g.wavedone = 0;
    }
    // Ten normal waves later the swarm interval stays at 20.
    for (int i = 0; i < 30; ++i) {
        g.control = 1, g.killctr = g.wavesize, g.escapectr = 3;
        waveendtest(g);
    }
    EXPECT_EQ(g.spawndelay, 20);
}

TEST_F(Screens, GameOverReturnsToTheTitleAfterFrame287) {
    g.titlescr = 0, g.gameover = 1, g.player.dead = 1, g.seqtmr = 0, g.fadealpha = 1.0f;
    g.wavetype = 2;
    int n = framesuntil([&] { return g.titlescr == 1; });
    EXPECT_EQ(n, 287);
    EXPECT_EQ(g.snd.log.music, Strings({"play 3"}));
    EXPECT_EQ(g.spawndelay, 30);
    EXPECT_EQ(g.wavetype, 0);
    EXPECT_EQ(g.player.dead, 0);
    EXPECT_EQ(g.player.x, 320);
}

TEST_F(Screens, KillAndShipHitInOneFrameEndTheGameNotTheWave) {
    play(0, 400);
    g.killctr = 10;
    g.control = 0, g.gameover = 1;  // as the hit leaves them
    waveendtest(g);
    EXPECT_EQ(g.wavedone, 0);
}

// The stored files, byte by byte.
struct HiscoreCase {
    const char* name;
    std::vector<uint8_t> bytes;
    bool present;
    int expected;
};

class Hiscore : public testing::TestWithParam<HiscoreCase> {};

TEST_P(Hiscore, ReadAtStartAndWrittenBackAsFourBytes) {
    const HiscoreCase& c = GetParam();
    RunFolder dir;
    if (c.present) {
        std::ofstream f(dir.file("data/hiscore.dat"), std::ios::binary);
        f.write(reinterpret_cast<const char*>(c.bytes.data()),
                static_cast<std::streamsize>(c.bytes.size()));
    }
    SimResult r = simulate(dir, "3 tap escape\n", 1000);  // flushed by the splash
    ASSERT_EQ(r.frames.size(), 1000u);
    EXPECT_EQ(r.at(1).player.hscore, c.expected);
    r = simulate(dir, "2 tap left\n5 tap escape\n", 1000);
    EXPECT_EQ(r.status, 0);
    ASSERT_EQ(r.frames.size(), 4u);  // Escape is read right after picture 4
    std::ifstream f(dir.file("data/hiscore.dat"), std::ios::binary);
    std::vector<uint8_t> written((std::istreambuf_iterator<char>(f)),
                                 std::istreambuf_iterator<char>());
    auto v = static_cast<uint32_t>(c.expected);
    EXPECT_EQ(written, std::vector<uint8_t>(
                           {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}));
}

INSTANTIATE_TEST_SUITE_P(
    Files, Hiscore,
    testing::Values(HiscoreCase{"Absent", {}, false, 0}, HiscoreCase{"Empty", {}, true, 0},
                    HiscoreCase{"TwoBytes", {0x10, 0x27}, true, 10000},
                    HiscoreCase{"Score1234", {0xD2, 0x04, 0x00, 0x00}, true, 1234},
                    HiscoreCase{"Longer", {0xD2, 0x04, 0x00, 0x00, 0xff, 0xff}, true, 1234},
                    HiscoreCase{"Negative", {0xff, 0xff, 0xff, 0xff}, true, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HiscoreFile, AFolderInItsPlaceIsReadAsZeroAndLeftAlone) {
    RunFolder dir;
    std::filesystem::create_directories(dir.file("data/hiscore.dat/inner"));
    SimResult r = simulate(dir, "2 tap left\n5 tap escape\n", 100);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.at(1).player.hscore, 0);
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("data/hiscore.dat/inner")));
}

TEST(HiscoreFile, AMissingDataFolderLosesNothingAndDoesNotCrash) {
    RunFolder dir;
    std::filesystem::remove_all(dir.path() + "/data");
    SimResult r = simulate(dir, "2 tap left\n5 tap escape\n", 100);
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "/data"));
}

struct SettingsCase {
    const char* name;
    std::vector<uint8_t> bytes;
    int timerhz;
};

class Settings : public testing::TestWithParam<SettingsCase> {};

TEST_P(Settings, FourthValueIsTheFrameTimer) {
    const SettingsCase& c = GetParam();
    RunFolder dir;
    std::ofstream(dir.settingsfile(), std::ios::binary)
        .write(reinterpret_cast<const char*>(c.bytes.data()),
               static_cast<std::streamsize>(c.bytes.size()));
    // A stored best score shows the working folder came back after the settings.
    std::ofstream(dir.file("data/hiscore.dat"), std::ios::binary).write("\x07\0\0\0", 4);
    SimResult r = simulate(dir, "", 2);
    ASSERT_EQ(r.frames.size(), 2u);
    EXPECT_EQ(r.at(1).player.hscore, 7);
    // Read through the game's own start-up reader.
    HeadlessPlatform pf;
    Game g(pf);
    std::string here = files::cwd();
    ASSERT_TRUE(files::changedir(dir.path()));
    readsettings(g);
    EXPECT_EQ(files::cwd(), dir.path());
    files::changedir(here);
    EXPECT_EQ(g.timerhz, c.timerhz);
}

std::vector<uint8_t> eightvalues(int32_t fourth, int32_t others) {
    std::vector<uint8_t> b;
    for (int i = 0; i < 8; ++i) {
        auto v = static_cast<uint32_t>(i == 3 ? fourth : others);
        for (int k = 0; k < 4; ++k) b.push_back(static_cast<uint8_t>(v >> (8 * k)));
    }
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Files, Settings,
    testing::Values(SettingsCase{"Full", eightvalues(30, 0), 30},
                    SettingsCase{"OtherValuesIgnored", eightvalues(30, -1), 30},
                    SettingsCase{"Zero", eightvalues(0, 5), 0},
                    SettingsCase{"TwelveBytes", std::vector<uint8_t>(12, 0xff), 0},
                    SettingsCase{"ThirteenBytes", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x3c}, 60},
                    SettingsCase{"Empty", {}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vx::test
