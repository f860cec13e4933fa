#include "gfx/Cursor.h"

#include "gfx/Dib.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace gfx {

namespace {

constexpr Color kOpaque = 0xFFFFFF;
// Pointer files are a few kilobytes; anything far larger is not one.
constexpr std::streamoff kMaxFile = 4 << 20;
constexpr int kMaxSide = 256;

Cursor makeCustom(CustomCursor c) {
    c.hotSpot.x = std::clamp(c.hotSpot.x, 0, c.image.width() - 1);
    c.hotSpot.y = std::clamp(c.hotSpot.y, 0, c.image.height() - 1);
    return {CursorShape::Custom, std::make_shared<const CustomCursor>(std::move(c))};
}

bool readFile(const std::string& path, std::vector<std::uint8_t>& out) {
    std::ifstream f(path, std::ios::binary);
    if (!f)
        return false;
    f.seekg(0, std::ios::end);
    const std::streamoff len = f.tellg();
    if (len <= 0 || len > kMaxFile)
        return false;
    f.seekg(0);
    out.resize(static_cast<std::size_t>(len));
    return bool(f.read(reinterpret_cast<char*>(out.data()), len));
}

// One icon-directory image: a DIB whose height counts the colour rows and the
// 1-bit AND mask rows below them.
bool decodeEntry(const std::uint8_t* p, std::size_t n, CustomCursor& c) {
    if (n >= 8 && p[0] == 0x89 && p[1] == 'P' && p[2] == 'N' && p[3] == 'G')
        return false; // PNG-compressed images are not read here
    dib::Header h;
    if (!dib::readHeader(p, n, 0, h))
        return false;
    if (h.compression != 0 && h.compression != 3)
        return false;
    const int w = h.width, rows = h.height / 2;
    if (rows < 1 || w > kMaxSide || rows > kMaxSide)
        return false;
    std::vector<std::uint8_t> alpha;
    if (!dib::readPixels(p, n, h.end, h, rows, c.image, h.bpp == 32 ? &alpha : nullptr))
        return false;
    const bool useAlpha =
        h.bpp == 32 && std::any_of(alpha.begin(), alpha.end(), [](std::uint8_t a) { return a; });

    const std::size_t maskAt = h.end + dib::stride(w, h.bpp) * std::size_t(rows);
    const std::size_t maskStride = dib::stride(w, 1);
    const bool haveMask = maskAt <= n && (n - maskAt) / maskStride >= std::size_t(rows);
    if (!useAlpha && !haveMask)
        return false;

    c.opaque = Picture(w, rows, 0);
    for (int y = 0; y < rows; ++y) {
        const int stored = h.topDown ? y : rows - 1 - y;
        for (int x = 0; x < w; ++x) {
            bool shown;
            if (useAlpha) {
                shown = alpha[std::size_t(y) * w + x] >= 128;
            } else {
                const std::uint8_t bits = p[maskAt + std::size_t(stored) * maskStride + x / 8];
                const bool andBit = (bits >> (7 - x % 8)) & 1;
                // AND 1 with a non-black colour inverts the screen there; we
                // cannot invert, so such pixels are drawn black to stay seen.
                shown = !andBit || c.image.pixel(x, y) != 0;
                if (andBit && shown)
                    c.image.setPixel(x, y, 0);
            }
            if (shown)
                c.opaque.setPixel(x, y, kOpaque);
            else
                c.image.setPixel(x, y, 0);
        }
    }
    return true;
}

} // namespace

Cursor Cursor::fromPicture(const Picture& pic, Point hotSpot, Color transparent) {
    if (pic.empty())
        return standard(CursorShape::Default);
    CustomCursor c;
    c.image = pic;
    c.opaque = Picture(pic.width(), pic.height(), 0);
    c.hotSpot = hotSpot;
    transparent &= 0xFFFFFF;
    for (int y = 0; y < pic.height(); ++y)
        for (int x = 0; x < pic.width(); ++x) {
            if (pic.pixel(x, y) == transparent)
                c.image.setPixel(x, y, 0);
            else
                c.opaque.setPixel(x, y, kOpaque);
        }
    return makeCustom(std::move(c));
}

Cursor Cursor::fromCurFile(const std::string& path) {
    std::vector<std::uint8_t> b;
    if (!readFile(path, b) || b.size() < 6)
        return standard(CursorShape::Default);
    const std::uint32_t type = dib::le16(b.data() + 2), count = dib::le16(b.data() + 4);
    if (dib::le16(b.data()) != 0 || (type != 1 && type != 2) || count == 0 ||
        b.size() < 6 + 16 * std::size_t(count))
        return standard(CursorShape::Default);
    // The 32 x 32 image when there is one, else the first.
    std::size_t pick = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* e = b.data() + 6 + 16 * i;
        if (e[0] == 32 && e[1] == 32) {
            pick = i;
            break;
        }
    }
    const std::uint8_t* e = b.data() + 6 + 16 * pick;
    const std::size_t size = dib::le32(e + 8), offset = dib::le32(e + 12);
    if (offset >= b.size())
        return standard(CursorShape::Default);
    CustomCursor c;
    if (!decodeEntry(b.data() + offset, std::min(size, b.size() - offset), c))
        return standard(CursorShape::Default);
    // Pointer files carry their hot spot; an icon points with its centre.
    c.hotSpot = type == 2 ? Point{int(dib::le16(e + 4)), int(dib::le16(e + 6))}
                          : Point{c.image.width() / 2, c.image.height() / 2};
    return makeCustom(std::move(c));
}

} // namespace gfx
