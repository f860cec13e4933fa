// The players of the program on the machine's audio device: effects on the
// device's channels (one channel per player), tunes on its tune stream.
//
// Without a working device every player goes on silently with the same
// timing: it still ends after the file's length, so nothing waits forever.
#pragma once

#include "media/SoundPlayer.h"
#include "platform/Audio.h"

#include <memory>

namespace media {

std::unique_ptr<MediaBackend> createAudioBackend(std::shared_ptr<platform::AudioDevice> device);

} // namespace media
