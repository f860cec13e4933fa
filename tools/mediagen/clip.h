// The listening test's answer clips: short animations with their own sound,
// drawn with cairo and encoded by ffmpeg (Motion JPEG and PCM in AVI).
#pragma once

#include "sound_wave.h"

#include <filesystem>

namespace mediagen {

constexpr int kClipWidth = 104;
constexpr int kClipHeight = 72;
constexpr int kClipFps = 20;

// ok.avi and err.avi; each lasts as long as its sound, at least 1.5 s.
void writeClips(const std::filesystem::path& soundDir, const std::filesystem::path& scratch,
                const Wave& okSound, const Wave& errSound);

} // namespace mediagen
