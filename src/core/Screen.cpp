#include "core/Screen.h"

#include "core/PublicM.h"
#include "ui/Runtime.h"

namespace core {

Screen::Screen(App& a) : ui::Form(a.runtime), app(a) {}

void Screen::loadScreen(int width, int height, const std::string& backgroundFile) {
    g().firstActivate = -1;
    g().busy = -1;
    setMousePointer(ui::CursorShape::Hourglass);
    setupForm(app, *this, std::int16_t(width), std::int16_t(height));
    if (!backgroundFile.empty())
        setPicture(pic(backgroundFile));
    show();
}

void Screen::Form_Activate() {
    // The flag is shared by all screens; built_ keeps a screen from building
    // twice when another screen's load set it meanwhile.
    if (g().firstActivate && !built_) {
        built_ = true;
        build();
        // A build that already left for another screen leaves the flags to
        // that screen's load.
        if (unloading())
            return;
        g().firstActivate = 0;
        g().busy = 0;
        setMousePointer(ui::CursorShape::Default);
    }
    activated();
}

ui::Picture Screen::pic(const std::string& file) {
    return app.runtime.loadPicture(g().picPath + file);
}

} // namespace core
