// The listening test in the whole program: question timing, answers and the
// score panel, timed-out questions, the verse arrows, new layouts and the
// rule for characters that stand twice in a verse.
#include "app/Host.h"
#include "core/tavMdl.h"
#include "learning/funFrm9.h"
#include "platform/Platform.h"
#include "support/scenario.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

struct TestPage {
    explicit TestPage(std::uint64_t seed = 1) : h(SHIZI_MEDIA_DIR, {640, 480}, seed) {}

    // Opens the page from the menu, which has been up for a moment.
    learning::funFrm9& open(int verse) {
        h.start();
        h.runtime.advance(50);
        page = scenario::openScreen<learning::funFrm9>(h, "funFrm9", {.verse = verse});
        builtAt = h.runtime.now();
        return *page;
    }

    // Advances until a question is open and its character has been heard.
    bool waitForAnswerTime(int limitMs = 12000) {
        for (int t = 0; t < limitMs; t += 10) {
            if (page->awaitingAnswer() && h.app.state.soundPlaying == 0)
                return true;
            h.runtime.advance(10);
        }
        return false;
    }
    // Advances until the open question has closed (answered or timed out).
    void waitForClose() {
        for (int t = 0; t < 12000 && page->awaitingAnswer(); t += 10)
            h.runtime.advance(10);
    }
    // Advances until the next question is asked.
    void waitForQuestion() {
        waitForClose();
        for (int t = 0; t < 12000 && !page->awaitingAnswer(); t += 10)
            h.runtime.advance(10);
    }

    void clickLabel(int i) {
        const ui::Label& l = page->wordLbl[i];
        h.runtime.click(h.at(*page, l.left() + 36, l.top() + 41));
    }
    void clickButton(int i) { scenario::click(h, page->butnImg[i]); }
    int wrongLabel() const {
        for (int i = 1; i <= 14; ++i)
            if (page->labelCharacter(i) != page->labelCharacter(page->askedLabel()))
                return i;
        return 0;
    }
    // The position whose sound the last range played, for verse v.
    int spokenPosition(int v) const {
        auto c = h.media.lastPlay();
        if (!c || c->kind != media::MediaCommand::Kind::PlayRange)
            return 0;
        return int(c->startMs / 1500) - ((v - 1) % 7) * 14 + 1;
    }

    app::HeadlessHost h;
    learning::funFrm9* page = nullptr;
    ui::Micros builtAt = 0;
};

TEST(ListeningTest, FirstQuestionComesAfter700ms) {
    TestPage t;
    auto& p = t.open(9);
    EXPECT_EQ(t.h.app.state.readAloud, 1);
    EXPECT_EQ(p.Timer1.interval(), 700);
    EXPECT_EQ(p.Label1[6].caption, "9");
    t.h.media.clearLog();
    t.h.runtime.advance(699);
    EXPECT_FALSE(p.awaitingAnswer());
    EXPECT_TRUE(t.h.media.played().empty());
    t.h.runtime.advance(1);
    ASSERT_TRUE(p.awaitingAnswer());
    // The character spoken is the one the asked label shows.
    const int pos = t.spokenPosition(9);
    const std::u32string verse = core::getVerse(t.h.app, 9);
    EXPECT_EQ(p.labelCharacter(p.askedLabel()), learning::LearningPage::charText(verse, pos));
    EXPECT_EQ(p.layout()[std::size_t(p.askedLabel())], pos);
}

TEST(ListeningTest, TimedOutQuestionPlaysCue18AndCountsOnlyWhenRunning) {
    TestPage t;
    auto& p = t.open(4);
    t.h.runtime.advance(700);
    ASSERT_TRUE(p.awaitingAnswer());
    t.h.media.clearLog();
    // Six ticks after the question the answering time is over.
    t.h.runtime.advance(6 * 700 - 1);
    EXPECT_TRUE(p.awaitingAnswer());
    t.h.runtime.advance(1);
    EXPECT_FALSE(p.awaitingAnswer());
    t.h.runtime.advance(100);
    EXPECT_EQ(t.h.media.played(), std::vector<std::string>{"start.wav"});
    EXPECT_EQ(p.missedCount(), 0.0f);
    EXPECT_TRUE(p.Timer2.enabled());
    EXPECT_FALSE(p.Timer1.enabled());
    // Late clicks on the closed question are ignored without a sound.
    t.clickLabel(p.askedLabel());
    t.h.runtime.advance(50);
    EXPECT_EQ(t.h.media.played(), std::vector<std::string>{"start.wav"});
    // Blinking: ten ticks, one rest, then the next question 700 ms later.
    t.h.runtime.advance(2200 - 100 - 50 + 700 - 1);
    EXPECT_FALSE(p.awaitingAnswer());
    t.h.runtime.advance(1);
    EXPECT_TRUE(p.awaitingAnswer());
}

