// Damaged data files: every bad value is named once with its default, saves
// cut short leave nothing behind, messages name paths plainly.
#include "CoreFixture.h"
#include "core/Text.h"
#include "core/tavMdl.h"
#include "games/kit/GameFiles.h"
#include "support/temp_folder.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace fs = std::filesystem;

using support::TempFolder;

namespace {

int lines(const std::string& s) {
    return int(std::count(s.begin(), s.end(), '\n'));
}

} // namespace

TEST(NumberInRange, NamesTheFileLineValueAndDefaultOnce) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(core::numberInRange("/m/data\\data.txt", 1, "24", 0, 999, 0), 24);
    EXPECT_EQ(core::numberInRange("/m/data\\data.txt", 1, " 7.5", 0, 999, 0), 8);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    for (const char* bad : {"99999", "4294967296000", "-3", "", "abc", "1e9"}) {
        testing::internal::CaptureStderr();
        EXPECT_EQ(core::numberInRange("/m/data\\data.txt", 1, bad, 0, 999, 5), 5) << bad;
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(lines(err), 1) << err;
        EXPECT_NE(err.find("/m/data/data.txt line 1: \"" + std::string(bad) + "\""),
                  std::string::npos)
            << err;
        EXPECT_NE(err.find("5 is used"), std::string::npos) << err;
    }
    // A 100000-digit line is shown cut short.
    testing::internal::CaptureStderr();
    EXPECT_EQ(core::numberInRange("f.txt", 3, std::string(100000, '9'), 0, 999, 0), 0);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_LT(err.size(), 200u);
}

TEST(DisplayPath, OneSeparatorOfOneKind) {
    EXPECT_EQ(core::displayPath("/opt/shizi/\\data\\data.txt"), "/opt/shizi/data/data.txt");
    EXPECT_EQ(core::displayPath("/opt//shizi/game/Game01/data\\data.txt"),
              "/opt/shizi/game/Game01/data/data.txt");
}

TEST(TextFiles, AMissingFileIsNamedOncePerRun) {
    TempFolder d{"data"};
    testing::internal::CaptureStderr();
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(core::readLines(d.path.string() + "/\\data\\none.txt"));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(lines(err), 1) << err;
    EXPECT_NE(err.find(d.path.string() + "/data/none.txt"), std::string::npos) << err;
}

TEST(Saves, GoThroughOneFixedTemporaryNameAndStaleOnesAreRemoved) {
    TempFolder d{"data"};
    d.write("data.txt", "24\r\n");
    // A save killed before its rename left this; the next save replaces it.
    d.write("data.txt.tmp", "half");
    ASSERT_TRUE(core::writeLines(d.file("data.txt"), {"25"}));
    EXPECT_FALSE(fs::exists(d.file("data.txt.tmp")));
    EXPECT_EQ(core::readLines(d.file("data.txt"))->at(0), "25");

    // What earlier versions left after kills, and what is not the program's.
    for (const char* name : {"data.txt.a1B2c3", "data.txt.Zz09xy", "data.txt.tmp"})
        d.write(name, "1");
    for (const char* name : {"notes.a1B2c3", "data.txt.bak", "data.txt.abc", "pic.bmp"})
        d.write(name, "1");
    EXPECT_EQ(text::removeStaleTemporaries(d.path.string()), 3);
    for (const char* name : {"data.txt.a1B2c3", "data.txt.Zz09xy", "data.txt.tmp"})
        EXPECT_FALSE(fs::exists(d.file(name))) << name;
    for (const char* name : {"data.txt", "notes.a1B2c3", "data.txt.bak", "data.txt.abc", "pic.bmp"})
        EXPECT_TRUE(fs::exists(d.file(name))) << name;
}

TEST(BestScores, AScoreNoGameCanBeatIsNamedAndReadsZero) {
    TempFolder d{"data"};
    d.write("data.txt", " 120\r\n 99999\r\n1e9\r\n");
    testing::internal::CaptureStderr();
    const auto bests = games::kit::readBestScores(d.file("data.txt"), 3);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(bests, (std::vector<std::int16_t>{120, 0, 0}));
    EXPECT_EQ(lines(err), 2) << err;
    EXPECT_NE(err.find("line 2: \" 99999\""), std::string::npos) << err;
    EXPECT_NE(err.find("line 3: \"1e9\""), std::string::npos) << err;
}

namespace {

struct DataFiles : coretest::CoreTest {};

} // namespace

TEST_F(DataFiles, MenuStateOutsideWhatTheMenuCanShowReadsItsDefaults) {
    writeData("data.txt", {"4294967296000", "12", "141", "0"});
    testing::internal::CaptureStderr();
    core::loadMenuState(app);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(app.state.bgPicCount, 0);
    EXPECT_EQ(app.state.curFunc, 0);
    EXPECT_EQ(app.state.curVerse, 1);
    EXPECT_EQ(app.state.verseCount, 1);
    EXPECT_EQ(lines(err), 4) << err;
    EXPECT_NE(err.find("data/data.txt line 1: \"4294967296000\""), std::string::npos) << err;
    EXPECT_EQ(err.find("data\\data.txt"), std::string::npos) << err;

    writeData("data.txt", {"24", "11", "140", "10"});
    testing::internal::CaptureStderr();
    core::loadMenuState(app);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(app.state.bgPicCount, 24);
    EXPECT_EQ(app.state.curFunc, 11);
    EXPECT_EQ(app.state.curVerse, 140);
    EXPECT_EQ(app.state.verseCount, 10);
}

TEST_F(DataFiles, StaleSavesAreRemovedFromEveryDataFolderAtStart) {
    const fs::path game = fs::path(host->folder()) / "game" / "Game01" / "data";
    fs::create_directories(game);
    writeData("data.txt", {"24", "0", "1", "1"});
    std::ofstream(dataDir() / "data.txt.k3J9aZ") << "2";
    std::ofstream(game / "data.txt") << " 0\r\n";
    std::ofstream(game / "data.txt.Q0w9e8") << " 1";
    std::ofstream(game / "data.txt.tmp") << " 1";
    testing::internal::CaptureStderr();
    core::removeStaleSaves(app);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(fs::exists(dataDir() / "data.txt.k3J9aZ"));
    EXPECT_FALSE(fs::exists(game / "data.txt.Q0w9e8"));
    EXPECT_FALSE(fs::exists(game / "data.txt.tmp"));
    EXPECT_TRUE(fs::exists(game / "data.txt"));
    EXPECT_EQ(lines(err), 1) << err;
}
