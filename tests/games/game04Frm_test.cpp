// The pearl game's three level forms on the headless program: the board
// before a game, a game's course (catching in order, a wrong pearl, the
// countdown, the fourteenth pearl), the end dialog answered by a click, the
// keys and buttons that leave or switch levels, and broken data files.
#include "controls/msgFrm.h"
#include "games/game04/Game04Frm.h"
#include "games/gameFrm.h"
#include "games_host.h"

using games::Game04Frm;
using gamestest::countPlayed;
using gamestest::fileText;
using gamestest::open;
namespace pearl = games::pearl;

namespace {

const char* const kForms[3] = {"Game04AFrm", "Game04BFrm", "Game04CFrm"};

struct Pearls : ::testing::Test {
    app::HeadlessHost h{SHIZI_MEDIA_DIR};
    Game04Frm* game = nullptr;
    // What the end dialog showed, and how often one opened.
    int dialogs = 0;
    int lastMessage = 0;

    void openLevel(int level, int verse = 1) {
        game = open<Game04Frm>(h, kForms[level - 1], verse);
        ASSERT_NE(game, nullptr);
        ASSERT_EQ(game->level.number, level);
        ASSERT_EQ(h.app.state.busy, 0);
    }
    std::string folder() const { return h.folder() + "game/Game04/"; }
    std::string bestFile() const { return folder() + "data/data.txt"; }
    void press(int button) {
        const ui::Rect r = game->butnImg[button].rect();
        h.runtime.click(h.at(*game, r.x + r.w / 2, r.y + r.h / 2));
    }
    void start() {
        press(Game04Frm::Start);
        ASSERT_TRUE(game->showTimer.enabled());
    }
    // Answers the next end dialog with its first (1: play again) or second
    // (0: quit) button once it has been up for 200 ms.
    void answerNextDialog(int button) {
        h.runtime.at(h.runtime.now() + 200000, [this, button] { answer(button); });
    }
    void answer(int button) {
        auto* dlg = h.find<controls::msgFrm>();
        if (!dlg || dlg->unloading()) {
            // Not up yet: look again a little later.
            h.runtime.at(h.runtime.now() + 100000, [this, button] { answer(button); });
            return;
        }
        ++dialogs;
        lastMessage = dlg->MsgNum;
        const ui::Control& b = dlg->btnMyBtn[button];
        h.runtime.click({dlg->left() + b.left() + 10, dlg->top() + b.top() + 10});
    }
    // Clears the board of free pearls: all but the given ones wait in the
    // nest, which lets nobody out, and the head stands far from the nest.
    void onlyPearls(std::initializer_list<int> free) {
        for (int i = 1; i <= 14; ++i)
            game->board.pearl(i) = {240, 150, pearl::None, pearl::InNest, 0, 0};
        for (int i : free)
            game->board.pearl(i).out = 1;
        game->board.exitBusy = true;
    }
    void freePearlAt(int i, int x, int y) {
        game->board.pearl(i) = {x, y, pearl::Left, pearl::Free, 1, 0};
    }
    // Runs until the next pearl tick has happened.
    void pearlTick() { h.runtime.advance(game->level.moveInterval + 1); }
};

TEST_F(Pearls, BeforeTheStartTheBoardIsBareAndKeysChangeNothing) {
    openLevel(1);
    EXPECT_FALSE(game->showTimer.enabled());
    EXPECT_FALSE(game->headTimer.enabled());
    EXPECT_FALSE(game->movePeralTimer.enabled());
    EXPECT_EQ(game->surface(), game->picture()) << "only the board, no pearls";
    EXPECT_EQ(game->textSpots.size(), 4u);
    EXPECT_EQ(game->buttonRects.size(), 5u);
    for (int k = 0; k < 5; ++k)
        EXPECT_TRUE(game->butnImg[k].visible());
    h.runtime.keyDown(ui::key::Up);
    h.runtime.advance(500);
    h.runtime.keyUp(ui::key::Up);
    EXPECT_EQ(game->surface(), game->picture());
}

TEST_F(Pearls, PearlStripsCarryTheVersesGlyphsOnSixColours) {
    openLevel(2, 3);
    const std::u32string verse = core::getVerse(h.app, 3);
    for (int i = 1; i <= 14; ++i) {
        EXPECT_EQ(game->pearlChars[std::size_t(i)].verse, 3);
        EXPECT_EQ(game->pearlChars[std::size_t(i)].position, i);
        EXPECT_EQ(game->pearlChars[std::size_t(i)].character, verse[std::size_t(i - 1)]);
    }
    // Each strip cell is the pearl colour ANDed with the glyph: where the
    // glyph is white the pearl shows, where it is dark the stroke shows.
    for (int k = 1; k <= 6; ++k) {
        const ui::Picture& strip = game->peralPic[std::size_t(k)];
        ASSERT_EQ(strip.width(), 520);
        for (int s = 1; s <= 14; ++s) {
            int dark = 0;
            for (int y = 1; y < 29; ++y)
                for (int x = 1; x < 29; ++x) {
                    const ui::Color pearlPx = game->peralPic[7].pixel(30 * (k - 1) + x, y);
                    const ui::Color glyph = game->peralPic[0].pixel(29 * (s - 1) + x - 1, y - 1);
                    ASSERT_EQ(strip.pixel(30 * (s - 1) + x, y), pearlPx & glyph);
                    dark += glyph == 0 || ui::red(glyph) < 64;
                }
            EXPECT_GT(dark, 10) << "colour " << k << ", pearl " << s << " has its glyph";
        }
    }
}

TEST_F(Pearls, TheFirstFrameShowsTheCountdownAndThePearlsInTheNest) {
    openLevel(1);
    start();
    EXPECT_EQ(game->countdown, 25000);
    for (int i = 1; i <= 14; ++i) {
        const pearl::Pearl& p = game->board.pearl(i);
        EXPECT_GE(p.x, 225);
        EXPECT_LE(p.x, 254);
        EXPECT_GE(p.y, 95);
        EXPECT_LE(p.y, 209);
        EXPECT_EQ(p.state, pearl::InNest);
    }
    EXPECT_EQ(countPlayed(h, "gamestrt.wav"), 0);
    h.runtime.advance(21);
    EXPECT_EQ(game->countdown, 24990);
    EXPECT_EQ(countPlayed(h, "gamestrt.wav"), 1);
    // 02499 on the time display, one digit every 10 pixels.
    const ui::Point at = game->textSpots[Game04Frm::TimeDisplay - 1];
    const int digits[5] = {0, 2, 4, 9, 9};
    for (int k = 0; k < 5; ++k)
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 7; ++x)
                ASSERT_EQ(game->surface().pixel(at.x + 10 * k + x, at.y + y),
                          game->peralPic[11].pixel(7 * digits[k] + x, y))
                    << "digit " << k;
    EXPECT_NE(game->surface(), game->picture());
}

