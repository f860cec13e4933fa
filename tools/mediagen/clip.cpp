#include "clip.h"
namespace mediagen {
void writeClips(const std::filesystem::path&, const std::filesystem::path&, const Wave&, const Wave&) {}
}