TEST(ListeningTest, RunningScoresTwoRightOneWrongOneMissed) {
    TestPage t;
    auto& p = t.open(12);
    t.clickButton(2);
    ASSERT_TRUE(p.testRunning());
    const ui::Picture pause =
        t.h.app.runtime.loadPicture(platform::nativePath(t.h.app.state.picPath + "pause.bmp"));
    EXPECT_TRUE(p.butnImg[2].picture() == pause);

    ASSERT_TRUE(t.waitForAnswerTime());
    t.clickLabel(p.askedLabel());
    EXPECT_EQ(p.rightCount(), 1.0f);
    EXPECT_EQ(t.h.video.started(), std::vector<std::string>{"ok.avi"});
    EXPECT_TRUE(p.FXVid1.visible());
    EXPECT_TRUE(p.panelShown());
    EXPECT_TRUE(p.Label1[3].visible());
    EXPECT_EQ(p.Label1[3].caption, "1");
    EXPECT_EQ(p.Label1[7].caption, "100.0");
    // The panel picture is painted at (0, 392).
    const ui::Picture score =
        t.h.app.runtime.loadPicture(platform::nativePath(t.h.app.state.picPath + "score.bmp"));
    EXPECT_EQ(p.surface().pixel(60, 392 + 80), score.pixel(60, 80));
    // A second click on the answered question counts nothing.
    t.clickLabel(t.wrongLabel());
    EXPECT_EQ(p.wrongCount(), 0.0f);
    t.h.runtime.advance(2000);
    EXPECT_FALSE(p.FXVid1.visible());

    // An answered question leaves the panel up through the next question.
    t.waitForQuestion();
    EXPECT_TRUE(p.panelShown());
    EXPECT_TRUE(p.Label1[3].visible());
    EXPECT_EQ(p.surface().pixel(60, 392 + 80), score.pixel(60, 80));
    ASSERT_TRUE(t.waitForAnswerTime());
    t.clickLabel(p.askedLabel());
    t.waitForQuestion();
    ASSERT_TRUE(t.waitForAnswerTime());
    t.clickLabel(t.wrongLabel());
    EXPECT_EQ(t.h.video.started(), (std::vector<std::string>{"ok.avi", "ok.avi", "err.avi"}));
    EXPECT_EQ(p.Label1[7].caption, "66.7");
    t.waitForQuestion();
    t.waitForClose();

    EXPECT_EQ(p.Label1[3].caption, "2");
    EXPECT_EQ(p.Label1[4].caption, "1");
    EXPECT_EQ(p.Label1[5].caption, "1");
    EXPECT_EQ(p.Label1[7].caption, "50.0");
    EXPECT_FALSE(p.panelShown());

    // The panel goes with the next background and comes back when the mouse
    // enters the lower left corner.
    t.waitForQuestion();
    EXPECT_FALSE(p.Label1[3].visible());
    t.h.runtime.mouseMove(t.h.at(p, 40, 470));
    EXPECT_TRUE(p.panelShown());
    EXPECT_TRUE(p.Label1[7].visible());
    EXPECT_EQ(p.surface().pixel(60, 392 + 80), score.pixel(60, 80));
}

TEST(ListeningTest, StoppedTestAnswersWithCuesAndCountsNothing) {
    TestPage t;
    auto& p = t.open(20);
    ASSERT_TRUE(t.waitForAnswerTime());
    t.h.media.clearLog();
    t.clickLabel(t.wrongLabel());
    t.h.runtime.advance(50);
    EXPECT_EQ(t.h.media.played(), std::vector<std::string>{"err.wav"});
    EXPECT_TRUE(t.h.video.started().empty());
    EXPECT_EQ(p.wrongCount(), 0.0f);
    for (int i : {3, 4, 5, 7})
        EXPECT_FALSE(p.Label1[i].visible());
    // Missed questions alone do not bring the panel back.
    t.waitForQuestion();
    t.h.runtime.mouseMove(t.h.at(p, 40, 470));
    EXPECT_FALSE(p.Label1[3].visible());
}

TEST(ListeningTest, ArrowsStopAtTheFirstAndLastVerse) {
    TestPage t;
    auto& p = t.open(2);
    t.clickButton(2); // running, so the counters' survival can be seen
    ASSERT_TRUE(t.waitForAnswerTime());
    t.clickLabel(p.askedLabel());
    t.h.runtime.advance(3000);
    for (int k = 0; k < 500 && t.h.app.state.soundPlaying != 0; ++k)
        t.h.runtime.advance(10);

    const learning::Seq14 before = p.layout();
    t.clickButton(0);
    EXPECT_EQ(t.h.app.state.curVerse, 1);
    EXPECT_EQ(p.Label1[6].caption, "1");
    EXPECT_EQ(p.labelCharacter(1).empty(), false);
    EXPECT_NE(p.layout(), before);
    EXPECT_TRUE(p.Timer1.enabled());
    EXPECT_EQ(p.rightCount(), 1.0f);
    EXPECT_TRUE(p.testRunning());
    // The menu will open on the new verse.
    t.h.app.state.curVerse = 77;
    core::loadMenuState(t.h.app);
    EXPECT_EQ(t.h.app.state.curVerse, 1);

    t.clickButton(0);
    EXPECT_EQ(t.h.app.state.curVerse, 1);
    EXPECT_FALSE(p.Timer1.enabled());
    EXPECT_FALSE(p.Timer2.enabled());
    t.h.runtime.advance(10000);
    EXPECT_FALSE(p.awaitingAnswer());

    t.clickButton(1);
    EXPECT_EQ(t.h.app.state.curVerse, 2);
    EXPECT_TRUE(p.Timer1.enabled());
    t.h.runtime.advance(700);
    EXPECT_TRUE(p.awaitingAnswer());

    TestPage e;
    auto& q = e.open(139);
    e.clickButton(1);
    EXPECT_EQ(e.h.app.state.curVerse, 140);
    e.clickButton(1);
    EXPECT_EQ(e.h.app.state.curVerse, 140);
    EXPECT_FALSE(q.Timer1.enabled());
    e.clickButton(0);
    EXPECT_EQ(e.h.app.state.curVerse, 139);
    EXPECT_EQ(q.Label1[6].caption, "139");
}

