#include "sound_wave.h"

#include "book_io.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace mediagen {

size_t Wave::frames(double seconds) {
    return seconds <= 0 ? 0 : static_cast<size_t>(std::lround(seconds * kSampleRate));
}

void Wave::mix(const Wave& other, double at, float gain) {
    const size_t start = frames(at);
    if (s.size() < start + other.s.size())
        s.resize(start + other.s.size(), 0.0f);
    for (size_t i = 0; i < other.s.size(); ++i)
        s[start + i] += other.s[i] * gain;
}

void Wave::appendSilence(double seconds) {
    s.resize(s.size() + frames(seconds), 0.0f);
}

void Wave::scale(float gain) {
    for (float& x : s)
        x *= gain;
}

float Wave::peak() const {
    float p = 0;
    for (float x : s)
        p = std::max(p, std::fabs(x));
    return p;
}

double Wave::rms() const {
    if (s.empty())
        return 0;
    double sum = 0;
    for (float x : s)
        sum += static_cast<double>(x) * x;
    return std::sqrt(sum / static_cast<double>(s.size()));
}

namespace {

uint32_t le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t le16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

void put32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void put16(std::string& out, uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

} // namespace

Wave atSampleRate(std::vector<float> mono, int rate) {
    Wave w;
    if (rate == kSampleRate) {
        w.s = std::move(mono);
        return w;
    }
    const double step = static_cast<double>(rate) / kSampleRate;
    for (double t = 0; t + 1 < static_cast<double>(mono.size()); t += step) {
        const auto i = static_cast<size_t>(t);
        const auto f = static_cast<float>(t - static_cast<double>(i));
        w.s.push_back(mono[i] * (1 - f) + mono[i + 1] * f);
    }
    return w;
}

Wave readWav(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file.string());
    const std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
    auto bad = [&](const char* why) { return std::runtime_error(file.string() + ": " + why); };
    if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
        std::string(b.begin() + 8, b.begin() + 12) != "WAVE")
        throw bad("not a RIFF WAVE file");
    int channels = 0, rate = 0, bits = 0;
    size_t pos = 12;
    while (pos + 8 <= b.size()) {
        const std::string id(b.begin() + pos, b.begin() + pos + 4);
        size_t size = le32(&b[pos + 4]);
        const size_t body = pos + 8;
        // Streamed files may carry a placeholder size; take what is there.
        size = std::min(size, b.size() - body);
        if (id == "fmt " && size >= 16) {
            if (le16(&b[body]) != 1)
                throw bad("not PCM");
            channels = le16(&b[body + 2]);
            rate = static_cast<int>(le32(&b[body + 4]));
            bits = le16(&b[body + 14]);
        } else if (id == "data") {
            if (channels < 1 || rate < 1 || (bits != 8 && bits != 16))
                throw bad("unsupported format");
            const size_t frameBytes = static_cast<size_t>(channels) * (bits / 8);
            const size_t n = size / frameBytes;
            std::vector<float> mono(n);
            for (size_t i = 0; i < n; ++i) {
                float sum = 0;
                for (int c = 0; c < channels; ++c) {
                    const unsigned char* p = &b[body + i * frameBytes + c * (bits / 8)];
                    sum += bits == 8 ? (static_cast<float>(p[0]) - 128.0f) / 128.0f
                                     : static_cast<float>(static_cast<int16_t>(le16(p))) / 32768.0f;
                }
                mono[i] = sum / static_cast<float>(channels);
            }
            return atSampleRate(std::move(mono), rate);
        }
        pos = body + size + (size & 1);
    }
    throw bad("no data chunk");
}

std::string wavBytes(const Wave& w) {
    std::string out;
    const auto dataBytes = static_cast<uint32_t>(w.s.size() * 2);
    out += "RIFF";
    put32(out, 36 + dataBytes);
    out += "WAVEfmt ";
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, 1); // mono
    put32(out, kSampleRate);
    put32(out, kSampleRate * 2);
    put16(out, 2);
    put16(out, 16);
    out += "data";
    put32(out, dataBytes);
    out.reserve(out.size() + dataBytes);
    for (float x : w.s) {
        const long v = std::lround(std::clamp(x, -1.0f, 1.0f) * 32767.0f);
        put16(out, static_cast<uint16_t>(static_cast<int16_t>(v)));
    }
    return out;
}

void writeWav(const std::filesystem::path& file, const Wave& w) {
    writeFileAtomic(file, wavBytes(w));
}

