// The program's icon in the sizes of the desktop's icon theme: a red tile
// with the character 字 ("character") in white Kai strokes, the look of the
// menu's buttons.
#include "kit.h"
#include "mediagen.h"

#include <string>

namespace mediagen {

namespace {

void drawIcon(kit::Canvas& c) {
    cairo_t* cr = c.cr();
    const double s = c.width();
    // A margin of a sixteenth keeps the tile the size of its neighbours in a
    // menu; the smallest sizes use every pixel.
    const double m = s >= 32 ? s / 16 : 0;
    const double r = (s - 2 * m) * 0.2;
    kit::roundedRect(cr, m, m, s - 2 * m, s - 2 * m, r);
    kit::linear(cr, 0, m, 0, s - m, {{0, kit::hex(0xf0553c)}, {1, kit::hex(0xb8261c)}});
    cairo_fill_preserve(cr);
    kit::setColor(cr, kit::hex(0xffc83d));
    cairo_set_line_width(cr, s >= 32 ? s / 24 : 1);
    cairo_stroke(cr);
    kit::TextStyle style;
    style.size = s * 0.68;
    style.fill = kit::white;
    style.outline = kit::hex(0x5a1208);
    style.outlineWidth = s >= 48 ? s / 40 : 0;
    kit::text(cr, "字", s / 2, s / 2, style);
}

} // namespace

void writeIcons(const fs::path& dir) {
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const std::string px = std::to_string(size);
        const fs::path folder = dir / "hicolor" / (px + "x" + px) / "apps";
        fs::create_directories(folder);
        kit::Canvas c(size, size, kit::Color{0, 0, 0, 0});
        drawIcon(c);
        c.savePng(folder / "org.shizi.shizi.png");
    }
}

} // namespace mediagen
