// The players over the audio device. The device tells of ends on its own
// thread; the players hear of them only through the loop.
#include "media/AudioPlayers.h"

#include "media/SoundFile.h"
#include "text/Text.h"
#include "ui/Runtime.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace media {

namespace {

// The players' channels; clips use channels above them.
constexpr int kChannels = 32;

class DevicePlayer;

// The device and who plays on it. End notices from the audio thread find
// the loop through it and only ever post; everything else runs on the loop.
struct Mixer {
    explicit Mixer(std::shared_ptr<platform::AudioDevice> d) : device(std::move(d)) {}
    ~Mixer() { device->setEndHandlers(nullptr, nullptr); }
    Mixer(const Mixer&) = delete;
    Mixer& operator=(const Mixer&) = delete;

    void listen(const std::shared_ptr<Mixer>& self);
    void channelEnded(int ch);
    void tuneEnded();

    std::shared_ptr<platform::AudioDevice> device;
    std::weak_ptr<Mixer> self;
    std::mutex mutex;
    ui::Runtime* channelLoop[kChannels] = {}; // guarded by mutex
    std::atomic<std::uint64_t> channelGen[kChannels] = {};
    DevicePlayer* channelOwner[kChannels] = {}; // loop only
    ui::Runtime* musicLoop = nullptr;           // guarded by mutex
    std::atomic<std::uint64_t> musicGen{0};
    DevicePlayer* musicOwner = nullptr; // loop only
    std::uint64_t nextGen = 1;          // loop only
    std::set<std::string> reported;     // loop only: files already reported

    // One line per file and run: a missing cue played every few seconds
    // must not fill standard error.
    template <class... A> void reportOnce(const std::string& path, const char* format, A... args) {
        if (reported.insert(path).second)
            std::fprintf(stderr, format, text::displayPath(path).c_str(), args...);
    }
};

class DevicePlayer final : public SoundPlayer {
  public:
    DevicePlayer(std::shared_ptr<Mixer> m, ui::Runtime& rt, int ch)
        : m_(std::move(m)), dev_(*m_->device), rt_(rt), ch_(ch) {
        if (ch_ >= 0) {
            m_->channelOwner[ch_] = this;
            std::lock_guard lock(m_->mutex);
            m_->channelLoop[ch_] = &rt_;
        }
    }
    ~DevicePlayer() override {
        halt();
        if (ch_ >= 0) {
            m_->channelOwner[ch_] = nullptr;
            std::lock_guard lock(m_->mutex);
            m_->channelLoop[ch_] = nullptr;
        }
    }
    DevicePlayer(const DevicePlayer&) = delete;
    DevicePlayer& operator=(const DevicePlayer&) = delete;

    void play() override { begin(false, 0, 0); }
    void playRange(double s, double e) override { begin(true, s, e); }
    void stop() override { halt(); }
    void setVolume(long v) override {
        volume_ = std::clamp(v, 0L, 65535L);
        if (ch_ >= 0)
            dev_.setVolume(ch_, volume_);
        if (m_->musicOwner == this)
            dev_.setTuneVolume(volume_);
    }
    long volume() const override { return volume_; }
    void setRepeat(bool r) override { repeat_ = r; }
    bool repeat() const override { return repeat_; }
    void setNotify(bool n) override { notify_ = n; }
    bool notify() const override { return notify_; }
    long lengthMs() override { return soundLengthMs(soundPath(fileName)); }

    // The device reported the end of playback number `gen`.
    void deviceEnded(std::uint64_t gen) {
        if (playing_ && gen == gen_)
            finished();
    }

