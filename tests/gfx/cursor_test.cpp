// Custom mouse pointers from pictures and from ".cur" / ".ico" files.
#include "gfx/Cursor.h"
#include "support/bytes.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <vector>

using namespace gfx;
namespace fs = std::filesystem;

namespace {

using support::Bytes;
using support::put16;
using support::put32;

// A w x h pointer image: 32-bit (alpha from `alpha`) or 1-bit with a
// palette, then the AND mask (1 = see-through, from `clear`). `colour`
// gives each pixel's colour; rows are stored bottom-up as in the files.
Bytes dibImage(int w, int h, int bpp, std::function<Color(int, int)> colour,
               std::function<int(int, int)> alpha, std::function<bool(int, int)> clear) {
    Bytes b;
    put32(b, 40);
    put32(b, std::uint32_t(w));
    put32(b, std::uint32_t(2 * h));
    put16(b, 1);
    put16(b, std::uint32_t(bpp));
    for (int i = 0; i < 6; ++i)
        put32(b, 0);
    if (bpp == 1) {
        put32(b, 0x000000);
        put32(b, 0xFFFFFF);
    }
    const std::size_t maskStride = (std::size_t(w) + 31) / 32 * 4;
    for (int y = h - 1; y >= 0; --y) {
        if (bpp == 32) {
            for (int x = 0; x < w; ++x)
                put32(b, colour(x, y) | std::uint32_t(alpha(x, y)) << 24);
        } else {
            Bytes row(maskStride, 0);
            for (int x = 0; x < w; ++x)
                if (colour(x, y) != 0)
                    row[std::size_t(x / 8)] |= std::uint8_t(0x80 >> (x % 8));
            b.insert(b.end(), row.begin(), row.end());
        }
    }
    for (int y = h - 1; y >= 0; --y) {
        Bytes row(maskStride, 0);
        for (int x = 0; x < w; ++x)
            if (clear(x, y))
                row[std::size_t(x / 8)] |= std::uint8_t(0x80 >> (x % 8));
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

struct Entry {
    int w, h, hotX, hotY;
    Bytes image;
};

Bytes container(int type, const std::vector<Entry>& entries) {
    Bytes b;
    put16(b, 0);
    put16(b, std::uint32_t(type));
    put16(b, std::uint32_t(entries.size()));
    std::uint32_t at = 6 + 16 * std::uint32_t(entries.size());
    for (const Entry& e : entries) {
        b.push_back(std::uint8_t(e.w));
        b.push_back(std::uint8_t(e.h));
        b.push_back(0);
        b.push_back(0);
        put16(b, std::uint32_t(e.hotX));
        put16(b, std::uint32_t(e.hotY));
        put32(b, std::uint32_t(e.image.size()));
        put32(b, at);
        at += std::uint32_t(e.image.size());
    }
    for (const Entry& e : entries)
        b.insert(b.end(), e.image.begin(), e.image.end());
    return b;
}

struct Files : ::testing::Test {
    fs::path dir =
        fs::temp_directory_path() / ("shizi_cur_" + std::to_string(std::random_device{}()));
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    int files = 0;
    // A new name each time: rewriting one file in place is slow on ext4.
    std::string write(const Bytes& b, const std::string& ext = ".cur") {
        const fs::path p = dir / (std::to_string(++files) + ext);
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
        return p.string();
    }
};

// The generated pointers' layout: 32-bit colour with alpha plus a mask. A red
// 4 x 4 block in the top-left corner is opaque.
Bytes redCorner(bool withAlpha = true) {
    const auto inBlock = [](int x, int y) { return x < 4 && y < 4; };
    return dibImage(
        32, 32, 32,
        [&](int x, int y) { return inBlock(x, y) ? 0xFF0000u
                                   : withAlpha   ? 0x00FF00u
                                                 : 0u; },
        [&](int x, int y) { return withAlpha && inBlock(x, y) ? 255 : 0; },
        [&](int x, int y) { return !inBlock(x, y); });
}

void expectRedCorner(const Cursor& c) {
    ASSERT_EQ(c.shape, CursorShape::Custom);
    ASSERT_TRUE(c.custom);
    const CustomCursor& k = *c.custom;
    ASSERT_EQ(k.image.size(), (Size{32, 32}));
    ASSERT_EQ(k.opaque.size(), (Size{32, 32}));
    EXPECT_EQ(k.opaque.pixel(0, 0), 0xFFFFFFu);
    EXPECT_EQ(k.opaque.pixel(3, 3), 0xFFFFFFu);
    EXPECT_EQ(k.opaque.pixel(4, 3), 0u);
    EXPECT_EQ(k.opaque.pixel(0, 31), 0u);
    EXPECT_EQ(k.image.pixel(2, 1), 0xFF0000u);
}

} // namespace

TEST(Cursor, FromPictureMakesTheTransparentColourSeeThrough) {
    Picture p(3, 2, 0xFF00FF);
    p.setPixel(1, 0, 0x123456);
    p.setPixel(2, 1, 0x000000);
    const Cursor c = Cursor::fromPicture(p, {1, 1}, 0xFF00FF);
    ASSERT_EQ(c.shape, CursorShape::Custom);
    EXPECT_EQ(c.custom->hotSpot, (Point{1, 1}));
    EXPECT_EQ(c.custom->opaque.pixel(1, 0), 0xFFFFFFu);
    EXPECT_EQ(c.custom->opaque.pixel(2, 1), 0xFFFFFFu);
    EXPECT_EQ(c.custom->opaque.pixel(0, 0), 0u);
    EXPECT_EQ(c.custom->image.pixel(1, 0), 0x123456u);
    // A hot spot outside the picture is kept on it.
    EXPECT_EQ(Cursor::fromPicture(p, {9, -3}, 0).custom->hotSpot, (Point{2, 0}));
    EXPECT_EQ(Cursor::fromPicture(Picture(), {0, 0}, 0), Cursor::standard(CursorShape::Default));
}

TEST_F(Files, ReadsAThirtyTwoBitPointerWithItsHotSpot) {
    const Cursor c = Cursor::fromCurFile(write(container(2, {{32, 32, 6, 0, redCorner()}})));
    expectRedCorner(c);
    EXPECT_EQ(c.custom->hotSpot, (Point{6, 0}));
    // With no alpha at all, the AND mask decides.
    expectRedCorner(Cursor::fromCurFile(write(container(2, {{32, 32, 0, 0, redCorner(false)}}))));
}

TEST_F(Files, PicksTheThirtyTwoPixelImage) {
    const auto white = [](int, int) { return 0xFFFFFFu; };
    const Bytes small = dibImage(
        16, 16, 32, white, [](int, int) { return 255; }, [](int, int) { return false; });
    const Cursor c = Cursor::fromCurFile(
        write(container(2, {{16, 16, 1, 1, small}, {32, 32, 5, 7, redCorner()}})));
    expectRedCorner(c);
    EXPECT_EQ(c.custom->hotSpot, (Point{5, 7}));
    // Without a 32 x 32 image the first one is used.
    const Cursor d = Cursor::fromCurFile(write(container(2, {{16, 16, 1, 1, small}})));
    ASSERT_EQ(d.shape, CursorShape::Custom);
    EXPECT_EQ(d.custom->image.size(), (Size{16, 16}));
}

TEST_F(Files, ReadsAOneBitPointerThroughItsMask) {
    // Top half: black, opaque. Bottom-left quarter: see-through. Bottom-right
    // quarter: white over a set AND bit, which would invert the screen.
    const Bytes img = dibImage(
        8, 8, 1, [](int x, int y) { return y >= 4 && x >= 4 ? 0xFFFFFFu : 0u; },
        [](int, int) { return 0; }, [](int, int y) { return y >= 4; });
    const Cursor c = Cursor::fromCurFile(write(container(2, {{8, 8, 3, 4, img}})));
    ASSERT_EQ(c.shape, CursorShape::Custom);
    const CustomCursor& k = *c.custom;
    EXPECT_EQ(k.opaque.pixel(0, 0), 0xFFFFFFu);
    EXPECT_EQ(k.image.pixel(0, 0), 0u);
    EXPECT_EQ(k.opaque.pixel(1, 6), 0u);
    EXPECT_EQ(k.opaque.pixel(6, 6), 0xFFFFFFu);
    EXPECT_EQ(k.image.pixel(6, 6), 0u);
    EXPECT_EQ(k.hotSpot, (Point{3, 4}));
}

TEST_F(Files, AnIconPointsWithItsCentre) {
    const Cursor c =
        Cursor::fromCurFile(write(container(1, {{32, 32, 1, 32, redCorner()}}), ".ico"));
    expectRedCorner(c);
    EXPECT_EQ(c.custom->hotSpot, (Point{16, 16}));
}

TEST_F(Files, BadFilesGiveTheDefaultPointer) {
    const Cursor standard = Cursor::standard(CursorShape::Default);
    EXPECT_EQ(Cursor::fromCurFile((dir / "missing.cur").string()), standard);
    EXPECT_EQ(Cursor::fromCurFile(dir.string()), standard);

    Bytes png = {0x89, 'P', 'N', 'G', 13, 10, 26, 10};
    png.resize(64, 0);
    EXPECT_EQ(Cursor::fromCurFile(write(container(2, {{32, 32, 0, 0, png}}))), standard);

    const Bytes good = container(2, {{32, 32, 6, 0, redCorner()}});
    // Cut anywhere before the end of the colour rows: refused.
    const std::size_t colourEnd = 6 + 16 + 40 + 32 * 32 * 4;
    for (std::size_t n = 0; n < colourEnd; n += (n < 80 ? 1 : 97))
        EXPECT_EQ(Cursor::fromCurFile(write(Bytes(good.begin(), good.begin() + long(n)))), standard)
            << n;
    // Damaged directories and headers never crash.
    std::mt19937 rng(3);
    for (int i = 0; i < 300; ++i) {
        Bytes b = good;
        for (int k = 0; k < 2; ++k)
            b[rng() % 62] = std::uint8_t(rng());
        const Cursor c = Cursor::fromCurFile(write(b));
        if (c.shape == CursorShape::Custom) {
            EXPECT_FALSE(c.custom->image.empty());
            EXPECT_EQ(c.custom->image.size(), c.custom->opaque.size());
        }
    }
}
