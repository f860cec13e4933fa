// The catch-and-shoot game's folder game/Game02/: layout, best scores,
// background, button looks, play area, instructions and sprites.
#pragma once

#include <filesystem>

namespace mediagen {

void writeGame02(const std::filesystem::path& appDir);

} // namespace mediagen
