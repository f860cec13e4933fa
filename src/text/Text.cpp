#include "text/Text.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iconv.h>
#include <iostream>
#include <iterator>
#include <limits>
#include <mutex>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace text {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Converts between encodings; bytes that do not convert become `bad`, so a
// damaged file still reads as far as it can.
std::string convert(std::string_view in, const char* to, const char* from, std::string_view bad) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        std::cerr << "shizi: no converter from " << from << " to " << to << "\n";
        return std::string(in);
    }
    std::string out;
    out.reserve(in.size() * 2);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char buf[4096];
    while (srcLeft > 0) {
        char* dst = buf;
        std::size_t dstLeft = sizeof buf;
        const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buf, std::size_t(dst - buf));
        if (r != std::size_t(-1))
            continue;
        if (errno == E2BIG)
            continue;
        // EILSEQ or EINVAL: skip one input character (a whole UTF-8 sequence
        // when the input is UTF-8, else one byte).
        std::size_t skip = 1;
        if (std::strcmp(from, "UTF-8") == 0) {
            const unsigned char c = static_cast<unsigned char>(*src);
            skip = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
            skip = std::min(skip, srcLeft);
        }
        src += skip;
        srcLeft -= skip;
        out.append(bad);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return out;
}

} // namespace

double readDouble(std::string_view t) {
    std::size_t i = 0;
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t'))
        ++i;
    std::string num;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        num += t[i++];
    bool digits = false;
    while (i < t.size() && isDigit(t[i])) {
        num += t[i++];
        digits = true;
    }
    if (i < t.size() && t[i] == '.') {
        num += t[i++];
        while (i < t.size() && isDigit(t[i])) {
            num += t[i++];
            digits = true;
        }
    }
    if (!digits)
        return 0;
    if (i + 1 < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exp = "e";
        if (t[j] == '+' || t[j] == '-')
            exp += t[j++];
        if (j < t.size() && isDigit(t[j])) {
            while (j < t.size() && isDigit(t[j]))
                exp += t[j++];
            num += exp;
        }
    }
    const double v = std::strtod(num.c_str(), nullptr);
    // Too large a number still reads as a very large one, never as infinity.
    return std::isfinite(v) ? v : std::copysign(std::numeric_limits<double>::max(), v);
}

std::int16_t roundToInt16(double v) {
    if (std::isnan(v))
        return 0;
    // nearbyint rounds halves to the even neighbour in the default mode.
    const double r = std::nearbyint(v);
    if (r >= 32767)
        return 32767;
    if (r <= -32768)
        return -32768;
    return static_cast<std::int16_t>(r);
}

std::int16_t layoutField(std::string_view line, std::size_t position, bool* ok) {
    const std::size_t from = position > 0 ? position - 1 : 0;
    const std::string_view f = from < line.size() ? line.substr(from, 3) : std::string_view{};
    std::size_t i = 0;
    while (i < f.size() && f[i] == ' ')
        ++i;
    std::size_t j = i;
    if (j < f.size() && (f[j] == '-' || f[j] == '+'))
        ++j;
    const std::size_t digits = j;
    while (j < f.size() && f[j] >= '0' && f[j] <= '9')
        ++j;
    std::size_t k = j;
    while (k < f.size() && f[k] == ' ')
        ++k;
    if (ok && (j == digits || k != f.size()))
        *ok = false;
    return readNumber(f);
}

std::int16_t readNumber(std::string_view text) {
    return roundToInt16(readDouble(text));
}

std::int16_t numberInRange(std::string_view file, std::size_t line, std::string_view text, int lo,
                           int hi, std::int16_t fallback) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    const bool number = i < text.size() && text[i] >= '0' && text[i] <= '9';
    const double v = readDouble(text);
    if (number && v >= lo - 0.5 && v < hi + 0.5)
        return roundToInt16(v);
    std::string shown(text.substr(0, 40));
    if (text.size() > 40)
        shown += "...";
    std::cerr << "shizi: " << displayPath(file) << " line " << line << ": \"" << shown
              << "\" is not a number from " << lo << " to " << hi << "; " << fallback
              << " is used\n";
    return fallback;
}

std::string displayPath(std::string_view path) {
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        if (c == '\\')
            c = '/';
        if (c == '/' && !out.empty() && out.back() == '/')
            continue;
        out += c;
    }
    return out;
}

std::string printNumber(long n) {
    return n < 0 ? std::to_string(n) : " " + std::to_string(n);
}

std::optional<std::string> convertExact(std::string_view in, const char* from, const char* to) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out;
    out.reserve(in.size() * 2);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char buf[4096];
    bool ok = true;
    while (ok && srcLeft > 0) {
        char* dst = buf;
        std::size_t dstLeft = sizeof buf;
        const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buf, std::size_t(dst - buf));
        ok = r != std::size_t(-1) || errno == E2BIG;
    }
    iconv_close(cd);
    if (!ok)
        return std::nullopt;
    return out;
}

