#include "games/game02/game02Frm.h"

#include "core/Folders.h"
#include "core/PublicM.h"
#include "core/tavMdl.h"
#include "games/kit/Buttons.h"
#include "games/kit/Deal.h"
#include "games/kit/GameFiles.h"
#include "gfx/Keys.h"
#include "ui/Runtime.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace games {

namespace {

// Sprite positions are kept in single precision, as the balls move by
// whole steps from half-pixel centres; a pixel is the nearest one.
int px(float v) {
    return int(std::floor(v + 0.5f));
}

constexpr ui::Point kLevelAt{618, 348}, kScoreAt{611, 404}, kBestAt{611, 459};
constexpr int kDigitPitch = 7;

} // namespace

const game02Frm::LevelRule& game02Frm::rule(int level) {
    static const LevelRule rules[3] = {{3, 1, 1}, {5, 2, 1}, {7, 3, 0}};
    return rules[std::clamp(level, 1, 3) - 1];
}

game02Frm::game02Frm(core::App& a)
    : core::Screen(a), butnImg(*this), showTimer(*this, 10), circleTimer(*this, 1),
      borderTimer(*this, 10), bombTimer(*this, 1), wordTimer(*this, 1), ok_errTimer(*this, 1) {
    butnImg[0].setVisible(false);
    kit::wireButtons(butnImg, *this);
    using Handler = void (game02Frm::*)();
    const std::pair<ui::Timer*, Handler> timers[] = {
        {&showTimer, &game02Frm::showTimer_Timer},
        {&circleTimer, &game02Frm::circleTimer_Timer},
        {&borderTimer, &game02Frm::borderTimer_Timer},
        {&bombTimer, &game02Frm::bombTimer_Timer},
        {&wordTimer, &game02Frm::wordTimer_Timer},
        {&ok_errTimer, &game02Frm::ok_errTimer_Timer},
    };
    for (const auto& [timer, handler] : timers)
        timer->onTimer = [this, handler = handler] { (this->*handler)(); };
}

game02Frm::~game02Frm() = default;

bool game02Frm::isWanted(int ball) const {
    return std::find(wantedBalls.begin(), wantedBalls.end(), ball) != wantedBalls.end();
}

bool game02Frm::anyBallLeft() const {
    for (int i = 1; i <= ballCount; ++i)
        if (ballState[std::size_t(i)] > 0)
            return true;
    return false;
}

// ---- load -------------------------------------------------------------------

void game02Frm::Form_Load() {
    loadScreen(640, 480, "");
    setPicture(runtime().loadPicture(gameFolder() + "pics/bg.jpg"));
    core::stopSound(app);
}

void game02Frm::initCatchGame() {
    // Level 2 is offered from verse 2 on, level 3 from verse 3.
    const int verse = std::clamp<int>(g().curVerse, 1, 140);
    maxLevel = std::int16_t(std::min(verse, 3));
    level = 1;
    hoveredButton = -1;
    g().readAloud = 1;
    wordScope = 2;
    score = 0;
    playing = false;
    startCooldown = 0;
    rocketFrame = 0;
    rocketFlying = false;
    flameFrame = 1;
    fireHeld = false;

    ui::Runtime& rt = runtime();
    const std::string pics = gameFolder() + "pics\\";
    flame_ = kit::Sprite::load(rt, pics + "fireB.bmp", pics + "fireB_m.bmp", 70, 70);
    cart_ = kit::Sprite::load(rt, pics + "circle.bmp", pics + "circle_m.bmp", 80, 40);
    rail_ = rt.loadPicture(pics + "Line.bmp");
    gun_ = kit::Sprite::load(rt, pics + "gun.bmp", pics + "gun_m.bmp", 16, 12);
    rocket_ = kit::Sprite::load(rt, pics + "bomb.bmp", pics + "bomb_m.bmp", 10, 30);
    digits_ = {rt.loadPicture(g().picPath + "number.bmp"), 7, 10};

    cartFrame = 1;
    cartDir = 0;
    cartX = 300.5f;

    bestScores = kit::readBestScores(core::savedFile(g(), kit::bestScoreFile("Game02")), 3);
    buttonRects_ =
        kit::layoutRects(kit::readLayout(gameFolder() + "data\\pos_size.txt"), "butn:", 6);
    kit::createButtons(butnImg, buttonRects_);

    area_ = rt.loadPicture(pics + "area0806.jpg");
    instructions_ = rt.loadPicture(pics + "yxsm.jpg");
    showLevelDigit();
    showScoreDigits();
    showBestDigits();

    book_ = core::VerseBook::read(app, verse);
    loaded_ = true;
    // Started together, the four timers tick in one wake-up of the loop.
    for (ui::Timer* t : {&showTimer, &circleTimer, &borderTimer, &bombTimer})
        t->start();
}

