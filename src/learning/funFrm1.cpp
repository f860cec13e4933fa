#include "learning/funFrm1.h"

#include "core/tavMdl.h"

namespace learning {

void funFrm1::buildPage() {
    g().readAloud = 1;
    recital = 0;
    placeBars(recitalBars());
    loadBoard("border_m1.jpg", "border.jpg");
    core::loadMenuState(app);
    createWordGrid(65);
    SetWordLbl(g().curVerse);
    drawBox();
    soundHScroll_Change();
    Timer1.setInterval(1000);
    Timer1.start();
}

void funFrm1::SetWordLbl(std::int16_t n) {
    showVerse(core::getVerse(app, n));
}

void funFrm1::drawBox() {
    drawBoard({5, 58, 610, 338});
}

// Every second a new background; a new recital once the last has ended.
void funFrm1::Timer1_Timer() {
    changeBackground();
    if (g().soundPlaying)
        return;
    // The menu keeps the span inside the book; a span reaching past the last
    // verse starts again at the current one rather than asking for verse 141.
    if (g().curVerse + recital > 140)
        recital = 0;
    const auto n = std::int16_t(g().curVerse + recital);
    SetWordLbl(n);
    core::playVerse(app, n);
    if (++recital >= g().pageMode)
        recital = 0;
}

} // namespace learning
