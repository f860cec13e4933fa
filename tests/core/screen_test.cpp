// Start-up, the screen protocol, form set-up, folders, help and the logo's
// transition numbers.
#include "CoreFixture.h"
#include "core/Screen.h"
#include "core/bgGroundFrm.h"
#include "gfx/Keys.h"
#include "gfx/Picture.h"

#include <gtest/gtest.h>

using namespace core;
using coretest::CoreTest;

namespace {

struct ProbeFrm final : Screen {
    using Screen::Screen;
    int builds = 0;
    int activations = 0;
    std::int16_t busyInBuild = 0;
    void Form_Load() override { loadScreen(400, 400, "probe.bmp"); }
    void build() override {
        ++builds;
        busyInBuild = g().busy;
    }
    void activated() override { ++activations; }
};

struct BigDesktop : CoreTest {
    BigDesktop() : CoreTest({1024, 768}) {}
};

void registerProbe(App& app) {
    app.registerScreen("probeFrm", [](App& a) { return std::make_unique<ProbeFrm>(a); });
}

} // namespace

TEST_F(BigDesktop, SetupFormCentresOnTheDesktop) {
    ui::Form f(app.runtime);
    f.setBackColor(ui::rgb(255, 0, 0));
    setupForm(app, f, 640, 480);
    EXPECT_EQ(f.rect(), (ui::Rect{192, 144, 640, 480}));
    EXPECT_EQ(f.backColor(), 0u);
    setupForm(app, f, 320, 240);
    EXPECT_EQ(f.rect(), (ui::Rect{352, 264, 320, 240}));
}

TEST_F(CoreTest, MediaFoldersFollowTheProgramFolder) {
    app.programFolder = "C:\\Reader";
    EXPECT_EQ(initMediaPaths(app), "C:\\Reader/");
    EXPECT_EQ(app.state.picPath, "C:\\Reader/pic/");
    EXPECT_EQ(app.state.gamePath, "C:\\Reader/game/");
    EXPECT_EQ(app.state.soundPath, "C:\\Reader/sound/");
    EXPECT_EQ(app.state.kjPath, "C:\\Reader/tav_KJ/");
    app.programFolder = "D:\\";
    EXPECT_EQ(initMediaPaths(app), "D:\\");
    EXPECT_EQ(app.state.picPath, "D:\\pic/");
    EXPECT_EQ(app.state.userPath, "D:\\"); // the same folder: nothing to copy
    app.programFolder = "/opt/shizi/";
    EXPECT_EQ(initMediaPaths(app), "/opt/shizi/");
    EXPECT_EQ(app.state.appPath, "/opt/shizi/");
    // Back to the test's own folder, where the program saves as it ends.
    app.programFolder = host->folder();
    initMediaPaths(app);
}

TEST_F(CoreTest, HelpOpensTheHelpFileAndClosesItsViewers) {
    showHelp(app);
    EXPECT_EQ(host->launcher.opened, 1);
    EXPECT_EQ(host->launcher.lastFile, host->folder() + "tavHelp.chm");
    closeHelp(app);
    EXPECT_EQ(host->launcher.closed, 1);
}

TEST_F(CoreTest, ImageEffectsCycleThroughFortyNineNumbers) {
    std::vector<int> cycle;
    for (int e : {5, 6, 7, 8})
        cycle.push_back(e);
    for (int e = 19; e <= 24; ++e)
        cycle.push_back(e);
    for (int e = 41; e <= 45; ++e)
        cycle.push_back(e);
    cycle.push_back(49);
    for (int e = 56; e <= 59; ++e)
        cycle.push_back(e);
    for (int e = 68; e <= 81; ++e)
        cycle.push_back(e);
    for (int e : {84, 85, 88, 89, 94, 95})
        cycle.push_back(e);
    for (int e = 102; e <= 110; ++e)
        cycle.push_back(e);
    ASSERT_EQ(cycle.size(), 49u);

    std::int16_t effectNo = 0;
    for (int call = 0; call < 50; ++call) {
        const std::int16_t r = nextImageEffect(app, effectNo);
        EXPECT_EQ(r, cycle[std::size_t(call % 49)]) << "call " << call + 1;
        EXPECT_EQ(effectNo, r);
        EXPECT_EQ(app.state.effectBase, 7);
    }
}

TEST_F(CoreTest, ImageEffectStepGoesWithTheNewNumber) {
    std::int16_t e = 21;
    nextImageEffect(app, e); // 22
    EXPECT_EQ(app.state.effectStep, 10);
    e = 81; // 82 is skipped: the step is that of 84
    nextImageEffect(app, e);
    EXPECT_EQ(e, 84);
    EXPECT_EQ(app.state.effectStep, 230);
    e = 110;
    nextImageEffect(app, e);
    EXPECT_EQ(app.state.effectStep, 25);
}

TEST_F(CoreTest, ScreenLoadIsBusyUntilItsFirstActivation) {
    registerProbe(app);
    std::filesystem::create_directories(app.state.picPath);
    ASSERT_TRUE(
        ui::writeBmp(ui::Picture(400, 400, ui::rgb(200, 0, 0)), app.state.picPath + "probe.bmp"));
    auto* f = dynamic_cast<ProbeFrm*>(app.load("probeFrm"));
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(app.state.busy, -1);
    EXPECT_EQ(app.state.firstActivate, -1);
    EXPECT_EQ(f->mousePointer().shape, ui::CursorShape::Hourglass);
    EXPECT_TRUE(f->visible());
    EXPECT_EQ(f->rect(), (ui::Rect{120, 40, 400, 400}));
    EXPECT_EQ(f->surface().pixel(399, 399), ui::rgb(200, 0, 0));
    EXPECT_EQ(f->builds, 0);

    app.runtime.advance(0);
    EXPECT_EQ(f->builds, 1);
    EXPECT_EQ(f->busyInBuild, -1);
    EXPECT_EQ(f->activations, 1);
    EXPECT_EQ(app.state.busy, 0);
    EXPECT_EQ(app.state.firstActivate, 0);
    EXPECT_NE(f->mousePointer().shape, ui::CursorShape::Hourglass);
}

