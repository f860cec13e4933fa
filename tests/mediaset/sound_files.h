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

// A PCM WAV file; nullopt if the RIFF structure or the format is broken.
inline std::optional<Wav> readWav(const fs::path& file) {
    const std::string s = readAll(file);
    if (s.size() < 12 || s.compare(0, 4, "RIFF") != 0 || s.compare(8, 4, "WAVE") != 0)
        return std::nullopt;
    if (le32(s, 4) + 8 != s.size())
        return std::nullopt;
    Wav w;
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
        } else if (id == "data") {
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
