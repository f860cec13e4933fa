// The game hub: an animated 400 x 400 picture with six hot circles, five
// games and the way back to the menu, and a looping tune of its own.
#pragma once

#include "core/Screen.h"
#include "media/SoundPlayer.h"
#include "ui/Controls.h"

#include <array>
#include <cstdint>
#include <memory>

namespace games {

struct HubCircle {
    std::int16_t x = 0, y = 0, r = 0;
};

class gameFrm : public core::Screen {
  public:
    explicit gameFrm(core::App& app);
    ~gameFrm() override;

    void Form_Load() override;
    void Form_Click() override;
    void Form_MouseMove(int button, int shift, int x, int y) override;
    void Form_KeyDown(int& keyCode, int shift) override;
    void Form_QueryUnload(bool& cancel) override;

    void Timer1_Timer();
    void FXSnd1_End();

    // The circle containing a form point (lower numbers first), or -1.
    int circleAt(int x, int y) const;

    std::array<HubCircle, 6> gameCircles{};
    std::int16_t selectedCircle = -1;
    std::int16_t backdropFrame = 1;
    std::unique_ptr<media::SoundPlayer> FXSnd1;
    ui::Timer Timer1;

  protected:
    void build() override;

  private:
    void loadGameCircles();
    const ui::Picture& frame(int n);

    // The four backdrop pictures, read once per visit: the animation redraws
    // one of them every 25 ms.
    std::array<ui::Picture, 4> frames_;
    std::array<bool, 4> frameLoaded_{};
    ui::Rect movingPart();
    ui::Rect movingPart_;
    bool movingPartKnown_ = false;
    ui::Cursor hand_;
};

} // namespace games
