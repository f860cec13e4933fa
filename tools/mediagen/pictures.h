// The picture writers of the program folder, one file per family.
#pragma once

#include "book.h"
#include "kit.h"
#include "layout.h"

#include <filesystem>
#include <vector>

namespace mediagen::pictures {

namespace fs = std::filesystem;

// The house colours, shared so every screen belongs to one family.
namespace palette {
inline const kit::Color sky = kit::hex(0x7cc8f4);
inline const kit::Color skyLow = kit::hex(0xdff4ff);
inline const kit::Color grass = kit::hex(0x8fd45a);
inline const kit::Color grassDark = kit::hex(0x5aa532);
inline const kit::Color cream = kit::hex(0xfffbea);
inline const kit::Color honey = kit::hex(0xffe08a);
inline const kit::Color orange = kit::hex(0xf08a24);
inline const kit::Color brown = kit::hex(0x6b3a14);
inline const kit::Color board = kit::hex(0x1f4d3a);
inline const kit::Color red = kit::hex(0xe84a3c);
} // namespace palette

// Each tile colour of the twelve learning functions.
kit::Color functionColor(int index);
// The small picture of learning function `index`.
void functionIcon(cairo_t* cr, int index, double cx, double cy, double s);
// The selection mark's box, empty on the menu and ticked in "selected.bmp".
void selectionBox(cairo_t* cr, const Rect& r, bool selected);

void writeMenuPictures(const fs::path& pic);
void writeExitPicture(const fs::path& pic);
int writeBackgrounds(const fs::path& pic); // returns how many
void writePagePictures(const fs::path& pic);
void writePointers(const fs::path& pic);
void writeHubPictures(const fs::path& pic);
void writeCharacterSheets(const fs::path& kj, const std::vector<Verse>& verses);

} // namespace mediagen::pictures
