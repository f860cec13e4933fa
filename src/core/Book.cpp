// The book's two files as lines: verses and their readings.
#include "core/Book.h"

#include "text/Text.h"

#include <algorithm>
#include <iostream>

namespace core {

namespace {

// Seven characters from a 1-based column; blanks where the line is short.
std::u32string columns(const std::u32string& line, std::size_t column) {
    std::u32string out;
    for (std::size_t i = 0; i < 7; ++i) {
        const std::size_t at = column - 1 + i;
        out.push_back(at < line.size() ? line[at] : kBlank);
    }
    return out;
}

} // namespace

std::u32string verseFromLines(const std::vector<std::string>& lines, const std::string& path,
                              std::int16_t n) {
    // Verses 2p-1 and 2p share line 2p-1; the line after it is not read.
    const int pair = std::max(0, (n + 1) / 2 - 1);
    const std::size_t index = std::size_t(pair) * 2;
    if (index + 1 >= lines.size())
        std::cerr << "shizi: " << text::displayPath(path) << " ends before line " << index + 2
                  << "\n";
    const std::u32string line = text::toU32(text::lineAt(lines, index));
    const bool odd = n % 2 != 0;
    const std::size_t first = odd ? 6 : 35, second = odd ? 17 : 46;
    if (line.size() < second + 6)
        std::cerr << "shizi: " << text::displayPath(path) << " line " << index + 1
                  << " is too short\n";
    return columns(line, first) + columns(line, second);
}

std::string readingFromLine(const std::string& line, std::int16_t k) {
    std::size_t pos = 0;
    for (int i = 1; i < k; ++i) {
        const std::size_t slash = line.find('/', pos);
        if (slash == std::string::npos)
            return {};
        pos = slash + 1;
    }
    const std::size_t slash = line.find('/', pos);
    if (slash == std::string::npos)
        return {};
    const std::size_t start = slash + 1;
    const std::size_t end = k <= 13 ? line.find('/', start) : std::string::npos;
    return line.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

} // namespace core
