// A loop with a manual clock and no machine behind it, and small sound files
// written on the fly.
#pragma once

#include "platform/Platform.h"
#include "ui/Runtime.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace mediatest {

class NullDisplay final : public platform::Display {
  public:
    ui::Size desktopSize() const override { return {640, 480}; }
    void present(const ui::Picture& frame) override { presented.push_back(frame.rect()); }
    void presentRegions(const ui::Picture&, const std::vector<gfx::Rect>& changed) override {
        presented.insert(presented.end(), changed.begin(), changed.end());
    }
    void setCursor(const ui::Cursor&) override {}
    bool waitEvent(platform::InputEvent&, int timeoutMs) override;
    void wake() override;
    ui::Point pointerPosition() const override { return {}; }
    // Every region sent, in order.
    std::vector<gfx::Rect> presented;
};

class NullFonts final : public platform::FontEngine {
  public:
    ui::AlphaMask render(const platform::FontSpec&, std::string_view) override { return {}; }
    ui::Size measure(const platform::FontSpec&, std::string_view) override { return {}; }
    int lineHeight(const platform::FontSpec&) override { return 12; }
};

class NoImages final : public platform::ImageLoader {
  public:
    std::optional<ui::Picture> load(const std::string&) override { return std::nullopt; }
};

struct Loop {
    NullDisplay display;
    ui::ManualClock clock;
    NullFonts fonts;
    NoImages images;
    ui::Runtime rt{display, clock, fonts, images};
};

// A fresh folder under the system's temp folder, removed with the object.
struct TempDir {
    TempDir();
    ~TempDir();
    std::string file(const std::string& name) const { return (path / name).string(); }
    std::filesystem::path path;
};

// 16-bit PCM WAV with the given samples (interleaved when stereo).
void writeWav(const std::string& path, int rate, int channels,
              const std::vector<std::int16_t>& samples);
// A WAV of `ms` milliseconds of a quiet ramp, mono 11025 Hz.
void writeWavMs(const std::string& path, int ms);
// A one-track MIDI file: `notes` quarter notes of middle C at 120 beats a
// minute (500 ms each), 480 ticks a quarter.
void writeMidi(const std::string& path, int notes);

} // namespace mediatest
