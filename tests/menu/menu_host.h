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
    void key(int k) { runtime.keyDown(k), runtime.keyUp(k); }
    void type(const std::string& s) { runtime.typeText(s); }
    // Puts `number` (1..140 and beyond) into a box that allows two-digit
    // numbers, as a child would: the box never stands empty (it falls back to
    // 1), so the first digit goes in after the 1, which is then deleted.
    void typeNumber(ui::TextBox& box, const std::string& number) {
        focus(box);
        key(ui::key::End);
        for (int guard = 0; box.text() != "1" && guard < 10; ++guard)
            key(ui::key::Backspace);
        type(number.substr(0, 1));
        key(ui::key::Home);
        key(ui::key::Delete);
        key(ui::key::End);
        for (std::size_t i = 1; i < number.size(); ++i)
            type(number.substr(i, 1));
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
