// The block puzzle's folder against what the game reads from it: the layout
// lines it looks for, the grid and buttons as the background draws them,
// the best scores and the tiles.
#include "mediaset/image_files.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <map>

namespace mediaset {
namespace {

struct Box {
    int x = 0, y = 0, w = 0, h = 0;
    bool overlaps(const Box& o) const {
        return x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h;
    }
};

fs::path folder() {
    return mediaDir() / "game" / "Game05";
}

int field(const std::string& line, size_t from) {
    return line.size() >= from + 2 ? std::atoi(line.substr(from - 1, 3).c_str()) : -1;
}

// The tagged lines of data\pos_size.txt, by their 14-character label.
std::map<std::string, std::vector<Box>> readLayout() {
    bool crlf = false;
    const auto lines = crlfLines(folder() / "data" / "pos_size.txt", crlf);
    EXPECT_TRUE(crlf);
    std::map<std::string, std::vector<Box>> out;
    for (const std::string& l : lines) {
        if (l.size() < 21 || l[13] != ':')
            continue;
        out[l.substr(0, 14)].push_back({field(l, 15), field(l, 19), field(l, 23), field(l, 27)});
    }
    return out;
}

int distance(std::uint32_t a, std::uint32_t b) {
    int d = 0;
    for (int s = 0; s < 24; s += 8)
        d += std::abs(int((a >> s) & 0xff) - int((b >> s) & 0xff));
    return d;
}

TEST(BlockPuzzleMedia, LayoutHasFiveButtonsFourReadOutsAndAGridOfElevenRowsOnTheScreen) {
    auto layout = readLayout();
    ASSERT_EQ(layout.size(), 4u) << "exactly the four labels the game reads";
    const auto& buttons = layout["ButnPosSize  :"];
    const auto& fields = layout["TextFieldPos :"];
    ASSERT_EQ(buttons.size(), 5u);
    ASSERT_EQ(fields.size(), 4u);
    ASSERT_EQ(layout["BlockStartPos:"].size(), 1u);
    ASSERT_EQ(layout["BlockSize    :"].size(), 1u);
    const Box start = layout["BlockStartPos:"][0];
    const Box size = layout["BlockSize    :"][0];
    EXPECT_EQ(size.x, 39);
    EXPECT_EQ(size.y, 36);
    const Box grid{start.x, start.y, 40 * 13 + 39, 37 * 10 + 36};
    EXPECT_GE(grid.x, 0);
    EXPECT_GE(grid.y, 0);
    EXPECT_LE(grid.x + grid.w, 640);
    EXPECT_LE(grid.y + grid.h, 480);
    const Box screen{0, 0, 640, 480};
    std::vector<Box> taken{grid};
    for (const Box& b : buttons) {
        EXPECT_GE(b.w, 32) << "a child's finger needs room";
        EXPECT_GE(b.h, 32);
        EXPECT_TRUE(b.x >= 0 && b.y >= 0 && b.x + b.w <= 640 && b.y + b.h <= 480);
        for (const Box& t : taken)
            EXPECT_FALSE(b.overlaps(t)) << b.x << "," << b.y;
        taken.push_back(b);
    }
    // The read-outs (level "00", time "00000", score and best "0000") stay
    // on the screen and clear of the grid, the buttons and one another.
    const int cells[4][2] = {{2, 10}, {5, 9}, {4, 9}, {4, 9}};
    for (size_t i = 0; i < fields.size(); ++i) {
        const Box& f = fields[i];
        const Box digits{f.x, f.y, cells[i][1] * (cells[i][0] - 1) + 7, 10};
        EXPECT_TRUE(digits.x >= 0 && digits.y >= 0 && digits.x + digits.w <= screen.w &&
                    digits.y + digits.h <= screen.h);
        for (const Box& t : taken)
            EXPECT_FALSE(digits.overlaps(t)) << f.x << "," << f.y;
        taken.push_back(digits);
    }
}

TEST(BlockPuzzleMedia, BestScoresStartAtZeroForElevenLevels) {
    bool crlf = false;
    const auto lines = crlfLines(folder() / "data" / "data.txt", crlf);
    EXPECT_TRUE(crlf);
    ASSERT_EQ(lines.size(), 11u);
    for (const std::string& l : lines)
        EXPECT_EQ(std::atoi(l.c_str()), 0) << l;
}

TEST(BlockPuzzleMedia, BackgroundShowsTheButtonsWellsAndTrayWhereTheLayoutSays) {
    auto layout = readLayout();
    const auto bg = decodeWithImageMagick(folder() / "pics" / "bg.jpg");
    if (!bg)
        GTEST_SKIP() << "ImageMagick cannot decode the background";
    ASSERT_EQ(bg->width, 640);
    ASSERT_EQ(bg->height, 480);
    const auto& buttons = layout["ButnPosSize  :"];
    for (size_t i = 0; i < buttons.size(); ++i) {
        const Box& b = buttons[i];
        const auto look = readBmp(folder() / "pics" / ("butn" + std::to_string(i + 1) + ".bmp"));
        ASSERT_TRUE(look) << i;
        EXPECT_EQ(look->width, b.w);
        EXPECT_EQ(look->height, b.h);
        EXPECT_EQ(look->bits, 24);
        // The highlighted look is the same button, visibly lit: it differs
        // from the background there, but not everywhere.
        long diff = 0;
        int alike = 0;
        for (int y = 0; y < b.h; ++y)
            for (int x = 0; x < b.w; ++x) {
                const int d = distance(look->at(x, y), bg->at(b.x + x, b.y + y));
                diff += d;
                alike += d < 40;
            }
        EXPECT_GT(diff / (b.w * b.h), 20) << "button " << i << " does not light up";
        EXPECT_GT(alike, b.w * b.h / 10) << "button " << i << " is not over its picture";
    }
    // The wells have the digit strip's ground, so blank cells disappear in them.
    const auto digits = readBmp(mediaDir() / "pic" / "number.bmp");
    ASSERT_TRUE(digits);
    for (const Box& f : layout["TextFieldPos :"])
        for (int k = 0; k < 2; ++k)
            EXPECT_LT(distance(bg->at(f.x + 3 + 9 * k, f.y + 5), digits->at(70, 5)), 30)
                << f.x << "," << f.y;
    // The empty tile of blocks.bmp is the tray's empty place, in any row.
    const auto tiles = readBmp(folder() / "pics" / "blocks.bmp");
    ASSERT_TRUE(tiles);
    ASSERT_GE(tiles->width, 119);
    ASSERT_EQ(tiles->height, 36);
    const Box start = layout["BlockStartPos:"][0];
    for (int row : {1, 6, 11}) {
        long diff = 0;
        for (int y = 0; y < 36; ++y)
            for (int x = 0; x < 39; ++x)
                diff += distance(tiles->at(80 + x, y),
                                 bg->at(start.x + 40 * 4 + x, start.y + 37 * (row - 1) + y));
        EXPECT_LT(diff / (39 * 36), 12) << "row " << row;
    }
    for (const char* name : {"white.bmp", "blue.bmp"}) {
        const auto p = readBmp(folder() / "pics" / name);
        ASSERT_TRUE(p) << name;
        EXPECT_EQ(p->bits, 24);
    }
}

TEST(BlockPuzzleMedia, StripBlocksSitEveryFortyPixelsWithTheLooksApart) {
    // 420 strips of 559 x 36 stay small beside the rest of the pictures.
    std::uintmax_t bytes = 0;
    for (const auto& e : fs::directory_iterator(mediaDir() / "tav_KJ"))
        if (e.path().filename().string().rfind("tav_", 0) == 0 && e.path().filename() != "tav.bmp")
            bytes += e.file_size();
    EXPECT_LT(bytes, 10u << 20);

    for (int v : {1, 70, 140}) {
        char name[3][32];
        std::optional<Image> look[3];
        const char* const letters[3] = {"H", "Y", "J"};
        for (int k = 0; k < 3; ++k) {
            std::snprintf(name[k], sizeof name[k], "tav_%s%03d.bmp", letters[k], v);
            look[k] = readBmp(mediaDir() / "tav_KJ" / name[k]);
            ASSERT_TRUE(look[k]) << name[k];
        }
        for (int k = 0; k < 3; ++k) {
            // Between blocks one column of ground, the same all the way down.
            for (int i = 1; i < 14; ++i)
                for (int y = 0; y < 36; ++y)
                    ASSERT_EQ(look[k]->at(40 * i - 1, y), look[k]->at(39, 0))
                        << name[k] << " gap " << i;
            // Every block has ink in its middle.
            for (int i = 0; i < 14; ++i) {
                int dark = 0;
                for (int y = 8; y < 28; ++y)
                    for (int x = 8; x < 31; ++x)
                        dark += luminance(look[k]->at(40 * i + x, y)) < 90;
                EXPECT_GT(dark, 10) << name[k] << " block " << i + 1;
            }
        }
        // The face colours tell movable, locked and resting blocks apart.
        for (int a = 0; a < 3; ++a)
            for (int b = a + 1; b < 3; ++b)
                EXPECT_GT(distance(look[a]->at(40 * 6 + 5, 30), look[b]->at(40 * 6 + 5, 30)), 60)
                    << name[a] << " " << name[b];
    }
}

} // namespace
} // namespace mediaset
