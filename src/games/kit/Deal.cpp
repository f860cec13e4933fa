#include "games/kit/Deal.h"

#include <algorithm>
#include <utility>

namespace games::kit {

namespace {

constexpr int kTriesPerCharacter = 200;

bool isBlank(char32_t c) {
    return c == 0 || c == U' ' || c == U'\t' || c == 0x3000;
}

bool refused(const std::vector<DealtChar>& earlier, const DealtChar& c, bool distinctReadings) {
    if (isBlank(c.character))
        return true;
    for (const DealtChar& e : earlier)
        if ((e.verse == c.verse && e.position == c.position) || e.character == c.character ||
            (distinctReadings && e.reading == c.reading))
            return true;
    return false;
}

DealtChar at(const core::VerseBook& book, int v, int p) {
    return {std::int16_t(v), std::int16_t(p), book.character(v, p), book.reading(v, p)};
}

} // namespace

std::vector<DealtChar> dealCharacters(const core::VerseBook& book, const DealRequest& request,
                                      const std::function<double()>& rnd) {
    const int first = std::max(request.firstVerse, 1);
    const int last = std::min(request.lastVerse, book.verseCount());
    std::vector<DealtChar> earlier = request.taken, dealt;
    if (first > last)
        return dealt;
    const int span = last - first + 1;
    for (int i = 0; i < request.count; ++i) {
        bool placed = false;
        for (int t = 0; t < kTriesPerCharacter && !placed; ++t) {
            const int v = span == 1 ? first : first + int(rnd() * span);
            const int p = int(rnd() * 14) + 1;
            const DealtChar c = at(book, v, p);
            if (refused(earlier, c, request.distinctReadings))
                continue;
            earlier.push_back(c);
            dealt.push_back(c);
            placed = true;
        }
        if (placed)
            continue;
        std::vector<DealtChar> allowed;
        for (int v = first; v <= last; ++v)
            for (int p = 1; p <= 14; ++p) {
                const DealtChar c = at(book, v, p);
                if (!refused(earlier, c, request.distinctReadings))
                    allowed.push_back(c);
            }
        if (allowed.empty())
            break;
        const std::size_t k =
            std::min(allowed.size() - 1, std::size_t(rnd() * double(allowed.size())));
        earlier.push_back(allowed[k]);
        dealt.push_back(allowed[k]);
    }
    return dealt;
}

} // namespace games::kit
