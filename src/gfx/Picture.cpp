#include "gfx/Picture.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

namespace gfx {

namespace {

constexpr Color kRgbMask = 0x00FFFFFFu;

// Clips a copy of `srcRect` of a `srcSize` picture to `dst` in a `dstSize`
// picture. On return `s` is the source rectangle and `d` its top-left corner
// in the destination; false when nothing is left.
bool clipCopy(Size srcSize, Size dstSize, Rect srcRect, Point dst, Rect& s, Point& d) {
    s = srcRect.intersected({0, 0, srcSize.w, srcSize.h});
    if (s.empty())
        return false;
    d = {dst.x + (s.x - srcRect.x), dst.y + (s.y - srcRect.y)};
    const Rect placed = Rect{d.x, d.y, s.w, s.h}.intersected({0, 0, dstSize.w, dstSize.h});
    if (placed.empty())
        return false;
    s = {s.x + (placed.x - d.x), s.y + (placed.y - d.y), placed.w, placed.h};
    d = {placed.x, placed.y};
    return true;
}

// Blocks of eight with a fixed count let the compiler use vector
// instructions at the default optimisation level.
template <class F>
void rowApply(std::uint32_t* __restrict d, const std::uint32_t* __restrict s, int n, F f) {
    int i = 0;
    for (; i + 8 <= n; i += 8)
        for (int k = 0; k < 8; ++k)
            d[i + k] = f(d[i + k], s[i + k]);
    for (; i < n; ++i)
        d[i] = f(d[i], s[i]);
}

// `d` and `s` never overlap: blits within one picture go through a copy.
void rowOp(std::uint32_t* d, const std::uint32_t* s, int n, RasterOp op) {
    switch (op) {
    case RasterOp::Copy:
        std::memcpy(d, s, std::size_t(n) * sizeof(std::uint32_t));
        break;
    case RasterOp::Xor:
        rowApply(d, s, n, [](std::uint32_t a, std::uint32_t b) { return a ^ (b & kRgbMask); });
        break;
    case RasterOp::And:
        rowApply(d, s, n, [](std::uint32_t a, std::uint32_t b) { return a & (b | ~kRgbMask); });
        break;
    case RasterOp::Or:
        rowApply(d, s, n, [](std::uint32_t a, std::uint32_t b) { return a | (b & kRgbMask); });
        break;
    }
}

inline void pixelOp(std::uint32_t& d, std::uint32_t s, RasterOp op) {
    switch (op) {
    case RasterOp::Copy:
        d = s;
        break;
    case RasterOp::Xor:
        d ^= s & kRgbMask;
        break;
    case RasterOp::And:
        d &= s | ~kRgbMask;
        break;
    case RasterOp::Or:
        d |= s & kRgbMask;
        break;
    }
}

struct Span {
    int x;
    int y;
};

} // namespace

bool pictureFits(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

Picture::Picture(int width, int height, Color fill, std::pmr::memory_resource* memory)
    : px_(memory ? memory : std::pmr::get_default_resource()) {
    if (width <= 0 || height <= 0)
        return;
    if (!pictureFits(width, height)) {
        std::fprintf(stderr,
                     "shizi: a %d x %d picture is larger than %d x %d or %lld pixels; left empty\n",
                     width, height, kMaxPictureSide, kMaxPictureSide,
                     static_cast<long long>(kMaxPicturePixels));
        return;
    }
    try {
        px_.assign(std::size_t(width) * std::size_t(height), fill & kRgbMask);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "shizi: no memory for a %d x %d picture; left empty\n", width, height);
        return;
    }
    w_ = width;
    h_ = height;
}

Color Picture::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= w_ || y >= h_)
        return kNoColor;
    return px_[std::size_t(y) * w_ + x];
}

void Picture::setPixel(int x, int y, Color c) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_)
        return;
    px_[std::size_t(y) * w_ + x] = c & kRgbMask;
}

