#include "book.h"

#include "book_io.h"
#include "mediagen.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace mediagen {

std::string utf8(char32_t c) {
    std::string s;
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (c >> 18));
        s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
    return s;
}

std::string utf8(const std::u32string& s) {
    std::string out;
    for (char32_t c : s)
        out += utf8(c);
    return out;
}

std::u32string fromUtf8(const std::string& s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        int extra = b < 0x80 ? 0 : b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
        if (extra < 0 || i + static_cast<size_t>(extra) >= s.size() + (extra == 0 ? 1 : 0))
            throw std::runtime_error("bad UTF-8");
        char32_t c = extra == 0 ? b : (b & (0x3F >> extra));
        for (int k = 1; k <= extra; ++k) {
            const auto t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80)
                throw std::runtime_error("bad UTF-8");
            c = (c << 6) | (t & 0x3F);
        }
        out += c;
        i += extra + 1;
    }
    return out;
}

namespace {

bool isReading(const std::string& r) {
    if (r.size() < 2 || r.back() < '1' || r.back() > '5')
        return false;
    for (size_t i = 0; i + 1 < r.size(); ++i)
        if (r[i] < 'a' || r[i] > 'z')
            return false;
    return true;
}

std::string trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t\r") - b + 1);
}

} // namespace

std::vector<Verse> parseBook(std::istream& in) {
    std::vector<Verse> verses;
    std::string line;
    int lineNo = 0;
    int expectLines = 0; // text lines still due for the last verse
    auto fail = [&](const std::string& why) {
        throw std::runtime_error("book.txt line " + std::to_string(lineNo) + ": " + why);
    };
    while (std::getline(in, line)) {
        ++lineNo;
        const std::string t = trim(line);
        if (t.empty() || t[0] == '#')
            continue;
        if (expectLines == 0) {
            // "001 title | poet"
            const auto bar = t.find(" | ");
            const auto sp = t.find(' ');
            if (bar == std::string::npos || sp == std::string::npos || sp > bar)
                fail("expected \"number title | poet\"");
            Verse v;
            try {
                v.number = std::stoi(t.substr(0, sp));
            } catch (const std::exception&) {
                fail("bad verse number");
            }
            if (v.number != static_cast<int>(verses.size()) + 1)
                fail("verse " + std::to_string(verses.size() + 1) + " expected");
            v.title = trim(t.substr(sp + 1, bar - sp - 1));
            v.poet = trim(t.substr(bar + 3));
            if (v.title.empty() || v.poet.empty())
                fail("missing title or poet");
            verses.push_back(std::move(v));
            expectLines = 2;
            continue;
        }
        Verse& v = verses.back();
        std::istringstream fields(t);
        std::string text;
        fields >> text;
        std::u32string chars;
        try {
            chars = fromUtf8(text);
        } catch (const std::exception& e) {
            fail(e.what());
        }
        if (chars.size() != 7)
            fail("a line has seven characters");
        for (char32_t c : chars)
            if (c < 0x4E00 || c > 0x9FFF)
                fail("not a Han character: " + utf8(c));
        const size_t base = v.text.size();
        v.text += chars;
        for (size_t k = 0; k < 7; ++k) {
            std::string r;
            if (!(fields >> r) || !isReading(r))
                fail("seven readings like hang2 expected");
            v.readings[base + k] = r;
        }
        std::string extra;
        if (fields >> extra)
            fail("more than seven readings");
        --expectLines;
    }
    if (expectLines != 0)
        fail("verse " + std::to_string(verses.size()) + " is incomplete");
    if (verses.size() != 140)
        throw std::runtime_error("book.txt holds " + std::to_string(verses.size()) +
                                 " verses, 140 expected");
    return verses;
}

const std::vector<Verse>& book() {
    static const std::vector<Verse> verses = [] {
        const fs::path path = fs::path(SHIZI_SOURCE_DIR) / "media-src" / "book.txt";
        std::ifstream in(path);
        if (!in)
            throw std::runtime_error("cannot read " + path.string());
        return parseBook(in);
    }();
    return verses;
}

namespace {

// Pads a line to `column` (1-based, counted in characters) with blanks.
void padTo(std::u32string& line, size_t column) {
    while (line.size() + 1 < column)
        line += U' ';
}

std::u32string numberField(int n) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%03d", n);
    return fromUtf8(buf);
}

} // namespace

std::vector<std::u32string> bookLines(const std::vector<Verse>& verses) {
    std::vector<std::u32string> lines;
    for (size_t i = 0; i + 1 < verses.size(); i += 2) {
        const Verse& a = verses[i];
        const Verse& b = verses[i + 1];
        std::u32string data = numberField(a.number);
        padTo(data, 6);
        data += a.text.substr(0, 7) + U"，";
        padTo(data, 17);
        data += a.text.substr(7, 7) + U"。";
        padTo(data, 30);
        data += numberField(b.number);
        padTo(data, 35);
        data += b.text.substr(0, 7) + U"，";
        padTo(data, 46);
        data += b.text.substr(7, 7) + U"。";
        lines.push_back(data);

        std::u32string about = U"     《" + fromUtf8(a.title) + U"》 " + fromUtf8(a.poet);
        if (b.title != a.title || b.poet != a.poet)
            about += U"  《" + fromUtf8(b.title) + U"》 " + fromUtf8(b.poet);
        lines.push_back(about);
    }
    return lines;
}

std::array<std::string, 14> spokenReadings(const Verse& v) {
    std::array<std::string, 14> spoken = v.readings;
    for (size_t k = 0; k < 14; ++k) {
        if (k % 7 == 6)
            continue; // the last character of a line: a pause follows
        const char next = v.readings[k + 1].back();
        const char32_t before = k % 7 == 0 ? U'\0' : v.text[k - 1];
        if (v.text[k] == U'一' && v.readings[k] == "yi1" && before != U'第' && before != U'初' &&
            next >= '1' && next <= '4')
            spoken[k] = next == '4' ? "yi2" : "yi4";
        else if (v.text[k] == U'不' && v.readings[k] == "bu4" && next == '4')
            spoken[k] = "bu2";
    }
    return spoken;
}

namespace {

std::vector<std::string> labelled(const std::vector<Verse>& verses,
                                  std::array<std::string, 14> (*readingsOf)(const Verse&)) {
    std::vector<std::string> lines;
    for (const Verse& v : verses) {
        char label[32];
        std::snprintf(label, sizeof label, "%03d", v.number);
        std::string line = label;
        for (const std::string& r : readingsOf(v))
            line += "/" + r;
        lines.push_back(line);
    }
    return lines;
}

} // namespace

std::vector<std::string> readingLines(const std::vector<Verse>& verses) {
    return labelled(verses, [](const Verse& v) { return v.readings; });
}

std::vector<std::string> spokenLines(const std::vector<Verse>& verses) {
    return labelled(verses, spokenReadings);
}

void writeBook(const fs::path& appDir) {
    const auto& verses = book();
    std::vector<std::string> tav;
    for (const auto& l : bookLines(verses))
        tav.push_back(utf8(l));
    writeGbkLines(appDir / "data" / "tav.txt", tav);
    writeGbkLines(appDir / "data" / "tav_snd.txt", readingLines(verses));
    writeGbkLines(appDir / "sound" / "sd_pinyin.txt", spokenLines(verses));
}

} // namespace mediagen
