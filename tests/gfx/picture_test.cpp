// Pixels, raster operations, lines, outlines and flood fill.
#include "gfx/Picture.h"

#include <gtest/gtest.h>
#include <string>

using namespace gfx;

namespace {

constexpr Color kWhite = 0xFFFFFF;
constexpr Color kBlack = 0x000000;
constexpr Color kRed = 0xFF0000;
constexpr Color kBlue = 0x0000FF;

// One character per pixel: '.' background, '#' the given ink, others by map.
std::string ascii(const Picture& p, Color ink) {
    std::string s;
    for (int y = 0; y < p.height(); ++y) {
        for (int x = 0; x < p.width(); ++x)
            s += p.pixel(x, y) == ink ? '#' : '.';
        s += '\n';
    }
    return s;
}

int count(const Picture& p, Color c) {
    int n = 0;
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x)
            n += p.pixel(x, y) == c;
    return n;
}

} // namespace

TEST(Picture, PixelsOutsideAreNoColorAndWritesThereAreIgnored) {
    Picture p(3, 2, kRed);
    EXPECT_EQ(p.pixel(2, 1), kRed);
    for (Point q : {Point{-1, 0}, Point{0, -1}, Point{3, 0}, Point{0, 2}})
        EXPECT_EQ(p.pixel(q.x, q.y), kNoColor);
    p.setPixel(3, 0, kBlue);
    p.setPixel(-1, 1, kBlue);
    EXPECT_EQ(count(p, kRed), 6);
    EXPECT_TRUE(Picture(0, 5).empty());
    EXPECT_TRUE(Picture(-4, 5).empty());
    EXPECT_EQ(Picture(-4, 5).pixel(0, 0), kNoColor);
}

TEST(Picture, FillRectIsClipped) {
    Picture p(4, 3, kBlack);
    p.fillRect({-2, 1, 4, 10}, kRed);
    EXPECT_EQ(ascii(p, kRed), "....\n##..\n##..\n");
}

TEST(Picture, RasterOpsActOnTheColourBits) {
    Picture dst(1, 1, 0x0F0F0F);
    const Picture src(1, 1, 0x3C3C3C);
    Picture d = dst;
    d.blit(src, {0, 0}, RasterOp::Xor);
    EXPECT_EQ(d.pixel(0, 0), 0x333333u);
    d = dst;
    d.blit(src, {0, 0}, RasterOp::And);
    EXPECT_EQ(d.pixel(0, 0), 0x0C0C0Cu);
    d = dst;
    d.blit(src, {0, 0}, RasterOp::Or);
    EXPECT_EQ(d.pixel(0, 0), 0x3F3F3Fu);
    d = dst;
    d.blit(src, {0, 0}, RasterOp::Copy);
    EXPECT_EQ(d.pixel(0, 0), 0x3C3C3Cu);
}

// The masked drawing the screens use: XOR the image, AND the mask, XOR the
// image again. Where the mask is black the image appears exactly; where it is
// white the target is untouched.
TEST(Picture, XorAndXorDrawsTheImageThroughItsMask) {
    Picture target(4, 1);
    for (int x = 0; x < 4; ++x)
        target.setPixel(x, 0, 0x123456u * Color(x + 1) & 0xFFFFFF);
    const Picture before = target;
    Picture image(4, 1), mask(4, 1, kWhite);
    const Color ink[4] = {0xABCDEF, 0x000000, 0xFFFFFF, 0x808080};
    for (int x = 0; x < 4; ++x)
        image.setPixel(x, 0, ink[x]);
    mask.setPixel(0, 0, kBlack);
    mask.setPixel(2, 0, kBlack);
    target.blit(image, {0, 0}, RasterOp::Xor);
    target.blit(mask, {0, 0}, RasterOp::And);
    target.blit(image, {0, 0}, RasterOp::Xor);
    EXPECT_EQ(target.pixel(0, 0), ink[0]);
    EXPECT_EQ(target.pixel(1, 0), before.pixel(1, 0));
    EXPECT_EQ(target.pixel(2, 0), ink[2]);
    EXPECT_EQ(target.pixel(3, 0), before.pixel(3, 0));
}

