// The pearl game's movement rules on small hand-made path networks, with
// exact positions: the head and its turns, the string of caught pearls, the
// nest and its releases, free pearls, blocking and the touch test.
#include "games/game04/PearlMoves.h"

#include <gtest/gtest.h>
#include <set>

using namespace games::pearl;

namespace {

PathPoint pt(int x, int y, const char* exits) {
    PathPoint p;
    p.x = std::int16_t(x);
    p.y = std::int16_t(y);
    for (std::size_t e = 0; e < 4; ++e)
        p.exits[e] = exits[e] == '1';
    return p;
}

// A rnd that returns the given values in turn, then repeats the last.
Rnd sequence(std::vector<double> v) {
    auto next = std::make_shared<std::size_t>(0);
    return [v, next] {
        const double r = v[std::min(*next, v.size() - 1)];
        ++*next;
        return r;
    };
}

struct Head : ::testing::Test {
    Board b;
    void place(int x, int y, std::int16_t dir) {
        b.headX = x;
        b.headY = y;
        b.headDir = dir;
    }
};

TEST(Directions, OppositeSwapsLeftRightAndUpDown) {
    EXPECT_EQ(oppositeDirection(Left), Right);
    EXPECT_EQ(oppositeDirection(Right), Left);
    EXPECT_EQ(oppositeDirection(Up), Down);
    EXPECT_EQ(oppositeDirection(Down), Up);
}

TEST_F(Head, StopsOnAPointWhoseExitIsClosed) {
    b.pathPoints = {pt(200, 100, "0010"), pt(300, 100, "1000")};
    place(203, 100, Left);
    b.arrowDown(Left);
    b.headStep();
    EXPECT_EQ(b.headX, 200);
    b.headStep();
    b.headStep();
    EXPECT_EQ(b.headX, 200);
    EXPECT_EQ(b.headY, 100);
    // The way back is open.
    b.arrowUp(Left);
    b.arrowDown(Right);
    b.headStep();
    EXPECT_EQ(b.headX, 205);
}

TEST_F(Head, MovesOnlyWhileTheKeyOfItsDirectionIsHeld) {
    b.pathPoints = {pt(100, 100, "0010"), pt(300, 100, "1000")};
    place(200, 100, Left);
    b.headStep();
    EXPECT_EQ(b.headX, 200);
    b.arrowDown(Left);
    b.headStep();
    b.headStep();
    EXPECT_EQ(b.headX, 190);
    b.arrowUp(Left);
    b.headStep();
    EXPECT_EQ(b.headX, 190);
}

TEST_F(Head, ATurnSnapsWithin20AndOnlyCountsTheKeyBeyond) {
    b.pathPoints = {pt(300, 100, "0110"), pt(300, 40, "0001")};
    place(315, 100, Left);
    b.arrowDown(Up);
    EXPECT_EQ(b.headDir, Up);
    EXPECT_EQ(b.headX, 300);
    EXPECT_EQ(b.headY, 100);

    place(325, 100, Left);
    b.keyHeld = {};
    b.arrowDown(Up);
    EXPECT_EQ(b.headDir, Left);
    EXPECT_EQ(b.headX, 325);
    EXPECT_TRUE(b.held(Up));
    b.headStep();
    EXPECT_EQ(b.headX, 325) << "no key of its direction held: it stands";
}

TEST_F(Head, ReversesAtOnceBetweenPoints) {
    b.pathPoints = {pt(100, 100, "0010"), pt(400, 100, "1000")};
    place(250, 100, Left);
    b.arrowDown(Left);
    b.arrowDown(Right);
    EXPECT_EQ(b.headDir, Right);
    EXPECT_EQ(b.headX, 250);
    b.headStep();
    EXPECT_EQ(b.headX, 255);
}

TEST_F(Head, TurnsAtAPointByTheHeldKeysInItsOrder) {
    // Moving left onto a crossing with up and down both held (left not):
    // up comes first.
    b.pathPoints = {pt(200, 200, "1111")};
    place(205, 200, Left);
    b.keyHeld = {false, true, false, true};
    b.headStep();
    EXPECT_EQ(b.headDir, Up);
    EXPECT_EQ(b.headX, 200);
    EXPECT_EQ(b.headY, 200);
    // Moving down with left and right held: left comes before right.
    place(200, 195, Down);
    b.keyHeld = {true, false, true, false};
    b.headStep();
    EXPECT_EQ(b.headDir, Left);
    // The key of its own direction wins over any turn.
    place(200, 195, Down);
    b.keyHeld = {true, false, false, true};
    b.headStep();
    EXPECT_EQ(b.headDir, Down);
    EXPECT_EQ(b.headY, 200);
}

// ---- the string --------------------------------------------------------------------

TEST(String, FollowsThirtyBehindAndBendsRoundACorner) {
    Board b;
    b.pathPoints = {pt(300, 200, "0110"), pt(300, 100, "0001"), pt(400, 200, "1000")};
    b.headX = 350;
    b.headY = 200;
    b.headDir = Left;
    b.nextPearl = 2;
    b.pearl(1).state = Caught;
    b.attachPearl(1);
    EXPECT_EQ(b.pearl(1).x, 380);
    EXPECT_EQ(b.pearl(1).y, 200);
    b.arrowDown(Left);
    for (int k = 0; k < 4; ++k)
        b.headStep();
    EXPECT_EQ(b.headX, 330);
    EXPECT_EQ(b.pearl(1).x, 360);
    // Left is closed at the corner: the head stops on it, and the string
    // stops with it.
    for (int k = 0; k < 10; ++k)
        b.headStep();
    EXPECT_EQ(b.headX, 300);
    EXPECT_EQ(b.pearl(1).x, 330);
    b.arrowUp(Left);
    b.arrowDown(Up);
    for (int k = 0; k < 4; ++k)
        b.headStep();
    EXPECT_EQ(b.headY, 180);
    EXPECT_EQ(b.pearl(1).x, 310);
    EXPECT_EQ(b.pearl(1).y, 200);
    EXPECT_EQ(b.pearl(1).dir, Left);
    for (int k = 0; k < 2; ++k)
        b.headStep();
    EXPECT_EQ(b.headY, 170);
    EXPECT_EQ(b.pearl(1).x, 300);
    EXPECT_EQ(b.pearl(1).y, 200);
    EXPECT_EQ(b.pearl(1).dir, Up);
    b.headStep();
    EXPECT_EQ(b.pearl(1).y, 195);
}

TEST(String, AttachesOnTheBranchBehindACorner) {
    Board b;
    // The head has just come up from a corner 10 below it: the first way
    // other than its own direction at that point, in the order left, up,
    // right, down, takes the pearl.
    b.pathPoints = {pt(300, 200, "0110")};
    b.headX = 300;
    b.headY = 190;
    b.headDir = Up;
    b.attachPearl(1);
    EXPECT_EQ(b.pearl(1).x, 320);
    EXPECT_EQ(b.pearl(1).y, 200);
    EXPECT_EQ(b.pearl(1).dir, Left);
}

// ---- free pearls -----------------------------------------------------------------------

// Every way a pearl arriving in `current` takes, over draws spread evenly.
std::set<int> waysTaken(std::int16_t current, const std::array<bool, 4>& exits) {
    std::set<int> seen;
    for (int k = 0; k < 20; ++k)
        seen.insert(pickPearlDirection(current, exits, [k] { return k / 20.0; }));
    return seen;
}

TEST(FreePearls, ArrivingLeftWithExitsLeftAndUpNeverTurnsBack) {
    EXPECT_EQ(waysTaken(Left, {true, true, false, false}), (std::set<int>{Left, Up}));
    EXPECT_EQ(waysTaken(Left, {true, true, true, true}), (std::set<int>{Left, Up, Down}));
}

TEST(FreePearls, ArrivingLeftWithExitsRightAndUpMayGoUpOrBack) {
    EXPECT_EQ(waysTaken(Left, {false, true, true, false}), (std::set<int>{Up, Right}));
}

TEST(FreePearls, APointWithoutWaysTurnsThePearlBackInsteadOfDrawingForever) {
    int draws = 0;
    const Rnd counting = [&] {
        ++draws;
        return 0.5;
    };
    EXPECT_EQ(pickPearlDirection(Left, {false, false, false, false}, counting), Right);
    EXPECT_EQ(pickPearlDirection(Down, {false, false, false, false}, counting), Up);
    EXPECT_EQ(draws, 0);
    // A dead end: the only way is back.
    EXPECT_EQ(pickPearlDirection(Left, {false, false, true, false}, counting), Right);
}

TEST(FreePearls, TurnBackInsteadOfComingWithin30OfAnother) {
    Board b;
    b.pathPoints = {pt(270, 125, "0010"), pt(210, 180, "1000"), pt(100, 250, "0010"),
                    pt(600, 250, "1000")};
    for (int i = 1; i <= 14; ++i) {
        b.pearl(i).out = 0;
        b.pearl(i).x = 240;
        b.pearl(i).y = 150;
    }
    b.exitBusy = true; // nothing leaves the nest
    auto freeAt = [&](int i, int x, int y, std::int16_t dir) {
        b.pearl(i) = {x, y, dir, Free, 1, 0};
    };
    freeAt(1, 400, 250, Right);
    freeAt(2, 435, 250, Left);
    b.headX = b.headY = -1000;
    const Rnd half = [] { return 0.5; };
    // 1 steps to 405 (30 from 2 at 435: allowed); 2 then finds 1 at 25 and turns back.
    b.pearlTick(half, nullptr);
    EXPECT_EQ(b.pearl(1).x, 405);
    EXPECT_EQ(b.pearl(2).x, 435);
    EXPECT_EQ(b.pearl(2).dir, Right);
    b.pearlTick(half, nullptr);
    EXPECT_EQ(b.pearl(1).x, 405) << "a step to 410 comes within 25 of pearl 2";
    EXPECT_EQ(b.pearl(2).x, 440);
    EXPECT_EQ(b.pearl(1).dir, Left);
    // On the row of nest exit 1 pearls pass each other.
    freeAt(1, 300, 125, Right);
    freeAt(2, 320, 125, Left);
    b.pathPoints.push_back(pt(500, 125, "1000"));
    b.pearlTick(half, nullptr);
    EXPECT_EQ(b.pearl(1).x, 305);
    EXPECT_EQ(b.pearl(2).x, 315);
}

TEST(FreePearls, TwoPearlsCloserThan30CanStillMoveApart) {
    // They meet where a path crosses the exit row: off the row, each may
    // step away from the other but not towards it.
    Board b;
    b.pathPoints = {pt(270, 125, "0010"), pt(210, 125, "1000"), pt(400, 50, "0001"),
                    pt(400, 300, "0100")};
    b.exitBusy = true;
    for (int i = 1; i <= 14; ++i)
        b.pearl(i) = {240, 150, None, InNest, 0, 0};
    b.pearl(1) = {400, 140, Up, Free, 1, 0};
    b.pearl(2) = {400, 160, Up, Free, 1, 0};
    b.headX = b.headY = -1000;
    const Rnd half = [] { return 0.5; };
    b.pearlTick(half, nullptr);
    EXPECT_EQ(b.pearl(1).y, 135) << "away from 2";
    EXPECT_EQ(b.pearl(2).y, 160) << "towards 1: turned back";
    EXPECT_EQ(b.pearl(2).dir, Down);
    b.pearlTick(half, nullptr);
    EXPECT_EQ(b.pearl(1).y, 130);
    EXPECT_EQ(b.pearl(2).y, 165);
}

// ---- the nest ------------------------------------------------------------------------------

struct Nest : ::testing::Test {
    Board b;
    void SetUp() override {
        b.pathPoints = {pt(270, 125, "0010"), pt(210, 180, "1000"), pt(400, 125, "1000"),
                        pt(100, 180, "0010")};
        b.startRound([] { return 0.5; });
        b.headX = b.headY = -1000;
    }
};

TEST_F(Nest, ReleasesOnePearlPerTickAtTheExitDrawnAndClearsTheExitOnItsFirstStep) {
    // Pearl 1 is put on exit 2 (a draw of 0.5 or more) and leaves there.
    b.pearlTick([] { return 0.7; }, nullptr);
    EXPECT_EQ(b.pearl(1).out, 1);
    EXPECT_EQ(b.pearl(1).state, Free);
    EXPECT_EQ(b.pearl(1).x, 210);
    EXPECT_EQ(b.pearl(1).dir, Left);
    EXPECT_TRUE(b.exitBusy);
    EXPECT_EQ(b.pearlsOut, 1);
    EXPECT_EQ(b.pearl(2).out, 0) << "the tick ended with the release";
    // Next tick: pearl 1 steps off exit 2, which frees it for pearl 2 (exit 1).
    b.pearlTick([] { return 0.2; }, nullptr);
    EXPECT_EQ(b.pearl(1).x, 205);
    EXPECT_EQ(b.pearl(2).out, 1);
    EXPECT_EQ(b.pearl(2).x, 270);
    EXPECT_EQ(b.pearl(2).dir, Right);
    EXPECT_EQ(b.pearlsOut, 2);
}

TEST_F(Nest, PearlEightWaitsForItsTurn) {
    for (int i = 1; i <= 7; ++i)
        b.pearl(i) = {100 + 40 * i, 400, Right, Free, 1, 0};
    b.pathPoints.push_back(pt(100, 400, "0010"));
    b.pathPoints.push_back(pt(600, 400, "1000"));
    b.pearlsOut = 7;
    auto tryPearl8 = [&](std::int16_t next) {
        b.nextPearl = next;
        b.exitBusy = false;
        b.pearl(8) = {254, 125, None, InNest, 0, 0};
        for (int i = 9; i <= 14; ++i)
            b.pearl(i) = {225, 209, None, InNest, 0, 0};
        // 0.0: the jiggle grows by 1 and is held at the nest's edge.
        b.pearlTick([] { return 0.0; }, nullptr);
        return b.pearl(8).out == 1;
    };
    EXPECT_FALSE(tryPearl8(2)) << "7 out, 2 next: 5 pearls between, not 6";
    EXPECT_TRUE(tryPearl8(1));
    b.pearlsOut = 7;
    EXPECT_TRUE(tryPearl8(8));
}

TEST_F(Nest, JigglingStaysInsideTheNest) {
    for (int t = 0; t < 200; ++t) {
        b.exitBusy = true;
        b.pearlTick([t] { return (t * 37 % 100) / 100.0; }, nullptr);
        for (int i = 8; i <= 14; ++i) {
            EXPECT_GE(b.pearl(i).x, 225);
            EXPECT_LE(b.pearl(i).x, 254);
            EXPECT_GE(b.pearl(i).y, 95);
            EXPECT_LE(b.pearl(i).y, 209);
        }
    }
}

TEST(NestWithoutExits, KeepsEveryPearlInsideAndNeverReleases) {
    Board b;
    b.startRound([] { return 0.3; });
    b.headX = b.headY = -1000;
    for (int t = 0; t < 50; ++t)
        EXPECT_EQ(b.pearlTick([t] { return (t % 10) / 10.0; }, nullptr), TickEnd::Running);
    EXPECT_EQ(b.pearlsOut, 0);
    for (int i = 1; i <= 14; ++i) {
        EXPECT_EQ(b.pearl(i).out, 0);
        EXPECT_TRUE(b.nestRect.contains({b.pearl(i).x, b.pearl(i).y}));
    }
}

// ---- touching ---------------------------------------------------------------------------

TEST_F(Nest, TheHeadCatchesPearlOneStillInTheNestAndItStaysCaught) {
    // Pearl 1 is put on exit 1 beside the head; the others go to exit 2.
    b.headX = 280;
    b.headY = 125;
    b.headDir = Right;
    b.exitBusy = true;
    std::vector<int> caught;
    b.pearlTick(sequence({0.2, 0.7}), [&](int i) { caught.push_back(i); });
    EXPECT_EQ(caught, (std::vector<int>{1}));
    EXPECT_EQ(b.pearl(1).state, Caught);
    EXPECT_EQ(b.nextPearl, 2);
    // Caught, it never goes back to an exit of the nest.
    b.headX = b.headY = -1000;
    b.exitBusy = false;
    b.pearlTick([] { return 0.2; }, nullptr);
    EXPECT_EQ(b.pearl(1).state, Caught);
    EXPECT_EQ(b.pearl(2).state, Free);
}

TEST_F(Nest, AWrongPearlLosesButCaughtOnesNeverCount) {
    b.exitBusy = true;
    b.pearl(1) = {500, 300, Left, Caught, 1, 0};
    b.pearl(2) = {100, 100, Left, Free, 1, 0};
    b.pearl(3) = {510, 300, Left, Free, 1, 0};
    b.nextPearl = 2;
    b.headX = 490;
    b.headY = 300;
    b.headDir = Right;
    EXPECT_EQ(b.pearlTick([] { return 0.5; }, nullptr), TickEnd::Lost);
    b.pearl(3) = {100, 400, Left, Free, 1, 0};
    EXPECT_EQ(b.pearlTick([] { return 0.5; }, nullptr), TickEnd::Running);
}

TEST_F(Nest, CatchingTheFourteenthWins) {
    for (int i = 1; i <= 13; ++i)
        b.pearl(i) = {100, 100 + i, Left, Caught, 1, 0};
    b.pearl(14) = {505, 300, Left, Free, 1, 0};
    b.nextPearl = 14;
    b.pearlsOut = 14;
    b.headX = 480;
    b.headY = 300;
    b.headDir = Right;
    EXPECT_EQ(b.pearlTick([] { return 0.5; }, nullptr), TickEnd::Won);
    EXPECT_EQ(b.nextPearl, 15);
    EXPECT_EQ(b.pearl(14).state, Caught);
}

} // namespace
