#include "media/FakeMedia.h"

#include "media/SoundFile.h"
#include "ui/Runtime.h"

#include <algorithm>
#include <cmath>
#include <fstream>

namespace media {

struct FakeMediaBackend::Shared {
    std::vector<MediaCommand> log;
    std::map<std::string, long> lengths; // overrides by base name
    std::map<int, bool> playing;
    int nextPlayer = 1;

    long lengthOf(const std::string& file) const {
        const auto it = lengths.find(baseName(file));
        if (it != lengths.end())
            return it->second;
        return soundLengthMs(file);
    }
};

namespace {

using Kind = MediaCommand::Kind;

class FakeSoundPlayer final : public SoundPlayer {
  public:
    FakeSoundPlayer(std::shared_ptr<FakeMediaBackend::Shared> sh, ui::Runtime& rt, int id)
        : sh_(std::move(sh)), rt_(rt), id_(id) {
        sh_->playing[id_] = false;
    }
    ~FakeSoundPlayer() override {
        cancelEnd();
        sh_->playing[id_] = false;
    }

    void play() override {
        record(Kind::Play);
        start(double(sh_->lengthOf(fileName)));
    }
    void playRange(double startMs, double endMs) override {
        record(Kind::PlayRange, startMs, endMs);
        // A range running past the end plays what exists.
        const double len = double(sh_->lengthOf(fileName));
        start(std::max(0.0, std::min(endMs + 1, len) - std::max(0.0, startMs)));
    }
    void stop() override {
        record(Kind::Stop);
        cancelEnd();
        sh_->playing[id_] = false;
    }
    void setVolume(long v) override {
        volume_ = v;
        record(Kind::Volume, 0, 0, v);
    }
    long volume() const override { return volume_; }
    void setRepeat(bool r) override {
        repeat_ = r;
        record(Kind::Repeat, 0, 0, r);
    }
    bool repeat() const override { return repeat_; }
    void setNotify(bool n) override {
        notify_ = n;
        record(Kind::Notify, 0, 0, n);
    }
    bool notify() const override { return notify_; }
    long lengthMs() override { return sh_->lengthOf(fileName); }

  private:
    void record(Kind k, double s = 0, double e = 0, long v = 0) {
        sh_->log.push_back({id_, k, fileName, s, e, v, rt_.now()});
    }
    void start(double durMs) {
        cancelEnd();
        sh_->playing[id_] = true;
        durMs_ = durMs;
        schedule();
    }
    void schedule() {
        endId_ = rt_.at(rt_.now() + ui::Micros(std::llround(durMs_ * 1000.0)), [this] {
            endId_ = 0;
            finished();
        });
    }
    void finished() {
        // An empty file cannot loop: it ends, or a repeat would never let go.
        if (repeat_ && durMs_ > 0) {
            schedule();
            return;
        }
        sh_->playing[id_] = false;
        record(Kind::End);
        if (notify_ && onEnd) {
            auto fn = onEnd; // the handler may replace onEnd
            fn();
        }
    }
    void cancelEnd() {
        if (endId_) {
            rt_.cancel(endId_);
            endId_ = 0;
        }
    }

