// The tunes' loudness as the program's synthesizer and soundfont play them.
#include "mediaset/sound_files.h"

#include <algorithm>
#include <cmath>
#include <fluidsynth.h>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace soundset {
namespace {

constexpr const char* kSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

// One pass of a MIDI file rendered offline; RMS of both channels in dB
// (full scale 0 dB), or NaN when it cannot be rendered.
class Renderer {
  public:
    Renderer() {
        for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level)
            fluid_set_log_function(level, nullptr, nullptr);
        fluid_settings_setnum(settings_.get(), "synth.sample-rate", 22050);
        // Driven by the samples written, not by a clock: as fast as it can.
        fluid_settings_setstr(settings_.get(), "player.timing-source", "sample");
        synth_.reset(new_fluid_synth(settings_.get()));
        loaded_ = synth_ && fluid_synth_sfload(synth_.get(), kSoundFont, 1) != FLUID_FAILED;
    }

    bool loaded() const { return loaded_; }

    double rmsDb(const fs::path& midi, double& seconds) {
        fluid_synth_system_reset(synth_.get());
        std::unique_ptr<fluid_player_t, void (*)(fluid_player_t*)> player(
            new_fluid_player(synth_.get()), delete_fluid_player);
        if (!player || fluid_player_add(player.get(), midi.c_str()) != FLUID_OK ||
            fluid_player_play(player.get()) != FLUID_OK)
            return std::nan("");
        constexpr int kBlock = 512;
        constexpr long kMaxFrames = 22050L * 300; // a tune is far shorter
        float left[kBlock], right[kBlock];
        double sum = 0;
        long frames = 0;
        while (fluid_player_get_status(player.get()) == FLUID_PLAYER_PLAYING &&
               frames < kMaxFrames) {
            if (fluid_synth_write_float(synth_.get(), kBlock, left, 0, 1, right, 0, 1) != FLUID_OK)
                return std::nan("");
            for (int k = 0; k < kBlock; ++k)
                sum += double(left[k]) * left[k] + double(right[k]) * right[k];
            frames += kBlock;
        }
        seconds = frames / 22050.0;
        return frames > 0 && sum > 0 ? 10 * std::log10(sum / (2.0 * frames)) : std::nan("");
    }

  private:
    std::unique_ptr<fluid_settings_t, void (*)(fluid_settings_t*)> settings_{new_fluid_settings(),
                                                                             delete_fluid_settings};
    std::unique_ptr<fluid_synth_t, void (*)(fluid_synth_t*)> synth_{nullptr, delete_fluid_synth};
    bool loaded_ = false;
};

TEST(Tunes, RenderedWithTheProgramsSoundfontTheirLoudnessIsWithinThreeDecibels) {
    if (!fs::exists(kSoundFont))
        GTEST_SKIP() << "the soundfont is not installed";
    Renderer r;
    ASSERT_TRUE(r.loaded());
    std::map<std::string, double> db;
    std::vector<std::string> names = {"qhzt.mid"};
    for (int n = 1; n <= 18; ++n)
        names.push_back((n < 10 ? "game0" : "game") + std::to_string(n) + ".mid");
    for (const auto& name : names) {
        double seconds = 0;
        const double level = r.rmsDb(soundDir() / name, seconds);
        ASSERT_FALSE(std::isnan(level)) << name << " does not render";
        EXPECT_GT(seconds, 5.0) << name;
        EXPECT_LT(seconds, 120.0) << name;
        db[name] = level;
    }
    const auto [quietest, loudest] = std::minmax_element(
        db.begin(), db.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    EXPECT_LE(loudest->second - quietest->second, 3.0)
        << loudest->first << " at " << loudest->second << " dB, " << quietest->first << " at "
        << quietest->second << " dB";
    for (const auto& [name, level] : db)
        EXPECT_GT(level, -60.0) << name << " is almost silent";
}

} // namespace
} // namespace soundset
