#include "ui/Clock.h"

#include <chrono>

namespace ui {

namespace {

std::int64_t steadyMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

SteadyClock::SteadyClock() : origin_(steadyMicros()) {}

Micros SteadyClock::now() const {
    return steadyMicros() - origin_;
}

} // namespace ui
