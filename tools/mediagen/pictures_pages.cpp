// The learning pages' pictures: backgrounds, the masked boards, the buttons
// and strips the pages paint, and the pointers.
#include "pictures.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace mediagen::pictures {

using namespace kit;

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr int kBackgrounds = 24;

// ---- backgrounds ------------------------------------------------------------

// The boards cover the middle of the page, so every scene keeps its
// interest in the sky band at the top and on the ground at the bottom.
struct Scene {
    Color skyTop, skyLow, ground, groundDark;
    bool night;
};

void hills(cairo_t* cr, double y, double amp, double phase, Color top, Color bottom) {
    cairo_move_to(cr, 0, 480);
    for (int x = 0; x <= 640; x += 16)
        cairo_line_to(cr, x, y + amp * std::sin(x / 90.0 + phase));
    cairo_line_to(cr, 640, 480);
    cairo_close_path(cr);
    linear(cr, 0, y - amp, 0, 480, {{0, top}, {1, bottom}});
    cairo_fill(cr);
}

void sky(cairo_t* cr, const Scene& s) {
    linear(cr, 0, 0, 0, 480, {{0, s.skyTop}, {0.75, s.skyLow}, {1, s.skyLow}});
    cairo_paint(cr);
}

void scatterFlowers(cairo_t* cr, Rng& rng, int n, double y0, double y1) {
    const Color petals[] = {hex(0xff8a80), hex(0xfff176), hex(0xf48fb1),
                            hex(0xffffff), hex(0xce93d8), hex(0x80d8ff)};
    for (int i = 0; i < n; ++i)
        flower(cr, rng.range(8, 632), rng.range(y0, y1), rng.range(5, 10), petals[rng.below(6)],
               hex(0xffb300));
}

void meadow(cairo_t* cr, Rng& rng, int variant) {
    const Scene s{hex(0x2a78c8), hex(0x6fb3e8), hex(0x9ccc65), hex(0x558b2f), false};
    sky(cr, s);
    sun(cr, variant % 2 ? 70 : 570, 34, 22);
    for (int i = 0; i < 3; ++i)
        cloud(cr, 160 + i * 170 + rng.range(-30, 30), rng.range(18, 40), rng.range(60, 90), white);
    hills(cr, 410, 12, variant, hex(0xaed581), hex(0x7cb342));
    hills(cr, 440, 10, variant + 2, s.ground, s.groundDark);
    scatterFlowers(cr, rng, 16, 430, 475);
    for (int i = 0; i < 3; ++i)
        butterfly(cr, rng.range(20, 620), rng.range(400, 425), 22,
                  i % 2 ? hex(0xffab40) : hex(0xea80fc));
    if (variant == 2)
        rabbit(cr, 585, 440, 48);
}

void seaside(cairo_t* cr, Rng& rng, int variant) {
    sky(cr, Scene{hex(0x1f88d0), hex(0x68b4e4), {}, {}, false});
    sun(cr, variant % 2 ? 590 : 60, 32, 20);
    cloud(cr, 300, 28, 80, white);
    for (int i = 0; i < 4; ++i)
        bird(cr, rng.range(120, 520), rng.range(14, 50), 16, hex(0x37474f));
    cairo_rectangle(cr, 0, 395, 640, 85);
    linear(cr, 0, 395, 0, 480, {{0, hex(0x29b6f6)}, {1, hex(0x0277bd)}});
    cairo_fill(cr);
    setColor(cr, withAlpha(white, 0.6));
    cairo_set_line_width(cr, 2);
    for (int row = 0; row < 4; ++row)
        for (int x = (row % 2) * 40; x < 640; x += 80) {
            cairo_arc(cr, x + 20, 410 + row * 18, 10, pi * 1.1, pi * 1.9);
            cairo_stroke(cr);
        }
    boat(cr, variant == 1 ? 90 : 560, 430, 56, hex(0xef5350));
    fish(cr, 330, 455, 30, hex(0xffa726), variant % 2);
    fish(cr, 200, 462, 22, hex(0xffee58), !(variant % 2));
    // A sandy corner.
    cairo_move_to(cr, 0, 480);
    cairo_curve_to(cr, 0, 440, 60, 430, 140, 480);
    cairo_close_path(cr);
    setColor(cr, hex(0xffe0b2));
    cairo_fill(cr);
}

