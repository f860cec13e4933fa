// The headless host works on a private program folder and leaves the media
// set it was made from untouched.
#include "app/Host.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace fs = std::filesystem;

namespace {

std::string readAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(HeadlessHost, WritesStayInItsOwnFolder) {
    const fs::path media = SHIZI_MEDIA_DIR;
    ASSERT_TRUE(fs::exists(media / "data" / "data.txt"));
    const std::string before = readAll(media / "data" / "data.txt");
    std::string folder;
    {
        app::HeadlessHost h(media.string());
        folder = h.folder();
        ASSERT_EQ(folder.back(), '/');
        EXPECT_EQ(h.app.programFolder, folder);
        const fs::path data = fs::path(folder) / "data" / "data.txt";
        EXPECT_FALSE(fs::is_symlink(data));
        EXPECT_EQ(readAll(data), before);
        std::ofstream(data, std::ios::binary | std::ios::trunc) << "changed";
        // The scratch bitmap goes into a folder of the host's own.
        EXPECT_FALSE(fs::is_symlink(fs::path(folder) / "pic"));
        std::ofstream(fs::path(folder) / "pic" / "tav_k.bmp") << "x";
        EXPECT_TRUE(fs::exists(fs::path(folder) / "sound" / "ok.wav"));
        EXPECT_TRUE(fs::exists(fs::path(folder) / "tav_KJ" / "tav.bmp"));
        EXPECT_TRUE(fs::exists(fs::path(folder) / "tavHelp.chm"));
    }
    EXPECT_EQ(readAll(media / "data" / "data.txt"), before);
    EXPECT_NE(readAll(media / "pic" / "tav_k.bmp"), "x");
    EXPECT_FALSE(fs::exists(folder));
}
