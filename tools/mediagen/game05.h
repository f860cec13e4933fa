// The verse block puzzle's folder game/Game05/: layout, best scores, pictures.
#pragma once

#include <filesystem>

namespace mediagen {

void writeGame05(const std::filesystem::path& appDir);

} // namespace mediagen
