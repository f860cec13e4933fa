// The pointing page (menu functions 2 to 6): a hand visits the characters of
// the verse one by one in one of five orders; each blinks and is spoken.
#pragma once

#include "learning/LearningPage.h"
#include "media/TransitionImage.h"

#include <string>

namespace learning {

class funFrm3 : public LearningPage {
  public:
    explicit funFrm3(core::App& app);

    media::TransitionImage FXImage1; // the pointing hand

    void Timer1_Timer() override { pointingTick(); }

  protected:
    void buildPage() override;
    void drawBox() override;
    void pointAt(ui::Label& visited) override;
    void speakLabel(int label) override;
    void renewOrder() override;

  private:
    // The order of visits for the page mode; mode 4 draws a new one.
    void fillOrder();
    std::u32string verse_;
};

} // namespace learning
