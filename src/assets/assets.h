// The images cut from the embedded sprite sheet, and the embedded pictures.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/image.h"

namespace vx {

struct Images {
    Image shipimg, beeimg, splatimg, ptsimg, bonusimg, shotimg, beeshotimg, titleimg, startimg,
        getreadyimg, bonusrndimg, wavedoneimg, gameoverimg, labelimg, digitimg;
};

// One row of the sheet's table: where an image's frames are cut.
struct SheetCell {
    Image Images::*slot;
    const char* name;
    int width, height, frames;
    int x, y;  // frame 0's top-left; frame i is i*(width+1) further right
    bool centre;
};
extern const SheetCell kSheetCells[15];

// Decodes an 8-bit RGB, non-interlaced PNG; nothing for anything else.
std::optional<Picture> decodepng(const uint8_t* data, size_t size);

// Decoded anew at each call: the sheet is kept only while images are cut from it.
Picture sheetpicture();  // the decoded sprite sheet
Picture logopicture();   // the decoded splash logo

// Cuts the fifteen images from the sheet into their slots.
void cutimages(Images& img, const Picture& sheet);

// The slot name of an image, for traces ("shipimg"), or "?".
const char* imagename(const Images& img, const Image* which);

}  // namespace vx
