// The recital page: one verse or a run of verses, recited again and again.
#include "learning/funFrm1.h"
#include "page_host.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>

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

// ---- following the voice ----------------------------------------------------

namespace {

namespace fs = std::filesystem;

// The starts in a timing file of the media set, read here on their own.
learning::CharStarts generatedStarts(int verse) {
    char name[32];
    std::snprintf(name, sizeof name, "sound/sd%03d.txt", verse);
    std::ifstream in(fs::path(SHIZI_MEDIA_DIR) / name);
    learning::CharStarts s{};
    for (auto& ms : s)
        in >> ms;
    EXPECT_TRUE(in) << name;
    return s;
}

// The labels lit now; every other label must be white.
std::vector<int> litLabels(learning::funFrm1& page) {
    std::vector<int> lit;
    for (int i = 1; i <= 14; ++i) {
        const ui::Color c = page.wordLbl[i].foreColor;
        if (c == learning::kSpoken)
            lit.push_back(i);
        else
            EXPECT_EQ(c, learning::kWhite) << "label " << i;
    }
    EXPECT_LE(lit.size(), 1u);
    return lit;
}
std::vector<int> lit(int label) {
    return label ? std::vector<int>{label} : std::vector<int>{};
}

// Runs the loop up to `ms` after `start`.
void advanceTo(app::HeadlessHost& h, ui::Micros start, double ms) {
    h.runtime.advance(double(start + ui::ms(ms) - h.runtime.now()) / 1000);
}

// Runs Timer1's ticks until the next recital has started; its start.
ui::Micros nextRecital(app::HeadlessHost& h, learning::funFrm1& page) {
    const std::size_t before = recitalPlays(h).size();
    for (int tick = 0; tick < 30 && recitalPlays(h).size() == before; ++tick)
        advanceTo(h, page.Timer1.due(), 0);
    EXPECT_GT(recitalPlays(h).size(), before);
    return recitalPlays(h).back().time;
}

// Checks a whole recital from its start: nothing lit before the first
// character, character k lit from just after its start to just before the
// next, nothing after the end.
void expectFollowed(app::HeadlessHost& h, learning::funFrm1& page, ui::Micros start,
                    const learning::CharStarts& starts, long lengthMs, const std::string& what) {
    if (starts[0] > 0) {
        advanceTo(h, start, double(starts[0]) - 1);
        EXPECT_EQ(litLabels(page), lit(0)) << what << " before the first character";
    }
    for (int k = 1; k <= 14; ++k) {
        const double at = double(starts[std::size_t(k - 1)]);
        if (k > 1) {
            advanceTo(h, start, at - 1);
            EXPECT_EQ(litLabels(page), lit(k - 1)) << what << " just before character " << k;
        }
        advanceTo(h, start, at + 1);
        EXPECT_EQ(litLabels(page), lit(k)) << what << " just after character " << k;
    }
    advanceTo(h, start, double(lengthMs) + 1);
    EXPECT_EQ(litLabels(page), lit(0)) << what << " after the end";
}

// Gives the host a sound folder of its own (the files linked) so a test
// can take a file away or put another in its place.
std::string ownSoundFolder(app::HeadlessHost& h) {
    const fs::path folder = fs::path(h.folder()) / "sound";
    const fs::path shared = fs::read_symlink(folder);
    fs::remove(folder);
    fs::create_directory(folder);
    for (const auto& e : fs::directory_iterator(shared))
        fs::create_symlink(e.path(), folder / e.path().filename());
    return folder.string() + "/";
}

void replaceFile(const std::string& path, const std::string& text) {
    fs::remove(path);
    if (!text.empty())
        std::ofstream(path, std::ios::binary) << text;
}

} // namespace

TEST(RecitalPage, TheCharacterBeingSpokenIsLitFromItsStartToTheNext) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR);
    auto* page = openPage<learning::funFrm1>(h, "funFrm1", {.verse = 12, .func = 1, .mode = 1});
    ASSERT_NE(page, nullptr);
    const auto starts = generatedStarts(12);
    const ui::Micros start = nextRecital(h, *page);
    EXPECT_EQ(litLabels(*page), lit(0)) << "the voice starts after the lead-in";
    // Just before and after the starts of the 5th and the 8th characters.
    advanceTo(h, start, double(starts[4]) - 1);
    EXPECT_EQ(litLabels(*page), lit(4));
    advanceTo(h, start, double(starts[4]) + 1);
    EXPECT_EQ(litLabels(*page), lit(5));
    advanceTo(h, start, double(starts[7]) - 1);
    EXPECT_EQ(litLabels(*page), lit(7));
    advanceTo(h, start, double(starts[7]) + 1);
    EXPECT_EQ(litLabels(*page), lit(8));
    // The next recital of the verse is followed the same way.
    const long length = h.media.lengthOf(h.app.state.soundPath + "sd012.wav");
    expectFollowed(h, *page, nextRecital(h, *page), starts, length, "the second recital");
}

