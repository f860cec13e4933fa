// The colouring game's folder: every drawing against its region map, the
// layout against the screen picture, the colour list and the best score.
#include "gfx/Picture.h"
#include "mediaset/image_files.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace mediaset {
namespace {

constexpr std::uint32_t kBlack = 0, kWhite = 0xffffff;
constexpr int kNoRegion = 21;

fs::path gameDir() {
    return mediaDir() / "game" / "Game03";
}

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
    bool overlaps(const Rect& o) const {
        return x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h;
    }
};

struct Layout {
    Rect area;
    std::vector<Rect> buttons;
    std::vector<std::pair<int, int>> words, circles;
    std::vector<int> regionCounts;
};

Layout readLayout() {
    bool crlf = false;
    const auto lines = crlfLines(gameDir() / "data" / "pos_size.txt", crlf);
    EXPECT_TRUE(crlf);
    Layout l;
    auto rect = [](const std::string& s) {
        const auto x = column(s, 5), y = column(s, 9), w = column(s, 13), h = column(s, 17);
        EXPECT_TRUE(x && y && w && h) << s;
        return Rect{x.value_or(0), y.value_or(0), w.value_or(0), h.value_or(0)};
    };
    for (const std::string& s : lines) {
        if (s.rfind("area:", 0) == 0)
            l.area = rect(s);
        else if (s.rfind("butn:", 0) == 0)
            l.buttons.push_back(rect(s));
        else if (s.rfind("word:", 0) == 0)
            l.words.push_back({column(s, 5).value_or(-1), column(s, 9).value_or(-1)});
        else if (s.rfind("circle:", 0) == 0)
            l.circles.push_back({column(s, 7).value_or(-1), column(s, 11).value_or(-1)});
        else if (s.rfind("colorNum:", 0) == 0)
            l.regionCounts.push_back(std::atoi(s.c_str() + 9));
    }
    return l;
}

std::vector<std::string> dataLines(const char* name) {
    bool crlf = false;
    auto lines = crlfLines(gameDir() / "data" / name, crlf);
    EXPECT_TRUE(crlf) << name;
    return lines;
}

// The region map's codes, top row first, after checking its header.
std::vector<int> readMap(const fs::path& file, int width, int height) {
    const std::string s = readBytes(file);
    EXPECT_GE(s.size(), 146u);
    if (s.size() < 146)
        return {};
    EXPECT_EQ(le32(s, 10), 146u) << file;
    EXPECT_EQ(int(le32(s, 18)), width);
    EXPECT_EQ(int(le32(s, 22)), height); // bottom-up
    EXPECT_EQ(le16(s, 28), 8u);
    EXPECT_EQ(le32(s, 30), 0u);
    EXPECT_EQ(le32(s, 46), 23u);
    const int row = (width + 3) / 4 * 4;
    EXPECT_EQ(s.size(), 146u + size_t(row) * height);
    std::vector<int> codes(size_t(width) * height, kNoRegion);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const size_t at = 146 + size_t(height - 1 - y) * row + x;
            if (at < s.size())
                codes[size_t(y) * width + x] = static_cast<unsigned char>(s[at]);
        }
    return codes;
}

// 4-connected components of the white pixels: a label per pixel, -1 on ink.
std::vector<int> whiteComponents(const Image& img, int& count) {
    std::vector<int> label(img.rgb.size(), -1), stack;
    count = 0;
    for (int start = 0; start < int(img.rgb.size()); ++start) {
        if (img.rgb[size_t(start)] != kWhite || label[size_t(start)] >= 0)
            continue;
        label[size_t(start)] = count;
        stack.push_back(start);
        while (!stack.empty()) {
            const int i = stack.back();
            stack.pop_back();
            const int x = i % img.width, y = i / img.width;
            const int next[4][2] = {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}};
            for (const auto& n : next) {
                if (n[0] < 0 || n[1] < 0 || n[0] >= img.width || n[1] >= img.height)
                    continue;
                const int j = n[1] * img.width + n[0];
                if (img.rgb[size_t(j)] == kWhite && label[size_t(j)] < 0) {
                    label[size_t(j)] = count;
                    stack.push_back(j);
                }
            }
        }
        ++count;
    }
    return label;
}

gfx::Picture toPicture(const Image& img) {
    gfx::Picture p(img.width, img.height);
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            p.setPixel(x, y, img.at(x, y));
    return p;
}

std::string drawingName(int n) {
    char name[16];
    std::snprintf(name, sizeof name, "fill%02d", n);
    return name;
}

