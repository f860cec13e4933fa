#include "games/game03/game03Frm.h"
#include "games/gameFrm.h"
#include "games_host.h"

#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>

using games::game03Frm;
using gamestest::countPlayed;
using gamestest::fileText;
using gamestest::open;

namespace {

constexpr ui::Color kWhite = ui::rgb(255, 255, 255);

struct Colouring : ::testing::Test {
    app::HeadlessHost h{SHIZI_MEDIA_DIR};
    game03Frm* game = nullptr;

    void openAt(int verse) {
        game = open<game03Frm>(h, "game03Frm", verse);
        ASSERT_NE(game, nullptr);
        ASSERT_EQ(h.app.state.busy, 0);
        ASSERT_GE(game->pictureNo, 1);
    }
    std::string gameFile(const std::string& rel) const { return h.folder() + "game/Game03/" + rel; }
    void press(int button) {
        const ui::Rect r = game->butnImg[button].rect();
        h.runtime.click(h.at(*game, r.x + r.w / 2, r.y + r.h / 2));
    }
    void click(ui::Point p, int button = 1) {
        h.runtime.mouseDown(h.at(*game, p.x, p.y), button);
        h.runtime.mouseUp(h.at(*game, p.x, p.y), button);
    }
    void pickSlot(int slot) { click(game->circleCentres[std::size_t(slot)]); }
    // Lets the queued cue play and forgets what played before.
    void settle() { h.runtime.advance(3000); }
    // The effects played since the log was cleared (the music aside).
    std::vector<std::string> effects() {
        std::vector<std::string> wav;
        for (const std::string& f : h.media.played())
            if (f.size() > 4 && f.substr(f.size() - 4) == ".wav")
                wav.push_back(f);
        return wav;
    }
    ui::Color at(ui::Point p) const { return game->screenPic.surface().pixel(p.x, p.y); }

    // The drawing's region map as the test reads it: code per pixel of the
    // area, top row first.
    std::vector<std::uint8_t> readMap() {
        std::ifstream in(gameFile(game->pictureName + "C.bmp"), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), {}};
        const ui::Rect a = game->colourArea;
        const int row = (a.w + 3) / 4 * 4;
        std::vector<std::uint8_t> map(std::size_t(a.w * a.h), 21);
        for (int y = 0; y < a.h; ++y)
            for (int x = 0; x < a.w; ++x) {
                const std::size_t at = 146 + std::size_t((a.h - 1 - y) * row + x);
                if (at < bytes.size())
                    map[std::size_t(y * a.w + x)] = std::uint8_t(bytes[at]);
            }
        return map;
    }
    // A point of the screen well inside each region, by code.
    std::map<int, ui::Point> regionPoints() {
        const auto map = readMap();
        const ui::Rect a = game->colourArea;
        auto code = [&](int x, int y) { return map[std::size_t(y * a.w + x)]; };
        std::map<int, ui::Point> points;
        for (int y = 3; y < a.h - 3; ++y)
            for (int x = 3; x < a.w - 3; ++x) {
                const int c = code(x, y);
                if (c == 21 || points.count(c))
                    continue;
                if (code(x - 3, y) == c && code(x + 3, y) == c && code(x, y - 3) == c &&
                    code(x, y + 3) == c)
                    points[c] = {a.x + x, a.y + y};
            }
        return points;
    }
    ui::Point outlinePoint() {
        const auto map = readMap();
        const ui::Rect a = game->colourArea;
        for (int y = 10; y < a.h; ++y)
            for (int x = 10; x < a.w; ++x)
                if (map[std::size_t(y * a.w + x)] == 21)
                    return {a.x + x, a.y + y};
        return {};
    }
    int rightSlot(int code) const { return game->charOrder[std::size_t(code % 10 + 1)] - 1; }
    int wrongSlot(int code) const { return (rightSlot(code) + 1) % 10; }
    // Colours every region but `leave` with its right colour.
    void colourAllBut(const std::map<int, ui::Point>& points, int leave) {
        for (const auto& [code, p] : points) {
            if (code == leave)
                continue;
            pickSlot(rightSlot(code));
            click(p);
        }
    }
    // The last character spoken: a range of a word file.
    std::optional<media::MediaCommand> lastSpoken() {
        const auto ranges = h.media.commands(media::MediaCommand::Kind::PlayRange);
        if (ranges.empty())
            return std::nullopt;
        return ranges.back();
    }
};

