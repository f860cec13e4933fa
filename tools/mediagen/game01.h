// The memory card game's folder game/Game01/: layout, best scores, pictures.
#pragma once

#include <filesystem>

namespace mediagen {

void writeGame01(const std::filesystem::path& appDir);

} // namespace mediagen
