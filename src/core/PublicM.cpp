#include "core/PublicM.h"

#include "core/Folders.h"
#include "core/bgGroundFrm.h"
#include "text/Text.h"
#include "ui/Runtime.h"

#include <filesystem>
#include <iostream>

namespace core {

void setupForm(App& app, ui::Form& form, std::int16_t width, std::int16_t height) {
    const ui::Size desk = app.runtime.desktopSize();
    form.move((desk.w - width) / 2, (desk.h - height) / 2, width, height);
    form.setBackColor(ui::rgb(0, 0, 0));
}

std::string initMediaPaths(App& app) {
    std::string folder = app.programFolder;
    if (folder.empty() || (folder.back() != '/' && folder.back() != '\\'))
        folder += "/";
    SharedState& g = app.state;
    g.appPath = folder;
    g.picPath = folder + "pic/";
    g.gamePath = folder + "game/";
    g.soundPath = folder + "sound/";
    g.kjPath = folder + "tav_KJ/";
    g.userPath = app.stateFolder.empty() ? folder : app.stateFolder;
    if (g.userPath.back() != '/' && g.userPath.back() != '\\')
        g.userPath += '/';
    // The shipped files are copied once per run at most: a folder that
    // cannot be made says so once.
    if (g.userPath != folder && !app.userFolderPrepared) {
        app.userFolderPrepared = true;
        prepareUserFolder(folder, g.userPath);
    }
    return folder;
}

void removeStaleSaves(App& app) {
    namespace fs = std::filesystem;
    const std::string folder = text::nativePath(app.state.appPath);
    int removed = text::removeStaleTemporaries(folder + "data");
    std::error_code ec;
    for (fs::directory_iterator it(folder + "game", ec), end; !ec && it != end; it.increment(ec))
        if (it->is_directory(ec))
            removed += text::removeStaleTemporaries((it->path() / "data").string());
    if (removed > 0)
        std::cerr << "shizi: removed " << removed << " unfinished save file"
                  << (removed == 1 ? "" : "s") << " from " << folder << "\n";
}

void showHelp(App& app) {
    app.launcher.openHelp(app.state.appPath + "tavHelp.chm");
}

void closeHelp(App& app) {
    app.launcher.closeHelp();
}

namespace {

std::int16_t effectStepFor(int e) {
    if ((e >= 5 && e <= 8) || e == 23)
        return 25;
    if ((e >= 19 && e <= 21) || e == 41 || e == 43 || e == 45 || e == 49)
        return 40;
    if (e == 22)
        return 10;
    if (e == 24)
        return 60;
    if ((e >= 56 && e <= 59) || (e >= 68 && e <= 79))
        return 50;
    if (e == 84 || e == 85)
        return 230;
    if (e == 88)
        return 100;
    if (e == 89)
        return 70;
    if ((e >= 102 && e <= 106) || e == 110)
        return 20;
    return 30;
}

} // namespace

std::int16_t nextImageEffect(App& app, std::int16_t& effectNo) {
    int e = effectNo + 1;
    if (e > 110 || (e >= 1 && e <= 4)) {
        e = 5;
    } else {
        switch (e) {
        case 9:
            e = 19;
            break;
        case 25:
            e = 41;
            break;
        case 46:
            e = 49;
            break;
        case 50:
            e = 56;
            break;
        case 60:
            e = 68;
            break;
        case 82:
            e = 84;
            break;
        case 86:
            e = 88;
            break;
        case 90:
            e = 94;
            break;
        case 96:
            e = 102;
            break;
        default:
            break;
        }
    }
    effectNo = std::int16_t(e);
    app.state.effectStep = effectStepFor(e);
    app.state.effectBase = 7;
    return effectNo;
}

void queueSound(App& app, std::int16_t cue) {
    app.state.soundCue = cue;
    if (!app.started())
        return;
    // Enabling a running timer would push its tick back; a waiting cue only
    // needs the new number.
    ui::Timer& t = app.backdrop().soundTimer;
    if (!t.enabled())
        t.start();
}

double rnd(App& app) {
    app.random.reseed(app.runtime.now());
    return app.random.next();
}

int drawRandom(App& app, int n) {
    app.random.reseed(app.runtime.now());
    return app.random.draw(n);
}

} // namespace core
