#include "learning/funFrm8.h"

#include "core/tavMdl.h"

namespace learning {

namespace {
constexpr ui::Color kGridColor = ui::rgb(200, 200, 200);
constexpr ui::Rect kGrid{120, 14, 400, 400};
constexpr ui::Rect kSoundButton{600, 449, 31, 31};
} // namespace

funFrm8::funFrm8(core::App& app) : LearningPage(app), butnImg(*this), butnPic(*this) {
    butnImg.setVisible(false);
    butnImg.move(600, 449, 81, 25);
    butnImg.onClick = [this] { butnImg_Click(); };
    butnPic[0].setVisible(false);
    butnPic[0].resize(31, 31);
}

// --- build -----------------------------------------------------------------

void funFrm8::buildPage() {
    ui::Label& big = bigLabel();
    big.move(kGrid.x, kGrid.y, kGrid.w, kGrid.h);
    big.font.name = "楷体_GB2312";
    big.font.size = 300;
    big.foreColor = kWhite;
    big.transparent = true;
    big.alignment = ui::Align::Center;
    threshold_ = 0;

    butnImg.move(600, 449);
    butnImg.setMousePointer(pagePointer());
    butnImg.setVisible(true);
    butnPic.load(1).setPicture(pic("sound1.bmp"));
    butnPic[0].setPicture(pic("sound0.bmp"));

    placeBars(flashBars());

    core::loadMenuState(app);
    verse_ = core::getVerse(app, g().curVerse);
    showCount_.fill(0);
    switch (g().pageMode) {
    case 0:
        curPos_ = 1;
        break;
    case 1:
        curPos_ = 14;
        break;
    default:
        curPos_ = 0;
        curPos_ = GetWordNum();
        break;
    }
    soundHScroll_Change();
    core::playCharSound(app, g().curVerse, curPos_);
    showCount_[std::size_t(curPos_)] = 1;
    showCharacter();
    big.setVisible(true);
    setReadingTip();
    drawBox();
    ShowButn();

    Timer1.setInterval(2500);
    Timer1.start();
}

// --- events ----------------------------------------------------------------

void funFrm8::butnImg_Click() {
    if (isBusy())
        return;
    g().readAloud = std::int16_t(1 - g().readAloud);
    setReadingTip();
    ShowButn();
}

// The tooltip says what a click on the sound button would do.
void funFrm8::setReadingTip() {
    bigLabel().setToolTipText(g().readAloud == 1 ? "关闭读音" : "打开读音");
}

// --- timer -----------------------------------------------------------------

void funFrm8::Timer1_Timer() {
    const int end = verse_.empty() ? 15 : int(verse_.size()) + 1;
    switch (g().pageMode) {
    case 0:
        if (++curPos_ >= end)
            curPos_ = 1;
        break;
    case 1:
        if (--curPos_ < 1)
            curPos_ = std::int16_t(end - 1);
        break;
    default:
        curPos_ = GetWordNum();
        break;
    }
    changeBackground();
    core::playCharSound(app, g().curVerse, curPos_);
    ShowButn();
    showCharacter();
}

std::int16_t funFrm8::GetWordNum() {
    if (threshold_ > 2) {
        threshold_ = 0;
        showCount_.fill(0);
    }
    auto open = [this](int i) { return showCount_[std::size_t(i)] < threshold_ && i != curPos_; };
    // Counts never exceed the threshold, so one step up always opens a
    // position; the loop only guards against counts left by a mode change.
    for (;;) {
        bool any = false;
        for (int i = 1; i <= 14 && !any; ++i)
            any = open(i);
        if (any)
            break;
        ++threshold_;
    }
    int x = drawRandom(14);
    while (!open(x))
        x = drawRandom(14);
    ++showCount_[std::size_t(x)];
    return std::int16_t(x);
}

// --- drawing ---------------------------------------------------------------

void funFrm8::showCharacter() {
    bigLabel().setCaption(charText(verse_, curPos_));
}

// The writing grid: a heavy square over the label, thin centre lines.
void funFrm8::drawBox() {
    ui::Picture& s = surface();
    s.rectOutline({kGrid.x, kGrid.y, kGrid.w + 1, kGrid.h + 1}, kGridColor, 4);
    s.line({320, kGrid.y}, {320, kGrid.bottom()}, kGridColor, 1);
    s.line({kGrid.x, 214}, {kGrid.right(), 214}, kGridColor, 1);
    invalidate();
}

void funFrm8::ShowButn() {
    const int i = g().readAloud == 1 ? 1 : 0;
    if (butnPic.exists(i))
        drawPlain(butnPic[i].picture(), kSoundButton);
}

} // namespace learning
