#include "mediagen.h"

namespace mediagen {

void writeBook(const fs::path&) {}

} // namespace mediagen
