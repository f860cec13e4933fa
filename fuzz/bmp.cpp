// The BMP reader: every stored depth, RLE runs, palettes and bit fields.
#include "gfx/Picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    gfx::Picture pic;
    if (gfx::decodeBmp(data, size, pic) && !pic.empty()) {
        // What was decoded must be a whole picture.
        volatile std::uint32_t last =
            pic.data()[std::size_t(pic.width()) * std::size_t(pic.height()) - 1];
        (void)last;
    }
    return 0;
}
