#include "learning/funFrm9.h"

#include "core/PublicM.h"
#include "core/tavMdl.h"
#include "platform/Platform.h"

#include <cmath>
#include <cstdio>

namespace learning {

namespace {

constexpr ui::Rect kBoard{7, 49, 610, 338};
constexpr ui::Rect kArrows{255, 445, 131, 34};
constexpr ui::Rect kScorePanel{0, 392, 127, 89};
constexpr int kGridTop = 53;
constexpr int kShuffleSwaps = 50;
constexpr int kBlinkTicks = 10;

// Counters hold whole numbers: shown as 3, not 3.0.
std::string countText(float n) {
    return std::to_string(long(n));
}

// At least two integer digits and one decimal, halves rounded away from
// zero: 66.7, 05.0, 100.0.
std::string percentText(float right, float total) {
    const float pct = right * 100.0f / total;
    const double tenths = std::round(double(pct) * 10.0);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04.1f", tenths / 10.0);
    return buf;
}

} // namespace

funFrm9::funFrm9(core::App& app)
    : LearningPage(app), butnImg(*this), FXVid1(*this, app.video), currorTimer(*this, 5) {
    butnImg[0].setVisible(false);
    FXVid1.setVisible(false);
    butnImg.onClick = [this](int i) { butnImg_Click(i); };
    wordLbl.onClick = [this](int i) {
        if (i > 0)
            wordLbl_Click(i);
    };
    wordLbl.onMouseMove = [this](int i, int, int, int, int) {
        if (i > 0)
            wordLbl_MouseMove(i);
    };
    FXVid1.onEnd = [this] { FXVid1_End(); };
    currorTimer.onTimer = [this] { currorTimer_Timer(); };
}

// --- build -----------------------------------------------------------------

void funFrm9::buildPage() {
    questionPos_ = 0;
    sinceShuffle_ = 0;
    step_ = 0;
    awaiting_ = false;
    answer_ = -1;
    blinkCount_ = 0;
    blinkPhase = true;
    running_ = false;
    panelShown_ = false;
    right_ = wrong_ = missed_ = 0;
    g().readAloud = 1;

    FXVid1.move(11, 401, 104, 72);
    FXVid1.setVisible(false);

    butnImg.load(1);
    butnImg[0].move(255, 445, 41, 32);
    butnImg[1].move(344, 445, 41, 32);
    ui::Image& startButton = butnImg.load(2);
    startButton.move(571, 410, 67, 67);
    startButton.setPicture(pic("start.bmp"));
    for (int i = 0; i <= 2; ++i) {
        butnImg[i].setMousePointer(pagePointer());
        butnImg[i].setVisible(true);
    }

    placeBars(testBars());
    // The score values, on the panel's rows; shown only with the panel.
    const int tops[] = {406, 423, 440, 457};
    const int index[] = {3, 4, 5, 7};
    const ui::Color colors[] = {ui::rgb(46, 125, 50), ui::rgb(198, 40, 40), ui::rgb(109, 76, 65),
                                ui::rgb(21, 101, 192)};
    for (int k = 0; k < 4; ++k) {
        ui::Label& l = Label1.load(index[k]);
        l.move(71, tops[k], 52, 16);
        l.transparent = true;
        l.alignment = ui::Align::Left;
        l.foreColor = colors[k];
        l.font.size = 10;
        l.font.bold = true;
    }
    Label1.load(6);
    ui::Label& verseNo = Label1[6];
    // Centred in the white box between the arrows, dark on white, and clear
    // of the next arrow's click area.
    verseNo.move(301, 449, 39, 26);
    verseNo.transparent = true;
    verseNo.alignment = ui::Align::Center;
    verseNo.foreColor = ui::rgb(191, 54, 12);
    verseNo.font.name = "System";
    verseNo.font.bold = true;
    verseNo.font.size = 14;
    verseNo.setVisible(true);
    verseNo.setCaption(std::to_string(g().curVerse));

    numPic.load(2).setPicture(pic("score.bmp"));
    numPic.load(3).setPicture(pic("arrows.bmp"));
    loadBoard("border_m.jpg", "border.jpg");

    core::loadMenuState(app);
    verseNo.setCaption(std::to_string(g().curVerse));
    soundHScroll_Change();
    createWordGrid(kGridTop);
    for (int i = 1; i <= 14; ++i)
        wordLbl[i].setMousePointer(pagePointer());
    setVerseCharacters();
    shuffleLabels();
    drawBox();

    Timer1.setInterval(700);
    Timer1.start();
    Timer2.stop();
    Timer2.setInterval(200);
    currorTimer.setInterval(5);
    currorTimer.start();
}

void funFrm9::setVerseCharacters() {
    const std::u32string verse = core::getVerse(app, g().curVerse);
    for (int i = 1; i <= 14; ++i)
        chars_[std::size_t(i)] = charText(verse, i);
}

// getRandomSeq of the page: the layout, then the labels.
void funFrm9::shuffleLabels() {
    getRandomSeq(layout_, kShuffleSwaps);
    for (int i = 1; i <= 14; ++i)
        wordLbl[i].setCaption(labelCharacter(i));
}

// --- questions -------------------------------------------------------------

std::int16_t funFrm9::GetWordNum() {
    if (++questionPos_ > 14)
        questionPos_ = 1;
    return layout_[std::size_t(questionPos_)];
}

void funFrm9::Timer1_Timer() {
    if (step_ == 0) {
        // A new layout with the fifteenth question, then every fifteen.
        if (++sinceShuffle_ > 14) {
            sinceShuffle_ = 0;
            shuffleLabels();
        }
        asked_ = GetWordNum();
        core::playCharSound(app, g().curVerse, layout_[std::size_t(asked_)]);
        awaiting_ = true;
        answer_ = -1;
        changeBackground();
    } else if (step_ == 6) {
        if (answer_ == -1) {
            core::queueSound(app, 18);
            if (running_) {
                ++missed_;
                Label1[5].setCaption(countText(missed_));
                updatePercentage();
            }
            // An unanswered question takes the panel away with the next
            // background; an answered one leaves it up.
            panelShown_ = false;
        }
        awaiting_ = false;
        Timer2.start();
        Timer1.stop();
    }
    if (++step_ > 6)
        step_ = 0;
}

bool funFrm9::showsAsked(int c) const {
    // The same character on two labels is the same answer, whichever
    // position of the verse it stands at.
    return c == asked_ || labelCharacter(c) == labelCharacter(asked_);
}

void funFrm9::Timer2_Timer() {
    if (blinkCount_ < kBlinkTicks) {
        const ui::Color c = blinkPhase ? kRed : kWhite;
        for (int i = 1; i <= 14; ++i)
            if (showsAsked(i))
                setTextColor(wordLbl[i], c);
        ++blinkCount_;
        blinkPhase = !blinkPhase;
        return;
    }
    blinkCount_ = 0;
    Timer2.stop();
    Timer1.start();
    for (int i = 1; i <= 14; ++i)
        setTextColor(wordLbl[i], kWhite);
    blinkPhase = true;
}

// --- answers ---------------------------------------------------------------

void funFrm9::wordLbl_Click(int c) {
    if (!awaiting_ || isBusy() || g().soundPlaying != 0)
        return;
    if (showsAsked(c)) {
        if (running_)
            playOk();
        else
            core::queueSound(app, 0);
        answer_ = 1;
        if (running_) {
            ++right_;
            Label1[3].setCaption(countText(right_));
            updatePercentage();
        }
    } else {
        if (running_)
            playErr();
        else
            core::queueSound(app, 1);
        answer_ = 2;
        if (running_) {
            ++wrong_;
            Label1[4].setCaption(countText(wrong_));
            updatePercentage();
        }
    }
    panelShown_ = true;
    showScores();
    awaiting_ = false;
}

void funFrm9::updatePercentage() {
    const float total = right_ + wrong_ + missed_;
    Label1[7].setCaption(total > 0 ? percentText(right_, total) : std::string());
}

void funFrm9::playOk() {
    playClip("ok.avi");
}

void funFrm9::playErr() {
    playClip("err.avi");
}

void funFrm9::playClip(const std::string& file) {
    FXVid1.fileName = platform::nativePath(g().soundPath + file);
    // The clip covers the score panel and its values while it runs.
    FXVid1.zOrder(0);
    FXVid1.setVisible(true);
    clipPlaying_ = true;
    FXVid1.play();
}

void funFrm9::FXVid1_End() {
    clipPlaying_ = false;
    FXVid1.stop();
    FXVid1.setVisible(false);
}

// --- buttons ---------------------------------------------------------------

void funFrm9::butnImg_Click(int index) {
    if (isBusy() || g().soundPlaying != 0)
        return;
    g().busy = -1;
    if (index == 2) {
        running_ = !running_;
        butnImg[2].setPicture(pic(running_ ? "pause.bmp" : "start.bmp"));
    } else {
        stepVerse(index == 0 ? -1 : 1);
    }
    g().busy = 0;
}

void funFrm9::stepVerse(int delta) {
    Timer1.stop();
    Timer2.stop();
    core::stopSound(app);
    const int v = g().curVerse + delta;
    if (v < 1 || v > 140) {
        // The page stands still: close the open question, so that a click
        // is not judged against a question that can no longer end.
        awaiting_ = false;
        for (int i = 1; i <= 14; ++i)
            setTextColor(wordLbl[i], kWhite);
        return;
    }
    g().curVerse = std::int16_t(v);
    core::saveMenuState(app);
    Label1[6].setCaption(std::to_string(v));

    step_ = 0;
    blinkCount_ = 0;
    sinceShuffle_ = 0;
    blinkPhase = true;
    g().readAloud = 1;
    answer_ = -1;
    questionPos_ = 0;
    awaiting_ = false;

    core::loadMenuState(app);
    setVerseCharacters();
    for (int i = 1; i <= 14; ++i)
        setTextColor(wordLbl[i], kWhite);
    shuffleLabels();
    drawBox();
    Timer1.start();
}

// --- score panel and drawing -----------------------------------------------

void funFrm9::showScores() {
    const int values[] = {3, 4, 5, 7};
    if (!running_) {
        for (int i : values)
            Label1[i].setVisible(false);
        return;
    }
    if (panelShown_)
        drawPlain(numPic[2].picture(), kScorePanel);
    Label1[3].setCaption(countText(right_));
    Label1[4].setCaption(countText(wrong_));
    Label1[5].setCaption(countText(missed_));
    updatePercentage();
    for (int i : values)
        Label1[i].setVisible(panelShown_);
}

void funFrm9::Form_MouseMove(int, int, int x, int y) {
    if (y >= 396 && x <= 127 && !panelShown_ && (right_ != 0 || wrong_ != 0)) {
        panelShown_ = true;
        showScores();
    }
}

void funFrm9::drawBox() {
    drawBoard(kBoard);
    drawPlain(numPic[3].picture(), kArrows);
    showScores();
}

// --- pointer ---------------------------------------------------------------

void funFrm9::wordLbl_MouseMove(int c) {
    const bool wait = g().soundPlaying != 0 || !awaiting_;
    const ui::Cursor want =
        wait ? ui::Cursor::standard(ui::CursorShape::NotAllowed) : pagePointer();
    if (!(wordLbl[c].mousePointer() == want))
        wordLbl[c].setMousePointer(want);
    // The upkeep only has work while a label shows the not-allowed pointer;
    // it sleeps otherwise, so the idle page does not wake 64 times a second.
    if (wait)
        currorTimer.start();
}

void funFrm9::currorTimer_Timer() {
    if (g().soundPlaying != 0 || !awaiting_)
        return;
    for (int i = 1; i <= 14; ++i)
        if (wordLbl[i].mousePointer().shape == ui::CursorShape::NotAllowed)
            wordLbl[i].setMousePointer(pagePointer());
    currorTimer.stop();
}

} // namespace learning