TEST(RecitalPage, ARunOfVersesFollowsEachVersesOwnTiming) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR);
    auto* page =
        openPage<learning::funFrm1>(h, "funFrm1", {.verse = 20, .func = 0, .mode = 2, .span = 2});
    ASSERT_NE(page, nullptr);
    const auto starts20 = generatedStarts(20), starts21 = generatedStarts(21);
    ASSERT_NE(starts20, starts21) << "two verses spoken alike could not tell the files apart";
    for (int verse : {20, 21, 20}) {
        const ui::Micros start = nextRecital(h, *page);
        EXPECT_NE(recitalPlays(h).back().file.find(verse == 20 ? "sd020" : "sd021"),
                  std::string::npos);
        char name[32];
        std::snprintf(name, sizeof name, "sd%03d.wav", verse);
        expectFollowed(h, *page, start, verse == 20 ? starts20 : starts21,
                       h.media.lengthOf(h.app.state.soundPath + name),
                       "verse " + std::to_string(verse));
    }
}

TEST(RecitalPage, WithoutItsTimingFileAVerseIsSpreadEvenlyAndThatIsToldOnce) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR);
    const std::string sound = ownSoundFolder(h);
    replaceFile(sound + "sd012.txt", "");
    testing::internal::CaptureStderr();
    auto* page = openPage<learning::funFrm1>(h, "funFrm1", {.verse = 12, .func = 1, .mode = 1});
    ASSERT_NE(page, nullptr);
    const long length = h.media.lengthOf(sound + "sd012.wav");
    ASSERT_GT(length, 3000);
    // Fifteen equal parts: seven characters, a pause, seven characters.
    const ui::Micros start = nextRecital(h, *page);
    advanceTo(h, start, 4.0 * double(length) / 15 - 1);
    EXPECT_EQ(litLabels(*page), lit(4));
    advanceTo(h, start, 4.0 * double(length) / 15 + 1);
    EXPECT_EQ(litLabels(*page), lit(5));
    advanceTo(h, start, 8.0 * double(length) / 15 - 1);
    EXPECT_EQ(litLabels(*page), lit(7));
    advanceTo(h, start, 8.0 * double(length) / 15 + 1);
    EXPECT_EQ(litLabels(*page), lit(8));
    expectFollowed(h, *page, nextRecital(h, *page), learning::evenCharStarts(length), length,
                   "the even spread");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("sd012.txt"), std::string::npos) << err;
}

// A recording put in place of the generated one, shorter than the timing
// file left beside it: the file does not fit, and the characters are spread
// evenly over the recording instead.
TEST(RecitalPage, ATimingFileThatDoesNotFitTheRecordingIsNotFollowed) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR);
    const auto starts = generatedStarts(12);
    h.media.setLength("sd012.wav", starts[13] - 100);
    testing::internal::CaptureStderr();
    auto* page = openPage<learning::funFrm1>(h, "funFrm1", {.verse = 12, .func = 1, .mode = 1});
    ASSERT_NE(page, nullptr);
    const long length = starts[13] - 100;
    expectFollowed(h, *page, nextRecital(h, *page), learning::evenCharStarts(length), length,
                   "a recording shorter than its timing");
    EXPECT_NE(testing::internal::GetCapturedStderr(), "");
}

namespace {

// Relative luminance of a colour on the screen (sRGB).
double luminance(ui::Color c) {
    auto channel = [](int v) {
        const double x = v / 255.0;
        return x <= 0.04045 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(ui::red(c)) + 0.7152 * channel(ui::green(c)) +
           0.0722 * channel(ui::blue(c));
}

} // namespace

TEST(RecitalPage, TheLitCharacterReadsWellOnEveryBackground) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR);
    auto* page = openPage<learning::funFrm1>(h, "funFrm1", {.verse = 1, .func = 1, .mode = 1});
    ASSERT_NE(page, nullptr);
    const int count = h.app.state.bgPicCount;
    ASSERT_GE(count, 2);
    std::set<int> seen;
    double worst = 100;
    for (int tick = 0; tick < 3000 && int(seen.size()) < count; ++tick) {
        h.runtime.advance(1000);
        if (!seen.insert(page->picIndex()).second)
            continue;
        // What lies behind the characters, the characters taken away.
        for (int i = 1; i <= 14; ++i)
            page->wordLbl[i].setCaption("");
        const ui::Picture& frame = h.runtime.frame();
        for (int i = 1; i <= 14; ++i) {
            const ui::Label& l = page->wordLbl[i];
            double sum = 0;
            for (int y = l.top(); y < l.top() + l.height(); ++y)
                for (int x = l.left(); x < l.left() + l.width(); ++x) {
                    const ui::Point p = h.at(*page, x, y);
                    sum += luminance(frame.pixel(p.x, p.y));
                }
            const double behind = sum / (l.width() * l.height());
            // The contrast ratio of the lit character against what is behind it.
            worst = std::min(worst, (luminance(learning::kSpoken) + 0.05) / (behind + 0.05));
        }
    }
    EXPECT_EQ(int(seen.size()), count) << "not every background was seen";
    EXPECT_GE(worst, 4.5);
}
