#include "book.h"
#include "book_io.h"
#include "clip.h"
#include "mediagen.h"
#include "midi.h"
#include "sound_speech.h"
#include "sound_synth.h"
#include "speech.h"
#include "speech_words.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <map>
#include <set>
#include <stdexcept>
#include <unistd.h>

namespace mediagen {

namespace {

using synth::Hit;
using synth::Timbre;

// Loudness of speech and of the effects around it.
constexpr double kSpeechRms = 0.12;

// Words per minute: single characters a little slow, verses slower still so
// a child can follow.
constexpr int kCharSpeed = 115;
constexpr int kVerseSpeed = 105;
constexpr int kPromptSpeed = 120;

// A scratch folder removed when the writer is done, even on a fault.
struct Scratch {
    fs::path dir;
    Scratch() {
        std::string tmpl = (fs::temp_directory_path() / "mediagen-XXXXXX").string();
        if (!mkdtemp(tmpl.data()))
            throw std::runtime_error("cannot create a scratch folder");
        dir = tmpl;
    }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
};

// One line of a verse as it is recited, with the tone changes of speech.
std::string joinReadings(const Verse& v, size_t from) {
    const auto spoken = spokenReadings(v);
    std::string s;
    for (size_t k = from; k < from + 7; ++k)
        s += (s.empty() ? "" : " ") + spoken[k];
    return s;
}

// The spoken prompts of the cues.
const std::map<std::string, std::string> kPrompts = {
    {"ok", "zhen1 bang4"},
    {"err", "zai4 xiang3 xiang3"},
    {"begin", "xiao3 peng2 you3, qing2 xuan3 yi4 shou3 shi1"},
    {"gamestrt", "you2 xi4 kai1 shi3"},
    {"victory", "ni3 zhen1 bang4"},
    {"entergm", "yi4 qi3 wan2 you2 xi4 ba5"},
    {"help_snd", "qing3 kan4 bang1 zhu4"},
    {"failed", "mei2 guan1 xi5, zai4 lai2 yi2 ci4"},
    {"exit", "xiao3 peng2 you3, zai4 jian4"},
};

Wave spoken(const std::map<std::string, Wave>& prompts, const std::string& name) {
    Wave w = prompts.at(name);
    normalize(w, kSpeechRms);
    return w;
}

// Every cue file: effects drawn with the small instruments, speech where a
// child should hear words.
std::map<std::string, Wave> makeCues(const std::map<std::string, Wave>& prompts) {
    std::map<std::string, Wave> cues;
    {
        Wave w =
            synth::phrase({{0, 84, 0.6}, {0.08, 88, 0.6}, {0.16, 91, 0.8}}, Timbre::Bell, 0.3f);
        w.mix(spoken(prompts, "ok"), 0.3);
        cues["ok"] = w;
    }
    {
        Wave w = synth::phrase({{0, 64, 0.35}, {0.2, 60, 0.5}}, Timbre::Marimba, 0.35f);
        w.mix(spoken(prompts, "err"), 0.55);
        cues["err"] = w;
    }
    cues["color"] = synth::phrase({{0, 91, 0.5}, {0.06, 96, 0.45}}, Timbre::Bell, 0.35f);
    {
        Wave w = synth::phrase({{0, 79, 0.7}, {0.15, 84, 0.8}}, Timbre::Bell, 0.2f);
        w.mix(spoken(prompts, "begin"), 0.45);
        cues["begin"] = w;
    }
    {
        Wave w = synth::phrase({{0, 72, 0.3}, {0.12, 76, 0.3}, {0.24, 79, 0.3}, {0.36, 84, 0.7}},
                               Timbre::Marimba, 0.4f);
        w.mix(spoken(prompts, "gamestrt"), 0.95);
        cues["gamestrt"] = w;
    }
    {
        Wave w = synth::phrase({{0, 67, 0.25},
                                {0.13, 72, 0.25},
                                {0.26, 76, 0.25},
                                {0.39, 79, 0.4},
                                {0.62, 76, 0.2},
                                {0.75, 79, 1.0},
                                {0.75, 84, 1.0}},
                               Timbre::Pluck, 0.35f);
        w.mix(synth::phrase({{0.75, 88, 1.2}, {0.9, 91, 1.0}}, Timbre::Bell, 0.15f), 0);
        w.mix(spoken(prompts, "victory"), 1.6);
        cues["victory"] = w;
    }
    {
        // Two bars of a pentatonic chime; the ring of the last notes folds
        // back onto the start so the repeat has no seam.
        Wave w = synth::phrase({{0.0, 84, 1.5},
                                {0.25, 88, 1.5},
                                {0.5, 91, 1.5},
                                {0.75, 88, 1.5},
                                {1.0, 86, 1.5},
                                {1.25, 91, 1.5},
                                {1.5, 93, 1.5},
                                {1.75, 91, 1.5}},
                               Timbre::Bell, 0.22f);
        synth::makeLoop(w, 2.0);
        cues["chimes"] = w;
    }
    cues["press"] = synth::glide(700, 350, 0.09, 0.5f);
    cues["click01"] = synth::tick(1800, 0.04, 0.5f);
    cues["click02"] = synth::phrase({{0, 79, 0.2}, {0.07, 86, 0.3}}, Timbre::Marimba, 0.45f);
    cues["click03"] = synth::tick(900, 0.06, 0.55f);
    {
        Wave w = synth::glide(900, 350, 0.35, 0.4f);
        w.mix(synth::note(67, 0.3, Timbre::Marimba, 0.3f), 0.3);
        cues["return"] = w;
    }
    {
        Wave w = synth::glide(350, 900, 0.3, 0.35f);
        w.mix(synth::phrase({{0, 72, 0.3}, {0.1, 79, 0.5}}, Timbre::Bell, 0.25f), 0.25);
        w.mix(spoken(prompts, "entergm"), 0.75);
        cues["entergm"] = w;
    }
    cues["cancel"] = synth::phrase({{0, 69, 0.2}, {0.12, 64, 0.35}}, Timbre::Soft, 0.4f);
    {
        Wave w = synth::phrase({{0, 76, 0.5}, {0.12, 81, 0.7}}, Timbre::Bell, 0.2f);
        w.mix(spoken(prompts, "help_snd"), 0.4);
        cues["help_snd"] = w;
    }
    {
        Wave w = synth::phrase({{0, 67, 0.3}, {0.28, 66, 0.3}, {0.56, 65, 0.3}, {0.84, 64, 0.8}},
                               Timbre::Soft, 0.35f);
        w.mix(spoken(prompts, "failed"), 1.2);
        cues["failed"] = w;
    }
    {
        Wave w = synth::phrase({{0, 84, 1.2}, {0.3, 79, 1.2}, {0.6, 76, 1.2}, {0.9, 72, 1.5}},
                               Timbre::Bell, 0.18f);
        w.mix(spoken(prompts, "exit"), 0.5);
        w.appendSilence(0.2);
        cues["exit"] = w;
    }
    cues["start"] = synth::phrase({{0, 76, 0.6}, {0.22, 72, 0.7}}, Timbre::Bell, 0.3f);
    for (auto& [name, w] : cues) {
        if (name != "chimes") {
            fadeOut(w, 0.01);
            w.appendSilence(0.03);
        }
        if (w.peak() > 0.95f)
            w.scale(0.95f / w.peak());
    }
    return cues;
}

void writeSpeech(const fs::path& soundDir, const fs::path& scratch,
                 std::map<std::string, Wave>& prompts) {
    const auto& verses = book();
    std::vector<SpeechJob> jobs;
    std::set<std::string> syllables;
    for (const Verse& v : verses)
        for (const auto& r : v.readings)
            syllables.insert(r);
    for (const auto& s : syllables)
        jobs.push_back({s, kCharSpeed});
    std::vector<SpeechJob> lines;
    for (const Verse& v : verses) {
        lines.push_back({joinReadings(v, 0), kVerseSpeed});
        lines.push_back({joinReadings(v, 7), kVerseSpeed});
    }
    for (const auto& [name, text] : kPrompts)
        jobs.push_back({text, kPromptSpeed});
    // The verses go through the library, which tells where each syllable
    // starts, while the processes speak the rest.
    auto timed = std::async(std::launch::async, [&lines] { return speakTimed(lines); });
    std::vector<Wave> waves = speak(jobs, scratch);
    std::vector<TimedSpeech> recited = timed.get();

    size_t i = 0;
    std::map<std::string, Wave> sounds;
    for (const auto& s : syllables) {
        Wave w = std::move(waves[i++]);
        normalize(w, kSpeechRms);
        sounds[s] = std::move(w);
    }
    size_t line = 0;
    for (const Verse& v : verses) {
        TimedSpeech& a = recited[line++];
        TimedSpeech& b = recited[line++];
        normalize(a.wave, kSpeechRms);
        normalize(b.wave, kSpeechRms);
        // The recitation and beside it the start of each character in it.
        char name[32];
        std::snprintf(name, sizeof name, "sd%03d", v.number);
        const Recital r = assembleRecital(a, b);
        writeAdpcmWav(soundDir / (std::string(name) + ".wav"), r.wave);
        writeFileAtomic(soundDir / (std::string(name) + ".txt"), timingText(r.startsMs));
    }
    for (const auto& [name, text] : kPrompts)
        prompts[name] = std::move(waves[i++]);

    for (int f = 1; f <= 20; ++f) {
        std::vector<const Verse*> seven;
        for (const Verse& v : verses)
            if (wordFileOf(v.number) == f)
                seven.push_back(&v);
        char name[32];
        std::snprintf(name, sizeof name, "word%02d.wav", f);
        writeAdpcmWav(soundDir / name, assembleWordFile(seven, sounds));
    }
}

} // namespace

void writeSounds(const fs::path& appDir) {
    const fs::path soundDir = appDir / "sound";
    fs::create_directories(soundDir);
    Scratch scratch;
    std::map<std::string, Wave> prompts;
    writeSpeech(soundDir, scratch.dir, prompts);
    const auto cues = makeCues(prompts);
    for (const auto& [name, w] : cues)
        writeWav(soundDir / (name + ".wav"), w);
    writeTunes(soundDir);
    // The clip's own sound: the words come sooner than in the cue, so the
    // clip stays short.
    Wave errClip = synth::phrase({{0, 64, 0.3}, {0.15, 60, 0.4}}, Timbre::Marimba, 0.25f);
    errClip.mix(spoken(prompts, "err"), 0.25);
    writeClips(soundDir, scratch.dir, cues.at("ok"), errClip);
}

} // namespace mediagen
