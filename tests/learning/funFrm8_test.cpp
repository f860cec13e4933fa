// The flash page in the whole program: order of the characters, the balanced
// random pick, the speed bar, the reading switch and the writing grid.
#include "app/Host.h"
#include "core/tavMdl.h"
#include "learning/funFrm8.h"
#include "support/scenario.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace {

struct FlashPage {
    explicit FlashPage(std::uint64_t seed = 1) : h(SHIZI_MEDIA_DIR, {640, 480}, seed) {}

    // Opens the page from the menu, which has been up for a moment.
    learning::funFrm8& open(int verse, int mode) {
        h.start();
        h.runtime.advance(50);
        page =
            scenario::openScreen<learning::funFrm8>(h, "funFrm8", {.verse = verse, .mode = mode});
        return *page;
    }

    // Advances millisecond by millisecond until the character changes;
    // returns the time it changed.
    ui::Micros nextChange(int limitMs = 10000) {
        const int before = page->currentPosition();
        for (int i = 0; i < limitMs; ++i) {
            h.runtime.advance(1);
            if (page->currentPosition() != before)
                return h.runtime.now();
        }
        return -1;
    }

    app::HeadlessHost h;
    learning::funFrm8* page = nullptr;
};

TEST(FlashPage, ForwardsAndBackwardsWrapAround) {
    FlashPage f;
    auto& p = f.open(3, 0);
    EXPECT_EQ(p.currentPosition(), 1);
    std::vector<int> seen;
    for (int i = 0; i < 15; ++i) {
        f.h.runtime.advance(2500);
        seen.push_back(p.currentPosition());
    }
    EXPECT_EQ(seen[12], 14);
    EXPECT_EQ(seen[13], 1);
    EXPECT_EQ(seen[14], 2);

    FlashPage b;
    auto& q = b.open(3, 1);
    EXPECT_EQ(q.currentPosition(), 14);
    for (int i = 0; i < 13; ++i)
        b.h.runtime.advance(2500);
    EXPECT_EQ(q.currentPosition(), 1);
    b.h.runtime.advance(2500);
    EXPECT_EQ(q.currentPosition(), 14);
}

TEST(FlashPage, CharacterIsSpokenAndShownOnEveryTick) {
    FlashPage f;
    auto& p = f.open(8, 0);
    const std::u32string verse = core::getVerse(f.h.app, 8);
    ASSERT_EQ(verse.size(), 14u);
    auto spoken = f.h.media.lastPlay();
    ASSERT_TRUE(spoken.has_value());
    // Verse 8, position 1: the second file, first slot.
    EXPECT_NE(spoken->file.find("word02.wav"), std::string::npos);
    EXPECT_DOUBLE_EQ(spoken->startMs, 0);
    EXPECT_EQ(p.bigLabel().caption, learning::LearningPage::charText(verse, 1));
    EXPECT_TRUE(p.bigLabel().visible());

    const int bg = p.picIndex();
    f.h.runtime.advance(2500);
    spoken = f.h.media.lastPlay();
    EXPECT_DOUBLE_EQ(spoken->startMs, 1500);
    EXPECT_EQ(p.bigLabel().caption, learning::LearningPage::charText(verse, 2));
    EXPECT_NE(p.picIndex(), bg);
}

// Within a cycle of 29 picks: fourteen different positions, the fourteen
// again, one free pick; never the same position twice in a row.
TEST(FlashPage, BalancedRandomOrder) {
    for (std::uint64_t seed : {1u, 7u, 2024u}) {
        FlashPage f(seed);
        auto& p = f.open(5, 2);
        std::vector<int> picks{p.currentPosition()};
        for (int i = 1; i < 29 * 2 + 3; ++i) {
            f.h.runtime.advance(2500);
            picks.push_back(p.currentPosition());
        }
        for (std::size_t i = 1; i < picks.size(); ++i)
            ASSERT_NE(picks[i], picks[i - 1]) << "seed " << seed << " pick " << i;
        for (int cycle = 0; cycle < 2; ++cycle)
            for (int run = 0; run < 2; ++run) {
                const auto from = picks.begin() + cycle * 29 + run * 14;
                std::set<int> run14(from, from + 14);
                EXPECT_EQ(run14.size(), 14u) << "seed " << seed << " cycle " << cycle;
                EXPECT_EQ(*run14.begin(), 1);
                EXPECT_EQ(*run14.rbegin(), 14);
            }
    }
}

