// The players and the clip player over fake platform services: what they ask
// of the audio device and the video decoder, and when they end, on a manual
// clock.
#include "MediaTestKit.h"
#include "media/AudioPlayers.h"
#include "media/VideoBackend.h"
#include "media/VideoPlayer.h"
#include "support/bytes.h"
#include "ui/Form.h"

#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

using namespace media;

namespace {

struct FakeSound final : platform::Sound {
    explicit FakeSound(std::size_t n) : n(n) {}
    std::size_t bytes() const override { return n; }
    std::size_t n;
};

// Records what the players ask; the test plays the audio thread and reports
// the ends.
class FakeDevice final : public platform::AudioDevice {
  public:
    platform::AudioFormat fmt{44100, 2, 2};
    bool open = true;
    std::size_t decodedBytes = 4096; // what loadSound decodes a file to
    std::vector<std::vector<std::uint8_t>> wavs;
    std::vector<std::string> loaded;
    struct Slice {
        std::size_t from, to;
    };
    std::vector<Slice> slices;
    std::vector<std::size_t> sampleCounts;
    struct Play {
        int channel;
        std::size_t bytes;
        bool loop;
        long volume;
    };
    std::vector<Play> plays;
    std::vector<int> halts;
    std::map<int, long> volumes;

    platform::AudioFormat format() const override { return open ? fmt : platform::AudioFormat{}; }
    bool usable() const override { return open; }
    bool playsTunes() const override { return false; }
    std::unique_ptr<platform::Sound> loadSound(const std::string& path) override {
        loaded.push_back(path);
        return std::make_unique<FakeSound>(decodedBytes);
    }
    std::unique_ptr<platform::Sound> loadWav(const std::vector<std::uint8_t>& wav) override {
        wavs.push_back(wav);
        return std::make_unique<FakeSound>(wav.size() - 44);
    }
    std::unique_ptr<platform::Sound> slice(const platform::Sound&, std::size_t from,
                                           std::size_t to) override {
        slices.push_back({from, to});
        return std::make_unique<FakeSound>(to - from);
    }
    std::unique_ptr<platform::Sound> fromSamples(std::vector<std::int16_t> s) override {
        sampleCounts.push_back(s.size());
        return std::make_unique<FakeSound>(s.size() * 2);
    }
    bool play(int channel, platform::Sound& s, bool loop) override {
        plays.push_back({channel, s.bytes(), loop, volumes[channel]});
        return true;
    }
    void halt(int channel) override {
        halts.push_back(channel);
        if (channelEnded_)
            channelEnded_(channel); // as the mixer does, inside the halt
    }
    void setVolume(int channel, long v) override { volumes[channel] = v; }
    std::unique_ptr<platform::Tune> loadTune(const std::string&, std::string& e) override {
        e = "no tunes here";
        return nullptr;
    }
    bool playTune(platform::Tune&, bool) override { return false; }
    void haltTune() override {}
    void setTuneVolume(long) override {}
    void setEndHandlers(std::function<void(int)> c, std::function<void()> t) override {
        channelEnded_ = std::move(c);
        tuneEnded_ = std::move(t);
    }
    std::string lastError() const override { return "fake"; }

    // The audio thread's news that `channel` went quiet.
    void endChannel(int channel) { channelEnded_(channel); }

  private:
    std::function<void(int)> channelEnded_;
    std::function<void()> tuneEnded_;
};

struct DevicePlayers : ::testing::Test {
    mediatest::Loop loop;
    mediatest::TempDir dir;
    std::shared_ptr<FakeDevice> device = std::make_shared<FakeDevice>();
    std::unique_ptr<MediaBackend> backend = createAudioBackend(device);
    std::unique_ptr<SoundPlayer> fx = backend->createPlayer(loop.rt);
    std::vector<double> ends; // virtual ms of each end

