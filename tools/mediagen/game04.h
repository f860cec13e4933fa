// The pearl game's folder game/Game04/: the three boards with their path
// networks, the pearls and the head, the button looks, layout and scores.
#pragma once

#include <filesystem>

namespace mediagen {

void writeGame04(const std::filesystem::path& appDir);

} // namespace mediagen
