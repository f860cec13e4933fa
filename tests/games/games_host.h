// Opening the hub or the card game on the headless program.
#pragma once

#include "app/Host.h"
#include "core/PublicM.h"
#include "core/Text.h"
#include "core/bgGroundFrm.h"
#include "core/tavMdl.h"
#include "gfx/Keys.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace gamestest {

// Starts the program, loads a screen by name with the verse reached set as
// the menu would leave it, leaves only the backdrop behind it and lets it
// build.
template <class F> F* open(app::HeadlessHost& h, const std::string& name, int verse = 1) {
    if (!h.app.started())
        h.start();
    h.app.state.appPath = core::initMediaPaths(h.app);
    h.app.state.curVerse = std::int16_t(verse);
    ui::Form* f = h.app.load(name);
    for (ui::Form* other : h.runtime.forms())
        if (other != f && !dynamic_cast<core::bgGroundFrm*>(other))
            other->unload();
    h.runtime.advance(0);
    return h.find<F>();
}

inline int countPlayed(app::HeadlessHost& h, const std::string& base) {
    const auto p = h.media.played();
    return int(std::count(p.begin(), p.end(), base));
}

inline std::string fileText(const std::string& path) {
    const auto lines = core::readLines(path);
    std::string s;
    if (lines)
        for (const auto& l : *lines)
            s += l + "|";
    return s;
}

} // namespace gamestest
