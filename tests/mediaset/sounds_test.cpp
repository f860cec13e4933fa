// The sound folder: speech files, cues, tunes and clips.
#include "mediaset/sound_files.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <optional>

namespace soundset {
namespace {

constexpr int kRate = 22050;

std::string numbered(const char* pattern, int n) {
    char buf[32];
    std::snprintf(buf, sizeof buf, pattern, n);
    return buf;
}

// The long speech files are IMA ADPCM, the short cues plain 16-bit PCM.
void expectFormat(const Wav& w, const std::string& name, bool speech = false) {
    EXPECT_EQ(w.format, speech ? 0x11 : 1) << name;
    EXPECT_EQ(w.channels, 1) << name;
    EXPECT_EQ(w.rate, kRate) << name;
    EXPECT_EQ(w.bits, speech ? 4 : 16) << name;
}

TEST(Sounds, CharacterFilesHave98SlotsOfExactlyOneAndAHalfSeconds) {
    const size_t slot = kRate * 3 / 2;
    for (int f = 1; f <= 20; ++f) {
        const std::string name = numbered("word%02d.wav", f);
        const auto w = readWav(soundDir() / name);
        ASSERT_TRUE(w) << name;
        expectFormat(*w, name, true);
        ASSERT_EQ(w->samples.size(), 98 * slot) << name << " is not 147.000 s";
        for (size_t s = 0; s < 98; ++s) {
            const size_t at = s * slot;
            // Every character is heard, starting within the first tenth of its slot ...
            EXPECT_GT(levelOf(w->samples, at, at + slot).rms, 0.02) << name << " slot " << s;
            EXPECT_GT(levelOf(w->samples, at, at + slot / 10).peak, 0.02) << name << " slot " << s;
            // ... and nothing sounds in the last 40 ms, so playing the
            // slot's range never catches the next character.
            EXPECT_LT(levelOf(w->samples, at + slot - kRate / 25, at + slot).peak, 0.002)
                << name << " slot " << s;
            EXPECT_LT(levelOf(w->samples, at, at + slot).peak, 0.99) << name << " slot " << s;
        }
    }
}

TEST(Sounds, RecitalsAreAudibleUnclippedAndPauseBetweenTheLines) {
    for (int v = 1; v <= 140; ++v) {
        const std::string name = numbered("sd%03d.wav", v);
        const auto w = readWav(soundDir() / name);
        ASSERT_TRUE(w) << name;
        expectFormat(*w, name, true);
        EXPECT_GT(w->seconds(), 4.0) << name;
        EXPECT_LT(w->seconds(), 14.0) << name;
        const Level all = levelOf(w->samples, 0, w->samples.size());
        EXPECT_GT(all.rms, 0.05) << name;
        EXPECT_LT(all.peak, 0.99) << name;
        // A stretch of a third of a second of silence in the middle part.
        const size_t window = kRate / 3, n = w->samples.size();
        bool pause = false;
        for (size_t at = n * 3 / 10; at + window < n * 7 / 10 && !pause; at += kRate / 50)
            pause = levelOf(w->samples, at, at + window).peak < 0.01;
        EXPECT_TRUE(pause) << name << " has no pause between its lines";
    }
}

// The starts of a timing file, or nothing when a line is not a number.
std::optional<std::vector<long>> timingOf(const fs::path& file) {
    int bare = 0;
    std::vector<long> out;
    for (const auto& line : crlfLines(readAll(file), bare)) {
        if (line.empty() || line.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        out.push_back(std::stol(line));
    }
    if (bare != 0)
        return std::nullopt;
    return out;
}

// Whether a syllable starts near `ms`: from some moment within 60 ms of it
// the level (10 ms windows) rises by half within the next 60 ms. The end of
// the last syllable or the lead-in is that moment; in the steady or fading
// middle of a syllable there is none. A soft consonant (h, m, n, l) that
// follows a vowel without a dip can start a syllable with no such rise, so
// a few starts are allowed to miss it.
bool syllableStartsNear(const std::vector<float>& s, long ms) {
    const long window = kRate / 100, step = kRate / 200, reach = kRate * 60 / 1000;
    const long at = ms * kRate / 1000, n = long(s.size());
    auto level = [&](long from) {
        from = std::clamp(from, 0L, n - window);
        return levelOf(s, size_t(from), size_t(from + window)).rms;
    };
    for (long q = at - reach; q <= at + reach; q += step) {
        const double quiet = level(q);
        for (long later = q + step; later <= q + reach; later += step)
            if (level(later) >= 1.5 * quiet + 0.002)
                return true;
    }
    return false;
}

TEST(Sounds, EachRecitalHasTheStartOfEachOfItsCharactersBesideIt) {
    // The check tells starts apart: 150 ms earlier, inside the syllable
    // before, most of the times fail it.
    int missed = 0, early = 0, checked = 0;
    std::string misses;
    for (int v = 1; v <= 140; ++v) {
        const std::string name = numbered("sd%03d", v);
        const auto w = readWav(soundDir() / (name + ".wav"));
        ASSERT_TRUE(w) << name;
        const auto starts = timingOf(soundDir() / (name + ".txt"));
        ASSERT_TRUE(starts) << name << ".txt is not one number a line, CR LF";
        ASSERT_EQ(starts->size(), 14u) << name;
        const double lengthMs = w->seconds() * 1000;
        int missedHere = 0;
        for (size_t k = 0; k < 14; ++k) {
            const long at = (*starts)[k];
            if (k > 0) {
                EXPECT_GT(at, (*starts)[k - 1]) << name << " character " << k + 1;
            }
            EXPECT_LT(at, lengthMs) << name << " character " << k + 1;
            if (!syllableStartsNear(w->samples, at)) {
                ++missedHere;
                misses += " " + name + "/" + std::to_string(k + 1);
            }
            if (k > 0) {
                early += syllableStartsNear(w->samples, at - 150);
                ++checked;
            }
        }
        EXPECT_LE(missedHere, 2) << name;
        missed += missedHere;
        // The second line starts after the pause between the lines.
        EXPECT_GT((*starts)[7] - (*starts)[6], 600) << name;
    }
    EXPECT_LE(missed, 140 * 14 / 100) << "no rise at" << misses;
    EXPECT_LT(early, checked / 4);
}

TEST(Sounds, CuesAreValidAudibleAndShortEnoughToWaitFor) {
    // name, longest length in seconds (cues 4 and 12 block the program while they play)
    const std::map<std::string, double> cues = {
        {"ok", 2.5},      {"err", 2.5},    {"color", 1.0},   {"begin", 5.0},   {"gamestrt", 3.0},
        {"victory", 4.0}, {"chimes", 3.0}, {"press", 0.5},   {"click01", 0.3}, {"click02", 0.6},
        {"click03", 0.3}, {"return", 1.0}, {"entergm", 3.5}, {"cancel", 0.8},  {"help_snd", 3.0},
        {"failed", 4.5},  {"exit", 7.0},   {"start", 1.2}};
    ASSERT_EQ(cues.size() + 1, 19u); // with cue 7, the character slots
    for (const auto& [cue, longest] : cues) {
        const std::string name = cue + ".wav";
        const auto w = readWav(soundDir() / name);
        ASSERT_TRUE(w) << name;
        expectFormat(*w, name);
        EXPECT_GT(w->seconds(), 0.03) << name;
        EXPECT_LE(w->seconds(), longest) << name;
        const Level l = levelOf(w->samples, 0, w->samples.size());
        EXPECT_GT(l.peak, 0.1) << name;
        EXPECT_LT(l.peak, 0.99) << name;
    }
}

TEST(Sounds, ChimesLoopWithoutASeam) {
    const auto w = readWav(soundDir() / "chimes.wav");
    ASSERT_TRUE(w);
    const auto& s = w->samples;
    ASSERT_GT(s.size(), 1000u);
    // The jump from the last sample to the first is no larger than the
    // wave's own steps, and both ends still ring.
    float largestStep = 0;
    for (size_t i = 1; i < s.size(); ++i)
        largestStep = std::max(largestStep, std::fabs(s[i] - s[i - 1]));
    EXPECT_LE(std::fabs(s.front() - s.back()), largestStep);
    EXPECT_GT(levelOf(s, s.size() - kRate / 20, s.size()).rms, 0.01);
    EXPECT_GT(levelOf(s, 0, kRate / 20).rms, 0.01);
}

struct MidiSummary {
    bool ok = false;
    int tracks = 0, notes = 0;
    std::vector<long> trackEnds;
    long barTicks = 0;
    bool hangingNotes = false;
};

unsigned long varLen(const std::string& s, size_t& p, size_t end) {
    unsigned long v = 0;
    for (int i = 0; i < 4 && p < end; ++i) {
        const auto c = static_cast<unsigned char>(s[p++]);
        v = v << 7 | (c & 0x7F);
        if (!(c & 0x80))
            return v;
    }
    throw std::runtime_error("bad length");
}

// Walks every event of a standard MIDI file.
MidiSummary readMidi(const fs::path& file) {
    MidiSummary m;
    const std::string s = readAll(file);
    if (s.size() < 14 || s.compare(0, 4, "MThd") != 0 || be32(s, 4) != 6)
        return m;
    const int format = static_cast<unsigned char>(s[8]) << 8 | static_cast<unsigned char>(s[9]);
    m.tracks = static_cast<unsigned char>(s[10]) << 8 | static_cast<unsigned char>(s[11]);
    const int division = static_cast<unsigned char>(s[12]) << 8 | static_cast<unsigned char>(s[13]);
    if (format > 1 || m.tracks < 1 || division <= 0 || division >= 0x8000)
        return m;
    size_t p = 14;
    try {
        for (int t = 0; t < m.tracks; ++t) {
            if (p + 8 > s.size() || s.compare(p, 4, "MTrk") != 0)
                return m;
            const size_t end = p + 8 + be32(s, p + 4);
            if (end > s.size())
                return m;
            p += 8;
            long tick = 0;
            int running = 0;
            bool ended = false;
            std::map<int, int> sounding;
            while (p < end && !ended) {
                tick += static_cast<long>(varLen(s, p, end));
                int status = static_cast<unsigned char>(s.at(p));
                if (status & 0x80)
                    ++p;
                else
                    status = running;
                if (status == 0xFF) {
                    const int type = static_cast<unsigned char>(s.at(p++));
                    const size_t len = varLen(s, p, end);
                    if (type == 0x2F)
                        ended = true;
                    if (type == 0x58 && len == 4) {
                        const int beats = static_cast<unsigned char>(s[p]);
                        const int unit = 1 << static_cast<unsigned char>(s[p + 1]);
                        m.barTicks = static_cast<long>(division) * 4 * beats / unit;
                    }
                    p += len;
                } else if (status == 0xF0 || status == 0xF7) {
                    p += varLen(s, p, end);
                } else if (status >= 0x80) {
                    running = status;
                    const int kind = status & 0xF0;
                    const int dataBytes = kind == 0xC0 || kind == 0xD0 ? 1 : 2;
                    const int key = (status & 0x0F) << 8 | static_cast<unsigned char>(s.at(p));
                    const int vel = dataBytes == 2 ? static_cast<unsigned char>(s.at(p + 1)) : 0;
                    if (kind == 0x90 && vel > 0) {
                        ++sounding[key];
                        ++m.notes;
                    } else if (kind == 0x80 || kind == 0x90) {
                        --sounding[key];
                    }
                    p += static_cast<size_t>(dataBytes);
                } else {
                    return m;
                }
            }
            if (!ended || p != end)
                return m;
            for (const auto& [key, count] : sounding)
                m.hangingNotes |= count != 0;
            m.trackEnds.push_back(tick);
        }
    } catch (const std::exception&) {
        return m;
    }
    m.ok = true;
    return m;
}

TEST(Sounds, TunesAreMidiFilesThatLoopOnAWholeBar) {
    std::vector<std::string> names = {"qhzt.mid"};
    for (int n = 1; n <= 18; ++n)
        names.push_back(numbered("game%02d.mid", n));
    for (const auto& name : names) {
        const MidiSummary m = readMidi(soundDir() / name);
        ASSERT_TRUE(m.ok) << name << " does not parse";
        EXPECT_GE(m.tracks, 2) << name << " has no accompaniment";
        EXPECT_GT(m.notes, 50) << name;
        EXPECT_FALSE(m.hangingNotes) << name;
        ASSERT_GT(m.barTicks, 0) << name << " has no meter";
        // All tracks end together on a bar line, so the repeat keeps the beat.
        for (long end : m.trackEnds) {
            EXPECT_EQ(end, m.trackEnds.front()) << name;
            EXPECT_EQ(end % m.barTicks, 0) << name;
        }
    }
}

TEST(Sounds, ClipsAreAviWithA104By72PictureAndSound) {
    for (const char* name : {"ok.avi", "err.avi"}) {
        const std::string s = readAll(soundDir() / name);
        ASSERT_GT(s.size(), 200u) << name;
        EXPECT_EQ(s.substr(0, 4), "RIFF") << name;
        EXPECT_EQ(s.substr(8, 4), "AVI ") << name;
        const size_t avih = s.find("avih");
        ASSERT_NE(avih, std::string::npos) << name;
        const double usPerFrame = le32(s, avih + 8);
        const double frames = le32(s, avih + 8 + 16);
        EXPECT_EQ(le32(s, avih + 8 + 32), 104u) << name;
        EXPECT_EQ(le32(s, avih + 8 + 36), 72u) << name;
        const double seconds = usPerFrame * frames / 1e6;
        EXPECT_GE(seconds, 1.2) << name;
        EXPECT_LE(seconds, 2.5) << name;
        EXPECT_NE(s.find("vids"), std::string::npos) << name;
        EXPECT_NE(s.find("auds"), std::string::npos) << name << " has no sound";
    }
}

} // namespace
} // namespace soundset
