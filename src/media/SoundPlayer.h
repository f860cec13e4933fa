// The sound player control: effects (WAV, whole or a millisecond range) and
// music (MIDI, looping). Real players run on SDL2_mixer; the fake one records
// every command and ends at the right virtual times.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace ui {
class Runtime;
}

namespace media {

class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;
    // The file the next command plays (either separator accepted).
    std::string fileName;
    // Plays the whole file; does not block.
    virtual void play() = 0;
    // Plays milliseconds [startMs, endMs] of the file.
    virtual void playRange(double startMs, double endMs) = 0;
    // Stops and releases the file.
    virtual void stop() = 0;
    // Wave volume 0..65535 for later playback.
    virtual void setVolume(long v) = 0;
    virtual long volume() const = 0;
    // Repeat endlessly.
    virtual void setRepeat(bool r) = 0;
    virtual bool repeat() const = 0;
    // While on, the end of playback raises onEnd (on the loop's thread).
    virtual void setNotify(bool n) = 0;
    virtual bool notify() const = 0;
    // Length of `fileName` in milliseconds (0 when unreadable).
    virtual long lengthMs() = 0;
    std::function<void()> onEnd;
};

// Creates the players of the program.
class MediaBackend {
  public:
    virtual ~MediaBackend() = default;
    virtual std::unique_ptr<SoundPlayer> createPlayer(ui::Runtime& rt) = 0;
};

} // namespace media
