// The recital page: one verse or a run of verses, recited again and again.
#include "learning/funFrm1.h"
#include "page_host.h"

using namespace learningtest;

namespace {

struct Recital {
    int verse;
    std::vector<std::string> grid; // the grid right after the tick that started it
};

// Runs the page for `ticks` seconds; returns the recitals in order and checks
// that the grid only changes on the tick a recital starts.
std::vector<Recital> listen(app::HeadlessHost& h, learning::funFrm1& page, int ticks) {
    std::vector<Recital> out;
    std::size_t seen = h.media.played().size();
    auto grid = gridText(page);
    for (int t = 0; t < ticks; ++t) {
        h.runtime.advance(1000);
        const auto played = h.media.played();
        bool started = false;
        for (; seen < played.size(); ++seen) {
            if (played[seen].rfind("sd", 0) != 0)
                continue;
            out.push_back({std::stoi(played[seen].substr(2, 3)), gridText(page)});
            started = true;
        }
        if (!started) {
            EXPECT_EQ(gridText(page), grid) << "the grid changed without a recital at tick " << t;
        }
        grid = gridText(page);
    }
    return out;
}

std::vector<media::MediaCommand> recitalPlays(app::HeadlessHost& h) {
    std::vector<media::MediaCommand> out;
    for (const auto& c : h.media.commands(media::MediaCommand::Kind::Play))
        if (c.file.substr(c.file.find_last_of("/\\") + 1).rfind("sd", 0) == 0)
            out.push_back(c);
    return out;
}

} // namespace

TEST(RecitalPage, ASpanOfThreeRecitesEachVerseInTurnAndShowsItAsItStarts) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR);
    auto* page =
        openPage<learning::funFrm1>(h, "funFrm1", {.verse = 20, .func = 0, .mode = 3, .span = 3});
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(gridText(*page), verseText(h, 20));
    const auto recitals = listen(h, *page, 90);
    ASSERT_GE(recitals.size(), 5u);
    const int expected[] = {20, 21, 22, 20, 21};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(recitals[i].verse, expected[i]);
        EXPECT_EQ(recitals[i].grid, verseText(h, expected[i]));
    }
}

TEST(RecitalPage, FirstRecitalOneSecondAfterTheBuildThenOneAfterAnother) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR);
    auto* page = openPage<learning::funFrm1>(h, "funFrm1", {.verse = 12, .func = 1, .mode = 1});
    ASSERT_NE(page, nullptr);
    const ui::Micros built = h.runtime.now();
    EXPECT_EQ(h.app.state.readAloud, 1);
    h.runtime.advance(999);
    EXPECT_TRUE(recitalPlays(h).empty());
    h.runtime.advance(1);
    ASSERT_EQ(recitalPlays(h).size(), 1u);
    EXPECT_EQ(recitalPlays(h)[0].time - built, 1000000);
    // While it plays the background still changes every second.
    const long length = h.media.lengthOf(h.app.state.soundPath + "sd012.wav");
    ASSERT_GT(length, 2000);
    int before = page->picIndex();
    h.runtime.advance(1000);
    EXPECT_NE(page->picIndex(), before);
    EXPECT_EQ(recitalPlays(h).size(), 1u) << "a recital is not cut off";

    const auto recitals = listen(h, *page, 60);
    ASSERT_GE(recitals.size(), 3u);
    for (const auto& r : recitals) {
        EXPECT_EQ(r.verse, 12);
        EXPECT_EQ(r.grid, verseText(h, 12));
    }
    // The next starts on the first tick after the last ended.
    const auto plays = recitalPlays(h);
    ASSERT_GE(plays.size(), 2u);
    const ui::Micros gap = plays[1].time - plays[0].time;
    EXPECT_GE(gap, length * 1000);
    EXPECT_LE(gap, length * 1000 + 1000000);
}

TEST(RecitalPage, ASpanOfOneIsTheSameVerseOverAndOver) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR);
    auto* page = openPage<learning::funFrm1>(h, "funFrm1", {.verse = 7, .func = 0, .mode = 1});
    ASSERT_NE(page, nullptr);
    for (const auto& r : listen(h, *page, 40))
        EXPECT_EQ(r.verse, 7);
}

TEST(RecitalPage, ASpanPastTheLastVerseStartsAgainInsteadOfEndingTheProgram) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR);
    auto* page =
        openPage<learning::funFrm1>(h, "funFrm1", {.verse = 139, .func = 0, .mode = 4, .span = 4});
    ASSERT_NE(page, nullptr);
    const auto recitals = listen(h, *page, 90);
    ASSERT_GE(recitals.size(), 3u);
    EXPECT_EQ(recitals[0].verse, 139);
    EXPECT_EQ(recitals[1].verse, 140);
    EXPECT_EQ(recitals[2].verse, 139);
}
