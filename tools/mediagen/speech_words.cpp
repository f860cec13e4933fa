#include "speech_words.h"

#include <cstring>
#include <espeak-ng/speak_lib.h>
#include <stdexcept>
#include <string>

namespace mediagen {

namespace {

// What one synthesis call hands back through the callback.
struct Take {
    std::vector<float> samples;
    std::vector<int> wordMs; // from the start of this call's output
};

int collect(short* wav, int count, espeak_EVENT* events) {
    // Every event of the list, its terminator too, carries the call's take.
    Take* take = nullptr;
    for (espeak_EVENT* e = events; e; ++e) {
        take = static_cast<Take*>(e->user_data);
        if (e->type == espeakEVENT_LIST_TERMINATED)
            break;
        // After some texts the synthesiser adds a word of no text at the
        // end of the sound: it starts no syllable.
        if (take && e->type == espeakEVENT_WORD && e->length > 0)
            take->wordMs.push_back(e->audio_position);
    }
    if (take && wav)
        for (int i = 0; i < count; ++i)
            take->samples.push_back(static_cast<float>(wav[i]) / 32768.0f);
    return 0;
}

// The library keeps one synthesiser per process; this holds it for a run.
class Synthesiser {
  public:
    Synthesiser() {
        rate_ = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
        if (rate_ <= 0)
            throw std::runtime_error("the espeak-ng library did not start");
        espeak_SetSynthCallback(collect);
        if (espeak_SetVoiceByName(kVoice) != EE_OK) {
            espeak_Terminate();
            throw std::runtime_error(std::string("espeak-ng has no voice ") + kVoice);
        }
    }
    ~Synthesiser() { espeak_Terminate(); }
    Synthesiser(const Synthesiser&) = delete;
    Synthesiser& operator=(const Synthesiser&) = delete;

    int rate() const { return rate_; }

    Take say(const std::string& text, int wordsPerMinute) {
        Take take;
        espeak_SetParameter(espeakRATE, wordsPerMinute, 0);
        if (espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                         nullptr, &take) != EE_OK ||
            espeak_Synchronize() != EE_OK)
            throw std::runtime_error("espeak-ng failed on \"" + text + "\"");
        return take;
    }

  private:
    int rate_ = 0;
};

} // namespace

size_t syllableCount(const std::string& pinyin) {
    size_t n = 0;
    bool inWord = false;
    for (char c : pinyin) {
        const bool part = (c >= 'a' && c <= 'z') || (c >= '1' && c <= '5');
        if (part && !inWord)
            ++n;
        inWord = part;
    }
    return n;
}

std::vector<TimedSpeech> speakTimed(const std::vector<SpeechJob>& jobs) {
    for (const auto& j : jobs)
        if (!isPinyinText(j.pinyin))
            throw std::runtime_error("not pinyin: \"" + j.pinyin + "\"");
    Synthesiser synth;
    std::vector<TimedSpeech> out;
    out.reserve(jobs.size());
    for (const auto& job : jobs) {
        // Spoken as speak() speaks a job, so both give the same sound.
        Take take = synth.say(job.pinyin + ".", job.wordsPerMinute);
        if (take.wordMs.size() != syllableCount(job.pinyin))
            throw std::runtime_error("espeak-ng reported " + std::to_string(take.wordMs.size()) +
                                     " words in \"" + job.pinyin + "\"");
        Wave w = atSampleRate(std::move(take.samples), synth.rate());
        lowPass(w, 6500);
        // Trimming moves every time earlier by what it cuts; a word that
        // starts in the cut silence starts where the sound does.
        const size_t cut = silentLead(w);
        TimedSpeech t;
        for (int ms : take.wordMs) {
            const size_t at = Wave::frames(ms / 1000.0);
            t.wordStarts.push_back(at > cut ? at - cut : 0);
        }
        t.wave = trimSilence(w);
        out.push_back(std::move(t));
    }
    return out;
}

} // namespace mediagen
