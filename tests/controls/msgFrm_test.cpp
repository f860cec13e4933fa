// The message dialog over a running program, answered by a click while the
// caller polls.
#include "app/Host.h"
#include "controls/msgFrm.h"
#include "resources/Resources.h"
#include "ui/Runtime.h"

#include <gtest/gtest.h>

using controls::msgFrm;

namespace {

ui::Point centre(const ui::Control& c) {
    return {c.form().left() + c.left() + c.width() / 2, c.form().top() + c.top() + c.height() / 2};
}

// The caller's side: poll until answered, with a click on `button` 300 ms in.
std::int16_t answer(app::HeadlessHost& h, msgFrm& dlg, int button) {
    const ui::Point p = centre(dlg.btnMyBtn[button]);
    h.runtime.at(h.runtime.now() + 300000, [&h, p] { h.runtime.click(p); });
    const ui::Micros start = h.runtime.now();
    int looks = 0;
    while (dlg.ReturnCode == -1 && looks < 10000) {
        h.runtime.yieldWait();
        ++looks;
    }
    // The wait slept between events rather than spinning.
    EXPECT_LT(looks, 100);
    EXPECT_GE(h.runtime.now() - start, 300000);
    return dlg.ReturnCode;
}

} // namespace

TEST(MessageDialog, ShowsItsMessageCentredAndOnTop) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR, {1024, 768});
    h.start();
    msgFrm* dlg = msgFrm::open(h.app, 2);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->rect(), (ui::Rect{392, 334, 240, 100}));
    EXPECT_EQ(dlg->msgImg.picture(), resources::resourceBitmap("LABEL02"));
    EXPECT_EQ(dlg->btnMyBtn[1].rect(), (ui::Rect{128, 53, 82, 36}));
    EXPECT_TRUE(dlg->topmost());
    // The screen behind coming forward does not cover it.
    for (ui::Form* f : h.runtime.forms())
        if (f != dlg)
            f->bringToFront();
    EXPECT_EQ(h.runtime.forms().back(), dlg);
    EXPECT_EQ(h.runtime.activeForm(), dlg);
}

TEST(MessageDialog, SecondButtonAnswersNoWithThePressSound) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR);
    h.start();
    msgFrm* dlg = msgFrm::open(h.app, 1);
    h.media.clearLog();
    EXPECT_EQ(answer(h, *dlg, 1), 0);
    EXPECT_TRUE(dlg->unloading());
    h.runtime.advance(50);
    const auto played = h.media.played();
    ASSERT_FALSE(played.empty());
    EXPECT_EQ(played.front(), "press.wav");
    for (ui::Form* f : h.runtime.forms())
        EXPECT_EQ(dynamic_cast<msgFrm*>(f), nullptr) << "the dialog is gone";
}

TEST(MessageDialog, FirstButtonAnswersYes) {
    app::HeadlessHost h(SHIZI_MEDIA_DIR);
    h.start();
    msgFrm* dlg = msgFrm::open(h.app, 3);
    EXPECT_EQ(dlg->msgImg.picture(), resources::resourceBitmap("LABEL03"));
    EXPECT_EQ(answer(h, *dlg, 0), 1);
}
