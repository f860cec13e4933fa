// The drawing kit every picture of the media set is made with: one bright,
// rounded, child-friendly look on top of cairo, and the file formats the
// program reads (JPEG, 24- and 8-bit BMP, .cur pointers).
//
//   kit::Canvas c(640, 480);
//   kit::panel(c.cr(), 20, 20, 200, 80, {});            // cream panel, orange border
//   kit::text(c.cr(), "开始", 120, 60, {28, kit::white}); // centred Kai caption
//   c.saveJpeg(dir / "bg.jpg");
//
// The house colours live in pictures.h (namespace pictures::palette).
#pragma once

#include <cairo.h>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace mediagen::kit {

namespace fs = std::filesystem;

struct Color {
    double r = 0, g = 0, b = 0, a = 1;
};

// 0xRRGGBB.
Color hex(std::uint32_t rgb, double alpha = 1);
Color mix(Color a, Color b, double t);
Color lighter(Color c, double t); // towards white
Color darker(Color c, double t);  // towards black
Color withAlpha(Color c, double alpha);

inline const Color white{1, 1, 1, 1};
inline const Color black{0, 0, 0, 1};

// The face of every caption: the Kai script children learn to read first.
inline constexpr const char* kKai = "AR PL KaitiM GB";
// A round sans for digits and small print.
inline constexpr const char* kSans = "WenQuanYi Zen Hei";

// An image surface with its drawing context.
class Canvas {
  public:
    Canvas(int width, int height, Color fill = white);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    Canvas(Canvas&& other) noexcept;
    Canvas& operator=(Canvas&&) = delete;

    int width() const { return width_; }
    int height() const { return height_; }
    cairo_t* cr() const { return cr_; }
    cairo_surface_t* surface() const { return surface_; }

    // 0xRRGGBB of an opaque pixel (alpha is dropped).
    std::uint32_t pixel(int x, int y) const;
    // Paints `src` with its top-left corner at (x, y).
    void paint(const Canvas& src, double x, double y, double alpha = 1) const;

    void savePng(const fs::path& file) const;
    // JPEG goes through ImageMagick; masks ask for full chroma so their edges
    // stay where they are drawn.
    void saveJpeg(const fs::path& file, int quality = 92) const;
    void saveBmp(const fs::path& file) const; // 24-bit, bottom-up
    // 8-bit with a palette of the picture's own colours (median cut when it
    // has more than 256): a third of the size for pictures of few colours.
    void saveBmp8(const fs::path& file) const;
    // A 32 x 32 Windows pointer with its hot spot.
    void saveCur(const fs::path& file, int hotX, int hotY) const;

