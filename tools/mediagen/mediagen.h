// The media set generator: every file the program reads beside itself.
#pragma once

#include <filesystem>

namespace mediagen {

namespace fs = std::filesystem;

// Each writer fills its part of the program folder `appDir`
// (data/, pic/, sound/, game/, tav_KJ/, tavHelp.chm).
void writeBook(const fs::path& appDir);         // data/tav.txt, tav_snd.txt, data.txt, ...
void writeSounds(const fs::path& appDir);       // sound/*.wav, *.mid, *.avi
void writePictures(const fs::path& appDir);     // pic/, game/, tav_KJ/
void writeHelp(const fs::path& appDir);         // tavHelp.chm
void writeResourceBitmaps(const fs::path& dir); // MAINBUTN1.bmp ... built into the program
void writeIcons(const fs::path& dir);           // hicolor/NxN/apps/*.png for the desktop

} // namespace mediagen