    std::shared_ptr<FakeMediaBackend::Shared> sh_;
    ui::Runtime& rt_;
    int id_;
    int endId_ = 0;
    double durMs_ = 0;
    long volume_ = 65535;
    bool repeat_ = false;
    bool notify_ = false;
};

} // namespace

FakeMediaBackend::FakeMediaBackend() : sh_(std::make_shared<Shared>()) {}
FakeMediaBackend::~FakeMediaBackend() = default;

std::unique_ptr<SoundPlayer> FakeMediaBackend::createPlayer(ui::Runtime& rt) {
    return std::make_unique<FakeSoundPlayer>(sh_, rt, sh_->nextPlayer++);
}

const std::vector<MediaCommand>& FakeMediaBackend::log() const {
    return sh_->log;
}
void FakeMediaBackend::clearLog() {
    sh_->log.clear();
}

std::vector<std::string> FakeMediaBackend::played() const {
    std::vector<std::string> out;
    for (const auto& c : sh_->log)
        if (c.kind == Kind::Play || c.kind == Kind::PlayRange)
            out.push_back(baseName(c.file));
    return out;
}

std::optional<MediaCommand> FakeMediaBackend::lastPlay(int player) const {
    for (auto it = sh_->log.rbegin(); it != sh_->log.rend(); ++it)
        if ((it->kind == Kind::Play || it->kind == Kind::PlayRange) &&
            (player == 0 || it->player == player))
            return *it;
    return std::nullopt;
}

std::vector<MediaCommand> FakeMediaBackend::commands(MediaCommand::Kind k, int player) const {
    std::vector<MediaCommand> out;
    for (const auto& c : sh_->log)
        if (c.kind == k && (player == 0 || c.player == player))
            out.push_back(c);
    return out;
}

bool FakeMediaBackend::playing(int player) const {
    for (const auto& [id, on] : sh_->playing)
        if (on && (player == 0 || id == player))
            return true;
    return false;
}

void FakeMediaBackend::setLength(const std::string& base, long ms) {
    sh_->lengths[base] = ms;
}
long FakeMediaBackend::lengthOf(const std::string& file) const {
    return sh_->lengthOf(file);
}

// ---- video ---------------------------------------------------------------------

struct FakeVideoBackend::Shared {
    std::vector<std::string> started;
    int playing = 0;
};

namespace {

class FakeClip final : public VideoClip {
  public:
    FakeClip(std::shared_ptr<FakeVideoBackend::Shared> sh, ui::Runtime& rt, ui::Size size,
             long lengthMs, std::function<void()> onFrame, std::function<void()> onEnd)
        : sh_(std::move(sh)), rt_(rt), frame_(size.w, size.h, 0x808080) {
        ++sh_->playing;
        if (onFrame)
            frameId_ = rt_.at(rt_.now(), [this, onFrame = std::move(onFrame)] {
                frameId_ = 0;
                onFrame();
            });
        endId_ = rt_.at(rt_.now() + ui::ms(double(lengthMs)), [this, onEnd = std::move(onEnd)] {
            endId_ = 0;
            --sh_->playing;
            if (onEnd)
                onEnd();
        });
    }
    ~FakeClip() override {
        if (frameId_)
            rt_.cancel(frameId_);
        if (endId_) {
            rt_.cancel(endId_);
            --sh_->playing;
        }
    }
    const ui::Picture& frame() const override { return frame_; }

  private:
    std::shared_ptr<FakeVideoBackend::Shared> sh_;
    ui::Runtime& rt_;
    ui::Picture frame_;
    int frameId_ = 0;
    int endId_ = 0;
};

} // namespace

FakeVideoBackend::FakeVideoBackend() : sh_(std::make_shared<Shared>()) {}
FakeVideoBackend::~FakeVideoBackend() = default;

std::unique_ptr<VideoClip> FakeVideoBackend::start(ui::Runtime& rt, const std::string& file,
                                                   ui::Size size, std::function<void()> onFrame,
                                                   std::function<void()> onEnd) {
    sh_->started.push_back(baseName(file));
    // A missing clip ends at once, as the real one does; one whose header
    // cannot be read plays for a typical clip's length.
    long len = 0;
    if (std::ifstream(soundPath(file), std::ios::binary)) {
        len = aviLengthMs(file);
        if (len <= 0)
            len = kDefaultLengthMs;
    }
    return std::make_unique<FakeClip>(sh_, rt, size, len, std::move(onFrame), std::move(onEnd));
}

std::vector<std::string> FakeVideoBackend::started() const {
    return sh_->started;
}
int FakeVideoBackend::playingCount() const {
    return sh_->playing;
}

} // namespace media