TEST_F(Colouring, TheScreenShowsTheDrawingTheWordsAndTheTenPaletteColours) {
    openAt(20);
    EXPECT_EQ(game->pictureCount, 10);
    EXPECT_EQ(game->circleCentres.size(), 10u);
    EXPECT_EQ(game->wordSlots.size(), 10u);
    ASSERT_EQ(game->butnImg.ubound(), 3);
    std::set<ui::Color> colours;
    for (int k = 0; k < 10; ++k) {
        const ui::Point c = game->circleCentres[std::size_t(k)];
        EXPECT_EQ(at(c), game->paletteColours[std::size_t(k)]);
        colours.insert(game->paletteColours[std::size_t(k)]);
    }
    EXPECT_EQ(colours.size(), 10u);
    EXPECT_FALSE(colours.count(kWhite));
    EXPECT_FALSE(colours.count(ui::rgb(0, 0, 0)));
    // Every drawing region starts white; the swatch is white until a choice.
    for (const auto& [code, p] : regionPoints())
        EXPECT_EQ(at(p), kWhite) << "code " << code;
    EXPECT_EQ(at(game03Frm::kSwatch), kWhite);
    // Slot k shows character k + 1 of the puzzle, 29 x 29 scaled to 24 x 24.
    const ui::Picture strip = game->areaPic[1];
    ASSERT_EQ(strip.width(), 290);
    for (int k = 0; k < 10; ++k) {
        const ui::Point w = game->wordSlots[std::size_t(k)];
        for (int y = 0; y < 24; y += 5)
            for (int x = 0; x < 24; x += 5)
                ASSERT_EQ(at({w.x + x, w.y + y}), strip.pixel(29 * k + x * 29 / 24, y * 29 / 24));
    }
    // The puzzle: ten characters of the verses reached, all sounding apart.
    std::set<std::string> readings;
    std::set<int> order;
    for (int i = 1; i <= 10; ++i) {
        const auto& c = game->puzzle[std::size_t(i)];
        EXPECT_GE(c.verse, 1);
        EXPECT_LE(c.verse, 20);
        readings.insert(c.reading);
        order.insert(game->charOrder[std::size_t(i)]);
    }
    EXPECT_EQ(readings.size(), 10u);
    EXPECT_EQ(order, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST_F(Colouring, ClicksWithoutAColourOrOnInkChangeNothingButTheCue) {
    openAt(5);
    const auto points = regionPoints();
    const auto [code, p] = *points.begin();
    h.media.clearLog();
    click(p); // no colour chosen yet
    settle();
    EXPECT_EQ(at(p), kWhite);
    EXPECT_TRUE(effects().empty());
    EXPECT_EQ(game->score, 0);

    pickSlot(rightSlot(code));
    settle();
    EXPECT_EQ(countPlayed(h, "color.wav"), 1);
    EXPECT_EQ(at(game03Frm::kSwatch), game->paletteColours[std::size_t(rightSlot(code))]);
    h.media.clearLog();
    click(outlinePoint());
    settle();
    EXPECT_EQ(countPlayed(h, "err.wav"), 1);
    EXPECT_EQ(game->selectedSlot, rightSlot(code)); // the choice is kept
    EXPECT_EQ(game->score, 0);

    click(p);
    settle();
    EXPECT_EQ(at(p), game->paletteColours[std::size_t(rightSlot(code))]);
    EXPECT_EQ(game->score, 10);
    EXPECT_EQ(game->filledCount, 1);
    EXPECT_EQ(game->selectedSlot, -1);
    EXPECT_EQ(at(game03Frm::kSwatch), kWhite);
    EXPECT_EQ(countPlayed(h, "ok.wav"), 1);
    // A coloured pixel is no longer a target, even with the right colour.
    pickSlot(rightSlot(code));
    h.media.clearLog();
    click(p);
    settle();
    EXPECT_EQ(countPlayed(h, "err.wav"), 1);
    EXPECT_EQ(game->selectedSlot, rightSlot(code));
    EXPECT_EQ(game->filledCount, 1);
    // A click beside every circle drops the choice and clears the swatch.
    click({game->circleCentres[0].x + 30, game->circleCentres[0].y + 1});
    EXPECT_EQ(game->selectedSlot, -1);
    EXPECT_EQ(at(game03Frm::kSwatch), kWhite);
}

TEST_F(Colouring, AWrongColourCostsTenLeavesTheRegionWhiteAndClearsTheChoice) {
    openAt(5);
    const auto [code, p] = *regionPoints().begin();
    pickSlot(wrongSlot(code));
    h.media.clearLog();
    click(p);
    settle();
    EXPECT_EQ(game->score, -10);
    EXPECT_EQ(at(p), kWhite);
    EXPECT_EQ(game->selectedSlot, -1);
    EXPECT_EQ(game->filledCount, 0);
    EXPECT_EQ(at(game03Frm::kSwatch), kWhite);
    EXPECT_EQ(countPlayed(h, "err.wav"), 1);
    // The read-out shows the loss: a minus in the first cell.
    const ui::Picture& digits = game->areaPic[2];
    bool sameAsDigit = true;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 7; ++x)
            sameAsDigit = sameAsDigit && at({510 + x, 286 + y}) == digits.pixel(x, y);
    EXPECT_FALSE(sameAsDigit);
    // The last cell shows 0 (for -10).
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(at({538 + x, 286 + y}), digits.pixel(x, y));
}

TEST_F(Colouring, RightClickSpeaksTheRegionsCharacterOnlyOverWhiteRegionPixels) {
    openAt(30);
    const auto points = regionPoints();
    for (const auto& [code, p] : points) {
        h.media.clearLog();
        click(p, 2);
        settle();
        const auto& c = game->puzzle[std::size_t(game->charOrder[std::size_t(code % 10 + 1)])];
        EXPECT_EQ(h.app.state.cueVerse, c.verse) << "code " << code;
        EXPECT_EQ(h.app.state.cueCharPos, c.position);
        char file[32];
        std::snprintf(file, sizeof file, "word%02d.wav", (c.verse - 1) / 7 + 1);
        const auto last = lastSpoken();
        ASSERT_TRUE(last);
        EXPECT_EQ(last->file.substr(last->file.rfind('/') + 1), file);
        EXPECT_EQ(last->startMs, double(((c.verse - 1) % 7 * 14 + c.position - 1) * 1500));
    }
    // Silent on an outline and on a coloured pixel.
    const auto [code, p] = *points.begin();
    pickSlot(rightSlot(code));
    click(p);
    settle();
    h.media.clearLog();
    click(p, 2);
    click(outlinePoint(), 2);
    settle();
    EXPECT_TRUE(effects().empty());
}

TEST_F(Colouring, CodesTenApartWantTheSameCharacterAndTheSameColour) {
    openAt(30);
    // Find a drawing with more than ten regions.
    for (int n = 0; n < game->pictureCount && regionPoints().size() <= 10; ++n)
        press(game03Frm::Picture);
    const auto points = regionPoints();
    ASSERT_GT(points.size(), 10u);
    const ui::Point a = points.at(0), b = points.at(10);
    click(a, 2);
    settle();
    const float verse = h.app.state.cueVerse, pos = h.app.state.cueCharPos;
    h.app.state.cueVerse = 0;
    click(b, 2);
    settle();
    EXPECT_EQ(h.app.state.cueVerse, verse);
    EXPECT_EQ(h.app.state.cueCharPos, pos);
    const int slot = rightSlot(0);
    pickSlot(slot);
    click(a);
    pickSlot(slot);
    click(b);
    EXPECT_EQ(at(a), game->paletteColours[std::size_t(slot)]);
    EXPECT_EQ(at(b), game->paletteColours[std::size_t(slot)]);
    EXPECT_EQ(game->score, 20);
}

TEST_F(Colouring, ColouringTheWholeDrawingPlaysVictoryOnceAndFillsExactlyTheRegions) {
    openAt(10);
    const auto points = regionPoints();
    ASSERT_EQ(int(points.size()), game->regionCounts[std::size_t(game->pictureNo)]);
    const int last = points.rbegin()->first;
    colourAllBut(points, last);
    settle();
    EXPECT_EQ(countPlayed(h, "victory.wav"), 0);
    pickSlot(rightSlot(last));
    click(points.at(last));
    settle();
    EXPECT_EQ(countPlayed(h, "victory.wav"), 1);
    EXPECT_EQ(game->filledCount, int(points.size()));
    EXPECT_EQ(game->score, 10 * int(points.size()));
    // Every pixel of the area is now ink or the colour its region wants.
    const auto map = readMap();
    const ui::Rect a = game->colourArea;
    for (int y = 0; y < a.h; ++y)
        for (int x = 0; x < a.w; ++x) {
            const int c = map[std::size_t(y * a.w + x)];
            const ui::Color want =
                c == 21 ? ui::rgb(0, 0, 0) : game->paletteColours[std::size_t(rightSlot(c))];
            ASSERT_EQ(at({a.x + x, a.y + y}), want) << x << "," << y;
        }
}

TEST_F(Colouring, NewCharactersWhitensTheDrawingAndDealsOtherCharactersAndColours) {
    openAt(60);
    const auto points = regionPoints();
    const auto [code, p] = *points.begin();
    pickSlot(rightSlot(code));
    click(p);
    pickSlot(3);
    const int picture = game->pictureNo;
    const auto before = game->puzzle;
    const auto coloursBefore = game->paletteColours;
    press(game03Frm::NewCharacters);
    EXPECT_EQ(h.app.state.busy, 0);
    EXPECT_EQ(game->pictureNo, picture);
    EXPECT_EQ(game->filledCount, 0);
    EXPECT_EQ(game->score, 10); // the score carries on
    EXPECT_EQ(game->selectedSlot, -1);
    EXPECT_EQ(at(game03Frm::kSwatch), kWhite);
    for (const auto& [c, q] : points)
        EXPECT_EQ(at(q), kWhite) << "code " << c;
    int sameCharacters = 0;
    for (int i = 1; i <= 10; ++i)
        sameCharacters +=
            before[std::size_t(i)].character == game->puzzle[std::size_t(i)].character;
    EXPECT_LT(sameCharacters, 10);
    EXPECT_NE(coloursBefore, game->paletteColours);
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(at(game->circleCentres[std::size_t(k)]), game->paletteColours[std::size_t(k)]);
    EXPECT_EQ(countPlayed(h, "click01.wav"), 1);
}

TEST_F(Colouring, ThePictureButtonVisitsEveryDrawingInTurn) {
    openAt(5);
    std::set<int> seen{game->pictureNo};
    const int first = game->pictureNo;
    const auto [code, p] = *regionPoints().begin();
    pickSlot(rightSlot(code));
    click(p);
    for (int n = 1; n < game->pictureCount; ++n) {
        press(game03Frm::Picture);
        EXPECT_EQ(game->filledCount, 0);
        EXPECT_EQ(game->pictureName, "pics/fill" + std::string(game->pictureNo < 10 ? "0" : "") +
                                         std::to_string(game->pictureNo));
        seen.insert(game->pictureNo);
    }
    EXPECT_EQ(int(seen.size()), game->pictureCount);
    press(game03Frm::Picture);
    EXPECT_EQ(game->pictureNo, first);
    EXPECT_EQ(at(p), kWhite); // the drawing starts uncoloured again
}

TEST_F(Colouring, TheBestScoreIsRewrittenOnlyWhenBeaten) {
    const std::string best = h.folder() + "game/Game03/data/data.txt";
    core::writeLines(best, {"20", "10"});
    openAt(5);
    EXPECT_EQ(game->bestScore, 20);
    auto points = regionPoints();
    auto it = points.begin();
    for (int k = 0; k < 2; ++k, ++it) {
        pickSlot(rightSlot(it->first));
        click(it->second);
    }
    EXPECT_EQ(game->score, 20);
    EXPECT_EQ(fileText(best), "20|10|");
    pickSlot(rightSlot(it->first));
    click(it->second);
    EXPECT_EQ(game->bestScore, 30);
    EXPECT_EQ(fileText(best), " 30| 10|");
    // The best read-out shows 00030.
    const ui::Picture& digits = game->areaPic[2];
    for (int k = 0; k < 5; ++k) {
        const int d = k == 3 ? 3 : 0;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 7; ++x)
                ASSERT_EQ(at({577 + 7 * k + x, 286 + y}), digits.pixel(7 * d + x, y));
    }
}

