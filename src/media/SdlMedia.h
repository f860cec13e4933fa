// The players of the program on SDL2_mixer: effects on mixer channels (one
// channel per player), MIDI through the mixer's music stream with an
// explicitly chosen General MIDI soundfont.
//
// Without a working audio device every player goes on silently with the same
// timing: it still ends after the file's length, so nothing waits forever.
#pragma once

#include "media/SoundPlayer.h"

#include <memory>
#include <string>

namespace media {

// A compact General MIDI bank: it loads in a fraction of a second, where
// the 148 MB banks keep a tune silent for seconds each time it starts.
constexpr const char* kSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

struct SdlMediaOptions {
    int frequency = 44100;
    int bufferSamples = 1024;
    std::string soundFont = kSoundFont;
};

std::unique_ptr<MediaBackend> createSdlMediaBackend(const SdlMediaOptions& options = {});

} // namespace media
