#include "games/game03/Colouring.h"

#include "core/Text.h"
#include "platform/Platform.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <set>

namespace games::colouring {

namespace {

constexpr gfx::Color kWhite = gfx::rgb(255, 255, 255);
constexpr gfx::Color kBlack = gfx::rgb(0, 0, 0);

// Colours a child tells apart, for a colour list that offers too few.
constexpr gfx::Color kBuiltIn[] = {
    gfx::rgb(230, 40, 40),  gfx::rgb(255, 150, 20),  gfx::rgb(255, 220, 30),
    gfx::rgb(120, 200, 60), gfx::rgb(20, 130, 60),   gfx::rgb(80, 190, 240),
    gfx::rgb(30, 80, 200),  gfx::rgb(150, 70, 200),  gfx::rgb(255, 120, 180),
    gfx::rgb(140, 90, 40),  gfx::rgb(150, 150, 150), gfx::rgb(40, 200, 190),
};

int rowBytes(int width) {
    return (width + 3) / 4 * 4;
}

} // namespace

std::uint8_t regionCodeAt(const std::string& mapPath, gfx::Size area, int x, int y) {
    if (x < 1 || y < 1 || x > area.w || y > area.h)
        return kNoRegion;
    std::ifstream in(platform::nativePath(mapPath), std::ios::binary);
    if (!in)
        return kNoRegion;
    const long at = long(area.h - y) * rowBytes(area.w) + kMapPixelOffset + (x - 1);
    in.seekg(at);
    char byte = 0;
    if (!in.get(byte))
        return kNoRegion;
    return std::uint8_t(byte);
}

int countRegions(const std::string& mapPath, gfx::Size area) {
    std::ifstream in(platform::nativePath(mapPath), std::ios::binary);
    if (!in || area.w < 1 || area.h < 1)
        return 0;
    in.seekg(kMapPixelOffset);
    std::string row(std::size_t(rowBytes(area.w)), '\0');
    std::set<std::uint8_t> codes;
    for (int r = 0; r < area.h; ++r) {
        if (!in.read(row.data(), std::streamsize(row.size())))
            break;
        for (int x = 0; x < area.w; ++x)
            codes.insert(std::uint8_t(row[std::size_t(x)]));
    }
    codes.erase(kNoRegion);
    return int(codes.size());
}

gfx::Color fromListColour(double value) {
    if (!(value >= 0 && value <= 0xFFFFFF))
        return gfx::kNoColor;
    const long v = std::lround(value);
    return gfx::rgb(int(v & 255), int((v >> 8) & 255), int((v >> 16) & 255));
}

std::vector<gfx::Color> usableColours(const std::string& listPath) {
    std::vector<gfx::Color> usable;
    const auto lines = core::readLines(listPath);
    if (lines)
        for (std::size_t i = 1; i < lines->size(); ++i) {
            const gfx::Color c = fromListColour(core::readDouble((*lines)[i]));
            if (c == gfx::kNoColor || c == kWhite || c == kBlack ||
                std::find(usable.begin(), usable.end(), c) != usable.end())
                continue;
            usable.push_back(c);
        }
    if (usable.size() >= 10)
        return usable;
    std::fprintf(stderr,
                 "shizi: %s offers %zu usable colours of the ten a palette needs; built-in "
                 "colours complete it\n",
                 listPath.c_str(), usable.size());
    for (gfx::Color c : kBuiltIn)
        if (usable.size() < 10 && std::find(usable.begin(), usable.end(), c) == usable.end())
            usable.push_back(c);
    return usable;
}

std::array<gfx::Color, 10> drawPalette(const std::vector<gfx::Color>& usable,
                                       const std::function<double()>& rnd) {
    std::array<gfx::Color, 10> palette{};
    const int n = int(usable.size());
    std::vector<bool> used(usable.size(), false);
    for (int k = 0; k < 10 && n > 0; ++k) {
        int r = std::min(n - 1, int(rnd() * n));
        // Chance first, as the game always drew; a run of bad luck takes the
        // next free colour instead of drawing for ever.
        for (int tries = 0; used[std::size_t(r)] && tries < 100; ++tries)
            r = std::min(n - 1, int(rnd() * n));
        while (used[std::size_t(r)])
            r = (r + 1) % n;
        used[std::size_t(r)] = true;
        palette[std::size_t(k)] = usable[std::size_t(r)];
        if (k + 1 >= n)
            std::fill(used.begin(), used.end(), false);
    }
    return palette;
}

} // namespace games::colouring
