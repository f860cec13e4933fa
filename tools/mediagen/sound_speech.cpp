#include "sound_speech.h"

#include <cmath>
#include <stdexcept>

namespace mediagen {

int wordFileOf(int verse) {
    return (verse - 1) / 7 + 1;
}

int wordSlotOf(int verse, int position) {
    return ((verse - 1) % 7) * 14 + (position - 1);
}

Wave assembleWordFile(const std::vector<const Verse*>& verses,
                      const std::map<std::string, Wave>& syllables) {
    Wave file;
    file.s.assign(Wave::frames(kSlotsPerFile * kSlotSeconds), 0.0f);
    for (const Verse* v : verses) {
        for (int k = 1; k <= 14; ++k) {
            const auto it = syllables.find(v->readings[static_cast<size_t>(k - 1)]);
            if (it == syllables.end())
                throw std::runtime_error("no sound for " + v->readings[static_cast<size_t>(k - 1)]);
            Wave sound = it->second;
            fitTo(sound, kSlotSound - kSlotLead);
            const size_t start = Wave::frames(wordSlotOf(v->number, k) * kSlotSeconds + kSlotLead);
            for (size_t i = 0; i < sound.s.size() && start + i < file.s.size(); ++i)
                file.s[start + i] = sound.s[i];
        }
    }
    return file;
}

Recital assembleRecital(const TimedSpeech& firstLine, const TimedSpeech& secondLine) {
    Recital r;
    auto line = [&r](const TimedSpeech& l) {
        const size_t at = r.wave.s.size();
        r.wave.append(l.wave);
        for (size_t word : l.wordStarts)
            r.startsMs.push_back(
                std::lround(static_cast<double>(at + word) * 1000.0 / kSampleRate));
    };
    r.wave.appendSilence(0.25);
    line(firstLine);
    r.wave.appendSilence(0.7);
    line(secondLine);
    r.wave.appendSilence(0.35);
    return r;
}

std::string timingText(const std::vector<long>& startsMs) {
    std::string s;
    for (long ms : startsMs)
        s += std::to_string(ms) + "\r\n";
    return s;
}

} // namespace mediagen
