#include "game02.h"

#include "kit.h"
#include "layout.h"
#include "pictures.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace mediagen {

using namespace kit;
namespace palette = pictures::palette;

namespace {

constexpr double pi = 3.14159265358979323846;

// The play area on the screen; the game paints its pictures there.
const Rect area{8, 6, 585, 469};
// The digit windows around the game's read-outs (level digit at 618, 348;
// score and best score as three 7 x 10 digits from x = 611 at y = 404, 459).
const Rect levelWindow{614, 344, 15, 18};
const Rect scoreWindow{607, 400, 29, 18};
const Rect bestWindow{607, 455, 29, 18};
const Color digitBack = hex(0x102040); // the digit strip's own background

const Color skyTop = hex(0x0d1b4a);
const Color skyLow = hex(0x3a5ba8);

enum Icon { HelpIcon, StartIcon, ScopeIcon, UpIcon, DownIcon, BackIcon };

struct Button {
    Rect r;
    const char* name; // for the layout file's readers
    Color color;
    Icon icon;
};

// By the index the game gives them: help, start, scope, next level,
// previous level, back. Captions would be lost on a child who cannot read
// yet, so every button carries a picture only.
const std::array<Button, 6>& buttons() {
    static const std::array<Button, 6> b = {{
        {{601, 8, 36, 38}, "帮助", hex(0x42a5f5), HelpIcon},
        {{601, 51, 36, 46}, "开始", hex(0x43a047), StartIcon},
        {{601, 102, 36, 38}, "选字范围", hex(0xab47bc), ScopeIcon},
        {{601, 150, 36, 38}, "下一关", hex(0xffa726), UpIcon},
        {{601, 193, 36, 38}, "上一关", hex(0xffa726), DownIcon},
        {{601, 241, 36, 38}, "返回", hex(0xef5350), BackIcon},
    }};
    return b;
}

std::string layoutFile() {
    std::vector<NamedRect> named;
    for (const Button& b : buttons())
        named.push_back({b.r, b.name});
    return gameButtonsFile(named);
}

void disc(cairo_t* cr, double cx, double cy, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * pi);
}

// ---- the sprites ------------------------------------------------------------------

// A ball of fire around the character square: tongues of flame of random
// length, so that five frames shown at random flicker.
void drawFlame(cairo_t* cr, double cx, double cy, int frame) {
    Rng rng(200 + frame);
    const int tongues = 13;
    const double turn = rng.range(0, 2 * pi / tongues);
    for (int layer = 0; layer < 2; ++layer) {
        for (int k = 0; k < tongues; ++k) {
            const double a = turn + k * 2 * pi / tongues + rng.range(-0.12, 0.12) + layer * 0.24;
            const double len = layer == 0 ? rng.range(26, 34) : rng.range(21, 26);
            const double w = rng.range(0.2, 0.28);
            const double tipA = a + rng.range(-0.18, 0.18);
            cairo_move_to(cr, cx + 16 * std::cos(a - w), cy + 16 * std::sin(a - w));
            cairo_curve_to(cr, cx + 24 * std::cos(a - w * 0.8), cy + 24 * std::sin(a - w * 0.8),
                           cx + (len - 4) * std::cos(tipA - 0.08),
                           cy + (len - 4) * std::sin(tipA - 0.08), cx + len * std::cos(tipA),
                           cy + len * std::sin(tipA));
            cairo_curve_to(cr, cx + (len - 4) * std::cos(tipA + 0.08),
                           cy + (len - 4) * std::sin(tipA + 0.08), cx + 24 * std::cos(a + w * 0.8),
                           cy + 24 * std::sin(a + w * 0.8), cx + 16 * std::cos(a + w),
                           cy + 16 * std::sin(a + w));
            cairo_close_path(cr);
        }
        cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 12, cx, cy, 34);
        if (layer == 0) {
            cairo_pattern_add_color_stop_rgb(p, 0, 1, 0.85, 0.2);
            cairo_pattern_add_color_stop_rgb(p, 0.5, 1, 0.45, 0.05);
            cairo_pattern_add_color_stop_rgb(p, 1, 0.85, 0.12, 0.05);
        } else {
            cairo_pattern_add_color_stop_rgb(p, 0, 1, 1, 0.6);
            cairo_pattern_add_color_stop_rgb(p, 1, 1, 0.7, 0.1);
        }
        cairo_set_source(cr, p);
        cairo_fill(cr);
        cairo_pattern_destroy(p);
    }
    // The glowing core the character square sits in.
    disc(cr, cx, cy, 21);
    radial(cr, cx, cy, 21, hex(0xfffde0), hex(0xffb300));
    cairo_fill(cr);
}

