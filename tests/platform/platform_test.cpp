#include "gfx/Keys.h"
#include "platform/DisplayRules.h"
#include "platform/Headless.h"
#include "platform/Platform.h"

#include <SDL.h>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using platform::InputEvent;

namespace {

fs::path tempDir(const char* name) {
    fs::path d =
        fs::temp_directory_path() / (std::string("shizi-") + name + "-" + std::to_string(getpid()));
    fs::create_directories(d);
    return d;
}

} // namespace

TEST(DisplayRules, DesktopScaleIsLargestWholeFactorFitting640x480) {
    using gfx::Size;
    EXPECT_EQ(platform::desktopScale(Size{640, 480}), 1);
    EXPECT_EQ(platform::desktopScale(Size{1024, 768}), 1);
    EXPECT_EQ(platform::desktopScale(Size{1279, 959}), 1);
    EXPECT_EQ(platform::desktopScale(Size{1280, 959}), 1); // height decides
    EXPECT_EQ(platform::desktopScale(Size{1280, 960}), 2);
    EXPECT_EQ(platform::desktopScale(Size{1280, 1024}), 2);
    EXPECT_EQ(platform::desktopScale(Size{1920, 1080}), 2);
    EXPECT_EQ(platform::desktopScale(Size{2560, 1440}), 3);
    EXPECT_EQ(platform::desktopScale(Size{3840, 2160}), 4);
    EXPECT_EQ(platform::desktopScale(Size{320, 200}), 1);
    EXPECT_EQ(platform::desktopScale(Size{0, 0}), 1);
}

TEST(DisplayRules, WindowIsLargestWholeScaleFittingWithItsFrame) {
    using gfx::Size;
    const Size frame{16, 64};
    // The whole screen of 1280 x 960 leaves no room for a title bar at twice
    // the size.
    EXPECT_EQ(platform::windowScale(Size{1280, 960}, frame), 1);
    EXPECT_EQ(platform::windowScale(Size{1296, 1024}, frame), 2);
    EXPECT_EQ(platform::windowScale(Size{1295, 1024}, frame), 1); // width decides
    EXPECT_EQ(platform::windowScale(Size{1920, 1040}, frame), 2);
    EXPECT_EQ(platform::windowScale(Size{2560, 1400}, frame), 2);
    EXPECT_EQ(platform::windowScale(Size{3840, 2100}, frame), 4);
    EXPECT_EQ(platform::windowScale(Size{800, 600}, frame), 1);
    EXPECT_EQ(platform::windowScale(Size{320, 200}, frame), 1);
    EXPECT_EQ(platform::windowScale(Size{0, 0}, Size{0, 0}), 1);
}

TEST(DisplayRules, WindowShowsTheMiddleWhereScreensAreCentred) {
    using gfx::Rect;
    using gfx::Size;
    EXPECT_EQ(platform::windowView(Size{640, 480}), (Rect{0, 0, 640, 480}));
    EXPECT_EQ(platform::windowView(Size{640, 512}), (Rect{0, 16, 640, 480}));
    EXPECT_EQ(platform::windowView(Size{960, 540}), (Rect{160, 30, 640, 480}));
    // An odd margin: the same rounding as a centred 640 x 480 screen.
    EXPECT_EQ(platform::windowView(Size{683, 384 + 97}), (Rect{21, 0, 640, 480}));
    EXPECT_EQ(platform::windowView(Size{600, 400}), (Rect{0, 0, 600, 400}));
}

