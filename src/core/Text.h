// Text files of the program (code page 936, CR LF), numbers read from them,
// and UTF-8 helpers: the text library under the names the screens use.
#pragma once

#include "text/Text.h"

namespace core {

using text::displayPath;
using text::fromCp936;
using text::layoutField;
using text::lineAt;
using text::numberInRange;
using text::printNumber;
using text::readDouble;
using text::readLines;
using text::readNumber;
using text::roundToInt16;
using text::substrChars;
using text::toCp936;
using text::toU32;
using text::toUtf8;
using text::writeLines;

} // namespace core
