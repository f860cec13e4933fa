#include "games/game02/game02Frm.h"
#include "games/gameFrm.h"
#include "games_host.h"

#include <set>

using games::game02Frm;
using gamestest::countPlayed;
using gamestest::fileText;
using gamestest::open;

namespace {

constexpr double kTick = 15.625;

struct Catch : ::testing::Test {
    app::HeadlessHost h{SHIZI_MEDIA_DIR};
    game02Frm* game = nullptr;

    void openAt(int verse) {
        game = open<game02Frm>(h, "game02Frm", verse);
        ASSERT_NE(game, nullptr);
        ASSERT_EQ(h.app.state.busy, 0);
    }
    void press(int button) {
        const ui::Rect r = game->butnImg[button].rect();
        h.runtime.click(h.at(*game, r.x + r.w / 2, r.y + r.h / 2));
    }
    void ticks(int n) { h.runtime.advance(kTick * n); }
    // Starts a game; the announcements block, so the balls fly when it returns.
    void start() {
        press(game02Frm::Start);
        ASSERT_TRUE(game->playing);
    }
    int firstUnwanted() const {
        for (int i = 1; i <= game->ballCount; ++i)
            if (!game->isWanted(i))
                return i;
        return 0;
    }
    // Leaves only ball `keep` flying, at `pos` with speed `speed`.
    void onlyBall(int keep, game02Frm::Vec pos, game02Frm::Vec speed) {
        for (int i = 1; i <= game->ballCount; ++i)
            game->ballState[std::size_t(i)] = i == keep ? 1 : 0;
        game->ballPos[std::size_t(keep)] = pos;
        game->ballSpeed[std::size_t(keep)] = speed;
    }
    // Fires one rocket from where the cart stands and lets go of the key.
    void fireOnce() {
        h.runtime.keyDown(ui::key::Space);
        ticks(1);
        h.runtime.keyUp(ui::key::Space);
    }
    std::string bestFile() const { return h.folder() + "game/Game02/data/data.txt"; }
    std::vector<media::MediaCommand> charSounds() const {
        return h.media.commands(media::MediaCommand::Kind::PlayRange);
    }
    // The read-out cell at `at` shows digit d of the strip.
    bool showsDigit(ui::Point at, int d) {
        const ui::Picture strip = h.runtime.loadPicture(h.app.state.picPath + "number.bmp");
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 7; ++x)
                if (game->surface().pixel(at.x + x, at.y + y) != strip.pixel(7 * d + x, y))
                    return false;
        return true;
    }
    // Verses 1 .. n of the book, and when given, their reading keys.
    void writeBook(const std::vector<std::u32string>& verses,
                   const std::vector<std::vector<std::string>>& readings = {}) {
        std::vector<std::string> lines;
        for (std::size_t v = 0; v < verses.size(); v += 2) {
            auto verse = [&](std::size_t n) {
                const std::u32string t = n < verses.size() ? verses[n] : verses[0];
                char num[32];
                std::snprintf(num, sizeof num, "%03zu  ", n + 1);
                return std::string(num) + core::toUtf8(t.substr(0, 7)) + "，   " +
                       core::toUtf8(t.substr(7, 7)) + "。";
            };
            lines.push_back(verse(v) + "     " + verse(v + 1));
            lines.push_back("     x");
        }
        core::writeLines(h.folder() + "data/tav.txt", lines);
        if (readings.empty())
            return;
        std::vector<std::string> snd;
        for (std::size_t v = 0; v < readings.size(); ++v) {
            char num[32];
            std::snprintf(num, sizeof num, "%03zu", v + 1);
            std::string line = num;
            for (const std::string& r : readings[v])
                line += "/" + r;
            snd.push_back(line);
        }
        core::writeLines(h.folder() + "data/tav_snd.txt", snd);
    }
};

