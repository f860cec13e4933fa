// The form runtime hands out the drawing layer's types under its own name,
// so a screen writes ui::Picture, ui::Rect and ui::key::F1 throughout.
#pragma once

#include "gfx/Cursor.h"
#include "gfx/Geometry.h"
#include "gfx/Keys.h"
#include "gfx/Picture.h"

namespace ui {
using namespace gfx;
} // namespace ui
