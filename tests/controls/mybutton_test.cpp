// The picture button on a plain form, driven by the pointer.
#include "app/Host.h"
#include "controls/mybutton.h"
#include "resources/Resources.h"
#include "ui/Controls.h"
#include "ui/Runtime.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using controls::mybutton;

namespace {

struct ButtonForm : ui::Form {
    explicit ButtonForm(ui::Runtime& rt) : ui::Form(rt), button(*this), other(*this) {
        other.move(200, 10, 40, 40);
        button.move(10, 10, 82, 36);
        button.onMouseclick = [this] { events.push_back("click"); };
        button.onMouseover = [this] { events.push_back("over"); };
        button.onMouseleave = [this] { events.push_back("leave"); };
    }
    void Form_Load() override {
        move(0, 0, 640, 480);
        show();
    }
    mybutton button;
    ui::Image other;
    std::vector<std::string> events;
};

struct ButtonHost : app::HeadlessHost {
    ButtonHost() : app::HeadlessHost(SHIZI_MEDIA_DIR) {
        form = &runtime.load(std::make_unique<ButtonForm>(runtime));
        runtime.advance(0);
    }
    ButtonForm* form = nullptr;
    mybutton& button() { return form->button; }
};

// Frame `i` of a strip of four.
ui::Picture frame(const ui::Picture& strip, int i) {
    const int w = strip.width() / 4;
    ui::Picture f(w, strip.height());
    f.blit(strip, {w * i, 0, w, strip.height()}, {0, 0});
    return f;
}

} // namespace

TEST(ResourceBitmaps, AreBuiltIn) {
    for (const char* name :
         {"MAINBUTN1", "MAINBUTN4", "BUTN01", "BUTN02", "DLGBOX", "LABEL01", "LABEL03", "BACK"})
        EXPECT_FALSE(resources::resourceBitmap(name).empty()) << name;
    EXPECT_EQ(resources::resourceBitmap("MAINBUTN2").size(), (ui::Size{360, 75}));
    EXPECT_EQ(resources::resourceBitmap("BUTN02").size(), (ui::Size{328, 36}));
    EXPECT_TRUE(resources::resourceBitmap("NOSUCH").empty());
    EXPECT_TRUE(resources::resourceBitmap("").empty());
}

TEST(MyButton, ShowsOneFrameOfTheStripPerState) {
    ButtonHost h;
    mybutton& b = h.button();
    const ui::Picture strip = resources::resourceBitmap("BUTN01");
    b.setPicture(strip);
    EXPECT_EQ(b.width(), 82);
    EXPECT_EQ(b.height(), 36);
    EXPECT_EQ(b.pwidth(), 82);
    EXPECT_EQ(b.pheight(), 36);
    EXPECT_EQ(b.face(), frame(strip, 0)) << "an empty caption draws nothing";

    h.runtime.mouseMove({20, 20});
    EXPECT_EQ(b.state(), mybutton::Over);
    EXPECT_EQ(b.face(), frame(strip, 1));
    h.runtime.mouseDown({20, 20});
    EXPECT_EQ(b.face(), frame(strip, 2));
    h.runtime.mouseUp({20, 20});
    EXPECT_EQ(b.face(), frame(strip, 1)) << "released over the button";
    EXPECT_EQ(h.form->events, (std::vector<std::string>{"over", "click"}));

    // The frame also reaches the screen.
    const ui::Picture& screen = h.runtime.frame();
    EXPECT_EQ(screen.pixel(10 + 5, 10 + 5), strip.pixel(82 + 5, 5));
}

TEST(MyButton, APressThatLeavesGivesNoClick) {
    ButtonHost h;
    mybutton& b = h.button();
    b.setPicture(resources::resourceBitmap("BUTN01"));
    h.runtime.mouseMove({20, 20});
    h.runtime.mouseDown({20, 20});
    h.runtime.mouseMove({60, 100});
    EXPECT_EQ(b.state(), mybutton::Normal);
    EXPECT_EQ(h.runtime.capture(), nullptr);
    h.runtime.mouseUp({60, 100});
    EXPECT_EQ(h.form->events, (std::vector<std::string>{"over", "leave"}));

    // Leaving after a click also shows the normal frame again.
    h.form->events.clear();
    h.runtime.click({30, 30});
    h.runtime.mouseMove({220, 20});
    EXPECT_EQ(h.form->events, (std::vector<std::string>{"over", "click", "leave"}));
    EXPECT_EQ(b.state(), mybutton::Normal);
    // The pointer is free for the other control.
    int otherClicks = 0;
    h.form->other.onClick = [&] { ++otherClicks; };
    h.runtime.click({220, 20});
    EXPECT_EQ(otherClicks, 1);
}