TEST(DisplayRules, KeysBecomeClassicVirtualKeyCodes) {
    EXPECT_EQ(platform::virtualKey(SDLK_a), 65);
    EXPECT_EQ(platform::virtualKey(SDLK_z), 90);
    EXPECT_EQ(platform::virtualKey(SDLK_0), 48);
    EXPECT_EQ(platform::virtualKey(SDLK_9), 57);
    EXPECT_EQ(platform::virtualKey(SDLK_F1), 112);
    EXPECT_EQ(platform::virtualKey(SDLK_F12), 123);
    EXPECT_EQ(platform::virtualKey(SDLK_LEFT), 37);
    EXPECT_EQ(platform::virtualKey(SDLK_UP), 38);
    EXPECT_EQ(platform::virtualKey(SDLK_RIGHT), 39);
    EXPECT_EQ(platform::virtualKey(SDLK_DOWN), 40);
    EXPECT_EQ(platform::virtualKey(SDLK_ESCAPE), 27);
    EXPECT_EQ(platform::virtualKey(SDLK_RETURN), 13);
    EXPECT_EQ(platform::virtualKey(SDLK_KP_ENTER), 13);
    EXPECT_EQ(platform::virtualKey(SDLK_BACKSPACE), 8);
    EXPECT_EQ(platform::virtualKey(SDLK_DELETE), 46);
    EXPECT_EQ(platform::virtualKey(SDLK_HOME), 36);
    EXPECT_EQ(platform::virtualKey(SDLK_END), 35);
    EXPECT_EQ(platform::virtualKey(SDLK_SPACE), 32);
    EXPECT_EQ(platform::virtualKey(SDLK_TAB), 9);
    EXPECT_EQ(platform::virtualKey(SDLK_LSHIFT), 16);
    EXPECT_EQ(platform::virtualKey(SDLK_RSHIFT), 16);
    EXPECT_EQ(platform::virtualKey(SDLK_RCTRL), 17);
    EXPECT_EQ(platform::virtualKey(SDLK_KP_0), 96);
    EXPECT_EQ(platform::virtualKey(SDLK_KP_9), 105);
    EXPECT_EQ(platform::virtualKey(SDLK_F13), 0);
    EXPECT_EQ(platform::virtualKey(SDLK_UNKNOWN), 0);
}

TEST(DisplayRules, ModifiersAndButtons) {
    EXPECT_EQ(platform::shiftBits(KMOD_NONE), 0);
    EXPECT_EQ(platform::shiftBits(KMOD_RSHIFT), gfx::shiftmask::Shift);
    EXPECT_EQ(platform::shiftBits(KMOD_LCTRL | KMOD_LALT),
              gfx::shiftmask::Ctrl | gfx::shiftmask::Alt);
    EXPECT_EQ(platform::buttonBit(SDL_BUTTON_LEFT), gfx::button::Left);
    EXPECT_EQ(platform::buttonBit(SDL_BUTTON_RIGHT), gfx::button::Right);
    EXPECT_EQ(platform::buttonBit(SDL_BUTTON_MIDDLE), gfx::button::Middle);
    EXPECT_EQ(platform::buttonBit(SDL_BUTTON_X1), 0);
    // SDL numbers the middle button before the right one; the program the other way.
    EXPECT_EQ(platform::buttonBits(SDL_BUTTON_LMASK | SDL_BUTTON_RMASK),
              gfx::button::Left | gfx::button::Right);
    EXPECT_EQ(platform::buttonBits(SDL_BUTTON_MMASK), gfx::button::Middle);
}

// The environment as it was, put back when the test ends.
struct SavedEnv {
    std::string name;
    std::optional<std::string> value;
    explicit SavedEnv(std::string n) : name(std::move(n)) {
        if (const char* v = std::getenv(name.c_str()))
            value = v;
    }
    ~SavedEnv() {
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }
};