TEST_F(Colouring, PointersFollowWhatIsUnderTheMouse) {
    openAt(5);
    const auto [code, p] = *regionPoints().begin();
    auto pointerAt = [&](ui::Point q) {
        h.runtime.mouseMove(h.at(*game, q.x, q.y));
        return game->screenPic.mousePointer().shape;
    };
    EXPECT_EQ(pointerAt(p), ui::CursorShape::ArrowQuestion);
    EXPECT_EQ(pointerAt(outlinePoint()), ui::CursorShape::NoDrop);
    const ui::Point c = game->circleCentres[4];
    EXPECT_EQ(pointerAt({c.x + 10, c.y - 10}), ui::CursorShape::Crosshair);
    EXPECT_EQ(pointerAt({c.x + 11, c.y}), ui::CursorShape::Default);
    // Hovering a button lights it; leaving it for the screen clears it.
    const ui::Rect b = game->butnImg[game03Frm::Help].rect();
    h.runtime.mouseMove(h.at(*game, b.x + 5, b.y + 5));
    EXPECT_EQ(game->hoveredButton, game03Frm::Help);
    EXPECT_FALSE(game->butnImg[game03Frm::Help].picture().empty());
    pointerAt({630, 470});
    EXPECT_EQ(game->hoveredButton, -1);
    EXPECT_TRUE(game->butnImg[game03Frm::Help].picture().empty());
}