TEST_F(Pearls, TheArrowKeysSteerTheHeadAlongThePaths) {
    openLevel(1);
    start();
    // The head starts on the bottom-right corner, whose ways are left and up.
    h.runtime.keyDown(ui::key::Up);
    h.runtime.advance(10 * 15.625);
    EXPECT_EQ(game->board.headDir, pearl::Up);
    EXPECT_EQ(game->board.headX, 620);
    EXPECT_EQ(game->board.headY, 460 - 5 * 10);
    h.runtime.keyUp(ui::key::Up);
    h.runtime.advance(200);
    EXPECT_EQ(game->board.headY, 410);
    h.runtime.keyDown(ui::key::Down);
    h.runtime.advance(400);
    h.runtime.keyUp(ui::key::Down);
    EXPECT_EQ(game->board.headY, 460) << "the head stops where the path ends";
    h.runtime.keyDown(ui::key::Left);
    h.runtime.advance(4 * 15.625);
    h.runtime.keyUp(ui::key::Left);
    EXPECT_EQ(game->board.headX, 600);
    EXPECT_EQ(game->board.headY, 460);
}

TEST_F(Pearls, CatchingOneThenTwoScoresTwentyAndRewritesTheBest) {
    core::writeLines(bestFile(), {" 15", " 7", " 9"});
    openLevel(1);
    start();
    onlyPearls({1, 2});
    freePearlAt(1, 560, 460);
    freePearlAt(2, 300, 250);
    game->board.headX = 580;
    game->board.headY = 460;
    pearlTick();
    EXPECT_EQ(game->board.nextPearl, 2);
    EXPECT_EQ(game->board.pearl(1).state, pearl::Caught);
    EXPECT_EQ(game->score, 10);
    EXPECT_EQ(fileText(bestFile()), " 15| 7| 9|");
    freePearlAt(2, game->board.headX - 20, game->board.headY);
    pearlTick();
    EXPECT_EQ(game->board.nextPearl, 3);
    EXPECT_EQ(game->score, 20);
    EXPECT_EQ(fileText(bestFile()), " 20| 7| 9|");
    // The catch cue waits for the start cue to end; the second catch asks
    // for the same cue again.
    h.runtime.advance(3000);
    EXPECT_GE(countPlayed(h, "color.wav"), 1);
    EXPECT_TRUE(game->showTimer.enabled()) << "the game goes on";
    EXPECT_EQ(dialogs, 0);
}

