// Only the real backend includes SDL_mixer: the rest of the program and every
// test above this layer sees SoundPlayer alone.
#include "media/SdlMedia.h"

#include "media/SoundFile.h"
#include "ui/Runtime.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace media {

namespace {

constexpr int kChannels = 32;

class SdlSoundPlayer;

// The open mixer. Callbacks from the audio thread find the loop through it
// and only ever post; everything else runs on the loop.
struct Mixer {
    explicit Mixer(const SdlMediaOptions& o);
    ~Mixer();
    bool usable() const { return open && !lost.load(); }

    bool open = false;
    bool midi = false;
    int frequency = 0;
    int frameBytes = 4;
    ui::Runtime* channelLoop[kChannels] = {}; // guarded by gMutex
    std::atomic<std::uint64_t> channelGen[kChannels] = {};
    SdlSoundPlayer* channelOwner[kChannels] = {}; // loop only
    ui::Runtime* musicLoop = nullptr;             // guarded by gMutex
    std::atomic<std::uint64_t> musicGen{0};
    SdlSoundPlayer* musicOwner = nullptr; // loop only
    std::atomic<bool> lost{false};
};

// The sound libraries below SDL report a missing device in many lines of
// their own; the program says it in one.
class QuietStderr {
  public:
    QuietStderr() {
#ifndef _WIN32
        std::fflush(stderr);
        saved_ = dup(2);
        const int null = open("/dev/null", O_WRONLY);
        if (saved_ >= 0 && null >= 0)
            dup2(null, 2);
        if (null >= 0)
            close(null);
#endif
    }
    ~QuietStderr() {
#ifndef _WIN32
        if (saved_ >= 0) {
            std::fflush(stderr);
            dup2(saved_, 2);
            close(saved_);
        }
#endif
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

  private:
    int saved_ = -1;
};

std::mutex gMutex;
Mixer* gMixer = nullptr; // set and cleared on the loop, read by callbacks under gMutex
std::atomic<std::uint64_t> gGen{1};

void channelFinished(int ch);
void musicFinished();
int watchDevice(void*, SDL_Event* ev);

class SdlSoundPlayer final : public SoundPlayer {
  public:
    SdlSoundPlayer(std::shared_ptr<Mixer> m, ui::Runtime& rt, int ch)
        : m_(std::move(m)), rt_(rt), ch_(ch) {
        if (ch_ >= 0) {
            m_->channelOwner[ch_] = this;
            std::lock_guard lock(gMutex);
            m_->channelLoop[ch_] = &rt_;
        }
    }
    ~SdlSoundPlayer() override {
        halt();
        if (ch_ >= 0) {
            m_->channelOwner[ch_] = nullptr;
            std::lock_guard lock(gMutex);
            m_->channelLoop[ch_] = nullptr;
        }
    }

    void play() override { begin(false, 0, 0); }
    void playRange(double s, double e) override { begin(true, s, e); }
    void stop() override { halt(); }
    void setVolume(long v) override {
        volume_ = std::clamp(v, 0L, 65535L);
        if (ch_ >= 0 && m_->open)
            Mix_Volume(ch_, mixVolume());
        if (m_->musicOwner == this)
            Mix_VolumeMusic(mixVolume());
    }
    long volume() const override { return volume_; }
    void setRepeat(bool r) override { repeat_ = r; }
    bool repeat() const override { return repeat_; }
    void setNotify(bool n) override { notify_ = n; }
    bool notify() const override { return notify_; }
    long lengthMs() override { return soundLengthMs(soundPath(fileName)); }

    // The mixer reported the end of playback number `gen`.
    void mixerEnded(std::uint64_t gen) {
        if (playing_ && gen == gen_)
            finished();
    }

  private:
    int mixVolume() const { return int((volume_ * MIX_MAX_VOLUME + 32767) / 65535); }

