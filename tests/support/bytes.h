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

} // namespace support
