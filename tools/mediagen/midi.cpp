#include "midi.h"

#include "book_io.h"
#include "mediagen.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

namespace mediagen {

namespace {

constexpr int kScale[7] = {0, 2, 4, 5, 7, 9, 11};
constexpr int kTicksPerQuarter = 480;

int noteNumber(const std::string& name) {
    // "C4" = 60, "Bb4", "F#3"
    static const std::map<char, int> base = {{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5},
                                             {'G', 7}, {'A', 9}, {'B', 11}};
    if (name.size() < 2 || !base.count(name[0]))
        throw std::runtime_error("bad key " + name);
    int n = base.at(name[0]);
    size_t i = 1;
    if (name[i] == '#')
        ++n, ++i;
    else if (name[i] == 'b')
        --n, ++i;
    if (i + 1 != name.size() || name[i] < '0' || name[i] > '8')
        throw std::runtime_error("bad key " + name);
    return n + 12 * (name[i] - '0' + 1);
}

// Length suffix: "_" halves, "." adds half.
double lengthOf(const std::string& tok, size_t from, const std::string& where) {
    double len = 1;
    for (size_t i = from; i < tok.size(); ++i) {
        if (tok[i] == '_')
            len /= 2;
        else if (tok[i] == '.')
            len *= 1.5;
        else
            throw std::runtime_error(where + ": bad token " + tok);
    }
    return len;
}

int romanDegree(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    static const char* names[] = {"I", "II", "III", "IV", "V", "VI", "VII"};
    for (int d = 0; d < 7; ++d)
        if (s == names[d])
            return d + 1;
    return 0;
}

void parseBars(Tune& t, const std::string& line, const std::string& where) {
    std::istringstream in(line);
    std::string tok;
    double barStart = t.quarters, pos = t.quarters;
    bool inBar = false;
    while (in >> tok) {
        if (tok == "|") {
            if (inBar) {
                if (std::fabs(pos - barStart - t.barQuarters()) > 1e-9)
                    throw std::runtime_error(where + ": a bar does not fill the meter");
                barStart = pos;
            }
            inBar = true;
            continue;
        }
        if (!inBar)
            throw std::runtime_error(where + ": notes before the first |");
        if (tok[0] == '-') {
            if (t.melody.empty())
                throw std::runtime_error(where + ": - with nothing to hold");
            const double len = lengthOf(tok, 1, where);
            t.melody.back().length += len;
            pos += len;
            continue;
        }
        size_t i = 0;
        int accidental = 0;
        if (tok[i] == '#' || tok[i] == 'b')
            accidental = tok[i++] == '#' ? 1 : -1;
        if (i >= tok.size() || tok[i] < '0' || tok[i] > '7')
            throw std::runtime_error(where + ": bad token " + tok);
        const int degree = tok[i++] - '0';
        int octave = 0;
        while (i < tok.size() && (tok[i] == '\'' || tok[i] == ','))
            octave += tok[i++] == '\'' ? 1 : -1;
        const double len = lengthOf(tok, i, where);
        TuneNote n;
        n.start = pos;
        n.length = len;
        n.pitch = degree == 0 ? 0 : t.key + kScale[degree - 1] + accidental + 12 * octave;
        t.melody.push_back(n);
        pos += len;
    }
    if (std::fabs(pos - barStart) > 1e-9)
        throw std::runtime_error(where + ": a bar line must close the line");
    t.quarters = pos;
}

void parseChords(Tune& t, const std::string& line, const std::string& where) {
    std::istringstream in(line);
    std::string tok;
    in >> tok; // "chords"
    while (in >> tok) {
        const double bar = t.chords.empty() ? 0 : t.chords.back().start + t.chords.back().length;
        std::vector<std::string> parts;
        std::string rest = tok;
        for (size_t slash; (slash = rest.find('/')) != std::string::npos;
             rest = rest.substr(slash + 1))
            parts.push_back(rest.substr(0, slash));
        parts.push_back(rest);
        if (parts.size() > 2)
            throw std::runtime_error(where + ": at most two chords a bar: " + tok);
        const double each = t.barQuarters() / static_cast<double>(parts.size());
        for (size_t p = 0; p < parts.size(); ++p) {
            std::string name = parts[p];
            TuneChord c;
            if (!name.empty() && name.back() == '7') {
                c.seventh = true;
                name.pop_back();
            }
            c.degree = romanDegree(name);
            if (c.degree == 0)
                throw std::runtime_error(where + ": bad chord " + tok);
            c.start = bar + each * static_cast<double>(p);
            c.length = each;
            t.chords.push_back(c);
        }
    }
}

void checkTune(const Tune& t) {
    const double chordEnd = t.chords.empty() ? 0 : t.chords.back().start + t.chords.back().length;
    if (t.melody.empty() || std::fabs(chordEnd - t.quarters) > 1e-9)
        throw std::runtime_error("tune " + t.file + ": chords do not match the bars");
}

} // namespace

std::vector<Tune> parseTunes(std::istream& in) {
    std::vector<Tune> tunes;
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        const std::string where = "tunes.txt line " + std::to_string(lineNo);
        std::istringstream words(line);
        std::string first;
        if (!(words >> first) || first[0] == '#')
            continue;
        if (first == "tune") {
            if (!tunes.empty())
                checkTune(tunes.back());
            Tune t;
            words >> t.file;
            std::getline(words, t.title);
            if (t.file.empty())
                throw std::runtime_error(where + ": tune without a file name");
            tunes.push_back(t);
            continue;
        }
        if (tunes.empty())
            throw std::runtime_error(where + ": text before the first tune");
        Tune& t = tunes.back();
        try {
            if (first == "|") {
                parseBars(t, line, where);
            } else if (first == "chords") {
                parseChords(t, line, where);
            } else {
                for (std::string kv = first; !kv.empty(); kv.clear(), words >> kv) {
                    const auto eq = kv.find('=');
                    if (eq == std::string::npos)
                        throw std::runtime_error(where + ": expected name=value: " + kv);
                    const std::string k = kv.substr(0, eq), v = kv.substr(eq + 1);
                    if (k == "key") {
                        t.key = noteNumber(v);
                    } else if (k == "meter") {
                        const auto slash = v.find('/');
                        t.beats = std::stoi(v.substr(0, slash));
                        t.beatUnit = std::stoi(v.substr(slash + 1));
                        if (t.beats < 2 || (t.beatUnit != 4 && t.beatUnit != 8))
                            throw std::runtime_error(where + ": bad meter " + v);
                    } else if (k == "tempo") {
                        t.tempo = std::stoi(v);
                    } else if (k == "lead") {
                        t.lead = std::stoi(v);
                    } else if (k == "band") {
                        t.band = std::stoi(v);
                    } else if (k == "gain") {
                        t.gain = std::stod(v);
                        if (!(t.gain >= -20 && t.gain <= 6))
                            throw std::runtime_error(where + ": gain out of -20..6 dB: " + v);
                    } else {
                        throw std::runtime_error(where + ": unknown setting " + k);
                    }
                }
                if (!t.melody.empty())
                    throw std::runtime_error(where + ": settings after the notes");
            }
        } catch (const std::invalid_argument&) {
            throw std::runtime_error(where + ": bad number");
        }
    }
    if (!tunes.empty())
        checkTune(tunes.back());
    return tunes;
}

