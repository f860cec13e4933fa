#include "platform/DisplayRules.h"

#include "ui/Keys.h"

#include <SDL.h>
#include <algorithm>

namespace platform {

int desktopScale(ui::Size real) {
    return std::max(1, std::min(real.w / 640, real.h / 480));
}

int virtualKey(std::int32_t k) {
    if (k >= SDLK_a && k <= SDLK_z)
        return ui::key::A + (k - SDLK_a);
    if (k >= SDLK_0 && k <= SDLK_9)
        return ui::key::Digit0 + (k - SDLK_0);
    if (k >= SDLK_F1 && k <= SDLK_F12)
        return ui::key::F1 + (k - SDLK_F1);
    if (k >= SDLK_KP_1 && k <= SDLK_KP_9)
        return 97 + (k - SDLK_KP_1); // numeric pad 1..9
    switch (k) {
    case SDLK_KP_0:
        return 96;
    case SDLK_BACKSPACE:
        return ui::key::Backspace;
    case SDLK_TAB:
        return ui::key::Tab;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return ui::key::Return;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return ui::key::Shift;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return ui::key::Control;
    case SDLK_LALT:
    case SDLK_RALT:
        return 18;
    case SDLK_PAUSE:
        return 19;
    case SDLK_CAPSLOCK:
        return 20;
    case SDLK_ESCAPE:
        return ui::key::Escape;
    case SDLK_SPACE:
        return ui::key::Space;
    case SDLK_PAGEUP:
        return ui::key::PageUp;
    case SDLK_PAGEDOWN:
        return ui::key::PageDown;
    case SDLK_END:
        return ui::key::End;
    case SDLK_HOME:
        return ui::key::Home;
    case SDLK_LEFT:
        return ui::key::Left;
    case SDLK_UP:
        return ui::key::Up;
    case SDLK_RIGHT:
        return ui::key::Right;
    case SDLK_DOWN:
        return ui::key::Down;
    case SDLK_INSERT:
        return 45;
    case SDLK_DELETE:
        return ui::key::Delete;
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
        bits |= ui::shiftmask::Shift;
    if (mod & KMOD_CTRL)
        bits |= ui::shiftmask::Ctrl;
    if (mod & KMOD_ALT)
        bits |= ui::shiftmask::Alt;
    return bits;
}

int buttonBit(int b) {
    switch (b) {
    case SDL_BUTTON_LEFT:
        return ui::button::Left;
    case SDL_BUTTON_RIGHT:
        return ui::button::Right;
    case SDL_BUTTON_MIDDLE:
        return ui::button::Middle;
    default:
        return 0;
    }
}

int buttonBits(std::uint32_t state) {
    int bits = 0;
    if (state & SDL_BUTTON_LMASK)
        bits |= ui::button::Left;
    if (state & SDL_BUTTON_RMASK)
        bits |= ui::button::Right;
    if (state & SDL_BUTTON_MMASK)
        bits |= ui::button::Middle;
    return bits;
}

} // namespace platform