TEST(FlashPage, SpeedBarEndsGiveTheIntervals) {
    FlashPage f;
    auto& p = f.open(1, 0);
    EXPECT_EQ(p.Timer1.interval(), 2500);
    EXPECT_EQ(p.speedHScroll.value(), 7500);

    p.speedHScroll.setValue(p.speedHScroll.min);
    f.nextChange();
    ui::Micros t1 = f.nextChange();
    ui::Micros t2 = f.nextChange();
    ASSERT_GT(t1, 0);
    EXPECT_NEAR(double(t2 - t1), 7500000.0, 16000.0);

    p.speedHScroll.setValue(p.speedHScroll.max);
    f.nextChange();
    t1 = f.nextChange();
    t2 = f.nextChange();
    EXPECT_NEAR(double(t2 - t1), 2500000.0, 16000.0);
}

TEST(FlashPage, ReadingSwitchPlaysTheNeutralCueAndKeepsShowing) {
    FlashPage f;
    auto& p = f.open(2, 0);
    ASSERT_EQ(f.h.app.state.readAloud, 1);
    EXPECT_EQ(p.bigLabel().toolTipText(), "关闭读音");
    const ui::Picture on = p.butnPic[1].picture();
    ASSERT_FALSE(on.empty());
    EXPECT_EQ(p.surface().pixel(615, 464), on.pixel(15, 15));

    f.h.runtime.advance(1600); // the first character has been heard
    f.h.runtime.click(f.h.at(p, 610, 455));
    EXPECT_EQ(f.h.app.state.readAloud, 0);
    EXPECT_EQ(p.bigLabel().toolTipText(), "打开读音");
    const ui::Picture off = p.butnPic[0].picture();
    ASSERT_NE(off.pixel(15, 15), on.pixel(15, 15));
    EXPECT_EQ(p.surface().pixel(615, 464), off.pixel(15, 15));

    f.h.media.clearLog();
    const int bg = p.picIndex();
    f.h.runtime.advance(900);
    EXPECT_EQ(f.h.media.played(), std::vector<std::string>{"start.wav"});
    EXPECT_EQ(p.currentPosition(), 2);
    EXPECT_NE(p.picIndex(), bg);
    // The button survives the background change.
    EXPECT_EQ(p.surface().pixel(615, 464), off.pixel(15, 15));

    f.h.runtime.click(f.h.at(p, 610, 455));
    EXPECT_EQ(f.h.app.state.readAloud, 1);
    EXPECT_EQ(p.bigLabel().toolTipText(), "关闭读音");
    EXPECT_EQ(p.surface().pixel(615, 464), on.pixel(15, 15));
}

TEST(FlashPage, WritingGridIsRedrawnOverEveryBackground) {
    FlashPage f;
    auto& p = f.open(1, 0);
    const ui::Color grid = ui::rgb(200, 200, 200);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(p.surface().pixel(320, 300), grid);
        EXPECT_EQ(p.surface().pixel(200, 214), grid);
        EXPECT_EQ(p.surface().pixel(121, 100), grid);
        EXPECT_EQ(p.surface().pixel(519, 100), grid);
        EXPECT_EQ(p.surface().pixel(300, 15), grid);
        EXPECT_EQ(p.surface().pixel(300, 413), grid);
        f.h.runtime.advance(2500);
    }
}

} // namespace
