// Files and surroundings that must never hang, exhaust memory or abort the
// program: pictures whose headers claim huge sizes, no display, a lock
// inherited by a child, a library call that never returns.
#include "platform/CallThread.h"
#include "platform/DisplayRules.h"
#include "platform/Platform.h"
#include "support/bytes.h"
#include "support/temp_folder.h"

#include <SDL.h>
#include <SDL_image.h>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <future>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using support::Bytes;

using support::TempFolder;

namespace {

void writeBytes(const std::string& file, const Bytes& b) {
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

Bytes readBytes(const std::string& file) {
    std::ifstream f(file, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

// A real 64 x 48 JPEG, as the encoder writes it.
Bytes smallJpeg(const TempFolder& dir) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 64, 48, 24, SDL_PIXELFORMAT_RGB24);
    SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 200, 40, 40));
    const std::string file = dir.file("small.jpg");
    EXPECT_EQ(IMG_SaveJPG(s, file.c_str(), 90), 0);
    SDL_FreeSurface(s);
    return readBytes(file);
}

// Writes `w` x `h` into the JPEG's frame header.
void claimJpegSize(Bytes& jpeg, int w, int h) {
    for (std::size_t i = 2; i + 9 < jpeg.size();) {
        const std::uint8_t m = jpeg[i + 1];
        if (m >= 0xC0 && m <= 0xC2) {
            jpeg[i + 5] = std::uint8_t(h >> 8);
            jpeg[i + 6] = std::uint8_t(h);
            jpeg[i + 7] = std::uint8_t(w >> 8);
            jpeg[i + 8] = std::uint8_t(w);
            return;
        }
        i += 2 + std::size_t(jpeg[i + 2] << 8 | jpeg[i + 3]);
    }
    ADD_FAILURE() << "no frame header";
}

// An RLE8 BMP of `w` x `h` whose runs paint one row of colour 1 and end.
Bytes rleBmp(int w, int h) {
    return support::bmpFile(w, h, 8, {0x000000, 0x3080C0}, {255, 1, 255, 1, 0, 0, 0, 1}, 1);
}

} // namespace

TEST(PictureLimits, HugeJpegHeadersAreRefusedBeforeDecodingWithOneLine) {
    TempFolder dir{"rel"};
    auto images = platform::createImageLoader();
    Bytes jpeg = smallJpeg(dir);
    writeBytes(dir.file("ok.jpg"), jpeg);
    const auto ok = images->load(dir.file("ok.jpg"));
    ASSERT_TRUE(ok.has_value());
    EXPECT_EQ(ok->width(), 64);
    EXPECT_EQ(ok->height(), 48);
    const gfx::Color c = ok->pixel(30, 20);
    EXPECT_NEAR(int(gfx::red(c)), 200, 6);
    EXPECT_NEAR(int(gfx::green(c)), 40, 6);

    for (const int side : {30000, 65500}) {
        claimJpegSize(jpeg, side, side);
        writeBytes(dir.file("menu.jpg"), jpeg);
        testing::internal::CaptureStderr();
        const auto t0 = std::chrono::steady_clock::now();
        EXPECT_FALSE(images->load(dir.file("menu.jpg")).has_value());
        const auto took = std::chrono::steady_clock::now() - t0;
        const std::string err = testing::internal::GetCapturedStderr();
        // Refused from the header: no time spent decoding.
        EXPECT_LT(took, std::chrono::milliseconds(500));
        const std::string size = std::to_string(side) + " x " + std::to_string(side);
        EXPECT_NE(err.find(size), std::string::npos) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        // Asked again (every repaint of the screen), it says nothing more.
        testing::internal::CaptureStderr();
        EXPECT_FALSE(images->load(dir.file("menu.jpg")).has_value());
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        fs::remove(dir.file("menu.jpg"));
        images = platform::createImageLoader();
    }
}

TEST(PictureLimits, BmpFilesGoThroughTheProgramsReaderAndItsLimits) {
    TempFolder dir{"rel"};
    auto images = platform::createImageLoader();
    writeBytes(dir.file("small.bmp"), rleBmp(300, 2));
    const auto small = images->load(dir.file("small.bmp"));
    ASSERT_TRUE(small.has_value());
    EXPECT_EQ(small->pixel(0, 1), gfx::rgb(0x30, 0x80, 0xC0));
    EXPECT_EQ(small->pixel(0, 0), 0u);

    for (const int side : {12000, 20000}) {
        writeBytes(dir.file("mark.bmp"), rleBmp(side, side));
        testing::internal::CaptureStderr();
        EXPECT_FALSE(images->load(dir.file("mark.bmp")).has_value());
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find(std::to_string(side) + " x " + std::to_string(side)), std::string::npos)
            << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        images = platform::createImageLoader();
    }
}

TEST(PictureLimits, APictureThatCannotBeMadeIsEmptyAfterOneLine) {
    testing::internal::CaptureStderr();
    const gfx::Picture huge(20000, 20000);
    const gfx::Picture wide(gfx::kMaxPictureSide + 1, 1);
    const gfx::Picture many(5000, 5000);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(huge.empty());
    EXPECT_TRUE(wide.empty());
    EXPECT_TRUE(many.empty());
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 3) << err;
    const gfx::Picture longest(gfx::kMaxPictureSide, 2, 0x123456);
    EXPECT_EQ(longest.width(), gfx::kMaxPictureSide);
    EXPECT_EQ(longest.pixel(gfx::kMaxPictureSide - 1, 1), 0x123456u);
}

