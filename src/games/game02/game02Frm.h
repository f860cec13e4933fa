// The catch-and-shoot game: characters are read out, then balls carrying
// characters bounce around the play area; the child catches the ones read
// out with the cart and shoots the others with rockets.
#pragma once

#include "core/Screen.h"
#include "core/tavMdl.h"
#include "games/kit/Drawing.h"
#include "ui/ControlArray.h"
#include "ui/Controls.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace games {

class game02Frm : public core::Screen {
  public:
    explicit game02Frm(core::App& app);
    ~game02Frm() override;

    // In the order of the screen's life: load, the buttons and keys, the
    // timers, unload.
    void Form_Load() override;
    void butnImg_MouseMove(int index, int button, int shift, int x, int y);
    void Form_MouseMove(int button, int shift, int x, int y) override;
    void butnImg_MouseUp(int index, int button, int shift, int x, int y);
    void Form_KeyDown(int& keyCode, int shift) override;
    void Form_KeyUp(int& keyCode, int shift) override;
    void showTimer_Timer();
    void circleTimer_Timer();
    void borderTimer_Timer();
    void bombTimer_Timer();
    void wordTimer_Timer();
    void ok_errTimer_Timer();
    void Form_QueryUnload(bool& cancel) override;

    // Buttons by index, as data\pos_size.txt of the game folder orders them.
    enum Button { Help = 0, Start = 1, Scope = 2, NextLevel = 3, PreviousLevel = 4, Back = 5 };

    struct LevelRule {
        int balls, wanted, speed;
    };
    static const LevelRule& rule(int level);
    static constexpr int kMaxBalls = 7;
    // The play area on the form; balls and sprites never paint outside it.
    static constexpr ui::Rect kArea{8, 6, 585, 469};
    static constexpr int kCartTop = 435;

    struct Vec {
        float x = 0, y = 0;
    };
    struct BallSource {
        std::int16_t verse = 0, position = 0;
        char32_t character = 0;
        std::string reading;
    };

    // Form state; balls are numbered from 1 as the game speaks of them.
    std::int16_t level = 1;
    std::int16_t maxLevel = 1;
    std::int16_t wordScope = 2;
    // The balls of the running game: the level's number, or fewer when the
    // verses hold too few characters that sound different.
    int ballCount = 3;
    std::array<std::int16_t, kMaxBalls + 1> ballState{};
    std::array<Vec, kMaxBalls + 1> ballPos{};
    std::array<Vec, kMaxBalls + 1> ballSpeed{};
    std::array<BallSource, kMaxBalls + 1> ballSource{};
    std::vector<int> wantedBalls;
    std::int16_t score = 0;
    std::vector<std::int16_t> bestScores = std::vector<std::int16_t>(3, 0);

    float cartX = 300.5f;
    std::int16_t cartFrame = 1;
    std::int16_t cartDir = 0;
    bool fireHeld = false;

    bool rocketFlying = false;
    int rocketX = 0, rocketY = 0;
    int rocketFrame = 0;

    bool playing = false;
    int startCooldown = 0;
    bool closing = false;
    int hoveredButton = -1;
    std::int16_t okErrCue = 0;
    BallSource speakNext;
    int flameFrame = 1;

    ui::ControlArray<ui::Image> butnImg;
    ui::Timer showTimer, circleTimer, borderTimer, bombTimer, wordTimer, ok_errTimer;

    bool isWanted(int ball) const;
    bool anyBallLeft() const;
    std::string gameFolder() { return g().gamePath + "Game02/"; }

  protected:
    // The first activation builds the game once.
    void build() override { initCatchGame(); }

  private:
    void initCatchGame();
    void runCommand(int index);
    void startGame();
    void switchScope();
    void leaveForTheHub();
    void changeLevel(int step);
    void stopGame();
    void getRandomWords();
    void setBallSpeeds();
    void wakeBalls();
    void moveBall(int i);
    bool caughtByCart(int i) const;
    bool hitByRocket(int i) const;
    bool ballGone(int ball, int points);
    void gameLost();
    void waitForCue();
    void speak(int ball);
    void playCue(std::int16_t cue);

    // Painting.
    void restoreArea(const ui::Picture& pic, ui::Rect r);
    void paintIdle();
    void paintPlay();
    void drawCart();
    void drawBall(int i);
    void drawVanishingBall(int i);
    void drawCharacter(int i, ui::Rect dst);
    void markDrawn(ui::Rect r);
    void showLevelDigit();
    void showScoreDigits();
    void showBestDigits();
    void paintLook(int index, bool highlighted);
    std::string lookFile(int index, bool highlighted);

    core::VerseBook book_;
    ui::Picture area_, instructions_, strip_, rail_;
    kit::Sprite flame_, cart_, gun_, rocket_;
    kit::DigitStrip digits_;
    std::vector<ui::Rect> buttonRects_;
    // What the play area shows, so an idle screen is not repainted, and the
    // rectangles drawn over the play background at the last tick, which are
    // all a tick has to restore and send to the window.
    enum class AreaShows { Nothing, Instructions, Play };
    AreaShows areaShows_ = AreaShows::Nothing;
    std::vector<ui::Rect> drawn_, drawnBefore_;
    bool loaded_ = false;
};

} // namespace games
