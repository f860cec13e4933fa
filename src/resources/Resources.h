// The bitmaps built into the program (MAINBUTN1..4, BUTN01, BUTN02, DLGBOX,
// LABEL01..03, BACK, NOTE).
#pragma once

#include "gfx/Picture.h"

#include <string>

namespace resources {

// The built-in bitmap of that name; an empty picture for an unknown name.
gfx::Picture resourceBitmap(const std::string& name);

} // namespace resources
