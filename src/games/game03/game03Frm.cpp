#include "games/game03/game03Frm.h"

#include "core/Folders.h"
#include "core/PublicM.h"
#include "core/Text.h"
#include "games/game03/Colouring.h"
#include "games/kit/Buttons.h"
#include "games/kit/Drawing.h"
#include "games/kit/GameFiles.h"
#include "platform/Platform.h"
#include "ui/Runtime.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <utility>

namespace games {

namespace {

constexpr ui::Color kWhite = ui::rgb(255, 255, 255);
constexpr ui::Color kBlack = ui::rgb(0, 0, 0);
constexpr ui::Point kScoreAt{510, 286};
constexpr ui::Point kBestAt{577, 286};
constexpr int kDigits = 5, kDigitPitch = 7;
constexpr int kWordSize = 24;

} // namespace

game03Frm::game03Frm(core::App& a)
    : core::Screen(a), screenPic(*this), butnImg(*this), midiTimer(*this, 1000) {
    screenPic.autoSize = true;
    butnImg[0].setVisible(false);
    screenPic.onMouseMove = [this](int b, int s, int x, int y) { screenPic_MouseMove(b, s, x, y); };
    screenPic.onMouseUp = [this](int b, int s, int x, int y) { screenPic_MouseUp(b, s, x, y); };
    butnImg.onMouseMove = [this](int i, int b, int s, int x, int y) {
        butnImg_MouseMove(i, b, s, x, y);
    };
    butnImg.onMouseUp = [this](int i, int b, int s, int x, int y) {
        butnImg_MouseUp(i, b, s, x, y);
    };
    midiTimer.onTimer = [this] { midiTimer_Timer(); };
}

game03Frm::~game03Frm() = default;

double game03Frm::rnd() {
    return core::rnd(app);
}

// ---- load -------------------------------------------------------------------

void game03Frm::Form_Load() {
    loadScreen(640, 480, "");
    screenPic.move(0, 0);
    screenPic.setPicture(runtime().loadPicture(gameFolder() + "pics/bg.bmp"));
    if (screenPic.width() == 0)
        screenPic.resize(640, 480);
    core::stopSound(app);
}

void game03Frm::build() {
    initColouringGame();
}

void game03Frm::initColouringGame() {
    hoveredButton = -1;
    selectedSlot = -1;
    g().readAloud = 1;
    score = 0;
    filledCount = 0;
    const auto bests = kit::readBestScores(core::savedFile(g(), kit::bestScoreFile("Game03")), 2);
    bestScore = bests[0];
    pictureCount = bests[1];
    readLayout();
    book_ = core::VerseBook::read(app, std::clamp<int>(g().curVerse, 1, 140));
    colours_ = colouring::usableColours(gameFolder() + "data\\color.txt");
    areaPic[2] = runtime().loadPicture(g().picPath + "number.bmp");
    loaded_ = true;

    choosePicture();
    getRandomWords();
    showWordPictures();
    showScore();
    showBest();
    pickPaletteColours();
    colourPalette();
    midiTimer.start();
}

void game03Frm::readLayout() {
    const auto layout = kit::readLayout(gameFolder() + "data\\pos_size.txt");
    const auto areas = kit::layoutRects(layout, "area:", 6);
    colourArea = areas.empty() ? ui::Rect{} : areas.front();
    kit::createButtons(butnImg, kit::layoutRects(layout, "butn:", 6));
    wordSlots = kit::layoutPoints(layout, "word:", 6);
    circleCentres = kit::layoutPoints(layout, "circle:", 8);
    wordSlots.resize(std::min<std::size_t>(wordSlots.size(), 10));
    circleCentres.resize(std::min<std::size_t>(circleCentres.size(), 10));
    const auto counts = kit::layoutNumbers(layout, "colorNum:", 10);
    // A best-score file without the number of drawings still finds them
    // through the layout.
    if (pictureCount < 1)
        pictureCount = std::int16_t(counts.size());
    // Nor without both: the drawings are there to be counted.
    if (pictureCount < 1) {
        char name[32];
        for (int n = 1; n < 100; ++n) {
            std::snprintf(name, sizeof name, "pics/fill%02d.bmp", n);
            if (!std::filesystem::exists(platform::nativePath(gameFolder() + name)))
                break;
            pictureCount = std::int16_t(n);
        }
        std::fprintf(stderr, "shizi: %s does not say how many drawings there are; %d found\n",
                     core::savedFile(g(), kit::bestScoreFile("Game03")).c_str(), int(pictureCount));
    }
    regionCounts.assign(std::size_t(std::max<int>(pictureCount, 0)) + 1, 0);
    for (std::size_t i = 0; i < counts.size() && i + 1 < regionCounts.size(); ++i)
        regionCounts[i + 1] = counts[i];
}

// ---- the drawing ----------------------------------------------------------------

void game03Frm::choosePicture() {
    if (pictureCount < 1)
        return;
    // The first drawing is a surprise; after that the Picture button walks
    // through all of them in turn.
    pictureNo = pictureNo < 1 ? std::int16_t(core::drawRandom(app, pictureCount))
                              : std::int16_t(pictureNo % pictureCount + 1);
    char name[32];
    std::snprintf(name, sizeof name, "pics/fill%02d", int(pictureNo));
    pictureName = name;
    // A drawing without its region count would never finish: count the map.
    if (regionCounts[std::size_t(pictureNo)] < 1) {
        regionCounts[std::size_t(pictureNo)] =
            std::int16_t(colouring::countRegions(mapFile(), {colourArea.w, colourArea.h}));
        std::fprintf(stderr,
                     "shizi: no \"colorNum:\" line for drawing %d; its map has %d regions\n",
                     int(pictureNo), int(regionCounts[std::size_t(pictureNo)]));
    }
    showPicture();
}

void game03Frm::showPicture() {
    if (pictureName.empty())
        return;
    areaPic[0] = runtime().loadPicture(gameFolder() + pictureName + ".bmp");
    // Without its drawing the area shows the background, not the last drawing.
    screenPic.surface().blit(screenPic.picture(), colourArea, {colourArea.x, colourArea.y});
    screenPic.surface().blit(areaPic[0], {0, 0, colourArea.w, colourArea.h},
                             {colourArea.x, colourArea.y});
    repaint(colourArea);
}

int game03Frm::regionCodeAt(int x, int y) {
    if (pictureName.empty())
        return colouring::kNoRegion;
    return colouring::regionCodeAt(mapFile(), {colourArea.w, colourArea.h}, x - colourArea.x + 1,
                                   y - colourArea.y + 1);
}

bool game03Frm::insideArea(int x, int y) const {
    return x >= colourArea.x && x <= colourArea.right() && y >= colourArea.y &&
           y <= colourArea.bottom();
}

// ---- the puzzle -----------------------------------------------------------------

void game03Frm::getRandomWords() {
    kit::DealRequest request;
    request.lastVerse = book_.verseCount();
    request.count = 10;
    request.distinctReadings = true;
    const auto draw = [this] { return rnd(); };
    auto dealt = kit::dealCharacters(book_, request, draw);
    // The first verses may hold fewer than ten characters that sound apart:
    // the rest then come from the verses after them.
    if (dealt.size() < 10) {
        const core::VerseBook whole = core::VerseBook::read(app, 140);
        request.firstVerse = book_.verseCount() + 1;
        request.lastVerse = whole.verseCount();
        request.count = 10 - int(dealt.size());
        request.taken = dealt;
        const auto more = kit::dealCharacters(whole, request, draw);
        dealt.insert(dealt.end(), more.begin(), more.end());
    }
    // Only a book without ten such characters in all repeats one.
    for (std::size_t k = 0; !dealt.empty() && dealt.size() < 10; ++k)
        dealt.push_back(dealt[k]);
    for (int i = 1; i <= 10; ++i) {
        charOrder[std::size_t(i)] = std::int16_t(i);
        puzzle[std::size_t(i)] =
            std::size_t(i) <= dealt.size() ? dealt[std::size_t(i - 1)] : kit::DealtChar{};
    }
    for (int t = 0; t < 30; ++t) {
        const int a = int(10 * rnd() + 1);
        int b = int(10 * rnd() + 1);
        while (b == a)
            b = int(10 * rnd() + 1);
        std::swap(charOrder[std::size_t(a)], charOrder[std::size_t(b)]);
    }
    std::vector<std::pair<int, int>> cells;
    for (int i = 1; i <= 10; ++i)
        cells.emplace_back(puzzle[std::size_t(i)].verse, puzzle[std::size_t(i)].position);
    areaPic[1] = kit::buildCharacterStrip(runtime(), g().kjPath, core::scratchFolder(g()), cells);
}

void game03Frm::showWordPictures() {
    for (std::size_t k = 0; k < wordSlots.size(); ++k) {
        const ui::Rect cell{29 * int(k), 0, 29, 29};
        const ui::Rect slot{wordSlots[k].x, wordSlots[k].y, kWordSize, kWordSize};
        screenPic.surface().stretchBlit(areaPic[1], cell, slot);
        repaint(slot);
    }
}

void game03Frm::pickPaletteColours() {
    paletteColours = colouring::drawPalette(colours_, [this] { return rnd(); });
}

void game03Frm::colourPalette() {
    for (std::size_t k = 0; k < circleCentres.size(); ++k) {
        const ui::Point c = circleCentres[k];
        screenPic.surface().floodFillBorder(c, kBlack, paletteColours[k]);
        repaint({c.x - 20, c.y - 20, 41, 41});
    }
}

int game03Frm::circleAt(int x, int y) const {
    for (std::size_t k = 0; k < circleCentres.size(); ++k)
        if (std::abs(x - circleCentres[k].x) < kCircleReach &&
            std::abs(y - circleCentres[k].y) < kCircleReach)
            return int(k);
    return -1;
}

// The swatch shows the chosen colour, white when none is chosen.
void game03Frm::chooseColour(int slot) {
    selectedSlot = slot;
    screenPic.surface().floodFillBorder(kSwatch, kBlack,
                                        slot < 0 ? kWhite : paletteColours[std::size_t(slot)]);
    repaint({kSwatch.x - 10, kSwatch.y - 40, 80, 80});
}

void game03Frm::colourRegion(int x, int y) {
    if (screenPic.surface().pixel(x, y) != kWhite) {
        core::queueSound(app, 1);
        return;
    }
    const int code = regionCodeAt(x, y);
    if (code == colouring::kNoRegion)
        return;
    const int wanted = charOrder[std::size_t(code % 10 + 1)];
    if (selectedSlot == wanted - 1) {
        ++filledCount;
        screenPic.surface().floodFillBorder({x, y}, kBlack,
                                            paletteColours[std::size_t(wanted - 1)]);
        repaint(colourArea);
        score = std::int16_t(std::min(score + 10, 32760));
        const bool done = pictureNo >= 1 && filledCount == regionCounts[std::size_t(pictureNo)];
        core::queueSound(app, done ? 5 : 0);
    } else {
        core::queueSound(app, 1);
        score = std::int16_t(std::max(score - 10, -32760));
    }
    showScore();
    chooseColour(-1);
}

// ---- read-outs ------------------------------------------------------------------

void game03Frm::showScore() {
    kit::paintNumber(screenPic.surface(), {areaPic[2]}, score, kDigits, kScoreAt, kDigitPitch);
    repaint({kScoreAt.x, kScoreAt.y, kDigits * kDigitPitch, 10});
    if (bestScore >= score)
        return;
    bestScore = score;
    kit::writeBestScores(core::fileToSave(g(), kit::bestScoreFile("Game03")),
                         {bestScore, pictureCount});
    showBest();
}

void game03Frm::showBest() {
    kit::paintNumber(screenPic.surface(), {areaPic[2]}, bestScore, kDigits, kBestAt, kDigitPitch);
    repaint({kBestAt.x, kBestAt.y, kDigits * kDigitPitch, 10});
}

// Only the changed part of the screen is shown again.
void game03Frm::repaint(ui::Rect r) {
    invalidate({screenPic.left() + r.x, screenPic.top() + r.y, r.w, r.h});
}

// ---- events -----------------------------------------------------------------

void game03Frm::clearHover() {
    if (hoveredButton >= 0 && butnImg.exists(hoveredButton))
        butnImg[hoveredButton].setPicture(ui::Picture());
    hoveredButton = -1;
}

void game03Frm::screenPic_MouseMove(int, int, int x, int y) {
    if (isBusy() || !loaded_)
        return;
    if (insideArea(x, y)) {
        screenPic.setMousePointer(screenPic.surface().pixel(x, y) == kWhite
                                      ? ui::CursorShape::ArrowQuestion
                                      : ui::CursorShape::NoDrop);
        clearHover();
        return;
    }
    const bool overCircle = circleAt(x, y) >= 0;
    screenPic.setMousePointer(overCircle ? ui::CursorShape::Crosshair : ui::CursorShape::Default);
    if (!overCircle)
        clearHover();
}

void game03Frm::screenPic_MouseUp(int button, int, int x, int y) {
    if (isBusy() || !loaded_)
        return;
    if (button == 1) {
        if (!insideArea(x, y)) {
            const int slot = circleAt(x, y);
            chooseColour(slot);
            if (slot >= 0)
                core::queueSound(app, 2);
        } else if (selectedSlot >= 0) {
            colourRegion(x, y);
        }
        return;
    }
    if (button != 2 || !insideArea(x, y) || screenPic.surface().pixel(x, y) != kWhite)
        return;
    const int code = regionCodeAt(x, y);
    if (code == colouring::kNoRegion)
        return;
    const kit::DealtChar& c = puzzle[std::size_t(charOrder[std::size_t(code % 10 + 1)])];
    g().cueVerse = c.verse;
    g().cueCharPos = c.position;
    core::queueSound(app, 7);
}

void game03Frm::butnImg_MouseMove(int index, int, int, int, int) {
    if (isBusy() || index == hoveredButton)
        return;
    clearHover();
    hoveredButton = index;
    butnImg[index].setPicture(runtime().loadPicture(kit::buttonLook(gameFolder(), index)));
}

void game03Frm::butnImg_MouseUp(int index, int, int, int x, int y) {
    if (!isBusy() && loaded_ && kit::releasedOn(butnImg[index], x, y))
        runCommand(index);
}

void game03Frm::runCommand(int index) {
    kit::CommandScope scope(*this);
    if (index == Back) {
        core::playSoundWait(app, 12);
        app.load("gameFrm");
        unload();
        scope.leaving();
    } else if (index == Help) {
        core::showHelp(app);
        core::playSoundWait(app, 15);
        invalidate();
    } else if (index == Picture || index == NewCharacters) {
        // Either way the drawing starts uncoloured.
        core::playSoundWait(app, 9);
        filledCount = 0;
        if (index == Picture)
            choosePicture();
        else
            dealAgain();
    }
}

void game03Frm::dealAgain() {
    getRandomWords();
    showWordPictures();
    showScore();
    pickPaletteColours();
    colourPalette();
    // The chosen slot now holds another colour: choose again.
    chooseColour(-1);
    showPicture();
}

void game03Frm::Form_KeyDown(int& keyCode, int) {
    if (kit::helpOnF1(*this, keyCode))
        invalidate();
}

// ---- timers -------------------------------------------------------------------

void game03Frm::midiTimer_Timer() {
    core::playMusic(app);
}

// ---- unload -------------------------------------------------------------------

void game03Frm::Form_QueryUnload(bool&) {
    for (int i = butnImg.ubound(); i >= 1; --i)
        butnImg.unload(i);
    areaPic[1] = ui::Picture();
    areaPic[2] = ui::Picture();
    screenPic.setPicture(ui::Picture());
    setPicture(ui::Picture());
    core::stopMusic(app);
}

} // namespace games
