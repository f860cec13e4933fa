// The sound card as the players need it: sounds on numbered channels, one
// stream for tunes (MIDI through a General MIDI soundfont), and notices from
// the audio thread when a channel or the tune ends.
//
// Without a working device the object still exists: usable() is false and
// every player above it keeps its files' time silently.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// A compact General MIDI bank: it loads in a fraction of a second, where
// the 148 MB banks keep a tune silent for seconds each time it starts.
constexpr const char* kSoundFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

struct AudioOptions {
    int frequency = 44100;
    int bufferSamples = 1024;
    std::string soundFont = kSoundFont;
};

// What the device plays: sample frames a second, channels, and bytes a
// sample (2: signed 16-bit in the machine's order). All 0 when not open.
struct AudioFormat {
    int frequency = 0;
    int channels = 0;
    int bytesPerSample = 0;
    int frameBytes() const { return channels * bytesPerSample; }
};

// A sound decoded into the device's format, ready to play; it must outlive
// its playing.
class Sound {
  public:
    virtual ~Sound() = default;
    // Length of the decoded samples in bytes.
    virtual std::size_t bytes() const = 0;
};

// A tune loaded for the tune stream.
class Tune {
  public:
    virtual ~Tune() = default;
};

class AudioDevice {
  public:
    virtual ~AudioDevice() = default;

    // Opens the device now, if nothing has yet: the program calls it once
    // its first screen shows, so that the first sound does not wait.
    virtual void prepare() {}
    // The format of the open device; zeros when it did not open.
    virtual AudioFormat format() const = 0;
    // Open and not lost since (a device unplugged while playing).
    virtual bool usable() const = 0;
    // A soundfont was found, so tunes can sound.
    virtual bool playsTunes() const = 0;

    // Decodes a whole sound file; nullptr when it cannot (lastError() says why).
    virtual std::unique_ptr<Sound> loadSound(const std::string& path) = 0;
    // A WAV file held in memory.
    virtual std::unique_ptr<Sound> loadWav(const std::vector<std::uint8_t>& wav) = 0;
    // Bytes [from, to) of `whole`, which must outlive the slice.
    virtual std::unique_ptr<Sound> slice(const Sound& whole, std::size_t from, std::size_t to) = 0;
    // Interleaved samples already in the device's format.
    virtual std::unique_ptr<Sound> fromSamples(std::vector<std::int16_t> samples) = 0;

    // Plays on `channel` (any number from 0; channels are made as needed),
    // ending whatever played there; false when it cannot.
    virtual bool play(int channel, Sound& sound, bool loop) = 0;
    virtual void halt(int channel) = 0;
    // Volume 0..65535 of one channel.
    virtual void setVolume(int channel, long volume) = 0;

    // May run on any thread: reading a soundfont takes seconds, so callers
    // load on a worker. nullptr with `error` set when it cannot.
    virtual std::unique_ptr<Tune> loadTune(const std::string& path, std::string& error) = 0;
    // Starts `tune` on the one tune stream, ending the tune playing there.
    virtual bool playTune(Tune& tune, bool loop) = 0;
    virtual void haltTune() = 0;
    virtual void setTuneVolume(long volume) = 0;

    // Handlers for the end of a channel's sound and of the tune. They run on
    // the audio thread (or inside halt()), so they must only hand the news
    // on. Once this returns, the previous handlers no longer run.
    virtual void setEndHandlers(std::function<void(int channel)> channelEnded,
                                std::function<void()> tuneEnded) = 0;

    // Why the last load or play on this thread failed.
    virtual std::string lastError() const = 0;
};

// The device through SDL2_mixer. A missing device gives one line on
// standard error and a device that plays nothing.
std::shared_ptr<AudioDevice> createAudioDevice(const AudioOptions& options = {});

} // namespace platform
