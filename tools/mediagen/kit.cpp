#include "kit.h"

#include <algorithm>
#include <cairo-ft.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fontconfig/fontconfig.h>
#include <fstream>
#include <map>
#include <stdexcept>
#include <unistd.h>

namespace mediagen::kit {

namespace {

constexpr double pi = 3.14159265358979323846;

void put16(std::string& s, unsigned v) {
    s.push_back(static_cast<char>(v & 0xff));
    s.push_back(static_cast<char>((v >> 8) & 0xff));
}
void put32(std::string& s, unsigned v) {
    put16(s, v & 0xffff);
    put16(s, v >> 16);
}

// Un-premultiplied RGBA of one ARGB32 pixel.
void unpremultiply(std::uint32_t p, unsigned& r, unsigned& g, unsigned& b, unsigned& a) {
    a = p >> 24;
    r = (p >> 16) & 0xff;
    g = (p >> 8) & 0xff;
    b = p & 0xff;
    if (a != 0 && a != 255) {
        r = std::min(255u, r * 255 / a);
        g = std::min(255u, g * 255 / a);
        b = std::min(255u, b * 255 / a);
    }
}

std::string shellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

} // namespace

Color hex(std::uint32_t rgb, double alpha) {
    return {((rgb >> 16) & 0xff) / 255.0, ((rgb >> 8) & 0xff) / 255.0, (rgb & 0xff) / 255.0, alpha};
}
Color mix(Color a, Color b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}
Color lighter(Color c, double t) {
    return mix(c, Color{1, 1, 1, c.a}, t);
}
Color darker(Color c, double t) {
    return mix(c, Color{0, 0, 0, c.a}, t);
}
Color withAlpha(Color c, double alpha) {
    return {c.r, c.g, c.b, alpha};
}

// ---- Canvas ----------------------------------------------------------------

Canvas::Canvas(int width, int height, Color fill)
    : width_(width), height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {
    setColor(cr_, fill);
    cairo_paint(cr_);
}

Canvas::~Canvas() {
    if (cr_)
        cairo_destroy(cr_);
    if (surface_)
        cairo_surface_destroy(surface_);
}

Canvas::Canvas(Canvas&& other) noexcept
    : width_(other.width_), height_(other.height_), surface_(other.surface_), cr_(other.cr_) {
    other.surface_ = nullptr;
    other.cr_ = nullptr;
}

std::uint32_t Canvas::pixel(int x, int y) const {
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    const auto p = *reinterpret_cast<const std::uint32_t*>(data + y * stride + x * 4);
    unsigned r, g, b, a;
    unpremultiply(p, r, g, b, a);
    return (r << 16) | (g << 8) | b;
}

void Canvas::paint(const Canvas& src, double x, double y, double alpha) const {
    cairo_save(cr_);
    cairo_set_source_surface(cr_, src.surface_, x, y);
    cairo_paint_with_alpha(cr_, alpha);
    cairo_restore(cr_);
}

void Canvas::savePng(const fs::path& file) const {
    cairo_surface_flush(surface_);
    if (cairo_surface_write_to_png(surface_, file.c_str()) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot write " + file.string());
}

void Canvas::saveJpeg(const fs::path& file, int quality) const {
    // A PNG beside the target, converted and removed; the JPEG appears under
    // its own name only when it is complete.
    const fs::path png = file.string() + ".tmp.png";
    const fs::path part = file.string() + ".tmp.jpg";
    savePng(png);
    const std::string cmd =
        "convert " + shellQuote(png.string()) + " -type TrueColor -sampling-factor 1x1 -quality " +
        std::to_string(quality) + " " + shellQuote(part.string()) + " 2>/dev/null";
    const int rc = std::system(cmd.c_str());
    fs::remove(png);
    if (rc != 0 || !fs::exists(part))
        throw std::runtime_error("ImageMagick could not write " + file.string());
    fs::rename(part, file);
}

std::string bmpBytes(cairo_surface_t* surface) {
    cairo_surface_flush(surface);
    const int w = cairo_image_surface_get_width(surface);
    const int h = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int rowBytes = (w * 3 + 3) & ~3;
    std::string s;
    s.reserve(54 + rowBytes * h);
    s += "BM";
    put32(s, 54 + rowBytes * h);
    put32(s, 0);
    put32(s, 54);
    put32(s, 40);
    put32(s, w);
    put32(s, h);
    put16(s, 1);
    put16(s, 24);
    put32(s, 0);
    put32(s, rowBytes * h);
    put32(s, 2835);
    put32(s, 2835);
    put32(s, 0);
    put32(s, 0);
    for (int y = h - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
        for (int x = 0; x < w; ++x) {
            unsigned r, g, b, a;
            unpremultiply(row[x], r, g, b, a);
            // Transparent parts of a BMP become white, as on paper.
            r = (r * a + 255 * (255 - a)) / 255;
            g = (g * a + 255 * (255 - a)) / 255;
            b = (b * a + 255 * (255 - a)) / 255;
            s.push_back(static_cast<char>(b));
            s.push_back(static_cast<char>(g));
            s.push_back(static_cast<char>(r));
        }
        for (int pad = w * 3; pad < rowBytes; ++pad)
            s.push_back(0);
    }
    return s;
}

std::string bmp8Bytes(int width, int height, const std::vector<std::uint8_t>& indices,
                      const std::vector<Color>& palette) {
    if (width <= 0 || height <= 0 || indices.size() != static_cast<size_t>(width) * height ||
        palette.empty() || palette.size() > 256)
        throw std::runtime_error("8-bit BMP: wrong size or palette");
    const int rowBytes = (width + 3) & ~3;
    const int offset = 54 + 4 * static_cast<int>(palette.size());
    std::string s;
    s.reserve(offset + rowBytes * height);
    s += "BM";
    put32(s, offset + rowBytes * height);
    put32(s, 0);
    put32(s, offset);
    put32(s, 40);
    put32(s, width);
    put32(s, height);
    put16(s, 1);
    put16(s, 8);
    put32(s, 0);
    put32(s, rowBytes * height);
    put32(s, 2835);
    put32(s, 2835);
    put32(s, static_cast<unsigned>(palette.size()));
    put32(s, 0);
    for (const Color& c : palette) {
        auto byte = [](double v) {
            return static_cast<char>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
        };
        s.push_back(byte(c.b));
        s.push_back(byte(c.g));
        s.push_back(byte(c.r));
        s.push_back(0);
    }
    for (int y = height - 1; y >= 0; --y) {
        s.append(reinterpret_cast<const char*>(indices.data()) + static_cast<size_t>(y) * width,
                 width);
        s.append(rowBytes - width, '\0');
    }
    return s;
}

void writeFile(const fs::path& file, const std::string& bytes) {
    const fs::path part = file.string() + ".tmp";
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out)
            throw std::runtime_error("cannot write " + file.string());
    }
    fs::rename(part, file);
}

