#include "games/game05/VerseDeal.h"
#include "games/game05/game05Frm.h"
#include "games/gameFrm.h"
#include "games_host.h"

#include <set>

using games::game05Frm;
using gamestest::countPlayed;
using gamestest::fileText;
using gamestest::open;

namespace {

struct Blocks : ::testing::Test {
    app::HeadlessHost h{SHIZI_MEDIA_DIR};
    game05Frm* game = nullptr;

    void openAt(int verse) {
        game = open<game05Frm>(h, "game05Frm", verse);
        ASSERT_NE(game, nullptr);
        ASSERT_EQ(h.app.state.busy, 0);
    }
    // Until every sound has ended, so buttons and picking answer again.
    void settle() {
        for (int t = 0; t < 400 && (h.app.state.soundPlaying || h.app.state.charSpeaking ||
                                    h.app.backdrop().soundTimer.enabled());
             ++t)
            h.runtime.advance(25);
    }
    void press(int button) {
        settle();
        const ui::Rect r = game->butnImg[button].rect();
        h.runtime.click(h.at(*game, r.x + r.w / 2, r.y + r.h / 2));
        h.runtime.advance(20);
    }
    ui::Point cellPoint(int row, int col) const {
        const ui::Rect r = game->cellRect(row, col);
        return h.at(*game, r.x + r.w / 2, r.y + r.h / 2);
    }
    // Picks the block of one cell and lets it go over another.
    void drag(int r1, int c1, int r2, int c2) {
        settle();
        h.runtime.mouseMove(cellPoint(r1, c1));
        h.runtime.mouseDown(cellPoint(r1, c1));
        h.runtime.mouseMove(cellPoint(r2, c2), 1);
        h.runtime.mouseUp(cellPoint(r2, c2));
    }
    // Whether a press on the cell lifts its block (let go at once).
    bool canPick(int row, int col) {
        h.runtime.mouseDown(cellPoint(row, col));
        const bool lifted = game->dragging;
        h.runtime.mouseUp(cellPoint(row, col));
        return lifted;
    }
    std::pair<int, int> origin(int r, int c) const {
        const auto& cell = game->blockGrid[std::size_t(r)][std::size_t(c)];
        return {cell.originRow, cell.originCol};
    }
    // Drags the blocks of row `row` into its own verse's order, leaving out
    // the last `leave` columns.
    void solveRow(int row, int leave = 0) {
        for (int c = 1; c <= game05Frm::kColumns - leave; ++c) {
            if (origin(row, c) == std::pair{row, c})
                continue;
            for (int r2 = 1; r2 <= game->blockLevel; ++r2)
                for (int c2 = 1; c2 <= game05Frm::kColumns; ++c2)
                    if (origin(r2, c2) == std::pair{row, c})
                        drag(r2, c2, row, c);
            ASSERT_EQ(origin(row, c), (std::pair{row, c}));
        }
    }
    // Lays the blocks of row `row` out in order but for two swapped columns.
    void almostSolve(int row, int c1, int c2) {
        for (int c = 1; c <= game05Frm::kColumns; ++c) {
            auto& cell = game->blockGrid[std::size_t(row)][std::size_t(c)];
            const int from = c == c1 ? c2 : c == c2 ? c1 : c;
            cell.originRow = std::int8_t(row);
            cell.originCol = std::int8_t(from);
        }
    }
    std::string bestFile() const { return h.folder() + "game/Game05/data/data.txt"; }
    ui::Picture tile(int row, int col) const {
        const ui::Rect r = game->cellRect(row, col);
        ui::Picture p(r.w, r.h);
        p.blit(game->surface(), r, {0, 0});
        return p;
    }
    // Writes a book of 14-character verses into data\tav.txt.
    void writeBook(const std::vector<std::u32string>& verses) {
        std::vector<std::string> lines;
        for (std::size_t v = 0; v < verses.size(); v += 2) {
            const std::u32string& a = verses[v];
            const std::u32string& b = v + 1 < verses.size() ? verses[v + 1] : verses[v];
            char num[32];
            std::snprintf(num, sizeof num, "%03zu  ", v + 1);
            lines.push_back(std::string(num) + core::toUtf8(a.substr(0, 7)) + "，   " +
                            core::toUtf8(a.substr(7, 7)) + "。          " +
                            core::toUtf8(b.substr(0, 7)) + "，   " + core::toUtf8(b.substr(7, 7)) +
                            "。");
            lines.push_back("x");
        }
        core::writeLines(h.folder() + "data/tav.txt", lines);
    }
};

TEST_F(Blocks, LevelsOpenWithTheVerseReached) {
    h.start();
    // Thirty verses without a character in common: the verse reached alone
    // decides.
    std::vector<std::u32string> book;
    for (int v = 0; v < 30; ++v) {
        std::u32string s;
        for (int p = 0; p < 14; ++p)
            s += char32_t(0x4E00 + 14 * v + p);
        book.push_back(s);
    }
    writeBook(book);
    const int verses[4] = {1, 7, 20, 21}, open[4] = {1, 4, 11, 11};
    for (int k = 0; k < 4; ++k) {
        openAt(verses[k]);
        EXPECT_EQ(game->maxBlockLevel, open[k]) << "verse " << verses[k];
    }
    h.media.clearLog();
    for (int step = 0; step < 11; ++step)
        press(game05Frm::NextLevel);
    EXPECT_EQ(game->blockLevel, 11);
    EXPECT_EQ(countPlayed(h, "err.wav"), 1);
    EXPECT_EQ(countPlayed(h, "click02.wav"), 10);
    for (int step = 0; step < 11; ++step)
        press(game05Frm::PreviousLevel);
    EXPECT_EQ(game->blockLevel, 1);
    EXPECT_EQ(countPlayed(h, "err.wav"), 2);
}

TEST_F(Blocks, EveryLevelOfTheBookDealsVersesThatNeverShareACharacter) {
    openAt(140);
    ASSERT_EQ(game->maxBlockLevel, 11) << "the whole book fills every level";
    // Rows beyond the level show the empty tile.
    ui::Picture empty(39, 36);
    empty.blit(game->workPic[game05Frm::Tiles], {80, 0, 39, 36}, {0, 0});
    EXPECT_EQ(tile(2, 3), empty);
    EXPECT_EQ(tile(game05Frm::kRows, 14), empty);
    for (int level = 2; level <= 11; ++level) {
        press(game05Frm::NextLevel);
        ASSERT_EQ(game->blockLevel, level);
        std::set<char32_t> seen;
        for (int row = 1; row <= level; ++row) {
            const int v = game->rowVerses[std::size_t(row)];
            ASSERT_GE(v, 1);
            std::set<char32_t> own;
            for (char32_t c : core::getVerse(h.app, std::int16_t(v)))
                own.insert(c);
            for (char32_t c : own)
                EXPECT_TRUE(seen.insert(c).second) << "level " << level << " row " << row;
        }
        EXPECT_EQ(game->blockGrid[std::size_t(level)][5].state, game05Frm::AtRest);
    }
    EXPECT_EQ(h.app.state.busy, 0);
}

TEST_F(Blocks, StartShufflesTheDealtBlocksAndLeavesNoRowInOrder) {
    openAt(30);
    press(game05Frm::NextLevel);
    press(game05Frm::NextLevel);
    ASSERT_EQ(game->blockLevel, 3);
    const auto verses = game->rowVerses;
    h.media.clearLog();
    press(game05Frm::Start);
    EXPECT_EQ(countPlayed(h, "chimes.wav"), 1);
    settle();
    EXPECT_EQ(countPlayed(h, "gamestrt.wav"), 1);
    EXPECT_TRUE(game->countTimer.enabled());
    EXPECT_GT(game->timeTicks, 3 * 2000 - 50);
    EXPECT_EQ(game->rowVerses, verses);
    std::set<std::pair<int, int>> origins;
    int moved = 0;
    for (int r = 1; r <= 3; ++r) {
        EXPECT_FALSE(game->rowComplete(r));
        for (int c = 1; c <= 14; ++c) {
            origins.insert(origin(r, c));
            moved += origin(r, c) != std::pair{r, c};
            EXPECT_EQ(game->blockGrid[std::size_t(r)][std::size_t(c)].state, game05Frm::Movable);
        }
    }
    EXPECT_EQ(origins.size(), 42u);
    EXPECT_GT(moved, 14);
    // The rows beyond the level do not take part.
    EXPECT_EQ(origin(4, 1), (std::pair{4, 1}));
}

TEST_F(Blocks, PickingSpeaksTheBlockAndTheCarriedBlockFlashesInTwoLooks) {
    openAt(5);
    press(game05Frm::Start);
    settle();
    h.media.clearLog();
    const auto [orow, ocol] = origin(1, 4);
    h.runtime.mouseMove(cellPoint(1, 4));
    h.runtime.mouseDown(cellPoint(1, 4));
    ASSERT_TRUE(game->dragging);
    EXPECT_EQ(game->blockGrid[1][4].mark, 2);
    EXPECT_EQ(h.app.state.cueVerse, game->rowVerses[std::size_t(orow)]);
    EXPECT_EQ(h.app.state.cueCharPos, ocol);
    h.runtime.advance(50);
    EXPECT_EQ(h.app.state.charSpeaking, -1);
    const auto play = h.media.lastPlay();
    ASSERT_TRUE(play);
    EXPECT_NE(play->file.find("word"), std::string::npos);
    // The cell shows the tray, the block travels with the pointer.
    const ui::Rect cell = game->cellRect(1, 4);
    ui::Picture tray(39, 36);
    tray.blit(game->workPic[game05Frm::Background], cell, {0, 0});
    EXPECT_EQ(tile(1, 4), tray);
    const ui::Point to = cellPoint(1, 9);
    h.runtime.mouseMove(to, 1);
    EXPECT_EQ(game->movePic[0].left(), to.x - game->left());
    EXPECT_EQ(game->movePic[1].top(), to.y - game->top());
    EXPECT_TRUE(game->movePic[0].visible() != game->movePic[1].visible());
    const bool first = game->movePic[0].visible();
    h.runtime.advance(210);
    EXPECT_EQ(game->movePic[0].visible(), !first);
    EXPECT_EQ(game->movePic[1].visible(), first);
    // A second block cannot be picked while the first one is being spoken
    // and carried.
    h.runtime.mouseUp(to);
    EXPECT_FALSE(canPick(1, 2));
}

TEST_F(Blocks, ADropOnItsOwnCellOnlyRepaintsItAndOneElsewhereSwaps) {
    openAt(5);
    press(game05Frm::Start);
    const ui::Picture before = tile(1, 6);
    const auto a = origin(1, 6), b = origin(1, 11);
    const int score = game->blockScore;
    drag(1, 6, 1, 6);
    EXPECT_FALSE(game->dragging);
    EXPECT_EQ(origin(1, 6), a);
    EXPECT_EQ(tile(1, 6), before);
    EXPECT_FALSE(game->movePic[0].visible() || game->movePic[1].visible());
    EXPECT_FALSE(game->flashTimer.enabled());
    drag(1, 6, 1, 11);
    EXPECT_EQ(origin(1, 6), b);
    EXPECT_EQ(origin(1, 11), a);
    EXPECT_EQ(game->blockScore, score);
    // A drop beside the grid brings the block home.
    settle();
    h.runtime.mouseDown(cellPoint(1, 6));
    h.runtime.mouseMove(h.at(*game, 300, 470), 1);
    h.runtime.mouseUp(h.at(*game, 300, 470));
    EXPECT_FALSE(game->dragging);
    EXPECT_EQ(origin(1, 6), b);
}

TEST_F(Blocks, ACarriedBlockGoesHomeWhenItsReleaseIsMissedOrFallsOnAButton) {
    openAt(5);
    press(game05Frm::Start);
    const auto a = origin(1, 3);
    settle();
    h.runtime.mouseDown(cellPoint(1, 3));
    ASSERT_TRUE(game->dragging);
    // The pointer moves on with no button held.
    h.runtime.mouseMove(cellPoint(1, 7), 0);
    EXPECT_FALSE(game->dragging);
    EXPECT_EQ(origin(1, 3), a);
    EXPECT_FALSE(game->flashTimer.enabled());
    settle();
    h.runtime.mouseDown(cellPoint(1, 3));
    ASSERT_TRUE(game->dragging);
    const ui::Rect r = game->butnImg[game05Frm::Back].rect();
    h.runtime.mouseUp(h.at(*game, r.x + 5, r.y + 5));
    h.runtime.advance(100);
    EXPECT_FALSE(game->dragging);
    EXPECT_EQ(h.find<game05Frm>(), game) << "the release is no click on the button";
    EXPECT_EQ(origin(1, 3), a);
}

TEST_F(Blocks, ARowHoldingAnotherDealtVerseInOrderIsComplete) {
    openAt(30);
    press(game05Frm::NextLevel);
    ASSERT_EQ(game->blockLevel, 2);
    press(game05Frm::Start);
    // Row 1 holds row 2's verse, two blocks apart; row 2 holds row 1's.
    almostSolve(1, 3, 8);
    almostSolve(2, 1, 1);
    for (int c = 1; c <= 14; ++c) {
        game->blockGrid[1][std::size_t(c)].originRow = 2;
        game->blockGrid[2][std::size_t(c)].originRow = 1;
    }
    // Row 2 is in order already but nobody dropped on it; row 1 comes right now.
    drag(1, 3, 1, 8);
    EXPECT_EQ(game->rowDone[1], 1);
    EXPECT_EQ(game->rowDone[2], 0);
    EXPECT_EQ(game->blockScore, 10);
    EXPECT_EQ(game->blockGrid[1][1].state, game05Frm::Locked);
    EXPECT_TRUE(game->countTimer.enabled());
}

TEST_F(Blocks, ARepeatedCharacterCompletesOnlyWithEachBlockInItsOwnPlace) {
    h.start();
    writeBook({U"白日依山尽白河入海流欲穷千里", U"春眠不觉晓处处闻啼鸟夜来风雨"});
    openAt(2);
    press(game05Frm::Start);
    const int v = game->rowVerses[1];
    ASSERT_EQ(v, game->rowVerses[1]);
    const int same = v == 1 ? 6 : 7; // 白 at 1 and 6, or 处 at 6 and 7
    const int first = v == 1 ? 1 : 6;
    // Swapped twins read right but are not in their places; one more swap
    // elsewhere does not complete the row.
    almostSolve(1, first, same);
    game->blockGrid[1][10].originCol = 11;
    game->blockGrid[1][11].originCol = 10;
    drag(1, 10, 1, 11);
    EXPECT_EQ(game->rowDone[1], 0);
    EXPECT_FALSE(game->rowComplete(1));
    drag(1, first, 1, same);
    EXPECT_EQ(game->rowDone[1], 1);
}

TEST_F(Blocks, TheLastRowWinsWithTheTimeBonusAndTheBlocksComeToRest) {
    core::writeLines(bestFile(), {"0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0"});
    openAt(1);
    press(game05Frm::Start);
    almostSolve(1, 13, 14);
    game->timeTicks = 12345;
    h.media.clearLog();
    drag(1, 13, 1, 14);
    EXPECT_EQ(game->blockScore, 10 + 123);
    EXPECT_FALSE(game->countTimer.enabled());
    EXPECT_EQ(game->timeTicks, 0);
    for (int c = 1; c <= 14; ++c)
        EXPECT_EQ(game->blockGrid[1][std::size_t(c)].state, game05Frm::AtRest);
    EXPECT_EQ(fileText(bestFile()), " 133| 0| 0| 0| 0| 0| 0| 0| 0| 0| 0|");
    settle();
    EXPECT_EQ(countPlayed(h, "victory.wav"), 1);
    EXPECT_FALSE(canPick(1, 2)) << "blocks at rest stay";

    // Start again: the same verse, shuffled, every row to be done anew, the
    // score kept.
    press(game05Frm::Start);
    EXPECT_EQ(game->rowDone[1], 0);
    EXPECT_FALSE(game->rowComplete(1));
    EXPECT_EQ(game->blockScore, 133);
    EXPECT_TRUE(game->countTimer.enabled());
    solveRow(1);
    EXPECT_EQ(game->rowDone[1], 1);
    EXPECT_GT(game->blockScore, 133 + 10);
}

TEST_F(Blocks, ADropOnALockedRowIsRefused) {
    openAt(30);
    press(game05Frm::NextLevel);
    press(game05Frm::Start);
    solveRow(1);
    ASSERT_EQ(game->rowDone[1], 1);
    const auto locked = origin(1, 5), carried = origin(2, 5);
    drag(2, 5, 1, 5);
    EXPECT_EQ(origin(1, 5), locked);
    EXPECT_EQ(origin(2, 5), carried);
    EXPECT_EQ(game->blockGrid[2][5].state, game05Frm::Movable);
    EXPECT_FALSE(canPick(1, 5)) << "locked blocks stay";
}

TEST_F(Blocks, TimeUpStopsTheCountdownPlaysTheErrorAndFreezesTheBlocks) {
    openAt(1);
    press(game05Frm::Start);
    settle();
    h.runtime.mouseDown(cellPoint(1, 2));
    ASSERT_TRUE(game->dragging);
    h.media.clearLog();
    h.runtime.advance(2000 * 100 + 200);
    EXPECT_FALSE(game->countTimer.enabled());
    EXPECT_LT(game->timeTicks, 0);
    EXPECT_FALSE(game->dragging) << "the carried block goes home";
    EXPECT_FALSE(game->movePic[0].visible() || game->movePic[1].visible());
    settle();
    EXPECT_EQ(countPlayed(h, "err.wav"), 1);
    h.runtime.mouseUp(cellPoint(1, 2));
    EXPECT_FALSE(canPick(1, 3));
    // The time read-out is blank: five blank cells of the digit strip.
    const ui::Point at = game->textFields[game05Frm::TimeDisplay - 1];
    const ui::Picture& digits = game->workPic[game05Frm::Digits];
    for (int k = 0; k < 5; ++k)
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 7; ++x)
                ASSERT_EQ(game->surface().pixel(at.x + 9 * k + x, at.y + y),
                          digits.pixel(70 + x, y));
    press(game05Frm::Start);
    EXPECT_TRUE(game->countTimer.enabled());
    EXPECT_EQ(game->timeTicks, 2000);
}

