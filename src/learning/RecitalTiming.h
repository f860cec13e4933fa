// When each character of a recitation is spoken: the timing file beside the
// recording, or an even spread over the recording when there is none.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace learning {

// Milliseconds from the start of the sound; [k] is character k + 1.
using CharStarts = std::array<long, 14>;

// A timing file: 14 lines, each a whole number of milliseconds, rising, all
// before `lengthMs`. nullopt when the file is missing or holds anything else
// (a recording put in place of the generated one may have lost its file, or
// kept one that does not fit it). Blanks around a number are allowed.
std::optional<CharStarts> readCharStarts(const std::string& path, long lengthMs);

// The characters spread evenly over `lengthMs`, with the time of one more
// character as the pause between the two lines.
CharStarts evenCharStarts(long lengthMs);

} // namespace learning
