#include "games/game01/game01Frm.h"
#include "games_host.h"

#include <map>
#include <set>

using games::game01Frm;
using gamestest::countPlayed;
using gamestest::fileText;
using gamestest::open;

namespace {

struct Cards : ::testing::Test {
    app::HeadlessHost h{SHIZI_MEDIA_DIR};
    game01Frm* game = nullptr;

    void openAt(int verse) {
        game = open<game01Frm>(h, "game01Frm", verse);
        ASSERT_NE(game, nullptr);
        ASSERT_EQ(h.app.state.busy, 0);
    }
    void press(int button) {
        const ui::Rect r = game->butnImg[button].rect();
        h.runtime.click(h.at(*game, r.x + r.w / 2, r.y + r.h / 2));
    }
    void clickCard(int index) {
        const ui::Rect r = game->cardImg[index].rect();
        h.runtime.click(h.at(*game, r.x + r.w / 2, r.y + r.h / 2));
    }
    int cards() const { return game01Frm::shape(game->level).cards(); }
    int faceUp() const {
        int n = 0;
        const auto& s = game01Frm::shape(game->level);
        for (int i = 1; i <= s.rows; ++i)
            for (int j = 1; j <= s.columns; ++j)
                n += game->cardState[i][j] != 0;
        return n;
    }
    // Card indexes by character.
    std::map<std::string, std::vector<int>> pairs() const {
        std::map<std::string, std::vector<int>> m;
        for (int k = 0; k < cards(); ++k)
            m[game->wordLbl[k].caption].push_back(k);
        return m;
    }
    std::string bestFile() const { return h.folder() + "game/Game01/data/data.txt"; }
    // Until the pronunciation and the count-up are done (cards take clicks again).
    void settle() {
        for (int t = 0; t < 1000 && (game->Timer2.enabled() || game->Timer4.enabled()); ++t)
            h.runtime.advance(20);
    }
    // Plays every pair but the last, waiting for each to be spoken and counted.
    std::vector<int> playAllButOnePair() {
        const auto m = pairs();
        std::vector<int> last;
        settle();
        int left = int(m.size());
        for (const auto& [ch, idx] : m) {
            EXPECT_EQ(idx.size(), 2u) << ch;
            if (--left == 0) {
                last = idx;
                break;
            }
            settle();
            clickCard(idx[0]);
            clickCard(idx[1]);
        }
        settle();
        return last;
    }
    // Writes verses 1..4 into the book: each string is 14 characters.
    void writeBook(const std::vector<std::u32string>& verses) {
        std::vector<std::string> lines;
        for (std::size_t v = 0; v + 1 < verses.size(); v += 2) {
            auto half = [&](std::size_t n, int from) {
                return core::toUtf8(verses[n].substr(std::size_t(from), 7));
            };
            char num[32];
            std::snprintf(num, sizeof num, "%03zu  ", v + 1);
            lines.push_back(std::string(num) + half(v, 0) + "，   " + half(v, 7) + "。          " +
                            half(v + 1, 0) + "，   " + half(v + 1, 7) + "。");
            lines.push_back("x");
        }
        core::writeLines(h.folder() + "data/tav.txt", lines);
    }
};

TEST_F(Cards, LevelsOfferedFollowTheVerseReached) {
    const int expected[3] = {1, 2, 3};
    for (int verse = 1; verse <= 3; ++verse) {
        app::HeadlessHost host{SHIZI_MEDIA_DIR};
        auto* g = open<game01Frm>(host, "game01Frm", verse);
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(g->maxLevel, expected[verse - 1]);
        auto press = [&](int b) {
            const ui::Rect r = g->butnImg[b].rect();
            host.runtime.click(host.at(*g, r.x + r.w / 2, r.y + r.h / 2));
            host.runtime.advance(1500);
        };
        for (int k = 0; k < 3; ++k)
            press(game01Frm::NextLevel);
        EXPECT_EQ(g->level, expected[verse - 1]);
        EXPECT_EQ(g->levelLbl.caption, std::to_string(expected[verse - 1]));
        EXPECT_EQ(countPlayed(host, "err.wav"), 3 - (expected[verse - 1] - 1));
        EXPECT_TRUE(g->cardImg.exists(game01Frm::shape(g->level).cards() - 1));
        press(game01Frm::PreviousLevel);
        EXPECT_EQ(g->level, std::max(1, expected[verse - 1] - 1));
        EXPECT_FALSE(g->cardImg.exists(game01Frm::shape(3).cards() - 1));
        EXPECT_EQ(host.app.state.busy, 0);
    }
}

TEST_F(Cards, CardsIgnoreClicksInThePreviewAndWhenFaceUp) {
    openAt(1);
    EXPECT_EQ(faceUp(), 16);
    clickCard(0);
    EXPECT_EQ(game->firstRow, -1);
    press(game01Frm::Start);
    h.runtime.advance(10);
    EXPECT_EQ(faceUp(), 0);
    EXPECT_EQ(game->timeLeft, 600);
    clickCard(5);
    EXPECT_EQ(faceUp(), 1);
    clickCard(5); // already face up
    EXPECT_EQ(faceUp(), 1);
    EXPECT_EQ(game->firstRow, 2);
    EXPECT_EQ(game->firstCol, 2);
    // A wrong second card turns both back after 400 ms; meanwhile clicks wait.
    const std::string first = game->wordLbl[5].caption;
    std::vector<int> others;
    for (int k = 0; k < 16; ++k)
        if (game->wordLbl[k].caption != first)
            others.push_back(k);
    const int other = others[0], third = others[1];
    clickCard(other);
    EXPECT_EQ(faceUp(), 2);
    clickCard(third);
    EXPECT_EQ(faceUp(), 2);
    h.runtime.advance(450);
    EXPECT_EQ(faceUp(), 0);
    EXPECT_EQ(game->firstRow, -1);
}

TEST_F(Cards, ABoardOf36TakesEighteenDistinctCharactersFromTheVerses) {
    openAt(3);
    press(game01Frm::NextLevel);
    press(game01Frm::NextLevel);
    ASSERT_EQ(game->level, 3);
    std::set<std::string> chars;
    for (int p = 1; p <= 18; ++p) {
        chars.insert(game->pairChars[p]);
        const auto src = game->pairSource[p];
        ASSERT_GE(src.verse, 1);
        ASSERT_LE(src.verse, 3);
        const std::u32string v = core::getVerse(h.app, src.verse);
        EXPECT_EQ(core::toUtf8(v[std::size_t(src.position - 1)]), game->pairChars[p]);
    }
    EXPECT_EQ(chars.size(), 18u);
    for (const auto& [ch, idx] : pairs())
        EXPECT_EQ(idx.size(), 2u) << ch;
    EXPECT_EQ(pairs().size(), 18u);
    // Level 3 keeps the level-2 font.
    EXPECT_EQ(game->wordLbl[35].font.size, 48);
}

TEST_F(Cards, ScarceVersesOfferOnlyTheLevelsTheyFillAndTheDealEnds) {
    h.start();
    // Verses 1-3 share five characters; verse 4 adds eight more.
    writeBook({U"一二三四五一二三四五一二三四", U"五四三二一五四三二一五四三二",
               U"一一一一一一一二二二二二二二", U"山水日月花草木石天地人口手足"});
    openAt(3);
    EXPECT_EQ(game->maxLevel, 1);
    std::set<std::string> chars;
    for (int p = 1; p <= 8; ++p)
        chars.insert(game->pairChars[p]);
    EXPECT_EQ(chars.size(), 5u); // every character the verses hold, then repeats
    for (const auto& [ch, idx] : pairs())
        EXPECT_EQ(idx.size() % 2, 0u) << ch;
    press(game01Frm::NewCards);
    EXPECT_EQ(h.app.state.busy, 0);
}

TEST_F(Cards, ThirteenDistinctCharactersOfferTwoLevels) {
    h.start();
    writeBook({U"一二三四五一二三四五一二三四", U"五四三二一六七八九十一二三四",
               U"山水日一二三四五六七八九十一", U"山水日月花草木石天地人口手足"});
    openAt(3);
    EXPECT_EQ(game->maxLevel, 2);
}

TEST_F(Cards, WinningAddsPairAndTimeBonusCountsUpInTensAndSavesTheBest) {
    core::writeLines(bestFile(), {"1699", "5", "7"});
    openAt(1);
    EXPECT_EQ(game->scoreLbl[1].caption, "1699");
    press(game01Frm::Start);
    h.runtime.advance(10);
    const std::vector<int> last = playAllButOnePair();
    ASSERT_EQ(last.size(), 2u);
    ASSERT_EQ(game->score, 1400);
    game->timeLeft = 50;
    clickCard(last[0]);
    clickCard(last[1]);
    EXPECT_TRUE(game->won);
    EXPECT_EQ(game->timeLeft, 0);
    EXPECT_EQ(game->scoreLbl[1].caption, "1700");
    EXPECT_EQ(fileText(bestFile()), " 1700| 5| 7|");
    // The counter shows 00000: every cell is the digit strip's 0.
    for (int k = 0; k < 5; ++k)
        for (int y = 0; y < 23; y += 4)
            for (int x = 0; x < 15; x += 3)
                ASSERT_EQ(game->surface().pixel(532 + 16 * k + x, 442 + y),
                          game->numPic.pixel(x, y));
    std::vector<int> seen{game->score};
    for (int t = 0; t < 200; ++t) {
        h.runtime.advance(5);
        if (game->score != seen.back())
            seen.push_back(game->score);
    }
    ASSERT_EQ(seen.back(), 1700);
    ASSERT_EQ(seen.size(), 31u);
    for (std::size_t i = 1; i < seen.size(); ++i)
        EXPECT_EQ(seen[i] - seen[i - 1], 10);
    h.runtime.advance(3000);
    EXPECT_EQ(countPlayed(h, "victory.wav"), 1);
    EXPECT_EQ(faceUp(), 16);
}

TEST_F(Cards, OnlyAStrictlyHigherTotalRewritesTheBestScores) {
    core::writeLines(bestFile(), {"  1700  ", "0", "0"});
    openAt(1);
    press(game01Frm::Start);
    h.runtime.advance(10);
    const std::vector<int> last = playAllButOnePair();
    game->timeLeft = 50;
    clickCard(last[0]);
    clickCard(last[1]);
    EXPECT_TRUE(game->won);
    EXPECT_EQ(fileText(bestFile()), "  1700  |0|0|");
    EXPECT_EQ(game->bestScores[0], 1700);
}

TEST_F(Cards, NewCardsDuringAGameEndsItAsLostWithinOneTick) {
    openAt(1);
    press(game01Frm::Start);
    h.runtime.advance(1000);
    clickCard(0);
    ASSERT_TRUE(game->Timer3.enabled());
    h.media.clearLog();
    press(game01Frm::NewCards);
    EXPECT_EQ(faceUp(), 16); // the new board, face up
    h.runtime.advance(201);
    EXPECT_FALSE(game->Timer3.enabled());
    EXPECT_FALSE(game->won);
    EXPECT_EQ(game->firstRow, -1);
    h.runtime.advance(3000);
    EXPECT_EQ(countPlayed(h, "err.wav"), 1);
    EXPECT_EQ(countPlayed(h, "victory.wav"), 0);
    clickCard(3); // the preview takes no clicks
    EXPECT_EQ(faceUp(), 16);
}

TEST_F(Cards, TheCountdownRunningOutLosesAndShowsEveryCard) {
    core::writeLines(bestFile(), {"0", "0", "0"});
    openAt(1);
    press(game01Frm::Start);
    h.runtime.advance(10);
    clickCard(0);
    h.runtime.advance(600 * 200 + 400);
    EXPECT_FALSE(game->won);
    EXPECT_EQ(faceUp(), 16);
    EXPECT_EQ(countPlayed(h, "err.wav"), 1);
    EXPECT_EQ(fileText(bestFile()), "0|0|0|");
}

TEST_F(Cards, EscapeLeavesForTheMenu) {
    openAt(1);
    h.runtime.keyUp(ui::key::Escape);
    h.runtime.advance(0);
    EXPECT_EQ(h.find<game01Frm>(), nullptr);
    h.runtime.advance(100);
    EXPECT_EQ(countPlayed(h, "return.wav"), 1);
}

} // namespace
