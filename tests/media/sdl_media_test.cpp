// The real players, heard through SDL's disk audio driver: what reaches the
// device is compared with the file. These tests run the loop on the steady
// clock for well under a second each.
#include "MediaTestKit.h"
#include "media/AudioPlayers.h"
#include "media/SoundFile.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>

using namespace media;

namespace {

struct RealLoop {
    mediatest::NullDisplay display;
    ui::SteadyClock clock;
    mediatest::NullFonts fonts;
    mediatest::NoImages images;
    ui::Runtime rt{display, clock, fonts, images};
    // Runs the loop until quit() or `limitMs` of real time.
    void runFor(double limitMs) {
        const int guard = rt.at(rt.now() + ui::ms(limitMs), [this] { rt.quit(); });
        rt.run();
        rt.cancel(guard);
    }
    // Runs the loop until `done` holds (checked every 20 ms) or `limitMs`.
    void runUntil(const std::function<bool()>& done, double limitMs) {
        std::function<void()> check = [&] {
            if (done())
                rt.quit();
            else
                rt.at(rt.now() + ui::ms(20), check);
        };
        rt.at(rt.now(), check);
        runFor(limitMs);
    }
};

std::vector<std::int16_t> readRaw(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::vector<char> b((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    std::vector<std::int16_t> s(b.size() / 2);
    std::memcpy(s.data(), b.data(), s.size() * 2);
    return s;
}

// Microseconds from play() to the first mixed buffer that holds sound.
std::atomic<std::int64_t> playedAt{0}, firstSoundAt{0};
std::int64_t nowUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
void postMix(void*, Uint8* stream, int len) {
    if (firstSoundAt.load() || !playedAt.load())
        return;
    const auto* s = reinterpret_cast<const std::int16_t*>(stream);
    for (int i = 0; i < len / 2; ++i)
        if (s[i]) {
            firstSoundAt = nowUs();
            return;
        }
}

struct DiskAudio : ::testing::Test {
    mediatest::TempDir dir;
    std::string out = dir.file("out.raw");
    void SetUp() override {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
        playedAt = 0;
        firstSoundAt = 0;
    }
    void TearDown() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }
};

TEST_F(DiskAudio, RangePlaysExactlyTheSamplesOfItsSlot) {
    // One second of 44.1 kHz stereo, every sample telling its own position.
    const int rate = 44100;
    std::vector<std::int16_t> pcm(std::size_t(rate) * 2);
    for (int i = 0; i < rate; ++i) {
        pcm[2 * i] = std::int16_t(i % 20000 + 1);
        pcm[2 * i + 1] = std::int16_t(-(i * 7 % 20000) - 1);
    }
    mediatest::writeWav(dir.file("slots.wav"), rate, 2, pcm);
    {
        RealLoop loop;
        auto backend =
            createAudioBackend(platform::createAudioDevice({rate, 1024, platform::kSoundFont}));
        auto fx = backend->createPlayer(loop.rt);
        int ends = 0;
        fx->onEnd = [&] {
            ++ends;
            loop.rt.quit();
        };
        fx->fileName = dir.file("slots.wav");
        fx->setNotify(true);
        Mix_SetPostMix(postMix, nullptr);
        playedAt = nowUs();
        fx->playRange(200, 399);
        loop.runFor(2000);
        EXPECT_EQ(ends, 1);
        ASSERT_GT(firstSoundAt.load(), 0);
        std::printf("play to first mixed sample: %.1f ms (+ one %d-sample buffer)\n",
                    double(firstSoundAt - playedAt) / 1000.0, 1024);
        Mix_SetPostMix(nullptr, nullptr);
        fx.reset();
    } // closing the device flushes the last buffer to the file
    const auto heard = readRaw(out);
    std::size_t first = 0;
    while (first < heard.size() && heard[first] == 0)
        ++first;
    ASSERT_LT(first, heard.size()) << "nothing was heard";
    const std::size_t begin = std::size_t(rate) / 5 * 2, count = std::size_t(rate) / 5 * 2;
    ASSERT_GE(heard.size() - first, count);
    for (std::size_t i = 0; i < count; ++i)
        ASSERT_EQ(heard[first + i], pcm[begin + i]) << "sample " << i;
    for (std::size_t i = first + count; i < heard.size(); ++i)
        ASSERT_EQ(heard[i], 0) << "sound after the slot at " << i - first - count;
}

TEST_F(DiskAudio, CompressedSpeechPlaysExactlyItsSlotFromWithinABlock) {
    // Speech files are IMA ADPCM: a range starting inside a block must still
    // start on its own sample and stop on its last.
    const int rate = 22050;
    std::vector<std::int16_t> pcm(static_cast<std::size_t>(rate));
    for (int i = 0; i < rate; ++i)
        pcm[std::size_t(i)] = std::int16_t(9000 + (i % 400) * 10); // never near 0
    mediatest::writeWav(dir.file("plain.wav"), rate, 1, pcm);
    const std::string adpcm = dir.file("speech.wav"), ref = dir.file("ref.wav");
    ASSERT_EQ(std::system(("sox -q " + dir.file("plain.wav") + " -e ima-adpcm " + adpcm).c_str()),
              0);
    ASSERT_EQ(std::system(("sox -q " + adpcm + " -e signed -b 16 " + ref).c_str()), 0);
    WavInfo info;
    ASSERT_TRUE(readWavInfo(adpcm, info));
    EXPECT_EQ(info.format, WavInfo::ImaAdpcm);
    EXPECT_EQ(info.frames, std::uint64_t(rate));
    EXPECT_NEAR(double(soundLengthMs(adpcm)), 1000.0, 1.0);
    WavInfo refInfo;
    ASSERT_TRUE(readWavInfo(ref, refInfo));
    std::vector<std::int16_t> decoded(static_cast<std::size_t>(rate));
    {
        std::ifstream f(ref, std::ios::binary);
        f.seekg(std::streamoff(refInfo.dataOffset));
        f.read(reinterpret_cast<char*>(decoded.data()), std::streamsize(decoded.size() * 2));
    }
    {
        RealLoop loop;
        auto backend =
            createAudioBackend(platform::createAudioDevice({rate, 1024, platform::kSoundFont}));
        auto fx = backend->createPlayer(loop.rt);
        fx->onEnd = [&] { loop.rt.quit(); };
        fx->fileName = adpcm;
        fx->setNotify(true);
        fx->playRange(300, 499); // frame 6615: inside a block
        loop.runFor(2000);
        fx.reset();
    }
    const auto heard = readRaw(out);
    std::size_t first = 0;
    while (first < heard.size() && heard[first] == 0)
        ++first;
    const std::size_t begin = std::size_t(rate) * 3 / 10, count = std::size_t(rate) / 5;
    ASSERT_GE(heard.size() - first, 2 * count) << "the slot is cut short";
    for (std::size_t i = 0; i < count; ++i)
        ASSERT_EQ(heard[first + 2 * i], decoded[begin + i]) << "sample " << i;
    for (std::size_t i = first + 2 * count; i < heard.size(); ++i)
        ASSERT_EQ(heard[i], 0) << "sound after the slot at " << i - first - 2 * count;
}

TEST_F(DiskAudio, MidiTunePlaysThroughTheSoundFont) {
    if (!std::filesystem::exists(platform::kSoundFont))
        GTEST_SKIP() << "no General MIDI soundfont installed";
    mediatest::writeMidi(dir.file("tune.mid"), 8);
    RealLoop loop;
    auto backend =
        createAudioBackend(platform::createAudioDevice({44100, 1024, platform::kSoundFont}));
    auto music = backend->createPlayer(loop.rt);
    music->fileName = dir.file("tune.mid");
    music->setRepeat(true);
    music->setNotify(true);
    EXPECT_EQ(music->lengthMs(), 4000);
    Mix_SetPostMix(postMix, nullptr);
    playedAt = nowUs();
    music->play();
    // Loading the soundfont takes seconds; the loop must not wait for it.
    EXPECT_LT(nowUs() - playedAt, 100000);
    loop.runUntil([] { return firstSoundAt.load() != 0; }, 10000);
    ASSERT_GT(firstSoundAt.load(), 0) << "the tune made no sound";
    std::printf("MIDI play to first mixed sample: %.1f ms\n",
                double(firstSoundAt - playedAt) / 1000.0);
    Mix_SetPostMix(nullptr, nullptr);
}

TEST(NoSoundFont, TunesKeepTheirTimeSilently) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    mediatest::Loop loop;
    mediatest::TempDir dir;
    mediatest::writeMidi(dir.file("tune.mid"), 3);
    auto backend =
        createAudioBackend(platform::createAudioDevice({44100, 1024, dir.file("none.sf2")}));
    auto music = backend->createPlayer(loop.rt);
    int ends = 0;
    music->onEnd = [&] { ++ends; };
    music->setNotify(true);
    music->fileName = dir.file("tune.mid");
    music->play();
    loop.rt.advance(1499);
    EXPECT_EQ(ends, 0);
    loop.rt.advance(1);
    EXPECT_EQ(ends, 1);

    music->setRepeat(true);
    music->play();
    loop.rt.advance(10000);
    EXPECT_EQ(ends, 1);
    music->stop();
    loop.rt.advance(10000);
    EXPECT_EQ(ends, 1);
}

TEST(DeviceOpening, WaitsForPrepareOrTheFirstUseAndStoppingDoesNotOpenIt) {
    // The first screen must not wait for the sound card: the device opens
    // when the program asks, or when something first needs it.
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "an earlier test left the audio open";
    {
        auto device = platform::createAudioDevice({44100, 1024, platform::kSoundFont});
        device->halt(3);
        device->haltTune();
        device->setVolume(3, 1000);
        EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
        device->prepare();
        EXPECT_NE(SDL_WasInit(SDL_INIT_AUDIO), 0u);
        EXPECT_TRUE(device->usable());
        EXPECT_EQ(device->format().frequency, 44100);
    }
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    {
        auto device = platform::createAudioDevice({22050, 1024, platform::kSoundFont});
        EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
        EXPECT_EQ(device->format().frequency, 22050); // the first use opens it
        mediatest::TempDir dir;
        mediatest::writeWavMs(dir.file("ok.wav"), 100);
        EXPECT_NE(device->loadSound(dir.file("ok.wav")), nullptr);
    }
}

TEST(NoDevice, LoadingAndPlayingFailWithAReason) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    auto device = platform::createAudioDevice();
    mediatest::TempDir dir;
    mediatest::writeWavMs(dir.file("ok.wav"), 100);
    EXPECT_FALSE(device->usable());
    EXPECT_EQ(device->loadSound(dir.file("ok.wav")), nullptr);
    EXPECT_EQ(device->lastError(), "no audio device");
    std::string error;
    EXPECT_EQ(device->loadTune(dir.file("ok.wav"), error), nullptr);
    EXPECT_EQ(error, "no audio device");
    EXPECT_EQ(device->fromSamples({0, 0, 0, 0}), nullptr);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

TEST(NoDevice, PlayersKeepTheFilesTimeSilently) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    mediatest::Loop loop;
    mediatest::TempDir dir;
    mediatest::writeWavMs(dir.file("ok.wav"), 700);
    mediatest::writeMidi(dir.file("tune.mid"), 2);
    auto backend = createAudioBackend(platform::createAudioDevice());
    auto fx = backend->createPlayer(loop.rt);
    std::vector<double> ends;
    fx->onEnd = [&] { ends.push_back(double(loop.rt.now()) / 1000.0); };
    fx->setNotify(true);
    fx->fileName = dir.file("ok.wav");
    fx->play();
    loop.rt.advance(699);
    EXPECT_TRUE(ends.empty());
    loop.rt.advance(1);
    ASSERT_EQ(ends.size(), 1u);

