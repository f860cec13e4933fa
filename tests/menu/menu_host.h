// The menu on the headless program, and the child's gestures on it.
#pragma once

#include "app/Host.h"
#include "core/Screen.h"
#include "core/Text.h"
#include "gfx/Keys.h"
#include "menu/menuFrm.h"
#include "support/scenario.h"
#include "ui/Runtime.h"

#include <gtest/gtest.h>
#include <string>

namespace menutest {

// A page that only remembers how it was opened.
class StubPage : public core::Screen {
  public:
    StubPage(core::App& a, std::string n) : core::Screen(a), name(std::move(n)) {}
    std::string name;
    std::int16_t modeAtLoad = -99;
    void Form_Load() override {
        modeAtLoad = g().pageMode;
        loadScreen(640, 480, "");
    }
};

inline void registerStub(app::HeadlessHost& h, const std::string& name) {
    h.app.registerScreen(name,
                         [name](core::App& a) { return std::make_unique<StubPage>(a, name); });
}

struct MenuHost : app::HeadlessHost {
    MenuHost() : app::HeadlessHost(SHIZI_MEDIA_DIR) {}

    // Starts with function 0, verse 1 and one verse saved, whatever the
    // media folder's own file says.
    menu::menuFrm& start() {
        auto lines = core::readLines(folder() + "data/data.txt");
        const std::string first = lines && !lines->empty() ? (*lines)[0] : "24";
        core::writeLines(folder() + "data/data.txt", {first, "0", "1", "1"});
        app::HeadlessHost::start();
        return menu();
    }
    menu::menuFrm& menu() {
        auto* m = find<menu::menuFrm>();
        EXPECT_NE(m, nullptr);
        return *m;
    }
    ui::Point centre(const ui::Control& c) { return scenario::centre(c); }
    void click(const ui::Control& c) { scenario::click(*this, c); }
    // Types into a box of the menu as a child would: click it, then keys.
    void focus(ui::TextBox& box) { click(box); }
    void key(int k, int shift = 0) { runtime.keyDown(k, shift), runtime.keyUp(k, shift); }
    void type(const std::string& s) { runtime.typeText(s); }
    // Puts `number` into a box digit by digit over its whole text; the box
    // may have had the focus already, so the text is selected with ctrl+a.
    void typeNumber(ui::TextBox& box, const std::string& number) {
        focus(box);
        key(ui::key::A, ui::shiftmask::Ctrl);
        for (char digit : number)
            type(std::string(1, digit));
    }
    // The saved selection in data\\data.txt: function, verse and count.
    std::string data() {
        const auto lines = core::readLines(folder() + "data/data.txt");
        std::string s;
        for (std::size_t i = 1; lines && i < lines->size(); ++i)
            s += (s.empty() ? "" : " ") + (*lines)[i];
        return s;
    }
    std::vector<std::string> played() { return media.played(); }
};

} // namespace menutest
