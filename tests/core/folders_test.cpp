// Where the media set is found and where each user's saved files live: the
// folder beside the program or the installed share folder, the user's own
// folder, the first copy of the shipped files, and the whole program saving
// its selection, its window and its ending there.
#include "app/Host.h"
#include "core/Folders.h"
#include "core/tavMdl.h"
#include "games/kit/GameFiles.h"
#include "gfx/Keys.h"
#include "support/temp_folder.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

using support::TempFolder;

namespace {

void writeAll(const fs::path& p, const std::string& bytes) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

// The smallest folder that holds a media set, with two games' best scores.
void makeMediaSet(const fs::path& dir) {
    writeAll(dir / "data" / "tav.txt", "verse\r\n");
    writeAll(dir / "data" / "data.txt", " 3\r\n 1\r\n 7\r\n 9\r\n");
    fs::create_directories(dir / "pic");
    writeAll(dir / "game" / "Game01" / "data" / "data.txt", " 0\r\n 0\r\n 0\r\n");
    writeAll(dir / "game" / "Game04" / "data" / "data.txt", " 5\r\n 0\r\n 0\r\n");
    writeAll(dir / "game" / "Game04" / "data" / "pos_size.txt", "layout\r\n");
    fs::create_directories(dir / "game" / "Empty");
}

} // namespace

TEST(MediaFolder, BesideTheProgramFirstThenTheShareFolder) {
    TempFolder root;
    const fs::path games = root.path / "games";
    const fs::path share = root.path / "share" / "shizi";
    fs::create_directories(games);

    core::MediaSearch none = core::findMediaFolder(games.string() + "/");
    EXPECT_TRUE(none.folder.empty());
    ASSERT_EQ(none.lookedIn.size(), 2u);
    EXPECT_EQ(none.lookedIn[0], games.string() + "/");
    // The share folder is named plainly, without "games/../".
    EXPECT_EQ(none.lookedIn[1], share.string() + "/");
    const std::string message = core::missingMediaMessage(none);
    EXPECT_NE(message.find(games.string() + "/"), std::string::npos);
    EXPECT_NE(message.find(share.string() + "/"), std::string::npos);

    makeMediaSet(share);
    core::MediaSearch installed = core::findMediaFolder(games.string());
    EXPECT_EQ(installed.folder, share.string() + "/");
    EXPECT_FALSE(installed.besideProgram);

    makeMediaSet(games);
    core::MediaSearch build = core::findMediaFolder(games.string() + "/");
    EXPECT_EQ(build.folder, games.string() + "/");
    EXPECT_TRUE(build.besideProgram);
}

TEST(MediaFolder, AFolderWithoutPicturesIsNoMediaSet) {
    TempFolder root;
    writeAll(root.path / "data" / "tav.txt", "verse\r\n");
    EXPECT_FALSE(core::holdsMediaSet(root.str()));
    fs::create_directories(root.path / "pic");
    EXPECT_TRUE(core::holdsMediaSet(root.str()));
    fs::remove(root.path / "data" / "tav.txt");
    fs::create_directories(root.path / "data" / "tav.txt");
    EXPECT_FALSE(core::holdsMediaSet(root.str()));
}

TEST(StateFolder, UserFolderFollowsXdgDataHomeThenHome) {
    EXPECT_EQ(core::userDataFolder("/x/data", "/home/kid"), "/x/data/shizi/");
    EXPECT_EQ(core::userDataFolder("/x/data/", "/home/kid"), "/x/data/shizi/");
    // Unset, empty or relative: the base directory rules' default.
    EXPECT_EQ(core::userDataFolder(nullptr, "/home/kid"), "/home/kid/.local/share/shizi/");
    EXPECT_EQ(core::userDataFolder("", "/home/kid/"), "/home/kid/.local/share/shizi/");
    EXPECT_EQ(core::userDataFolder("data", "/home/kid"), "/home/kid/.local/share/shizi/");
    EXPECT_EQ(core::userDataFolder(nullptr, nullptr), "");
    EXPECT_EQ(core::userDataFolder(nullptr, ""), "");
}

