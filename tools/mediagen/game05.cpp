#include "game05.h"

#include "kit.h"
#include "layout.h"
#include "pictures.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <string>

namespace mediagen {

using namespace kit;
namespace palette = pictures::palette;

namespace {

constexpr double pi = 3.14159265358979323846;

// The grid: 14 columns and up to 11 rows of 39 x 36 blocks, one every
// 40 x 37 pixels, from its top-left corner.
constexpr int kGridX = 12, kGridY = 12;
constexpr int kColumns = 14, kRows = 11;
constexpr int kBlockW = 39, kBlockH = 36, kPitchX = 40, kPitchY = 37;
constexpr int kGridW = kPitchX * (kColumns - 1) + kBlockW;
constexpr int kGridH = kPitchY * (kRows - 1) + kBlockH;

// The tray the blocks lie in, one flat colour so the game's empty tile sits
// in it seamlessly in any row, and the colour of an empty place in it.
const Color trayColor = hex(0x8a5226);
const Color slotColor = hex(0x6e3e1b);
// The ground of the program's digit strip: read-outs are wells of it, so a
// blank cell leaves no box.
const Color digitGround = hex(0x102040);

enum class Icon { Start, Help, Back, Up, Down };

struct Button {
    Rect r;
    const char* caption; // in the layout file, for whoever edits it
    Color color;
    Icon icon;
};

// By the index the game gives them: start, help, back, next level,
// previous level.
const std::array<Button, 5>& buttons() {
    static const std::array<Button, 5> b = {{
        {{588, 14, 44, 44}, "开始", hex(0x43a047), Icon::Start},
        {{588, 300, 44, 44}, "帮助", hex(0x42a5f5), Icon::Help},
        {{588, 372, 44, 44}, "返回", hex(0xef5350), Icon::Back},
        {{588, 96, 44, 38}, "下一关", hex(0xffa726), Icon::Up},
        {{588, 204, 44, 38}, "上一关", hex(0xffa726), Icon::Down},
    }};
    return b;
}

struct Field {
    int x, y, digits, pitch;
    const char* caption;
};

// The four read-outs by number: level, time, score, best; each paints
// digits 7 x 10 from (x, y).
const std::array<Field, 4>& fields() {
    static const std::array<Field, 4> f = {{
        {601, 164, 2, 10, "关"},
        {300, 451, 5, 9, "时间"},
        {420, 451, 4, 9, "得分"},
        {546, 451, 4, 9, "最高分"},
    }};
    return f;
}

std::string layoutFile() {
    std::string out = crlf(toCp936("诗句拼图   左  上  宽  高"));
    auto line = [&](const char* label, int a, int b, const std::string& tail) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%s%3d %3d", label, a, b);
        out += crlf(buf + tail);
    };
    for (const Button& b : buttons()) {
        char more[32];
        std::snprintf(more, sizeof more, " %3d %3d   ", b.r.w, b.r.h);
        line("ButnPosSize  :", b.r.x, b.r.y, more + toCp936(b.caption));
    }
    for (const Field& f : fields())
        line("TextFieldPos :", f.x, f.y, "   " + toCp936(f.caption));
    line("BlockStartPos:", kGridX, kGridY, "");
    line("BlockSize    :", kBlockW, kBlockH, "");
    return out;
}

// An empty place of the tray: a soft hollow the block fits into.
void slot(cairo_t* cr, double x, double y) {
    roundedRect(cr, x + 2, y + 2, kBlockW - 4, kBlockH - 4, 6);
    setColor(cr, slotColor);
    cairo_fill(cr);
    roundedRect(cr, x + 3, y + 3.5, kBlockW - 6, kBlockH - 6, 5);
    setColor(cr, withAlpha(hex(0xffe0b2), 0.12));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

void tray(cairo_t* cr) {
    PanelStyle frame;
    frame.top = hex(0xc98b4e);
    frame.bottom = hex(0x8d5524);
    frame.border = palette::brown;
    frame.radius = 10;
    panel(cr, 3, 3, kGridW + 18, kGridH + 18, frame);
    setColor(cr, trayColor);
    cairo_rectangle(cr, kGridX - 1, kGridY - 1, kGridW + 2, kGridH + 2);
    cairo_fill(cr);
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            slot(cr, kGridX + kPitchX * c, kGridY + kPitchY * r);
}

void icon(cairo_t* cr, Icon i, double cx, double cy, double s) {
    const Color ink = white, edge = hex(0x3e2723);
    switch (i) {
    case Icon::Start:
        cairo_move_to(cr, cx - s * 0.28, cy - s * 0.36);
        cairo_line_to(cr, cx + s * 0.38, cy);
        cairo_line_to(cr, cx - s * 0.28, cy + s * 0.36);
        cairo_close_path(cr);
        setColor(cr, ink);
        cairo_fill_preserve(cr);
        setColor(cr, darker(hex(0x43a047), 0.45));
        cairo_set_line_width(cr, 2);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke(cr);
        break;
    case Icon::Help: {
        TextStyle t;
        t.size = s * 0.85;
        t.family = kSans;
        t.fill = ink;
        t.outline = darker(hex(0x42a5f5), 0.5);
        t.outlineWidth = 2.5;
        text(cr, "?", cx, cy + 1, t);
        break;
    }
    case Icon::Back: {
        // A bent arrow: back the way one came.
        cairo_save(cr);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_new_path(cr);
        cairo_arc(cr, cx + s * 0.02, cy + s * 0.02, s * 0.26, -pi / 2, pi / 2);
        cairo_line_to(cr, cx - s * 0.22, cy + s * 0.28);
        for (auto [w, c] : {std::pair{7.5, darker(hex(0xef5350), 0.5)}, std::pair{4.0, ink}}) {
            cairo_set_line_width(cr, s * w / 40);
            setColor(cr, c);
            cairo_stroke_preserve(cr);
        }
        cairo_new_path(cr);
        arrow(cr, cx - s * 0.16, cy - s * 0.24, s * 0.42, Dir::Left, ink,
              darker(hex(0xef5350), 0.5));
        cairo_restore(cr);
        break;
    }
    case Icon::Up:
    case Icon::Down:
        arrow(cr, cx, cy, s * 0.62, i == Icon::Up ? Dir::Up : Dir::Down, ink, edge);
        break;
    }
}

void drawButton(cairo_t* cr, const Button& b, bool lit) {
    gameButton(cr, b.r.x, b.r.y, b.r.w, b.r.h, b.color, lit);
    icon(cr, b.icon, b.r.x + b.r.w / 2.0, b.r.y + b.r.h / 2.0, std::min(b.r.w, b.r.h) * 0.8);
}

// The dark well a read-out's digits are painted in.
void well(cairo_t* cr, const Field& f) {
    const double w = f.pitch * (f.digits - 1) + 7;
    roundedRect(cr, f.x - 6, f.y - 5, w + 12, 20, 5);
    setColor(cr, palette::brown);
    cairo_fill(cr);
    cairo_rectangle(cr, f.x - 4, f.y - 3, w + 8, 16);
    setColor(cr, digitGround);
    cairo_fill(cr);
}

void clockIcon(cairo_t* cr, double cx, double cy, double r) {
    cairo_arc(cr, cx, cy, r, 0, 2 * pi);
    setColor(cr, white);
    cairo_fill_preserve(cr);
    setColor(cr, hex(0x1565c0));
    cairo_set_line_width(cr, 2.2);
    cairo_stroke(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 1.8);
    setColor(cr, hex(0x263238));
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, cx, cy - r * 0.65);
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, cx + r * 0.5, cy + r * 0.1);
    cairo_stroke(cr);
}