void Canvas::saveBmp(const fs::path& file) const {
    writeFile(file, bmpBytes(surface_));
}

namespace {

// A box of colours for the median cut: the colours with their pixel counts.
struct ColourBox {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> colours; // 0xRRGGBB, count
    int channelRange(int shift) const {
        int lo = 255, hi = 0;
        for (const auto& [c, n] : colours) {
            const int v = int((c >> shift) & 255);
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        return hi - lo;
    }
    std::uint64_t weight() const {
        std::uint64_t w = 0;
        for (const auto& cn : colours)
            w += cn.second;
        return w;
    }
    std::uint32_t mean() const {
        std::uint64_t r = 0, g = 0, b = 0, n = 0;
        for (const auto& [c, k] : colours) {
            r += ((c >> 16) & 255) * k;
            g += ((c >> 8) & 255) * k;
            b += (c & 255) * k;
            n += k;
        }
        n = std::max<std::uint64_t>(n, 1);
        return std::uint32_t(((r + n / 2) / n) << 16 | ((g + n / 2) / n) << 8 | ((b + n / 2) / n));
    }
};

std::vector<std::uint32_t> paletteOf(const std::map<std::uint32_t, std::uint32_t>& counts) {
    std::vector<std::uint32_t> palette;
    if (counts.size() <= 256) {
        for (const auto& cn : counts)
            palette.push_back(cn.first);
        return palette;
    }
    std::vector<ColourBox> boxes(1);
    boxes[0].colours.assign(counts.begin(), counts.end());
    while (boxes.size() < 256) {
        // Split the heaviest box that still holds more than one colour.
        std::size_t pick = boxes.size();
        std::uint64_t best = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].colours.size() < 2)
                continue;
            const int range = std::max(
                {boxes[i].channelRange(16), boxes[i].channelRange(8), boxes[i].channelRange(0)});
            const std::uint64_t score = boxes[i].weight() * std::uint64_t(range + 1);
            if (score > best) {
                best = score;
                pick = i;
            }
        }
        if (pick == boxes.size())
            break;
        ColourBox& box = boxes[pick];
        const int rr = box.channelRange(16), gr = box.channelRange(8), br = box.channelRange(0);
        const int shift = rr >= gr && rr >= br ? 16 : gr >= br ? 8 : 0;
        std::sort(box.colours.begin(), box.colours.end(), [shift](const auto& a, const auto& b) {
            return ((a.first >> shift) & 255) < ((b.first >> shift) & 255);
        });
        const std::uint64_t half = box.weight() / 2;
        std::uint64_t run = 0;
        std::size_t cut = 1;
        for (; cut < box.colours.size() - 1; ++cut) {
            run += box.colours[cut - 1].second;
            if (run >= half)
                break;
        }
        ColourBox upper;
        upper.colours.assign(box.colours.begin() + long(cut), box.colours.end());
        box.colours.resize(cut);
        boxes.push_back(std::move(upper));
    }
    for (const ColourBox& b : boxes)
        palette.push_back(b.mean());
    return palette;
}

std::uint8_t nearest(const std::vector<std::uint32_t>& palette, std::uint32_t c) {
    std::size_t best = 0;
    int bestD = 1 << 30;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int dr = int((c >> 16) & 255) - int((palette[i] >> 16) & 255);
        const int dg = int((c >> 8) & 255) - int((palette[i] >> 8) & 255);
        const int db = int(c & 255) - int(palette[i] & 255);
        const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (d < bestD) {
            bestD = d;
            best = i;
        }
    }
    return std::uint8_t(best);
}

} // namespace

void Canvas::saveBmp8(const fs::path& file) const {
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    std::vector<std::uint32_t> px(std::size_t(width_) * std::size_t(height_));
    std::map<std::uint32_t, std::uint32_t> counts;
    for (int y = 0; y < height_; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
        for (int x = 0; x < width_; ++x) {
            unsigned r, g, b, a;
            unpremultiply(row[x], r, g, b, a);
            r = (r * a + 255 * (255 - a)) / 255;
            g = (g * a + 255 * (255 - a)) / 255;
            b = (b * a + 255 * (255 - a)) / 255;
            const std::uint32_t c = r << 16 | g << 8 | b;
            px[std::size_t(y) * std::size_t(width_) + std::size_t(x)] = c;
            ++counts[c];
        }
    }
    const std::vector<std::uint32_t> palette = paletteOf(counts);
    std::map<std::uint32_t, std::uint8_t> index;
    for (const auto& cn : counts)
        index[cn.first] = nearest(palette, cn.first);
    const int rowBytes = (width_ + 3) & ~3;
    const int head = 54 + 4 * int(palette.size());
    std::string s;
    s.reserve(std::size_t(head + rowBytes * height_));
    s += "BM";
    put32(s, unsigned(head + rowBytes * height_));
    put32(s, 0);
    put32(s, unsigned(head));
    put32(s, 40);
    put32(s, unsigned(width_));
    put32(s, unsigned(height_));
    put16(s, 1);
    put16(s, 8);
    put32(s, 0);
    put32(s, unsigned(rowBytes * height_));
    put32(s, 2835);
    put32(s, 2835);
    put32(s, unsigned(palette.size()));
    put32(s, 0);
    for (std::uint32_t c : palette) {
        s.push_back(static_cast<char>(c & 255));
        s.push_back(static_cast<char>((c >> 8) & 255));
        s.push_back(static_cast<char>((c >> 16) & 255));
        s.push_back(0);
    }
    for (int y = height_ - 1; y >= 0; --y) {
        for (int x = 0; x < width_; ++x)
            s.push_back(static_cast<char>(
                index[px[std::size_t(y) * std::size_t(width_) + std::size_t(x)]]));
        for (int pad = width_; pad < rowBytes; ++pad)
            s.push_back(0);
    }
    writeFile(file, s);
}

