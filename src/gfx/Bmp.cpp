#include "gfx/Dib.h"
#include "gfx/Picture.h"

#include <bit>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace gfx {

namespace dib {

namespace {

// Larger pictures are refused rather than allocated from a bogus header. An
// icon stores its mask below its picture, so its rows may number twice the
// picture limit.
constexpr int kMaxSide = kMaxPictureSide;
constexpr std::int64_t kMaxPixels = 2 * kMaxPicturePixels;

struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit Channel(std::uint32_t m) : mask(m) {
        if (m) {
            shift = std::countr_zero(m);
            max = m >> shift;
        }
    }
    int operator()(std::uint32_t v) const {
        if (!max)
            return 0;
        return int((std::uint64_t((v & mask) >> shift) * 255 + max / 2) / max);
    }
};

// Pixels the runs leave out stay black.
bool readRle(const std::uint8_t* p, std::size_t n, std::size_t off, const Header& h, int rows,
             Picture& pic) {
    const bool four = h.compression == 2;
    // Runs make at most a few hundred pixels per byte; a tiny file claiming a
    // huge picture is bogus, and refusing it saves a large allocation.
    if (std::uint64_t(h.width) * std::uint64_t(rows) > std::uint64_t(n - off + 2) * 2048)
        return false;
    pic = Picture(h.width, rows, 0);
    const auto put = [&](int x, int y, int v) {
        if (x >= 0 && x < h.width && y >= 0 && y < rows)
            pic.setPixel(x, rows - 1 - y,
                         std::size_t(v) < h.palette.size() ? h.palette[std::size_t(v)] : 0);
    };
    int x = 0, y = 0; // y counts stored rows, bottom row first
    std::size_t i = off;
    while (y < rows) {
        if (i + 2 > n)
            return false;
        const int a = p[i], b = p[i + 1];
        i += 2;
        if (a > 0) {
            for (int k = 0; k < a; ++k, ++x)
                put(x, y, four ? (k % 2 ? b & 15 : b >> 4) : b);
        } else if (b == 0) {
            x = 0;
            ++y;
        } else if (b == 1) {
            return true;
        } else if (b == 2) {
            if (i + 2 > n)
                return false;
            x += p[i];
            y += p[i + 1];
            i += 2;
        } else {
            const std::size_t bytes = four ? (std::size_t(b) + 1) / 2 : std::size_t(b);
            const std::size_t padded = (bytes + 1) & ~std::size_t(1);
            if (i + padded > n)
                return false;
            for (int k = 0; k < b; ++k, ++x) {
                const int v = four ? (k % 2 ? p[i + k / 2] & 15 : p[i + k / 2] >> 4) : p[i + k];
                put(x, y, v);
            }
            i += padded;
        }
    }
    return true;
}

} // namespace