TEST_F(Colouring, BackReturnsToTheHubAndMusicRunsMeanwhile) {
    openAt(5);
    h.runtime.advance(1100);
    EXPECT_NE(h.app.state.musicPlaying, 0);
    h.app.state.busy = -1; // the keys wait while a command runs
    h.runtime.keyDown(ui::key::F1);
    h.app.state.busy = 0;
    settle();
    EXPECT_EQ(countPlayed(h, "help_snd.wav"), 0);
    h.runtime.keyDown(ui::key::F1);
    settle();
    EXPECT_EQ(countPlayed(h, "help_snd.wav"), 1);
    // A press that slides off a button before the release does nothing.
    const int picture = game->pictureNo;
    const ui::Rect r = game->butnImg[game03Frm::Picture].rect();
    h.runtime.mouseDown(h.at(*game, r.x + 5, r.y + 5));
    h.runtime.mouseUp(h.at(*game, r.x - 40, r.y + 5));
    EXPECT_EQ(game->pictureNo, picture);
    press(game03Frm::Back);
    h.runtime.advance(0);
    EXPECT_EQ(h.find<game03Frm>(), nullptr);
    EXPECT_NE(h.find<games::gameFrm>(), nullptr);
    EXPECT_EQ(countPlayed(h, "return.wav"), 1);
}

