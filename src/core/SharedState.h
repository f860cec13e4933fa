// The program's shared state: one instance, owned by App.
#pragma once

#include <cstdint>
#include <string>

namespace core {

struct SharedState {
    // Screen protocol (flags: -1 true, 0 false).
    std::int16_t busy = 0;
    std::int16_t firstActivate = 0;
    // Folders.
    std::string appPath, picPath, gamePath, soundPath, kjPath;
    // Where the saved files are read and written: appPath itself, or the
    // user's own folder with the same names below it.
    std::string userPath;
    // Menu selection.
    std::int16_t curFunc = 0;
    std::int16_t curVerse = 1;
    std::int16_t verseCount = 1;
    std::int16_t bgPicCount = 0;
    std::int16_t pageMode = 0;
    // Sound service.
    std::int16_t soundCue = 0;
    std::int16_t soundPlaying = 0;
    std::int16_t musicPlaying = 0;
    std::int16_t charSpeaking = 0;
    float cueVerse = 0;
    float cueCharPos = 0;
    std::int16_t readAloud = 1;
    std::int16_t lastTune = 0;
    // Pearl game.
    std::int16_t pearlLevel = -1;
    std::int16_t pearlGameStopped = 0;
    // Menu logo transitions.
    std::int16_t effectNo = 0;
    std::int16_t effectStep = 0;
    std::int16_t effectBase = 0;
};

} // namespace core