// The cart with its wheels turned by a quarter of a spoke per frame, so the
// four frames roll it along.
void drawCart(cairo_t* cr, double x, double y, int frame) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    // The basket: open at the top, where the characters fall in.
    cairo_move_to(cr, 1, 1);
    cairo_line_to(cr, 79, 1);
    cairo_line_to(cr, 73, 29);
    cairo_line_to(cr, 7, 29);
    cairo_close_path(cr);
    linear(cr, 0, 0, 0, 30, {{0, hex(0xff7043)}, {1, hex(0xc62828)}});
    cairo_fill_preserve(cr);
    setColor(cr, hex(0x7f1010));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    // A yellow band and a star on the side.
    cairo_rectangle(cr, 5, 11, 70, 5);
    setColor(cr, hex(0xffd54f));
    cairo_fill(cr);
    star(cr, 40, 20, 6.5, hex(0xfff176), hex(0xf57f17));
    for (int w = 0; w < 2; ++w) {
        const double cx = w == 0 ? 19 : 61, cy = 31;
        disc(cr, cx, cy, 8.5);
        setColor(cr, hex(0x263238));
        cairo_fill(cr);
        disc(cr, cx, cy, 6);
        setColor(cr, hex(0xb0bec5));
        cairo_fill(cr);
        cairo_set_line_width(cr, 2);
        setColor(cr, hex(0x37474f));
        for (int s = 0; s < 4; ++s) {
            const double a = frame * pi / 8 + s * pi / 2;
            cairo_move_to(cr, cx, cy);
            cairo_line_to(cr, cx + 6 * std::cos(a), cy + 6 * std::sin(a));
        }
        cairo_stroke(cr);
        disc(cr, cx, cy, 1.8);
        setColor(cr, hex(0xffd54f));
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

// The rim the game stretches over the cart's width.
void drawRail(cairo_t* cr, double w) {
    cairo_rectangle(cr, 0, 0, w, 8);
    linear(cr, 0, 0, 0, 8, {{0, hex(0xfff59d)}, {0.5, hex(0xffc107)}, {1, hex(0xb26a00)}});
    cairo_fill(cr);
    setColor(cr, hex(0x8d5000));
    for (double x = 6; x < w; x += 14) {
        disc(cr, x, 4, 1.3);
        cairo_fill(cr);
    }
}

void drawGun(cairo_t* cr, double x, double y) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    roundedRect(cr, 1, 7, 14, 5, 2);
    setColor(cr, hex(0x455a64));
    cairo_fill(cr);
    cairo_rectangle(cr, 5, 0, 6, 8);
    linear(cr, 5, 0, 11, 0, {{0, hex(0x90a4ae)}, {0.5, hex(0xeceff1)}, {1, hex(0x607d8b)}});
    cairo_fill(cr);
    cairo_rectangle(cr, 4, 0, 8, 2);
    setColor(cr, hex(0x37474f));
    cairo_fill(cr);
    cairo_restore(cr);
}