TEST(ListeningTest, FifteenthQuestionBringsANewLayout) {
    TestPage t;
    auto& p = t.open(30);
    const learning::Seq14 first = p.layout();
    std::set<int> asked;
    for (int q = 1; q <= 14; ++q) {
        t.waitForQuestion();
        asked.insert(p.askedLabel());
        EXPECT_EQ(p.layout(), first) << "question " << q;
    }
    EXPECT_EQ(asked.size(), 14u);
    t.waitForQuestion();
    EXPECT_NE(p.layout(), first);
    std::multiset<int> perm(p.layout().begin() + 1, p.layout().end());
    EXPECT_EQ(perm, (std::multiset<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
    const std::u32string verse = core::getVerse(t.h.app, 30);
    for (int i = 1; i <= 14; ++i)
        EXPECT_EQ(p.wordLbl[i].caption,
                  learning::LearningPage::charText(verse, p.layout()[std::size_t(i)]));
}

// A verse with one character at several positions: any label that shows the
// asked character is right, and all of them blink.
TEST(ListeningTest, RepeatedCharacterIsOneAnswer) {
    TestPage probe;
    probe.h.start();
    int verse = 0, most = 1;
    for (int v = 1; v <= 140; ++v) {
        const std::u32string s = core::getVerse(probe.h.app, std::int16_t(v));
        for (char32_t c : s) {
            const int n = int(std::count(s.begin(), s.end(), c));
            if (n > most)
                most = n, verse = v;
        }
    }
    ASSERT_GT(verse, 0) << "the book has no verse with a repeated character";

    TestPage t;
    auto& p = t.open(verse);
    auto copies = [&](int label) {
        std::vector<int> same;
        for (int i = 1; i <= 14; ++i)
            if (p.labelCharacter(i) == p.labelCharacter(label))
                same.push_back(i);
        return same;
    };
    for (int q = 0; q < 14; ++q) {
        ASSERT_TRUE(t.waitForAnswerTime());
        if (copies(p.askedLabel()).size() > 1)
            break;
        t.waitForQuestion();
    }
    const int asked = p.askedLabel();
    const std::vector<int> same = copies(asked);
    ASSERT_EQ(int(same.size()), most);
    const int other = same[0] != asked ? same[0] : same[1];

    t.h.media.clearLog();
    t.clickLabel(other);
    t.h.runtime.advance(20);
    EXPECT_EQ(t.h.media.played(), std::vector<std::string>{"ok.wav"});

    t.waitForClose();
    // Find a blink tick that shows red; every copy is red, nothing else.
    bool sawRed = false;
    for (int k = 0; k < 40 && !sawRed; ++k) {
        t.h.runtime.advance(200);
        for (int i = 1; i <= 14; ++i)
            if (p.wordLbl[i].foreColor == learning::kRed)
                sawRed = true;
    }
    ASSERT_TRUE(sawRed);
    for (int i = 1; i <= 14; ++i) {
        const bool copy = std::find(same.begin(), same.end(), i) != same.end();
        EXPECT_EQ(p.wordLbl[i].foreColor == learning::kRed, copy) << "label " << i;
    }
}

// The label under the mouse shows the not-allowed pointer while the
// character is spoken and the custom pointer as soon as an answer is taken.
TEST(ListeningTest, LabelPointerFollowsTheAnsweringTime) {
    TestPage t;
    auto& p = t.open(6);
    t.h.runtime.advance(710);
    ASSERT_TRUE(p.awaitingAnswer());
    ASSERT_NE(t.h.app.state.soundPlaying, 0);
    const ui::Label& l = p.wordLbl[3];
    t.h.runtime.mouseMove(t.h.at(p, l.left() + 30, l.top() + 30));
    EXPECT_EQ(l.mousePointer().shape, ui::CursorShape::NotAllowed);
    ASSERT_TRUE(t.waitForAnswerTime());
    t.h.runtime.advance(20);
    EXPECT_TRUE(l.mousePointer() == p.pagePointer());
}

} // namespace
