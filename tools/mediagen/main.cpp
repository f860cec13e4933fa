#include "mediagen.h"

#include <cstdio>
#include <cstring>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr,
                     "usage: mediagen all|book|sounds|pictures|help|resources|icons <folder>\n");
        return 2;
    }
    const char* what = argv[1];
    const mediagen::fs::path dir = argv[2];
    auto is = [&](const char* name) {
        return std::strcmp(what, name) == 0 || std::strcmp(what, "all") == 0;
    };
    try {
        mediagen::fs::create_directories(dir);
        if (std::strcmp(what, "resources") == 0) {
            mediagen::writeResourceBitmaps(dir);
            return 0;
        }
        if (std::strcmp(what, "icons") == 0) {
            mediagen::writeIcons(dir);
            return 0;
        }
        if (is("book"))
            mediagen::writeBook(dir);
        if (is("sounds"))
            mediagen::writeSounds(dir);
        if (is("pictures"))
            mediagen::writePictures(dir);
        if (is("help"))
            mediagen::writeHelp(dir);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mediagen: %s\n", e.what());
        return 1;
    }
    return 0;
}
