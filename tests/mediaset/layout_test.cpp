// The layout files against the pictures they describe: the menu's click
// areas and the hub's circles.
#include "mediaset/image_files.h"
#include "text/Text.h"

#include <cmath>
#include <gtest/gtest.h>

namespace mediaset {
namespace {

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool overlaps(const Rect& o) const {
        return x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h;
    }
    bool inside(const Rect& o) const {
        return x >= o.x && y >= o.y && x + w <= o.x + o.w && y + h <= o.y + o.h;
    }
};

std::ostream& operator<<(std::ostream& os, const Rect& r) {
    return os << r.x << "," << r.y << " " << r.w << "x" << r.h;
}

struct MenuLayout {
    std::vector<Rect> text, command, select;
};

// Reads the 28 lines as the menu does: headings on lines 1, 5 and 15, and
// four three-character columns on every other line.
MenuLayout readMenuLayout() {
    bool crlf = false;
    const auto lines = crlfLines(mediaDir() / "data" / "pos_size.txt", crlf);
    EXPECT_TRUE(crlf) << "pos_size.txt must end its lines with CR LF";
    EXPECT_EQ(lines.size(), 28u);
    MenuLayout m;
    for (size_t i = 0; i < lines.size() && i < 28; ++i) {
        if (i == 0 || i == 4 || i == 14)
            continue;
        Rect r;
        const auto x = column(lines[i], 0), y = column(lines[i], 4), w = column(lines[i], 8),
                   h = column(lines[i], 12);
        EXPECT_TRUE(x && y && w && h) << "line " << i + 1 << ": " << lines[i];
        if (x && y && w && h)
            r = {*x, *y, *w, *h};
        (i < 4 ? m.text : i < 14 ? m.command : m.select).push_back(r);
    }
    return m;
}

const Rect kScreen{0, 0, 640, 480};
const Rect kLogo{488, 14, 128, 128};
// The four picture buttons stand at left 4, tops 179 to 404.
const Rect kButtons{4, 179, 90, 300};
// Enter, help, exit and games are hidden; the picture buttons carry them.
const int kVisibleCommands[] = {0, 1, 2, 4, 5};

TEST(MenuLayoutFile, IsCodePage936Text) {
    EXPECT_TRUE(
        text::convertExact(readBytes(mediaDir() / "data" / "pos_size.txt"), "CP936", "UTF-8"));
}

TEST(MenuLayoutFile, HasEveryRectangleOnTheScreen) {
    const MenuLayout m = readMenuLayout();
    ASSERT_EQ(m.text.size(), 3u);
    ASSERT_EQ(m.command.size(), 9u);
    ASSERT_EQ(m.select.size(), 13u);
    for (const auto* group : {&m.text, &m.command, &m.select})
        for (const Rect& r : *group) {
            EXPECT_GT(r.w, 0) << r;
            EXPECT_GT(r.h, 0) << r;
            EXPECT_TRUE(r.inside(kScreen)) << r;
        }
}

TEST(MenuLayoutFile, VisibleAreasNeitherOverlapNorCoverLogoOrButtons) {
    const MenuLayout m = readMenuLayout();
    ASSERT_EQ(m.command.size(), 9u);
    ASSERT_EQ(m.select.size(), 13u);
    std::vector<Rect> visible = m.text;
    for (int i : kVisibleCommands)
        visible.push_back(m.command[i]);
    for (int i = 0; i < 13; ++i)
        visible.push_back(m.select[i]);
    for (size_t a = 0; a < visible.size(); ++a) {
        EXPECT_FALSE(visible[a].overlaps(kLogo)) << visible[a];
        EXPECT_FALSE(visible[a].overlaps(kButtons)) << visible[a];
        for (size_t b = a + 1; b < visible.size(); ++b) {
            // The count box sits inside its frame picture, on purpose.
            if (a == 2 && b == visible.size() - 1)
                continue;
            EXPECT_FALSE(visible[a].overlaps(visible[b])) << visible[a] << " and " << visible[b];
        }
    }
    // No two commands share a pixel, hidden ones included.
    for (size_t a = 0; a < 9; ++a)
        for (size_t b = a + 1; b < 9; ++b)
            EXPECT_FALSE(m.command[a].overlaps(m.command[b])) << a << " and " << b;
}

TEST(MenuLayoutFile, PicturesFitTheAreasThatShowThem) {
    const MenuLayout m = readMenuLayout();
    ASSERT_EQ(m.select.size(), 13u);
    const auto mark = readBmp(mediaDir() / "pic" / "selected.bmp");
    ASSERT_TRUE(mark);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(m.select[i].w, mark->width) << "function " << i;
        EXPECT_EQ(m.select[i].h, mark->height) << "function " << i;
    }
    const auto frame = readJpegSize(mediaDir() / "pic" / "added01.jpg");
    ASSERT_TRUE(frame);
    EXPECT_EQ(m.select[12].w, frame->width);
    EXPECT_EQ(m.select[12].h, frame->height);
    EXPECT_TRUE(m.text[2].inside(m.select[12])) << "the count box belongs in its frame";
}