void Picture::fill(Color c) {
    std::fill(px_.begin(), px_.end(), c & kRgbMask);
}

void Picture::fillRect(Rect r, Color c) {
    const Rect k = r.intersected(rect());
    if (k.empty())
        return;
    for (int y = k.y; y < k.bottom(); ++y) {
        std::uint32_t* row = px_.data() + std::size_t(y) * w_ + k.x;
        std::fill(row, row + k.w, c & kRgbMask);
    }
}

void Picture::blit(const Picture& src, Rect srcRect, Point dst, RasterOp op) {
    Rect s;
    Point d;
    if (!clipCopy(src.size(), size(), srcRect, dst, s, d))
        return;
    if (&src == this) {
        // Overlapping copy within one picture: work from a copy of the source.
        Picture part(s.w, s.h);
        part.blit(*this, s, {0, 0});
        blit(part, part.rect(), d, op);
        return;
    }
    for (int y = 0; y < s.h; ++y)
        rowOp(px_.data() + std::size_t(d.y + y) * w_ + d.x,
              src.px_.data() + std::size_t(s.y + y) * src.w_ + s.x, s.w, op);
}

void Picture::stretchBlit(const Picture& src, Rect srcRect, Rect dstRect, RasterOp op) {
    if (srcRect.empty() || dstRect.empty() || src.empty() || empty())
        return;
    if (&src == this) {
        stretchBlit(Picture(src), srcRect, dstRect, op); // the source is about to change
        return;
    }
    const Rect d = dstRect.intersected(rect());
    if (d.empty())
        return;
    // Source column of each destination column (sampled at pixel centres);
    // -1 where the source rectangle lies outside the source picture.
    std::vector<int> cols(std::size_t(d.w));
    for (int x = 0; x < d.w; ++x) {
        const long long dx = d.x + x - dstRect.x;
        const int sx = srcRect.x + int((2 * dx + 1) * srcRect.w / (2LL * dstRect.w));
        cols[std::size_t(x)] = sx >= 0 && sx < src.w_ ? sx : -1;
    }
    for (int y = d.y; y < d.bottom(); ++y) {
        const long long dy = y - dstRect.y;
        const int sy = srcRect.y + int((2 * dy + 1) * srcRect.h / (2LL * dstRect.h));
        if (sy < 0 || sy >= src.h_)
            continue;
        const std::uint32_t* srow = src.px_.data() + std::size_t(sy) * src.w_;
        std::uint32_t* drow = px_.data() + std::size_t(y) * w_ + d.x;
        for (int x = 0; x < d.w; ++x) {
            const int sx = cols[std::size_t(x)];
            if (sx >= 0)
                pixelOp(drow[x], srow[sx], op);
        }
    }
}

void Picture::blitKeyed(const Picture& src, Rect srcRect, Point dst, Color transparent) {
    Rect s;
    Point d;
    if (!clipCopy(src.size(), size(), srcRect, dst, s, d))
        return;
    if (&src == this) {
        Picture part(s.w, s.h);
        part.blit(*this, s, {0, 0});
        blitKeyed(part, part.rect(), d, transparent);
        return;
    }
    transparent &= kRgbMask;
    for (int y = 0; y < s.h; ++y) {
        std::uint32_t* drow = px_.data() + std::size_t(d.y + y) * w_ + d.x;
        const std::uint32_t* srow = src.px_.data() + std::size_t(s.y + y) * src.w_ + s.x;
        for (int x = 0; x < s.w; ++x)
            if (srow[x] != transparent)
                drow[x] = srow[x];
    }
}