TEST_F(Pearls, AWrongPearlEndsWithMessageTwoAndContinueDealsTheSamePearlsAgain) {
    core::writeLines(bestFile(), {" 5", " 0", " 0"});
    openLevel(1);
    start();
    const std::array<ui::Picture, 13> pictures = game->peralPic;
    onlyPearls({1, 2, 3});
    game->board.pearl(1) = {100, 100, pearl::Left, pearl::Caught, 1, 0};
    game->board.nextPearl = 2;
    game->score = 10;
    freePearlAt(2, 400, 250);
    freePearlAt(3, 600, 460);
    game->board.headX = 620;
    game->board.headY = 460;
    answerNextDialog(0);
    pearlTick();
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(lastMessage, Game04Frm::Lost);
    EXPECT_EQ(game->score, 0);
    EXPECT_EQ(fileText(bestFile()), " 5| 0| 0|");
    // Played again: a new game on the same pearls, score 0, everything in the nest.
    EXPECT_EQ(h.app.state.pearlGameStopped, 0);
    EXPECT_TRUE(game->showTimer.enabled());
    EXPECT_TRUE(game->movePeralTimer.enabled());
    EXPECT_EQ(game->board.nextPearl, 1);
    EXPECT_EQ(game->countdown, 25000);
    for (int i = 1; i <= 14; ++i)
        EXPECT_EQ(game->board.pearl(i).state, pearl::InNest);
    EXPECT_EQ(game->peralPic, pictures);
    EXPECT_EQ(h.app.state.busy, 0);
    game->board.headX = game->board.headY = -1000;
    h.runtime.advance(3000);
    EXPECT_EQ(countPlayed(h, "gamestrt.wav"), 2);
}

TEST_F(Pearls, TheFourteenthPearlAddsTheTimeBonusOnEveryLevel) {
    for (int level = 1; level <= 3; ++level) {
        SCOPED_TRACE(level);
        app::HeadlessHost host{SHIZI_MEDIA_DIR};
        auto* g = open<Game04Frm>(host, kForms[level - 1]);
        ASSERT_NE(g, nullptr);
        const ui::Rect r = g->butnImg[Game04Frm::Start].rect();
        host.runtime.click(host.at(*g, r.x + r.w / 2, r.y + r.h / 2));
        for (int i = 1; i <= 13; ++i)
            g->board.pearl(i) = {100, 100, pearl::Left, pearl::Caught, 1, 0};
        g->board.pearl(14) = {560, 460, pearl::Left, pearl::Free, 1, 0};
        g->board.nextPearl = 14;
        g->board.pearlsOut = 14;
        g->board.headX = 530;
        g->board.headY = 460;
        g->score = 130;
        g->countdown = 12340;
        g->showTimer.stop(); // the countdown holds still for the tick
        int shown = 0;
        host.runtime.at(host.runtime.now() + 300000, [&] {
            auto* dlg = host.find<controls::msgFrm>();
            ASSERT_NE(dlg, nullptr);
            shown = dlg->MsgNum;
            const ui::Control& b = dlg->btnMyBtn[1];
            host.runtime.click({dlg->left() + b.left() + 10, dlg->top() + b.top() + 10});
        });
        g->movePeralTimer_Timer();
        EXPECT_EQ(shown, Game04Frm::Won);
        EXPECT_EQ(g->score, 130 + 10 + 123);
        std::vector<std::string> best = {" 0", " 0", " 0"};
        best[std::size_t(level - 1)] = " 263";
        EXPECT_EQ(fileText(host.folder() + "game/Game04/data/data.txt"),
                  best[0] + "|" + best[1] + "|" + best[2] + "|");
        // Quit: back to the hub.
        host.runtime.advance(100);
        EXPECT_EQ(host.find<Game04Frm>(), nullptr);
        EXPECT_NE(host.find<games::gameFrm>(), nullptr);
        EXPECT_EQ(host.app.state.pearlLevel, -1);
        EXPECT_EQ(countPlayed(host, "victory.wav"), 1);
    }
}