TEST_F(CoreTest, LaterActivationsDoNotBuildAgain) {
    registerProbe(app);
    testing::internal::CaptureStderr(); // no background picture here
    auto* first = dynamic_cast<ProbeFrm*>(app.load("probeFrm"));
    app.runtime.advance(0);
    auto* second = dynamic_cast<ProbeFrm*>(app.load("probeFrm"));
    app.runtime.advance(0);
    EXPECT_EQ(second->builds, 1);
    second->unload();
    app.runtime.advance(0);
    EXPECT_EQ(first->builds, 1);
    EXPECT_EQ(first->activations, 2);
    testing::internal::GetCapturedStderr();
}

TEST_F(CoreTest, ActivationWhileAnotherScreenLoadsDoesNotRebuild) {
    registerProbe(app);
    testing::internal::CaptureStderr();
    auto* first = dynamic_cast<ProbeFrm*>(app.load("probeFrm"));
    app.runtime.advance(0);
    // Another load sets the shared flag; the built screen must not run its
    // one-time set-up a second time.
    app.state.firstActivate = -1;
    first->Form_Activate();
    EXPECT_EQ(first->builds, 1);
    EXPECT_EQ(first->activations, 2);
    testing::internal::GetCapturedStderr();
}

TEST_F(CoreTest, UnknownScreenLoadsNothing) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(app.load("noSuchFrm"), nullptr);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("noSuchFrm"), std::string::npos);
}

TEST_F(BigDesktop, StartUpPutsTheBlackBackdropBehindTheFirstScreen) {
    app.state.readAloud = 7;
    app.state.lastTune = 3;
    app.state.pearlLevel = 2;
    app.state.soundPlaying = -1;
    app.start();
    app.runtime.advance(0);
    ASSERT_TRUE(app.started());
    bgGroundFrm& bg = app.backdrop();
    const auto forms = app.runtime.forms();
    ASSERT_EQ(forms.size(), 2u);
    EXPECT_EQ(forms[0], &bg);
    EXPECT_EQ(bg.rect(), (ui::Rect{0, 0, 1024, 768}));
    EXPECT_EQ(bg.backColor(), 0u);
    EXPECT_TRUE(bg.visible());
    // Without a menu a plain screen stands in, centred.
    EXPECT_EQ(forms[1]->rect(), (ui::Rect{192, 144, 640, 480}));
    EXPECT_EQ(app.runtime.activeForm(), forms[1]);
    EXPECT_EQ(app.runtime.frame().pixel(10, 10), 0u);

    EXPECT_EQ(app.state.readAloud, 1);
    EXPECT_EQ(app.state.lastTune, 0);
    EXPECT_EQ(app.state.pearlLevel, -1);
    EXPECT_EQ(app.state.soundPlaying, 0);
    EXPECT_EQ(app.state.musicPlaying, 0);
    EXPECT_EQ(app.state.charSpeaking, 0);
    ASSERT_TRUE(bg.FXSnd1 && bg.midiFXSnd);
    EXPECT_EQ(bg.FXSnd1->volume(), 16383);
    EXPECT_FALSE(bg.soundTimer.enabled());
    EXPECT_EQ(bg.soundTimer.interval(), 1);
}

TEST_F(BigDesktop, ClickOnTheMarginKeepsTheScreenInFront) {
    app.start();
    app.runtime.advance(0);
    ui::Form* screen = app.runtime.activeForm();
    app.runtime.click({5, 5});
    app.runtime.advance(100);
    EXPECT_EQ(app.runtime.activeForm(), screen);
    EXPECT_EQ(app.runtime.forms().back(), screen);
}

TEST_F(CoreTest, EscapeClosesTheStandInScreenAndEndsTheProgram) {
    app.start();
    app.runtime.advance(0);
    EXPECT_FALSE(app.runtime.quitting());
    app.runtime.keyDown(ui::key::Escape);
    EXPECT_TRUE(app.runtime.quitting());
}

TEST(StartUp, TheProgramStartsWithItsFirstScreenCentredAndReady) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR, {1024, 768});
    h.start();
    h.runtime.advance(500);
    const auto forms = h.runtime.forms();
    ASSERT_GE(forms.size(), 2u);
    EXPECT_EQ(forms.front(), &h.app.backdrop());
    ui::Form* first = h.runtime.activeForm();
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, &h.app.backdrop());
    EXPECT_EQ(first->rect(), (ui::Rect{192, 144, 640, 480}));
    EXPECT_EQ(h.app.state.busy, 0);
    EXPECT_EQ(h.app.state.firstActivate, 0);
    EXPECT_EQ(h.app.state.appPath, h.folder());
    // Black around the screen, the screen's own picture inside it.
    const ui::Picture& frame = h.runtime.frame();
    EXPECT_EQ(frame.pixel(5, 5), 0u);
    EXPECT_EQ(frame.pixel(1018, 762), 0u);
    EXPECT_FALSE(h.runtime.quitting());
}