void Canvas::saveCur(const fs::path& file, int hotX, int hotY) const {
    if (width_ != 32 || height_ != 32)
        throw std::runtime_error("a pointer is 32 x 32: " + file.string());
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    const int xorBytes = 32 * 32 * 4, andBytes = 32 * 4;
    const int image = 40 + xorBytes + andBytes;
    std::string s;
    put16(s, 0);
    put16(s, 2); // pointer
    put16(s, 1);
    s.push_back(32);
    s.push_back(32);
    s.push_back(0);
    s.push_back(0);
    put16(s, static_cast<unsigned>(hotX));
    put16(s, static_cast<unsigned>(hotY));
    put32(s, image);
    put32(s, 22);
    put32(s, 40);
    put32(s, 32);
    put32(s, 64); // colour and mask stacked
    put16(s, 1);
    put16(s, 32);
    put32(s, 0);
    put32(s, xorBytes + andBytes);
    put32(s, 0);
    put32(s, 0);
    put32(s, 0);
    put32(s, 0);
    for (int y = 31; y >= 0; --y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
        for (int x = 0; x < 32; ++x) {
            unsigned r, g, b, a;
            unpremultiply(row[x], r, g, b, a);
            s.push_back(static_cast<char>(b));
            s.push_back(static_cast<char>(g));
            s.push_back(static_cast<char>(r));
            s.push_back(static_cast<char>(a));
        }
    }
    for (int y = 31; y >= 0; --y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
        std::uint32_t bits = 0;
        for (int x = 0; x < 32; ++x)
            if ((row[x] >> 24) < 128)
                bits |= 0x80000000u >> x;
        s.push_back(static_cast<char>(bits >> 24));
        s.push_back(static_cast<char>(bits >> 16));
        s.push_back(static_cast<char>(bits >> 8));
        s.push_back(static_cast<char>(bits));
    }
    writeFile(file, s);
}

// ---- paths and paint ------------------------------------------------------

void setColor(cairo_t* cr, Color c) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min({r, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -pi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, pi / 2);
    cairo_arc(cr, x + r, y + h - r, r, pi / 2, pi);
    cairo_arc(cr, x + r, y + r, r, pi, 3 * pi / 2);
    cairo_close_path(cr);
}

void linear(cairo_t* cr, double x0, double y0, double x1, double y1,
            const std::vector<Stop>& stops) {
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
    for (const Stop& s : stops)
        cairo_pattern_add_color_stop_rgba(p, s.at, s.color.r, s.color.g, s.color.b, s.color.a);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
}

void radial(cairo_t* cr, double cx, double cy, double r, Color inner, Color outer) {
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
    cairo_pattern_add_color_stop_rgba(p, 0, inner.r, inner.g, inner.b, inner.a);
    cairo_pattern_add_color_stop_rgba(p, 1, outer.r, outer.g, outer.b, outer.a);
    cairo_set_source(cr, p);
    cairo_pattern_destroy(p);
}

PanelStyle buttonStyle(Color color, bool lit, double border, double radius) {
    PanelStyle st;
    const Color c = lit ? lighter(color, 0.25) : color;
    st.top = lighter(c, lit ? 0.6 : 0.45);
    st.bottom = c;
    st.border = lit ? hex(0xfff176) : darker(c, 0.35);
    st.borderWidth = lit ? border + 1 : border;
    st.radius = radius;
    st.shadow = false;
    return st;
}

void panel(cairo_t* cr, double x, double y, double w, double h, const PanelStyle& st) {
    cairo_save(cr);
    if (st.shadow) {
        for (int i = 3; i >= 1; --i) {
            roundedRect(cr, x + i, y + i + 1, w, h, st.radius);
            setColor(cr, Color{0, 0, 0, 0.07});
            cairo_fill(cr);
        }
    }
    roundedRect(cr, x, y, w, h, st.radius);
    linear(cr, 0, y, 0, y + h, {{0, st.top}, {1, st.bottom}});
    cairo_fill_preserve(cr);
    if (st.borderWidth > 0) {
        setColor(cr, st.border);
        cairo_set_line_width(cr, st.borderWidth);
        cairo_stroke(cr);
    } else {
        cairo_new_path(cr);
    }
    if (st.gloss && h > 16) {
        const double inset = st.borderWidth + 2;
        roundedRect(cr, x + inset, y + inset, w - 2 * inset, (h - 2 * inset) * 0.42,
                    std::max(2.0, st.radius - inset));
        linear(cr, 0, y + inset, 0, y + inset + h * 0.42,
               {{0, Color{1, 1, 1, 0.55}}, {1, Color{1, 1, 1, 0.05}}});
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void writeMaskedPair(const Canvas& drawing, const fs::path& image, const fs::path& mask) {
    const int w = drawing.width(), h = drawing.height();
    Canvas img(w, h, black), msk(w, h, white);
    cairo_surface_flush(drawing.surface());
    const unsigned char* data = cairo_image_surface_get_data(drawing.surface());
    const int stride = cairo_image_surface_get_stride(drawing.surface());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const auto p = *reinterpret_cast<const std::uint32_t*>(data + y * stride + x * 4);
            if ((p >> 24) < 128)
                continue;
            const std::uint32_t rgb = drawing.pixel(x, y);
            cairo_rectangle(img.cr(), x, y, 1, 1);
            setColor(img.cr(), hex(rgb));
            cairo_fill(img.cr());
            cairo_rectangle(msk.cr(), x, y, 1, 1);
            setColor(msk.cr(), black);
            cairo_fill(msk.cr());
        }
    img.saveBmp(image);
    msk.saveBmp(mask);
}

// ---- text ------------------------------------------------------------------

namespace {

// Faces are made once per family and released at exit, with cairo's and
// fontconfig's caches, so leak checkers see a clean end.
struct FaceCache {
    std::map<std::string, cairo_font_face_t*> faces;
    ~FaceCache() {
        for (auto& [name, face] : faces)
            cairo_font_face_destroy(face);
        cairo_debug_reset_static_data();
        FcFini();
    }
};

cairo_font_face_t* fontFace(const char* family) {
    static FaceCache cache;
    auto& faces = cache.faces;
    auto it = faces.find(family);
    if (it != faces.end())
        return it->second;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        throw std::runtime_error(std::string("no font for ") + family);
    cairo_font_face_t* face = cairo_ft_font_face_create_for_pattern(match);
    FcPatternDestroy(match);
    faces.emplace(family, face);
    return face;
}

} // namespace

bool fontAvailable(const char* family) {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return false;
    bool same = false;
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i)
        if (std::string(reinterpret_cast<char*>(name)) == family)
            same = true;
    FcPatternDestroy(match);
    return same;
}