TEST(ColouringGame, DataFilesCountTheDrawingsAndOfferElevenDistinctColours) {
    const auto data = dataLines("data.txt");
    ASSERT_EQ(data.size(), 2u);
    EXPECT_EQ(data[0], " 0");
    const int pictures = std::atoi(data[1].c_str());
    EXPECT_GE(pictures, 10);
    EXPECT_EQ(int(readLayout().regionCounts.size()), pictures);

    const auto colours = dataLines("color.txt");
    ASSERT_GE(colours.size(), 11u);
    std::vector<std::uint32_t> offered;
    for (size_t i = 1; i < colours.size(); ++i) {
        const long v = std::atol(colours[i].c_str());
        ASSERT_GE(v, 1) << colours[i];
        ASSERT_LT(v, 0xffffff) << colours[i];
        offered.push_back(std::uint32_t(v));
    }
    // Any two colours a palette may hold differ clearly.
    for (size_t a = 0; a < offered.size(); ++a)
        for (size_t b = a + 1; b < offered.size(); ++b) {
            int d = 0;
            for (int shift : {0, 8, 16})
                d += std::abs(int(offered[a] >> shift & 255) - int(offered[b] >> shift & 255));
            EXPECT_GE(d, 90) << colours[a + 1] << " and " << colours[b + 1];
        }
}

TEST(ColouringGame, EveryDrawingAgreesWithItsRegionMap) {
    const Layout layout = readLayout();
    ASSERT_EQ(layout.area.w, 380);
    ASSERT_EQ(layout.area.h, 456);
    for (size_t n = 1; n <= layout.regionCounts.size(); ++n) {
        SCOPED_TRACE(drawingName(int(n)));
        const auto img = readBmp(gameDir() / "pics" / (drawingName(int(n)) + ".bmp"));
        ASSERT_TRUE(img && !img->rgb.empty());
        ASSERT_EQ(img->width, layout.area.w);
        ASSERT_EQ(img->height, layout.area.h);
        const auto codes =
            readMap(gameDir() / "pics" / (drawingName(int(n)) + "C.bmp"), img->width, img->height);
        ASSERT_EQ(codes.size(), img->rgb.size());
        int components = 0;
        const auto label = whiteComponents(*img, components);
        std::map<int, std::set<int>> componentsOfCode, codesOfComponent;
        std::map<int, int> size;
        for (size_t i = 0; i < codes.size(); ++i) {
            const std::uint32_t px = img->rgb[i];
            ASSERT_TRUE(px == kBlack || px == kWhite) << "a grey pixel at " << i;
            ASSERT_EQ(px == kWhite, codes[i] != kNoRegion) << "pixel " << i;
            if (px != kWhite)
                continue;
            ASSERT_LT(codes[i], 21);
            componentsOfCode[codes[i]].insert(label[i]);
            codesOfComponent[label[i]].insert(codes[i]);
            ++size[codes[i]];
        }
        EXPECT_EQ(int(componentsOfCode.size()), layout.regionCounts[n - 1]);
        EXPECT_EQ(components, layout.regionCounts[n - 1]);
        EXPECT_GE(components, 8);
        EXPECT_LE(components, 20);
        for (const auto& [code, comps] : componentsOfCode) {
            EXPECT_EQ(comps.size(), 1u) << "code " << code << " is in several regions";
            EXPECT_GE(size[code], 200) << "code " << code << " is too small to click";
        }
        for (const auto& [comp, cs] : codesOfComponent)
            EXPECT_EQ(cs.size(), 1u) << "a region holds several codes";
        // Ink everywhere at least two pixels thick: every black pixel lies in
        // a 2 x 2 block of black.
        auto black = [&](int x, int y) {
            return x >= 0 && y >= 0 && x < img->width && y < img->height && img->at(x, y) == kBlack;
        };
        for (int y = 0; y < img->height; ++y)
            for (int x = 0; x < img->width; ++x)
                if (black(x, y)) {
                    bool block = false;
                    for (int dy = -1; dy <= 0; ++dy)
                        for (int dx = -1; dx <= 0; ++dx)
                            block = block ||
                                    (black(x + dx, y + dy) && black(x + dx + 1, y + dy) &&
                                     black(x + dx, y + dy + 1) && black(x + dx + 1, y + dy + 1));
                    ASSERT_TRUE(block) << "thin ink at " << x << "," << y;
                }
        // Regions whose codes differ by ten take the same colour, so they
        // never meet across an outline.
        for (int y = 0; y < img->height; ++y)
            for (int x = 0; x < img->width; ++x) {
                if (codes[size_t(y) * img->width + x] != kNoRegion)
                    continue;
                std::set<int> near;
                for (int dy = -3; dy <= 3; ++dy)
                    for (int dx = -3; dx <= 3; ++dx) {
                        const int nx = x + dx, ny = y + dy;
                        if (nx >= 0 && ny >= 0 && nx < img->width && ny < img->height &&
                            codes[size_t(ny) * img->width + nx] != kNoRegion)
                            near.insert(codes[size_t(ny) * img->width + nx]);
                    }
                for (int c : near)
                    ASSERT_FALSE(near.count(c + 10))
                        << "codes " << c << " and " << c + 10 << " meet at " << x << "," << y;
            }
        // The game's own fill, seeded anywhere in a region, floods exactly
        // the pixels of its code.
        const gfx::Picture drawing = toPicture(*img);
        for (const auto& [code, comps] : componentsOfCode) {
            size_t seed = 0;
            while (codes[seed] != code)
                ++seed;
            gfx::Picture filled = drawing;
            const gfx::Color paint = gfx::rgb(200, 30, 90);
            filled.floodFillBorder({int(seed) % img->width, int(seed) / img->width}, kBlack, paint);
            for (size_t i = 0; i < codes.size(); ++i)
                ASSERT_EQ(filled.pixel(int(i) % img->width, int(i) / img->width) == paint,
                          codes[i] == code)
                    << "code " << code << " at pixel " << i;
        }
    }
}