void cupIcon(cairo_t* cr, double cx, double cy, double s) {
    const Color gold = hex(0xffc107), edge = hex(0x8d6e00);
    cairo_set_line_width(cr, 1.6);
    // Handles, then the cup, the stem and the foot.
    cairo_new_path(cr);
    cairo_arc(cr, cx - s * 0.32, cy - s * 0.18, s * 0.16, pi / 2, 3 * pi / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx + s * 0.32, cy - s * 0.18, s * 0.16, -pi / 2, pi / 2);
    setColor(cr, edge);
    cairo_stroke(cr);
    cairo_move_to(cr, cx - s * 0.34, cy - s * 0.38);
    cairo_line_to(cr, cx + s * 0.34, cy - s * 0.38);
    cairo_curve_to(cr, cx + s * 0.34, cy + s * 0.05, cx + s * 0.12, cy + s * 0.12, cx + s * 0.07,
                   cy + s * 0.14);
    cairo_line_to(cr, cx + s * 0.07, cy + s * 0.28);
    cairo_line_to(cr, cx + s * 0.24, cy + s * 0.4);
    cairo_line_to(cr, cx - s * 0.24, cy + s * 0.4);
    cairo_line_to(cr, cx - s * 0.07, cy + s * 0.28);
    cairo_line_to(cr, cx - s * 0.07, cy + s * 0.14);
    cairo_curve_to(cr, cx - s * 0.12, cy + s * 0.12, cx - s * 0.34, cy + s * 0.05, cx - s * 0.34,
                   cy - s * 0.38);
    cairo_close_path(cr);
    linear(cr, cx, cy - s * 0.4, cx, cy + s * 0.4, {{0, hex(0xfff59d)}, {1, gold}});
    cairo_fill_preserve(cr);
    setColor(cr, edge);
    cairo_stroke(cr);
    star(cr, cx, cy - s * 0.14, s * 0.13, white, edge);
}

