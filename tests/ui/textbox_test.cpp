// The one-line text box as a user edits it: the caret and selection under
// the mouse and the keys, typing over a selection, Change after each edit,
// and what the box paints.
#include "gfx/Keys.h"
#include "platform/Headless.h"
#include "ui/Controls.h"
#include "ui/Runtime.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace ui;

namespace {

// Every character is 8 x 12 pixels with ink in its columns 2..5 only, so
// that both the ink and what lies behind it can be seen.
class StripeFonts final : public platform::FontEngine {
  public:
    AlphaMask render(const platform::FontSpec&, std::string_view s) override {
        const Size z = measure({}, s);
        AlphaMask m{z.w, z.h, std::vector<std::uint8_t>(std::size_t(z.w) * z.h, 0)};
        for (int y = 0; y < z.h; ++y)
            for (int x = 0; x < z.w; ++x)
                if (x % 8 >= 2 && x % 8 <= 5)
                    m.alpha[std::size_t(y) * z.w + x] = 255;
        return m;
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

struct Page : Form {
    explicit Page(Runtime& rt) : Form(rt) { move(80, 60, 640, 480); }
    void Form_Load() override { show(); }
};

constexpr Color kInk = rgb(50, 50, 50);
constexpr Color kPaper = rgb(255, 255, 255);
constexpr Color kHighlight = rgb(51, 153, 255);

// A left-aligned box at (0, 0) of a page at (80, 60) of the desktop. Its
// text starts 3 pixels in, so character boundary i lies at x = 3 + 8 i.
struct Box : ::testing::Test {
    platform::HeadlessDisplay display{{800, 600}};
    ManualClock clock;
    StripeFonts fonts;
    NoImages images;
    Runtime rt{display, clock, fonts, images};
    Page& page = rt.load(std::make_unique<Page>(rt));
    TextBox box{page};
    std::vector<std::string> changes;

    Box() {
        box.move(0, 0, 200, 30);
        box.border = false;
        box.foreColor = kInk;
        box.backColor = kPaper;
        box.onChange = [this] { changes.push_back(box.text()); };
    }
    static Point boundary(int i) { return {80 + 3 + 8 * i, 60 + 15}; }
    // Presses are kept apart in time unless a test wants a double click.
    void clickAt(int i) {
        rt.advance(1000);
        rt.click(boundary(i));
    }
    void press(int k, int shift = 0) {
        rt.keyDown(k, shift);
        rt.keyUp(k, shift);
    }
    void shiftClickAt(int i) {
        rt.advance(1000);
        display.inject({platform::InputEvent::Type::MouseDown,
                        boundary(i),
                        button::Left,
                        0,
                        shiftmask::Shift,
                        {}});
        display.inject({platform::InputEvent::Type::MouseUp,
                        boundary(i),
                        button::Left,
                        0,
                        shiftmask::Shift,
                        {}});
        rt.yield();
    }
    Color pixel(int x, int y) { return rt.frame().pixel(80 + x, 60 + y); }
    // The selection as text, for short assertions.
    std::string selected() const { return box.selText(); }
};

} // namespace

TEST_F(Box, TheClickThatBringsTheFocusSelectsAllSoTypingReplaces) {
    box.setText("140");
    changes.clear();
    clickAt(1);
    EXPECT_EQ(page.focus(), &box);
    EXPECT_EQ(selected(), "140");
    rt.typeText("8");
    rt.typeText("5");
    EXPECT_EQ(box.text(), "85");
    // One Change per key, each seeing the text after the edit.
    EXPECT_EQ(changes, (std::vector<std::string>{"8", "85"}));

    // Once the box has the focus, a click places the caret where it lands.
    clickAt(1);
    EXPECT_EQ(box.caret(), 1);
    EXPECT_EQ(box.selLength(), 0);
    rt.typeText("0");
    EXPECT_EQ(box.text(), "805");

    // Losing the focus and getting it back by a click selects all again.
    TextBox other(page);
    other.move(0, 100, 200, 30);
    rt.click({80 + 5, 60 + 110});
    EXPECT_EQ(page.focus(), &other);
    clickAt(2);
    EXPECT_EQ(selected(), "805");
}

TEST_F(Box, ClicksPlaceTheCaretAtTheNearestBoundary) {
    box.setText("12345");
    clickAt(0); // brings the focus
    for (int i : {0, 3, 5}) {
        clickAt(i);
        EXPECT_EQ(box.caret(), i);
    }
    // Three pixels past boundary 2 is still nearer to it than to 3.
    rt.advance(1000);
    rt.click({boundary(2).x + 3, boundary(2).y});
    EXPECT_EQ(box.caret(), 2);
    // Beyond the text the caret goes to its end.
    rt.advance(1000);
    rt.click({80 + 150, 60 + 15});
    EXPECT_EQ(box.caret(), 5);

    // Shift with a click extends the selection from the caret.
    clickAt(1);
    shiftClickAt(4);
    EXPECT_EQ(selected(), "234");
}

TEST_F(Box, DraggingSelectsFromThePressEvenOnTheFocusingClick) {
    box.setText("12345");
    // The focusing press keeps the whole text until the pointer moves on.
    rt.mouseDown(boundary(1));
    EXPECT_EQ(selected(), "12345");
    rt.mouseMove(boundary(1), button::Left);
    EXPECT_EQ(selected(), "12345");
    rt.mouseMove(boundary(3), button::Left);
    EXPECT_EQ(selected(), "23");
    rt.mouseUp(boundary(3));

    // Dragging leftwards leaves the caret at the left end, outside the box too.
    rt.advance(1000);
    rt.mouseDown(boundary(4));
    rt.mouseMove({80 - 40, 60 + 15}, button::Left);
    rt.mouseUp({80 - 40, 60 + 15});
    EXPECT_EQ(selected(), "1234");
    EXPECT_EQ(box.caret(), 0);
    // A move without the button pressed selects nothing more.
    rt.mouseMove(boundary(5));
    EXPECT_EQ(selected(), "1234");
    rt.typeText("9");
    EXPECT_EQ(box.text(), "95");
}

TEST_F(Box, ADoubleClickSelectsAll) {
    box.setText("12345");
    clickAt(2);
    clickAt(2);
    ASSERT_EQ(box.selLength(), 0);
    rt.advance(300);
    rt.click(boundary(2));
    EXPECT_EQ(selected(), "12345");
    // A third quick press is a new click, and slow presses are two clicks.
    rt.advance(100);
    rt.click(boundary(2));
    EXPECT_EQ(box.selLength(), 0);
    rt.advance(600);
    rt.click(boundary(2));
    EXPECT_EQ(box.selLength(), 0);
    // Presses far apart are two clicks however quick.
    rt.advance(100);
    rt.click(boundary(4));
    EXPECT_EQ(box.selLength(), 0);
    EXPECT_EQ(box.caret(), 4);
}

TEST_F(Box, ShiftWithArrowsHomeAndEndExtendsTheSelection) {
    box.setText("12345");
    clickAt(0);
    clickAt(3);
    press(key::Left, shiftmask::Shift);
    EXPECT_EQ(selected(), "3");
    press(key::Home, shiftmask::Shift);
    EXPECT_EQ(selected(), "123");
    EXPECT_EQ(box.caret(), 0);
    // The anchor stays where the selection began.
    press(key::End, shiftmask::Shift);
    EXPECT_EQ(selected(), "45");
    press(key::Left, shiftmask::Shift);
    press(key::Left, shiftmask::Shift);
    EXPECT_EQ(box.selLength(), 0);
    press(key::Left, shiftmask::Shift);
    EXPECT_EQ(selected(), "3");
    press(key::Right, shiftmask::Shift);
    press(key::Right, shiftmask::Shift);
    EXPECT_EQ(selected(), "4");

    // Without shift an arrow collapses the selection to its side.
    press(key::Home, shiftmask::Shift);
    press(key::Right);
    EXPECT_EQ(box.selLength(), 0);
    EXPECT_EQ(box.caret(), 3);
    press(key::End, shiftmask::Shift);
    press(key::Left);
    EXPECT_EQ(box.caret(), 3);
    // And moves one character when nothing is selected; ends hold.
    press(key::Home);
    press(key::Left);
    EXPECT_EQ(box.caret(), 0);
    press(key::End);
    press(key::Right);
    EXPECT_EQ(box.caret(), 5);
    EXPECT_EQ(changes.size(), 1u) << "moving never changes the text";
}

TEST_F(Box, CtrlASelectsAllAndOnlyWithCtrl) {
    box.setText("77");
    clickAt(0);
    clickAt(2);
    press(key::A);
    EXPECT_EQ(box.selLength(), 0);
    press(key::A, shiftmask::Ctrl | shiftmask::Alt);
    EXPECT_EQ(box.selLength(), 0);
    press(key::A, shiftmask::Ctrl);
    EXPECT_EQ(selected(), "77");
    rt.typeText("3");
    EXPECT_EQ(box.text(), "3");
}

TEST_F(Box, DeletingASelectionOrOneCharacter) {
    box.setText("123456");
    clickAt(0);
    clickAt(4);
    press(key::Left, shiftmask::Shift);
    press(key::Left, shiftmask::Shift);
    press(key::Backspace);
    EXPECT_EQ(box.text(), "1256");
    EXPECT_EQ(box.caret(), 2);
    press(key::Right, shiftmask::Shift);
    press(key::Delete);
    EXPECT_EQ(box.text(), "126");
    press(key::Backspace);
    press(key::Delete);
    EXPECT_EQ(box.text(), "1");
    EXPECT_EQ(box.caret(), 1);
    changes.clear();
    // Nothing to delete: no Change.
    press(key::Delete);
    press(key::Home);
    press(key::Backspace);
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(box.text(), "1");
}

TEST_F(Box, EditsCountCharactersNotBytes) {
    box.setText("一二三");
    clickAt(0);
    press(key::End);
    press(key::Left, shiftmask::Shift);
    EXPECT_EQ(selected(), "三");
    rt.typeText("四五");
    EXPECT_EQ(box.text(), "一二四五");
    EXPECT_EQ(box.caret(), 4);
    press(key::Home);
    press(key::Delete);
    EXPECT_EQ(box.text(), "二四五");
    clickAt(2);
    press(key::Backspace);
    EXPECT_EQ(box.text(), "二五");
}

TEST_F(Box, ACorrectionMadeInChangeIsSelectedSoTheNextKeyReplacesIt) {
    // The rule of a number box: it never stands empty.
    box.onChange = [this] {
        changes.push_back(box.text());
        if (box.text().empty())
            box.setText("1");
    };
    box.setText("5");
    EXPECT_EQ(box.selLength(), 0) << "a text set from outside puts the caret at the end";
    EXPECT_EQ(box.caret(), 1);
    clickAt(0);
    clickAt(1);
    changes.clear();
    press(key::Backspace);
    EXPECT_EQ(changes, (std::vector<std::string>{"", "1"}));
    EXPECT_EQ(selected(), "1");
    rt.typeText("8");
    rt.typeText("5");
    EXPECT_EQ(box.text(), "85");

    // Typing the same text over a selection moves the caret, with no Change.
    press(key::A, shiftmask::Ctrl);
    changes.clear();
    rt.typeText("85");
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(box.caret(), 2);
    EXPECT_EQ(box.selLength(), 0);
}

TEST_F(Box, ControlCharactersAndADisabledBoxTypeNothing) {
    box.setText("12");
    clickAt(0);
    changes.clear();
    rt.typeText("\x01\t");
    EXPECT_EQ(box.text(), "12");
    EXPECT_EQ(selected(), "12");
    box.setEnabled(false);
    box.textInput("9");
    EXPECT_EQ(box.text(), "12");
    EXPECT_TRUE(changes.empty());
}

TEST_F(Box, TheSelectionIsPaintedOnlyWhileTheBoxHasTheFocus) {
    box.setText("123");
    // Column 0 of a character is behind the ink, column 3 is ink.
    auto back = [&](int i) { return pixel(3 + 8 * i, 15); };
    auto ink = [&](int i) { return pixel(3 + 8 * i + 3, 15); };
    EXPECT_EQ(back(1), kPaper);
    EXPECT_EQ(ink(1), kInk);

    clickAt(0);
    clickAt(1);
    press(key::Right, shiftmask::Shift);
    ASSERT_EQ(selected(), "2");
    EXPECT_EQ(back(0), kPaper);
    EXPECT_EQ(ink(0), kInk);
    EXPECT_EQ(back(1), kHighlight);
    EXPECT_EQ(ink(1), kPaper) << "selected text is drawn light on the highlight";
    EXPECT_EQ(back(2), kPaper);
    EXPECT_EQ(ink(2), kInk);
    // No caret line in the middle of a selection.
    EXPECT_EQ(pixel(3 + 8 * 2, 15), kPaper);

    // Collapsed, the selection gives way to the caret line.
    press(key::Right);
    EXPECT_EQ(back(1), kPaper);
    EXPECT_EQ(pixel(3 + 8 * 2, 15), kInk);

    // Another box taking the focus takes the selection's paint with it.
    press(key::A, shiftmask::Ctrl);
    EXPECT_EQ(back(0), kHighlight);
    TextBox other(page);
    other.move(0, 100, 200, 30);
    rt.click({80 + 5, 60 + 110});
    EXPECT_EQ(back(0), kPaper);
    EXPECT_EQ(ink(0), kInk);
}