  private:
    int width_, height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

// A transparent drawing split into the XOR image (black outside) and its
// AND mask (black inside), with a hard edge: a sprite the program paints
// with XOR, AND, XOR.
void writeMaskedPair(const Canvas& drawing, const fs::path& image, const fs::path& mask);

// Throws std::runtime_error with the file name when writing fails.
void writeFile(const fs::path& file, const std::string& bytes);
// 24-bit BMP bytes of an ARGB32 surface.
std::string bmpBytes(cairo_surface_t* surface);
// 8-bit BMP bytes: one palette index per pixel, `indices` row by row from
// the top; the colour table holds exactly `palette`, so the pixels start at
// byte 54 + 4 * palette.size(). Rows are stored bottom-up, padded to 4.
std::string bmp8Bytes(int width, int height, const std::vector<std::uint8_t>& indices,
                      const std::vector<Color>& palette);

void setColor(cairo_t* cr, Color c);
// Adds a rounded rectangle to the current path.
void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
// Sets a linear gradient from (x0, y0) to (x1, y1) through the given stops.
struct Stop {
    double at;
    Color color;
};
void linear(cairo_t* cr, double x0, double y0, double x1, double y1,
            const std::vector<Stop>& stops);
void radial(cairo_t* cr, double cx, double cy, double r, Color inner, Color outer);

// A raised rounded panel: soft shadow, vertical gradient, border and a
// glossy top highlight.
struct PanelStyle {
    Color top = hex(0xfffbe8);
    Color bottom = hex(0xffe9a8);
    Color border = hex(0xe08a1e);
    double borderWidth = 3;
    double radius = 14;
    bool shadow = true;
    bool gloss = true;
};
void panel(cairo_t* cr, double x, double y, double w, double h, const PanelStyle& style);
// A game button's panel in its normal look or highlighted (lighter, with a
// yellow rim one `border` wider), flat on the screen.
PanelStyle buttonStyle(Color color, bool lit, double border, double radius);

// A game screen's push button, plain or lit (brighter, a yellow rim and two
// sparkles) as when the pointer rests on it; its caption or icon goes on top.
void gameButton(cairo_t* cr, double x, double y, double w, double h, Color color, bool lit);

// Outlined text centred on (cx, cy): the outline is stroked first so the
// fill keeps the full glyph shape.
struct TextStyle {
    double size = 24; // pixels
    Color fill = white;
    Color outline = hex(0x5a2d0c);
    double outlineWidth = 0;
    const char* family = kKai;
    bool shadow = false;
};
void text(cairo_t* cr, const std::string& utf8, double cx, double cy, const TextStyle& style);
// Left-aligned: (x, cy) is the left end of the text's middle line.
void textLeft(cairo_t* cr, const std::string& utf8, double x, double cy, const TextStyle& style);
double textWidth(cairo_t* cr, const std::string& utf8, double size, const char* family = kKai);
// Sets the font of `family` on `cr` (fontconfig match, cached).
void useFont(cairo_t* cr, const char* family, double size);
// True when `family` resolves to a font whose family is exactly that.
bool fontAvailable(const char* family);

// Icons, each centred on (cx, cy) and about `s` pixels across.
void star(cairo_t* cr, double cx, double cy, double r, Color fill, Color outline,
          double rotation = 0);
void flower(cairo_t* cr, double cx, double cy, double r, Color petals, Color centre);
void cloud(cairo_t* cr, double cx, double cy, double w, Color c);
void sun(cairo_t* cr, double cx, double cy, double r);
void moon(cairo_t* cr, double cx, double cy, double r);
void heart(cairo_t* cr, double cx, double cy, double s, Color c);
void tree(cairo_t* cr, double x, double groundY, double h, Color leaves);
void butterfly(cairo_t* cr, double cx, double cy, double s, Color wings);
void bird(cairo_t* cr, double cx, double cy, double s, Color c);
void fish(cairo_t* cr, double cx, double cy, double s, Color c, bool facingLeft = false);
void rabbit(cairo_t* cr, double cx, double cy, double s);
void duck(cairo_t* cr, double cx, double cy, double s);
void house(cairo_t* cr, double cx, double groundY, double s, Color wall, Color roof);
void boat(cairo_t* cr, double cx, double cy, double s, Color hull);
void mountain(cairo_t* cr, double cx, double baseY, double w, double h, Color c, bool snow);
// A hand with the index finger pointing in direction `angle` (0 = up,
// radians clockwise).
void hand(cairo_t* cr, double cx, double cy, double s, double angle = 0, Color skin = hex(0xffd9b0),
          Color outline = hex(0x8a4b1c));
enum class Dir { Left, Right, Up, Down };
void arrow(cairo_t* cr, double cx, double cy, double s, Dir dir, Color fill, Color outline);
void speaker(cairo_t* cr, double cx, double cy, double s, Color c, int waves);
void book(cairo_t* cr, double cx, double cy, double s, Color cover);
void dice(cairo_t* cr, double cx, double cy, double s, Color c);
void ear(cairo_t* cr, double cx, double cy, double s);
void card(cairo_t* cr, double cx, double cy, double s, const std::string& glyph, Color c);
void note(cairo_t* cr, double cx, double cy, double s, Color c); // a musical note
void pearl(cairo_t* cr, double cx, double cy, double r, Color c);
void palette(cairo_t* cr, double cx, double cy, double s);
void brush(cairo_t* cr, double cx, double cy, double s);

// A small deterministic generator so every build draws the same pictures.
class Rng {
  public:
    explicit Rng(std::uint32_t seed) : state_(seed * 2654435761u + 1) {}
    double uniform(); // [0, 1)
    double range(double lo, double hi) { return lo + (hi - lo) * uniform(); }
    int below(int n) { return static_cast<int>(uniform() * n); }

  private:
    std::uint64_t state_;
};

} // namespace mediagen::kit