void useFont(cairo_t* cr, const char* family, double size) {
    cairo_set_font_face(cr, fontFace(family));
    cairo_set_font_size(cr, size);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_set_font_options(cr, options);
    cairo_font_options_destroy(options);
}

double textWidth(cairo_t* cr, const std::string& utf8, double size, const char* family) {
    cairo_save(cr);
    useFont(cr, family, size);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, utf8.c_str(), &ext);
    cairo_restore(cr);
    return ext.x_advance;
}

void textLeft(cairo_t* cr, const std::string& utf8, double x, double cy, const TextStyle& st) {
    cairo_save(cr);
    useFont(cr, st.family, st.size);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    // Centre the em box (ascent over descent) on cy; CJK glyphs fill it.
    const double baseline = cy + (fe.ascent - fe.descent) / 2;
    if (st.shadow) {
        cairo_move_to(cr, x + st.size * 0.06, baseline + st.size * 0.07);
        cairo_text_path(cr, utf8.c_str());
        setColor(cr, Color{0, 0, 0, 0.3});
        if (st.outlineWidth > 0) {
            cairo_set_line_width(cr, st.outlineWidth * 2);
            cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
            cairo_stroke_preserve(cr);
        }
        cairo_fill(cr);
    }
    cairo_move_to(cr, x, baseline);
    cairo_text_path(cr, utf8.c_str());
    if (st.outlineWidth > 0) {
        setColor(cr, st.outline);
        cairo_set_line_width(cr, st.outlineWidth * 2);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke_preserve(cr);
    }
    setColor(cr, st.fill);
    cairo_fill(cr);
    cairo_restore(cr);
}

void text(cairo_t* cr, const std::string& utf8, double cx, double cy, const TextStyle& st) {
    textLeft(cr, utf8, cx - textWidth(cr, utf8, st.size, st.family) / 2, cy, st);
}

void gameButton(cairo_t* cr, double x, double y, double w, double h, Color color, bool lit) {
    panel(cr, x + 1.5, y + 1.5, w - 3, h - 3, buttonStyle(color, lit, 2.5, 12));
    if (lit) {
        star(cr, x + 10, y + 10, 5, hex(0xfff59d), hex(0xffa000));
        star(cr, x + w - 10, y + h - 10, 4, hex(0xfff59d), hex(0xffa000));
    }
}

// ---- icons -----------------------------------------------------------------

namespace {

void fillStroke(cairo_t* cr, Color fill, Color outline, double width) {
    setColor(cr, fill);
    cairo_fill_preserve(cr);
    setColor(cr, outline);
    cairo_set_line_width(cr, width);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}

void circle(cairo_t* cr, double cx, double cy, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * pi);
}

void ellipse(cairo_t* cr, double cx, double cy, double rx, double ry, double angle = 0) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, angle);
    cairo_scale(cr, rx, ry);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * pi);
    cairo_restore(cr);
}

} // namespace

