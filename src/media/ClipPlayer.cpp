// Clips on the loop: each picture is decoded when its time comes
// (Runtime::at), so clips follow the loop's clock, manual ones too. The sound
// track of a clip is short; it is decoded at once and played on the audio
// device when one is open.
#include "media/SoundFile.h"
#include "media/VideoBackend.h"
#include "ui/Runtime.h"

#include <algorithm>

namespace media {

namespace {

// Clips take a channel above those of the sound players.
constexpr int kVideoChannel = 40;

class DecodedClip final : public VideoClip {
  public:
    DecodedClip(ui::Runtime& rt, std::shared_ptr<platform::AudioDevice> audio, ui::Size size,
                std::function<void()> onFrame, std::function<void()> onEnd)
        : rt_(rt), audio_(std::move(audio)), size_(size), onFrame_(std::move(onFrame)),
          onEnd_(std::move(onEnd)) {}

    ~DecodedClip() override {
        if (nextId_)
            rt_.cancel(nextId_);
        if (sound_)
            audio_->halt(kVideoChannel);
    }
    DecodedClip(const DecodedClip&) = delete;
    DecodedClip& operator=(const DecodedClip&) = delete;

    const ui::Picture& frame() const override { return frame_; }

    void start(platform::VideoDecoder& decoder, const std::string& file) {
        start_ = rt_.now();
        file_ = decoder.open(soundPath(file));
        if (!file_) {
            endAt(start_);
            return;
        }
        lengthUs_ = file_->lengthUs();
        frameUs_ = file_->frameUs();
        startSound();
        step();
    }

  private:
    void startSound() {
        if (!audio_)
            return;
        const platform::AudioFormat f = audio_->format();
        if (f.frequency <= 0 || f.channels <= 0 || f.bytesPerSample != 2)
            return;
        std::vector<std::int16_t> pcm = file_->sound(f.frequency, f.channels);
        if (pcm.empty())
            return;
        const ui::Micros soundUs = ui::Micros(double(pcm.size()) / f.channels / f.frequency * 1e6);
        sound_ = audio_->fromSamples(std::move(pcm));
        if (!sound_)
            return;
        audio_->play(kVideoChannel, *sound_, false);
        lengthUs_ = std::max(lengthUs_, soundUs);
    }

    // Shows the next picture and waits for the one after it.
    void step() {
        nextId_ = 0;
        ui::Micros due;
        if (!file_->nextPicture(due)) {
            endAt(std::max(rt_.now(), start_ + std::max(lengthUs_, lastDueUs_ + frameUs_)));
            return;
        }
        lastDueUs_ = due;
        nextId_ = rt_.at(std::max(start_ + due, rt_.now()), [this] {
            show();
            step();
        });
    }

    void show() {
        if (file_->picture(frame_, size_) && onFrame_)
            onFrame_();
    }

    void endAt(ui::Micros when) {
        nextId_ = rt_.at(when, [this] {
            nextId_ = 0;
            if (onEnd_) {
                auto fn = onEnd_;
                fn();
            }
        });
    }

    ui::Runtime& rt_;
    std::shared_ptr<platform::AudioDevice> audio_;
    ui::Size size_;
    std::function<void()> onFrame_, onEnd_;
    ui::Picture frame_;
    std::unique_ptr<platform::VideoFile> file_;
    std::unique_ptr<platform::Sound> sound_;
    ui::Micros start_ = 0, lengthUs_ = 0, lastDueUs_ = 0, frameUs_ = 0;
    int nextId_ = 0;
};

class DecodingVideoBackend final : public VideoBackend {
  public:
    DecodingVideoBackend(std::shared_ptr<platform::VideoDecoder> decoder,
                         std::shared_ptr<platform::AudioDevice> audio)
        : decoder_(std::move(decoder)), audio_(std::move(audio)) {}

    std::unique_ptr<VideoClip> start(ui::Runtime& rt, const std::string& file, ui::Size size,
                                     std::function<void()> onFrame,
                                     std::function<void()> onEnd) override {
        auto clip =
            std::make_unique<DecodedClip>(rt, audio_, size, std::move(onFrame), std::move(onEnd));
        clip->start(*decoder_, file);
        return clip;
    }

  private:
    std::shared_ptr<platform::VideoDecoder> decoder_;
    std::shared_ptr<platform::AudioDevice> audio_;
};

} // namespace

std::unique_ptr<VideoBackend> createVideoBackend(std::shared_ptr<platform::VideoDecoder> decoder,
                                                 std::shared_ptr<platform::AudioDevice> audio) {
    return std::make_unique<DecodingVideoBackend>(std::move(decoder), std::move(audio));
}

} // namespace media