    fx->playRange(500, 1999); // 200 ms exist
    loop.rt.advance(200);
    EXPECT_EQ(ends.size(), 2u);

    fx->fileName = dir.file("tune.mid");
    fx->play();
    loop.rt.advance(1000);
    EXPECT_EQ(ends.size(), 3u);

    fx->fileName = dir.file("gone.wav");
    fx->play();
    EXPECT_EQ(ends.size(), 3u);
    loop.rt.advance(0);
    EXPECT_EQ(ends.size(), 4u);

    fx->fileName = dir.file("ok.wav");
    fx->setRepeat(true);
    fx->play();
    loop.rt.advance(5000);
    EXPECT_EQ(ends.size(), 4u);
    fx->stop();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
}

} // namespace

namespace {

// A tune whose only track claims 0xFFFFFFFF bytes, 522 bytes in all.
std::vector<unsigned char> lyingMidi(const std::string& goodFile) {
    std::ifstream f(goodFile, std::ios::binary);
    std::vector<unsigned char> b((std::istreambuf_iterator<char>(f)),
                                 std::istreambuf_iterator<char>());
    for (int i = 18; i < 22; ++i)
        b[std::size_t(i)] = 0xFF;
    b.resize(522, 0x4E);
    return b;
}

} // namespace

TEST(DamagedTunes, ChunksAreCheckedAgainstTheFilesSize) {
    mediatest::TempDir dir;
    mediatest::writeMidi(dir.file("good.mid"), 4);
    EXPECT_EQ(midiDamage(dir.file("good.mid")), "");
    const auto lying = lyingMidi(dir.file("good.mid"));
    EXPECT_EQ(midiDamage(lying), "a chunk claims 4294967295 bytes where the file has 500 left");

    std::ifstream f(dir.file("good.mid"), std::ios::binary);
    const std::vector<unsigned char> good((std::istreambuf_iterator<char>(f)),
                                          std::istreambuf_iterator<char>());
    auto unnamed = good;
    unnamed[14] = 0x01;
    EXPECT_NE(midiDamage(unnamed).find("has no name"), std::string::npos);
    auto twoTracks = good;
    twoTracks[11] = 2;
    EXPECT_EQ(midiDamage(twoTracks), "it holds 1 of the 2 tracks its header announces");
    auto shortHead = good;
    shortHead[7] = 200;
    EXPECT_FALSE(midiDamage(shortHead).empty());
    // Stray bytes after the last chunk are no harm.
    auto padded = good;
    padded.insert(padded.end(), {0, 0, 0});
    EXPECT_EQ(midiDamage(padded), "");
}

