#include "core/App.h"

#include "core/Folders.h"
#include "core/PublicM.h"
#include "core/bgGroundFrm.h"
#include "core/tavMdl.h"

#include <iostream>

namespace core {

App::App(ui::Runtime& rt, media::MediaBackend& m, media::VideoBackend& v, platform::Launcher& l)
    : runtime(rt), media(m), video(v), launcher(l) {
    random.reseed(rt.now());
    runtime.onQuitRequest = [this] { endAsExitScreen(); };
    runtime.onWindowedChanged = [this](bool windowed) { saveWindowChoice(state, windowed); };
}

App::~App() {
    runtime.onQuitRequest = nullptr;
    runtime.onWindowedChanged = nullptr;
    if (backdrop_)
        backdrop_->appGone_ = true;
}

void App::registerScreen(const std::string& name, ScreenFactory f) {
    screens_[name] = std::move(f);
}

bool App::hasScreen(const std::string& name) const {
    return screens_.count(name) != 0;
}

ui::Form* App::load(const std::string& name) {
    auto it = screens_.find(name);
    if (it == screens_.end()) {
        std::cerr << "shizi: no screen named " << name << "\n";
        return nullptr;
    }
    std::unique_ptr<ui::Form> f = it->second(*this);
    if (!f)
        return nullptr;
    return &runtime.load(std::move(f));
}

void App::reportOnce(const std::string& topic, const std::string& line) {
    if (reported_.insert(topic).second)
        std::cerr << line << "\n";
}

void App::start() {
    if (backdrop_)
        return;
    runtime.load(std::make_unique<bgGroundFrm>(*this));
    // The backdrop has set the folders: the window the user chose last.
    if (savedWindowChoice(state))
        runtime.display().setWindowed(true);
}

void App::endAsExitScreen() {
    if (!state.appPath.empty())
        saveMenuState(*this);
    closeHelp(*this);
    end();
}

void App::end() {
    runtime.quit();
}

void App::fatal(const std::string& message) {
    if (onFatal) {
        onFatal(message);
        return;
    }
    platform::messageBox(message);
    end();
}

} // namespace core
