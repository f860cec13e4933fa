// The colouring game's line drawings. Each is drawn with Cairo without
// anti-aliasing, shapes painted back to front so a nearer shape hides what it
// covers, in pure black on pure white; then its white areas are found, and
// each becomes one region of the region-code map.
#include "game03.h"
#include "kit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace mediagen {

using namespace kit;

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr int W = kColourAreaW, H = kColourAreaH;
// The width of every outline: thick enough that no flood leaks through a
// corner, thin enough to look drawn.
constexpr double kInk = 3.5;
constexpr std::uint8_t kNoRegion = 21;
// White specks smaller than this, left where two lines meet, are inked over;
// every real region must reach kMinRegion pixels, a child's click.
constexpr int kSpeck = 40;
constexpr int kMinRegion = 200;

struct P {
    double x, y;
};

// ---- painting ------------------------------------------------------------------

void inkStyle(cairo_t* cr, double width = kInk) {
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, width);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
}

// The current path as a shape: white inside, outlined, hiding what it covers.
void shape(cairo_t* cr) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill_preserve(cr);
    inkStyle(cr);
    cairo_stroke(cr);
}

// The current path, several overlapping outlines, as one shape: only the
// outline of their union shows.
void unite(cairo_t* cr) {
    inkStyle(cr, 2 * kInk);
    cairo_stroke_preserve(cr);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill(cr);
}

// The current path as a drawn line.
void line(cairo_t* cr) {
    inkStyle(cr);
    cairo_stroke(cr);
}

// The current path filled black (pupils, door knobs): too small to colour.
void blot(cairo_t* cr) {
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_fill(cr);
}

void circle(cairo_t* cr, double cx, double cy, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * pi);
    cairo_close_path(cr);
}

// A unit circle seen through a stretched and turned page.
void ellipse(cairo_t* cr, double cx, double cy, double rx, double ry, double angle = 0) {
    cairo_matrix_t page;
    cairo_get_matrix(cr, &page);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, angle);
    cairo_scale(cr, rx, ry);
    circle(cr, 0, 0, 1);
    cairo_set_matrix(cr, &page);
}

void poly(cairo_t* cr, std::initializer_list<P> pts) {
    cairo_new_sub_path(cr);
    for (const P& p : pts)
        cairo_line_to(cr, p.x, p.y);
    cairo_close_path(cr);
}

void rect(cairo_t* cr, double x, double y, double w, double h) {
    cairo_rectangle(cr, x, y, w, h);
}

void seg(cairo_t* cr, P a, P b) {
    cairo_move_to(cr, a.x, a.y);
    cairo_line_to(cr, b.x, b.y);
}

// A smooth closed curve through the points (Catmull-Rom as Bezier pieces).
void blob(cairo_t* cr, const std::vector<P>& pts) {
    const std::size_t n = pts.size();
    cairo_new_sub_path(cr);
    cairo_move_to(cr, pts[0].x, pts[0].y);
    for (std::size_t i = 0; i < n; ++i) {
        const P& p0 = pts[(i + n - 1) % n];
        const P& p1 = pts[i];
        const P& p2 = pts[(i + 1) % n];
        const P& p3 = pts[(i + 2) % n];
        cairo_curve_to(cr, p1.x + (p2.x - p0.x) / 6, p1.y + (p2.y - p0.y) / 6,
                       p2.x - (p3.x - p1.x) / 6, p2.y - (p3.y - p1.y) / 6, p2.x, p2.y);
    }
    cairo_close_path(cr);
}

// A smooth open curve through the points.
void curve(cairo_t* cr, const std::vector<P>& pts) {
    const std::size_t n = pts.size();
    cairo_move_to(cr, pts[0].x, pts[0].y);
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const P& p0 = pts[i == 0 ? 0 : i - 1];
        const P& p1 = pts[i];
        const P& p2 = pts[i + 1];
        const P& p3 = pts[std::min(i + 2, n - 1)];
        cairo_curve_to(cr, p1.x + (p2.x - p0.x) / 6, p1.y + (p2.y - p0.y) / 6,
                       p2.x - (p3.x - p1.x) / 6, p2.y - (p3.y - p1.y) / 6, p2.x, p2.y);
    }
}

