// Parsing and writing the book's files; split from book() so tests can feed
// their own text.
#pragma once

#include "book.h"

#include <filesystem>
#include <istream>
#include <string>
#include <vector>

namespace mediagen {

std::u32string fromUtf8(const std::string& s); // throws on malformed input

// The book in the committed format; throws naming the faulty line.
std::vector<Verse> parseBook(std::istream& in);

// data/tav.txt lines (verse pairs on odd lines, title and poet on even
// lines) and data/tav_snd.txt lines ("label/r1/.../r14").
std::vector<std::u32string> bookLines(const std::vector<Verse>& verses);
std::vector<std::string> readingLines(const std::vector<Verse>& verses);
// sound/sd_pinyin.txt lines: the same shape with the spoken readings.
std::vector<std::string> spokenLines(const std::vector<Verse>& verses);

// UTF-8 lines converted to code page 936, each ended by CR LF; throws if a
// character has no code in it.
void writeGbkLines(const std::filesystem::path& file, const std::vector<std::string>& lines);

// Writes through a temporary file and a rename, creating the folder.
void writeFileAtomic(const std::filesystem::path& file, const std::string& bytes);

} // namespace mediagen