TEST_F(Catch, LevelOneDealsThreeCharactersOfTheVerseThatSoundDifferentAndReadsOneOut) {
    openAt(5);
    const std::u32string verse = core::getVerse(h.app, 5);
    for (int round = 0; round < 6; ++round) {
        h.media.clearLog();
        game->playing = false;
        start();
        ASSERT_EQ(game->ballCount, 3);
        ASSERT_EQ(game->wantedBalls.size(), 1u);
        std::set<char32_t> chars;
        std::set<std::string> readings;
        for (int i = 1; i <= 3; ++i) {
            const auto& s = game->ballSource[std::size_t(i)];
            EXPECT_EQ(s.verse, 5);
            EXPECT_EQ(s.character, verse[std::size_t(s.position - 1)]);
            EXPECT_EQ(s.reading, core::getCharReading(h.app, 5, s.position));
            EXPECT_EQ(game->ballState[std::size_t(i)], 1);
            chars.insert(s.character);
            readings.insert(s.reading);
        }
        EXPECT_EQ(chars.size(), 3u);
        EXPECT_EQ(readings.size(), 3u);
        // The start cue, then the one wanted character from its slot of
        // word01.wav (verse 5 is the file's fifth verse).
        const auto spoken = charSounds();
        ASSERT_EQ(spoken.size(), 1u);
        const int pos = game->ballSource[std::size_t(game->wantedBalls[0])].position;
        EXPECT_EQ(spoken[0].startMs, (pos + 4 * 14 - 1) * 1500.0);
        EXPECT_EQ(h.media.played().front(), "gamestrt.wav");
    }
}

TEST_F(Catch, TheAnnouncementsBlockForTheirPausesBeforeTheBallsMove) {
    openAt(9);
    press(game02Frm::NextLevel);
    press(game02Frm::NextLevel);
    ASSERT_EQ(game->level, 3);
    h.media.clearLog();
    const ui::Micros before = h.runtime.now();
    start();
    EXPECT_EQ(game->ballCount, 7);
    EXPECT_EQ(game->wantedBalls.size(), 3u);
    EXPECT_EQ(std::set<int>(game->wantedBalls.begin(), game->wantedBalls.end()).size(), 3u);
    EXPECT_EQ(charSounds().size(), 3u);
    const long cue = h.media.lengthOf("gamestrt.wav");
    EXPECT_GE(h.runtime.now() - before, (cue + 3 * 2500 + 1000) * 1000);
    // Level 3 adds nothing to the random 1..3 of each speed.
    for (int i = 1; i <= 7; ++i) {
        const auto v = game->ballSpeed[std::size_t(i)];
        EXPECT_GE(std::abs(v.x), 1);
        EXPECT_LE(std::abs(v.x), 3);
        EXPECT_GE(std::abs(v.y), 1);
        EXPECT_LE(std::abs(v.y), 3);
    }
}

TEST_F(Catch, BallsBounceInsideThePlayArea) {
    openAt(3);
    start();
    onlyBall(1, {590, 470}, {4, 4});
    ticks(1);
    EXPECT_EQ(game->ballPos[1].x, 578.5f);
    EXPECT_EQ(game->ballPos[1].y, 460.5f);
    EXPECT_EQ(game->ballSpeed[1].x, -4);
    EXPECT_EQ(game->ballSpeed[1].y, -4);
    // x 25.5 - 4 - 14.5 = 7 < 8; y 22 - 2 - 14.5 = 5.5 < 6: both turn back.
    game->ballPos[1] = {25.5f, 22};
    game->ballSpeed[1] = {-4, -2};
    game->cartX = 300.5f;
    ticks(1);
    EXPECT_EQ(game->ballPos[1].x, 22.5f);
    EXPECT_EQ(game->ballPos[1].y, 20.5f);
    EXPECT_EQ(game->ballSpeed[1].x, 4);
    EXPECT_EQ(game->ballSpeed[1].y, 2);
}

