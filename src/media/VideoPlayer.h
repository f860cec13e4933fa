// A clip (AVI: picture and sound) played inside the control's rectangle.
#pragma once

#include "ui/Controls.h"

#include <memory>

namespace media {

class VideoBackend;

class VideoPlayer : public ui::Control {
  public:
    VideoPlayer(ui::Form& f, VideoBackend& backend);
    ~VideoPlayer() override;
    std::string fileName;
    void play();
    void stop();
    bool playing() const;
    // The clip has played to its end.
    std::function<void()> onEnd;
    void paint(ui::Picture& target, ui::Point origin) override;

  private:
    struct State;
    std::unique_ptr<State> st_;
};

} // namespace media
