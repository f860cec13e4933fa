// Reading the starts of a recitation's characters, and the spread used
// without them.
#include "learning/RecitalTiming.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class TimingFile : public testing::Test {
  protected:
    void SetUp() override {
        path_ = (fs::temp_directory_path() / ("shizi-timing-" + std::to_string(getpid()) + ".txt"))
                    .string();
    }
    void TearDown() override { fs::remove(path_); }
    std::optional<learning::CharStarts> read(const std::string& text, long lengthMs = 10000) {
        std::ofstream(path_, std::ios::binary) << text;
        return learning::readCharStarts(path_, lengthMs);
    }
    std::string path_;
};

std::string lines(const std::string& end, int first = 300, int step = 400) {
    std::string s;
    for (int k = 0; k < 14; ++k)
        s += std::to_string(first + k * step) + end;
    return s;
}

TEST_F(TimingFile, FourteenRisingStartsAreReadWhateverTheLineEnds) {
    for (const char* end : {"\r\n", "\n"}) {
        const auto s = read(lines(end));
        ASSERT_TRUE(s);
        EXPECT_EQ((*s)[0], 300);
        EXPECT_EQ((*s)[13], 300 + 13 * 400);
    }
    EXPECT_TRUE(read(" " + lines(" \r\n") + "\r\n\r\n")) << "blanks and a final empty line";
    std::string unterminated = lines("\n");
    unterminated.pop_back();
    EXPECT_TRUE(read(unterminated));
    EXPECT_TRUE(read(lines("\n", 0))) << "the first character may start at once";
}

TEST_F(TimingFile, AnythingElseIsRefused) {
    const std::string good = lines("\r\n");
    const std::map<std::string, std::string> bad = {
        {"nothing", ""},
        {"thirteen lines", good.substr(0, good.rfind("5500"))},
        {"fifteen lines", good + "9000\r\n"},
        {"an empty line inside", "300\r\n\r\n" + good.substr(good.find("\n") + 1)},
        {"the same start twice", "300\r\n300\r\n" + good.substr(good.find("1100"))},
        {"a negative start", "-1\r\n" + good.substr(good.find("\n") + 1)},
        {"a unit after a number", "300ms\r\n" + good.substr(good.find("\n") + 1)},
        {"a number too large for any sound",
         "99999999999999999999\r\n" + good.substr(good.find("\n") + 1)},
        {"a long file", std::string(100000, '1')},
    };
    for (const auto& [what, text] : bad)
        EXPECT_FALSE(read(text)) << what;
    EXPECT_FALSE(read(good, 5500)) << "the last start at the sound's end";
    EXPECT_TRUE(read(good, 5501));
    EXPECT_FALSE(learning::readCharStarts(path_ + ".missing", 10000));
}

TEST(EvenSpread, FifteenPartsWithThePauseBetweenTheLines) {
    const auto s = learning::evenCharStarts(15000);
    const learning::CharStarts expected = {0,    1000, 2000,  3000,  4000,  5000,  6000,
                                           8000, 9000, 10000, 11000, 12000, 13000, 14000};
    EXPECT_EQ(s, expected);
    EXPECT_EQ(learning::evenCharStarts(0), learning::CharStarts{});
}

} // namespace
