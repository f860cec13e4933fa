#include "games/game04/Game04Frm.h"

#include "controls/msgFrm.h"
#include "core/Folders.h"
#include "core/PublicM.h"
#include "core/tavMdl.h"
#include "games/kit/Buttons.h"
#include "games/kit/GameFiles.h"
#include "gfx/Keys.h"
#include "ui/Runtime.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace games {

namespace {

constexpr ui::Rect kBoardRect{0, 0, 640, 480};
constexpr int kCell = 30;

} // namespace

const Game04Frm::Level& Game04Frm::levelTable(int level) {
    static const Level levels[3] = {
        {1, "Game04AFrm", "points2.txt", "bg1.bmp", 8, 25000, 150},
        {2, "Game04BFrm", "points1.txt", "bg2.bmp", 7, 23000, 160},
        {3, "Game04CFrm", "points3.txt", "bg3.bmp", 8, 20000, 170},
    };
    return levels[std::clamp(level, 1, 3) - 1];
}

Game04Frm::Game04Frm(core::App& a, int lvl)
    : core::Screen(a), level(levelTable(lvl)), butnImg(*this), headTimer(*this, 1),
      movePeralTimer(*this, levelTable(lvl).moveInterval), showTimer(*this, 20) {
    butnImg[0].setVisible(false);
    kit::routeButtonEvents(butnImg, *this);
    headTimer.onTimer = [this] { headTimer_Timer(); };
    movePeralTimer.onTimer = [this] { movePeralTimer_Timer(); };
    showTimer.onTimer = [this] { showTimer_Timer(); };
}

Game04Frm::~Game04Frm() = default;

// ---- load -------------------------------------------------------------------

void Game04Frm::Form_Load() {
    loadScreen(640, 480, "");
    peralPic[10] = runtime().loadPicture(gameFolder() + "pics/" + level.background);
    setPicture(peralPic[10]);
    g().pearlLevel = level.number;
    enableTimers(false);
}

void Game04Frm::build() {
    setUpPearlGame();
}

void Game04Frm::setUpPearlGame() {
    hoverButton = -1;
    g().readAloud = 1;
    score = 0;
    g().pearlLevel = level.number;
    board.jitterStep = level.jitterStep;
    for (int i = 1; i <= 14; ++i) {
        pearl::Pearl& p = board.pearl(i);
        p.blink = 0;
        p.out = 0;
        p.dir = pearl::None;
    }
    levelBests = kit::readBestScores(core::savedFile(g(), kit::bestScoreFile("Game04")), 3);
    board.pathPoints = pearl::readPathPoints(gameFolder() + "data\\" + level.pathFile);

    const auto layout = kit::readLayout(gameFolder() + "data\\pos_size.txt");
    buttonRects = kit::layoutRects(layout, "butn:", 6);
    textSpots = kit::layoutPoints(layout, "text:", 6);
    kit::createButtons(butnImg, buttonRects);
    buttonLooks_.clear();
    for (std::size_t n = 0; n < buttonRects.size(); ++n)
        buttonLooks_.push_back(runtime().loadPicture(kit::buttonLook(gameFolder(), int(n))));

    const std::string pics = gameFolder() + "pics\\";
    peralPic[7] = runtime().loadPicture(pics + "perals.bmp");
    peralPic[8] = runtime().loadPicture(pics + "perals_m.bmp");
    peralPic[9] = runtime().loadPicture(pics + "pmask.bmp");
    peralPic[11] = runtime().loadPicture(g().picPath + "number.bmp");
    peralPic[12] = runtime().loadPicture(pics + "black.bmp");
    head_ = {peralPic[7], peralPic[8], kCell, kCell};
    getWordsPic();
}

// The pearl pictures are built once per form, so a frame only copies them:
// strip k holds the pearl of colour k with glyph s in cell s.
void Game04Frm::getWordsPic() {
    const std::u32string verse = core::getVerse(app, g().curVerse);
    std::vector<std::pair<int, int>> chars;
    for (int i = 1; i <= 14; ++i) {
        const char32_t c = std::size_t(i) <= verse.size() ? verse[std::size_t(i - 1)] : U' ';
        pearlChars[std::size_t(i)] = {g().curVerse, std::int16_t(i), c};
        chars.emplace_back(g().curVerse, i);
    }
    peralPic[0] = kit::buildCharacterStrip(runtime(), g().kjPath, core::scratchFolder(g()), chars);
    for (int k = 1; k <= 6; ++k) {
        ui::Picture strip(520, kCell, 0);
        for (int s = 1; s <= 14; ++s) {
            strip.blit(peralPic[7], {kCell * (k - 1), 0, kCell, kCell}, {kCell * (s - 1), 0});
            // With the black picture the first and last XOR change nothing:
            // the AND leaves the glyph's dark strokes on the pearl.
            const ui::Rect glyph{29 * (s - 1), 0, 28, 28};
            const ui::Point at{kCell * s - 29, 1};
            strip.blit(peralPic[12], glyph, at, ui::RasterOp::Xor);
            strip.blit(peralPic[0], glyph, at, ui::RasterOp::And);
            strip.blit(peralPic[12], glyph, at, ui::RasterOp::Xor);
        }
        peralPic[std::size_t(k)] = std::move(strip);
    }
}