    void SetUp() override {
        fx->onEnd = [this] { ends.push_back(double(loop.rt.now()) / 1000.0); };
        fx->setNotify(true);
    }
};

TEST_F(DevicePlayers, ARangeOfAWaveLoadsOnlyItsFramesAndEndsWhenTheDeviceSaysSo) {
    // 1 s of mono 8 kHz, each sample its own index.
    std::vector<std::int16_t> pcm(8000);
    for (std::size_t i = 0; i < pcm.size(); ++i)
        pcm[i] = std::int16_t(i);
    mediatest::writeWav(dir.file("slots.wav"), 8000, 1, pcm);
    fx->fileName = dir.file("slots.wav");
    fx->playRange(250, 499);

    ASSERT_EQ(device->wavs.size(), 1u);
    EXPECT_TRUE(device->loaded.empty()) << "the whole file was read";
    const std::string wav(device->wavs[0].begin(), device->wavs[0].end());
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(support::le32(wav, 24), 8000u); // rate
    EXPECT_EQ(support::le16(wav, 22), 1u);    // channels
    EXPECT_EQ(support::le32(wav, 40), 4000u); // 2000 frames of 2 bytes: [250 ms, 500 ms)
    EXPECT_EQ(support::le16(wav, 44), 2000u); // the first is frame 2000
    EXPECT_EQ(support::le16(wav, 44 + 2 * 1999), 3999u);
    ASSERT_EQ(device->plays.size(), 1u);
    EXPECT_EQ(device->plays[0].channel, 0);
    EXPECT_FALSE(device->plays[0].loop);

    loop.rt.advance(100);
    EXPECT_TRUE(ends.empty());
    device->endChannel(0);
    EXPECT_TRUE(ends.empty()) << "the end ran on the audio thread";
    loop.rt.advance(0);
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_DOUBLE_EQ(ends[0], 100);
    // The player's own guard against a lost end stays quiet now.
    loop.rt.advance(5000);
    EXPECT_EQ(ends.size(), 1u);
}

TEST_F(DevicePlayers, AnEndOfAnEarlierPlaybackDoesNotEndTheNextOne) {
    mediatest::writeWavMs(dir.file("a.wav"), 400);
    fx->fileName = dir.file("a.wav");
    fx->play();
    fx->play(); // stops the first (its end comes inside the halt) and starts again
    ASSERT_EQ(device->halts.size(), 1u);
    loop.rt.advance(0);
    EXPECT_TRUE(ends.empty());
    device->endChannel(0);
    loop.rt.advance(0);
    EXPECT_EQ(ends.size(), 1u);
}

TEST_F(DevicePlayers, ACompressedFileIsSlicedInTheDevicesFormatOnWholeFrames) {
    std::ofstream(dir.file("tune.ogg"), std::ios::binary) << "OggS and more";
    device->decodedBytes = 176400; // 1 s of 44.1 kHz stereo 16-bit
    fx->fileName = dir.file("tune.ogg");
    fx->playRange(100, 199.3);
    ASSERT_EQ(device->loaded.size(), 1u);
    ASSERT_EQ(device->slices.size(), 1u);
    // 176.4 bytes a millisecond: 17640, and 200.3 ms rounds to 35333, down to a
    // whole 4-byte frame.
    EXPECT_EQ(device->slices[0].from, 17640u);
    EXPECT_EQ(device->slices[0].to, 35332u);
    ASSERT_EQ(device->plays.size(), 1u);
    EXPECT_EQ(device->plays[0].bytes, 35332u - 17640u);

    // A range past the end plays nothing and ends at once.
    fx->playRange(2000, 2500);
    loop.rt.advance(0);
    EXPECT_EQ(device->plays.size(), 1u);
    EXPECT_EQ(ends.size(), 1u);
}

TEST_F(DevicePlayers, WithoutTheDevicesEndThePlayerStillEndsASecondAfterTheFile) {
    mediatest::writeWavMs(dir.file("a.wav"), 600);
    fx->fileName = dir.file("a.wav");
    fx->play();
    loop.rt.advance(1599);
    EXPECT_TRUE(ends.empty());
    loop.rt.advance(1);
    EXPECT_EQ(ends.size(), 1u);
}

TEST_F(DevicePlayers, VolumeReachesTheChannelBeforeThePlayAndPlayersTakeTheirOwnChannels) {
    mediatest::writeWavMs(dir.file("a.wav"), 100);
    fx->setVolume(70000);
    EXPECT_EQ(fx->volume(), 65535);
    fx->setVolume(30000);
    auto second = backend->createPlayer(loop.rt);
    second->fileName = fx->fileName = dir.file("a.wav");
    fx->play();
    second->play();
    ASSERT_EQ(device->plays.size(), 2u);
    EXPECT_EQ(device->plays[0].channel, 0);
    EXPECT_EQ(device->plays[0].volume, 30000);
    EXPECT_EQ(device->plays[1].channel, 1);
    EXPECT_EQ(device->plays[1].volume, 65535);
}

TEST_F(DevicePlayers, AClosedDeviceIsNeverAskedAndTheFileKeepsItsTime) {
    device->open = false;
    mediatest::writeWavMs(dir.file("a.wav"), 300);
    fx->fileName = dir.file("a.wav");
    fx->play();
    loop.rt.advance(299);
    EXPECT_TRUE(ends.empty());
    loop.rt.advance(1);
    EXPECT_EQ(ends.size(), 1u);
    EXPECT_TRUE(device->plays.empty());
    EXPECT_TRUE(device->wavs.empty());
}

// A clip of solid pictures: `frames` of them, `periodUs` apart, colour i * 40.
class FakeClipFile final : public platform::VideoFile {
  public:
    FakeClipFile(int frames, std::int64_t periodUs, std::int64_t lengthUs, std::size_t samples)
        : frames_(frames), period_(periodUs), length_(lengthUs), samples_(samples) {}
    std::int64_t lengthUs() const override { return length_; }
    std::int64_t frameUs() const override { return period_; }
    bool nextPicture(std::int64_t& dueUs) override {
        if (next_ >= frames_)
            return false;
        dueUs = next_ * period_;
        shown_ = next_++;
        return true;
    }
    bool picture(gfx::Picture& out, gfx::Size size) override {
        out = gfx::Picture(size.w, size.h);
        out.fill(gfx::rgb(std::uint8_t(shown_ * 40), 0, 0));
        return true;
    }
    std::vector<std::int16_t> sound(int, int channels) override {
        return std::vector<std::int16_t>(samples_ * std::size_t(channels), 1);
    }

