#include "platform/Headless.h"

namespace platform {

bool HeadlessDisplay::waitEvent(InputEvent& ev, int) {
    std::lock_guard lock(mutex_);
    if (events_.empty())
        return false;
    ev = std::move(events_.front());
    events_.pop_front();
    return true;
}

void HeadlessDisplay::inject(InputEvent ev) {
    std::lock_guard lock(mutex_);
    if (ev.type == InputEvent::Type::MouseMove || ev.type == InputEvent::Type::MouseDown ||
        ev.type == InputEvent::Type::MouseUp)
        pointer_ = ev.pos;
    events_.push_back(std::move(ev));
}

} // namespace platform