void star5(cairo_t* cr, double cx, double cy, double r, double rotation = 0) {
    cairo_new_sub_path(cr);
    for (int i = 0; i < 10; ++i) {
        const double a = rotation - pi / 2 + i * pi / 5;
        const double rr = i % 2 == 0 ? r : r * 0.48;
        cairo_line_to(cr, cx + rr * std::cos(a), cy + rr * std::sin(a));
    }
    cairo_close_path(cr);
}

// A sun: a disc with short free rays around it.
void sunWithRays(cairo_t* cr, double cx, double cy, double r, int rays = 10) {
    for (int i = 0; i < rays; ++i) {
        const double a = i * 2 * pi / rays;
        seg(cr, {cx + (r + 9) * std::cos(a), cy + (r + 9) * std::sin(a)},
            {cx + (r + 22) * std::cos(a), cy + (r + 22) * std::sin(a)});
    }
    line(cr);
    circle(cr, cx, cy, r);
    shape(cr);
}

void cloudShape(cairo_t* cr, double cx, double cy, double s) {
    circle(cr, cx - 0.55 * s, cy + 0.1 * s, 0.32 * s);
    circle(cr, cx - 0.1 * s, cy - 0.15 * s, 0.45 * s);
    circle(cr, cx + 0.45 * s, cy + 0.05 * s, 0.36 * s);
    ellipse(cr, cx, cy + 0.25 * s, 0.8 * s, 0.2 * s);
    unite(cr);
}

// A bird far away: two free arcs.
void farBird(cairo_t* cr, double cx, double cy, double s) {
    curve(cr, {{cx - s, cy - 0.2 * s}, {cx - 0.5 * s, cy - 0.5 * s}, {cx, cy}});
    curve(cr, {{cx, cy}, {cx + 0.5 * s, cy - 0.5 * s}, {cx + s, cy - 0.2 * s}});
    line(cr);
}

// ---- the drawings --------------------------------------------------------------

void drawHouse(cairo_t* cr) {
    curve(cr, {{0, 330}, {120, 322}, {260, 334}, {380, 324}});
    line(cr);
    sunWithRays(cr, 312, 72, 30);
    cloudShape(cr, 92, 80, 62);
    rect(cr, 228, 100, 30, 70); // chimney, its foot hidden by the roof
    shape(cr);
    rect(cr, 80, 200, 210, 145);
    shape(cr);
    poly(cr, {{60, 206}, {185, 98}, {310, 206}});
    shape(cr);
    circle(cr, 185, 166, 17);
    shape(cr);
    for (double x : {100.0, 226.0}) {
        rect(cr, x, 226, 46, 46);
        shape(cr);
        seg(cr, {x + 23, 226}, {x + 23, 272});
        line(cr);
    }
    rect(cr, 160, 262, 50, 83);
    shape(cr);
    circle(cr, 200, 305, 4.5);
    blot(cr);
    seg(cr, {160, 345}, {128, 456});
    seg(cr, {210, 345}, {242, 456});
    line(cr);
}

void drawFish(cairo_t* cr) {
    curve(cr, {{0, 396}, {100, 382}, {230, 408}, {380, 390}});
    line(cr);
    blob(cr, {{36, 440},
              {30, 380},
              {44, 330},
              {34, 282},
              {50, 250},
              {58, 290},
              {52, 336},
              {64, 380},
              {62, 440}});
    shape(cr);
    blob(cr, {{326, 440},
              {334, 390},
              {322, 340},
              {338, 292},
              {354, 316},
              {346, 352},
              {356, 396},
              {352, 440}});
    shape(cr);
    star5(cr, 270, 424, 26, 0.2);
    shape(cr);
    for (auto [x, y, r] :
         std::array<std::array<double, 3>, 3>{{{62, 150, 12}, {44, 104, 14}, {72, 52, 17}}}) {
        circle(cr, x, y, r);
        shape(cr);
    }
    poly(cr, {{300, 222}, {364, 150}, {342, 222}, {364, 296}}); // tail
    shape(cr);
    poly(cr, {{148, 166}, {196, 98}, {268, 168}}); // back fin
    shape(cr);
    poly(cr, {{178, 282}, {208, 336}, {242, 280}}); // belly fin
    shape(cr);
    const double cx = 200, cy = 222, rx = 116, ry = 78;
    ellipse(cr, cx, cy, rx, ry);
    shape(cr);
    auto rim = [&](double x, int side) {
        const double t = (x - cx) / rx;
        return cy + side * ry * std::sqrt(1 - t * t);
    };
    // The gill and two stripes, each from edge to edge of the body.
    for (auto [x, bulge] :
         std::array<std::pair<double, double>, 3>{{{138, 24}, {214, 16}, {252, 14}}}) {
        curve(cr, {{x, rim(x, -1)}, {x + bulge, cy}, {x, rim(x, 1)}});
        line(cr);
    }
    circle(cr, 118, 206, 16);
    shape(cr);
    circle(cr, 114, 206, 6.5);
    blot(cr);
    curve(cr, {{86, 236}, {96, 244}, {108, 240}});
    line(cr);
}

