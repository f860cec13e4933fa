// The pictures of the program folder: every name the screens open exists
// with the size and format the screen paints it at, and the pictures that
// take part in masked painting or are cut into cells behave as painted.
#include "mediaset/image_files.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace mediaset {
namespace {

struct Expected {
    const char* name;
    int width, height;
};

const fs::path pic() {
    return mediaDir() / "pic";
}

void expectBmp(const fs::path& file, int width, int height) {
    SCOPED_TRACE(file.string());
    const auto img = readBmp(file);
    ASSERT_TRUE(img) << "missing or not a BMP";
    EXPECT_EQ(img->width, width);
    EXPECT_EQ(img->height, height);
    EXPECT_EQ(img->bits, 24);
}

void expectJpeg(const fs::path& file, int width, int height) {
    SCOPED_TRACE(file.string());
    const auto img = readJpegSize(file);
    ASSERT_TRUE(img) << "missing or not a JPEG";
    EXPECT_EQ(img->width, width);
    EXPECT_EQ(img->height, height);
    EXPECT_EQ(img->bits, 24);
}

TEST(ProgramPictures, EveryJpegTheScreensOpenHasItsSize) {
    const Expected jpegs[] = {
        {"menu.jpg", 640, 480},     {"exit.jpg", 320, 240},      {"border.jpg", 610, 338},
        {"border_m.jpg", 610, 338}, {"border_m1.jpg", 610, 338}, {"b&n.jpg", 616, 362},
        {"b&n1.jpg", 616, 362},     {"b&n_m0.jpg", 616, 362},    {"b&n_m1.jpg", 616, 362},
        {"b&n_m2.jpg", 616, 362},   {"b&n_m3.jpg", 616, 362},    {"b&n_m4.jpg", 616, 362},
        {"b&n_m5.jpg", 616, 362},   {"game1.jpg", 400, 400},     {"game2.jpg", 400, 400},
        {"game3.jpg", 400, 400},    {"game4.jpg", 400, 400},
    };
    for (const Expected& e : jpegs)
        expectJpeg(pic() / e.name, e.width, e.height);
}

TEST(ProgramPictures, EveryBmpTheScreensOpenHasItsSize) {
    const Expected bmps[] = {
        {"qhzt1.bmp", 128, 128}, {"qhzt2.bmp", 128, 128}, {"qhzt3.bmp", 128, 128},
        {"hand.bmp", 41, 48},    {"hand_m.bmp", 41, 48},  {"hand_p.bmp", 41, 48},
        {"sound0.bmp", 31, 31},  {"sound1.bmp", 31, 31},  {"start.bmp", 67, 67},
        {"pause.bmp", 67, 67},   {"score.bmp", 127, 89},  {"arrows.bmp", 131, 34},
        {"number.bmp", 77, 10},  {"newword.bmp", 47, 47},
    };
    for (const Expected& e : bmps)
        expectBmp(pic() / e.name, e.width, e.height);
}

TEST(ProgramPictures, BackgroundsMatchTheCountInTheMenuState) {
    bool crlf = false;
    const auto lines = crlfLines(mediaDir() / "data" / "data.txt", crlf);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_TRUE(crlf);
    const int count = std::stoi(lines[0]);
    // The pages pick a picture other than the one shown, so they need two;
    // the set promises twenty for variety.
    ASSERT_GE(count, 20);
    EXPECT_EQ(lines[1], "0");
    EXPECT_EQ(lines[2], "1");
    EXPECT_EQ(lines[3], "1");
    for (int i = 1; i <= count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "bg_A%03d.jpg", i);
        expectJpeg(pic() / name, 640, 480);
    }
}