    void begin(bool range, double startMs, double endMs) {
        halt();
        const std::string path = soundPath(fileName);
        gen_ = gGen++;
        playing_ = true;
        if (isMidi(path)) {
            beginMusic(path);
            return;
        }
        WavInfo w;
        const bool pcm = readWavInfo(path, w);
        if (!pcm && !std::filesystem::is_regular_file(path)) {
            std::fprintf(stderr, "sound: %s is missing\n", path.c_str());
            endSoon();
            return;
        }
        double durMs = pcm ? w.lengthMs() : 0;
        std::uint64_t firstFrame = 0, endFrame = 0;
        if (pcm) {
            const std::uint64_t frames = w.dataBytes / std::uint64_t(w.blockAlign);
            endFrame = frames;
            if (range) {
                firstFrame = toFrame(startMs, w.sampleRate, frames);
                endFrame = std::max(firstFrame, toFrame(endMs + 1, w.sampleRate, frames));
            }
            durMs = double(endFrame - firstFrame) * 1000.0 / w.sampleRate;
        }
        if (!m_->usable() || ch_ < 0) {
            silentFor(durMs);
            return;
        }
        if (pcm && range)
            chunk_ = loadSlice(path, w, firstFrame, endFrame);
        else
            chunk_ = Mix_LoadWAV(path.c_str());
        if (!chunk_) {
            std::fprintf(stderr, "sound: cannot read %s: %s\n", path.c_str(), Mix_GetError());
            endSoon();
            return;
        }
        Mix_Chunk* toPlay = chunk_;
        if (!pcm) {
            // A compressed file is sliced after the mixer has decoded it.
            const double bytesPerMs = double(m_->frequency) * m_->frameBytes / 1000.0;
            std::uint64_t from = 0, to = chunk_->alen;
            if (range) {
                from = std::min<std::uint64_t>(chunk_->alen, sliceByte(startMs, bytesPerMs));
                to =
                    std::clamp<std::uint64_t>(sliceByte(endMs + 1, bytesPerMs), from, chunk_->alen);
                slice_ = Mix_QuickLoad_RAW(chunk_->abuf + from, Uint32(to - from));
                toPlay = slice_;
            }
            durMs = double(to - from) / bytesPerMs;
        }
        if (!toPlay || toPlay->alen == 0) {
            endSoon();
            return;
        }
        Mix_Volume(ch_, mixVolume());
        m_->channelGen[ch_] = gen_;
        if (Mix_PlayChannel(ch_, toPlay, repeat_ ? -1 : 0) < 0) {
            std::fprintf(stderr, "sound: cannot play %s: %s\n", path.c_str(), Mix_GetError());
            silentFor(durMs);
            return;
        }
        onChannel_ = true;
        watch(durMs);
    }

