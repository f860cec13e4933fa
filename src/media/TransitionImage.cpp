#include "media/TransitionImage.h"

#include "ui/Form.h"
#include "ui/Runtime.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <utility>
#include <vector>

namespace media {

namespace {

using ui::Picture;

// Each transition number is one family with a variant (a side, a shape, an
// orientation). `step` is the grain of the patterned families and the speed
// of the others.
enum class Family {
    Wipe,       // variant: side it starts from (0 left, 1 right, 2 top, 3 bottom)
    Blinds,     // 0 horizontal slats, 1 vertical
    Checker,    // 0 across, 1 down
    Dissolve,   //
    Mosaic,     //
    Iris,       // 0 rect out, 1 rect in, 2 circle out, 3 circle in, 4 diamond out, 5 in
    Slide,      // the new picture slides over the old: side as Wipe
    Push,       // the new picture pushes the old out: side as Wipe
    Zoom,       // 0 new grows from the centre, 1 old shrinks into it
    Diagonal,   // corner it starts from: 0 top left, 1 top right, 2 bottom left, 3 bottom right
    Split,      // 0 opens from a vertical centre line, 1 closes to it, 2/3 the same horizontally
    Clock,      // 0 clockwise, 1 anticlockwise
    RandomBars, // 0 horizontal, 1 vertical
    Comb,       // 0 rows from both sides, 1 columns from top and bottom
    Stretch,    // 0 from left, 1 from top, 2 from the vertical centre, 3 horizontal centre
    Spiral,     // cells from the border inwards
    Snake,      // cells row by row, back and forth
    Rain,       // columns run down, each at its own time
    Fade,       // cross-fade
    Wheel,      // four spokes sweeping
};

struct Effect {
    Family family;
    int variant;
};

Effect effectFor(int n) {
    if (n >= 5 && n <= 8)
        return {Family::Wipe, n - 5};
    switch (n) {
    case 19:
        return {Family::Blinds, 0};
    case 20:
        return {Family::Blinds, 1};
    case 21:
        return {Family::Checker, 0};
    case 22:
        return {Family::Checker, 1};
    case 23:
        return {Family::Dissolve, 0};
    case 24:
        return {Family::Mosaic, 0};
    case 49:
        return {Family::Iris, 5};
    case 72:
        return {Family::Zoom, 0};
    case 73:
        return {Family::Zoom, 1};
    case 84:
        return {Family::Clock, 0};
    case 85:
        return {Family::Clock, 1};
    case 88:
        return {Family::RandomBars, 0};
    case 89:
        return {Family::RandomBars, 1};
    case 94:
        return {Family::Comb, 0};
    case 95:
        return {Family::Comb, 1};
    case 106:
        return {Family::Spiral, 0};
    case 107:
        return {Family::Snake, 0};
    case 108:
        return {Family::Rain, 0};
    case 109:
        return {Family::Fade, 0};
    case 110:
        return {Family::Wheel, 0};
    default:
        break;
    }
    if (n >= 41 && n <= 45)
        return {Family::Iris, n - 41};
    if (n >= 56 && n <= 59)
        return {Family::Slide, n - 56};
    if (n >= 68 && n <= 71)
        return {Family::Push, n - 68};
    if (n >= 74 && n <= 77)
        return {Family::Diagonal, n - 74};
    if (n >= 78 && n <= 81)
        return {Family::Split, n - 78};
    if (n >= 102 && n <= 105)
        return {Family::Stretch, n - 102};
    return {Family::Fade, 0}; // numbers outside the cycle still change smoothly
}

bool patterned(Family f) {
    switch (f) {
    case Family::Blinds:
    case Family::Checker:
    case Family::Dissolve:
    case Family::Mosaic:
    case Family::RandomBars:
    case Family::Comb:
    case Family::Spiral:
    case Family::Snake:
    case Family::Rain:
        return true;
    default:
        return false;
    }
}

// Grain in pixels from the step (10..255).
int grainOf(int step) {
    return 2 + std::clamp(step, 10, 255) / 8;
}

// Patterned effects take a second; the others from 1.5 s (step 10) to
// 0.5 s (step 255).
double durationMs(Family f, int step) {
    if (patterned(f))
        return 1000;
    return 1500 - (std::clamp(step, 10, 255) - 10) * 1000.0 / 245.0;
}

// A fixed scatter, so a dissolve looks the same every time it runs.
double scatter(std::uint32_t a, std::uint32_t b = 0) {
    std::uint32_t h = a * 0x9E3779B1u ^ (b + 0x7F4A7C15u) * 0x85EBCA77u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return double(h & 0xFFFFFF) / double(0x1000000);
}

// Where a pixel of the frame comes from: the old picture (0), the new one
// (1), at (x, y) of that picture.
struct Src {
    int pic;
    double x, y;
};

// Cells ranked in spiral order, from the border inwards.
std::vector<int> spiralRanks(int cols, int rows) {
    std::vector<int> rank(std::size_t(cols) * rows, 0);
    int top = 0, left = 0, bottom = rows - 1, right = cols - 1, r = 0;
    while (top <= bottom && left <= right) {
        for (int x = left; x <= right; ++x)
            rank[std::size_t(top) * cols + x] = r++;
        for (int y = top + 1; y <= bottom; ++y)
            rank[std::size_t(y) * cols + right] = r++;
        if (top < bottom)
            for (int x = right - 1; x >= left; --x)
                rank[std::size_t(bottom) * cols + x] = r++;
        if (left < right)
            for (int y = bottom - 1; y > top; --y)
                rank[std::size_t(y) * cols + left] = r++;
        ++top, ++left, --bottom, --right;
    }
    return rank;
}

struct Renderer {
    Effect e;
    int w, h, g;
    double t;
    std::vector<int> ranks; // Spiral
    int cols = 1, rows = 1;

