// The book's readers: verses and readings from the lines of their files.
#include "core/Book.h"

#include "MemFile.h"
#include "text/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto lines = text::readLines(fuzz::asFile(data, size));
    if (!lines)
        return 0;
    for (std::int16_t n : {1, 2, 3, 139, 140})
        (void)core::verseFromLines(*lines, "tav.txt", n);
    for (const std::string& line : *lines)
        for (std::int16_t k : {1, 7, 13, 14})
            (void)core::readingFromLine(line, k);
    return 0;
}
