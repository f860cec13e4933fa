// The review page (menu function 11): fourteen characters drawn from every
// verse reached, pointed at and spoken in a new random order every pass.
#pragma once

#include "learning/LearningPage.h"

namespace learning {

class funFrm0 : public LearningPage {
  public:
    explicit funFrm0(core::App& app);

    ui::Image butnImg;      // the new-words button's click area
    ui::PictureBox butnPic; // its picture, hidden

    // Label a shows character slotPos[a] of verse slotVerse[a].
    Seq14 slotVerse{};
    Seq14 slotPos{};

    void Timer1_Timer() override { pointingTick(); }
    void butnImg_Click();

  protected:
    void buildPage() override;
    void drawBox() override;
    void pointAt(ui::Label& visited) override;
    void speakLabel(int label) override;
    void renewOrder() override;

  private:
    // Fourteen different (verse, position) places of verses 1 .. current.
    void getRandomWords();
    void drawHand(const ui::Label& visited);
    void ShowButn();
};

} // namespace learning