    Renderer(Effect e_, int w_, int h_, int step, double t_)
        : e(e_), w(std::max(1, w_)), h(std::max(1, h_)), g(grainOf(step)), t(t_) {
        cols = (w + 2 * g - 1) / (2 * g);
        rows = (h + 2 * g - 1) / (2 * g);
        if (e.family == Family::Spiral)
            ranks = spiralRanks(cols, rows);
    }

    // Families where a pixel turns from the old picture to the new one once
    // and for all: it shows the new picture as soon as its key is below t.
    static bool keyed(Family f) {
        switch (f) {
        case Family::Wipe:
        case Family::Blinds:
        case Family::Checker:
        case Family::Dissolve:
        case Family::Iris:
        case Family::Diagonal:
        case Family::Split:
        case Family::Clock:
        case Family::Wheel:
        case Family::RandomBars:
        case Family::Spiral:
        case Family::Snake:
        case Family::Rain:
            return true;
        default:
            return false;
        }
    }

    // The moment, from 0 to 1, at which a pixel of a keyed family turns.
    double key(int x, int y) const {
        const double cx = w / 2.0, cy = h / 2.0;
        const double fx = (x + 0.5) / w, fy = (y + 0.5) / h; // 0..1 across
        const int v = e.variant;
        switch (e.family) {
        case Family::Wipe: {
            const double pos[] = {fx, 1 - fx, fy, 1 - fy};
            return pos[v];
        }
        case Family::Blinds: {
            const int band = 2 * g, c = v == 0 ? y : x;
            return double(c % band) / band;
        }
        case Family::Checker: {
            const int cell = 2 * g;
            const int along = v == 0 ? x : y;
            const bool odd = ((x / cell) + (y / cell)) % 2;
            // Half the cells lead, the other half follow a third of the time later.
            return (double(along % cell) / cell + (odd ? 0.5 : 0)) / 1.5;
        }
        case Family::Dissolve: {
            const int b = std::max(1, g / 3);
            return scatter(std::uint32_t(x / b), std::uint32_t(y / b));
        }
        case Family::Iris: {
            const double dx = std::abs(x + 0.5 - cx) / cx, dy = std::abs(y + 0.5 - cy) / cy;
            double d;
            if (v < 2)
                d = std::max(dx, dy);
            else if (v < 4)
                d = std::hypot(dx, dy) / std::numbers::sqrt2;
            else
                d = (dx + dy) / 2;
            return v % 2 == 0 ? d : 1 - d; // opening or closing
        }
        case Family::Diagonal: {
            const double ax = (v == 1 || v == 3) ? 1 - fx : fx;
            const double ay = v >= 2 ? 1 - fy : fy;
            return (ax + ay) / 2;
        }
        case Family::Split: {
            const double d = v < 2 ? std::abs(fx - 0.5) * 2 : std::abs(fy - 0.5) * 2;
            return v % 2 == 0 ? d : 1 - d;
        }
        case Family::Clock:
        case Family::Wheel: {
            double a = std::atan2(x + 0.5 - cx, cy - (y + 0.5)) / (2 * std::numbers::pi);
            if (a < 0)
                a += 1;
            if (e.family == Family::Wheel)
                a = a * 4 - std::floor(a * 4);
            else if (v == 1)
                a = 1 - a;
            return a;
        }
        case Family::RandomBars: {
            const int b = std::max(1, g / 3);
            return scatter(std::uint32_t((v == 0 ? y : x) / b), 77);
        }
        case Family::Spiral:
        case Family::Snake: {
            const int cell = 2 * g, col = x / cell, row = y / cell;
            int rank;
            if (e.family == Family::Spiral)
                rank = ranks[std::size_t(row) * cols + col];
            else
                rank = row * cols + (row % 2 ? cols - 1 - col : col);
            return double(rank) / (double(cols) * rows);
        }
        case Family::Rain: {
            const int col = x / std::max(1, g);
            const double delay = scatter(std::uint32_t(col), 5) * 0.5;
            return fy / 2 + delay;
        }
        default:
            return 0;
        }
    }