TEST_F(Blocks, ReadOutsShowLevelScoreAndBestWithBlanksForNothing) {
    core::writeLines(bestFile(), {"0", "57"});
    openAt(7);
    const ui::Picture& digits = game->workPic[game05Frm::Digits];
    auto cellIs = [&](int display, int k, int pitch, int digit) {
        const ui::Point at = game->textFields[std::size_t(display - 1)];
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 7; ++x)
                if (game->surface().pixel(at.x + pitch * k + x, at.y + y) !=
                    digits.pixel(7 * digit + x, y))
                    return false;
        return true;
    };
    EXPECT_TRUE(cellIs(game05Frm::LevelDisplay, 0, 10, 0));
    EXPECT_TRUE(cellIs(game05Frm::LevelDisplay, 1, 10, 1));
    for (int k = 0; k < 4; ++k) {
        EXPECT_TRUE(cellIs(game05Frm::ScoreDisplay, k, 9, 10));
        EXPECT_TRUE(cellIs(game05Frm::BestDisplay, k, 9, 10));
    }
    press(game05Frm::NextLevel);
    EXPECT_TRUE(cellIs(game05Frm::LevelDisplay, 1, 10, 2));
    EXPECT_TRUE(cellIs(game05Frm::BestDisplay, 2, 9, 5));
    EXPECT_TRUE(cellIs(game05Frm::BestDisplay, 3, 9, 7));
    EXPECT_TRUE(cellIs(game05Frm::BestDisplay, 0, 9, 0));
}

