#include "core/Text.h"
#include "games/game03/Colouring.h"
#include "ui/Gfx.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <set>

namespace colouring = games::colouring;

namespace {

struct TempDir {
    std::filesystem::path dir;
    TempDir() {
        std::string t = (std::filesystem::temp_directory_path() / "shizi-colour-XXXXXX").string();
        dir = mkdtemp(t.data());
    }
    ~TempDir() { std::filesystem::remove_all(dir); }
    std::string file(const std::string& name) const { return (dir / name).string(); }
};

// A map file of width x height codes given top row first: 146 header bytes
// (their content does not matter to the reader), then rows bottom-up, each
// padded to four bytes with `pad`.
void writeMap(const std::string& path, int width, const std::vector<std::vector<int>>& rows,
              int pad = 99) {
    std::string bytes(146, 'h');
    for (auto r = rows.rbegin(); r != rows.rend(); ++r) {
        for (int c : *r)
            bytes.push_back(char(c));
        for (int x = width; x % 4 != 0; ++x)
            bytes.push_back(char(pad));
    }
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(RegionMap, ReadsRowsBottomUpPaddedToFourBytes) {
    TempDir t;
    const std::string map = t.file("m.bmp");
    writeMap(map, 5, {{1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}, {11, 12, 13, 14, 15}});
    EXPECT_EQ(colouring::regionCodeAt(map, {5, 3}, 1, 1), 1);
    EXPECT_EQ(colouring::regionCodeAt(map, {5, 3}, 5, 1), 5);
    EXPECT_EQ(colouring::regionCodeAt(map, {5, 3}, 3, 2), 8);
    EXPECT_EQ(colouring::regionCodeAt(map, {5, 3}, 5, 3), 15);
    // Points off the area (its right and bottom edges belong to the screen
    // area, not the file) and a missing file are no region.
    EXPECT_EQ(colouring::regionCodeAt(map, {5, 3}, 6, 1), colouring::kNoRegion);
    EXPECT_EQ(colouring::regionCodeAt(map, {5, 3}, 1, 4), colouring::kNoRegion);
    EXPECT_EQ(colouring::regionCodeAt(map, {5, 3}, 0, 2), colouring::kNoRegion);
    EXPECT_EQ(colouring::regionCodeAt(t.file("none.bmp"), {5, 3}, 1, 1), colouring::kNoRegion);
    // Backslashes in a relative name are accepted.
    std::filesystem::create_directories(t.dir / "pics");
    writeMap(t.file("pics/x.bmp"), 4, {{7, 7, 7, 7}});
    EXPECT_EQ(colouring::regionCodeAt(t.file("pics\\x.bmp"), {4, 1}, 2, 1), 7);
}

TEST(RegionMap, ATruncatedFileReadsNoRegionAndCountsOnlyWhatItHolds) {
    TempDir t;
    const std::string map = t.file("m.bmp");
    writeMap(map, 3, {{0, 21, 1}, {21, 21, 21}, {2, 12, 2}});
    EXPECT_EQ(colouring::countRegions(map, {3, 3}), 4); // 0, 1, 2, 12
    std::filesystem::resize_file(map, 146 + 4);         // the bottom row only
    EXPECT_EQ(colouring::regionCodeAt(map, {3, 3}, 1, 1), colouring::kNoRegion);
    EXPECT_EQ(colouring::regionCodeAt(map, {3, 3}, 2, 3), 12);
    EXPECT_EQ(colouring::countRegions(map, {3, 3}), 2);
    EXPECT_EQ(colouring::countRegions(t.file("none"), {3, 3}), 0);
}

TEST(ColourList, WindowsColoursBecomeScreenColoursAndOddValuesNone) {
    EXPECT_EQ(colouring::fromListColour(255), ui::rgb(255, 0, 0));
    EXPECT_EQ(colouring::fromListColour(0x00FF00), ui::rgb(0, 255, 0));
    EXPECT_EQ(colouring::fromListColour(0xFF0000), ui::rgb(0, 0, 255));
    EXPECT_EQ(colouring::fromListColour(0x123456), ui::rgb(0x56, 0x34, 0x12));
    EXPECT_EQ(colouring::fromListColour(-1), gfx::kNoColor);
    EXPECT_EQ(colouring::fromListColour(0x80000005), gfx::kNoColor);
}

TEST(ColourList, TheFirstLineBlackWhiteAndRepeatsAreNeverOffered) {
    TempDir t;
    const std::string list = t.file("color.txt");
    std::vector<std::string> lines{"255"};
    for (int k = 1; k <= 12; ++k)
        lines.push_back(std::to_string(k * 0x100));
    lines.push_back("0");
    lines.push_back("16777215");
    lines.push_back("512");
    core::writeLines(list, lines);
    const auto usable = colouring::usableColours(list);
    ASSERT_EQ(usable.size(), 12u);
    for (int k = 1; k <= 12; ++k)
        EXPECT_EQ(usable[std::size_t(k - 1)], ui::rgb(0, k, 0));
}

TEST(ColourList, AMissingOrShortListIsCompletedToTenDistinctColours) {
    TempDir t;
    for (const std::vector<std::string>& lines :
         {std::vector<std::string>{}, {"1", "255"}, {"1", "0", "0", "16777215"}}) {
        const std::string list = t.file("color.txt");
        std::filesystem::remove(list);
        if (!lines.empty())
            core::writeLines(list, lines);
        const auto usable = colouring::usableColours(list);
        const std::set<ui::Color> distinct(usable.begin(), usable.end());
        EXPECT_EQ(usable.size(), 10u);
        EXPECT_EQ(distinct.size(), 10u);
        EXPECT_FALSE(distinct.count(ui::rgb(255, 255, 255)));
        EXPECT_FALSE(distinct.count(ui::rgb(0, 0, 0)));
        if (lines.size() == 2) {
            EXPECT_EQ(usable[0], ui::rgb(255, 0, 0));
        }
    }
}

TEST(Palette, TenDifferentColoursEvenWhenChanceKeepsDrawingTheSame) {
    std::vector<ui::Color> usable;
    for (int k = 1; k <= 14; ++k)
        usable.push_back(ui::rgb(k, 0, 0));
    for (double frozen : {0.0, 0.5, 0.9999}) {
        const auto p = colouring::drawPalette(usable, [frozen] { return frozen; });
        EXPECT_EQ(std::set<ui::Color>(p.begin(), p.end()).size(), 10u) << frozen;
    }
    double x = 0.1;
    const auto p =
        colouring::drawPalette(usable, [&] { return x = std::fmod(x * 7.31 + 0.13, 1); });
    EXPECT_EQ(std::set<ui::Color>(p.begin(), p.end()).size(), 10u);
    for (ui::Color c : p)
        EXPECT_NE(std::find(usable.begin(), usable.end(), c), usable.end());
    // Fewer than ten: each is used before any repeats.
    const auto few = colouring::drawPalette({1, 2, 3}, [] { return 0.0; });
    EXPECT_EQ(std::set<ui::Color>(few.begin(), few.begin() + 3).size(), 3u);
}

} // namespace
