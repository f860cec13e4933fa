// The book's files read from their lines, apart from the program around
// them: verse n of the verse file, field k of a readings line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace core {

// The blank that stands for a missing character.
constexpr char32_t kBlank = U'\u3000';

// The 14 characters of verse n from the book's lines (n <= 140, checked by
// the caller); blanks where the file is short, after a line naming `path`.
std::u32string verseFromLines(const std::vector<std::string>& lines, const std::string& path,
                              std::int16_t n);
// Field k of a readings line: the label comes first, so field k follows the
// k-th "/", and the last field runs to the end of the line, "/" and all.
std::string readingFromLine(const std::string& line, std::int16_t k);

} // namespace core
