// Points, sizes, rectangles and colours in pixels.
#pragma once

#include <algorithm>
#include <cstdint>

namespace gfx {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(Point, Point) = default;
};

struct Size {
    int w = 0;
    int h = 0;
    friend bool operator==(Size, Size) = default;
};

struct Rect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;

    int right() const { return x + w; }
    int bottom() const { return y + h; }
    bool empty() const { return w <= 0 || h <= 0; }
    bool contains(Point p) const { return p.x >= x && p.y >= y && p.x < x + w && p.y < y + h; }
    Rect intersected(const Rect& o) const {
        const int l = std::max(x, o.x), t = std::max(y, o.y);
        const int r = std::min(right(), o.right()), b = std::min(bottom(), o.bottom());
        return r > l && b > t ? Rect{l, t, r - l, b - t} : Rect{l, t, 0, 0};
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// 0x00RRGGBB. The top byte is unused in pictures; kNoColor marks "none".
using Color = std::uint32_t;
constexpr Color kNoColor = 0xFFFFFFFFu;

constexpr Color rgb(int r, int g, int b) {
    return (Color(r & 255) << 16) | (Color(g & 255) << 8) | Color(b & 255);
}
constexpr int red(Color c) {
    return int((c >> 16) & 255);
}
constexpr int green(Color c) {
    return int((c >> 8) & 255);
}
constexpr int blue(Color c) {
    return int(c & 255);
}

} // namespace gfx
