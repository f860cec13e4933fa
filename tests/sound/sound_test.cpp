// The sound service on the fake media backend with a manual clock: cues,
// the queue, character slots, verses, music and the blocking wait.
#include "app/Host.h"
#include "core/PublicM.h"
#include "core/bgGroundFrm.h"
#include "core/tavMdl.h"
#include "media/SoundFile.h"

#include <gtest/gtest.h>
#include <set>

using namespace core;
using media::MediaCommand;
using Kind = media::MediaCommand::Kind;

namespace {

constexpr int kEffects = 1;
constexpr int kMusic = 2;

struct Sound : ::testing::Test {
    Sound() {
        // The backdrop alone, with its stand-in screen: no screen of the
        // program adds sounds of its own.
        app.start();
        h.runtime.advance(0);
        h.media.clearLog();
    }
    double lengthOf(const std::string& file) {
        return double(h.media.lengthOf(app.state.soundPath + file));
    }
    std::vector<std::string> played(int player = 0) {
        std::vector<std::string> out;
        for (const auto& c : h.media.log())
            if ((c.kind == Kind::Play || c.kind == Kind::PlayRange) &&
                (player == 0 || c.player == player))
                out.push_back(media::baseName(c.file));
        return out;
    }
    MediaCommand lastPlay() {
        auto p = h.media.lastPlay(kEffects);
        EXPECT_TRUE(p);
        return p.value_or(MediaCommand{});
    }
    double nowMs() const { return double(h.runtime.now()) / 1000.0; }

    app::HeadlessHost h{SHIZI_MEDIA_DIR};
    App& app = h.app;
    SharedState& g = h.app.state;
};

} // namespace

TEST_F(Sound, TheMediaSetHasTheCueFiles) {
    for (const char* f : {"ok.wav", "click01.wav", "return.wav", "chimes.wav", "word02.wav"})
        EXPECT_GT(lengthOf(f), 0) << f;
    // Seven verses of 14 slots of 1.5 s.
    EXPECT_GE(lengthOf("word20.wav"), 147000);
}

TEST_F(Sound, QueuedCueWaitsForThePlayingEffect) {
    queueSound(app, 0);
    h.runtime.advance(20);
    ASSERT_EQ(played(), std::vector<std::string>{"ok.wav"});
    const double okStart = double(lastPlay().time) / 1000.0;
    EXPECT_EQ(g.soundPlaying, -1);
    EXPECT_TRUE(lastPlay().file == app.state.soundPath + "ok.wav");

    queueSound(app, 9);
    h.runtime.advance(okStart + lengthOf("ok.wav") - nowMs() - 1);
    EXPECT_EQ(played(), std::vector<std::string>{"ok.wav"});
    h.runtime.advance(40);
    ASSERT_EQ(played(), (std::vector<std::string>{"ok.wav", "click01.wav"}));
    const double clickStart = double(lastPlay().time) / 1000.0;
    EXPECT_GE(clickStart, okStart + lengthOf("ok.wav"));
    EXPECT_LE(clickStart, okStart + lengthOf("ok.wav") + 16);
    EXPECT_FALSE(app.backdrop().soundTimer.enabled());
}

TEST_F(Sound, TheLastQueuedCueWins) {
    queueSound(app, 9);
    queueSound(app, 12);
    h.runtime.advance(lengthOf("return.wav") + 500);
    EXPECT_EQ(played(), std::vector<std::string>{"return.wav"});
}

TEST_F(Sound, NumbersOutsideTheCueTablePlayNothing) {
    queueSound(app, 19);
    h.runtime.advance(20);
    EXPECT_TRUE(played().empty());
    EXPECT_EQ(g.soundPlaying, 0);
    EXPECT_FALSE(app.backdrop().soundTimer.enabled());
}

TEST_F(Sound, CharacterSlotsOfTheWordFiles) {
    const struct {
        int v, k;
        const char* file;
        double from;
    } cases[] = {{1, 1, "word01.wav", 0},
                 {8, 14, "word02.wav", 19500},
                 {140, 14, "word20.wav", 145500},
                 {7, 1, "word01.wav", 126000},
                 {15, 8, "word03.wav", 10500}};
    for (const auto& c : cases) {
        playCharSound(app, std::int16_t(c.v), std::int16_t(c.k));
        const MediaCommand p = lastPlay();
        EXPECT_EQ(p.kind, Kind::PlayRange);
        EXPECT_EQ(media::baseName(p.file), c.file) << c.v << "," << c.k;
        EXPECT_EQ(p.startMs, c.from) << c.v << "," << c.k;
        EXPECT_EQ(p.endMs, c.from + 1499) << c.v << "," << c.k;
        EXPECT_EQ(g.soundPlaying, -1);
        stopSound(app);
    }
}

