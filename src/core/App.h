// The application: shared state, the runtime, the media backend, the
// screens by name.
#pragma once

#include "core/Random.h"
#include "core/SharedState.h"
#include "media/SoundPlayer.h"
#include "platform/Platform.h"
#include "ui/Runtime.h"

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace media {
class VideoBackend;
}

namespace core {

class bgGroundFrm;
class App;

using ScreenFactory = std::function<std::unique_ptr<ui::Form>(App&)>;

class App {
  public:
    App(ui::Runtime& rt, media::MediaBackend& media, media::VideoBackend& video,
        platform::Launcher& launcher);
    ~App();

    SharedState state;
    ui::Runtime& runtime;
    media::MediaBackend& media;
    media::VideoBackend& video;
    platform::Launcher& launcher;
    Random random;
    // The folder of the program file ("/" at the end); tests point it at a
    // media folder of their own.
    std::string programFolder;
    // The folder of the saved files ("/" at the end); empty keeps them in
    // the program folder.
    std::string stateFolder;
    bool userFolderPrepared = false;

    // Screens by form name ("menuFrm", "funFrm1", ...).
    void registerScreen(const std::string& name, ScreenFactory f);
    bool hasScreen(const std::string& name) const;
    // Creates the screen and runs its load; nullptr for an unknown name.
    ui::Form* load(const std::string& name);

    // Start-up: the backdrop, which loads the menu.
    void start();
    bgGroundFrm& backdrop() { return *backdrop_; }
    bool started() const { return backdrop_ != nullptr; }
    // The backdrop is unloaded last and ends the process.
    void end();
    // The window manager's close or a termination signal: the ending of the
    // exit screen without its farewell (the selection saved, the help
    // closed).
    void endAsExitScreen();

    // A fault in the data that ends the program ("Error found in words!").
    // By default a message box, then end(); tests replace it. The caller
    // carries on with a harmless value until the loop has stopped.
    std::function<void(const std::string&)> onFatal;
    void fatal(const std::string& message);

    // One line on standard error, only the first time `topic` is reported
    // in this run: a fault met again and again is told once.
    void reportOnce(const std::string& topic, const std::string& line);

    // Called by the backdrop.
    void setBackdrop(bgGroundFrm* b) { backdrop_ = b; }

  private:
    std::map<std::string, ScreenFactory> screens_;
    bgGroundFrm* backdrop_ = nullptr;
    std::set<std::string> reported_;
};

} // namespace core