TEST(ProgramPictures, BackgroundsLetLargeWhiteCharactersStandOut) {
    // The flash page writes its 400 x 400 white character straight onto the
    // background at (120, 14), with no board behind it.
    bool crlf = false;
    const auto lines = crlfLines(mediaDir() / "data" / "data.txt", crlf);
    ASSERT_FALSE(lines.empty());
    for (int i = 1; i <= std::stoi(lines[0]); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "bg_A%03d.jpg", i);
        const auto bg = decodeWithImageMagick(pic() / name);
        if (!bg)
            GTEST_SKIP() << "ImageMagick cannot decode the backgrounds here";
        long sum = 0;
        for (int y = 14; y < 414; ++y)
            for (int x = 120; x < 520; ++x)
                sum += luminance(bg->at(x, y));
        EXPECT_LT(sum / (400 * 400), 175) << name << " is too pale for white characters";
    }
}

TEST(ProgramPictures, TheRainbowIsOpaqueWhateverTheSceneBehindIt) {
    // bg_A019 to bg_A024 draw the same rainbow, centred at (120, 130) with
    // six bands 9 pixels apart from a radius of 150, over six different
    // scenes: where a band is opaque, all six show the same colour there.
    std::vector<Image> pictures;
    for (int i = 19; i <= 24; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "bg_A%03d.jpg", i);
        auto bg = decodeWithImageMagick(pic() / name);
        if (!bg)
            GTEST_SKIP() << "ImageMagick cannot decode the backgrounds here";
        ASSERT_EQ(bg->width, 640);
        pictures.push_back(std::move(*bg));
    }
    constexpr double kPi = 3.14159265358979323846;
    std::set<std::uint32_t> bandColours;
    for (int band = 0; band < 6; ++band) {
        const double r = 150 - 9 * band;
        for (double degrees : {200.0, 230.0, 310.0, 340.0}) {
            const int x = static_cast<int>(std::lround(120 + r * std::cos(degrees * kPi / 180)));
            const int y = static_cast<int>(std::lround(130 + r * std::sin(degrees * kPi / 180)));
            if (x < 0 || y < 0)
                continue;
            int spread = 0;
            for (int shift : {16, 8, 0}) {
                int lo = 255, hi = 0;
                for (const Image& p : pictures) {
                    const int v = static_cast<int>((p.at(x, y) >> shift) & 0xff);
                    lo = std::min(lo, v);
                    hi = std::max(hi, v);
                }
                spread = std::max(spread, hi - lo);
            }
            EXPECT_LE(spread, 30) << "band " << band + 1 << " at " << x << "," << y
                                  << ": the scene shows through";
            bandColours.insert(pictures[0].at(x, y) & 0xe0e0e0);
        }
    }
    EXPECT_GE(bandColours.size(), 5u) << "no rainbow of several colours";
}

// image XOR, mask AND, image XOR over one rectangle, per byte.
std::uint32_t maskedPaint(std::uint32_t page, std::uint32_t image, std::uint32_t mask) {
    return ((page ^ image) & mask) ^ image;
}

struct MaskedPair {
    const char* image;
    const char* mask;
};

TEST(ProgramPictures, MaskedBoardsLeaveTheEdgeAndDarkenTheMiddle) {
    const MaskedPair pairs[] = {{"border_m1.jpg", "border.jpg"}, {"border_m.jpg", "border.jpg"},
                                {"b&n_m1.jpg", "b&n.jpg"},       {"b&n_m2.jpg", "b&n.jpg"},
                                {"b&n_m3.jpg", "b&n.jpg"},       {"b&n_m4.jpg", "b&n.jpg"},
                                {"b&n_m5.jpg", "b&n.jpg"},       {"b&n_m0.jpg", "b&n1.jpg"}};
    for (const MaskedPair& p : pairs) {
        SCOPED_TRACE(p.image);
        const auto image = decodeWithImageMagick(pic() / p.image);
        const auto mask = decodeWithImageMagick(pic() / p.mask);
        if (!image || !mask)
            GTEST_SKIP() << "ImageMagick cannot decode the pictures here";
        ASSERT_EQ(image->width, mask->width);
        ASSERT_EQ(image->height, mask->height);
        // The page's background survives in the corners, whatever it is.
        for (std::uint32_t page : {0xffffffu, 0x000000u, 0x3399ccu}) {
            const std::uint32_t out = maskedPaint(page, image->at(0, 0), mask->at(0, 0));
            EXPECT_LE(std::abs(luminance(out) - luminance(page)), 24) << std::hex << page;
        }
        // The board is dark behind every character, whatever lies below.
        const int w = image->width;
        for (std::uint32_t page : {0xffffffu, 0x000000u, 0xffcc00u}) {
            for (int x : {w / 14, w / 2, w - w / 14}) {
                const int y = image->height / 4;
                const std::uint32_t out = maskedPaint(page, image->at(x, y), mask->at(x, y));
                EXPECT_LT(luminance(out), 110) << "at " << x << "," << y;
            }
        }
    }
}

