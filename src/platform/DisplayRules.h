// The pure rules of the SDL display: how far the desktop is scaled and how
// SDL's keys and modifiers become the program's codes.
#pragma once

#include "gfx/Geometry.h"

#include <cstdint>

namespace platform {

// The largest whole factor s with real / s still at least 640 x 480 (1 for
// desktops smaller than that).
int desktopScale(gfx::Size real);

// The classic virtual-key code of an SDL key symbol; 0 for keys the program
// has no code for.
int virtualKey(std::int32_t sdlKeycode);

// gfx::shiftmask bits of an SDL modifier state.
int shiftBits(int sdlMod);

// gfx::button bits of an SDL button number (SDL_BUTTON_LEFT ...) and of an
// SDL button state mask.
int buttonBit(int sdlButton);
int buttonBits(std::uint32_t sdlState);

} // namespace platform
