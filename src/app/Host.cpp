#include "app/Host.h"

#include "app/screens.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <system_error>

namespace app {

namespace fs = std::filesystem;

namespace {

// Mirrors a program folder into `dst`. Files the program rewrites (data/
// folders) are copied; folders it writes into (pic/ gets the scratch bitmap,
// each game folder its best scores) are made afresh with their files
// linked; every other folder is linked whole, which keeps a host quick to
// make. The scratch bitmap itself is left out: each host writes its own.
void mirror(const fs::path& src, const fs::path& dst, bool isGameFolder) {
    std::error_code ec;
    fs::create_directories(dst, ec);
    for (const auto& e : fs::directory_iterator(src, ec)) {
        const fs::path name = e.path().filename();
        const fs::path to = dst / name;
        if (e.is_directory(ec) && name == "data") {
            fs::copy(e.path(), to, fs::copy_options::recursive, ec);
        } else if (e.is_directory(ec) && (name == "pic" || name == "game" || isGameFolder)) {
            mirror(e.path(), to, name == "game");
        } else if (name != "tav_k.bmp") {
            fs::create_symlink(fs::absolute(e.path()), to, ec);
        }
        if (ec)
            std::cerr << "shizi: cannot mirror " << e.path() << ": " << ec.message() << "\n";
        ec.clear();
    }
}

std::string makeTempFolder() {
    std::string tmpl = (fs::temp_directory_path() / "shizi-host-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) {
        std::cerr << "shizi: cannot make a temporary folder\n";
        std::abort();
    }
    return tmpl + "/";
}

} // namespace

HeadlessHost::HeadlessHost(const std::string& mediaFolder, ui::Size desktop, std::uint64_t seed)
    : display(desktop), fonts(platform::createFontEngine()), images(platform::createImageLoader()),
      runtime(display, clock, *fonts, *images), app(runtime, media, video, launcher),
      folder_(makeTempFolder()) {
    if (fs::is_directory(mediaFolder))
        mirror(mediaFolder, folder_, false);
    else
        std::cerr << "shizi: no media folder " << mediaFolder << "\n";
    app.programFolder = folder_;
    app.random.seed(seed);
}

HeadlessHost::~HeadlessHost() {
    std::error_code ec;
    fs::remove_all(folder_, ec);
}

void HeadlessHost::start() {
    registerScreens(app);
    app.start();
    // Lets the first screen activate and build.
    runtime.advance(0);
}

} // namespace app