void drawFlower(cairo_t* cr) {
    seg(cr, {0, 402}, {380, 402});
    line(cr);
    sunWithRays(cr, 318, 64, 28);
    cloudShape(cr, 78, 66, 56);
    // Leaves, then the stem over their roots, then the pot and the head.
    blob(cr, {{190, 300}, {150, 262}, {96, 246}, {130, 290}});
    shape(cr);
    blob(cr, {{194, 318}, {240, 276}, {292, 268}, {256, 312}});
    shape(cr);
    rect(cr, 185, 180, 14, 140);
    shape(cr);
    poly(cr, {{130, 334}, {254, 334}, {236, 402}, {148, 402}});
    shape(cr);
    rect(cr, 118, 312, 148, 26);
    shape(cr);
    cairo_save(cr);
    cairo_translate(cr, 192, 370);
    cairo_new_sub_path(cr);
    cairo_move_to(cr, 0, 18);
    cairo_curve_to(cr, -30, -2, -16, -22, 0, -8);
    cairo_curve_to(cr, 16, -22, 30, -2, 0, 18);
    cairo_close_path(cr);
    cairo_restore(cr);
    shape(cr);
    const double fx = 192, fy = 148;
    for (int i = 0; i < 6; ++i) {
        const double a = pi / 2 + i * pi / 3;
        ellipse(cr, fx + 60 * std::cos(a), fy + 60 * std::sin(a), 38, 23, a);
        shape(cr);
    }
    circle(cr, fx, fy, 34);
    shape(cr);
}

void drawCar(cairo_t* cr) {
    seg(cr, {0, 300}, {380, 300});
    line(cr);
    sunWithRays(cr, 62, 70, 28);
    cloudShape(cr, 282, 84, 66);
    for (double x : {24.0, 160.0, 296.0}) {
        rect(cr, x, 404, 60, 14);
        shape(cr);
    }
    poly(cr, {{102, 244}, {142, 170}, {250, 170}, {296, 244}}); // cabin
    shape(cr);
    poly(cr, {{120, 238}, {150, 184}, {190, 184}, {190, 238}});
    shape(cr);
    poly(cr, {{202, 238}, {202, 184}, {242, 184}, {274, 238}});
    shape(cr);
    roundedRect(cr, 40, 240, 302, 76, 20);
    shape(cr);
    seg(cr, {196, 240}, {196, 316});
    line(cr);
    rect(cr, 206, 256, 16, 6);
    blot(cr);
    ellipse(cr, 324, 264, 10, 14);
    shape(cr);
    for (double x : {114.0, 266.0}) {
        circle(cr, x, 320, 35);
        shape(cr);
        circle(cr, x, 320, 15);
        shape(cr);
    }
}

