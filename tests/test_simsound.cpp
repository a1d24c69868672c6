// The simulator's sound file (--audio): the game's own mixer driven by the
// virtual clock, 735 frames per picture, so an effect played in the steps of
// picture N is heard from frame N * 735 on; the same run gives the same bytes,
// and rendering the sound changes nothing in the trace.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "audio/audio.h"
#include "simrun.h"

namespace vx::test {
namespace {

namespace fs = std::filesystem;

constexpr int kPerPicture = 44100 / 60;

std::string readbytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

// The sound file read back by the game's own WAV reader.
std::shared_ptr<const Pcm> readsound(const std::string& path) {
    const std::string b = readbytes(path);
    return readwav(reinterpret_cast<const uint8_t*>(b.data()), b.size());
}

struct Rendered {
    int status = 0;
    std::string error;
    std::vector<int> shots;  // the frames whose trace logs shotsnd
};

Rendered render(const RunFolder& dir, const std::string& script, long long frames,
                const std::string& audio, const std::string& trace = "") {
    const std::string scriptpath = dir.path() + "/../script.txt";
    std::ofstream(scriptpath) << script;
    sim::Options opt;
    opt.dir = dir.path();
    opt.frames = frames;
    opt.input = scriptpath;
    opt.audio = audio;
    opt.trace = trace;
    Rendered r;
    opt.onframe = [&r](const Game& g, int frame) {
        for (Sfx s : g.snd.log.sfx)
            if (s == shotsnd) r.shots.push_back(frame);
    };
    r.status = sim::run(opt, r.error);
    return r;
}

// Splash and title clicked away, then a shot every 30 pictures from `from`.
std::string slowfire(int from = 400, int to = 900) {
    std::string s = from == 400 ? "1 move 320 440\n30 tap left\n90 tap left\n" : "";
    for (int f = from; f < to; f += 30) s += std::to_string(f) + " tap left\n";
    return s;
}

// Only the laser's sound file is left: every other effect and the music play
// silence, so each burst of sound in the file is one shot.
TEST(SimSound, AnEffectOfPictureNStartsWithinThatPicture) {
    RunFolder dir;
    for (const auto& e : fs::directory_iterator(dir.file("data")))
        if (e.path().filename() != "shot1.wav") fs::remove(e.path());
    const std::string wav = dir.file("../sound.wav");
    const Rendered r = render(dir, slowfire(), 900, wav);
    ASSERT_EQ(r.status, 0) << r.error;
    ASSERT_GE(r.shots.size(), 10u);
    const auto pcm = readsound(wav);
    ASSERT_TRUE(pcm);
    EXPECT_EQ(pcm->rate, 44100);
    ASSERT_EQ(pcm->channels, 2);
    // Picture 0 (start-up) and pictures 1..900, each 735 frames long.
    ASSERT_EQ(pcm->frames(), size_t(901 * kPerPicture));
    const auto& s = pcm->samples;
    size_t from = 0;
    for (int n : r.shots) {
        // Silent from the end of the previous shot until this one starts.
        size_t onset = from;
        while (onset < pcm->frames() && s[2 * onset] == 0 && s[2 * onset + 1] == 0) ++onset;
        EXPECT_GE(onset, size_t(n) * kPerPicture) << "shot of picture " << n;
        EXPECT_LT(onset, size_t(n + 1) * kPerPicture) << "shot of picture " << n;
        // The shot lasts a fifth of a second; the next one is 30 pictures on.
        from = size_t(n + 20) * kPerPicture;
    }
}

// The same run twice gives the same sound file, byte for byte, and the trace
// is the same with and without the sound.
TEST(SimSound, RenderingIsRepeatableAndLeavesTheTraceAlone) {
    RunFolder dir;
    const std::string script = slowfire(400, 700) +
                               "700 tap space\n710 tap f3\n720 tap f2\n730 tap space\n" +
                               slowfire(760, 800);
    const std::string a = dir.file("../a.wav"), b = dir.file("../b.wav");
    const std::string quiet = dir.file("../quiet.trace"), loud = dir.file("../loud.trace");
    const Rendered first = render(dir, script, 800, a, loud);
    ASSERT_EQ(first.status, 0) << first.error;
    ASSERT_EQ(render(dir, script, 800, b).status, 0);
    ASSERT_EQ(render(dir, script, 800, "", quiet).status, 0);
    const std::string wa = readbytes(a);
    EXPECT_EQ(wa.size(), 44u + 801u * kPerPicture * 4);
    EXPECT_TRUE(wa == readbytes(b)) << "two renderings of one run differ";
    const std::string t = readbytes(quiet);
    EXPECT_FALSE(t.empty());
    EXPECT_TRUE(t == readbytes(loud)) << "the trace changed with --audio";
}

// A run that ends by itself (Escape) is as long as its pictures.
TEST(SimSound, TheFileEndsWithTheLastPicture) {
    RunFolder dir;
    const std::string wav = dir.file("../sound.wav");
    const Rendered r = render(dir, "30 tap left\n200 tap escape\n", -1, wav);
    ASSERT_EQ(r.status, 0) << r.error;
    const auto pcm = readsound(wav);
    ASSERT_TRUE(pcm);
    // Escape, given after picture 199, ends the program there.
    EXPECT_EQ(pcm->frames(), size_t(200 * kPerPicture));
}

// A busy run at full volumes: a game started, paused, the effects stepped up
// to 100 % (the music is at 100 % from the start), then 40 s of firing while
// sweeping across the bees; a lost game is started again by the clicks. What
// comes out never reaches full scale, never jumps (a click), and is exactly
// as long as the run.
TEST(SimSound, ABusyRunAtFullVolumesNeitherClipsNorClicks) {
    RunFolder dir;
    std::string script = "1 move 320 400\n30 tap left\n90 tap left\n400 tap space\n";
    for (int k = 0; k < 5; ++k) script += std::to_string(410 + 10 * k) + " tap f3\n";
    script += "470 tap space\n";
    const int fire = 480, frames = fire + 40 * 60;
    for (int f = fire; f < frames; f += 4) {
        const int x = 320 + int(150 * std::sin(f / 90.0));
        script += std::to_string(f) + " move " + std::to_string(x) + " 400\n";
        script += std::to_string(f) + " tap left\n";
    }
    const std::string wav = dir.file("../busy.wav");
    const Rendered r = render(dir, script, frames, wav);
    ASSERT_EQ(r.status, 0) << r.error;
    ASSERT_GE(r.shots.size(), 150u) << "the run was not busy";
    const auto pcm = readsound(wav);
    ASSERT_TRUE(pcm);
    const double seconds = double(pcm->frames()) / pcm->rate;
    EXPECT_NEAR(seconds, frames / 60.0, 0.05 * frames / 60.0);
    int peak = 0, jump = 0;
    double sum = 0.0;
    const auto& s = pcm->samples;
    for (size_t i = 0; i < s.size(); ++i) {
        peak = std::max(peak, std::abs(int(s[i])));
        if (i >= 2) jump = std::max(jump, std::abs(s[i] - s[i - 2]));
        sum += double(s[i]) * s[i];
    }
    EXPECT_LT(peak, 32767) << "full scale reached";
    EXPECT_LE(jump / 32768.0, 0.6) << "a click";
    // Loud enough that the master stage had work to do.
    EXPECT_GT(std::sqrt(sum / double(s.size())) / 32768.0, 0.1);
}

TEST(SimSound, AFileThatCannotBeWrittenIsAClearError) {
    RunFolder dir;
    const Rendered r = render(dir, "", 10, dir.file("no/such/folder/sound.wav"));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.error.find("cannot write"), std::string::npos) << r.error;
    EXPECT_NE(r.error.find("sound.wav"), std::string::npos) << r.error;

    sim::Options opt;
    std::string error;
    const char* args[] = {"vexaloid-sim", "--audio"};
    EXPECT_FALSE(sim::parseargs(2, const_cast<char**>(args), opt, error));
    EXPECT_EQ(error, "--audio needs a value");
}

}  // namespace
}  // namespace vx::test
