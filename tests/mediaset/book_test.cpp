// The book's data files against the committed source and Unihan.
#include "mediaset/sound_files.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>

namespace soundset {
namespace {

struct SourceVerse {
    int number = 0;
    std::string title, poet;
    std::u32string text;
    std::vector<std::string> readings;
};

// media-src/book.txt, read independently of the generator.
std::vector<SourceVerse> sourceBook() {
    std::vector<SourceVerse> verses;
    std::istringstream in(readAll(sourceDir() / "media-src" / "book.txt"));
    std::string line;
    const std::regex header(R"(^(\d{3}) (.+) \| (.+)$)");
    while (std::getline(in, line)) {
        std::smatch m;
        if (line.empty() || line[0] == '#')
            continue;
        if (std::regex_match(line, m, header)) {
            verses.push_back({std::stoi(m[1]), m[2], m[3], {}, {}});
            continue;
        }
        if (verses.empty())
            continue;
        std::istringstream fields(line);
        std::string text, r;
        fields >> text;
        verses.back().text += text::toU32(text);
        while (fields >> r)
            verses.back().readings.push_back(r);
    }
    return verses;
}

std::vector<std::string> dataLines(const char* name, int& bareLineFeeds, std::string* utf8Text) {
    const std::string raw = readAll(mediaDir() / "data" / name);
    const auto text = text::convertExact(raw, "CP936", "UTF-8");
    if (!text)
        return {};
    if (utf8Text)
        *utf8Text = *text;
    return crlfLines(*text, bareLineFeeds);
}

TEST(Book, SourceHolds140CoupletsOfSevenCharacterLinesWithReadings) {
    const auto verses = sourceBook();
    ASSERT_EQ(verses.size(), 140u);
    std::set<std::u32string> distinct;
    for (size_t i = 0; i < verses.size(); ++i) {
        const auto& v = verses[i];
        EXPECT_EQ(v.number, static_cast<int>(i) + 1);
        ASSERT_EQ(v.text.size(), 14u) << "verse " << v.number;
        ASSERT_EQ(v.readings.size(), 14u) << "verse " << v.number;
        EXPECT_TRUE(distinct.insert(v.text).second) << "verse " << v.number << " repeats";
    }
    // A data line pairs two couplets of one poem.
    for (size_t i = 0; i + 1 < verses.size(); i += 2)
        EXPECT_TRUE(verses[i].title == verses[i + 1].title && verses[i].poet == verses[i + 1].poet)
            << "verses " << i + 1 << " and " << i + 2;
}

TEST(Book, EveryCharacterIsInGb2312) {
    for (const auto& v : sourceBook())
        for (char32_t c : v.text)
            EXPECT_TRUE(text::convertExact(text::toUtf8(c), "UTF-8", "GB2312").has_value())
                << text::toUtf8(c) << " in verse " << v.number;
}

TEST(Book, VerseBookIsCodePage936WithCrLfAndTheVersesInTheirColumns) {
    const std::string raw = readAll(mediaDir() / "data" / "tav.txt");
    const auto text = text::convertExact(raw, "CP936", "UTF-8");
    ASSERT_TRUE(text) << "tav.txt does not decode from code page 936";
    EXPECT_EQ(text::convertExact(*text, "UTF-8", "CP936"), raw) << "round trip changes the bytes";
    ASSERT_GE(raw.size(), 2u);
    EXPECT_EQ(raw.substr(raw.size() - 2), "\r\n");
    int bare = 0;
    const auto lines = crlfLines(*text, bare);
    EXPECT_EQ(bare, 0);
    ASSERT_EQ(lines.size(), 140u);

    const auto verses = sourceBook();
    ASSERT_EQ(verses.size(), 140u);
    auto isHan = [](char32_t c) { return c >= 0x4E00 && c <= 0x9FFF; };
    for (int n = 1; n <= 140; ++n) {
        // Columns are 1-based counts of decoded characters.
        const std::u32string line = text::toU32(lines[static_cast<size_t>((n + 1) / 2 * 2 - 2)]);
        ASSERT_GE(line.size(), 52u) << "line of verse " << n;
        const size_t a = n % 2 == 1 ? 5 : 34, b = n % 2 == 1 ? 16 : 45;
        const std::u32string verse = line.substr(a, 7) + line.substr(b, 7);
        for (char32_t c : verse)
            EXPECT_TRUE(isHan(c)) << "verse " << n;
        EXPECT_EQ(verse, verses[static_cast<size_t>(n - 1)].text) << "verse " << n;
    }
    for (size_t i = 1; i < lines.size(); i += 2)
        EXPECT_FALSE(lines[i].empty()) << "line " << i + 1 << " carries title and poet";
}

TEST(Book, ReadingsFileHasALabelAndFourteenReadingsPerVerse) {
    int bare = 0;
    const auto lines = dataLines("tav_snd.txt", bare, nullptr);
    EXPECT_EQ(bare, 0);
    ASSERT_EQ(lines.size(), 140u);
    const auto verses = sourceBook();
    ASSERT_EQ(verses.size(), 140u);
    const std::regex reading("[a-z]+[1-5]");
    for (size_t n = 0; n < lines.size(); ++n) {
        std::vector<std::string> fields;
        std::istringstream in(lines[n]);
        for (std::string f; std::getline(in, f, '/');)
            fields.push_back(f);
        ASSERT_EQ(fields.size(), 15u) << "line " << n + 1;
        for (size_t k = 1; k <= 14; ++k) {
            EXPECT_TRUE(std::regex_match(fields[k], reading))
                << "line " << n + 1 << ": " << fields[k];
            EXPECT_EQ(fields[k], verses[n].readings[k - 1])
                << "verse " << n + 1 << " position " << k;
        }
    }
}

// Readings of Unihan as "hang2", with tone-marked pinyin converted.
std::string numbered(const std::string& marked) {
    static const std::map<std::string, std::pair<char, int>> marks = {
        {"ā", {'a', 1}}, {"á", {'a', 2}}, {"ǎ", {'a', 3}}, {"à", {'a', 4}}, {"ē", {'e', 1}},
        {"é", {'e', 2}}, {"ě", {'e', 3}}, {"è", {'e', 4}}, {"ī", {'i', 1}}, {"í", {'i', 2}},
        {"ǐ", {'i', 3}}, {"ì", {'i', 4}}, {"ō", {'o', 1}}, {"ó", {'o', 2}}, {"ǒ", {'o', 3}},
        {"ò", {'o', 4}}, {"ū", {'u', 1}}, {"ú", {'u', 2}}, {"ǔ", {'u', 3}}, {"ù", {'u', 4}},
        {"ǖ", {'v', 1}}, {"ǘ", {'v', 2}}, {"ǚ", {'v', 3}}, {"ǜ", {'v', 4}}, {"ü", {'v', 5}},
        {"ń", {'n', 2}}, {"ň", {'n', 3}}, {"ǹ", {'n', 4}}, {"ḿ", {'m', 2}}};
    std::string out;
    int tone = 5;
    for (size_t i = 0; i < marked.size();) {
        bool found = false;
        for (const auto& [m, v] : marks) {
            if (marked.compare(i, m.size(), m) == 0) {
                out += v.first;
                if (v.second != 5)
                    tone = v.second;
                i += m.size();
                found = true;
                break;
            }
        }
        if (!found)
            out += marked[i++];
    }
    return out + std::to_string(tone);
}

struct UnihanReadings {
    std::set<std::string> all; // every reading listed
    std::string common;        // the reading the book takes unless corrected
};

std::map<char32_t, UnihanReadings> unihan(const std::set<char32_t>& wanted) {
    std::map<char32_t, UnihanReadings> out;
    std::map<char32_t, std::string> mandarin;
    std::map<char32_t, std::pair<std::string, long>> pinlu;
    const std::string cmd = "bzcat /usr/share/unicode/Unihan_Readings.txt.bz2";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(cmd.c_str(), "r"), pclose);
    if (!pipe)
        return out;
    char buf[4096];
    const std::regex token(R"(([^\s,:()]+)(?:\((\d+)\))?)");
    while (std::fgets(buf, sizeof buf, pipe.get())) {
        std::string line(buf);
        if (line.rfind("U+", 0) != 0)
            continue;
        std::istringstream in(line);
        std::string cp, key;
        in >> cp >> key;
        const auto c = static_cast<char32_t>(std::stoul(cp.substr(2), nullptr, 16));
        if (!wanted.count(c))
            continue;
        if (key != "kMandarin" && key != "kHanyuPinyin" && key != "kXHC1983" &&
            key != "kTGHZ2013" && key != "kHanyuPinlu")
            continue;
        std::string value;
        std::getline(in, value);
        std::istringstream words(value);
        for (std::string w; words >> w;) {
            // "20811.060:háng,xìng" and "0442.080:háng" carry a location first.
            const auto colon = w.find(':');
            if (colon != std::string::npos)
                w = w.substr(colon + 1);
            for (auto it = std::sregex_iterator(w.begin(), w.end(), token);
                 it != std::sregex_iterator(); ++it) {
                const std::string r = numbered((*it)[1]);
                out[c].all.insert(r);
                if (key == "kMandarin" && !mandarin.count(c))
                    mandarin[c] = r;
                if (key == "kHanyuPinlu" && (*it)[2].matched && r.back() != '5') {
                    const long count = std::stol((*it)[2]);
                    if (!pinlu.count(c) || count > pinlu[c].second)
                        pinlu[c] = {r, count};
                }
            }
        }
    }
    for (auto& [c, u] : out)
        u.common = pinlu.count(c) ? pinlu[c].first : mandarin[c];
    return out;
}

TEST(Book, EveryReadingIsOneUnihanListsAndEachDepartureIsAReviewedCorrection) {
    const auto verses = sourceBook();
    ASSERT_EQ(verses.size(), 140u);
    std::set<char32_t> chars;
    for (const auto& v : verses)
        chars.insert(v.text.begin(), v.text.end());
    const auto readings = unihan(chars);
    ASSERT_FALSE(readings.empty()) << "Unihan readings not found";

    // verse, position -> character, reading
    std::map<std::pair<int, int>, std::pair<std::u32string, std::string>> corrections;
    std::istringstream in(readAll(sourceDir() / "media-src" / "readings-corrections.txt"));
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream f(line);
        int v = 0, k = 0;
        std::string c, r;
        f >> v >> k >> c >> r;
        corrections[{v, k}] = {text::toU32(c), r};
    }
    ASSERT_FALSE(corrections.empty());

