// The catch-and-shoot game's folder: every picture the game opens has the
// size and format it is painted at, sprites come with pure black-and-white
// masks, and the layout puts the buttons where the background draws them.
#include "mediaset/image_files.h"

#include <array>
#include <cstdlib>
#include <gtest/gtest.h>
#include <set>

namespace mediaset {
namespace {

const fs::path game() {
    return mediaDir() / "game" / "Game02";
}

struct Rect {
    int x, y, w, h;
    bool overlaps(const Rect& o) const {
        return x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h;
    }
};

const Rect kPlayArea{8, 6, 585, 469};
// The three read-outs: the level digit, the score and the best score.
const std::array<Rect, 3> kReadouts = {{{618, 348, 7, 10}, {611, 404, 21, 10}, {611, 459, 21, 10}}};

std::vector<Rect> buttons() {
    bool crlf = false;
    std::vector<Rect> out;
    for (const std::string& line : crlfLines(game() / "data" / "pos_size.txt", crlf)) {
        if (line.rfind("butn:", 0) != 0)
            continue;
        const auto x = column(line, 5), y = column(line, 9), w = column(line, 13),
                   h = column(line, 17);
        EXPECT_TRUE(x && y && w && h) << line;
        if (x && y && w && h)
            out.push_back({*x, *y, *w, *h});
    }
    EXPECT_TRUE(crlf);
    return out;
}

std::string look(int button, const std::string& suffix) {
    return "butn" + std::to_string(button) + suffix + ".bmp";
}

TEST(CatchGameFolder, LayoutHasSixButtonsBesideThePlayAreaAndTheReadouts) {
    const auto b = buttons();
    ASSERT_EQ(b.size(), 6u);
    for (std::size_t i = 0; i < b.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_GE(b[i].w, 24);
        EXPECT_GE(b[i].h, 24);
        EXPECT_GE(b[i].x, 0);
        EXPECT_LE(b[i].x + b[i].w, 640);
        EXPECT_LE(b[i].y + b[i].h, 480);
        EXPECT_FALSE(b[i].overlaps(kPlayArea));
        for (const Rect& r : kReadouts)
            EXPECT_FALSE(b[i].overlaps(r));
        for (std::size_t j = i + 1; j < b.size(); ++j)
            EXPECT_FALSE(b[i].overlaps(b[j])) << j;
    }
}

TEST(CatchGameFolder, BestScoresStartAtZeroForThreeLevels) {
    bool crlf = false;
    const auto lines = crlfLines(game() / "data" / "data.txt", crlf);
    ASSERT_EQ(lines.size(), 3u);
    for (const std::string& l : lines)
        EXPECT_EQ(std::atoi(l.c_str()), 0) << l;
}

TEST(CatchGameFolder, PicturesHaveTheSizesTheGamePaintsThemAt) {
    for (const char* name : {"bg.jpg", "area0806.jpg", "yxsm.jpg"}) {
        SCOPED_TRACE(name);
        const auto img = readJpegSize(game() / "pics" / name);
        ASSERT_TRUE(img) << "missing or not a JPEG";
        const bool screen = std::string(name) == "bg.jpg";
        EXPECT_EQ(img->width, screen ? 640 : 585);
        EXPECT_EQ(img->height, screen ? 480 : 469);
    }
    struct Sized {
        std::string name;
        int w, h;
    };
    const auto b = buttons();
    ASSERT_EQ(b.size(), 6u);
    std::vector<Sized> bmps = {{"Line.bmp", 160, 8}};
    for (int n = 1; n <= 6; ++n)
        for (const char* s : {"", "S"})
            bmps.push_back({look(n, s), b[n - 1].w, b[n - 1].h});
    for (const char* s : {"3_1", "3_1S", "3_2", "3_2S"})
        bmps.push_back({std::string("butn") + s + ".bmp", b[2].w, b[2].h});
    for (const Sized& e : bmps) {
        SCOPED_TRACE(e.name);
        const auto img = readBmp(game() / "pics" / e.name);
        ASSERT_TRUE(img) << "missing or not a BMP";
        EXPECT_EQ(img->width, e.w);
        EXPECT_EQ(img->height, e.h);
        EXPECT_EQ(img->bits, 24);
    }
}

struct SpriteSpec {
    const char* name;
    int frames, w, h;
};
const std::array<SpriteSpec, 4> kSprites = {{
    {"fireB", 5, 70, 70},
    {"circle", 4, 80, 40},
    {"gun", 1, 16, 12},
    {"bomb", 2, 10, 30},
}};

TEST(CatchGameFolder, SpritesHavePureMasksAndAreBlackWhereTheMaskKeepsTheBackground) {
    for (const SpriteSpec& s : kSprites) {
        SCOPED_TRACE(s.name);
        const auto img = readBmp(game() / "pics" / (std::string(s.name) + ".bmp"));
        const auto mask = readBmp(game() / "pics" / (std::string(s.name) + "_m.bmp"));
        ASSERT_TRUE(img && mask);
        ASSERT_EQ(img->width, s.frames * s.w);
        ASSERT_EQ(img->height, s.h);
        ASSERT_EQ(mask->width, img->width);
        ASSERT_EQ(mask->height, img->height);
        ASSERT_FALSE(img->rgb.empty());
        ASSERT_FALSE(mask->rgb.empty());
        for (int f = 0; f < s.frames; ++f) {
            int opaque = 0, clear = 0;
            for (int y = 0; y < s.h; ++y)
                for (int x = f * s.w; x < (f + 1) * s.w; ++x) {
                    const std::uint32_t m = mask->at(x, y);
                    ASSERT_TRUE(m == 0 || m == 0xffffff) << x << "," << y;
                    if (m == 0) {
                        ++opaque;
                    } else {
                        ++clear;
                        ASSERT_EQ(img->at(x, y), 0u) << x << "," << y;
                    }
                }
            // Every frame shows something and lets the background show around it.
            EXPECT_GT(opaque, s.w * s.h / 6) << f;
            EXPECT_GT(clear, s.w * s.h / 20) << f;
        }
    }
}

TEST(CatchGameFolder, AnimationFramesDiffer) {
    for (const SpriteSpec& s : kSprites) {
        if (s.frames < 2)
            continue;
        SCOPED_TRACE(s.name);
        const auto img = readBmp(game() / "pics" / (std::string(s.name) + ".bmp"));
        ASSERT_TRUE(img && !img->rgb.empty());
        std::set<std::vector<std::uint32_t>> frames;
        for (int f = 0; f < s.frames; ++f) {
            std::vector<std::uint32_t> px;
            for (int y = 0; y < s.h; ++y)
                for (int x = f * s.w; x < (f + 1) * s.w; ++x)
                    px.push_back(img->at(x, y));
            frames.insert(px);
        }
        EXPECT_EQ(int(frames.size()), s.frames);
    }
}

int difference(const Image& a, const Image& b, int ax, int ay) {
    long sum = 0;
    for (int y = 0; y < b.height; ++y)
        for (int x = 0; x < b.width; ++x) {
            const std::uint32_t p = a.at(ax + x, ay + y), q = b.at(x, y);
            for (int sh = 0; sh <= 16; sh += 8)
                sum += std::abs(int((p >> sh) & 255) - int((q >> sh) & 255));
        }
    return int(sum / (3L * b.width * b.height));
}

TEST(CatchGameFolder, NormalLooksAreTheBackgroundAndHighlightsStandOut) {
    const auto bg = decodeWithImageMagick(game() / "pics" / "bg.jpg");
    if (!bg)
        GTEST_SKIP() << "ImageMagick cannot decode the background here";
    const auto b = buttons();
    ASSERT_EQ(b.size(), 6u);
    for (int n = 1; n <= 6; ++n) {
        SCOPED_TRACE(n);
        const Rect& r = b[n - 1];
        const std::string normal = n == 3 ? "butn3_2S.bmp" : look(n, "S");
        const auto off = readBmp(game() / "pics" / normal);
        const auto lit = readBmp(game() / "pics" / look(n, ""));
        ASSERT_TRUE(off && lit && !off->rgb.empty() && !lit->rgb.empty());
        EXPECT_LT(difference(*bg, *off, r.x, r.y), 4);
        EXPECT_GT(difference(*bg, *lit, r.x, r.y), 12);
    }
    // The scope button's two scopes look different.
    const auto one = readBmp(game() / "pics" / "butn3_1S.bmp");
    const auto two = readBmp(game() / "pics" / "butn3_2S.bmp");
    ASSERT_TRUE(one && two);
    EXPECT_GT(difference(*one, *two, 0, 0), 8);
    // The read-outs sit on dark windows, where the digit strip's cells belong.
    for (const Rect& r : kReadouts)
        for (int y = r.y; y < r.y + r.h; y += 3)
            for (int x = r.x; x < r.x + r.w; x += 3)
                EXPECT_LT(luminance(bg->at(x, y)), 70) << x << "," << y;
}

} // namespace
} // namespace mediaset