TEST(StateFolder, WritableBuildFolderKeepsItsFilesEverythingElseUsesTheUsers) {
    core::MediaSearch build;
    build.folder = "/src/build/media/";
    build.besideProgram = true;
    core::MediaSearch installed;
    installed.folder = "/usr/share/shizi/";
    const std::string mine = "/home/kid/.local/share/shizi/";

    EXPECT_EQ(core::chooseStateFolder(build, true, mine), build.folder);
    EXPECT_EQ(core::chooseStateFolder(build, false, mine), mine);
    // An installed copy never writes into the shared folder, even when the
    // user may (root).
    EXPECT_EQ(core::chooseStateFolder(installed, true, mine), mine);
    EXPECT_EQ(core::chooseStateFolder(installed, false, mine), mine);
    // Without a home there is nowhere else to try.
    EXPECT_EQ(core::chooseStateFolder(installed, false, ""), installed.folder);
}

TEST(StateFolder, ReadOnlyMediaFolderIsNotWritable) {
    TempFolder media;
    makeMediaSet(media.path);
    EXPECT_TRUE(core::stateWritableIn(media.str()));
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    fs::permissions(media.path / "game" / "Game04" / "data", fs::perms::owner_write,
                    fs::perm_options::remove);
    EXPECT_FALSE(core::stateWritableIn(media.str()));
    fs::permissions(media.path / "game" / "Game04" / "data", fs::perms::owner_write,
                    fs::perm_options::add);
    fs::permissions(media.path / "data", fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_FALSE(core::stateWritableIn(media.str()));
    fs::permissions(media.path / "data", fs::perms::owner_write, fs::perm_options::add);
}

TEST(StateFolder, FirstRunCopiesTheShippedFilesLaterRunsKeepTheUsers) {
    TempFolder media, home;
    makeMediaSet(media.path);
    // The shipped files of an installed copy are read-only.
    fs::permissions(media.path / "data" / "data.txt", fs::perms::owner_read,
                    fs::perm_options::replace);
    const std::string mine = home.str() + "shizi/";

    EXPECT_EQ(core::stateFiles(media.str()),
              (std::vector<std::string>{"data/data.txt", "game/Game01/data/data.txt",
                                        "game/Game04/data/data.txt"}));
    ASSERT_TRUE(core::prepareUserFolder(media.str(), mine));
    EXPECT_EQ(support::readFile(mine + "data/data.txt"), " 3\r\n 1\r\n 7\r\n 9\r\n");
    EXPECT_EQ(support::readFile(mine + "game/Game04/data/data.txt"), " 5\r\n 0\r\n 0\r\n");
    EXPECT_TRUE(fs::is_directory(mine + "pic"));
    // Only the saved files: the layouts stay in the media set.
    EXPECT_FALSE(fs::exists(mine + "game/Game04/data/pos_size.txt"));
    EXPECT_FALSE(fs::exists(mine + "game/Empty"));
    EXPECT_NE(fs::status(mine + "data/data.txt").permissions() & fs::perms::owner_write,
              fs::perms::none);

    writeAll(mine + "data/data.txt", " 3\r\n 2\r\n 40\r\n 9\r\n");
    fs::remove(mine + "game/Game01/data/data.txt");
    ASSERT_TRUE(core::prepareUserFolder(media.str(), mine));
    EXPECT_EQ(support::readFile(mine + "data/data.txt"), " 3\r\n 2\r\n 40\r\n 9\r\n");
    // A file the user lacks (a game new in this version) is copied.
    EXPECT_EQ(support::readFile(mine + "game/Game01/data/data.txt"), " 0\r\n 0\r\n 0\r\n");
}

TEST(StateFolder, AFolderThatCannotBeMadeSaysSo) {
    TempFolder home;
    writeAll(home.path / "file", "x");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(core::prepareUserFolder(home.str(), home.str() + "file/shizi/"));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("nothing will be saved"), std::string::npos);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
}

TEST(StateFolder, ReadsTheShippedFileUntilTheUserHasACopy) {
    core::SharedState g;
    g.appPath = "/usr/share/shizi/";
    TempFolder home;
    g.userPath = home.str();
    const std::string best = games::kit::bestScoreFile("Game02");
    EXPECT_EQ(core::savedFile(g, best), g.appPath + best);
    const std::string target = core::fileToSave(g, best);
    EXPECT_EQ(target, g.userPath + best);
    // The folder is made for the write.
    EXPECT_TRUE(fs::is_directory(home.path / "game" / "Game02" / "data"));
    writeAll(home.path / "game" / "Game02" / "data" / "data.txt", " 1\r\n");
    EXPECT_EQ(core::savedFile(g, best), g.userPath + best);

    // In place, before the folders are set, everything is the program's.
    core::SharedState build;
    build.appPath = home.str();
    EXPECT_EQ(core::savedFile(build, "data\\data.txt"), home.str() + "data\\data.txt");
    build.picPath = home.str() + "pic/";
    EXPECT_EQ(core::scratchFolder(build), build.picPath);
    EXPECT_EQ(core::scratchFolder(g), g.userPath + "pic/");
}

