// Only what changed goes to the window: separate changes are shown as
// separate regions, overlapping ones as one, many as one around them all.
#include "platform/Platform.h"
#include "ui/Controls.h"
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

Picture pattern(int w, int h, int seed) {
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.setPixel(x, y, rgb((x * 5 + seed * 40) & 255, (y * 3 + seed * 70) & 255, seed * 20));
    return p;
}

TEST_F(Regions, ARegionIsComposedAsTheWholeScreenWouldBeAndNothingOutsideItChanges) {
    // A front form over the back one, with a box that straddles the region
    // and one wholly inside it. Both boxes are redrawn without telling the
    // runtime, so whatever of them shows outside the region would be a
    // leak; inside it, the region must match a repaint of everything.
    Form& back = *rt.forms().front();
    back.surface().blit(pattern(640, 480, 1), {0, 0});
    Form& front = rt.load(std::make_unique<Form>(rt));
    front.move(100, 100, 200, 150);
    front.surface().blit(pattern(200, 150, 2), {0, 0});
    front.show();
    PictureBox straddling(front), inside(front);
    straddling.move(10, 10, 120, 60);
    inside.move(70, 40, 20, 20);
    straddling.setVisible(true);
    inside.setVisible(true);
    straddling.setPicture(pattern(120, 60, 3));
    inside.setPicture(pattern(20, 20, 4));
    rt.invalidate();
    const Picture before = rt.frame();

    straddling.surface().blit(pattern(120, 60, 5), {0, 0});
    inside.surface().blit(pattern(20, 20, 6), {0, 0});
    const Rect region{150, 120, 200, 40}; // across both forms and the straddling box
    rt.invalidate(region);
    const Picture stepped = rt.frame();
    rt.invalidate();
    const Picture whole = rt.frame();
    int leaks = 0, mismatches = 0;
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            if (region.contains({x, y}))
                mismatches += stepped.pixel(x, y) != whole.pixel(x, y);
            else
                leaks += stepped.pixel(x, y) != before.pixel(x, y);
        }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(leaks, 0);
    EXPECT_NE(before, whole) << "the boxes were redrawn";
}

// A picture shown in place of a form's surface is composed as the surface
// would be; asking for the surface takes the picture over, so drawing goes
// on where the picture left off, and cls ends it.
TEST_F(Regions, APictureShownInsteadOfTheSurfaceIsWhatTheSurfaceHoldsWhenAskedFor) {
    Form& f = *rt.forms().front();
    const Picture a = pattern(640, 480, 1), b = pattern(640, 480, 2);
    f.showInstead(a);
    rt.invalidate();
    EXPECT_EQ(rt.frame(), a);
    f.showInstead(b);
    f.invalidate(Rect{0, 0, 320, 480});
    const Picture half = rt.frame();
    EXPECT_EQ(half.pixel(10, 10), b.pixel(10, 10));
    EXPECT_EQ(half.pixel(400, 10), a.pixel(400, 10)) << "only what was invalidated is composed";

    f.surface().fillRect({5, 5, 10, 10}, rgb(0, 255, 0));
    EXPECT_EQ(f.surface().pixel(100, 100), b.pixel(100, 100));
    rt.invalidate();
    EXPECT_EQ(rt.frame().pixel(7, 7), rgb(0, 255, 0));
    EXPECT_EQ(rt.frame().pixel(100, 100), b.pixel(100, 100));

    // One smaller than the form is copied at once: it need not stay alive.
    {
        const Picture small = pattern(100, 100, 3);
        f.showInstead(small);
    }
    rt.invalidate();
    EXPECT_EQ(rt.frame().pixel(50, 50), pattern(100, 100, 3).pixel(50, 50));
    EXPECT_EQ(rt.frame().pixel(300, 300), b.pixel(300, 300));

    f.showInstead(a);
    f.setBackColor(rgb(0, 0, 255)); // clears the surface to the back colour
    rt.invalidate();
    EXPECT_EQ(rt.frame().pixel(300, 300), rgb(0, 0, 255));
}

} // namespace