  private:
    void begin(bool range, double startMs, double endMs) {
        halt();
        const std::string path = soundPath(fileName);
        gen_ = m_->nextGen++;
        playing_ = true;
        if (isMidi(path)) {
            beginTune(path);
            return;
        }
        WavInfo w;
        // A WAV file whose frames we can find without decoding it all.
        const bool pcm = readWavInfo(path, w);
        if (!pcm && !std::filesystem::is_regular_file(path)) {
            m_->reportOnce(path, "sound: %s is missing\n");
            endSoon();
            return;
        }
        double durMs = pcm ? w.lengthMs() : 0;
        std::uint64_t firstFrame = 0, endFrame = 0;
        if (pcm) {
            const std::uint64_t frames = w.frames;
            endFrame = frames;
            if (range) {
                firstFrame = toFrame(startMs, w.sampleRate, frames);
                endFrame = std::max(firstFrame, toFrame(endMs + 1, w.sampleRate, frames));
            }
            durMs = double(endFrame - firstFrame) * 1000.0 / w.sampleRate;
        }
        if (!dev_.usable() || ch_ < 0) {
            silentFor(durMs);
            return;
        }
        std::uint64_t decodedFrom = firstFrame;
        if (pcm && range)
            sound_ = loadSlice(path, w, firstFrame, endFrame, decodedFrom);
        else
            sound_ = dev_.loadSound(path);
        if (!sound_) {
            m_->reportOnce(path, "sound: cannot read %s: %s\n", dev_.lastError().c_str());
            endSoon();
            return;
        }
        platform::Sound* toPlay = sound_.get();
        if (pcm && range && decodedFrom != firstFrame) {
            // Compressed blocks decode whole: cut the range out of them.
            const double bytesPerMs = double(dev_.format().frequency) * frameBytes() / 1000.0;
            const double lead = double(firstFrame - decodedFrom) * 1000.0 / w.sampleRate;
            const std::uint64_t all = sound_->bytes();
            const std::uint64_t from = std::min<std::uint64_t>(all, sliceByte(lead, bytesPerMs));
            const std::uint64_t to =
                std::clamp<std::uint64_t>(sliceByte(lead + durMs, bytesPerMs), from, all);
            slice_ = dev_.slice(*sound_, std::size_t(from), std::size_t(to));
            toPlay = slice_.get();
        } else if (pcm && range && w.format == WavInfo::ImaAdpcm) {
            const double bytesPerMs = double(dev_.format().frequency) * frameBytes() / 1000.0;
            const std::uint64_t all = sound_->bytes();
            slice_ =
                dev_.slice(*sound_, 0, std::size_t(std::min(all, sliceByte(durMs, bytesPerMs))));
            toPlay = slice_.get();
        }
        if (!pcm) {
            // A compressed file is sliced after the device has decoded it.
            const double bytesPerMs = double(dev_.format().frequency) * frameBytes() / 1000.0;
            const std::uint64_t all = sound_->bytes();
            std::uint64_t from = 0, to = all;
            if (range) {
                from = std::min<std::uint64_t>(all, sliceByte(startMs, bytesPerMs));
                to = std::clamp<std::uint64_t>(sliceByte(endMs + 1, bytesPerMs), from, all);
                slice_ = dev_.slice(*sound_, std::size_t(from), std::size_t(to));
                toPlay = slice_.get();
            }
            durMs = double(to - from) / bytesPerMs;
        }
        if (!toPlay || toPlay->bytes() == 0) {
            endSoon();
            return;
        }
        dev_.setVolume(ch_, volume_);
        m_->channelGen[ch_] = gen_;
        if (!dev_.play(ch_, *toPlay, repeat_)) {
            m_->reportOnce(path, "sound: cannot play %s: %s\n", dev_.lastError().c_str());
            silentFor(durMs);
            return;
        }
        onChannel_ = true;
        watch(durMs);
    }

    void beginTune(const std::string& path) {
        const double durMs = double(midiLengthMs(path));
        if (!std::filesystem::is_regular_file(path)) {
            m_->reportOnce(path, "sound: %s is missing\n");
            endSoon();
            return;
        }
        // The synthesizer trusts a tune's chunk lengths; one that lies sends
        // it into an endless loop on the audio thread.
        if (const std::string why = midiDamage(path); !why.empty()) {
            m_->reportOnce(path, "sound: %s is not played: %s\n", why.c_str());
            endSoon();
            return;
        }
        if (!dev_.usable() || !dev_.playsTunes()) {
            silentFor(durMs);
            return;
        }
        // The synthesizer reads the whole soundfont for every tune, which takes
        // seconds: that happens on a worker thread while the loop runs on.
        const std::uint64_t gen = gen_;
        std::erase_if(loaders_, [](const Loader& l) { return l.done->load(); });
        auto done = std::make_shared<std::atomic<bool>>(false);
        loaders_.push_back(
            {done, std::jthread([this, path, gen, done, alive = std::weak_ptr<char>(alive_)] {
                 std::string err;
                 std::shared_ptr<platform::Tune> tune = dev_.loadTune(path, err);
                 rt_.post([this, tune, err, path, gen, alive] {
                     if (!alive.expired())
                         tuneLoaded(tune, err, path, gen);
                 });
                 *done = true;
             })});
    }

