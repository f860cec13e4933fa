// BMP files: writing, reading every stored depth, and refusing bad files.
#include "gfx/Picture.h"
#include "support/bytes.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <vector>

using namespace gfx;
namespace fs = std::filesystem;

namespace {

using support::bmpFile;
using support::Bytes;

Picture decode(const Bytes& b) {
    Picture p;
    EXPECT_TRUE(decodeBmp(b.data(), b.size(), p));
    return p;
}

struct TempDir {
    fs::path dir =
        fs::temp_directory_path() / ("shizi_bmp_" + std::to_string(std::random_device{}()));
    TempDir() { fs::create_directories(dir); }
    ~TempDir() { fs::remove_all(dir); }
};

} // namespace

TEST(Bmp, WriteThenReadGivesThePictureBack) {
    TempDir t;
    // Width 5: 15 bytes of pixels padded to 16 in each row.
    Picture p(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            p.setPixel(x, y, rgb(x * 50, y * 100, 255 - x * y * 10));
    const std::string path = (t.dir / "a.bmp").string();
    ASSERT_TRUE(writeBmp(p, path));
    EXPECT_EQ(fs::file_size(path), 54u + 3 * 16);
    Picture back;
    ASSERT_TRUE(readBmp(path, back));
    EXPECT_EQ(back, p);
    // Overwriting keeps one file and leaves no temporary behind.
    ASSERT_TRUE(writeBmp(Picture(2, 2, 0xFF0000), path));
    ASSERT_TRUE(readBmp(path, back));
    EXPECT_EQ(back, Picture(2, 2, 0xFF0000));
    EXPECT_EQ(std::distance(fs::directory_iterator(t.dir), fs::directory_iterator{}), 1);
}

TEST(Bmp, WriteFailuresAreReported) {
    TempDir t;
    EXPECT_FALSE(writeBmp(Picture(2, 2), (t.dir / "no" / "such" / "a.bmp").string()));
    EXPECT_FALSE(writeBmp(Picture(), (t.dir / "empty.bmp").string()));
    fs::create_directories(t.dir / "dir.bmp");
    EXPECT_FALSE(writeBmp(Picture(2, 2), (t.dir / "dir.bmp").string()));
    EXPECT_EQ(std::distance(fs::directory_iterator(t.dir), fs::directory_iterator{}), 1);
}

TEST(Bmp, ReadsEightBitPaletteBottomUpAndTopDown) {
    const std::vector<Color> pal = {0x000000, 0x112233, 0xFFEEDD};
    // 3 x 2, rows of 3 bytes padded to 4; bottom row first.
    const Bytes rows = {2, 1, 0, 0, 1, 1, 2, 0};
    const Picture p = decode(bmpFile(3, 2, 8, pal, rows));
    ASSERT_EQ(p.size(), (Size{3, 2}));
    EXPECT_EQ(p.pixel(0, 0), 0x112233u);
    EXPECT_EQ(p.pixel(2, 0), 0xFFEEDDu);
    EXPECT_EQ(p.pixel(0, 1), 0xFFEEDDu);
    EXPECT_EQ(p.pixel(2, 1), 0x000000u);
    const Picture q = decode(bmpFile(3, -2, 8, pal, rows));
    EXPECT_EQ(q.pixel(0, 0), 0xFFEEDDu);
    EXPECT_EQ(q.pixel(0, 1), 0x112233u);
    // An index past the palette reads as black rather than past the table.
    const Picture r = decode(bmpFile(1, 1, 8, pal, {200, 0, 0, 0}));
    EXPECT_EQ(r.pixel(0, 0), 0u);
}

TEST(Bmp, ReadsOneAndFourBitRows) {
    // 10 pixels of 1 bit cross a byte boundary: 1011001110 then padding.
    const Picture p = decode(bmpFile(10, 1, 1, {0x0000FF, 0xFFFF00}, {0xB3, 0x80, 0, 0}));
    const char* want = "1011001110";
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(p.pixel(x, 0), want[x] == '1' ? 0xFFFF00u : 0x0000FFu) << x;
    std::vector<Color> pal(16);
    for (int i = 0; i < 16; ++i)
        pal[std::size_t(i)] = Color(i * 0x111111);
    const Picture q = decode(bmpFile(3, 1, 4, pal, {0x5F, 0x20, 0, 0}));
    EXPECT_EQ(q.pixel(0, 0), 0x555555u);
    EXPECT_EQ(q.pixel(1, 0), 0xFFFFFFu);
    EXPECT_EQ(q.pixel(2, 0), 0x222222u);
}

TEST(Bmp, ReadsTrueColourAndBitFields) {
    // 24-bit, 2 x 1: blue-green-red order, 6 bytes padded to 8.
    const Picture p = decode(bmpFile(2, 1, 24, {}, {1, 2, 3, 4, 5, 6, 0, 0}));
    EXPECT_EQ(p.pixel(0, 0), 0x030201u);
    EXPECT_EQ(p.pixel(1, 0), 0x060504u);
    // 32-bit with whatever alpha byte.
    const Picture q = decode(bmpFile(1, 1, 32, {}, {0x10, 0x20, 0x30, 0x7F}));
    EXPECT_EQ(q.pixel(0, 0), 0x302010u);
    // 16-bit 5-6-5 through bit fields: pure green at full scale.
    const Picture r =
        decode(bmpFile(2, 1, 16, {}, {0xE0, 0x07, 0x1F, 0x00}, 3, {0xF800, 0x07E0, 0x001F}));
    EXPECT_EQ(r.pixel(0, 0), 0x00FF00u);
    EXPECT_EQ(r.pixel(1, 0), 0x0000FFu);
}

TEST(Bmp, ReadsRunLengthEightBit) {
    const std::vector<Color> pal = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    // 4 x 2 bottom-up: row 0 = run of 3 ones + one 2; row 1 = absolute 3,2,1
    // then end of bitmap, so the last pixel stays black.
    const Bytes rle = {3, 1, 1, 2, 0, 0, 0, 3, 3, 2, 1, 0, 0, 1};
    const Picture p = decode(bmpFile(4, 2, 8, pal, rle, 1));
    EXPECT_EQ(p.pixel(0, 1), 0xFF0000u);
    EXPECT_EQ(p.pixel(2, 1), 0xFF0000u);
    EXPECT_EQ(p.pixel(3, 1), 0x00FF00u);
    EXPECT_EQ(p.pixel(0, 0), 0x0000FFu);
    EXPECT_EQ(p.pixel(2, 0), 0xFF0000u);
    EXPECT_EQ(p.pixel(3, 0), 0x000000u);
    // Runs that overshoot the picture are cut, not written past it.
    const Picture q = decode(bmpFile(2, 1, 8, pal, {200, 1, 0, 1}, 1));
    EXPECT_EQ(q, Picture(2, 1, 0xFF0000));
}

TEST(Bmp, RefusesTruncatedAndCorruptFiles) {
    const std::vector<Color> pal = {0x000000, 0x112233, 0xFFEEDD};
    const Bytes files[] = {
        bmpFile(3, 2, 8, pal, {2, 1, 0, 0, 1, 1, 2, 0}),
        bmpFile(2, 2, 24, {}, Bytes(16, 7)),
        bmpFile(4, 2, 8, pal, {3, 1, 1, 2, 0, 0, 0, 3, 3, 2, 1, 0, 0, 1}, 1),
    };
    for (const Bytes& f : files) {
        // Every proper prefix is refused (the last row's padding aside).
        for (std::size_t n = 0; n + 2 < f.size(); ++n) {
            Picture p(1, 1, 0x123456);
            EXPECT_FALSE(decodeBmp(f.data(), n, p)) << n;
            EXPECT_EQ(p, Picture(1, 1, 0x123456)) << "left untouched on failure";
        }
        // Random damage in the headers never crashes or reads out of bounds
        // (the sanitizer build checks the latter).
        std::mt19937 rng(7);
        for (int i = 0; i < 3000; ++i) {
            Bytes g = f;
            for (int k = 0; k < 3; ++k)
                g[rng() % std::min<std::size_t>(g.size(), 70)] = std::uint8_t(rng());
            Picture p;
            if (decodeBmp(g.data(), g.size(), p)) {
                EXPECT_FALSE(p.empty());
            }
        }
    }
    Bytes huge = bmpFile(1, 1, 24, {}, Bytes(4, 0));
    huge[21] = 0x7F; // a width of two thousand million: refused without allocating
    Picture p;
    EXPECT_FALSE(decodeBmp(huge.data(), huge.size(), p));
    Bytes compressed = files[1];
    compressed[30] = 4; // JPEG inside a BMP: not supported
    EXPECT_FALSE(decodeBmp(compressed.data(), compressed.size(), p));
    EXPECT_FALSE(decodeBmp(nullptr, 0, p));
    EXPECT_FALSE(readBmp("/nonexistent/shizi.bmp", p));
}