TEST_F(Pearls, LevelOnesCountdownRunsOutOnFrame2501) {
    openLevel(1);
    start();
    // Nothing can touch the head: it waits where no pearl goes.
    game->board.pathPoints.clear();
    game->board.headX = game->board.headY = -1000;
    int frames = 0;
    game->showTimer.onTimer = [&] {
        ++frames;
        game->showTimer_Timer();
    };
    h.runtime.advance(20 * 2500 + 5);
    EXPECT_EQ(frames, 2500);
    EXPECT_EQ(game->countdown, 0);
    EXPECT_EQ(h.find<controls::msgFrm>(), nullptr);
    answerNextDialog(0);
    h.runtime.advance(20);
    EXPECT_EQ(frames, 2501);
    EXPECT_EQ(dialogs, 1);
    EXPECT_EQ(lastMessage, Game04Frm::TimeUp);
    EXPECT_EQ(countPlayed(h, "err.wav"), 1);
    EXPECT_EQ(game->score, 0);
    EXPECT_EQ(game->countdown, 25000) << "played again";
}

TEST_F(Pearls, HelpKeepsTheGameRunningAndStartRestartsIt) {
    openLevel(1);
    start();
    game->board.headX = game->board.headY = -1000;
    h.runtime.advance(1000);
    game->score = 30;
    h.runtime.keyDown(ui::key::F1);
    EXPECT_EQ(h.launcher.opened, 1);
    EXPECT_EQ(h.app.state.soundCue, 15);
    EXPECT_EQ(h.app.state.busy, 0);
    h.runtime.advance(100);
    EXPECT_TRUE(game->showTimer.enabled());
    EXPECT_LT(game->countdown, 25000 - 10 * 50);
    EXPECT_GT(game->board.pearlsOut, 0);
    // Start in the middle of a game: a new one from the nest, score 0.
    press(Game04Frm::Start);
    EXPECT_EQ(game->score, 0);
    EXPECT_EQ(game->countdown, 25000);
    EXPECT_EQ(game->board.pearlsOut, 0);
    EXPECT_EQ(game->board.headX, 620);
}

TEST_F(Pearls, EscapeLeavesForTheHubEvenMidGame) {
    openLevel(2);
    start();
    h.runtime.advance(500);
    h.runtime.keyUp(ui::key::Escape);
    h.runtime.advance(0);
    EXPECT_EQ(h.find<Game04Frm>(), nullptr);
    EXPECT_NE(h.find<games::gameFrm>(), nullptr);
    EXPECT_EQ(h.app.state.pearlLevel, -1);
    EXPECT_EQ(h.app.state.pearlGameStopped, 0);
    h.runtime.advance(3000);
    EXPECT_EQ(countPlayed(h, "return.wav"), 1);
}

TEST_F(Pearls, TheLevelButtonsWalkTheThreeFormsAndStopAtTheEnds) {
    openLevel(1);
    press(Game04Frm::PreviousLevel);
    h.runtime.advance(3000);
    EXPECT_EQ(h.find<Game04Frm>(), game);
    EXPECT_EQ(countPlayed(h, "err.wav"), 1);
    EXPECT_EQ(h.app.state.busy, 0);
    for (int level = 2; level <= 3; ++level) {
        press(Game04Frm::NextLevel);
        h.runtime.advance(3000);
        game = h.find<Game04Frm>();
        ASSERT_NE(game, nullptr);
        EXPECT_EQ(game->level.number, level);
        EXPECT_EQ(std::string(game->level.form), kForms[level - 1]);
        EXPECT_EQ(h.app.state.pearlLevel, level);
        EXPECT_EQ(h.app.state.busy, 0);
    }
    EXPECT_EQ(countPlayed(h, "entergm.wav"), 2);
    press(Game04Frm::NextLevel);
    h.runtime.advance(3000);
    EXPECT_EQ(h.find<Game04Frm>(), game);
    EXPECT_EQ(countPlayed(h, "err.wav"), 2);
    press(Game04Frm::PreviousLevel);
    h.runtime.advance(300);
    game = h.find<Game04Frm>();
    EXPECT_EQ(game->level.number, 2);
    press(Game04Frm::Back);
    h.runtime.advance(300);
    EXPECT_EQ(h.find<Game04Frm>(), nullptr);
    EXPECT_NE(h.find<games::gameFrm>(), nullptr);
    EXPECT_EQ(h.app.state.pearlLevel, -1);
}

