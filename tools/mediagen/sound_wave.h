// Mono sample buffers at one rate for every sound of the media set, and the
// WAV files they come from and go to (PCM, 16 bit, mono, 22050 Hz).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace mediagen {

constexpr int kSampleRate = 22050;

struct Wave {
    std::vector<float> s; // -1..1

    double seconds() const { return static_cast<double>(s.size()) / kSampleRate; }
    static size_t frames(double seconds);

    // Mixes `other` in at `at` seconds, growing as needed.
    void mix(const Wave& other, double at, float gain = 1.0f);
    void append(const Wave& other) { mix(other, seconds()); }
    void appendSilence(double seconds);
    void scale(float gain);
    float peak() const;
    double rms() const;
};

// Samples at `rate` brought to kSampleRate (linear interpolation): sample i
// of the input lands at i * kSampleRate / rate.
Wave atSampleRate(std::vector<float> mono, int rate);
// Reads a PCM WAV file (8/16 bit, any channel count, any rate) as mono at
// kSampleRate; throws on a malformed file.
Wave readWav(const std::filesystem::path& file);
// 16-bit mono PCM at kSampleRate, samples clipped to the 16-bit range.
std::string wavBytes(const Wave& w);
void writeWav(const std::filesystem::path& file, const Wave& w);
// 4-bit IMA ADPCM at kSampleRate in blocks of kAdpcmBlock bytes, with the
// exact length in its fact chunk: a quarter of the size of 16-bit PCM, and
// speech sounds the same.
constexpr int kAdpcmBlock = 512;
constexpr int kAdpcmSamplesPerBlock = (kAdpcmBlock - 4) * 2 + 1;
std::string adpcmWavBytes(const Wave& w);
void writeAdpcmWav(const std::filesystem::path& file, const Wave& w);

// Cuts leading and trailing parts quieter than `threshold` (keeping a few
// milliseconds of the fade).
Wave trimSilence(const Wave& w, float threshold = 0.01f);
// How many frames trimSilence cuts from the front: times taken in `w` are
// that much earlier in the trimmed wave.
size_t silentLead(const Wave& w, float threshold = 0.01f);
// Scales to the given RMS, then lowers the gain if the peak would pass `maxPeak`.
void normalize(Wave& w, double targetRms, float maxPeak = 0.89f);
// Linear fades at the ends.
void fadeIn(Wave& w, double seconds);
void fadeOut(Wave& w, double seconds);
// Second-order low-pass (Butterworth) at `hz`, to soften a synthetic hiss.
void lowPass(Wave& w, double hz);
// Shortens to `seconds`, fading out the last `fade` seconds.
void fitTo(Wave& w, double seconds, double fade = 0.03);

} // namespace mediagen
