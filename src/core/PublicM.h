// Form set-up, folders, help and the sound queue.
#pragma once

#include "core/App.h"

#include <cstdint>
#include <string>

namespace core {

// Sizes the form in pixels and centres it on the desktop, black behind.
void setupForm(App& app, ui::Form& form, std::int16_t width, std::int16_t height);

// Sets the folder strings from the program's folder and returns appPath.
std::string initMediaPaths(App& app);
// Removes what saves cut short by a kill left in the program's data folders
// (its own and each game's).
void removeStaleSaves(App& app);

void showHelp(App& app);
void closeHelp(App& app);

// Advances the logo's transition number (and sets effectStep).
std::int16_t nextImageEffect(App& app, std::int16_t& effectNo);

// "Reseed from the clock, then draw": a number in [0, 1), and 1..n. The
// generator mixes a counter into each reseed, so a frozen clock cannot make a
// draw loop repeat one value forever.
double rnd(App& app);
int drawRandom(App& app, int n);

// Queues a numbered sound cue; the backdrop plays it once the effect player is idle.
void queueSound(App& app, std::int16_t cue);

} // namespace core