// ---- events -----------------------------------------------------------------

std::string game02Frm::lookFile(int index, bool highlighted) {
    const char* suffix = highlighted ? "" : "S";
    // The scope button shows the scope chosen, in either look.
    if (index == Scope)
        return gameFolder() + "pics/butn3_" + std::to_string(wordScope) + suffix + ".bmp";
    return kit::buttonLook(gameFolder(), index, suffix);
}

void game02Frm::paintLook(int index, bool highlighted) {
    if (index < 0 || std::size_t(index) >= buttonRects_.size())
        return;
    const ui::Picture look = runtime().loadPicture(lookFile(index, highlighted));
    const ui::Rect r = buttonRects_[std::size_t(index)];
    surface().blit(look, {r.x, r.y});
    invalidate(r);
}

void game02Frm::Form_MouseMove(int, int, int, int) {
    if (isBusy())
        return;
    paintLook(hoveredButton, false);
    hoveredButton = -1;
}

void game02Frm::butnImg_MouseMove(int index, int, int, int, int) {
    if (isBusy() || index == hoveredButton)
        return;
    paintLook(hoveredButton, false);
    hoveredButton = index;
    paintLook(index, true);
}

void game02Frm::butnImg_MouseUp(int index, int, int, int x, int y) {
    if (!isBusy() && loaded_ && kit::releasedOn(butnImg[index], x, y))
        runCommand(index);
}

void game02Frm::runCommand(int index) {
    kit::CommandScope scope(*this);
    switch (index) {
    case Start:
        startGame();
        break;
    case Scope:
        switchScope();
        break;
    case NextLevel:
    case PreviousLevel:
        changeLevel(index == NextLevel ? 1 : -1);
        break;
    case Back:
        leaveForTheHub();
        scope.leaving();
        break;
    case Help:
        core::playSoundWait(app, 15);
        core::showHelp(app); // the help viewer may have covered the window
        invalidate();
        break;
    default:
        break;
    }
}

void game02Frm::switchScope() {
    core::playSoundWait(app, 9);
    wordScope = std::int16_t(wordScope == 2 ? 1 : 2);
    stopGame();
    paintLook(Scope, true);
}

void game02Frm::leaveForTheHub() {
    core::playSoundWait(app, 12);
    showTimer.stop();
    closing = true;
    app.load("gameFrm");
    unload();
}

void game02Frm::startGame() {
    core::stopSound(app);
    core::stopMusic(app);
    // The end of the last game is still to be announced: a new game now
    // would have its balls cleared by the lost game's handler.
    if (playing || startCooldown > 0 || ok_errTimer.enabled())
        return;
    playing = true;
    core::playSoundWait(app, 4);
    getRandomWords();
    if (ballCount == 0) {
        playing = false; // no book to deal from
        return;
    }
    setBallSpeeds();
    // The empty field with the cart shows while the characters are read out.
    paintPlay();
    for (int ball : wantedBalls) {
        core::stopSound(app);
        const BallSource& s = ballSource[std::size_t(ball)];
        core::playCharSound(app, s.verse, s.position);
        runtime().sleep(2500);
    }
    runtime().sleep(1000);
    wakeBalls();
}

