#include "core/tavMdl.h"

#include "core/Book.h"
#include "core/Folders.h"
#include "core/PublicM.h"
#include "core/Text.h"
#include "core/bgGroundFrm.h"
#include "ui/Form.h"
#include "ui/Runtime.h"

#include <array>
#include <cstdio>
#include <iostream>

namespace core {

namespace {

// What the menu's saved selection can name: backgrounds are numbered in
// three digits (bg_A001.jpg ...), twelve learning functions, the book's
// verses.
constexpr int kMaxBackgrounds = 999;
constexpr int kFunctions = 12;
constexpr int kVerses = 140;

std::string twoDigits(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

// Floor division, so that numbers below 1 still name a (missing) file
// rather than wrapping around.
int floorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

media::SoundPlayer* effects(App& app) {
    return app.started() && app.backdrop().FXSnd1 ? app.backdrop().FXSnd1.get() : nullptr;
}

media::SoundPlayer* music(App& app) {
    return app.started() && app.backdrop().midiFXSnd ? app.backdrop().midiFXSnd.get() : nullptr;
}

const char* cueFile(int cue) {
    static const std::array<const char*, 19> files = {
        "ok.wav",       "err.wav",     "color.wav",  "begin.wav",   "gamestrt.wav",
        "victory.wav",  "chimes.wav",  nullptr,      "press.wav",   "click01.wav",
        "click02.wav",  "click03.wav", "return.wav", "entergm.wav", "cancel.wav",
        "help_snd.wav", "failed.wav",  "exit.wav",   "start.wav"};
    return cue >= 0 && cue < int(files.size()) ? files[std::size_t(cue)] : nullptr;
}

// Starts a whole file on the effect player.
void startFile(App& app, media::SoundPlayer& p, const std::string& file, bool repeat) {
    app.state.soundPlaying = -1;
    p.fileName = app.state.soundPath + file;
    if (repeat)
        p.setRepeat(true);
    p.setNotify(true);
    p.play();
}

} // namespace

// ---- the book's files -------------------------------------------------------------

std::u32string getVerse(App& app, std::int16_t n) {
    std::u32string blank(14, kBlank);
    if (n > 140) {
        app.fatal("Error found in words!");
        return blank;
    }
    const std::string path = app.state.appPath + "data\\tav.txt";
    const auto lines = readLines(path);
    if (!lines)
        return blank;
    return verseFromLines(*lines, path, n);
}

std::string getCharReading(App& app, std::int16_t n, std::int16_t k) {
    const std::string path = app.state.appPath + "data\\tav_snd.txt";
    const auto lines = readLines(path);
    if (!lines)
        return {};
    const std::size_t index = n > 1 ? std::size_t(n - 1) : 0;
    if (index >= lines->size()) {
        std::cerr << "shizi: " << displayPath(path) << " has no line " << index + 1 << "\n";
        return {};
    }
    return readingFromLine((*lines)[index], k);
}

VerseBook VerseBook::read(App& app, int upTo) {
    VerseBook book;
    upTo = std::clamp(upTo, 0, 140);
    const std::string versePath = app.state.appPath + "data\\tav.txt";
    const std::string readingPath = app.state.appPath + "data\\tav_snd.txt";
    const auto verseLines = readLines(versePath);
    const auto readingLines = readLines(readingPath);
    for (int v = 1; v <= upTo; ++v) {
        book.verses.push_back(verseLines ? verseFromLines(*verseLines, versePath, std::int16_t(v))
                                         : std::u32string(14, kBlank));
        std::array<std::string, 14> r;
        if (readingLines && std::size_t(v - 1) < readingLines->size())
            for (int k = 1; k <= 14; ++k)
                r[std::size_t(k - 1)] =
                    readingFromLine((*readingLines)[std::size_t(v - 1)], std::int16_t(k));
        book.readings.push_back(std::move(r));
    }
    return book;
}

char32_t VerseBook::character(int v, int p) const {
    if (v < 1 || v > verseCount() || p < 1 || p > 14)
        return 0;
    const std::u32string& s = verses[std::size_t(v - 1)];
    return std::size_t(p) <= s.size() ? s[std::size_t(p - 1)] : 0;
}

const std::string& VerseBook::reading(int v, int p) const {
    static const std::string none;
    if (v < 1 || v > verseCount() || p < 1 || p > 14)
        return none;
    return readings[std::size_t(v - 1)][std::size_t(p - 1)];
}

void loadMenuState(App& app) {
    const std::string path = savedFile(app.state, "data\\data.txt");
    const auto lines = readLines(path);
    if (!lines)
        return;
    if (lines->size() < 4)
        std::cerr << "shizi: " << displayPath(path) << " has fewer than four lines\n";
    // A missing line keeps the value in use rather than reading as 0; a
    // value the menu cannot show is named and replaced by its default.
    struct Field {
        std::int16_t* value;
        int lo, hi;
        std::int16_t fallback;
    };
    const Field fields[] = {{&app.state.bgPicCount, 0, kMaxBackgrounds, 0},
                            {&app.state.curFunc, 0, kFunctions - 1, 0},
                            {&app.state.curVerse, 1, kVerses, 1},
                            {&app.state.verseCount, 1, kVerses, 1}};
    for (std::size_t i = 0; i < 4 && i < lines->size(); ++i) {
        const Field& f = fields[i];
        *f.value = numberInRange(path, i + 1, (*lines)[i], f.lo, f.hi, f.fallback);
    }
}

void saveMenuState(App& app) {
    const auto old = readLines(savedFile(app.state, "data\\data.txt"));
    const std::string path = fileToSave(app.state, "data\\data.txt");
    std::string first = old && !old->empty() ? (*old)[0] : std::to_string(app.state.bgPicCount);
    writeLines(path, {first, std::to_string(app.state.curFunc), std::to_string(app.state.curVerse),
                      std::to_string(app.state.verseCount)});
}

// ---- sound ---------------------------------------------------------------------

bool startCue(App& app, std::int16_t cue) {
    media::SoundPlayer* p = effects(app);
    const char* file = cueFile(cue);
    if (!p || !file)
        return false;
    startFile(app, *p, file, cue == 6);
    return true;
}

void playSoundWait(App& app, std::int16_t cue) {
    stopSound(app);
    stopMusic(app);
    if (!startCue(app, cue))
        return;
    // The wait keeps the window painted but runs no handler or timer.
    app.runtime.sleep(int(effects(app)->lengthMs()));
}

void playVerse(App& app, std::int16_t n) {
    media::SoundPlayer* p = effects(app);
    if (!p || app.state.soundPlaying)
        return;
    char name[32];
    std::snprintf(name, sizeof name, "sd%03d.wav", int(n));
    startFile(app, *p, name, false);
}

void playCharSound(App& app, std::int16_t v, std::int16_t k) {
    media::SoundPlayer* p = effects(app);
    if (!p || app.state.soundPlaying)
        return;
    app.state.soundPlaying = -1;
    if (app.state.readAloud != 1) {
        startFile(app, *p, "start.wav", false);
        return;
    }
    // Each word file holds seven verses, 14 slots of 1.5 s per verse.
    const int fileNo = floorDiv(v - 1, 7) + 1;
    const int verseInFile = (v - 1) - floorDiv(v - 1, 7) * 7;
    const double start = double((k + verseInFile * 14) - 1) * 1500;
    p->fileName = app.state.soundPath + "word" + twoDigits(fileNo) + ".wav";
    p->setNotify(true);
    p->playRange(start, start + 1499);
}

void stopSound(App& app) {
    if (media::SoundPlayer* p = effects(app)) {
        p->setNotify(false);
        p->setRepeat(false);
        p->stop();
    }
    app.state.soundPlaying = 0;
}

void playMusic(App& app) {
    media::SoundPlayer* p = music(app);
    SharedState& g = app.state;
    if (!p || g.musicPlaying || g.soundPlaying)
        return;
    g.musicPlaying = -1;
    int r = drawRandom(app, 18);
    while (r == g.lastTune)
        r = drawRandom(app, 18);
    g.lastTune = std::int16_t(r);
    p->fileName = g.soundPath + "game" + twoDigits(r) + ".mid";
    p->setNotify(true);
    p->setRepeat(true);
    p->play();
}

void stopMusic(App& app) {
    if (media::SoundPlayer* p = music(app)) {
        p->setNotify(false);
        p->stop();
    }
    app.state.musicPlaying = 0;
}

void setVolume(App& app, std::int16_t level) {
    static const long volumes[] = {6000,  10000, 20000, 30000, 40000,
                                   45000, 50000, 55000, 60000, 65535};
    media::SoundPlayer* p = effects(app);
    if (p && level >= 1 && level <= 10)
        p->setVolume(volumes[level - 1]);
}

void returnToGameHub(App& app, ui::Form& caller) {
    app.state.pearlLevel = -1;
    stopMusic(app);
    queueSound(app, 12);
    app.load("gameFrm");
    caller.unload();
}

} // namespace core
