#include "games/game01/game01Frm.h"

#include "core/Folders.h"
#include "core/PublicM.h"
#include "core/Text.h"
#include "core/bgGroundFrm.h"
#include "core/tavMdl.h"
#include "games/kit/Buttons.h"
#include "games/kit/Deal.h"
#include "games/kit/Drawing.h"
#include "games/kit/GameFiles.h"
#include "gfx/Keys.h"
#include "ui/Runtime.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace games {

namespace {

constexpr ui::Color kBoardColor = ui::rgb(22, 70, 92);

bool isBlank(char32_t c) {
    return c == 0 || c == U' ' || c == U'\t' || c == 0x3000;
}

} // namespace

const game01Frm::LevelShape& game01Frm::shape(int level) {
    static const LevelShape shapes[3] = {
        {4, 4, 100, 100, 10, 14, 103, 103, 72, 600},
        {4, 6, 66, 100, 11, 14, 68, 103, 48, 900},
        {6, 6, 66, 66, 11, 14, 68, 68, 48, 1500},
    };
    return shapes[std::clamp(level, 1, 3) - 1];
}

game01Frm::game01Frm(core::App& a)
    : core::Screen(a), wordLbl(*this), cardImg(*this), butnImg(*this), scoreLbl(*this),
      levelLbl(*this), Timer1(*this, 400), Timer2(*this, 5), Timer3(*this, 200), Timer4(*this, 1),
      Timer5(*this, 10), Timer6(*this, 20) {
    wordLbl[0].transparent = true;
    wordLbl[0].alignment = ui::Align::Center;
    wordLbl[0].wordWrap = false;
    wordLbl[0].setVisible(false);
    cardImg[0].setVisible(false);
    butnImg[0].setVisible(false);
    for (ui::Label* l : {&scoreLbl[0], &levelLbl}) {
        l->transparent = true;
        l->alignment = ui::Align::Center;
        l->wordWrap = false;
        l->font.bold = true;
    }
    scoreLbl[0].font.size = 12;
    scoreLbl[0].foreColor = ui::rgb(107, 58, 20);
    levelLbl.font.size = 24;
    levelLbl.foreColor = ui::rgb(220, 40, 30);

    cardImg.onClick = [this](int i) { cardImg_Click(i); };
    kit::wireButtons(butnImg, *this);
    Timer1.onTimer = [this] { Timer1_Timer(); };
    Timer2.onTimer = [this] { Timer2_Timer(); };
    Timer3.onTimer = [this] { Timer3_Timer(); };
    Timer4.onTimer = [this] { Timer4_Timer(); };
    Timer5.onTimer = [this] { Timer5_Timer(); };
    Timer6.onTimer = [this] { Timer6_Timer(); };
}

game01Frm::~game01Frm() = default;

ui::Rect game01Frm::cardRect(int row, int col) const {
    const LevelShape& s = shape(level);
    return {s.left + s.stepX * (col - 1), s.top + s.stepY * (row - 1), s.cardWidth, s.cardHeight};
}

double game01Frm::rnd() {
    return core::rnd(app);
}

// ---- load -------------------------------------------------------------------

void game01Frm::Form_Load() {
    loadScreen(640, 480, "");
    setPicture(runtime().loadPicture(gameFolder() + "pics/bg01.jpg"));
    core::stopSound(app);
}

void game01Frm::build() {
    initCardGame();
}

void game01Frm::initCardGame() {
    hoveredButton = -1;
    level = 1;
    const int verse = std::clamp<int>(g().curVerse, 1, 140);
    book_ = core::VerseBook::read(app, verse);
    maxLevel = std::int16_t(std::min(verse >= 3 ? 3 : verse, levelsTheMaterialFills()));
    g().readAloud = 1;
    timeLeft = 0;
    firstRow = firstCol = -1;

    levelLbl.move(516, 365, 39, 30);
    levelLbl.setCaption(std::to_string(level));
    scoreLbl[0].move(170, 447, 54, 20);
    scoreLbl[0].setCaption(std::to_string(score));
    scoreLbl[0].setVisible(true);
    ui::Label& best = scoreLbl.load(1);
    best.move(302, 447, 54, 20);
    best.setVisible(true);

    readBestScores();
    best.setCaption(std::to_string(bestScores[0]));
    readButtons();

    numPic = runtime().loadPicture(gameFolder() + "pics/numbers.bmp");
    areaPic = runtime().loadPicture(gameFolder() + "pics/area1014.jpg");
    hand_ = ui::Cursor::fromCurFile(platform::nativePath(g().picPath + "hub.cur"));
    if (hand_.shape == ui::CursorShape::Default)
        hand_ = ui::Cursor::standard(ui::CursorShape::Hand);

    layoutCards();
    getRandomWords();
    resetBoard(true);
    loaded_ = true;
    Timer6.start();
}