// Through the real mixer and synthesizer: the lying tune never reaches them,
// the player ends at once with one line, and the loop goes on.
TEST(DamagedTunes, ALyingTuneIsRefusedWithOneLineAndNeverFreezesTheLoop) {
    if (!std::filesystem::exists(platform::kSoundFont))
        GTEST_SKIP() << "no General MIDI soundfont installed";
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    mediatest::TempDir dir;
    mediatest::writeMidi(dir.file("good.mid"), 4);
    const auto lying = lyingMidi(dir.file("good.mid"));
    std::ofstream(dir.file("game01.mid"), std::ios::binary)
        .write(reinterpret_cast<const char*>(lying.data()), std::streamsize(lying.size()));

    RealLoop loop;
    auto backend =
        createAudioBackend(platform::createAudioDevice({44100, 1024, platform::kSoundFont}));
    auto music = backend->createPlayer(loop.rt);
    int ends = 0;
    // The hub starts its tune again each time one ends.
    music->onEnd = [&] {
        if (++ends < 3)
            loop.rt.at(loop.rt.now(), [&] { music->play(); });
        else
            loop.rt.quit();
    };
    music->setNotify(true);
    music->fileName = dir.file("game01.mid");
    testing::internal::CaptureStderr();
    const auto t0 = std::chrono::steady_clock::now();
    music->play();
    loop.runFor(3000);
    music->stop();
    const auto took = std::chrono::steady_clock::now() - t0;
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(ends, 3);
    EXPECT_LT(took, std::chrono::seconds(2));
    EXPECT_EQ(err, "sound: " + dir.file("game01.mid") +
                       " is not played: a chunk claims 4294967295 bytes where the file has 500 "
                       "left\n");
}