// A rocket nose up; the two frames differ by the flame under it.
void drawRocket(cairo_t* cr, double x, double y, int frame) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    // Fins.
    cairo_move_to(cr, 0, 21);
    cairo_line_to(cr, 2.5, 14);
    cairo_line_to(cr, 7.5, 14);
    cairo_line_to(cr, 10, 21);
    cairo_close_path(cr);
    setColor(cr, hex(0x1e88e5));
    cairo_fill(cr);
    // Body and nose.
    cairo_move_to(cr, 5, 0);
    cairo_curve_to(cr, 8.5, 3, 8, 8, 8, 10);
    cairo_line_to(cr, 8, 20);
    cairo_line_to(cr, 2, 20);
    cairo_line_to(cr, 2, 10);
    cairo_curve_to(cr, 2, 8, 1.5, 3, 5, 0);
    cairo_close_path(cr);
    linear(cr, 2, 0, 8, 0, {{0, hex(0xcfd8dc)}, {0.5, white}, {1, hex(0x90a4ae)}});
    cairo_fill(cr);
    cairo_move_to(cr, 5, 0);
    cairo_curve_to(cr, 8.5, 3, 8, 6, 8, 7);
    cairo_line_to(cr, 2, 7);
    cairo_curve_to(cr, 2, 6, 1.5, 3, 5, 0);
    setColor(cr, hex(0xe53935));
    cairo_fill(cr);
    // The flame.
    const double len = frame == 0 ? 6 : 9.5;
    cairo_move_to(cr, 2.5, 20);
    cairo_curve_to(cr, 2.5, 23, 4, 20 + len * 0.8, 5, 20 + len);
    cairo_curve_to(cr, 6, 20 + len * 0.8, 7.5, 23, 7.5, 20);
    cairo_close_path(cr);
    linear(cr, 0, 20, 0, 20 + len, {{0, hex(0xfff59d)}, {1, hex(0xff6f00)}});
    cairo_fill(cr);
    cairo_restore(cr);
}

// A character in its square inside the flame, as the game shows a ball.
void drawBallPicture(cairo_t* cr, double cx, double cy, const std::string& glyph, int frame) {
    drawFlame(cr, cx, cy, frame);
    cairo_rectangle(cr, cx - 14.5, cy - 14.5, 29, 29);
    setColor(cr, white);
    cairo_fill(cr);
    TextStyle t;
    t.size = 27;
    t.fill = hex(0x1a1a1a);
    t.outline = hex(0x1a1a1a);
    t.outlineWidth = 0.35;
    text(cr, glyph, cx, cy + 0.5, t);
}

void writeSprites(const fs::path& pics) {
    {
        Canvas c(5 * 70, 70, Color{0, 0, 0, 0});
        for (int f = 0; f < 5; ++f)
            drawFlame(c.cr(), 70 * f + 35, 35, f);
        writeMaskedPair(c, pics / "fireB.bmp", pics / "fireB_m.bmp");
    }
    {
        Canvas c(4 * 80, 40, Color{0, 0, 0, 0});
        for (int f = 0; f < 4; ++f)
            drawCart(c.cr(), 80 * f, 0, f);
        writeMaskedPair(c, pics / "circle.bmp", pics / "circle_m.bmp");
    }
    {
        Canvas c(160, 8);
        drawRail(c.cr(), 160);
        c.saveBmp(pics / "Line.bmp");
    }
    {
        Canvas c(16, 12, Color{0, 0, 0, 0});
        drawGun(c.cr(), 0, 0);
        writeMaskedPair(c, pics / "gun.bmp", pics / "gun_m.bmp");
    }
    {
        Canvas c(2 * 10, 30, Color{0, 0, 0, 0});
        for (int f = 0; f < 2; ++f)
            drawRocket(c.cr(), 10 * f, 0, f);
        writeMaskedPair(c, pics / "bomb.bmp", pics / "bomb_m.bmp");
    }
}

// ---- the play area ----------------------------------------------------------------

