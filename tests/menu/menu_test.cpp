// The main menu driven as a child drives it: clicks on its areas and
// buttons, typing in its boxes, keys, and time passing.
#include "controls/mybutton.h"
#include "core/exitFrm.h"
#include "core/tavMdl.h"
#include "menu_host.h"
#include "resources/Resources.h"

#include <algorithm>
#include <filesystem>

using menutest::MenuHost;
using menutest::StubPage;

namespace {

constexpr int kNext = 0, kPrev = 1, kRecite = 2, kCountUp = 4, kCountDown = 5;

std::string base(const std::string& path) {
    return path.substr(path.find_last_of("/\\") + 1);
}

int count(const std::vector<std::string>& v, const std::string& s) {
    return int(std::count(v.begin(), v.end(), s));
}

} // namespace

TEST(MenuBuild, LaysOutTheScreenFromItsFiles) {
    MenuHost h;
    menu::menuFrm& m = h.start();
    EXPECT_FALSE(h.app.state.busy);
    EXPECT_EQ(m.width(), 640);
    EXPECT_EQ(m.height(), 480);
    // The layout file of the media set: the verse box, the next-verse area
    // and the frame beside the count box.
    EXPECT_EQ(m.textTxt[0].rect(), (ui::Rect{170, 72, 66, 44}));
    EXPECT_EQ(m.funcImg[kNext].rect(), (ui::Rect{240, 76, 36, 36}));
    EXPECT_EQ(m.selectImg[12].rect(), (ui::Rect{388, 64, 62, 60}));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(m.btnMyBtn[i].rect(), (ui::Rect{4, 179 + 75 * i, 90, 75}));
        EXPECT_TRUE(m.btnMyBtn[i].visible());
    }
    for (int i : {3, 6, 7, 8})
        EXPECT_FALSE(m.funcImg[i].visible()) << i;
    EXPECT_EQ(m.FXImage1.rect(), (ui::Rect{488, 14, 128, 128}));
    EXPECT_FALSE(m.FXImage1.picture().empty());

    // The saved selection: function 0, verse 1, one verse.
    EXPECT_EQ(m.textTxt[0].text(), "1");
    EXPECT_EQ(m.textTxt[2].text(), "1");
    const std::string verse = core::toUtf8(core::getVerse(h.app, 1));
    EXPECT_EQ(m.textTxt[1].text(),
              core::substrChars(verse, 0, 7) + "，" + core::substrChars(verse, 7, 7));
    EXPECT_FALSE(m.textTxt[1].enabled());

    // The menu's own pointer over its areas, the normal one over the frame.
    EXPECT_EQ(m.funcImg[kNext].mousePointer().shape, ui::CursorShape::Custom);
    EXPECT_EQ(m.selectImg[5].mousePointer().shape, ui::CursorShape::Custom);
    EXPECT_NE(m.selectImg[12].mousePointer().shape, ui::CursorShape::Custom);
}

TEST(MenuVerse, StepsStopAtTheEndsOfTheBook) {
    MenuHost h;
    menu::menuFrm& m = h.start();
    h.click(m.funcImg[kPrev]);
    EXPECT_EQ(h.app.state.curVerse, 1);
    EXPECT_EQ(m.textTxt[0].text(), "1");
    h.click(m.funcImg[kNext]);
    EXPECT_EQ(h.app.state.curVerse, 2);
    EXPECT_EQ(m.curVerseText, core::getVerse(h.app, 2));

    h.typeNumber(m.textTxt[0], "140");
    EXPECT_EQ(h.app.state.curVerse, 140);
    h.click(m.funcImg[kNext]);
    EXPECT_EQ(h.app.state.curVerse, 140);
    EXPECT_EQ(m.textTxt[0].text(), "140");
    EXPECT_EQ(m.curVerseText, core::getVerse(h.app, 140));
    EXPECT_FALSE(h.app.state.busy);
}