void drawCat(cairo_t* cr) {
    seg(cr, {0, 330}, {380, 330});
    line(cr);
    rect(cr, 268, 38, 84, 84); // a window on the wall
    shape(cr);
    seg(cr, {310, 38}, {310, 122});
    line(cr);
    blob(cr, {{250, 372},
              {306, 346},
              {330, 290},
              {318, 236},
              {300, 226},
              {306, 268},
              {294, 318},
              {246, 340}});
    shape(cr);
    ellipse(cr, 186, 336, 92, 86);
    shape(cr);
    ellipse(cr, 186, 344, 44, 50);
    shape(cr);
    for (double x : {150.0, 222.0}) {
        ellipse(cr, x, 420, 30, 16);
        shape(cr);
    }
    poly(cr, {{114, 146}, {128, 52}, {178, 104}});
    shape(cr);
    poly(cr, {{258, 146}, {244, 52}, {194, 104}});
    shape(cr);
    poly(cr, {{126, 124}, {134, 74}, {160, 102}});
    shape(cr);
    poly(cr, {{246, 124}, {238, 74}, {212, 102}});
    shape(cr);
    circle(cr, 186, 180, 80);
    shape(cr);
    for (double x : {154.0, 218.0}) {
        ellipse(cr, x, 168, 15, 19);
        shape(cr);
        ellipse(cr, x, 171, 6, 11);
        blot(cr);
    }
    poly(cr, {{177, 196}, {195, 196}, {186, 207}});
    blot(cr);
    curve(cr, {{160, 214}, {172, 222}, {186, 207}});
    curve(cr, {{186, 207}, {200, 222}, {212, 214}});
    for (int s : {-1, 1}) {
        seg(cr, {186 + s * 40.0, 200}, {186 + s * 100.0, 188});
        seg(cr, {186 + s * 40.0, 208}, {186 + s * 100.0, 214});
    }
    line(cr);
    circle(cr, 322, 404, 32);
    shape(cr);
    curve(cr, {{298, 382}, {322, 398}, {340, 430}});
    line(cr);
    curve(cr, {{290, 420}, {270, 436}, {250, 430}});
    line(cr);
}

void drawRocket(cairo_t* cr) {
    for (auto [x, y, r] : std::array<std::array<double, 3>, 4>{
             {{52, 62, 24}, {326, 46, 21}, {58, 300, 22}, {334, 380, 24}}}) {
        star5(cr, x, y, r, 0.15);
        shape(cr);
    }
    circle(cr, 306, 178, 40);
    shape(cr);
    curve(cr, {{266, 170}, {300, 160}, {346, 170}});
    curve(cr, {{268, 194}, {306, 186}, {344, 196}});
    line(cr);
    blob(cr, {{190, 446}, {152, 386}, {160, 350}, {220, 350}, {228, 386}});
    shape(cr);
    blob(cr, {{190, 418}, {172, 378}, {178, 356}, {202, 356}, {208, 378}});
    shape(cr);
    poly(cr, {{142, 244}, {92, 336}, {142, 318}});
    shape(cr);
    poly(cr, {{238, 244}, {288, 336}, {238, 318}});
    shape(cr);
    poly(cr, {{158, 326}, {222, 326}, {234, 362}, {146, 362}});
    shape(cr);
    cairo_new_sub_path(cr);
    cairo_move_to(cr, 140, 334);
    cairo_line_to(cr, 140, 150);
    cairo_curve_to(cr, 140, 104, 170, 72, 190, 52);
    cairo_curve_to(cr, 210, 72, 240, 104, 240, 150);
    cairo_line_to(cr, 240, 334);
    cairo_close_path(cr);
    shape(cr);
    curve(cr, {{140, 150}, {190, 162}, {240, 150}});
    seg(cr, {140, 290}, {240, 290});
    line(cr);
    circle(cr, 190, 216, 29);
    shape(cr);
    circle(cr, 190, 216, 18);
    shape(cr);
}

