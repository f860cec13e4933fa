// The help file the program opens with F1.
#include "mediaset/image_files.h"
#include "text/Text.h"

#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace mediaset {
namespace {

TEST(HelpFile, IsACompiledHelpFileHoldingEveryPage) {
    const std::string chm = readBytes(mediaDir() / "tavHelp.chm");
    ASSERT_GE(chm.size(), 4u) << "tavHelp.chm is missing";
    EXPECT_EQ(chm.substr(0, 4), "ITSF");
    int pages = 0;
    for (const auto& entry :
         fs::directory_iterator(fs::path(SHIZI_SOURCE_DIR) / "media-src" / "help")) {
        if (entry.path().extension() != ".html")
            continue;
        ++pages;
        const std::string name = "/" + entry.path().filename().string();
        EXPECT_NE(chm.find(name), std::string::npos) << name << " is not in the help file";
    }
    EXPECT_GE(pages, 10);
    EXPECT_NE(chm.find("/toc.hhc"), std::string::npos) << "no table of contents";
}

// The book's lines of seven characters with their readings, from media-src.
std::map<std::u32string, std::vector<std::string>> bookLines() {
    std::map<std::u32string, std::vector<std::string>> lines;
    std::istringstream in(readBytes(fs::path(SHIZI_SOURCE_DIR) / "media-src" / "book.txt"));
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("    ", 0) != 0)
            continue;
        std::istringstream f(line);
        std::string chars, r;
        f >> chars;
        auto& readings = lines[text::toU32(chars)];
        while (f >> r)
            readings.push_back(r);
    }
    return lines;
}

TEST(HelpFile, ParentsPageCountsTheBookRightAndQuotesItsOwnLines) {
    const auto book = bookLines();
    ASSERT_EQ(book.size(), 280u);
    for (const char* page : {"index.html", "parents.html"}) {
        const std::string html =
            readBytes(fs::path(SHIZI_SOURCE_DIR) / "media-src" / "help" / page);
        EXPECT_NE(html.find("一百四十段"), std::string::npos) << page;
        EXPECT_EQ(html.find("一百四十首"), std::string::npos) << page << ": 140 poems";
    }
    // Every quoted line of seven characters is one of the book's.
    const std::u32string html =
        text::toU32(readBytes(fs::path(SHIZI_SOURCE_DIR) / "media-src" / "help" / "parents.html"));
    int quoted = 0;
    for (size_t open = html.find(U'“'); open != std::u32string::npos;
         open = html.find(U'“', open + 1)) {
        const size_t close = html.find(U'”', open);
        if (close == std::u32string::npos || close - open - 1 != 7)
            continue;
        const std::u32string line = html.substr(open + 1, 7);
        EXPECT_TRUE(book.count(line)) << text::toUtf8(line) << " is not a line of the book";
        ++quoted;
    }
    EXPECT_GE(quoted, 3);
    // The reading example: 行 of 一行白鹭 is háng.
    const auto egret = book.find(U"一行白鹭上青天");
    ASSERT_NE(egret, book.end());
    ASSERT_EQ(egret->second.size(), 7u);
    EXPECT_EQ(egret->second[1], "hang2");
}

} // namespace
} // namespace mediaset