TEST(MenuVerse, TypedNumbersAreCorrectedSilently) {
    MenuHost h;
    menu::menuFrm& m = h.start();
    h.typeNumber(m.textTxt[0], "200");
    EXPECT_EQ(m.textTxt[0].text(), "140");
    EXPECT_EQ(h.app.state.curVerse, 140);
    EXPECT_EQ(m.curVerseText, core::getVerse(h.app, 140));

    // Letters before the number read as no number at all.
    h.key(ui::key::Home);
    h.type("a");
    EXPECT_EQ(m.textTxt[0].text(), "1");
    EXPECT_EQ(h.app.state.curVerse, 1);

    h.typeNumber(m.textTxt[0], "25");
    EXPECT_EQ(h.app.state.curVerse, 25);
    // Clearing the box.
    h.key(ui::key::Backspace);
    EXPECT_EQ(h.app.state.curVerse, 2);
    h.key(ui::key::Backspace);
    EXPECT_EQ(m.textTxt[0].text(), "1");
    EXPECT_EQ(h.app.state.curVerse, 1);
    EXPECT_EQ(m.curVerseText, core::getVerse(h.app, 1));
}

TEST(MenuVerse, ANumberTypedIntoTheBoxReplacesTheOneShown) {
    MenuHost h;
    menu::menuFrm& m = h.start();
    ui::TextBox& box = m.textTxt[0];
    ASSERT_EQ(box.text(), "1");
    h.focus(box); // the click that brings the focus selects the 1
    h.type("8");
    EXPECT_EQ(h.app.state.curVerse, 8) << "the change rule runs after each key";
    h.type("5");
    EXPECT_EQ(box.text(), "85");
    EXPECT_EQ(h.app.state.curVerse, 85);
    EXPECT_EQ(m.curVerseText, core::getVerse(h.app, 85));
    const std::string verse = core::toUtf8(core::getVerse(h.app, 85));
    EXPECT_EQ(m.textTxt[1].text(),
              core::substrChars(verse, 0, 7) + "，" + core::substrChars(verse, 7, 7));

    // Clearing the box leaves its 1 selected, so the next number replaces it.
    h.key(ui::key::A, ui::shiftmask::Ctrl);
    h.key(ui::key::Backspace);
    EXPECT_EQ(box.text(), "1");
    EXPECT_EQ(h.app.state.curVerse, 1);
    h.type("4");
    h.type("2");
    EXPECT_EQ(box.text(), "42");
    EXPECT_EQ(h.app.state.curVerse, 42);

    // A double click selects the number as well; the book still ends at 140.
    h.runtime.advance(1000);
    h.click(box);
    h.click(box);
    for (const char* digit : {"3", "0", "0"})
        h.type(digit);
    EXPECT_EQ(box.text(), "140");
    EXPECT_EQ(h.app.state.curVerse, 140);
    // Shift with Home selects from the caret back to the start.
    h.key(ui::key::End);
    h.key(ui::key::Home, ui::shiftmask::Shift);
    h.type("9");
    EXPECT_EQ(h.app.state.curVerse, 9);
}

TEST(MenuCount, BelongsToFunctionZeroOnly) {
    MenuHost h;
    menu::menuFrm& m = h.start();
    ASSERT_EQ(h.app.state.curFunc, 0);
    EXPECT_TRUE(m.textTxt[2].visible());
    EXPECT_TRUE(m.selectImg[12].visible());
    EXPECT_TRUE(m.funcImg[kCountUp].visible());
    EXPECT_FALSE(m.selectImg[0].picture().empty());

    h.click(m.selectImg[5]);
    EXPECT_EQ(h.app.state.curFunc, 5);
    EXPECT_FALSE(m.textTxt[2].visible());
    EXPECT_FALSE(m.selectImg[12].visible());
    EXPECT_FALSE(m.funcImg[kCountUp].visible());
    EXPECT_FALSE(m.funcImg[kCountDown].visible());
    EXPECT_TRUE(m.selectImg[0].picture().empty());
    EXPECT_FALSE(m.selectImg[5].picture().empty());

    // Selecting the same function again keeps its mark.
    h.click(m.selectImg[5]);
    EXPECT_FALSE(m.selectImg[5].picture().empty());

    h.click(m.selectImg[0]);
    EXPECT_TRUE(m.textTxt[2].visible());
    EXPECT_TRUE(m.selectImg[5].picture().empty());
}

