// The text boundary: code page 936 files, numbers as the data files hold
// them, and UTF-8. The program, the media generator and the tests all read
// and write text through this one library.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace text {

// A leading decimal number (text not starting with one reads 0), rounded to
// the nearest 16-bit integer with halves to even.
std::int16_t readNumber(std::string_view text);
// The same without the 16-bit limit.
double readDouble(std::string_view text);
// Nearest 16-bit integer, halves to the even neighbour, clamped.
std::int16_t roundToInt16(double v);
// The three-character number field of a layout line starting at the 1-based
// character `position` (blanks before and after allowed; a line too short
// reads 0). `ok`, when given, turns false when the field holds anything but
// a number.
std::int16_t layoutField(std::string_view line, std::size_t position, bool* ok = nullptr);
// The number on line `line` (1-based) of `file` when it is one and lies in
// [lo, hi]; otherwise `fallback`, after one line on standard error naming
// the file, the line, the value and the default.
std::int16_t numberInRange(std::string_view file, std::size_t line, std::string_view text, int lo,
                           int hi, std::int16_t fallback);
// A path as messages show it: one kind of separator, none doubled.
std::string displayPath(std::string_view path);
// Line-print form of a number: one leading blank when not negative.
std::string printNumber(long n);

// All lines of a code-page-936 file, decoded to UTF-8, without line ends;
// nullopt (and one line on standard error naming the file) when unreadable.
std::optional<std::vector<std::string>> readLines(const std::string& path);
// Line i (0-based) of `lines`, or "" past the end.
std::string lineAt(const std::vector<std::string>& lines, std::size_t i);
// Writes UTF-8 lines as code page 936 with CR LF, through a temporary file
// renamed over the old one.
bool writeLines(const std::string& path, const std::vector<std::string>& lines);
// What writeLines adds to a file's name for the file it writes first.
constexpr std::string_view kTemporarySuffix = ".tmp";
// Removes the temporary files a save cut short left beside the text files
// of `folder` ("data.txt.tmp", and "data.txt.XXXXXX" from earlier
// versions); returns how many.
int removeStaleTemporaries(const std::string& folder);

// Lenient conversions for the program's files: what does not convert
// becomes U+FFFD (reading) or "?" (writing), so a damaged file still reads
// as far as it can.
std::string toCp936(std::string_view utf8);
std::string fromCp936(std::string_view bytes);
// Exact conversion between two encodings iconv knows ("UTF-8", "CP936",
// "GB2312", ...); nullopt when any character does not convert.
std::optional<std::string> convertExact(std::string_view in, const char* from, const char* to);

std::u32string toU32(std::string_view utf8);
std::string toUtf8(std::u32string_view s);
std::string toUtf8(char32_t c);
// Characters [from, from + count) of a UTF-8 string, counted in code points (from is 0-based).
std::string substrChars(std::string_view utf8, std::size_t from, std::size_t count);

// The program's paths use "\" and "/" alike; this is the path to open.
std::string nativePath(std::string_view path);

} // namespace text