TEST_F(Colouring, AnIdleGameShowsNothingNewAndAChoiceShowsOnlyTheSwatch) {
    openAt(5);
    h.runtime.frame();
    const int presents = h.display.presentCount();
    h.runtime.advance(5000); // the music timer ticks meanwhile
    h.runtime.frame();
    EXPECT_EQ(h.display.presentCount(), presents);
    pickSlot(7);
    h.runtime.frame();
    const ui::Rect shown = h.display.lastRegion();
    EXPECT_FALSE(shown.empty());
    EXPECT_TRUE(shown.contains(game03Frm::kSwatch));
    EXPECT_LE(shown.w * shown.h, 100 * 100);
}

TEST_F(Colouring, DrawingsAreFoundWithoutTheirCountOrTheirRegionCounts) {
    h.start();
    // No number of drawings in the best-score file, no "colorNum:" lines.
    core::writeLines(gameFile("data/data.txt"), {"40"});
    auto layout = core::readLines(gameFile("data/pos_size.txt"));
    ASSERT_TRUE(layout);
    std::vector<std::string> counts, rest;
    for (const std::string& l : *layout)
        (l.rfind("colorNum:", 0) == 0 ? counts : rest).push_back(l);
    core::writeLines(gameFile("data/pos_size.txt"), rest);
    openAt(5);
    EXPECT_EQ(game->bestScore, 40);
    EXPECT_EQ(game->pictureCount, 10); // the drawings on disk
    // Each drawing's region count comes from its map.
    for (int n = 0; n < 3; ++n) {
        EXPECT_EQ(int(regionPoints().size()), game->regionCounts[std::size_t(game->pictureNo)]);
        press(game03Frm::Picture);
    }
    // With some lines but no number, the lines count the drawings.
    rest.insert(rest.end(), counts.begin(), counts.begin() + 3);
    core::writeLines(gameFile("data/pos_size.txt"), rest);
    press(game03Frm::Back);
    h.runtime.advance(0);
    openAt(5);
    EXPECT_EQ(game->pictureCount, 3);
    EXPECT_LE(game->pictureNo, 3);
}

