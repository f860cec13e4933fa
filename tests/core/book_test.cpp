// The verse book, the readings and the menu state in the program folder.
#include "CoreFixture.h"
#include "core/tavMdl.h"

#include <gtest/gtest.h>

using namespace core;
using coretest::CoreTest;

namespace {

// A character that names verse v, position k (both 1-based) and encodes in
// code page 936.
char32_t mark(int v, int k) {
    return char32_t(0x4E00 + v * 14 + k);
}

std::u32string verseText(int v) {
    std::u32string s;
    for (int k = 1; k <= 14; ++k)
        s += mark(v, k);
    return s;
}

// Line 2p-1 of the book: verse 2p-1 in columns 6-12 and 17-23, verse 2p in
// 35-41 and 46-52, the rest filled with ASCII and full-width characters so
// that a reader counting bytes instead of characters goes wrong.
std::string bookLine(int p) {
    const std::u32string a = verseText(2 * p - 1), b = verseText(2 * p);
    std::u32string line = U"(" + std::u32string(1, char32_t('0' + p % 10)) + U")　:";
    line += a.substr(0, 7) + U"，ab　" + a.substr(7, 7) + U"。 x　 y 　123";
    line += b.substr(0, 7) + U"，cd　" + b.substr(7, 7) + U"。";
    return toUtf8(line);
}

std::vector<std::string> book(int lines = 140) {
    std::vector<std::string> out;
    for (int i = 1; i <= lines; ++i)
        out.push_back(i % 2 ? bookLine((i + 1) / 2) : toUtf8(U"　注：不读"));
    return out;
}

const std::u32string kBlankVerse(14, U'\u3000');

} // namespace

TEST_F(CoreTest, VersesComeFromTheirLineAndColumns) {
    writeData("tav.txt", book());
    EXPECT_EQ(getVerse(app, 1), verseText(1));
    EXPECT_EQ(getVerse(app, 2), verseText(2));
    EXPECT_EQ(getVerse(app, 3), verseText(3));
    EXPECT_EQ(getVerse(app, 4), verseText(4));
    EXPECT_EQ(getVerse(app, 77), verseText(77));
    EXPECT_EQ(getVerse(app, 140), verseText(140));
    EXPECT_TRUE(fatalMessages.empty());
}

TEST_F(CoreTest, OnlyTheFourColumnRangesCount) {
    auto lines = book();
    lines[2] = "12345ABCDEFG----HIJKLMN-----------OPQRSTU----VWXYZab--------";
    writeData("tav.txt", lines);
    EXPECT_EQ(getVerse(app, 3), U"ABCDEFGHIJKLMN");
    EXPECT_EQ(getVerse(app, 4), U"OPQRSTUVWXYZab");
    EXPECT_EQ(getVerse(app, 5), verseText(5));
}

TEST_F(CoreTest, EditsTakeEffectAtTheNextCall) {
    writeData("tav.txt", book());
    EXPECT_EQ(getVerse(app, 1), verseText(1));
    auto lines = book();
    lines[0] = bookLine(2);
    writeData("tav.txt", lines);
    EXPECT_EQ(getVerse(app, 1), verseText(3));
}

TEST_F(CoreTest, VerseAbove140IsAFatalDataFault) {
    writeData("tav.txt", book());
    const std::u32string v = getVerse(app, 141);
    ASSERT_EQ(fatalMessages.size(), 1u);
    EXPECT_EQ(fatalMessages[0], "Error found in words!");
    // The caller goes on safely until the program has ended.
    EXPECT_EQ(v.size(), 14u);
    getVerse(app, 32767);
    EXPECT_EQ(fatalMessages.size(), 2u);
}

TEST_F(CoreTest, ShortOrMissingBookReadsBlankVerses) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(getVerse(app, 1), kBlankVerse);
    writeData("tav.txt", book(3));
    EXPECT_EQ(getVerse(app, 3), verseText(3)); // line 4 is missing but unused
    EXPECT_EQ(getVerse(app, 140), kBlankVerse);
    auto lines = book(2);
    lines[0] = "12345ABC";
    writeData("tav.txt", lines);
    EXPECT_EQ(getVerse(app, 1), U"ABC" + std::u32string(11, U'\u3000'));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("tav.txt"), std::string::npos);
    EXPECT_TRUE(fatalMessages.empty());
}