TEST(ColouringGame, TheScreenHoldsTheAreaTheButtonsAndOutlinedPaletteCircles) {
    const Layout l = readLayout();
    ASSERT_EQ(l.buttons.size(), 4u);
    ASSERT_EQ(l.words.size(), 10u);
    ASSERT_EQ(l.circles.size(), 10u);
    const auto bg = readBmp(gameDir() / "pics" / "bg.bmp");
    ASSERT_TRUE(bg && !bg->rgb.empty());
    ASSERT_EQ(bg->width, 640);
    ASSERT_EQ(bg->height, 480);
    const Rect screen{0, 0, 640, 480};
    auto inside = [&](const Rect& r, const Rect& in) {
        return r.x >= in.x && r.y >= in.y && r.x + r.w <= in.x + in.w && r.y + r.h <= in.y + in.h;
    };
    EXPECT_TRUE(inside(l.area, screen));
    for (size_t i = 0; i < l.buttons.size(); ++i) {
        EXPECT_TRUE(inside(l.buttons[i], screen));
        EXPECT_FALSE(l.buttons[i].overlaps(l.area));
        for (size_t j = i + 1; j < l.buttons.size(); ++j)
            EXPECT_FALSE(l.buttons[i].overlaps(l.buttons[j]));
        const auto look = readBmp(gameDir() / "pics" / ("butn" + std::to_string(i + 1) + ".bmp"));
        ASSERT_TRUE(look) << i;
        EXPECT_EQ(look->width, l.buttons[i].w);
        EXPECT_EQ(look->height, l.buttons[i].h);
    }
    // The game floods each circle from its centre and the swatch from
    // (410, 60), bounded by black: each must be a closed white disc of its
    // own, clear of the others, the buttons, the words and the scores.
    const gfx::Picture screenPic = toPicture(*bg);
    std::vector<std::pair<int, int>> seeds = l.circles;
    seeds.push_back({410, 60});
    std::vector<Rect> fills;
    for (size_t k = 0; k < seeds.size(); ++k) {
        const auto [cx, cy] = seeds[k];
        ASSERT_EQ(bg->at(cx, cy), kWhite) << k;
        gfx::Picture p = screenPic;
        const gfx::Color paint = gfx::rgb(1, 2, 3);
        p.floodFillBorder({cx, cy}, kBlack, paint);
        int l0 = 640, t0 = 480, r0 = -1, b0 = -1;
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x)
                if (p.pixel(x, y) == paint) {
                    l0 = std::min(l0, x), t0 = std::min(t0, y);
                    r0 = std::max(r0, x), b0 = std::max(b0, y);
                }
        const Rect box{l0, t0, r0 - l0 + 1, b0 - t0 + 1};
        const int most = k < 10 ? 30 : 70;
        EXPECT_LE(box.w, most) << "circle " << k << " leaks";
        EXPECT_LE(box.h, most) << "circle " << k << " leaks";
        if (k < 10) {
            // The pointer turns to a crosshair within 11 pixels of the centre.
            EXPECT_GE(box.w, 18);
            EXPECT_FALSE(box.overlaps({l.words[k].first, l.words[k].second, 24, 24}));
        }
        EXPECT_FALSE(box.overlaps(l.area));
        EXPECT_FALSE(box.overlaps({510, 286, 35, 10}));
        EXPECT_FALSE(box.overlaps({577, 286, 35, 10}));
        for (const Rect& b : l.buttons)
            EXPECT_FALSE(box.overlaps(b));
        for (const Rect& f : fills)
            EXPECT_FALSE(box.overlaps(f));
        fills.push_back(box);
    }
    for (const auto& [x, y] : l.words) {
        EXPECT_TRUE(inside({x, y, 24, 24}, screen));
        EXPECT_FALSE(Rect({x, y, 24, 24}).overlaps(l.area));
    }
}

} // namespace
} // namespace mediaset