TEST_F(Blocks, ButtonsPlayTheirCuesAndBackReturnsToTheHub) {
    openAt(1);
    h.media.clearLog();
    press(game05Frm::NextLevel); // only level 1 is open
    EXPECT_EQ(game->blockLevel, 1);
    press(game05Frm::PreviousLevel);
    EXPECT_EQ(countPlayed(h, "err.wav"), 2);
    press(game05Frm::Help);
    EXPECT_EQ(h.launcher.opened, 1);
    EXPECT_EQ(countPlayed(h, "help_snd.wav"), 1);
    EXPECT_EQ(h.app.state.busy, 0);
    settle();
    h.runtime.keyDown(ui::key::F1);
    h.runtime.advance(50);
    EXPECT_EQ(h.launcher.opened, 2);
    EXPECT_EQ(countPlayed(h, "help_snd.wav"), 2);
    // Buttons wait while a sound plays.
    h.runtime.advance(10);
    ASSERT_NE(h.app.state.soundPlaying, 0);
    const ui::Rect r = game->butnImg[game05Frm::Back].rect();
    h.runtime.click(h.at(*game, r.x + 10, r.y + 10));
    EXPECT_EQ(h.find<game05Frm>(), game);
    press(game05Frm::Back);
    h.runtime.advance(100);
    EXPECT_EQ(h.find<game05Frm>(), nullptr);
    EXPECT_NE(h.find<games::gameFrm>(), nullptr);
    EXPECT_EQ(countPlayed(h, "return.wav"), 1);
}

