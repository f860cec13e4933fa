// Little-endian fields, written into the files tests make and read from the
// files the program and the media generator make.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace support {

using Bytes = std::vector<std::uint8_t>;

inline void put16(Bytes& b, std::uint32_t v) {
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
inline void put32(Bytes& b, std::uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

inline unsigned le16(std::string_view s, std::size_t at) {
    return static_cast<unsigned char>(s[at]) | unsigned(static_cast<unsigned char>(s[at + 1])) << 8;
}
inline std::uint32_t le32(std::string_view s, std::size_t at) {
    return le16(s, at) | std::uint32_t(le16(s, at + 2)) << 16;
}
inline std::uint32_t be32(std::string_view s, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v = v << 8 | static_cast<unsigned char>(s[at + i]);
    return v;
}

// A BMP file with a 40-byte header; `extra` (masks) and the palette (as
// 0xRRGGBB) follow the header, then `pixels` as stored.
inline Bytes bmpFile(int w, int h, int bpp, const std::vector<std::uint32_t>& palette,
                     const Bytes& pixels, int compression = 0,
                     const std::vector<std::uint32_t>& extra = {}) {
    Bytes b{'B', 'M'};
    const std::uint32_t off = 14 + 40 + 4 * std::uint32_t(extra.size() + palette.size());
    put32(b, off + std::uint32_t(pixels.size()));
    put32(b, 0);
    put32(b, off);
    put32(b, 40);
    put32(b, std::uint32_t(w));
    put32(b, std::uint32_t(h));
    put16(b, 1);
    put16(b, std::uint32_t(bpp));
    put32(b, std::uint32_t(compression));
    put32(b, std::uint32_t(pixels.size()));
    put32(b, 0);
    put32(b, 0);
    put32(b, std::uint32_t(palette.size()));
    put32(b, 0);
    for (std::uint32_t m : extra)
        put32(b, m);
    for (std::uint32_t c : palette)
        put32(b, c);
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

} // namespace support