void mountains(cairo_t* cr, Rng& rng, int variant) {
    sky(cr, Scene{hex(0x3a86d2), hex(0x78b2e0), {}, {}, false});
    for (int i = 0; i < 5; ++i)
        mountain(cr, 40 + i * 150 + rng.range(-20, 20), 440, 260, rng.range(110, 170),
                 i % 2 ? hex(0x7986cb) : hex(0x9fa8da), true);
    cloud(cr, 120 + variant * 90, 30, 70, white);
    cloud(cr, 480 - variant * 60, 22, 60, withAlpha(white, 0.9));
    hills(cr, 435, 8, variant * 1.3, hex(0xa5d6a7), hex(0x43a047));
    for (int i = 0; i < 7; ++i)
        tree(cr, 30 + i * 95 + rng.range(-15, 15), 470, rng.range(45, 60), hex(0x2e7d32));
}

void night(cairo_t* cr, Rng& rng, int variant) {
    sky(cr, Scene{hex(0x1a237e), hex(0x5c6bc0), {}, {}, true});
    moon(cr, variant % 2 ? 80 : 560, 38, 22);
    for (int i = 0; i < 40; ++i) {
        const double y = rng.uniform() < 0.7 ? rng.range(6, 60) : rng.range(60, 470);
        star(cr, rng.range(6, 634), y, rng.range(1.5, 4.5), hex(0xfff9c4), hex(0xfbc02d),
             rng.range(0, 1));
    }
    hills(cr, 440, 12, variant, hex(0x3949ab), hex(0x1a237e));
    house(cr, variant == 1 ? 560 : 90, 470, 60, hex(0xffe082), hex(0xc62828));
    for (int i = 0; i < 6; ++i) {
        cairo_arc(cr, rng.range(150, 500), rng.range(420, 470), 2.5, 0, 2 * pi);
        setColor(cr, hex(0xf4ff81, 0.9));
        cairo_fill(cr);
    }
}

void garden(cairo_t* cr, Rng& rng, int variant) {
    sky(cr, Scene{hex(0x7e57c2), hex(0xc48ac8), {}, {}, false});
    sun(cr, 320 + (variant - 1) * 240, 30, 18);
    cloud(cr, 170, 30, 70, white);
    cloud(cr, 520, 24, 60, white);
    hills(cr, 420, 6, variant, hex(0xc5e1a5), hex(0x689f38));
    house(cr, variant == 0 ? 560 : 80, 462, 70, hex(0xfff3e0), hex(0x6d4c41));
    // A picket fence along the bottom.
    for (int x = 0; x < 640; x += 22) {
        cairo_move_to(cr, x + 2, 476);
        cairo_line_to(cr, x + 2, 440);
        cairo_line_to(cr, x + 9, 432);
        cairo_line_to(cr, x + 16, 440);
        cairo_line_to(cr, x + 16, 476);
        cairo_close_path(cr);
    }
    setColor(cr, hex(0xfffaf0));
    cairo_fill_preserve(cr);
    setColor(cr, hex(0xbcaaa4));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    scatterFlowers(cr, rng, 18, 440, 478);
    for (int i = 0; i < 2; ++i)
        butterfly(cr, rng.range(150, 500), rng.range(405, 425), 20, hex(0x4fc3f7));
}

void pond(cairo_t* cr, Rng& rng, int variant) {
    sky(cr, Scene{hex(0x4a7fc0), hex(0x8aa8d8), {}, {}, false});
    for (int i = 0; i < 4; ++i)
        cloud(cr, 80 + i * 160, 24 + (i % 2) * 14, 64, white);
    cairo_rectangle(cr, 0, 400, 640, 80);
    linear(cr, 0, 400, 0, 480, {{0, hex(0x80cbc4)}, {1, hex(0x00897b)}});
    cairo_fill(cr);
    for (int i = 0; i < 6; ++i) {
        const double x = rng.range(20, 620), y = rng.range(420, 470);
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_scale(cr, 1, 0.45);
        cairo_move_to(cr, 0, 0);
        cairo_arc(cr, 0, 0, 20, 0.3, 2 * pi - 0.3);
        cairo_close_path(cr);
        cairo_restore(cr);
        setColor(cr, hex(0x43a047));
        cairo_fill(cr);
        if (i % 2 == 0)
            flower(cr, x + 4, y - 8, 8, hex(0xf8bbd0), hex(0xfff176));
    }
    duck(cr, variant == 1 ? 120 : 500, 438, 50);
    duck(cr, variant == 1 ? 170 : 560, 452, 34);
    // Reeds at the sides.
    setColor(cr, hex(0x558b2f));
    cairo_set_line_width(cr, 3);
    for (int i = 0; i < 8; ++i) {
        const double x = i < 4 ? 6 + i * 8 : 606 + (i - 4) * 8;
        cairo_move_to(cr, x, 480);
        cairo_curve_to(cr, x + 4, 440, x - 4, 420, x + 2, 380 + (i % 3) * 10);
        cairo_stroke(cr);
    }
}

