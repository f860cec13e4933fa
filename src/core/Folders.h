// Where the program finds its media set and keeps each user's saved state.
//
// The media set is read from the folder beside the program (a build folder)
// or from ../share/shizi beside it (an installed copy). The files the program
// rewrites (the selection in data\data.txt, each game's best scores in
// game\<name>\data\data.txt, the window choice) stay in place when the media
// folder is the writable one beside the program; otherwise they live in the
// user's own folder, $XDG_DATA_HOME/shizi (~/.local/share/shizi), under the
// same names, first copied from the shipped files.
#pragma once

#include "core/SharedState.h"

#include <string>
#include <vector>

namespace core {

struct MediaSearch {
    // The folder holding the media set ("/" at the end); empty when none does.
    std::string folder;
    // Whether it is the folder beside the program.
    bool besideProgram = false;
    // Every folder looked in, in order.
    std::vector<std::string> lookedIn;
};

// True when `folder` holds a media set (the book and the pictures).
bool holdsMediaSet(const std::string& folder);
// Looks beside the program, then in ../share/shizi relative to it.
MediaSearch findMediaFolder(const std::string& programFolder);
// What the message box says when no folder holds the media set.
std::string missingMediaMessage(const MediaSearch& search);

// The user's own folder ("/" at the end): $XDG_DATA_HOME/shizi when that is
// an absolute path, else $HOME/.local/share/shizi; empty without either.
std::string userDataFolder(const char* xdgDataHome, const char* home);
// The folder for the saved state: the media folder itself when it is the
// writable folder beside the program, the user's folder otherwise.
std::string chooseStateFolder(const MediaSearch& media, bool mediaWritable,
                              const std::string& userFolder);
// Whether the program may write its saved files in `mediaFolder`.
bool stateWritableIn(const std::string& mediaFolder);

// The saved files below a media or state folder: data/data.txt and every
// game's data/data.txt the media set ships.
std::vector<std::string> stateFiles(const std::string& mediaFolder);
// Makes the user's folder and copies each shipped state file it lacks (a
// user's own files are never replaced). False, after one line on standard
// error, when something could not be made or copied.
bool prepareUserFolder(const std::string& mediaFolder, const std::string& userFolder);

// A saved file (`relative` to the program folder, e.g. "data\\data.txt") to
// read: the user's copy, or the shipped one while the user has none.
std::string savedFile(const SharedState& g, const std::string& relative);
// The same file to write: always the user's copy, its folder made first.
std::string fileToSave(const SharedState& g, const std::string& relative);

// The folder of the scratch bitmap the games compose pictures through: pic/
// of the state folder.
std::string scratchFolder(const SharedState& g);

// The window choice in the state folder ("window.txt": 1 for a window, 0 for
// the whole screen); full screen when never saved or unreadable.
bool savedWindowChoice(const SharedState& g);
bool saveWindowChoice(const SharedState& g, bool windowed);

} // namespace core