// A night sky over hills, and the track the cart runs on along the bottom.
void drawPlayArea(cairo_t* cr, double x, double y) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rectangle(cr, 0, 0, 585, 469);
    cairo_clip(cr);
    linear(cr, 0, 0, 0, 469, {{0, skyTop}, {0.75, skyLow}, {1, hex(0x5b7fc4)}});
    cairo_paint(cr);
    Rng rng(77);
    for (int k = 0; k < 120; ++k) {
        disc(cr, rng.range(0, 585), rng.range(0, 380), rng.range(0.5, 1.4));
        setColor(cr, withAlpha(white, rng.range(0.3, 0.9)));
        cairo_fill(cr);
    }
    for (int k = 0; k < 9; ++k)
        star(cr, rng.range(20, 565), rng.range(15, 330), rng.range(3, 6),
             withAlpha(hex(0xfff59d), 0.8), withAlpha(hex(0xffca28), 0.6), rng.range(0, pi));
    moon(cr, 520, 62, 26);
    // Hills, far and near.
    cairo_move_to(cr, 0, 469);
    cairo_line_to(cr, 0, 392);
    cairo_curve_to(cr, 90, 350, 170, 356, 250, 388);
    cairo_curve_to(cr, 330, 360, 430, 342, 585, 380);
    cairo_line_to(cr, 585, 469);
    cairo_close_path(cr);
    setColor(cr, hex(0x24456e));
    cairo_fill(cr);
    cairo_move_to(cr, 0, 469);
    cairo_line_to(cr, 0, 412);
    cairo_curve_to(cr, 120, 392, 260, 402, 340, 414);
    cairo_curve_to(cr, 430, 400, 520, 396, 585, 408);
    cairo_line_to(cr, 585, 469);
    cairo_close_path(cr);
    setColor(cr, hex(0x2e6b3f));
    cairo_fill(cr);
    // The track under the wheels.
    cairo_rectangle(cr, 0, 462, 585, 7);
    setColor(cr, hex(0x4e342e));
    cairo_fill(cr);
    cairo_rectangle(cr, 0, 461, 585, 2);
    setColor(cr, hex(0xbcaaa4));
    cairo_fill(cr);
    cairo_restore(cr);
}

// ---- the instructions -------------------------------------------------------------

void key(cairo_t* cr, double x, double y, double w, double h) {
    roundedRect(cr, x + 1.5, y + 3, w, h, 6);
    setColor(cr, hex(0x546e7a));
    cairo_fill(cr);
    roundedRect(cr, x, y, w, h, 6);
    linear(cr, 0, y, 0, y + h, {{0, white}, {1, hex(0xcfd8dc)}});
    cairo_fill_preserve(cr);
    setColor(cr, hex(0x455a64));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
}

