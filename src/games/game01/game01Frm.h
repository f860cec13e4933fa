// The memory card game: pairs of characters from the verses reached, face
// down on a board of 16, 24 or 36 cards, against a countdown.
#pragma once

#include "core/Screen.h"
#include "core/tavMdl.h"
#include "ui/ControlArray.h"
#include "ui/Controls.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace games {

class game01Frm : public core::Screen {
  public:
    explicit game01Frm(core::App& app);
    ~game01Frm() override;

    void Form_Load() override;
    void Form_MouseMove(int button, int shift, int x, int y) override;
    void Form_KeyDown(int& keyCode, int shift) override;
    void Form_KeyUp(int& keyCode, int shift) override;
    void Form_QueryUnload(bool& cancel) override;

    void butnImg_MouseUp(int index, int button, int shift, int x, int y);
    void butnImg_MouseMove(int index, int button, int shift, int x, int y);
    void cardImg_Click(int index);

    void Timer1_Timer();
    void Timer2_Timer();
    void Timer3_Timer();
    void Timer4_Timer();
    void Timer5_Timer();
    void Timer6_Timer();

    // Buttons by index, as data\pos_size.txt of the game folder orders them.
    enum Button { Help = 0, NewCards = 1, Start = 2, Back = 3, NextLevel = 4, PreviousLevel = 5 };

    struct LevelShape {
        int rows, columns, cardWidth, cardHeight, left, top, stepX, stepY;
        double fontSize;
        int countdown; // ticks of 200 ms
        int cards() const { return rows * columns; }
    };
    static const LevelShape& shape(int level);
    // How many pairs a board of the level needs.
    static int pairsOf(int level) { return shape(level).cards() / 2; }

    struct Source {
        std::int16_t verse = 0, position = 0;
    };

    // Form state.
    std::int16_t level = 1;
    std::int16_t maxLevel = 1;
    std::array<std::array<std::int16_t, 7>, 7> cardState{}; // [row][column], 1-based
    std::vector<std::int16_t> deck;                         // deck[1..n]: pair number
    std::vector<std::string> pairChars;                     // [1..n/2]
    std::vector<Source> pairSource;                         // [1..n/2]
    int firstRow = -1, firstCol = -1;
    int secondRow = -1, secondCol = -1;
    std::int16_t timeLeft = 0;
    std::int16_t score = 0;
    std::int16_t pendingPoints = 0;
    std::vector<std::int16_t> bestScores = std::vector<std::int16_t>(3, 0);
    bool won = false;
    int hoveredButton = -1;
    Source speakNext; // the pair Timer2 pronounces

    ui::ControlArray<ui::Label> wordLbl;
    ui::ControlArray<ui::Image> cardImg;
    ui::ControlArray<ui::Image> butnImg;
    ui::ControlArray<ui::Label> scoreLbl;
    ui::Label levelLbl;
    ui::Picture cardPic, areaPic, numPic;
    ui::Timer Timer1, Timer2, Timer3, Timer4, Timer5, Timer6;

    std::string gameFolder() { return g().gamePath + "Game01/"; }
    // The card rectangle of row i, column j (1-based) of the current level.
    ui::Rect cardRect(int row, int col) const;

  protected:
    void build() override;

  private:
    void initCardGame();
    void readBestScores();
    void readButtons();
    void layoutCards();
    void unloadCards();
    void getRandomWords();
    void shuffleCards();
    void pickCardBack();
    void resetBoard(bool faceUp);
    void drawCard(int row, int col);
    bool checkEnd() const;
    void gameWon();
    void enterLevel();
    void showTimeLeft();
    void showScore();
    void forgetTurnedCards();
    void runCommand(int index);
    void clearHover();
    // The highest level the verses reached can fill with distinct characters.
    int levelsTheMaterialFills() const;
    double rnd();

    // Verses 1 .. curVerse with their readings, read once.
    core::VerseBook book_;
    ui::Cursor hand_;
    bool loaded_ = false;
};

} // namespace games
