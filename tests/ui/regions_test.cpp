// Only what changed goes to the window: separate changes are shown as
// separate regions, overlapping ones as one, many as one around them all.
#include "platform/Platform.h"
#include "ui/Runtime.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

using namespace ui;

namespace {

class RecordingDisplay final : public platform::Display {
  public:
    Size desktopSize() const override { return {640, 480}; }
    void present(const Picture&) override { ++wholes; }
    void presentRegions(const Picture&, const std::vector<Rect>& changed) override {
        shown.push_back(changed);
    }
    void setCursor(const Cursor&) override {}
    bool waitEvent(platform::InputEvent&, int) override { return false; }
    void wake() override {}
    Point pointerPosition() const override { return {}; }

    int wholes = 0;
    std::vector<std::vector<Rect>> shown;
};

class NoFonts final : public platform::FontEngine {
  public:
    AlphaMask render(const platform::FontSpec&, std::string_view) override { return {}; }
    Size measure(const platform::FontSpec&, std::string_view) override { return {}; }
    int lineHeight(const platform::FontSpec&) override { return 12; }
};

class NoImages final : public platform::ImageLoader {
  public:
    std::optional<Picture> load(const std::string&) override { return std::nullopt; }
};

struct Regions : ::testing::Test {
    RecordingDisplay display;
    ManualClock clock;
    NoFonts fonts;
    NoImages images;
    Runtime rt{display, clock, fonts, images};

    void SetUp() override {
        rt.load(std::make_unique<Form>(rt)).show();
        rt.frame();
        ASSERT_EQ(display.wholes, 1);
        display.shown.clear();
    }
    std::vector<Rect> shownNow() {
        rt.frame();
        return display.shown.empty() ? std::vector<Rect>{} : display.shown.back();
    }
};

TEST_F(Regions, ChangesFarApartAreShownApart) {
    rt.invalidate(Rect{10, 10, 30, 30});
    rt.invalidate(Rect{500, 400, 30, 30});
    EXPECT_EQ(shownNow(), (std::vector<Rect>{{10, 10, 30, 30}, {500, 400, 30, 30}}));
    EXPECT_EQ(display.wholes, 1);
    // Nothing changed since: nothing is shown.
    const auto before = display.shown.size();
    rt.frame();
    EXPECT_EQ(display.shown.size(), before);
}

TEST_F(Regions, OverlappingAndTouchingChangesBecomeOne) {
    rt.invalidate(Rect{10, 10, 30, 30});
    rt.invalidate(Rect{100, 10, 30, 30});
    // Bridges the two: all three become one.
    rt.invalidate(Rect{30, 20, 70, 5});
    EXPECT_EQ(shownNow(), (std::vector<Rect>{{10, 10, 120, 30}}));
    rt.invalidate(Rect{0, 0, 10, 10});
    rt.invalidate(Rect{10, 0, 10, 10}); // touching at x = 10
    EXPECT_EQ(shownNow(), (std::vector<Rect>{{0, 0, 20, 10}}));
}

TEST_F(Regions, ManyChangesAreShownAsOneRectangleAroundThem) {
    for (int k = 0; k < 32; ++k)
        rt.invalidate(Rect{15 * k, 3 * k, 5, 5});
    EXPECT_EQ(shownNow().size(), 32u);
    for (int k = 0; k < 33; ++k)
        rt.invalidate(Rect{15 * k, 3 * k, 5, 5});
    EXPECT_EQ(shownNow(), (std::vector<Rect>{{0, 0, 15 * 32 + 5, 3 * 32 + 5}}));
}

TEST_F(Regions, AWholeRepaintWinsAndRegionsAreClippedToTheDesktop) {
    rt.invalidate(Rect{10, 10, 5, 5});
    rt.invalidate();
    rt.frame();
    EXPECT_EQ(display.wholes, 2);
    EXPECT_TRUE(display.shown.empty());
    rt.invalidate(Rect{630, 470, 30, 30});
    EXPECT_EQ(shownNow(), (std::vector<Rect>{{630, 470, 10, 10}}));
}

} // namespace
