// Showing the logical desktop enlarged by the X server itself: the frame
// lies in memory the program and the server share, and the server enlarges
// the changed regions from there into the window with its rendering
// extension, pixel for pixel as the program would (nearest neighbour, square
// pixels). A region then costs the program no copy at all, and a quarter of
// the pixels (at twice the size) that enlarging itself would write.
#pragma once

#include "gfx/Geometry.h"
#include "gfx/Picture.h"

#include <SDL.h>
#include <memory>
#include <memory_resource>
#include <vector>

namespace platform {

class ServerScaler {
  public:
    // Null when the window is not an X window, or the server lacks shared
    // memory pixmaps or the rendering extension, or the window's pixel
    // format is not the program's: the caller then enlarges itself.
    static std::unique_ptr<ServerScaler> open(SDL_Window* window);
    // Whether the environment asks for the program's own enlarging
    // (SHIZI_SERVER_SCALING=0), to compare the two or to get round a server
    // that shows it wrongly.
    static bool declined();

    ServerScaler(const ServerScaler&) = delete;
    ServerScaler& operator=(const ServerScaler&) = delete;
    ~ServerScaler();

    // Memory the server reads where it lies: a frame kept there is shown
    // without being copied. Any other frame is copied into it first. What
    // it cannot share it takes from the heap.
    std::pmr::memory_resource* frameMemory();

    // Shows each region of `frame` (logical pixels, within the frame and the
    // part `view` the window shows) at window position (r - view) * scale;
    // returns when the server has done so.
    void show(const gfx::Picture& frame, const std::vector<gfx::Rect>& regions, gfx::Rect view,
              int scale);

    struct Handles;

  private:
    explicit ServerScaler(std::unique_ptr<Handles> h);
    std::unique_ptr<Handles> h_;
};

} // namespace platform
