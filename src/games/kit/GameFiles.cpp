#include "games/kit/GameFiles.h"

#include "core/Text.h"

#include <algorithm>
#include <cstdio>

namespace games::kit {

namespace {

// Scores are 16-bit: the largest one is where a score stops counting.
constexpr int kMinScore = -32768;
constexpr int kMaxScore = 32767;

template <class F>
void forTagged(const std::vector<std::string>& lines, std::string_view tag, F f) {
    for (const std::string& line : lines)
        if (line.size() >= tag.size() && std::string_view(line).substr(0, tag.size()) == tag)
            f(line);
}

} // namespace

std::vector<std::string> readLayout(const std::string& path) {
    auto lines = core::readLines(path);
    return lines ? std::move(*lines) : std::vector<std::string>{};
}

std::vector<gfx::Rect> layoutRects(const std::vector<std::string>& lines, std::string_view tag,
                                   std::size_t firstField) {
    std::vector<gfx::Rect> out;
    forTagged(lines, tag, [&](const std::string& l) {
        out.push_back({core::layoutField(l, firstField), core::layoutField(l, firstField + 4),
                       core::layoutField(l, firstField + 8),
                       core::layoutField(l, firstField + 12)});
    });
    return out;
}

std::vector<gfx::Point> layoutPoints(const std::vector<std::string>& lines, std::string_view tag,
                                     std::size_t firstField) {
    std::vector<gfx::Point> out;
    forTagged(lines, tag, [&](const std::string& l) {
        out.push_back({core::layoutField(l, firstField), core::layoutField(l, firstField + 4)});
    });
    return out;
}

std::vector<std::int16_t> layoutNumbers(const std::vector<std::string>& lines, std::string_view tag,
                                        std::size_t from) {
    std::vector<std::int16_t> out;
    forTagged(lines, tag, [&](const std::string& l) {
        const std::size_t at = from > 0 ? from - 1 : 0;
        out.push_back(at < l.size() ? core::readNumber(std::string_view(l).substr(at)) : 0);
    });
    return out;
}

std::vector<std::int16_t> readBestScores(const std::string& path, int levels) {
    std::vector<std::int16_t> bests(std::size_t(std::max(levels, 0)), 0);
    const auto lines = core::readLines(path);
    if (!lines)
        return bests;
    if (lines->size() < bests.size())
        std::fprintf(stderr, "shizi: %s holds %zu of %zu best scores; the others read 0\n",
                     core::displayPath(path).c_str(), lines->size(), bests.size());
    // A best score no game can beat is a damaged line.
    for (std::size_t i = 0; i < bests.size() && i < lines->size(); ++i)
        bests[i] = core::numberInRange(path, i + 1, (*lines)[i], kMinScore, kMaxScore - 1, 0);
    return bests;
}

bool writeBestScores(const std::string& path, const std::vector<std::int16_t>& bests) {
    std::vector<std::string> lines;
    lines.reserve(bests.size());
    for (std::int16_t s : bests)
        lines.push_back(core::printNumber(s));
    // A failure is told once, by the writer, which names the file and why.
    return core::writeLines(path, lines);
}

bool offerBestScore(const std::string& path, std::vector<std::int16_t>& bests, int level,
                    int score) {
    if (level < 1 || level > int(bests.size()) || score <= bests[std::size_t(level - 1)])
        return false;
    bests[std::size_t(level - 1)] = core::roundToInt16(score);
    writeBestScores(path, bests);
    return true;
}

} // namespace games::kit