TEST(Picture, BlitClipsSourceAndDestination) {
    Picture src(3, 3, kRed);
    src.setPixel(0, 0, kBlue);
    Picture p(4, 4, kBlack);
    // Negative destination: only the bottom-right 2 x 2 of the source lands.
    p.blit(src, {-1, -1});
    EXPECT_EQ(ascii(p, kRed), "##..\n##..\n....\n....\n");
    EXPECT_EQ(count(p, kBlue), 0);

    // Source rectangle partly outside the source: the outside part draws nothing
    // and the inside part keeps its place.
    Picture q(4, 4, kBlack);
    q.blit(src, {-1, -1, 3, 3}, {0, 0});
    EXPECT_EQ(q.pixel(0, 0), kBlack);
    EXPECT_EQ(q.pixel(1, 1), kBlue);
    EXPECT_EQ(q.pixel(2, 2), kRed);
    EXPECT_EQ(q.pixel(3, 3), kBlack);

    // Past the right and bottom edges, and wholly outside.
    Picture r(4, 4, kBlack);
    r.blit(src, {3, 2});
    r.blit(src, {4, 0});
    r.blit(src, {-3, 0});
    EXPECT_EQ(ascii(r, kBlue), "....\n....\n...#\n....\n");
    EXPECT_EQ(count(r, kRed), 1);
}

TEST(Picture, BlitWithinOnePictureHandlesOverlap) {
    Picture p(5, 1);
    for (int x = 0; x < 5; ++x)
        p.setPixel(x, 0, Color(x + 1));
    p.blit(p, {0, 0, 4, 1}, {1, 0});
    for (int x = 1; x < 5; ++x)
        EXPECT_EQ(p.pixel(x, 0), Color(x));
}

TEST(Picture, StretchBlitNearestNeighbour) {
    Picture src(2, 2);
    src.setPixel(0, 0, 1);
    src.setPixel(1, 0, 2);
    src.setPixel(0, 1, 3);
    src.setPixel(1, 1, 4);
    Picture p(4, 4, kRed);
    p.stretchBlit(src, src.rect(), {0, 0, 4, 4});
    const Color want[4][4] = {{1, 1, 2, 2}, {1, 1, 2, 2}, {3, 3, 4, 4}, {3, 3, 4, 4}};
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(p.pixel(x, y), want[y][x]) << x << "," << y;

    // Shrinking picks pixel centres; the result is clipped at a negative origin.
    Picture big(6, 6, 7);
    big.fillRect({2, 0, 2, 6}, 8);
    big.fillRect({4, 0, 2, 6}, 9);
    Picture small(2, 1, kRed);
    small.stretchBlit(big, big.rect(), {-1, 0, 3, 3});
    EXPECT_EQ(small.pixel(0, 0), 8u);
    EXPECT_EQ(small.pixel(1, 0), 9u);

    // With a raster operation.
    Picture x(2, 2, 0x0F0F0F);
    x.stretchBlit(Picture(1, 1, 0xFFFFFF), {0, 0, 1, 1}, {0, 0, 2, 2}, RasterOp::Xor);
    EXPECT_EQ(count(x, 0xF0F0F0), 4);
}

TEST(Picture, BlitKeyedSkipsTheTransparentColour) {
    Picture src(3, 1, kBlue);
    src.setPixel(1, 0, kRed);
    Picture p(3, 1, kBlack);
    p.blitKeyed(src, src.rect(), {-1, 0}, kBlue);
    EXPECT_EQ(p.pixel(0, 0), kRed);
    EXPECT_EQ(p.pixel(1, 0), kBlack);
}

TEST(Picture, ThinLinesLeaveOutTheEndPoint) {
    Picture p(5, 5, kBlack);
    p.line({0, 0}, {4, 0}, kRed);
    p.line({0, 2}, {3, 4}, kRed);
    p.line({4, 4}, {4, 4}, kRed); // a zero-length thin line draws nothing
    EXPECT_EQ(ascii(p, kRed), "####.\n"
                              ".....\n"
                              "#....\n"
                              ".##..\n"
                              ".....\n");
    // Closing a shape with XOR: every corner is drawn once.
    Picture q(4, 4, kBlack);
    const Point c[4] = {{0, 0}, {3, 0}, {3, 3}, {0, 3}};
    for (int i = 0; i < 4; ++i) {
        Picture l(4, 4, kBlack);
        l.line(c[i], c[(i + 1) % 4], kWhite);
        q.blit(l, {0, 0}, RasterOp::Xor);
    }
    EXPECT_EQ(ascii(q, kWhite), "####\n#..#\n#..#\n####\n");
}

