// Clips behind the video control: the decoding backend for the program and a
// fake for tests.
#pragma once

#include "platform/Audio.h"
#include "platform/Video.h"
#include "ui/Gfx.h"

#include <functional>
#include <memory>
#include <string>

namespace ui {
class Runtime;
}

namespace media {

// A clip being played. Destroying it stops it: no callback runs afterwards.
class VideoClip {
  public:
    virtual ~VideoClip() = default;
    // The picture to show now, scaled to the size asked for; empty before the
    // first frame.
    virtual const ui::Picture& frame() const = 0;
};

class VideoBackend {
  public:
    virtual ~VideoBackend() = default;
    // Starts `file` (either separator) with pictures of `size`. `onFrame` runs
    // on the loop whenever frame() changed; `onEnd` runs on the loop once the
    // clip has played (at once, on the loop, when the file is unreadable).
    virtual std::unique_ptr<VideoClip> start(ui::Runtime& rt, const std::string& file,
                                             ui::Size size, std::function<void()> onFrame,
                                             std::function<void()> onEnd) = 0;
};

// Pictures and sound from `decoder`; the sound plays on `audio` when one is
// given and open, otherwise the clip plays silently in the same time.
std::unique_ptr<VideoBackend> createVideoBackend(std::shared_ptr<platform::VideoDecoder> decoder,
                                                 std::shared_ptr<platform::AudioDevice> audio);

// The playing time of an AVI file from its header; 0 when unreadable.
long aviLengthMs(const std::string& path);

} // namespace media
