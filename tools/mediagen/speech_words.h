// Speech through the espeak-ng library, with the time each spoken word (each
// pinyin syllable) starts, as the synthesiser itself reports it.
#pragma once

#include "sound_wave.h"
#include "speech.h"

#include <vector>

namespace mediagen {

struct TimedSpeech {
    // Low-passed and trimmed like the waves of speak().
    Wave wave;
    // Where each word of the job's text starts, in frames of `wave`.
    std::vector<size_t> wordStarts;
};

// Speaks every job in turn. Throws if the library cannot start, a text holds
// anything but pinyin, or the synthesiser reports another number of words
// than the text has syllables.
std::vector<TimedSpeech> speakTimed(const std::vector<SpeechJob>& jobs);

// The syllables of a pinyin text (its words between blanks and punctuation).
size_t syllableCount(const std::string& pinyin);

} // namespace mediagen