  private:
    int frames_;
    std::int64_t period_, length_;
    std::size_t samples_;
    int next_ = 0, shown_ = 0;
};

class FakeDecoder final : public platform::VideoDecoder {
  public:
    int frames = 5;
    std::int64_t periodUs = 100000, lengthUs = 0;
    std::size_t samples = 0;
    std::vector<std::string> opened;
    std::unique_ptr<platform::VideoFile> open(const std::string& path) override {
        opened.push_back(path);
        if (path.find("none") != std::string::npos)
            return nullptr;
        return std::make_unique<FakeClipFile>(frames, periodUs, lengthUs, samples);
    }
};

struct Page : ui::Form {
    explicit Page(ui::Runtime& rt) : ui::Form(rt) { move(0, 0, 640, 480); }
    void Form_Load() override { show(); }
};

struct DecodedClips : ::testing::Test {
    mediatest::Loop loop;
    Page& page = loop.rt.load(std::make_unique<Page>(loop.rt));
    std::shared_ptr<FakeDecoder> decoder = std::make_shared<FakeDecoder>();
    std::shared_ptr<FakeDevice> device = std::make_shared<FakeDevice>();
    std::unique_ptr<VideoBackend> backend = createVideoBackend(decoder, device);
    std::unique_ptr<VideoPlayer> vid = std::make_unique<VideoPlayer>(page, *backend);
    std::vector<double> ends;
    void SetUp() override {
        vid->move(10, 10, 20, 20);
        vid->onEnd = [this] { ends.push_back(double(loop.rt.now()) / 1000.0); };
    }
    std::uint8_t red() { return std::uint8_t(loop.rt.frame().pixel(20, 20) >> 16); }
};

TEST_F(DecodedClips, PicturesComeAtTheirTimesAndTheClipEndsAfterTheLastOnesPeriod) {
    vid->fileName = "clips\\a.avi";
    vid->play();
    EXPECT_EQ(decoder->opened, std::vector<std::string>{"clips/a.avi"});
    loop.rt.advance(0);
    EXPECT_EQ(red(), 0);
    loop.rt.advance(250);
    EXPECT_EQ(red(), 80);
    loop.rt.advance(249); // 499 ms: the last picture shows until 500 ms
    EXPECT_EQ(red(), 160);
    EXPECT_TRUE(ends.empty());
    loop.rt.advance(1);
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_DOUBLE_EQ(ends[0], 500);
    EXPECT_TRUE(device->plays.empty()) << "a clip without sound played some";
}

TEST_F(DecodedClips, TheSoundTrackPlaysOnItsOwnChannelAndCanOutlastThePictures) {
    device->fmt = {8000, 1, 2};
    decoder->samples = 16000; // 2 s at 8 kHz
    vid->fileName = "b.avi";
    vid->play();
    ASSERT_EQ(device->sampleCounts, std::vector<std::size_t>{16000});
    ASSERT_EQ(device->plays.size(), 1u);
    EXPECT_GE(device->plays[0].channel, 32) << "the clip took a player's channel";
    loop.rt.advance(1999);
    EXPECT_TRUE(ends.empty());
    loop.rt.advance(1);
    EXPECT_EQ(ends.size(), 1u);

    // Stopping a clip silences its sound.
    vid->play();
    const int channel = device->plays.back().channel;
    vid->stop();
    ASSERT_FALSE(device->halts.empty());
    EXPECT_EQ(device->halts.back(), channel);
}

TEST_F(DecodedClips, TheStatedLengthWinsWhenLongerAndAnUnreadableClipEndsAtOnce) {
    decoder->lengthUs = 800000;
    vid->fileName = "c.avi";
    vid->play();
    loop.rt.advance(799);
    EXPECT_TRUE(ends.empty());
    loop.rt.advance(1);
    EXPECT_EQ(ends.size(), 1u);

    vid->fileName = "none.avi";
    vid->play();
    EXPECT_EQ(ends.size(), 1u);
    loop.rt.advance(0);
    EXPECT_EQ(ends.size(), 2u);
}

} // namespace
