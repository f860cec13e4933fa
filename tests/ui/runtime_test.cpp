// The event loop: timers, unloading, input routing, capture and focus.
#include "gfx/Keys.h"
#include "platform/Headless.h"
#include "ui/ControlArray.h"
#include "ui/Controls.h"
#include "ui/Runtime.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace ui;

namespace {

// Every character is an 8 x 12 block of ink.
class BlockFonts final : public platform::FontEngine {
  public:
    AlphaMask render(const platform::FontSpec&, std::string_view s) override {
        const Size z = measure({}, s);
        return {z.w, z.h, std::vector<std::uint8_t>(std::size_t(z.w) * z.h, 255)};
    }
    Size measure(const platform::FontSpec&, std::string_view s) override {
        int n = 0;
        for (char c : s)
            n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        return {8 * n, 12};
    }
    int lineHeight(const platform::FontSpec&) override { return 12; }
};

class NoImages final : public platform::ImageLoader {
  public:
    std::optional<Picture> load(const std::string&) override { return std::nullopt; }
};

struct Loop : ::testing::Test {
    platform::HeadlessDisplay display{{800, 600}};
    ManualClock clock;
    BlockFonts fonts;
    NoImages images;
    Runtime rt{display, clock, fonts, images};
};

struct Screen : Form {
    explicit Screen(Runtime& rt) : Form(rt) {
        move(80, 60, 640, 480);
        setBackColor(rgb(10, 20, 30));
    }
    std::vector<std::string> log;
    void Form_Load() override { show(); }
    void Form_Activate() override { log.push_back("activate"); }
    void Form_Click() override { log.push_back("click"); }
    void Form_KeyDown(int& k, int) override {
        log.push_back("key " + std::to_string(k));
        if (k == key::F1)
            k = 0;
    }
    void Form_Unload() override { log.push_back("unload"); }
};

struct Area : Control {
    using Control::Control;
    void paint(Picture& t, Point o) override {
        t.fillRect({o.x, o.y, width(), height()}, rgb(255, 0, 0));
    }
};

} // namespace

TEST_F(Loop, TimersFireInOrderNoFasterThan64ASecondAndNeverCatchUp) {
    auto& f = rt.load(std::make_unique<Screen>(rt));
    std::vector<std::pair<char, Micros>> fired;
    Timer fast(f, 1, true), slow(f, 50, true);
    fast.onTimer = [&] { fired.push_back({'f', clock.now()}); };
    slow.onTimer = [&] { fired.push_back({'s', clock.now()}); };
    rt.advance(100);
    // 1 ms is held to one tick of 15.625 ms: six ticks in 100 ms, interleaved with 50 ms.
    std::vector<std::pair<char, Micros>> want{{'f', 15625}, {'f', 31250}, {'f', 46875},
                                              {'s', 50000}, {'f', 62500}, {'f', 78125},
                                              {'f', 93750}, {'s', 100000}};
    EXPECT_EQ(fired, want);

    // A timer late by many periods fires once, then keeps its period from now.
    fired.clear();
    slow.stop();
    clock.advanceTo(clock.now() + 1000000);
    rt.yield();
    ASSERT_EQ(fired.size(), 1u);
    rt.advance(15.625);
    EXPECT_EQ(fired.size(), 2u);
}

TEST_F(Loop, StoppedOrZeroIntervalTimersNeverFire) {
    auto& f = rt.load(std::make_unique<Screen>(rt));
    int n = 0;
    Timer zero(f, 0, true), off(f, 10, false);
    zero.onTimer = off.onTimer = [&] { ++n; };
    rt.advance(1000);
    EXPECT_EQ(n, 0);
    off.start();
    rt.advance(16);
    off.stop();
    rt.advance(1000);
    EXPECT_EQ(n, 1);
}

namespace {
struct TimedScreen : Screen {
    explicit TimedScreen(Runtime& rt) : Screen(rt) {}
    Timer tick{*this, 20, true};
};
} // namespace

TEST_F(Loop, UnloadStopsTimersAtOnceAndDestroysAfterTheHandler) {
    auto& f = rt.load(std::make_unique<TimedScreen>(rt));
    auto& next = rt.load(std::make_unique<Screen>(rt));
    int ticks = 0;
    bool aliveInHandler = false;
    f.tick.onTimer = [&] {
        ++ticks;
        f.unload();
        // Still safe to touch the form inside the handler that unloaded it.
        aliveInHandler = f.unloading() && f.log.back() == "unload" && !f.tick.enabled();
    };
    rt.advance(100);
    EXPECT_EQ(ticks, 1);
    EXPECT_TRUE(aliveInHandler);
    ASSERT_EQ(rt.forms().size(), 1u);
    EXPECT_EQ(rt.forms()[0], &next);
}