TEST(Picture, WideLinesAreCentredOnThePath) {
    Picture p(7, 7, kBlack);
    p.line({1, 3}, {5, 3}, kRed, 3);
    EXPECT_EQ(ascii(p, kRed), ".......\n"
                              ".......\n"
                              "#######\n"
                              "#######\n"
                              "#######\n"
                              ".......\n"
                              ".......\n");
    Picture v(5, 5, kBlack);
    v.line({2, 0}, {2, 4}, kRed, 3);
    EXPECT_EQ(ascii(v, kRed), ".###.\n.###.\n.###.\n.###.\n.###.\n");
}

TEST(Picture, OutlineGrowsInward) {
    Picture p(6, 6, kBlack);
    p.rectOutline({0, 0, 6, 5}, kRed, 2);
    EXPECT_EQ(ascii(p, kRed), "######\n"
                              "######\n"
                              "##..##\n"
                              "######\n"
                              "######\n"
                              "......\n");
    Picture q(4, 4, kBlack);
    q.rectOutline({1, 1, 3, 3}, kRed);
    EXPECT_EQ(ascii(q, kRed), "....\n.###\n.#.#\n.###\n");
}

namespace {

// A 7 x 7 box of border colour around a 5 x 5 inside, on a 9 x 9 picture.
Picture boxed(Color inside = kWhite) {
    Picture p(9, 9, kWhite);
    p.rectOutline({1, 1, 7, 7}, kBlack);
    p.fillRect({2, 2, 5, 5}, inside);
    return p;
}

} // namespace

TEST(Picture, FloodFillBorderStaysInsideTheBorder) {
    Picture p = boxed();
    p.setPixel(4, 4, kBlue); // other colours inside are filled too
    p.floodFillBorder({3, 3}, kBlack, kRed);
    EXPECT_EQ(count(p, kRed), 25);
    EXPECT_EQ(p.pixel(0, 0), kWhite);
    EXPECT_EQ(count(p, kBlack), 24);
}

TEST(Picture, FloodFillBorderLeaksThroughAGap) {
    Picture p = boxed();
    p.setPixel(7, 4, kWhite); // a gap in the right side
    p.floodFillBorder({3, 3}, kBlack, kRed);
    EXPECT_EQ(count(p, kRed), 81 - 23);
    EXPECT_EQ(count(p, kWhite), 0);
}

TEST(Picture, FloodFillBorderSeedOnBorderOrOutsideDoesNothing) {
    Picture p = boxed();
    const Picture before = p;
    p.floodFillBorder({1, 1}, kBlack, kRed);
    p.floodFillBorder({-1, 3}, kBlack, kRed);
    p.floodFillBorder({9, 3}, kBlack, kRed);
    EXPECT_EQ(p, before);
}

TEST(Picture, FloodFillBorderEndsWhenTheFillColourIsAlreadyThere) {
    // The inside is already the fill colour: the fill must still end and
    // leave the picture as it was.
    Picture p = boxed(kRed);
    const Picture before = p;
    p.floodFillBorder({3, 3}, kBlack, kRed);
    EXPECT_EQ(p, before);
    // Filling with the border colour closes the region.
    Picture q = boxed();
    q.floodFillBorder({3, 3}, kBlack, kBlack);
    EXPECT_EQ(count(q, kBlack), 49);
}

TEST(Picture, FloodFillBorderFollowsWindingRegions) {
    // A spiral-like comb: the region turns back on itself in every row.
    Picture p(11, 11, kWhite);
    for (int x = 1; x < 11; x += 2)
        p.fillRect({x, x % 4 == 1 ? 0 : 1, 1, 10}, kBlack);
    const int inside = count(p, kWhite);
    p.floodFillBorder({0, 5}, kBlack, kRed);
    EXPECT_EQ(count(p, kRed), inside);
}

TEST(Picture, FloodFillSurfaceFillsTheSeedColour) {
    Picture p = boxed();
    p.floodFillSurface({3, 3}, kRed);
    EXPECT_EQ(count(p, kRed), 25);
    const Picture before = p;
    p.floodFillSurface({3, 3}, kRed);
    p.floodFillSurface({20, 3}, kBlue);
    EXPECT_EQ(p, before);
    p.floodFillSurface({1, 1}, kBlue); // the border ring is one region
    EXPECT_EQ(count(p, kBlue), 24);
}