TEST_F(Catch, ARocketClimbsToTheTopAndStopsOneAtATimeAndOnlyWhereTheGunFits) {
    openAt(1);
    start();
    for (auto& s : game->ballState)
        s = 0; // an empty sky: nothing to hit
    h.runtime.keyDown(ui::key::Space);
    ASSERT_TRUE(game->fireHeld);
    ticks(1);
    ASSERT_TRUE(game->rocketFlying);
    EXPECT_EQ(game->rocketX, 294); // cart centre 300.5 - 7
    EXPECT_EQ(game->rocketY, 370);
    for (int k = 2; k <= 25; ++k) {
        ticks(1);
        ASSERT_TRUE(game->rocketFlying);
        ASSERT_EQ(game->rocketY, 385 - 15 * k); // no second rocket while one flies
    }
    EXPECT_EQ(game->rocketY, 10);
    ticks(1);
    EXPECT_FALSE(game->rocketFlying);
    EXPECT_EQ(game->rocketFrame, 0);
    ticks(1); // the key still held: the next rocket
    EXPECT_TRUE(game->rocketFlying);
    EXPECT_EQ(game->rocketY, 370);
    h.runtime.keyUp(ui::key::Space);
    EXPECT_FALSE(game->fireHeld);
    ticks(30);
    ASSERT_FALSE(game->rocketFlying);

    for (float x : {24.0f, 12.5f, 577.0f, 620.5f}) {
        game->cartX = x;
        h.runtime.keyDown(ui::key::Space);
        EXPECT_FALSE(game->fireHeld) << x;
        ticks(3);
        EXPECT_FALSE(game->rocketFlying) << x;
        h.runtime.keyUp(ui::key::Space);
    }
    // Held where it fits, then driven out of range: the gun stays silent.
    game->cartX = 300.5f;
    h.runtime.keyDown(ui::key::Space);
    game->cartX = 577;
    ticks(3);
    EXPECT_FALSE(game->rocketFlying);
    h.runtime.keyUp(ui::key::Space);
}

TEST_F(Catch, ShootingACharacterReadOutCostsTwoShowsMinusAndTheBallFliesOn) {
    openAt(1);
    start();
    const int w = game->wantedBalls[0];
    onlyBall(w, {300, 300}, {1, -1});
    h.media.clearLog();
    fireOnce();
    ticks(10);
    EXPECT_FALSE(game->rocketFlying);
    EXPECT_EQ(game->score, -2);
    EXPECT_EQ(game->ballState[std::size_t(w)], 1);
    EXPECT_TRUE(game->playing);
    EXPECT_EQ(countPlayed(h, "err.wav"), 1);
    EXPECT_TRUE(charSounds().empty());
    // "-02": a minus in the first cell, then the digits.
    EXPECT_FALSE(showsDigit({611, 404}, 0));
    EXPECT_TRUE(showsDigit({618, 404}, 0));
    EXPECT_TRUE(showsDigit({625, 404}, 2));
    EXPECT_EQ(fileText(bestFile()), " 0| 0| 0|");
    const auto before = game->ballPos[std::size_t(w)];
    ticks(5);
    EXPECT_NE(game->ballPos[std::size_t(w)].x, before.x);
}

TEST_F(Catch, ShootingAnotherCharacterScoresOneSpeaksItAndTheBallShrinksAway) {
    openAt(1);
    start();
    const int u = firstUnwanted();
    onlyBall(u, {300, 300}, {1, -1});
    game->ballState[std::size_t(game->wantedBalls[0])] = 1; // still to catch
    game->ballPos[std::size_t(game->wantedBalls[0])] = {100, 100};
    h.media.clearLog();
    fireOnce();
    ticks(5);
    EXPECT_EQ(game->score, 1);
    EXPECT_LT(game->ballState[std::size_t(u)], 0);
    EXPECT_TRUE(game->playing);
    ticks(10);
    EXPECT_EQ(game->ballState[std::size_t(u)], 0);
    const auto spoken = charSounds();
    ASSERT_EQ(spoken.size(), 1u);
    EXPECT_EQ(spoken[0].startMs, (game->ballSource[std::size_t(u)].position - 1) * 1500.0);
}

TEST_F(Catch, CatchingTheLastCharacterReadOutWinsAfterItIsSpoken) {
    openAt(1);
    start();
    const int w = game->wantedBalls[0];
    onlyBall(w, {300.5f, 410}, {1, 4});
    h.media.clearLog();
    ticks(3);
    EXPECT_EQ(game->score, 2);
    EXPECT_FALSE(game->playing);
    // The catch handler waited for the cue: meanwhile the ball vanished.
    EXPECT_EQ(game->ballState[std::size_t(w)], 0);
    const auto played = h.media.played();
    ASSERT_EQ(played.size(), 2u);
    EXPECT_EQ(played[0], "word01.wav");
    EXPECT_EQ(played[1], "victory.wav");
    h.runtime.advance(8000);
    // Idle again: the instructions and a tune.
    const ui::Picture story = h.runtime.loadPicture(h.folder() + "game/Game02/pics/yxsm.jpg");
    ASSERT_FALSE(story.empty());
    EXPECT_EQ(game->surface().pixel(300, 240), story.pixel(292, 234));
    EXPECT_EQ(h.app.state.musicPlaying, -1);
}

