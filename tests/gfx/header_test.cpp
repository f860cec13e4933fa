// Picture sizes read from file headers before any decoding, and the one
// limit every picture path applies.
#include "gfx/Picture.h"
#include "support/bytes.h"

#include <gtest/gtest.h>

using namespace gfx;
using support::Bytes;
using support::put16;
using support::put32;

namespace {

Bytes jpegHead(int w, int h, std::uint8_t frame = 0xC0) {
    Bytes b{0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
    // A table segment with the frame marker's neighbour, then the frame.
    b.insert(b.end(), {0xFF, 0xC4, 0, 3, 0});
    b.insert(b.end(), {0xFF, frame, 0, 11, 8, std::uint8_t(h >> 8), std::uint8_t(h),
                       std::uint8_t(w >> 8), std::uint8_t(w), 1, 1, 0x11, 0});
    b.insert(b.end(), {0xFF, 0xDA, 0, 2});
    return b;
}

} // namespace

TEST(PictureHeader, JpegSizeComesFromItsFrameHeader) {
    PictureHeader h;
    Bytes j = jpegHead(30000, 30000);
    ASSERT_TRUE(readPictureHeader(j.data(), j.size(), h));
    EXPECT_EQ(h.kind, PictureHeader::Kind::Jpeg);
    EXPECT_EQ(h.width, 30000);
    EXPECT_EQ(h.height, 30000);
    EXPECT_FALSE(pictureFits(h.width, h.height));

    j = jpegHead(640, 480, 0xC2); // progressive
    ASSERT_TRUE(readPictureHeader(j.data(), j.size(), h));
    EXPECT_EQ(h.width, 640);
    EXPECT_TRUE(pictureFits(h.width, h.height));

    // Cut before the frame, a zero height, a scan before any frame.
    for (const Bytes& bad : {Bytes(j.begin(), j.begin() + 28), jpegHead(640, 0),
                             Bytes{0xFF, 0xD8, 0xFF, 0xDA, 0, 2, 0, 0}}) {
        EXPECT_FALSE(readPictureHeader(bad.data(), bad.size(), h));
    }
}

TEST(PictureHeader, BmpAndPngSizes) {
    Bytes b{'B', 'M'};
    put32(b, 0);
    put32(b, 0);
    put32(b, 54);
    put32(b, 40);
    put32(b, 20000);
    put32(b, std::uint32_t(-20000)); // top-down
    put16(b, 1);
    put16(b, 8);
    PictureHeader h;
    ASSERT_TRUE(readPictureHeader(b.data(), b.size(), h));
    EXPECT_EQ(h.kind, PictureHeader::Kind::Bmp);
    EXPECT_EQ(h.width, 20000);
    EXPECT_EQ(h.height, 20000);

    const Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13,
                    'I',  'H', 'D', 'R', 0,    0,    1,    0,    0, 0, 0, 2};
    ASSERT_TRUE(readPictureHeader(png.data(), png.size(), h));
    EXPECT_EQ(h.kind, PictureHeader::Kind::Png);
    EXPECT_EQ(h.width, 256);
    EXPECT_EQ(h.height, 2);

    const Bytes junk{'G', 'I', 'F', '8', '9', 'a'};
    EXPECT_FALSE(readPictureHeader(junk.data(), junk.size(), h));
    EXPECT_FALSE(readPictureHeader(nullptr, 0, h));
}

TEST(PictureLimits, TheLargestScreenFitsAndNothingBeyondTheLimits) {
    EXPECT_TRUE(pictureFits(7680, 2160));
    EXPECT_TRUE(pictureFits(kMaxPictureSide, 1024));
    EXPECT_FALSE(pictureFits(kMaxPictureSide + 1, 1));
    EXPECT_FALSE(pictureFits(4097, 4097));
    EXPECT_FALSE(pictureFits(0, 10));
    EXPECT_FALSE(pictureFits(65500, 65500));
}
