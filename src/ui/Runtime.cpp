#include "ui/Runtime.h"

#include "gfx/Keys.h"
#include "ui/Controls.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace ui {

using platform::InputEvent;

namespace {
constexpr Micros kNever = INT64_MAX;
constexpr Micros kTooltipDelay = 600000;
constexpr std::size_t kMaxRegions = 32;

Rect united(const Rect& a, const Rect& b) {
    const int l = std::min(a.x, b.x), t = std::min(a.y, b.y);
    return {l, t, std::max(a.right(), b.right()) - l, std::max(a.bottom(), b.bottom()) - t};
}
} // namespace

Runtime::Runtime(platform::Display& display, Clock& clock, platform::FontEngine& fonts,
                 platform::ImageLoader& images)
    : display_(display), clock_(clock), fonts_(fonts), images_(images),
      frame_(0, 0, 0, display.frameMemory()) {}

Runtime::~Runtime() {
    // Forms go front to back; each one's destructor reports back here.
    ++depth_;
    auto dying = std::move(dying_);
    dying.clear();
    while (!forms_.empty()) {
        auto f = std::move(forms_.back());
        forms_.pop_back();
        f.reset();
    }
}

// ---- forms -------------------------------------------------------------------

void Runtime::adopt(std::unique_ptr<Form> f) {
    forms_.push_back(std::move(f));
    invalidate();
}

std::vector<Form*> Runtime::forms() const {
    std::vector<Form*> out;
    for (auto& f : forms_)
        if (!f->topmost())
            out.push_back(f.get());
    for (auto& f : forms_)
        if (f->topmost())
            out.push_back(f.get());
    return out;
}

Form* Runtime::activeForm() const {
    const auto fs = forms();
    for (auto it = fs.rbegin(); it != fs.rend(); ++it)
        if ((*it)->visible() && !(*it)->unloading())
            return *it;
    return nullptr;
}

void Runtime::raiseForm(Form* f) {
    auto it = std::find_if(forms_.begin(), forms_.end(), [f](auto& p) { return p.get() == f; });
    if (it != forms_.end()) {
        auto p = std::move(*it);
        forms_.erase(it);
        forms_.push_back(std::move(p));
    }
    invalidate();
}

void Runtime::lowerForm(Form* f) {
    auto it = std::find_if(forms_.begin(), forms_.end(), [f](auto& p) { return p.get() == f; });
    if (it != forms_.end()) {
        auto p = std::move(*it);
        forms_.erase(it);
        forms_.insert(forms_.begin(), std::move(p));
    }
    invalidate();
}

void Runtime::requestUnload(Form* f) {
    auto it = std::find_if(forms_.begin(), forms_.end(), [f](auto& p) { return p.get() == f; });
    if (it != forms_.end()) {
        dying_.push_back(std::move(*it));
        forms_.erase(it);
    }
    if (active_ == f)
        active_ = nullptr;
    if (capture_ && &capture_->form() == f)
        capture_ = nullptr;
    if (pressed_ && &pressed_->form() == f)
        pressed_ = nullptr;
    if (hover_ && &hover_->form() == f)
        hover_ = nullptr;
    if (pressedForm_ == f)
        pressedForm_ = nullptr;
    invalidate();
}

void Runtime::reapForms() {
    // Only at the outermost level: a handler of a dying form may still be
    // on the stack below a nested yield.
    if (depth_ > 0 || dying_.empty())
        return;
    auto dying = std::move(dying_);
    dying_.clear();
    dying.clear();
}

void Runtime::formDestroyed(Form* f) {
    if (active_ == f)
        active_ = nullptr;
    if (pressedForm_ == f)
        pressedForm_ = nullptr;
}

void Runtime::controlDestroyed(Control* c) {
    if (capture_ == c)
        capture_ = nullptr;
    if (pressed_ == c)
        pressed_ = nullptr;
    if (hover_ == c) {
        hover_ = nullptr;
        tooltipShown_ = false;
    }
}

void Runtime::activate() {
    Form* af = activeForm();
    if (af == active_)
        return;
    active_ = af;
    invalidate();
    if (af)
        af->Form_Activate();
}

