#include "games/kit/Buttons.h"

#include "core/PublicM.h"
#include "gfx/Keys.h"

namespace games::kit {

void createButtons(ui::ControlArray<ui::Image>& butnImg, const std::vector<gfx::Rect>& rects) {
    for (std::size_t n = 0; n < rects.size(); ++n) {
        ui::Image& b = butnImg.load(int(n));
        const gfx::Rect& r = rects[n];
        b.move(r.x, r.y, r.w, r.h);
        b.setVisible(true);
    }
}

bool releasedOn(const ui::Control& button, int x, int y) {
    return x >= 0 && y >= 0 && x < button.width() && y < button.height();
}

std::string buttonLook(const std::string& folder, int index, std::string_view suffix) {
    return folder + "pics/butn" + std::to_string(index + 1) + std::string(suffix) + ".bmp";
}

bool helpOnF1(core::Screen& screen, int keyCode) {
    if (screen.g().busy != 0 || keyCode != ui::key::F1)
        return false;
    core::showHelp(screen.app);
    core::queueSound(screen.app, 15);
    return true;
}

CommandScope::CommandScope(core::Screen& screen) : screen_(screen) {
    screen_.g().busy = -1;
    screen_.setMousePointer(ui::CursorShape::Hourglass);
}

CommandScope::~CommandScope() {
    if (leaving_)
        return;
    screen_.g().busy = 0;
    screen_.setMousePointer(ui::CursorShape::Default);
}

} // namespace games::kit