    std::set<std::pair<int, int>> used;
    for (const auto& v : verses) {
        for (size_t k = 0; k < 14; ++k) {
            const char32_t c = v.text[k];
            const std::string& r = v.readings[k];
            const auto where = "verse " + std::to_string(v.number) + " position " +
                               std::to_string(k + 1) + " " + text::toUtf8(c) + " " + r;
            ASSERT_TRUE(readings.count(c)) << where << ": no Unihan reading";
            const auto& u = readings.at(c);
            const bool listed =
                u.all.count(r) ||
                (r.back() == '5' && std::any_of(u.all.begin(), u.all.end(), [&](const auto& x) {
                     return x.substr(0, x.size() - 1) == r.substr(0, r.size() - 1);
                 }));
            EXPECT_TRUE(listed) << where << ": not a reading of the character";
            const auto corr = corrections.find({v.number, static_cast<int>(k) + 1});
            if (r != u.common) {
                ASSERT_NE(corr, corrections.end())
                    << where << ": differs from " << u.common << " without a correction";
                EXPECT_EQ(corr->second.first, std::u32string(1, c)) << where;
                EXPECT_EQ(corr->second.second, r) << where;
                used.insert(corr->first);
            }
        }
    }
    for (const auto& [at, cr] : corrections)
        EXPECT_TRUE(used.count(at)) << "correction for verse " << at.first << " position "
                                    << at.second << " is not applied or not needed";
}

} // namespace
} // namespace soundset
