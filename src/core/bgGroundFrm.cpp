#include "core/bgGroundFrm.h"

#include "core/PublicM.h"
#include "core/Screen.h"
#include "core/Text.h"
#include "core/tavMdl.h"
#include "gfx/Keys.h"
#include "ui/Runtime.h"

namespace core {

namespace {

// Stands in for the main menu when no menu is registered.
class PlaceholderFrm final : public Screen {
  public:
    using Screen::Screen;
    void Form_Load() override {
        keyPreview = true;
        loadScreen(640, 480, "");
    }
    void Form_KeyDown(int& keyCode, int) override {
        if (isBusy() || keyCode != ui::key::Escape)
            return;
        unload();
        app.end();
    }
};

} // namespace

bgGroundFrm::bgGroundFrm(App& a) : ui::Form(a.runtime), app(a), soundTimer(*this, 1, false) {
    app.setBackdrop(this);
    soundTimer.onTimer = [this] { soundTimer_Timer(); };
}

bgGroundFrm::~bgGroundFrm() {
    if (!appGone_ && app.started() && &app.backdrop() == this)
        app.setBackdrop(nullptr);
}

void bgGroundFrm::Form_Load() {
    // The single-instance test is made by main() before any window exists.
    const ui::Size desk = runtime().desktopSize();
    setBackColor(ui::rgb(0, 0, 0));
    move(0, 0, desk.w, desk.h);
    show();
    sendToBack();

    FXSnd1 = app.media.createPlayer(runtime());
    midiFXSnd = app.media.createPlayer(runtime());
    FXSnd1->onEnd = [this] { FXSnd1_End(); };
    midiFXSnd->onEnd = [this] { midiFXSnd_End(); };
    FXSnd1->setVolume(16383);

    SharedState& g = app.state;
    g.soundPlaying = 0;
    g.musicPlaying = 0;
    g.charSpeaking = 0;
    g.lastTune = 0;
    g.readAloud = 1;
    g.pearlLevel = -1;
    // The sound service needs soundPath before the menu sets the folders.
    initMediaPaths(app);
    removeStaleSaves(app);

    if (app.hasScreen("menuFrm"))
        app.load("menuFrm");
    else
        runtime().load(std::make_unique<PlaceholderFrm>(app));
}

// A click on the black margin leaves the current screen in front: raising
// the backdrop would hide it with nothing to bring it back.
void bgGroundFrm::Form_Click() {}

void bgGroundFrm::soundTimer_Timer() {
    SharedState& g = app.state;
    if (g.soundPlaying)
        return;
    stopMusic(app);
    if (g.soundCue == 7) {
        g.charSpeaking = -1;
        playCharSound(app, roundToInt16(g.cueVerse), roundToInt16(g.cueCharPos));
    } else {
        startCue(app, g.soundCue);
    }
    soundTimer.stop();
}

void bgGroundFrm::FXSnd1_End() {
    FXSnd1->setNotify(false);
    app.state.soundPlaying = 0;
    app.state.charSpeaking = 0;
    FXSnd1->setRepeat(false);
    FXSnd1->stop();
}

void bgGroundFrm::midiFXSnd_End() {
    midiFXSnd->setNotify(false);
    app.state.musicPlaying = 0;
    midiFXSnd->stop();
}

} // namespace core
