// The book's data files and the sound operations.
#pragma once

#include "core/App.h"

#include <cstdint>
#include <string>

namespace ui {
class Form;
}

namespace core {

// The 14 characters of verse n (1..140). Above 140: "Error found in words!"
// and the program ends.
std::u32string getVerse(App& app, std::int16_t n);
// The reading key of character k (1..14) of verse n.
std::string getCharReading(App& app, std::int16_t n, std::int16_t k);
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