TEST(MenuCount, StaysWithinTenAndTheVersesLeft) {
    MenuHost h;
    menu::menuFrm& m = h.start();
    h.click(m.funcImg[kCountDown]);
    EXPECT_EQ(h.app.state.verseCount, 1);
    for (int i = 0; i < 12; ++i)
        h.click(m.funcImg[kCountUp]);
    EXPECT_EQ(h.app.state.verseCount, 10);
    EXPECT_EQ(m.textTxt[2].text(), "10");

    // From verse 130 with ten verses, stepping on to 135 leaves room for six.
    h.typeNumber(m.textTxt[0], "130");
    EXPECT_EQ(h.app.state.verseCount, 10);
    for (int i = 0; i < 5; ++i)
        h.click(m.funcImg[kNext]);
    EXPECT_EQ(h.app.state.curVerse, 135);
    EXPECT_EQ(h.app.state.verseCount, 6);
    EXPECT_EQ(m.textTxt[2].text(), "6");
    h.click(m.funcImg[kCountUp]);
    EXPECT_EQ(h.app.state.verseCount, 6);

    // Typed counts: above ten and letters.
    h.typeNumber(m.textTxt[0], "5");
    h.focus(m.textTxt[2]);
    h.key(ui::key::End);
    h.type("9");
    EXPECT_EQ(m.textTxt[2].text(), "10");
    h.key(ui::key::Home);
    h.type("x");
    EXPECT_EQ(m.textTxt[2].text(), "1");
    EXPECT_EQ(h.app.state.verseCount, 1);
}

TEST(MenuCount, ATypedCountReplacesTheSelectedOne) {
    MenuHost h;
    menu::menuFrm& m = h.start();
    ui::TextBox& count = m.textTxt[2];
    h.focus(count);
    h.key(ui::key::End);
    h.key(ui::key::A, ui::shiftmask::Ctrl);
    h.type("7");
    EXPECT_EQ(count.text(), "7");
    EXPECT_EQ(h.app.state.verseCount, 7);

    // Above ten is corrected, and the correction is selected for the next key.
    h.key(ui::key::A, ui::shiftmask::Ctrl);
    h.type("1");
    h.type("2");
    EXPECT_EQ(count.text(), "10");
    EXPECT_EQ(h.app.state.verseCount, 10);
    h.type("4");
    EXPECT_EQ(count.text(), "4");
    EXPECT_EQ(h.app.state.verseCount, 4);

    // Hidden with another function and shown again, the box selects all on
    // the click that gives it the focus.
    h.click(m.selectImg[5]);
    h.click(m.selectImg[0]);
    h.runtime.advance(1000); // not a double click
    h.focus(count);
    EXPECT_EQ(count.selText(), "4");
    h.type("9");
    EXPECT_EQ(h.app.state.verseCount, 9);

    // Near the end of the book the verses left still bound the count.
    h.typeNumber(m.textTxt[0], "135");
    EXPECT_EQ(count.text(), "6");
    h.typeNumber(count, "8");
    EXPECT_EQ(count.text(), "6");
    EXPECT_EQ(h.app.state.verseCount, 6);
}

TEST(MenuRecite, PlaysTheVerseHalfASecondLater) {
    MenuHost h;
    menu::menuFrm& m = h.start();
    h.typeNumber(m.textTxt[0], "12");
    h.runtime.advance(1200); // the prompt is playing by now
    ASSERT_TRUE(h.app.state.soundPlaying);
    h.click(m.funcImg[kRecite]);
    const ui::Micros clicked = h.runtime.now();
    EXPECT_FALSE(h.media.playing()) << "the prompt is cut";
    h.runtime.advance(499);
    EXPECT_EQ(count(h.played(), "sd012.wav"), 0);
    h.runtime.advance(1);
    auto last = h.media.lastPlay();
    ASSERT_TRUE(last);
    EXPECT_EQ(base(last->file), "sd012.wav");
    EXPECT_EQ(last->time, clicked + 500000);

    // A second click during the recitation starts it again.
    h.runtime.advance(300);
    h.click(m.funcImg[kRecite]);
    h.runtime.advance(500);
    EXPECT_EQ(count(h.played(), "sd012.wav"), 2);
    EXPECT_EQ(base(h.media.lastPlay()->file), "sd012.wav");
}

