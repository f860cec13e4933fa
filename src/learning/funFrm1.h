// The recital page (menu functions 0 and 1): the whole verse on its board,
// recited again and again; function 0 runs through a span of verses. While
// the voice speaks, the label of the character being spoken is lit.
#pragma once

#include "learning/LearningPage.h"
#include "learning/RecitalTiming.h"

namespace learning {

// The colour of the character being spoken: it reads well on the dark board
// behind the grid and stands apart from the white of the others.
constexpr ui::Color kSpoken = ui::rgb(255, 255, 0);

class funFrm1 : public LearningPage {
  public:
    explicit funFrm1(core::App& app);

    // The verse recited next is the current verse + this (0 .. span - 1).
    std::int16_t recital = 0;
    // One-shot: set to the next start of a character, or to the end of the
    // recitation.
    ui::Timer voiceTimer;

    // Fills the grid with verse n.
    void SetWordLbl(std::int16_t n);
    void Timer1_Timer() override;
    void voiceTimer_Timer();

    // The grid label (1..14) lit now; 0 for none.
    int spokenLabel() const { return spoken_; }

  protected:
    void buildPage() override;
    void drawBox() override;

  private:
    // A recitation of verse n has just started: take its timing.
    void followVoice(std::int16_t n);
    // Lights the character being spoken at this moment and sets the timer
    // to the next change.
    void showSpoken();
    void lightLabel(int label);

    CharStarts starts_{};
    long soundMs_ = 0;
    ui::Micros recitalStart_ = 0;
    int spoken_ = 0;
};

} // namespace learning