TEST_F(Sound, CharacterSoundEndsAfterItsSlot) {
    playCharSound(app, 8, 14);
    h.runtime.advance(1490);
    EXPECT_EQ(g.soundPlaying, -1);
    h.runtime.advance(20);
    EXPECT_EQ(g.soundPlaying, 0);
}

TEST_F(Sound, WithoutReadingAloudTheNeutralSoundPlays) {
    g.readAloud = 0;
    playCharSound(app, 5, 3);
    EXPECT_EQ(lastPlay().kind, Kind::Play);
    EXPECT_EQ(media::baseName(lastPlay().file), "start.wav");
    EXPECT_EQ(g.soundPlaying, -1);
}

TEST_F(Sound, EffectsDoNotInterruptOneAnother) {
    playVerse(app, 7);
    EXPECT_EQ(played(), std::vector<std::string>{"sd007.wav"});
    playVerse(app, 8);
    playCharSound(app, 1, 1);
    EXPECT_EQ(played(), std::vector<std::string>{"sd007.wav"});
    h.runtime.advance(lengthOf("sd007.wav") + 20);
    EXPECT_EQ(g.soundPlaying, 0);
    playVerse(app, 8);
    EXPECT_EQ(played(), (std::vector<std::string>{"sd007.wav", "sd008.wav"}));
}

TEST_F(Sound, AMissingFileEndsAtOnceAndFreesThePlayer) {
    playVerse(app, 999);
    EXPECT_EQ(g.soundPlaying, -1);
    h.runtime.advance(20);
    EXPECT_EQ(g.soundPlaying, 0);
    queueSound(app, 0);
    h.runtime.advance(20);
    EXPECT_EQ(played().back(), "ok.wav");
}

TEST_F(Sound, TheEndEventReleasesThePlayer) {
    g.cueVerse = 3;
    g.cueCharPos = 2;
    queueSound(app, 7);
    h.runtime.advance(20);
    EXPECT_EQ(g.charSpeaking, -1);
    h.runtime.advance(1500);
    EXPECT_EQ(g.soundPlaying, 0);
    EXPECT_EQ(g.charSpeaking, 0);
    // After the end: notification off, repeat off, stop and release.
    const auto& log = h.media.log();
    ASSERT_GE(log.size(), 4u);
    EXPECT_EQ(log[log.size() - 4].kind, Kind::End);
    EXPECT_EQ(log.back().kind, Kind::Stop);
    EXPECT_FALSE(app.backdrop().FXSnd1->notify());
    EXPECT_FALSE(app.backdrop().FXSnd1->repeat());
}

TEST_F(Sound, CueSevenRoundsItsVerseAndPositionHalvesToEven) {
    g.cueVerse = 2.5f;
    g.cueCharPos = 3.5f;
    queueSound(app, 7);
    h.runtime.advance(20);
    const MediaCommand p = lastPlay();
    EXPECT_EQ(media::baseName(p.file), "word01.wav");
    EXPECT_EQ(p.startMs, (14 + 4 - 1) * 1500.0); // verse 2, position 4
}

TEST_F(Sound, StopDuringACharacterLeavesCharSpeakingUntilAnEnd) {
    g.cueVerse = 8;
    g.cueCharPos = 14;
    queueSound(app, 7);
    h.runtime.advance(20);
    ASSERT_EQ(g.charSpeaking, -1);
    stopSound(app);
    EXPECT_EQ(g.soundPlaying, 0);
    EXPECT_EQ(g.charSpeaking, -1);
    h.runtime.advance(3000);
    EXPECT_EQ(g.charSpeaking, -1);
    queueSound(app, 9);
    h.runtime.advance(lengthOf("click01.wav") + 30);
    EXPECT_EQ(g.charSpeaking, 0);
}

TEST_F(Sound, ChimesLoopUntilStopped) {
    queueSound(app, 6);
    h.runtime.advance(20);
    EXPECT_TRUE(app.backdrop().FXSnd1->repeat());
    queueSound(app, 0);
    h.runtime.advance(3 * lengthOf("chimes.wav") + 100);
    EXPECT_TRUE(h.media.commands(Kind::End).empty());
    EXPECT_EQ(g.soundPlaying, -1);
    EXPECT_EQ(played(), std::vector<std::string>{"chimes.wav"});
    stopSound(app);
    EXPECT_FALSE(app.backdrop().FXSnd1->repeat());
    h.runtime.advance(20);
    EXPECT_EQ(played(), (std::vector<std::string>{"chimes.wav", "ok.wav"}));
    h.runtime.advance(lengthOf("ok.wav") + 20);
    EXPECT_EQ(g.soundPlaying, 0);
}