// ---- the whole program -------------------------------------------------------------

namespace {

struct UserFolderTest : ::testing::Test {
    TempFolder home;
    std::string mine() const { return home.str() + "shizi/"; }
    std::unique_ptr<app::HeadlessHost> startHost() {
        auto h = std::make_unique<app::HeadlessHost>(SHIZI_MEDIA_DIR);
        h->app.stateFolder = mine();
        h->start();
        return h;
    }
};

} // namespace

TEST_F(UserFolderTest, SelectionAndBestScoresGoToTheUsersFolderOnly) {
    auto h = startHost();
    const std::string shipped = support::readFile(h->folder() + "data/data.txt");
    ASSERT_FALSE(shipped.empty());
    EXPECT_EQ(support::readFile(mine() + "data/data.txt"), shipped);
    EXPECT_TRUE(fs::exists(mine() + "game/Game05/data/data.txt"));

    h->app.state.curVerse = 12;
    h->app.state.curFunc = 3;
    core::saveMenuState(h->app);
    EXPECT_EQ(support::readFile(h->folder() + "data/data.txt"), shipped);
    h.reset();

    // The next run reads the user's selection.
    auto again = startHost();
    EXPECT_EQ(again->app.state.curVerse, 12);
    EXPECT_EQ(again->app.state.curFunc, 3);
}

TEST_F(UserFolderTest, TheWindowManagersCloseSavesTheSelection) {
    auto h = startHost();
    h->app.state.curVerse = 33;
    platform::InputEvent quit;
    quit.type = platform::InputEvent::Type::Quit;
    h->display.inject(quit);
    h->runtime.advance(10);
    EXPECT_TRUE(h->runtime.quitting());
    h.reset();
    auto again = startHost();
    EXPECT_EQ(again->app.state.curVerse, 33);
}

TEST_F(UserFolderTest, F11SwitchesTheWindowAndTheChoiceIsKept) {
    auto h = startHost();
    EXPECT_FALSE(h->display.windowed());
    const ui::Form* front = h->runtime.activeForm();
    ASSERT_NE(front, nullptr);
    const ui::Rect where = front->rect();
    h->runtime.keyDown(gfx::key::F11);
    h->runtime.keyUp(gfx::key::F11);
    h->runtime.advance(20);
    EXPECT_TRUE(h->display.windowed());
    // The screen in front stays where it was and keeps its place in front.
    EXPECT_EQ(h->runtime.activeForm(), front);
    EXPECT_EQ(front->rect(), where);
    EXPECT_EQ(support::readFile(mine() + "window.txt"), "1\r\n");
    h.reset();

    auto again = startHost();
    EXPECT_TRUE(again->display.windowed());
    again->runtime.keyDown(gfx::key::F11);
    again->runtime.advance(20);
    EXPECT_FALSE(again->display.windowed());
    EXPECT_EQ(support::readFile(mine() + "window.txt"), "0\r\n");
}

TEST(StateFolder, ASaveThatFailsKeepsTheOldAndSaysSoOnce) {
    TempFolder dir;
    // A folder where the file should be: the rename over it fails as on a
    // read-only or full disk, after the new contents were written aside.
    const fs::path best = dir.path / "data.txt";
    writeAll(best / "keep", "old");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(games::kit::writeBestScores(best.string(), {12, 3}));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find(best.string()), std::string::npos);
    EXPECT_EQ(support::readFile(best / "keep"), "old");
    // Nothing half-written is left beside it.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(UserFolderTest, AHeldF11SwitchesOnce) {
    auto h = startHost();
    for (int i = 0; i < 5; ++i)
        h->runtime.keyDown(gfx::key::F11);
    h->runtime.advance(20);
    EXPECT_TRUE(h->display.windowed());
    h->runtime.keyUp(gfx::key::F11);
    h->runtime.keyDown(gfx::key::F11);
    h->runtime.advance(20);
    EXPECT_FALSE(h->display.windowed());
}
