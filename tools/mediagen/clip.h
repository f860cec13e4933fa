#pragma once
#include "sound_wave.h"
#include <filesystem>
namespace mediagen {
void writeClips(const std::filesystem::path& soundDir, const std::filesystem::path& scratch,
                const Wave& okSound, const Wave& errSound);
}