void Game04Frm::startRound() {
    board.startRound([this] { return core::rnd(app); });
    countdown = float(level.countdown);
    g().pearlGameStopped = 0;
}

// ---- events -----------------------------------------------------------------

void Game04Frm::butnImg_MouseMove(int index, int, int, int, int) {
    if (isBusy() || index == hoverButton)
        return;
    hoverButton = index;
    if (!showTimer.enabled())
        drawHover();
}

void Game04Frm::Form_MouseMove(int, int, int, int) {
    if (isBusy() || hoverButton == -1)
        return;
    hoverButton = -1;
    if (!showTimer.enabled())
        drawHover();
}

void Game04Frm::butnImg_MouseUp(int index, int, int, int x, int y) {
    if (!isBusy() && kit::releasedOn(butnImg[index], x, y))
        runCommand(index);
}

void Game04Frm::runCommand(int index) {
    kit::CommandScope scope(*this);
    switch (index) {
    case Back:
        core::returnToGameHub(app, *this);
        scope.leaving();
        return;
    case Help:
        core::showHelp(app);
        core::queueSound(app, 15);
        invalidate();
        break;
    case Start:
        core::queueSound(app, 4);
        startGame();
        break;
    case NextLevel:
    case PreviousLevel: {
        const int to = level.number + (index == NextLevel ? 1 : -1);
        if (to < 1 || to > 3) {
            core::queueSound(app, 1);
            break;
        }
        switchLevel(to);
        scope.leaving();
        return;
    }
    default:
        break;
    }
}

// A new game on the same pearls: the caller has played its cue.
void Game04Frm::startGame() {
    score = 0;
    enableTimers(true);
    saveBestScore();
    startRound();
    show();
}

void Game04Frm::switchLevel(int to) {
    core::queueSound(app, 13);
    g().pearlLevel = std::int16_t(to);
    app.load(levelTable(to).form);
    unload();
}

void Game04Frm::Form_KeyDown(int& keyCode, int) {
    if (isBusy())
        return;
    // Help leaves the game running.
    if (kit::helpOnF1(*this, keyCode)) {
        invalidate();
        return;
    }
    if (g().pearlGameStopped)
        return;
    if (keyCode >= ui::key::Left && keyCode <= ui::key::Down)
        board.arrowDown(std::int16_t(keyCode - ui::key::Left + 1));
}

void Game04Frm::Form_KeyUp(int& keyCode, int) {
    if (isBusy())
        return;
    if (keyCode == ui::key::Escape) {
        g().busy = -1;
        g().pearlLevel = -1;
        core::queueSound(app, 12);
        app.load("gameFrm");
        unload();
        return;
    }
    if (keyCode >= ui::key::Left && keyCode <= ui::key::Down)
        board.arrowUp(std::int16_t(keyCode - ui::key::Left + 1));
}

// ---- timers -------------------------------------------------------------------

void Game04Frm::enableTimers(bool on) {
    showTimer.setEnabled(on);
    headTimer.setEnabled(on);
    movePeralTimer.setEnabled(on);
}

void Game04Frm::headTimer_Timer() {
    if (g().pearlGameStopped)
        return;
    board.headStep();
}

void Game04Frm::movePeralTimer_Timer() {
    if (g().pearlGameStopped)
        return;
    const pearl::TickEnd end =
        board.pearlTick([this] { return core::rnd(app); }, [this](int i) { pearlCaught(i); });
    if (end == pearl::TickEnd::Won) {
        core::queueSound(app, 5);
        score = std::int16_t(score + 10 + int(countdown / 100));
        saveBestScore();
        endPearlGame(Won);
    } else if (end == pearl::TickEnd::Lost) {
        score = 0;
        saveBestScore();
        core::queueSound(app, 1);
        endPearlGame(Lost);
    }
}

void Game04Frm::pearlCaught(int) {
    core::queueSound(app, 2);
    score = std::int16_t(score + 10);
    saveBestScore();
}

void Game04Frm::showTimer_Timer() {
    restoreBoard();
    drawHover();
    for (int i = 14; i >= 1; --i)
        drawPearl(i);
    drawHead();
    drawNumbers();
    if (g().pearlGameStopped)
        return;
    countdown -= 10;
    // Shown in tens; at the end it reads 00000 under the dialog.
    if (textSpots.size() >= std::size_t(TimeDisplay)) {
        const ui::Point at = textSpots[TimeDisplay - 1];
        const int shown = countdown < 0 ? 0 : int(countdown) / 10;
        kit::paintNumber(surface(), {peralPic[11], 7, 10}, shown, 5, at, 10);
        paintAt({at.x, at.y, 47, 10});
    }
    if (countdown < 0) {
        score = 0;
        core::queueSound(app, 1);
        endPearlGame(TimeUp);
    }
}