TEST(ProgramPictures, HandImageIsBlackWhereItsMaskLetsThePageShow) {
    const auto hand = readBmp(pic() / "hand.bmp");
    const auto mask = readBmp(pic() / "hand_m.bmp");
    ASSERT_TRUE(hand && mask);
    ASSERT_EQ(hand->rgb.size(), mask->rgb.size());
    int opaque = 0;
    for (size_t i = 0; i < hand->rgb.size(); ++i) {
        ASSERT_TRUE(mask->rgb[i] == 0xffffff || mask->rgb[i] == 0) << "mask pixel " << i;
        if (mask->rgb[i] == 0xffffff)
            EXPECT_EQ(hand->rgb[i], 0u) << "image pixel " << i << " would tint the page";
        else
            ++opaque;
    }
    EXPECT_GT(opaque, 41 * 48 / 5);
    EXPECT_LT(opaque, 41 * 48 * 4 / 5);
}

TEST(ProgramPictures, DigitStripHasTenDistinctDigitsAndABlankCell) {
    const auto strip = readBmp(pic() / "number.bmp");
    ASSERT_TRUE(strip);
    auto cell = [&](int d) {
        std::vector<std::uint32_t> c;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 7; ++x)
                c.push_back(strip->at(7 * d + x, y));
        return c;
    };
    std::set<std::vector<std::uint32_t>> digits;
    for (int d = 0; d < 10; ++d)
        digits.insert(cell(d));
    EXPECT_EQ(digits.size(), 10u);
    const auto blank = cell(10);
    for (std::uint32_t p : blank)
        EXPECT_EQ(p, blank.front());
    // The blank is the digits' own ground, so a blanked number leaves no box.
    EXPECT_EQ(blank.front(), strip->at(0, 0));
}

TEST(ProgramPictures, PointersAre32By32WithTheirHotSpots) {
    struct Cur {
        const char* name;
        unsigned hotX, hotY;
    };
    for (const Cur& c : {Cur{"page.cur", 6, 0}, Cur{"menu.cur", 6, 0}, Cur{"hub.cur", 6, 0},
                         Cur{"H_point.cur", 6, 0}, Cur{"H_move.cur", 16, 16}}) {
        SCOPED_TRACE(c.name);
        const std::string s = readBytes(pic() / c.name);
        ASSERT_GE(s.size(), 22u + 40u + 32u * 32u * 4u + 128u);
        EXPECT_EQ(le16(s, 0), 0u);
        EXPECT_EQ(le16(s, 2), 2u) << "not a pointer file";
        EXPECT_EQ(static_cast<unsigned char>(s[6]), 32);
        EXPECT_EQ(static_cast<unsigned char>(s[7]), 32);
        EXPECT_EQ(le16(s, 10), c.hotX);
        EXPECT_EQ(le16(s, 12), c.hotY);
        EXPECT_EQ(le32(s, 18) + le32(s, 14), s.size());
    }
}