void drawButterfly(cairo_t* cr) {
    curve(cr, {{0, 404}, {90, 394}, {200, 410}, {300, 396}, {380, 404}});
    line(cr);
    for (int s : {-1, 1}) {
        const double tx = s < 0 ? 52 : 328;
        poly(cr, {{tx - 18, 352},
                  {tx - 9, 366},
                  {tx, 350},
                  {tx + 9, 366},
                  {tx + 18, 352},
                  {tx + 16, 384},
                  {tx - 16, 384}});
        shape(cr);
        seg(cr, {tx, 384}, {tx, 432});
        line(cr);
    }
    for (int s : {-1, 1}) {
        auto m = [s](double x) { return 190 + s * (190 - x); };
        blob(
            cr,
            {{m(184), 206}, {m(156), 112}, {m(92), 66}, {m(40), 104}, {m(56), 190}, {m(130), 228}});
        shape(cr);
        blob(cr, {{m(184), 250},
                  {m(150), 236},
                  {m(88), 256},
                  {m(80), 320},
                  {m(138), 344},
                  {m(178), 300}});
        shape(cr);
        circle(cr, m(104), 138, 21);
        shape(cr);
        circle(cr, m(128), 290, 17);
        shape(cr);
    }
    ellipse(cr, 190, 246, 16, 86);
    shape(cr);
    for (int s : {-1, 1}) {
        curve(cr, {{190 + s * 8.0, 128}, {190 + s * 22.0, 96}, {190 + s * 44.0, 72}});
        line(cr);
        circle(cr, 190 + s * 44.0, 72, 6);
        blot(cr);
    }
    circle(cr, 190, 146, 21);
    shape(cr);
    for (int s : {-1, 1}) {
        circle(cr, 190 + s * 8.0, 142, 3.5);
        blot(cr);
    }
    cairo_arc(cr, 190, 148, 10, 0.2 * pi, 0.8 * pi);
    line(cr);
}

void drawTree(cairo_t* cr) {
    curve(cr, {{0, 372}, {110, 352}, {250, 366}, {380, 350}});
    line(cr);
    sunWithRays(cr, 318, 62, 28);
    farBird(cr, 50, 58, 18);
    farBird(cr, 92, 36, 14);
    // The basket with its handle.
    poly(cr, {{40, 376}, {116, 376}, {106, 426}, {50, 426}});
    shape(cr);
    cairo_new_sub_path(cr);
    cairo_arc_negative(cr, 78, 376, 30, pi, 0);
    line(cr);
    poly(cr, {{166, 428}, {176, 250}, {206, 250}, {216, 428}});
    shape(cr);
    ellipse(cr, 191, 340, 10, 14);
    shape(cr);
    circle(cr, 124, 196, 62);
    circle(cr, 190, 132, 74);
    circle(cr, 258, 190, 64);
    circle(cr, 192, 226, 66);
    circle(cr, 142, 124, 44);
    circle(cr, 244, 122, 44);
    unite(cr);
    for (auto [x, y] :
         std::array<P, 5>{{{130, 176}, {236, 144}, {186, 238}, {262, 226}, {116, 236}}}) {
        circle(cr, x, y, 17);
        shape(cr);
        seg(cr, {x, y - 17}, {x + 3, y - 26});
        line(cr);
    }
    circle(cr, 296, 404, 18);
    shape(cr);
}

void drawBoat(cairo_t* cr) {
    curve(cr, {{0, 322}, {60, 312}, {120, 326}, {190, 314}, {260, 328}, {320, 314}, {380, 322}});
    line(cr);
    curve(cr, {{0, 396}, {70, 386}, {140, 400}, {210, 386}, {290, 402}, {380, 390}});
    line(cr);
    sunWithRays(cr, 62, 64, 28);
    cloudShape(cr, 292, 62, 60);
    cloudShape(cr, 168, 44, 40);
    farBird(cr, 316, 150, 16);
    farBird(cr, 282, 178, 12);
    rect(cr, 186, 80, 12, 222); // mast
    shape(cr);
    poly(cr, {{198, 82}, {244, 94}, {198, 108}});
    shape(cr);
    poly(cr, {{204, 116}, {204, 288}, {310, 288}});
    shape(cr);
    poly(cr, {{180, 126}, {180, 288}, {96, 288}});
    shape(cr);
    poly(cr, {{70, 296}, {330, 296}, {290, 360}, {110, 360}});
    shape(cr);
    seg(cr, {82, 318}, {316, 318});
    line(cr);
}

