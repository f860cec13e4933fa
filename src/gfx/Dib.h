// Device-independent bitmaps as BMP files and icon / cursor files hold them.
// Shared by the BMP reader and the ".cur" reader; every read is bounds-checked.
#pragma once

#include "gfx/Picture.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gfx::dib {

struct Header {
    int width = 0;
    int height = 0; // rows stored, positive
    bool topDown = false;
    int bpp = 0;
    int compression = 0;                   // 0 none, 1 RLE8, 2 RLE4, 3 / 6 bit fields
    std::uint32_t masks[4] = {0, 0, 0, 0}; // red, green, blue, alpha
    std::vector<Color> palette;
    std::size_t end = 0; // offset just past the header, masks and palette
};

// Reads the header (with its colour masks and palette) at `off`. False when
// malformed or absurdly large.
bool readHeader(const std::uint8_t* p, std::size_t n, std::size_t off, Header& h);

// Decodes the pixel rows at `off` into `out` (width x `rows`), top row first.
// `alpha` (when given, 32-bit only) receives one alpha byte per pixel.
// False when the data is short or malformed.
bool readPixels(const std::uint8_t* p, std::size_t n, std::size_t off, const Header& h, int rows,
                Picture& out, std::vector<std::uint8_t>* alpha = nullptr);

// Bytes in one stored row of `width` pixels of `bpp` bits.
inline std::size_t stride(int width, int bpp) {
    return (std::size_t(width) * std::size_t(bpp) + 31) / 32 * 4;
}

inline std::uint32_t le16(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8);
}
inline std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}

} // namespace gfx::dib