int game01Frm::levelsTheMaterialFills() const {
    std::set<char32_t> distinct;
    for (const auto& v : book_.verses)
        for (std::size_t p = 0; p < 14 && p < v.size(); ++p)
            if (!isBlank(v[p]))
                distinct.insert(v[p]);
    for (int l = 3; l > 1; --l)
        if (int(distinct.size()) >= pairsOf(l))
            return l;
    return 1;
}

void game01Frm::readBestScores() {
    bestScores = kit::readBestScores(core::savedFile(g(), kit::bestScoreFile("Game01")), 3);
}

void game01Frm::readButtons() {
    const auto layout = kit::readLayout(gameFolder() + "data\\pos_size.txt");
    kit::createButtons(butnImg, kit::layoutRects(layout, "butn:", 6));
}

// ---- the board ----------------------------------------------------------------

void game01Frm::layoutCards() {
    const LevelShape& s = shape(level);
    for (int k = 0; k < s.cards(); ++k) {
        wordLbl.load(k).setVisible(false);
        cardImg.load(k).setVisible(false);
    }
    for (int i = 1; i <= s.rows; ++i)
        for (int j = 1; j <= s.columns; ++j) {
            const int k = (i - 1) * s.columns + (j - 1);
            const ui::Rect r = cardRect(i, j);
            wordLbl[k].move(r.x, r.y, r.w, r.h);
            cardImg[k].move(r.x, r.y, r.w, r.h);
            // Level 3 keeps the font of level 2, the only way into it.
            if (level < 3) {
                wordLbl[k].font.size = s.fontSize;
                wordLbl[k].font.bold = true;
                wordLbl[k].foreColor = ui::rgb(255, 255, 255);
            }
        }
}

void game01Frm::unloadCards() {
    const int n = shape(level).cards();
    for (int k = 1; k < n; ++k) {
        wordLbl.unload(k);
        cardImg.unload(k);
    }
    wordLbl[0].setVisible(false);
    cardImg[0].setVisible(false);
}

void game01Frm::getRandomWords() {
    const int n = shape(level).cards(), half = n / 2;
    deck.assign(n + 1, 0);
    for (int i = 1; i <= half; ++i)
        deck[i] = deck[i + half] = std::int16_t(i);
    pairChars.assign(half + 1, std::string());
    pairSource.assign(half + 1, Source{});
    kit::DealRequest request;
    request.lastVerse = book_.verseCount();
    request.count = half;
    auto dealt = kit::dealCharacters(book_, request, [this] { return rnd(); });
    // The levels offered need no more characters than the verses hold, but a
    // book with blank verses may still come short: then characters come
    // twice rather than leave a card empty.
    for (std::size_t k = 0; !dealt.empty() && dealt.size() < std::size_t(half); ++k)
        dealt.push_back(dealt[k]);
    for (int i = 1; i <= half; ++i) {
        if (std::size_t(i) > dealt.size()) {
            pairChars[i].assign(1, '?');
            continue;
        }
        const kit::DealtChar& c = dealt[std::size_t(i - 1)];
        pairChars[i] = core::toUtf8(c.character);
        pairSource[i] = {c.verse, c.position};
    }
    shuffleCards();
}

void game01Frm::shuffleCards() {
    const int n = shape(level).cards();
    for (int t = 0; t < 5 * n; ++t) {
        const int a = int(rnd() * n + 1);
        int b = int(rnd() * n + 1);
        while (b == a)
            b = int(rnd() * (n / 2) + 1); // NOLINT(bugprone-integer-division): n is even
        std::swap(deck[a], deck[b]);
    }
    for (int p = 1; p <= n; ++p)
        wordLbl[p - 1].setCaption(pairChars[deck[p]]);
}

void game01Frm::pickCardBack() {
    const int k = int(rnd() * 30 + 1);
    char name[64];
    std::snprintf(name, sizeof name, "pics/level%d/cd1_%02d.jpg", int(level), k);
    cardPic = runtime().loadPicture(gameFolder() + name);
}

