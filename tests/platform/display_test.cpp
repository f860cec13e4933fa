// The real display on a virtual X server: what reaches the window, enlarged
// by the X server or by the program itself, pixel for pixel.
#include "platform/Platform.h"
#include "platform/ServerScaler.h"

#include <SDL.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

// The X headers last: their macros (None, Bool) are names in the others.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using gfx::Rect;
using platform::Picture;

// One virtual X server for the length of a test, with the environment set
// to reach it and set back afterwards.
class VirtualScreen {
  public:
    VirtualScreen(int width, int height) {
        number_ = 150 + int(getpid() % 800);
        const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        const std::string name = ":" + std::to_string(number_);
        pid_ = fork();
        if (pid_ == 0) {
            execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number_);
        for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        for (const char* v :
             {"DISPLAY", "SDL_VIDEODRIVER", "WAYLAND_DISPLAY", "SHIZI_SERVER_SCALING"}) {
            const char* was = std::getenv(v);
            saved_.push_back({v, was ? std::optional<std::string>(was) : std::nullopt});
            unsetenv(v);
        }
        setenv("DISPLAY", name.c_str(), 1);
        up_ = std::filesystem::exists(socket);
    }
    VirtualScreen(const VirtualScreen&) = delete;
    VirtualScreen& operator=(const VirtualScreen&) = delete;
    ~VirtualScreen() {
        for (const auto& [name, value] : saved_)
            if (value)
                setenv(name, value->c_str(), 1);
            else
                unsetenv(name);
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool up() const { return up_; }

    // The whole screen as 0x00RRGGBB pixels.
    std::vector<std::uint32_t> grab(int& width, int& height) const {
        std::vector<std::uint32_t> out;
        ::Display* d = XOpenDisplay(nullptr);
        if (!d)
            return out;
        const Window root = DefaultRootWindow(d);
        XWindowAttributes a{};
        XGetWindowAttributes(d, root, &a);
        width = a.width;
        height = a.height;
        if (XImage* img =
                XGetImage(d, root, 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap)) {
            out.resize(std::size_t(width) * std::size_t(height));
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    out[std::size_t(y) * std::size_t(width) + std::size_t(x)] =
                        std::uint32_t(XGetPixel(img, x, y)) & 0xFFFFFFu;
            XDestroyImage(img);
        }
        XCloseDisplay(d);
        return out;
    }

  private:
    int number_ = 0;
    pid_t pid_ = -1;
    bool up_ = false;
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

bool haveVirtualServer() {
    return std::system("command -v Xvfb >/dev/null 2>&1") == 0;
}

// Pixels no enlarging could get right by accident: each differs from its
// neighbours.
Picture noise(platform::Size size, std::uint32_t seed) {
    Picture p(size.w, size.h);
    std::uint32_t s = seed;
    for (int y = 0; y < size.h; ++y)
        for (int x = 0; x < size.w; ++x) {
            s = s * 1664525u + 1013904223u;
            p.setPixel(x, y, s >> 8);
        }
    return p;
}

// How many window pixels differ from `frame` enlarged `scale` times.
long differences(const std::vector<std::uint32_t>& screen, int width, const Picture& frame,
                 int scale) {
    long bad = 0;
    for (int y = 0; y < frame.height() * scale; ++y)
        for (int x = 0; x < frame.width() * scale; ++x)
            bad += screen[std::size_t(y) * std::size_t(width) + std::size_t(x)] !=
                   frame.pixel(x / scale, y / scale);
    return bad;
}

void showsEnlargedAndOnlyWhereAsked(int width, int height, int scale, const char* scaling,
                                    bool inDisplaysMemory) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height) + ", scaling " + scaling +
                 (inDisplaysMemory ? ", frame in the display's memory" : ", frame on the heap"));
    VirtualScreen screen(width, height);
    ASSERT_TRUE(screen.up());
    setenv("SHIZI_SERVER_SCALING", scaling, 1);
    auto display = platform::createSdlDisplay();
    const platform::Size logical = display->desktopSize();
    ASSERT_EQ(logical.w, width / scale);
    ASSERT_EQ(logical.h, height / scale);

    if (std::string_view(scaling) == "1")
        EXPECT_NE(display->frameMemory(), nullptr);
    else
        EXPECT_EQ(display->frameMemory(), nullptr);
    Picture frame(logical.w, logical.h, 0, inDisplaysMemory ? display->frameMemory() : nullptr);
    frame.blit(noise(logical, 7), {0, 0});
    display->present(frame);
    int w = 0, h = 0;
    std::vector<std::uint32_t> shown = screen.grab(w, h);
    ASSERT_EQ(w, width);
    EXPECT_EQ(differences(shown, w, frame, scale), 0);

    // Two regions change and are shown; a third changes in the frame alone
    // and must not reach the window.
    Picture next = noise(logical, 8);
    const Rect a{3, 5, 101, 37}, b{logical.w - 50, logical.h - 20, 50, 20}, unsent{300, 200, 9, 9};
    Picture expected = frame;
    for (const Rect& r : {a, b, unsent})
        frame.blit(next, r, {r.x, r.y});
    for (const Rect& r : {a, b})
        expected.blit(next, r, {r.x, r.y});
    display->presentRegions(frame, {a, b});
    shown = screen.grab(w, h);
    EXPECT_EQ(differences(shown, w, expected, scale), 0);
}

} // namespace

TEST(RealDisplay, TheWindowShowsTheFrameEnlargedByEitherWayAndOnlyTheRegionsSent) {
    if (!haveVirtualServer())
        GTEST_SKIP() << "no Xvfb";
    for (const char* scaling : {"1", "0"})
        for (const bool inDisplaysMemory : {true, false}) {
            showsEnlargedAndOnlyWhereAsked(1280, 960, 2, scaling, inDisplaysMemory);
            showsEnlargedAndOnlyWhereAsked(1920, 1440, 3, scaling, inDisplaysMemory);
        }
}

// The server's own enlarging is there on an X server with shared memory and
// the rendering extension, as Xvfb has: the test above then covers it.
TEST(RealDisplay, TheServerEnlargesOnAVirtualXServer) {
    if (!haveVirtualServer())
        GTEST_SKIP() << "no Xvfb";
    VirtualScreen screen(1280, 960);
    ASSERT_TRUE(screen.up());
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Window* window = SDL_CreateWindow("test", 0, 0, 1280, 960, SDL_WINDOW_BORDERLESS);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    {
        auto scaler = platform::ServerScaler::open(window);
        ASSERT_NE(scaler, nullptr);
        const Picture frame = noise({640, 480}, 9);
        scaler->show(frame, {frame.rect()}, frame.rect(), 2);
        int w = 0, h = 0;
        const std::vector<std::uint32_t> shown = screen.grab(w, h);
        EXPECT_EQ(differences(shown, w, frame, 2), 0);
    }
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}
