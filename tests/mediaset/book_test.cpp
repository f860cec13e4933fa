// The book's data files against the committed source and Unihan.
#include "mediaset/sound_files.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <iterator>
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

std::string commandOutput(const std::string& cmd) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(cmd.c_str(), "r"), pclose);
    std::string out;
    if (!pipe)
        return out;
    char buf[4096];
    for (size_t n; (n = std::fread(buf, 1, sizeof buf, pipe.get())) > 0;)
        out.append(buf, n);
    return out;
}

// The code points of the Kai face the pictures are drawn with, from
// fontconfig's character set ranges ("20-7e a0-ff 4e00 ...").
std::set<std::pair<char32_t, char32_t>> kaiCharset() {
    const std::string file = commandOutput("fc-match -f '%{file}' 'AR PL KaitiM GB'");
    std::set<std::pair<char32_t, char32_t>> ranges;
    if (file.find("gkai") == std::string::npos)
        return ranges; // another face stood in: the Kai face is missing
    std::istringstream in(commandOutput("fc-query -f '%{charset}' '" + file + "'"));
    for (std::string r; in >> r;) {
        const auto dash = r.find('-');
        const auto lo = static_cast<char32_t>(std::stoul(r.substr(0, dash), nullptr, 16));
        const auto hi = dash == std::string::npos
                            ? lo
                            : static_cast<char32_t>(std::stoul(r.substr(dash + 1), nullptr, 16));
        ranges.insert({lo, hi});
    }
    return ranges;
}

TEST(Book, EveryCharacterIsInGb2312AndInTheKaiFace) {
    const auto kai = kaiCharset();
    ASSERT_GT(kai.size(), 100u) << "the Kai face's characters were not found";
    auto inKai = [&](char32_t c) {
        auto it = kai.upper_bound({c, U'\U0010FFFF'});
        return it != kai.begin() && std::prev(it)->first <= c && c <= std::prev(it)->second;
    };
    EXPECT_FALSE(inKai(U'\u6D65')) << "the check finds a character the face lacks"; // 浥
    for (const auto& v : sourceBook()) {
        for (char32_t c : v.text) {
            EXPECT_TRUE(text::convertExact(text::toUtf8(c), "UTF-8", "GB2312").has_value())
                << text::toUtf8(c) << " in verse " << v.number << " is not in GB2312";
            EXPECT_TRUE(inKai(c)) << text::toUtf8(c) << " in verse " << v.number
                                  << " is not in the Kai face";
        }
    }
}

// Lines of a committed source file, comments and blank lines left out.
std::vector<std::string> sourceLines(const char* name) {
    std::vector<std::string> lines;
    std::istringstream in(readAll(sourceDir() / "media-src" / name));
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#')
            lines.push_back(line);
    return lines;
}

std::string trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(' ');
    return b == std::string::npos ? std::string() : s.substr(b, s.find_last_not_of(' ') - b + 1);
}

TEST(Book, NoVerseComesFromAPoemKeptOut) {
    std::set<std::pair<std::string, std::string>> poems; // title, poet
    std::set<std::u32string> lines;
    for (const auto& line : sourceLines("unsuitable.txt")) {
        std::vector<std::string> f;
        std::istringstream in(line);
        for (std::string x; std::getline(in, x, '|');)
            f.push_back(trimmed(x));
        ASSERT_EQ(f.size(), 4u) << line;
        ASSERT_EQ(text::toU32(f[2]).size(), 7u) << line;
        poems.insert({f[0], f[1]});
        lines.insert(text::toU32(f[2]));
    }
    ASSERT_GE(poems.size(), 10u);
    // The poems the book was faulted for are among them.
    for (const char* title : {"遣怀", "赠别·其一", "赠别·其二", "为有", "陇西行"})
        EXPECT_TRUE(std::any_of(poems.begin(), poems.end(), [&](const auto& p) {
            return p.first == title;
        })) << title;
    for (const auto& v : sourceBook()) {
        EXPECT_FALSE(poems.count({v.title, v.poet}))
            << "verse " << v.number << " is from " << v.title << ", a poem kept out";
        for (size_t k : {0u, 7u})
            EXPECT_FALSE(lines.count(v.text.substr(k, 7)))
                << "verse " << v.number << " has a line of a poem kept out";
    }
}

