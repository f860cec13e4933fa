// The verse block puzzle: the character blocks of one to eleven verses lie
// on a grid of 14 columns; after the start they are shuffled, and the child
// swaps blocks by dragging one onto another until every row spells a verse.
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

class game05Frm : public core::Screen {
  public:
    explicit game05Frm(core::App& app);
    ~game05Frm() override;

    void Form_Load() override;
    void Form_KeyDown(int& keyCode, int shift) override;
    void Form_MouseDown(int button, int shift, int x, int y) override;
    void Form_MouseMove(int button, int shift, int x, int y) override;
    void Form_MouseUp(int button, int shift, int x, int y) override;
    void Form_QueryUnload(bool& cancel) override;

    void butnImg_MouseMove(int index, int button, int shift, int x, int y);
    void butnImg_MouseUp(int index, int button, int shift, int x, int y);

    void countTimer_Timer();
    void flashTimer_Timer();
    void midiTimer_Timer();

    static constexpr int kRows = 11, kColumns = 14;
    // Buttons by index, in the order of the layout file.
    enum Button { Start = 0, Help = 1, Back = 2, NextLevel = 3, PreviousLevel = 4 };
    // Number displays by their number in the layout file.
    enum Display { LevelDisplay = 1, TimeDisplay = 2, ScoreDisplay = 3, BestDisplay = 4 };
    // Cell states: the look a block is drawn in and whether it can be picked.
    enum State : std::int8_t { Movable = 0, Locked = 1, AtRest = 2 };
    // Picture slots.
    enum Slot {
        Background = 0,
        ButtonLooks = 1, // 1..5: buttons 0..4 highlighted
        Tiles = 6,
        White = 7,
        Blue = 8,
        WhiteAndBlue = 9,
        MovableLook = 10,
        LockedLook = 11,
        RestLook = 12,
        Digits = 13,
        Holder = 14,
    };

    struct DealtBlock {
        std::int16_t verse = 0, position = 0;
        std::string character; // UTF-8
    };
    struct Cell {
        std::int16_t originRow = 0, originCol = 0; // the block lying here
        std::int16_t state = AtRest;
        std::int16_t mark = 0; // 2 while its block is being dragged
    };

    // Form state, rows and columns 1-based.
    std::int16_t blockLevel = 1;
    std::int16_t maxBlockLevel = 1;
    std::array<std::int16_t, kRows + 1> rowVerses{};
    std::array<std::array<DealtBlock, kColumns + 1>, kRows + 1> rowChars{};
    std::array<std::array<Cell, kColumns + 1>, kRows + 1> blockGrid{};
    std::array<std::int16_t, kRows + 1> rowDone{};
    std::int16_t blockScore = 0;
    std::vector<std::int16_t> blockBests = std::vector<std::int16_t>(kRows, 0);
    std::int16_t timeTicks = 0; // tenths of a second left
    bool dragging = false;
    int dragRow = 0, dragCol = 0;
    int blockHover = -1;
    ui::Point blockOrigin{12, 12};
    ui::Size blockCellSize{39, 36};
    std::vector<ui::Point> textFields; // [0..3]: displays 1..4

    std::array<ui::Picture, Holder + 1> workPic;
    ui::ControlArray<ui::PictureBox> movePic; // 0: locked look, 1: at-rest look
    ui::ControlArray<ui::Image> butnImg;
    ui::Timer countTimer, flashTimer, midiTimer;

    std::string gameFolder() { return g().gamePath + "Game05/"; }
    // Where cell (row, col) is painted.
    ui::Rect cellRect(int row, int col) const;
    // The cell of the rows in play under a point, as picking and dropping
    // find it; false between cells and outside the grid.
    bool hitCell(int x, int y, int& row, int& col) const;
    bool rowComplete(int row) const;
    // The verses of `curVerse` and before that share no character: the
    // levels offered are the ones they can fill.
    const std::vector<int>& disjointVerses() const { return disjoint_; }

  protected:
    void build() override;

  private:
    void setUpBlockGame();
    void loadPictures();
    void readLayout();
    void getRandomWords();
    void newBlockGame();
    void shuffleBlocks();
    void showLevelInfo();
    void showBlockTime();
    void showBlockScore();
    void showBlockBest();
    void liftBlock(int row, int col);
    void clearCell(int row, int col);
    void drawCell(int row, int col);
    void drawAllCells();
    void checkRow(int row);
    void levelWon();
    void dropBlock(int x, int y);
    // Puts a lifted block back where it came from.
    void cancelDrag();
    void showButtonHover();
    void hideButtonHover();
    void runCommand(int index);
    void startGame();
    void changeLevel(int step);
    void showNumber(int display, int value, int digits, int pitch);
    bool insideGrid(int x, int y) const;
    // The pointer over the grid: the moving hand while a block is carried,
    // the pointing hand over blocks that can be picked.
    void showGridPointer();

    core::VerseBook book_;
    std::vector<int> disjoint_;
    ui::Cursor pointCursor_, moveCursor_;
    ui::Point pointer_{-1, -1};
    // The pointer waits, showing no-drop, for a sound to end.
    bool pointerWaits_ = false;
    bool loaded_ = false;
};

} // namespace games