void game02Frm::changeLevel(int step) {
    if (step > 0 ? level >= maxLevel : level <= 1) {
        core::playSoundWait(app, 1);
        return;
    }
    core::playSoundWait(app, 10);
    level = std::int16_t(level + step);
    showLevelDigit();
    score = 0;
    showScoreDigits();
    showBestDigits();
    stopGame();
}

void game02Frm::stopGame() {
    playing = false;
    ballState.fill(0);
}

void game02Frm::Form_KeyDown(int& keyCode, int) {
    if (kit::helpOnF1(*this, keyCode)) {
        invalidate();
        return;
    }
    if (isBusy())
        return;
    switch (keyCode) {
    case ui::key::Left:
        cartDir = -1;
        break;
    case ui::key::Right:
        cartDir = 1;
        break;
    case ui::key::Space:
        if (cartX > 24 && cartX < 577)
            fireHeld = true;
        break;
    default:
        break;
    }
}

void game02Frm::Form_KeyUp(int& keyCode, int) {
    if (isBusy())
        return;
    if (keyCode == ui::key::Left || keyCode == ui::key::Right)
        cartDir = 0;
    else if (keyCode == ui::key::Space)
        fireHeld = false;
}

// ---- the deal -----------------------------------------------------------------

void game02Frm::getRandomWords() {
    const LevelRule& r = rule(level);
    const int lastVerse = book_.verseCount();
    auto rnd = [this] { return core::rnd(app); };
    kit::DealRequest request;
    request.firstVerse = wordScope == 2 ? lastVerse : 1;
    request.lastVerse = lastVerse;
    request.count = r.balls;
    request.distinctReadings = true;
    std::vector<kit::DealtChar> dealt = kit::dealCharacters(book_, request, rnd);
    // A verse may hold fewer characters that sound different than balls are
    // needed: the others come from the verses before it, and only when even
    // those run short does the game have fewer balls.
    if (int(dealt.size()) < r.balls && request.firstVerse > 1) {
        request.firstVerse = 1;
        request.count = r.balls - int(dealt.size());
        request.taken = dealt;
        for (kit::DealtChar& c : kit::dealCharacters(book_, request, rnd))
            dealt.push_back(std::move(c));
    }
    ballCount = int(dealt.size());
    ballState.fill(0);
    for (int i = 1; i <= ballCount; ++i) {
        const kit::DealtChar& c = dealt[std::size_t(i - 1)];
        ballSource[std::size_t(i)] = {c.verse, c.position, c.character, c.reading};
        ballPos[std::size_t(i)] = {float(int(rnd() * 564 + 14.5)),
                                   float(int(rnd() * 269.5 + 14.5))};
    }
    // Someone must be left to shoot, unless one ball is all there is.
    const int wanted = ballCount == 0 ? 0 : std::min(r.wanted, std::max(ballCount - 1, 1));
    wantedBalls.clear();
    while (int(wantedBalls.size()) < wanted) {
        const int w = int(rnd() * ballCount + 1);
        if (!isWanted(w))
            wantedBalls.push_back(w);
    }
    std::vector<std::pair<int, int>> cells;
    for (int i = 1; i <= ballCount; ++i)
        cells.emplace_back(ballSource[std::size_t(i)].verse, ballSource[std::size_t(i)].position);
    strip_ = kit::buildCharacterStrip(runtime(), g().kjPath, core::scratchFolder(g()), cells);
}

void game02Frm::setBallSpeeds() {
    const int add = rule(level).speed;
    auto component = [&] {
        const int magnitude = int(core::rnd(app) * 3 + 1) + add;
        return float(int(core::rnd(app) * 2 + 1) == 2 ? -magnitude : magnitude);
    };
    for (int i = 1; i <= ballCount; ++i) {
        const float dx = component();
        ballSpeed[std::size_t(i)] = {dx, component()};
    }
}

void game02Frm::wakeBalls() {
    for (int i = 1; i <= ballCount; ++i)
        ballState[std::size_t(i)] = 1;
}