    // For the families that move or scale a picture: a rectangle around
    // every pixel that may differ between the moments t0 and t1 (t0 <= t1),
    // a pixel wider on each side for rounding; the whole picture for the
    // others.
    ui::Rect changing(double t0, double t1) const {
        const ui::Rect all{0, 0, w, h};
        const int v = e.variant;
        // A span along one axis, from the side a picture enters.
        auto fromSide = [&](bool horizontal, bool fromStart, double reach) {
            const int size = horizontal ? w : h;
            const int n = std::clamp(int(std::ceil(reach)) + 1, 0, size);
            const int from = fromStart ? 0 : size - n;
            return horizontal ? ui::Rect{from, 0, n, h} : ui::Rect{0, from, w, n};
        };
        // A span around the centre along one axis or both.
        auto central = [&](double halfW, double halfH) {
            const double cx = w / 2.0, cy = h / 2.0;
            const int x0 = std::max(0, int(std::floor(cx - halfW)) - 1);
            const int y0 = std::max(0, int(std::floor(cy - halfH)) - 1);
            const int x1 = std::min(w, int(std::ceil(cx + halfW)) + 1);
            const int y1 = std::min(h, int(std::ceil(cy + halfH)) + 1);
            return ui::Rect{x0, y0, std::max(0, x1 - x0), std::max(0, y1 - y0)};
        };
        switch (e.family) {
        case Family::Slide:
            // The new picture slides over the old, which stays still: what
            // moves is the part already in, up to where it reaches now.
            return fromSide(v < 2, v % 2 == 0, t1 * (v < 2 ? w : h));
        case Family::Stretch:
            switch (v) {
            case 0:
                return fromSide(true, true, t1 * w);
            case 1:
                return fromSide(false, true, t1 * h);
            case 2:
                return central(t1 * w / 2.0, h);
            default:
                return central(w, t1 * h / 2.0);
            }
        case Family::Zoom:
            // Growing: the new picture's box now; shrinking: the old one's
            // box before, the larger of the two.
            return v == 0 ? central(w * t1 / 2, h * t1 / 2)
                          : central(w * (1 - t0) / 2, h * (1 - t0) / 2);
        default:
            return all;
        }
    }