bool readHeader(const std::uint8_t* p, std::size_t n, std::size_t off, Header& h) {
    if (off > n || n - off < 12)
        return false;
    const std::uint32_t size = le32(p + off);
    if (size < 12 || size > n - off)
        return false;
    std::int64_t w = 0, ht = 0;
    std::size_t entry = 4;
    std::uint32_t used = 0;
    h = Header{};
    if (size == 12) {
        w = le16(p + off + 4);
        ht = le16(p + off + 6);
        h.bpp = int(le16(p + off + 10));
        entry = 3;
    } else if (size >= 40) {
        w = std::int32_t(le32(p + off + 4));
        ht = std::int32_t(le32(p + off + 8));
        h.bpp = int(le16(p + off + 14));
        h.compression = int(le32(p + off + 16));
        used = le32(p + off + 32);
    } else {
        return false;
    }
    h.topDown = ht < 0;
    if (ht < 0)
        ht = -ht;
    if (w < 1 || ht < 1 || w > kMaxSide || ht > std::int64_t(2) * kMaxSide || w * ht > kMaxPixels)
        return false;
    h.width = int(w);
    h.height = int(ht);
    switch (h.compression) {
    case 0:
        if (h.bpp != 1 && h.bpp != 4 && h.bpp != 8 && h.bpp != 16 && h.bpp != 24 && h.bpp != 32)
            return false;
        break;
    case 1:
    case 2:
        if (h.bpp != (h.compression == 1 ? 8 : 4) || h.topDown)
            return false;
        break;
    case 3:
    case 6:
        if (h.bpp != 16 && h.bpp != 32)
            return false;
        break;
    default:
        return false;
    }
    std::size_t end = off + size;
    if (h.bpp == 16) {
        h.masks[0] = 0x7C00;
        h.masks[1] = 0x03E0;
        h.masks[2] = 0x001F;
    } else if (h.bpp == 32) {
        h.masks[0] = 0xFF0000;
        h.masks[1] = 0x00FF00;
        h.masks[2] = 0x0000FF;
        h.masks[3] = 0xFF000000u;
    }
    if (h.compression == 3 || h.compression == 6) {
        // The masks follow a 40-byte header; later headers hold them.
        const std::size_t count = h.compression == 6 ? 4 : 3;
        const std::size_t at = off + 40;
        if (size == 40) {
            if (n - end < 4 * count)
                return false;
            end += 4 * count;
        } else if (size < 52) {
            return false;
        }
        const std::size_t have = size == 40 ? count : (size >= 56 ? 4 : 3);
        for (std::size_t k = 0; k < 4; ++k)
            h.masks[k] = k < have ? le32(p + at + 4 * k) : 0;
    }
    std::size_t colours = 0;
    if (h.bpp <= 8)
        colours = used ? used : std::size_t(1) << h.bpp;
    else
        colours = used;
    if (colours > 256)
        return false;
    if ((n - end) / entry < colours)
        return false;
    if (h.bpp <= 8) {
        h.palette.resize(colours);
        for (std::size_t k = 0; k < colours; ++k) {
            const std::uint8_t* e = p + end + k * entry;
            h.palette[k] = rgb(e[2], e[1], e[0]);
        }
    }
    h.end = end + colours * entry;
    return true;
}

bool readPixels(const std::uint8_t* p, std::size_t n, std::size_t off, const Header& h, int rows,
                Picture& out, std::vector<std::uint8_t>* alpha) {
    if (rows < 1 || rows > h.height || off > n)
        return false;
    const auto paletteColour = [&](int i) {
        return i >= 0 && std::size_t(i) < h.palette.size() ? h.palette[std::size_t(i)] : 0;
    };
    const auto rowOf = [&](int stored) { return h.topDown ? stored : rows - 1 - stored; };
    if (h.compression == 1 || h.compression == 2) {
        Picture pic;
        if (!readRle(p, n, off, h, rows, pic))
            return false;
        out = std::move(pic);
        if (alpha)
            alpha->clear();
        return true;
    }
    const std::size_t st = stride(h.width, h.bpp);
    const std::size_t last = (std::size_t(h.width) * h.bpp + 7) / 8;
    // The final row may lack its padding.
    if (n - off < last || (n - off - last) / st < std::size_t(rows - 1))
        return false;
    Picture pic(h.width, rows);
    if (alpha)
        alpha->assign(std::size_t(h.width) * rows, 255);
    const Channel cr(h.masks[0]), cg(h.masks[1]), cb(h.masks[2]), ca(h.masks[3]);
    std::uint32_t* px = pic.data();
    for (int y = 0; y < rows; ++y) {
        const std::uint8_t* s = p + off + std::size_t(y) * st;
        const std::size_t row = std::size_t(rowOf(y)) * h.width;
        std::uint32_t* d = px + row;
        switch (h.bpp) {
        case 1:
        case 4:
        case 8: {
            const int per = 8 / h.bpp, bits = h.bpp, m = (1 << bits) - 1;
            for (int x = 0; x < h.width; ++x) {
                const int shift = 8 - bits * (x % per + 1);
                d[x] = paletteColour((s[x / per] >> shift) & m);
            }
            break;
        }
        case 16:
            for (int x = 0; x < h.width; ++x) {
                const std::uint32_t v = le16(s + 2 * std::size_t(x));
                d[x] = rgb(cr(v), cg(v), cb(v));
            }
            break;
        case 24:
            for (int x = 0; x < h.width; ++x)
                d[x] = rgb(s[3 * std::size_t(x) + 2], s[3 * std::size_t(x) + 1],
                           s[3 * std::size_t(x)]);
            break;
        case 32:
            for (int x = 0; x < h.width; ++x) {
                const std::uint32_t v = le32(s + 4 * std::size_t(x));
                d[x] = rgb(cr(v), cg(v), cb(v));
                if (alpha)
                    (*alpha)[row + std::size_t(x)] = std::uint8_t(ca(v));
            }
            break;
        }
    }
    out = std::move(pic);
    return true;
}

} // namespace dib

