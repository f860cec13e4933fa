// The pearl game's folder: each path network walked point by point (a grid
// the head can stay on, exits that lead somewhere, a nest the pearls can
// leave, every path reachable), each board drawn exactly under its network,
// and the layout, sprites and scores the game reads.
#include "mediaset/image_files.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <set>

namespace mediaset {
namespace {

const fs::path game() {
    return mediaDir() / "game" / "Game04";
}

struct Point {
    int x = 0, y = 0;
    std::array<bool, 4> exits{}; // left, up, right, down
};

struct Segment {
    int x0, y0, x1, y1; // x0 <= x1, y0 <= y1
    bool horizontal() const { return y0 == y1; }
};

constexpr int dx[4] = {-1, 0, 1, 0};
constexpr int dy[4] = {0, -1, 0, 1};

// Points as the game reads them: x in characters 4-6, y in 8-10, the exit
// digits in 12-15.
std::vector<Point> readPoints(const std::string& name) {
    bool crlf = false;
    std::vector<Point> points;
    for (const std::string& line : crlfLines(game() / "data" / name, crlf)) {
        EXPECT_GE(line.size(), 15u) << name << ": " << line;
        if (line.size() < 15)
            continue;
        Point p;
        p.x = column(line, 3).value_or(-1);
        p.y = column(line, 7).value_or(-1);
        for (int e = 0; e < 4; ++e) {
            const char c = line[std::size_t(11 + e)];
            EXPECT_TRUE(c == '0' || c == '1') << name << ": " << line;
            p.exits[std::size_t(e)] = c == '1';
        }
        points.push_back(p);
    }
    EXPECT_TRUE(crlf) << name;
    return points;
}

// The nearest other point straight ahead of p in direction d.
const Point* nextAlong(const std::vector<Point>& pts, const Point& p, int d) {
    const Point* best = nullptr;
    int bestDist = 1 << 30;
    for (const Point& q : pts) {
        const int along = (q.x - p.x) * dx[d] + (q.y - p.y) * dy[d];
        const bool onLine = dx[d] != 0 ? q.y == p.y : q.x == p.x;
        if (onLine && along > 0 && along < bestDist) {
            best = &q;
            bestDist = along;
        }
    }
    return best;
}

std::vector<Segment> segmentsOf(const std::vector<Point>& pts) {
    std::vector<Segment> s;
    for (const Point& p : pts)
        for (int d : {2, 3})
            if (p.exits[std::size_t(d)])
                if (const Point* q = nextAlong(pts, p, d))
                    s.push_back({p.x, p.y, q->x, q->y});
    return s;
}

double distance(double x, double y, const Segment& s) {
    const double cx = std::clamp<double>(x, s.x0, s.x1), cy = std::clamp<double>(y, s.y0, s.y1);
    return std::hypot(x - cx, y - cy);
}

// Level n reads the file and shows the board of the level table.
struct Level {
    int number;
    const char* points;
    const char* board;
};
void PrintTo(const Level& l, std::ostream* os) {
    *os << "level " << l.number;
}
const Level kLevels[3] = {
    {1, "points2.txt", "bg1.bmp"}, {2, "points1.txt", "bg2.bmp"}, {3, "points3.txt", "bg3.bmp"}};

constexpr int kHeadX = 620, kHeadY = 460;
const int kNestLeft = 210, kNestTop = 80, kNestWidth = 60, kNestHeight = 145;

class Network : public ::testing::TestWithParam<Level> {
  protected:
    void SetUp() override {
        pts = readPoints(GetParam().points);
        ASSERT_GE(pts.size(), 2u);
        segs = segmentsOf(pts);
    }
    std::vector<Point> pts;
    std::vector<Segment> segs;
};

TEST_P(Network, PointsLieOnTheHeadsGridAndEveryExitLeadsToAPointThatLeadsBack) {
    for (const Point& p : pts) {
        SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
        EXPECT_EQ((p.x - kHeadX) % 5, 0);
        EXPECT_EQ((p.y - kHeadY) % 5, 0);
        EXPECT_TRUE(p.exits[0] || p.exits[1] || p.exits[2] || p.exits[3]) << "a point without ways";
        EXPECT_GE(p.x, 15);
        EXPECT_LE(p.x, 625);
        EXPECT_GE(p.y, 15);
        EXPECT_LE(p.y, 465);
        for (int d = 0; d < 4; ++d) {
            if (!p.exits[std::size_t(d)])
                continue;
            const Point* q = nextAlong(pts, p, d);
            ASSERT_NE(q, nullptr) << "exit " << d << " leads off the network";
            EXPECT_TRUE(q->exits[std::size_t((d + 2) % 4)]) << "exit " << d << " has no way back";
        }
    }
    std::set<std::pair<int, int>> seen;
    for (const Point& p : pts)
        EXPECT_TRUE(seen.insert({p.x, p.y}).second) << "two points at " << p.x << "," << p.y;
}

TEST_P(Network, PathsCrossOnlyAtPointsAndATurnNeverSnapsToAnotherPath) {
    for (const Segment& a : segs)
        for (const Segment& b : segs) {
            if (!a.horizontal() || b.horizontal())
                continue;
            const bool cross = b.x0 > a.x0 && b.x0 < a.x1 && a.y0 > b.y0 && a.y0 < b.y1;
            EXPECT_FALSE(cross) << "paths cross at " << b.x0 << "," << a.y0 << " without a point";
        }
    // The head turns onto the first point within 20 of it: no point may lie
    // that close to a path it does not belong to.
    for (const Point& p : pts)
        for (const Segment& s : segs) {
            const bool member = (p.x == s.x0 && p.y == s.y0) || (p.x == s.x1 && p.y == s.y1);
            const double cx = std::clamp(p.x, s.x0, s.x1), cy = std::clamp(p.y, s.y0, s.y1);
            const double chebyshev = std::max(std::abs(p.x - cx), std::abs(p.y - cy));
            if (!member) {
                EXPECT_GT(chebyshev, 20)
                    << p.x << "," << p.y << " beside the path from " << s.x0 << "," << s.y0;
            }
        }
}

TEST_P(Network, TheNestHasTwoExitsOnOneRowWithinReachOfItsPearls) {
    const Point& one = pts[0];
    const Point& two = pts[1];
    EXPECT_TRUE(one.exits[2]) << "pearls leave exit 1 to the right";
    EXPECT_TRUE(two.exits[0]) << "pearls leave exit 2 to the left";
    EXPECT_EQ(one.y, two.y) << "pearls on the exit row do not block each other";
    // The jiggling pearls' centres stay in the nest less 15; one of them
    // must come within 20 of each exit to be let out.
    for (const Point* e : {&one, &two}) {
        const int nearestX = std::clamp(e->x, kNestLeft + 15, kNestLeft + kNestWidth - 16);
        const int nearestY = std::clamp(e->y, kNestTop + 15, kNestTop + kNestHeight - 16);
        EXPECT_LT(std::abs(nearestX - e->x), 20);
        EXPECT_LT(std::abs(nearestY - e->y), 20);
    }
    // No path runs through the nest.
    for (const Segment& s : segs)
        for (int x = s.x0; x <= s.x1; ++x)
            for (int y = s.y0; y <= s.y1; ++y)
                ASSERT_FALSE(x > kNestLeft && x < kNestLeft + kNestWidth && y > kNestTop &&
                             y < kNestTop + kNestHeight)
                    << "a path at " << x << "," << y << " in the nest";
}

TEST_P(Network, TheHeadStartsOnAPathFromWhichEveryPointCanBeReached) {
    bool onPath = false;
    for (const Segment& s : segs)
        onPath = onPath || distance(kHeadX, kHeadY, s) == 0;
    ASSERT_TRUE(onPath);
    std::set<std::size_t> reached;
    std::vector<std::size_t> todo;
    for (std::size_t i = 0; i < pts.size(); ++i)
        if (pts[i].x == kHeadX && pts[i].y == kHeadY)
            todo.push_back(i);
    ASSERT_FALSE(todo.empty()) << "the start is a point of the network";
    while (!todo.empty()) {
        const std::size_t i = todo.back();
        todo.pop_back();
        if (!reached.insert(i).second)
            continue;
        for (int d = 0; d < 4; ++d)
            if (pts[i].exits[std::size_t(d)])
                if (const Point* q = nextAlong(pts, pts[i], d))
                    todo.push_back(std::size_t(q - pts.data()));
    }
    EXPECT_EQ(reached.size(), pts.size());
}

TEST_P(Network, TheBoardDrawsEveryPathThirtyWideExactlyUnderItsLine) {
    const auto bg = readBmp(game() / "pics" / GetParam().board);
    ASSERT_TRUE(bg);
    ASSERT_EQ(bg->width, 640);
    ASSERT_EQ(bg->height, 480);
    const std::uint32_t path = bg->at(kHeadX, kHeadY);
    auto inNest = [](int x, int y) {
        return x > kNestLeft - 14 && x < kNestLeft + kNestWidth + 14 && y > kNestTop - 14 &&
               y < kNestTop + kNestHeight + 14;
    };
    auto nearestPath = [&](int x, int y) {
        double best = 1e9;
        for (const Segment& s : segs)
            best = std::min(best, distance(x, y, s));
        return best;
    };
    for (const Segment& s : segs) {
        for (int t = 0;; t += 5) {
            const int x = s.x0 + (s.horizontal() ? t : 0), y = s.y0 + (s.horizontal() ? 0 : t);
            if (x > s.x1 || y > s.y1)
                break;
            if (inNest(x, y))
                continue;
            SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
            EXPECT_EQ(bg->at(x, y), path);
            for (int side : {-1, 1}) {
                const int ix = x + (s.horizontal() ? 0 : 13 * side);
                const int iy = y + (s.horizontal() ? 13 * side : 0);
                EXPECT_EQ(bg->at(ix, iy), path) << "inside the path";
                const int ox = x + (s.horizontal() ? 0 : 18 * side);
                const int oy = y + (s.horizontal() ? 18 * side : 0);
                if (ox >= 0 && oy >= 0 && ox < 640 && oy < 480 && nearestPath(ox, oy) >= 17.5) {
                    EXPECT_NE(bg->at(ox, oy), path) << "beside the path";
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, Network, ::testing::ValuesIn(kLevels), [](const auto& info) {
    return "Level" + std::to_string(info.param.number);
});

TEST(PearlGameFolder, LayoutMatchesTheBoardsButtonsAndNumberFields) {
    bool crlf = false;
    std::vector<std::array<int, 4>> buttons;
    std::vector<std::array<int, 2>> spots;
    for (const std::string& line : crlfLines(game() / "data" / "pos_size.txt", crlf)) {
        if (line.rfind("butn:", 0) == 0)
            buttons.push_back({column(line, 5).value_or(-1), column(line, 9).value_or(-1),
                               column(line, 13).value_or(-1), column(line, 17).value_or(-1)});
        if (line.rfind("text:", 0) == 0)
            spots.push_back({column(line, 5).value_or(-1), column(line, 9).value_or(-1)});
    }
    EXPECT_TRUE(crlf);
    ASSERT_EQ(buttons.size(), 5u);
    ASSERT_EQ(spots.size(), 4u);
    const auto digits = readBmp(mediaDir() / "pic" / "number.bmp");
    ASSERT_TRUE(digits);
    const std::uint32_t field = digits->at(0, 0);
    // Display 1 shows one digit, 2 five digits 10 apart, 3 and 4 four 7 apart.
    const int width[4] = {7, 47, 28, 28};
    for (const Level& level : kLevels) {
        const auto bg = readBmp(game() / "pics" / level.board);
        ASSERT_TRUE(bg);
        const std::uint32_t path = bg->at(kHeadX, kHeadY);
        for (std::size_t k = 0; k < 4; ++k)
            for (int y = 0; y < 10; ++y)
                for (int x = 0; x < width[k]; ++x)
                    ASSERT_EQ(bg->at(spots[k][0] + x, spots[k][1] + y), field)
                        << level.board << " display " << k + 1;
        for (std::size_t n = 0; n < buttons.size(); ++n) {
            const auto [l, t, w, h] = buttons[n];
            for (int y = t; y < t + h; y += 3)
                for (int x = l; x < l + w; x += 3)
                    ASSERT_NE(bg->at(x, y), path) << "button " << n << " lies on a path";
        }
    }
    for (std::size_t n = 0; n < buttons.size(); ++n) {
        const auto look = readBmp(game() / "pics" / ("butn" + std::to_string(n + 1) + ".bmp"));
        ASSERT_TRUE(look) << n;
        EXPECT_EQ(look->width, buttons[n][2]);
        EXPECT_EQ(look->height, buttons[n][3]);
    }
}

TEST(PearlGameFolder, SpritesPaintThroughTheirMasks) {
    const auto image = readBmp(game() / "pics" / "perals.bmp");
    const auto mask = readBmp(game() / "pics" / "perals_m.bmp");
    const auto pmask = readBmp(game() / "pics" / "pmask.bmp");
    const auto black = readBmp(game() / "pics" / "black.bmp");
    ASSERT_TRUE(image && mask && pmask && black);
    EXPECT_EQ(image->width, 540);
    EXPECT_EQ(image->height, 30);
    EXPECT_EQ(mask->width, 540);
    EXPECT_EQ(pmask->width, 30);
    EXPECT_EQ(pmask->height, 30);
    EXPECT_GE(black->width, 406);
    EXPECT_GE(black->height, 29);
    for (std::uint32_t px : black->rgb)
        ASSERT_EQ(px, 0u);
    // The pearl mask is a disc; every pearl colour covers it whole, light
    // enough for the glyph's dark strokes to read on it.
    int disc = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) {
            const std::uint32_t m = pmask->at(x, y);
            ASSERT_TRUE(m == 0 || m == 0xffffff);
            if (m != 0)
                continue;
            ++disc;
            for (int k = 0; k < 6; ++k)
                ASSERT_GT(luminance(image->at(30 * k + x, y)), 90) << "pearl colour " << k;
        }
    EXPECT_GT(disc, 600);
    EXPECT_EQ(pmask->at(0, 0), 0xffffffu);
    // Head cells 6..17: the XOR image is black wherever the mask lets the
    // board through, and each cell has a head of a fair size.
    for (int cell = 6; cell < 18; ++cell) {
        int opaque = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 30 * cell; x < 30 * cell + 30; ++x) {
                const std::uint32_t m = mask->at(x, y);
                ASSERT_TRUE(m == 0 || m == 0xffffff);
                if (m == 0)
                    ++opaque;
                else
                    ASSERT_EQ(image->at(x, y), 0u) << "cell " << cell;
            }
        EXPECT_GT(opaque, 350) << "cell " << cell;
    }
}

TEST(PearlGameFolder, BestScoresStartAtZeroForThreeLevels) {
    bool crlf = false;
    const auto lines = crlfLines(game() / "data" / "data.txt", crlf);
    EXPECT_TRUE(crlf);
    ASSERT_EQ(lines.size(), 3u);
    for (const std::string& l : lines)
        EXPECT_EQ(std::atoi(l.c_str()), 0);
}

} // namespace
} // namespace mediaset
