// The bitmaps built into the program, as the generator leaves them beside
// the media folder for embedding, and the pictures that must blend with
// what the screens paint around them.
#include "mediaset/image_files.h"

#include <gtest/gtest.h>
#include <set>

namespace mediaset {
namespace {

fs::path resourceDir() {
    return mediaDir().parent_path() / "resource-bitmaps";
}

struct Strip {
    const char* name;
    int width, height;
};

TEST(ResourceBitmaps, HaveTheirSizesAndFourDistinctButtonFrames) {
    if (!fs::exists(resourceDir()))
        GTEST_SKIP() << "no resource bitmaps beside " << mediaDir();
    const Strip singles[] = {{"DLGBOX", 240, 100},
                             {"LABEL01", 169, 35},
                             {"LABEL02", 169, 35},
                             {"LABEL03", 169, 35},
                             {"NOTE", 202, 35}};
    for (const Strip& s : singles) {
        const auto img = readBmp(resourceDir() / (std::string(s.name) + ".bmp"));
        ASSERT_TRUE(img) << s.name;
        EXPECT_EQ(img->width, s.width) << s.name;
        EXPECT_EQ(img->height, s.height) << s.name;
        EXPECT_EQ(img->bits, 24) << s.name;
    }
    const Strip strips[] = {{"MAINBUTN1", 360, 75}, {"MAINBUTN2", 360, 75}, {"MAINBUTN3", 360, 75},
                            {"MAINBUTN4", 360, 75}, {"BUTN01", 328, 36},    {"BUTN02", 328, 36},
                            {"BACK", 80, 20}};
    for (const Strip& s : strips) {
        SCOPED_TRACE(s.name);
        const auto img = readBmp(resourceDir() / (std::string(s.name) + ".bmp"));
        ASSERT_TRUE(img);
        ASSERT_EQ(img->width, s.width);
        ASSERT_EQ(img->height, s.height);
        ASSERT_EQ(img->bits, 24);
        // Normal, mouse over, pressed and disabled must each look different,
        // or the button gives the child no answer.
        const int fw = s.width / 4;
        std::set<std::vector<std::uint32_t>> frames;
        for (int f = 0; f < 4; ++f) {
            std::vector<std::uint32_t> px;
            for (int y = 0; y < s.height; ++y)
                for (int x = 0; x < fw; ++x)
                    px.push_back(img->at(f * fw + x, y));
            frames.insert(px);
        }
        EXPECT_EQ(frames.size(), 4u);
    }
    // The three messages say different things.
    std::set<std::vector<std::uint32_t>> labels;
    for (const char* name : {"LABEL01.bmp", "LABEL02.bmp", "LABEL03.bmp"})
        labels.insert(readBmp(resourceDir() / name)->rgb);
    EXPECT_EQ(labels.size(), 3u);
}

TEST(ResourceBitmaps, DialogPartsBlendIntoTheDialog) {
    if (!fs::exists(resourceDir()))
        GTEST_SKIP() << "no resource bitmaps beside " << mediaDir();
    const auto box = readBmp(resourceDir() / "DLGBOX.bmp");
    const auto label = readBmp(resourceDir() / "LABEL01.bmp");
    const auto yes = readBmp(resourceDir() / "BUTN01.bmp");
    ASSERT_TRUE(box && label && yes);
    // The message's corner and the idle button's corner show the dialog
    // as it lies under them at (56, 14) and (29, 53).
    EXPECT_LE(std::abs(luminance(label->at(0, 0)) - luminance(box->at(56, 14))), 6);
    EXPECT_LE(std::abs(luminance(yes->at(0, 0)) - luminance(box->at(29, 53))), 6);
}

TEST(PagePictures, PointingHandMatchesTheBoardItStandsOn) {
    // The pointing page shows its hand as a plain picture, 45 pixels above
    // a character: first row at (15 + 24, 85 - 45) on the page.
    const auto hand = readBmp(mediaDir() / "pic" / "hand_p.bmp");
    ASSERT_TRUE(hand);
    for (int mode = 1; mode <= 5; ++mode) {
        const auto board =
            decodeWithImageMagick(mediaDir() / "pic" / ("b&n_m" + std::to_string(mode) + ".jpg"));
        if (!board)
            GTEST_SKIP() << "ImageMagick cannot decode the boards here";
        // Board pictures are painted at (1, 30); compare the hand's pixel
        // (1, 1) with the board's pixel under it.
        for (auto [x, y] : {std::pair{39, 40}, {39 + 86 * 6, 220}}) {
            const std::uint32_t under = board->at(x + 1 - 1, y + 1 - 30);
            EXPECT_LE(std::abs(luminance(under) - luminance(hand->at(1, 1))), 12)
                << "mode " << mode << " at " << x << "," << y;
        }
    }
}

TEST(PagePictures, ToggleButtonsShowTheirState) {
    const auto off = readBmp(mediaDir() / "pic" / "sound0.bmp");
    const auto on = readBmp(mediaDir() / "pic" / "sound1.bmp");
    const auto start = readBmp(mediaDir() / "pic" / "start.bmp");
    const auto pause = readBmp(mediaDir() / "pic" / "pause.bmp");
    ASSERT_TRUE(off && on && start && pause);
    EXPECT_NE(off->rgb, on->rgb);
    EXPECT_NE(start->rgb, pause->rgb);
}

} // namespace
} // namespace mediaset
