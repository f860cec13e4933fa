// Showing the logical desktop enlarged by the X server itself: the changed
// regions go to the server at their logical size, through memory both share,
// and the server enlarges them into the window with its rendering extension,
// pixel for pixel as the program would (nearest neighbour, square pixels).
// The program then copies a region once instead of writing it enlarged, and
// a quarter of the pixels (at twice the size) cross to the server.
#pragma once

#include "gfx/Geometry.h"
#include "gfx/Picture.h"

#include <SDL.h>
#include <memory>
#include <vector>

namespace platform {

class ServerScaler {
  public:
    // Null when the window is not an X window, or the server lacks shared
    // memory pixmaps or the rendering extension, or the window's pixel
    // format is not the program's: the caller then enlarges itself.
    // `logical` is the size of the frames to be shown.
    static std::unique_ptr<ServerScaler> open(SDL_Window* window, gfx::Size logical);
    // Whether the environment asks for the program's own enlarging
    // (SHIZI_SERVER_SCALING=0), to compare the two or to get round a server
    // that shows it wrongly.
    static bool declined();

    ServerScaler(const ServerScaler&) = delete;
    ServerScaler& operator=(const ServerScaler&) = delete;
    ~ServerScaler();

    // Shows each region of `frame` (logical pixels, within the frame and the
    // part `view` the window shows) at window position (r - view) * scale;
    // returns when the server has done so.
    void show(const gfx::Picture& frame, const std::vector<gfx::Rect>& regions, gfx::Rect view,
              int scale);

    struct Handles;

  private:
    explicit ServerScaler(std::unique_ptr<Handles> h);
    std::unique_ptr<Handles> h_;
    int scale_ = 0;
};

} // namespace platform
