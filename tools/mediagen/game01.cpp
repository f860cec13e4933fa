#include "game01.h"

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

// The board's own colour: also what the game paints when its board picture
// is missing, so keep the two alike.
const Color boardBase = hex(0x16465c);

struct Button {
    Rect r;
    const char* caption;
    Color color;
};

// By the index the game gives them: help, new cards, start, back, next
// level, previous level.
const std::array<Button, 6>& buttons() {
    static const std::array<Button, 6> b = {{
        {{446, 278, 84, 42}, "帮助", hex(0x42a5f5)},
        {{446, 130, 170, 46}, "换一副牌", hex(0xab47bc)},
        {{446, 74, 170, 46}, "开始", hex(0x43a047)},
        {{534, 278, 84, 42}, "返回", hex(0xef5350)},
        {{534, 214, 84, 42}, "下一关", hex(0xffa726)},
        {{446, 214, 84, 42}, "上一关", hex(0xffa726)},
    }};
    return b;
}

std::string layoutFile() {
    std::vector<NamedRect> named;
    for (const Button& b : buttons())
        named.push_back({b.r, b.caption});
    return gameButtonsFile(named);
}

// The board under the cards: a deep night-blue field with faint stars, dark
// enough for the white characters of face-up cards.
void drawBoard(cairo_t* cr, double x, double y) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    radial(cr, 204, 190, 300, hex(0x2f7f9e), boardBase);
    cairo_rectangle(cr, 0, 0, 409, 409);
    cairo_fill(cr);
    Rng rng(41);
    for (int k = 0; k < 46; ++k) {
        const double sx = rng.range(6, 403), sy = rng.range(6, 403);
        star(cr, sx, sy, rng.range(2, 5), withAlpha(hex(0xfff59d), 0.35), withAlpha(white, 0.1),
             rng.range(0, pi));
    }
    cairo_set_line_width(cr, 1);
    setColor(cr, withAlpha(white, 0.06));
    for (int k = 0; k < 9; ++k) {
        cairo_arc(cr, 204, 204, 30 + k * 26, 0, 2 * pi);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

void drawButton(cairo_t* cr, const Button& b, bool lit) {
    gameButton(cr, b.r.x, b.r.y, b.r.w, b.r.h, b.color, lit);
    TextStyle t;
    t.size = b.r.h * 0.5;
    t.fill = white;
    t.outline = darker(b.color, 0.5);
    t.outlineWidth = lit ? 3 : 2.5;
    text(cr, b.caption, b.r.x + b.r.w / 2.0, b.r.y + b.r.h / 2.0, t);
}

void labelField(cairo_t* cr, const Rect& r, Color fill, Color frame) {
    roundedRect(cr, r.x - 3, r.y - 3, r.w + 6, r.h + 6, 6);
    setColor(cr, frame);
    cairo_fill(cr);
    roundedRect(cr, r.x - 1, r.y - 1, r.w + 2, r.h + 2, 4);
    setColor(cr, fill);
    cairo_fill(cr);
}

// The whole screen, with button `lit` (or none) in its highlighted look.
void drawScreen(cairo_t* cr, int lit) {
    linear(cr, 0, 0, 0, 480, {{0, palette::sky}, {0.6, palette::skyLow}, {1, palette::grass}});
    cairo_paint(cr);
    cloud(cr, 520, 450, 90, withAlpha(white, 0.7));
    // The board in a wooden frame.
    PanelStyle frame;
    frame.top = hex(0xc98b4e);
    frame.bottom = hex(0x8d5524);
    frame.border = palette::brown;
    frame.radius = 10;
    panel(cr, 3, 7, 423, 423, frame);
    drawBoard(cr, 10, 14);
    // The command panel.
    PanelStyle side;
    side.radius = 16;
    panel(cr, 434, 10, 196, 418, side);
    TextStyle title;
    title.size = 30;
    title.fill = palette::red;
    title.outline = white;
    title.outlineWidth = 3;
    text(cr, "翻牌记字", 532, 42, title);
    for (int i = 0; i < 6; ++i)
        drawButton(cr, buttons()[i], i == lit);
    card(cr, 470, 340, 30, "字", hex(0xd84315));
    card(cr, 596, 340, 30, "?", hex(0x1565c0));
    // The level: "第 n 关" around the game's level label (516, 365, 39 x 30).
    labelField(cr, {514, 363, 43, 34}, white, palette::orange);
    TextStyle cap;
    cap.size = 26;
    cap.fill = palette::brown;
    text(cr, "第", 495, 381, cap);
    text(cr, "关", 577, 381, cap);
    // The bottom bar: score, best score and the remaining time.
    PanelStyle bar;
    bar.radius = 12;
    bar.top = hex(0xfff3c4);
    bar.bottom = hex(0xffd36b);
    panel(cr, 10, 436, 620, 38, bar);
    TextStyle small;
    small.size = 18;
    small.fill = palette::brown;
    textLeft(cr, "得分", 124, 456, small);
    labelField(cr, {170, 447, 54, 20}, white, palette::orange);
    textLeft(cr, "最高分", 240, 456, small);
    labelField(cr, {302, 447, 54, 20}, white, palette::orange);
    textLeft(cr, "剩余时间", 452, 456, small);
    labelField(cr, {531, 441, 80, 25}, hex(0x102030), palette::brown);
}

void writeDigits(const fs::path& file) {
    Canvas c(150, 23, hex(0x102030));
    TextStyle t;
    t.size = 21;
    t.fill = hex(0x9cff57);
    t.outline = hex(0x2e7d32);
    t.outlineWidth = 1;
    t.family = kSans;
    for (int d = 0; d < 10; ++d)
        text(c.cr(), std::to_string(d), 15 * d + 7.5, 11.5, t);
    c.saveBmp(file);
}

// Card back k (1..30) of a card w x h: ten colours, six pictures.
void drawCardBack(cairo_t* cr, int w, int h, int k) {
    static const Color colors[10] = {hex(0xef5350), hex(0xffa726), hex(0x66bb6a), hex(0x42a5f5),
                                     hex(0xab47bc), hex(0xec407a), hex(0x26a69a), hex(0x7e57c2),
                                     hex(0xffca28), hex(0x5c6bc0)};
    const Color c = colors[(k - 1) % 10];
    setColor(cr, boardBase);
    cairo_paint(cr);
    PanelStyle st;
    st.top = lighter(c, 0.5);
    st.bottom = c;
    st.border = white;
    st.borderWidth = 3;
    st.radius = std::min(w, h) * 0.12;
    st.shadow = false;
    panel(cr, 1.5, 1.5, w - 3, h - 3, st);
    // A dotted inner frame and a picture in the middle.
    cairo_save(cr);
    const double dash[] = {1, 5};
    cairo_set_dash(cr, dash, 2, 0);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 2.2);
    setColor(cr, withAlpha(white, 0.8));
    roundedRect(cr, 8, 8, w - 16, h - 16, st.radius * 0.7);
    cairo_stroke(cr);
    cairo_restore(cr);
    const double s = std::min(w, h) * 0.55, cx = w / 2.0, cy = h / 2.0;
    switch ((k - 1) / 5) {
    case 0:
        star(cr, cx, cy, s * 0.5, hex(0xfff59d), hex(0xffa000));
        break;
    case 1:
        flower(cr, cx, cy, s * 0.45, lighter(c, 0.75), hex(0xffca28));
        break;
    case 2:
        heart(cr, cx, cy, s, hex(0xff4f7b));
        break;
    case 3:
        fish(cr, cx, cy, s, hex(0xffb74d), k % 2 == 0);
        break;
    case 4:
        butterfly(cr, cx, cy, s, lighter(c, 0.6));
        break;
    default:
        sun(cr, cx, cy, s * 0.3);
        break;
    }
}

} // namespace

