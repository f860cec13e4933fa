#include "learning/funFrm1.h"

#include "core/bgGroundFrm.h"
#include "core/tavMdl.h"

#include <cstdio>

namespace learning {

funFrm1::funFrm1(core::App& app) : LearningPage(app), voiceTimer(*this) {
    voiceTimer.onTimer = [this] { voiceTimer_Timer(); };
}

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
    if (g().soundPlaying)
        followVoice(n);
    if (++recital >= g().pageMode)
        recital = 0;
}

void funFrm1::followVoice(std::int16_t n) {
    recitalStart_ = app.runtime.now();
    soundMs_ = app.backdrop().FXSnd1 ? app.backdrop().FXSnd1->lengthMs() : 0;
    char name[32];
    std::snprintf(name, sizeof name, "sd%03d.txt", int(n));
    const std::string path = g().soundPath + name;
    if (auto file = readCharStarts(path, soundMs_)) {
        starts_ = *file;
    } else {
        starts_ = evenCharStarts(soundMs_);
        app.reportOnce("recital timing", "shizi: no timing in " + path +
                                             "; the characters are lit evenly over the recitation");
    }
    showSpoken();
}

void funFrm1::voiceTimer_Timer() {
    showSpoken();
}

void funFrm1::showSpoken() {
    const ui::Micros elapsed = app.runtime.now() - recitalStart_;
    int started = 0;
    while (started < 14 && ui::ms(double(starts_[std::size_t(started)])) <= elapsed)
        ++started;
    const ui::Micros end = ui::ms(double(soundMs_));
    if (elapsed >= end) {
        lightLabel(0);
        voiceTimer.stop();
        return;
    }
    lightLabel(started);
    const ui::Micros next = started < 14 ? ui::ms(double(starts_[std::size_t(started)])) : end;
    // Whole milliseconds, rounded up: the timer never fires before the start.
    voiceTimer.setInterval(int((next - elapsed + 999) / 1000));
    voiceTimer.start();
}

void funFrm1::lightLabel(int label) {
    if (label == spoken_)
        return;
    if (spoken_ != 0 && wordLbl.exists(spoken_))
        setTextColor(wordLbl[spoken_], kWhite);
    spoken_ = label;
    if (spoken_ != 0 && wordLbl.exists(spoken_))
        setTextColor(wordLbl[spoken_], kSpoken);
}

} // namespace learning