// ---- drawing ------------------------------------------------------------------

// Marks a rectangle of the form as painted this frame: it is shown now and
// given back to the board by the next frame.
void Game04Frm::paintAt(ui::Rect r) {
    painted_.push_back(r);
    invalidate(r);
}

void Game04Frm::restoreBoard() {
    for (const ui::Rect& r : painted_) {
        const ui::Rect c = r.intersected(kBoardRect);
        if (peralPic[10].empty())
            surface().fillRect(c, backColor());
        else
            surface().blit(peralPic[10], c, {c.x, c.y});
        invalidate(r);
    }
    painted_.clear();
}

void Game04Frm::drawHover() {
    if (!showTimer.enabled())
        restoreBoard();
    if (hoverButton < 0 || std::size_t(hoverButton) >= buttonRects.size())
        return;
    const ui::Rect r = buttonRects[std::size_t(hoverButton)];
    surface().blit(buttonLooks_[std::size_t(hoverButton)], {0, 0, r.w, r.h}, {r.x, r.y});
    paintAt(r);
}

void Game04Frm::drawHead() {
    const ui::Point at{board.headX - 15, board.headY - 15};
    head_.draw(surface(), 3 * board.headDir + board.headFrame + 2, at, surface().rect());
    paintAt({at.x, at.y, kCell, kCell});
    board.headFrame = std::int16_t(board.headFrame % 3 + 1);
}

// Nest pearls shimmer between strips 1 and 2, caught ones 3 and 4, free
// ones 5 and 6.
void Game04Frm::drawPearl(int i) {
    pearl::Pearl& p = board.pearl(i);
    const int strip = 2 * std::abs(p.state) - 1 + p.blink;
    if (strip < 1 || strip > 6)
        return;
    const ui::Point at{p.x - 15, p.y - 15};
    const ui::Rect cell{kCell * (i - 1), 0, kCell, kCell};
    const ui::Picture& image = peralPic[std::size_t(strip)];
    surface().blit(image, cell, at, ui::RasterOp::Xor);
    surface().blit(peralPic[9], {0, 0, kCell, kCell}, at, ui::RasterOp::And);
    surface().blit(image, cell, at, ui::RasterOp::Xor);
    paintAt({at.x, at.y, kCell, kCell});
    p.blink = std::int16_t(1 - p.blink);
}

void Game04Frm::drawNumbers() {
    const kit::DigitStrip digits{peralPic[11], 7, 10};
    auto spot = [&](Display d, int value, int count) {
        if (textSpots.size() < std::size_t(d))
            return;
        const ui::Point at = textSpots[std::size_t(d - 1)];
        kit::paintNumber(surface(), digits, value, count, at, 7);
        paintAt({at.x, at.y, 7 * count, 10});
    };
    spot(LevelDisplay, level.number, 1);
    spot(ScoreDisplay, score, 4);
    spot(BestDisplay, levelBests[std::size_t(level.number - 1)], 4);
}

// ---- scores and the end -------------------------------------------------------

void Game04Frm::saveBestScore() {
    if (score < 0)
        score = 0;
    kit::offerBestScore(core::fileToSave(g(), kit::bestScoreFile("Game04")), levelBests,
                        level.number, score);
}

// The board stays in view, frozen, while the dialog asks whether to play
// again; the wait sleeps between events and ends with the answer, the
// form's unload or the program's end.
void Game04Frm::endPearlGame(Message message) {
    g().pearlGameStopped = -1;
    enableTimers(false);
    g().busy = -1;
    controls::msgFrm* dlg = controls::msgFrm::open(app, std::int16_t(message));
    while (dlg->ReturnCode == -1 && !unloading() && !runtime().quitting())
        runtime().yieldWait();
    const int answer = dlg->ReturnCode;
    if (unloading() || runtime().quitting())
        return;
    if (answer == 0) {
        core::returnToGameHub(app, *this);
        return;
    }
    g().busy = 0;
    core::queueSound(app, 4);
    startGame();
}

// ---- unload -------------------------------------------------------------------

void Game04Frm::Form_QueryUnload(bool&) {
    enableTimers(false);
    for (int n = butnImg.ubound(); n >= 1; --n)
        butnImg.unload(n);
    for (std::size_t k = 1; k < peralPic.size(); ++k)
        peralPic[k] = ui::Picture();
    peralPic[0] = ui::Picture();
    head_ = {};
    buttonLooks_.clear();
    setPicture(ui::Picture());
    g().pearlGameStopped = 0;
}

} // namespace games
