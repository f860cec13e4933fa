// The whole program on headless services with a manual clock and the fake
// media backend: what the scenario tests drive, and what benchmarks time.
#pragma once

#include "core/App.h"
#include "media/FakeMedia.h"
#include "platform/Headless.h"
#include "ui/Runtime.h"

#include <memory>
#include <string>

namespace app {

class HeadlessHost {
  public:
    // `mediaFolder`: a program folder with a media set (tests pass the
    // generated one). The host works on a private copy of its data/ folder
    // (the rest linked), so tests never change the shared files and can run
    // in parallel. Desktop size in logical pixels.
    explicit HeadlessHost(const std::string& mediaFolder, ui::Size desktop = {640, 480},
                          std::uint64_t seed = 1);
    ~HeadlessHost();

    platform::HeadlessDisplay display;
    ui::ManualClock clock;
    std::unique_ptr<platform::FontEngine> fonts;
    std::unique_ptr<platform::ImageLoader> images;
    media::FakeMediaBackend media;
    media::FakeVideoBackend video;
    platform::HeadlessLauncher launcher;
    ui::Runtime runtime;
    core::App app;

    // The private program folder ("/" at the end).
    const std::string& folder() const { return folder_; }
    // Registers every screen and starts: the backdrop, then the menu.
    void start();
    // The loaded form of a type, or nullptr.
    template <class F> F* find() {
        for (ui::Form* f : runtime.forms())
            if (auto* p = dynamic_cast<F*>(f))
                return p;
        return nullptr;
    }
    // A screen point of the form in front, in desktop pixels.
    ui::Point at(const ui::Form& f, int x, int y) const { return {f.left() + x, f.top() + y}; }

  private:
    std::string folder_;
};

} // namespace app
