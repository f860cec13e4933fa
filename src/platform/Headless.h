// Headless twins of the platform services, for tests.
#pragma once

#include "platform/Platform.h"

#include <deque>
#include <mutex>

namespace platform {

class HeadlessDisplay final : public Display {
  public:
    explicit HeadlessDisplay(Size desktop = {640, 480}) : size_(desktop) {}
    Size desktopSize() const override { return size_; }
    void present(const Picture& frame) override {
        frame_ = frame;
        ++presents_;
        region_ = frame.rect();
    }
    void presentRegion(const Picture& frame, gfx::Rect changed) override {
        frame_ = frame;
        ++presents_;
        region_ = changed;
    }
    void setCursor(const gfx::Cursor& c) override { cursor_ = c; }
    bool waitEvent(InputEvent& ev, int timeoutMs) override;
    void wake() override {}
    Point pointerPosition() const override { return pointer_; }
    bool windowed() const override { return windowed_; }
    bool setWindowed(bool on) override {
        windowed_ = on;
        return true;
    }

    // Test side.
    void inject(InputEvent ev);
    const Picture& lastFrame() const { return frame_; }
    int presentCount() const { return presents_; }
    // What the last present showed anew.
    gfx::Rect lastRegion() const { return region_; }
    const gfx::Cursor& cursor() const { return cursor_; }

  private:
    Size size_;
    Picture frame_;
    int presents_ = 0;
    gfx::Rect region_;
    gfx::Cursor cursor_;
    Point pointer_;
    bool windowed_ = false;
    std::mutex mutex_;
    std::deque<InputEvent> events_;
};

class HeadlessLauncher final : public Launcher {
  public:
    bool openHelp(const std::string& file) override {
        ++opened;
        lastFile = file;
        return true;
    }
    void closeHelp() override { ++closed; }
    int opened = 0;
    int closed = 0;
    std::string lastFile;
};

} // namespace platform