TEST(DisplayRules, BusAutolaunchDeclinedOnlyWhenThereIsNoBusToFind) {
    SavedEnv address("DBUS_SESSION_BUS_ADDRESS"), runtime("XDG_RUNTIME_DIR");
    const fs::path dir = fs::temp_directory_path() / ("shizi-bus-" + std::to_string(getpid()));
    fs::create_directories(dir);
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);

    // An address the session gave is kept.
    setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/run/user/1000/bus", 1);
    EXPECT_FALSE(platform::declineBusAutolaunch());
    EXPECT_STREQ(std::getenv("DBUS_SESSION_BUS_ADDRESS"), "unix:path=/run/user/1000/bus");

    // No address and no bus where a user session keeps it: declined.
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    EXPECT_TRUE(platform::declineBusAutolaunch());
    EXPECT_STREQ(std::getenv("DBUS_SESSION_BUS_ADDRESS"), "disabled:");

    // No address but a bus socket in the runtime folder: the library finds it.
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un sa{};
    sa.sun_family = AF_UNIX;
    const std::string bus = (dir / "bus").string();
    std::strncpy(sa.sun_path, bus.c_str(), sizeof sa.sun_path - 1);
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa), 0);
    EXPECT_FALSE(platform::declineBusAutolaunch());
    EXPECT_EQ(std::getenv("DBUS_SESSION_BUS_ADDRESS"), nullptr);
    close(fd);
    fs::remove_all(dir);
}

TEST(DisplayRules, ComposeTableSkippedOnlyWhileOpeningAndNeverOverAUsersChoice) {
    SavedEnv compose("XCOMPOSEFILE");
    unsetenv("XCOMPOSEFILE");
    {
        const platform::ComposeTableSkipped skip;
        EXPECT_STREQ(std::getenv("XCOMPOSEFILE"), "/dev/null");
    }
    // Gone again, so the help viewer started later reads its usual table.
    EXPECT_EQ(std::getenv("XCOMPOSEFILE"), nullptr);

    setenv("XCOMPOSEFILE", "/home/user/.XCompose", 1);
    {
        const platform::ComposeTableSkipped skip;
        EXPECT_STREQ(std::getenv("XCOMPOSEFILE"), "/home/user/.XCompose");
    }
    EXPECT_STREQ(std::getenv("XCOMPOSEFILE"), "/home/user/.XCompose");
}

TEST(DisplayRules, EnlargedRowFillsItsBlockAndWritesNothingElse) {
    // Widths on both sides of the four-pixel steps, at the scales a screen
    // gets, starting at every pixel of a 16-byte line (the fast path writes
    // whole lines): every row of the block repeats every pixel, and the
    // pixels between the rows and after the block stay untouched.
    for (int scale : {1, 2, 3, 4})
        for (std::size_t n : {std::size_t(0), std::size_t(1), std::size_t(3), std::size_t(4),
                              std::size_t(5), std::size_t(8), std::size_t(13), std::size_t(64)})
            for (std::size_t shift : {0, 1, 2, 3})
                for (std::size_t gap : {0, 1, 2}) {
                    std::vector<std::uint32_t> in(n);
                    for (std::size_t i = 0; i < n; ++i)
                        in[i] = 0x010203u * std::uint32_t(i + 1);
                    const std::size_t wide = n * std::size_t(scale), pitch = wide + gap;
                    alignas(16) std::uint32_t buffer[1200];
                    std::fill(std::begin(buffer), std::end(buffer), 0xDEADBEEFu);
                    std::uint32_t* out = buffer + shift;
                    platform::enlargeRow(in.data(), n, out, pitch, scale);
                    const std::string where =
                        "scale " + std::to_string(scale) + ", width " + std::to_string(n) +
                        ", shift " + std::to_string(shift) + ", gap " + std::to_string(gap);
                    for (std::size_t r = 0; r < std::size_t(scale); ++r) {
                        for (std::size_t i = 0; i < wide; ++i)
                            ASSERT_EQ(out[r * pitch + i], in[i / std::size_t(scale)])
                                << where << ", row " << r << ", pixel " << i;
                        for (std::size_t i = wide; i < pitch; ++i)
                            ASSERT_EQ(out[r * pitch + i], 0xDEADBEEFu) << where << ", row " << r;
                    }
                    for (std::size_t i = 0; i < shift; ++i)
                        ASSERT_EQ(buffer[i], 0xDEADBEEFu) << where;
                    const std::size_t end = shift + std::size_t(scale) * pitch;
                    for (std::size_t i = end; i < std::size(buffer); ++i)
                        ASSERT_EQ(buffer[i], 0xDEADBEEFu) << where << ", past the block";
                }
}

