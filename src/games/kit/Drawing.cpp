#include "games/kit/Drawing.h"

#include "platform/Platform.h"
#include "ui/Runtime.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace games::kit {

namespace {

// The strip's ink: the pixel of digit 8 that differs most from the cell's
// corner, which is background in any sensible strip.
gfx::Color inkOf(const DigitStrip& s) {
    const gfx::Color bg = s.picture.pixel(0, 0);
    gfx::Color ink = bg;
    int best = -1;
    for (int y = 0; y < s.cellHeight; ++y)
        for (int x = 0; x < s.cellWidth; ++x) {
            const gfx::Color c = s.picture.pixel(8 * s.cellWidth + x, y);
            if (c == gfx::kNoColor)
                continue;
            const int d = std::abs(gfx::red(c) - gfx::red(bg)) +
                          std::abs(gfx::green(c) - gfx::green(bg)) +
                          std::abs(gfx::blue(c) - gfx::blue(bg));
            if (d > best) {
                best = d;
                ink = c;
            }
        }
    return ink;
}

void paintMinus(gfx::Picture& target, const DigitStrip& s, gfx::Point at) {
    target.fillRect({at.x, at.y, s.cellWidth, s.cellHeight}, s.picture.pixel(0, 0));
    const int thick = s.cellHeight >= 20 ? 3 : 2;
    target.fillRect({at.x + 1, at.y + (s.cellHeight - thick) / 2, s.cellWidth - 2, thick},
                    inkOf(s));
}

} // namespace

void paintNumber(gfx::Picture& target, const DigitStrip& strip, int value, int digits,
                 gfx::Point at, int pitch) {
    if (strip.picture.empty() || digits < 1)
        return;
    const bool negative = value < 0;
    long magnitude = std::labs(long(value));
    int first = 0;
    if (negative && digits > 1) {
        paintMinus(target, strip, at);
        first = 1;
    }
    for (int k = digits - 1; k >= first; --k) {
        const int d = int(magnitude % 10);
        magnitude /= 10;
        target.blit(strip.picture, {strip.cellWidth * d, 0, strip.cellWidth, strip.cellHeight},
                    {at.x + pitch * k, at.y});
    }
}

void paintBlank(gfx::Picture& target, const DigitStrip& strip, int digits, gfx::Point at,
                int pitch) {
    if (strip.picture.empty())
        return;
    for (int k = 0; k < digits; ++k)
        target.blit(strip.picture, {strip.cellWidth * 10, 0, strip.cellWidth, strip.cellHeight},
                    {at.x + pitch * k, at.y});
}

Sprite Sprite::load(ui::Runtime& rt, const std::string& imagePath, const std::string& maskPath,
                    int frameWidth, int frameHeight) {
    Sprite s;
    s.image = rt.loadPicture(imagePath);
    s.mask = rt.loadPicture(maskPath);
    s.frameWidth = frameWidth;
    s.frameHeight = frameHeight;
    return s;
}

void Sprite::draw(gfx::Picture& target, int frame, gfx::Point at, gfx::Rect clip) const {
    target.drawMasked(image, mask, frameRect(frame), at, clip);
}

void Sprite::drawScaled(gfx::Picture& target, int frame, gfx::Rect dst, gfx::Rect clip) const {
    target.drawMaskedStretched(image, mask, frameRect(frame), dst, clip);
}

gfx::Picture buildCharacterStrip(ui::Runtime& rt, const std::string& kjPath,
                                 const std::string& picPath,
                                 const std::vector<std::pair<int, int>>& characters) {
    gfx::Picture strip(29 * int(characters.size()), 29, gfx::rgb(255, 255, 255));
    if (characters.empty())
        return strip;
    const gfx::Picture sheet = rt.loadPicture(kjPath + "tav.bmp");
    for (std::size_t i = 0; i < characters.size(); ++i) {
        const auto [verse, position] = characters[i];
        strip.blit(sheet, sheetCell(verse, position), {29 * int(i), 0});
    }
    return throughScratch(rt, picPath, strip);
}

gfx::Picture throughScratch(ui::Runtime& rt, const std::string& picPath,
                            const gfx::Picture& picture) {
    if (picture.empty())
        return picture;
    const std::string scratch = picPath + "tav_k.bmp";
    if (!gfx::writeBmp(picture, platform::nativePath(scratch)))
        return picture;
    gfx::Picture back = rt.loadPicture(scratch);
    return back.size() == picture.size() ? back : picture;
}

} // namespace games::kit
