// Readers for the book and sound files of the media set, independent of the
// program's own loaders: code page 936 text, WAV samples, MIDI and AVI
// structure.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iconv.h>
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

// Converts between encodings; nullopt if any byte sequence does not convert.
inline std::optional<std::string> convert(const std::string& text, const char* from,
                                          const char* to) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out(text.size() * 4 + 16, '\0');
    char* in = const_cast<char*>(text.data());
    size_t inLeft = text.size();
    char* dst = out.data();
    size_t outLeft = out.size();
    const size_t rc = iconv(cd, &in, &inLeft, &dst, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1) || inLeft != 0)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

inline std::u32string utf32(const std::string& utf8) {
    const auto raw = convert(utf8, "UTF-8", "UTF-32LE");
    std::u32string out;
    if (!raw)
        return out;
    for (size_t i = 0; i + 3 < raw->size(); i += 4)
        out += static_cast<char32_t>(static_cast<unsigned char>((*raw)[i]) |
                                     static_cast<unsigned char>((*raw)[i + 1]) << 8 |
                                     static_cast<unsigned char>((*raw)[i + 2]) << 16 |
                                     static_cast<unsigned char>((*raw)[i + 3]) << 24);
    return out;
}

inline std::string utf8(char32_t c) {
    std::string raw;
    for (int i = 0; i < 4; ++i)
        raw += static_cast<char>((c >> (8 * i)) & 0xFF);
    return convert(raw, "UTF-32LE", "UTF-8").value_or("?");
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

inline uint32_t le32(const std::string& s, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(s[at + static_cast<size_t>(i)]);
    return v;
}
inline unsigned le16(const std::string& s, size_t at) {
    return static_cast<unsigned char>(s[at]) | static_cast<unsigned char>(s[at + 1]) << 8;
}
inline uint32_t be32(const std::string& s, size_t at) {
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i)
        v = v << 8 | static_cast<unsigned char>(s[at + i]);
    return v;
}

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
