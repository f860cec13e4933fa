// Mouse pointers: the standard shapes and custom ones from pictures or
// ".cur" files.
#pragma once

#include "gfx/Picture.h"

#include <memory>
#include <string>

namespace gfx {

enum class CursorShape {
    Default,
    Arrow,
    Hourglass,
    Crosshair,
    NoDrop,
    NotAllowed,
    ArrowQuestion,
    Hand,
    Custom
};

struct CustomCursor {
    Picture image;  // colours of the opaque pixels
    Picture opaque; // 0xFFFFFF where the pointer is drawn, 0 where transparent
    Point hotSpot;
};

struct Cursor {
    CursorShape shape = CursorShape::Default;
    std::shared_ptr<const CustomCursor> custom; // when shape is Custom

    static Cursor standard(CursorShape s) { return {s, nullptr}; }
    // A picture whose pixels of colour `transparent` are see-through.
    static Cursor fromPicture(const Picture& pic, Point hotSpot, Color transparent);
    // A Windows ".cur" (or ".ico") file; Default when the file is missing or bad.
    static Cursor fromCurFile(const std::string& path);

    friend bool operator==(const Cursor& a, const Cursor& b) {
        return a.shape == b.shape && a.custom == b.custom;
    }
};

} // namespace gfx