void writeGame01(const fs::path& appDir) {
    const fs::path game = appDir / "game" / "Game01";
    const fs::path data = game / "data";
    const fs::path pics = game / "pics";
    for (const fs::path& d : {data, pics, pics / "level1", pics / "level2", pics / "level3"})
        fs::create_directories(d);
    writeFile(data / "pos_size.txt", layoutFile());
    // No best scores yet; the game rewrites the file when one is beaten.
    writeFile(data / "data.txt", zeroBestScoresFile(3));

    {
        Canvas bg(640, 480);
        drawScreen(bg.cr(), -1);
        bg.saveJpeg(pics / "bg01.jpg", 92);
    }
    for (int i = 0; i < 6; ++i) {
        Canvas lit(640, 480);
        drawScreen(lit.cr(), i);
        const Rect& r = buttons()[i].r;
        Canvas b(r.w, r.h);
        b.paint(lit, -r.x, -r.y);
        char name[16];
        std::snprintf(name, sizeof name, "btn%02d.bmp", i + 1);
        b.saveBmp(pics / name);
    }
    writeDigits(pics / "numbers.bmp");
    {
        Canvas area(409, 409);
        drawBoard(area.cr(), 0, 0);
        area.saveJpeg(pics / "area1014.jpg", 92);
    }
    const int sizes[3][2] = {{100, 100}, {66, 100}, {66, 66}};
    for (int level = 1; level <= 3; ++level)
        for (int k = 1; k <= 30; ++k) {
            Canvas c(sizes[level - 1][0], sizes[level - 1][1]);
            drawCardBack(c.cr(), c.width(), c.height(), k);
            char name[32];
            std::snprintf(name, sizeof name, "level%d/cd1_%02d.jpg", level, k);
            c.saveJpeg(pics / name, 90);
        }
}

} // namespace mediagen
