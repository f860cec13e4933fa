#include "MediaTestKit.h"

#include "support/bytes.h"

#include <condition_variable>
#include <mutex>
#include <random>

namespace mediatest {

namespace {
std::mutex wakeMutex;
std::condition_variable wakeCv;
bool woken = false;
} // namespace

// The real-sound tests run the loop on a steady clock: it must sleep until
// posted work arrives instead of spinning.
bool NullDisplay::waitEvent(platform::InputEvent&, int timeoutMs) {
    std::unique_lock lock(wakeMutex);
    if (timeoutMs < 0)
        wakeCv.wait(lock, [] { return woken; });
    else
        wakeCv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [] { return woken; });
    woken = false;
    return false;
}

void NullDisplay::wake() {
    {
        std::lock_guard lock(wakeMutex);
        woken = true;
    }
    wakeCv.notify_all();
}

TempDir::TempDir() {
    std::random_device rd;
    path = std::filesystem::temp_directory_path() / ("shizi-media-" + std::to_string(rd()));
    std::filesystem::create_directories(path);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
}

void writeWav(const std::string& path, int rate, int channels,
              const std::vector<std::int16_t>& samples) {
    using support::put16;
    using support::put32;
    const std::uint32_t bytes = std::uint32_t(samples.size() * 2);
    support::Bytes b{'R', 'I', 'F', 'F'};
    put32(b, 36 + bytes);
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(b, 16);
    put16(b, 1);
    put16(b, std::uint32_t(channels));
    put32(b, std::uint32_t(rate));
    put32(b, std::uint32_t(rate * channels * 2));
    put16(b, std::uint32_t(channels * 2));
    put16(b, 16);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    put32(b, bytes);
    for (std::int16_t s : samples)
        put16(b, std::uint16_t(s));
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

void writeWavMs(const std::string& path, int ms) {
    std::vector<std::int16_t> s(std::size_t(11025) * ms / 1000);
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] = std::int16_t(i % 200);
    writeWav(path, 11025, 1, s);
}

void writeMidi(const std::string& path, int notes) {
    std::vector<unsigned char> trk;
    auto vlq = [&](std::uint32_t v) {
        unsigned char buf[4];
        int n = 0;
        buf[n++] = v & 0x7F;
        while (v >>= 7)
            buf[n++] = 0x80 | (v & 0x7F);
        while (n)
            trk.push_back(buf[--n]);
    };
    vlq(0);
    trk.insert(trk.end(), {0xFF, 0x51, 3, 0x07, 0xA1, 0x20}); // 500000 us a quarter
    vlq(0);
    trk.insert(trk.end(), {0xC0, 0}); // piano
    for (int i = 0; i < notes; ++i) {
        vlq(0);
        trk.insert(trk.end(), {0x90, 60, 110});
        vlq(480);
        trk.insert(trk.end(), {0x80, 60, 0});
    }
    vlq(0);
    trk.insert(trk.end(), {0xFF, 0x2F, 0});
    std::ofstream f(path, std::ios::binary);
    const unsigned char head[] = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0};
    f.write(reinterpret_cast<const char*>(head), sizeof head);
    f.write("MTrk", 4);
    const std::uint32_t n = std::uint32_t(trk.size());
    const unsigned char len[] = {(unsigned char)(n >> 24), (unsigned char)(n >> 16),
                                 (unsigned char)(n >> 8), (unsigned char)n};
    f.write(reinterpret_cast<const char*>(len), 4);
    f.write(reinterpret_cast<const char*>(trk.data()), std::streamsize(trk.size()));
}

} // namespace mediatest
