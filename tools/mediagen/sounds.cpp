#include "mediagen.h"

namespace mediagen {

void writeSounds(const fs::path&) {}

} // namespace mediagen
