// Learning pages on the headless program: opening one as the menu does, and
// what its grid shows and says.
#pragma once

#include "learning/LearningPage.h"
#include "support/scenario.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace learningtest {

struct PageState {
    int verse = 1;
    int func = 0;
    int mode = 0;
    int span = 1;
};

// Opens a page the way the menu does, with the whole selection saved.
template <class Page> Page* openPage(app::HeadlessHost& h, const std::string& name, PageState s) {
    return scenario::openScreen<Page>(
        h, name, {.verse = s.verse, .func = s.func, .mode = s.mode, .span = s.span});
}

// The first line of the settings file: the number of backgrounds.
inline void setBackgroundCount(app::HeadlessHost& h, int n) {
    core::writeLines(h.folder() + "data/data.txt", {std::to_string(n), "0", "1", "1"});
}

inline std::vector<std::string> gridText(learning::LearningPage& p) {
    std::vector<std::string> out;
    for (int i = 1; i <= 14; ++i)
        out.push_back(p.wordLbl.exists(i) ? p.wordLbl[i].caption : "<none>");
    return out;
}

inline std::vector<std::string> verseText(app::HeadlessHost& h, int n) {
    const std::u32string v = core::getVerse(h.app, std::int16_t(n));
    std::vector<std::string> out;
    for (char32_t c : v)
        out.push_back(core::toUtf8(c));
    return out;
}

// Character sounds: the verse and position a range of a word file holds.
struct Spoken {
    int verse = 0;
    int pos = 0;
    ui::Micros time = 0;
};

inline std::vector<Spoken> spokenChars(app::HeadlessHost& h) {
    std::vector<Spoken> out;
    for (const auto& c : h.media.commands(media::MediaCommand::Kind::PlayRange)) {
        const std::string base = c.file.substr(c.file.find_last_of("/\\") + 1);
        if (base.rfind("word", 0) != 0)
            continue;
        const int fileNo = std::stoi(base.substr(4, 2));
        const int slot = int(c.startMs) / 1500;
        out.push_back({(fileNo - 1) * 7 + slot / 14 + 1, slot % 14 + 1, c.time});
    }
    return out;
}

// The grid label (1..14) whose text shows `c`, or 0.
inline int labelColored(learning::LearningPage& p, ui::Color c) {
    for (int i = 1; i <= 14; ++i)
        if (p.wordLbl.exists(i) && p.wordLbl[i].foreColor == c)
            return i;
    return 0;
}

} // namespace learningtest
