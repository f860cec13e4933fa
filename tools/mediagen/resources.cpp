// The bitmaps built into the program: the menu's picture buttons, the
// message dialog and the pages' back button. Button strips hold four frames
// side by side: normal, mouse over, pressed, disabled.
#include "kit.h"
#include "mediagen.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <stdexcept>

namespace mediagen {

using namespace kit;

namespace {

constexpr double pi = 3.14159265358979323846;

enum Frame { Normal, Over, Pressed, Disabled };

Color frameColor(Color c, int frame) {
    switch (frame) {
    case Over:
        return lighter(c, 0.25);
    case Pressed:
        return darker(c, 0.15);
    case Disabled:
        return mix(hex(0xbdbdbd), c, 0.15);
    default:
        return c;
    }
}

// One strip of four frames; `face` draws a frame's content into (0, 0, w, h)
// already shifted for the pressed look.
// `back` paints what lies behind the button where the program places it, so
// the rounded corners blend in.
using Painter = std::function<void(cairo_t*)>;

void strip(const fs::path& file, int w, int h, Color base, const Painter& back,
           const std::function<void(cairo_t*, int frame, Color c)>& face) {
    Canvas c(4 * w, h, white);
    cairo_t* cr = c.cr();
    for (int f = 0; f < 4; ++f) {
        cairo_save(cr);
        cairo_rectangle(cr, f * w, 0, w, h);
        cairo_clip(cr);
        cairo_translate(cr, f * w, 0);
        cairo_save(cr);
        back(cr);
        cairo_restore(cr);
        const Color col = frameColor(base, f);
        const double push = f == Pressed ? 1.5 : 0;
        if (f == Over) {
            roundedRect(cr, 1, 1, w - 2, h - 2, std::min(w, h) * 0.25);
            setColor(cr, withAlpha(hex(0xffff8d), 0.9));
            cairo_fill(cr);
        }
        PanelStyle st;
        st.top = lighter(col, 0.5);
        st.bottom = col;
        st.border = f == Disabled ? hex(0x9e9e9e) : darker(col, 0.45);
        st.borderWidth = 2.5;
        st.radius = std::min(w, h) * 0.22;
        st.shadow = f != Pressed;
        st.gloss = f != Pressed;
        const bool small = h < 30;
        const double inset = small ? 0.5 : (f == Over ? 3 : 3.5);
        const double room = small ? 1.5 : 3;
        if (small)
            st.borderWidth = 1.5;
        panel(cr, inset + push, inset + push, w - 2 * inset - room, h - 2 * inset - room, st);
        cairo_translate(cr, push, push);
        face(cr, f, col);
        cairo_restore(cr);
    }
    c.saveBmp(file);
}

TextStyle captionStyle(double size, Color c, int frame) {
    TextStyle t;
    t.size = size;
    t.fill = frame == Disabled ? hex(0xeeeeee) : white;
    t.outline = frame == Disabled ? hex(0x9e9e9e) : darker(c, 0.55);
    t.outlineWidth = size * 0.1;
    return t;
}

// The menu's button column: a gradient from y 176 to 478 behind the four
// buttons at tops 179, 254, 329 and 404.
Painter menuColumnAt(int top) {
    return [top](cairo_t* cr) {
        linear(cr, 0, 176 - top, 0, 478 - top, {{0, hex(0xfff8e1)}, {1, hex(0xffe082)}});
        cairo_paint(cr);
    };
}

// The message dialog, 240 x 100, seen from (x, y).
void dialogBackground(cairo_t* cr) {
    linear(cr, 0, 0, 0, 100, {{0, hex(0x81d4fa)}, {1, hex(0x0288d1)}});
    cairo_paint(cr);
    PanelStyle st;
    st.top = hex(0xfffde7);
    st.bottom = hex(0xfff59d);
    st.border = hex(0xf9a825);
    st.radius = 12;
    st.gloss = false;
    panel(cr, 6, 6, 228, 88, st);
}
Painter dialogAt(int x, int y) {
    return [x, y](cairo_t* cr) {
        cairo_translate(cr, -x, -y);
        dialogBackground(cr);
    };
}

void mainButton(const fs::path& dir, int index, const char* caption, Color base,
                const std::function<void(cairo_t*, double cx, double cy, int frame)>& icon) {
    strip(dir / ("MAINBUTN" + std::to_string(index) + ".bmp"), 90, 75, base,
          menuColumnAt(179 + 75 * (index - 1)), [&](cairo_t* cr, int f, Color col) {
              icon(cr, 43, 27, f);
              text(cr, caption, 43, 55, captionStyle(21, col, f));
          });
}

void dialogButton(const fs::path& file, const char* caption, Color base, int x) {
    strip(file, 82, 36, base, dialogAt(x, 53), [&](cairo_t* cr, int f, Color col) {
        text(cr, caption, 39.5, 16.5, captionStyle(20, col, f));
    });
}

// A message of the pearl game's end dialog: a picture a child reads at a
// glance on the left, the words beside it.
enum class Ending { Won, Lost, TimeUp };

void endingIcon(cairo_t* cr, Ending e, double cx, double cy) {
    switch (e) {
    case Ending::Won:
        star(cr, cx, cy, 13, hex(0xffd54f), hex(0xe65100));
        break;
    case Ending::Lost:
        // Two pearls of a string that came apart.
        pearl(cr, cx - 6, cy - 5, 6.5, hex(0xcdeeff));
        pearl(cr, cx + 6, cy + 5, 6.5, hex(0xffd95a));
        cairo_set_line_width(cr, 3);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        setColor(cr, hex(0xe53935));
        cairo_move_to(cr, cx - 11, cy + 9);
        cairo_line_to(cr, cx + 11, cy - 9);
        cairo_stroke(cr);
        break;
    case Ending::TimeUp: {
        // An alarm clock.
        for (int side = -1; side <= 1; side += 2) {
            cairo_arc(cr, cx + side * 8, cy - 10, 4, 0, 2 * pi);
            setColor(cr, hex(0xe53935));
            cairo_fill(cr);
        }
        cairo_arc(cr, cx, cy + 1, 11.5, 0, 2 * pi);
        setColor(cr, hex(0xe53935));
        cairo_fill(cr);
        cairo_arc(cr, cx, cy + 1, 9, 0, 2 * pi);
        setColor(cr, white);
        cairo_fill(cr);
        cairo_set_line_width(cr, 2);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        setColor(cr, hex(0x263238));
        cairo_move_to(cr, cx, cy + 1);
        cairo_line_to(cr, cx, cy - 6);
        cairo_move_to(cr, cx, cy + 1);
        cairo_line_to(cr, cx + 5, cy + 3);
        cairo_stroke(cr);
        break;
    }
    }
}

void label(const fs::path& file, const char* line, Color c, Ending e) {
    Canvas l(169, 35);
    dialogAt(56, 14)(l.cr());
    cairo_identity_matrix(l.cr());
    endingIcon(l.cr(), e, 16, 17.5);
    TextStyle t;
    t.size = 17;
    t.fill = c;
    t.outline = white;
    t.outlineWidth = 1.5;
    text(l.cr(), line, 100, 17.5, t);
    l.saveBmp(file);
}

} // namespace

void writeResourceBitmaps(const fs::path& dir) {
    if (!fontAvailable(kKai))
        throw std::runtime_error(std::string("the Kai face \"") + kKai + "\" is not installed");
    fs::create_directories(dir);
    mainButton(dir, 1, "进入", hex(0x43a047), [](cairo_t* cr, double cx, double cy, int f) {
        arrow(cr, cx, cy, 28, Dir::Right, f == Disabled ? hex(0xe0e0e0) : hex(0xfff176),
              hex(0x1b5e20));
    });
    mainButton(dir, 2, "游戏", hex(0x1e88e5), [](cairo_t* cr, double cx, double cy, int f) {
        star(cr, cx - 8, cy, 11, f == Disabled ? hex(0xe0e0e0) : hex(0xffeb3b), hex(0xe65100));
        card(cr, cx + 10, cy, 24, "字", f == Disabled ? hex(0x9e9e9e) : hex(0xd84315));
    });
    mainButton(dir, 3, "帮助", hex(0xfb8c00), [](cairo_t* cr, double cx, double cy, int f) {
        cairo_arc(cr, cx, cy, 13, 0, 2 * pi);
        setColor(cr, f == Disabled ? hex(0xe0e0e0) : white);
        cairo_fill(cr);
        TextStyle q;
        q.size = 24;
        q.family = kSans;
        q.fill = f == Disabled ? hex(0x9e9e9e) : hex(0xe65100);
        text(cr, "?", cx, cy + 1, q);
    });
    mainButton(dir, 4, "退出", hex(0xe53935), [](cairo_t* cr, double cx, double cy, int f) {
        const Color door = f == Disabled ? hex(0xe0e0e0) : hex(0xffe0b2);
        roundedRect(cr, cx - 12, cy - 13, 18, 26, 3);
        setColor(cr, door);
        cairo_fill_preserve(cr);
        setColor(cr, hex(0x6d4c41));
        cairo_set_line_width(cr, 1.5);
        cairo_stroke(cr);
        arrow(cr, cx + 6, cy, 18, Dir::Right, f == Disabled ? hex(0xe0e0e0) : hex(0xfff176),
              hex(0x7f0000));
    });

    dialogButton(dir / "BUTN01.bmp", "是", hex(0x43a047), 29);
    dialogButton(dir / "BUTN02.bmp", "否", hex(0xe53935), 128);

    {
        Canvas box(240, 100);
        cairo_t* cr = box.cr();
        dialogBackground(cr);
        // The message picture covers (56, 14) 169 x 35; a friendly face sits left of it.
        sun(cr, 30, 31, 13);
        for (int i = 0; i < 3; ++i)
            star(cr, 14 + i * 7, 82 - (i % 2) * 4, 3, hex(0xffeb3b), hex(0xf57f17));
        box.saveBmp(dir / "DLGBOX.bmp");
    }
    // The pearl game's three endings, each asking whether to play again.
    label(dir / "LABEL01.bmp", "你赢了！再玩吗？", hex(0x2e7d32), Ending::Won);
    label(dir / "LABEL02.bmp", "串错了！再玩吗？", hex(0xc62828), Ending::Lost);
    label(dir / "LABEL03.bmp", "时间到！再玩吗？", hex(0x1565c0), Ending::TimeUp);

    strip(
        dir / "BACK.bmp", 20, 20, hex(0xff7043),
        [](cairo_t* cr) {
            setColor(cr, hex(0xfff3e0));
            cairo_paint(cr);
        },
        [](cairo_t* cr, int f, Color) {
            arrow(cr, 8.5, 8.5, 11, Dir::Left, f == Disabled ? hex(0xeeeeee) : white,
                  hex(0x7f2700));
        });

    {
        Canvas note(202, 35, hex(0xfffde7));
        PanelStyle st;
        st.top = hex(0xfffde7);
        st.bottom = hex(0xffe082);
        st.border = hex(0xf9a825);
        st.radius = 10;
        st.shadow = false;
        panel(note.cr(), 1, 1, 200, 33, st);
        TextStyle t;
        t.size = 18;
        t.fill = hex(0x6d4c41);
        text(note.cr(), "请选择一首诗", 101, 17.5, t);
        note.saveBmp(dir / "NOTE.bmp");
    }
}

} // namespace mediagen