std::string nativePath(std::string_view path) {
    std::string out(path);
    for (char& c : out)
        if (c == '\\')
            c = '/';
    return out;
}

std::string fromCp936(std::string_view bytes) {
    return convert(bytes, "UTF-8", "CP936", "\uFFFD");
}

std::string toCp936(std::string_view utf8) {
    return convert(utf8, "CP936", "UTF-8", "?");
}

std::optional<std::vector<std::string>> readLines(const std::string& path) {
    std::ifstream in(nativePath(path), std::ios::binary);
    if (!in) {
        // Files are read at every use: one line per file and run.
        static std::mutex mutex;
        static std::set<std::string> reported;
        const std::string shown = displayPath(path);
        std::lock_guard lock(mutex);
        if (reported.insert(shown).second)
            std::cerr << "shizi: cannot read " << shown << "\n";
        return std::nullopt;
    }
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string text = fromCp936(bytes);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        const bool last = end == std::string::npos;
        if (last)
            end = text.size();
        std::size_t stop = end;
        if (stop > start && text[stop - 1] == '\r')
            --stop;
        lines.push_back(text.substr(start, stop - start));
        start = last ? text.size() : end + 1;
    }
    return lines;
}

std::string lineAt(const std::vector<std::string>& lines, std::size_t i) {
    return i < lines.size() ? lines[i] : std::string();
}

bool writeLines(const std::string& path, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& l : lines) {
        bytes += toCp936(l);
        bytes += "\r\n";
    }
    const std::string target = nativePath(path);
    // One fixed name: a save cut short by a kill leaves at most this one
    // file, which the next save overwrites.
    const std::string tmp = target + std::string(kTemporarySuffix);
    const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        std::cerr << "shizi: cannot write " << nativePath(path) << ": " << std::strerror(errno)
                  << "\n";
        return false;
    }
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            done += std::size_t(n);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && std::rename(tmp.c_str(), target.c_str()) == 0)
        return true;
    std::cerr << "shizi: cannot write " << nativePath(path) << ": " << std::strerror(errno) << "\n";
    std::remove(tmp.c_str());
    return false;
}

int removeStaleTemporaries(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::directory_iterator it(nativePath(folder), ec);
    if (ec)
        return 0;
    std::vector<fs::path> stale;
    for (const fs::directory_entry& e : it) {
        if (!e.is_regular_file(ec))
            continue;
        const std::string name = e.path().filename().string();
        const auto dot = name.rfind('.');
        if (dot == std::string::npos || dot == 0)
            continue;
        const std::string_view suffix = std::string_view(name).substr(dot);
        // The fixed name of a save, or the six random characters earlier
        // versions added, after the name of a text file beside it.
        const bool random =
            suffix.size() == 7 && std::all_of(suffix.begin() + 1, suffix.end(), [](char c) {
                return std::isalnum(static_cast<unsigned char>(c)) != 0;
            });
        if (suffix != kTemporarySuffix && !random)
            continue;
        const std::string base = name.substr(0, dot);
        if (base.size() > 4 && base.ends_with(".txt") &&
            fs::is_regular_file(e.path().parent_path() / base, ec))
            stale.push_back(e.path());
    }
    for (const fs::path& p : stale)
        fs::remove(p, ec);
    return int(stale.size());
}

std::u32string toU32(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        char32_t cp = len == 1 ? c : len == 2 ? c & 0x1F : len == 3 ? c & 0x0F : c & 0x07;
        bool ok = len > 0 && i + std::size_t(len) <= s.size();
        for (int k = 1; ok && k < len; ++k) {
            const unsigned char cc = static_cast<unsigned char>(s[i + std::size_t(k)]);
            ok = (cc & 0xC0) == 0x80;
            cp = (cp << 6) | (cc & 0x3F);
        }
        if (!ok) {
            out.push_back(U'\uFFFD');
            ++i;
            continue;
        }
        out.push_back(cp);
        i += std::size_t(len);
    }
    return out;
}

std::string toUtf8(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x110000) {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += "\uFFFD";
    }
    return out;
}

std::string toUtf8(std::u32string_view s) {
    std::string out;
    out.reserve(s.size() * 3);
    for (char32_t c : s)
        out += toUtf8(c);
    return out;
}

std::string substrChars(std::string_view utf8, std::size_t from, std::size_t count) {
    const std::u32string s = toU32(utf8);
    if (from >= s.size())
        return {};
    return toUtf8(std::u32string_view(s).substr(from, count));
}

} // namespace text
