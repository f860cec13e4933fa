// The spoken files of the book: recitations and per-character slots.
#pragma once

#include "book.h"
#include "sound_wave.h"
#include "speech_words.h"

#include <map>
#include <string>
#include <vector>

namespace mediagen {

constexpr double kSlotSeconds = 1.5;
constexpr int kSlotsPerFile = 98;   // 7 verses of 14 characters
constexpr double kSlotSound = 1.45; // what a slot may hold, leaving a gap
constexpr double kSlotLead = 0.02;  // silence before each character

// The character sound file (1..20) and slot (0..97) of verse v, position k.
int wordFileOf(int verse);
int wordSlotOf(int verse, int position);

// One word file from the syllable sounds; verses are those of the file, in
// order. Every slot is exactly kSlotSeconds long.
Wave assembleWordFile(const std::vector<const Verse*>& verses,
                      const std::map<std::string, Wave>& syllables);

// A recitation: both lines with a pause between them, and where each word
// of the lines starts in it, in milliseconds from the start of the file.
struct Recital {
    Wave wave;
    std::vector<long> startsMs;
};
Recital assembleRecital(const TimedSpeech& firstLine, const TimedSpeech& secondLine);

// The timing file beside a recitation: one start a line, CR LF.
std::string timingText(const std::vector<long>& startsMs);

} // namespace mediagen
