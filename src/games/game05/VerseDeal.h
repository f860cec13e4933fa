// Choosing the verses of a block puzzle level: verses that share no
// character, so every block of the grid belongs to exactly one row.
#pragma once

#include "core/tavMdl.h"

#include <functional>
#include <vector>

namespace games::verses {

// The verses 1 .. verseCount of `book` that share no character with one
// another, as many as can be found up to `wanted`. The search is bounded,
// so on a book whose verses crowd each other it may settle for fewer than
// the most there are; a level is only offered when this found enough.
std::vector<int> disjointVerses(const core::VerseBook& book, int wanted);

// `rows` verses for the rows of a level, drawn as the game draws them: a
// random verse of the book, refused and kept refused when it is already
// dealt or shares a character with a verse dealt before. When chance paints
// itself into a corner (every verse refused before the last row), the deal
// starts again; after a few such tries it takes the rows from `known`, a set
// of verses known to share nothing. So the deal always ends, and it fills
// the rows whenever `known` holds at least `rows` verses.
std::vector<int> dealVerses(const core::VerseBook& book, int rows, const std::vector<int>& known,
                            const std::function<double()>& rnd);

// Whether two verses of the book have a character in common.
bool shareCharacter(const core::VerseBook& book, int a, int b);

} // namespace games::verses