void drawClown(cairo_t* cr) {
    // Two balloons, their strings clear of the hair and the ruff.
    for (auto [x, s] : std::array<P, 2>{{{50, 1}, {334, -1}}}) {
        const double by = s > 0 ? 96 : 120;
        curve(cr,
              {{x, by + 40}, {x - s * 6, by + 100}, {x + s * 4, by + 150}, {x - s * 2, by + 180}});
        line(cr);
        ellipse(cr, x, by, 32, 40);
        shape(cr);
    }
    // The ruff under the chin.
    for (int i = 0; i < 9; ++i) {
        const double a = pi * (0.12 + 0.76 * i / 8.0);
        circle(cr, 190 + 124 * std::cos(a), 318 + 46 * std::sin(a), 26);
    }
    ellipse(cr, 190, 330, 116, 44);
    unite(cr);
    for (int s : {-1, 1}) {
        circle(cr, 190 + s * 92.0, 196, 30);
        circle(cr, 190 + s * 100.0, 236, 30);
        circle(cr, 190 + s * 84.0, 270, 26);
        unite(cr);
    }
    circle(cr, 190, 226, 94);
    shape(cr);
    poly(cr, {{118, 158}, {190, 24}, {262, 158}});
    shape(cr);
    circle(cr, 190, 28, 17);
    shape(cr);
    for (int s : {-1, 1}) {
        ellipse(cr, 190 + s * 36.0, 196, 16, 21);
        shape(cr);
        ellipse(cr, 190 + s * 36.0, 200, 7, 11);
        blot(cr);
        circle(cr, 190 + s * 66.0, 250, 14);
        shape(cr);
    }
    circle(cr, 190, 236, 21);
    shape(cr);
    cairo_new_sub_path(cr);
    cairo_move_to(cr, 136, 266);
    cairo_curve_to(cr, 156, 316, 224, 316, 244, 266);
    cairo_curve_to(cr, 214, 286, 166, 286, 136, 266);
    cairo_close_path(cr);
    shape(cr);
    poly(cr, {{190, 350}, {146, 326}, {146, 376}});
    shape(cr);
    poly(cr, {{190, 350}, {234, 326}, {234, 376}});
    shape(cr);
    circle(cr, 190, 350, 12);
    shape(cr);
}

struct Art {
    const char* name;
    void (*draw)(cairo_t*);
};

const std::array<Art, 10>& drawings() {
    static const std::array<Art, 10> a = {{
        {"house", drawHouse},
        {"fish", drawFish},
        {"flower", drawFlower},
        {"car", drawCar},
        {"cat", drawCat},
        {"rocket", drawRocket},
        {"butterfly", drawButterfly},
        {"tree", drawTree},
        {"boat", drawBoat},
        {"clown", drawClown},
    }};
    return a;
}

// ---- from picture to regions ---------------------------------------------------

struct Ink {
    std::vector<std::uint8_t> black; // W * H, 1 = outline
    bool at(int x, int y) const { return black[std::size_t(y) * W + x] != 0; }
    void set(int x, int y) { black[std::size_t(y) * W + x] = 1; }
};

Ink rasterise(const Art& art) {
    Canvas c(W, H, white);
    cairo_t* cr = c.cr();
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    art.draw(cr);
    cairo_new_path(cr);
    cairo_rectangle(cr, 1.5, 1.5, W - 3, H - 3); // the frame every fill stops at
    line(cr);
    Ink ink{std::vector<std::uint8_t>(std::size_t(W) * H, 0)};
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const std::uint32_t p = c.pixel(x, y);
            const int lum = int((p >> 16) & 255) + int((p >> 8) & 255) + int(p & 255);
            if (lum < 3 * 128)
                ink.set(x, y);
        }
    return ink;
}

// Every outline pixel in a 2 x 2 block of outline, so no line is a single
// pixel thin anywhere (a diagonal step there would let a fill through).
void thicken(Ink& ink) {
    auto block = [&](int x, int y) {
        return x >= 0 && y >= 0 && x + 1 < W && y + 1 < H && ink.at(x, y) && ink.at(x + 1, y) &&
               ink.at(x, y + 1) && ink.at(x + 1, y + 1);
    };
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            if (!ink.at(x, y) || block(x, y) || block(x - 1, y) || block(x, y - 1) ||
                block(x - 1, y - 1))
                continue;
            const int bx = std::min(x, W - 2), by = std::min(y, H - 2);
            ink.set(bx, by), ink.set(bx + 1, by), ink.set(bx, by + 1), ink.set(bx + 1, by + 1);
        }
}

struct Regions {
    std::vector<int> label; // W * H, -1 on outline
    std::vector<int> size;
};

