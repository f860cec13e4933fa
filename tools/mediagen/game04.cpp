#include "game04.h"

#include "kit.h"
#include "layout.h"
#include "pictures.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace mediagen {

using namespace kit;
namespace palette = pictures::palette;

namespace {

constexpr double pi = 3.14159265358979323846;

// ---- the path networks -----------------------------------------------------------
//
// Each network is drawn on one lattice. A node row of the picture below has
// a node ('o', or '1' / '2' for the nest's exits 1 and 2) at every even
// character and '-' between two nodes joined along the row; the rows between
// have '|' under a node joined to the node below. The head starts at the
// bottom-right node (620, 460). The nest's exits lie on one row, on its
// right edge (exit 1, where pearls leave to the right) and its left edge
// (exit 2): pearls on that row never block each other, so the pearls
// leaving by either exit can pass. A crossing soon after each exit lets
// them part.

constexpr std::array<int, 9> kColumns = {170, 210, 270, 330, 390, 450, 510, 565, 620};
constexpr std::array<int, 9> kRows = {25, 85, 150, 200, 250, 305, 360, 410, 460};
const Rect kNest{210, 80, 60, 145};
const Rect kPanel{4, 4, 146, 472};
constexpr double kPathWidth = 30;

struct Theme {
    Color fieldTop, fieldBottom, path, edge;
    int decor; // 0 spring flowers, 1 summer garden, 2 autumn leaves
};

struct Network {
    const char* pointsFile;
    const char* background;
    Theme theme;
    std::array<const char*, 17> rows;
};

// In level order: the level forms read points2, points1 and points3.
const std::array<Network, 3>& networks() {
    static const std::array<Network, 3> n = {{
        {"points2.txt",
         "bg1.bmp",
         {hex(0xb5e38a), hex(0x84c95a), hex(0xf6e3b4), hex(0xa8743a), 0},
         {
             "o-o-o-o-o-o-o-o-o",
             "|         |     |",
             "o         o     o",
             "|         |     |",
             "o-2 1-o-o-o     o",
             "|     |         |",
             "o     o         o",
             "|     |         |",
             "o-o-o-o-o-o-o-o-o",
             "|       |       |",
             "o       o       o",
             "|       |       |",
             "o       o       o",
             "|       |       |",
             "o       o       o",
             "|       |       |",
             "o-o-o-o-o-o-o-o-o",
         }},
        {"points1.txt",
         "bg2.bmp",
         {hex(0x9fdcb4), hex(0x5fb987), hex(0xfff1cc), hex(0x9c6b34), 1},
         {
             "o-o-o-o-o o-o-o-o",
             "|     |   |   | |",
             "o     o   o   o o",
             "|     |   |   | |",
             "o-2 1-o-o-o   o-o",
             "|     |   |   | |",
             "o     o   o-o-o o",
             "|     |   |     |",
             "o-o-o-o-o-o-o-o-o",
             "|   |   |   |   |",
             "o   o-o-o   o-o-o",
             "|   |   |     | |",
             "o-o-o   o-o-o-o o",
             "|       |   |   |",
             "o       o   o   o",
             "|       |   |   |",
             "o-o-o-o-o-o-o-o-o",
         }},
        {"points3.txt",
         "bg3.bmp",
         {hex(0xf0cf86), hex(0xcf9a4c), hex(0xfbf5e6), hex(0x7b5238), 2},
         {
             "o-o-o-o o-o-o o-o",
             "|     | |   | |  ",
             "o     o o   o-o o",
             "|       |       |",
             "o-2 1-o-o o-o-o-o",
             "|       |     |  ",
             "o     o-o-o   o o",
             "|     |   |   | |",
             "o-o-o o   o-o-o-o",
             "  |   |   |     |",
             "o-o o-o-o o o-o o",
             "|   |   |   | | |",
             "o o-o   o-o-o o-o",
             "| |     |     |  ",
             "o-o   o-o o-o o o",
             "|     |   |   | |",
             "o-o-o-o   o-o-o-o",
         }},
    }};
    return n;
}

struct Node {
    int x = 0, y = 0;
    char mark = 'o';
    std::array<bool, 4> exits{}; // left, up, right, down
};

struct Segment {
    int x0, y0, x1, y1;
};

struct Parsed {
    std::vector<Node> points; // exit 1, exit 2, then the others row by row
    std::vector<Segment> segments;
};

char at(const Network& n, int line, int column) {
    const std::string row = n.rows[std::size_t(line)];
    return column >= 0 && std::size_t(column) < row.size() ? row[std::size_t(column)] : ' ';
}

// The lattice picture as points and segments. Nodes a line merely passes
// straight through are left out: the line runs on to the next point.
Parsed parse(const Network& n) {
    std::map<std::pair<int, int>, Node> nodes;
    for (int r = 0; r < 9; ++r)
        for (int c = 0; c < 9; ++c) {
            const char ch = at(n, 2 * r, 2 * c);
            if (ch == ' ')
                continue;
            Node nd;
            nd.x = kColumns[std::size_t(c)];
            nd.y = kRows[std::size_t(r)];
            nd.mark = ch;
            nd.exits = {at(n, 2 * r, 2 * c - 1) == '-', r > 0 && at(n, 2 * r - 1, 2 * c) == '|',
                        at(n, 2 * r, 2 * c + 1) == '-', r < 8 && at(n, 2 * r + 1, 2 * c) == '|'};
            nodes[{r, c}] = nd;
        }
    Parsed p;
    p.points.resize(2);
    for (const auto& [rc, nd] : nodes) {
        const auto [r, c] = rc;
        auto joined = [&](int dr, int dc, int back) {
            auto it = nodes.find({r + dr, c + dc});
            return it != nodes.end() && it->second.exits[std::size_t(back)];
        };
        if ((nd.exits[2] && !joined(0, 1, 0)) || (nd.exits[3] && !joined(1, 0, 1)) ||
            (nd.exits[0] && !joined(0, -1, 2)) || (nd.exits[1] && !joined(-1, 0, 3)))
            throw std::runtime_error(std::string(n.pointsFile) + ": a line ends in no node");
        if (nd.exits[2])
            p.segments.push_back({nd.x, nd.y, kColumns[std::size_t(c + 1)], nd.y});
        if (nd.exits[3])
            p.segments.push_back({nd.x, nd.y, nd.x, kRows[std::size_t(r + 1)]});
        const auto& e = nd.exits;
        const bool straight = (e[0] && e[2] && !e[1] && !e[3]) || (e[1] && e[3] && !e[0] && !e[2]);
        const bool start = nd.x == 620 && nd.y == 460;
        if (nd.mark == '1')
            p.points[0] = nd;
        else if (nd.mark == '2')
            p.points[1] = nd;
        else if (!straight || start)
            p.points.push_back(nd);
    }
    if (p.points[0].mark != '1' || p.points[1].mark != '2')
        throw std::runtime_error(std::string(n.pointsFile) + ": the nest needs exits 1 and 2");
    // Row by row reads like the board: the map above is ordered by row.
    return p;
}

std::string pointsFile(const Parsed& p) {
    std::string out;
    for (std::size_t i = 0; i < p.points.size(); ++i) {
        const Node& n = p.points[i];
        char line[64];
        std::snprintf(line, sizeof line, "%-3zu%3d %3d %d%d%d%d", i + 1, n.x, n.y, int(n.exits[0]),
                      int(n.exits[1]), int(n.exits[2]), int(n.exits[3]));
        out += crlf(line);
    }
    return out;
}

double distanceToSegment(double x, double y, const Segment& s) {
    const double cx = std::clamp<double>(x, std::min(s.x0, s.x1), std::max(s.x0, s.x1));
    const double cy = std::clamp<double>(y, std::min(s.y0, s.y1), std::max(s.y0, s.y1));
    return std::hypot(x - cx, y - cy);
}

// ---- the panel -------------------------------------------------------------------

// By the index the game gives them: back, help, start, next level,
// previous level.
const std::vector<GameButton>& buttons() {
    static const std::vector<GameButton> b = {
        {{80, 264, 62, 36}, "返回", 0xef5350},   {{14, 264, 62, 36}, "帮助", 0x42a5f5},
        {{14, 168, 128, 44}, "开始", 0x43a047},  {{80, 220, 62, 36}, "下一关", 0xffa726},
        {{14, 220, 62, 36}, "上一关", 0xffa726},
    };
    return b;
}

// The number displays: level (one digit), time (five digits ten pixels
// apart), score and best score (four digits seven apart), each a row of
// 7 x 10 cells from the shared digit strip.
struct Display {
    int x, y, digits, pitch;
    const char* label;
};
const std::array<Display, 4>& displays() {
    static const std::array<Display, 4> d = {{
        {74, 60, 1, 7, nullptr},
        {76, 88, 5, 10, "时间"},
        {86, 114, 4, 7, "得分"},
        {86, 140, 4, 7, "最高分"},
    }};
    return d;
}
// The digit strip's own background, so the displays look like one piece.
const Color kDigitField = hex(0x102040);

Rect displayField(const Display& d) {
    const int w = d.pitch * (d.digits - 1) + 7;
    return {d.x - 5, d.y - 4, w + 10, 18};
}

std::string layoutFile() {
    std::string out = crlf(toCp936("     左  上  宽  高   按钮"));
    out += buttonLines(namedRects(buttons()));
    out += crlf(toCp936("     左  上       数字"));
    const char* names[4] = {"关", "时间", "得分", "最高分"};
    for (std::size_t i = 0; i < displays().size(); ++i) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "text:%3d %3d           ", displays()[i].x, displays()[i].y);
        out += crlf(buf + toCp936(names[i]));
    }
    return out;
}

