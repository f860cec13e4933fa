#include "games/game01/game01Frm.h"
#include "games/gameFrm.h"
#include "games_host.h"

#include <array>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>

using gamestest::countPlayed;
using gamestest::open;

namespace {

struct Hub : ::testing::Test {
    app::HeadlessHost h{SHIZI_MEDIA_DIR};
    games::gameFrm* hub = nullptr;

    void openWith(const std::vector<std::string>& circles) {
        h.start();
        core::writeLines(h.folder() + "data/game.txt", circles);
        hub = open<games::gameFrm>(h, "gameFrm");
        ASSERT_NE(hub, nullptr);
    }
    void point(int x, int y) { h.runtime.mouseMove(h.at(*hub, x, y)); }
};

// Circle 1 and 2 overlap; circle 1's right rim point (150, 100) lies inside 2.
const std::vector<std::string> kOverlapping = {"100 100  50", "140 100  50", "300 300  20",
                                               "300 350  20", "350 300  20", " 50 350  30"};

TEST_F(Hub, HoverPicksTheLowerCircleAndTheRimIsOutside) {
    openWith(kOverlapping);
    EXPECT_EQ(h.app.state.busy, 0);
    point(130, 100); // inside both
    EXPECT_EQ(hub->selectedCircle, 1);
    EXPECT_NE(hub->mousePointer().shape, ui::CursorShape::Default);
    point(150, 100); // on circle 1's rim, inside circle 2
    EXPECT_EQ(hub->selectedCircle, 2);
    point(100, 150); // on circle 1's rim only
    EXPECT_EQ(hub->selectedCircle, -1);
    EXPECT_EQ(hub->mousePointer().shape, ui::CursorShape::Default);
    point(50, 350);
    EXPECT_EQ(hub->selectedCircle, 6);
}

// Each 25 ms tick shows the next of the four pictures; what stays from the
// one before differs from it by no more than the compression's faint noise.
// Asked for, the drawing surface holds the picture shown.
TEST_F(Hub, EachTickShowsTheNextPictureAndTheSurfaceHoldsIt) {
    openWith(kOverlapping);
    std::array<ui::Picture, 4> pictures;
    for (int n = 0; n < 4; ++n)
        pictures[std::size_t(n)] =
            h.runtime.loadPicture(h.app.state.picPath + "game" + std::to_string(n + 1) + ".jpg");
    ASSERT_EQ(pictures[0].size(), (ui::Size{hub->width(), hub->height()}));
    std::set<int> seen;
    for (int tick = 0; tick < 6; ++tick) {
        h.runtime.advance(25);
        const ui::Picture& shown = pictures[std::size_t(hub->backdropFrame - 1)];
        seen.insert(hub->backdropFrame);
        const ui::Picture& screen = h.runtime.frame();
        int far = 0;
        for (int y = 0; y < hub->height(); ++y)
            for (int x = 0; x < hub->width(); ++x) {
                const ui::Color a = screen.pixel(hub->left() + x, hub->top() + y),
                                b = shown.pixel(x, y);
                far += std::abs(ui::red(a) - ui::red(b)) + std::abs(ui::green(a) - ui::green(b)) +
                           std::abs(ui::blue(a) - ui::blue(b)) >
                       24;
            }
        EXPECT_EQ(far, 0) << "tick " << tick;
    }
    EXPECT_EQ(seen.size(), 4u);
    EXPECT_EQ(hub->surface(), pictures[std::size_t(hub->backdropFrame - 1)]);
}

TEST_F(Hub, AClickOutsideEveryCircleLeavesTheHubIdle) {
    openWith(kOverlapping);
    point(200, 200);
    h.runtime.click(h.at(*hub, 200, 200));
    h.runtime.advance(100);
    EXPECT_EQ(h.app.state.busy, 0);
    EXPECT_EQ(h.find<games::gameFrm>(), hub);
    EXPECT_EQ(countPlayed(h, "entergm.wav"), 0);
    // F1 while idle asks for help.
    h.runtime.keyDown(ui::key::F1);
    h.runtime.advance(50);
    EXPECT_EQ(countPlayed(h, "help_snd.wav"), 1);
}

TEST_F(Hub, MusicRestartsOnTheNextTickAfterItEndsButNotOverAnEffect) {
    openWith(kOverlapping);
    h.runtime.advance(30);
    EXPECT_EQ(countPlayed(h, "qhzt.mid"), 1);
    EXPECT_EQ(h.app.state.musicPlaying, -1);
    // The tune ends: the next 25 ms tick starts it again.
    hub->FXSnd1_End();
    EXPECT_EQ(h.app.state.musicPlaying, 0);
    h.runtime.advance(26);
    EXPECT_EQ(countPlayed(h, "qhzt.mid"), 2);

    // An effect plays: the tune, once ended, waits for it.
    const long okMs = h.media.lengthOf(h.app.state.soundPath + "ok.wav");
    ASSERT_GT(okMs, 100);
    core::queueSound(h.app, 0);
    h.runtime.advance(20);
    ASSERT_EQ(h.app.state.soundPlaying, -1);
    hub->FXSnd1_End();
    h.runtime.advance(double(okMs) - 100);
    EXPECT_EQ(countPlayed(h, "qhzt.mid"), 2);
    h.runtime.advance(200);
    EXPECT_EQ(h.app.state.soundPlaying, 0);
    EXPECT_EQ(countPlayed(h, "qhzt.mid"), 3);
    const auto last = h.media.lastPlay();
    ASSERT_TRUE(last.has_value());
    EXPECT_NE(last->file.find("qhzt.mid"), std::string::npos);
}

TEST_F(Hub, CircleOneOpensTheCardGameAndItsBackButtonComesBackAfresh) {
    openWith(kOverlapping);
    h.runtime.advance(200); // the animation has moved on
    point(100, 100);
    h.runtime.click(h.at(*hub, 100, 100));
    h.runtime.advance(0);
    EXPECT_EQ(countPlayed(h, "entergm.wav"), 1);
    auto* game = h.find<games::game01Frm>();
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(h.find<games::gameFrm>(), nullptr);

    // The circles change while the game is played.
    core::writeLines(h.folder() + "data/game.txt", {"200 200  40", "140 100  50", "300 300  20",
                                                    "300 350  20", "350 300  20", " 50 350  30"});
    const ui::Rect back = game->butnImg[games::game01Frm::Back].rect();
    h.runtime.advance(2000);
    h.runtime.click(h.at(*game, back.x + back.w / 2, back.y + back.h / 2));
    h.runtime.advance(0);
    auto* again = h.find<games::gameFrm>();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(h.find<games::game01Frm>(), nullptr);
    EXPECT_EQ(again->picture(), h.runtime.loadPicture(h.app.state.picPath + "game1.jpg"));
    EXPECT_EQ(again->gameCircles[0].x, 200);
    EXPECT_EQ(again->gameCircles[0].r, 40);
    h.runtime.advance(100);
    EXPECT_EQ(countPlayed(h, "return.wav"), 1);
    EXPECT_EQ(h.app.state.busy, 0);
}

TEST(HubFromPearlGame, ReturnToGameHubLeavesForTheHub) {
    app::HeadlessHost h{SHIZI_MEDIA_DIR};
    auto* game = open<games::game01Frm>(h, "game01Frm", 3);
    ASSERT_NE(game, nullptr);
    h.app.state.pearlLevel = 2;
    core::returnToGameHub(h.app, *game);
    h.runtime.advance(100);
    EXPECT_EQ(h.app.state.pearlLevel, -1);
    EXPECT_NE(h.find<games::gameFrm>(), nullptr);
    EXPECT_EQ(h.find<games::game01Frm>(), nullptr);
    EXPECT_EQ(countPlayed(h, "return.wav"), 1);
}

} // namespace