TEST(Paths, NativePathAcceptsBothSeparators) {
    EXPECT_EQ(platform::nativePath("C:\\prog\\data\\tav.txt"), "C:/prog/data/tav.txt");
    EXPECT_EQ(platform::nativePath("/media/pic/a.jpg"), "/media/pic/a.jpg");
    EXPECT_EQ(platform::nativePath("/media/pic\\sub/b.bmp"), "/media/pic/sub/b.bmp");
    EXPECT_EQ(platform::nativePath(""), "");
}

TEST(Paths, ProgramFolderIsTheTestExecutablesFolder) {
    const std::string folder = platform::programFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(fs::exists(fs::path(folder) / "platform_tests"));
}

TEST(Fonts, RendersAChineseCharacterWithInk) {
    // As the program starts: the configuration read ahead on a worker (a
    // second request changes nothing), the engine made while it may still
    // be reading.
    platform::prepareFonts();
    platform::prepareFonts();
    auto fonts = platform::createFontEngine();
    const platform::FontSpec kai{"楷体_GB2312", 12, false};
    const gfx::AlphaMask m = fonts->render(kai, "中");
    // 12 points at 96 dpi are 16 pixels.
    EXPECT_GE(m.width, 12);
    EXPECT_LE(m.width, 20);
    EXPECT_GE(m.height, 14);
    EXPECT_LE(m.height, 28);
    ASSERT_EQ(m.alpha.size(), std::size_t(m.width) * std::size_t(m.height));
    int ink = 0, dark = 0;
    for (auto a : m.alpha) {
        ink += a > 0;
        dark += a > 160;
    }
    EXPECT_GT(ink, 20);
    EXPECT_GT(dark, 5); // anti-aliased, yet solid strokes
    EXPECT_LT(ink, int(m.alpha.size()));
    const gfx::Size size = fonts->measure(kai, "中");
    EXPECT_EQ(size.w, m.width);
    EXPECT_EQ(size.h, fonts->lineHeight(kai));
}

TEST(Fonts, WidthGrowsWithTextAndBoldAndSize) {
    auto fonts = platform::createFontEngine();
    const platform::FontSpec kai{"楷体_GB2312", 12, false};
    const int one = fonts->measure(kai, "中").w;
    EXPECT_EQ(fonts->measure(kai, "中中中").w, 3 * one);
    EXPECT_EQ(fonts->measure(kai, "").w, 0);
    EXPECT_GT(fonts->lineHeight({"楷体_GB2312", 24, false}), fonts->lineHeight(kai));
    const platform::FontSpec system{"System", 9, false};
    EXPECT_GT(fonts->measure(system, "Shizi").w, 0);
    const platform::FontSpec latin{"Arial", 10, false};
    const platform::FontSpec latinBold{"Arial", 10, true};
    EXPECT_GT(fonts->measure(latinBold, "Wide words").w, fonts->measure(latin, "Wide words").w);
    // Chinese in a Latin face comes from the Kai faces, not as empty boxes.
    const gfx::AlphaMask mixed = fonts->render(latin, "A中");
    EXPECT_GT(mixed.width, fonts->measure(latin, "A").w + 8);
}

TEST(Fonts, EmptyTextRendersNothing) {
    auto fonts = platform::createFontEngine();
    const gfx::AlphaMask m = fonts->render({"宋体", 9, false}, "");
    EXPECT_EQ(m.width, 0);
    EXPECT_TRUE(m.alpha.empty());
}

