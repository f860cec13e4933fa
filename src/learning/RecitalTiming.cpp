#include "learning/RecitalTiming.h"

#include "platform/Platform.h"

#include <charconv>
#include <fstream>
#include <vector>

namespace learning {

namespace {

// Far more than 14 numbers need: anything longer is not a timing file.
constexpr std::streamsize kMaxBytes = 1024;

std::string_view trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

} // namespace

std::optional<CharStarts> readCharStarts(const std::string& path, long lengthMs) {
    std::ifstream in(platform::nativePath(path), std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string text(std::size_t(kMaxBytes) + 1, '\0');
    in.read(text.data(), kMaxBytes + 1);
    if (in.gcount() > kMaxBytes)
        return std::nullopt;
    text.resize(std::size_t(in.gcount()));

    std::vector<std::string_view> lines;
    std::string_view rest = text;
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        lines.push_back(trimmed(rest.substr(0, end)));
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    }
    // Blank lines after the last number (an editor's final new line) are
    // harmless; nothing else may be there.
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    if (lines.size() != 14)
        return std::nullopt;

    CharStarts starts{};
    for (std::size_t k = 0; k < 14; ++k) {
        const std::string_view l = lines[k];
        long ms = -1;
        const auto [end, ec] = std::from_chars(l.data(), l.data() + l.size(), ms);
        if (ec != std::errc() || end != l.data() + l.size() || ms < 0 || ms >= lengthMs)
            return std::nullopt;
        if (k > 0 && ms <= starts[k - 1])
            return std::nullopt;
        starts[k] = ms;
    }
    return starts;
}

CharStarts evenCharStarts(long lengthMs) {
    CharStarts starts{};
    for (long k = 0; k < 14; ++k) {
        const long slot = k < 7 ? k : k + 1;
        starts[std::size_t(k)] = slot * lengthMs / 15;
    }
    return starts;
}

} // namespace learning