bool decodeBmp(const std::uint8_t* bytes, std::size_t size, Picture& out) {
    if (!bytes || size < 14 + 12 || bytes[0] != 'B' || bytes[1] != 'M')
        return false;
    dib::Header h;
    if (!dib::readHeader(bytes, size, 14, h) || !pictureFits(h.width, h.height))
        return false;
    std::size_t off = dib::le32(bytes + 10);
    if (off == 0) // some writers leave it out; the pixels follow the palette
        off = h.end;
    if (off >= size)
        return false;
    return dib::readPixels(bytes, size, off, h, h.height, out);
}

bool readBmp(const std::string& path, Picture& out) {
    std::ifstream f(path, std::ios::binary);
    if (!f)
        return false;
    f.seekg(0, std::ios::end);
    const std::streamoff len = f.tellg();
    if (len <= 0 || len > (std::streamoff(1) << 30))
        return false;
    f.seekg(0);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(len));
    if (!f.read(reinterpret_cast<char*>(bytes.data()), len))
        return false;
    return decodeBmp(bytes.data(), bytes.size(), out);
}

bool writeBmp(const Picture& pic, const std::string& path) {
    if (pic.empty())
        return false;
    const std::size_t st = dib::stride(pic.width(), 24);
    const std::size_t imageSize = st * std::size_t(pic.height());
    const std::size_t fileSize = 14 + 40 + imageSize;
    if (fileSize > 0xFFFFFFFFu)
        return false;
    std::vector<std::uint8_t> b(fileSize, 0);
    const auto put16 = [&](std::size_t at, std::uint32_t v) {
        b[at] = std::uint8_t(v);
        b[at + 1] = std::uint8_t(v >> 8);
    };
    const auto put32 = [&](std::size_t at, std::uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, std::uint32_t(fileSize));
    put32(10, 14 + 40);
    put32(14, 40);
    put32(18, std::uint32_t(pic.width()));
    put32(22, std::uint32_t(pic.height()));
    put16(26, 1);
    put16(28, 24);
    put32(34, std::uint32_t(imageSize));
    put32(38, 3780); // 96 dpi
    put32(42, 3780);
    for (int y = 0; y < pic.height(); ++y) {
        std::uint8_t* row = b.data() + 54 + std::size_t(pic.height() - 1 - y) * st;
        for (int x = 0; x < pic.width(); ++x) {
            const Color c = pic.pixel(x, y);
            std::uint8_t* out = row + 3 * std::size_t(x);
            out[0] = std::uint8_t(blue(c));
            out[1] = std::uint8_t(green(c));
            out[2] = std::uint8_t(red(c));
        }
    }
    const std::string tmp = path + ".tmp";
    {
        std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
        if (!f)
            return false;
        f.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
        f.flush();
        if (!f) {
            f.close();
            std::remove(tmp.c_str());
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(tmp, path, ec);
    if (ec) {
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

} // namespace gfx