Regions findRegions(const Ink& ink) {
    Regions r{std::vector<int>(std::size_t(W) * H, -1), {}};
    std::vector<int> stack;
    for (int start = 0; start < W * H; ++start) {
        if (ink.black[std::size_t(start)] || r.label[std::size_t(start)] >= 0)
            continue;
        const int id = int(r.size.size());
        int count = 0;
        stack.push_back(start);
        r.label[std::size_t(start)] = id;
        while (!stack.empty()) {
            const int i = stack.back();
            stack.pop_back();
            ++count;
            const int x = i % W, y = i / W;
            for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                const int nx = x + dx, ny = y + dy;
                if (nx < 0 || ny < 0 || nx >= W || ny >= H)
                    continue;
                const int j = ny * W + nx;
                if (!ink.black[std::size_t(j)] && r.label[std::size_t(j)] < 0) {
                    r.label[std::size_t(j)] = id;
                    stack.push_back(j);
                }
            }
        }
        r.size.push_back(count);
    }
    return r;
}

// Regions that touch across one outline.
std::vector<std::set<int>> neighbours(const Regions& r) {
    std::vector<std::set<int>> adj(r.size.size());
    constexpr int reach = 4;
    for (int y = 0; y < H; y += 2)
        for (int x = 0; x < W; x += 2) {
            if (r.label[std::size_t(y) * W + x] >= 0)
                continue;
            std::set<int> near;
            for (int dy = -reach; dy <= reach; ++dy)
                for (int dx = -reach; dx <= reach; ++dx) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx >= 0 && ny >= 0 && nx < W && ny < H &&
                        r.label[std::size_t(ny) * W + nx] >= 0)
                        near.insert(r.label[std::size_t(ny) * W + nx]);
                }
            for (int a : near)
                for (int b : near)
                    if (a != b)
                        adj[std::size_t(a)].insert(b);
        }
    return adj;
}

// Gives each region a class (its code mod 10) with room left in it, no two
// neighbours in one class; among the classes allowed, those that regions two
// steps away have least come first. False when the step budget runs out.
struct ClassSearch {
    const std::vector<std::set<int>>& adj;
    const std::vector<std::set<int>>& near;
    std::vector<int> order, cls;
    std::array<int, 10> room{};
    long steps = 1000000;

    bool run(std::size_t next) {
        if (next == order.size())
            return true;
        if (--steps < 0)
            return false;
        const int region = order[next];
        std::array<std::pair<int, int>, 10> byNearness{};
        for (int k = 0; k < 10; ++k) {
            int close = 0;
            for (int other : near[std::size_t(region)])
                close += other != region && cls[std::size_t(other)] == k;
            byNearness[std::size_t(k)] = {close, k};
        }
        std::stable_sort(byNearness.begin(), byNearness.end());
        for (const auto& [close, k] : byNearness) {
            bool clash = room[std::size_t(k)] == 0;
            for (int other : adj[std::size_t(region)])
                clash = clash || (other != region && cls[std::size_t(other)] == k);
            if (clash)
                continue;
            cls[std::size_t(region)] = k;
            --room[std::size_t(k)];
            if (run(next + 1))
                return true;
            ++room[std::size_t(k)];
            cls[std::size_t(region)] = -1;
        }
        return false;
    }
};

// Codes 0 .. n-1, one a region. Codes that differ by ten want the same
// character and so the same colour: such regions never touch, and are kept
// further apart where that can be had (a flame inside a flame in the colour
// of the sky would look like a hole).
std::vector<int> assignCodes(const Regions& r) {
    const int n = int(r.size.size());
    const auto adj = neighbours(r);
    std::vector<std::set<int>> near = adj;
    for (int a = 0; a < n; ++a)
        for (int b : adj[std::size_t(a)])
            near[std::size_t(a)].insert(adj[std::size_t(b)].begin(), adj[std::size_t(b)].end());
    ClassSearch search{adj, near, {}, std::vector<int>(std::size_t(n), -1), {}};
    for (int i = 0; i < n; ++i)
        search.order.push_back(i);
    // The most hemmed-in regions first.
    std::stable_sort(search.order.begin(), search.order.end(), [&](int a, int b) {
        return adj[std::size_t(a)].size() > adj[std::size_t(b)].size();
    });
    for (int c = 0; c < n; ++c)
        ++search.room[std::size_t(c % 10)];
    if (!search.run(0))
        throw std::runtime_error("colouring drawing: no way to keep same-coloured regions apart");
    // Within a class the larger region takes the lower code.
    std::vector<int> bySize(std::size_t(n), 0);
    for (int i = 0; i < n; ++i)
        bySize[std::size_t(i)] = i;
    std::stable_sort(bySize.begin(), bySize.end(),
                     [&](int a, int b) { return r.size[std::size_t(a)] > r.size[std::size_t(b)]; });
    std::array<int, 10> used{};
    std::vector<int> code(std::size_t(n), -1);
    for (int region : bySize) {
        const int k = search.cls[std::size_t(region)];
        code[std::size_t(region)] = k + 10 * used[std::size_t(k)]++;
    }
    return code;
}