void autumn(cairo_t* cr, Rng& rng, int variant) {
    sky(cr, Scene{hex(0xe06a10), hex(0xee8c3a), {}, {}, false});
    sun(cr, variant ? 80 : 560, 36, 22);
    for (int i = 0; i < 5; ++i)
        bird(cr, 200 + i * 40, 30 + (i % 2) * 10, 18, hex(0x5d4037));
    hills(cr, 430, 10, variant, hex(0xffcc80), hex(0xe65100));
    const Color leaves[] = {hex(0xff7043), hex(0xffca28), hex(0xd84315)};
    for (int i = 0; i < 6; ++i)
        tree(cr, 40 + i * 112 + rng.range(-10, 10), 478, rng.range(55, 75), leaves[i % 3]);
    for (int i = 0; i < 20; ++i) {
        cairo_save(cr);
        cairo_translate(cr, rng.range(0, 640), rng.range(380, 478));
        cairo_rotate(cr, rng.range(0, pi));
        cairo_scale(cr, 5, 2.5);
        cairo_arc(cr, 0, 0, 1, 0, 2 * pi);
        cairo_restore(cr);
        setColor(cr, leaves[rng.below(3)]);
        cairo_fill(cr);
    }
}

void winter(cairo_t* cr, Rng& rng, int variant) {
    sky(cr, Scene{hex(0x4f86c8), hex(0x86acd8), {}, {}, false});
    cloud(cr, 160, 30, 90, white);
    cloud(cr, 470, 26, 80, white);
    hills(cr, 425, 14, variant, hex(0xffffff), hex(0xe3f2fd));
    for (int i = 0; i < 4; ++i)
        tree(cr, 60 + i * 170, 470, 60, hex(0x2e7d32));
    // A snowman.
    const double sx = variant == 1 ? 560 : 90;
    cairo_arc(cr, sx, 452, 22, 0, 2 * pi);
    cairo_arc(cr, sx, 416, 15, 0, 2 * pi);
    setColor(cr, white);
    cairo_fill_preserve(cr);
    setColor(cr, hex(0x90a4ae));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    setColor(cr, hex(0xff7043));
    cairo_move_to(cr, sx, 416);
    cairo_line_to(cr, sx + 12, 419);
    cairo_line_to(cr, sx, 421);
    cairo_fill(cr);
    setColor(cr, black);
    cairo_arc(cr, sx - 5, 411, 1.8, 0, 2 * pi);
    cairo_fill(cr);
    cairo_arc(cr, sx + 5, 411, 1.8, 0, 2 * pi);
    cairo_fill(cr);
    cairo_rectangle(cr, sx - 12, 396, 24, 5);
    setColor(cr, hex(0xe53935));
    cairo_fill(cr);
    for (int i = 0; i < 60; ++i) {
        cairo_arc(cr, rng.range(0, 640), rng.range(0, 480), rng.range(1, 3), 0, 2 * pi);
        setColor(cr, withAlpha(white, 0.85));
        cairo_fill(cr);
    }
}

