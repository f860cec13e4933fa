// The fake players end exactly when the real files would, so every screen's
// timing can be tested on a manual clock.
#include "MediaTestKit.h"
#include "media/FakeMedia.h"
#include "media/SoundFile.h"

#include <gtest/gtest.h>

using namespace media;
using Kind = MediaCommand::Kind;

namespace {

struct FakeSound : ::testing::Test {
    mediatest::Loop loop;
    mediatest::TempDir dir;
    FakeMediaBackend backend;
    std::unique_ptr<SoundPlayer> fx = backend.createPlayer(loop.rt);
    std::vector<double> ends; // virtual ms of each end event

    void SetUp() override {
        fx->onEnd = [this] { ends.push_back(double(loop.rt.now()) / 1000.0); };
    }
    void start(const std::string& file) {
        fx->fileName = file;
        fx->setNotify(true);
        fx->play();
    }
};

TEST_F(FakeSound, WholeFileEndsAfterItsLengthFromTheHeader) {
    mediatest::writeWavMs(dir.file("ok.wav"), 800);
    start(dir.file("ok.wav"));
    EXPECT_EQ(fx->lengthMs(), 800);
    EXPECT_TRUE(backend.playing(1));
    loop.rt.advance(799);
    EXPECT_TRUE(ends.empty());
    loop.rt.advance(1);
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_DOUBLE_EQ(ends[0], 800);
    EXPECT_FALSE(backend.playing());
    loop.rt.advance(5000);
    EXPECT_EQ(ends.size(), 1u);
}

TEST_F(FakeSound, RangeLastsItsSlotAndARangePastTheEndPlaysWhatExists) {
    mediatest::writeWavMs(dir.file("word01.wav"), 4000);
    fx->fileName = dir.file("word01.wav");
    fx->setNotify(true);
    fx->playRange(1500, 2999);
    loop.rt.advance(1499);
    EXPECT_TRUE(ends.empty());
    loop.rt.advance(1);
    ASSERT_EQ(ends.size(), 1u);

    fx->playRange(3000, 4499); // only 1000 ms exist
    loop.rt.advance(1000);
    EXPECT_EQ(ends.size(), 2u);
    EXPECT_DOUBLE_EQ(ends[1], 2500);

    fx->playRange(6000, 7499); // nothing exists: ends at once, on the loop
    EXPECT_EQ(ends.size(), 2u);
    loop.rt.advance(0);
    EXPECT_EQ(ends.size(), 3u);
}

TEST_F(FakeSound, MissingFileEndsAtOnceButNeverInsidePlay) {
    start(dir.file("none.wav"));
    EXPECT_EQ(fx->lengthMs(), 0);
    EXPECT_TRUE(ends.empty()); // the handler must not run inside the caller's play()
    loop.rt.advance(0);
    EXPECT_EQ(ends.size(), 1u);
}

TEST_F(FakeSound, RepeatRestartsUntilStoppedAndStopCancelsTheEnd) {
    mediatest::writeWavMs(dir.file("chimes.wav"), 300);
    fx->fileName = dir.file("chimes.wav");
    fx->setRepeat(true);
    fx->setNotify(true);
    fx->play();
    loop.rt.advance(2000);
    EXPECT_TRUE(ends.empty());
    EXPECT_TRUE(backend.playing(1));
    fx->stop();
    EXPECT_FALSE(backend.playing(1));
    loop.rt.advance(2000);
    EXPECT_TRUE(ends.empty());

    // Stopping a plain playback cancels its end event too.
    fx->setRepeat(false);
    fx->play();
    loop.rt.advance(100);
    fx->stop();
    loop.rt.advance(1000);
    EXPECT_TRUE(ends.empty());
}

TEST_F(FakeSound, RepeatOfAnEmptyFileEndsInsteadOfLoopingForever) {
    fx->fileName = dir.file("missing.wav");
    fx->setRepeat(true);
    fx->setNotify(true);
    fx->play();
    loop.rt.advance(10);
    EXPECT_EQ(ends.size(), 1u);
}

TEST_F(FakeSound, WithoutNotifyTheEndIsSilentButThePlayerGoesIdle) {
    mediatest::writeWavMs(dir.file("a.wav"), 200);
    fx->fileName = dir.file("a.wav");
    fx->play();
    loop.rt.advance(200);
    EXPECT_TRUE(ends.empty());
    EXPECT_FALSE(backend.playing());
    EXPECT_EQ(backend.commands(Kind::End).size(), 1u);
}

TEST_F(FakeSound, ANewPlayReplacesThePendingEnd) {
    mediatest::writeWavMs(dir.file("a.wav"), 1000);
    mediatest::writeWavMs(dir.file("b.wav"), 300);
    start(dir.file("a.wav"));
    loop.rt.advance(500);
    start(dir.file("b.wav"));
    loop.rt.advance(2000);
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_DOUBLE_EQ(ends[0], 800);
}

TEST_F(FakeSound, LogRecordsEveryCommandOfEveryPlayer) {
    auto music = backend.createPlayer(loop.rt);
    fx->setVolume(40000);
    fx->fileName = "C:\\snd\\word02.wav";
    fx->playRange(19500, 20999);
    music->fileName = "snd/game05.mid";
    music->setRepeat(true);
    music->play();
    fx->stop();
    const auto& log = backend.log();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[0].kind, Kind::Volume);
    EXPECT_EQ(log[0].value, 40000);
    EXPECT_EQ(fx->volume(), 40000);
    EXPECT_EQ(log[1].kind, Kind::PlayRange);
    EXPECT_EQ(log[1].player, 1);
    EXPECT_DOUBLE_EQ(log[1].startMs, 19500);
    EXPECT_DOUBLE_EQ(log[1].endMs, 20999);
    EXPECT_EQ(log[1].file, "C:\\snd\\word02.wav");
    EXPECT_EQ(log[3].player, 2);
    EXPECT_EQ(log[4].kind, Kind::Stop);
    EXPECT_EQ(backend.played(), (std::vector<std::string>{"word02.wav", "game05.mid"}));
    EXPECT_EQ(backend.lastPlay()->file, "snd/game05.mid");
    EXPECT_EQ(backend.lastPlay(1)->kind, Kind::PlayRange);
    backend.clearLog();
    EXPECT_TRUE(backend.log().empty());
}

