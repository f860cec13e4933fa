// The colouring game: a line drawing whose regions each belong to one of ten
// characters; the child picks the colour beside the region's character and
// floods the region with it.
#pragma once

#include "core/Screen.h"
#include "core/tavMdl.h"
#include "games/kit/Deal.h"
#include "ui/ControlArray.h"
#include "ui/Controls.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace games {

class game03Frm : public core::Screen {
  public:
    explicit game03Frm(core::App& app);
    ~game03Frm() override;

    void Form_Load() override;
    void Form_KeyDown(int& keyCode, int shift) override;
    void Form_QueryUnload(bool& cancel) override;

    void screenPic_MouseMove(int button, int shift, int x, int y);
    void screenPic_MouseUp(int button, int shift, int x, int y);
    void butnImg_MouseMove(int index, int button, int shift, int x, int y);
    void butnImg_MouseUp(int index, int button, int shift, int x, int y);
    void midiTimer_Timer();

    // Buttons by index, as data\pos_size.txt of the game folder orders them.
    enum Button { Back = 0, Help = 1, Picture = 2, NewCharacters = 3 };
    // The point whose black-outlined area shows the chosen colour.
    static constexpr ui::Point kSwatch{410, 60};
    // A palette circle answers within this many pixels of its centre.
    static constexpr int kCircleReach = 11;

    // Form state.
    std::int16_t pictureNo = 0;
    std::int16_t pictureCount = 0;
    std::vector<std::int16_t> regionCounts;     // [1..pictureCount]
    std::array<kit::DealtChar, 11> puzzle{};    // [1..10]
    std::array<std::int16_t, 11> charOrder{};   // [1..10], a permutation of 1..10
    std::array<ui::Color, 10> paletteColours{}; // by palette slot
    std::int32_t selectedSlot = -1;
    std::int16_t filledCount = 0;
    std::int16_t score = 0;
    std::int16_t bestScore = 0;
    int hoveredButton = -1;

    ui::Rect colourArea;
    std::vector<ui::Point> wordSlots, circleCentres;
    std::string pictureName; // "pics/fill" + two digits

    ui::PictureBox screenPic;
    ui::ControlArray<ui::Image> butnImg;
    // Hidden holders: the drawing, the strip of the ten characters, digits.
    std::array<ui::Picture, 3> areaPic;
    ui::Timer midiTimer;

    std::string gameFolder() { return g().gamePath + "Game03/"; }
    std::string mapFile() { return gameFolder() + pictureName + "C.bmp"; }
    // The region code under a point of screenPic; 21 outside every region.
    int regionCodeAt(int x, int y);
    bool insideArea(int x, int y) const;
    // The palette slot whose circle is within reach of a point, or -1.
    int circleAt(int x, int y) const;

  protected:
    void build() override;

  private:
    void initColouringGame();
    void readLayout();
    void choosePicture();
    void showPicture();
    void getRandomWords();
    void showWordPictures();
    void pickPaletteColours();
    void colourPalette();
    void colourRegion(int x, int y);
    void chooseColour(int slot);
    void showScore();
    void showBest();
    void runCommand(int index);
    void dealAgain();
    void clearHover();
    void repaint(ui::Rect r);
    double rnd();

    // Verses 1 .. curVerse with their readings, read once.
    core::VerseBook book_;
    std::vector<ui::Color> colours_;
    bool loaded_ = false;
};

} // namespace games