void game01Frm::resetBoard(bool faceUp) {
    score = 0;
    // Points of an earlier round still counting up belong to that round.
    pendingPoints = 0;
    Timer4.stop();
    forgetTurnedCards();
    for (auto& row : cardState)
        row.fill(faceUp ? 1 : 0);
    pickCardBack();
    if (areaPic.empty())
        surface().fillRect({10, 14, 409, 409}, kBoardColor);
    else
        surface().blit(areaPic, {10, 14});
    const LevelShape& s = shape(level);
    for (int i = 1; i <= s.rows; ++i)
        for (int j = 1; j <= s.columns; ++j)
            drawCard(i, j);
    showTimeLeft();
    showScore();
}

// The form's drawing always persists, so the preview and the game both
// survive a repaint (under the help viewer, say).
void game01Frm::drawCard(int row, int col) {
    const LevelShape& s = shape(level);
    const int k = (row - 1) * s.columns + (col - 1);
    if (!cardImg.exists(k))
        return;
    const ui::Rect r = cardRect(row, col);
    if (cardState[row][col] != 0) {
        if (areaPic.empty())
            surface().fillRect(r, kBoardColor);
        else
            surface().blit(areaPic, {r.x - 10, r.y - 14, r.w, r.h}, {r.x, r.y});
        wordLbl[k].setVisible(true);
        cardImg[k].setMousePointer(ui::CursorShape::NoDrop);
    } else {
        surface().blit(cardPic, {0, 0, r.w, r.h}, {r.x, r.y});
        wordLbl[k].setVisible(false);
        cardImg[k].setMousePointer(hand_);
    }
    cardImg[k].zOrder(0);
    cardImg[k].setVisible(true);
    invalidate();
}

bool game01Frm::checkEnd() const {
    const LevelShape& s = shape(level);
    for (int i = 1; i <= s.rows; ++i)
        for (int j = 1; j <= s.columns; ++j)
            if (cardState[i][j] == 0)
                return false;
    return true;
}

// A wrong pair waiting to turn back is dropped when the board is dealt
// anew, the level changes or the game ends.
void game01Frm::forgetTurnedCards() {
    Timer1.stop();
    firstRow = firstCol = -1;
    secondRow = secondCol = -1;
}

void game01Frm::enterLevel() {
    levelLbl.setCaption(std::to_string(level));
    score = 0;
    showScore();
    timeLeft = 0;
    showTimeLeft();
    scoreLbl[1].setCaption(std::to_string(bestScores[std::size_t(level - 1)]));
    layoutCards();
    getRandomWords();
    resetBoard(true);
}

void game01Frm::showTimeLeft() {
    kit::paintNumber(surface(), {numPic, 15, 23}, std::max<int>(timeLeft, 0), 5, {532, 442}, 16);
    invalidate();
}

void game01Frm::showScore() {
    scoreLbl[0].setCaption(std::to_string(score));
}

// ---- events -----------------------------------------------------------------

void game01Frm::clearHover() {
    if (hoveredButton >= 0 && butnImg.exists(hoveredButton))
        butnImg[hoveredButton].setPicture(ui::Picture());
    hoveredButton = -1;
}

void game01Frm::butnImg_MouseMove(int index, int, int, int, int) {
    if (isBusy() || index == hoveredButton)
        return;
    clearHover();
    hoveredButton = index;
    char name[32];
    std::snprintf(name, sizeof name, "pics/btn%02d.bmp", index + 1);
    butnImg[index].setPicture(runtime().loadPicture(gameFolder() + name));
}

void game01Frm::Form_MouseMove(int, int, int, int) {
    if (isBusy())
        return;
    clearHover();
}

void game01Frm::butnImg_MouseUp(int index, int, int, int x, int y) {
    if (isBusy() || !loaded_ || !kit::releasedOn(butnImg[index], x, y))
        return;
    runCommand(index);
}

void game01Frm::runCommand(int index) {
    kit::CommandScope scope(*this);
    switch (index) {
    case Help:
        core::queueSound(app, 15);
        core::showHelp(app);
        invalidate();
        break;
    case NewCards:
        core::queueSound(app, 9);
        timeLeft = 0;
        getRandomWords();
        resetBoard(true);
        break;
    case Start:
        core::queueSound(app, 4);
        shuffleCards();
        timeLeft = std::int16_t(shape(level).countdown);
        Timer3.start();
        resetBoard(false);
        break;
    case Back:
        core::queueSound(app, 12);
        app.load("gameFrm");
        unload();
        scope.leaving();
        return;
    case NextLevel:
    case PreviousLevel: {
        const bool up = index == NextLevel;
        if (up ? level >= maxLevel : level < 2) {
            core::queueSound(app, 1);
            break;
        }
        core::queueSound(app, 10);
        unloadCards();
        level = std::int16_t(level + (up ? 1 : -1));
        enterLevel();
        break;
    }
    default:
        break;
    }
}