void buttonIcon(cairo_t* cr, int index, double cx, double cy, double s) {
    const Color ink = hex(0xfffde7);
    switch (index) {
    case 0:
        arrow(cr, cx, cy, s, Dir::Left, ink, hex(0x8e1b1b));
        break;
    case 1: {
        cairo_arc(cr, cx, cy, s * 0.45, 0, 2 * pi);
        setColor(cr, ink);
        cairo_fill(cr);
        TextStyle q;
        q.size = s * 0.8;
        q.family = kSans;
        q.fill = hex(0x1565c0);
        text(cr, "?", cx, cy + 0.5, q);
        break;
    }
    case 2:
        cairo_move_to(cr, cx - s * 0.35, cy - s * 0.45);
        cairo_line_to(cr, cx + s * 0.45, cy);
        cairo_line_to(cr, cx - s * 0.35, cy + s * 0.45);
        cairo_close_path(cr);
        setColor(cr, ink);
        cairo_fill_preserve(cr);
        setColor(cr, hex(0x1b5e20));
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
        break;
    default:
        break;
    }
}

void drawButton(cairo_t* cr, int index, bool lit) {
    const GameButton& b = buttons()[std::size_t(index)];
    const Color color = hex(b.rgb);
    PanelStyle st;
    const Color c = lit ? lighter(color, 0.2) : color;
    st.top = lighter(c, 0.5);
    st.bottom = c;
    st.border = lit ? hex(0xffee58) : darker(c, 0.3);
    st.borderWidth = lit ? 3.5 : 2;
    st.radius = 11;
    st.shadow = false;
    panel(cr, b.r.x + 1.5, b.r.y + 1.5, b.r.w - 3, b.r.h - 3, st);
    TextStyle t;
    t.fill = white;
    t.outline = darker(color, 0.5);
    t.outlineWidth = lit ? 3 : 2.5;
    const double cy = b.r.y + b.r.h / 2.0;
    if (index == 2) {
        t.size = 24;
        buttonIcon(cr, index, b.r.x + 30, cy, 20);
        text(cr, b.caption, b.r.x + 76, cy, t);
    } else {
        t.size = std::string(b.caption).size() > 6 ? 17 : 19;
        text(cr, b.caption, b.r.x + b.r.w / 2.0, cy, t);
    }
    if (lit) {
        star(cr, b.r.x + 8, b.r.y + 8, 4.5, hex(0xfff59d), hex(0xffa000));
        star(cr, b.r.x + b.r.w - 8, b.r.y + b.r.h - 8, 4, hex(0xfff59d), hex(0xffa000));
    }
}

