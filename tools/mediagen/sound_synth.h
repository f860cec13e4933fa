// Small additive instruments for the cues and clips.
#pragma once

#include "sound_wave.h"

namespace mediagen::synth {

enum class Timbre {
    Bell,    // glassy, long ring
    Marimba, // woody, short
    Pluck,   // soft string
    Soft     // plain round tone
};

double noteHz(int midiNote);

// One note of `seconds` length (its ring included), peak about `gain`.
Wave note(int midiNote, double seconds, Timbre t, float gain = 0.5f);
// A sine sweeping from f0 to f1 Hz with a soft envelope.
Wave glide(double f0, double f1, double seconds, float gain = 0.5f);
// A short tick: a band of noise around `hz` decaying in `seconds`.
Wave tick(double hz, double seconds, float gain = 0.6f);

// Notes at given start times mixed into one wave.
struct Hit {
    double at;
    int note;
    double seconds;
};
Wave phrase(std::initializer_list<Hit> hits, Timbre t, float gain = 0.45f);

// Folds everything past `seconds` back onto the start, so the wave loops
// without a seam, and fixes its length to `seconds`.
void makeLoop(Wave& w, double seconds);

} // namespace mediagen::synth