void game01Frm::cardImg_Click(int index) {
    if (Timer1.enabled() || Timer2.enabled() || isBusy() || !loaded_)
        return;
    const LevelShape& s = shape(level);
    if (index < 0 || index >= s.cards())
        return;
    const int row = index / s.columns + 1, col = index % s.columns + 1;
    if (cardState[row][col] != 0)
        return;
    g().busy = -1;
    cardState[row][col] = 1;
    drawCard(row, col);
    if (firstRow < 0) {
        firstRow = row;
        firstCol = col;
    } else {
        const int first = (firstRow - 1) * s.columns + (firstCol - 1);
        if (wordLbl[first].caption != wordLbl[index].caption) {
            secondRow = row;
            secondCol = col;
            Timer1.start();
        } else {
            speakNext = pairSource[deck[index + 1]];
            Timer2.start();
            // Added, not set: the last pair's points may still be counting up.
            pendingPoints = std::int16_t(pendingPoints + 200);
            if (checkEnd())
                gameWon();
            Timer4.start();
        }
    }
    g().busy = 0;
}

void game01Frm::gameWon() {
    const int total = score + pendingPoints + 2 * timeLeft;
    if (kit::offerBestScore(core::fileToSave(g(), kit::bestScoreFile("Game01")), bestScores, level,
                            total))
        scoreLbl[1].setCaption(std::to_string(bestScores[std::size_t(level - 1)]));
    Timer3.stop();
    won = true;
    Timer5.start();
    pendingPoints = std::int16_t(pendingPoints + 2 * timeLeft);
    timeLeft = 0;
    showTimeLeft();
}

void game01Frm::Form_KeyDown(int& keyCode, int) {
    if (isBusy() || keyCode != ui::key::F1)
        return;
    core::showHelp(app);
    core::queueSound(app, 15);
}

void game01Frm::Form_KeyUp(int& keyCode, int) {
    if (isBusy() || keyCode != ui::key::Escape)
        return;
    g().busy = -1;
    core::queueSound(app, 12);
    app.load("menuFrm");
    unload();
}

// ---- timers -------------------------------------------------------------------

void game01Frm::Timer1_Timer() {
    g().busy = -1;
    if (secondRow > 0) {
        cardState[secondRow][secondCol] = 0;
        drawCard(secondRow, secondCol);
    }
    if (firstRow > 0) {
        cardState[firstRow][firstCol] = 0;
        drawCard(firstRow, firstCol);
    }
    firstRow = firstCol = -1;
    secondRow = secondCol = -1;
    g().busy = 0;
    Timer1.stop();
}

void game01Frm::Timer2_Timer() {
    if (g().soundPlaying != 0)
        return;
    core::stopMusic(app);
    core::playCharSound(app, speakNext.verse, speakNext.position);
    firstRow = firstCol = -1;
    Timer2.stop();
}

void game01Frm::Timer3_Timer() {
    if (timeLeft < 1) {
        Timer3.stop();
        won = false;
        Timer5.start();
        forgetTurnedCards();
        for (auto& row : cardState)
            row.fill(1);
        const LevelShape& s = shape(level);
        for (int i = 1; i <= s.rows; ++i)
            for (int j = 1; j <= s.columns; ++j)
                drawCard(i, j);
    } else {
        --timeLeft;
    }
    showTimeLeft();
}

void game01Frm::Timer4_Timer() {
    if (pendingPoints < 1) {
        pendingPoints = 0;
        Timer4.stop();
    } else if (pendingPoints <= 10) {
        score = std::int16_t(score + pendingPoints);
        pendingPoints = 0;
    } else {
        score = std::int16_t(score + 10);
        pendingPoints = std::int16_t(pendingPoints - 10);
    }
    showScore();
}

void game01Frm::Timer5_Timer() {
    if (g().soundPlaying != 0 || Timer2.enabled())
        return;
    core::stopMusic(app);
    core::startCue(app, won ? 5 : 1);
    Timer5.stop();
}

void game01Frm::Timer6_Timer() {
    core::playMusic(app);
}

// ---- unload -------------------------------------------------------------------

void game01Frm::Form_QueryUnload(bool&) {
    unloadCards();
    scoreLbl.unload(1);
    setPicture(ui::Picture());
    core::stopMusic(app);
}

} // namespace games
