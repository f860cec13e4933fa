// Key codes as the screens know them (the classic virtual-key numbers).
#pragma once

namespace gfx {

namespace key {
constexpr int Backspace = 8;
constexpr int Tab = 9;
constexpr int Return = 13;
constexpr int Shift = 16;
constexpr int Control = 17;
constexpr int Escape = 27;
constexpr int Space = 32;
constexpr int PageUp = 33;
constexpr int PageDown = 34;
constexpr int End = 35;
constexpr int Home = 36;
constexpr int Left = 37;
constexpr int Up = 38;
constexpr int Right = 39;
constexpr int Down = 40;
constexpr int Delete = 46;
constexpr int Digit0 = 48; // '0'..'9' are 48..57
constexpr int A = 65;      // 'A'..'Z' are 65..90
constexpr int F1 = 112;    // F1..F12 are 112..123
constexpr int F11 = 122;
} // namespace key

// Shift-state bits passed with key and mouse events.
namespace shiftmask {
constexpr int Shift = 1;
constexpr int Ctrl = 2;
constexpr int Alt = 4;
} // namespace shiftmask

// Mouse buttons.
namespace button {
constexpr int Left = 1;
constexpr int Right = 2;
constexpr int Middle = 4;
} // namespace button

} // namespace gfx