Picture Runtime::loadPicture(const std::string& path) {
    if (path.empty())
        return {};
    auto p = images_.load(platform::nativePath(path));
    return p ? std::move(*p) : Picture{};
}

// ---- timers and callbacks ----------------------------------------------------------

void Runtime::addTimer(Timer* t) {
    timers_.push_back(t);
}

void Runtime::removeTimer(Timer* t) {
    timers_.erase(std::remove(timers_.begin(), timers_.end(), t), timers_.end());
}

int Runtime::at(Micros when, std::function<void()> fn) {
    const int id = nextId_++;
    scheduled_[id] = {when, std::move(fn)};
    return id;
}

void Runtime::cancel(int id) {
    scheduled_.erase(id);
}

void Runtime::post(std::function<void()> fn) {
    {
        std::lock_guard lock(postMutex_);
        posted_.push_back(std::move(fn));
    }
    display_.wake();
}

Micros Runtime::nextDue() const {
    Micros next = kNever;
    for (const Timer* t : timers_)
        if (t->enabled_ && t->interval_ > 0 && !t->running_)
            next = std::min(next, t->due_);
    for (const auto& [id, s] : scheduled_)
        next = std::min(next, s.when);
    return next;
}

bool Runtime::runPosted() {
    std::deque<std::function<void()>> work;
    {
        std::lock_guard lock(postMutex_);
        work.swap(posted_);
    }
    for (auto& fn : work)
        fn();
    return !work.empty();
}

bool Runtime::runDue() {
    // Everything due now runs once, in order of its due time; a timer that
    // comes due again meanwhile waits for the next round (no catching up).
    const Micros now = clock_.now();
    struct Item {
        Micros when;
        int order;
        Timer* timer;
        int id;
    };
    std::vector<Item> due;
    int order = 0;
    for (Timer* t : timers_)
        if (t->enabled_ && t->interval_ > 0 && !t->running_ && t->due_ <= now)
            due.push_back({t->due_, order++, t, 0});
    for (const auto& [id, s] : scheduled_)
        if (s.when <= now)
            due.push_back({s.when, order++, nullptr, id});
    std::stable_sort(due.begin(), due.end(),
                     [](const Item& a, const Item& b) { return a.when < b.when; });
    for (const Item& item : due) {
        if (item.timer) {
            // The timer may have died or been stopped by an earlier handler.
            if (std::find(timers_.begin(), timers_.end(), item.timer) == timers_.end())
                continue;
            Timer* t = item.timer;
            if (!t->enabled_ || t->due_ > now || t->form_->unloading())
                continue;
            const Micros period = std::max<Micros>(kTick, Micros(t->interval_) * 1000);
            t->due_ = t->due_ + period > now ? t->due_ + period : now + period;
            if (t->onTimer) {
                t->running_ = true;
                t->onTimer();
                // The handler may have destroyed the timer with its form.
                if (std::find(timers_.begin(), timers_.end(), t) != timers_.end())
                    t->running_ = false;
            }
        } else {
            auto it = scheduled_.find(item.id);
            if (it == scheduled_.end())
                continue;
            auto fn = std::move(it->second.fn);
            scheduled_.erase(it);
            if (fn)
                fn();
        }
    }
    return !due.empty();
}

// ---- the loop ------------------------------------------------------------------

void Runtime::processOnce(bool wait) {
    runPosted();
    while (!heldInput_.empty()) {
        InputEvent ev = std::move(heldInput_.front());
        heldInput_.pop_front();
        dispatch(ev);
    }
    InputEvent ev;
    while (display_.waitEvent(ev, 0))
        dispatch(ev);
    runDue();
    reapForms();
    activate();
    updateCursor(pointer_);
    if (!clock_.manual())
        paintNow();
    if (!wait || quit_)
        return;
    {
        std::lock_guard lock(postMutex_);
        if (!posted_.empty())
            return;
    }
    const Micros next = nextDue();
    int timeout = -1;
    if (next != kNever)
        timeout = int(std::clamp<Micros>((next - clock_.now() + 999) / 1000, 0, INT_MAX));
    if (display_.waitEvent(ev, timeout))
        dispatch(ev);
}

void Runtime::run() {
    while (!quit_)
        processOnce(true);
}

