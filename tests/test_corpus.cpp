// Every kept fuzz case (tools/fuzz/corpus/<target>/) through its reader, with
// the checks the fuzz targets use, so the regular and the sanitizer builds both
// replay the bad files. In the picture, script and replay corpora a file named good_*
// must be accepted and every other one rejected.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "../tools/fuzz/targets.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> readbytes(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

bool pngaccepted(const std::vector<uint8_t>& b) {
    return vx::decodepng(b.data(), b.size()).has_value();
}

bool replayaccepted(const std::vector<uint8_t>& b) {
    vx::ReplayError error;
    return vx::readreplay(std::string(b.begin(), b.end()), error).has_value();
}

bool scriptaccepted(const std::vector<uint8_t>& b) {
    std::optional<vx::sim::ScriptError> error;
    vx::sim::parsescript(std::string(b.begin(), b.end()), error);
    return !error;
}

struct Target {
    const char* dir;
    bool (*check)(const uint8_t*, size_t);
    bool (*accepted)(const std::vector<uint8_t>&);  // null: any file is read
};

const Target kTargets[] = {
    {"wav", vx::fuzz::checkwav, nullptr},
    {"settings", vx::fuzz::checksettings, nullptr},
    {"hiscore", vx::fuzz::checkhiscore, nullptr},
    {"png", vx::fuzz::checkpng, pngaccepted},
    {"script", vx::fuzz::checkscript, scriptaccepted},
    {"replay", vx::fuzz::checkreplay, replayaccepted},
};

TEST(FuzzCorpus, EveryKeptCaseIsHandled) {
    for (const Target& t : kTargets) {
        const fs::path dir = fs::path(VEXALOID_SOURCE_DIR) / "tools/fuzz/corpus" / t.dir;
        ASSERT_TRUE(fs::is_directory(dir)) << dir;
        int files = 0;
        for (const auto& e : fs::directory_iterator(dir)) {
            const std::vector<uint8_t> bytes = readbytes(e.path());
            const std::string name = e.path().filename().string();
            EXPECT_TRUE(t.check(bytes.data(), bytes.size())) << t.dir << "/" << name;
            if (t.accepted) {
                EXPECT_EQ(t.accepted(bytes), name.rfind("good_", 0) == 0) << t.dir << "/" << name;
            }
            ++files;
        }
        EXPECT_GT(files, 0) << t.dir;
    }
}

// The readers' results on the files whose meaning is fixed.
TEST(FuzzCorpus, ShortAndLongStoredFilesReadAsFarAsTheyGo) {
    const struct {
        const char* file;
        size_t index;
        int32_t want;
    } cases[] = {
        {"hiscore/empty.dat", 0, 0},          {"hiscore/two_bytes_10000.dat", 0, 10000},
        {"hiscore/good_1234.dat", 0, 1234},   {"hiscore/negative.dat", 0, -1},
        {"hiscore/five_bytes.dat", 0, 1234},  {"settings/good_60hz.cfg", 3, 60},
        {"settings/short_13.cfg", 3, 0x3c},   {"settings/short_15.cfg", 3, 0x01003c},
        {"settings/short_03.cfg", 3, 0},      {"settings/oversized_33.cfg", 3, 75},
        {"settings/negative_hz.cfg", 3, -60},
    };
    for (const auto& c : cases) {
        const auto bytes = readbytes(fs::path(VEXALOID_SOURCE_DIR) / "tools/fuzz/corpus" / c.file);
        EXPECT_EQ(vx::readle32(bytes, c.index), c.want) << c.file;
    }
}

}  // namespace
