// Readers that take a path get the fuzzer's bytes through one file in
// memory, rewritten for every input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace fuzz {

inline std::string asFile(const std::uint8_t* data, std::size_t size) {
    static const int fd = memfd_create("shizi-fuzz", 0);
    if (ftruncate(fd, 0) != 0 || (size && pwrite(fd, data, size, 0) != ssize_t(size)))
        return {};
    return "/proc/self/fd/" + std::to_string(fd);
}

} // namespace fuzz