TEST_F(Catch, AWrongCatchLosesAtOnceCostsOneAndStartWaitsForTheCooldown) {
    openAt(1);
    start();
    const int u = firstUnwanted(), w = game->wantedBalls[0];
    onlyBall(u, {300.5f, 415}, {1, 2});
    game->ballState[std::size_t(w)] = 1;
    game->ballPos[std::size_t(w)] = {100, 100};
    h.media.clearLog();
    ticks(3);
    EXPECT_FALSE(game->playing);
    EXPECT_EQ(game->score, -1);
    for (auto s : game->ballState)
        EXPECT_EQ(s, 0);
    EXPECT_EQ(countPlayed(h, "failed.wav"), 1);
    EXPECT_TRUE(charSounds().empty());
    ASSERT_GT(game->startCooldown, 0);
    press(game02Frm::Start);
    EXPECT_FALSE(game->playing);
    EXPECT_EQ(countPlayed(h, "gamestrt.wav"), 0);
    ticks(10);
    EXPECT_EQ(game->startCooldown, 0);
    start();
    EXPECT_EQ(countPlayed(h, "gamestrt.wav"), 1);
    EXPECT_EQ(game->score, -1); // only a level change resets it
}

TEST_F(Catch, TheCartWrapsAroundBothEdgesWithItsWheelsTurning) {
    openAt(1);
    start();
    for (auto& st : game->ballState)
        st = 0; // nothing to catch on the way
    h.runtime.keyDown(ui::key::Right);
    ticks(40);
    EXPECT_EQ(game->cartX, 620.5f);
    EXPECT_EQ(game->cartFrame, 1); // 40 steps round four frames
    ticks(1);
    EXPECT_EQ(game->cartX, 628.5f);
    EXPECT_EQ(game->cartFrame, 2);
    ticks(1);
    EXPECT_EQ(game->cartX, -30.0f);
    h.runtime.keyUp(ui::key::Right);
    ticks(3);
    EXPECT_EQ(game->cartX, -30.0f);
    h.runtime.keyDown(ui::key::Left);
    ticks(1);
    EXPECT_EQ(game->cartX, 631.0f);
    EXPECT_EQ(game->cartFrame, 2);
    ticks(1);
    EXPECT_EQ(game->cartX, 623.0f);
    game->cartFrame = 1;
    ticks(1);
    EXPECT_EQ(game->cartFrame, 4);
    game->cartX = -22;
    ticks(1);
    EXPECT_EQ(game->cartX, -30.0f);
    ticks(1);
    EXPECT_EQ(game->cartX, 631.0f);
    h.runtime.keyUp(ui::key::Left);
    EXPECT_EQ(game->cartDir, 0);
}

TEST_F(Catch, ANewBestIsWrittenTheMomentTheScorePassesIt) {
    core::writeLines(bestFile(), {" 2", " 5", " 7"});
    openAt(1);
    EXPECT_TRUE(showsDigit({625, 459}, 2));
    start();
    game->score = 2; // equal to the best: nothing written yet
    const int u = firstUnwanted();
    onlyBall(u, {300, 300}, {1, -1});
    game->ballState[std::size_t(game->wantedBalls[0])] = 1;
    game->ballPos[std::size_t(game->wantedBalls[0])] = {100, 100};
    fireOnce();
    ticks(5);
    ASSERT_EQ(game->score, 3);
    EXPECT_TRUE(game->playing);
    EXPECT_EQ(fileText(bestFile()), " 3| 5| 7|");
    EXPECT_TRUE(showsDigit({611, 459}, 0));
    EXPECT_TRUE(showsDigit({625, 459}, 3));
    EXPECT_TRUE(showsDigit({625, 404}, 3));
}

