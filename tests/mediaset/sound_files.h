// Readers for the book and sound files of the media set, independent of the
// program's own loaders (code page 936 goes through the text library): text
// lines, WAV samples, MIDI and AVI structure.
#pragma once

#include "support/bytes.h"
#include "text/Text.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace soundset {

namespace fs = std::filesystem;

inline fs::path mediaDir() {
    return fs::path(SHIZI_MEDIA_DIR);
}
inline fs::path sourceDir() {
    return fs::path(SHIZI_SOURCE_DIR);
}
inline fs::path soundDir() {
    return mediaDir() / "sound";
}

inline std::string readAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Splits at CR LF; `bareLineFeeds` counts LF not preceded by CR.
inline std::vector<std::string> crlfLines(const std::string& text, int& bareLineFeeds) {
    std::vector<std::string> lines;
    bareLineFeeds = 0;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n')
            continue;
        if (i == 0 || text[i - 1] != '\r') {
            ++bareLineFeeds;
            continue;
        }
        lines.push_back(text.substr(start, i - 1 - start));
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start)); // unterminated last line
    return lines;
}

using support::be32;
using support::le16;
using support::le32;

struct Wav {
    int format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<float> samples; // first channel, -1..1

    double seconds() const { return rate ? static_cast<double>(samples.size()) / rate : 0; }
};

// Mono 4-bit IMA ADPCM blocks, as the speech files are stored; written from
// the format's published tables, independent of the generator's encoder.
inline std::vector<float> decodeImaAdpcm(const std::string& s, size_t at, size_t bytes,
                                         size_t blockAlign, size_t samplesPerBlock, size_t total) {
    static const int steps[89] = {
        7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
        25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
        88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
        307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
        1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
        3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
        12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
    static const int adjust[8] = {-1, -1, -1, -1, 2, 4, 6, 8};
    std::vector<float> out;
    for (size_t b = at; b + blockAlign <= at + bytes && out.size() < total; b += blockAlign) {
        int value = static_cast<int16_t>(le16(s, b));
        int index = std::min(88, static_cast<int>(static_cast<unsigned char>(s[b + 2])));
        out.push_back(static_cast<float>(value) / 32768.0f);
        for (size_t i = 1; i < samplesPerBlock && out.size() < total; ++i) {
            const unsigned char byte = static_cast<unsigned char>(s[b + 4 + (i - 1) / 2]);
            const int nibble = (i % 2 == 1) ? (byte & 15) : (byte >> 4);
            const int step = steps[index];
            int delta = step >> 3;
            if (nibble & 4)
                delta += step;
            if (nibble & 2)
                delta += step >> 1;
            if (nibble & 1)
                delta += step >> 2;
            value = std::clamp(value + ((nibble & 8) ? -delta : delta), -32768, 32767);
            index = std::clamp(index + adjust[nibble & 7], 0, 88);
            out.push_back(static_cast<float>(value) / 32768.0f);
        }
    }
    return out;
}

// A WAV file of 16-bit PCM or mono IMA ADPCM; nullopt if the RIFF structure
// or the format is broken.
inline std::optional<Wav> readWav(const fs::path& file) {
    const std::string s = readAll(file);
    if (s.size() < 12 || s.compare(0, 4, "RIFF") != 0 || s.compare(8, 4, "WAVE") != 0)
        return std::nullopt;
    if (le32(s, 4) + 8 != s.size())
        return std::nullopt;
    Wav w;
    size_t blockAlign = 0, samplesPerBlock = 0, factSamples = 0;
    bool haveFact = false;
    for (size_t pos = 12; pos + 8 <= s.size();) {
        const std::string id = s.substr(pos, 4);
        const size_t size = le32(s, pos + 4), body = pos + 8;
        if (body + size > s.size())
            return std::nullopt;
        if (id == "fmt " && size >= 16) {
            w.format = static_cast<int>(le16(s, body));
            w.channels = static_cast<int>(le16(s, body + 2));
            w.rate = static_cast<int>(le32(s, body + 4));
            w.bits = static_cast<int>(le16(s, body + 14));
            blockAlign = le16(s, body + 12);
            if (size >= 20)
                samplesPerBlock = le16(s, body + 18);
        } else if (id == "fact" && size >= 4) {
            factSamples = le32(s, body);
            haveFact = true;
        } else if (id == "data") {
            if (w.format == 0x11 && w.channels == 1 && w.bits == 4 && blockAlign > 4 &&
                samplesPerBlock == (blockAlign - 4) * 2 + 1 && haveFact) {
                w.samples = decodeImaAdpcm(s, body, size, blockAlign, samplesPerBlock, factSamples);
                if (w.samples.size() != factSamples)
                    return std::nullopt;
                return w;
            }
            if (w.format != 1 || w.bits != 16 || w.channels < 1)
                return std::nullopt;
            const size_t frame = 2 * static_cast<size_t>(w.channels);
            for (size_t i = 0; i + frame <= size; i += frame)
                w.samples.push_back(static_cast<float>(static_cast<int16_t>(le16(s, body + i))) /
                                    32768.0f);
            return w;
        }
        pos = body + size + (size & 1);
    }
    return std::nullopt;
}

struct Level {
    double rms = 0;
    float peak = 0;
};

inline Level levelOf(const std::vector<float>& s, size_t from, size_t to) {
    Level l;
    double sum = 0;
    to = std::min(to, s.size());
    for (size_t i = from; i < to; ++i) {
        sum += static_cast<double>(s[i]) * s[i];
        l.peak = std::max(l.peak, s[i] < 0 ? -s[i] : s[i]);
    }
    if (to > from)
        l.rms = std::sqrt(sum / static_cast<double>(to - from));
    return l;
}

} // namespace soundset
