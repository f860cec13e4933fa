// The sizes picture files claim, found without decoding them.
#include "gfx/Dib.h"
#include "gfx/Picture.h"

#include <algorithm>
#include <cstdlib>

namespace gfx {

namespace {

std::uint32_t be16(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 8 | p[1];
}
std::uint32_t be32(const std::uint8_t* p) {
    return be16(p) << 16 | be16(p + 2);
}

bool jpegSize(const std::uint8_t* p, std::size_t n, PictureHeader& out) {
    std::size_t i = 2;
    while (i + 4 <= n) {
        if (p[i] != 0xFF)
            return false;
        const std::uint8_t marker = p[i + 1];
        if (marker == 0xFF) { // fill byte before a marker
            ++i;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            i += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) // end of image, start of scan
            return false;
        const std::size_t len = be16(p + i + 2);
        if (len < 2)
            return false;
        // A start-of-frame segment: every kind but the Huffman, arithmetic
        // and JPEG-extension tables that share the marker range.
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (len < 7 || i + 9 > n)
                return false;
            out.kind = PictureHeader::Kind::Jpeg;
            out.height = be16(p + i + 5);
            out.width = be16(p + i + 7);
            return out.width > 0 && out.height > 0;
        }
        i += 2 + len;
    }
    return false;
}

} // namespace

bool readPictureHeader(const std::uint8_t* p, std::size_t n, PictureHeader& out) {
    out = PictureHeader{};
    if (!p)
        return false;
    if (n >= 14 + 16 && p[0] == 'B' && p[1] == 'M') {
        const std::uint32_t size = dib::le32(p + 14);
        out.kind = PictureHeader::Kind::Bmp;
        if (size == 12) {
            out.width = dib::le16(p + 18);
            out.height = dib::le16(p + 20);
        } else if (size >= 40 && n >= 14 + 16) {
            out.width = std::int32_t(dib::le32(p + 18));
            out.height = std::llabs(std::int32_t(dib::le32(p + 22)));
        } else {
            return false;
        }
        return out.width > 0 && out.height > 0;
    }
    if (n >= 4 && p[0] == 0xFF && p[1] == 0xD8 && p[2] == 0xFF)
        return jpegSize(p, n, out);
    static const std::uint8_t png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (n >= 24 && std::equal(png, png + 8, p) && be32(p + 12) == 0x49484452) { // "IHDR"
        out.kind = PictureHeader::Kind::Png;
        out.width = be32(p + 16);
        out.height = be32(p + 20);
        return out.width > 0 && out.height > 0;
    }
    return false;
}

} // namespace gfx
