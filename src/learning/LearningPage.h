// What the five learning pages share: the load and first build, the way back
// to the menu, help, the volume and speed bars, the character grid, the
// changing backgrounds, the masked board, the shuffle and the pointing cycle.
//
// A page derives from LearningPage, overrides buildPage() (run once by the
// first activation) and the hooks it needs, and calls the helpers below from
// its builder in its own order.
#pragma once

#include "core/Screen.h"
#include "gfx/Cursor.h"
#include "ui/ControlArray.h"
#include "ui/Controls.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace controls {
class mybutton;
}

namespace learning {

// Entries 1..14 (index 0 unused), as the pages count positions.
using Seq14 = std::array<std::int16_t, 15>;

// Where a page puts its bars and captions, and how its speed bar behaves.
struct BarLayout {
    ui::Point volume;        // volume bar, left and top (120 x 15)
    ui::Point volumeCaption; // "声音调节" (Label1(1))
    int volumeSmallChange = 1;
    bool hasSpeed = false;
    ui::Point speed;        // speed bar, left and top (120 x 15)
    ui::Point speedCaption; // "速度控制" (Label1(2))
    int speedMin = 300;
    int speedMax = 2000;
    int speedSmallChange = 100;
    int speedLargeChange = 100;
    int speedValue = 2000; // value at load
    int speedBase = 2300;  // Timer1 interval = speedBase - value
};

// The bars of each page.
BarLayout recitalBars();  // funFrm1: volume only
BarLayout pointingBars(); // funFrm3, funFrm0
BarLayout flashBars();    // funFrm8
BarLayout testBars();     // funFrm9

constexpr ui::Color kWhite = ui::rgb(255, 255, 255);
constexpr ui::Color kRed = ui::rgb(255, 0, 0);
constexpr ui::Color kCyan = ui::rgb(0, 255, 255);

class LearningPage : public core::Screen {
  public:
    explicit LearningPage(core::App& app);
    ~LearningPage() override;

    // The controls every page has. wordLbl(0) and Label1(0) are templates;
    // funFrm8 uses wordLbl(0) itself as its one large character.
    std::unique_ptr<controls::mybutton> mybutton1; // back to the menu
    ui::HScrollBar soundHScroll;
    ui::HScrollBar speedHScroll;
    ui::ControlArray<ui::Label> Label1;
    ui::ControlArray<ui::Label> wordLbl;
    ui::ControlArray<ui::PictureBox> numPic; // hidden: 0 board image, 1 its mask
    ui::Timer Timer1;
    ui::Timer Timer2;

    // Loads the page: flags, hourglass, 640 x 480, "bg_A001.jpg", the back
    // button, the page pointer; then shows it.
    void Form_Load() override;
    // F1: help (ignored while busy).
    void Form_KeyDown(int& keyCode, int shift) override;
    // Escape: back to the menu (ignored while busy).
    void Form_KeyUp(int& keyCode, int shift) override;
    // Unloads the members the builder created and clears the background.
    void Form_QueryUnload(bool& cancel) override;

    void mybutton1_mouseclick();
    void soundHScroll_Change();
    void speedHScroll_Change();
    // Timer1 has no default work; the pointing pages call pointingTick().
    virtual void Timer1_Timer() {}
    // Blinks the visited label of the pointing cycle; funFrm9 has its own.
    virtual void Timer2_Timer();

    // The background shown now: 0 is "bg_A001.jpg".
    std::int16_t picIndex() const { return picIndex_; }
    // The pages' custom pointer ("page.cur"; the default arrow when missing).
    const ui::Cursor& pagePointer() const { return pagePointer_; }

    // Character `pos` (1-based) of a verse as UTF-8; "" out of range.
    static std::string charText(const std::u32string& verse, int pos);
    static void setTextColor(ui::Label& l, ui::Color c);

  protected:
    void build() override { buildPage(); }
    // The page's one-time builder.
    virtual void buildPage() = 0;
    // Repaints the page's fixed drawing over the background; called after
    // every background change.
    virtual void drawBox() {}

    // Places the bars and creates their captions Label1(1) (and Label1(2)),
    // all visible, with the ranges and values of `bars`. The volume is not
    // applied: builders call soundHScroll_Change() where they apply it.
    void placeBars(const BarLayout& bars);

    // Creates wordLbl(1..14) as the grid (two rows of seven, 72 x 82, text
    // size 62, white, centred, transparent) with row tops `top` and
    // `top` + 180; the template is resized to 62 x 62 and stays hidden.
    void createWordGrid(int top);
    // Label i := character i of `verse` (1..14), for every grid label.
    void showVerse(const std::u32string& verse);

    // A random background index different from the one shown; the one shown
    // when fewer than two backgrounds exist.
    std::int16_t GetPicNum();
    // GetPicNum, the new picture ("bg_A" + nnn + ".jpg"), then drawBox().
    // A missing picture leaves the page black behind the drawing.
    void changeBackground();

    // numPic(1) (created hidden) := the mask, numPic(0) := the board image.
    void loadBoard(const std::string& imageFile, const std::string& maskFile);
    // Paints the board at `r`: image XOR, mask AND, image XOR.
    void drawBoard(ui::Rect r);
    // Any image with its mask, whole, at the corner of `r` and no wider than it.
    void drawMasked(const ui::Picture& image, const ui::Picture& mask, ui::Rect r);
    // A plain copy of a picture onto the page.
    void drawPlain(const ui::Picture& p, ui::Rect r);

    // 1..14 in order, then `swaps` random swaps of two different entries.
    void getRandomSeq(Seq14& seq, int swaps);
    // A reseeded draw of 1..n.
    int drawRandom(int n);

    // Back to the menu: hourglass, cue 12 played to its end, menu, unload.
    void returnToMenu();

    // The pointing cycle (funFrm3, funFrm0). Builders fill `order` and call
    // startPointing(); Timer1_Timer calls pointingTick().
    Seq14 order{};
    std::int16_t orderPos = 1; // 1..14
    std::int16_t step = -1;    // -1 (first tick only), then 0..7
    bool blinkPhase = true;
    ui::Color highlight = kRed;
    // Step -1, position 1, blink phase true; Timer1 every `tickMs` and
    // running, Timer2 every 200 ms and stopped.
    void startPointing(int tickMs);
    void pointingTick();
    // The label visited now: wordLbl(order[orderPos]).
    ui::Label& visitedLabel() { return wordLbl[order[orderPos]]; }
    // Step 0, after the new background: show the hand over the label.
    virtual void pointAt(ui::Label& visited) { (void)visited; }
    // Step 2: speak the character of grid label `label`.
    virtual void speakLabel(int label) { (void)label; }
    // The position passed 14: fill `order` for the next pass.
    virtual void renewOrder() {}

  private:
    BarLayout bars_;
    std::int16_t picIndex_ = 0;
    ui::Cursor pagePointer_;
};

} // namespace learning
