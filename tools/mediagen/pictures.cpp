#include "mediagen.h"

namespace mediagen {

void writePictures(const fs::path&) {}

} // namespace mediagen