    void tuneLoaded(const std::shared_ptr<platform::Tune>& tune, const std::string& err,
                    const std::string& path, std::uint64_t gen) {
        if (!playing_ || gen != gen_)
            return;
        if (!tune) {
            m_->reportOnce(path, "sound: cannot read %s: %s\n", err.c_str());
            endSoon();
            return;
        }
        tune_ = tune;
        // There is one tune stream: a player that takes it ends the other's tune.
        if (m_->musicOwner && m_->musicOwner != this) {
            DevicePlayer* old = m_->musicOwner;
            m_->musicOwner = nullptr;
            old->halt();
            old->playing_ = true; // so that its end event still comes
            old->finishedLater();
        }
        m_->musicOwner = this;
        {
            std::lock_guard lock(m_->mutex);
            m_->musicLoop = &rt_;
        }
        m_->musicGen = gen_;
        dev_.setTuneVolume(volume_);
        const double durMs = double(midiLengthMs(path));
        if (!dev_.playTune(*tune_, repeat_)) {
            m_->reportOnce(path, "sound: cannot play %s: %s\n", dev_.lastError().c_str());
            m_->musicOwner = nullptr;
            silentFor(durMs);
            return;
        }
        watch(durMs);
    }

    int frameBytes() const { return std::max(1, dev_.format().frameBytes()); }

    static std::uint64_t toFrame(double ms, int rate, std::uint64_t frames) {
        if (ms <= 0)
            return 0;
        return std::min<std::uint64_t>(frames, std::uint64_t(std::llround(ms * rate / 1000.0)));
    }
    std::uint64_t sliceByte(double ms, double bytesPerMs) const {
        if (ms <= 0)
            return 0;
        const auto b = std::uint64_t(std::llround(ms * bytesPerMs));
        return b - b % std::uint64_t(frameBytes());
    }

    // Reads only the frames of the range, so a character's 1.5 s slot does not
    // load the whole 147 s file. Compressed files are read in whole blocks,
    // from the block holding `first`; `decodedFrom` says which frame the
    // sound then starts with.
    std::unique_ptr<platform::Sound> loadSlice(const std::string& path, const WavInfo& w,
                                               std::uint64_t first, std::uint64_t end,
                                               std::uint64_t& decodedFrom) {
        const auto spb = std::uint64_t(w.samplesPerBlock);
        const std::uint64_t firstBlock = first / spb;
        const std::uint64_t blocks = w.dataBytes / std::uint64_t(w.blockAlign);
        const std::uint64_t endBlock = std::min(blocks, (end + spb - 1) / spb);
        decodedFrom = firstBlock * spb;
        const std::uint64_t bytes =
            (std::max(endBlock, firstBlock) - firstBlock) * std::uint64_t(w.blockAlign);
        const bool ima = w.format == WavInfo::ImaAdpcm;
        const std::size_t head = ima ? 48 : 44;
        std::vector<std::uint8_t> wav(head + bytes);
        std::ifstream f(path, std::ios::binary);
        f.seekg(std::streamoff(w.dataOffset + firstBlock * std::uint64_t(w.blockAlign)));
        if (!f.read(reinterpret_cast<char*>(wav.data() + head), std::streamsize(bytes)))
            return nullptr;
        auto put32 = [&](std::size_t at, std::uint32_t v) {
            for (int i = 0; i < 4; ++i)
                wav[at + i] = std::uint8_t(v >> (8 * i));
        };
        auto put16 = [&](std::size_t at, std::uint32_t v) {
            wav[at] = std::uint8_t(v);
            wav[at + 1] = std::uint8_t(v >> 8);
        };
        std::copy_n("RIFF----WAVEfmt ", 16, wav.begin());
        put32(4, std::uint32_t(head - 8 + bytes));
        put32(16, ima ? 20 : 16);
        put16(20, ima ? 0x11 : 1);
        put16(22, std::uint32_t(w.channels));
        put32(24, std::uint32_t(w.sampleRate));
        put32(28, w.byteRate);
        put16(32, std::uint32_t(w.blockAlign));
        put16(34, std::uint32_t(w.bitsPerSample));
        if (ima) {
            put16(36, 2);
            put16(38, std::uint32_t(w.samplesPerBlock));
        }
        std::copy_n("data", 4, wav.begin() + std::ptrdiff_t(head - 8));
        put32(head - 4, std::uint32_t(bytes));
        return dev_.loadWav(wav);
    }

    static bool isMidi(const std::string& path) {
        char head[4] = {};
        std::ifstream f(path, std::ios::binary);
        return f.read(head, 4) && std::string_view(head, 4) == "MThd";
    }