TEST(MenuPrompt, RepeatsOnlyWhenTheEffectPlayerIsIdle) {
    MenuHost h;
    h.start();
    h.runtime.advance(1100);
    EXPECT_EQ(count(h.played(), "begin.wav"), 1);
    // begin.wav lasts a little over four seconds: no second prompt over it.
    h.runtime.advance(3000);
    EXPECT_EQ(count(h.played(), "begin.wav"), 1);
    h.runtime.advance(2500);
    EXPECT_EQ(count(h.played(), "begin.wav"), 2);
}

TEST(MenuLogo, ChangesThroughNumberedTransitions) {
    MenuHost h;
    menu::menuFrm& m = h.start();
    const ui::Picture first = m.FXImage1.picture();
    int changes = 0;
    std::vector<int> transitions;
    for (int i = 0; i < 12; ++i) {
        const ui::Picture before = m.FXImage1.picture();
        h.runtime.advance(3000);
        if (m.FXImage1.transition != 0 || m.FXImage1.transitioning() ||
            !(m.FXImage1.picture() == before))
            ++changes;
        if (h.app.state.effectNo)
            transitions.push_back(h.app.state.effectNo);
    }
    EXPECT_GT(changes, 3);
    ASSERT_FALSE(transitions.empty());
    EXPECT_GE(transitions.front(), 5);
    EXPECT_EQ(m.FXImage1.effectSetting, 107);
}

TEST(MenuEnter, OpensThePageOfTheSelectedFunction) {
    MenuHost h;
    menu::menuFrm& m = h.start();
    menutest::registerStub(h, "funFrm8");
    h.click(m.selectImg[8]);
    h.click(m.btnMyBtn[0]);
    h.runtime.advance(0);
    auto* page = h.find<StubPage>();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->name, "funFrm8");
    EXPECT_EQ(page->modeAtLoad, 1);
    EXPECT_EQ(h.find<menu::menuFrm>(), nullptr);
    EXPECT_EQ(h.data(), "8 1 1");
}

TEST(MenuEnter, FunctionZeroOpensTheRecitalWithTheCount) {
    MenuHost h;
    menu::menuFrm& m = h.start();
    menutest::registerStub(h, "funFrm1");
    h.typeNumber(m.textTxt[0], "7");
    for (int i = 0; i < 3; ++i)
        h.click(m.funcImg[kCountUp]);
    h.click(m.btnMyBtn[0]);
    h.runtime.advance(0);
    auto* page = h.find<StubPage>();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->name, "funFrm1");
    EXPECT_EQ(page->modeAtLoad, 4);
    EXPECT_EQ(h.data(), "0 7 4");
}

TEST(MenuEnter, TheFramePictureSavesAndStays) {
    MenuHost h;
    menu::menuFrm& m = h.start();
    // The count box stands in the middle of the frame: click its edge.
    const ui::Image& frame = m.selectImg[12];
    h.runtime.click(h.at(m, frame.left() + 3, frame.top() + 3));
    ASSERT_EQ(h.app.state.curFunc, 12);
    EXPECT_FALSE(m.selectImg[12].visible());
    h.click(m.btnMyBtn[0]);
    h.runtime.advance(0);
    EXPECT_EQ(h.find<menu::menuFrm>(), &m);
    EXPECT_EQ(h.data(), "12 1 1");
    EXPECT_FALSE(h.app.state.busy);
    // The hourglass stays until the pointer moves over the menu.
    EXPECT_EQ(m.mousePointer().shape, ui::CursorShape::Hourglass);
    // The first move leaves the button, the next is over the menu itself.
    h.runtime.mouseMove(h.at(m, 300, 20));
    h.runtime.mouseMove(h.at(m, 301, 20));
    EXPECT_NE(m.mousePointer().shape, ui::CursorShape::Hourglass);
    // The menu answers at once.
    h.click(m.funcImg[kNext]);
    EXPECT_EQ(h.app.state.curVerse, 2);
}