TEST_F(Loop, LoadingTheNextScreenThenUnloadingActivatesTheNextOnce) {
    auto& a = rt.load(std::make_unique<Screen>(rt));
    rt.advance(0);
    EXPECT_EQ(a.log, (std::vector<std::string>{"activate"}));
    auto& b = rt.load(std::make_unique<Screen>(rt));
    a.unload();
    rt.advance(0);
    EXPECT_EQ(b.log, (std::vector<std::string>{"activate"}));
    EXPECT_EQ(rt.activeForm(), &b);
}

TEST_F(Loop, ClicksReachTheTopmostControlAndTheFormElsewhere) {
    auto& f = rt.load(std::make_unique<Screen>(rt));
    Area under(f), over(f);
    under.move(10, 10, 100, 100);
    over.move(50, 50, 100, 100);
    std::vector<std::string> got;
    under.onClick = [&] { got.push_back("under"); };
    over.onClick = [&] { got.push_back("over"); };
    rt.click({80 + 60, 60 + 60}); // both: the later control is on top
    rt.click({80 + 20, 60 + 20});
    over.zOrder(1); // to the back
    rt.click({80 + 60, 60 + 60});
    rt.click({80 + 300, 60 + 300});
    EXPECT_EQ(got, (std::vector<std::string>{"over", "under", "under"}));
    EXPECT_EQ(f.log.back(), "click");
    // Hidden controls let the click through.
    under.setVisible(false);
    got.clear();
    rt.click({80 + 20, 60 + 20});
    EXPECT_TRUE(got.empty());
}

TEST_F(Loop, APressKeepsTheMouseUntilReleaseAndLeavingGivesNoClick) {
    auto& f = rt.load(std::make_unique<Screen>(rt));
    Area a(f);
    a.move(0, 0, 50, 50);
    std::vector<std::string> got;
    a.onMouseMove = [&](int, int, int x, int y) {
        got.push_back("move " + std::to_string(x) + "," + std::to_string(y));
    };
    a.onMouseUp = [&](int, int, int x, int) { got.push_back("up " + std::to_string(x)); };
    a.onClick = [&] { got.push_back("click"); };
    rt.mouseDown({80 + 10, 60 + 10});
    EXPECT_EQ(rt.capture(), &a);
    rt.mouseMove({80 + 200, 60 + 10}, 1);
    rt.mouseUp({80 + 200, 60 + 10});
    EXPECT_EQ(got, (std::vector<std::string>{"move 200,10", "up 200"}));
    EXPECT_EQ(rt.capture(), nullptr);

    // Releasing the capture in the middle sends the release elsewhere.
    got.clear();
    a.onMouseMove = [&](int, int, int, int) { rt.releaseCapture(); };
    rt.mouseDown({80 + 10, 60 + 10});
    rt.mouseMove({80 + 200, 60 + 10}, 1);
    rt.mouseUp({80 + 200, 60 + 10});
    EXPECT_TRUE(got.empty());
}

TEST_F(Loop, KeyPreviewSeesKeysFirstAndCanSwallowThem) {
    auto& f = rt.load(std::make_unique<Screen>(rt));
    TextBox box(f);
    box.move(0, 0, 100, 30);
    int changes = 0;
    box.onChange = [&] { ++changes; };
    rt.click({80 + 5, 60 + 5});
    EXPECT_EQ(f.focus(), &box);
    rt.typeText("1");
    rt.typeText("2");
    rt.keyDown(key::Backspace);
    EXPECT_EQ(box.text(), "1");
    EXPECT_EQ(changes, 3);
    EXPECT_TRUE(f.log.empty() || f.log.back() == "activate"); // no preview: the box had the keys
    f.keyPreview = true;
    rt.keyDown(key::F1);
    rt.keyDown(key::Backspace);
    EXPECT_EQ(box.text(), "");
    EXPECT_EQ(f.log.back(), "key 8");
    // A programmatic change raises Change too; the same text does not.
    box.setText("140");
    box.setText("140");
    EXPECT_EQ(changes, 5);
}

TEST_F(Loop, ControlArrayMembersAreHiddenCopiesThatReportTheirIndex) {
    auto& f = rt.load(std::make_unique<Screen>(rt));
    ControlArray<Label> labels(f);
    labels[0].move(0, 0, 40, 20);
    labels[0].foreColor = rgb(1, 2, 3);
    std::vector<int> clicked;
    labels.onClick = [&](int i) { clicked.push_back(i); };
    Label& third = labels.load(3);
    EXPECT_FALSE(third.visible());
    EXPECT_EQ(third.foreColor, rgb(1, 2, 3));
    third.move(100, 0);
    third.setVisible(true);
    rt.click({80 + 105, 60 + 5});
    rt.click({80 + 5, 60 + 5});
    EXPECT_EQ(clicked, (std::vector<int>{3, 0}));
    const std::size_t before = f.controls().size();
    labels.unloadAll();
    EXPECT_EQ(f.controls().size(), before - 1);
}

