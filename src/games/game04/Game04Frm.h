// The pearl game: the verse's fourteen characters on pearls that leave a
// nest and wander along paths; the child steers a head with the arrow keys
// and strings the pearls in the verse's order against a countdown. Three
// levels, each a form of its own: Game04AFrm, Game04BFrm, Game04CFrm share
// this implementation and differ only in their row of the level table.
#pragma once

#include "core/Screen.h"
#include "games/game04/PearlMoves.h"
#include "games/kit/Drawing.h"
#include "ui/ControlArray.h"
#include "ui/Controls.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace games {

class Game04Frm : public core::Screen {
  public:
    struct Level {
        std::int16_t number;
        const char* form;
        const char* pathFile;
        const char* background;
        int jitterStep;
        int countdown;
        int moveInterval; // ms of movePeralTimer
    };
    // Levels 1..3; anything else reads as the nearest.
    static const Level& levelTable(int level);

    Game04Frm(core::App& app, int level);
    ~Game04Frm() override;

    void Form_Load() override;
    void Form_KeyDown(int& keyCode, int shift) override;
    void Form_KeyUp(int& keyCode, int shift) override;
    void butnImg_MouseMove(int index, int button, int shift, int x, int y);
    void Form_MouseMove(int button, int shift, int x, int y) override;
    void butnImg_MouseUp(int index, int button, int shift, int x, int y);
    void Form_QueryUnload(bool& cancel) override;

    void headTimer_Timer();
    void movePeralTimer_Timer();
    void showTimer_Timer();

    // Buttons by index, as data\pos_size.txt orders them.
    enum Button { Back = 0, Help = 1, Start = 2, NextLevel = 3, PreviousLevel = 4 };
    // Number displays by number (1-based), as data\pos_size.txt orders them.
    enum Display { LevelDisplay = 1, TimeDisplay = 2, ScoreDisplay = 3, BestDisplay = 4 };
    // Messages of the end dialog.
    enum Message { Won = 1, Lost = 2, TimeUp = 3 };

    const Level& level;
    pearl::Board board;
    struct PearlChar {
        std::int16_t verse = 0, position = 0;
        char32_t character = 0;
    };
    std::array<PearlChar, 15> pearlChars{}; // 1..14
    std::int16_t score = 0;
    std::vector<std::int16_t> levelBests = std::vector<std::int16_t>(3, 0);
    float countdown = 0;
    int hoverButton = -1;
    std::vector<ui::Rect> buttonRects;
    std::vector<ui::Point> textSpots; // [0] is display 1

    // Off-screen pictures, by slot: 0 the verse's glyphs, 1..6 the pearl
    // strips of colours 1..6, 7 the pearl colours and the head, 8 the head's
    // masks, 9 the pearl mask, 10 the board, 11 the digits, 12 black.
    std::array<ui::Picture, 13> peralPic;

    ui::ControlArray<ui::Image> butnImg;
    ui::Timer headTimer, movePeralTimer, showTimer;

    std::string gameFolder() { return g().gamePath + "Game04/"; }

  protected:
    void build() override;

  private:
    void setUpPearlGame();
    void getWordsPic();
    void startRound();
    void startGame();
    void drawHead();
    void drawPearl(int i);
    void drawNumbers();
    void drawHover();
    void saveBestScore();
    void endPearlGame(Message message);
    void pearlCaught(int i);
    void runCommand(int index);
    void switchLevel(int to);
    void enableTimers(bool on);
    void paintAt(ui::Rect r);
    void restoreBoard();

    kit::Sprite head_;
    std::vector<ui::Picture> buttonLooks_;
    // What the last frame painted over the board, restored by the next one.
    std::vector<ui::Rect> painted_;
};

class Game04AFrm : public Game04Frm {
  public:
    explicit Game04AFrm(core::App& a) : Game04Frm(a, 1) {}
};
class Game04BFrm : public Game04Frm {
  public:
    explicit Game04BFrm(core::App& a) : Game04Frm(a, 2) {}
};
class Game04CFrm : public Game04Frm {
  public:
    explicit Game04CFrm(core::App& a) : Game04Frm(a, 3) {}
};

} // namespace games
