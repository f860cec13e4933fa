// The size check every picture file passes before it is decoded.
#include "gfx/Picture.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gfx::PictureHeader h;
    if (gfx::readPictureHeader(data, size, h) && (h.width <= 0 || h.height <= 0))
        std::abort();
    return 0;
}