// ---- timers -------------------------------------------------------------------

namespace {

// One coordinate of a ball, a 29-pixel square around its centre: a step
// that would pass a wall puts the square against it and turns it back.
void bounce(float& p, float& v, float low, float high) {
    if (v > 0 && p + v + 14.5f > high) {
        p = high - 14.5f;
        v = -v;
    } else if (v <= 0 && p + v - 14.5f < low) {
        p = low + 14.5f;
        v = -v;
    } else {
        p += v;
    }
}

} // namespace

void game02Frm::moveBall(int i) {
    Vec& p = ballPos[std::size_t(i)];
    Vec& v = ballSpeed[std::size_t(i)];
    bounce(p.x, v.x, float(kArea.x), float(kArea.right()));
    bounce(p.y, v.y, float(kArea.y), float(kArea.bottom()));
}

bool game02Frm::caughtByCart(int i) const {
    const Vec& p = ballPos[std::size_t(i)];
    return p.x - 14.5f <= cartX + 40 && cartX - 40 <= p.x + 14.5f && p.y + 14.5f >= kCartTop;
}

bool game02Frm::hitByRocket(int i) const {
    const Vec& p = ballPos[std::size_t(i)];
    return p.x - 14.5f <= float(rocketX + 10) && p.x + 14.5f >= float(rocketX) &&
           p.y + 14.5f >= float(rocketY) && p.y - 14.5f <= float(rocketY + 30);
}

void game02Frm::circleTimer_Timer() {
    for (int i = 1; i <= ballCount; ++i)
        if (ballState[std::size_t(i)] > 0)
            moveBall(i);
    for (int i = 1; i <= ballCount; ++i) {
        if (ballState[std::size_t(i)] <= 0 || !caughtByCart(i))
            continue;
        ballState[std::size_t(i)] = -9;
        if (!isWanted(i)) {
            gameLost();
            return;
        }
        if (ballGone(i, 2)) {
            waitForCue();
            if (closing)
                return;
        }
    }
}

// A ball caught or shot as it should be: spoken and scored; when it was the
// last, the game is won. True then.
bool game02Frm::ballGone(int ball, int points) {
    speak(ball);
    score = std::int16_t(score + points);
    showScoreDigits();
    playing = anyBallLeft();
    if (playing)
        return false;
    startCooldown = 10;
    playCue(5);
    return true;
}

// A wrong catch ends the game at once, whatever is still flying.
void game02Frm::gameLost() {
    startCooldown = 10;
    playing = false;
    playCue(16);
    waitForCue();
    if (closing)
        return;
    score = std::int16_t(score - 1);
    showScoreDigits();
    ballState.fill(0);
}

// Other timers keep running meanwhile, so the caught ball vanishes and the
// character is spoken before the cue.
void game02Frm::waitForCue() {
    while (ok_errTimer.enabled() && !closing && !unloading())
        runtime().yieldWait();
    if (unloading())
        closing = true;
}

void game02Frm::speak(int ball) {
    speakNext = ballSource[std::size_t(ball)];
    wordTimer.start();
}

void game02Frm::playCue(std::int16_t cue) {
    okErrCue = cue;
    ok_errTimer.start();
}

void game02Frm::borderTimer_Timer() {
    if (cartDir == 0)
        return;
    cartFrame = std::int16_t(cartFrame + cartDir);
    if (cartFrame > 4)
        cartFrame = 1;
    else if (cartFrame < 1)
        cartFrame = 4;
    if (cartDir > 0)
        cartX = cartX + 8 >= 633 ? -30.0f : cartX + 8;
    else
        cartX = cartX - 8 > -32 ? cartX - 8 : 631.0f;
}