void Picture::drawMasked(const Picture& image, const Picture& mask, Rect srcRect, Point dst,
                         Rect clip) {
    if (image.empty() || mask.empty())
        return;
    // Clip the destination first, then move the source corner by as much.
    const Rect want{dst.x, dst.y, srcRect.w, srcRect.h};
    const Rect d = want.intersected(clip).intersected(rect());
    if (d.empty())
        return;
    const Rect from{srcRect.x + d.x - dst.x, srcRect.y + d.y - dst.y, d.w, d.h};
    if (&image == this || &mask == this) {
        blit(image, from, {d.x, d.y}, RasterOp::Xor);
        blit(mask, from, {d.x, d.y}, RasterOp::And);
        blit(image, from, {d.x, d.y}, RasterOp::Xor);
        return;
    }
    const Rect s = from.intersected(image.rect()).intersected(mask.rect());
    if (s.empty())
        return;
    // The three operations in one pass over each row, pixel for pixel the
    // same as image XOR, mask AND, image XOR done one after the other.
    const int ox = d.x - from.x, oy = d.y - from.y;
    for (int y = s.y; y < s.bottom(); ++y) {
        std::uint32_t* out = px_.data() + std::size_t(y + oy) * w_ + (s.x + ox);
        const std::uint32_t* img = image.px_.data() + std::size_t(y) * image.w_ + s.x;
        const std::uint32_t* msk = mask.px_.data() + std::size_t(y) * mask.w_ + s.x;
        for (int x = 0; x < s.w; ++x) {
            const std::uint32_t i = img[x] & kRgbMask;
            out[x] = ((out[x] ^ i) & (msk[x] | ~kRgbMask)) ^ i;
        }
    }
}

void Picture::drawMaskedStretched(const Picture& image, const Picture& mask, Rect srcRect,
                                  Rect dstRect, Rect clip) {
    if (image.empty() || mask.empty() || dstRect.empty())
        return;
    if (dstRect.w == srcRect.w && dstRect.h == srcRect.h) {
        drawMasked(image, mask, srcRect, {dstRect.x, dstRect.y}, clip);
        return;
    }
    // Stretch both into a scratch pair at the destination size, then draw
    // that unstretched, so the clip applies exactly as for a plain sprite.
    Picture img(dstRect.w, dstRect.h), msk(dstRect.w, dstRect.h, rgb(255, 255, 255));
    img.stretchBlit(image, srcRect, img.rect());
    msk.stretchBlit(mask, srcRect, msk.rect());
    drawMasked(img, msk, img.rect(), {dstRect.x, dstRect.y}, clip);
}

