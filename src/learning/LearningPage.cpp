#include "learning/LearningPage.h"

#include "controls/mybutton.h"
#include "core/PublicM.h"
#include "core/Text.h"
#include "core/tavMdl.h"
#include "gfx/Keys.h"
#include "platform/Platform.h"
#include "resources/Resources.h"
#include "ui/Runtime.h"

#include <cstdio>

namespace learning {

BarLayout recitalBars() {
    BarLayout b;
    b.volume = {260, 460};
    b.volumeCaption = {298, 445};
    return b;
}

BarLayout pointingBars() {
    BarLayout b;
    b.volume = {180, 460};
    b.volumeCaption = {218, 445};
    b.hasSpeed = true;
    b.speed = {340, 460};
    b.speedCaption = {378, 445};
    return b;
}

BarLayout flashBars() {
    BarLayout b = pointingBars();
    // An arrow click on the volume bar goes straight to an end.
    b.volumeSmallChange = 1000;
    b.speedMin = 2500;
    b.speedMax = 7500;
    b.speedValue = 7500;
    b.speedBase = 10000;
    return b;
}

BarLayout testBars() {
    BarLayout b;
    b.volume = {130, 455};
    b.volumeCaption = {188, 440};
    b.hasSpeed = true;
    b.speed = {390, 455};
    b.speedCaption = {448, 440};
    b.speedValue = 1600;
    return b;
}

LearningPage::LearningPage(core::App& app)
    : core::Screen(app), mybutton1(std::make_unique<controls::mybutton>(*this)),
      soundHScroll(*this), speedHScroll(*this), Label1(*this), wordLbl(*this), numPic(*this),
      Timer1(*this), Timer2(*this, 200) {
    keyPreview = true;
    mybutton1->setVisible(false);
    soundHScroll.setVisible(false);
    speedHScroll.setVisible(false);

    ui::Label& caption = Label1[0];
    caption.setVisible(false);
    // A dark plate keeps the captions readable on light backgrounds too.
    caption.transparent = false;
    caption.backColor = ui::rgb(40, 56, 88);
    caption.foreColor = kWhite;
    caption.alignment = ui::Align::Center;
    caption.font.size = 8;
    caption.wordWrap = false;
    caption.resize(46, 13);

    ui::Label& cell = wordLbl[0];
    cell.setVisible(false);
    cell.transparent = true;
    cell.foreColor = kWhite;
    cell.alignment = ui::Align::Center;
    cell.font.size = 62;
    cell.wordWrap = false;

    numPic[0].setVisible(false);

    mybutton1->onMouseclick = [this] { mybutton1_mouseclick(); };
    soundHScroll.onChange = [this] { soundHScroll_Change(); };
    soundHScroll.onScroll = [this] { soundHScroll_Change(); };
    speedHScroll.onChange = [this] { speedHScroll_Change(); };
    Timer1.onTimer = [this] { Timer1_Timer(); };
    Timer2.onTimer = [this] { Timer2_Timer(); };
}

LearningPage::~LearningPage() = default;

// --- load ------------------------------------------------------------------

void LearningPage::Form_Load() {
    loadScreen(640, 480, "bg_A001.jpg");
    picIndex_ = 0;
    mybutton1->move(0, 0, 20, 20);
    mybutton1->setPicture(resources::resourceBitmap("BACK"));
    mybutton1->setVisible(true);
    pagePointer_ = ui::Cursor::fromCurFile(platform::nativePath(g().picPath + "page.cur"));
    soundHScroll.setMousePointer(pagePointer_);
    speedHScroll.setMousePointer(pagePointer_);
}

void LearningPage::placeBars(const BarLayout& bars) {
    bars_ = bars;
    soundHScroll.move(bars.volume.x, bars.volume.y, 120, 15);
    soundHScroll.min = 1;
    soundHScroll.max = 10;
    soundHScroll.smallChange = bars.volumeSmallChange;
    soundHScroll.largeChange = 10;
    // The builders apply the volume where they choose; placing the bar only
    // sets its value.
    auto volumeHandler = std::move(soundHScroll.onChange);
    soundHScroll.setValue(10);
    soundHScroll.onChange = std::move(volumeHandler);
    soundHScroll.setVisible(true);
    ui::Label& volumeCaption = Label1.load(1);
    volumeCaption.move(bars.volumeCaption.x, bars.volumeCaption.y);
    volumeCaption.setCaption("声音调节");
    volumeCaption.setVisible(true);
    if (!bars.hasSpeed)
        return;
    speedHScroll.move(bars.speed.x, bars.speed.y, 120, 15);
    speedHScroll.min = bars.speedMin;
    speedHScroll.max = bars.speedMax;
    speedHScroll.smallChange = bars.speedSmallChange;
    speedHScroll.largeChange = bars.speedLargeChange;
    speedHScroll.setValue(bars.speedValue);
    speedHScroll.setVisible(true);
    ui::Label& speedCaption = Label1.load(2);
    speedCaption.move(bars.speedCaption.x, bars.speedCaption.y);
    speedCaption.setCaption("速度控制");
    speedCaption.setVisible(true);
}

void LearningPage::createWordGrid(int top) {
    wordLbl[0].resize(62, 62);
    for (int i = 1; i <= 14; ++i) {
        ui::Label& l = wordLbl.load(i);
        l.move((i - 1) % 7 * 86 + 15, (i - 1) / 7 * 180 + top, 72, 82);
        l.font.size = 62;
        l.foreColor = kWhite;
        l.alignment = ui::Align::Center;
        l.transparent = true;
        l.setVisible(true);
    }
}

void LearningPage::showVerse(const std::u32string& verse) {
    for (int i = 1; i <= 14; ++i)
        if (wordLbl.exists(i))
            wordLbl[i].setCaption(charText(verse, i));
}

std::string LearningPage::charText(const std::u32string& verse, int pos) {
    if (pos < 1 || pos > int(verse.size()))
        return {};
    return core::toUtf8(verse[std::size_t(pos - 1)]);
}

void LearningPage::setTextColor(ui::Label& l, ui::Color c) {
    if (l.foreColor == c)
        return;
    l.foreColor = c;
    l.invalidate();
}

// --- events ----------------------------------------------------------------

void LearningPage::Form_KeyDown(int& keyCode, int) {
    if (isBusy())
        return;
    if (keyCode == ui::key::F1)
        core::showHelp(app);
}

void LearningPage::Form_KeyUp(int& keyCode, int) {
    if (isBusy())
        return;
    if (keyCode == ui::key::Escape)
        returnToMenu();
}

void LearningPage::mybutton1_mouseclick() {
    if (isBusy())
        return;
    returnToMenu();
}

void LearningPage::returnToMenu() {
    setMousePointer(ui::CursorShape::Hourglass);
    Timer1.stop();
    Timer2.stop();
    core::playSoundWait(app, 12);
    app.load("menuFrm");
    unload();
}

void LearningPage::soundHScroll_Change() {
    core::setVolume(app, std::int16_t(soundHScroll.value()));
}

void LearningPage::speedHScroll_Change() {
    if (bars_.hasSpeed)
        Timer1.setInterval(bars_.speedBase - speedHScroll.value());
}

void LearningPage::Form_QueryUnload(bool&) {
    Timer1.stop();
    Timer2.stop();
    wordLbl.unloadAll();
    Label1.unloadAll();
    numPic.unloadAll();
    setPicture({});
}

// --- backgrounds and drawing -----------------------------------------------

int LearningPage::drawRandom(int n) {
    return core::drawRandom(app, n);
}

std::int16_t LearningPage::GetPicNum() {
    const int n = g().bgPicCount;
    // One picture (or none) cannot give a different one: keep it.
    if (n < 2)
        return picIndex_;
    int x = drawRandom(n) - 1;
    while (x == picIndex_)
        x = int(app.random.next() * n);
    return std::int16_t(x);
}

void LearningPage::changeBackground() {
    picIndex_ = GetPicNum();
    char name[32];
    std::snprintf(name, sizeof name, "bg_A%03d.jpg", picIndex_ + 1);
    setPicture(pic(name));
    drawBox();
    invalidate();
}

void LearningPage::loadBoard(const std::string& imageFile, const std::string& maskFile) {
    numPic.load(1).setPicture(pic(maskFile));
    numPic[0].setPicture(pic(imageFile));
}

void LearningPage::drawBoard(ui::Rect r) {
    if (numPic.exists(1))
        drawMasked(numPic[0].picture(), numPic[1].picture(), r);
}

void LearningPage::drawMasked(const ui::Picture& image, const ui::Picture& mask, ui::Rect r) {
    if (image.empty() || mask.empty())
        return;
    surface().drawMasked(image, mask, {0, 0, r.w, r.h}, {r.x, r.y}, surface().rect());
    invalidate();
}

void LearningPage::drawPlain(const ui::Picture& p, ui::Rect r) {
    if (p.empty())
        return;
    surface().blit(p, {0, 0, r.w, r.h}, {r.x, r.y});
    invalidate();
}

// --- shuffle and pointing cycle --------------------------------------------

void LearningPage::getRandomSeq(Seq14& seq, int swaps) {
    for (int i = 1; i <= 14; ++i)
        seq[std::size_t(i)] = std::int16_t(i);
    for (int k = 0; k < swaps; ++k) {
        const int a = drawRandom(14);
        int b = drawRandom(14);
        while (b == a)
            b = drawRandom(14);
        std::swap(seq[std::size_t(a)], seq[std::size_t(b)]);
    }
}

void LearningPage::startPointing(int tickMs) {
    step = -1;
    orderPos = 1;
    blinkPhase = true;
    Timer2.stop();
    Timer2.setInterval(200);
    Timer1.setInterval(tickMs);
    Timer1.start();
}

void LearningPage::pointingTick() {
    switch (step) {
    case 0:
        highlight = kRed;
        changeBackground();
        pointAt(visitedLabel());
        Timer2.start();
        break;
    case 2:
        speakLabel(order[std::size_t(orderPos)]);
        break;
    case 3:
        highlight = kCyan;
        break;
    case 7:
        Timer2.stop();
        setTextColor(visitedLabel(), kWhite);
        break;
    default:
        break;
    }
    if (++step < 8)
        return;
    step = 0;
    if (++orderPos < 15)
        return;
    orderPos = 1;
    renewOrder();
}

void LearningPage::Timer2_Timer() {
    setTextColor(visitedLabel(), blinkPhase ? highlight : kWhite);
    blinkPhase = !blinkPhase;
}

} // namespace learning
