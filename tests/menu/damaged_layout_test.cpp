// A damaged layout file: a box placed partly off the menu is named once and
// clipped to the menu, never drawn over the black around the screen.
#include "menu_host.h"

#include <gtest/gtest.h>

TEST(MenuLayout, ABoxOutsideTheMenuIsNamedAndClippedToIt) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR, {800, 600});
    auto lines = core::readLines(h.folder() + "data/pos_size.txt");
    ASSERT_TRUE(lines && lines->size() > 2);
    (*lines)[1] = "600 450  66  44" + (*lines)[1].substr(15);
    ASSERT_TRUE(core::writeLines(h.folder() + "data/pos_size.txt", *lines));
    testing::internal::CaptureStderr();
    h.start();
    h.runtime.advance(1000);
    const std::string err = testing::internal::GetCapturedStderr();
    auto* m = h.find<menu::menuFrm>();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->textTxt[0].rect(), (ui::Rect{600, 450, 66, 44}));
    EXPECT_NE(
        err.find("data/pos_size.txt line 2: 600 450 66 44 reaches outside the 640 x 480 menu"),
        std::string::npos)
        << err;

    // The menu sits at (80, 60) on the 800 x 600 desktop: the box shows up
    // to the menu's edge and the black beyond it stays black.
    const gfx::Picture& frame = h.runtime.frame();
    ASSERT_EQ(frame.width(), 800);
    EXPECT_EQ(frame.pixel(80 + 620, 60 + 470), gfx::rgb(255, 255, 255));
    for (const ui::Point p : {ui::Point{80 + 650, 60 + 470}, ui::Point{80 + 620, 60 + 485},
                              ui::Point{80 + 660, 60 + 490}})
        EXPECT_EQ(frame.pixel(p.x, p.y), 0u) << p.x << "," << p.y;
}