void tick(cairo_t* cr, double cx, double cy, double s, Color c) {
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_move_to(cr, cx - s * 0.45, cy);
    cairo_line_to(cr, cx - s * 0.1, cy + s * 0.35);
    cairo_line_to(cr, cx + s * 0.5, cy - s * 0.4);
    setColor(cr, white);
    cairo_set_line_width(cr, s * 0.34);
    cairo_stroke_preserve(cr);
    setColor(cr, c);
    cairo_set_line_width(cr, s * 0.2);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void burst(cairo_t* cr, double cx, double cy, double r) {
    cairo_new_path(cr);
    for (int i = 0; i < 16; ++i) {
        const double a = i * pi / 8;
        const double rr = i % 2 == 0 ? r : r * 0.5;
        cairo_line_to(cr, cx + rr * std::cos(a), cy + rr * std::sin(a));
    }
    cairo_close_path(cr);
    setColor(cr, hex(0xfff176));
    cairo_fill_preserve(cr);
    setColor(cr, hex(0xff6f00));
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
}

void storyPanel(cairo_t* cr, const Rect& r, int number, const char* caption) {
    PanelStyle st;
    st.top = withAlpha(hex(0xfffbe8), 0.93);
    st.bottom = withAlpha(hex(0xffe9a8), 0.93);
    st.radius = 16;
    panel(cr, r.x, r.y, r.w, r.h, st);
    disc(cr, r.x + 20, r.y + 20, 14);
    setColor(cr, palette::orange);
    cairo_fill(cr);
    TextStyle n;
    n.size = 22;
    n.family = kSans;
    n.fill = white;
    text(cr, std::to_string(number), r.x + 20, r.y + 20, n);
    TextStyle t;
    t.size = 21;
    t.fill = palette::brown;
    text(cr, caption, r.x + r.w / 2.0, r.bottom() - 18, t);
}

// Four pictures tell the game: listen to the character; the arrow keys move
// the cart; the space bar fires; catch what you heard and shoot the rest.
void drawInstructions(cairo_t* cr) {
    drawPlayArea(cr, 0, 0);
    TextStyle title;
    title.size = 34;
    title.fill = hex(0xffeb3b);
    title.outline = hex(0xbf360c);
    title.outlineWidth = 4;
    text(cr, "接字射字", 292, 30, title);
    const Rect p1{14, 56, 272, 196}, p2{299, 56, 272, 196}, p3{14, 262, 272, 196},
        p4{299, 262, 272, 196};

    storyPanel(cr, p1, 1, "听");
    speaker(cr, p1.x + 70, p1.y + 88, 76, hex(0x42a5f5), 3);
    drawBallPicture(cr, p1.x + 192, p1.y + 88, "花", 0);

    storyPanel(cr, p2, 2, "左右移动");
    cairo_save(cr);
    cairo_translate(cr, p2.x + 96, p2.y + 58);
    cairo_rectangle(cr, 0, 0, 80, 8);
    cairo_clip(cr);
    drawRail(cr, 80);
    cairo_restore(cr);
    drawCart(cr, p2.x + 96, p2.y + 66, 1);
    arrow(cr, p2.x + 62, p2.y + 84, 34, Dir::Left, hex(0xffa726), hex(0xb26a00));
    arrow(cr, p2.x + 210, p2.y + 84, 34, Dir::Right, hex(0xffa726), hex(0xb26a00));
    key(cr, p2.x + 80, p2.y + 124, 46, 40);
    key(cr, p2.x + 146, p2.y + 124, 46, 40);
    arrow(cr, p2.x + 103, p2.y + 144, 26, Dir::Left, hex(0x546e7a), hex(0x263238));
    arrow(cr, p2.x + 169, p2.y + 144, 26, Dir::Right, hex(0x546e7a), hex(0x263238));

    storyPanel(cr, p3, 3, "空格键发射");
    drawBallPicture(cr, p3.x + 136, p3.y + 40, "鸟", 2);
    drawRocket(cr, p3.x + 131, p3.y + 74, 1);
    drawGun(cr, p3.x + 128, p3.y + 106);
    cairo_save(cr);
    cairo_translate(cr, p3.x + 96, p3.y + 118);
    drawRail(cr, 80);
    cairo_restore(cr);
    drawCart(cr, p3.x + 96, p3.y + 126, 2);
    key(cr, p3.x + 186, p3.y + 122, 76, 32);
    TextStyle k;
    k.size = 15;
    k.fill = hex(0x37474f);
    text(cr, "空格", p3.x + 224, p3.y + 138, k);

    storyPanel(cr, p4, 4, "听到的接住 别的打掉");
    // Left: the character heard falls into the cart.
    drawBallPicture(cr, p4.x + 70, p4.y + 56, "花", 3);
    cairo_save(cr);
    cairo_translate(cr, p4.x + 30, p4.y + 120);
    drawRail(cr, 80);
    cairo_restore(cr);
    drawCart(cr, p4.x + 30, p4.y + 128, 0);
    arrow(cr, p4.x + 70, p4.y + 100, 18, Dir::Down, hex(0x66bb6a), hex(0x1b5e20));
    tick(cr, p4.x + 122, p4.y + 104, 26, hex(0x2e7d32));
    // Right: any other character is shot.
    drawBallPicture(cr, p4.x + 200, p4.y + 56, "鸟", 4);
    burst(cr, p4.x + 200, p4.y + 88, 14);
    drawRocket(cr, p4.x + 195, p4.y + 100, 0);
    drawGun(cr, p4.x + 192, p4.y + 134);
    tick(cr, p4.x + 246, p4.y + 104, 26, hex(0x2e7d32));
}

// ---- the screen ---------------------------------------------------------------------

void booksIcon(cairo_t* cr, double cx, double cy, int count) {
    if (count == 1) {
        book(cr, cx, cy, 26, hex(0xffca28));
        return;
    }
    book(cr, cx - 4, cy - 6, 18, hex(0x4fc3f7));
    book(cr, cx + 5, cy - 2, 18, hex(0xaed581));
    book(cr, cx - 1, cy + 6, 20, hex(0xffca28));
}

void drawIcon(cairo_t* cr, const Button& b, int scope) {
    const double cx = b.r.x + b.r.w / 2.0, cy = b.r.y + b.r.h / 2.0;
    switch (b.icon) {
    case HelpIcon: {
        TextStyle t;
        t.size = 28;
        t.family = kSans;
        t.fill = white;
        t.outline = darker(b.color, 0.5);
        t.outlineWidth = 3;
        text(cr, "?", cx, cy, t);
        break;
    }
    case StartIcon:
        cairo_move_to(cr, cx - 7, cy - 12);
        cairo_line_to(cr, cx + 12, cy);
        cairo_line_to(cr, cx - 7, cy + 12);
        cairo_close_path(cr);
        setColor(cr, white);
        cairo_fill_preserve(cr);
        setColor(cr, darker(b.color, 0.5));
        cairo_set_line_width(cr, 2);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
        break;
    case ScopeIcon:
        booksIcon(cr, cx, cy, scope == 2 ? 1 : 3);
        break;
    case UpIcon:
    case DownIcon:
        arrow(cr, cx, cy, 26, b.icon == UpIcon ? Dir::Up : Dir::Down, white, darker(b.color, 0.5));
        break;
    case BackIcon:
        arrow(cr, cx, cy, 26, Dir::Left, white, darker(b.color, 0.5));
        break;
    }
}

void drawButton(cairo_t* cr, const Button& b, bool lit, int scope) {
    panel(cr, b.r.x + 1, b.r.y + 1, b.r.w - 2, b.r.h - 2, buttonStyle(b.color, lit, 2, 9));
    drawIcon(cr, b, scope);
    if (lit)
        star(cr, b.r.x + 7, b.r.y + 7, 4, hex(0xfff59d), hex(0xffa000));
}

void digitWindow(cairo_t* cr, const Rect& r) {
    roundedRect(cr, r.x - 2, r.y - 2, r.w + 4, r.h + 4, 5);
    setColor(cr, palette::orange);
    cairo_fill(cr);
    roundedRect(cr, r.x, r.y, r.w, r.h, 3);
    setColor(cr, digitBack);
    cairo_fill(cr);
}

// Three steps with a flag on top: the level.
void stepsIcon(cairo_t* cr, double cx, double cy) {
    for (int i = 0; i < 3; ++i) {
        cairo_rectangle(cr, cx - 13 + 8 * i, cy + 10 - 7 * (i + 1), 8, 7 * (i + 1));
        setColor(cr, i == 2 ? hex(0xffa726) : lighter(hex(0xffa726), 0.3 * (2 - i)));
        cairo_fill_preserve(cr);
        setColor(cr, hex(0xb26a00));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    cairo_move_to(cr, cx + 7, cy - 11);
    cairo_line_to(cr, cx + 7, cy - 25);
    setColor(cr, palette::brown);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    cairo_move_to(cr, cx + 7, cy - 25);
    cairo_line_to(cr, cx + 16, cy - 21);
    cairo_line_to(cr, cx + 7, cy - 17);
    setColor(cr, palette::red);
    cairo_fill(cr);
}

// A gold cup: the best score.
void cupIcon(cairo_t* cr, double cx, double cy) {
    cairo_move_to(cr, cx - 9, cy - 9);
    cairo_line_to(cr, cx + 9, cy - 9);
    cairo_curve_to(cr, cx + 9, cy + 2, cx + 4, cy + 5, cx, cy + 5);
    cairo_curve_to(cr, cx - 4, cy + 5, cx - 9, cy + 2, cx - 9, cy - 9);
    cairo_close_path(cr);
    linear(cr, cx - 9, 0, cx + 9, 0,
           {{0, hex(0xffe082)}, {0.5, hex(0xfff8e1)}, {1, hex(0xffb300)}});
    cairo_fill_preserve(cr);
    setColor(cr, hex(0xb26a00));
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    for (int side = -1; side <= 1; side += 2) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, cx + side * 9, cy - 4, 3.5, side < 0 ? pi / 2 : -pi / 2,
                  side < 0 ? 3 * pi / 2 : pi / 2);
        cairo_stroke(cr);
    }
    cairo_rectangle(cr, cx - 1.5, cy + 5, 3, 4);
    cairo_rectangle(cr, cx - 6, cy + 9, 12, 3);
    setColor(cr, hex(0xffb300));
    cairo_fill(cr);
}

