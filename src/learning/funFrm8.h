// The flash page (menu functions 7 to 9): one large character of the verse at
// a time on a writing grid, spoken, forwards, backwards or in a balanced
// random order; a sound button turns the reading off and on.
#pragma once

#include "learning/LearningPage.h"

#include <string>

namespace learning {

class funFrm8 : public LearningPage {
  public:
    explicit funFrm8(core::App& app);

    ui::Image butnImg;                        // click area of the sound button
    ui::ControlArray<ui::PictureBox> butnPic; // hidden: 0 reading off, 1 on

    void Timer1_Timer() override;
    void butnImg_Click();

    // The position shown now (1..14).
    std::int16_t currentPosition() const { return curPos_; }
    // How often each position was picked in this cycle of mode 2.
    const Seq14& showCounts() const { return showCount_; }

    // The large character label.
    ui::Label& bigLabel() { return wordLbl[0]; }

  protected:
    void buildPage() override;
    void drawBox() override;

  private:
    // Balanced random pick: never the position shown now; each position once
    // per run of fourteen, two runs, then one free pick.
    std::int16_t GetWordNum();
    void ShowButn();
    void showCharacter();
    void setReadingTip();

    std::u32string verse_;
    std::int16_t curPos_ = 0;
    Seq14 showCount_{};
    std::int16_t threshold_ = 0;
};

} // namespace learning