TEST_F(Loop, ScrollBarArrowsTrackAndThumb) {
    auto& f = rt.load(std::make_unique<Screen>(rt));
    HScrollBar bar(f);
    bar.move(0, 0, 200, 20);
    bar.min = 1;
    bar.max = 10;
    bar.smallChange = 1;
    bar.largeChange = 3;
    bar.setValue(1);
    int changes = 0;
    bar.onChange = [&] { ++changes; };
    rt.click({80 + 195, 60 + 10}); // right arrow
    EXPECT_EQ(bar.value(), 2);
    rt.click({80 + 150, 60 + 10}); // track right of the thumb
    EXPECT_EQ(bar.value(), 5);
    rt.click({80 + 5, 60 + 10}); // left arrow
    EXPECT_EQ(bar.value(), 4);
    bar.setValue(99);
    EXPECT_EQ(bar.value(), 10);
    EXPECT_EQ(changes, 4);
    // Dragging the thumb to the left end.
    const int thumbX = 200 - 20 - 20 + 5;
    rt.mouseDown({80 + thumbX, 60 + 10});
    rt.mouseMove({80 + 0, 60 + 10}, 1);
    rt.mouseUp({80 + 0, 60 + 10});
    EXPECT_EQ(bar.value(), 1);
    EXPECT_EQ(changes, 5);
}

TEST_F(Loop, FramesComposeFormsOnBlackAndOnlyWhenSomethingChanged) {
    auto& f = rt.load(std::make_unique<Screen>(rt));
    Area a(f);
    a.move(0, 0, 10, 10);
    const Picture& frame = rt.frame();
    EXPECT_EQ(frame.size(), (Size{800, 600}));
    EXPECT_EQ(frame.pixel(0, 0), 0u);
    EXPECT_EQ(frame.pixel(80, 60), rgb(255, 0, 0));
    EXPECT_EQ(frame.pixel(200, 200), rgb(10, 20, 30));
    const int presents = display.presentCount();
    rt.frame();
    EXPECT_EQ(display.presentCount(), presents);
    a.setVisible(false);
    EXPECT_EQ(rt.frame().pixel(80, 60), rgb(10, 20, 30));
}

TEST_F(Loop, OnlyTheChangedRectangleIsComposedAndShown) {
    auto& f = rt.load(std::make_unique<Screen>(rt));
    Area a(f);
    a.move(5, 5, 10, 10);
    rt.frame();
    // A control that changes shows its own rectangle, not its form's.
    a.setVisible(false);
    const Picture& frame = rt.frame();
    EXPECT_EQ(display.lastRegion(), (Rect{85, 65, 10, 10}));
    EXPECT_EQ(frame.pixel(85, 65), rgb(10, 20, 30));
    // A drawing on the form shows the part the form says changed, and the
    // frame is exactly what composing everything would give.
    f.surface().fillRect({100, 100, 3, 3}, rgb(0, 255, 0));
    f.surface().fillRect({300, 300, 3, 3}, rgb(0, 0, 255)); // drawn, but not yet said
    f.invalidate({100, 100, 3, 3});
    rt.frame();
    EXPECT_EQ(display.lastRegion(), (Rect{180, 160, 3, 3}));
    EXPECT_EQ(display.lastFrame().pixel(181, 161), rgb(0, 255, 0));
    EXPECT_EQ(display.lastFrame().pixel(381, 361), rgb(10, 20, 30));
    rt.invalidate();
    EXPECT_EQ(rt.frame().pixel(381, 361), rgb(0, 0, 255));
    // Nothing changed, nothing shown.
    const int presents = display.presentCount();
    rt.paintNow();
    EXPECT_EQ(display.presentCount(), presents);
}

TEST_F(Loop, YieldWaitMovesTheManualClockToTheNextDueThing) {
    auto& f = rt.load(std::make_unique<Screen>(rt));
    bool done = false;
    rt.at(clock.now() + 250000, [&] { done = true; });
    Timer t(f, 100, true);
    int ticks = 0;
    t.onTimer = [&] { ++ticks; };
    int rounds = 0;
    while (!done && rounds < 100) {
        rt.yieldWait();
        ++rounds;
    }
    EXPECT_TRUE(done);
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(clock.now(), 250000);
}

TEST_F(Loop, SleepBlocksTimers) {
    auto& f = rt.load(std::make_unique<Screen>(rt));
    Timer t(f, 100, true);
    int ticks = 0;
    t.onTimer = [&] { ++ticks; };
    rt.sleep(1000);
    EXPECT_EQ(ticks, 0);
    rt.yield();
    EXPECT_EQ(ticks, 1); // late: once, no catching up
}