TEST(MyButton, DisabledShowsTheFourthFrameAndStillReportsARelease) {
    ButtonHost h;
    mybutton& b = h.button();
    const ui::Picture strip = resources::resourceBitmap("BUTN02");
    b.setPicture(strip);
    b.setEnabled(false);
    EXPECT_EQ(b.state(), mybutton::Disabled);
    EXPECT_EQ(b.face(), frame(strip, 3));
    h.runtime.mouseMove({20, 20});
    h.runtime.mouseDown({20, 20});
    EXPECT_EQ(b.face(), frame(strip, 3));
    h.runtime.mouseUp({20, 20});
    EXPECT_EQ(b.face(), frame(strip, 3));
    EXPECT_EQ(h.form->events, (std::vector<std::string>{"click"}));
    b.setEnabled(true);
    EXPECT_EQ(b.face(), frame(strip, 0));
}

TEST(MyButton, ToggleAlternatesOnEachPress) {
    ButtonHost h;
    mybutton& b = h.button();
    b.setPicture(resources::resourceBitmap("BUTN01"));
    b.setBtntype(1);
    h.runtime.click({20, 20});
    EXPECT_EQ(b.value(), 1);
    EXPECT_EQ(b.state(), mybutton::Pressed);
    h.runtime.mouseMove({300, 300});
    EXPECT_EQ(b.state(), mybutton::Pressed) << "a toggle ignores the pointer leaving";
    h.runtime.click({20, 20});
    EXPECT_EQ(b.value(), 0);
    EXPECT_EQ(b.state(), mybutton::Normal);
    b.setValue(1);
    EXPECT_EQ(b.state(), mybutton::Pressed);
}

TEST(MyButton, BoxModeWithOutlinedCaption) {
    ButtonHost h;
    mybutton& b = h.button();
    b.initProperties();
    b.move(10, 10, 100, 40);
    EXPECT_EQ(b.pwidth(), 100) << "a border makes a resize set the box size";
    EXPECT_EQ(b.pheight(), 40);
    const ui::Picture& face = b.face();
    ASSERT_EQ(face.size(), (ui::Size{100, 40}));
    EXPECT_EQ(face.pixel(0, 0), ui::rgb(0, 0, 0)) << "border";
    EXPECT_EQ(face.pixel(3, 3), ui::rgb(201, 224, 159)) << "normal box colour";
    // White text with a black outline in the middle (the thin strokes of the
    // face are blended, so near-white and near-black count).
    int white = 0, black = 0;
    for (int y = 2; y < 38; ++y)
        for (int x = 2; x < 98; ++x) {
            const ui::Color c = face.pixel(x, y);
            white += ui::red(c) > 230 && ui::blue(c) > 230;
            black += ui::red(c) < 60 && ui::green(c) < 60;
        }
    EXPECT_GT(white, 0);
    EXPECT_GT(black, 10);
    const ui::Picture captioned = face;
    b.setCaption("");
    int changed = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x)
            changed += b.face().pixel(x, y) != captioned.pixel(x, y);
    EXPECT_GT(changed, 100);
    h.runtime.mouseMove({15, 15});
    EXPECT_EQ(b.face().pixel(3, 3), ui::rgb(233, 244, 223)) << "mouse-over box colour";
}

TEST(MyButton, SavedPropertiesRoundTrip) {
    ButtonHost h;
    mybutton& b = h.button();
    controls::PropertyBag bag;
    b.writeProperties(bag);
    EXPECT_TRUE(bag.empty()) << "a button with the saved defaults writes nothing";

    b.initProperties();
    b.setBtntype(1);
    b.writeProperties(bag);
    EXPECT_EQ(std::get<std::string>(bag.at("caption")), "确  定");
    EXPECT_EQ(std::get<long>(bag.at("border")), 1);
    EXPECT_EQ(std::get<long>(bag.at("btntype")), 1);
    EXPECT_EQ(bag.count("forecolor"), 0u) << "white is the default";
    EXPECT_EQ(bag.count("Picture"), 0u);

    mybutton copy(*h.form);
    copy.readProperties(bag);
    EXPECT_EQ(copy.caption(), "确  定");
    EXPECT_TRUE(copy.border());
    EXPECT_EQ(copy.btntype(), 1);
    EXPECT_EQ(copy.pforecolor(), ui::rgb(201, 224, 159));
    EXPECT_EQ(copy.pbackcolor(), ui::rgb(233, 244, 223));

    // Missing keys take the saved defaults, whatever the button held.
    copy.readProperties({{"caption", std::string("好")}});
    EXPECT_EQ(copy.caption(), "好");
    EXPECT_FALSE(copy.border());
    EXPECT_EQ(copy.btntype(), 0);
    EXPECT_EQ(copy.pforecolor(), ui::rgb(255, 255, 255));
    EXPECT_TRUE(copy.Enabled());

    const auto& table = mybutton::savedDefaults();
    ASSERT_EQ(table.size(), 13u);
    EXPECT_STREQ(table.front().key, "Picture");
    EXPECT_STREQ(table.back().key, "pheight");
}
