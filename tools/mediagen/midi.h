#pragma once
#include <filesystem>
namespace mediagen {
void writeTunes(const std::filesystem::path& soundDir);
}