namespace {

TEST_F(Hub, DamagedCircleLinesAreNamedAndTheCirclesStillWork) {
    h.start();
    // Negative numbers, bad code page 936 bytes, a circle off the screen.
    std::ofstream(h.folder() + "data/game.txt", std::ios::binary)
        << "-20 -92  54\r\n\x81\x20\xFE\xFF 178  54\r\n273 318  54\r\n127 318  54\r\n"
           "981 178  54\r\n200 212  44\r\n";
    testing::internal::CaptureStderr();
    hub = open<games::gameFrm>(h, "gameFrm");
    const std::string err = testing::internal::GetCapturedStderr();
    ASSERT_NE(hub, nullptr);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 3) << err;
    EXPECT_NE(err.find("data/game.txt line 1: \"-20 -92  54\""), std::string::npos) << err;
    EXPECT_NE(err.find("200 92 54 is used"), std::string::npos) << err;
    EXPECT_NE(err.find("line 2:"), std::string::npos) << err;
    EXPECT_NE(err.find("line 5:"), std::string::npos) << err;
    // Each damaged circle is where the hub's picture draws it, and answers.
    point(200, 92);
    EXPECT_EQ(hub->selectedCircle, 1);
    point(319, 178);
    EXPECT_EQ(hub->selectedCircle, 2);
    point(81, 178);
    EXPECT_EQ(hub->selectedCircle, 5);
}

} // namespace