// A little row of blocks, the game's own emblem.
void emblem(cairo_t* cr, double x, double cy) {
    const char* glyphs[3] = {"诗", "句", "拼"};
    const Color colors[3] = {hex(0xffc94d), hex(0x7ed67a), hex(0x90caf9)};
    for (int k = 0; k < 3; ++k) {
        PanelStyle st;
        st.top = lighter(colors[k], 0.6);
        st.bottom = colors[k];
        st.border = darker(colors[k], 0.45);
        st.borderWidth = 1.5;
        st.radius = 5;
        st.shadow = false;
        const double bx = x + k * 27, by = cy - 12 + (k == 1 ? -2 : 1);
        panel(cr, bx, by, 25, 24, st);
        TextStyle t;
        t.size = 18;
        t.fill = darker(colors[k], 0.7);
        text(cr, glyphs[k], bx + 12.5, by + 12.5, t);
    }
}

// The whole screen, with button `lit` (or none) in its highlighted look.
void drawScreen(cairo_t* cr, int lit) {
    linear(cr, 0, 0, 0, 480, {{0, palette::sky}, {0.6, palette::skyLow}, {1, palette::grass}});
    cairo_paint(cr);
    tray(cr);
    // The command column: start on top, the level between its arrows, help
    // and the way back at the bottom.
    PanelStyle side;
    side.radius = 12;
    side.borderWidth = 2.5;
    panel(cr, 584, 3, 52, 426, side);
    for (int i = 0; i < 5; ++i)
        drawButton(cr, buttons()[i], i == lit);
    const Field& level = fields()[0];
    TextStyle cap;
    cap.size = 17;
    cap.fill = palette::brown;
    text(cr, "第", 610, 147, cap);
    well(cr, level);
    text(cr, "关", 610, 192, cap);
    // A flag on the level column, and stars between the groups.
    star(cr, 610, 76, 8, hex(0xffeb3b), palette::orange);
    star(cr, 610, 272, 8, hex(0xffeb3b), palette::orange);
    // The bottom bar: the game's emblem and the time, score and best read-outs.
    PanelStyle bar;
    bar.radius = 12;
    bar.top = hex(0xfff3c4);
    bar.bottom = hex(0xffd36b);
    panel(cr, 3, 436, 633, 40, bar);
    emblem(cr, 16, 456);
    TextStyle title;
    title.size = 22;
    title.fill = palette::red;
    title.outline = white;
    title.outlineWidth = 3;
    text(cr, "诗句拼图", 158, 456, title);
    clockIcon(cr, 262, 456, 9);
    well(cr, fields()[1]);
    star(cr, 391, 456, 10, hex(0xffeb3b), palette::orange);
    well(cr, fields()[2]);
    cupIcon(cr, 516, 456, 22);
    well(cr, fields()[3]);
}

void blockTile(cairo_t* cr, double x, Color top, Color bottom, Color border) {
    PanelStyle st;
    st.top = top;
    st.bottom = bottom;
    st.border = border;
    st.borderWidth = 2;
    st.radius = 7;
    st.shadow = false;
    panel(cr, x + 1, 1, kBlockW - 2, kBlockH - 2, st);
}

} // namespace

void writeGame05(const fs::path& appDir) {
    const fs::path game = appDir / "game" / "Game05";
    const fs::path data = game / "data";
    const fs::path pics = game / "pics";
    for (const fs::path& d : {data, pics})
        fs::create_directories(d);
    writeFile(data / "pos_size.txt", layoutFile());
    // No best scores yet; the game rewrites the file when one is beaten.
    std::string bests;
    for (int level = 1; level <= kRows; ++level)
        bests += crlf(" 0");
    writeFile(data / "data.txt", bests);

    {
        Canvas bg(640, 480);
        drawScreen(bg.cr(), -1);
        bg.saveJpeg(pics / "bg.jpg", 92);
    }
    for (int i = 0; i < 5; ++i) {
        Canvas lit(640, 480);
        drawScreen(lit.cr(), i);
        const Rect& r = buttons()[i].r;
        Canvas b(r.w, r.h);
        b.paint(lit, -r.x, -r.y);
        b.saveBmp(pics / ("butn" + std::to_string(i + 1) + ".bmp"));
    }
    {
        // Three tiles: a blank movable block, a blank locked one, and at
        // x = 80 the empty place of a row beyond the level.
        Canvas tiles(kPitchX * 2 + kBlockW, kBlockH, trayColor);
        cairo_t* cr = tiles.cr();
        blockTile(cr, 0, hex(0xfff3b0), hex(0xffc94d), hex(0xb26a00));
        blockTile(cr, kPitchX, hex(0xdcfcd8), hex(0x7ed67a), hex(0x1b5e20));
        slot(cr, 2 * kPitchX, 0);
        tiles.saveBmp(pics / "blocks.bmp");
    }
    {
        Canvas w(kBlockW, kBlockH, white);
        w.saveBmp(pics / "white.bmp");
        Canvas b(kBlockW, kBlockH, white);
        blockTile(b.cr(), 0, hex(0xe3f2fd), hex(0x90caf9), hex(0x3f6fa8));
        b.saveBmp(pics / "blue.bmp");
    }
}

} // namespace mediagen