TEST_F(Blocks, ButtonHoverAndTheGridPointerWaitForTheSoundWithoutBlocking) {
    openAt(1);
    settle();
    const ui::Rect r = game->butnImg[game05Frm::Help].rect();
    h.runtime.mouseMove(h.at(*game, r.x + 5, r.y + 5));
    EXPECT_EQ(game->blockHover, game05Frm::Help);
    ui::Picture shown(r.w, r.h);
    shown.blit(game->surface(), r, {0, 0});
    ui::Picture lit(r.w, r.h);
    lit.blit(game->workPic[std::size_t(game05Frm::ButtonLooks) + game05Frm::Help], {0, 0, r.w, r.h},
             {0, 0});
    EXPECT_EQ(shown, lit);
    h.runtime.mouseMove(h.at(*game, 300, 470));
    EXPECT_EQ(game->blockHover, -1);
    shown.blit(game->surface(), r, {0, 0});
    ui::Picture bg(r.w, r.h);
    bg.blit(game->workPic[game05Frm::Background], r, {0, 0});
    EXPECT_EQ(shown, bg);

    press(game05Frm::Start);
    ASSERT_NE(h.app.state.soundPlaying, 0) << "the start cue plays";
    h.runtime.mouseMove(cellPoint(1, 1));
    EXPECT_EQ(game->mousePointer().shape, ui::CursorShape::NoDrop);
    // Within a tenth of a second of the sound's end the hand shows.
    settle();
    h.runtime.advance(100);
    EXPECT_EQ(game->mousePointer().shape, ui::CursorShape::Custom);
    h.runtime.mouseMove(h.at(*game, 300, 470));
    EXPECT_EQ(game->mousePointer().shape, ui::CursorShape::Default);
}