namespace {

constexpr int kImaSteps[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
constexpr int kImaIndex[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

struct ImaEncoder {
    int predicted = 0, index = 0;
    unsigned encode(int sample) {
        int diff = sample - predicted;
        unsigned nibble = 0;
        if (diff < 0) {
            nibble = 8;
            diff = -diff;
        }
        int step = kImaSteps[index];
        int delta = step >> 3;
        for (unsigned bit = 4; bit >= 1; bit >>= 1) {
            if (diff >= step) {
                nibble |= bit;
                diff -= step;
                delta += step;
            }
            step >>= 1;
        }
        predicted = std::clamp(predicted + ((nibble & 8) ? -delta : delta), -32768, 32767);
        index = std::clamp(index + kImaIndex[nibble], 0, 88);
        return nibble;
    }
};

} // namespace

std::string adpcmWavBytes(const Wave& w) {
    std::vector<int> pcm;
    pcm.reserve(w.s.size());
    for (float x : w.s)
        pcm.push_back(int(std::lround(std::clamp(x, -1.0f, 1.0f) * 32767.0f)));
    const size_t blocks = (pcm.size() + kAdpcmSamplesPerBlock - 1) / kAdpcmSamplesPerBlock;
    // The last block is filled up with silence; the fact chunk keeps the length.
    pcm.resize(blocks * kAdpcmSamplesPerBlock, 0);
    const auto dataBytes = static_cast<uint32_t>(blocks * kAdpcmBlock);
    std::string out;
    out += "RIFF";
    put32(out, 4 + 8 + 20 + 8 + 4 + 8 + dataBytes);
    out += "WAVEfmt ";
    put32(out, 20);
    put16(out, 0x11); // IMA ADPCM
    put16(out, 1);
    put32(out, kSampleRate);
    put32(out, static_cast<uint32_t>(
                   std::lround(double(kSampleRate) * kAdpcmBlock / kAdpcmSamplesPerBlock)));
    put16(out, kAdpcmBlock);
    put16(out, 4);
    put16(out, 2);
    put16(out, kAdpcmSamplesPerBlock);
    out += "fact";
    put32(out, 4);
    put32(out, static_cast<uint32_t>(w.s.size()));
    out += "data";
    put32(out, dataBytes);
    ImaEncoder enc;
    for (size_t b = 0; b < blocks; ++b) {
        const int* s = pcm.data() + b * kAdpcmSamplesPerBlock;
        // Each block starts afresh from its first sample, stored whole.
        enc.predicted = s[0];
        put16(out, static_cast<uint16_t>(static_cast<int16_t>(s[0])));
        out.push_back(static_cast<char>(enc.index));
        out.push_back(0);
        for (int i = 1; i < kAdpcmSamplesPerBlock; i += 2) {
            const unsigned lo = enc.encode(s[i]);
            const unsigned hi = enc.encode(s[i + 1]);
            out.push_back(static_cast<char>(lo | hi << 4));
        }
    }
    return out;
}

void writeAdpcmWav(const std::filesystem::path& file, const Wave& w) {
    writeFileAtomic(file, adpcmWavBytes(w));
}

namespace {

// What trimSilence keeps of the fade before and after the sound.
size_t fadeKept() {
    return Wave::frames(0.01);
}

} // namespace

size_t silentLead(const Wave& w, float threshold) {
    size_t first = 0;
    while (first < w.s.size() && std::fabs(w.s[first]) < threshold)
        ++first;
    return first > fadeKept() ? first - fadeKept() : 0;
}

Wave trimSilence(const Wave& w, float threshold) {
    const size_t first = silentLead(w, threshold);
    size_t last = w.s.size();
    while (last > first && std::fabs(w.s[last - 1]) < threshold)
        --last;
    last = std::min(w.s.size(), last + fadeKept());
    Wave out;
    out.s.assign(w.s.begin() + static_cast<long>(first), w.s.begin() + static_cast<long>(last));
    fadeIn(out, 0.005);
    fadeOut(out, 0.01);
    return out;
}

void normalize(Wave& w, double targetRms, float maxPeak) {
    const double r = w.rms();
    if (r <= 0)
        return;
    double gain = targetRms / r;
    const float p = w.peak();
    if (p * gain > maxPeak)
        gain = maxPeak / p;
    w.scale(static_cast<float>(gain));
}

void fadeIn(Wave& w, double seconds) {
    const size_t n = std::min(w.s.size(), Wave::frames(seconds));
    for (size_t i = 0; i < n; ++i)
        w.s[i] *= static_cast<float>(i) / static_cast<float>(n);
}

void fadeOut(Wave& w, double seconds) {
    const size_t n = std::min(w.s.size(), Wave::frames(seconds));
    for (size_t i = 0; i < n; ++i)
        w.s[w.s.size() - 1 - i] *= static_cast<float>(i) / static_cast<float>(n);
}

void lowPass(Wave& w, double hz) {
    const double k = std::tan(3.14159265358979323846 * hz / kSampleRate);
    const double q = 1 / std::sqrt(2.0);
    const double norm = 1 / (1 + k / q + k * k);
    const double a0 = k * k * norm, a1 = 2 * a0, a2 = a0;
    const double b1 = 2 * (k * k - 1) * norm, b2 = (1 - k / q + k * k) * norm;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (float& v : w.s) {
        const double x = v;
        const double y = a0 * x + a1 * x1 + a2 * x2 - b1 * y1 - b2 * y2;
        x2 = x1, x1 = x, y2 = y1, y1 = y;
        v = static_cast<float>(y);
    }
}

void fitTo(Wave& w, double seconds, double fade) {
    const size_t n = Wave::frames(seconds);
    if (w.s.size() <= n)
        return;
    w.s.resize(n);
    fadeOut(w, fade);
}

} // namespace mediagen
