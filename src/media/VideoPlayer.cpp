#include "media/VideoPlayer.h"

#include "media/VideoBackend.h"
#include "ui/Runtime.h"

namespace media {

struct VideoPlayer::State {
    explicit State(VideoBackend& b) : backend(b) {}
    VideoBackend& backend;
    std::unique_ptr<VideoClip> clip;
    bool playing = false;
};

VideoPlayer::VideoPlayer(ui::Form& f, VideoBackend& backend)
    : ui::Control(f), st_(std::make_unique<State>(backend)) {}

VideoPlayer::~VideoPlayer() = default;

void VideoPlayer::play() {
    st_->clip.reset();
    st_->playing = true;
    st_->clip = st_->backend.start(
        runtime(), fileName, {width(), height()}, [this] { invalidate(); },
        [this] {
            st_->playing = false;
            invalidate();
            if (onEnd) {
                auto fn = onEnd;
                fn();
            }
        });
}

void VideoPlayer::stop() {
    st_->clip.reset();
    st_->playing = false;
    invalidate();
}

bool VideoPlayer::playing() const {
    return st_->playing;
}

void VideoPlayer::paint(ui::Picture& target, ui::Point origin) {
    // The last picture stays until the program hides the control.
    if (!st_->clip)
        return;
    const ui::Picture& f = st_->clip->frame();
    if (!f.empty())
        target.blit(f, {0, 0, std::min(width(), f.width()), std::min(height(), f.height())},
                    origin);
}

} // namespace media
