// Paths, the single-instance lock and the message box.
#include "platform/Platform.h"
#include "text/Text.h"

#include <SDL.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <string>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

std::string nativePath(std::string_view path) {
    return text::nativePath(path);
}

std::string programFolder() {
    std::string buf(4096, '\0');
    const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0)
        return "./";
    buf.resize(std::size_t(n));
    const auto slash = buf.rfind('/');
    return slash == std::string::npos ? "./" : buf.substr(0, slash + 1);
}

namespace {

int gLock = -1; // the instance lock's descriptor, held for the program's life

// A child made by fork (the message box of some SDL versions runs in one)
// shares the lock with its parent until it closes its copy: the lock must
// end with this process, not outlive it in a child.
void dropLockInChild() {
    if (gLock >= 0)
        close(gLock);
    gLock = -1;
}

} // namespace

std::string instanceLockPath() {
    if (const char* dir = std::getenv("XDG_RUNTIME_DIR"); dir && *dir)
        return std::string(dir) + "/shizi.lock";
    return "/tmp/shizi-" + std::to_string(getuid()) + ".lock";
}

// The kernel drops an flock with the last descriptor of its holder, so a
// crashed instance never leaves the lock behind.
bool acquireInstanceLock() {
    if (gLock >= 0)
        return true;
    const std::string path = instanceLockPath();
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        std::fprintf(stderr, "cannot open the instance lock %s: %s\n", path.c_str(),
                     std::strerror(errno));
        return true;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool taken = errno == EWOULDBLOCK;
        if (taken)
            std::fprintf(stderr, "shizi is already running (it holds %s); not starting again\n",
                         path.c_str());
        else
            std::fprintf(stderr, "cannot lock %s: %s\n", path.c_str(), std::strerror(errno));
        close(fd);
        return !taken;
    }
    static const bool registered = pthread_atfork(nullptr, nullptr, dropLockInChild) == 0;
    (void)registered;
    gLock = fd;
    return true;
}

namespace {

bool videoAvailable() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0))
        return false;
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (wayland && *wayland);
}

} // namespace

void messageBox(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    if (videoAvailable())
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, "Shizi", text.c_str(), nullptr);
}

} // namespace platform
