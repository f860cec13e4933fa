// The files every game keeps in its folder: the layout lines of
// data\pos_size.txt and the best scores of data\data.txt.
#pragma once

#include "gfx/Geometry.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace games::kit {

// All lines of a game's layout file; none (after one line on standard error)
// when it cannot be read, so a game without its layout has no buttons rather
// than failing.
std::vector<std::string> readLayout(const std::string& path);

// The lines that start with `tag` (compared exactly on its length), in file
// order, as rectangles or points from three-character number fields: the
// first field at the 1-based character `firstField`, the next ones four
// characters apart (left, top, width, height; or x, y).
std::vector<gfx::Rect> layoutRects(const std::vector<std::string>& lines, std::string_view tag,
                                   std::size_t firstField);
std::vector<gfx::Point> layoutPoints(const std::vector<std::string>& lines, std::string_view tag,
                                     std::size_t firstField);
// The leading number of the text from the 1-based character `from` to the
// end of the line, for each line with the tag.
std::vector<std::int16_t> layoutNumbers(const std::vector<std::string>& lines, std::string_view tag,
                                        std::size_t from);

// The best-score file of the game in folder `game` ("Game01"), relative to
// the program folder.
inline std::string bestScoreFile(const char* game) {
    return std::string("game/") + game + "/data\\data.txt";
}

// The best score of each of `levels` levels, one per line; a missing line
// reads 0 (after one line on standard error).
std::vector<std::int16_t> readBestScores(const std::string& path, int levels);
// Rewrites the file whole (through a temporary file), one value per line in
// the line-print form; false, after one line on standard error, when it
// could not be written (the old file then stays whole).
bool writeBestScores(const std::string& path, const std::vector<std::int16_t>& bests);
// When `score` beats the best of `level` (1-based), stores it and rewrites
// the file at once; true when it did.
bool offerBestScore(const std::string& path, std::vector<std::int16_t>& bests, int level,
                    int score);

} // namespace games::kit
