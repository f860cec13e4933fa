// The services the program takes from the machine, each with a headless twin
// (platform/Headless.h) for tests.
#pragma once

#include "gfx/Cursor.h"
#include "gfx/Font.h"
#include "gfx/Picture.h"

#include <memory>
#include <memory_resource>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

using gfx::Picture;
using gfx::Point;
using gfx::Size;

struct InputEvent {
    enum class Type { MouseDown, MouseUp, MouseMove, KeyDown, KeyUp, Text, Expose, Quit };
    Type type = Type::Expose;
    Point pos;        // mouse: logical desktop pixels
    int button = 0;   // gfx::button bits
    int key = 0;      // gfx::key code
    int shift = 0;    // gfx::shiftmask bits
    std::string text; // Text: UTF-8 typed text
};

// The one desktop-size window. Everything it takes and gives is in logical
// desktop pixels: the real desktop divided by the largest whole factor that
// still fits 640 x 480.
class Display {
  public:
    virtual ~Display() = default;
    virtual Size desktopSize() const = 0;
    virtual void present(const Picture& frame) = 0;
    // Shows the frame where it changed (logical pixels); the rest of the
    // window already shows the same frame.
    virtual void presentRegion(const Picture& frame, gfx::Rect changed) {
        (void)changed;
        present(frame);
    }
    // The same for several separate regions at once.
    virtual void presentRegions(const Picture& frame, const std::vector<gfx::Rect>& changed) {
        for (const gfx::Rect& r : changed)
            presentRegion(frame, r);
    }
    // Where the frames to be shown are best kept (memory the display's
    // server reads directly); null for the heap.
    virtual std::pmr::memory_resource* frameMemory() { return nullptr; }
    virtual void setCursor(const gfx::Cursor& c) = 0;
    // Waits up to `timeoutMs` (-1: forever) for input or wake(); returns true
    // with an event, false on timeout or wake.
    virtual bool waitEvent(InputEvent& ev, int timeoutMs) = 0;
    // Thread-safe: makes a waiting waitEvent return.
    virtual void wake() = 0;
    // Where the pointer is now (logical desktop pixels).
    virtual Point pointerPosition() const = 0;
    // Full screen, or a window showing the 640 x 480 middle of the logical
    // desktop at the largest whole scale that fits. The logical desktop keeps
    // its size, so nothing drawn on it moves. setWindowed is false when the
    // display cannot switch (then nothing changed).
    virtual bool windowed() const { return false; }
    virtual bool setWindowed(bool on) { return !on; }
};

using gfx::FontSpec;

class FontEngine {
  public:
    virtual ~FontEngine() = default;
    virtual gfx::AlphaMask render(const FontSpec& f, std::string_view utf8) = 0;
    virtual Size measure(const FontSpec& f, std::string_view utf8) = 0;
    virtual int lineHeight(const FontSpec& f) = 0;
};

// JPEG and BMP files (either separator accepted in the path); nullopt when
// missing or unreadable, after one line on standard error.
class ImageLoader {
  public:
    virtual ~ImageLoader() = default;
    virtual std::optional<Picture> load(const std::string& path) = 0;
};

// Help viewers and other programs started beside this one.
class Launcher {
  public:
    virtual ~Launcher() = default;
    // Starts a viewer for `file`; false (after one line on standard error)
    // when none is available.
    virtual bool openHelp(const std::string& file) = 0;
    virtual void closeHelp() = 0;
};

// "\" and "/" are both separators in the program's paths.
std::string nativePath(std::string_view path);

// The real services (SDL2, SDL2_ttf + fontconfig, SDL2_image, processes).
std::unique_ptr<Display> createSdlDisplay();
std::unique_ptr<FontEngine> createFontEngine();
// Starts reading the font configuration and its caches on a worker thread,
// so that it overlaps the opening of the display; the font engine waits for
// it when made.
void prepareFonts();
std::unique_ptr<ImageLoader> createImageLoader();
std::unique_ptr<Launcher> createLauncher();

// The folder of the running program file, ending in "/".
std::string programFolder();

// Single-instance lock: true when this is the only running instance; false
// after one line on standard error when another holds the lock. No child
// process keeps the lock past this process.
bool acquireInstanceLock();
// The lock file: in XDG_RUNTIME_DIR, else in /tmp per user.
std::string instanceLockPath();

// A blocking message box ("Error found in words!"); on a headless machine
// it writes the text to standard error.
void messageBox(const std::string& text);

} // namespace platform
