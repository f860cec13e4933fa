// The colouring game's folder game/Game03/: layout, colours, best score, the
// screen, and the line drawings with their region maps.
#pragma once

#include <filesystem>
#include <vector>

namespace mediagen {

void writeGame03(const std::filesystem::path& appDir);

// The colouring area every drawing fills.
inline constexpr int kColourAreaX = 10, kColourAreaY = 12;
inline constexpr int kColourAreaW = 380, kColourAreaH = 456;

// The line drawings, each a white-and-black picture of the colouring area
// and its region-code map; returns the number of regions of each, in order.
std::vector<int> writeColouringDrawings(const std::filesystem::path& pics);

} // namespace mediagen