void Runtime::yield() {
    ++depth_;
    processOnce(false);
    --depth_;
}

void Runtime::yieldWait() {
    ++depth_;
    if (clock_.manual()) {
        bool posted;
        {
            std::lock_guard lock(postMutex_);
            posted = !posted_.empty();
        }
        const Micros next = nextDue();
        if (!posted && heldInput_.empty())
            clock_.advanceTo(next == kNever ? clock_.now() + kTick : next);
        processOnce(false);
    } else {
        processOnce(true);
    }
    --depth_;
}

void Runtime::sleep(int ms) {
    const Micros deadline = clock_.now() + Micros(ms) * 1000;
    if (clock_.manual()) {
        clock_.advanceTo(deadline);
        return;
    }
    paintNow();
    while (clock_.now() < deadline && !quit_) {
        InputEvent ev;
        const int left = int((deadline - clock_.now() + 999) / 1000);
        if (!display_.waitEvent(ev, std::max(1, left)))
            continue;
        if (ev.type == InputEvent::Type::Expose) {
            invalidate();
            paintNow();
        } else {
            heldInput_.push_back(std::move(ev));
        }
    }
}

void Runtime::advance(double ms) {
    const Micros target = clock_.now() + Micros(std::llround(ms * 1000.0));
    processOnce(false);
    for (int guard = 0; guard < 10000000 && !quit_; ++guard) {
        const Micros next = nextDue();
        if (next > target)
            break;
        clock_.advanceTo(next);
        processOnce(false);
    }
    clock_.advanceTo(target);
    processOnce(false);
}

// ---- input -----------------------------------------------------------------------

void Runtime::dispatch(const InputEvent& ev) {
    switch (ev.type) {
    case InputEvent::Type::MouseDown:
    case InputEvent::Type::MouseUp:
    case InputEvent::Type::MouseMove:
        dispatchMouse(ev);
        break;
    case InputEvent::Type::KeyDown:
    case InputEvent::Type::KeyUp:
        // F11 belongs to the window, whatever screen is in front.
        // A held key repeats its key-down: one switch per press.
        if (ev.key == gfx::key::F11) {
            const bool down = ev.type == InputEvent::Type::KeyDown;
            if (down && !f11Held_)
                toggleWindowed();
            f11Held_ = down;
            break;
        }
        dispatchKey(ev);
        break;
    case InputEvent::Type::Text:
        dispatchKey(ev);
        break;
    case InputEvent::Type::Expose:
        invalidate();
        break;
    case InputEvent::Type::Quit:
        if (onQuitRequest)
            onQuitRequest();
        else
            quit_ = true;
        break;
    }
}

void Runtime::toggleWindowed() {
    const bool want = !display_.windowed();
    if (!display_.setWindowed(want))
        return;
    invalidate();
    if (onWindowedChanged)
        onWindowedChanged(want);
}

namespace {

// The frontmost visible form under a desktop point.
Form* formAt(const std::vector<Form*>& fs, Point p) {
    for (auto it = fs.rbegin(); it != fs.rend(); ++it)
        if ((*it)->visible() && !(*it)->unloading() && (*it)->rect().contains(p))
            return *it;
    return nullptr;
}

Point local(const Control& c, Point desktop) {
    return {desktop.x - c.form().left() - c.left(), desktop.y - c.form().top() - c.top()};
}

} // namespace

