// The audio device on SDL2_mixer. The mixer reports ends through plain
// function pointers, so the one open device is found through a pointer kept
// under a lock; the handlers it calls only hand the news on.
#include "platform/Audio.h"
#include "platform/CallThread.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <dlfcn.h>
#include <filesystem>
#include <mutex>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace platform {

namespace {

// The players' channels; more are made when a higher one is asked for.
constexpr int kChannels = 32;

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

// How long the window thread waits for any call into the mixer. The mixer
// takes the audio thread's lock for most calls; should that thread hang (a
// synthesizer looping over a damaged tune), the program goes on silently
// instead of freezing with it.
constexpr std::chrono::milliseconds kMixerWait{2000};

// The mixer and the synthesizer, sample readers and sound servers below it
// are loaded when the device first opens, after the first screen is shown;
// fourteen libraries fewer to map at start.
#define SHIZI_MIX_CALLS(X)                                                                         \
    X(Mix_Init)                                                                                    \
    X(Mix_Quit)                                                                                    \
    X(Mix_OpenAudioDevice)                                                                         \
    X(Mix_CloseAudio)                                                                              \
    X(Mix_QuerySpec)                                                                               \
    X(Mix_AllocateChannels)                                                                        \
    X(Mix_SetSoundFonts)                                                                           \
    X(Mix_ChannelFinished)                                                                         \
    X(Mix_HookMusicFinished)                                                                       \
    X(Mix_LoadWAV_RW)                                                                              \
    X(Mix_QuickLoad_RAW)                                                                           \
    X(Mix_PlayChannelTimed)                                                                        \
    X(Mix_HaltChannel)                                                                             \
    X(Mix_Volume)                                                                                  \
    X(Mix_LoadMUS)                                                                                 \
    X(Mix_PlayMusic)                                                                               \
    X(Mix_HaltMusic)                                                                               \
    X(Mix_VolumeMusic)                                                                             \
    X(Mix_FreeChunk)                                                                               \
    X(Mix_FreeMusic)

struct Mixer {
// NOLINTBEGIN(bugprone-macro-parentheses): the argument is a name, not an expression
#define SHIZI_MIX_POINTER(name) decltype(&::name) name = nullptr;
    // NOLINTEND(bugprone-macro-parentheses)
    SHIZI_MIX_CALLS(SHIZI_MIX_POINTER)
#undef SHIZI_MIX_POINTER
};

// SDL2_mixer's run-time name, the same for every 2.x release.
constexpr const char* kMixerLibrary = "libSDL2_mixer-2.0.so.0";

// Set once, before the device opens; every call above comes after that.
Mixer mix;

// Loads the mixer; false, after one line on standard error, when it or
// one of its functions is missing.
bool loadMixer() {
    void* h = dlopen(kMixerLibrary, RTLD_NOW | RTLD_LOCAL);
    if (!h) {
        std::fprintf(stderr, "sound: cannot load %s (%s); going on silently\n", kMixerLibrary,
                     dlerror());
        return false;
    }
    bool all = true;
#define SHIZI_MIX_FIND(name)                                                                       \
    mix.name = reinterpret_cast<decltype(mix.name)>(dlsym(h, #name));                              \
    if (!mix.name) {                                                                               \
        std::fprintf(stderr, "sound: %s is missing from %s; going on silently\n", #name,           \
                     kMixerLibrary);                                                               \
        all = false;                                                                               \
    }
    SHIZI_MIX_CALLS(SHIZI_MIX_FIND)
#undef SHIZI_MIX_FIND
    return all;
}

// Sounds and tunes keep the device open: the mixer must outlive what it
// plays, whichever goes first. They are freed on the mixer's call thread.
class MixSound final : public Sound {
  public:
    MixSound(std::shared_ptr<const void> device, std::shared_ptr<CallThread> calls, Mix_Chunk* c,
             std::vector<std::int16_t> samples = {})
        : chunk(c), device_(std::move(device)), calls_(std::move(calls)),
          samples_(std::move(samples)) {}
    ~MixSound() override {
        // A mixer that no longer answers keeps the chunk and its samples:
        // its audio thread may still be reading them.
        if (!calls_->run([c = chunk] { mix.Mix_FreeChunk(c); }))
            leak(std::move(samples_));
    }
    MixSound(const MixSound&) = delete;
    MixSound& operator=(const MixSound&) = delete;
    std::size_t bytes() const override { return chunk->alen; }
    Mix_Chunk* chunk;

  private:
    static void leak(std::vector<std::int16_t> samples) {
        // Deliberately never freed.
        auto* kept = new std::vector<std::int16_t>(std::move(samples)); // NOLINT
        (void)kept;
    }
    std::shared_ptr<const void> device_;
    std::shared_ptr<CallThread> calls_;
    std::vector<std::int16_t> samples_; // what a chunk made from samples points into
};

class MixTune final : public Tune {
  public:
    MixTune(std::shared_ptr<const void> device, std::shared_ptr<CallThread> calls, Mix_Music* m)
        : music(m), device_(std::move(device)), calls_(std::move(calls)) {}
    ~MixTune() override {
        calls_->run([m = music] { mix.Mix_FreeMusic(m); });
    }
    MixTune(const MixTune&) = delete;
    MixTune& operator=(const MixTune&) = delete;
    Mix_Music* music;

  private:
    std::shared_ptr<const void> device_;
    std::shared_ptr<CallThread> calls_;
};

int mixVolume(long v) {
    v = std::clamp(v, 0L, 65535L);
    return int((v * MIX_MAX_VOLUME + 32767) / 65535);
}

class SdlAudioDevice;

std::mutex gMutex;
SdlAudioDevice* gDevice = nullptr; // the open device; read by the mixer's callbacks under gMutex

void channelFinished(int ch);
void musicFinished();
int watchDevice(void*, SDL_Event* ev);

class SdlAudioDevice final : public AudioDevice,
                             public std::enable_shared_from_this<SdlAudioDevice> {
  public:
    // The device opens on first use, or when the program asks (prepare()).
    explicit SdlAudioDevice(const AudioOptions& o);
    ~SdlAudioDevice() override;
    void prepare() override { ensureOpen(); }
    SdlAudioDevice(const SdlAudioDevice&) = delete;
    SdlAudioDevice& operator=(const SdlAudioDevice&) = delete;

    AudioFormat format() const override {
        ensureOpen();
        return format_;
    }
    bool usable() const override {
        ensureOpen();
        return open_ && !lost_.load() && !calls_->stuck();
    }
    bool playsTunes() const override {
        ensureOpen();
        return tunes_;
    }

    std::unique_ptr<Sound> loadSound(const std::string& path) override {
        if (!ready())
            return nullptr;
        return chunkSound(calls_->call<Mix_Chunk*>([path, e = error_] {
            return e->keep(mix.Mix_LoadWAV_RW(SDL_RWFromFile(path.c_str(), "rb"), 1));
        }));
    }
    std::unique_ptr<Sound> loadWav(const std::vector<std::uint8_t>& wav) override {
        if (!ready())
            return nullptr;
        // A call that does not end in time goes on reading: it keeps its own
        // copy of the bytes.
        auto bytes = std::make_shared<const std::vector<std::uint8_t>>(wav);
        return chunkSound(calls_->call<Mix_Chunk*>([bytes, e = error_] {
            return e->keep(
                mix.Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes->data(), int(bytes->size())), 1));
        }));
    }
    std::unique_ptr<Sound> slice(const Sound& whole, std::size_t from, std::size_t to) override {
        const Mix_Chunk* w = static_cast<const MixSound&>(whole).chunk;
        to = std::min<std::size_t>(to, w->alen);
        from = std::min(from, to);
        return chunkSound(calls_->call<Mix_Chunk*>(
            [w, from, to] { return mix.Mix_QuickLoad_RAW(w->abuf + from, Uint32(to - from)); }));
    }
    std::unique_ptr<Sound> fromSamples(std::vector<std::int16_t> samples) override {
        if (!ready())
            return nullptr;
        auto* data = reinterpret_cast<Uint8*>(samples.data());
        const auto bytes = Uint32(samples.size() * sizeof(std::int16_t));
        return chunkSound(
            calls_->call<Mix_Chunk*>([data, bytes] { return mix.Mix_QuickLoad_RAW(data, bytes); }),
            std::move(samples));
    }

    bool play(int channel, Sound& sound, bool loop) override {
        if (!ready())
            return false;
        Mix_Chunk* c = static_cast<MixSound&>(sound).chunk;
        return calls_
            ->call<bool>([channel, c, loop, e = error_] {
                if (mix.Mix_AllocateChannels(-1) <= channel)
                    mix.Mix_AllocateChannels(channel + 1);
                return e->keep(mix.Mix_PlayChannelTimed(channel, c, loop ? -1 : 0, -1) >= 0);
            })
            .value_or(false);
    }
    // Nothing plays before the device opens: stopping does not open it.
    void halt(int channel) override {
        if (!open_)
            return;
        calls_->run([channel] { mix.Mix_HaltChannel(channel); });
    }
    void setVolume(int channel, long volume) override {
        if (open_)
            calls_->run([channel, v = mixVolume(volume)] { mix.Mix_Volume(channel, v); });
    }

    // Reading the soundfont takes seconds and happens on the caller's worker
    // thread, away from the audio thread's lock; a damaged tune never gets
    // here (the players check its chunks first).
    std::unique_ptr<Tune> loadTune(const std::string& path, std::string& error) override {
        if (!ready()) {
            error = "no audio device";
            return nullptr;
        }
        if (calls_->stuck()) {
            error = "the mixer does not answer";
            return nullptr;
        }
        Mix_Music* m = mix.Mix_LoadMUS(path.c_str());
        if (!m) {
            error = Mix_GetError();
            return nullptr;
        }
        return std::make_unique<MixTune>(shared_from_this(), calls_, m);
    }
    bool playTune(Tune& tune, bool loop) override {
        if (!ready())
            return false;
        Mix_Music* m = static_cast<MixTune&>(tune).music;
        return calls_
            ->call<bool>(
                [m, loop, e = error_] { return e->keep(mix.Mix_PlayMusic(m, loop ? -1 : 0) >= 0); })
            .value_or(false);
    }
    void haltTune() override {
        if (!open_)
            return;
        calls_->run([] { mix.Mix_HaltMusic(); });
    }
    void setTuneVolume(long volume) override {
        if (!open_)
            return;
        calls_->run([v = mixVolume(volume)] { mix.Mix_VolumeMusic(v); });
    }

    void setEndHandlers(std::function<void(int)> channelEnded,
                        std::function<void()> tuneEnded) override {
        std::lock_guard lock(gMutex);
        channelEnded_ = std::move(channelEnded);
        tuneEnded_ = std::move(tuneEnded);
    }

    std::string lastError() const override {
        if (calls_->stuck())
            return "the mixer does not answer";
        return error_->text();
    }

    // Called under gMutex.
    void channelEnded(int ch) const {
        if (channelEnded_)
            channelEnded_(ch);
    }
    void tuneEnded() const {
        if (tuneEnded_)
            tuneEnded_();
    }
    void deviceRemoved() {
        if (!lost_.exchange(true))
            std::fprintf(stderr, "sound: the audio device was lost; going on silently\n");
    }

  private:
    void ensureOpen() const;
    void open();
    // Opened (the mixer loaded, the device open); a load or play on a
    // device that is not says so in lastError().
    bool ready() {
        ensureOpen();
        if (open_)
            return true;
        error_->set("no audio device");
        return false;
    }
    std::unique_ptr<Sound> chunkSound(std::optional<Mix_Chunk*> c,
                                      std::vector<std::int16_t> samples = {}) {
        if (!c || !*c)
            return nullptr;
        return std::make_unique<MixSound>(shared_from_this(), calls_, *c, std::move(samples));
    }

    // The mixer's errors are kept per thread; its calls run on another one.
    struct LastError {
        template <class T> T keep(T result) {
            if (!result) {
                std::lock_guard lock(mutex);
                message = Mix_GetError();
            }
            return result;
        }
        std::string text() {
            std::lock_guard lock(mutex);
            return message;
        }
        void set(std::string text) {
            std::lock_guard lock(mutex);
            message = std::move(text);
        }
        std::mutex mutex;
        std::string message;
    };
    std::shared_ptr<LastError> error_ = std::make_shared<LastError>();
    std::shared_ptr<CallThread> calls_ =
        std::make_shared<CallThread>("sound: the mixer", kMixerWait);
    AudioOptions options_;
    mutable std::once_flag opened_;
    // Set on the call thread while opening; read after ensureOpen().
    AudioFormat format_;
    std::atomic<bool> open_{false};
    bool tunes_ = false;
    std::atomic<bool> lost_{false};
    std::function<void(int)> channelEnded_; // guarded by gMutex
    std::function<void()> tuneEnded_;       // guarded by gMutex
};

SdlAudioDevice::SdlAudioDevice(const AudioOptions& o) : options_(o) {}

void SdlAudioDevice::ensureOpen() const {
    // Finding and opening a device (a sound server, the sound card's probe)
    // takes from milliseconds to a tenth of a second; the first screen is
    // shown without waiting for it. It runs on the mixer's call thread like
    // every other call, so a device that never answers costs the limit once.
    std::call_once(opened_, [this] {
        auto* self = const_cast<SdlAudioDevice*>(this);
        if (!calls_->run([self] { self->open(); }))
            self->open_ = false;
    });
}

void SdlAudioDevice::open() {
    const AudioOptions& o = options_;
    if (!loadMixer())
        return;
    int initFailed;
    {
        QuietStderr quiet;
        initFailed = SDL_InitSubSystem(SDL_INIT_AUDIO);
    }
    if (initFailed != 0) {
        std::fprintf(stderr, "sound: no audio (%s); going on silently\n", SDL_GetError());
        return;
    }
    mix.Mix_Init(MIX_INIT_MID);
    int failed;
    {
        QuietStderr quiet;
        failed = mix.Mix_OpenAudioDevice(o.frequency, AUDIO_S16SYS, 2, o.bufferSamples, nullptr, 0);
    }
    if (failed != 0) {
        std::fprintf(stderr, "sound: no audio device (%s); going on silently\n", Mix_GetError());
        // Closing the subsystem waits for its device watcher's next round (up
        // to a tenth of a second, after the first screen); left open, the
        // watcher would look for a sound card ten times a second for ever.
        mix.Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    open_ = true;
    int frequency = 0, channels = 2;
    Uint16 format = AUDIO_S16SYS;
    mix.Mix_QuerySpec(&frequency, &format, &channels);
    format_ = {frequency, channels, int(SDL_AUDIO_BITSIZE(format) / 8)};
    mix.Mix_AllocateChannels(kChannels);
    if (std::filesystem::is_regular_file(o.soundFont) && mix.Mix_SetSoundFonts(o.soundFont.c_str()))
        tunes_ = true;
    else
        std::fprintf(stderr, "sound: soundfont %s is missing; no music\n", o.soundFont.c_str());
    {
        std::lock_guard lock(gMutex);
        gDevice = this;
    }
    mix.Mix_ChannelFinished(channelFinished);
    mix.Mix_HookMusicFinished(musicFinished);
    SDL_AddEventWatch(watchDevice, nullptr);
}

SdlAudioDevice::~SdlAudioDevice() {
    if (!open_.load())
        return;
    SDL_DelEventWatch(watchDevice, nullptr);
    {
        std::lock_guard lock(gMutex);
        if (gDevice == this)
            gDevice = nullptr;
    }
    // A mixer that stopped answering would hang the program's end too: it is
    // left as it is.
    calls_->run([] {
        mix.Mix_ChannelFinished(nullptr);
        mix.Mix_HookMusicFinished(nullptr);
        mix.Mix_HaltChannel(-1);
        mix.Mix_HaltMusic();
        mix.Mix_CloseAudio();
        mix.Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    });
}

// Audio thread, or inside a halt on the loop.
void channelFinished(int ch) {
    std::lock_guard lock(gMutex);
    if (gDevice)
        gDevice->channelEnded(ch);
}

void musicFinished() {
    std::lock_guard lock(gMutex);
    if (gDevice)
        gDevice->tuneEnded();
}

int watchDevice(void*, SDL_Event* ev) {
    if (ev->type == SDL_AUDIODEVICEREMOVED && !ev->adevice.iscapture) {
        std::lock_guard lock(gMutex);
        if (gDevice)
            gDevice->deviceRemoved();
    }
    return 1;
}

} // namespace

std::shared_ptr<AudioDevice> createAudioDevice(const AudioOptions& options) {
    return std::make_shared<SdlAudioDevice>(options);
}

} // namespace platform
