// A picture control that changes its picture through a numbered transition.
#pragma once

#include "ui/Controls.h"

namespace media {

class TransitionImage : public ui::Control {
  public:
    explicit TransitionImage(ui::Form& f);
    ~TransitionImage() override;
    int transition = 0;    // transition number; 0 = none
    int effectSetting = 0; // sent with every transition (107)
    int step = 30;         // grain or speed, 10..255
    bool animate = false;  // the next picture change is animated
    // Shows the picture, through the transition when `animate` is set.
    void setPicture(const ui::Picture& p);
    const ui::Picture& picture() const;
    bool transitioning() const;
    // The transition has run.
    std::function<void()> onTransitionFinished;
    void paint(ui::Picture& target, ui::Point origin) override;

  private:
    struct State;
    std::unique_ptr<State> st_;
};

} // namespace media