TEST(Book, EachTextCorrectionNamesTheBooksCharacterAndTheSourcesOther) {
    const auto verses = sourceBook();
    ASSERT_EQ(verses.size(), 140u);
    int corrections = 0;
    for (const auto& line : sourceLines("text-corrections.txt")) {
        std::istringstream in(line);
        std::string first;
        in >> first;
        if (first == "title")
            continue;
        int k = 0;
        std::string book, source, sourceLine;
        in >> k >> book >> source >> sourceLine;
        const int n = std::stoi(first);
        ASSERT_TRUE(n >= 1 && n <= 140 && k >= 1 && k <= 14) << line;
        const auto& v = verses[static_cast<size_t>(n - 1)];
        EXPECT_EQ(text::toU32(book), v.text.substr(static_cast<size_t>(k - 1), 1)) << line;
        EXPECT_NE(book, source) << line;
        // The source's couplet, with the source's character where the book differs.
        const std::u32string src = text::toU32(sourceLine);
        ASSERT_EQ(src.size(), 15u) << line;
        EXPECT_EQ(src[k <= 7 ? k - 1 : k], text::toU32(source)[0]) << line;
        ++corrections;
    }
    EXPECT_GT(corrections, 0);
}

// Unihan's value of `key` for every character that has one.
std::map<char32_t, std::string> unihanField(const char* file, const char* key) {
    std::map<char32_t, std::string> out;
    std::istringstream in(commandOutput(std::string("bzcat /usr/share/unicode/") + file +
                                        " | grep -P '\\t" + key + "\\t'"));
    for (std::string line; std::getline(in, line);) {
        const auto tab = line.find('\t');
        const auto value = line.find('\t', tab + 1);
        if (line.rfind("U+", 0) != 0 || value == std::string::npos)
            continue;
        out[static_cast<char32_t>(std::stoul(line.substr(2, tab - 2), nullptr, 16))] =
            line.substr(value + 1);
    }
    return out;
}

// The book's measure of difficulty, per ten verses: the mean over the verses
// of the mean frequency rank of their characters (by the counts of Unihan
// kHanyuPinlu, unlisted characters after all listed ones) and of the mean
// stroke count (Unihan kTotalStrokes).
struct Tens {
    std::vector<double> rank, strokes;
};

Tens orderByTens(const std::vector<SourceVerse>& verses) {
    std::map<char32_t, long> counts;
    for (const auto& [c, v] : unihanField("Unihan_Readings.txt.bz2", "kHanyuPinlu")) {
        const std::regex count(R"(\((\d+)\))");
        for (auto it = std::sregex_iterator(v.begin(), v.end(), count);
             it != std::sregex_iterator(); ++it)
            counts[c] += std::stol((*it)[1]);
    }
    std::vector<std::pair<long, char32_t>> byCount;
    for (const auto& [c, n] : counts)
        byCount.push_back({-n, c});
    std::sort(byCount.begin(), byCount.end());
    std::map<char32_t, double> rank;
    for (size_t i = 0; i < byCount.size(); ++i)
        rank[byCount[i].second] = static_cast<double>(i + 1);
    const auto strokes = unihanField("Unihan_IRGSources.txt.bz2", "kTotalStrokes");

    Tens tens;
    for (size_t t = 0; t * 10 < verses.size(); ++t) {
        double r = 0, s = 0;
        for (size_t i = t * 10; i < t * 10 + 10 && i < verses.size(); ++i) {
            for (char32_t c : verses[i].text) {
                r += rank.count(c) ? rank[c] : static_cast<double>(byCount.size() + 1);
                s += strokes.count(c) ? std::stod(strokes.at(c)) : 0.0;
            }
        }
        tens.rank.push_back(r / 140.0);
        tens.strokes.push_back(s / 140.0);
    }
    return tens;
}