TEST_F(Colouring, VersesWithTooFewReadingsStillDealTenFromTheVersesAfterThem) {
    h.start();
    // Every character of verse 1 reads alike.
    auto lines = core::readLines(h.folder() + "data/tav_snd.txt");
    ASSERT_TRUE(lines);
    (*lines)[0] = "001/a/a/a/a/a/a/a/a/a/a/a/a/a/a";
    core::writeLines(h.folder() + "data/tav_snd.txt", *lines);
    openAt(1);
    std::set<std::string> readings;
    int fromVerse1 = 0;
    for (int i = 1; i <= 10; ++i) {
        readings.insert(game->puzzle[std::size_t(i)].reading);
        fromVerse1 += game->puzzle[std::size_t(i)].verse == 1;
    }
    EXPECT_EQ(readings.size(), 10u);
    EXPECT_EQ(fromVerse1, 1);
}

TEST_F(Colouring, AShortColourListIsCompletedWithoutBlackWhiteOrRepeats) {
    h.start();
    core::writeLines(gameFile("data/color.txt"), {"255", "0", "16777215", "255", "65280", "junk"});
    openAt(3);
    std::set<ui::Color> colours(game->paletteColours.begin(), game->paletteColours.end());
    EXPECT_EQ(colours.size(), 10u);
    EXPECT_FALSE(colours.count(kWhite));
    EXPECT_FALSE(colours.count(ui::rgb(0, 0, 0)));
    // Red (line 4, the same as the spare first line) and green are offered.
    EXPECT_TRUE(colours.count(ui::rgb(255, 0, 0)));
    EXPECT_TRUE(colours.count(ui::rgb(0, 255, 0)));
}

} // namespace
