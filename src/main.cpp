// The program: one instance, its media set, the real services.
#include "app/screens.h"
#include "core/App.h"
#include "core/Folders.h"
#include "media/AudioPlayers.h"
#include "media/VideoBackend.h"
#include "platform/Audio.h"
#include "platform/Platform.h"
#include "platform/Video.h"
#include "ui/Clock.h"
#include "ui/Runtime.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>

int main() {
    // A second start ends before any window is made, after one line saying
    // why nothing appeared.
    if (!platform::acquireInstanceLock())
        return 0;

    const core::MediaSearch media = core::findMediaFolder(platform::programFolder());
    if (media.folder.empty()) {
        platform::messageBox(core::missingMediaMessage(media));
        return 1;
    }

    platform::prepareFonts();
    std::unique_ptr<platform::Display> display;
    try {
        display = platform::createSdlDisplay();
    } catch (const std::exception& e) {
        // Without a display there is nowhere to show a message box.
        std::fprintf(stderr, "shizi: %s\n", e.what());
        return 1;
    }
    ui::SteadyClock clock;
    auto fonts = platform::createFontEngine();
    auto images = platform::createImageLoader();
    auto launcher = platform::createLauncher();
    auto audio = platform::createAudioDevice();
    auto sound = media::createAudioBackend(audio);
    auto video = media::createVideoBackend(platform::createVideoDecoder(), audio);
    ui::Runtime runtime(*display, clock, *fonts, *images);
    core::App app(runtime, *sound, *video, *launcher);
    app.programFolder = media.folder;
    app.stateFolder = core::chooseStateFolder(
        media, core::stateWritableIn(media.folder),
        core::userDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")));
    app::registerScreens(app);
    app.start();
    // The sound device opens once the first screen has been sent: the loop's
    // first round paints after its posted work, so the work it posts then
    // runs in the round after the paint.
    runtime.post([&runtime, audio] { runtime.post([audio] { audio->prepare(); }); });
    runtime.run();
    return 0;
}