void undersea(cairo_t* cr, Rng& rng, int variant) {
    linear(cr, 0, 0, 0, 480, {{0, hex(0x2bb3c8)}, {1, hex(0x01579b)}});
    cairo_paint(cr);
    for (int i = 0; i < 6; ++i) {
        cairo_move_to(cr, 60 + i * 110, 0);
        cairo_line_to(cr, 100 + i * 110, 0);
        cairo_line_to(cr, 40 + i * 110 + variant * 20, 480);
        cairo_line_to(cr, 20 + i * 110 + variant * 20, 480);
        cairo_close_path(cr);
    }
    setColor(cr, withAlpha(white, 0.07));
    cairo_fill(cr);
    hills(cr, 455, 6, variant, hex(0xffe0b2), hex(0xffcc80));
    const Color fishes[] = {hex(0xff7043), hex(0xffee58), hex(0xf06292), hex(0x81c784)};
    for (int i = 0; i < 7; ++i) {
        const double y = i % 2 ? rng.range(10, 50) : rng.range(400, 440);
        fish(cr, rng.range(30, 610), y, rng.range(22, 34), fishes[i % 4], i % 3 == 0);
    }
    for (int i = 0; i < 5; ++i) {
        const double x = 20 + i * 150 + rng.range(0, 30);
        setColor(cr, hex(0x2e7d32));
        cairo_set_line_width(cr, 5);
        cairo_move_to(cr, x, 480);
        cairo_curve_to(cr, x - 12, 450, x + 12, 430, x - 4, 400);
        cairo_stroke(cr);
    }
    for (int i = 0; i < 25; ++i) {
        cairo_arc(cr, rng.range(0, 640), rng.range(0, 480), rng.range(2, 5), 0, 2 * pi);
        setColor(cr, withAlpha(white, 0.5));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
}

void kite(cairo_t* cr, double cx, double cy, double s, Color c) {
    cairo_save(cr);
    cairo_set_line_width(cr, 1.2);
    setColor(cr, hex(0x6d4c41));
    cairo_move_to(cr, cx, cy + s * 0.6);
    cairo_curve_to(cr, cx - 30, cy + 60, cx + 40, cy + 90, cx - 10, cy + 140);
    cairo_stroke(cr);
    for (int i = 0; i < 4; ++i) {
        const double t = cy + s * 0.6 + 14 + i * 14;
        cairo_move_to(cr, cx - 8 + i * 3, t);
        cairo_line_to(cr, cx - 2 + i * 3, t - 4);
        cairo_line_to(cr, cx - 2 + i * 3, t + 4);
        cairo_close_path(cr);
        setColor(cr, i % 2 ? hex(0xffeb3b) : hex(0x42a5f5));
        cairo_fill(cr);
    }
    cairo_move_to(cr, cx, cy - s * 0.6);
    cairo_line_to(cr, cx + s * 0.4, cy);
    cairo_line_to(cr, cx, cy + s * 0.6);
    cairo_line_to(cr, cx - s * 0.4, cy);
    cairo_close_path(cr);
    linear(cr, cx - s / 2, cy, cx + s / 2, cy, {{0, c}, {1, lighter(c, 0.4)}});
    cairo_fill_preserve(cr);
    setColor(cr, darker(c, 0.4));
    cairo_stroke(cr);
    cairo_move_to(cr, cx, cy - s * 0.6);
    cairo_line_to(cr, cx, cy + s * 0.6);
    cairo_move_to(cr, cx - s * 0.4, cy);
    cairo_line_to(cr, cx + s * 0.4, cy);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void rainbow(cairo_t* cr, double cx, double cy, double r) {
    const Color bands[] = {hex(0xff5252), hex(0xffa726), hex(0xffee58),
                           hex(0x66bb6a), hex(0x42a5f5), hex(0x7e57c2)};
    // Opaque bands that touch, so neither the sky nor a sun or cloud shows
    // through them as stripes.
    cairo_save(cr);
    cairo_set_line_width(cr, 10);
    for (int i = 0; i < 6; ++i) {
        setColor(cr, bands[i]);
        cairo_new_sub_path(cr);
        cairo_arc(cr, cx, cy, r - i * 9, pi, 2 * pi);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

const std::function<void(cairo_t*, Rng&, int)> kScenes[] = {
    meadow, seaside, mountains, garden, pond, autumn, night, undersea, winter};

// ---- boards ----------------------------------------------------------------

struct Board {
    int w, h;
    int pageX, pageY; // where the page paints it
    int labelTop;     // the character grid's first row on the page
    bool roundShape;  // plain rounded board; else scalloped edges
    Color frame, inside;
    const char* title; // shown between the rows, may be empty
};

void boardPath(cairo_t* cr, const Board& b) {
    if (b.roundShape) {
        roundedRect(cr, 0, 0, b.w, b.h, 26);
        return;
    }
    // Scalloped edges, like a picture frame with cloud borders.
    const double r = 14;
    cairo_new_sub_path(cr);
    const int nx = static_cast<int>(b.w / (2 * r)), ny = static_cast<int>(b.h / (2 * r));
    const double sx = b.w / static_cast<double>(nx), sy = b.h / static_cast<double>(ny);
    const double inset = r * 0.8;
    for (int i = 0; i < nx; ++i)
        cairo_arc(cr, sx * (i + 0.5), inset, sx / 2, pi, 2 * pi);
    for (int i = 0; i < ny; ++i)
        cairo_arc(cr, b.w - inset, sy * (i + 0.5), sy / 2, -pi / 2, pi / 2);
    for (int i = nx - 1; i >= 0; --i)
        cairo_arc(cr, sx * (i + 0.5), b.h - inset, sx / 2, 0, pi);
    for (int i = ny - 1; i >= 0; --i)
        cairo_arc(cr, inset, sy * (i + 0.5), sy / 2, pi / 2, 3 * pi / 2);
    cairo_close_path(cr);
}

// The mask: black where the board covers the page, white where the page's
// background shows through. Drawn without smoothing so the edge is exact.
void writeBoardMask(const fs::path& file, const Board& b) {
    Canvas c(b.w, b.h, white);
    cairo_t* cr = c.cr();
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    boardPath(cr, b);
    setColor(cr, black);
    cairo_fill(cr);
    c.saveJpeg(file, 98);
}

// The overlay image: the board where the mask is black and black elsewhere,
// so image XOR, mask AND, image XOR leaves the page untouched outside it.
void writeBoardImage(const fs::path& file, const Board& b, int seed) {
    Canvas c(b.w, b.h, black);
    cairo_t* cr = c.cr();
    cairo_save(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    boardPath(cr, b);
    cairo_restore(cr);
    cairo_clip(cr);
    setColor(cr, b.frame);
    cairo_paint(cr);
    linear(cr, 0, 0, b.w, b.h, {{0, lighter(b.frame, 0.35)}, {1, darker(b.frame, 0.2)}});
    cairo_paint_with_alpha(cr, 0.8);
    // The inner board, flat so the pointing hand's picture matches it.
    const double edge = b.roundShape ? 8 : 16;
    roundedRect(cr, edge, edge, b.w - 2 * edge, b.h - 2 * edge, 18);
    setColor(cr, b.inside);
    cairo_fill(cr);
    // Faint writing squares under each character.
    for (int row = 0; row < 2; ++row)
        for (int k = 0; k < 7; ++k) {
            const double cx = 15 + 86 * k + 36 - b.pageX;
            const double cy = b.labelTop + 180 * row + 41 - b.pageY;
            roundedRect(cr, cx - 36, cy - 36, 72, 72, 8);
            setColor(cr, withAlpha(white, 0.16));
            cairo_set_line_width(cr, 1.5);
            cairo_stroke(cr);
            setColor(cr, withAlpha(white, 0.07));
            const double dash[] = {4, 4};
            cairo_set_dash(cr, dash, 2, 0);
            cairo_move_to(cr, cx - 36, cy);
            cairo_line_to(cr, cx + 36, cy);
            cairo_move_to(cr, cx, cy - 36);
            cairo_line_to(cr, cx, cy + 36);
            cairo_stroke(cr);
            cairo_set_dash(cr, nullptr, 0, 0);
        }
    // Little stars in the lower corners, clear of the characters.
    Rng rng(static_cast<std::uint32_t>(seed));
    const double corner = b.roundShape ? 18 : 24;
    for (double x : {corner, b.w - corner})
        star(cr, x, b.h - corner, 9, hex(0xffeb3b), darker(b.frame, 0.4), rng.range(0, 1));
    if (b.title && *b.title) {
        TextStyle t;
        t.size = 20;
        t.fill = hex(0xfff59d);
        t.outline = darker(b.inside, 0.4);
        t.outlineWidth = 1.5;
        const double y = b.labelTop + 41 + 90 - b.pageY - 12; // above the second row's hand
        text(cr, b.title, b.w / 2.0, y, t);
    }
    c.saveJpeg(file, 98);
}

const Color kPointBoard = hex(0x1f4d3a);

// ---- small pictures ------------------------------------------------------------

void roundFace(cairo_t* cr, double size, Color c) {
    const double r = size / 2 - 1.5;
    cairo_arc(cr, size / 2, size / 2, r, 0, 2 * pi);
    radial(cr, size * 0.35, size * 0.3, size * 0.8, lighter(c, 0.55), c);
    cairo_fill_preserve(cr);
    setColor(cr, darker(c, 0.45));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
}

// A square tile the small buttons sit on, so their corners look intended
// on every background.
void tile(cairo_t* cr, double w, double h, Color c) {
    cairo_rectangle(cr, 0, 0, w, h);
    linear(cr, 0, 0, 0, h, {{0, lighter(c, 0.6)}, {1, lighter(c, 0.2)}});
    cairo_fill(cr);
    cairo_rectangle(cr, 0.75, 0.75, w - 1.5, h - 1.5);
    setColor(cr, darker(c, 0.35));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
}

void writeSoundButtons(const fs::path& pic) {
    for (int on = 0; on < 2; ++on) {
        Canvas c(31, 31);
        cairo_t* cr = c.cr();
        tile(cr, 31, 31, on ? hex(0x66bb6a) : hex(0xbdbdbd));
        roundFace(cr, 31, on ? hex(0x43a047) : hex(0x9e9e9e));
        speaker(cr, 14, 15.5, 20, white, on ? 2 : 0);
        if (!on) {
            setColor(cr, hex(0xe53935));
            cairo_set_line_width(cr, 2.5);
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            cairo_move_to(cr, 18, 11);
            cairo_line_to(cr, 25, 20);
            cairo_move_to(cr, 25, 11);
            cairo_line_to(cr, 18, 20);
            cairo_stroke(cr);
        }
        c.saveBmp(pic / (on ? "sound1.bmp" : "sound0.bmp"));
    }
}

void writeStartPause(const fs::path& pic) {
    for (int running = 0; running < 2; ++running) {
        Canvas c(67, 67);
        cairo_t* cr = c.cr();
        const Color col = running ? hex(0xffa726) : hex(0x43a047);
        tile(cr, 67, 67, hex(0xffe082));
        cairo_save(cr);
        cairo_translate(cr, 4, 2);
        roundFace(cr, 59, col);
        cairo_restore(cr);
        setColor(cr, white);
        if (running) {
            roundedRect(cr, 21, 14, 8, 26, 2);
            roundedRect(cr, 38, 14, 8, 26, 2);
            cairo_fill(cr);
        } else {
            cairo_move_to(cr, 26, 12);
            cairo_line_to(cr, 47, 27);
            cairo_line_to(cr, 26, 42);
            cairo_close_path(cr);
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
            cairo_set_line_width(cr, 3);
            cairo_stroke_preserve(cr);
            cairo_fill(cr);
        }
        TextStyle t;
        t.size = 15;
        t.fill = white;
        t.outline = darker(col, 0.5);
        t.outlineWidth = 1.6;
        text(cr, running ? "暂停" : "开始", 33.5, 51, t);
        c.saveBmp(pic / (running ? "pause.bmp" : "start.bmp"));
    }
}

void writeScorePanel(const fs::path& pic) {
    Canvas c(127, 89);
    cairo_t* cr = c.cr();
    tile(cr, 127, 89, hex(0x4fc3f7));
    PanelStyle st;
    st.top = hex(0xfffde7);
    st.bottom = hex(0xfff59d);
    st.border = hex(0x0277bd);
    st.radius = 8;
    st.shadow = false;
    st.gloss = false;
    st.borderWidth = 2;
    panel(cr, 3, 3, 121, 83, st);
    // Rows line up with the value labels the page places at 406, 423, 440, 457.
    const char* names[] = {"答对", "答错", "没答", "正确率"};
    const Color colors[] = {hex(0x2e7d32), hex(0xc62828), hex(0x6d4c41), hex(0x1565c0)};
    for (int i = 0; i < 4; ++i) {
        const double cy = 14 + 17 * i + 8;
        TextStyle t;
        t.size = i == 3 ? 14 : 15;
        t.fill = colors[i];
        t.outline = colors[i];
        t.outlineWidth = 0.4;
        textLeft(cr, names[i], 8, cy, t);
        text(cr, "：", 62, cy, t);
        cairo_move_to(cr, 69, cy + 7.5);
        cairo_line_to(cr, 120, cy + 7.5);
        setColor(cr, withAlpha(colors[i], 0.3));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    c.saveBmp(pic / "score.bmp");
}

void writeArrowStrip(const fs::path& pic) {
    // Previous-verse button over x 0..40, next over 89..129 (the page's
    // click areas at 255 and 344), the verse number between them.
    Canvas c(131, 34);
    cairo_t* cr = c.cr();
    tile(cr, 131, 34, hex(0xffcc80));
    for (int right = 0; right < 2; ++right) {
        const double x = right ? 89 : 0;
        PanelStyle st;
        st.top = hex(0x81d4fa);
        st.bottom = hex(0x0288d1);
        st.border = hex(0x01579b);
        st.radius = 8;
        st.shadow = false;
        st.borderWidth = 2;
        panel(cr, x + 2, 2, 38, 29, st);
        arrow(cr, x + 21, 16.5, 22, right ? Dir::Right : Dir::Left, white, hex(0x01579b));
    }
    roundedRect(cr, 46, 3, 39, 28, 6);
    setColor(cr, white);
    cairo_fill_preserve(cr);
    setColor(cr, hex(0xe65100));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    c.saveBmp(pic / "arrows.bmp");
}

// Seven-segment digits, so they read at 7 x 10 pixels.
void writeDigitStrip(const fs::path& pic) {
    Canvas c(77, 10, hex(0x102040));
    cairo_t* cr = c.cr();
    static const int segs[10] = {0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d, 0x7d, 0x07, 0x7f, 0x6f};
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    setColor(cr, hex(0xffe66d));
    for (int d = 0; d < 10; ++d) {
        const int x = 7 * d + 1;
        auto h = [&](int y) { cairo_rectangle(cr, x + 1, y, 3, 1); };
        auto v = [&](int xx, int y) { cairo_rectangle(cr, xx, y, 1, 3); };
        const int s = segs[d];
        if (s & 0x01)
            h(1);
        if (s & 0x02)
            v(x + 4, 2);
        if (s & 0x04)
            v(x + 4, 5);
        if (s & 0x08)
            h(8);
        if (s & 0x10)
            v(x, 5);
        if (s & 0x20)
            v(x, 2);
        if (s & 0x40)
            h(4);
        cairo_fill(cr);
        // Fill the corners so the digits look solid rather than dotted.
        auto dot = [&](int xx, int y) { cairo_rectangle(cr, xx, y, 1, 1); };
        if ((s & 0x21) == 0x21)
            dot(x, 1);
        if ((s & 0x03) == 0x03)
            dot(x + 4, 1);
        if ((s & 0x18) == 0x18)
            dot(x, 8);
        if ((s & 0x0c) == 0x0c)
            dot(x + 4, 8);
        if ((s & 0x70) && (s & 0x40))
            dot(x, 4), dot(x + 4, 4);
        cairo_fill(cr);
    }
    c.saveBmp(pic / "number.bmp");
}

void writeHands(const fs::path& pic) {
    {
        Canvas drawing(41, 48, Color{0, 0, 0, 0});
        hand(drawing.cr(), 20.5, 24, 47, 0);
        writeMaskedPair(drawing, pic / "hand.bmp", pic / "hand_m.bmp");
    }
    {
        // The pointing page shows its hand as a plain picture over the board.
        Canvas c(41, 48, kPointBoard);
        hand(c.cr(), 20.5, 24, 47, 0);
        c.saveBmp(pic / "hand_p.bmp");
    }
}

void writeNewWordsButton(const fs::path& pic) {
    Canvas c(47, 47);
    cairo_t* cr = c.cr();
    tile(cr, 47, 47, hex(0xf48fb1));
    roundFace(cr, 47, hex(0xec407a));
    card(cr, 18, 19, 20, "字", hex(0xad1457));
    card(cr, 29, 23, 20, "新", hex(0x6a1b9a));
    TextStyle t;
    t.size = 11;
    t.fill = white;
    t.outline = hex(0x880e4f);
    t.outlineWidth = 1.3;
    text(cr, "换一组", 23.5, 39, t);
    c.saveBmp(pic / "newword.bmp");
}

} // namespace

int writeBackgrounds(const fs::path& pic) {
    for (int i = 0; i < kBackgrounds; ++i) {
        Canvas c(640, 480);
        Rng rng(static_cast<std::uint32_t>(100 + i));
        const int scenes = static_cast<int>(std::size(kScenes));
        const int scene = i % scenes, variant = (i / scenes) % 3;
        cairo_t* cr = c.cr();
        // Later rounds mirror the scene and change the light, so no two
        // pictures look alike.
        cairo_save(cr);
        if (variant == 1) {
            cairo_translate(cr, 640, 0);
            cairo_scale(cr, -1, 1);
        }
        kScenes[scene](cr, rng, variant);
        cairo_restore(cr);
        const bool daylight = scene != 6 && scene != 7; // night and under the sea
        if (daylight && variant == 1)
            kite(cr, 470, 38, 34, hex(0xef5350));
        if (daylight && variant == 2)
            rainbow(cr, 120, 130, 150);
        if (daylight && variant > 0) {
            const Color light = variant == 1 ? hex(0xffb74d) : hex(0xf48fb1);
            cairo_save(cr);
            cairo_set_operator(cr, CAIRO_OPERATOR_SOFT_LIGHT);
            linear(cr, 0, 0, 0, 480,
                   {{0, withAlpha(light, 0.7)},
                    {0.7, withAlpha(light, 0.3)},
                    {1, withAlpha(light, 0)}});
            cairo_paint(cr);
            cairo_restore(cr);
        }
        char name[32];
        std::snprintf(name, sizeof name, "bg_A%03d.jpg", i + 1);
        c.saveJpeg(pic / name, 90);
    }
    return kBackgrounds;
}

void writePagePictures(const fs::path& pic) {
    // Recital page and listening test share the mask "border.jpg".
    Board recital{610, 338, 5, 58, 65, true, hex(0xb07030), hex(0x1f4d3a), "跟我读"};
    Board test{610, 338, 7, 49, 53, true, hex(0xf9a825), hex(0x1a3a6b), "听音找字"};
    writeBoardMask(pic / "border.jpg", recital);
    writeBoardImage(pic / "border_m1.jpg", recital, 1);
    writeBoardImage(pic / "border_m.jpg", test, 2);

    static const char* modes[] = {"顺序指读", "隔字指读", "倒序指读", "倒序隔读", "随机指读"};
    static const std::uint32_t frames[] = {0x42a5f5, 0x26c6da, 0x7e57c2, 0xab47bc, 0xef6c00};
    for (int m = 0; m < 5; ++m) {
        Board b{616, 362, 1, 30, 85, true, hex(frames[m]), kPointBoard, modes[m]};
        if (m == 0)
            writeBoardMask(pic / "b&n.jpg", b);
        writeBoardImage(pic / ("b&n_m" + std::to_string(m + 1) + ".jpg"), b, 10 + m);
    }
    Board review{616, 362, 1, 30, 85, false, hex(0xec407a), hex(0x4a1942), "温故知新"};
    writeBoardMask(pic / "b&n1.jpg", review);
    writeBoardImage(pic / "b&n_m0.jpg", review, 20);

    writeHands(pic);
    writeSoundButtons(pic);
    writeStartPause(pic);
    writeScorePanel(pic);
    writeArrowStrip(pic);
    writeDigitStrip(pic);
    writeNewWordsButton(pic);
}

void writePointers(const fs::path& pic) {
    // The pointing hand: its fingertip is the hot spot at (6, 0).
    auto pointing = [] {
        Canvas c(32, 32, Color{0, 0, 0, 0});
        cairo_t* cr = c.cr();
        cairo_translate(cr, 6, 0.5);
        cairo_rotate(cr, -0.3);
        const double s = 31, u = s / 48;
        hand(cr, 1.5 * u, 23 * u, s, 0);
        return c;
    };
    pointing().saveCur(pic / "page.cur", 6, 0);
    pointing().saveCur(pic / "menu.cur", 6, 0);
    pointing().saveCur(pic / "hub.cur", 6, 0);
    pointing().saveCur(pic / "H_point.cur", 6, 0);
    {
        // Moving a block: a four-way arrow around a small hand.
        Canvas c(32, 32, Color{0, 0, 0, 0});
        cairo_t* cr = c.cr();
        for (Dir d : {Dir::Up, Dir::Down, Dir::Left, Dir::Right}) {
            const double dx = d == Dir::Left ? -10 : d == Dir::Right ? 10 : 0;
            const double dy = d == Dir::Up ? -10 : d == Dir::Down ? 10 : 0;
            arrow(cr, 16 + dx, 16 + dy, 12, d, hex(0xffeb3b), hex(0x5d4037));
        }
        cairo_arc(cr, 16, 16, 5, 0, 2 * pi);
        setColor(cr, hex(0xffd9b0));
        cairo_fill_preserve(cr);
        setColor(cr, hex(0x8a4b1c));
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
        c.saveCur(pic / "H_move.cur", 16, 16);
    }
}

} // namespace mediagen::pictures
