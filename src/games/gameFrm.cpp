#include "games/gameFrm.h"

#include "core/PublicM.h"
#include "core/Text.h"
#include "core/tavMdl.h"
#include "gfx/Keys.h"
#include "ui/Runtime.h"

#include <cstdio>

namespace games {

namespace {

// The forms behind circles 1 to 6.
constexpr const char* kCircleForms[6] = {"game01Frm",  "game02Frm", "game03Frm",
                                         "Game04AFrm", "game05Frm", "menuFrm"};

} // namespace

gameFrm::gameFrm(core::App& a) : core::Screen(a), Timer1(*this, 25) {
    Timer1.onTimer = [this] { Timer1_Timer(); };
}

gameFrm::~gameFrm() = default;

// ---- load -------------------------------------------------------------------

void gameFrm::Form_Load() {
    FXSnd1 = app.media.createPlayer(runtime());
    FXSnd1->onEnd = [this] { FXSnd1_End(); };
    loadScreen(400, 400, "game1.jpg");
    g().pearlLevel = -1;
    backdropFrame = 1;
    Timer1.start();
}

void gameFrm::build() {
    loadGameCircles();
    hand_ = ui::Cursor::fromCurFile(platform::nativePath(g().picPath + "hub.cur"));
    if (hand_.shape == ui::CursorShape::Default)
        hand_ = ui::Cursor::standard(ui::CursorShape::Hand);
}

void gameFrm::loadGameCircles() {
    selectedCircle = -1;
    backdropFrame = 1;
    gameCircles = {};
    const auto lines = core::readLines(g().appPath + "data\\game.txt");
    if (!lines)
        return; // no circles: every click falls outside
    for (std::size_t n = 0; n < 6; ++n) {
        const std::string line = core::lineAt(*lines, n);
        if (line.size() < 11)
            std::fprintf(stderr, "game.txt: line %zu is short; that circle is left out\n", n + 1);
        gameCircles[n] = {core::layoutField(line, 1), core::layoutField(line, 5),
                          core::layoutField(line, 9)};
    }
}

// ---- events -----------------------------------------------------------------

int gameFrm::circleAt(int x, int y) const {
    for (int n = 0; n < 6; ++n) {
        const HubCircle& c = gameCircles[n];
        const long dx = x - c.x, dy = y - c.y;
        // Squared distances: the rim itself (distance equal to the radius) is outside.
        if (dx * dx + dy * dy < long(c.r) * c.r)
            return n + 1;
    }
    return -1;
}

void gameFrm::Form_MouseMove(int, int, int x, int y) {
    if (isBusy())
        return;
    selectedCircle = std::int16_t(circleAt(x, y));
    setMousePointer(selectedCircle > 0 ? hand_ : ui::Cursor::standard(ui::CursorShape::Default));
}

void gameFrm::Form_Click() {
    if (isBusy())
        return;
    g().busy = -1;
    core::stopSound(app);
    core::stopMusic(app);
    // The hub's own tune goes quiet too, so it never plays under the next
    // screen's first sound.
    FXSnd1_End();
    while (g().soundPlaying != 0 || g().musicPlaying != 0) {
        runtime().yieldWait();
        if (unloading())
            return;
    }
    const int n = selectedCircle;
    // Games not built into this program behave as a click beside the circles.
    if (n < 1 || n > 6 || !app.hasScreen(kCircleForms[n - 1])) {
        g().busy = 0;
        return;
    }
    setMousePointer(ui::CursorShape::Hourglass);
    core::playSoundWait(app, n == 6 ? 14 : 13);
    app.load(kCircleForms[n - 1]);
    unload();
}

void gameFrm::Form_KeyDown(int& keyCode, int) {
    if (isBusy() || keyCode != ui::key::F1)
        return;
    core::stopSound(app);
    FXSnd1_End();
    core::queueSound(app, 15);
    core::showHelp(app);
}

// ---- timers and the tune ------------------------------------------------------

const ui::Picture& gameFrm::frame(int n) {
    if (!frameLoaded_[n - 1]) {
        frames_[n - 1] = pic("game" + std::to_string(n) + ".jpg");
        frameLoaded_[n - 1] = true;
    }
    return frames_[n - 1];
}

void gameFrm::Timer1_Timer() {
    if (++backdropFrame > 4)
        backdropFrame = 1;
    setPicture(frame(backdropFrame));
    if (g().soundPlaying == 0 && g().musicPlaying == 0) {
        g().musicPlaying = -1;
        FXSnd1->fileName = g().soundPath + "qhzt.mid";
        FXSnd1->setNotify(true);
        FXSnd1->setRepeat(true);
        FXSnd1->play();
    }
}

void gameFrm::FXSnd1_End() {
    if (!FXSnd1)
        return;
    FXSnd1->setNotify(false);
    FXSnd1->stop();
    g().musicPlaying = 0;
}

// ---- unload -------------------------------------------------------------------

void gameFrm::Form_QueryUnload(bool&) {
    setPicture(ui::Picture());
    FXSnd1_End();
}

} // namespace games
