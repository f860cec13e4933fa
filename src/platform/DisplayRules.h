// The pure rules of the SDL display: how far the desktop is scaled and how
// SDL's keys and modifiers become the program's codes.
#pragma once

#include "gfx/Geometry.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// The largest whole factor s with real / s still at least 640 x 480 (1 for
// desktops smaller than that).
int desktopScale(gfx::Size real);
// The largest whole factor s at which a 640 x 480 window, with `frame`
// pixels of title bar and borders around it, fits the usable part of the
// desktop (1 when even 640 x 480 does not).
int windowScale(gfx::Size usable, gfx::Size frame);
// The part of the logical desktop a window shows: its 640 x 480 middle, where
// the screens are centred (the whole of a smaller desktop).
gfx::Rect windowView(gfx::Size logical);

// The classic virtual-key code of an SDL key symbol; 0 for keys the program
// has no code for.
int virtualKey(std::int32_t sdlKeycode);

// gfx::shiftmask bits of an SDL modifier state.
int shiftBits(int sdlMod);

// gfx::button bits of an SDL button number (SDL_BUTTON_LEFT ...) and of an
// SDL button state mask.
int buttonBit(int sdlButton);
int buttonBits(std::uint32_t sdlState);

// With no session bus to talk to (no address given and none at its usual
// place under the runtime folder), the bus library would start one of its
// own along the PATH when the display asks it for the screen saver: tells
// it there is none instead. True when it did so.
bool declineBusAutolaunch();

// The keyboard's compose table (thousands of lines for accented letters)
// is read when the display opens, and the program's boxes take only
// digits: while one of these lives, a user who chose no table of their own
// gets none. The child processes started later inherit nothing of it.
class ComposeTableSkipped {
  public:
    ComposeTableSkipped();
    ~ComposeTableSkipped();
    ComposeTableSkipped(const ComposeTableSkipped&) = delete;
    ComposeTableSkipped& operator=(const ComposeTableSkipped&) = delete;

  private:
    bool set_ = false;
};

// One row of the desktop enlarged for the window: n pixels, each repeated
// `scale` times across (n * scale pixels) and down (`scale` rows, `pitch`
// pixels apart, starting at out).
void enlargeRow(const std::uint32_t* in, std::size_t n, std::uint32_t* out, std::size_t pitch,
                int scale);

// SDL falls back on its own to video drivers that show nothing (offscreen,
// dummy); the program runs on one only when SDL_VIDEODRIVER (`requested`,
// null when unset) asked for it.
bool videoDriverAccepted(std::string_view driver, const char* requested);

// The display the program tried to open, as a user would name it: the X or
// Wayland display from the environment, or a note that none is set.
std::string displayName();

} // namespace platform