void Picture::line(Point a, Point b, Color c, int width) {
    c &= kRgbMask;
    if (width < 1)
        width = 1;
    // Pen footprint: offsets inside a disc of diameter `width` (a full square
    // up to width 3), centred on the path.
    std::vector<Point> pen;
    if (width > 1) {
        const int lo = -(width - 1) / 2;
        for (int j = 0; j < width; ++j)
            for (int i = 0; i < width; ++i) {
                const int ox = 2 * i - (width - 1), oy = 2 * j - (width - 1);
                if (ox * ox + oy * oy <= width * width)
                    pen.push_back({lo + i, lo + j});
            }
    }
    const int dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
    const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
    int err = dx + dy;
    int x = a.x, y = a.y;
    for (;;) {
        const bool last = x == b.x && y == b.y;
        if (width == 1) {
            // A thin line leaves out its end point, so joined lines meet
            // without overlap (and XOR drawing stays exact).
            if (last)
                break;
            setPixel(x, y, c);
        } else {
            for (const Point& o : pen)
                setPixel(x + o.x, y + o.y, c);
            if (last)
                break;
        }
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void Picture::rectOutline(Rect r, Color c, int width) {
    if (r.empty())
        return;
    if (width < 1)
        width = 1;
    if (2 * width >= r.w || 2 * width >= r.h) {
        fillRect(r, c);
        return;
    }
    fillRect({r.x, r.y, r.w, width}, c);
    fillRect({r.x, r.bottom() - width, r.w, width}, c);
    fillRect({r.x, r.y + width, width, r.h - 2 * width}, c);
    fillRect({r.right() - width, r.y + width, width, r.h - 2 * width}, c);
}

namespace {

// Scanline flood fill with an explicit stack. `inside(i)` says whether pixel
// index i still belongs to the region and is not yet filled; `mark(i)` fills it.
template <class Inside, class Mark>
void scanFill(int w, int h, Point seed, Inside inside, Mark mark) {
    std::vector<Span> stack;
    stack.push_back({seed.x, seed.y});
    while (!stack.empty()) {
        const Span s = stack.back();
        stack.pop_back();
        const std::size_t row = std::size_t(s.y) * std::size_t(w);
        if (!inside(row + s.x))
            continue;
        int l = s.x, r = s.x;
        while (l > 0 && inside(row + l - 1))
            --l;
        while (r + 1 < w && inside(row + r + 1))
            ++r;
        for (int x = l; x <= r; ++x)
            mark(row + x);
        for (int ny : {s.y - 1, s.y + 1}) {
            if (ny < 0 || ny >= h)
                continue;
            const std::size_t nrow = std::size_t(ny) * std::size_t(w);
            bool inRun = false;
            for (int x = l; x <= r; ++x) {
                const bool in = inside(nrow + x);
                if (in && !inRun)
                    stack.push_back({x, ny});
                inRun = in;
            }
        }
    }
}

} // namespace

void Picture::floodFillBorder(Point seed, Color border, Color fill) {
    border &= kRgbMask;
    fill &= kRgbMask;
    if (!rect().contains(seed) || pixel(seed.x, seed.y) == border)
        return;
    std::uint32_t* p = px_.data();
    if (fill == border) {
        // Filled pixels become border pixels, which ends the region by itself.
        scanFill(
            w_, h_, seed, [&](std::size_t i) { return p[i] != border; },
            [&](std::size_t i) { p[i] = fill; });
        return;
    }
    // The fill colour may already occur inside the region, so remember which
    // pixels are done.
    std::vector<std::uint8_t> done(px_.size(), 0);
    scanFill(
        w_, h_, seed, [&](std::size_t i) { return !done[i] && p[i] != border; },
        [&](std::size_t i) {
            done[i] = 1;
            p[i] = fill;
        });
}

void Picture::floodFillSurface(Point seed, Color fill) {
    fill &= kRgbMask;
    if (!rect().contains(seed))
        return;
    const Color target = pixel(seed.x, seed.y);
    if (target == fill)
        return;
    std::uint32_t* p = px_.data();
    scanFill(
        w_, h_, seed, [&](std::size_t i) { return p[i] == target; },
        [&](std::size_t i) { p[i] = fill; });
}

void Picture::drawMask(const AlphaMask& mask, Point dst, Color c) {
    if (mask.width <= 0 || mask.height <= 0 ||
        mask.alpha.size() < std::size_t(mask.width) * std::size_t(mask.height))
        return;
    Rect s;
    Point d;
    if (!clipCopy({mask.width, mask.height}, size(), {0, 0, mask.width, mask.height}, dst, s, d))
        return;
    const int cr = red(c), cg = green(c), cb = blue(c);
    for (int y = 0; y < s.h; ++y) {
        const std::uint8_t* arow = mask.alpha.data() + std::size_t(s.y + y) * mask.width + s.x;
        std::uint32_t* drow = px_.data() + std::size_t(d.y + y) * w_ + d.x;
        for (int x = 0; x < s.w; ++x) {
            const int a = arow[x];
            if (a == 0)
                continue;
            if (a == 255) {
                drow[x] = c & kRgbMask;
                continue;
            }
            const Color o = drow[x];
            const auto mix = [a](int fg, int bg) { return (fg * a + bg * (255 - a) + 127) / 255; };
            drow[x] = rgb(mix(cr, red(o)), mix(cg, green(o)), mix(cb, blue(o)));
        }
    }
}

} // namespace gfx
