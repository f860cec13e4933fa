// The recital page (menu functions 0 and 1): the whole verse on its board,
// recited again and again; function 0 runs through a span of verses.
#pragma once

#include "learning/LearningPage.h"

namespace learning {

class funFrm1 : public LearningPage {
  public:
    explicit funFrm1(core::App& app) : LearningPage(app) {}

    // The verse recited next is the current verse + this (0 .. span - 1).
    std::int16_t recital = 0;

    // Fills the grid with verse n.
    void SetWordLbl(std::int16_t n);
    void Timer1_Timer() override;

  protected:
    void buildPage() override;
    void drawBox() override;
};

} // namespace learning
