// The two embedded pictures for builds without a PNG library: decoded at build
// time by the game's own decoder (vexaloid-unpng), carried as raw RGB.
#include "assets/assets.h"

extern const int kSheetW, kSheetH, kLogoW, kLogoH;
extern const unsigned char kSheetRgb[], kLogoRgb[];

namespace vx {

namespace {
Picture raw(int w, int h, const unsigned char* rgb) {
    Picture pic;
    pic.width = w;
    pic.height = h;
    pic.rgb.assign(rgb, rgb + static_cast<size_t>(w) * h * 3);
    return pic;
}
}  // namespace

Picture sheetpicture() {
    return raw(kSheetW, kSheetH, kSheetRgb);
}

Picture logopicture() {
    return raw(kLogoW, kLogoH, kLogoRgb);
}

}  // namespace vx
