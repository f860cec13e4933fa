#include "mediagen.h"

namespace mediagen {

void writeHelp(const fs::path&) {}

} // namespace mediagen