TEST(Images, ReadsABmpAndRefusesAMissingFile) {
    const fs::path dir = tempDir("img");
    const std::string file = (dir / "three.bmp").string();
    {
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 3, 2, 24, SDL_PIXELFORMAT_BGR24);
        ASSERT_NE(s, nullptr);
        const Uint8 px[2][9] = {{255, 0, 0, 0, 255, 0, 0, 0, 255},
                                {10, 20, 30, 255, 255, 255, 0, 0, 0}};
        for (int y = 0; y < 2; ++y)
            std::memcpy(static_cast<Uint8*>(s->pixels) + y * s->pitch, px[y], 9);
        ASSERT_EQ(SDL_SaveBMP(s, file.c_str()), 0);
        SDL_FreeSurface(s);
    }
    auto images = platform::createImageLoader();
    // Written with the program's separator.
    std::string windowsStyle = file;
    windowsStyle[windowsStyle.rfind('/')] = '\\';
    const auto pic = images->load(windowsStyle);
    ASSERT_TRUE(pic.has_value());
    ASSERT_EQ(pic->width(), 3);
    ASSERT_EQ(pic->height(), 2);
    // SDL_PIXELFORMAT_BGR24 stores bytes B, G, R.
    EXPECT_EQ(pic->data()[0], gfx::rgb(0, 0, 255));
    EXPECT_EQ(pic->data()[1], gfx::rgb(0, 255, 0));
    EXPECT_EQ(pic->data()[2], gfx::rgb(255, 0, 0));
    EXPECT_EQ(pic->data()[3], gfx::rgb(30, 20, 10));
    EXPECT_EQ(pic->data()[4], gfx::rgb(255, 255, 255));

    testing::internal::CaptureStderr();
    EXPECT_FALSE(images->load((dir / "none.jpg").string()).has_value());
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("none.jpg"), std::string::npos);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);

    std::ofstream(dir / "junk.jpg") << "not a picture";
    testing::internal::CaptureStderr();
    EXPECT_FALSE(images->load((dir / "junk.jpg").string()).has_value());
    testing::internal::GetCapturedStderr();
    fs::remove_all(dir);
}

TEST(Images, ReadsPalettedAndThirtyTwoBitBmps) {
    const fs::path dir = tempDir("img8");
    auto images = platform::createImageLoader();
    {
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 2, 2, 8, SDL_PIXELFORMAT_INDEX8);
        ASSERT_NE(s, nullptr);
        const SDL_Color colours[2] = {{200, 100, 50, 255}, {1, 2, 3, 255}};
        SDL_SetPaletteColors(s->format->palette, colours, 0, 2);
        static_cast<Uint8*>(s->pixels)[0] = 1;
        static_cast<Uint8*>(s->pixels)[1] = 0;
        ASSERT_EQ(SDL_SaveBMP(s, (dir / "p8.bmp").c_str()), 0);
        SDL_FreeSurface(s);
    }
    const auto p8 = images->load((dir / "p8.bmp").string());
    ASSERT_TRUE(p8.has_value());
    EXPECT_EQ(p8->data()[0], gfx::rgb(1, 2, 3));
    EXPECT_EQ(p8->data()[1], gfx::rgb(200, 100, 50));
    {
        // A fully transparent pixel keeps its colour: pictures have no alpha.
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 2, 1, 32, SDL_PIXELFORMAT_ARGB8888);
        ASSERT_NE(s, nullptr);
        static_cast<Uint32*>(s->pixels)[0] = 0xFF102030u;
        static_cast<Uint32*>(s->pixels)[1] = 0x00405060u;
        ASSERT_EQ(SDL_SaveBMP(s, (dir / "p32.bmp").c_str()), 0);
        SDL_FreeSurface(s);
    }
    const auto p32 = images->load((dir / "p32.bmp").string());
    ASSERT_TRUE(p32.has_value());
    EXPECT_EQ(p32->data()[0], 0x102030u);
    EXPECT_EQ(p32->data()[1], 0x405060u);
    fs::remove_all(dir);
}

namespace {

// Runs acquireInstanceLock in a child process with the lock folder `dir`;
// the child keeps the lock until a byte arrives on `release` (when given).
pid_t lockInChild(const fs::path& dir, int resultPipe, int release = -1) {
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
        const char got = platform::acquireInstanceLock() ? '1' : '0';
        (void)!write(resultPipe, &got, 1);
        if (release >= 0) {
            char b;
            (void)!read(release, &b, 1);
        }
        _exit(0);
    }
    return pid;
}

