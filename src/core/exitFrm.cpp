#include "core/exitFrm.h"

#include "core/PublicM.h"
#include "core/tavMdl.h"

namespace core {

exitFrm::exitFrm(App& a) : Screen(a), exitTimer(*this, 50) {
    exitTimer.onTimer = [this] { exitTimer_Timer(); };
}

void exitFrm::Form_Load() {
    stopSound(app);
    stopMusic(app);
    loadScreen(320, 240, "exit.jpg");
}

void exitFrm::build() {
    exitTicks = 150;
    exitTimer.start();
    queueSound(app, 17);
}

void exitFrm::exitTimer_Timer() {
    if (exitTicks > 0)
        --exitTicks;
    if (exitTicks <= 0)
        endProgram();
}

void exitFrm::Form_Click() {
    if (isBusy())
        return;
    exitTimer.stop();
    stopSound(app);
    stopMusic(app);
    endProgram();
}

void exitFrm::endProgram() {
    exitTimer.stop();
    unload();
    app.end();
}

void exitFrm::Form_Unload() {
    setPicture({});
}

} // namespace core