    Src at(int x, int y) const {
        const Src oldPx{0, double(x), double(y)}, newPx{1, double(x), double(y)};
        if (keyed(e.family))
            return key(x, y) < t ? newPx : oldPx;
        const double cx = w / 2.0, cy = h / 2.0;
        const int v = e.variant;
        switch (e.family) {
        case Family::Mosaic: {
            // Blocks grow over the old picture, then shrink over the new one.
            const int b = 1 + int(std::lround((1 - std::abs(2 * t - 1)) * g * 3));
            const double bx = std::min(w - 1, (x / b) * b + b / 2);
            const double by = std::min(h - 1, (y / b) * b + b / 2);
            return {t < 0.5 ? 0 : 1, bx, by};
        }
        case Family::Slide:
        case Family::Push: {
            const bool push = e.family == Family::Push;
            const bool horizontal = v < 2;
            const int size = horizontal ? w : h;
            const double off = t * size;
            const int c = horizontal ? x : y;
            // Position along the axis measured from the side the picture enters.
            const bool fromStart = v % 2 == 0;
            const double along = fromStart ? c : size - 1 - c;
            if (along < off) {
                const double s = along - off + size;
                const double p = fromStart ? s : size - 1 - s;
                return horizontal ? Src{1, p, double(y)} : Src{1, double(x), p};
            }
            if (!push)
                return oldPx;
            const double s = along - off;
            const double p = fromStart ? s : size - 1 - s;
            return horizontal ? Src{0, p, double(y)} : Src{0, double(x), p};
        }
        case Family::Zoom: {
            const double s = v == 0 ? t : 1 - t;
            const int pic = v == 0 ? 1 : 0;
            const double rw = w * s / 2, rh = h * s / 2;
            if (s > 0 && std::abs(x + 0.5 - cx) < rw && std::abs(y + 0.5 - cy) < rh)
                return {pic, cx + (x + 0.5 - cx) / s, cy + (y + 0.5 - cy) / s};
            return v == 0 ? oldPx : newPx;
        }
        case Family::Comb: {
            const int band = std::max(2, g);
            const bool horizontal = v == 0;
            const int size = horizontal ? w : h;
            const int c = horizontal ? x : y;
            const bool fromStart = ((horizontal ? y : x) / band) % 2 == 0;
            const double along = fromStart ? c : size - 1 - c;
            const double off = t * size;
            if (along >= off)
                return oldPx;
            const double s = along - off + size;
            const double p = fromStart ? s : size - 1 - s;
            return horizontal ? Src{1, p, double(y)} : Src{1, double(x), p};
        }
        case Family::Stretch: {
            if (t <= 0)
                return oldPx;
            switch (v) {
            case 0:
                return x + 0.5 < t * w ? Src{1, (x + 0.5) / t, double(y)} : oldPx;
            case 1:
                return y + 0.5 < t * h ? Src{1, double(x), (y + 0.5) / t} : oldPx;
            case 2:
                return std::abs(x + 0.5 - cx) < t * cx ? Src{1, cx + (x + 0.5 - cx) / t, double(y)}
                                                       : oldPx;
            default:
                return std::abs(y + 0.5 - cy) < t * cy ? Src{1, double(x), cy + (y + 0.5 - cy) / t}
                                                       : oldPx;
            }
        }
        case Family::Fade:
            return newPx; // blended by the caller
        default:
            break;
        }
        return newPx;
    }
};

ui::Color blend(ui::Color a, ui::Color b, double t) {
    auto ch = [&](int s) {
        const double ca = (a >> s) & 0xFF, cb = (b >> s) & 0xFF;
        return ui::Color(std::lround(ca + (cb - ca) * t)) << s;
    };
    return ch(16) | ch(8) | ch(0);
}

} // namespace

struct TransitionImage::State {
    // 30 frames a second: smooth for a 128-pixel logo, cheap when idle.
    explicit State(ui::Form& f) : timer(f, 33) {}
    Picture picture;
    Picture from;
    bool running = false;
    ui::Micros start = 0;
    double durationMs = 0;
    Effect effect{Family::Fade, 0};
    int step = 30;
    ui::Timer timer;
    int finishId = 0;
    // The turning moment of every pixel, worked out once per transition.
    std::vector<double> keys;
    int keysWidth = 0;
    int keysHeight = 0;
    // The moment of the transition the picture shows: a step repaints only
    // the pixels that turned since the last one.
    double shownT = 0;