TEST(MenuLayoutFile, MenuPictureDrawsTheMarksWhereTheAreasAre) {
    // Each function's area shows an empty mark box on the menu picture; the
    // selection mark replaces it exactly, so both share their border colour.
    const MenuLayout m = readMenuLayout();
    ASSERT_EQ(m.select.size(), 13u);
    const auto menu = decodeWithImageMagick(mediaDir() / "pic" / "menu.jpg");
    const auto mark = readBmp(mediaDir() / "pic" / "selected.bmp");
    if (!menu)
        GTEST_SKIP() << "ImageMagick cannot decode the menu here";
    ASSERT_TRUE(mark);
    for (int i = 0; i < 12; ++i) {
        const Rect& r = m.select[i];
        for (auto [dx, dy] : {std::pair{1, 1}, {r.w - 2, 1}, {1, r.h - 2}, {r.w - 2, r.h - 2}}) {
            const int onMenu = luminance(menu->at(r.x + dx, r.y + dy));
            const int onMark = luminance(mark->at(dx, dy));
            EXPECT_LE(std::abs(onMenu - onMark), 30) << "function " << i;
        }
    }
}

TEST(HubCirclesFile, SixCirclesInsideTheHubAndApart) {
    bool crlf = false;
    const auto lines = crlfLines(mediaDir() / "data" / "game.txt", crlf);
    EXPECT_TRUE(crlf);
    ASSERT_EQ(lines.size(), 6u);
    struct Circle {
        int x, y, r;
    };
    std::vector<Circle> circles;
    for (const std::string& line : lines) {
        const auto x = column(line, 0), y = column(line, 4), r = column(line, 8);
        ASSERT_TRUE(x && y && r) << line;
        circles.push_back({*x, *y, *r});
    }
    for (size_t a = 0; a < circles.size(); ++a) {
        const Circle& c = circles[a];
        // Big enough for a child's click, wholly inside the 400 x 400 hub.
        EXPECT_GE(c.r, 30);
        EXPECT_GE(c.x - c.r, 0);
        EXPECT_GE(c.y - c.r, 0);
        EXPECT_LE(c.x + c.r, 400);
        EXPECT_LE(c.y + c.r, 400);
        for (size_t b = a + 1; b < circles.size(); ++b) {
            const double d = std::hypot(c.x - circles[b].x, c.y - circles[b].y);
            EXPECT_GT(d, c.r + circles[b].r) << "circles " << a + 1 << " and " << b + 1;
        }
    }
}

TEST(HubCirclesFile, AnimationFramesDifferButKeepTheCircles) {
    std::vector<Image> frames;
    for (int f = 1; f <= 4; ++f) {
        const auto img =
            decodeWithImageMagick(mediaDir() / "pic" / ("game" + std::to_string(f) + ".jpg"));
        if (!img)
            GTEST_SKIP() << "ImageMagick cannot decode the hub pictures here";
        frames.push_back(*img);
    }
    bool crlf = false;
    const auto lines = crlfLines(mediaDir() / "data" / "game.txt", crlf);
    ASSERT_EQ(lines.size(), 6u);
    for (size_t f = 1; f < frames.size(); ++f)
        EXPECT_NE(frames[f].rgb, frames[f - 1].rgb) << "frame " << f + 1 << " does not move";
    for (const std::string& line : lines) {
        const int x = *column(line, 0), y = *column(line, 4), r = *column(line, 8);
        // Inside a circle, just within its rim: the white ring is drawn there
        // in every frame.
        for (const Image& img : frames) {
            int ring = 0;
            for (int dy = -r; dy <= r; ++dy) {
                const int yy = y + dy;
                if (yy < 0 || yy >= img.height)
                    continue;
                for (int dx = -r; dx <= r; ++dx) {
                    const double d = std::hypot(dx, dy);
                    if (d > r - 7 && d < r - 1 && luminance(img.at(x + dx, yy)) > 225)
                        ++ring;
                }
            }
            EXPECT_GT(ring, static_cast<int>(2 * 3.14 * r * 0.6)) << line;
        }
    }
}

} // namespace
} // namespace mediaset