    void beginMusic(const std::string& path) {
        const double durMs = double(midiLengthMs(path));
        if (!std::filesystem::is_regular_file(path)) {
            std::fprintf(stderr, "sound: %s is missing\n", path.c_str());
            endSoon();
            return;
        }
        if (!m_->usable() || !m_->midi) {
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
                 Mix_Music* mus = Mix_LoadMUS(path.c_str());
                 std::string err = mus ? "" : Mix_GetError();
                 rt_.post([this, mus, err, path, gen, alive] {
                     if (alive.expired())
                         Mix_FreeMusic(mus);
                     else
                         musicLoaded(mus, err, path, gen);
                 });
                 *done = true;
             })});
    }

    void musicLoaded(Mix_Music* mus, const std::string& err, const std::string& path,
                     std::uint64_t gen) {
        if (!playing_ || gen != gen_) {
            if (mus)
                Mix_FreeMusic(mus);
            return;
        }
        if (!mus) {
            std::fprintf(stderr, "sound: cannot read %s: %s\n", path.c_str(), err.c_str());
            endSoon();
            return;
        }
        music_ = mus;
        // There is one music stream: a player that takes it ends the other's tune.
        if (m_->musicOwner && m_->musicOwner != this) {
            SdlSoundPlayer* old = m_->musicOwner;
            m_->musicOwner = nullptr;
            old->halt();
            old->playing_ = true; // so that its end event still comes
            old->finishedLater();
        }
        m_->musicOwner = this;
        {
            std::lock_guard lock(gMutex);
            m_->musicLoop = &rt_;
        }
        m_->musicGen = gen_;
        Mix_VolumeMusic(mixVolume());
        const double durMs = double(midiLengthMs(path));
        if (Mix_PlayMusic(music_, repeat_ ? -1 : 0) < 0) {
            std::fprintf(stderr, "sound: cannot play %s: %s\n", path.c_str(), Mix_GetError());
            m_->musicOwner = nullptr;
            silentFor(durMs);
            return;
        }
        watch(durMs);
    }

    static std::uint64_t toFrame(double ms, int rate, std::uint64_t frames) {
        if (ms <= 0)
            return 0;
        return std::min<std::uint64_t>(frames, std::uint64_t(std::llround(ms * rate / 1000.0)));
    }
    std::uint64_t sliceByte(double ms, double bytesPerMs) const {
        if (ms <= 0)
            return 0;
        const auto b = std::uint64_t(std::llround(ms * bytesPerMs));
        return b - b % std::uint64_t(m_->frameBytes);
    }

    // Reads only the frames of the range, so a character's 1.5 s slot does not
    // load the whole 147 s file.
    static Mix_Chunk* loadSlice(const std::string& path, const WavInfo& w, std::uint64_t first,
                                std::uint64_t end) {
        const std::uint64_t bytes = (end - first) * std::uint64_t(w.blockAlign);
        std::vector<Uint8> wav(44 + bytes);
        std::ifstream f(path, std::ios::binary);
        f.seekg(std::streamoff(w.dataOffset + first * std::uint64_t(w.blockAlign)));
        if (!f.read(reinterpret_cast<char*>(wav.data() + 44), std::streamsize(bytes)))
            return nullptr;
        auto put32 = [&](std::size_t at, std::uint32_t v) {
            for (int i = 0; i < 4; ++i)
                wav[at + i] = Uint8(v >> (8 * i));
        };
        auto put16 = [&](std::size_t at, std::uint32_t v) {
            wav[at] = Uint8(v);
            wav[at + 1] = Uint8(v >> 8);
        };
        std::copy_n("RIFF----WAVEfmt ", 16, wav.begin());
        put32(4, std::uint32_t(36 + bytes));
        put32(16, 16);
        put16(20, 1);
        put16(22, std::uint32_t(w.channels));
        put32(24, std::uint32_t(w.sampleRate));
        put32(28, w.byteRate);
        put16(32, std::uint32_t(w.blockAlign));
        put16(34, std::uint32_t(w.bitsPerSample));
        std::copy_n("data", 4, wav.begin() + 36);
        put32(40, std::uint32_t(bytes));
        return Mix_LoadWAV_RW(SDL_RWFromConstMem(wav.data(), int(wav.size())), 1);
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
                mixerEnded(gen);
        });
    }

    // Should the mixer's end never arrive (a device lost mid-playback), the
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
            Mix_HaltChannel(ch_);
            onChannel_ = false;
        }
        if (m_->musicOwner == this) {
            Mix_HaltMusic();
            m_->musicOwner = nullptr;
        }
        if (slice_)
            Mix_FreeChunk(slice_);
        if (chunk_)
            Mix_FreeChunk(chunk_);
        if (music_)
            Mix_FreeMusic(music_);
        slice_ = chunk_ = nullptr;
        music_ = nullptr;
    }

    struct Loader {
        std::shared_ptr<std::atomic<bool>> done;
        std::jthread thread;
    };

    std::shared_ptr<Mixer> m_;
    ui::Runtime& rt_;
    int ch_;
    std::shared_ptr<char> alive_ = std::make_shared<char>();
    Mix_Chunk* chunk_ = nullptr;
    Mix_Chunk* slice_ = nullptr;
    Mix_Music* music_ = nullptr;
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

