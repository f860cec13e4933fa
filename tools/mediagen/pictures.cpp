#include "pictures.h"

#include "game01.h"
#include "game02.h"
#include "game03.h"
#include "game04.h"
#include "game05.h"
#include "mediagen.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace mediagen {

namespace pictures {

using namespace kit;

namespace {

constexpr double pi = 3.14159265358979323846;

void skyAndMeadow(cairo_t* cr, int w, int h, double horizon) {
    linear(cr, 0, 0, 0, horizon,
           {{0, palette::sky}, {0.7, lighter(palette::sky, 0.55)}, {1, palette::skyLow}});
    cairo_rectangle(cr, 0, 0, w, h);
    cairo_fill(cr);
    cairo_move_to(cr, 0, horizon);
    cairo_curve_to(cr, w * 0.25, horizon - 30, w * 0.55, horizon + 20, w, horizon - 18);
    cairo_line_to(cr, w, h);
    cairo_line_to(cr, 0, h);
    cairo_close_path(cr);
    linear(cr, 0, horizon - 30, 0, h, {{0, palette::grass}, {1, palette::grassDark}});
    cairo_fill(cr);
}

// A round push button drawn on the menu under a click area.
void roundButton(cairo_t* cr, const Rect& r, Color c) {
    PanelStyle st;
    st.top = lighter(c, 0.45);
    st.bottom = c;
    st.border = darker(c, 0.4);
    st.borderWidth = 2;
    st.radius = std::min(r.w, r.h) / 2.0;
    panel(cr, r.x, r.y, r.w, r.h, st);
}

// The white field a text box sits in, with a frame just outside it.
void textField(cairo_t* cr, const Rect& r, Color frame, Color fill = white) {
    roundedRect(cr, r.x - 3, r.y - 3, r.w + 6, r.h + 6, 7);
    setColor(cr, frame);
    cairo_fill(cr);
    cairo_rectangle(cr, r.x, r.y, r.w, r.h);
    setColor(cr, fill);
    cairo_fill(cr);
}

void logoPicture(cairo_t* cr, int frame) {
    // Three moods of the same emblem: morning, rainbow, night.
    const Color skies[3][2] = {{hex(0x8fd8ff), hex(0xfff6c8)},
                               {hex(0xffd1e8), hex(0xfff0b0)},
                               {hex(0x243b7a), hex(0x5a6fc0)}};
    linear(cr, 0, 0, 0, 128, {{0, skies[frame][0]}, {1, skies[frame][1]}});
    cairo_paint(cr);
    if (frame == 0) {
        sun(cr, 100, 28, 16);
        cloud(cr, 30, 30, 40, white);
    } else if (frame == 1) {
        const Color bands[] = {hex(0xff5252), hex(0xffa726), hex(0xffee58),
                               hex(0x66bb6a), hex(0x42a5f5), hex(0x7e57c2)};
        cairo_set_line_width(cr, 6);
        for (int i = 0; i < 6; ++i) {
            setColor(cr, withAlpha(bands[i], 0.85));
            cairo_new_sub_path(cr);
            cairo_arc(cr, 64, 120, 74 - i * 6, pi, 2 * pi);
            cairo_stroke(cr);
        }
        cloud(cr, 18, 108, 34, white);
        cloud(cr, 110, 108, 34, white);
    } else {
        moon(cr, 100, 28, 15);
        Rng rng(7);
        for (int i = 0; i < 12; ++i)
            star(cr, rng.range(8, 120), rng.range(8, 70), rng.range(2, 4.5), hex(0xfff59d),
                 hex(0xfbc02d));
    }
    // The emblem: a book with the character for "character" above it.
    book(cr, 64, 100, 64, frame == 2 ? hex(0xffb74d) : hex(0xe57373));
    TextStyle st;
    st.size = 62;
    st.fill = frame == 2 ? hex(0xfff59d) : hex(0xd84315);
    st.outline = white;
    st.outlineWidth = 3.5;
    st.shadow = true;
    text(cr, "字", 64, 52, st);
    roundedRect(cr, 1.5, 1.5, 125, 125, 12);
    setColor(cr, withAlpha(white, 0.8));
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
}

void drawMenu(Canvas& c) {
    cairo_t* cr = c.cr();
    const MenuLayout& m = menuLayout();
    skyAndMeadow(cr, 640, 480, 300);
    cloud(cr, 560, 165, 60, white);
    cloud(cr, 40, 120, 50, withAlpha(white, 0.9));
    for (int i = 0; i < 9; ++i)
        flower(cr, 110 + i * 62 + (i % 2) * 15, 474 - (i % 3) * 3, 5,
               i % 2 ? hex(0xff8a80) : hex(0xfff176), hex(0xffb300));

    // Title.
    PanelStyle title;
    title.top = hex(0xfff3c4);
    title.bottom = hex(0xffc94d);
    title.border = palette::orange;
    title.radius = 24;
    panel(cr, 8, 6, 472, 50, title);
    TextStyle big;
    big.size = 34;
    big.fill = hex(0xe53935);
    big.outline = white;
    big.outlineWidth = 3;
    big.shadow = true;
    text(cr, "唐诗识字乐园", 244, 31, big);
    star(cr, 36, 31, 14, hex(0xffeb3b), palette::orange, 0.1);
    star(cr, 452, 31, 14, hex(0xffeb3b), palette::orange, -0.1);

    // Logo frame; the emblem itself is painted over it by the program.
    PanelStyle logo;
    logo.top = hex(0xffffff);
    logo.bottom = hex(0xffe0b2);
    logo.border = palette::orange;
    logo.radius = 16;
    panel(cr, m.logo.x - 6, m.logo.y - 6, m.logo.w + 12, m.logo.h + 12, logo);
    {
        Canvas emblem(128, 128);
        logoPicture(emblem.cr(), 0);
        c.paint(emblem, m.logo.x, m.logo.y);
    }
    for (int i = 0; i < 5; ++i)
        star(cr, 500 + i * 26, 164, i % 2 ? 6 : 8, hex(0xfff176), palette::orange, i * 0.3);

    // Left column: a greeting card above the four picture buttons.
    PanelStyle side;
    side.top = hex(0xe3f2fd);
    side.bottom = hex(0xbbdefb);
    side.border = hex(0x1e88e5);
    side.radius = 14;
    panel(cr, 4, 62, 90, 110, side);
    card(cr, 49, 102, 56, "字", hex(0xe53935));
    TextStyle small;
    small.size = 17;
    small.fill = hex(0x0d47a1);
    small.outline = white;
    small.outlineWidth = 2;
    text(cr, "天天学", 49, 154, small);
    PanelStyle column;
    column.top = hex(0xfff8e1);
    column.bottom = hex(0xffe082);
    column.border = palette::orange;
    column.radius = 10;
    column.gloss = false;
    panel(cr, 1, 176, 96, 302, column);

    // Verse panel: number with its arrows, recite, the count frame, the text.
    PanelStyle verse;
    verse.top = hex(0xfffdf3);
    verse.bottom = hex(0xffecb3);
    verse.border = palette::orange;
    verse.radius = 16;
    panel(cr, m.versePanel.x, m.versePanel.y, m.versePanel.w, m.versePanel.h, verse);
    TextStyle label;
    label.size = 26;
    label.fill = palette::brown;
    text(cr, "第", 116, 94, label);
    text(cr, "首", 290, 94, label);
    textField(cr, m.text[0], hex(0x1e88e5));
    const Rect& next = m.command[NextVerse];
    const Rect& prev = m.command[PreviousVerse];
    roundButton(cr, prev, hex(0x42a5f5));
    arrow(cr, prev.x + prev.w / 2.0, prev.y + prev.h / 2.0, 24, Dir::Left, white, hex(0x0d47a1));
    roundButton(cr, next, hex(0x42a5f5));
    arrow(cr, next.x + next.w / 2.0, next.y + next.h / 2.0, 24, Dir::Right, white, hex(0x0d47a1));
    const Rect& recite = m.command[Recite];
    PanelStyle rst;
    rst.top = hex(0xffab91);
    rst.bottom = hex(0xff7043);
    rst.border = hex(0xbf360c);
    rst.radius = 12;
    rst.borderWidth = 2;
    panel(cr, recite.x, recite.y, recite.w, recite.h, rst);
    speaker(cr, recite.x + 17, recite.y + recite.h / 2.0, 24, white, 2);
    TextStyle rtext;
    rtext.size = 22;
    rtext.fill = white;
    rtext.outline = hex(0xbf360c);
    rtext.outlineWidth = 2;
    text(cr, "朗读", recite.x + 52, recite.y + recite.h / 2.0, rtext);
    // Where the count frame appears for function 0: a quiet dotted outline.
    const Rect& frame = m.select[12];
    roundedRect(cr, frame.x + 1, frame.y + 1, frame.w - 2, frame.h - 2, 8);
    setColor(cr, withAlpha(palette::orange, 0.5));
    cairo_set_line_width(cr, 1.5);
    const double dash[] = {3, 3};
    cairo_set_dash(cr, dash, 2, 0);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
    for (int i : {CountUp, CountDown}) {
        const Rect& r = m.command[i];
        roundButton(cr, r, hex(0x66bb6a));
        arrow(cr, r.x + r.w / 2.0, r.y + r.h / 2.0, 17, i == CountUp ? Dir::Up : Dir::Down, white,
              hex(0x1b5e20));
    }
    textField(cr, m.text[1], hex(0x8d6e63), hex(0x4e342e));

    // The twelve learning functions.
    PanelStyle grid;
    grid.top = withAlpha(white, 0.55);
    grid.bottom = withAlpha(hex(0xfff3e0), 0.75);
    grid.border = withAlpha(palette::orange, 0.8);
    grid.radius = 14;
    grid.gloss = false;
    panel(cr, 99, 181, 538, 296, grid);
    TextStyle name;
    name.size = 20;
    name.fill = white;
    name.outline = hex(0x3e2723);
    name.outlineWidth = 2.2;
    for (int i = 0; i < 12; ++i) {
        const Rect& t = m.tile[i];
        const Color col = functionColor(i);
        PanelStyle tile;
        tile.top = lighter(col, 0.55);
        tile.bottom = col;
        tile.border = darker(col, 0.35);
        tile.radius = 12;
        tile.borderWidth = 2.5;
        panel(cr, t.x, t.y, t.w, t.h, tile);
        selectionBox(cr, m.select[i], false);
        functionIcon(cr, i, t.x + 92, t.y + 32, 50);
        text(cr, functionNames()[i], t.x + t.w / 2.0, t.y + 74, name);
    }
}

} // namespace

Color functionColor(int index) {
    static const std::uint32_t colors[12] = {0xff8a65, 0xffb74d, 0x4fc3f7, 0x4dd0e1,
                                             0x7986cb, 0x9575cd, 0xba68c8, 0x81c784,
                                             0xaed581, 0x4db6ac, 0xf06292, 0xffd54f};
    return hex(colors[index % 12]);
}

void functionIcon(cairo_t* cr, int index, double cx, double cy, double s) {
    const double u = s / 2;
    switch (index) {
    case 0: // several verses recited: a pile of books and a note
        book(cr, cx - u * 0.15, cy + u * 0.35, s * 0.7, hex(0x1e88e5));
        book(cr, cx - u * 0.15, cy - u * 0.05, s * 0.7, hex(0xe53935));
        note(cr, cx + u * 0.65, cy - u * 0.45, s * 0.45, hex(0x6a1b9a));
        break;
    case 1: // one verse recited
        book(cr, cx - u * 0.15, cy + u * 0.1, s * 0.8, hex(0xe53935));
        speaker(cr, cx + u * 0.6, cy - u * 0.5, s * 0.45, hex(0xffeb3b), 2);
        break;
    case 2:
    case 3:
    case 4:
    case 5: {
        // A hand over a row of four characters: lit dots are read, the
        // small arrow says which way, the hops show the skipping.
        const bool back = index == 4 || index == 5;
        const bool skip = index == 3 || index == 5;
        hand(cr, cx, cy - u * 0.42, s * 0.55, 0);
        const double y = cy + u * 0.68;
        const Color lit = hex(0xffeb3b), dim = withAlpha(white, 0.75), ring = hex(0xe65100);
        for (int k = 0; k < 4; ++k) {
            const double x = cx - u * 0.9 + k * u * 0.5;
            roundedRect(cr, x - u * 0.17, y - u * 0.17, u * 0.34, u * 0.34, u * 0.08);
            const bool read = !skip || (back ? k % 2 == 1 : k % 2 == 0);
            setColor(cr, read ? lit : dim);
            cairo_fill_preserve(cr);
            setColor(cr, ring);
            cairo_set_line_width(cr, 1.2);
            cairo_stroke(cr);
        }
        cairo_set_line_width(cr, 1.6);
        setColor(cr, ring);
        if (skip) {
            for (int h = 0; h < 2; ++h) {
                const double from = back ? 3 - h * 2 : h * 2;
                const double mid = cx - u * 0.9 + (from + (back ? -1 : 1)) * u * 0.5;
                cairo_new_sub_path(cr);
                cairo_arc(cr, mid, y, u * 0.5, pi * 1.2, pi * 1.8);
                cairo_stroke(cr);
            }
        }
        const double tip = back ? cx - u * 1.3 : cx + u * 1.3;
        const double dir = back ? -1 : 1;
        cairo_move_to(cr, tip, y);
        cairo_line_to(cr, tip - dir * u * 0.22, y - u * 0.18);
        cairo_line_to(cr, tip - dir * u * 0.22, y + u * 0.18);
        cairo_close_path(cr);
        cairo_fill(cr);
        break;
    }
    case 6:
        hand(cr, cx - u * 0.45, cy - u * 0.05, s * 0.75, 0);
        dice(cr, cx + u * 0.45, cy + u * 0.3, s * 0.5, hex(0xd32f2f));
        break;
    case 7:
    case 8:
        card(cr, cx - u * 0.25, cy, s * 0.7, "字", hex(0xd84315));
        arrow(cr, cx + u * 0.55, cy + u * 0.55, s * 0.45, index == 7 ? Dir::Right : Dir::Left,
              hex(0xffeb3b), hex(0xe65100));
        break;
    case 9:
        card(cr, cx - u * 0.25, cy, s * 0.7, "字", hex(0xd84315));
        dice(cr, cx + u * 0.5, cy + u * 0.4, s * 0.45, hex(0x1565c0));
        break;
    case 10:
        ear(cr, cx - u * 0.3, cy, s * 0.75);
        text(cr, "?", cx + u * 0.55, cy - u * 0.2,
             TextStyle{s * 0.6, hex(0xffeb3b), hex(0xad1457), 2.5, kSans, false});
        break;
    default:
        card(cr, cx - u * 0.35, cy + u * 0.1, s * 0.6, "学", hex(0x2e7d32));
        star(cr, cx + u * 0.5, cy - u * 0.45, u * 0.42, hex(0xffeb3b), hex(0xe65100));
        heart(cr, cx + u * 0.55, cy + u * 0.5, s * 0.32, hex(0xe91e63));
        break;
    }
}

void selectionBox(cairo_t* cr, const Rect& r, bool selected) {
    // The box fills its whole rectangle so the mark replaces it exactly.
    cairo_save(cr);
    cairo_rectangle(cr, r.x, r.y, r.w, r.h);
    setColor(cr, hex(0x8d5524));
    cairo_fill(cr);
    cairo_rectangle(cr, r.x + 3, r.y + 3, r.w - 6, r.h - 6);
    linear(cr, 0, r.y, 0, r.bottom(),
           selected ? std::vector<Stop>{{0, hex(0xfffde7)}, {1, hex(0xffe082)}}
                    : std::vector<Stop>{{0, white}, {1, hex(0xeeeeee)}});
    cairo_fill(cr);
    const double cx = r.x + r.w / 2.0, cy = r.y + r.h / 2.0;
    if (selected) {
        star(cr, cx, cy + 1, r.w * 0.42, hex(0xff3d00), hex(0xb71c1c), 0);
    } else {
        cairo_arc(cr, cx, cy, r.w * 0.12, 0, 2 * pi);
        setColor(cr, hex(0xd7ccc8));
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void writeMenuPictures(const fs::path& pic) {
    const MenuLayout& m = menuLayout();
    {
        Canvas menu(640, 480);
        drawMenu(menu);
        menu.saveJpeg(pic / "menu.jpg", 94);
    }
    {
        const Rect& r = m.select[0];
        Canvas mark(r.w, r.h);
        selectionBox(mark.cr(), Rect{0, 0, r.w, r.h}, true);
        mark.saveBmp(pic / "selected.bmp");
    }
    {
        // The count frame: its number box sits at m.text[2] inside it.
        const Rect& f = m.select[12];
        const Rect& box = m.text[2];
        Canvas frame(f.w, f.h, hex(0xfffdf3));
        cairo_t* cr = frame.cr();
        PanelStyle st;
        st.top = hex(0xc8e6c9);
        st.bottom = hex(0x66bb6a);
        st.border = hex(0x1b5e20);
        st.radius = 9;
        st.shadow = false;
        panel(cr, 1, 1, f.w - 2, f.h - 2, st);
        TextStyle t;
        t.size = 13;
        t.fill = hex(0x1b5e20);
        t.outline = hex(0x1b5e20);
        t.outlineWidth = 0.3;
        text(cr, "几首", f.w / 2.0, 10, t);
        textField(cr, Rect{box.x - f.x, box.y - f.y, box.w, box.h}, hex(0x1b5e20));
        frame.saveJpeg(pic / "added01.jpg", 95);
    }
    for (int i = 0; i < 3; ++i) {
        Canvas logo(128, 128);
        logoPicture(logo.cr(), i);
        logo.saveBmp(pic / ("qhzt" + std::to_string(i + 1) + ".bmp"));
    }
}

void writeExitPicture(const fs::path& pic) {
    Canvas c(320, 240);
    cairo_t* cr = c.cr();
    linear(cr, 0, 0, 0, 240, {{0, hex(0xff9e80)}, {0.55, hex(0xffe0b2)}, {1, hex(0xfff8e1)}});
    cairo_paint(cr);
    sun(cr, 262, 60, 26);
    cloud(cr, 60, 40, 60, white);
    cairo_move_to(cr, 0, 190);
    cairo_curve_to(cr, 80, 170, 200, 205, 320, 180);
    cairo_line_to(cr, 320, 240);
    cairo_line_to(cr, 0, 240);
    cairo_close_path(cr);
    linear(cr, 0, 170, 0, 240, {{0, palette::grass}, {1, palette::grassDark}});
    cairo_fill(cr);
    rabbit(cr, 70, 168, 70);
    heart(cr, 112, 122, 18, hex(0xf06292));
    heart(cr, 128, 100, 12, hex(0xff8a80));
    for (int i = 0; i < 5; ++i)
        flower(cr, 140 + i * 36, 214 + (i % 2) * 8, 7, i % 2 ? hex(0xf48fb1) : hex(0xfff176),
               hex(0xff9800));
    TextStyle big;
    big.size = 56;
    big.fill = hex(0xe53935);
    big.outline = white;
    big.outlineWidth = 4;
    big.shadow = true;
    text(cr, "再见！", 200, 104, big);
    TextStyle small;
    small.size = 24;
    small.fill = hex(0x6a1b9a);
    small.outline = white;
    small.outlineWidth = 2.5;
    text(cr, "下次再来玩", 204, 158, small);
    c.saveJpeg(pic / "exit.jpg", 92);
}

void writeHubPictures(const fs::path& pic) {
    // Four frames of one loop: rays turn, stars twinkle and the circles
    // breathe, while each circle keeps the place data\game.txt gives it.
    const Color circleColors[6] = {hex(0xff7043), hex(0x42a5f5), hex(0xab47bc),
                                   hex(0x26a69a), hex(0xffca28), hex(0xef5350)};
    for (int f = 0; f < 4; ++f) {
        Canvas c(400, 400);
        cairo_t* cr = c.cr();
        radial(cr, 200, 212, 300, hex(0xfff9c4), hex(0x4fc3f7));
        cairo_paint(cr);
        cairo_save(cr);
        cairo_translate(cr, 200, 212);
        cairo_rotate(cr, f * pi / 24);
        for (int k = 0; k < 16; ++k) {
            cairo_move_to(cr, 0, 0);
            cairo_arc(cr, 0, 0, 320, k * pi / 8, k * pi / 8 + pi / 16);
            cairo_close_path(cr);
        }
        setColor(cr, withAlpha(white, 0.22));
        cairo_fill(cr);
        cairo_restore(cr);
        Rng rng(11);
        for (int k = 0; k < 18; ++k) {
            const double x = rng.range(10, 390), y = rng.range(10, 390);
            const double phase = (k + f) % 4;
            star(cr, x, y, 3 + phase * 1.5, hex(0xfff59d), hex(0xffa000), k + f * 0.3);
        }
        PanelStyle ribbon;
        ribbon.top = hex(0xfff3c4);
        ribbon.bottom = hex(0xffc94d);
        ribbon.border = palette::orange;
        ribbon.radius = 16;
        panel(cr, 8, 8, 112, 36, ribbon);
        TextStyle title;
        title.size = 22;
        title.fill = hex(0xe53935);
        title.outline = white;
        title.outlineWidth = 2.2;
        text(cr, "游戏乐园", 64, 26, title);
        // The string of pearls that joins the five games.
        const auto& circles = hubCircles();
        cairo_set_line_width(cr, 5);
        setColor(cr, withAlpha(white, 0.7));
        const double dash[] = {2, 10};
        cairo_set_dash(cr, dash, 2, -f * 3.0);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_arc(cr, 200, 212, 120, 0, 2 * pi);
        cairo_stroke(cr);
        cairo_set_dash(cr, nullptr, 0, 0);
        for (int i = 0; i < 6; ++i) {
            const Circle& k = circles[i];
            const double breathe = (f == 1 || f == 3) ? 1.5 : (f == 2 ? 3 : 0);
            const double r = k.r - 4 + breathe * 0.5;
            cairo_arc(cr, k.x + 2, k.y + 3, r, 0, 2 * pi);
            setColor(cr, Color{0, 0, 0, 0.18});
            cairo_fill(cr);
            cairo_arc(cr, k.x, k.y, r, 0, 2 * pi);
            radial(cr, k.x - r * 0.35, k.y - r * 0.4, r * 1.5, lighter(circleColors[i], 0.65),
                   circleColors[i]);
            cairo_fill_preserve(cr);
            setColor(cr, white);
            cairo_set_line_width(cr, 3.5);
            cairo_stroke(cr);
            const double iy = k.y - r * 0.22, is = r * 0.72;
            switch (i) {
            case 0:
                card(cr, k.x - is * 0.22, iy, is * 0.7, "字", hex(0xd84315));
                card(cr, k.x + is * 0.25, iy + 2, is * 0.7, "?", hex(0x1565c0));
                break;
            case 1:
                star(cr, k.x - is * 0.3, iy, is * 0.25, hex(0xffeb3b), hex(0xe65100));
                card(cr, k.x + is * 0.22, iy, is * 0.7, "字", hex(0x1565c0));
                break;
            case 2:
                kit::palette(cr, k.x - is * 0.12, iy, is * 0.9);
                brush(cr, k.x + is * 0.38, iy - 2, is * 0.6);
                break;
            case 3:
                for (int p = 0; p < 5; ++p)
                    pearl(cr, k.x - is * 0.6 + p * is * 0.3, iy + std::sin(p + f) * 4, is * 0.16,
                          mix(hex(0xffffff), circleColors[(p + 1) % 6], 0.5));
                break;
            case 4:
                for (int b = 0; b < 3; ++b)
                    card(cr, k.x - is * 0.52 + b * is * 0.52, iy, is * 0.56,
                         b == 0 ? "春" : (b == 1 ? "眠" : "晓"), hex(0x6d4c41));
                break;
            default:
                arrow(cr, k.x, iy, is * 0.75, Dir::Left, hex(0xfff59d), hex(0xb71c1c));
                break;
            }
            TextStyle label;
            label.size = i == 5 ? 21 : 19;
            label.fill = white;
            label.outline = darker(circleColors[i], 0.5);
            label.outlineWidth = 2.2;
            text(cr, hubLabels()[i], k.x, k.y + r * 0.5, label);
        }
        c.saveJpeg(pic / ("game" + std::to_string(f + 1) + ".jpg"), 92);
    }
}

} // namespace pictures

void writePictures(const fs::path& appDir) {
    if (!kit::fontAvailable(kit::kKai))
        throw std::runtime_error(std::string("the Kai face \"") + kit::kKai +
                                 "\" is not installed (Debian package fonts-arphic-gkai00mp)");
    const fs::path pic = appDir / "pic";
    const fs::path data = appDir / "data";
    const fs::path kj = appDir / "tav_KJ";
    for (const fs::path& d : {pic, data, kj})
        fs::create_directories(d);
    pictures::writeMenuPictures(pic);
    pictures::writeExitPicture(pic);
    const int backgrounds = pictures::writeBackgrounds(pic);
    pictures::writePagePictures(pic);
    pictures::writePointers(pic);
    pictures::writeHubPictures(pic);
    kit::writeFile(data / "pos_size.txt", menuLayoutFile());
    kit::writeFile(data / "game.txt", hubCirclesFile());
    kit::writeFile(data / "data.txt", menuStateFile(backgrounds));
    pictures::writeCharacterSheets(kj, book());
    writeGame01(appDir);
    writeGame02(appDir);
    writeGame05(appDir);
    writeGame03(appDir);
    writeGame04(appDir);
}

} // namespace mediagen