void keyCap(cairo_t* cr, double cx, double cy, Dir d) {
    PanelStyle st;
    st.top = white;
    st.bottom = hex(0xe0e0e0);
    st.border = hex(0x757575);
    st.borderWidth = 1.5;
    st.radius = 5;
    st.shadow = false;
    panel(cr, cx - 12, cy - 12, 24, 24, st);
    arrow(cr, cx, cy, 15, d, hex(0xff7043), hex(0x6d2c12));
}

// The pearl picture, also used by the panel's little string.
void pearlBall(cairo_t* cr, double cx, double cy, double r, Color c, double glint) {
    cairo_save(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * pi);
    radial(cr, cx - r * (0.3 + glint), cy - r * (0.35 + glint), r * 1.6, lighter(c, 0.8),
           darker(c, 0.12));
    cairo_fill(cr);
    cairo_arc(cr, cx, cy, r - 0.8, 0, 2 * pi);
    setColor(cr, withAlpha(darker(c, 0.45), 0.9));
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void dragonHead(cairo_t* cr, int frame);

void drawPanel(cairo_t* cr, int lit) {
    PanelStyle side;
    side.radius = 14;
    panel(cr, kPanel.x, kPanel.y, kPanel.w, kPanel.h, side);
    TextStyle title;
    title.size = 28;
    title.fill = palette::red;
    title.outline = white;
    title.outlineWidth = 3;
    text(cr, "串珍珠", 77, 30, title);

    TextStyle cap;
    cap.size = 17;
    cap.fill = palette::brown;
    for (const Display& d : displays()) {
        const Rect f = displayField(d);
        roundedRect(cr, f.x - 2, f.y - 2, f.w + 4, f.h + 4, 5);
        setColor(cr, palette::orange);
        cairo_fill(cr);
        roundedRect(cr, f.x, f.y, f.w, f.h, 3);
        setColor(cr, kDigitField);
        cairo_fill(cr);
        if (d.label)
            textLeft(cr, d.label, 14, f.y + f.h / 2.0, cap);
    }
    const Rect lv = displayField(displays()[0]);
    TextStyle big = cap;
    big.size = 20;
    text(cr, "第", lv.x - 16, lv.y + lv.h / 2.0, big);
    text(cr, "关", lv.x + lv.w + 16, lv.y + lv.h / 2.0, big);

    for (int i = 0; i < int(buttons().size()); ++i)
        drawButton(cr, i, i == lit);

    // How to play, in pictures: the arrow keys steer the dragon, which
    // strings the pearls in the verse's order.
    TextStyle hint = cap;
    hint.size = 15;
    text(cr, "方向键走", 77, 322, hint);
    keyCap(cr, 77, 346, Dir::Up);
    keyCap(cr, 50, 373, Dir::Left);
    keyCap(cr, 77, 373, Dir::Down);
    keyCap(cr, 104, 373, Dir::Right);
    text(cr, "按字序吃珍珠", 77, 408, hint);
    const Color pearls[3] = {hex(0xffd95a), hex(0xffd95a), hex(0xcdeeff)};
    const char* order[3] = {"1", "2", "3"};
    for (int k = 2; k >= 0; --k) {
        const double x = 58 + 25 * k;
        pearlBall(cr, x, 445, 11, pearls[k], 0);
        TextStyle n;
        n.size = 13;
        n.family = kSans;
        n.fill = palette::brown;
        text(cr, order[k], x, 445.5, n);
    }
    cairo_save(cr);
    cairo_translate(cr, 31, 445);
    cairo_scale(cr, 0.9, 0.9);
    cairo_rotate(cr, pi);
    cairo_translate(cr, -15, -15);
    dragonHead(cr, 0);
    cairo_restore(cr);
}

// ---- the board -------------------------------------------------------------------

void drawPaths(cairo_t* cr, const Parsed& p, const Theme& t) {
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    auto stroke = [&](double width, Color c) {
        for (const Segment& s : p.segments) {
            cairo_move_to(cr, s.x0, s.y0);
            cairo_line_to(cr, s.x1, s.y1);
        }
        cairo_set_line_width(cr, width);
        setColor(cr, c);
        cairo_stroke(cr);
    };
    stroke(kPathWidth + 8, withAlpha(black, 0.12));
    stroke(kPathWidth + 4, t.edge);
    // The path itself is one flat colour, so a child sees at once where
    // the head can go.
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    stroke(kPathWidth, t.path);
    cairo_restore(cr);
}

void drawNest(cairo_t* cr) {
    const double x = kNest.x - 4, y = kNest.y - 4, w = kNest.w + 8, h = kNest.h + 8;
    roundedRect(cr, x - 4, y - 4, w + 8, h + 8, 22);
    setColor(cr, hex(0x8d8d8d));
    cairo_fill(cr);
    // Pebbles on the rim.
    Rng rng(404);
    for (int k = 0; k < 40; ++k) {
        const double a = rng.uniform();
        double px, py;
        const double per = 2 * (w + h);
        double d = a * per;
        if (d < w)
            px = x + d, py = y - 1;
        else if (d < w + h)
            px = x + w + 1, py = y + d - w;
        else if (d < 2 * w + h)
            px = x + w - (d - w - h), py = y + h + 1;
        else
            px = x - 1, py = y + h - (d - 2 * w - h);
        cairo_arc(cr, px, py, rng.range(2.5, 4.5), 0, 2 * pi);
        setColor(cr, mix(hex(0xbdbdbd), hex(0xeeeeee), rng.uniform()));
        cairo_fill(cr);
    }
    roundedRect(cr, x, y, w, h, 18);
    linear(cr, 0, y, 0, y + h, {{0, hex(0x81d4fa)}, {1, hex(0x0288d1)}});
    cairo_fill(cr);
    cairo_set_line_width(cr, 1.5);
    for (int k = 0; k < 6; ++k) {
        const double cy = y + 18 + k * 24;
        cairo_move_to(cr, x + 10, cy);
        cairo_curve_to(cr, x + 20, cy - 4, x + 30, cy + 4, x + w - 10, cy);
        setColor(cr, withAlpha(white, 0.45));
        cairo_stroke(cr);
    }
}

// A leaf, a flower, a stone or a tuft of grass in the field, never on a path.
void decorate(cairo_t* cr, const Parsed& p, const Theme& t, std::uint32_t seed) {
    Rng rng(seed);
    std::vector<std::array<double, 3>> placed;
    for (int tries = 0; tries < 4000 && placed.size() < 70; ++tries) {
        const double x = rng.range(156, 636), y = rng.range(4, 476);
        const double r = rng.range(5, 9);
        bool free = x - r > kPanel.right() + 2;
        for (const Segment& s : p.segments)
            free = free && distanceToSegment(x, y, s) > kPathWidth / 2 + 6 + r;
        free = free && !(x + r > kNest.x - 16 && x - r < kNest.right() + 16 &&
                         y + r > kNest.y - 16 && y - r < kNest.bottom() + 34);
        for (const auto& q : placed)
            free = free && std::hypot(q[0] - x, q[1] - y) > q[2] + r + 4;
        if (!free)
            continue;
        placed.push_back({x, y, r});
        const int kind = rng.below(4);
        if (kind == 0) {
            cairo_arc(cr, x, y, r * 0.7, 0, 2 * pi);
            setColor(cr, mix(hex(0x9e9e9e), hex(0xd7ccc8), rng.uniform()));
            cairo_fill(cr);
        } else if (kind == 1) {
            cairo_set_line_width(cr, 1.4);
            setColor(cr, darker(t.fieldBottom, 0.3));
            for (int k = -2; k <= 2; ++k) {
                cairo_move_to(cr, x + k * 2, y + r * 0.6);
                cairo_line_to(cr, x + k * 3.2, y - r * 0.7);
            }
            cairo_stroke(cr);
        } else if (t.decor == 2) {
            cairo_save(cr);
            cairo_translate(cr, x, y);
            cairo_rotate(cr, rng.range(0, 2 * pi));
            cairo_scale(cr, 1, 0.55);
            cairo_arc(cr, 0, 0, r, 0, 2 * pi);
            cairo_restore(cr);
            const Color leaves[3] = {hex(0xe65100), hex(0xc62828), hex(0xf9a825)};
            setColor(cr, leaves[rng.below(3)]);
            cairo_fill(cr);
        } else if (t.decor == 1 && kind == 3) {
            butterfly(cr, x, y, r * 2, mix(hex(0xf48fb1), hex(0xb39ddb), rng.uniform()));
        } else {
            const Color petals[4] = {hex(0xfff59d), white, hex(0xf8bbd0), hex(0xce93d8)};
            flower(cr, x, y, r, petals[rng.below(4)], hex(0xffb300));
        }
    }
}

void drawBoard(cairo_t* cr, const Parsed& p, const Theme& t, int level) {
    linear(cr, 0, 0, 0, 480, {{0, t.fieldTop}, {1, t.fieldBottom}});
    cairo_paint(cr);
    decorate(cr, p, t, std::uint32_t(40 + level));
    drawPaths(cr, p, t);
    drawNest(cr);
    drawPanel(cr, -1);
}

// ---- the pearls and the head -------------------------------------------------------

// Adds an ellipse to the current path.
void oval(cairo_t* cr, double cx, double cy, double rx, double ry) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, 0, 2 * pi);
    cairo_restore(cr);
}

