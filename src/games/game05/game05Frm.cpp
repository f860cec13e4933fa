#include "games/game05/game05Frm.h"

#include "core/Folders.h"
#include "core/PublicM.h"
#include "core/Text.h"
#include "games/game05/VerseDeal.h"
#include "games/kit/Buttons.h"
#include "games/kit/Drawing.h"
#include "games/kit/GameFiles.h"
#include "ui/Runtime.h"

#include <algorithm>
#include <cstdio>
#include <functional>

namespace games {

namespace {

// Blocks are painted 39 x 36 every 40 x 37 pixels, in the grid and in the
// verse strips alike.
constexpr int kBlockW = 39, kBlockH = 36, kPitchX = 40, kPitchY = 37;
constexpr int kStripW = kPitchX * (game05Frm::kColumns - 1) + kBlockW;
constexpr int kSlotH = kPitchY * (game05Frm::kRows - 1) + kBlockH;
// The empty tile of the rows beyond the level in "pics/blocks.bmp".
constexpr ui::Rect kEmptyTile{80, 0, kBlockW, kBlockH};
constexpr int kSwapsPerRow = 20;
// The music and the waiting pointer are looked after ten times a second:
// often enough that neither is noticed, while a loop woken 64 times a second
// for them would cost the idle game more than everything else it does.
constexpr int kMusicCheckMs = 100;
constexpr int kTicksPerRow = 2000;

const char* const kLayoutFile = "data\\pos_size.txt";

ui::Picture cut(const ui::Picture& from, ui::Rect r) {
    ui::Picture p(r.w, r.h, ui::rgb(255, 255, 255));
    p.blit(from, r, {0, 0});
    return p;
}

} // namespace

game05Frm::game05Frm(core::App& a)
    : core::Screen(a), movePic(*this), butnImg(*this), countTimer(*this, 100),
      flashTimer(*this, 200), midiTimer(*this, kMusicCheckMs) {
    butnImg[0].setVisible(false);
    movePic[0].setVisible(false);
    butnImg.onMouseMove = std::bind_front(&game05Frm::butnImg_MouseMove, this);
    butnImg.onMouseUp = std::bind_front(&game05Frm::butnImg_MouseUp, this);
    countTimer.onTimer = std::bind_front(&game05Frm::countTimer_Timer, this);
    flashTimer.onTimer = std::bind_front(&game05Frm::flashTimer_Timer, this);
    midiTimer.onTimer = std::bind_front(&game05Frm::midiTimer_Timer, this);
}

game05Frm::~game05Frm() = default;

ui::Rect game05Frm::cellRect(int row, int col) const {
    return {blockOrigin.x + kPitchX * (col - 1), blockOrigin.y + kPitchY * (row - 1), kBlockW,
            kBlockH};
}

// ---- load -------------------------------------------------------------------

void game05Frm::Form_Load() {
    loadScreen(640, 480, "");
    setPicture(runtime().loadPicture(gameFolder() + "pics/bg.jpg"));
    core::stopSound(app);
    midiTimer.start();
}

void game05Frm::build() {
    setUpBlockGame();
}

void game05Frm::setUpBlockGame() {
    blockHover = -1;
    const int verse = std::clamp<int>(g().curVerse, 1, 140);
    const int open = verse < 21 ? verse / 2 + 1 : kRows;
    book_ = core::VerseBook::read(app, verse);
    // Only the levels the verses reached can fill are offered, so a level's
    // deal always finds its rows.
    disjoint_ = verses::disjointVerses(book_, open);
    maxBlockLevel = std::int16_t(std::clamp(int(disjoint_.size()), 1, open));
    dragging = false;
    blockLevel = 1;
    blockScore = 0;
    loadPictures();
    for (int k = 0; k <= 1; ++k) {
        ui::PictureBox& m = movePic.load(k);
        m.move(0, 0, kBlockW, kBlockH);
        m.setVisible(false);
        // The carried block lies under the pointer; the form keeps the mouse.
        m.setEnabled(false);
        m.zOrder(0);
    }
    blockBests = kit::readBestScores(core::savedFile(g(), kit::bestScoreFile("Game05")), kRows);
    readLayout();
    getRandomWords();
    showLevelInfo();
    loaded_ = true;
}

void game05Frm::loadPictures() {
    ui::Runtime& rt = runtime();
    const std::string pics = gameFolder() + "pics/";
    workPic[Background] = picture();
    for (int n = 0; n < 5; ++n)
        workPic[std::size_t(ButtonLooks) + std::size_t(n)] =
            rt.loadPicture(kit::buttonLook(gameFolder(), n));
    workPic[Tiles] = rt.loadPicture(pics + "blocks.bmp");
    workPic[White] = rt.loadPicture(pics + "white.bmp");
    workPic[Blue] = rt.loadPicture(pics + "blue.bmp");
    ui::Picture both = workPic[White];
    both.blit(workPic[Blue], {0, 0});
    workPic[WhiteAndBlue] = kit::throughScratch(rt, core::scratchFolder(g()), both);
    workPic[Digits] = rt.loadPicture(g().picPath + "number.bmp");
    pointCursor_ = ui::Cursor::fromCurFile(platform::nativePath(g().picPath + "H_point.cur"));
    if (pointCursor_.shape == ui::CursorShape::Default)
        pointCursor_ = ui::Cursor::standard(ui::CursorShape::Hand);
    moveCursor_ = ui::Cursor::fromCurFile(platform::nativePath(g().picPath + "H_move.cur"));
    if (moveCursor_.shape == ui::CursorShape::Default)
        moveCursor_ = ui::Cursor::standard(ui::CursorShape::Hand);
}

void game05Frm::readLayout() {
    const std::string path = gameFolder() + kLayoutFile;
    const auto lines = kit::readLayout(path);
    kit::createButtons(butnImg, kit::layoutRects(lines, "ButnPosSize  :", 15));
    butnImg.forEach([&](int, ui::Image& b) { b.setMousePointer(pointCursor_); });
    textFields = kit::layoutPoints(lines, "TextFieldPos :", 15);
    const auto start = kit::layoutPoints(lines, "BlockStartPos:", 15);
    const auto size = kit::layoutPoints(lines, "BlockSize    :", 15);
    if (!lines.empty() && (start.empty() || size.empty() || size[0].x < 1 || size[0].y < 1))
        std::fprintf(stderr, "shizi: %s lacks the grid's place or block size; using defaults\n",
                     core::displayPath(path).c_str());
    if (!start.empty())
        blockOrigin = start[0];
    if (!size.empty() && size[0].x > 0 && size[0].y > 0)
        blockCellSize = {size[0].x, size[0].y};
}

// ---- dealing and shuffling ------------------------------------------------------

void game05Frm::getRandomWords() {
    for (int r = 1; r <= kRows; ++r) {
        rowDone[std::size_t(r)] = 0;
        for (int c = 1; c <= kColumns; ++c)
            blockGrid[std::size_t(r)][std::size_t(c)] = {std::int8_t(r), std::int8_t(c), AtRest, 0};
    }
    const std::vector<int> dealt =
        verses::dealVerses(book_, blockLevel, disjoint_, [this] { return core::rnd(app); });
    // Only a book without verses deals short; the level then shrinks to it.
    if (!dealt.empty() && int(dealt.size()) < blockLevel)
        blockLevel = std::int16_t(dealt.size());
    rowVerses.fill(0);
    for (auto& row : rowChars)
        row.fill(DealtBlock{});
    for (std::size_t k = 1; k <= dealt.size(); ++k) {
        const int v = dealt[k - 1];
        rowVerses[k] = std::int16_t(v);
        for (int j = 1; j <= kColumns; ++j)
            rowChars[k][std::size_t(j)] = {std::int16_t(v), std::int16_t(j),
                                           core::toUtf8(book_.character(v, j))};
    }

    const char* const looks[3] = {"tav_H", "tav_Y", "tav_J"};
    for (int look = 0; look < 3; ++look) {
        ui::Picture slot(kStripW, kSlotH, ui::rgb(255, 255, 255));
        for (int k = 1; k <= blockLevel && rowVerses[std::size_t(k)] > 0; ++k) {
            char name[32];
            std::snprintf(name, sizeof name, "%s%03d.bmp", looks[look],
                          int(rowVerses[std::size_t(k)]));
            workPic[Holder] = runtime().loadPicture(g().kjPath + name);
            slot.blit(workPic[Holder], {0, 0, kStripW, kBlockH}, {0, kPitchY * (k - 1)});
        }
        workPic[std::size_t(MovableLook) + std::size_t(look)] =
            kit::throughScratch(runtime(), core::scratchFolder(g()), slot);
    }
    workPic[Holder] = ui::Picture();
    drawAllCells();
}

void game05Frm::newBlockGame() {
    for (int r = 1; r <= blockLevel; ++r) {
        rowDone[std::size_t(r)] = 0;
        for (int c = 1; c <= kColumns; ++c) {
            Cell& cell = blockGrid[std::size_t(r)][std::size_t(c)];
            cell.state = Movable;
            cell.mark = 0;
        }
    }
    shuffleBlocks();
    if (!unloading())
        drawAllCells();
}

void game05Frm::shuffleBlocks() {
    auto rnd = [this] { return core::rnd(app); };
    auto swapTwo = [this, &rnd] {
        int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
        do {
            r1 = int(rnd() * blockLevel) + 1;
            c1 = int(rnd() * kColumns) + 1;
            r2 = int(rnd() * blockLevel) + 1;
            c2 = int(rnd() * kColumns) + 1;
        } while (r1 == r2 && c1 == c2);
        Cell& a = blockGrid[std::size_t(r1)][std::size_t(c1)];
        Cell& b = blockGrid[std::size_t(r2)][std::size_t(c2)];
        std::swap(a.originRow, b.originRow);
        std::swap(a.originCol, b.originCol);
        drawCell(r1, c1);
        drawCell(r2, c2);
    };
    for (int t = 0; t < blockLevel * kSwapsPerRow; ++t) {
        swapTwo();
        // The child watches the blocks being mixed.
        runtime().yield();
        if (unloading())
            return;
    }
    // A row the mixing happened to leave in order would never be checked:
    // mix on until none is.
    auto anyComplete = [this] {
        for (int r = 1; r <= blockLevel; ++r)
            if (rowComplete(r))
                return true;
        return false;
    };
    for (int extra = 0; extra < 100 && anyComplete(); ++extra)
        swapTwo();
    setMousePointer(ui::CursorShape::Default);
    core::stopSound(app);
    core::queueSound(app, 4);
}

// ---- the read-outs ------------------------------------------------------------

void game05Frm::showNumber(int display, int value, int digits, int pitch) {
    if (display < 1 || display > int(textFields.size()))
        return;
    const ui::Point at = textFields[std::size_t(display - 1)];
    const kit::DigitStrip strip{workPic[Digits], 7, 10};
    if (value <= 0)
        kit::paintBlank(surface(), strip, digits, at, pitch);
    else
        kit::paintNumber(surface(), strip, value, digits, at, pitch);
    invalidate({at.x, at.y, pitch * (digits - 1) + strip.cellWidth, strip.cellHeight});
}

void game05Frm::showLevelInfo() {
    showNumber(LevelDisplay, blockLevel, 2, 10);
    showBlockScore();
    timeTicks = std::int16_t(blockLevel * kTicksPerRow);
}

void game05Frm::showBlockTime() {
    showNumber(TimeDisplay, timeTicks, 5, 9);
}

void game05Frm::showBlockScore() {
    showNumber(ScoreDisplay, blockScore, 4, 9);
    kit::offerBestScore(core::fileToSave(g(), kit::bestScoreFile("Game05")), blockBests, blockLevel,
                        blockScore);
    showBlockBest();
}

void game05Frm::showBlockBest() {
    showNumber(BestDisplay, blockBests[std::size_t(blockLevel - 1)], 4, 9);
}

// ---- events -------------------------------------------------------------------

void game05Frm::butnImg_MouseMove(int index, int, int, int, int) {
    if (index == blockHover)
        return;
    if (isBusy() || g().soundPlaying != 0) {
        butnImg[index].setMousePointer(ui::CursorShape::NoDrop);
        return;
    }
    butnImg[index].setMousePointer(pointCursor_);
    hideButtonHover();
    blockHover = index;
    showButtonHover();
}

void game05Frm::butnImg_MouseUp(int index, int, int, int x, int y) {
    // A block carried off the grid and let go over a button goes home; the
    // button was never pressed.
    if (dragging)
        cancelDrag();
    else if (!isBusy() && g().soundPlaying == 0 && loaded_ && kit::releasedOn(butnImg[index], x, y))
        runCommand(index);
}

void game05Frm::runCommand(int index) {
    kit::CommandScope scope(*this);
    if (index == Start) {
        startGame();
    } else if (index == Help) {
        core::showHelp(app);
        core::playSoundWait(app, 15);
        invalidate();
    } else if (index == Back) {
        core::playSoundWait(app, 12);
        app.load("gameFrm");
        unload();
        scope.leaving();
    } else if (index == NextLevel || index == PreviousLevel) {
        changeLevel(index == NextLevel ? 1 : -1);
    }
}

void game05Frm::startGame() {
    core::playSoundWait(app, 6);
    newBlockGame();
    if (unloading())
        return;
    showLevelInfo();
    countTimer.start();
}

void game05Frm::changeLevel(int step) {
    if (step > 0 ? blockLevel >= maxBlockLevel : blockLevel < 2) {
        core::playSoundWait(app, 1);
        return;
    }
    core::playSoundWait(app, 10);
    countTimer.stop();
    timeTicks = 0;
    showBlockTime();
    blockLevel = std::int16_t(blockLevel + step);
    blockScore = 0;
    showLevelInfo();
    getRandomWords();
}

void game05Frm::Form_KeyDown(int& keyCode, int) {
    if (isBusy() || keyCode != ui::key::F1)
        return;
    g().busy = -1;
    core::showHelp(app);
    core::queueSound(app, 15);
    g().busy = 0;
    invalidate();
}

bool game05Frm::hitCell(int x, int y, int& row, int& col) const {
    const int p = blockCellSize.w + 1, q = blockCellSize.h + 1;
    for (int r = 1; r <= blockLevel; ++r)
        for (int c = 1; c <= kColumns; ++c)
            if (blockOrigin.x + p * (c - 1) < x && x < blockOrigin.x + p * c - 1 &&
                blockOrigin.y + q * (r - 1) < y && y < blockOrigin.y + q * r - 1) {
                row = r;
                col = c;
                return true;
            }
    return false;
}

bool game05Frm::insideGrid(int x, int y) const {
    const int p = blockCellSize.w + 1, q = blockCellSize.h + 1;
    return x > blockOrigin.x && x < blockOrigin.x + kColumns * p && y > blockOrigin.y &&
           y < blockOrigin.y + blockLevel * q;
}

void game05Frm::Form_MouseDown(int, int, int x, int y) {
    pointer_ = {x, y};
    // A press while a block is carried means its release went elsewhere.
    if (dragging)
        cancelDrag();
    if (!countTimer.enabled() || g().charSpeaking != 0 || isBusy() || !loaded_)
        return;
    g().busy = -1;
    int r = 0, c = 0;
    if (hitCell(x, y, r, c) && blockGrid[std::size_t(r)][std::size_t(c)].state == Movable) {
        Cell& cell = blockGrid[std::size_t(r)][std::size_t(c)];
        dragging = true;
        dragRow = r;
        dragCol = c;
        cell.mark = 2;
        const DealtBlock& b = rowChars[std::size_t(cell.originRow)][std::size_t(cell.originCol)];
        g().cueVerse = b.verse;
        g().cueCharPos = b.position;
        core::queueSound(app, 7);
        liftBlock(r, c);
        clearCell(r, c);
        flashTimer.start();
        movePic[0].move(x, y);
        movePic[1].move(x, y);
        showGridPointer();
    }
    g().busy = 0;
}

void game05Frm::Form_MouseMove(int button, int, int x, int y) {
    pointer_ = {x, y};
    if (isBusy())
        return;
    hideButtonHover();
    // No button held while a block is carried: its release was missed.
    if (dragging && button == 0)
        cancelDrag();
    if (dragging && countTimer.enabled() && insideGrid(x, y)) {
        movePic[0].move(x, y);
        movePic[1].move(x, y);
    }
    showGridPointer();
}

void game05Frm::showGridPointer() {
    auto pointTo = [this](const ui::Cursor& c) {
        if (!(mousePointer() == c))
            setMousePointer(c);
    };
    if (!countTimer.enabled() || !insideGrid(pointer_.x, pointer_.y)) {
        pointerWaits_ = false;
        pointTo(ui::Cursor::standard(ui::CursorShape::Default));
    } else if (dragging) {
        pointerWaits_ = false;
        pointTo(moveCursor_);
    } else if (g().soundPlaying != 0) {
        // While a sound plays the hand waits; midiTimer shows it once the
        // sound has ended, so this handler returns to the loop at once.
        pointerWaits_ = true;
        pointTo(ui::Cursor::standard(ui::CursorShape::NoDrop));
    } else {
        pointerWaits_ = false;
        pointTo(pointCursor_);
    }
}

void game05Frm::Form_MouseUp(int, int, int x, int y) {
    pointer_ = {x, y};
    if (!dragging || !countTimer.enabled() || isBusy())
        return;
    dropBlock(x, y);
}

void game05Frm::dropBlock(int x, int y) {
    g().busy = -1;
    dragging = false;
    Cell& from = blockGrid[std::size_t(dragRow)][std::size_t(dragCol)];
    from.mark = 0;
    from.state = Movable;
    movePic[0].setVisible(false);
    movePic[1].setVisible(false);
    flashTimer.stop();
    int r = 0, c = 0;
    // Blocks of a completed row stay where they are: a drop on one is
    // refused like a drop beside the grid.
    if (!hitCell(x, y, r, c) || (r == dragRow && c == dragCol) ||
        blockGrid[std::size_t(r)][std::size_t(c)].state != Movable) {
        drawCell(dragRow, dragCol);
    } else {
        Cell& to = blockGrid[std::size_t(r)][std::size_t(c)];
        std::swap(from.originRow, to.originRow);
        std::swap(from.originCol, to.originCol);
        drawCell(dragRow, dragCol);
        drawCell(r, c);
        checkRow(r);
        if (r != dragRow)
            checkRow(dragRow);
    }
    showGridPointer();
    g().busy = 0;
}

void game05Frm::cancelDrag() {
    if (!dragging)
        return;
    dragging = false;
    blockGrid[std::size_t(dragRow)][std::size_t(dragCol)].mark = 0;
    movePic[0].setVisible(false);
    movePic[1].setVisible(false);
    flashTimer.stop();
    drawCell(dragRow, dragCol);
}

// ---- rows ---------------------------------------------------------------------

bool game05Frm::rowComplete(int row) const {
    auto blockAt = [&](int c) -> const DealtBlock& {
        const Cell& cell = blockGrid[std::size_t(row)][std::size_t(c)];
        return rowChars[std::size_t(cell.originRow)][std::size_t(cell.originCol)];
    };
    const int verse = blockAt(1).verse;
    for (int c = 1; c <= kColumns; ++c)
        if (blockAt(c).verse != verse || blockAt(c).position != c)
            return false;
    return true;
}

void game05Frm::checkRow(int row) {
    if (rowDone[std::size_t(row)] != 0 || !rowComplete(row))
        return;
    core::queueSound(app, 0);
    rowDone[std::size_t(row)] = 1;
    blockScore = std::int16_t(blockScore + 10);
    showBlockScore();
    for (int c = 1; c <= kColumns; ++c) {
        blockGrid[std::size_t(row)][std::size_t(c)].state = Locked;
        drawCell(row, c);
    }
    for (int r = 1; r <= blockLevel; ++r)
        if (rowDone[std::size_t(r)] == 0)
            return;
    levelWon();
}

void game05Frm::levelWon() {
    core::queueSound(app, 5);
    blockScore = std::int16_t(blockScore + timeTicks / 100);
    countTimer.stop();
    timeTicks = 0;
    showBlockTime();
    showBlockScore();
    for (int r = 1; r <= blockLevel; ++r)
        for (int c = 1; c <= kColumns; ++c) {
            blockGrid[std::size_t(r)][std::size_t(c)].state = AtRest;
            drawCell(r, c);
        }
    setMousePointer(ui::CursorShape::Default);
}

// ---- timers -------------------------------------------------------------------

void game05Frm::countTimer_Timer() {
    --timeTicks;
    if (timeTicks < 0) {
        // Time is up: the blocks stay as they lie until the next start, and
        // a block in the hand goes back to its cell.
        countTimer.stop();
        core::queueSound(app, 1);
        cancelDrag();
        showGridPointer();
        return;
    }
    showBlockTime();
}

void game05Frm::flashTimer_Timer() {
    const bool first = movePic[0].visible();
    movePic[0].setVisible(!first);
    movePic[1].setVisible(first);
}

void game05Frm::midiTimer_Timer() {
    if (g().soundPlaying == 0 && mousePointer().shape == ui::CursorShape::NoDrop) {
        if (pointerWaits_)
            showGridPointer();
        else
            setMousePointer(ui::CursorShape::Default);
    }
    core::playMusic(app);
}

// ---- drawing ------------------------------------------------------------------

void game05Frm::drawCell(int row, int col) {
    const ui::Rect r = cellRect(row, col);
    const Cell& cell = blockGrid[std::size_t(row)][std::size_t(col)];
    const ui::Picture& look = row > blockLevel
                                  ? workPic[Tiles]
                                  : workPic[std::size_t(MovableLook) + std::size_t(cell.state)];
    const ui::Rect from = row > blockLevel
                              ? kEmptyTile
                              : ui::Rect{kPitchX * (cell.originCol - 1),
                                         kPitchY * (cell.originRow - 1), kBlockW, kBlockH};
    // Without its picture a cell shows the background, not what lay there.
    if (look.empty())
        clearCell(row, col);
    else
        surface().blit(look, from, {r.x, r.y});
    invalidate(r);
}

void game05Frm::drawAllCells() {
    for (int r = 1; r <= kRows; ++r)
        for (int c = 1; c <= kColumns; ++c)
            drawCell(r, c);
}

void game05Frm::clearCell(int row, int col) {
    const ui::Rect r = cellRect(row, col);
    if (workPic[Background].empty())
        surface().fillRect(r, backColor());
    else
        surface().blit(workPic[Background], r, {r.x, r.y});
    invalidate(r);
}

void game05Frm::liftBlock(int row, int col) {
    const Cell& cell = blockGrid[std::size_t(row)][std::size_t(col)];
    const ui::Rect from{kPitchX * (cell.originCol - 1), kPitchY * (cell.originRow - 1), kBlockW,
                        kBlockH};
    for (int k = 0; k <= 1; ++k)
        movePic[k].setPicture(
            kit::throughScratch(runtime(), core::scratchFolder(g()),
                                cut(workPic[std::size_t(k == 0 ? LockedLook : RestLook)], from)));
    movePic[0].setVisible(true);
    movePic[1].setVisible(false);
}

void game05Frm::showButtonHover() {
    if (blockHover < 0 || !butnImg.exists(blockHover))
        return;
    const ui::Rect r = butnImg[blockHover].rect();
    const ui::Picture& look = workPic[std::size_t(ButtonLooks) + std::size_t(blockHover)];
    surface().blit(look, {0, 0, r.w, r.h}, {r.x, r.y});
    invalidate(r);
}

void game05Frm::hideButtonHover() {
    if (blockHover < 0)
        return;
    if (butnImg.exists(blockHover)) {
        const ui::Rect r = butnImg[blockHover].rect();
        surface().blit(workPic[Background], r, {r.x, r.y});
        invalidate(r);
    }
    blockHover = -1;
}

// ---- unload -------------------------------------------------------------------

void game05Frm::Form_QueryUnload(bool&) {
    countTimer.stop();
    flashTimer.stop();
    midiTimer.stop();
    for (int i = butnImg.ubound(); i >= 1; --i)
        butnImg.unload(i);
    movePic.unload(1);
    for (std::size_t s = 1; s < workPic.size(); ++s)
        workPic[s] = ui::Picture();
    workPic[Background] = ui::Picture();
    setPicture(ui::Picture());
    core::stopMusic(app);
}

} // namespace games
