#include "learning/funFrm0.h"

#include "controls/mybutton.h"
#include "core/tavMdl.h"

#include <algorithm>
#include <map>

namespace learning {

funFrm0::funFrm0(core::App& app) : LearningPage(app), butnImg(*this), butnPic(*this) {
    butnImg.setVisible(false);
    butnPic.setVisible(false);
    butnImg.onClick = [this] { butnImg_Click(); };
}

void funFrm0::buildPage() {
    g().readAloud = 1;
    mybutton1->setToolTipText("返回主画面");
    placeBars(pointingBars());
    loadBoard("b&n_m0.jpg", "b&n1.jpg");
    numPic.load(2).setPicture(pic("hand_m.bmp"));
    numPic.load(3).setPicture(pic("hand.bmp"));
    butnPic.setPicture(pic("newword.bmp"));
    butnImg.move(592, 432, 47, 47);
    butnImg.setMousePointer(pagePointer());
    butnImg.setVisible(true);
    core::loadMenuState(app);
    createWordGrid(85);
    drawBox();
    ShowButn();
    soundHScroll_Change();
    getRandomWords();
    getRandomSeq(order, 20);
    startPointing(300);
}

void funFrm0::getRandomWords() {
    const int reached = std::clamp<int>(g().curVerse, 1, 140);
    for (int a = 1; a <= 14; ++a) {
        for (;;) {
            const auto v = std::int16_t(drawRandom(reached));
            const auto p = std::int16_t(drawRandom(14));
            bool taken = false;
            for (int b = 1; b < a; ++b)
                taken = taken || (slotVerse[std::size_t(b)] == v && slotPos[std::size_t(b)] == p);
            if (taken)
                continue;
            slotVerse[std::size_t(a)] = v;
            slotPos[std::size_t(a)] = p;
            break;
        }
    }
    std::map<int, std::u32string> verses;
    for (int a = 1; a <= 14; ++a) {
        const int v = slotVerse[std::size_t(a)];
        auto it = verses.find(v);
        if (it == verses.end())
            it = verses.emplace(v, core::getVerse(app, std::int16_t(v))).first;
        wordLbl[a].setCaption(charText(it->second, slotPos[std::size_t(a)]));
    }
}

void funFrm0::renewOrder() {
    getRandomSeq(order, 20);
}

void funFrm0::drawBox() {
    drawBoard({1, 30, 616, 362});
}

// The board is already on the new background; painting it again after the
// hand would hide the hand wherever the board is opaque.
void funFrm0::pointAt(ui::Label& visited) {
    ShowButn();
    drawHand(visited);
}

// The hand stands above the character, its lower edge 3 pixels into the label.
void funFrm0::drawHand(const ui::Label& visited) {
    drawMasked(numPic[3].picture(), numPic[2].picture(),
               {visited.left() + 24, visited.top() - 45, 41, 48});
}

void funFrm0::ShowButn() {
    drawPlain(butnPic.picture(), {592, 432, 47, 47});
}

void funFrm0::speakLabel(int label) {
    core::playCharSound(app, slotVerse[std::size_t(label)], slotPos[std::size_t(label)]);
}

// Fourteen new characters; the cycle goes on from where it was.
void funFrm0::butnImg_Click() {
    if (isBusy())
        return;
    core::stopSound(app);
    Timer1.stop();
    Timer2.stop();
    setTextColor(visitedLabel(), kWhite);
    getRandomWords();
    getRandomSeq(order, 20);
    Timer1.start();
}

} // namespace learning
