// The pointing page: the hand visits the characters in the mode's order,
// each blinks red, is spoken, blinks cyan and turns white again.
#include "learning/funFrm3.h"
#include "page_host.h"

#include <algorithm>

using namespace learningtest;
using learning::kCyan;
using learning::kRed;
using learning::kWhite;

namespace {

// The grid label the hand stands above, or 0.
int handOver(learning::funFrm3& p) {
    if (!p.FXImage1.visible())
        return 0;
    for (int i = 1; i <= 14; ++i)
        if (p.FXImage1.left() == p.wordLbl[i].left() + 24 &&
            p.FXImage1.top() == p.wordLbl[i].top() - 45)
            return i;
    return -1;
}

// The labels visited in `visits` visits at the default speed: the hand
// appears 600 ms after the build and moves on every 2.4 s.
std::vector<int> visits(app::HeadlessHost& h, learning::funFrm3& p, int count) {
    std::vector<int> out;
    h.runtime.advance(600);
    for (int k = 0; k < count; ++k) {
        out.push_back(handOver(p));
        h.runtime.advance(2400);
    }
    return out;
}

} // namespace

TEST(PointingPage, EverySecondCharacterWithHandRedBlinkSpeechAndCyan) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR);
    auto* p = openPage<learning::funFrm3>(h, "funFrm3", {.verse = 15, .func = 3, .mode = 1});
    ASSERT_NE(p, nullptr);
    const ui::Micros built = h.runtime.now();
    EXPECT_EQ(gridText(*p), verseText(h, 15));
    EXPECT_EQ(h.app.state.readAloud, 1);

    h.runtime.advance(300); // the first tick shows nothing
    EXPECT_EQ(handOver(*p), 0);
    EXPECT_EQ(labelColored(*p, kRed), 0);
    h.runtime.advance(300); // the hand over character 1
    EXPECT_EQ(handOver(*p), 1);
    h.runtime.advance(200);
    EXPECT_EQ(labelColored(*p, kRed), 1);
    EXPECT_TRUE(spokenChars(h).empty());
    h.runtime.advance(400); // 600 ms after the hand: spoken
    auto spoken = spokenChars(h);
    ASSERT_EQ(spoken.size(), 1u);
    EXPECT_EQ(spoken[0].verse, 15);
    EXPECT_EQ(spoken[0].pos, 1);
    EXPECT_EQ(spoken[0].time - built, 1200000);
    h.runtime.advance(400); // cyan from 300 ms after the speech
    EXPECT_EQ(labelColored(*p, kCyan), 1);
    EXPECT_EQ(labelColored(*p, kRed), 0);
    h.runtime.advance(1100); // step 7: white, blinking over
    EXPECT_EQ(p->wordLbl[1].foreColor, kWhite);
    h.runtime.advance(200);
    EXPECT_EQ(p->wordLbl[1].foreColor, kWhite);
    EXPECT_EQ(handOver(*p), 1);
    h.runtime.advance(100); // 2.4 s after the hand appeared
    EXPECT_EQ(handOver(*p), 3);

    // The rest of the pass and the next one.
    const std::vector<int> pass = {1, 3, 5, 7, 9, 11, 13, 2, 4, 6, 8, 10, 12, 14};
    for (std::size_t k = 2; k < 28; ++k) {
        h.runtime.advance(2400);
        EXPECT_EQ(handOver(*p), pass[k % 14]) << "visit " << k;
    }
    spoken = spokenChars(h);
    ASSERT_GE(spoken.size(), 14u);
    for (std::size_t k = 0; k < 14; ++k)
        EXPECT_EQ(spoken[k].pos, k < 7 ? int(2 * k + 1) : int(2 * (k - 7) + 2));
}

TEST(PointingPage, FixedOrdersOfModesZeroToThreeRepeatEveryPass) {
    const std::vector<std::vector<int>> passes = {
        {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14},
        {1, 3, 5, 7, 9, 11, 13, 2, 4, 6, 8, 10, 12, 14},
        {14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1},
        {14, 12, 10, 8, 6, 4, 2, 13, 11, 9, 7, 5, 3, 1},
    };
    for (int mode = 0; mode < 4; ++mode) {
        app::HeadlessHost h(SHIZI_MEDIA_DIR);
        auto* p = openPage<learning::funFrm3>(h, "funFrm3",
                                              {.verse = 40, .func = 2 + mode, .mode = mode});
        ASSERT_NE(p, nullptr);
        const auto order = visits(h, *p, 28);
        for (std::size_t k = 0; k < order.size(); ++k)
            EXPECT_EQ(order[k], passes[std::size_t(mode)][k % 14])
                << "mode " << mode << " visit " << k;
    }
}

TEST(PointingPage, RandomModeVisitsEachPositionOncePerPassInANewOrder) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR);
    auto* p = openPage<learning::funFrm3>(h, "funFrm3", {.verse = 33, .func = 6, .mode = 4});
    ASSERT_NE(p, nullptr);
    const auto order = visits(h, *p, 42);
    std::vector<std::vector<int>> passes;
    for (int pass = 0; pass < 3; ++pass) {
        std::vector<int> v(order.begin() + pass * 14, order.begin() + pass * 14 + 14);
        std::vector<int> sorted = v;
        std::sort(sorted.begin(), sorted.end());
        for (int i = 0; i < 14; ++i)
            EXPECT_EQ(sorted[std::size_t(i)], i + 1) << "pass " << pass;
        passes.push_back(v);
    }
    EXPECT_NE(passes[0], passes[1]);
    EXPECT_NE(passes[1], passes[2]);
    // What is spoken is what the hand points at.
    const auto spoken = spokenChars(h);
    ASSERT_GE(spoken.size(), 28u);
    for (std::size_t k = 0; k < 28; ++k)
        EXPECT_EQ(spoken[k].pos, order[k]);
}

TEST(PointingPage, SpeedBarEndsGiveTwoSecondsAndThreeHundredMillisecondTicks) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR);
    auto* p = openPage<learning::funFrm3>(h, "funFrm3", {.verse = 3, .func = 2, .mode = 0});
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->speedHScroll.rect(), (ui::Rect{340, 460, 120, 15}));
    EXPECT_EQ(p->Label1[2].caption, "速度控制");
    EXPECT_EQ(p->Timer1.interval(), 300);
    // Fully left by clicking the left arrow: each click is one step of 100.
    const ui::Rect bar = p->speedHScroll.rect();
    for (int i = 0; i < 20; ++i)
        h.runtime.click(h.at(*p, bar.x + 3, bar.y + 7));
    EXPECT_EQ(p->speedHScroll.value(), 300);
    EXPECT_EQ(p->Timer1.interval(), 2000);
    // A visit then takes 16 s.
    h.runtime.advance(2000 + 2000);
    const int first = handOver(*p);
    ASSERT_GT(first, 0);
    h.runtime.advance(15900);
    EXPECT_EQ(handOver(*p), first);
    h.runtime.advance(100);
    EXPECT_EQ(handOver(*p), first + 1);
    p->speedHScroll.setValue(2000);
    EXPECT_EQ(p->Timer1.interval(), 300);
}