// The whole screen, with button `lit` (or none) highlighted and the scope
// button in the look of `scope`.
void drawScreen(cairo_t* cr, int lit, int scope) {
    linear(cr, 0, 0, 0, 480, {{0, palette::sky}, {0.6, palette::skyLow}, {1, palette::grass}});
    cairo_paint(cr);
    PanelStyle frame;
    frame.top = hex(0xc98b4e);
    frame.bottom = hex(0x8d5524);
    frame.border = palette::brown;
    frame.radius = 8;
    frame.shadow = false;
    panel(cr, area.x - 6, area.y - 5, area.w + 12, area.h + 10, frame);
    drawPlayArea(cr, area.x, area.y);
    PanelStyle side;
    side.radius = 10;
    side.shadow = false;
    side.borderWidth = 2;
    panel(cr, 599, 286, 40, 192, side);
    for (int i = 0; i < 6; ++i)
        drawButton(cr, buttons()[std::size_t(i)], i == lit, scope);
    stepsIcon(cr, 619, 326);
    digitWindow(cr, levelWindow);
    star(cr, 619, 386, 10, hex(0xffeb3b), hex(0xf57f17));
    digitWindow(cr, scoreWindow);
    cupIcon(cr, 621, 439);
    digitWindow(cr, bestWindow);
}