TEST(MenuKeys, F1OpensHelpUnlessBusy) {
    MenuHost h;
    menu::menuFrm& m = h.start();
    h.focus(m.textTxt[0]); // the key reaches the menu before the box
    h.app.state.busy = -1;
    h.key(ui::key::F1);
    h.runtime.advance(100);
    EXPECT_EQ(h.launcher.opened, 0);
    EXPECT_EQ(count(h.played(), "help_snd.wav"), 0);

    h.app.state.busy = 0;
    h.key(ui::key::F1);
    h.runtime.advance(100);
    EXPECT_EQ(h.launcher.opened, 1);
    EXPECT_EQ(base(h.launcher.lastFile), "tavHelp.chm");
    EXPECT_EQ(count(h.played(), "help_snd.wav"), 1);
    EXPECT_EQ(m.textTxt[0].text(), "1") << "F1 types nothing";
}

TEST(MenuLeave, TheSelectionComesBackFromTheHub) {
    MenuHost h;
    menu::menuFrm& m = h.start();
    menutest::registerStub(h, "gameFrm");
    h.typeNumber(m.textTxt[0], "33");
    h.click(m.selectImg[5]);
    h.click(m.btnMyBtn[1]);
    h.runtime.advance(0);
    auto* hub = h.find<StubPage>();
    ASSERT_NE(hub, nullptr);
    EXPECT_EQ(hub->name, "gameFrm");

    // The file, not memory, must bring the selection back.
    h.app.state.curFunc = 0;
    h.app.state.curVerse = 1;
    h.app.load("menuFrm");
    hub->unload();
    h.runtime.advance(0);
    menu::menuFrm& back = h.menu();
    EXPECT_EQ(h.app.state.curFunc, 5);
    EXPECT_EQ(back.textTxt[0].text(), "33");
    EXPECT_EQ(back.curVerseText, core::getVerse(h.app, 33));
    EXPECT_FALSE(back.selectImg[5].picture().empty());
    EXPECT_FALSE(back.textTxt[2].visible());
}

TEST(MenuLeave, UnloadCleansUp) {
    MenuHost h;
    menu::menuFrm& m = h.start();
    menutest::registerStub(h, "gameFrm");
    const std::string scratch = h.folder() + "pic/tav_k.bmp";
    ASSERT_TRUE(ui::writeBmp(ui::Picture(4, 4), scratch));
    h.click(m.btnMyBtn[1]);
    EXPECT_FALSE(std::filesystem::exists(scratch));
    h.runtime.advance(0);
    EXPECT_EQ(h.find<menu::menuFrm>(), nullptr);
    // The timers died with the menu: no prompt over the hub.
    h.media.clearLog();
    h.runtime.advance(5000);
    EXPECT_EQ(count(h.played(), "begin.wav"), 0);
}

TEST(ExitScreen, EndsTheProgramAfterSevenAndAHalfSeconds) {
    MenuHost h;
    menu::menuFrm& m = h.start();
    h.click(m.selectImg[3]);
    h.click(m.btnMyBtn[3]);
    h.runtime.advance(0);
    EXPECT_EQ(h.data(), "3 1 1");
    EXPECT_EQ(h.launcher.closed, 1);
    auto* bye = h.find<core::exitFrm>();
    ASSERT_NE(bye, nullptr);
    EXPECT_EQ(bye->width(), 320);
    EXPECT_EQ(bye->height(), 240);
    EXPECT_EQ(h.find<menu::menuFrm>(), nullptr);
    h.runtime.advance(100);
    EXPECT_EQ(count(h.played(), "exit.wav"), 1);
    h.runtime.advance(7300);
    EXPECT_FALSE(h.runtime.quitting());
    h.runtime.advance(200);
    EXPECT_TRUE(h.runtime.quitting());
}

TEST(ExitScreen, AClickEndsAtOnce) {
    MenuHost h;
    menu::menuFrm& m = h.start();
    h.click(m.btnMyBtn[3]);
    h.runtime.advance(20);
    auto* bye = h.find<core::exitFrm>();
    ASSERT_NE(bye, nullptr);
    ASSERT_TRUE(h.media.playing()) << "the goodbye sound plays";
    h.runtime.click(h.at(*bye, 160, 120));
    EXPECT_TRUE(h.runtime.quitting());
    EXPECT_FALSE(h.media.playing()) << "and is cut";
}
