// The review page: fourteen characters from the verses reached, visited in a
// new random order every pass; the new-words button draws fourteen more.
#include "controls/mybutton.h"
#include "learning/funFrm0.h"
#include "page_host.h"

#include <algorithm>
#include <set>

using namespace learningtest;
using learning::kRed;
using learning::kWhite;

namespace {

// Every slot a different place of verses 1..reached, each label showing it.
void expectSlotsValid(app::HeadlessHost& h, learning::funFrm0& p, int reached) {
    std::set<std::pair<int, int>> places;
    for (int a = 1; a <= 14; ++a) {
        const int v = p.slotVerse[std::size_t(a)], pos = p.slotPos[std::size_t(a)];
        ASSERT_GE(v, 1);
        ASSERT_LE(v, reached);
        ASSERT_GE(pos, 1);
        ASSERT_LE(pos, 14);
        EXPECT_TRUE(places.insert({v, pos}).second)
            << "verse " << v << " position " << pos << " twice";
        EXPECT_EQ(p.wordLbl[a].caption, verseText(h, v)[std::size_t(pos - 1)]);
    }
}

// The label blinking red 200 ms into each visit.
std::vector<int> visits(app::HeadlessHost& h, learning::funFrm0& p, int count) {
    std::vector<int> out;
    h.runtime.advance(800);
    for (int k = 0; k < count; ++k) {
        out.push_back(labelColored(p, kRed));
        h.runtime.advance(2400);
    }
    return out;
}

} // namespace

TEST(ReviewPage, AtVerseOneTheGridHoldsExactlyVerseOne) {
    for (std::uint64_t seed : {1, 7, 42}) {
        app::HeadlessHost h(SHIZI_MEDIA_DIR, {640, 480}, seed);
        auto* p = openPage<learning::funFrm0>(h, "funFrm0", {.verse = 1, .func = 11});
        ASSERT_NE(p, nullptr);
        expectSlotsValid(h, *p, 1);
        auto shown = gridText(*p), verse = verseText(h, 1);
        std::sort(shown.begin(), shown.end());
        std::sort(verse.begin(), verse.end());
        EXPECT_EQ(shown, verse);
        EXPECT_EQ(p->mybutton1->toolTipText(), "返回主画面");
    }
}

TEST(ReviewPage, PassesVisitEveryLabelOnceInNewOrdersAndSpeakTheirCharacters) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR);
    auto* p = openPage<learning::funFrm0>(h, "funFrm0", {.verse = 30, .func = 11});
    ASSERT_NE(p, nullptr);
    expectSlotsValid(h, *p, 30);
    const auto grid = gridText(*p);
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
    EXPECT_EQ(gridText(*p), grid) << "the characters stay from pass to pass";
    const auto spoken = spokenChars(h);
    ASSERT_GE(spoken.size(), 28u);
    for (std::size_t k = 0; k < 28; ++k) {
        EXPECT_EQ(spoken[k].verse, p->slotVerse[std::size_t(order[k])]);
        EXPECT_EQ(spoken[k].pos, p->slotPos[std::size_t(order[k])]);
    }
}

TEST(ReviewPage, NewWordsMidVisitWhitensTheLabelAndWaitsForTheNextSpeech) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR);
    auto* p = openPage<learning::funFrm0>(h, "funFrm0", {.verse = 60, .func = 11});
    ASSERT_NE(p, nullptr);
    const ui::Micros built = h.runtime.now();
    h.runtime.advance(800); // the first visit blinks red
    const int blinking = labelColored(*p, kRed);
    ASSERT_GT(blinking, 0);
    const auto before = gridText(*p);
    h.runtime.click(h.at(*p, 600, 450));
    EXPECT_EQ(p->wordLbl[blinking].foreColor, kWhite);
    EXPECT_NE(gridText(*p), before);
    expectSlotsValid(h, *p, 60);
    EXPECT_EQ(labelColored(*p, kRed), 0);
    // The timer starts afresh: steps 1 and 2 come 300 and 600 ms later.
    h.runtime.advance(599);
    EXPECT_TRUE(spokenChars(h).empty());
    h.runtime.advance(1);
    const auto spoken = spokenChars(h);
    ASSERT_EQ(spoken.size(), 1u);
    EXPECT_EQ(spoken[0].time - built, 1400000);
    bool ofNewSet = false;
    for (int a = 1; a <= 14; ++a)
        ofNewSet = ofNewSet || (p->slotVerse[std::size_t(a)] == spoken[0].verse &&
                                p->slotPos[std::size_t(a)] == spoken[0].pos);
    EXPECT_TRUE(ofNewSet);
    // Many new sets: never a place twice, never past the verse reached.
    for (int i = 0; i < 30; ++i) {
        h.runtime.click(h.at(*p, 600, 450));
        expectSlotsValid(h, *p, 60);
    }
}

TEST(ReviewPage, TheHandIsPaintedAboveTheVisitedCharacter) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR);
    auto* p = openPage<learning::funFrm0>(h, "funFrm0", {.verse = 25, .func = 11});
    ASSERT_NE(p, nullptr);
    const ui::Picture hand = h.runtime.loadPicture(h.app.state.picPath + "hand.bmp");
    const ui::Picture mask = h.runtime.loadPicture(h.app.state.picPath + "hand_m.bmp");
    ASSERT_FALSE(hand.empty());
    ASSERT_FALSE(mask.empty());
    h.runtime.advance(800);
    for (int visit = 0; visit < 3; ++visit) {
        const int label = labelColored(*p, kRed);
        ASSERT_GT(label, 0);
        const int x0 = p->wordLbl[label].left() + 24, y0 = p->wordLbl[label].top() - 45;
        int opaque = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 41; ++x)
                if (mask.pixel(x, y) == 0) {
                    ++opaque;
                    ASSERT_EQ(p->surface().pixel(x0 + x, y0 + y), hand.pixel(x, y))
                        << x << "," << y;
                }
        EXPECT_GT(opaque, 200);
        h.runtime.advance(2400);
    }
}
