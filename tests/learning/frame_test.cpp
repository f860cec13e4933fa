// The frame every learning page shares: backgrounds, the way back, help, the
// bars, the masked board, the shuffle.
#include "controls/mybutton.h"
#include "gfx/Keys.h"
#include "learning/funFrm1.h"
#include "learning/funFrm3.h"
#include "page_host.h"

#include <algorithm>
#include <cstdio>
#include <set>

using namespace learningtest;
using learning::LearningPage;

namespace {

// A page with nothing of its own, to reach the frame's tools.
class BarePage : public LearningPage {
  public:
    using LearningPage::changeBackground;
    using LearningPage::drawMasked;
    using LearningPage::GetPicNum;
    using LearningPage::getRandomSeq;
    using LearningPage::LearningPage;
    int boxes = 0;

  protected:
    void buildPage() override {
        placeBars(learning::pointingBars());
        createWordGrid(85);
        soundHScroll_Change();
    }
    void drawBox() override { ++boxes; }
};

BarePage* openBare(app::HeadlessHost& h) {
    h.start();
    h.app.registerScreen("barePage", [](core::App& a) { return std::make_unique<BarePage>(a); });
    return openPage<BarePage>(h, "barePage", {});
}

std::string bgName(int index) {
    char name[32];
    std::snprintf(name, sizeof name, "bg_A%03d.jpg", index + 1);
    return name;
}

} // namespace

TEST(LearningFrame, BackgroundsNeverRepeatAndNeverReturnToTheFirstAtOnce) {
    for (std::uint64_t seed : {1, 2, 3, 4, 5}) {
        app::HeadlessHost h(SHIZI_MEDIA_DIR, {640, 480}, seed);
        auto* page = openPage<learning::funFrm1>(h, "funFrm1", {.verse = 3, .func = 1, .mode = 1});
        ASSERT_NE(page, nullptr);
        ASSERT_EQ(page->picIndex(), 0);
        int shown = 0;
        std::set<int> seen;
        for (int tick = 0; tick < 60; ++tick) {
            h.runtime.advance(1000);
            const int now = page->picIndex();
            EXPECT_NE(now, shown) << "seed " << seed << " tick " << tick;
            EXPECT_GE(now, 0);
            EXPECT_LT(now, h.app.state.bgPicCount);
            shown = now;
            seen.insert(now);
        }
        EXPECT_GT(seen.size(), 10u);
        // The page shows the picture of that number.
        EXPECT_EQ(page->picture(), h.runtime.loadPicture(h.app.state.picPath + bgName(shown)));
    }
}

TEST(LearningFrame, PickerNeverReturnsThePictureShownEvenOnAFrozenClock) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR);
    auto* page = openBare(h);
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(h.app.state.bgPicCount, 24);
    std::set<int> picked;
    for (int i = 0; i < 500; ++i) {
        const int before = page->picIndex();
        const int x = page->GetPicNum();
        EXPECT_NE(x, before);
        picked.insert(x);
        if (i % 2)
            page->changeBackground();
    }
    EXPECT_EQ(picked.size(), 24u);
    EXPECT_EQ(*picked.rbegin(), 23);
    EXPECT_EQ(page->boxes, 250) << "the board is repainted after every change";
}

TEST(LearningFrame, ManyBackgroundsStayInRangeAndMissingPicturesDoNotStopThePage) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR);
    setBackgroundCount(h, 120); // only 24 exist
    auto* page = openPage<learning::funFrm1>(h, "funFrm1", {.verse = 5, .func = 1, .mode = 1});
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(h.app.state.bgPicCount, 120);
    int highest = 0;
    for (int tick = 0; tick < 200; ++tick) {
        h.runtime.advance(1000);
        highest = std::max<int>(highest, page->picIndex());
        ASSERT_LT(page->picIndex(), 120);
    }
    EXPECT_GT(highest, 23) << "pictures past the last file were asked for";
    const auto played = h.media.played();
    EXPECT_GT(std::count(played.begin(), played.end(), "sd005.wav"), 5);
}

TEST(LearningFrame, OneBackgroundKeepsThePicture) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR);
    setBackgroundCount(h, 1);
    auto* page = openPage<learning::funFrm1>(h, "funFrm1", {.verse = 5, .func = 1, .mode = 1});
    ASSERT_NE(page, nullptr);
    h.runtime.advance(5000);
    EXPECT_EQ(page->picIndex(), 0);
    EXPECT_EQ(page->picture(), h.runtime.loadPicture(h.app.state.picPath + "bg_A001.jpg"));
}

TEST(LearningFrame, KeysAndBackButtonAreIgnoredWhileThePageBuilds) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR);
    h.start();
    core::initMediaPaths(h.app);
    auto* page = dynamic_cast<LearningPage*>(h.app.load("funFrm3"));
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(h.app.state.busy, -1);
    const auto before = h.media.played().size();
    int esc = ui::key::Escape, f1 = ui::key::F1;
    page->Form_KeyUp(esc, 0);
    page->Form_KeyDown(f1, 0);
    page->mybutton1_mouseclick();
    EXPECT_FALSE(page->unloading());
    EXPECT_EQ(h.launcher.opened, 0);
    EXPECT_EQ(h.media.played().size(), before);
}