TEST(CharacterSheet, EveryCellHoldsInkAndNoInkCrossesIntoTheGaps) {
    const auto sheet = readBmp(mediaDir() / "tav_KJ" / "tav.bmp");
    ASSERT_TRUE(sheet);
    EXPECT_EQ(sheet->bits, 8); // black on white: a palette loses nothing
    ASSERT_GE(sheet->width, 419);
    ASSERT_GE(sheet->height, 4477);
    for (int v = 1; v <= 140; ++v) {
        for (int p = 1; p <= 14; ++p) {
            const int x0 = 30 * (p - 1), y0 = 32 * (v - 1);
            int ink = 0;
            for (int y = y0; y < y0 + 29; ++y)
                for (int x = x0; x < x0 + 29; ++x)
                    ink += luminance(sheet->at(x, y)) < 100;
            ASSERT_GT(ink, 12) << "verse " << v << " character " << p << " is blank";
            // Games copy exactly the 29 x 29 cell: the column right of it and
            // the rows below it must be paper, or a neighbour's stroke shows.
            if (p < 14) {
                for (int y = y0; y < y0 + 29; ++y)
                    ASSERT_GT(luminance(sheet->at(x0 + 29, y)), 200) << v << "," << p;
            }
            if (v < 140) {
                for (int y = y0 + 29; y < y0 + 32; ++y)
                    for (int x = x0; x < x0 + 29; ++x)
                        ASSERT_GT(luminance(sheet->at(x, y)), 200) << v << "," << p;
            }
        }
    }
}

TEST(CharacterSheet, BlockStripsExistInThreeDistinctLooksForEveryVerse) {
    for (int v = 1; v <= 140; ++v) {
        std::array<std::optional<Image>, 3> looks;
        int i = 0;
        for (const char* look : {"H", "Y", "J"}) {
            char name[32];
            std::snprintf(name, sizeof name, "tav_%s%03d.bmp", look, v);
            looks[i] = readBmp(mediaDir() / "tav_KJ" / name);
            ASSERT_TRUE(looks[i]) << name;
            ASSERT_EQ(looks[i]->width, 559) << name;
            ASSERT_EQ(looks[i]->height, 36) << name;
            ASSERT_EQ(looks[i]->bits, 8) << name;
            ++i;
        }
        // The centre of the first block tells the looks apart.
        const std::uint32_t h = looks[0]->at(4, 18), y = looks[1]->at(4, 18),
                            j = looks[2]->at(4, 18);
        EXPECT_NE(h, y);
        EXPECT_NE(h, j);
        EXPECT_NE(y, j);
    }
}

TEST(CharacterSheet, TheTickOfALockedBlockNeverTouchesItsGlyph) {
    for (int v = 1; v <= 140; ++v) {
        char name[32];
        std::snprintf(name, sizeof name, "tav_Y%03d.bmp", v);
        const auto strip = readBmp(mediaDir() / "tav_KJ" / name);
        ASSERT_TRUE(strip && strip->width == 559 && strip->height == 36) << name;
        for (int b = 0; b < 14; ++b) {
            const int x0 = 40 * b;
            // The tick is yellow; the block is green, so red tells it apart.
            auto tick = [&](int x, int y) {
                const std::uint32_t c = strip->at(x, y);
                return (c >> 16) >= 230 && (c & 0xff) < 190;
            };
            // Ink: darker than the block anywhere inside its border.
            auto ink = [&](int x, int y) {
                return x >= x0 + 5 && x <= x0 + 33 && y >= 5 && y <= 31 &&
                       luminance(strip->at(x, y)) < 150;
            };
            int tickPixels = 0, inkPixels = 0;
            for (int y = 0; y < 36; ++y) {
                for (int x = x0; x < x0 + 39; ++x) {
                    inkPixels += ink(x, y);
                    if (!tick(x, y))
                        continue;
                    ++tickPixels;
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx)
                            EXPECT_FALSE(ink(x + dx, y + dy))
                                << name << " block " << b + 1 << ": the tick at " << x - x0 << ","
                                << y << " touches the glyph";
                }
            }
            EXPECT_GE(tickPixels, 6) << name << " block " << b + 1 << " has no tick";
            EXPECT_GE(inkPixels, 20) << name << " block " << b + 1 << " has no glyph";
        }
    }
}

} // namespace
} // namespace mediaset