// The colour table of a region map: a light tint for each code, so the map
// itself shows its regions, black for "no region".
std::vector<Color> mapPalette() {
    std::vector<Color> p;
    for (int c = 0; c < 21; ++c) {
        const double hue = std::fmod(c * 0.381966, 1.0) * 6;
        const int k = int(hue);
        const double f = hue - k;
        const double v[6][3] = {{1, f, 0},     {1 - f, 1, 0}, {0, 1, f},
                                {0, 1 - f, 1}, {f, 0, 1},     {1, 0, 1 - f}};
        p.push_back(mix(Color{v[k][0], v[k][1], v[k][2], 1}, white, c < 10 ? 0.35 : 0.6));
    }
    p.push_back(black); // 21
    p.push_back(white); // 22, unused
    return p;
}

std::string drawingBmp(const Ink& ink) {
    Canvas c(W, H, white);
    cairo_surface_t* s = c.surface();
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            auto* px = reinterpret_cast<std::uint32_t*>(data + y * stride + x * 4);
            *px = ink.at(x, y) ? 0xFF000000u : 0xFFFFFFFFu;
        }
    cairo_surface_mark_dirty(s);
    return bmpBytes(s);
}

} // namespace

std::vector<int> writeColouringDrawings(const fs::path& pics) {
    std::vector<int> counts;
    int n = 0;
    for (const Art& art : drawings()) {
        ++n;
        Ink ink = rasterise(art);
        thicken(ink);
        Regions r = findRegions(ink);
        bool specks = false;
        for (int i = 0; i < W * H; ++i)
            if (r.label[std::size_t(i)] >= 0 &&
                r.size[std::size_t(r.label[std::size_t(i)])] < kSpeck)
                ink.black[std::size_t(i)] = 1, specks = true;
        if (specks)
            r = findRegions(ink);
        for (std::size_t k = 0; k < r.size.size(); ++k)
            if (r.size[k] < kMinRegion) {
                int x = 0, y = 0;
                for (int i = 0; i < W * H; ++i)
                    if (r.label[std::size_t(i)] == int(k)) {
                        x = i % W, y = i / W;
                        break;
                    }
                throw std::runtime_error(std::string("colouring drawing ") + art.name +
                                         ": a region of " + std::to_string(r.size[k]) +
                                         " pixels at " + std::to_string(x) + "," +
                                         std::to_string(y) + " is too small to click");
            }
        const int regions = int(r.size.size());
        if (regions < 8 || regions > 20)
            throw std::runtime_error(std::string("colouring drawing ") + art.name + " has " +
                                     std::to_string(regions) + " regions, not 8 to 20");
        const std::vector<int> code = assignCodes(r);
        std::vector<std::uint8_t> map(std::size_t(W) * H, kNoRegion);
        for (int i = 0; i < W * H; ++i)
            if (r.label[std::size_t(i)] >= 0)
                map[std::size_t(i)] = std::uint8_t(code[std::size_t(r.label[std::size_t(i)])]);
        char name[32];
        std::snprintf(name, sizeof name, "fill%02d", n);
        writeFile(pics / (std::string(name) + ".bmp"), drawingBmp(ink));
        writeFile(pics / (std::string(name) + "C.bmp"), bmp8Bytes(W, H, map, mapPalette()));
        counts.push_back(regions);
    }
    return counts;
}

} // namespace mediagen