void star(cairo_t* cr, double cx, double cy, double r, Color fill, Color outline, double rotation) {
    cairo_save(cr);
    cairo_new_path(cr);
    for (int i = 0; i < 10; ++i) {
        const double a = rotation - pi / 2 + i * pi / 5;
        const double rr = (i % 2 == 0) ? r : r * 0.45;
        cairo_line_to(cr, cx + rr * std::cos(a), cy + rr * std::sin(a));
    }
    cairo_close_path(cr);
    radial(cr, cx - r * 0.2, cy - r * 0.3, r * 1.2, lighter(fill, 0.5), fill);
    cairo_fill_preserve(cr);
    setColor(cr, outline);
    cairo_set_line_width(cr, std::max(1.0, r * 0.12));
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void flower(cairo_t* cr, double cx, double cy, double r, Color petals, Color centre) {
    cairo_save(cr);
    for (int i = 0; i < 5; ++i) {
        const double a = i * 2 * pi / 5;
        ellipse(cr, cx + r * 0.55 * std::cos(a), cy + r * 0.55 * std::sin(a), r * 0.5, r * 0.36, a);
        fillStroke(cr, petals, darker(petals, 0.3), std::max(0.8, r * 0.06));
    }
    circle(cr, cx, cy, r * 0.33);
    fillStroke(cr, centre, darker(centre, 0.3), std::max(0.8, r * 0.06));
    cairo_restore(cr);
}

void cloud(cairo_t* cr, double cx, double cy, double w, Color c) {
    cairo_save(cr);
    const double u = w / 4;
    circle(cr, cx - u * 1.2, cy + u * 0.2, u * 0.8);
    circle(cr, cx - u * 0.3, cy - u * 0.35, u * 1.05);
    circle(cr, cx + u * 0.8, cy - u * 0.1, u * 0.9);
    circle(cr, cx + u * 1.45, cy + u * 0.3, u * 0.6);
    roundedRect(cr, cx - u * 1.9, cy + u * 0.05, u * 3.9, u * 0.95, u * 0.47);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    linear(cr, 0, cy - u * 1.4, 0, cy + u, {{0, c}, {1, darker(c, 0.08)}});
    cairo_fill(cr);
    cairo_restore(cr);
}

void sun(cairo_t* cr, double cx, double cy, double r) {
    cairo_save(cr);
    for (int i = 0; i < 12; ++i) {
        const double a = i * pi / 6;
        cairo_move_to(cr, cx + r * 1.2 * std::cos(a - 0.12), cy + r * 1.2 * std::sin(a - 0.12));
        cairo_line_to(cr, cx + r * 1.65 * std::cos(a), cy + r * 1.65 * std::sin(a));
        cairo_line_to(cr, cx + r * 1.2 * std::cos(a + 0.12), cy + r * 1.2 * std::sin(a + 0.12));
        cairo_close_path(cr);
    }
    setColor(cr, hex(0xffc93c));
    cairo_fill(cr);
    circle(cr, cx, cy, r);
    radial(cr, cx - r * 0.3, cy - r * 0.3, r * 1.3, hex(0xfff6a0), hex(0xffb300));
    cairo_fill_preserve(cr);
    setColor(cr, hex(0xf08c00));
    cairo_set_line_width(cr, r * 0.08);
    cairo_stroke(cr);
    // A friendly face.
    setColor(cr, hex(0x8a4b00));
    circle(cr, cx - r * 0.32, cy - r * 0.1, r * 0.09);
    circle(cr, cx + r * 0.32, cy - r * 0.1, r * 0.09);
    cairo_fill(cr);
    cairo_set_line_width(cr, r * 0.08);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_arc(cr, cx, cy + r * 0.08, r * 0.38, 0.2 * pi, 0.8 * pi);
    cairo_stroke(cr);
    setColor(cr, hex(0xff8a65, 0.5));
    circle(cr, cx - r * 0.55, cy + r * 0.22, r * 0.14);
    circle(cr, cx + r * 0.55, cy + r * 0.22, r * 0.14);
    cairo_fill(cr);
    cairo_restore(cr);
}

void moon(cairo_t* cr, double cx, double cy, double r) {
    cairo_save(cr);
    radial(cr, cx, cy, r * 2.2, hex(0xfff8c0, 0.35), hex(0xfff8c0, 0));
    circle(cr, cx, cy, r * 2.2);
    cairo_fill(cr);
    cairo_push_group(cr);
    circle(cr, cx, cy, r);
    setColor(cr, hex(0xfff3a0));
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    circle(cr, cx + r * 0.45, cy - r * 0.25, r * 0.85);
    cairo_fill(cr);
    cairo_pop_group_to_source(cr);
    cairo_paint(cr);
    cairo_restore(cr);
}

void heart(cairo_t* cr, double cx, double cy, double s, Color c) {
    cairo_save(cr);
    const double u = s / 2;
    cairo_move_to(cr, cx, cy + u * 0.9);
    cairo_curve_to(cr, cx - u * 1.3, cy, cx - u * 0.9, cy - u * 1.0, cx, cy - u * 0.4);
    cairo_curve_to(cr, cx + u * 0.9, cy - u * 1.0, cx + u * 1.3, cy, cx, cy + u * 0.9);
    cairo_close_path(cr);
    fillStroke(cr, c, darker(c, 0.35), std::max(1.0, s * 0.05));
    cairo_restore(cr);
}

void tree(cairo_t* cr, double x, double groundY, double h, Color leaves) {
    cairo_save(cr);
    roundedRect(cr, x - h * 0.07, groundY - h * 0.45, h * 0.14, h * 0.46, h * 0.03);
    fillStroke(cr, hex(0x9b6a3c), hex(0x6b4423), std::max(1.0, h * 0.02));
    circle(cr, x, groundY - h * 0.68, h * 0.3);
    circle(cr, x - h * 0.2, groundY - h * 0.5, h * 0.2);
    circle(cr, x + h * 0.2, groundY - h * 0.52, h * 0.21);
    radial(cr, x - h * 0.1, groundY - h * 0.8, h * 0.5, lighter(leaves, 0.35), leaves);
    cairo_fill_preserve(cr);
    setColor(cr, darker(leaves, 0.3));
    cairo_set_line_width(cr, std::max(1.0, h * 0.02));
    cairo_stroke(cr);
    cairo_restore(cr);
}

void butterfly(cairo_t* cr, double cx, double cy, double s, Color wings) {
    cairo_save(cr);
    const double u = s / 2;
    for (int side : {-1, 1}) {
        ellipse(cr, cx + side * u * 0.5, cy - u * 0.3, u * 0.5, u * 0.42, side * 0.5);
        fillStroke(cr, wings, darker(wings, 0.35), std::max(0.8, s * 0.04));
        ellipse(cr, cx + side * u * 0.4, cy + u * 0.35, u * 0.32, u * 0.28, -side * 0.4);
        fillStroke(cr, lighter(wings, 0.3), darker(wings, 0.35), std::max(0.8, s * 0.04));
        circle(cr, cx + side * u * 0.55, cy - u * 0.35, u * 0.13);
        setColor(cr, white);
        cairo_fill(cr);
    }
    ellipse(cr, cx, cy, u * 0.1, u * 0.55);
    setColor(cr, hex(0x4a3426));
    cairo_fill(cr);
    cairo_set_line_width(cr, std::max(0.8, s * 0.03));
    cairo_move_to(cr, cx, cy - u * 0.5);
    cairo_line_to(cr, cx - u * 0.25, cy - u * 0.9);
    cairo_move_to(cr, cx, cy - u * 0.5);
    cairo_line_to(cr, cx + u * 0.25, cy - u * 0.9);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void bird(cairo_t* cr, double cx, double cy, double s, Color c) {
    cairo_save(cr);
    setColor(cr, c);
    cairo_set_line_width(cr, std::max(1.2, s * 0.09));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, cx - s / 2, cy - s * 0.1);
    cairo_curve_to(cr, cx - s * 0.3, cy - s * 0.35, cx - s * 0.1, cy - s * 0.3, cx, cy);
    cairo_curve_to(cr, cx + s * 0.1, cy - s * 0.3, cx + s * 0.3, cy - s * 0.35, cx + s / 2,
                   cy - s * 0.1);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void fish(cairo_t* cr, double cx, double cy, double s, Color c, bool facingLeft) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    if (facingLeft)
        cairo_scale(cr, -1, 1);
    const double u = s / 2;
    cairo_move_to(cr, -u * 0.55, 0);
    cairo_line_to(cr, -u, -u * 0.45);
    cairo_line_to(cr, -u, u * 0.45);
    cairo_close_path(cr);
    fillStroke(cr, darker(c, 0.1), darker(c, 0.4), std::max(0.8, s * 0.04));
    ellipse(cr, u * 0.05, 0, u * 0.7, u * 0.42);
    radial(cr, u * 0.2, -u * 0.15, u * 0.8, lighter(c, 0.4), c);
    cairo_fill_preserve(cr);
    setColor(cr, darker(c, 0.4));
    cairo_set_line_width(cr, std::max(0.8, s * 0.04));
    cairo_stroke(cr);
    circle(cr, u * 0.4, -u * 0.08, u * 0.1);
    setColor(cr, white);
    cairo_fill(cr);
    circle(cr, u * 0.42, -u * 0.08, u * 0.05);
    setColor(cr, black);
    cairo_fill(cr);
    cairo_restore(cr);
}

void rabbit(cairo_t* cr, double cx, double cy, double s) {
    cairo_save(cr);
    const double u = s / 2;
    const Color fur = hex(0xfdfdfd), line = hex(0x8c7b70), pink = hex(0xffb3c6);
    for (int side : {-1, 1}) {
        ellipse(cr, cx + side * u * 0.28, cy - u * 0.7, u * 0.16, u * 0.45, side * 0.15);
        fillStroke(cr, fur, line, std::max(0.8, s * 0.03));
        ellipse(cr, cx + side * u * 0.28, cy - u * 0.7, u * 0.07, u * 0.32, side * 0.15);
        setColor(cr, pink);
        cairo_fill(cr);
    }
    ellipse(cr, cx, cy + u * 0.55, u * 0.55, u * 0.45);
    fillStroke(cr, fur, line, std::max(0.8, s * 0.03));
    circle(cr, cx, cy - u * 0.05, u * 0.42);
    fillStroke(cr, fur, line, std::max(0.8, s * 0.03));
    setColor(cr, hex(0x333333));
    circle(cr, cx - u * 0.16, cy - u * 0.1, u * 0.06);
    circle(cr, cx + u * 0.16, cy - u * 0.1, u * 0.06);
    cairo_fill(cr);
    setColor(cr, pink);
    circle(cr, cx, cy + u * 0.06, u * 0.06);
    cairo_fill(cr);
    circle(cr, cx - u * 0.28, cy + u * 0.08, u * 0.08);
    circle(cr, cx + u * 0.28, cy + u * 0.08, u * 0.08);
    setColor(cr, withAlpha(pink, 0.6));
    cairo_fill(cr);
    cairo_restore(cr);
}

void duck(cairo_t* cr, double cx, double cy, double s) {
    cairo_save(cr);
    const double u = s / 2;
    const Color y = hex(0xffd54f), line = hex(0xc79100);
    ellipse(cr, cx, cy + u * 0.25, u * 0.75, u * 0.45);
    fillStroke(cr, y, line, std::max(0.8, s * 0.03));
    circle(cr, cx + u * 0.4, cy - u * 0.35, u * 0.33);
    fillStroke(cr, y, line, std::max(0.8, s * 0.03));
    cairo_move_to(cr, cx + u * 0.68, cy - u * 0.38);
    cairo_line_to(cr, cx + u * 0.98, cy - u * 0.28);
    cairo_line_to(cr, cx + u * 0.68, cy - u * 0.2);
    cairo_close_path(cr);
    fillStroke(cr, hex(0xff8f00), hex(0xc56000), std::max(0.8, s * 0.02));
    circle(cr, cx + u * 0.5, cy - u * 0.42, u * 0.06);
    setColor(cr, black);
    cairo_fill(cr);
    ellipse(cr, cx - u * 0.1, cy + u * 0.15, u * 0.35, u * 0.18, -0.3);
    setColor(cr, darker(y, 0.08));
    cairo_fill(cr);
    cairo_restore(cr);
}

void house(cairo_t* cr, double cx, double groundY, double s, Color wall, Color roof) {
    cairo_save(cr);
    const double u = s / 2;
    cairo_rectangle(cr, cx - u * 0.7, groundY - u * 1.1, u * 1.4, u * 1.1);
    fillStroke(cr, wall, darker(wall, 0.35), std::max(1.0, s * 0.02));
    cairo_move_to(cr, cx - u * 0.95, groundY - u * 1.05);
    cairo_line_to(cr, cx, groundY - u * 1.85);
    cairo_line_to(cr, cx + u * 0.95, groundY - u * 1.05);
    cairo_close_path(cr);
    fillStroke(cr, roof, darker(roof, 0.35), std::max(1.0, s * 0.02));
    roundedRect(cr, cx - u * 0.18, groundY - u * 0.6, u * 0.36, u * 0.6, u * 0.08);
    fillStroke(cr, hex(0xa1887f), hex(0x5d4037), std::max(1.0, s * 0.02));
    cairo_rectangle(cr, cx + u * 0.3, groundY - u * 0.85, u * 0.3, u * 0.28);
    fillStroke(cr, hex(0xbbdefb), hex(0x5d4037), std::max(1.0, s * 0.02));
    cairo_restore(cr);
}

void boat(cairo_t* cr, double cx, double cy, double s, Color hull) {
    cairo_save(cr);
    const double u = s / 2;
    cairo_move_to(cr, cx - u, cy);
    cairo_line_to(cr, cx + u, cy);
    cairo_line_to(cr, cx + u * 0.7, cy + u * 0.35);
    cairo_line_to(cr, cx - u * 0.7, cy + u * 0.35);
    cairo_close_path(cr);
    fillStroke(cr, hull, darker(hull, 0.4), std::max(1.0, s * 0.03));
    cairo_move_to(cr, cx, cy - u * 0.05);
    cairo_line_to(cr, cx, cy - u * 1.1);
    cairo_line_to(cr, cx + u * 0.65, cy - u * 0.15);
    cairo_close_path(cr);
    fillStroke(cr, white, hex(0x90a4ae), std::max(1.0, s * 0.02));
    cairo_move_to(cr, cx - u * 0.06, cy - u * 0.05);
    cairo_line_to(cr, cx - u * 0.06, cy - u * 0.95);
    cairo_line_to(cr, cx - u * 0.55, cy - u * 0.15);
    cairo_close_path(cr);
    fillStroke(cr, hex(0xffcdd2), hex(0x90a4ae), std::max(1.0, s * 0.02));
    cairo_restore(cr);
}

void mountain(cairo_t* cr, double cx, double baseY, double w, double h, Color c, bool snow) {
    cairo_save(cr);
    cairo_move_to(cr, cx - w / 2, baseY);
    cairo_curve_to(cr, cx - w * 0.25, baseY - h * 0.5, cx - w * 0.1, baseY - h, cx, baseY - h);
    cairo_curve_to(cr, cx + w * 0.1, baseY - h, cx + w * 0.25, baseY - h * 0.5, cx + w / 2, baseY);
    cairo_close_path(cr);
    linear(cr, 0, baseY - h, 0, baseY, {{0, lighter(c, 0.15)}, {1, darker(c, 0.1)}});
    cairo_fill(cr);
    if (snow) {
        cairo_move_to(cr, cx - w * 0.12, baseY - h * 0.72);
        cairo_curve_to(cr, cx - w * 0.06, baseY - h * 0.95, cx + w * 0.06, baseY - h * 0.95,
                       cx + w * 0.12, baseY - h * 0.72);
        cairo_line_to(cr, cx + w * 0.05, baseY - h * 0.78);
        cairo_line_to(cr, cx, baseY - h * 0.7);
        cairo_line_to(cr, cx - w * 0.05, baseY - h * 0.78);
        cairo_close_path(cr);
        setColor(cr, Color{1, 1, 1, 0.9});
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void hand(cairo_t* cr, double cx, double cy, double s, double angle, Color skin, Color outline) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, angle);
    const double u = s / 48.0;
    cairo_scale(cr, u, u);
    cairo_translate(cr, -20, -24);
    // Drawn in a 40 x 48 box: the index finger reaches the top edge.
    cairo_new_path(cr);
    roundedRect(cr, 14, 1, 9, 26, 4.5);      // index finger
    roundedRect(cr, 22.5, 16, 8.5, 14, 4.2); // middle
    roundedRect(cr, 30.5, 18, 8, 13, 4);     // ring
    roundedRect(cr, 5, 21, 10, 9, 4.5);      // thumb
    roundedRect(cr, 9, 22, 30, 22, 8);       // palm
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    setColor(cr, outline);
    cairo_set_line_width(cr, 4);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    linear(cr, 0, 0, 40, 48, {{0, lighter(skin, 0.3)}, {1, skin}});
    cairo_fill(cr);
    setColor(cr, withAlpha(outline, 0.6));
    cairo_set_line_width(cr, 1.2);
    cairo_move_to(cr, 26.5, 26);
    cairo_line_to(cr, 26.5, 30);
    cairo_move_to(cr, 34.5, 27);
    cairo_line_to(cr, 34.5, 31);
    cairo_stroke(cr);
    // A sleeve cuff.
    roundedRect(cr, 11, 40, 26, 8, 2);
    setColor(cr, hex(0x42a5f5));
    cairo_fill_preserve(cr);
    setColor(cr, hex(0x1565c0));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void arrow(cairo_t* cr, double cx, double cy, double s, Dir dir, Color fill, Color outline) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    const double angle = dir == Dir::Right  ? 0
                         : dir == Dir::Down ? pi / 2
                         : dir == Dir::Left ? pi
                                            : -pi / 2;
    cairo_rotate(cr, angle);
    const double u = s / 2;
    cairo_move_to(cr, u, 0);
    cairo_line_to(cr, 0, -u * 0.85);
    cairo_line_to(cr, 0, -u * 0.4);
    cairo_line_to(cr, -u * 0.9, -u * 0.4);
    cairo_line_to(cr, -u * 0.9, u * 0.4);
    cairo_line_to(cr, 0, u * 0.4);
    cairo_line_to(cr, 0, u * 0.85);
    cairo_close_path(cr);
    linear(cr, 0, -u, 0, u, {{0, lighter(fill, 0.35)}, {1, fill}});
    cairo_fill_preserve(cr);
    setColor(cr, outline);
    cairo_set_line_width(cr, std::max(1.0, s * 0.07));
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void speaker(cairo_t* cr, double cx, double cy, double s, Color c, int waves) {
    cairo_save(cr);
    const double u = s / 2;
    cairo_move_to(cr, cx - u * 0.85, cy - u * 0.3);
    cairo_line_to(cr, cx - u * 0.45, cy - u * 0.3);
    cairo_line_to(cr, cx, cy - u * 0.75);
    cairo_line_to(cr, cx, cy + u * 0.75);
    cairo_line_to(cr, cx - u * 0.45, cy + u * 0.3);
    cairo_line_to(cr, cx - u * 0.85, cy + u * 0.3);
    cairo_close_path(cr);
    fillStroke(cr, c, darker(c, 0.45), std::max(1.0, s * 0.06));
    setColor(cr, darker(c, 0.2));
    cairo_set_line_width(cr, std::max(1.2, s * 0.08));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 1; i <= waves; ++i) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, cx + u * 0.05, cy, u * (0.25 + 0.28 * i), -pi / 4, pi / 4);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

void book(cairo_t* cr, double cx, double cy, double s, Color cover) {
    cairo_save(cr);
    const double u = s / 2;
    cairo_move_to(cr, cx, cy - u * 0.45);
    cairo_curve_to(cr, cx - u * 0.4, cy - u * 0.7, cx - u * 0.8, cy - u * 0.6, cx - u * 0.95,
                   cy - u * 0.55);
    cairo_line_to(cr, cx - u * 0.95, cy + u * 0.6);
    cairo_curve_to(cr, cx - u * 0.6, cy + u * 0.5, cx - u * 0.3, cy + u * 0.55, cx, cy + u * 0.75);
    cairo_curve_to(cr, cx + u * 0.3, cy + u * 0.55, cx + u * 0.6, cy + u * 0.5, cx + u * 0.95,
                   cy + u * 0.6);
    cairo_line_to(cr, cx + u * 0.95, cy - u * 0.55);
    cairo_curve_to(cr, cx + u * 0.8, cy - u * 0.6, cx + u * 0.4, cy - u * 0.7, cx, cy - u * 0.45);
    cairo_close_path(cr);
    fillStroke(cr, cover, darker(cover, 0.4), std::max(1.0, s * 0.05));
    cairo_move_to(cr, cx, cy - u * 0.35);
    cairo_curve_to(cr, cx - u * 0.35, cy - u * 0.55, cx - u * 0.65, cy - u * 0.5, cx - u * 0.82,
                   cy - u * 0.45);
    cairo_line_to(cr, cx - u * 0.82, cy + u * 0.45);
    cairo_curve_to(cr, cx - u * 0.55, cy + u * 0.4, cx - u * 0.3, cy + u * 0.45, cx, cy + u * 0.6);
    cairo_curve_to(cr, cx + u * 0.3, cy + u * 0.45, cx + u * 0.55, cy + u * 0.4, cx + u * 0.82,
                   cy + u * 0.45);
    cairo_line_to(cr, cx + u * 0.82, cy - u * 0.45);
    cairo_curve_to(cr, cx + u * 0.65, cy - u * 0.5, cx + u * 0.35, cy - u * 0.55, cx,
                   cy - u * 0.35);
    cairo_close_path(cr);
    fillStroke(cr, hex(0xfffdf5), hex(0xb0a080), std::max(0.8, s * 0.03));
    cairo_move_to(cr, cx, cy - u * 0.35);
    cairo_line_to(cr, cx, cy + u * 0.6);
    cairo_stroke(cr);
    setColor(cr, hex(0x9e9e9e));
    cairo_set_line_width(cr, std::max(0.6, s * 0.025));
    for (int i = 0; i < 3; ++i) {
        const double y = cy - u * 0.15 + i * u * 0.22;
        cairo_move_to(cr, cx - u * 0.65, y);
        cairo_line_to(cr, cx - u * 0.15, y + u * 0.05);
        cairo_move_to(cr, cx + u * 0.15, y + u * 0.05);
        cairo_line_to(cr, cx + u * 0.65, y);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

void dice(cairo_t* cr, double cx, double cy, double s, Color c) {
    cairo_save(cr);
    const double u = s / 2;
    roundedRect(cr, cx - u * 0.8, cy - u * 0.8, u * 1.6, u * 1.6, u * 0.35);
    linear(cr, cx - u, cy - u, cx + u, cy + u, {{0, white}, {1, lighter(c, 0.6)}});
    cairo_fill_preserve(cr);
    setColor(cr, darker(c, 0.2));
    cairo_set_line_width(cr, std::max(1.0, s * 0.05));
    cairo_stroke(cr);
    setColor(cr, c);
    for (auto [dx, dy] :
         {std::pair{-0.4, -0.4}, {0.4, 0.4}, {0.0, 0.0}, {0.4, -0.4}, {-0.4, 0.4}}) {
        circle(cr, cx + dx * u, cy + dy * u, u * 0.15);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void ear(cairo_t* cr, double cx, double cy, double s) {
    cairo_save(cr);
    const double u = s / 2;
    cairo_move_to(cr, cx - u * 0.35, cy + u * 0.55);
    cairo_curve_to(cr, cx - u * 0.75, cy - u * 0.2, cx - u * 0.55, cy - u * 0.9, cx + u * 0.05,
                   cy - u * 0.9);
    cairo_curve_to(cr, cx + u * 0.65, cy - u * 0.9, cx + u * 0.75, cy - u * 0.3, cx + u * 0.45,
                   cy + u * 0.05);
    cairo_curve_to(cr, cx + u * 0.2, cy + u * 0.35, cx + u * 0.2, cy + u * 0.8, cx - u * 0.1,
                   cy + u * 0.85);
    cairo_curve_to(cr, cx - u * 0.25, cy + u * 0.88, cx - u * 0.33, cy + u * 0.75, cx - u * 0.35,
                   cy + u * 0.55);
    cairo_close_path(cr);
    fillStroke(cr, hex(0xffd0a8), hex(0x9a5a2a), std::max(1.0, s * 0.05));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, cx - u * 0.2, cy - u * 0.3);
    cairo_curve_to(cr, cx - u * 0.1, cy - u * 0.65, cx + u * 0.45, cy - u * 0.55, cx + u * 0.3,
                   cy - u * 0.15);
    cairo_curve_to(cr, cx + u * 0.2, cy + u * 0.05, cx, cy + u * 0.05, cx, cy + u * 0.2);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void card(cairo_t* cr, double cx, double cy, double s, const std::string& glyph, Color c) {
    cairo_save(cr);
    const double u = s / 2;
    roundedRect(cr, cx - u * 0.75, cy - u, u * 1.5, u * 2, u * 0.25);
    linear(cr, 0, cy - u, 0, cy + u, {{0, white}, {1, lighter(c, 0.75)}});
    cairo_fill_preserve(cr);
    setColor(cr, c);
    cairo_set_line_width(cr, std::max(1.0, s * 0.06));
    cairo_stroke(cr);
    TextStyle st;
    st.size = s * 0.78;
    st.fill = darker(c, 0.3);
    text(cr, glyph, cx, cy, st);
    cairo_restore(cr);
}

void note(cairo_t* cr, double cx, double cy, double s, Color c) {
    cairo_save(cr);
    const double u = s / 2;
    ellipse(cr, cx - u * 0.25, cy + u * 0.55, u * 0.32, u * 0.24, -0.4);
    setColor(cr, c);
    cairo_fill(cr);
    cairo_set_line_width(cr, std::max(1.0, s * 0.08));
    cairo_move_to(cr, cx + u * 0.03, cy + u * 0.5);
    cairo_line_to(cr, cx + u * 0.03, cy - u * 0.8);
    cairo_curve_to(cr, cx + u * 0.3, cy - u * 0.5, cx + u * 0.6, cy - u * 0.5, cx + u * 0.5,
                   cy - u * 0.05);
    cairo_stroke(cr);
    cairo_restore(cr);
}

void pearl(cairo_t* cr, double cx, double cy, double r, Color c) {
    cairo_save(cr);
    circle(cr, cx, cy, r);
    radial(cr, cx - r * 0.35, cy - r * 0.35, r * 1.5, lighter(c, 0.85), darker(c, 0.1));
    cairo_fill_preserve(cr);
    setColor(cr, darker(c, 0.35));
    cairo_set_line_width(cr, std::max(0.8, r * 0.08));
    cairo_stroke(cr);
    circle(cr, cx - r * 0.35, cy - r * 0.38, r * 0.2);
    setColor(cr, Color{1, 1, 1, 0.9});
    cairo_fill(cr);
    cairo_restore(cr);
}

void palette(cairo_t* cr, double cx, double cy, double s) {
    cairo_save(cr);
    const double u = s / 2;
    ellipse(cr, cx, cy, u * 0.95, u * 0.75);
    circle(cr, cx + u * 0.35, cy + u * 0.3, u * 0.17);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    fillStroke(cr, hex(0xf5deb3), hex(0x9c7a4a), std::max(1.0, s * 0.04));
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    const Color paints[] = {hex(0xe53935), hex(0xfdd835), hex(0x43a047), hex(0x1e88e5),
                            hex(0x8e24aa)};
    for (int i = 0; i < 5; ++i) {
        const double a = pi * (0.95 + i * 0.3);
        circle(cr, cx + u * 0.6 * std::cos(a), cy + u * 0.45 * std::sin(a), u * 0.16);
        setColor(cr, paints[i]);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

void brush(cairo_t* cr, double cx, double cy, double s) {
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, pi / 4);
    const double u = s / 2;
    roundedRect(cr, -u * 0.1, -u, u * 0.2, u * 1.3, u * 0.08);
    fillStroke(cr, hex(0xa1887f), hex(0x5d4037), std::max(0.8, s * 0.03));
    cairo_move_to(cr, -u * 0.14, u * 0.3);
    cairo_line_to(cr, u * 0.14, u * 0.3);
    cairo_curve_to(cr, u * 0.16, u * 0.6, u * 0.05, u * 0.85, 0, u);
    cairo_curve_to(cr, -u * 0.05, u * 0.85, -u * 0.16, u * 0.6, -u * 0.14, u * 0.3);
    cairo_close_path(cr);
    fillStroke(cr, hex(0xe53935), hex(0x8e0000), std::max(0.8, s * 0.03));
    cairo_restore(cr);
}

double Rng::uniform() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return static_cast<double>(state_ >> 11) / 9007199254740992.0;
}

} // namespace mediagen::kit
