// Mandarin speech from pinyin readings through espeak-ng's pinyin voice.
#pragma once

#include "sound_wave.h"

#include <filesystem>
#include <string>
#include <vector>

namespace mediagen {

// espeak-ng's pinyin voice, higher than the default: friendlier for children.
constexpr const char* kVoice = "cmn-latn-pinyin+f2";

struct SpeechJob {
    std::string pinyin; // syllables with tone digits, "," or "." for pauses
    int wordsPerMinute = 120;
};

// Speaks every job (two espeak-ng processes at a time) and returns the
// waves in the order of `jobs`, silence trimmed. `scratch` must exist.
// Throws if espeak-ng fails or the text holds anything but pinyin.
std::vector<Wave> speak(const std::vector<SpeechJob>& jobs, const std::filesystem::path& scratch);

// True if `text` is safe and meaningful for the pinyin voice.
bool isPinyinText(const std::string& text);

} // namespace mediagen
