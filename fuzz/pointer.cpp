// The mouse pointer files (".cur" and ".ico").
#include "MemFile.h"
#include "gfx/Cursor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const gfx::Cursor c = gfx::Cursor::fromCurFile(fuzz::asFile(data, size));
    (void)c;
    return 0;
}
