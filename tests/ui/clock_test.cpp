#include "ui/Clock.h"

#include <gtest/gtest.h>

using namespace ui;

TEST(Clock, SteadyClockCountsMicrosecondsFromItsStart) {
    const SteadyClock c;
    const Micros a = c.now();
    EXPECT_GE(a, 0);
    EXPECT_LT(a, 1'000'000); // not nanoseconds, not time since boot
    Micros last = a;
    for (int i = 0; i < 1000; ++i) {
        const Micros t = c.now();
        EXPECT_GE(t, last);
        last = t;
    }
    EXPECT_FALSE(c.manual());
}