// The head of a friendly dragon seen from above, looking right, in a 30 x 30
// cell; the frames wave its whiskers.
void dragonHead(cairo_t* cr, int frame) {
    const double wave = frame * 1.2;
    cairo_save(cr);
    // Mane.
    const Color mane[3] = {hex(0xff7043), hex(0xffca28), hex(0xff7043)};
    for (int k = 0; k < 3; ++k) {
        const double y = 8 + k * 7;
        cairo_move_to(cr, 9, y - 3);
        cairo_line_to(cr, 1, y + 0.5 - (k - 1) * 2);
        cairo_line_to(cr, 9, y + 4);
        cairo_close_path(cr);
        setColor(cr, mane[k]);
        cairo_fill(cr);
    }
    // Horns.
    for (int side = -1; side <= 1; side += 2) {
        cairo_move_to(cr, 11, 15 + side * 6);
        cairo_line_to(cr, 3, 15 + side * 13);
        cairo_line_to(cr, 14, 15 + side * 9);
        cairo_close_path(cr);
        setColor(cr, hex(0xfff176));
        cairo_fill_preserve(cr);
        setColor(cr, hex(0xf57f17));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    // Head and snout.
    oval(cr, 14, 15, 10.5, 9.5);
    radial(cr, 12, 11, 13, hex(0x81c784), hex(0x2e7d32));
    cairo_fill_preserve(cr);
    setColor(cr, hex(0x1b5e20));
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    oval(cr, 23, 15, 6.3, 7);
    setColor(cr, hex(0xaed581));
    cairo_fill_preserve(cr);
    setColor(cr, hex(0x1b5e20));
    cairo_stroke(cr);
    for (int side = -1; side <= 1; side += 2) {
        cairo_arc(cr, 26.2, 15 + side * 2.6, 1.1, 0, 2 * pi);
        setColor(cr, hex(0x1b5e20));
        cairo_fill(cr);
    }
    // Eyes looking ahead.
    for (int side = -1; side <= 1; side += 2) {
        const double ey = 15 + side * 5.3;
        cairo_arc(cr, 15, ey, 3.7, 0, 2 * pi);
        setColor(cr, white);
        cairo_fill_preserve(cr);
        setColor(cr, hex(0x1b5e20));
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
        cairo_arc(cr, 16.6, ey, 2, 0, 2 * pi);
        setColor(cr, hex(0x212121));
        cairo_fill(cr);
        cairo_arc(cr, 17.2, ey - 0.8, 0.7, 0, 2 * pi);
        setColor(cr, white);
        cairo_fill(cr);
    }
    // Whiskers.
    cairo_set_line_width(cr, 1.3);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    setColor(cr, hex(0xff8f00));
    for (int side = -1; side <= 1; side += 2) {
        cairo_move_to(cr, 25, 15 + side * 5.5);
        cairo_curve_to(cr, 27, 15 + side * 8, 26 + wave * 0.5, 15 + side * (10 + wave), 29,
                       15 + side * (12.5 - wave * 0.3));
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

// Pearl colours by cell: in the nest, caught, free; each in two shades the
// pearl alternates between, so it shimmers.
const std::array<Color, 6>& pearlColors() {
    static const std::array<Color, 6> c = {hex(0xfff3d6), hex(0xffe8bd), hex(0xffd95a),
                                           hex(0xffc93c), hex(0xcdeeff), hex(0xb8e4fb)};
    return c;
}

void writeSprites(const fs::path& pics) {
    Canvas sheet(540, 30, Color{0, 0, 0, 0});
    cairo_t* cr = sheet.cr();
    for (int k = 0; k < 6; ++k)
        pearlBall(cr, 30 * k + 15, 15, 15, pearlColors()[std::size_t(k)], k % 2 ? 0.08 : 0);
    // Direction d (1 left, 2 up, 3 right, 4 down), frame f at cell 3d + f + 2.
    const double turn[5] = {0, pi, -pi / 2, 0, pi / 2};
    for (int d = 1; d <= 4; ++d)
        for (int f = 1; f <= 3; ++f) {
            cairo_save(cr);
            cairo_translate(cr, 30 * (3 * d + f + 2) + 15, 15);
            cairo_rotate(cr, turn[d]);
            cairo_translate(cr, -15, -15);
            dragonHead(cr, f - 1);
            cairo_restore(cr);
        }
    writeMaskedPair(sheet, pics / "perals.bmp", pics / "perals_m.bmp");

    Canvas mask(30, 30, white);
    cairo_set_antialias(mask.cr(), CAIRO_ANTIALIAS_NONE);
    cairo_arc(mask.cr(), 15, 15, 14.6, 0, 2 * pi);
    setColor(mask.cr(), black);
    cairo_fill(mask.cr());
    mask.saveBmp(pics / "pmask.bmp");

    Canvas dark(406, 29, black);
    dark.saveBmp(pics / "black.bmp");
}

} // namespace

void writeGame04(const fs::path& appDir) {
    const fs::path game = appDir / "game" / "Game04";
    const fs::path data = game / "data";
    const fs::path pics = game / "pics";
    for (const fs::path& d : {data, pics})
        fs::create_directories(d);
    writeFile(data / "pos_size.txt", layoutFile());
    // No best scores yet; the game rewrites the file when one is beaten.
    writeFile(data / "data.txt", crlf(" 0") + crlf(" 0") + crlf(" 0"));

    for (std::size_t i = 0; i < networks().size(); ++i) {
        const Network& n = networks()[i];
        const Parsed p = parse(n);
        writeFile(data / n.pointsFile, pointsFile(p));
        Canvas bg(640, 480);
        drawBoard(bg.cr(), p, n.theme, int(i) + 1);
        bg.saveBmp(pics / n.background);
    }
    for (int i = 0; i < int(buttons().size()); ++i) {
        Canvas lit(640, 480);
        drawPanel(lit.cr(), i);
        const Rect& r = buttons()[std::size_t(i)].r;
        Canvas b(r.w, r.h);
        b.paint(lit, -r.x, -r.y);
        b.saveBmp(pics / ("butn" + std::to_string(i + 1) + ".bmp"));
    }
    writeSprites(pics);
}

} // namespace mediagen
