#include "sound_synth.h"

#include <cmath>
#include <cstdint>

namespace mediagen::synth {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Partial {
    double ratio, amp, decay; // decay: e-folding time in seconds
};

} // namespace

double noteHz(int midiNote) {
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

Wave note(int midiNote, double seconds, Timbre t, float gain) {
    static const Partial bell[] = {
        {1, 1, 0.9}, {2, 0.5, 0.5}, {3, 0.25, 0.3}, {4.2, 0.2, 0.2}, {5.4, 0.1, 0.12}};
    static const Partial marimba[] = {{1, 1, 0.35}, {3.9, 0.35, 0.08}, {9.2, 0.12, 0.03}};
    static const Partial pluck[] = {{1, 1, 0.5}, {2, 0.45, 0.3}, {3, 0.25, 0.2}, {4, 0.12, 0.12}};
    static const Partial soft[] = {{1, 1, 0.6}, {2, 0.12, 0.4}};
    const Partial* parts = bell;
    size_t count = 5;
    double attack = 0.004;
    switch (t) {
    case Timbre::Bell:
        break;
    case Timbre::Marimba:
        parts = marimba, count = 3;
        break;
    case Timbre::Pluck:
        parts = pluck, count = 4;
        break;
    case Timbre::Soft:
        parts = soft, count = 2, attack = 0.02;
        break;
    }
    const double f = noteHz(midiNote);
    Wave w;
    w.s.resize(Wave::frames(seconds));
    double norm = 0;
    for (size_t p = 0; p < count; ++p)
        norm += parts[p].amp;
    for (size_t i = 0; i < w.s.size(); ++i) {
        const double time = static_cast<double>(i) / kSampleRate;
        double v = 0;
        for (size_t p = 0; p < count; ++p) {
            const double hz = f * parts[p].ratio;
            if (hz > kSampleRate / 2.2)
                continue;
            v += parts[p].amp * std::exp(-time / parts[p].decay) * std::sin(2 * kPi * hz * time);
        }
        const double env = std::min(1.0, time / attack);
        w.s[i] = static_cast<float>(v / norm * env * gain);
    }
    fadeOut(w, std::min(0.05, seconds / 4));
    return w;
}

Wave glide(double f0, double f1, double seconds, float gain) {
    Wave w;
    w.s.resize(Wave::frames(seconds));
    double phase = 0;
    for (size_t i = 0; i < w.s.size(); ++i) {
        const double x = static_cast<double>(i) / static_cast<double>(w.s.size());
        const double hz = f0 * std::pow(f1 / f0, x);
        phase += 2 * kPi * hz / kSampleRate;
        const double env = std::sin(kPi * x); // rises and falls smoothly
        w.s[i] =
            static_cast<float>((std::sin(phase) + 0.2 * std::sin(2 * phase)) * env * gain / 1.2);
    }
    return w;
}

Wave tick(double hz, double seconds, float gain) {
    Wave w;
    w.s.resize(Wave::frames(seconds));
    uint32_t seed = 12345;
    double lp = 0, phase = 0;
    for (size_t i = 0; i < w.s.size(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        const double noise = static_cast<double>(seed >> 8) / (1 << 24) * 2 - 1;
        lp += 0.3 * (noise - lp);
        phase += 2 * kPi * hz / kSampleRate;
        const double time = static_cast<double>(i) / kSampleRate;
        const double env = std::exp(-time / (seconds / 5));
        w.s[i] = static_cast<float>((0.6 * std::sin(phase) + 0.4 * lp) * env * gain);
    }
    fadeOut(w, seconds / 5);
    return w;
}

Wave phrase(std::initializer_list<Hit> hits, Timbre t, float gain) {
    Wave w;
    for (const Hit& h : hits)
        w.mix(note(h.note, h.seconds, t, gain), h.at);
    return w;
}

void makeLoop(Wave& w, double seconds) {
    const size_t n = Wave::frames(seconds);
    for (size_t i = n; i < w.s.size(); ++i)
        w.s[i % n] += w.s[i];
    w.s.resize(n, 0.0f);
}

} // namespace mediagen::synth
