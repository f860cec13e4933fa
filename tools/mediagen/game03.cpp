#include "game03.h"

#include "kit.h"
#include "layout.h"
#include "pictures.h"

#include <array>
#include <cstdio>
#include <string>

namespace mediagen {

using namespace kit;
namespace palette = pictures::palette;

namespace {

// The chosen colour shows in the outlined disc around the game's swatch
// point (410, 60).
constexpr double kSwatchX = 436, kSwatchY = 60, kSwatchR = 30;
constexpr double kCircleR = 13;
constexpr int kWord = 24;
// The palette: two columns of five circles, each with its character slot.
constexpr std::array<int, 2> kCircleX = {440, 548};
constexpr std::array<int, 5> kCircleY = {118, 150, 182, 214, 246};

// By the index the game gives them: back, help, another picture, new
// characters.
const std::vector<GameButton>& buttons() {
    static const std::vector<GameButton> b = {
        {{522, 398, 108, 64}, "返回", 0xef5350},
        {{406, 398, 108, 64}, "帮助", 0x42a5f5},
        {{406, 318, 108, 64}, "换图", 0x26a69a},
        {{522, 318, 108, 64}, "换字", 0xab47bc},
    };
    return b;
}

struct Slot {
    int circleX, circleY, wordX, wordY;
};

Slot slot(int k) {
    const int cx = kCircleX[std::size_t(k / 5)], cy = kCircleY[std::size_t(k % 5)];
    return {cx, cy, cx + 20, cy - kWord / 2};
}

std::string layoutFile(const std::vector<int>& regionCounts) {
    char buf[64];
    std::string out = crlf(toCp936("     左  上  宽  高   看字涂色"));
    std::snprintf(buf, sizeof buf, "area:%3d %3d %3d %3d", kColourAreaX, kColourAreaY, kColourAreaW,
                  kColourAreaH);
    out += crlf(buf + toCp936("   画"));
    out += buttonLines(namedRects(buttons()));
    for (int k = 0; k < 10; ++k) {
        std::snprintf(buf, sizeof buf, "word:%3d %3d", slot(k).wordX, slot(k).wordY);
        out += crlf(buf);
    }
    for (int k = 0; k < 10; ++k) {
        std::snprintf(buf, sizeof buf, "circle:%3d %3d", slot(k).circleX, slot(k).circleY);
        out += crlf(buf);
    }
    for (int n : regionCounts) {
        std::snprintf(buf, sizeof buf, "colorNum:%d", n);
        out += crlf(buf);
    }
    return out;
}

// One colour a line, red in the low byte. The first line is the game's
// spare and never reaches the palette.
std::string colourFile() {
    static const std::uint32_t rgb[] = {
        0xbdbdbd, // spare
        0xe53935, 0xfb8c00, 0xfdd835, 0x7cb342, 0x1b8a3a, 0x4fc3f7, 0x1e56c8,
        0x8e44ad, 0xff80ab, 0x8d5524, 0x00897b, 0xaeea00, 0xff7043, 0x9fa8da,
    };
    std::string out;
    for (std::uint32_t c : rgb) {
        const std::uint32_t windows = (c & 0xff) << 16 | (c & 0xff00) | (c >> 16 & 0xff);
        out += crlf(std::to_string(windows));
    }
    return out;
}

// An outline of pure black that the game's flood fills stop at, drawn
// without anti-aliasing so no grey pixel breaks the ring.
void fillRing(cairo_t* cr, double cx, double cy, double r) {
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * 3.14159265358979323846);
    setColor(cr, white);
    cairo_fill_preserve(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void drawButton(cairo_t* cr, int index, bool lit) {
    const GameButton& b = buttons()[std::size_t(index)];
    const Color color = hex(b.rgb);
    PanelStyle st;
    const Color c = lit ? lighter(color, 0.2) : color;
    st.top = lighter(c, 0.5);
    st.bottom = c;
    st.border = lit ? hex(0xffee58) : darker(c, 0.35);
    st.borderWidth = lit ? 4 : 2.5;
    st.radius = 14;
    st.shadow = !lit;
    panel(cr, b.r.x + 2, b.r.y + 2, b.r.w - 4, b.r.h - 4, st);
    const double iy = b.r.y + b.r.h / 2.0, ix = b.r.x + 28;
    switch (index) {
    case 0:
        arrow(cr, ix, iy, 30, Dir::Left, hex(0xfff59d), darker(color, 0.45));
        break;
    case 1: {
        cairo_arc(cr, ix, iy, 15, 0, 2 * 3.14159265358979323846);
        setColor(cr, white);
        cairo_fill(cr);
        TextStyle q;
        q.size = 24;
        q.fill = color;
        q.family = kSans;
        text(cr, "?", ix, iy, q);
        break;
    }
    case 2:
        roundedRect(cr, ix - 16, iy - 14, 32, 28, 3);
        setColor(cr, white);
        cairo_fill_preserve(cr);
        setColor(cr, darker(color, 0.5));
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        house(cr, ix, iy + 10, 20, hex(0xffcc80), hex(0xe53935));
        break;
    default:
        card(cr, ix - 3, iy + 2, 26, "字", hex(0x6a1b9a));
        star(cr, ix + 10, iy - 12, 6, hex(0xfff59d), hex(0xffa000));
        break;
    }
    TextStyle t;
    t.size = 26;
    t.fill = white;
    t.outline = darker(color, 0.5);
    t.outlineWidth = lit ? 3.5 : 2.5;
    text(cr, b.caption, b.r.x + 76, iy, t);
}

// The whole screen, with button `lit` (or none) highlighted.
void drawScreen(cairo_t* cr, int lit) {
    linear(cr, 0, 0, 0, 480, {{0, hex(0xffe0ec)}, {0.5, hex(0xfff4d6)}, {1, hex(0xd8f3c8)}});
    cairo_paint(cr);
    // The drawing in a painted wooden frame.
    PanelStyle frame;
    frame.top = hex(0xffb74d);
    frame.bottom = hex(0xef6c00);
    frame.border = palette::brown;
    frame.radius = 8;
    panel(cr, 2, 4, 396, 472, frame);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_rectangle(cr, kColourAreaX, kColourAreaY, kColourAreaW, kColourAreaH);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill(cr);
    cairo_rectangle(cr, kColourAreaX + 1.5, kColourAreaY + 1.5, kColourAreaW - 3, kColourAreaH - 3);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);

    PanelStyle side;
    side.radius = 16;
    panel(cr, 402, 6, 232, 300, side);
    // The swatch: a paint pot seen from above.
    cairo_arc(cr, kSwatchX, kSwatchY, kSwatchR + 4.5, 0, 2 * 3.14159265358979323846);
    radial(cr, kSwatchX - 8, kSwatchY - 10, kSwatchR + 10, hex(0xeeeeee), hex(0x9e9e9e));
    cairo_fill(cr);
    fillRing(cr, kSwatchX, kSwatchY, kSwatchR);
    brush(cr, kSwatchX + 34, kSwatchY + 24, 34);
    TextStyle title;
    title.size = 30;
    title.fill = hex(0x8e24aa);
    title.outline = white;
    title.outlineWidth = 3;
    text(cr, "看字涂色", 560, 44, title);
    TextStyle hint;
    hint.size = 14;
    hint.fill = palette::brown;
    text(cr, "右键点画 听字音", 560, 80, hint);
    // The palette: each circle beside its character's tile.
    for (int k = 0; k < 10; ++k) {
        const Slot s = slot(k);
        roundedRect(cr, s.circleX - 19, s.circleY - 15, 70, 30, 10);
        setColor(cr, hex(0xfff0c2));
        cairo_fill_preserve(cr);
        setColor(cr, hex(0xe0a040));
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
        fillRing(cr, s.circleX, s.circleY, kCircleR);
        cairo_rectangle(cr, s.wordX - 1.5, s.wordY - 1.5, kWord + 3, kWord + 3);
        setColor(cr, white);
        cairo_fill_preserve(cr);
        setColor(cr, hex(0xb0793a));
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    // Score and best score over the game's digits.
    TextStyle cap;
    cap.size = 14;
    cap.fill = palette::brown;
    text(cr, "得分", 527, 272, cap);
    text(cr, "最高", 594, 272, cap);
    for (double x : {506.0, 573.0}) {
        roundedRect(cr, x, 282, 43, 18, 4);
        setColor(cr, hex(0x102040));
        cairo_fill(cr);
    }
    kit::palette(cr, 450, 280, 40);
    for (int i = 0; i < 4; ++i)
        drawButton(cr, i, i == lit);
}

} // namespace

void writeGame03(const fs::path& appDir) {
    const fs::path game = appDir / "game" / "Game03";
    const fs::path data = game / "data";
    const fs::path pics = game / "pics";
    for (const fs::path& d : {data, pics})
        fs::create_directories(d);
    const std::vector<int> regions = writeColouringDrawings(pics);
    writeFile(data / "pos_size.txt", layoutFile(regions));
    writeFile(data / "color.txt", colourFile());
    // No best score yet, and the number of drawings.
    writeFile(data / "data.txt", crlf(" 0") + crlf(" " + std::to_string(regions.size())));
    Canvas bg(640, 480);
    drawScreen(bg.cr(), -1);
    bg.saveBmp(pics / "bg.bmp");
    for (int i = 0; i < 4; ++i) {
        Canvas lit(640, 480);
        drawScreen(lit.cr(), i);
        const Rect& r = buttons()[std::size_t(i)].r;
        Canvas b(r.w, r.h);
        b.paint(lit, -r.x, -r.y);
        b.saveBmp(pics / ("butn" + std::to_string(i + 1) + ".bmp"));
    }
}

} // namespace mediagen
