// The book's data files and the sound operations.
#pragma once

#include "core/App.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace ui {
class Form;
}

namespace core {

// The 14 characters of verse n (1..140). Above 140: "Error found in words!"
// and the program ends.
std::u32string getVerse(App& app, std::int16_t n);
// The reading key of character k (1..14) of verse n.
std::string getCharReading(App& app, std::int16_t n, std::int16_t k);

// Verses 1 .. upTo with their readings, read once: a screen that deals
// characters asks for many of them and should not read the files each time.
struct VerseBook {
    std::vector<std::u32string> verses;                // [v - 1]: 14 characters
    std::vector<std::array<std::string, 14>> readings; // [v - 1][p - 1]
    static VerseBook read(App& app, int upTo);
    int verseCount() const { return int(verses.size()); }
    // Character p (1..14) of verse v; 0 outside the book read.
    char32_t character(int v, int p) const;
    // Its reading key; "" outside the book read.
    const std::string& reading(int v, int p) const;
};

void loadMenuState(App& app);
void saveMenuState(App& app);

// Starts the file of a cue on the effect player and marks it busy; false
// (nothing started) for cue 7 and numbers outside the cue table.
bool startCue(App& app, std::int16_t cue);
void playSoundWait(App& app, std::int16_t cue);
void playVerse(App& app, std::int16_t n);
void playCharSound(App& app, std::int16_t v, std::int16_t k);
void stopSound(App& app);
void playMusic(App& app);
void stopMusic(App& app);
void setVolume(App& app, std::int16_t level);
// Leaves a pearl-game level for the game hub.
void returnToGameHub(App& app, ui::Form& caller);

} // namespace core