TEST_F(FakeSound, LengthOverrideTakesThePlaceOfTheFile) {
    backend.setLength("return.wav", 1234);
    start("any/where/return.wav");
    EXPECT_EQ(fx->lengthMs(), 1234);
    loop.rt.advance(1234);
    EXPECT_EQ(ends.size(), 1u);
}

TEST(SoundFiles, LengthsComeFromTheContent) {
    mediatest::TempDir dir;
    mediatest::writeWav(dir.file("s.wav"), 22050, 2, std::vector<std::int16_t>(22050 * 2 * 3));
    EXPECT_EQ(soundLengthMs(dir.file("s.wav")), 3000);
    mediatest::writeMidi(dir.file("t.mid"), 6);
    EXPECT_EQ(midiLengthMs(dir.file("t.mid")), 3000);
    EXPECT_EQ(soundLengthMs(dir.file("t.mid")), 3000);
    { std::ofstream(dir.file("junk.wav")) << "not a sound"; }
    EXPECT_EQ(soundLengthMs(dir.file("junk.wav")), 0);
    EXPECT_EQ(soundLengthMs(dir.file("missing.wav")), 0);
    // Both separators lead to the file.
    EXPECT_EQ(soundLengthMs(dir.path.string() + "\\s.wav"), 3000);
}

TEST(SoundFiles, TruncatedDataChunkCountsOnlyWhatTheFileHolds) {
    mediatest::TempDir dir;
    mediatest::writeWav(dir.file("s.wav"), 11025, 1, std::vector<std::int16_t>(11025));
    std::filesystem::resize_file(dir.file("s.wav"), 44 + 11025); // half the samples
    EXPECT_EQ(soundLengthMs(dir.file("s.wav")), 500);
}

TEST(FakeVideo, ClipEndsAfterItsLengthAndStoppingCancelsTheEnd) {
    mediatest::Loop loop;
    mediatest::TempDir dir;
    { std::ofstream(dir.file("noheader.avi")) << "x"; }
    FakeVideoBackend video;
    int ended = 0, frames = 0;
    auto clip = video.start(
        loop.rt, dir.file("noheader.avi"), {100, 80}, [&] { ++frames; }, [&] { ++ended; });
    loop.rt.advance(0);
    EXPECT_EQ(frames, 1);
    EXPECT_EQ(clip->frame().size(), (ui::Size{100, 80}));
    loop.rt.advance(FakeVideoBackend::kDefaultLengthMs - 1);
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(video.playingCount(), 1);
    loop.rt.advance(1);
    EXPECT_EQ(ended, 1);
    EXPECT_EQ(video.playingCount(), 0);

    clip = video.start(loop.rt, dir.file("noheader.avi"), {100, 80}, {}, [&] { ++ended; });
    clip.reset();
    loop.rt.advance(5000);
    EXPECT_EQ(ended, 1);

    clip = video.start(loop.rt, dir.file("missing.avi"), {10, 10}, {}, [&] { ++ended; });
    loop.rt.advance(0);
    EXPECT_EQ(ended, 2);
    EXPECT_EQ(video.started(),
              (std::vector<std::string>{"noheader.avi", "noheader.avi", "missing.avi"}));
}

} // namespace
