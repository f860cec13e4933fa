#include "resources/Resources.h"

#include <map>

namespace {

struct EmbeddedBitmap {
    const char* name;
    const unsigned char* data;
    unsigned long size;
};

#include "resource_data.inc"

} // namespace

namespace resources {

gfx::Picture resourceBitmap(const std::string& name) {
    // Decoded once: the screens ask for the same few bitmaps on every load.
    static std::map<std::string, gfx::Picture> decoded;
    if (auto it = decoded.find(name); it != decoded.end())
        return it->second;
    for (const EmbeddedBitmap* b = embeddedBitmaps; b->name; ++b) {
        if (name != b->name)
            continue;
        gfx::Picture pic;
        if (!gfx::decodeBmp(b->data, b->size, pic))
            pic = {};
        decoded.emplace(name, pic);
        return pic;
    }
    return {};
}

} // namespace resources