void game02Frm::bombTimer_Timer() {
    if (!rocketFlying)
        return;
    if (rocketY - 15 < 6) {
        rocketFlying = false;
        rocketFrame = 0;
        return;
    }
    rocketY -= 15;
    rocketFrame = 1 - rocketFrame;
    for (int i = 1; i <= ballCount; ++i) {
        if (ballState[std::size_t(i)] <= 0 || !hitByRocket(i))
            continue;
        rocketFlying = false;
        rocketFrame = 0;
        if (isWanted(i)) {
            playCue(1);
            score = std::int16_t(score - 2);
            showScoreDigits();
        } else {
            ballState[std::size_t(i)] = -9;
            ballGone(i, 1);
        }
        return;
    }
}

void game02Frm::wordTimer_Timer() {
    if (g().soundPlaying != 0)
        return;
    core::playCharSound(app, speakNext.verse, speakNext.position);
    wordTimer.stop();
}

void game02Frm::ok_errTimer_Timer() {
    if (g().soundPlaying != 0 || wordTimer.enabled())
        return;
    core::stopMusic(app);
    core::startCue(app, okErrCue);
    ok_errTimer.stop();
}

void game02Frm::showTimer_Timer() {
    if (startCooldown > 0)
        --startCooldown;
    if (closing)
        return;
    if (!playing && !wordTimer.enabled() && !ok_errTimer.enabled()) {
        paintIdle();
        core::playMusic(app);
    } else {
        paintPlay();
    }
}

// ---- drawing ------------------------------------------------------------------

// Restores a rectangle of the play area from `pic` (placed at the area's
// corner); without the picture the form's background shows there.
void game02Frm::restoreArea(const ui::Picture& pic, ui::Rect r) {
    r = r.intersected(kArea);
    if (r.empty())
        return;
    if (!pic.empty())
        surface().blit(pic, {r.x - kArea.x, r.y - kArea.y, r.w, r.h}, {r.x, r.y});
    else if (!picture().empty())
        surface().blit(picture(), r, {r.x, r.y});
    else
        surface().fillRect(r, backColor());
}

void game02Frm::paintIdle() {
    if (areaShows_ == AreaShows::Instructions)
        return;
    areaShows_ = AreaShows::Instructions;
    restoreArea(instructions_, kArea);
    drawn_.clear();
    invalidate(kArea);
}

void game02Frm::paintPlay() {
    drawnBefore_.swap(drawn_);
    drawn_.clear();
    if (areaShows_ != AreaShows::Play) {
        areaShows_ = AreaShows::Play;
        restoreArea(area_, kArea);
        drawnBefore_.assign(1, kArea);
    } else {
        for (const ui::Rect& r : drawnBefore_)
            restoreArea(area_, r);
    }
    drawCart();
    for (int i = 1; i <= ballCount; ++i) {
        std::int16_t& state = ballState[std::size_t(i)];
        if (state == 0)
            continue;
        // The flicker needs no fresh seed, only a frame each tick.
        flameFrame = app.random.draw(5);
        if (state > 0) {
            drawBall(i);
        } else {
            drawVanishingBall(i);
            ++state;
        }
    }
    if (rocketFlying) {
        const ui::Rect r{rocketX, rocketY, rocket_.frameWidth, rocket_.frameHeight};
        rocket_.draw(surface(), rocketFrame, {r.x, r.y}, kArea);
        markDrawn(r);
    }
    for (const ui::Rect& r : drawnBefore_)
        invalidate(r);
    for (const ui::Rect& r : drawn_)
        invalidate(r);
}

void game02Frm::markDrawn(ui::Rect r) {
    r = r.intersected(kArea);
    if (!r.empty())
        drawn_.push_back(r);
}

void game02Frm::drawCart() {
    const int left = px(cartX - 40);
    const int visibleLeft = std::max(left, kArea.x);
    const int visibleRight = std::min(left + 80, kArea.right());
    if (visibleRight > visibleLeft && !rail_.empty()) {
        const ui::Rect railRect{visibleLeft, kCartTop - 8, visibleRight - visibleLeft, 8};
        surface().stretchBlit(rail_, rail_.rect(), railRect);
        markDrawn(railRect);
    }
    cart_.draw(surface(), cartFrame - 1, {left, kCartTop}, kArea);
    markDrawn({left, kCartTop, 80, 40});
    if (!fireHeld || cartX <= 24 || cartX >= 577)
        return;
    const ui::Rect gun{px(cartX - 8), 415, 16, 12};
    gun_.draw(surface(), 0, {gun.x, gun.y}, kArea);
    markDrawn(gun);
    if (!rocketFlying) {
        rocketFlying = true;
        rocketX = px(cartX - 7);
        rocketY = 385;
    }
}

