#include "clip.h"

#include "book_io.h"

#include <cairo.h>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>

namespace mediagen {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr const char* kKaiFace = "AR PL KaitiM GB";

double clamp01(double x) {
    return x < 0 ? 0 : x > 1 ? 1 : x;
}

// Overshoots a little before settling: a friendly "pop".
double easeOutBack(double x) {
    x = clamp01(x);
    const double c = 1.7;
    return 1 + (c + 1) * std::pow(x - 1, 3) + c * std::pow(x - 1, 2);
}

void star(cairo_t* cr, double cx, double cy, double r, double turn) {
    cairo_new_path(cr);
    for (int i = 0; i < 10; ++i) {
        const double a = turn + i * kPi / 5 - kPi / 2;
        const double rr = i % 2 == 0 ? r : r * 0.45;
        cairo_line_to(cr, cx + rr * std::cos(a), cy + rr * std::sin(a));
    }
    cairo_close_path(cr);
}

void text(cairo_t* cr, const char* utf8, double cx, double cy, double size, double r, double g,
          double b) {
    cairo_select_font_face(cr, kKaiFace, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, utf8, &e);
    cairo_move_to(cr, cx - e.width / 2 - e.x_bearing, cy - e.height / 2 - e.y_bearing);
    cairo_text_path(cr, utf8);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_set_line_width(cr, 3);
    cairo_stroke_preserve(cr);
    cairo_set_source_rgb(cr, r, g, b);
    cairo_fill(cr);
}

void face(cairo_t* cr, double cx, double cy, double r, double fr, double fg, double fb,
          bool smiling, double eyeShiftX, double eyeShiftY, bool blink) {
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - r / 3, cy - r / 3, r / 6, cx, cy, r);
    cairo_pattern_add_color_stop_rgb(p, 0, std::fmin(1, fr + 0.2), std::fmin(1, fg + 0.2),
                                     std::fmin(1, fb + 0.2));
    cairo_pattern_add_color_stop_rgb(p, 1, fr, fg, fb);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
    cairo_set_source_rgb(cr, fr * 0.6, fg * 0.55, fb * 0.5);
    cairo_set_line_width(cr, std::fmax(1.2, r / 12));
    cairo_stroke(cr);

    // Eyes
    cairo_set_source_rgb(cr, 0.15, 0.1, 0.1);
    for (int side : {-1, 1}) {
        const double ex = cx + side * r * 0.36 + eyeShiftX * r * 0.08;
        const double ey = cy - r * 0.18 + eyeShiftY * r * 0.08;
        cairo_save(cr);
        cairo_translate(cr, ex, ey);
        cairo_scale(cr, 1, blink ? 0.15 : 1.3);
        cairo_arc(cr, 0, 0, r * 0.11, 0, 2 * kPi);
        cairo_restore(cr);
        cairo_fill(cr);
    }
    // Cheeks
    cairo_set_source_rgba(cr, 1, 0.4, 0.45, 0.45);
    for (int side : {-1, 1}) {
        cairo_arc(cr, cx + side * r * 0.58, cy + r * 0.15, r * 0.15, 0, 2 * kPi);
        cairo_fill(cr);
    }
    // Mouth
    cairo_set_source_rgb(cr, 0.55, 0.12, 0.1);
    if (smiling) {
        cairo_arc(cr, cx, cy + r * 0.1, r * 0.45, 0.15 * kPi, 0.85 * kPi);
        cairo_close_path(cr);
        cairo_fill(cr);
    } else {
        cairo_save(cr);
        cairo_translate(cr, cx + r * 0.1, cy + r * 0.42);
        cairo_scale(cr, 1, 0.8);
        cairo_arc(cr, 0, 0, r * 0.12, 0, 2 * kPi);
        cairo_restore(cr);
        cairo_fill(cr);
    }
}

void drawOk(cairo_t* cr, double t) {
    cairo_pattern_t* bg = cairo_pattern_create_radial(52, 36, 5, 52, 36, 70);
    cairo_pattern_add_color_stop_rgb(bg, 0, 1.0, 0.97, 0.75);
    cairo_pattern_add_color_stop_rgb(bg, 1, 1.0, 0.72, 0.3);
    cairo_set_source(cr, bg);
    cairo_paint(cr);
    cairo_pattern_destroy(bg);

    // Rays turning slowly behind the face.
    cairo_save(cr);
    cairo_translate(cr, 34, 38);
    cairo_rotate(cr, t * 0.8);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
    for (int i = 0; i < 12; i += 2) {
        cairo_move_to(cr, 0, 0);
        cairo_arc(cr, 0, 0, 90, i * kPi / 6, (i + 1) * kPi / 6);
        cairo_close_path(cr);
    }
    cairo_fill(cr);
    cairo_restore(cr);

    const double pop = easeOutBack(t / 0.35);
    const double bounce = std::sin(t * 2 * kPi * 1.5) * 2 * clamp01(t / 0.35);
    face(cr, 34, 38 + bounce, 24 * pop, 1.0, 0.82, 0.15, true, 0, 0, std::fmod(t, 1.0) > 0.9);

    // Stars flying out and twinkling.
    for (int i = 0; i < 6; ++i) {
        const double a = i * kPi / 3 + t * 1.5;
        const double d = 30 * easeOutBack((t - 0.1) / 0.5);
        const double tw = 0.75 + 0.25 * std::sin(t * 12 + i);
        star(cr, 34 + d * std::cos(a) * 1.3, 38 + d * std::sin(a), 5.5 * tw * clamp01(t / 0.2),
             t * 3 + i);
        const double hue = i % 3;
        cairo_set_source_rgb(cr, hue == 0 ? 1 : 0.3, hue == 1 ? 0.85 : 0.5, hue == 2 ? 1 : 0.2);
        cairo_fill_preserve(cr);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
    }

    const double s = easeOutBack((t - 0.3) / 0.35);
    if (s > 0.01) {
        cairo_save(cr);
        cairo_translate(cr, 78, 36);
        cairo_scale(cr, s, s);
        text(cr, "真", 0, -12, 20, 0.85, 0.1, 0.1);
        text(cr, "棒", 0, 12, 20, 0.85, 0.1, 0.1);
        cairo_restore(cr);
    }
}

