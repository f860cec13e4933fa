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

// UTF-8 of one code point / of a whole string.
std::string utf8(char32_t c);
std::string utf8(const std::u32string& s);

} // namespace mediagen
