#include "book_io.h"

#include <cerrno>
#include <fstream>
#include <iconv.h>
#include <stdexcept>

namespace mediagen {

std::string toGbk(const std::string& utf8Text) {
    iconv_t cd = iconv_open("CP936", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("no UTF-8 to CP936 converter");
    std::string out(utf8Text.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(utf8Text.data());
    size_t inLeft = utf8Text.size();
    char* dst = out.data();
    size_t outLeft = out.size();
    const size_t rc = iconv(cd, &in, &inLeft, &dst, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1))
        throw std::runtime_error("not representable in code page 936: " +
                                 utf8Text.substr(utf8Text.size() - inLeft, 12));
    out.resize(out.size() - outLeft);
    return out;
}

void writeGbkLines(const std::filesystem::path& file, const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines)
        text += l + "\r\n";
    writeFileAtomic(file, toGbk(text));
}

void writeFileAtomic(const std::filesystem::path& file, const std::string& bytes) {
    std::filesystem::create_directories(file.parent_path());
    const auto tmp = std::filesystem::path(file.string() + ".tmp");
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out)
            throw std::runtime_error("cannot write " + tmp.string());
    }
    std::filesystem::rename(tmp, file);
}

} // namespace mediagen