void Runtime::dispatchMouse(const InputEvent& ev) {
    pointer_ = ev.pos;
    const auto fs = forms();
    Form* form = formAt(fs, ev.pos);
    Control* hit = nullptr;
    if (form)
        hit = form->controlAt({ev.pos.x - form->left(), ev.pos.y - form->top()});

    Control* target = capture_ ? capture_ : hit;
    if (ev.type == InputEvent::Type::MouseMove) {
        if (hit != hover_) {
            hover_ = hit;
            if (tooltipShown_)
                invalidate();
            tooltipShown_ = false;
            cancel(tooltipTimer_);
            tooltipTimer_ = 0;
            if (hit && !hit->toolTipText().empty()) {
                tooltipTimer_ = at(clock_.now() + kTooltipDelay, [this] {
                    tooltipShown_ = hover_ != nullptr;
                    tooltipAt_ = pointer_;
                    invalidate();
                });
            }
        }
    } else if (tooltipShown_) {
        tooltipShown_ = false;
        invalidate();
    }

    if (target) {
        const Point p = local(*target, ev.pos);
        switch (ev.type) {
        case InputEvent::Type::MouseDown:
            pressed_ = target;
            capture_ = target;
            if (target->acceptsFocus())
                target->form().setFocus(target);
            target->mouseDown(ev.button, ev.shift, p.x, p.y);
            break;
        case InputEvent::Type::MouseMove:
            target->mouseMove(ev.button, ev.shift, p.x, p.y);
            break;
        default: {
            Control* wasPressed = pressed_;
            pressed_ = nullptr;
            capture_ = nullptr;
            target->mouseUp(ev.button, ev.shift, p.x, p.y);
            // The handler may have destroyed the control: look again, and
            // click only a live control that got both halves of the click.
            Form* again = formAt(forms(), ev.pos);
            if (wasPressed == target && hit == target && again &&
                again->controlAt({ev.pos.x - again->left(), ev.pos.y - again->top()}) == target)
                target->click();
            break;
        }
        }
        return;
    }
    if (!form)
        return;
    const int x = ev.pos.x - form->left(), y = ev.pos.y - form->top();
    switch (ev.type) {
    case InputEvent::Type::MouseDown:
        pressedForm_ = form;
        form->Form_MouseDown(ev.button, ev.shift, x, y);
        break;
    case InputEvent::Type::MouseMove:
        form->Form_MouseMove(ev.button, ev.shift, x, y);
        break;
    default: {
        Form* wasPressed = pressedForm_;
        pressedForm_ = nullptr;
        form->Form_MouseUp(ev.button, ev.shift, x, y);
        if (wasPressed == form && !form->unloading())
            form->Form_Click();
        break;
    }
    }
}

void Runtime::dispatchKey(const InputEvent& ev) {
    Form* form = activeForm();
    if (!form)
        return;
    Control* focus = form->focus();
    if (focus && !(focus->visible() && focus->enabled()))
        focus = nullptr;
    if (ev.type == InputEvent::Type::Text) {
        if (focus)
            focus->textInput(ev.text);
        return;
    }
    int key = ev.key;
    const bool down = ev.type == InputEvent::Type::KeyDown;
    if (form->keyPreview || !focus) {
        if (down)
            form->Form_KeyDown(key, ev.shift);
        else
            form->Form_KeyUp(key, ev.shift);
    }
    if (key == 0 || !focus || form->unloading())
        return;
    if (down)
        focus->keyDown(key, ev.shift);
    else
        focus->keyUp(key, ev.shift);
}

void Runtime::updateCursor(Point desktop) {
    Cursor c;
    const auto fs = forms();
    if (Form* form = capture_ ? &capture_->form() : formAt(fs, desktop)) {
        Control* ctl = capture_
                           ? capture_
                           : form->controlAt({desktop.x - form->left(), desktop.y - form->top()});
        // A busy form's hourglass wins over its controls' pointers.
        if (form->mousePointer().shape == CursorShape::Hourglass)
            c = form->mousePointer();
        else if (ctl && ctl->mousePointer().shape != CursorShape::Default)
            c = ctl->mousePointer();
        else
            c = form->mousePointer();
    }
    if (c.shape == CursorShape::Default)
        c = Cursor::standard(CursorShape::Arrow);
    if (!cursorSet_ || !(c == shownCursor_)) {
        shownCursor_ = c;
        cursorSet_ = true;
        display_.setCursor(c);
    }
}

void Runtime::mouseDown(Point p, int button) {
    dispatch({InputEvent::Type::MouseDown, p, button, 0, 0, {}});
    processOnce(false);
}

void Runtime::mouseUp(Point p, int button) {
    dispatch({InputEvent::Type::MouseUp, p, button, 0, 0, {}});
    processOnce(false);
}

void Runtime::mouseMove(Point p, int button) {
    dispatch({InputEvent::Type::MouseMove, p, button, 0, 0, {}});
    processOnce(false);
}

