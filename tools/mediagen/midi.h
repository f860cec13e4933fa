// Background tunes: a small numbered notation read from media-src/tunes.txt,
// written as General MIDI files with a melody, chords and a bass line.
#pragma once

#include <filesystem>
#include <istream>
#include <string>
#include <vector>

namespace mediagen {

struct TuneNote {
    double start = 0, length = 0; // in quarter notes
    int pitch = 0;                // MIDI note; 0 for a rest
};

struct TuneChord {
    double start = 0, length = 0;
    int degree = 1; // 1..7 of the major scale
    bool seventh = false;
};

struct Tune {
    std::string file, title;
    int key = 60; // MIDI note of degree 1
    int beats = 4, beatUnit = 4;
    int tempo = 100;
    int lead = 0, band = 0;
    double gain = 0; // dB on every channel's volume, to even out the tunes' loudness
    std::vector<TuneNote> melody;
    std::vector<TuneChord> chords;
    double quarters = 0; // whole length, a whole number of bars

    double barQuarters() const { return beats * 4.0 / beatUnit; }
};

// Throws naming the line on any fault (bar not filling the meter, chords
// not matching the bars, unknown token).
std::vector<Tune> parseTunes(std::istream& in);

// A type-1 General MIDI file that loops without a gap.
std::string midiBytes(const Tune& t);

void writeTunes(const std::filesystem::path& soundDir);

} // namespace mediagen
