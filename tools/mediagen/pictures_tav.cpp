// The character pictures of the games: the sheet of every character and
// each verse's block strips for the block puzzle.
#include "pictures.h"

#include <cstdio>
#include <stdexcept>

namespace mediagen::pictures {

using namespace kit;

namespace {

constexpr int kCell = 29, kPitchX = 30, kPitchY = 32;
constexpr int kBlockW = 39, kBlockH = 36, kBlockPitch = 40;

// The three looks of a block: movable, locked (its row is complete) and at
// rest (before the start and after a win).
struct BlockLook {
    Color top, bottom, border, glyph;
    const char* suffix;
};
const BlockLook kLooks[3] = {
    {hex(0xfff3b0), hex(0xffc94d), hex(0xb26a00), hex(0x7a1f00), "H"},
    {hex(0xdcfcd8), hex(0x7ed67a), hex(0x1b5e20), hex(0x0b3d12), "Y"},
    {hex(0xe3f2fd), hex(0x90caf9), hex(0x3f6fa8), hex(0x0d2f6b), "J"},
};

void block(cairo_t* cr, double x, const BlockLook& look, const std::string& glyph, bool locked) {
    PanelStyle st;
    st.top = look.top;
    st.bottom = look.bottom;
    st.border = look.border;
    st.borderWidth = 2;
    st.radius = 7;
    st.shadow = false;
    panel(cr, x + 1, 1, kBlockW - 2, kBlockH - 2, st);
    TextStyle t;
    t.size = locked ? 21 : 27;
    t.fill = look.glyph;
    t.outline = withAlpha(look.glyph, 0.6);
    t.outlineWidth = 0.35;
    if (!locked) {
        text(cr, glyph, x + kBlockW / 2.0, kBlockH / 2.0 + 0.5, t);
        return;
    }
    // A locked block says its row is done with a small tick in the top right
    // corner; the glyph moves down and left, a little smaller, so the two
    // never touch.
    text(cr, glyph, x + 16.5, 22, t);
    cairo_set_line_width(cr, 2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    setColor(cr, hex(0xfff176));
    cairo_move_to(cr, x + 28.5, 7.5);
    cairo_line_to(cr, x + 30.5, 9.5);
    cairo_line_to(cr, x + 34, 5.5);
    cairo_stroke(cr);
}

} // namespace

void writeCharacterSheets(const fs::path& kj, const std::vector<Verse>& verses) {
    const int rows = std::max<int>(140, static_cast<int>(verses.size()));
    Canvas sheet(kPitchX * 13 + kCell, kPitchY * (rows - 1) + kCell, white);
    TextStyle ink;
    ink.size = 27;
    ink.fill = hex(0x1a1a1a);
    ink.outline = hex(0x1a1a1a);
    ink.outlineWidth = 0.35;
    for (const Verse& v : verses) {
        if (v.number < 1 || v.number > rows || v.text.size() != 14)
            throw std::runtime_error("verse " + std::to_string(v.number) + " is not 14 characters");
        const double top = kPitchY * (v.number - 1);
        for (int p = 0; p < 14; ++p)
            text(sheet.cr(), utf8(v.text[p]), kPitchX * p + kCell / 2.0, top + kCell / 2.0 + 0.5,
                 ink);
        for (int look = 0; look < 3; ++look) {
            Canvas strip(kBlockPitch * 13 + kBlockW, kBlockH, hex(0xfff8e1));
            for (int p = 0; p < 14; ++p)
                block(strip.cr(), kBlockPitch * p, kLooks[look], utf8(v.text[p]), look == 1);
            char name[32];
            std::snprintf(name, sizeof name, "tav_%s%03d.bmp", kLooks[look].suffix, v.number);
            strip.saveBmp8(kj / name);
        }
    }
    sheet.saveBmp8(kj / "tav.bmp");
}

} // namespace mediagen::pictures