    // The earliest and latest turning moment of each row and each column.
    std::vector<double> rowFirst, rowLast, colFirst, colLast;

    // Works the turning moments out when the size or the transition changed.
    void ensureKeys(int w, int h) {
        const std::size_t n = std::size_t(w) * std::size_t(h);
        if (keys.size() == n && keysWidth == w && keysHeight == h)
            return;
        const Renderer r(effect, w, h, step, 0); // the moments do not depend on the clock
        keys.resize(n);
        keysWidth = w;
        keysHeight = h;
        constexpr double kNone = std::numeric_limits<double>::infinity();
        rowFirst.assign(std::size_t(h), kNone);
        rowLast.assign(std::size_t(h), -kNone);
        colFirst.assign(std::size_t(w), kNone);
        colLast.assign(std::size_t(w), -kNone);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const double k = r.key(x, y);
                keys[std::size_t(y) * std::size_t(w) + std::size_t(x)] = k;
                rowFirst[std::size_t(y)] = std::min(rowFirst[std::size_t(y)], k);
                rowLast[std::size_t(y)] = std::max(rowLast[std::size_t(y)], k);
                colFirst[std::size_t(x)] = std::min(colFirst[std::size_t(x)], k);
                colLast[std::size_t(x)] = std::max(colLast[std::size_t(x)], k);
            }
    }
    // A rectangle around every pixel that turns from `from` (inclusive) to
    // `to` (exclusive): the rows and the columns where one may; empty when
    // none does. Worked out from the rows' and columns' ranges, not pixel
    // by pixel.
    ui::Rect turning(double from, double to) const {
        auto span = [&](const std::vector<double>& first, const std::vector<double>& last) {
            int lo = -1, hi = -1;
            for (std::size_t i = 0; i < first.size(); ++i)
                if (last[i] >= from && first[i] < to) {
                    if (lo < 0)
                        lo = int(i);
                    hi = int(i);
                }
            return std::pair{lo, hi};
        };
        const auto [top, bottom] = span(rowFirst, rowLast);
        const auto [left, right] = span(colFirst, colLast);
        if (top < 0 || left < 0)
            return {};
        return {left, top, right - left + 1, bottom - top + 1};
    }
};

TransitionImage::TransitionImage(ui::Form& f) : ui::Control(f), st_(std::make_unique<State>(f)) {
    st_->timer.onTimer = [this] {
        const double t = double(runtime().now() - st_->start) / 1000.0 / st_->durationMs;
        const double shown = std::clamp(t, 0.0, 1.0);
        if (Renderer::keyed(st_->effect.family) && width() > 0 && height() > 0) {
            // Only the pixels that turned since the last step are painted
            // again; a step in which none turned paints nothing.
            st_->ensureKeys(width(), height());
            // The last step also takes the pixels that turn at the very end,
            // as the finished picture shows them.
            const double upTo = t < 1 ? shown : std::numeric_limits<double>::infinity();
            const ui::Rect turned = st_->turning(st_->shownT, upTo);
            st_->shownT = shown;
            if (!turned.empty())
                form().invalidate({left() + turned.x, top() + turned.y, turned.w, turned.h});
        } else if (t < 1 && width() > 0 && height() > 0) {
            const Renderer r(st_->effect, width(), height(), st_->step, shown);
            const ui::Rect moved = r.changing(st_->shownT, shown);
            st_->shownT = shown;
            if (!moved.empty())
                form().invalidate({left() + moved.x, top() + moved.y, moved.w, moved.h});
        } else {
            st_->shownT = shown;
            invalidate();
        }
        if (t < 1)
            return;
        st_->timer.stop();
        st_->running = false;
        st_->from = Picture();
        if (onTransitionFinished) {
            auto fn = onTransitionFinished;
            fn();
        }
    };
}

