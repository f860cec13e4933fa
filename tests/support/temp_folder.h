// Files for tests: a fresh folder of the test's own under the system's temp folder, removed
// with everything in it when the object goes (even what a test made
// read-only).
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <stdlib.h>
#include <string>
#include <system_error>

namespace support {

struct TempFolder {
    std::filesystem::path path;

    explicit TempFolder(const std::string& tag = "test") {
        std::string t =
            (std::filesystem::temp_directory_path() / ("shizi-" + tag + "-XXXXXX")).string();
        if (!mkdtemp(t.data()))
            throw std::runtime_error("cannot make a folder like " + t);
        path = t;
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::permissions(path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder with a "/" at the end.
    std::string str() const { return path.string() + "/"; }
    std::string file(const std::string& name) const { return (path / name).string(); }
    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path / name, std::ios::binary) << bytes;
    }
};

// A whole file's bytes; empty when it cannot be read.
inline std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace support
