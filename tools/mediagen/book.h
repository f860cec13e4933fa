// The book of 140 verses as committed in media-src/, shared by every writer.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace mediagen {

struct Verse {
    int number = 0;                       // 1..140
    std::string title;                    // UTF-8
    std::string poet;                     // UTF-8
    std::u32string text;                  // exactly 14 characters, lines of 7
    std::array<std::string, 14> readings; // pinyin with tone number, e.g. "hang2"
};

// Reads media-src/book.txt; throws std::runtime_error naming the line on a fault.
const std::vector<Verse>& book();

// The readings as a recitation speaks them. Within a line 一 takes the
// tone changes of speech (yi2 before a fourth tone, yi4 before tones 1-3,
// unchanged as an ordinal after 第 or 初) and so does 不 (bu2 before a
// fourth tone). The book's own readings keep the citation tone: they name
// the single-character sounds.
std::array<std::string, 14> spokenReadings(const Verse& v);

// UTF-8 of one code point / of a whole string.
std::string utf8(char32_t c);
std::string utf8(const std::u32string& s);

} // namespace mediagen