void drawErr(cairo_t* cr, double t) {
    cairo_pattern_t* bg = cairo_pattern_create_linear(0, 0, 0, 72);
    cairo_pattern_add_color_stop_rgb(bg, 0, 0.78, 0.9, 1.0);
    cairo_pattern_add_color_stop_rgb(bg, 1, 0.55, 0.75, 0.95);
    cairo_set_source(cr, bg);
    cairo_paint(cr);
    cairo_pattern_destroy(bg);

    // A soft cloud under the face.
    cairo_set_source_rgba(cr, 1, 1, 1, 0.8);
    for (double x : {14.0, 28.0, 42.0, 56.0}) {
        cairo_arc(cr, x + 2 * std::sin(t * 2), 66, 11, 0, 2 * kPi);
        cairo_fill(cr);
    }

    // The face tilts as if thinking, eyes looking up at the question mark.
    const double pop = easeOutBack(t / 0.35);
    cairo_save(cr);
    cairo_translate(cr, 34, 38);
    cairo_rotate(cr, 0.12 * std::sin(t * 2 * kPi * 0.8));
    face(cr, 0, 0, 22 * pop, 0.55, 0.85, 0.45, false, 1, -1, std::fmod(t, 1.2) > 1.1);
    cairo_restore(cr);

    const double q = clamp01((t - 0.2) / 0.3);
    if (q > 0) {
        const double y = 18 - 3 * std::sin(t * 2 * kPi);
        cairo_save(cr);
        cairo_translate(cr, 62, y);
        cairo_scale(cr, q, q);
        text(cr, "?", 0, 0, 22, 0.2, 0.35, 0.85);
        cairo_restore(cr);
    }
    const double s = easeOutBack((t - 0.45) / 0.35);
    if (s > 0.01) {
        cairo_save(cr);
        cairo_translate(cr, 80, 50);
        cairo_scale(cr, s, s);
        text(cr, "再想想", 0, 0, 13, 0.1, 0.3, 0.7);
        cairo_restore(cr);
    }
}

void encode(const std::filesystem::path& out, const std::filesystem::path& scratch,
            const std::string& name, const Wave& sound,
            const std::function<void(cairo_t*, double)>& draw) {
    const double seconds =
        std::ceil(std::fmax(1.5, sound.seconds()) * kClipFps) / static_cast<double>(kClipFps);
    const int frames = static_cast<int>(std::lround(seconds * kClipFps));
    Wave audio = sound;
    audio.s.resize(Wave::frames(seconds), 0.0f);
    const auto wav = scratch / (name + ".wav");
    const auto raw = scratch / (name + ".bgra");
    writeWav(wav, audio);

    cairo_surface_t* surf =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kClipWidth, kClipHeight);
    {
        std::ofstream video(raw, std::ios::binary);
        for (int f = 0; f < frames; ++f) {
            cairo_t* cr = cairo_create(surf);
            draw(cr, f / static_cast<double>(kClipFps));
            cairo_destroy(cr);
            cairo_surface_flush(surf);
            const unsigned char* px = cairo_image_surface_get_data(surf);
            const int stride = cairo_image_surface_get_stride(surf);
            for (int y = 0; y < kClipHeight; ++y)
                video.write(reinterpret_cast<const char*>(px + y * stride), kClipWidth * 4);
        }
        if (!video)
            throw std::runtime_error("cannot write " + raw.string());
    }
    cairo_surface_destroy(surf);

    const auto tmp = std::filesystem::path(out.string() + ".tmp.avi");
    const std::string cmd =
        "ffmpeg -nostdin -y -loglevel error -f rawvideo -pix_fmt bgra -s " +
        std::to_string(kClipWidth) + "x" + std::to_string(kClipHeight) + " -r " +
        std::to_string(kClipFps) + " -i '" + raw.string() + "' -i '" + wav.string() +
        "' -c:v mjpeg -q:v 3 -pix_fmt yuvj420p -c:a pcm_s16le '" + tmp.string() + "'";
    if (std::system(cmd.c_str()) != 0)
        throw std::runtime_error("ffmpeg failed on " + out.filename().string());
    std::filesystem::rename(tmp, out);
}

} // namespace

void writeClips(const std::filesystem::path& soundDir, const std::filesystem::path& scratch,
                const Wave& okSound, const Wave& errSound) {
    encode(soundDir / "ok.avi", scratch, "ok", okSound, drawOk);
    encode(soundDir / "err.avi", scratch, "err", errSound, drawErr);
}

} // namespace mediagen
