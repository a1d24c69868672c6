// Decodes the two embedded pictures with the game's own decoder and writes
// them as C++ arrays of raw RGB, for builds that carry no PNG library (the web).
//
//   vexaloid-unpng SHEET.png LOGO.png OUT.cpp
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "assets/assets.h"

namespace {

bool writearray(std::FILE* out, const char* name, const vx::Picture& pic) {
    std::fprintf(out, "extern const int k%sW = %d, k%sH = %d;\n", name, pic.width, name,
                 pic.height);
    std::fprintf(out, "extern const unsigned char k%sRgb[] =\n", name);
    // Three-digit octal escapes: each ends by its length, whatever follows.
    for (size_t i = 0; i < pic.rgb.size(); i += 48) {
        std::fputs("    \"", out);
        for (size_t j = i; j < i + 48 && j < pic.rgb.size(); ++j)
            std::fprintf(out, "\\%03o", pic.rgb[j]);
        std::fputs("\"\n", out);
    }
    std::fputs("    ;\n", out);
    return !std::ferror(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: vexaloid-unpng SHEET.png LOGO.png OUT.cpp\n");
        return 2;
    }
    vx::Picture pics[2];
    for (int i = 0; i < 2; ++i) {
        std::ifstream f(argv[1 + i], std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)), {});
        auto pic = vx::decodepng(bytes.data(), bytes.size());
        if (!pic) {
            std::fprintf(stderr, "vexaloid-unpng: %s is not an 8-bit RGB PNG\n", argv[1 + i]);
            return 1;
        }
        pics[i] = std::move(*pic);
    }
    std::FILE* out = std::fopen(argv[3], "w");
    if (!out) {
        std::fprintf(stderr, "vexaloid-unpng: cannot write %s\n", argv[3]);
        return 1;
    }
    std::fputs("// Written by vexaloid-unpng: the decoded sprite sheet and logo.\n", out);
    bool ok = writearray(out, "Sheet", pics[0]) && writearray(out, "Logo", pics[1]);
    ok = std::fclose(out) == 0 && ok;
    return ok ? 0 : 1;
}
