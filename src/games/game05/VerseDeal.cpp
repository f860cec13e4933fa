#include "games/game05/VerseDeal.h"

#include <algorithm>
#include <bitset>

namespace games::verses {

namespace {

// The book has 140 verses; a set of verse numbers fits one word set.
constexpr int kMaxVerses = 255;
using VerseSet = std::bitset<kMaxVerses + 1>;

// Enough to find eleven verses in any book a child meets, little enough to
// stay unnoticed on a book where they do not exist.
constexpr long kSearchSteps = 200000;
constexpr int kDealAttempts = 20;

bool isBlank(char32_t c) {
    return c == 0 || c == U' ' || c == U'\t' || c == 0x3000;
}

int versesOf(const core::VerseBook& book) {
    return std::min(book.verseCount(), kMaxVerses);
}

// For each verse, the verses it shares a character with, itself included.
std::vector<VerseSet> conflicts(const core::VerseBook& book) {
    const int n = versesOf(book);
    std::vector<VerseSet> c(std::size_t(n) + 1);
    for (int a = 1; a <= n; ++a) {
        c[std::size_t(a)].set(std::size_t(a));
        for (int b = a + 1; b <= n; ++b)
            if (shareCharacter(book, a, b)) {
                c[std::size_t(a)].set(std::size_t(b));
                c[std::size_t(b)].set(std::size_t(a));
            }
    }
    return c;
}

// Depth-first search for `wanted` verses without a conflict, verses with the
// fewest conflicts tried first, giving up on branches that cannot beat the
// best set found.
class Search {
  public:
    Search(const std::vector<VerseSet>& conflict, int wanted)
        : conflict_(conflict), wanted_(std::size_t(wanted)) {
        for (std::size_t v = 1; v < conflict.size(); ++v)
            order_.push_back(int(v));
        std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
            return conflict[std::size_t(a)].count() < conflict[std::size_t(b)].count();
        });
    }

    std::vector<int> run() {
        VerseSet all;
        for (int v : order_)
            all.set(std::size_t(v));
        extend(all);
        std::sort(best_.begin(), best_.end());
        return best_;
    }

  private:
    bool done() const { return best_.size() >= wanted_ || steps_ > kSearchSteps; }

    void extend(VerseSet candidates) {
        ++steps_;
        if (current_.size() > best_.size())
            best_ = current_;
        for (int v : order_) {
            if (done() || current_.size() + candidates.count() <= best_.size())
                return;
            if (!candidates.test(std::size_t(v)))
                continue;
            current_.push_back(v);
            extend(candidates & ~conflict_[std::size_t(v)]);
            current_.pop_back();
            candidates.reset(std::size_t(v));
        }
    }

    const std::vector<VerseSet>& conflict_;
    std::size_t wanted_;
    std::vector<int> order_, current_, best_;
    long steps_ = 0;
};

int drawVerse(int n, const std::function<double()>& rnd) {
    return std::clamp(int(rnd() * n) + 1, 1, n);
}

// One deal as the game makes it; empty when every verse got refused before
// the last row was filled.
std::vector<int> tryDeal(const core::VerseBook& book, int rows,
                         const std::function<double()>& rnd) {
    const int n = versesOf(book);
    std::vector<bool> refused(std::size_t(n) + 1, false);
    std::vector<int> dealt;
    int open = n; // verses neither refused nor dealt yet
    while (int(dealt.size()) < rows) {
        if (open == 0)
            return {};
        int v = 0;
        // Chance first; when it keeps landing on refused verses, one of the
        // open ones.
        for (int t = 0; t < 8 * n && v == 0; ++t) {
            const int d = drawVerse(n, rnd);
            if (!refused[std::size_t(d)])
                v = d;
        }
        if (v == 0) {
            int k = std::min(open - 1, int(rnd() * open));
            for (int w = 1; w <= n; ++w)
                if (!refused[std::size_t(w)] && k-- == 0) {
                    v = w;
                    break;
                }
        }
        bool clash = false;
        for (int d : dealt)
            clash = clash || shareCharacter(book, v, d);
        // Refused or dealt, a verse is not taken again: the game puts a
        // verse drawn a second time on its refused list.
        refused[std::size_t(v)] = true;
        --open;
        if (!clash)
            dealt.push_back(v);
    }
    return dealt;
}

} // namespace

bool shareCharacter(const core::VerseBook& book, int a, int b) {
    for (int p = 1; p <= 14; ++p) {
        const char32_t c = book.character(a, p);
        if (isBlank(c))
            continue;
        for (int q = 1; q <= 14; ++q)
            if (book.character(b, q) == c)
                return true;
    }
    return false;
}

std::vector<int> disjointVerses(const core::VerseBook& book, int wanted) {
    if (wanted < 1 || versesOf(book) < 1)
        return {};
    const std::vector<VerseSet> c = conflicts(book);
    return Search(c, wanted).run();
}

std::vector<int> dealVerses(const core::VerseBook& book, int rows, const std::vector<int>& known,
                            const std::function<double()>& rnd) {
    if (rows < 1 || versesOf(book) < 1)
        return {};
    for (int attempt = 0; attempt < kDealAttempts; ++attempt) {
        std::vector<int> dealt = tryDeal(book, rows, rnd);
        if (!dealt.empty())
            return dealt;
    }
    std::vector<int> pool = known;
    for (std::size_t i = pool.size(); i > 1; --i)
        std::swap(pool[i - 1], pool[std::min(i - 1, std::size_t(rnd() * double(i)))]);
    pool.resize(std::min(pool.size(), std::size_t(rows)));
    return pool;
}

} // namespace games::verses