TEST(Book, EachTenOfVersesIsNoEasierThanTheTenBeforeWithinAMargin) {
    const auto verses = sourceBook();
    ASSERT_EQ(verses.size(), 140u);
    const Tens tens = orderByTens(verses);
    ASSERT_EQ(tens.rank.size(), 14u);
    ASSERT_GT(tens.strokes.front(), 4.0) << "Unihan stroke counts not found";
    ASSERT_GT(tens.rank.front(), 100.0) << "Unihan frequency counts not found";
    constexpr double kRankMargin = 50;      // mean frequency rank of a verse's characters
    constexpr double kStrokesMargin = 0.15; // mean strokes of a verse's characters
    for (size_t t = 1; t < tens.rank.size(); ++t) {
        EXPECT_GE(tens.rank[t], tens.rank[t - 1] - kRankMargin) << "verses " << t * 10 + 1;
        EXPECT_GE(tens.strokes[t], tens.strokes[t - 1] - kStrokesMargin) << "verses " << t * 10 + 1;
    }
    // And the book as a whole goes from easy to hard.
    EXPECT_GT(tens.rank.back(), tens.rank.front() + 200);
    EXPECT_GT(tens.strokes.back(), tens.strokes.front() + 1.0);
}

TEST(Book, TheOrderCheckCatchesAHardTenBeforeAnEasyOne) {
    auto verses = sourceBook();
    ASSERT_EQ(verses.size(), 140u);
    std::rotate(verses.begin(), verses.begin() + 130, verses.end()); // the hardest ten first
    const Tens tens = orderByTens(verses);
    ASSERT_EQ(tens.rank.size(), 14u);
    EXPECT_LT(tens.rank[1], tens.rank[0] - 50);
    EXPECT_LT(tens.strokes[1], tens.strokes[0] - 0.15);
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

// The tone changes of speech, worked out here from the book's own readings:
// within a line 一 (yi1) is yi2 before a fourth tone and yi4 before tones
// 1-3, but not as an ordinal (第一, 初一); 不 (bu4) is bu2 before a fourth
// tone.
std::vector<std::string> spokenByRule(const SourceVerse& v) {
    std::vector<std::string> spoken = v.readings;
    for (size_t k = 0; k + 1 < 14; ++k) {
        if (k == 6)
            continue; // the lines are spoken apart
        const char next = v.readings[k + 1].back();
        const bool ordinal = k % 7 != 0 && (v.text[k - 1] == U'第' || v.text[k - 1] == U'初');
        if (v.text[k] == U'一' && v.readings[k] == "yi1" && next != '5' && !ordinal)
            spoken[k] = next == '4' ? "yi2" : "yi4";
        if (v.text[k] == U'不' && v.readings[k] == "bu4" && next == '4')
            spoken[k] = "bu2";
    }
    return spoken;
}

TEST(Recitation, SpokenPinyinAppliesTheToneChangesOfYiAndBu) {
    int bare = 0;
    const std::string raw = readAll(soundDir() / "sd_pinyin.txt");
    ASSERT_FALSE(raw.empty()) << "sound/sd_pinyin.txt is missing";
    const auto lines = crlfLines(raw, bare);
    EXPECT_EQ(bare, 0);
    const auto verses = sourceBook();
    ASSERT_EQ(lines.size(), verses.size());
    int changes = 0;
    for (size_t n = 0; n < verses.size(); ++n) {
        std::vector<std::string> fields;
        std::istringstream in(lines[n]);
        for (std::string f; std::getline(in, f, '/');)
            fields.push_back(f);
        ASSERT_EQ(fields.size(), 15u) << "line " << n + 1;
        const auto expected = spokenByRule(verses[n]);
        for (size_t k = 0; k < 14; ++k) {
            EXPECT_EQ(fields[k + 1], expected[k]) << "verse " << n + 1 << " position " << k + 1
                                                  << " " << text::toUtf8(verses[n].text[k]);
            changes += expected[k] != verses[n].readings[k];
        }
    }
    // The book has these words; a rule that never fired would not notice.
    EXPECT_GE(changes, 20);
}

} // namespace
} // namespace soundset