TEST_F(Sound, EveryCueStopsTheMusic) {
    playMusic(app);
    EXPECT_EQ(g.musicPlaying, -1);
    ASSERT_EQ(played(kMusic).size(), 1u);
    queueSound(app, 9);
    h.runtime.advance(20);
    EXPECT_EQ(g.musicPlaying, 0);
    EXPECT_FALSE(h.media.playing(kMusic));
    EXPECT_EQ(h.media.commands(Kind::Stop, kMusic).size(), 1u);
}

TEST_F(Sound, MusicNeverRepeatsTheLastTuneAndReachesAllEighteen) {
    std::set<int> seen;
    for (int i = 0; i < 400; ++i) {
        const std::int16_t before = std::int16_t(i % 19);
        g.lastTune = before;
        playMusic(app);
        ASSERT_EQ(g.musicPlaying, -1);
        EXPECT_NE(g.lastTune, before);
        ASSERT_GE(g.lastTune, 1);
        ASSERT_LE(g.lastTune, 18);
        const MediaCommand p = *h.media.lastPlay(kMusic);
        char name[16];
        std::snprintf(name, sizeof name, "game%02d.mid", int(g.lastTune));
        EXPECT_EQ(media::baseName(p.file), name);
        seen.insert(g.lastTune);
        stopMusic(app);
        EXPECT_EQ(g.musicPlaying, 0);
    }
    EXPECT_EQ(seen.size(), 18u);
    EXPECT_TRUE(app.backdrop().midiFXSnd->repeat());
}

TEST_F(Sound, MusicWaitsForQuiet) {
    playVerse(app, 1);
    playMusic(app);
    EXPECT_EQ(g.musicPlaying, 0);
    EXPECT_TRUE(played(kMusic).empty());
    stopSound(app);
    playMusic(app);
    const int tune = g.lastTune;
    playMusic(app);
    EXPECT_EQ(g.lastTune, tune);
    EXPECT_EQ(played(kMusic).size(), 1u);
}

TEST_F(Sound, PlaySoundWaitBlocksForTheFileLength) {
    playMusic(app);
    playVerse(app, 3);
    queueSound(app, 9);
    const double t0 = nowMs();
    playSoundWait(app, 12);
    EXPECT_DOUBLE_EQ(nowMs() - t0, lengthOf("return.wav"));
    EXPECT_EQ(g.musicPlaying, 0);
    EXPECT_EQ(g.soundPlaying, -1);
    // No timer ran meanwhile: the queued cue is still waiting.
    EXPECT_EQ(played(kEffects), (std::vector<std::string>{"sd003.wav", "return.wav"}));
    h.runtime.advance(20);
    EXPECT_EQ(played(kEffects).back(), "click01.wav");
}

TEST_F(Sound, PlaySoundWaitOnAMissingFileDoesNotWait) {
    const double t0 = nowMs();
    playSoundWait(app, 7);
    playSoundWait(app, 42);
    EXPECT_EQ(nowMs(), t0);
    EXPECT_EQ(g.soundPlaying, 0);
}

TEST_F(Sound, VolumeLevelsOutsideOneToTenChangeNothing) {
    auto& fx = *app.backdrop().FXSnd1;
    EXPECT_EQ(fx.volume(), 16383);
    setVolume(app, 0);
    setVolume(app, 11);
    EXPECT_EQ(fx.volume(), 16383);
    setVolume(app, 1);
    EXPECT_EQ(fx.volume(), 6000);
    setVolume(app, 10);
    EXPECT_EQ(fx.volume(), 65535);
    EXPECT_TRUE(h.media.commands(Kind::Volume, kMusic).empty());
}

TEST_F(Sound, ReturnToTheGameHub) {
    struct Stub final : ui::Form {
        using ui::Form::Form;
    };
    app.registerScreen("gameFrm", [](App& a) { return std::make_unique<Stub>(a.runtime); });
    auto& level = h.runtime.load(std::make_unique<Stub>(h.runtime));
    level.show();
    g.pearlLevel = 2;
    playMusic(app);
    returnToGameHub(app, level);
    EXPECT_EQ(g.pearlLevel, -1);
    EXPECT_EQ(g.musicPlaying, 0);
    EXPECT_TRUE(level.unloading());
    h.runtime.advance(20);
    EXPECT_EQ(played(kEffects), std::vector<std::string>{"return.wav"});
    EXPECT_EQ(h.runtime.forms().size(), 3u); // backdrop, stand-in, hub
}

TEST_F(Sound, OnceTheBackdropIsGoneSoundCallsDoNothing) {
    app.backdrop().unload();
    h.runtime.advance(20);
    ASSERT_FALSE(app.started());
    queueSound(app, 0);
    playVerse(app, 1);
    playCharSound(app, 1, 1);
    playMusic(app);
    playSoundWait(app, 12);
    setVolume(app, 3);
    stopSound(app);
    stopMusic(app);
    h.runtime.advance(100);
    EXPECT_TRUE(played().empty());
}