TEST_F(Pearls, TheHubsFourthCircleOpensLevelOne) {
    h.start();
    auto* hub = open<games::gameFrm>(h, "gameFrm");
    ASSERT_NE(hub, nullptr);
    const auto& c = hub->gameCircles[3];
    h.runtime.mouseMove(h.at(*hub, c.x, c.y));
    h.runtime.click(h.at(*hub, c.x, c.y));
    h.runtime.advance(3000);
    game = h.find<Game04Frm>();
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(game->level.number, 1);
    EXPECT_EQ(h.app.state.pearlLevel, 1);
}

TEST_F(Pearls, HoveringAButtonPaintsItsLookAndLeavingRestoresTheBoard) {
    openLevel(1);
    const ui::Rect r = game->buttonRects[Game04Frm::Start];
    h.runtime.mouseMove(h.at(*game, r.x + 5, r.y + 5));
    EXPECT_EQ(game->hoverButton, Game04Frm::Start);
    const ui::Picture look = h.runtime.loadPicture(folder() + "pics/butn3.bmp");
    ASSERT_FALSE(look.empty());
    EXPECT_EQ(game->surface().pixel(r.x + r.w / 2, r.y + 4), look.pixel(r.w / 2, 4));
    h.runtime.mouseMove(h.at(*game, 400, 5));
    EXPECT_EQ(game->hoverButton, -1);
    EXPECT_EQ(game->surface(), game->picture());
}

// ---- broken files -------------------------------------------------------------------

TEST_F(Pearls, APathFileWithoutTheNestsExitsKeepsThePearlsHome) {
    h.start();
    core::writeLines(folder() + "data/points2.txt", {});
    testing::internal::CaptureStderr();
    openLevel(1);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("points2.txt"), std::string::npos);
    start();
    game->board.headX = game->board.headY = -1000;
    h.runtime.advance(3000);
    EXPECT_EQ(game->board.pearlsOut, 0);
    for (int i = 1; i <= 14; ++i)
        EXPECT_TRUE(
            game->board.nestRect.contains({game->board.pearl(i).x, game->board.pearl(i).y}));
}

TEST_F(Pearls, EmptyLinesInAPathFileAreLeftOut) {
    h.start();
    core::writeLines(folder() + "data/points1.txt",
                     {"1  270 125 0010", "", "2  210 180 1000", "3  400 125 1001", "   ",
                      "4  400 460 0110", "5  620 460 1100", "6  620 125 0001", "7  170 180 0010"});
    testing::internal::CaptureStderr();
    openLevel(2);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("points1.txt"), std::string::npos);
    ASSERT_EQ(game->board.pathPoints.size(), 7u);
    EXPECT_EQ(game->board.pathPoints[1].x, 210);
    for (const auto& p : game->board.pathPoints)
        EXPECT_TRUE(p.exits[0] || p.exits[1] || p.exits[2] || p.exits[3]);
    start();
    game->board.headX = game->board.headY = -1000;
    h.runtime.advance(5000);
    EXPECT_GT(game->board.pearlsOut, 0);
}

TEST_F(Pearls, AShortScoreFileReadsZerosAndIsWrittenWhole) {
    h.start();
    core::writeLines(bestFile(), {" 40"});
    testing::internal::CaptureStderr();
    openLevel(3);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("data.txt"), std::string::npos);
    EXPECT_EQ(game->levelBests, (std::vector<std::int16_t>{40, 0, 0}));
    start();
    onlyPearls({1});
    freePearlAt(1, 600, 460);
    game->board.headX = 620;
    game->board.headY = 460;
    pearlTick();
    EXPECT_EQ(fileText(bestFile()), " 40| 0| 10|");
}

} // namespace