TEST(NoDisplay, OffscreenAndDummyDriversOnlyWhenAskedFor) {
    EXPECT_TRUE(platform::videoDriverAccepted("x11", nullptr));
    EXPECT_TRUE(platform::videoDriverAccepted("wayland", "x11"));
    EXPECT_FALSE(platform::videoDriverAccepted("offscreen", nullptr));
    EXPECT_FALSE(platform::videoDriverAccepted("dummy", nullptr));
    EXPECT_FALSE(platform::videoDriverAccepted("offscreen", "x11"));
    EXPECT_TRUE(platform::videoDriverAccepted("dummy", "dummy"));
    EXPECT_TRUE(platform::videoDriverAccepted("offscreen", "offscreen"));
}

// The real display, with neither an X nor a Wayland display set: SDL would
// fall back to a window nobody sees; the program must refuse instead.
TEST(NoDisplay, TheDisplayIsRefusedNamingWhatWasTried) {
    struct Saved {
        const char* name;
        std::optional<std::string> value;
    };
    std::vector<Saved> saved;
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}) {
        const char* v = std::getenv(name);
        saved.push_back({name, v ? std::optional<std::string>(v) : std::nullopt});
        unsetenv(name);
    }
    std::string what;
    try {
        auto display = platform::createSdlDisplay();
    } catch (const std::exception& e) {
        what = e.what();
    }
    setenv("DISPLAY", ":97", 1); // a display with no server behind it
    std::string what97;
    try {
        auto display = platform::createSdlDisplay();
    } catch (const std::exception& e) {
        what97 = e.what();
    }
    for (const Saved& s : saved)
        if (s.value)
            setenv(s.name, s.value->c_str(), 1);
        else
            unsetenv(s.name);
    EXPECT_NE(what.find("cannot open the display (none: DISPLAY is not set)"), std::string::npos)
        << what;
    EXPECT_NE(what97.find("cannot open the display \":97\""), std::string::npos) << what97;
}

// A forked child (the message box of some SDL versions runs in one) must
// not keep the lock after the program itself was killed.
TEST(InstanceLock, AChildDoesNotKeepTheLockAfterTheProgramIsKilled) {
    TempFolder dir{"rel"};
    int pids[2];
    ASSERT_EQ(pipe(pids), 0);
    const pid_t program = fork();
    if (program == 0) {
        setenv("XDG_RUNTIME_DIR", dir.path.c_str(), 1);
        if (!platform::acquireInstanceLock())
            _exit(3);
        if (fork() == 0) {
            // The message box, waiting for a click; it says it runs only
            // once fork has returned in it.
            const pid_t box = getpid();
            (void)!write(pids[1], &box, sizeof box);
            pause();
            _exit(0);
        }
        pause();
        _exit(0);
    }
    pid_t box = -1;
    ASSERT_EQ(read(pids[0], &box, sizeof box), ssize_t(sizeof box));
    kill(program, SIGKILL);
    waitpid(program, nullptr, 0);

    const int fd = open((dir.path / "shizi.lock").c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0) << "the message box's process holds the lock";
    close(fd);
    kill(box, SIGKILL);
    close(pids[0]);
    close(pids[1]);
}

TEST(InstanceLock, ASecondStartSaysWhyItEnds) {
    TempFolder dir{"rel"};
    int ready[2], release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t holder = fork();
    if (holder == 0) {
        setenv("XDG_RUNTIME_DIR", dir.path.c_str(), 1);
        const char got = platform::acquireInstanceLock() ? '1' : '0';
        (void)!write(ready[1], &got, 1);
        char b;
        (void)!read(release[0], &b, 1);
        _exit(0);
    }
    char got = '?';
    ASSERT_EQ(read(ready[0], &got, 1), 1);
    ASSERT_EQ(got, '1');
    const pid_t second = fork();
    if (second == 0) {
        setenv("XDG_RUNTIME_DIR", dir.path.c_str(), 1);
        const std::string log = dir.file("second.log");
        const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd < 0 || dup2(fd, 2) < 0)
            _exit(2);
        _exit(platform::acquireInstanceLock() ? 1 : 0);
    }
    int status = 0;
    waitpid(second, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::ifstream in(dir.file("second.log"));
    const std::string err((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(err.find("already running"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    (void)!write(release[1], "x", 1);
    waitpid(holder, nullptr, 0);
    for (int fd : {ready[0], ready[1], release[0], release[1]})
        close(fd);
}

TEST(CallThread, ACallThatNeverReturnsCostsTheCallerOnlyTheLimit) {
    platform::CallThread calls("the test library", std::chrono::milliseconds(100));
    EXPECT_EQ(calls.call<int>([] { return 7; }), 7);

    std::promise<void> unblock;
    std::shared_future<void> gate = unblock.get_future().share();
    std::atomic<bool> ranAfter{false};
    testing::internal::CaptureStderr();
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_FALSE(calls.run([gate] { gate.wait(); }));
    EXPECT_FALSE(calls.run([&] { ranAfter = true; }));
    EXPECT_FALSE(calls.call<int>([] { return 1; }).has_value());
    const auto took = std::chrono::steady_clock::now() - t0;
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_GE(took, std::chrono::milliseconds(100));
    EXPECT_LT(took, std::chrono::milliseconds(1000));
    EXPECT_TRUE(calls.stuck());
    EXPECT_NE(err.find("the test library did not answer within 100 ms"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    unblock.set_value();
    EXPECT_FALSE(ranAfter.load());
}
