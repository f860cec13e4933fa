// Numbers and code-page-936 text files as the data files hold them.
#include "core/Text.h"
#include "support/temp_folder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace fs = std::filesystem;
using namespace core;

using support::TempFolder;

namespace {

void writeBytes(const fs::path& p, const std::string& b) {
    std::ofstream(p, std::ios::binary) << b;
}

} // namespace

TEST(ReadNumber, RoundsHalvesToEven) {
    EXPECT_EQ(readNumber("3.6"), 4);
    EXPECT_EQ(readNumber("2.5"), 2);
    EXPECT_EQ(readNumber("3.5"), 4);
    EXPECT_EQ(readNumber("-2.5"), -2);
    EXPECT_EQ(readNumber("-3.5"), -4);
    EXPECT_EQ(readNumber("0.5"), 0);
    EXPECT_EQ(readNumber("1.4999"), 1);
}

TEST(ReadNumber, TakesOnlyALeadingNumber) {
    EXPECT_EQ(readNumber("  8"), 8);
    EXPECT_EQ(readNumber("12 34"), 12);
    EXPECT_EQ(readNumber("25abc"), 25);
    EXPECT_EQ(readNumber("+7"), 7);
    EXPECT_EQ(readNumber("-12"), -12);
    EXPECT_EQ(readNumber(".5e1"), 5);
    EXPECT_EQ(readNumber("1e"), 1);
    EXPECT_EQ(readNumber("abc"), 0);
    EXPECT_EQ(readNumber("a1"), 0);
    EXPECT_EQ(readNumber(""), 0);
    EXPECT_EQ(readNumber("-"), 0);
    EXPECT_EQ(readNumber("."), 0);
}

TEST(ReadNumber, StaysInSixteenBits) {
    EXPECT_EQ(readNumber("32767"), 32767);
    EXPECT_EQ(readNumber("40000"), 32767);
    EXPECT_EQ(readNumber("-32768"), -32768);
    EXPECT_EQ(readNumber("-99999999999999999999"), -32768);
    EXPECT_EQ(readNumber("1e400"), 32767);
    EXPECT_EQ(readNumber("-1e400"), -32768);
    EXPECT_DOUBLE_EQ(readDouble("40000.25"), 40000.25);
}

TEST(PrintNumber, LeadingBlankUnlessNegative) {
    EXPECT_EQ(printNumber(0), " 0");
    EXPECT_EQ(printNumber(1234), " 1234");
    EXPECT_EQ(printNumber(-5), "-5");
}

TEST(TextFiles, DecodesCodePage936AndSplitsBothLineEnds) {
    TempFolder d{"text"};
    // "诗" is CA AB and "中" D6 D0 in code page 936.
    writeBytes(d.path / "a.txt", "\xCA\xAB\r\nab\n\r\n\xD6\xD0");
    const auto lines = readLines((d.path / "a.txt").string());
    ASSERT_TRUE(lines);
    EXPECT_EQ(*lines, (std::vector<std::string>{"诗", "ab", "", "中"}));
}

TEST(TextFiles, FinalLineEndAddsNoEmptyLine) {
    TempFolder d{"text"};
    writeBytes(d.path / "a.txt", "1\r\n2\r\n");
    EXPECT_EQ(readLines((d.path / "a.txt").string())->size(), 2u);
    writeBytes(d.path / "b.txt", "");
    EXPECT_TRUE(readLines((d.path / "b.txt").string())->empty());
}

TEST(TextFiles, BadBytesDoNotStopTheRest) {
    TempFolder d{"text"};
    writeBytes(d.path / "a.txt", "x\xFF\r\n\xCA\xAB");
    const auto lines = readLines((d.path / "a.txt").string());
    ASSERT_TRUE(lines);
    ASSERT_EQ(lines->size(), 2u);
    EXPECT_EQ((*lines)[0].substr(0, 1), "x");
    EXPECT_EQ((*lines)[1], "诗");
}

TEST(TextFiles, MissingFileIsNulloptAndNamedOnStderr) {
    TempFolder d{"text"};
    const std::string path = (d.path / "none.txt").string();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(readLines(path));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(path), std::string::npos);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
}

TEST(TextFiles, BackslashesInPathsOpenTheSameFile) {
    TempFolder d{"text"};
    fs::create_directory(d.path / "data");
    writeBytes(d.path / "data" / "x.txt", "ok\r\n");
    const auto lines = readLines(d.path.string() + "/data\\x.txt");
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->at(0), "ok");
}

TEST(TextFiles, WritesCodePage936WithCrLfAndLeavesNoTemporaryFile) {
    TempFolder d{"text"};
    const fs::path p = d.path / "out.txt";
    writeBytes(p, "old content that is longer than the new one\r\n");
    ASSERT_TRUE(writeLines(p.string(), {"诗", " 7", ""}));
    EXPECT_EQ(support::readFile(p), "\xCA\xAB\r\n 7\r\n\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(d.path), fs::directory_iterator()), 1);
    EXPECT_EQ(*readLines(p.string()), (std::vector<std::string>{"诗", " 7", ""}));
}

TEST(TextFiles, UnwritableFolderFailsWithoutHarm) {
    testing::internal::CaptureStderr();
    EXPECT_FALSE(writeLines("/nonexistent-folder-shizi/x.txt", {"a"}));
    EXPECT_FALSE(testing::internal::GetCapturedStderr().empty());
}

TEST(Utf8, CodePointsRoundTrip) {
    const std::string s = "a诗　b😀";
    const std::u32string u = toU32(s);
    EXPECT_EQ(u, U"a诗　b😀");
    EXPECT_EQ(toUtf8(u), s);
    EXPECT_EQ(substrChars(s, 1, 2), "诗　");
    EXPECT_EQ(substrChars(s, 4, 9), "😀");
    EXPECT_EQ(substrChars(s, 9, 1), "");
    // A broken sequence becomes one replacement character, not a crash.
    EXPECT_EQ(toU32("\xE4\xB8"), U"\uFFFD\uFFFD");
}
