#include "learning/funFrm3.h"

#include "core/tavMdl.h"

namespace learning {

funFrm3::funFrm3(core::App& app) : LearningPage(app), FXImage1(*this) {
    FXImage1.setVisible(false);
    FXImage1.resize(41, 48);
}

void funFrm3::buildPage() {
    g().readAloud = 1;
    placeBars(pointingBars());
    loadBoard("b&n_m" + std::to_string(g().pageMode + 1) + ".jpg", "b&n.jpg");
    core::loadMenuState(app);
    verse_ = core::getVerse(app, g().curVerse);
    createWordGrid(85);
    showVerse(verse_);
    FXImage1.setPicture(pic("hand_p.bmp"));
    drawBox();
    soundHScroll_Change();
    fillOrder();
    startPointing(300);
}

void funFrm3::drawBox() {
    drawBoard({1, 30, 616, 362});
}

void funFrm3::fillOrder() {
    switch (g().pageMode) {
    case 1: // odd positions, then even ones
        for (int p = 1; p <= 14; ++p)
            order[std::size_t(p)] = std::int16_t(p <= 7 ? 2 * p - 1 : 2 * (p - 7));
        break;
    case 2: // backwards
        for (int p = 1; p <= 14; ++p)
            order[std::size_t(p)] = std::int16_t(15 - p);
        break;
    case 3: // even positions backwards, then odd ones
        for (int p = 1; p <= 14; ++p)
            order[std::size_t(p)] = std::int16_t(p <= 7 ? 16 - 2 * p : 29 - 2 * p);
        break;
    case 4:
        getRandomSeq(order, 20);
        break;
    default: // reading order
        for (int p = 1; p <= 14; ++p)
            order[std::size_t(p)] = std::int16_t(p);
        break;
    }
}

void funFrm3::renewOrder() {
    fillOrder();
}

// The hand stands above the character, its lower edge 3 pixels into the label.
void funFrm3::pointAt(ui::Label& visited) {
    FXImage1.move(visited.left() + 24, visited.top() - 45);
    FXImage1.setVisible(true);
    FXImage1.invalidate();
}

void funFrm3::speakLabel(int label) {
    core::playCharSound(app, g().curVerse, std::int16_t(label));
}

} // namespace learning
