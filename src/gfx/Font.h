// What a label asks of the font engine: the program's own family name, a
// size in points and the weight.
#pragma once

#include <string>

namespace gfx {

struct FontSpec {
    std::string family; // the program's family names, e.g. "楷体_GB2312", "System"
    double points = 9;  // at 96 dpi
    bool bold = false;
    bool operator==(const FontSpec&) const = default;
};

} // namespace gfx
