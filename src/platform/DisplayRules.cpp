#include "platform/DisplayRules.h"

#include "gfx/Keys.h"

#include <SDL.h>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform {

bool declineBusAutolaunch() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address && *address)
        return false;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime) {
        std::error_code ec;
        if (std::filesystem::is_socket(std::string(runtime) + "/bus", ec))
            return false;
    }
    return setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1) == 0;
}

ComposeTableSkipped::ComposeTableSkipped() {
    if (!std::getenv("XCOMPOSEFILE"))
        set_ = setenv("XCOMPOSEFILE", "/dev/null", 1) == 0;
}

ComposeTableSkipped::~ComposeTableSkipped() {
    if (set_)
        unsetenv("XCOMPOSEFILE");
}

int desktopScale(gfx::Size real) {
    return std::max(1, std::min(real.w / 640, real.h / 480));
}

int windowScale(gfx::Size usable, gfx::Size frame) {
    return std::max(1, std::min((usable.w - frame.w) / 640, (usable.h - frame.h) / 480));
}

gfx::Rect windowView(gfx::Size logical) {
    const int w = std::min(640, logical.w), h = std::min(480, logical.h);
    return {(logical.w - w) / 2, (logical.h - h) / 2, w, h};
}

int virtualKey(std::int32_t k) {
    if (k >= SDLK_a && k <= SDLK_z)
        return gfx::key::A + (k - SDLK_a);
    if (k >= SDLK_0 && k <= SDLK_9)
        return gfx::key::Digit0 + (k - SDLK_0);
    if (k >= SDLK_F1 && k <= SDLK_F12)
        return gfx::key::F1 + (k - SDLK_F1);
    if (k >= SDLK_KP_1 && k <= SDLK_KP_9)
        return 97 + (k - SDLK_KP_1); // numeric pad 1..9
    switch (k) {
    case SDLK_KP_0:
        return 96;
    case SDLK_BACKSPACE:
        return gfx::key::Backspace;
    case SDLK_TAB:
        return gfx::key::Tab;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return gfx::key::Return;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return gfx::key::Shift;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return gfx::key::Control;
    case SDLK_LALT:
    case SDLK_RALT:
        return 18;
    case SDLK_PAUSE:
        return 19;
    case SDLK_CAPSLOCK:
        return 20;
    case SDLK_ESCAPE:
        return gfx::key::Escape;
    case SDLK_SPACE:
        return gfx::key::Space;
    case SDLK_PAGEUP:
        return gfx::key::PageUp;
    case SDLK_PAGEDOWN:
        return gfx::key::PageDown;
    case SDLK_END:
        return gfx::key::End;
    case SDLK_HOME:
        return gfx::key::Home;
    case SDLK_LEFT:
        return gfx::key::Left;
    case SDLK_UP:
        return gfx::key::Up;
    case SDLK_RIGHT:
        return gfx::key::Right;
    case SDLK_DOWN:
        return gfx::key::Down;
    case SDLK_INSERT:
        return 45;
    case SDLK_DELETE:
        return gfx::key::Delete;
    case SDLK_KP_MULTIPLY:
        return 106;
    case SDLK_KP_PLUS:
        return 107;
    case SDLK_KP_MINUS:
        return 109;
    case SDLK_KP_PERIOD:
        return 110;
    case SDLK_KP_DIVIDE:
        return 111;
    case SDLK_SEMICOLON:
        return 186;
    case SDLK_EQUALS:
        return 187;
    case SDLK_COMMA:
        return 188;
    case SDLK_MINUS:
        return 189;
    case SDLK_PERIOD:
        return 190;
    case SDLK_SLASH:
        return 191;
    case SDLK_BACKQUOTE:
        return 192;
    case SDLK_LEFTBRACKET:
        return 219;
    case SDLK_BACKSLASH:
        return 220;
    case SDLK_RIGHTBRACKET:
        return 221;
    case SDLK_QUOTE:
        return 222;
    default:
        return 0;
    }
}

int shiftBits(int mod) {
    int bits = 0;
    if (mod & KMOD_SHIFT)
        bits |= gfx::shiftmask::Shift;
    if (mod & KMOD_CTRL)
        bits |= gfx::shiftmask::Ctrl;
    if (mod & KMOD_ALT)
        bits |= gfx::shiftmask::Alt;
    return bits;
}

int buttonBit(int b) {
    switch (b) {
    case SDL_BUTTON_LEFT:
        return gfx::button::Left;
    case SDL_BUTTON_RIGHT:
        return gfx::button::Right;
    case SDL_BUTTON_MIDDLE:
        return gfx::button::Middle;
    default:
        return 0;
    }
}

int buttonBits(std::uint32_t state) {
    int bits = 0;
    if (state & SDL_BUTTON_LMASK)
        bits |= gfx::button::Left;
    if (state & SDL_BUTTON_RMASK)
        bits |= gfx::button::Right;
    if (state & SDL_BUTTON_MMASK)
        bits |= gfx::button::Middle;
    return bits;
}

void enlargeRow(const std::uint32_t* in, std::size_t n, std::uint32_t* out, std::size_t pitch,
                int scale) {
    if (n == 0 || scale <= 0)
        return;
    if (scale == 1) {
        std::memcpy(out, in, n * sizeof *in);
        return;
    }
    if (scale == 2) {
        std::uint32_t* a = out;
        std::uint32_t* b = out + pitch;
        std::size_t i = 0;
#if defined(__SSE2__)
        // The usual enlargement: four pixels in, eight out on each row.
        for (; i + 4 <= n; i += 4) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
            const __m128i lo = _mm_unpacklo_epi32(v, v), hi = _mm_unpackhi_epi32(v, v);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(a + 2 * i), lo);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(a + 2 * i + 4), hi);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(b + 2 * i), lo);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(b + 2 * i + 4), hi);
        }
#endif
        for (; i < n; ++i)
            a[2 * i] = a[2 * i + 1] = b[2 * i] = b[2 * i + 1] = in[i];
        return;
    }
    std::uint32_t* first = out;
    for (std::size_t i = 0; i < n; ++i)
        for (int k = 0; k < scale; ++k)
            *first++ = in[i];
    // Every other row of the block is the same as the first.
    for (int r = 1; r < scale; ++r)
        std::memcpy(out + std::size_t(r) * pitch, out, n * std::size_t(scale) * sizeof *out);
}

bool videoDriverAccepted(std::string_view driver, const char* requested) {
    if (driver != "offscreen" && driver != "dummy")
        return true;
    return requested && driver == requested;
}

std::string displayName() {
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (x && *x)
        return std::string("\"") + x + "\"";
    if (wayland && *wayland)
        return std::string("Wayland \"") + wayland + "\"";
    return "(none: DISPLAY is not set)";
}

} // namespace platform