void crop(const Canvas& screen, const Rect& r, const fs::path& file) {
    Canvas b(r.w, r.h);
    b.paint(screen, -r.x, -r.y);
    b.saveBmp(file);
}

} // namespace

void writeGame02(const fs::path& appDir) {
    const fs::path game = appDir / "game" / "Game02";
    const fs::path data = game / "data";
    const fs::path pics = game / "pics";
    for (const fs::path& d : {data, pics})
        fs::create_directories(d);
    writeFile(data / "pos_size.txt", layoutFile());
    // No best scores yet; the game rewrites the file when one is beaten.
    writeFile(data / "data.txt", zeroBestScoresFile(3));

    {
        Canvas bg(640, 480);
        drawScreen(bg.cr(), -1, 2);
        bg.saveJpeg(pics / "bg.jpg", 92);
    }
    for (int i = 0; i < 6; ++i) {
        const Rect& r = buttons()[std::size_t(i)].r;
        for (int lit = 0; lit < 2; ++lit) {
            Canvas screen(640, 480);
            drawScreen(screen.cr(), lit ? i : -1, 2);
            const std::string name = "butn" + std::to_string(i + 1) + (lit ? "" : "S") + ".bmp";
            crop(screen, r, pics / name);
        }
    }
    for (int scope = 1; scope <= 2; ++scope)
        for (int lit = 0; lit < 2; ++lit) {
            Canvas screen(640, 480);
            drawScreen(screen.cr(), lit ? 2 : -1, scope);
            const std::string name = "butn3_" + std::to_string(scope) + (lit ? "" : "S") + ".bmp";
            crop(screen, buttons()[2].r, pics / name);
        }
    {
        Canvas c(area.w, area.h);
        drawPlayArea(c.cr(), 0, 0);
        c.saveJpeg(pics / "area0806.jpg", 92);
    }
    {
        Canvas c(area.w, area.h);
        drawInstructions(c.cr());
        c.saveJpeg(pics / "yxsm.jpg", 92);
    }
    writeSprites(pics);
}

} // namespace mediagen
