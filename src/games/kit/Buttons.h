// The buttons of a game screen: painted on its background, clicked through
// transparent targets laid out from its layout file, highlighted by a
// picture of their own while the pointer is over them.
#pragma once

#include "core/Screen.h"
#include "ui/ControlArray.h"
#include "ui/Controls.h"

#include <string>
#include <string_view>
#include <vector>

namespace games::kit {

// One click target per rectangle, member n for rectangle n, visible.
void createButtons(ui::ControlArray<ui::Image>& butnImg, const std::vector<gfx::Rect>& rects);

// Hands the buttons' pointer moves and releases to the screen's
// butnImg_MouseMove and butnImg_MouseUp (index, button, shift, x, y).
template <class S> void routeButtonEvents(ui::ControlArray<ui::Image>& butnImg, S& screen) {
    butnImg.onMouseMove = [&screen](int i, int b, int s, int x, int y) {
        screen.butnImg_MouseMove(i, b, s, x, y);
    };
    butnImg.onMouseUp = [&screen](int i, int b, int s, int x, int y) {
        screen.butnImg_MouseUp(i, b, s, x, y);
    };
}

// Whether a release at (x, y), in the button's own pixels, fell on it: a
// press that slides off a button before it is let go asks for nothing.
bool releasedOn(const ui::Control& button, int x, int y);

// Sends the buttons' mouse moves and releases to the screen's handlers
// butnImg_MouseMove and butnImg_MouseUp.
template <class S> void wireButtons(ui::ControlArray<ui::Image>& butnImg, S& screen) {
    butnImg.onMouseUp = [&screen](int i, int b, int s, int x, int y) {
        screen.butnImg_MouseUp(i, b, s, x, y);
    };
    butnImg.onMouseMove = [&screen](int i, int b, int s, int x, int y) {
        screen.butnImg_MouseMove(i, b, s, x, y);
    };
}

// folder + "pics/butn" + (index + 1) + suffix + ".bmp": the look of button
// `index` ("" highlighted, "S" normal, where a game has both).
std::string buttonLook(const std::string& folder, int index, std::string_view suffix = "");

// The help key of a game screen: F1 while the screen is not busy shows the
// help and queues its cue; true when it did.
bool helpOnF1(core::Screen& screen, int keyCode);

// A button's command runs with `busy` set and the hourglass shown, and both
// are cleared when it ends, unless the command leaves the screen: then the
// next screen inherits `busy` and clears it once it is built.
class CommandScope {
  public:
    explicit CommandScope(core::Screen& screen);
    ~CommandScope();
    CommandScope(const CommandScope&) = delete;
    CommandScope& operator=(const CommandScope&) = delete;
    void leaving() { leaving_ = true; }

  private:
    core::Screen& screen_;
    bool leaving_ = false;
};

} // namespace games::kit