TEST_F(CoreTest, ReadingsAreTheSlashSeparatedFields) {
    std::string full = "x";
    for (int k = 1; k <= 14; ++k)
        full += "/r" + std::to_string(k);
    writeData("tav_snd.txt", {"label/a/b", full, full + "/", "诗/shi1//yue4/" + std::string("z")});
    EXPECT_EQ(getCharReading(app, 2, 1), "r1");
    EXPECT_EQ(getCharReading(app, 2, 7), "r7");
    EXPECT_EQ(getCharReading(app, 2, 13), "r13");
    EXPECT_EQ(getCharReading(app, 2, 14), "r14");
    // A "/" after the last field belongs to it.
    EXPECT_EQ(getCharReading(app, 3, 14), "r14/");
    EXPECT_EQ(getCharReading(app, 3, 13), "r13");
    // Two "/" in a row: an empty reading.
    EXPECT_EQ(getCharReading(app, 4, 1), "shi1");
    EXPECT_EQ(getCharReading(app, 4, 2), "");
    EXPECT_EQ(getCharReading(app, 4, 3), "yue4");
}

TEST_F(CoreTest, MalformedReadingsGiveEmptyKeys) {
    writeData("tav_snd.txt", {"label/a/b"});
    testing::internal::CaptureStderr();
    EXPECT_EQ(getCharReading(app, 1, 2), "b"); // no closing "/": to the line's end
    EXPECT_EQ(getCharReading(app, 1, 5), "");
    EXPECT_EQ(getCharReading(app, 9, 1), "");
    testing::internal::GetCapturedStderr();
}

TEST_F(CoreTest, MenuStateRoundTripKeepsLineOneAndDropsTheRest) {
    writeData("data.txt", {" 7 ", "3", "25", "4", "99"});
    loadMenuState(app);
    EXPECT_EQ(app.state.bgPicCount, 7);
    EXPECT_EQ(app.state.curFunc, 3);
    EXPECT_EQ(app.state.curVerse, 25);
    EXPECT_EQ(app.state.verseCount, 4);
    app.state.curVerse = 26;
    saveMenuState(app);
    EXPECT_EQ(readBytes("data.txt"), " 7 \r\n3\r\n26\r\n4\r\n");
    app.state.curFunc = -1;
    saveMenuState(app);
    EXPECT_EQ(readBytes("data.txt"), " 7 \r\n-1\r\n26\r\n4\r\n");
}

TEST_F(CoreTest, MenuStateNumbersAreRounded) {
    writeData("data.txt", {"7", "3.6", "2.5", "3.5"});
    loadMenuState(app);
    EXPECT_EQ(app.state.curFunc, 4);
    EXPECT_EQ(app.state.curVerse, 2);
    EXPECT_EQ(app.state.verseCount, 4);
}

TEST_F(CoreTest, MissingMenuStateKeepsTheValuesAndIsWrittenAfresh) {
    app.state.bgPicCount = 5;
    app.state.curFunc = 2;
    app.state.curVerse = 9;
    app.state.verseCount = 3;
    testing::internal::CaptureStderr();
    loadMenuState(app);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("data.txt"), std::string::npos);
    EXPECT_EQ(app.state.curVerse, 9);
    writeData("data.txt", {"6", "1"});
    testing::internal::CaptureStderr();
    loadMenuState(app);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(app.state.bgPicCount, 6);
    EXPECT_EQ(app.state.curFunc, 1);
    EXPECT_EQ(app.state.curVerse, 9);
    EXPECT_EQ(app.state.verseCount, 3);
    std::filesystem::remove(dataDir() / "data.txt");
    testing::internal::CaptureStderr();
    saveMenuState(app);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(readBytes("data.txt"), "6\r\n1\r\n9\r\n3\r\n");
}
