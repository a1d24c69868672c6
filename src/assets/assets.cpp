#include "assets/assets.h"

namespace vx {

// The sheet's layout, in the order the images are made.
const SheetCell kSheetCells[15] = {
    {&Images::shipimg, "shipimg", 36, 58, 4, 1, 1, true},
    {&Images::beeimg, "beeimg", 61, 43, 3, 1, 62, true},
    {&Images::splatimg, "splatimg", 61, 45, 7, 1, 261, true},
    {&Images::ptsimg, "ptsimg", 35, 10, 8, 1, 309, true},
    {&Images::bonusimg, "bonusimg", 158, 99, 3, 1, 322, true},
    {&Images::shotimg, "shotimg", 7, 26, 1, 151, 1, true},
    {&Images::beeshotimg, "beeshotimg", 10, 10, 1, 177, 1, true},
    {&Images::titleimg, "titleimg", 352, 110, 1, 1, 109, true},
    {&Images::startimg, "startimg", 404, 18, 1, 230, 222, true},
    {&Images::getreadyimg, "getreadyimg", 160, 47, 1, 191, 56, true},
    {&Images::bonusrndimg, "bonusrndimg", 178, 41, 1, 408, 1, true},
    {&Images::wavedoneimg, "wavedoneimg", 213, 52, 1, 408, 45, true},
    {&Images::gameoverimg, "gameoverimg", 164, 47, 1, 399, 100, true},
    {&Images::labelimg, "labelimg", 84, 21, 3, 151, 30, false},
    {&Images::digitimg, "digitimg", 16, 16, 10, 223, 1, false},
};

void cutimages(Images& img, const Picture& sheet) {
    for (const SheetCell& c : kSheetCells) {
        Image& slot = img.*(c.slot);
        slot = makeimage(c.width, c.height, c.frames, c.centre);
        for (int i = 0; i < c.frames; ++i) cutframe(slot, i, sheet, c.x + i * (c.width + 1), c.y);
    }
}

const char* imagename(const Images& img, const Image* which) {
    for (const SheetCell& c : kSheetCells)
        if (&(img.*(c.slot)) == which) return c.name;
    return "?";
}

}  // namespace vx