TEST_F(Blocks, VersesThatShareManyCharactersOpenOnlyTheLevelsTheyFill) {
    h.start();
    // Thirty verses: 1, 2 and 3 share nothing; each later one shares a
    // character with one of them and most of its characters with the others.
    std::vector<std::u32string> book = {U"一二三四五六七八九十百千万亿",
                                        U"东南西北上下左右前后里外中间",
                                        U"春夏秋冬日月星云风雨雷电霜雪"};
    const std::u32string common = U"人山水火木金土天地花草虫鱼鸟";
    for (int v = 4; v <= 30; ++v) {
        std::u32string s = common;
        s[std::size_t(v % 14)] = book[std::size_t(v % 3)][std::size_t(v % 14)];
        book.push_back(s);
    }
    writeBook(book);
    openAt(30);
    EXPECT_EQ(game->maxBlockLevel, 3);
    for (int k = 0; k < 12; ++k)
        press(game05Frm::NextLevel);
    EXPECT_EQ(game->blockLevel, 3);
    std::set<int> rows(game->rowVerses.begin() + 1, game->rowVerses.begin() + 4);
    EXPECT_EQ(rows.size(), 3u);
    const core::VerseBook read = core::VerseBook::read(h.app, 30);
    for (int a : rows)
        for (int b : rows)
            EXPECT_TRUE(a == b || !games::verses::shareCharacter(read, a, b)) << a << " " << b;
    EXPECT_EQ(h.app.state.busy, 0);
}

