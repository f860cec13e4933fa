// The exact conversions the media generator and the media set's tests rely
// on: a file either converts whole or not at all.
#include "text/Text.h"

#include <gtest/gtest.h>

using text::convertExact;

namespace {

// "春眠不觉晓" in code page 936.
const std::string kSpringCp936 = "\xB4\xBA\xC3\xDF\xB2\xBB\xBE\xF5\xCF\xFE";
const std::string kSpringUtf8 = "春眠不觉晓";

TEST(ConvertExact, RoundTripsBetweenUtf8AndCodePage936) {
    EXPECT_EQ(convertExact(kSpringUtf8, "UTF-8", "CP936"), kSpringCp936);
    EXPECT_EQ(convertExact(kSpringCp936, "CP936", "UTF-8"), kSpringUtf8);
    EXPECT_EQ(convertExact("", "UTF-8", "CP936"), "");
    // Long text crosses the converter's buffer many times over.
    std::string many;
    for (int i = 0; i < 2000; ++i)
        many += kSpringUtf8 + "\r\n";
    const auto bytes = convertExact(many, "UTF-8", "CP936");
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 2000u * 12);
    EXPECT_EQ(convertExact(*bytes, "CP936", "UTF-8"), many);
}

TEST(ConvertExact, RefusesWhatDoesNotConvertInsteadOfReplacingIt) {
    // A character code page 936 lacks, and one that GB2312 lacks but 936 has.
    EXPECT_FALSE(convertExact("春\U0001F600", "UTF-8", "CP936"));
    EXPECT_TRUE(convertExact("們", "UTF-8", "CP936"));
    EXPECT_FALSE(convertExact("們", "UTF-8", "GB2312"));
    // A lead byte cut off at the end, and malformed UTF-8.
    EXPECT_FALSE(convertExact(kSpringCp936 + "\xB4", "CP936", "UTF-8"));
    EXPECT_FALSE(convertExact("\xE6\x98", "UTF-8", "CP936"));
    EXPECT_FALSE(convertExact("abc", "UTF-8", "NO-SUCH-ENCODING"));
}

TEST(ConvertExact, TheLenientConversionsStillReadAndWriteAroundTheFault) {
    EXPECT_EQ(text::toCp936("春\U0001F600眠"), "\xB4\xBA?\xC3\xDF");
    EXPECT_EQ(text::fromCp936("\xB4\xBA\xFF\xC3\xDF"), "春\uFFFD眠");
}

TEST(NativePath, AcceptsBothSeparators) {
    EXPECT_EQ(text::nativePath("C:\\prog\\data\\tav.txt"), "C:/prog/data/tav.txt");
    EXPECT_EQ(text::nativePath("/media/pic\\sub/b.bmp"), "/media/pic/sub/b.bmp");
    EXPECT_EQ(text::nativePath(""), "");
}

} // namespace