char readResult(int fd) {
    char c = '?';
    EXPECT_EQ(read(fd, &c, 1), 1);
    return c;
}

} // namespace

TEST(InstanceLock, SecondInstanceFailsUntilTheHolderEnds) {
    const fs::path dir = tempDir("lock");
    int result[2], release[2];
    ASSERT_EQ(pipe(result), 0);
    ASSERT_EQ(pipe(release), 0);

    const pid_t holder = lockInChild(dir, result[1], release[0]);
    EXPECT_EQ(readResult(result[0]), '1');

    const pid_t second = lockInChild(dir, result[1]);
    EXPECT_EQ(readResult(result[0]), '0');
    waitpid(second, nullptr, 0);

    (void)!write(release[1], "x", 1);
    waitpid(holder, nullptr, 0);

    // The holder ended without unlocking: the lock must not stay behind.
    const pid_t third = lockInChild(dir, result[1]);
    EXPECT_EQ(readResult(result[0]), '1');
    waitpid(third, nullptr, 0);
    for (int fd : {result[0], result[1], release[0], release[1]})
        close(fd);
    fs::remove_all(dir);
}

TEST(Launcher, MissingHelpFileFailsWithOneLine) {
    auto launcher = platform::createLauncher();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(launcher->openHelp("/nonexistent\\tavHelp.chm"));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("/nonexistent/tavHelp.chm"), std::string::npos);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
    launcher->closeHelp();
}

TEST(Launcher, ViewerIsEndedByCloseHelpAndNotLeftAsZombie) {
    // A stand-in viewer on PATH: sleeps until ended.
    const fs::path dir = tempDir("viewer");
    const fs::path viewer = dir / "xchm";
    std::ofstream(viewer) << "#!/bin/sh\nexec sleep 30\n";
    fs::permissions(viewer, fs::perms::owner_all);
    const fs::path help = dir / "help.chm";
    std::ofstream(help) << "x";
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (dir.string() + ":" + oldPath).c_str(), 1);

    auto launcher = platform::createLauncher();
    ASSERT_TRUE(launcher->openHelp(help.string()));
    ASSERT_TRUE(launcher->openHelp(help.string()));
    launcher->closeHelp();
    setenv("PATH", oldPath.c_str(), 1);
    // Every child was reaped: nothing is left to wait for.
    EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    fs::remove_all(dir);
}

TEST(Launcher, NoViewerInstalledFailsWithOneLine) {
    const fs::path dir = tempDir("noviewer");
    const fs::path help = dir / "help.chm";
    std::ofstream(help) << "x";
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", dir.c_str(), 1);
    auto launcher = platform::createLauncher();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(launcher->openHelp(help.string()));
    const std::string err = testing::internal::GetCapturedStderr();
    setenv("PATH", oldPath.c_str(), 1);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
    fs::remove_all(dir);
}

TEST(Headless, InjectedEventsComeOutInOrderWithoutBlocking) {
    platform::HeadlessDisplay d({800, 600});
    InputEvent ev;
    EXPECT_FALSE(d.waitEvent(ev, -1));
    EXPECT_FALSE(d.waitEvent(ev, 1000));
    InputEvent move;
    move.type = InputEvent::Type::MouseMove;
    move.pos = {12, 34};
    d.inject(move);
    InputEvent key;
    key.type = InputEvent::Type::KeyDown;
    key.key = gfx::key::F1;
    d.inject(key);
    EXPECT_EQ(d.pointerPosition(), (gfx::Point{12, 34}));
    ASSERT_TRUE(d.waitEvent(ev, 0));
    EXPECT_EQ(ev.type, InputEvent::Type::MouseMove);
    ASSERT_TRUE(d.waitEvent(ev, 0));
    EXPECT_EQ(ev.key, 112);
    EXPECT_FALSE(d.waitEvent(ev, 0));
    EXPECT_EQ(d.desktopSize(), (gfx::Size{800, 600}));
}
