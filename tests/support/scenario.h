// Scenario helpers the page, menu and game tests share: opening a screen on
// the headless program as the menu would, the child's clicks, what was heard
// and what a file holds.
#pragma once

#include "app/Host.h"
#include "core/PublicM.h"
#include "core/Text.h"
#include "core/bgGroundFrm.h"
#include "core/tavMdl.h"
#include "gfx/Keys.h"
#include "ui/Control.h"
#include "ui/Form.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace scenario {

// What the menu saves before it opens a screen; what is not given stays as
// the menu left it.
struct Selection {
    int verse = 1;
    std::optional<int> func = std::nullopt;
    std::optional<int> mode = std::nullopt;
    std::optional<int> span = std::nullopt;
};

// Starts the program (unless it runs already), saves the selection as the
// menu does, loads the screen by its form name, leaves only the backdrop
// behind it and lets it build. The screen, or nullptr when it is no F.
template <class F> F* openScreen(app::HeadlessHost& h, const std::string& name, Selection s = {}) {
    if (!h.app.started())
        h.start();
    core::initMediaPaths(h.app);
    auto& g = h.app.state;
    g.curVerse = std::int16_t(s.verse);
    if (s.func)
        g.curFunc = std::int16_t(*s.func);
    if (s.mode)
        g.pageMode = std::int16_t(*s.mode);
    if (s.span)
        g.verseCount = std::int16_t(*s.span);
    core::saveMenuState(h.app);
    ui::Form* screen = h.app.load(name);
    for (ui::Form* f : h.runtime.forms())
        if (f != screen && !dynamic_cast<core::bgGroundFrm*>(f))
            f->unload();
    h.runtime.advance(0);
    return h.find<F>();
}

// The centre of a control in desktop pixels, and a click on it.
inline ui::Point centre(const ui::Control& c) {
    const ui::Form& f = c.form();
    return {f.left() + c.left() + c.width() / 2, f.top() + c.top() + c.height() / 2};
}
inline void click(app::HeadlessHost& h, const ui::Control& c) {
    h.runtime.click(centre(c));
}

// How often a sound file (base name) was started.
inline int countPlayed(app::HeadlessHost& h, const std::string& base) {
    const auto p = h.media.played();
    return int(std::count(p.begin(), p.end(), base));
}

// The lines of a code-page-936 file, each followed by "|"; "" when unreadable.
inline std::string fileText(const std::string& path) {
    const auto lines = core::readLines(path);
    std::string s;
    if (lines)
        for (const auto& l : *lines)
            s += l + "|";
    return s;
}

} // namespace scenario

// The names the game tests use.
namespace gamestest {

using scenario::click;
using scenario::countPlayed;
using scenario::fileText;

// Opens a game (or the hub) with the verse reached set as the menu leaves it.
template <class F> F* open(app::HeadlessHost& h, const std::string& name, int verse = 1) {
    return scenario::openScreen<F>(h, name, {.verse = verse});
}

} // namespace gamestest
