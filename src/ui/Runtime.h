// The event loop and the stack of forms in front of the desktop.
//
// One thread runs everything. Other threads only post() work, which runs on
// the loop. The loop sleeps until input, posted work or the next due timer.
#pragma once

#include "platform/Platform.h"
#include "ui/Clock.h"
#include "ui/Form.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace ui {

// One loop tick: no timer fires more often than 64 times a second.
constexpr Micros kTick = 15625;

class Runtime {
  public:
    Runtime(platform::Display& display, Clock& clock, platform::FontEngine& fonts,
            platform::ImageLoader& images);
    ~Runtime();

    platform::Display& display() { return display_; }
    Clock& clock() { return clock_; }
    platform::FontEngine& fonts() { return fonts_; }
    platform::ImageLoader& images() { return images_; }
    Micros now() const { return clock_.now(); }
    Size desktopSize() const { return display_.desktopSize(); }

    // Takes ownership of a form (not shown yet) and runs its Form_Load.
    template <class F> F& load(std::unique_ptr<F> form) {
        F& ref = *form;
        adopt(std::move(form));
        ref.Form_Load();
        return ref;
    }
    // Forms back to front (topmost ones last).
    std::vector<Form*> forms() const;
    // The frontmost visible form, which gets the keys.
    Form* activeForm() const;

    // A picture from a file; empty (after one line on standard error) when
    // missing or unreadable.
    Picture loadPicture(const std::string& path);

    // Work from any thread, run on the loop.
    void post(std::function<void()> fn);
    // A one-shot callback at a given loop time; returns an id for cancel().
    int at(Micros when, std::function<void()> fn);
    void cancel(int id);

    // Runs until quit().
    void run();
    void quit() { quit_ = true; }
    // A request to end from outside (the window manager's close, a
    // termination signal); without a handler the loop just stops.
    std::function<void()> onQuitRequest;
    // F11: between full screen and a window. The handler hears the new
    // choice once the display has switched.
    void toggleWindowed();
    std::function<void(bool windowed)> onWindowedChanged;
    bool quitting() const { return quit_; }

    // "Let pending events run": input, posted work and due timers, then paint.
    void yield();
    // As yield, but first waits until something is due (input, posted work,
    // a timer): the polling loops of the screens use it so they never spin.
    void yieldWait();
    // Blocks the program's logic for `ms` (no timers, no handlers) while the
    // window stays painted; input that arrives meanwhile is kept for later.
    void sleep(int ms);

    // Tests: run the loop with the manual clock up to now + ms, firing every
    // timer and callback at its exact time.
    void advance(double ms);
    // Tests: inject input at desktop coordinates and process it.
    void mouseDown(Point desktop, int button = 1);
    void mouseUp(Point desktop, int button = 1);
    void mouseMove(Point desktop, int button = 0);
    void click(Point desktop);
    void keyDown(int key, int shift = 0);
    void keyUp(int key, int shift = 0);
    void typeText(const std::string& utf8);

    // Mouse capture.
    void setCapture(Control* c) { capture_ = c; }
    Control* capture() const { return capture_; }
    void releaseCapture() { capture_ = nullptr; }

    // The desktop as it looks now (composed if anything changed).
    const Picture& frame();
    // Composes and presents now if anything changed.
    void paintNow();
    void invalidate() {
        dirty_ = true;
        full_ = true;
    }
    // Marks a region of the desktop as changed.
    void invalidate(Rect desktop);

    // Registered timers (maintained by Timer).
    void addTimer(Timer* t);
    void removeTimer(Timer* t);
    void controlDestroyed(Control* c);
    void formDestroyed(Form* f);
    void requestUnload(Form* f);
    void formOrderChanged() { invalidate(); }
    void raiseForm(Form* f);
    void lowerForm(Form* f);

  private:
    void adopt(std::unique_ptr<Form> f);
    void dispatch(const platform::InputEvent& ev);
    void dispatchMouse(const platform::InputEvent& ev);
    void dispatchKey(const platform::InputEvent& ev);
    bool runDue();
    bool runPosted();
    void reapForms();
    void compose(const Rect& changed);
    void activate();
    void updateCursor(Point desktop);
    Micros nextDue() const;
    void processOnce(bool wait);

    platform::Display& display_;
    Clock& clock_;
    platform::FontEngine& fonts_;
    platform::ImageLoader& images_;
    std::vector<std::unique_ptr<Form>> forms_; // back to front
    std::vector<std::unique_ptr<Form>> dying_;
    std::vector<Timer*> timers_;
    struct Scheduled {
        Micros when;
        std::function<void()> fn;
    };
    std::map<int, Scheduled> scheduled_;
    int nextId_ = 1;
    std::mutex postMutex_;
    std::deque<std::function<void()>> posted_;
    std::deque<platform::InputEvent> heldInput_;
    Control* capture_ = nullptr;
    Control* pressed_ = nullptr;
    Form* pressedForm_ = nullptr;
    Form* active_ = nullptr;
    Point pointer_;
    Picture frame_;
    bool dirty_ = true;
    bool full_ = true;
    // The regions that changed since the last paint: separate rectangles,
    // so small changes far apart (sprites on a board) are shown without
    // everything between them.
    std::vector<Rect> changed_;
    bool quit_ = false;
    bool f11Held_ = false;
    int depth_ = 0;
    Cursor shownCursor_;
    bool cursorSet_ = false;
    Control* hover_ = nullptr;
    int tooltipTimer_ = 0;
    bool tooltipShown_ = false;
    Point tooltipAt_;
};

} // namespace ui
