// Dealing distinct characters from the verses a child has reached.
#pragma once

#include "core/tavMdl.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace games::kit {

struct DealtChar {
    std::int16_t verse = 0, position = 0;
    char32_t character = 0;
    std::string reading;
};

struct DealRequest {
    int firstVerse = 1, lastVerse = 1; // verses drawn from, inclusive
    int count = 0;
    // Also refuse a character whose reading key an earlier one has, so no
    // two characters of a deal sound alike.
    bool distinctReadings = false;
    // Characters dealt before (kept out of this deal by the same rules).
    std::vector<DealtChar> taken;
};

// Up to `count` characters, each drawn as the games draw: a verse of the
// range (no draw when the range is one verse), then a position 1..14; a
// draw is refused when an earlier character has the same verse and
// position, the same character or (if asked) the same reading. Chance gets a
// fair number of tries; after that the characters still allowed are listed
// and one is taken at random, so the deal always ends. When the verses hold
// fewer allowed characters than asked, the deal is shorter: the caller
// decides what to do with less.
std::vector<DealtChar> dealCharacters(const core::VerseBook& book, const DealRequest& request,
                                      const std::function<double()>& rnd);

} // namespace games::kit