// The deal on its own, with a chance that always says the same.
TEST(VerseDeal, EndsWhenChanceKeepsDrawingTheVerseThatBlocksTheOthers) {
    core::VerseBook book;
    book.verses = {U"甲乙丙丁戊己庚辛壬癸子丑寅卯", U"一二三四五六七八九十甲丙戊庚",
                   U"东南西北上下左右前后乙丁己辛", U"春夏秋冬日月星云风雨壬子寅卯",
                   U"花草虫鱼鸟兽山水田土癸丑甲乙", U"金木水火土"};
    book.verses.back().resize(14, U' ');
    book.readings.resize(book.verses.size());
    const std::vector<int> known = games::verses::disjointVerses(book, 11);
    // Verse 1 shares a character with 2, 3, 4 and 5; verse 5 with 6 too.
    EXPECT_EQ(known, (std::vector<int>{2, 3, 4, 6}));
    for (double chance : {0.0, 0.999}) {
        const auto dealt = games::verses::dealVerses(book, 3, known, [&] { return chance; });
        ASSERT_EQ(dealt.size(), 3u);
        for (std::size_t a = 0; a < dealt.size(); ++a)
            for (std::size_t b = a + 1; b < dealt.size(); ++b)
                EXPECT_FALSE(games::verses::shareCharacter(book, dealt[a], dealt[b]));
    }
    EXPECT_TRUE(games::verses::shareCharacter(book, 1, 5));
    EXPECT_FALSE(games::verses::shareCharacter(book, 6, 2));
}

} // namespace