namespace {

struct Event {
    long tick;
    int order; // note-offs before note-ons at the same tick
    std::string bytes;
};

std::string varLen(unsigned long v) {
    std::string out(1, static_cast<char>(v & 0x7F));
    while (v >>= 7)
        out.insert(out.begin(), static_cast<char>(0x80 | (v & 0x7F)));
    return out;
}

std::string be32(uint32_t v) {
    std::string s;
    for (int i = 3; i >= 0; --i)
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

std::string trackChunk(std::vector<Event> events, long endTick) {
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    std::string body;
    long now = 0;
    for (const Event& e : events) {
        body += varLen(static_cast<unsigned long>(e.tick - now)) + e.bytes;
        now = e.tick;
    }
    body += varLen(static_cast<unsigned long>(endTick - now)) + std::string("\xFF\x2F\x00", 3);
    return "MTrk" + be32(static_cast<uint32_t>(body.size())) + body;
}

long ticks(double quarters) {
    return std::lround(quarters * kTicksPerQuarter);
}

void addNote(std::vector<Event>& ev, int channel, int pitch, int velocity, double start,
             double length) {
    const long on = ticks(start), off = std::max(on + 1, ticks(start + length));
    ev.push_back({on,
                  1,
                  {static_cast<char>(0x90 | channel), static_cast<char>(pitch),
                   static_cast<char>(velocity)}});
    ev.push_back(
        {off,
         0,
         {static_cast<char>(0x80 | channel), static_cast<char>(pitch), static_cast<char>(0)}});
}

// The channel volume for `volume` (0..127) with `gain` dB added. General
// MIDI players attenuate by 40 log10(volume / 127) dB, so a gain scales the
// volume by 10^(gain / 40); it cannot rise past 127.
int channelVolume(int volume, double gain) {
    return std::clamp(static_cast<int>(std::lround(volume * std::pow(10.0, gain / 40.0))), 1, 127);
}

std::vector<Event> channelSetup(int channel, int program, int volume) {
    const auto c = static_cast<char>(channel);
    return {{0, -1, {static_cast<char>(0xC0 | c), static_cast<char>(program)}},
            {0, -1, {static_cast<char>(0xB0 | c), 7, static_cast<char>(volume)}},
            {0, -1, {static_cast<char>(0xB0 | c), 91, 40}}};
}

int scaleNote(const Tune& t, int degreeFromZero) {
    const int octave = degreeFromZero >= 0 ? degreeFromZero / 7 : -((6 - degreeFromZero) / 7);
    return t.key + kScale[degreeFromZero - 7 * octave] + 12 * octave;
}

} // namespace

std::string midiBytes(const Tune& t) {
    const long end = ticks(t.quarters);

    std::vector<Event> meta;
    const uint32_t usPerQuarter = 60000000u / static_cast<uint32_t>(t.tempo);
    meta.push_back({0, -2, std::string("\xFF\x51\x03", 3) + be32(usPerQuarter).substr(1)});
    int unitLog = 0;
    for (int u = t.beatUnit; u > 1; u /= 2)
        ++unitLog;
    meta.push_back({0, -2,
                    std::string("\xFF\x58\x04", 3) + static_cast<char>(t.beats) +
                        static_cast<char>(unitLog) + static_cast<char>(24) + static_cast<char>(8)});

    std::vector<Event> melody = channelSetup(0, t.lead, channelVolume(110, t.gain));
    for (const TuneNote& n : t.melody)
        if (n.pitch > 0)
            addNote(melody, 0, n.pitch, 96, n.start, n.length * 0.92);

    // Chords on channel 1 and a bass line on channel 2, in a pattern that
    // follows the meter: bass on the strong beats, chords between.
    std::vector<Event> band = channelSetup(1, t.band, channelVolume(80, t.gain));
    std::vector<Event> bass = channelSetup(2, 32, channelVolume(95, t.gain));
    std::vector<double> bassBeats, chordBeats;
    double step = 1;
    if (t.beatUnit == 8) { // compound: two dotted-quarter beats
        bassBeats = {0, 1.5};
        chordBeats = {0.5, 1.0, 2.0, 2.5};
        step = 0.5;
    } else if (t.beats == 3) {
        bassBeats = {0};
        chordBeats = {1, 2};
    } else {
        for (int b = 0; b < t.beats; ++b)
            (b % 2 == 0 ? bassBeats : chordBeats).push_back(b);
    }
    const double bar = t.barQuarters();
    for (const TuneChord& c : t.chords) {
        std::vector<int> tones;
        const int root = c.degree - 1;
        for (int k = 0; k < (c.seventh ? 4 : 3); ++k)
            tones.push_back(scaleNote(t, root + 2 * k) - 12);
        for (int& p : tones) // keep the chords in one comfortable octave
            while (p > t.key - 1)
                p -= 12;
        for (int& p : tones)
            while (p < t.key - 13)
                p += 12;
        int bassRoot = scaleNote(t, root) - 24;
        while (bassRoot > 52)
            bassRoot -= 12;
        while (bassRoot < 38)
            bassRoot += 12;
        const int bassFifth = bassRoot + 7 > 55 ? bassRoot - 5 : bassRoot + 7;
        const double barStart = std::floor(c.start / bar + 1e-9) * bar;
        int bassCount = 0;
        for (double b : bassBeats) {
            const double at = barStart + b;
            if (at < c.start - 1e-9 || at >= c.start + c.length - 1e-9)
                continue;
            const int pitch = (bassCount++ % 2 == 0 || t.beatUnit == 8) ? bassRoot : bassFifth;
            addNote(bass, 2, pitch, 84, at, step * 0.9);
        }
        for (double b : chordBeats) {
            const double at = barStart + b;
            if (at < c.start - 1e-9 || at >= c.start + c.length - 1e-9)
                continue;
            for (int p : tones)
                addNote(band, 1, p, 58, at, step * 0.8);
        }
    }

    std::string out = "MThd" + be32(6);
    out += std::string("\x00\x01\x00\x04", 4);
    out += static_cast<char>(kTicksPerQuarter >> 8);
    out += static_cast<char>(kTicksPerQuarter & 0xFF);
    out += trackChunk(meta, end);
    out += trackChunk(melody, end);
    out += trackChunk(band, end);
    out += trackChunk(bass, end);
    return out;
}

void writeTunes(const std::filesystem::path& soundDir) {
    const auto path = std::filesystem::path(SHIZI_SOURCE_DIR) / "media-src" / "tunes.txt";
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read " + path.string());
    for (const Tune& t : parseTunes(in))
        writeFileAtomic(soundDir / (t.file + ".mid"), midiBytes(t));
}

} // namespace mediagen
