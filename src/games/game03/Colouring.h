// The rules of the colouring game that need no screen: region codes read
// from a drawing's region map, and the palette drawn from the colour list.
#pragma once

#include "gfx/Geometry.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace games::colouring {

// The code of pixels that belong to no region (outlines, the frame).
constexpr std::uint8_t kNoRegion = 21;
// A region map is an 8-bit bitmap with a 23-entry colour table, so its
// pixels start at this byte.
constexpr long kMapPixelOffset = 146;

// The code of point (x, y), counted from 1 inside an area of `area`'s size,
// read straight from the map file: rows bottom-up, each padded to a multiple
// of four bytes. kNoRegion for a point outside the area and for a file that
// cannot be read that far.
std::uint8_t regionCodeAt(const std::string& mapPath, gfx::Size area, int x, int y);

// How many distinct region codes a map holds (kNoRegion not counted); 0 when
// the file cannot be read.
int countRegions(const std::string& mapPath, gfx::Size area);

// A colour of the colour list (red in the low byte) as a screen colour;
// kNoColor for a value that is no plain colour.
gfx::Color fromListColour(double value);

// The colours a palette may use: lines 2 .. last of the colour list, less
// black and white (a fill in black would turn a region into outline, one in
// white would leave it looking uncoloured) and repeats. When fewer than ten
// remain, one line on standard error, and built-in colours complete them.
std::vector<gfx::Color> usableColours(const std::string& listPath);

// Ten different colours of `usable` (at least ten entries), each drawn at
// random among those not yet taken.
std::array<gfx::Color, 10> drawPalette(const std::vector<gfx::Color>& usable,
                                       const std::function<double()>& rnd);

} // namespace games::colouring
