// Small readers for the picture files of the media set, independent of the
// program's own loaders: BMP headers and pixels, JPEG frame sizes, pointer
// headers, and raw pixels through ImageMagick where a JPEG must be decoded.
#pragma once

#include "support/bytes.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace mediaset {

namespace fs = std::filesystem;

inline fs::path mediaDir() {
    return fs::path(SHIZI_MEDIA_DIR);
}

inline std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

using support::le16;
using support::le32;

struct Image {
    int width = 0, height = 0, bits = 0;
    std::vector<std::uint32_t> rgb; // 0xRRGGBB, top row first (BMP and decoded JPEG only)
    std::uint32_t at(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
};

// An uncompressed 24-bit or 8-bit paletted BMP with its pixels; other depths
// give the header only.
inline std::optional<Image> readBmp(const fs::path& file) {
    const std::string s = readBytes(file);
    if (s.size() < 54 || s[0] != 'B' || s[1] != 'M')
        return std::nullopt;
    Image img;
    img.width = static_cast<int>(le32(s, 18));
    const auto rawHeight = static_cast<std::int32_t>(le32(s, 22));
    img.height = rawHeight < 0 ? -rawHeight : rawHeight;
    img.bits = static_cast<int>(le16(s, 28));
    const std::uint32_t offset = le32(s, 10);
    if ((img.bits != 24 && img.bits != 8) || le32(s, 30) != 0)
        return img;
    std::vector<std::uint32_t> palette;
    if (img.bits == 8) {
        const std::uint32_t used = le32(s, 46) ? le32(s, 46) : 256;
        const size_t at = 14 + le32(s, 14);
        if (used > 256 || s.size() < at + 4 * used)
            return std::nullopt;
        for (std::uint32_t i = 0; i < used; ++i)
            palette.push_back(le32(s, at + 4 * i) & 0xFFFFFF);
    }
    const size_t bytes = static_cast<size_t>(img.bits / 8);
    const size_t row = (static_cast<size_t>(img.width) * bytes + 3) & ~size_t{3};
    if (s.size() < offset + row * img.height)
        return std::nullopt;
    img.rgb.resize(static_cast<size_t>(img.width) * img.height);
    for (int y = 0; y < img.height; ++y) {
        const int fileRow = rawHeight < 0 ? y : img.height - 1 - y;
        const size_t base = offset + row * fileRow;
        for (int x = 0; x < img.width; ++x) {
            const auto* p = reinterpret_cast<const unsigned char*>(s.data() + base + bytes * x);
            std::uint32_t c = 0;
            if (bytes == 3)
                c = p[2] << 16 | p[1] << 8 | p[0];
            else if (p[0] < palette.size())
                c = palette[p[0]];
            img.rgb[static_cast<size_t>(y) * img.width + x] = c;
        }
    }
    return img;
}

// Width and height from a JPEG's frame header.
inline std::optional<Image> readJpegSize(const fs::path& file) {
    const std::string s = readBytes(file);
    if (s.size() < 4 || static_cast<unsigned char>(s[0]) != 0xFF ||
        static_cast<unsigned char>(s[1]) != 0xD8)
        return std::nullopt;
    size_t i = 2;
    while (i + 9 < s.size()) {
        if (static_cast<unsigned char>(s[i]) != 0xFF)
            return std::nullopt;
        const unsigned marker = static_cast<unsigned char>(s[i + 1]);
        const size_t length =
            static_cast<unsigned char>(s[i + 2]) << 8 | static_cast<unsigned char>(s[i + 3]);
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
            marker != 0xCC) {
            Image img;
            img.height =
                static_cast<unsigned char>(s[i + 5]) << 8 | static_cast<unsigned char>(s[i + 6]);
            img.width =
                static_cast<unsigned char>(s[i + 7]) << 8 | static_cast<unsigned char>(s[i + 8]);
            img.bits = 8 * static_cast<unsigned char>(s[i + 9]);
            return img;
        }
        i += 2 + length;
    }
    return std::nullopt;
}

// Decoded pixels of any picture through ImageMagick; nullopt when it is not
// installed or cannot read the file.
inline std::optional<Image> decodeWithImageMagick(const fs::path& file) {
    const auto size = readJpegSize(file);
    if (!size)
        return std::nullopt;
    const std::string cmd = "convert '" + file.string() + "' -depth 8 rgb:- 2>/dev/null";
    FILE* pipe = popen(cmd.c_str(), "r");
    if (!pipe)
        return std::nullopt;
    std::string raw;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0)
        raw.append(buf, n);
    if (pclose(pipe) != 0 || raw.size() != static_cast<size_t>(size->width) * size->height * 3)
        return std::nullopt;
    Image img = *size;
    img.rgb.resize(raw.size() / 3);
    for (size_t k = 0; k < img.rgb.size(); ++k) {
        const auto* p = reinterpret_cast<const unsigned char*>(raw.data() + 3 * k);
        img.rgb[k] = p[0] << 16 | p[1] << 8 | p[2];
    }
    return img;
}

inline int luminance(std::uint32_t rgb) {
    return static_cast<int>(
        (((rgb >> 16) & 0xff) * 299 + ((rgb >> 8) & 0xff) * 587 + (rgb & 0xff) * 114) / 1000);
}

// The lines of a CR LF text file without their ends; `crlf` turns false if
// any line ends otherwise.
inline std::vector<std::string> crlfLines(const fs::path& file, bool& crlf) {
    const std::string s = readBytes(file);
    std::vector<std::string> lines;
    crlf = !s.empty();
    size_t start = 0;
    while (start < s.size()) {
        const size_t nl = s.find('\n', start);
        if (nl == std::string::npos) {
            crlf = false;
            lines.push_back(s.substr(start));
            break;
        }
        if (nl == start || s[nl - 1] != '\r')
            crlf = false;
        const size_t end = (nl > start && s[nl - 1] == '\r') ? nl - 1 : nl;
        lines.push_back(s.substr(start, end - start));
        start = nl + 1;
    }
    return lines;
}

// A three-character fixed column read as the program reads it: blanks
// around a decimal number; nullopt when the field is not a number.
inline std::optional<int> column(const std::string& line, size_t first) {
    if (line.size() < first + 3)
        return std::nullopt;
    std::string f = line.substr(first, 3);
    const size_t a = f.find_first_not_of(' ');
    if (a == std::string::npos)
        return std::nullopt;
    const size_t b = f.find_last_not_of(' ');
    f = f.substr(a, b - a + 1);
    for (char c : f)
        if (c < '0' || c > '9')
            return std::nullopt;
    return std::stoi(f);
}

} // namespace mediaset
