// The help file the program opens with F1.
#include "mediaset/image_files.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace mediaset