void game02Frm::drawBall(int i) {
    const Vec& p = ballPos[std::size_t(i)];
    const ui::Rect flame{px(p.x - 35.5f), px(p.y - 35.5f), 70, 70};
    flame_.draw(surface(), flameFrame - 1, {flame.x, flame.y}, kArea);
    markDrawn(flame);
    drawCharacter(i, {px(p.x - 14.5f), px(p.y - 14.5f), 29, 29});
}

void game02Frm::drawVanishingBall(int i) {
    const Vec& p = ballPos[std::size_t(i)];
    const int k = ballState[std::size_t(i)] + 1;
    const float scale = std::abs(float(k) / 9) + 0.1f;
    const int flameSide = px(70 * scale), charSide = px(29 * scale);
    const ui::Rect flame{px(p.x - 35.5f * scale), px(p.y - 35.5f * scale), flameSide, flameSide};
    flame_.drawScaled(surface(), flameFrame - 1, flame, kArea);
    markDrawn(flame);
    drawCharacter(i, {px(p.x - 14.5f * scale), px(p.y - 14.5f * scale), charSide, charSide});
}

// The ball's character, opaque, stretched to `dst` and kept inside the play
// area (a ball may start a few pixels beyond its edge).
void game02Frm::drawCharacter(int i, ui::Rect dst) {
    if (strip_.empty() || dst.empty())
        return;
    const ui::Rect cell{29 * (i - 1), 0, 29, 29};
    const ui::Rect visible = dst.intersected(kArea);
    if (visible.empty())
        return;
    if (visible == dst && dst.w == 29 && dst.h == 29) {
        surface().blit(strip_, cell, {dst.x, dst.y});
    } else if (visible == dst) {
        surface().stretchBlit(strip_, cell, dst);
    } else {
        ui::Picture scaled(dst.w, dst.h);
        scaled.stretchBlit(strip_, cell, {0, 0, dst.w, dst.h});
        surface().blit(scaled, {visible.x - dst.x, visible.y - dst.y, visible.w, visible.h},
                       {visible.x, visible.y});
    }
    markDrawn(visible);
}

void game02Frm::showLevelDigit() {
    kit::paintNumber(surface(), digits_, level, 1, kLevelAt, kDigitPitch);
    invalidate({kLevelAt.x, kLevelAt.y, 7, 10});
}

void game02Frm::showScoreDigits() {
    kit::paintNumber(surface(), digits_, score, 3, kScoreAt, kDigitPitch);
    invalidate({kScoreAt.x, kScoreAt.y, 3 * kDigitPitch, 10});
    if (kit::offerBestScore(core::fileToSave(g(), kit::bestScoreFile("Game02")), bestScores, level,
                            score))
        showBestDigits();
}

void game02Frm::showBestDigits() {
    kit::paintNumber(surface(), digits_, bestScores[std::size_t(level - 1)], 3, kBestAt,
                     kDigitPitch);
    invalidate({kBestAt.x, kBestAt.y, 3 * kDigitPitch, 10});
}

// ---- unload -------------------------------------------------------------------

void game02Frm::Form_QueryUnload(bool&) {
    closing = true;
    for (ui::Timer* t : {&showTimer, &wordTimer, &circleTimer, &borderTimer})
        t->stop();
    flame_ = cart_ = gun_ = rocket_ = kit::Sprite();
    rail_ = area_ = instructions_ = strip_ = ui::Picture();
    digits_.picture = ui::Picture();
    butnImg.unloadAll();
    setPicture(ui::Picture());
    core::stopMusic(app);
}

} // namespace games
