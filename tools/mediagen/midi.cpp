#include "midi.h"
namespace mediagen {
void writeTunes(const std::filesystem::path&) {}
}
