// Picture transitions: every number of the menu logo's cycle looks different
// half-way, and the program hears once that the transition has run.
#include "MediaTestKit.h"
#include "media/TransitionImage.h"
#include "ui/Form.h"

#include <gtest/gtest.h>
#include <map>

using namespace media;

namespace {

const int kCycle[] = {5,  6,  7,  8,  19, 20, 21,  22,  23,  24,  41,  42,  43,  44,  45, 49, 56,
                      57, 58, 59, 68, 69, 70, 71,  72,  73,  74,  75,  76,  77,  78,  79, 80, 81,
                      84, 85, 88, 89, 94, 95, 102, 103, 104, 105, 106, 107, 108, 109, 110};

struct Page : ui::Form {
    explicit Page(ui::Runtime& rt) : ui::Form(rt) { move(0, 0, 640, 480); }
    void Form_Load() override { show(); }
};

// Two pictures with detail everywhere, so a moved or scaled part shows.
ui::Picture pattern(int w, int h, int seed) {
    ui::Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.setPixel(x, y,
                       ui::rgb((x * 7 + seed * 50) & 255, (y * 11 + seed * 90) & 255,
                               ((x ^ y) * 5 + seed * 30) & 255));
    return p;
}

struct Transitions : ::testing::Test {
    mediatest::Loop loop;
    Page& page = loop.rt.load(std::make_unique<Page>(loop.rt));
    TransitionImage logo{page};
    ui::Picture a = pattern(96, 64, 1), b = pattern(96, 64, 2);
    int finished = 0;

    void SetUp() override {
        logo.move(100, 50, 96, 64);
        logo.onTransitionFinished = [this] {
            ++finished;
            logo.animate = false;
            logo.transition = 0;
        };
        logo.setPicture(a);
        loop.rt.advance(0);
    }
    ui::Picture shown() {
        ui::Picture out(96, 64);
        out.blit(loop.rt.frame(), {100, 50, 96, 64}, {0, 0});
        return out;
    }
    void begin(int number, int step) {
        logo.transition = number;
        logo.step = step;
        logo.effectSetting = 107;
        logo.animate = true;
        logo.setPicture(b);
    }
};

TEST_F(Transitions, EveryNumberOfTheCycleHasItsOwnLook) {
    const ui::Picture before = shown();
    std::map<int, ui::Picture> middles;
    for (int n : kCycle) {
        logo.animate = false;
        logo.setPicture(a);
        loop.rt.advance(0);
        ASSERT_EQ(shown(), before);
        begin(n, 30);
        ASSERT_TRUE(logo.transitioning()) << n;
        // Half-way by the clock: 500 ms for patterned effects, ~660 ms for
        // the others at this step.
        loop.rt.advance(n == 24 ? 400 : 500);
        const ui::Picture mid = shown();
        EXPECT_NE(mid, before) << "number " << n << " still shows the old picture";
        logo.animate = false;
        loop.rt.advance(2000);
        const ui::Picture after = shown();
        EXPECT_NE(mid, after) << "number " << n << " already shows the new picture";
        EXPECT_FALSE(logo.transitioning());
        for (const auto& [m, other] : middles)
            EXPECT_NE(mid, other) << "numbers " << m << " and " << n << " look the same";
        middles[n] = mid;
    }
    EXPECT_EQ(finished, int(std::size(kCycle)));
}

TEST_F(Transitions, EachStepSendsOnlyWhatTurnedAndMatchesAFullRepaint) {
    // Every step of every number, sent region by region, must leave the
    // screen as a repaint of the whole page would; a wipe sends a band, a
    // slide, stretch or zoom the part that moves.
    int wipeSteps = 0;
    for (int n : kCycle) {
        logo.animate = false;
        logo.setPicture(a);
        loop.rt.advance(0);
        begin(n, 30);
        loop.rt.frame(); // the whole logo, once, as the transition starts
        for (int step = 0; step < 200 && logo.transitioning(); ++step) {
            loop.display.presented.clear();
            loop.rt.advance(33);
            const ui::Picture stepped = loop.rt.frame();
            std::int64_t sent = 0;
            for (const gfx::Rect& r : loop.display.presented) {
                EXPECT_TRUE(r.intersected({100, 50, 96, 64}) == r) << "number " << n;
                sent += std::int64_t(r.w) * r.h;
            }
            page.invalidate();
            ASSERT_EQ(loop.rt.frame(), stepped) << "number " << n << ", step " << step;
            if (n == 5 && logo.transitioning()) {
                ++wipeSteps;
                EXPECT_LT(sent, 96 * 64 / 4) << "step " << step;
            }
            // A slide, a stretch and a zoom move only the part of the
            // picture already in: little at the start.
            if ((n == 56 || n == 102 || n == 72) && step < 3) {
                EXPECT_LT(sent, 96 * 64 / 3) << "number " << n << ", step " << step;
            }
        }
        ASSERT_FALSE(logo.transitioning()) << "number " << n;
        EXPECT_EQ(shown(), b) << "number " << n;
    }
    EXPECT_GT(wipeSteps, 10);
}

TEST_F(Transitions, FinishedComesOnceAtTheEndAndTheNewPictureStays) {
    begin(43, 30); // 1500 - 20 * 1000 / 245 ms
    loop.rt.advance(1300);
    EXPECT_EQ(finished, 0);
    EXPECT_TRUE(logo.transitioning());
    loop.rt.advance(300);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(shown(), b);
    loop.rt.advance(3000);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(logo.picture(), b);
}

TEST_F(Transitions, StepSetsSpeedOrGrain) {
    begin(5, 255); // a wipe: the largest step is the fastest
    loop.rt.advance(600);
    EXPECT_EQ(finished, 1);

    begin(19, 10); // blinds: the step is the width of the slats
    loop.rt.advance(500);
    const ui::Picture fine = shown();
    loop.rt.advance(1000);
    logo.setPicture(a);
    loop.rt.advance(1000);
    begin(19, 200);
    loop.rt.advance(500);
    EXPECT_NE(shown(), fine);
}

TEST_F(Transitions, WithoutAnimateThePictureChangesAtOnce) {
    logo.transition = 23;
    logo.animate = false;
    logo.setPicture(b);
    EXPECT_FALSE(logo.transitioning());
    loop.rt.advance(0);
    EXPECT_EQ(shown(), b);
    loop.rt.advance(2000);
    EXPECT_EQ(finished, 0);
}

TEST_F(Transitions, AnimatedChangeWithoutANumberStillReportsFinished) {
    logo.transition = 0;
    logo.animate = true;
    logo.setPicture(b);
    EXPECT_EQ(finished, 0); // never inside the caller's setPicture
    loop.rt.advance(0);
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(shown(), b);
}

TEST_F(Transitions, EmptyOldPictureLetsTheFormShowThrough) {
    logo.animate = false;
    logo.setPicture(ui::Picture());
    loop.rt.advance(0);
    const ui::Picture empty = shown();
    begin(5, 30); // wipe from the left
    loop.rt.advance(660);
    const ui::Picture mid = shown();
    EXPECT_EQ(mid.pixel(2, 30), b.pixel(2, 30));
    EXPECT_EQ(mid.pixel(93, 30), empty.pixel(93, 30));
}

} // namespace
