// What the games draw alike: numbers from a digit strip, masked sprites cut
// from a strip of frames, and the strip of the characters dealt.
#pragma once

#include "gfx/Picture.h"

#include <string>
#include <utility>
#include <vector>

namespace ui {
class Runtime;
}

namespace games::kit {

// Ten digit cells side by side, digit d at x = cellWidth * d; some strips
// have a blank cell after the nine.
struct DigitStrip {
    gfx::Picture picture;
    int cellWidth = 7, cellHeight = 10;
};

// Paints `value` in `digits` cells with leading zeros ("000", "00000"), one
// cell every `pitch` pixels from `at`. A negative value keeps its sign: a
// minus in the first cell, the magnitude in the others, so a child sees that
// points were lost. A value too long for the cells shows its last digits.
void paintNumber(gfx::Picture& target, const DigitStrip& strip, int value, int digits,
                 gfx::Point at, int pitch);
// The blank cell (x = 10 cells) in each of `digits` cells.
void paintBlank(gfx::Picture& target, const DigitStrip& strip, int digits, gfx::Point at,
                int pitch);

// A strip of equally sized frames with its mask (black where opaque).
struct Sprite {
    gfx::Picture image, mask;
    int frameWidth = 0, frameHeight = 0;

    // Both pictures; missing files leave the sprite empty, drawing nothing.
    static Sprite load(ui::Runtime& rt, const std::string& imagePath, const std::string& maskPath,
                       int frameWidth, int frameHeight);
    int frames() const { return frameWidth > 0 ? image.width() / frameWidth : 0; }
    gfx::Rect frameRect(int frame) const {
        return {frameWidth * frame, 0, frameWidth, frameHeight};
    }
    // Frame `frame` (from 0) with its top-left corner at `at`, nothing outside `clip`.
    void draw(gfx::Picture& target, int frame, gfx::Point at, gfx::Rect clip) const;
    // The frame stretched onto `dst`.
    void drawScaled(gfx::Picture& target, int frame, gfx::Rect dst, gfx::Rect clip) const;
};

// The 29 x 29 picture of character `position` of verse `verse` in the
// character picture sheet.
constexpr gfx::Rect sheetCell(int verse, int position) {
    return {30 * (position - 1), 32 * (verse - 1), 29, 29};
}

// The picture saved as the scratch bitmap picPath + "tav_k.bmp" and read
// back, the way the games hand composed pictures on; the picture itself when
// the scratch file cannot be written or read.
gfx::Picture throughScratch(ui::Runtime& rt, const std::string& picPath,
                            const gfx::Picture& picture);

// The characters (verse, position) copied from the sheet kjPath + "tav.bmp"
// into a strip of 29-pixel cells, saved as the scratch bitmap
// picPath + "tav_k.bmp" and read back from it. Without the sheet the cells
// stay white; without a writable scratch file the strip is used as drawn.
gfx::Picture buildCharacterStrip(ui::Runtime& rt, const std::string& kjPath,
                                 const std::string& picPath,
                                 const std::vector<std::pair<int, int>>& characters);

} // namespace games::kit