TEST(LearningFrame, EscapeAndTheBackButtonPlayTheReturnCueAndLeave) {
    for (bool button : {false, true}) {
        app::HeadlessHost h(SHIZI_MEDIA_DIR);
        auto* page = openPage<learning::funFrm3>(h, "funFrm3", {.verse = 2, .func = 2, .mode = 0});
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(h.app.state.busy, 0);
        h.runtime.advance(1000);
        const ui::Micros start = h.runtime.now();
        if (button)
            h.runtime.click(h.at(*page, 10, 10));
        else
            h.runtime.keyUp(ui::key::Escape);
        const auto last = h.media.lastPlay();
        ASSERT_TRUE(last);
        EXPECT_NE(last->file.find("return.wav"), std::string::npos);
        // The cue is heard to its end before the page goes.
        EXPECT_GE(h.runtime.now() - start,
                  h.media.lengthOf(h.app.state.soundPath + "return.wav") * 1000);
        h.runtime.advance(0);
        EXPECT_EQ(h.find<learning::funFrm3>(), nullptr);
        // Its timers died with it: nothing more is spoken.
        const auto spoken = spokenChars(h).size();
        h.runtime.advance(10000);
        EXPECT_EQ(spokenChars(h).size(), spoken);
    }
}

TEST(LearningFrame, F1OpensHelp) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR);
    auto* page = openPage<learning::funFrm1>(h, "funFrm1", {.verse = 2, .func = 1, .mode = 1});
    ASSERT_NE(page, nullptr);
    h.runtime.keyDown(ui::key::F1);
    EXPECT_EQ(h.launcher.opened, 1);
    EXPECT_NE(h.launcher.lastFile.find("tavHelp.chm"), std::string::npos);
    EXPECT_FALSE(page->unloading());
}

TEST(LearningFrame, BarsCaptionsAndBackButtonAreWhereThePageWantsThem) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR);
    auto* page = openPage<learning::funFrm1>(h, "funFrm1", {.verse = 2, .func = 1, .mode = 1});
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->soundHScroll.rect(), (ui::Rect{260, 460, 120, 15}));
    EXPECT_EQ(page->soundHScroll.min, 1);
    EXPECT_EQ(page->soundHScroll.max, 10);
    EXPECT_EQ(page->soundHScroll.value(), 10);
    EXPECT_FALSE(page->speedHScroll.visible());
    EXPECT_EQ(page->Label1[1].caption, "声音调节");
    EXPECT_EQ(page->Label1[1].left(), 298);
    EXPECT_FALSE(page->Label1.exists(2));
    EXPECT_EQ(page->mybutton1->rect(), (ui::Rect{0, 0, 20, 20}));
    EXPECT_FALSE(page->mybutton1->Picture().empty());
    EXPECT_EQ(page->soundHScroll.mousePointer().shape, ui::CursorShape::Custom);
    // The grid: two rows of seven, 180 pixels apart.
    EXPECT_EQ(page->wordLbl[1].rect(), (ui::Rect{15, 65, 72, 82}));
    EXPECT_EQ(page->wordLbl[7].rect(), (ui::Rect{531, 65, 72, 82}));
    EXPECT_EQ(page->wordLbl[14].rect(), (ui::Rect{531, 245, 72, 82}));
    EXPECT_FALSE(page->wordLbl[0].visible());
}

TEST(LearningFrame, ReEnteringAPageRestoresItsBars) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR);
    auto* page = openPage<learning::funFrm3>(h, "funFrm3", {.verse = 9, .func = 2, .mode = 0});
    ASSERT_NE(page, nullptr);
    page->soundHScroll.setValue(3);
    page->speedHScroll.setValue(300);
    EXPECT_EQ(page->Timer1.interval(), 2000);
    EXPECT_EQ(h.media.commands(media::MediaCommand::Kind::Volume).back().value, 20000);
    h.runtime.keyUp(ui::key::Escape);
    h.runtime.advance(0);
    page = openPage<learning::funFrm3>(h, "funFrm3", {.verse = 9, .func = 2, .mode = 0});
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->soundHScroll.value(), 10);
    EXPECT_EQ(page->speedHScroll.value(), 2000);
    EXPECT_EQ(page->Timer1.interval(), 300);
    EXPECT_EQ(h.media.commands(media::MediaCommand::Kind::Volume).back().value, 65535);
}

TEST(LearningFrame, MaskedPaintingShowsTheImageWhereTheMaskIsBlack) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR);
    auto* page = openBare(h);
    ASSERT_NE(page, nullptr);
    const ui::Color bg = ui::rgb(10, 200, 30), ink = ui::rgb(250, 20, 90);
    page->surface().fillRect({100, 100, 4, 1}, bg);
    // The image carries its colour where the mask is black and black elsewhere.
    ui::Picture image(4, 1, 0), mask(4, 1, ui::rgb(255, 255, 255));
    image.setPixel(1, 0, ink);
    mask.setPixel(1, 0, 0);
    image.setPixel(2, 0, ink); // a stray pixel under white mask stays hidden
    page->drawMasked(image, mask, {100, 100, 4, 1});
    EXPECT_EQ(page->surface().pixel(100, 100), bg);
    EXPECT_EQ(page->surface().pixel(101, 100), ink);
    EXPECT_EQ(page->surface().pixel(102, 100), bg);
    // Without its mask the image is not painted at all.
    page->drawMasked(image, ui::Picture(), {100, 100, 4, 1});
    EXPECT_EQ(page->surface().pixel(102, 100), bg);
}

TEST(LearningFrame, ShuffleAlwaysGivesAPermutation) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR);
    auto* page = openBare(h);
    ASSERT_NE(page, nullptr);
    std::set<std::vector<int>> orders;
    for (int k = 0; k < 200; ++k) {
        learning::Seq14 s{};
        page->getRandomSeq(s, k % 2 ? 20 : 50);
        std::vector<int> v(s.begin() + 1, s.end());
        std::vector<int> sorted = v;
        std::sort(sorted.begin(), sorted.end());
        for (int i = 0; i < 14; ++i)
            ASSERT_EQ(sorted[std::size_t(i)], i + 1);
        orders.insert(v);
    }
    EXPECT_GT(orders.size(), 190u);
}