TransitionImage::~TransitionImage() {
    if (st_->finishId)
        runtime().cancel(st_->finishId);
}

void TransitionImage::setPicture(const ui::Picture& p) {
    // A change during a transition starts from the picture it was heading to.
    st_->from = std::move(st_->picture);
    st_->picture = p;
    st_->running = false;
    st_->timer.stop();
    invalidate();
    if (!animate) {
        st_->from = Picture();
        return;
    }
    if (transition == 0) {
        // Nothing to animate, but the program still waits for the event.
        st_->from = Picture();
        if (st_->finishId)
            runtime().cancel(st_->finishId);
        st_->finishId = runtime().at(runtime().now(), [this] {
            st_->finishId = 0;
            if (onTransitionFinished) {
                auto fn = onTransitionFinished;
                fn();
            }
        });
        return;
    }
    st_->effect = effectFor(transition);
    st_->step = step;
    st_->durationMs = durationMs(st_->effect.family, step);
    st_->keys.clear();
    st_->shownT = 0;
    st_->start = runtime().now();
    st_->running = true;
    st_->timer.start();
}

const ui::Picture& TransitionImage::picture() const {
    return st_->picture;
}

bool TransitionImage::transitioning() const {
    return st_->running;
}

void TransitionImage::paint(ui::Picture& target, ui::Point origin) {
    const Picture& to = st_->picture;
    if (!st_->running) {
        if (!to.empty())
            target.blit(to, {0, 0, std::min(width(), to.width()), std::min(height(), to.height())},
                        origin);
        return;
    }
    const Picture& from = st_->from;
    // The moment of the last step, not the clock: a repaint between steps
    // shows what the screen already shows.
    const double t = st_->shownT;
    // Sixteen thousand pixels a step: read and write the rows directly.
    auto at = [](const Picture& p, int x, int y) {
        return x < 0 || y < 0 || x >= p.width() || y >= p.height()
                   ? ui::kNoColor
                   : p.data()[std::size_t(y) * std::size_t(p.width()) + std::size_t(x)];
    };
    const int x0 = std::max(0, -origin.x), x1 = std::min(width(), target.width() - origin.x);
    const int y0 = std::max(0, -origin.y), y1 = std::min(height(), target.height() - origin.y);
    if (Renderer::keyed(st_->effect.family)) {
        const std::size_t w = std::size_t(width());
        st_->ensureKeys(width(), height());
        for (int y = y0; y < y1; ++y) {
            std::uint32_t* row = target.data() +
                                 std::size_t(origin.y + y) * std::size_t(target.width()) +
                                 std::size_t(origin.x);
            const double* key = st_->keys.data() + std::size_t(y) * w;
            for (int x = x0; x < x1; ++x) {
                const ui::Color c = key[x] < t ? at(to, x, y) : at(from, x, y);
                if (c != ui::kNoColor)
                    row[x] = c & 0x00FFFFFFu;
            }
        }
        return;
    }
    const Renderer r(st_->effect, width(), height(), st_->step, t);
    const bool fade = st_->effect.family == Family::Fade;
    for (int y = y0; y < y1; ++y) {
        std::uint32_t* row = target.data() +
                             std::size_t(origin.y + y) * std::size_t(target.width()) +
                             std::size_t(origin.x);
        for (int x = x0; x < x1; ++x) {
            const Src s = r.at(x, y);
            const Picture& pic = s.pic == 0 ? from : to;
            const int px = int(std::floor(s.x)), py = int(std::floor(s.y));
            ui::Color c = at(pic, px, py);
            if (fade) {
                const ui::Color a = at(from, x, y), b = at(to, x, y);
                if (a == ui::kNoColor || b == ui::kNoColor) {
                    c = t < 0.5 ? a : b;
                } else {
                    c = blend(a, b, t);
                }
            }
            // Where the picture has no pixel the form shows through.
            if (c != ui::kNoColor)
                row[x] = c & 0x00FFFFFFu;
        }
    }
}

} // namespace media