TEST_F(Catch, LevelsFollowTheVerseReachedAndALevelChangeStopsTheGame) {
    core::writeLines(bestFile(), {" 4", " 6", " 8"});
    openAt(2);
    EXPECT_EQ(game->maxLevel, 2);
    EXPECT_TRUE(showsDigit({618, 348}, 1));
    start();
    game->score = 3;
    press(game02Frm::NextLevel);
    EXPECT_EQ(game->level, 2);
    EXPECT_FALSE(game->playing);
    for (auto s : game->ballState)
        EXPECT_EQ(s, 0);
    EXPECT_EQ(game->score, 0);
    EXPECT_TRUE(showsDigit({618, 348}, 2));
    EXPECT_TRUE(showsDigit({625, 404}, 0));
    EXPECT_TRUE(showsDigit({625, 459}, 6));
    h.media.clearLog();
    press(game02Frm::NextLevel);
    EXPECT_EQ(game->level, 2);
    press(game02Frm::PreviousLevel);
    EXPECT_EQ(game->level, 1);
    EXPECT_TRUE(showsDigit({625, 459}, 4));
    press(game02Frm::PreviousLevel);
    EXPECT_EQ(game->level, 1);
    std::vector<std::string> effects;
    for (const std::string& f : h.media.played())
        if (f.ends_with(".wav"))
            effects.push_back(f);
    const std::vector<std::string> expected = {"err.wav", "click02.wav", "err.wav"};
    EXPECT_EQ(effects, expected);
    EXPECT_EQ(h.app.state.busy, 0);
}

TEST_F(Catch, TheScopeButtonSwitchesTheVersesDealtAndShowsItsLook) {
    openAt(12);
    h.runtime.mouseMove(h.at(*game, game->butnImg[game02Frm::Scope].left() + 5,
                             game->butnImg[game02Frm::Scope].top() + 5));
    press(game02Frm::Scope);
    EXPECT_EQ(game->wordScope, 1);
    EXPECT_EQ(countPlayed(h, "click01.wav"), 1);
    const ui::Rect r = game->butnImg[game02Frm::Scope].rect();
    const ui::Picture lit = h.runtime.loadPicture(h.folder() + "game/Game02/pics/butn3_1.bmp");
    ASSERT_FALSE(lit.empty());
    EXPECT_EQ(game->surface().pixel(r.x + r.w / 2, r.y + r.h / 2), lit.pixel(r.w / 2, r.h / 2));
    // Leaving the button paints its normal look of the same scope.
    h.runtime.mouseMove(h.at(*game, 300, 240));
    const ui::Picture normal = h.runtime.loadPicture(h.folder() + "game/Game02/pics/butn3_1S.bmp");
    EXPECT_EQ(game->surface().pixel(r.x + r.w / 2, r.y + r.h / 2), normal.pixel(r.w / 2, r.h / 2));
    std::set<int> verses;
    for (int round = 0; round < 8; ++round) {
        game->playing = false;
        start();
        for (int i = 1; i <= game->ballCount; ++i)
            verses.insert(game->ballSource[std::size_t(i)].verse);
    }
    EXPECT_GT(verses.size(), 3u);
    EXPECT_LE(*verses.rbegin(), 12);
    EXPECT_GE(*verses.begin(), 1);
}

TEST_F(Catch, AVerseShortOfDifferentCharactersBorrowsFromEarlierVersesAndTheDealEnds) {
    h.start();
    writeBook({U"山水日月花草木石天地人口手足", U"春夏秋冬风雨雪霜云雾雷电星辰",
               U"一一一一一一一二二二二二二二"});
    openAt(3);
    start();
    ASSERT_EQ(game->ballCount, 3);
    std::set<char32_t> chars;
    int fromVerse3 = 0;
    for (int i = 1; i <= 3; ++i) {
        chars.insert(game->ballSource[std::size_t(i)].character);
        fromVerse3 += game->ballSource[std::size_t(i)].verse == 3;
    }
    EXPECT_EQ(chars.size(), 3u);
    EXPECT_EQ(fromVerse3, 2);
}

