#include "core/Text.h"
#include "games/kit/Deal.h"
#include "games/kit/Drawing.h"
#include "games/kit/GameFiles.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <set>

namespace kit = games::kit;

namespace {

std::filesystem::path scratchFolder() {
    auto dir = std::filesystem::temp_directory_path() /
               ("shizi-kit-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

TEST(GameLayout, TaggedLinesGiveFixedColumnsInFileOrder) {
    const std::vector<std::string> lines = {
        "butn: 10, 20,100, 40",
        "text:612,348",
        "butn:  5,  6",
        "circle: 33,444",
        "colorNum:  12 regions",
        "ButnPosSize  :100,200, 30, 31",
        "butn",
        "BUTN: 1,  2,  3,  4",
    };
    const auto butn = kit::layoutRects(lines, "butn:", 6);
    ASSERT_EQ(butn.size(), 2u);
    EXPECT_EQ(butn[0], (gfx::Rect{10, 20, 100, 40}));
    EXPECT_EQ(butn[1], (gfx::Rect{5, 6, 0, 0})); // a short line reads 0 past its end
    EXPECT_EQ(kit::layoutPoints(lines, "circle:", 8), (std::vector<gfx::Point>{{33, 444}}));
    EXPECT_EQ(kit::layoutNumbers(lines, "colorNum:", 10), (std::vector<std::int16_t>{12}));
    EXPECT_EQ(kit::layoutRects(lines, "ButnPosSize  :", 15),
              (std::vector<gfx::Rect>{{100, 200, 30, 31}}));
    EXPECT_TRUE(kit::readLayout("/nonexistent/pos_size.txt").empty());
}

TEST(BestScores, ABestIsWrittenTheMomentItIsBeatenAndOnlyThen) {
    const auto dir = scratchFolder();
    const std::string path = (dir / "data.txt").string();
    {
        std::ofstream out(path);
        out << " 40\r\n-3\r\n"; // the third level's line is missing
    }
    auto bests = kit::readBestScores(path, 3);
    EXPECT_EQ(bests, (std::vector<std::int16_t>{40, -3, 0}));

    EXPECT_FALSE(kit::offerBestScore(path, bests, 1, 40)); // equal is not a new best
    EXPECT_FALSE(kit::offerBestScore(path, bests, 4, 99)); // no such level
    EXPECT_TRUE(kit::offerBestScore(path, bests, 2, 7));
    EXPECT_EQ(kit::readBestScores(path, 3), (std::vector<std::int16_t>{40, 7, 0}));
    const auto lines = core::readLines(path);
    ASSERT_TRUE(lines);
    EXPECT_EQ(*lines, (std::vector<std::string>{" 40", " 7", " 0"}));
    // Nothing but the file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                            std::filesystem::directory_iterator()),
              1);
    std::filesystem::remove_all(dir);
}

// A digit strip whose cells show their digit as that many ink pixels in the
// top row, so a painted number can be read back.
kit::DigitStrip countingStrip() {
    kit::DigitStrip s{gfx::Picture(77, 10, gfx::rgb(255, 255, 255)), 7, 10};
    for (int d = 0; d < 10; ++d)
        for (int k = 0; k < d && k < 7; ++k)
            s.picture.setPixel(7 * d + k, 0, 0);
    s.picture.fillRect({8 * 7, 5, 7, 1}, 0); // more ink in the 8
    s.picture.fillRect({70, 0, 7, 10}, gfx::rgb(0, 0, 255));
    return s;
}

int digitAt(const gfx::Picture& p, int x) {
    int n = 0;
    while (n < 7 && p.pixel(x + n, 0) == 0)
        ++n;
    return n;
}

TEST(DigitStrip, NumbersKeepLeadingZerosAndNegativesShowAMinus) {
    const kit::DigitStrip strip = countingStrip();
    gfx::Picture target(40, 10, gfx::rgb(9, 9, 9));
    kit::paintNumber(target, strip, 57, 3, {0, 0}, 9);
    EXPECT_EQ(digitAt(target, 0), 0);
    EXPECT_EQ(target.pixel(0, 1), gfx::rgb(255, 255, 255)); // a real zero cell, not untouched
    EXPECT_EQ(digitAt(target, 9), 5);
    EXPECT_EQ(digitAt(target, 18), 7);

    kit::paintNumber(target, strip, -4, 3, {0, 0}, 9);
    EXPECT_EQ(target.pixel(3, 4), 0u) << "a bar across the first cell";
    EXPECT_EQ(target.pixel(3, 0), gfx::rgb(255, 255, 255));
    EXPECT_EQ(digitAt(target, 9), 0);
    EXPECT_EQ(digitAt(target, 18), 4);

    kit::paintNumber(target, strip, 12345, 3, {0, 0}, 9); // too long: its last digits
    EXPECT_EQ(digitAt(target, 0), 3);

    kit::paintBlank(target, strip, 2, {0, 0}, 9);
    EXPECT_EQ(target.pixel(0, 0), gfx::rgb(0, 0, 255));
    EXPECT_EQ(target.pixel(9, 9), gfx::rgb(0, 0, 255));
}

core::VerseBook bookOf(const std::vector<std::u32string>& verses,
                       const std::vector<std::string>& readingOfEach = {}) {
    core::VerseBook b;
    for (const auto& v : verses) {
        b.verses.push_back(v);
        std::array<std::string, 14> r;
        for (std::size_t p = 0; p < 14; ++p)
            r[p] =
                p < readingOfEach.size() ? readingOfEach[p] : std::to_string(std::uint32_t(v[p]));
        b.readings.push_back(r);
    }
    return b;
}

std::function<double()> seeded(unsigned seed) {
    auto gen = std::make_shared<std::mt19937>(seed);
    return [gen] { return std::uniform_real_distribution<double>(0, 1)(*gen); };
}

TEST(CharacterDeal, DealsDistinctCharactersAndReadingsFromTheRange) {
    const auto book = bookOf({U"白日依山尽黄河入海流欲穷千里", U"春眠不觉晓处处闻啼鸟夜来风雨"});
    for (unsigned seed = 1; seed <= 20; ++seed) {
        kit::DealRequest r;
        r.firstVerse = 2;
        r.lastVerse = 2;
        r.count = 14;
        r.distinctReadings = true;
        const auto dealt = kit::dealCharacters(book, r, seeded(seed));
        ASSERT_EQ(dealt.size(), 13u) << "处 comes twice in the verse: 13 different characters";
        std::set<char32_t> chars;
        for (const auto& c : dealt) {
            EXPECT_EQ(c.verse, 2);
            EXPECT_EQ(c.character, book.character(c.verse, c.position));
            chars.insert(c.character);
        }
        EXPECT_EQ(chars.size(), dealt.size());
    }
}

TEST(CharacterDeal, EndsShortWhenTheVersesHoldTooFewAllowedCharacters) {
    // One verse of a single character repeated, every reading the same: one
    // character is all there is, however many are asked for.
    const auto book = bookOf({std::u32string(14, U'一')});
    kit::DealRequest r;
    r.count = 5;
    EXPECT_EQ(kit::dealCharacters(book, r, seeded(3)).size(), 1u);

    // Same readings refuse sound-alikes: two characters, one reading key.
    const auto alike =
        bookOf({U"是事是事是事是事是事是事是事"}, std::vector<std::string>(14, "shi4"));
    r.distinctReadings = true;
    r.taken = kit::dealCharacters(alike, r, seeded(4));
    EXPECT_EQ(r.taken.size(), 1u);

    // Characters dealt before stay out: taking the missing ones elsewhere
    // never repeats one.
    r.distinctReadings = false;
    const auto more = kit::dealCharacters(alike, r, seeded(6));
    ASSERT_EQ(more.size(), 1u);
    EXPECT_NE(more[0].character, r.taken[0].character);

    // A frozen generator (always the same draw) still ends.
    const auto verse = bookOf({U"白日依山尽黄河入海流欲穷千里"});
    r = {};
    r.count = 10;
    EXPECT_EQ(kit::dealCharacters(verse, r, [] { return 0.0; }).size(), 10u);
    r.lastVerse = 5; // a range past the book is cut to the book
    EXPECT_EQ(kit::dealCharacters(verse, r, seeded(7)).size(), 10u);
}

} // namespace
