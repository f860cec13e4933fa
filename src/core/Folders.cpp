#include "core/Folders.h"

#include "core/Text.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <system_error>
#include <unistd.h>

namespace core {

namespace fs = std::filesystem;

namespace {

std::string withSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

// "a/b/../c/" -> "a/c/", so the message names a folder a parent can find.
std::string normalFolder(const std::string& folder) {
    std::string s = fs::path(folder).lexically_normal().string();
    return withSlash(s);
}

// The state folder; the program folder until the folders are set.
const std::string& stateRoot(const SharedState& g) {
    return g.userPath.empty() ? g.appPath : g.userPath;
}

} // namespace

bool holdsMediaSet(const std::string& folder) {
    std::error_code ec;
    return fs::is_regular_file(folder + "data/tav.txt", ec) && fs::is_directory(folder + "pic", ec);
}

MediaSearch findMediaFolder(const std::string& programFolder) {
    MediaSearch s;
    const std::string beside = withSlash(programFolder);
    const std::string shared = normalFolder(beside + "../share/shizi/");
    s.lookedIn = {beside, shared};
    if (holdsMediaSet(beside)) {
        s.folder = beside;
        s.besideProgram = true;
    } else if (holdsMediaSet(shared)) {
        s.folder = shared;
    }
    return s;
}

std::string missingMediaMessage(const MediaSearch& search) {
    std::string text = "The pictures, sounds and verses of Shizi were not found. Looked in:";
    for (const std::string& f : search.lookedIn)
        text += "\n  " + f;
    text += "\nRun `make run` in the source folder, or install the program again.";
    return text;
}

std::string userDataFolder(const char* xdgDataHome, const char* home) {
    // A relative XDG_DATA_HOME is invalid and is ignored, as the base
    // directory rules say.
    if (xdgDataHome && xdgDataHome[0] == '/')
        return withSlash(xdgDataHome) + "shizi/";
    if (home && *home)
        return withSlash(home) + ".local/share/shizi/";
    return {};
}

std::string chooseStateFolder(const MediaSearch& media, bool mediaWritable,
                              const std::string& userFolder) {
    if ((media.besideProgram && mediaWritable) || userFolder.empty())
        return media.folder;
    return userFolder;
}

bool stateWritableIn(const std::string& mediaFolder) {
    for (const std::string& f : stateFiles(mediaFolder)) {
        const std::string dir = fs::path(mediaFolder + f).parent_path().string();
        if (::access(dir.c_str(), W_OK) != 0)
            return false;
    }
    return ::access((mediaFolder + "data").c_str(), W_OK) == 0;
}

std::vector<std::string> stateFiles(const std::string& mediaFolder) {
    std::vector<std::string> files{"data/data.txt"};
    std::error_code ec;
    std::vector<std::string> games;
    for (const auto& e : fs::directory_iterator(mediaFolder + "game", ec))
        if (fs::is_regular_file(e.path() / "data" / "data.txt", ec))
            games.push_back("game/" + e.path().filename().string() + "/data/data.txt");
    std::sort(games.begin(), games.end());
    files.insert(files.end(), games.begin(), games.end());
    return files;
}

bool prepareUserFolder(const std::string& mediaFolder, const std::string& userFolder) {
    std::error_code ec;
    fs::create_directories(userFolder + "pic", ec);
    if (ec) {
        std::cerr << "shizi: cannot make " << userFolder << ": " << ec.message()
                  << "; nothing will be saved\n";
        return false;
    }
    for (const std::string& f : stateFiles(mediaFolder)) {
        const fs::path to = userFolder + f;
        if (fs::exists(to, ec))
            continue;
        fs::create_directories(to.parent_path(), ec);
        if (!ec)
            fs::copy_file(mediaFolder + f, to, ec);
        // The shipped file may be read-only; the copy is the user's to rewrite.
        if (!ec)
            fs::permissions(to, fs::perms::owner_read | fs::perms::owner_write,
                            fs::perm_options::add, ec);
        if (ec) {
            std::cerr << "shizi: cannot copy " << f << " into " << userFolder << ": "
                      << ec.message() << "\n";
            return false;
        }
    }
    return true;
}

std::string savedFile(const SharedState& g, const std::string& relative) {
    std::string mine = stateRoot(g) + relative;
    std::error_code ec;
    if (stateRoot(g) == g.appPath || fs::exists(text::nativePath(mine), ec))
        return mine;
    return g.appPath + relative;
}

std::string fileToSave(const SharedState& g, const std::string& relative) {
    std::string mine = stateRoot(g) + relative;
    std::error_code ec;
    fs::create_directories(fs::path(text::nativePath(mine)).parent_path(), ec);
    return mine;
}

std::string scratchFolder(const SharedState& g) {
    return g.userPath.empty() || g.userPath == g.appPath ? g.picPath : g.userPath + "pic/";
}

bool savedWindowChoice(const SharedState& g) {
    const std::string path = stateRoot(g) + "window.txt";
    std::error_code ec;
    if (!fs::exists(path, ec))
        return false;
    const auto lines = readLines(path);
    return lines && readNumber(lineAt(*lines, 0)) == 1;
}

bool saveWindowChoice(const SharedState& g, bool windowed) {
    return writeLines(fileToSave(g, "window.txt"), {windowed ? "1" : "0"});
}

} // namespace core
