#include "menu/menuFrm.h"

#include "core/Folders.h"
#include "core/PublicM.h"
#include "core/Text.h"
#include "core/tavMdl.h"
#include "gfx/Keys.h"
#include "platform/Platform.h"
#include "resources/Resources.h"
#include "ui/Runtime.h"

#include <cctype>
#include <filesystem>
#include <iostream>

namespace menu {

namespace {

constexpr int kVerses = 140;
constexpr int kMaxCount = 10;
constexpr int kFrameIndex = 12;

// The dark panel of the menu picture behind the verse text.
constexpr ui::Color kVersePanel = ui::rgb(77, 52, 47);
constexpr ui::Color kNumberText = ui::rgb(50, 50, 50);

enum Command { NextVerse, PrevVerse, Recite, Enter, CountUp, CountDown, Help, Exit, Games };

} // namespace

menuFrm::menuFrm(core::App& a)
    : core::Screen(a), textTxt(*this), funcImg(*this), selectImg(*this), btnMyBtn(*this),
      FXImage1(*this), Timer1(*this, 1000), Timer2(*this, 500), Timer3(*this, 3000) {
    keyPreview = true;

    ui::TextBox& box = textTxt[0];
    box.setVisible(false);
    box.border = false;
    box.alignment = ui::Align::Center;
    box.backColor = kVersePanel;
    funcImg[0].setVisible(false);
    selectImg[0].setVisible(false);
    btnMyBtn[0].setVisible(false);
    FXImage1.setVisible(false);

    funcImg.onMouseUp = [this](int i, int b, int s, int x, int y) {
        funcImg_MouseUp(i, b, s, x, y);
    };
    selectImg.onClick = [this](int i) { selectImg_Click(i); };
    FXImage1.onTransitionFinished = [this] { FXImage1_TransitionFinished(); };
    Timer1.onTimer = [this] { Timer1_Timer(); };
    Timer2.onTimer = [this] { Timer2_Timer(); };
    Timer3.onTimer = [this] { Timer3_Timer(); };
}

menuFrm::~menuFrm() = default;

// ---- load and build ----------------------------------------------------------

void menuFrm::Form_Load() {
    // The folders first: the background lives in picPath.
    core::initMediaPaths(app);
    menuPointer_ = ui::Cursor::fromCurFile(platform::nativePath(g().picPath + "menu.cur"));
    textTxt[0].setMousePointer(menuPointer_);
    funcImg[0].setMousePointer(menuPointer_);
    selectImg[0].setMousePointer(menuPointer_);
    loadScreen(640, 480, "menu.jpg");
}

void menuFrm::build() {
    FXImage1.move(488, 14, 128, 128);
    FXImage1.setPicture(pic("qhzt1.bmp"));
    FXImage1.setVisible(true);

    for (int i = 1; i <= 8; ++i)
        funcImg.load(i);
    for (int i = 1; i <= kFrameIndex; ++i)
        selectImg.load(i);
    for (int i = 1; i <= 2; ++i)
        textTxt.load(i);
    textTxt.forEach(
        [this](int i, ui::TextBox& t) { t.onChange = [this, i] { textTxt_Change(i); }; });

    readLayout();

    ui::TextBox& verseBox = textTxt[0];
    verseBox.font.size = 28;
    verseBox.foreColor = kNumberText;
    verseBox.backColor = ui::rgb(255, 255, 255);
    ui::TextBox& verseText = textTxt[1];
    verseText.font.size = 16;
    verseText.foreColor = ui::rgb(200, 200, 200);
    verseText.setEnabled(false);
    ui::TextBox& countBox = textTxt[2];
    countBox.font.size = 28;
    countBox.foreColor = kNumberText;
    countBox.backColor = ui::rgb(255, 255, 255);

    ui::Image& frame = selectImg[kFrameIndex];
    frame.setMousePointer(ui::CursorShape::Default);
    frame.setPicture(pic("added01.jpg"));

    core::loadMenuState(app);
    if (g().curFunc < 0 || g().curFunc > kFrameIndex) {
        std::cerr << "shizi: data/data.txt names function " << g().curFunc
                  << ", which does not exist; function 0 is selected\n";
        g().curFunc = 0;
    }

    for (int i = 0; i < 4; ++i) {
        controls::mybutton& b = btnMyBtn.load(i);
        b.move(4, 179 + 75 * i, 90, 75);
        b.setPicture(resources::resourceBitmap("MAINBUTN" + std::to_string(i + 1)));
        b.onMouseclick = [this, i] { btnMyBtn_mouseclick(i); };
    }

    for (int i : {int(Enter), int(Help), int(Exit), int(Games)})
        funcImg[i].setVisible(false);

    textTxt[0].setText(std::to_string(g().curVerse));
    curVerseText = core::getVerse(app, g().curVerse);
    showVerse();
    textTxt[2].setText(std::to_string(g().verseCount));

    prevFunc = g().curFunc;

    Timer1.setInterval(1000);
    Timer1.start();
    Timer2.setInterval(500);
    Timer2.stop();
    Timer3.setInterval(3000);
    Timer3.start();

    SetSelected();
    core::stopMusic(app);
}

void menuFrm::readLayout() {
    const std::string path = g().appPath + "data\\pos_size.txt";
    const auto lines = core::readLines(path);
    if (!lines)
        return;
    bool reported = false;
    auto place = [&](ui::Control& c, std::size_t lineIndex) {
        const std::string line = core::lineAt(*lines, lineIndex);
        bool ok = line.size() >= 15;
        const int left = core::layoutField(line, 1, &ok), top = core::layoutField(line, 5, &ok);
        const int width = core::layoutField(line, 9, &ok),
                  height = core::layoutField(line, 13, &ok);
        if (!ok && !reported) {
            std::cerr << "shizi: " << core::displayPath(path) << " line " << lineIndex + 1
                      << " does not hold four numbers; blanks read as 0\n";
            reported = true;
        }
        const bool inside = left >= 0 && top >= 0 && width >= 0 && height >= 0 &&
                            left + width <= 640 && top + height <= 480;
        if (ok && !inside && !reported) {
            std::cerr << "shizi: " << core::displayPath(path) << " line " << lineIndex + 1 << ": "
                      << left << " " << top << " " << width << " " << height
                      << " reaches outside the 640 x 480 menu; only the part on it is shown\n";
            reported = true;
        }
        c.move(left, top, width, height);
    };
    // Each group follows a heading line.
    for (int i = 0; i <= 2; ++i)
        place(textTxt[i], 1 + std::size_t(i));
    textTxt[0].setVisible(true);
    textTxt[1].setVisible(true);
    for (int i = 0; i <= 8; ++i) {
        place(funcImg[i], 5 + std::size_t(i));
        funcImg[i].setVisible(true);
    }
    for (int i = 0; i <= kFrameIndex; ++i) {
        place(selectImg[i], 15 + std::size_t(i));
        if (i < kFrameIndex)
            selectImg[i].setVisible(true);
    }
}

void menuFrm::activated() {
    btnMyBtn.forEach([](int, controls::mybutton& b) { b.setVisible(true); });
}

// ---- selection and verse display ---------------------------------------------

void menuFrm::SetSelected() {
    const bool countShown = g().curFunc == 0;
    selectImg[kFrameIndex].setVisible(countShown);
    textTxt[2].setVisible(countShown);
    if (countShown)
        textTxt[2].zOrder(0);
    funcImg[CountUp].setVisible(countShown);
    funcImg[CountDown].setVisible(countShown);

    if (prevFunc != -1 && prevFunc != g().curFunc && selectImg.exists(prevFunc))
        selectImg[prevFunc].setPicture({});
    prevFunc = g().curFunc;
    selectImg[g().curFunc].setPicture(pic("selected.bmp"));
}

void menuFrm::showVerse() {
    const std::string verse = core::toUtf8(curVerseText);
    textTxt[1].setText(core::substrChars(verse, 0, 7) + "，" + core::substrChars(verse, 7, 7));
}

// ---- clicks and keys -----------------------------------------------------------

void menuFrm::funcImg_MouseUp(int index, int button, int shift, int x, int y) {
    (void)button, (void)shift;
    if (isBusy())
        return;
    const ui::Image& area = funcImg[index];
    if (x < 0 || y < 0 || x >= area.width() || y >= area.height())
        return;
    switch (index) {
    case NextVerse:
        stepVerse(1);
        break;
    case PrevVerse:
        stepVerse(-1);
        break;
    case Recite:
        recite();
        break;
    case Enter:
        enter();
        break;
    case CountUp:
        stepCount(1);
        break;
    case CountDown:
        stepCount(-1);
        break;
    case Help:
        help();
        break;
    case Exit:
        exitMenu();
        break;
    case Games:
        games();
        break;
    default:
        break;
    }
}

void menuFrm::btnMyBtn_mouseclick(int index) {
    if (isBusy())
        return;
    switch (index) {
    case 0:
        enter();
        break;
    case 1:
        games();
        break;
    case 2:
        help();
        break;
    case 3:
        exitMenu();
        break;
    default:
        break;
    }
}

void menuFrm::selectImg_Click(int index) {
    if (isBusy())
        return;
    g().curFunc = std::int16_t(index);
    SetSelected();
}

void menuFrm::Form_KeyDown(int& keyCode, int shift) {
    (void)shift;
    if (isBusy() || keyCode != ui::key::F1)
        return;
    core::stopSound(app);
    core::queueSound(app, 15);
    core::showHelp(app);
}

void menuFrm::Form_KeyUp(int& keyCode, int shift) {
    (void)keyCode, (void)shift;
}

void menuFrm::Form_MouseMove(int button, int shift, int x, int y) {
    (void)button, (void)shift, (void)x, (void)y;
    if (isBusy())
        return;
    // Ends the hourglass a command may have left behind.
    setMousePointer(ui::CursorShape::Default);
}

// ---- commands ------------------------------------------------------------------

void menuFrm::stepVerse(int delta) {
    g().busy = -1;
    if (g().soundPlaying)
        core::stopSound(app);
    textTxt[0].setText(std::to_string(g().curVerse + delta));
    g().busy = 0;
}

void menuFrm::stepCount(int delta) {
    g().busy = -1;
    textTxt[2].setText(std::to_string(g().verseCount + delta));
    g().busy = 0;
}

void menuFrm::recite() {
    g().busy = -1;
    Timer1.stop();
    core::stopSound(app);
    // A second click during the wait or the recitation starts the wait anew.
    Timer2.stop();
    Timer2.start();
    g().busy = 0;
}

void menuFrm::help() {
    g().busy = -1;
    core::stopSound(app);
    core::queueSound(app, 15);
    core::showHelp(app);
    g().busy = 0;
}

std::string menuFrm::pageOf(std::int16_t func, std::int16_t& mode) {
    switch (func) {
    case 0:
        mode = g().verseCount;
        return "funFrm1";
    case 1:
        mode = 1;
        return "funFrm1";
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
        mode = std::int16_t(func - 2);
        return "funFrm3";
    case 7:
    case 8:
    case 9:
        mode = std::int16_t(func - 7);
        return "funFrm8";
    case 10:
        return "funFrm9";
    case 11:
        return "funFrm0";
    default:
        return {};
    }
}

void menuFrm::enter() {
    if (g().soundPlaying)
        core::stopSound(app);
    g().busy = -1;
    core::saveMenuState(app);
    setMousePointer(ui::CursorShape::Hourglass);
    std::int16_t mode = g().pageMode;
    const std::string page = pageOf(g().curFunc, mode);
    // The frame picture has no page; neither has a function whose page is
    // not part of this build. The menu stays and answers at once.
    if (page.empty() || !app.hasScreen(page)) {
        g().busy = 0;
        return;
    }
    g().pageMode = mode;
    app.load(page);
    unload();
}

void menuFrm::games() {
    setMousePointer(ui::CursorShape::Hourglass);
    core::saveMenuState(app);
    core::stopSound(app);
    if (!app.hasScreen("gameFrm")) {
        g().busy = 0;
        return;
    }
    app.load("gameFrm");
    unload();
}

void menuFrm::exitMenu() {
    setMousePointer(ui::CursorShape::Hourglass);
    core::stopSound(app);
    core::stopMusic(app);
    core::saveMenuState(app);
    core::closeHelp(app);
    if (app.hasScreen("exitFrm")) {
        app.load("exitFrm");
        hide();
        unload();
    } else {
        unload();
        app.end();
    }
}

// ---- typed numbers -------------------------------------------------------------

void menuFrm::textTxt_Change(int index) {
    if (index == 0) {
        if (g().soundPlaying)
            core::stopSound(app);
        const std::int16_t v = core::readNumber(textTxt[0].text());
        g().curVerse = v;
        if (v > kVerses) {
            g().curVerse = kVerses;
            textTxt[0].setText(std::to_string(kVerses));
        } else if (v < 1) {
            g().curVerse = 1;
            textTxt[0].setText("1");
        }
        curVerseText = core::getVerse(app, g().curVerse);
        showVerse();
    } else if (index == 2) {
        const std::int16_t n = core::readNumber(textTxt[2].text());
        g().verseCount = n;
        if (n > kMaxCount) {
            g().verseCount = kMaxCount;
            textTxt[2].setText(std::to_string(kMaxCount));
        } else if (n < 1) {
            g().verseCount = 1;
            textTxt[2].setText("1");
        }
    }
    // The verses counted from the current one must exist.
    const int left = kVerses + 1 - g().curVerse;
    if (left < g().verseCount) {
        g().verseCount = std::int16_t(left);
        if (textTxt.exists(2))
            textTxt[2].setText(std::to_string(left));
    }
}

// ---- timers --------------------------------------------------------------------

void menuFrm::Timer1_Timer() {
    if (!g().soundPlaying)
        core::queueSound(app, 3);
}

void menuFrm::Timer2_Timer() {
    Timer2.stop();
    // A prompt queued just before the recite click may have started in the
    // wait; the recitation goes first.
    if (g().soundPlaying)
        core::stopSound(app);
    core::playVerse(app, g().curVerse);
    Timer1.start();
}

void menuFrm::Timer3_Timer() {
    const int k = core::roundToInt16(app.random.next() * 3);
    if (k == 0)
        return;
    g().effectNo = core::nextImageEffect(app, g().effectNo);
    FXImage1.transition = g().effectNo;
    FXImage1.effectSetting = g().effectBase + 100;
    FXImage1.step = g().effectStep;
    FXImage1.animate = true;
    FXImage1.setPicture(pic("qhzt" + std::to_string(k) + ".bmp"));
}

void menuFrm::FXImage1_TransitionFinished() {
    FXImage1.animate = false;
    FXImage1.transition = 0;
}

// ---- unload --------------------------------------------------------------------

void menuFrm::Form_QueryUnload(bool& cancel) {
    (void)cancel;
    hide();
    textTxt[0].setVisible(false);
    FXImage1.setVisible(false);
    textTxt.unloadAll();
    funcImg.unloadAll();
    selectImg.unloadAll();
    btnMyBtn.forEach([](int, controls::mybutton& b) { b.setVisible(false); });
    setPicture({});
    std::error_code ec;
    std::filesystem::remove(platform::nativePath(core::scratchFolder(g()) + "tav_k.bmp"), ec);
}

} // namespace menu