    // Without a device the player keeps the file's time.
    void silentFor(double durMs) {
        durMs_ = durMs;
        const std::uint64_t gen = gen_;
        timerId_ = rt_.at(rt_.now() + ui::ms(durMs), [this, gen] {
            timerId_ = 0;
            if (!playing_ || gen != gen_)
                return;
            if (repeat_ && durMs_ > 0)
                silentFor(durMs_);
            else
                finished();
        });
    }
    // A file that cannot play ends at once, on the loop.
    void endSoon() { silentFor(0); }
    void finishedLater() {
        const std::uint64_t gen = gen_;
        rt_.post([this, gen, alive = std::weak_ptr<char>(alive_)] {
            if (!alive.expired())
                deviceEnded(gen);
        });
    }

    // Should the device's end never arrive (a device lost mid-playback), the
    // player still ends shortly after the file's length.
    void watch(double durMs) {
        if (repeat_)
            return;
        const std::uint64_t gen = gen_;
        watchId_ = rt_.at(rt_.now() + ui::ms(durMs + 1000), [this, gen] {
            watchId_ = 0;
            if (playing_ && gen == gen_)
                finished();
        });
    }

    void finished() {
        playing_ = false;
        cancelTimers();
        if (notify_ && onEnd) {
            auto fn = onEnd; // the handler may replace onEnd
            fn();
        }
    }

    void cancelTimers() {
        if (timerId_)
            rt_.cancel(timerId_);
        if (watchId_)
            rt_.cancel(watchId_);
        timerId_ = watchId_ = 0;
    }

    void halt() {
        playing_ = false;
        cancelTimers();
        if (onChannel_) {
            dev_.halt(ch_);
            onChannel_ = false;
        }
        if (m_->musicOwner == this) {
            dev_.haltTune();
            m_->musicOwner = nullptr;
        }
        slice_.reset();
        sound_.reset();
        tune_.reset();
    }

    struct Loader {
        std::shared_ptr<std::atomic<bool>> done;
        std::jthread thread;
    };

    std::shared_ptr<Mixer> m_;
    platform::AudioDevice& dev_;
    ui::Runtime& rt_;
    int ch_;
    std::shared_ptr<char> alive_ = std::make_shared<char>();
    std::unique_ptr<platform::Sound> sound_;
    std::unique_ptr<platform::Sound> slice_; // a part of sound_: goes first
    std::shared_ptr<platform::Tune> tune_;
    std::uint64_t gen_ = 0;
    bool playing_ = false;
    bool onChannel_ = false;
    int timerId_ = 0;
    int watchId_ = 0;
    double durMs_ = 0;
    long volume_ = 65535;
    bool repeat_ = false;
    bool notify_ = false;
    std::vector<Loader> loaders_; // joined first when the player goes
};

void Mixer::listen(const std::shared_ptr<Mixer>& s) {
    self = s;
    device->setEndHandlers([this](int ch) { channelEnded(ch); }, [this] { tuneEnded(); });
}

// Audio thread (or inside a halt on the loop): post, never touch players.
void Mixer::channelEnded(int ch) {
    std::lock_guard lock(mutex);
    if (ch < 0 || ch >= kChannels || !channelLoop[ch])
        return;
    const std::uint64_t gen = channelGen[ch];
    channelLoop[ch]->post([ch, gen, weak = self] {
        if (auto m = weak.lock(); m && m->channelOwner[ch])
            m->channelOwner[ch]->deviceEnded(gen);
    });
}

void Mixer::tuneEnded() {
    std::lock_guard lock(mutex);
    if (!musicLoop)
        return;
    const std::uint64_t gen = musicGen;
    musicLoop->post([gen, weak = self] {
        if (auto m = weak.lock(); m && m->musicOwner)
            m->musicOwner->deviceEnded(gen);
    });
}

class AudioBackend final : public MediaBackend {
  public:
    explicit AudioBackend(std::shared_ptr<platform::AudioDevice> d)
        : m_(std::make_shared<Mixer>(std::move(d))) {
        m_->listen(m_);
    }
    std::unique_ptr<SoundPlayer> createPlayer(ui::Runtime& rt) override {
        int ch = -1;
        for (int i = 0; i < kChannels; ++i)
            if (!m_->channelOwner[i]) {
                ch = i;
                break;
            }
        return std::make_unique<DevicePlayer>(m_, rt, ch);
    }

  private:
    std::shared_ptr<Mixer> m_;
};

} // namespace

std::unique_ptr<MediaBackend> createAudioBackend(std::shared_ptr<platform::AudioDevice> device) {
    return std::make_unique<AudioBackend>(std::move(device));
}

} // namespace media