Mixer::Mixer(const SdlMediaOptions& o) {
    int initFailed;
    {
        QuietStderr quiet;
        initFailed = SDL_InitSubSystem(SDL_INIT_AUDIO);
    }
    if (initFailed != 0) {
        std::fprintf(stderr, "sound: no audio (%s); going on silently\n", SDL_GetError());
        return;
    }
    Mix_Init(MIX_INIT_MID);
    int failed;
    {
        QuietStderr quiet;
        failed = Mix_OpenAudioDevice(o.frequency, AUDIO_S16SYS, 2, o.bufferSamples, nullptr, 0);
    }
    if (failed != 0) {
        std::fprintf(stderr, "sound: no audio device (%s); going on silently\n", Mix_GetError());
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    open = true;
    int channels = 2;
    Uint16 format = AUDIO_S16SYS;
    Mix_QuerySpec(&frequency, &format, &channels);
    frameBytes = channels * int(SDL_AUDIO_BITSIZE(format) / 8);
    Mix_AllocateChannels(kChannels);
    if (std::filesystem::is_regular_file(o.soundFont) && Mix_SetSoundFonts(o.soundFont.c_str()))
        midi = true;
    else
        std::fprintf(stderr, "sound: soundfont %s is missing; no music\n", o.soundFont.c_str());
    {
        std::lock_guard lock(gMutex);
        gMixer = this;
    }
    Mix_ChannelFinished(channelFinished);
    Mix_HookMusicFinished(musicFinished);
    SDL_AddEventWatch(watchDevice, nullptr);
}

Mixer::~Mixer() {
    if (!open)
        return;
    SDL_DelEventWatch(watchDevice, nullptr);
    Mix_ChannelFinished(nullptr);
    Mix_HookMusicFinished(nullptr);
    {
        std::lock_guard lock(gMutex);
        gMixer = nullptr;
    }
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

// Audio thread (or inside a halt on the loop): post, never touch players.
void channelFinished(int ch) {
    std::lock_guard lock(gMutex);
    if (!gMixer || ch < 0 || ch >= kChannels || !gMixer->channelLoop[ch])
        return;
    const std::uint64_t gen = gMixer->channelGen[ch];
    gMixer->channelLoop[ch]->post([ch, gen] {
        std::unique_lock l(gMutex);
        Mixer* m = gMixer;
        l.unlock();
        if (m && m->channelOwner[ch])
            m->channelOwner[ch]->mixerEnded(gen);
    });
}

void musicFinished() {
    std::lock_guard lock(gMutex);
    if (!gMixer || !gMixer->musicLoop)
        return;
    const std::uint64_t gen = gMixer->musicGen;
    gMixer->musicLoop->post([gen] {
        std::unique_lock l(gMutex);
        Mixer* m = gMixer;
        l.unlock();
        if (m && m->musicOwner)
            m->musicOwner->mixerEnded(gen);
    });
}

int watchDevice(void*, SDL_Event* ev) {
    if (ev->type == SDL_AUDIODEVICEREMOVED && !ev->adevice.iscapture) {
        std::lock_guard lock(gMutex);
        if (gMixer && !gMixer->lost.exchange(true))
            std::fprintf(stderr, "sound: the audio device was lost; going on silently\n");
    }
    return 1;
}

class SdlMediaBackend final : public MediaBackend {
  public:
    explicit SdlMediaBackend(const SdlMediaOptions& o) : m_(std::make_shared<Mixer>(o)) {}
    std::unique_ptr<SoundPlayer> createPlayer(ui::Runtime& rt) override {
        int ch = -1;
        for (int i = 0; i < kChannels; ++i)
            if (!m_->channelOwner[i]) {
                ch = i;
                break;
            }
        return std::make_unique<SdlSoundPlayer>(m_, rt, ch);
    }

  private:
    std::shared_ptr<Mixer> m_;
};

} // namespace

std::unique_ptr<MediaBackend> createSdlMediaBackend(const SdlMediaOptions& options) {
    return std::make_unique<SdlMediaBackend>(options);
}

} // namespace media
