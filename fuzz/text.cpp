// The text boundary: code page 936, UTF-8, and the numbers of the data
// files.
#include "text/Text.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view in(reinterpret_cast<const char*>(data), size);
    (void)text::readNumber(in);
    (void)text::readDouble(in);
    (void)text::layoutField(in, 1);
    bool ok = true;
    (void)text::layoutField(in, 5, &ok);
    (void)text::numberInRange("fuzz.txt", 1, in, 0, 999, 0);
    const std::string utf8 = text::fromCp936(in);
    (void)text::toCp936(utf8);
    (void)text::convertExact(in, "CP936", "UTF-8");
    const std::u32string chars = text::toU32(in);
    (void)text::toUtf8(chars);
    (void)text::substrChars(in, size % 7, 14);
    (void)text::displayPath(in);
    return 0;
}
