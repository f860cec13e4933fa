#include "games/gameFrm.h"

#include "core/PublicM.h"
#include "core/Text.h"
#include "core/tavMdl.h"
#include "gfx/Keys.h"
#include "ui/Runtime.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace games {

namespace {

// Where the hub's picture draws its circles: what a damaged line of
// game.txt falls back to.
constexpr HubCircle kDefaultCircles[6] = {{200, 92, 54},  {319, 178, 54}, {273, 318, 54},
                                          {127, 318, 54}, {81, 178, 54},  {200, 212, 44}};

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
    const std::string path = g().appPath + "data\\game.txt";
    const auto lines = core::readLines(path);
    if (!lines)
        return; // no circles: every click falls outside
    for (std::size_t n = 0; n < 6; ++n) {
        const std::string line = core::lineAt(*lines, n);
        bool ok = line.size() >= 11;
        const HubCircle c{core::layoutField(line, 1, &ok), core::layoutField(line, 5, &ok),
                          core::layoutField(line, 9, &ok)};
        // A circle must lie on the hub's 640 x 480 screen to be clicked.
        ok = ok && c.x >= 0 && c.x < 640 && c.y >= 0 && c.y < 480 && c.r > 0 && c.r <= 240;
        gameCircles[n] = ok ? c : kDefaultCircles[n];
        if (!ok)
            std::fprintf(stderr,
                         "shizi: %s line %zu: \"%.40s\" is not a circle on the screen; "
                         "%d %d %d is used\n",
                         core::displayPath(path).c_str(), n + 1, line.c_str(), kDefaultCircles[n].x,
                         kDefaultCircles[n].y, kDefaultCircles[n].r);
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

// The four pictures differ only where the hub moves, so only that part is
// composed and sent each tick.
ui::Rect gameFrm::movingPart() {
    if (movingPartKnown_)
        return movingPart_;
    movingPartKnown_ = true;
    const ui::Picture& first = frame(1);
    movingPart_ = first.rect();
    int left = first.width(), top = first.height(), right = -1, bottom = -1;
    for (int n = 2; n <= 4; ++n) {
        const ui::Picture& other = frame(n);
        if (other.size() != first.size())
            return movingPart_;
        for (int y = 0; y < first.height(); ++y)
            for (int x = 0; x < first.width(); ++x) {
                const ui::Color a = first.pixel(x, y), b = other.pixel(x, y);
                // Compression leaves faint noise over the still parts; a child
                // could not see a difference this small.
                const int d = std::abs(ui::red(a) - ui::red(b)) +
                              std::abs(ui::green(a) - ui::green(b)) +
                              std::abs(ui::blue(a) - ui::blue(b));
                if (d <= 24)
                    continue;
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    }
    movingPart_ = right < 0 ? ui::Rect{} : ui::Rect{left, top, right - left + 1, bottom - top + 1};
    return movingPart_;
}

void gameFrm::Timer1_Timer() {
    if (++backdropFrame > 4)
        backdropFrame = 1;
    const ui::Rect moving = movingPart();
    const ui::Picture& next = frame(backdropFrame);
    if (next.empty() || next.width() < width() || next.height() < height()) {
        setPicture(next);
    } else if (!moving.empty()) {
        // Shown where it lies: it is copied once, as the screen is composed.
        showInstead(next);
        invalidate(moving);
    }
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