void Runtime::click(Point p) {
    mouseMove(p);
    mouseDown(p);
    mouseUp(p);
}

void Runtime::keyDown(int key, int shift) {
    dispatch({InputEvent::Type::KeyDown, {}, 0, key, shift, {}});
    processOnce(false);
}

void Runtime::keyUp(int key, int shift) {
    dispatch({InputEvent::Type::KeyUp, {}, 0, key, shift, {}});
    processOnce(false);
}

void Runtime::typeText(const std::string& utf8) {
    dispatch({InputEvent::Type::Text, {}, 0, 0, 0, utf8});
    processOnce(false);
}

// ---- painting --------------------------------------------------------------------

void Runtime::invalidate(Rect r) {
    if (r.empty())
        return;
    if (!dirty_)
        changed_.clear();
    dirty_ = true;
    // Rectangles that overlap or touch become one.
    for (bool merged = true; merged;) {
        merged = false;
        for (auto it = changed_.begin(); it != changed_.end(); ++it)
            if (it->x <= r.right() && r.x <= it->right() && it->y <= r.bottom() &&
                r.y <= it->bottom()) {
                r = united(r, *it);
                changed_.erase(it);
                merged = true;
                break;
            }
    }
    changed_.push_back(r);
    // Past a few dozen regions one rectangle around them all is cheaper.
    if (changed_.size() > kMaxRegions) {
        Rect all = changed_.front();
        for (const Rect& c : changed_)
            all = united(all, c);
        changed_.assign(1, all);
    }
}

const Picture& Runtime::frame() {
    paintNow();
    return frame_;
}

void Runtime::paintNow() {
    if (!dirty_)
        return;
    dirty_ = false;
    const Size ds = display_.desktopSize();
    if (frame_.width() != ds.w || frame_.height() != ds.h) {
        frame_ = Picture(ds.w, ds.h, 0, display_.frameMemory());
        full_ = true;
    }
    std::vector<Rect> changed;
    if (full_) {
        changed.push_back(frame_.rect());
    } else {
        for (const Rect& c : changed_) {
            const Rect r = c.intersected(frame_.rect());
            if (!r.empty())
                changed.push_back(r);
        }
    }
    full_ = false;
    changed_.clear();
    if (changed.empty())
        return;
    for (const Rect& r : changed)
        compose(r);
    if (changed.size() == 1 && changed.front() == frame_.rect())
        display_.present(frame_);
    else
        display_.presentRegions(frame_, changed);
}

// Only a changed region is composed, straight into the frame: every form
// draws clipped to it.
void Runtime::compose(const Rect& changed) {
    const Size ds = display_.desktopSize();
    // A form's surface is opaque: what lies behind the frontmost form that
    // covers the whole region cannot show, so composing starts there.
    const std::vector<Form*> fs = forms();
    std::size_t first = fs.size();
    while (first > 0) {
        const Form* f = fs[first - 1];
        if (f->visible() && !f->unloading() && f->rect().intersected(changed) == changed)
            break;
        --first;
    }
    if (first == 0)
        frame_.fillRect(changed, 0);
    else
        --first;
    for (std::size_t i = first; i < fs.size(); ++i)
        if (Form* f = fs[i]; f->visible() && !f->unloading())
            f->paint(frame_, {f->left(), f->top()}, changed);
    if (tooltipShown_ && hover_ && !hover_->toolTipText().empty()) {
        const platform::FontSpec face{"System", 9, false};
        const AlphaMask m = fonts_.render(face, hover_->toolTipText());
        Rect r{tooltipAt_.x + 4, tooltipAt_.y + 20, m.width + 6, m.height + 4};
        r.x = std::min(r.x, ds.w - r.w);
        r.y = std::min(r.y, ds.h - r.h);
        const Rect shown = r.intersected(changed);
        if (shown.empty())
            return;
        // Drawn whole on its own, then only its part in the region is copied.
        Picture tip(r.w, r.h, rgb(255, 255, 225));
        tip.rectOutline(tip.rect(), 0);
        tip.drawMask(m, {3, 2}, 0);
        frame_.blit(tip, {shown.x - r.x, shown.y - r.y, shown.w, shown.h}, {shown.x, shown.y});
    }
}

} // namespace ui
