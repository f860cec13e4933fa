#include "mediagen.h"

namespace mediagen {

void writeResourceBitmaps(const fs::path&) {}

} // namespace mediagen