TEST_F(Catch, WhenEveryVerseIsShortTheGameHasFewerBalls) {
    h.start();
    // Fourteen different characters with only two different readings.
    const std::vector<std::string> two = {"a", "b", "a", "b", "a", "b", "a",
                                          "b", "a", "b", "a", "b", "a", "b"};
    writeBook({U"山水日月花草木石天地人口手足", U"春夏秋冬风雨雪霜云雾雷电星辰"}, {two, two});
    openAt(1);
    start();
    ASSERT_EQ(game->ballCount, 2);
    EXPECT_EQ(game->wantedBalls.size(), 1u);
    EXPECT_NE(game->ballSource[1].reading, game->ballSource[2].reading);
    EXPECT_EQ(game->ballState[1], 1);
    EXPECT_EQ(game->ballState[2], 1);
    EXPECT_EQ(game->ballState[3], 0);
    ticks(20); // and it plays
    EXPECT_TRUE(game->playing);
}

TEST_F(Catch, EachTickRestoresWhatMovedSoOnlyTheSpritesCoverThePlayArea) {
    openAt(4);
    press(game02Frm::NextLevel);
    press(game02Frm::NextLevel);
    start();
    h.runtime.keyDown(ui::key::Right);
    h.runtime.keyDown(ui::key::Space);
    ticks(37);
    h.runtime.keyUp(ui::key::Space);
    h.runtime.keyUp(ui::key::Right);
    ticks(3);
    const ui::Picture area = h.runtime.loadPicture(h.folder() + "game/Game02/pics/area0806.jpg");
    ASSERT_FALSE(area.empty());
    // A tick paints first and moves afterwards: the sprites stand one step
    // (a ball at most 3 pixels, a rocket 15) before where they are now.
    std::vector<ui::Rect> sprites;
    for (int i = 1; i <= game->ballCount; ++i)
        if (game->ballState[std::size_t(i)] != 0) {
            const auto p = game->ballPos[std::size_t(i)];
            sprites.push_back({int(p.x) - 40, int(p.y) - 40, 81, 81});
        }
    const int cartLeft = int(game->cartX) - 41;
    sprites.push_back({cartLeft, 415, 82, 60}); // gun, rail and cart
    if (game->rocketFlying)
        sprites.push_back({game->rocketX, game->rocketY, 10, 45});
    int checked = 0;
    for (int y = 6; y < 475; y += 3)
        for (int x = 8; x < 593; x += 3) {
            bool covered = false;
            for (const ui::Rect& r : sprites)
                covered = covered || r.contains({x, y});
            if (covered)
                continue;
            ASSERT_EQ(game->surface().pixel(x, y), area.pixel(x - 8, y - 6)) << x << "," << y;
            ++checked;
        }
    EXPECT_GT(checked, 15000);
}

TEST_F(Catch, TheHubOpensTheGameAndBackReturnsToIt) {
    h.start();
    auto* hub = open<games::gameFrm>(h, "gameFrm", 3);
    ASSERT_NE(hub, nullptr);
    const auto& c = hub->gameCircles[1];
    h.runtime.mouseMove(h.at(*hub, c.x, c.y));
    h.runtime.click(h.at(*hub, c.x, c.y));
    h.runtime.advance(3000);
    game = h.find<game02Frm>();
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(h.find<games::gameFrm>(), nullptr);
    EXPECT_EQ(h.app.state.busy, 0);
    EXPECT_EQ(game->maxLevel, 3);
    start();
    h.media.clearLog();
    press(game02Frm::Back);
    h.runtime.advance(100);
    EXPECT_EQ(h.find<game02Frm>(), nullptr);
    EXPECT_NE(h.find<games::gameFrm>(), nullptr);
    EXPECT_EQ(countPlayed(h, "return.wav"), 1);
}

TEST_F(Catch, HelpFromTheButtonAndFromF1) {
    openAt(1);
    press(game02Frm::Help);
    EXPECT_EQ(countPlayed(h, "help_snd.wav"), 1);
    h.runtime.keyDown(ui::key::F1);
    h.runtime.advance(100);
    EXPECT_EQ(countPlayed(h, "help_snd.wav"), 2);
    EXPECT_EQ(h.app.state.busy, 0);
}

} // namespace
