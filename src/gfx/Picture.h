// A picture in memory: 32-bit pixels (0x00RRGGBB), the raster operations the
// screens use, lines, outlines, flood fill and text.
#pragma once

#include "gfx/Geometry.h"

#include <cstdint>
#include <memory_resource>
#include <string>
#include <string_view>
#include <vector>

namespace gfx {

enum class RasterOp { Copy, Xor, And, Or };

// The largest picture the program ever makes or reads. The biggest one it
// makes is the backdrop, the logical desktop: the real one divided by the
// largest whole factor that keeps 640 x 480, so it stays under 1280 x 960
// in at least one direction. Even a 16K screen (853 x 480 logical) or a row
// of monitors 16384 pixels wide and 1080 high (8192 x 540) fits within both
// limits. A file claiming more is damaged or not meant for this program, and
// refusing it before decoding keeps a lying header from taking gigabytes.
constexpr int kMaxPictureSide = 16384;
constexpr std::int64_t kMaxPicturePixels = std::int64_t(1) << 24; // 16 million

// Whether a `width` x `height` picture is within those limits.
bool pictureFits(std::int64_t width, std::int64_t height);

// An 8-bit coverage mask, as a font renders a run of text.
struct AlphaMask {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> alpha; // width * height
};

class Picture {
  public:
    Picture() = default;
    // A picture larger than the limits above, or one the memory cannot hold,
    // is empty, after one line on standard error. The pixels live in
    // `memory` (the display's, for the frame it shows), or on the heap when
    // it is null; a copy of a picture always lives on the heap.
    Picture(int width, int height, Color fill = 0, std::pmr::memory_resource* memory = nullptr);

    int width() const { return w_; }
    int height() const { return h_; }
    Size size() const { return {w_, h_}; }
    bool empty() const { return w_ <= 0 || h_ <= 0; }
    Rect rect() const { return {0, 0, w_, h_}; }

    // Outside the picture: kNoColor.
    Color pixel(int x, int y) const;
    void setPixel(int x, int y, Color c);
    void fill(Color c);
    void fillRect(Rect r, Color c);

    // Copies a rectangle of `src` to `dst` with a raster operation; clipped on
    // both sides.
    void blit(const Picture& src, Rect srcRect, Point dst, RasterOp op = RasterOp::Copy);
    void blit(const Picture& src, Point dst, RasterOp op = RasterOp::Copy) {
        blit(src, src.rect(), dst, op);
    }
    // Stretches (nearest neighbour) a rectangle of `src` onto `dstRect`.
    void stretchBlit(const Picture& src, Rect srcRect, Rect dstRect, RasterOp op = RasterOp::Copy);
    // Copies only the pixels of `src` that differ from `transparent`.
    void blitKeyed(const Picture& src, Rect srcRect, Point dst, Color transparent);

    // Masked drawing: the image XOR, its mask AND (black where the image is
    // opaque), the image XOR again, over the rectangle `srcRect` of both
    // pictures placed at `dst`, nothing outside `clip`. Nothing at all when
    // either picture is missing, since an image without its mask would
    // show inverted.
    void drawMasked(const Picture& image, const Picture& mask, Rect srcRect, Point dst, Rect clip);
    // The same, stretched onto `dstRect` (a sprite shrinking as it vanishes).
    void drawMaskedStretched(const Picture& image, const Picture& mask, Rect srcRect, Rect dstRect,
                             Rect clip);

    void line(Point a, Point b, Color c, int width = 1);
    void rectOutline(Rect r, Color c, int width = 1);
    // Fills the region around `seed` bounded by pixels of colour `border`
    // (the region of pixels not equal to `border`).
    void floodFillBorder(Point seed, Color border, Color fill);
    // Fills the connected region of pixels equal to the seed's colour.
    void floodFillSurface(Point seed, Color fill);

    // Paints `mask` at `dst` in colour `c`, blending by coverage.
    void drawMask(const AlphaMask& mask, Point dst, Color c);

    std::uint32_t* data() { return px_.data(); }
    const std::uint32_t* data() const { return px_.data(); }
    friend bool operator==(const Picture&, const Picture&) = default;

  private:
    int w_ = 0;
    int h_ = 0;
    std::pmr::vector<std::uint32_t> px_;
};

// BMP files: reads 1, 4, 8, 24 and 32-bit uncompressed (and RLE8) files;
// writes 24-bit files through a temporary file renamed into place.
bool readBmp(const std::string& path, Picture& out);
bool decodeBmp(const std::uint8_t* bytes, std::size_t size, Picture& out);
bool writeBmp(const Picture& pic, const std::string& path);

// What a picture file's header claims, read before anything is decoded.
struct PictureHeader {
    enum class Kind { Bmp, Jpeg, Png };
    Kind kind = Kind::Bmp;
    std::int64_t width = 0;
    std::int64_t height = 0;
};
// False when `bytes` do not start a BMP, JPEG or PNG file whose size can be
// read.
bool readPictureHeader(const std::uint8_t* bytes, std::size_t size, PictureHeader& out);

} // namespace gfx