TEST(Picture, DrawMaskBlendsByCoverage) {
    Picture p(3, 1, 0x000000);
    AlphaMask m{3, 1, {0, 128, 255}};
    p.drawMask(m, {0, 0}, 0xFF8000);
    EXPECT_EQ(p.pixel(0, 0), 0u);
    EXPECT_EQ(p.pixel(1, 0), rgb(128, 64, 0));
    EXPECT_EQ(p.pixel(2, 0), 0xFF8000u);
    Picture q(2, 1, 0);
    q.drawMask(m, {-1, 0}, kWhite);
    EXPECT_EQ(q.pixel(0, 0), rgb(128, 128, 128));
    EXPECT_EQ(q.pixel(1, 0), kWhite);
    AlphaMask bad{4, 4, {1, 2}}; // shorter than it claims
    q.drawMask(bad, {0, 0}, kRed);
    EXPECT_EQ(q.pixel(1, 0), kWhite);
}

TEST(Picture, MaskedDrawingIsClippedAndTakesTheMatchingSourcePart) {
    // A 4 x 1 frame whose opaque pixels are 0, 2 and 3, drawn at x = -1 with
    // the clip ending at x = 2: source pixel 0 falls off the left, 3 past the clip.
    Picture target(4, 1, 0x111111), image(8, 1), mask(8, 1, kWhite);
    for (int x = 0; x < 8; ++x)
        image.setPixel(x, 0, Color(0x100000 * (x + 1)));
    for (int x : {4, 6, 7})
        mask.setPixel(x, 0, kBlack);
    target.drawMasked(image, mask, {4, 0, 4, 1}, {-1, 0}, {0, 0, 2, 1});
    EXPECT_EQ(target.pixel(0, 0), 0x111111u); // source 5: transparent
    EXPECT_EQ(target.pixel(1, 0), 0x700000u); // source 6: opaque
    EXPECT_EQ(target.pixel(2, 0), 0x111111u); // source 7: outside the clip
    // Without its mask nothing is drawn rather than an inverted image.
    target.drawMasked(image, Picture(), {0, 0, 4, 1}, {0, 0}, target.rect());
    EXPECT_EQ(target.pixel(1, 0), 0x700000u);
}

TEST(Picture, MaskedDrawingEqualsTheThreeRasterOperations) {
    // Any pixels, any mask, placed across the edges: the one-pass drawing
    // must give what XOR, AND, XOR give, even where the mask is not pure.
    std::uint32_t seed = 7;
    auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
    Picture image(9, 7), mask(9, 7), target(12, 10);
    for (Picture* p : {&image, &mask, &target})
        for (int y = 0; y < p->height(); ++y)
            for (int x = 0; x < p->width(); ++x)
                p->setPixel(x, y, Color(next() & 0xFFFFFF));
    for (Point at : {Point{2, 1}, Point{-3, -2}, Point{8, 6}}) {
        Picture fused = target, three = target;
        const Rect from{1, 1, 8, 6}; // one column and row past the source's edge
        fused.drawMasked(image, mask, from, at, {1, 0, 10, 9});
        const Rect clip{1, 0, 10, 9};
        const Rect d = Rect{at.x, at.y, from.w, from.h}.intersected(clip);
        const Rect s{from.x + d.x - at.x, from.y + d.y - at.y, d.w, d.h};
        three.blit(image, s, {d.x, d.y}, RasterOp::Xor);
        three.blit(mask, s, {d.x, d.y}, RasterOp::And);
        three.blit(image, s, {d.x, d.y}, RasterOp::Xor);
        EXPECT_EQ(fused, three) << at.x << "," << at.y;
    }
}

TEST(Picture, StretchedMaskedDrawingShrinksAroundItsPlace) {
    Picture target(4, 4, 0x222222), image(4, 4, 0x00FF00), mask(4, 4, kBlack);
    mask.fillRect({2, 0, 2, 4}, kWhite); // the right half transparent
    target.drawMaskedStretched(image, mask, image.rect(), {1, 1, 2, 2}, target.rect());
    EXPECT_EQ(target.pixel(1, 1), 0x00FF00u);
    EXPECT_EQ(target.pixel(2, 1), 0x222222u);
    EXPECT_EQ(target.pixel(0, 0), 0x222222u);
    EXPECT_EQ(target.pixel(3, 3), 0x222222u);
}
