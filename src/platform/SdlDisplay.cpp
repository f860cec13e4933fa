// The real display: one borderless window over the whole desktop, showing the
// logical desktop enlarged by a whole factor with square pixels; or, on F11,
// a framed window showing the screens' 640 x 480 middle of it.
#include "platform/DisplayRules.h"
#include "platform/Platform.h"
#include "platform/SdlHandles.h"
#include "platform/ServerScaler.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {

namespace {

// An arrow with a question mark beside it: 'X' black, '.' white.
constexpr std::array<const char*, 22> kArrowQuestion = {
    "X                   ", //
    "XX          XXXXX   ", //
    "X.X        XX...XX  ", //
    "X..X      XX.....XX ", //
    "X...X     X..XXX..X ", //
    "X....X    XXXX X..X ", //
    "X.....X       XX..X ", //
    "X......X     XX..XX ", //
    "X.......X    X..XX  ", //
    "X........X   X..X   ", //
    "X.........X  XXXX   ", //
    "X..........X        ", //
    "X......XXXXX XXXX   ", //
    "X...X..X     X..X   ", //
    "X..XX..X     X..X   ", //
    "X.X  X..X    XXXX   ", //
    "XX   X..X           ", //
    "X     X..X          ", //
    "      X..X          ", //
    "       X..X         ", //
    "       X..X         ", //
    "        XX          ", //
};

class SdlDisplay final : public Display {
  public:
    SdlDisplay() {
        // Without a window manager the window gains focus as the pointer
        // enters; the click that comes with it must still count.
        SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
        // The window surface is plain memory sent to the X server; a GL
        // framebuffer would cost a software renderer a full redraw per frame.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        declineBusAutolaunch();
        {
            const ComposeTableSkipped noCompose;
            openVideo();
        }
        SDL_DisplayMode mode{};
        if (SDL_GetDesktopDisplayMode(0, &mode) != 0 || mode.w <= 0 || mode.h <= 0) {
            mode.w = 640;
            mode.h = 480;
        }
        real_ = {mode.w, mode.h};
        scale_ = desktopScale(real_);
        logical_ = {std::max(1, real_.w / scale_), std::max(1, real_.h / scale_)};
        shownScale_ = scale_;
        view_ = {0, 0, logical_.w, logical_.h};

        window_.reset(SDL_CreateWindow("Shizi", 0, 0, real_.w, real_.h,
                                       SDL_WINDOW_BORDERLESS | SDL_WINDOW_SHOWN));
        if (!window_)
            throw std::runtime_error(std::string("cannot open a window: ") + SDL_GetError());
        // The window's own surface: a changed region goes to the X server
        // alone, where a renderer would redraw the whole screen every frame.
        if (!SDL_GetWindowSurface(window_.get()))
            throw std::runtime_error(std::string("cannot draw in the window: ") + SDL_GetError());
        wakeEvent_ = SDL_RegisterEvents(1);
        // Without a window manager nobody hands the window the keyboard.
        SDL_RaiseWindow(window_.get());
        SDL_SetWindowInputFocus(window_.get());
        SDL_StartTextInput();
        if (SDL_Surface* ws = SDL_GetWindowSurface(window_.get())) {
            SDL_FillRect(ws, nullptr, SDL_MapRGB(ws->format, 0, 0, 0));
            SDL_UpdateWindowSurface(window_.get());
        }
        if (!ServerScaler::declined())
            scaler_ = ServerScaler::open(window_.get());
    }

    // Without a display to show on, running on would leave a child before a
    // blank screen that nobody can see: the program ends with a reason.
    static void openVideo() {
        if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
            throw std::runtime_error("cannot open the display " + displayName() + ": " +
                                     SDL_GetError());
        const char* driver = SDL_GetCurrentVideoDriver();
        if (!videoDriverAccepted(driver ? driver : "", std::getenv("SDL_VIDEODRIVER"))) {
            SDL_QuitSubSystem(SDL_INIT_VIDEO);
            throw std::runtime_error("cannot open the display " + displayName() +
                                     ": no X or Wayland server answers there");
        }
    }

    ~SdlDisplay() override {
        scaler_.reset();
        SDL_SetCursor(SDL_GetDefaultCursor());
        standard_.clear();
        custom_.clear();
        window_.reset();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    Size desktopSize() const override { return logical_; }

    bool windowed() const override { return windowed_; }

    bool setWindowed(bool on) override {
        if (on == windowed_)
            return true;
        SDL_Window* w = window_.get();
        if (on) {
            SDL_Rect usable{0, 0, real_.w, real_.h};
            SDL_GetDisplayUsableBounds(0, &usable);
            shownScale_ = windowScale({usable.w, usable.h}, kFrameAllowance);
            view_ = windowView(logical_);
            SDL_SetWindowBordered(w, SDL_TRUE);
            SDL_SetWindowSize(w, view_.w * shownScale_, view_.h * shownScale_);
            SDL_SetWindowPosition(w, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
        } else {
            shownScale_ = scale_;
            view_ = {0, 0, logical_.w, logical_.h};
            SDL_SetWindowBordered(w, SDL_FALSE);
            SDL_SetWindowPosition(w, 0, 0);
            SDL_SetWindowSize(w, real_.w, real_.h);
            placeTries_ = 3;
        }
        windowed_ = on;
        // The pointers are drawn at the shown scale: made again on next use.
        SDL_SetCursor(SDL_GetDefaultCursor());
        standard_.clear();
        custom_.clear();
        applyCursor(current_);
        SDL_RaiseWindow(w);
        return true;
    }

    std::pmr::memory_resource* frameMemory() override {
        return scaler_ ? scaler_->frameMemory() : nullptr;
    }

    void present(const Picture& frame) override { presentRegion(frame, frame.rect()); }

    void presentRegion(const Picture& frame, gfx::Rect changed) override {
        presentRegions(frame, {changed});
    }

    // The X server enlarges the regions itself where it can. Otherwise each
    // region is copied enlarged into the window surface, then all of them
    // are shown in one update.
    void presentRegions(const Picture& frame, const std::vector<gfx::Rect>& changed) override {
        if (scaler_) {
            int w = 0, h = 0;
            SDL_GetWindowSize(window_.get(), &w, &h);
            const std::vector<gfx::Rect> fits = fitting(frame, changed, w, h);
            if (fits.empty())
                return;
            scaler_->show(frame, fits, view_, shownScale_);
            firstPaintDone();
            return;
        }
        SDL_Surface* ws = SDL_GetWindowSurface(window_.get());
        if (!ws)
            return;
        const std::vector<gfx::Rect> fits = fitting(frame, changed, ws->w, ws->h);
        if (fits.empty())
            return;
        const bool direct = ws->format->BytesPerPixel == 4 && ws->format->Rmask == 0xFF0000 &&
                            ws->format->Gmask == 0x00FF00 && ws->format->Bmask == 0x0000FF;
        if (direct) {
            if (SDL_MUSTLOCK(ws) && SDL_LockSurface(ws) != 0)
                return;
            for (const gfx::Rect& fit : fits)
                copyEnlarged(frame, fit, ws);
            if (SDL_MUSTLOCK(ws))
                SDL_UnlockSurface(ws);
        } else {
            // Any other window format: let SDL convert and stretch.
            SDL_Surface* src = SDL_CreateRGBSurfaceWithFormatFrom(
                const_cast<std::uint32_t*>(frame.data()), frame.width(), frame.height(), 32,
                frame.width() * 4, SDL_PIXELFORMAT_RGB888);
            if (!src)
                return;
            for (const gfx::Rect& fit : fits) {
                SDL_Rect from{fit.x, fit.y, fit.w, fit.h};
                SDL_Rect to = shownRect(fit);
                SDL_BlitScaled(src, &from, ws, &to);
            }
            SDL_FreeSurface(src);
        }
        std::vector<SDL_Rect> shown;
        shown.reserve(fits.size());
        for (const gfx::Rect& fit : fits)
            shown.push_back(shownRect(fit));
        SDL_UpdateWindowSurfaceRects(window_.get(), shown.data(), int(shown.size()));
        firstPaintDone();
    }

    // The changed regions cut to whole logical pixels of a window `w` x `h`.
    std::vector<gfx::Rect> fitting(const Picture& frame, const std::vector<gfx::Rect>& changed,
                                   int w, int h) const {
        const int s = shownScale_;
        const gfx::Rect window = view_.intersected({view_.x, view_.y, w / s, h / s});
        std::vector<gfx::Rect> fits;
        for (const gfx::Rect& c : changed) {
            const gfx::Rect fit = c.intersected(frame.rect()).intersected(window);
            if (!fit.empty())
                fits.push_back(fit);
        }
        return fits;
    }

    void firstPaintDone() {
        if (!shownOnce_) {
            shownOnce_ = true;
            reportFirstPaint();
        }
    }

    // For the benchmark (bench/screens.sh): the wall clock of the first
    // picture sent, which it compares with the moment it started the program.
    static void reportFirstPaint() {
        if (!std::getenv("SHIZI_REPORT_FIRST_PAINT"))
            return;
        timespec now{}, cpu{};
        clock_gettime(CLOCK_REALTIME, &now);
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
        std::fprintf(stderr, "first paint at %lld.%09ld after %.1f ms of processor time\n",
                     static_cast<long long>(now.tv_sec), now.tv_nsec,
                     double(cpu.tv_sec) * 1e3 + double(cpu.tv_nsec) / 1e6);
    }

    // A region of the logical desktop as window pixels.
    SDL_Rect shownRect(const gfx::Rect& r) const {
        const int s = shownScale_;
        return {(r.x - view_.x) * s, (r.y - view_.y) * s, r.w * s, r.h * s};
    }

    void copyEnlarged(const Picture& frame, const gfx::Rect& fit, SDL_Surface* ws) const {
        const int s = shownScale_;
        const std::size_t left = std::size_t(fit.x - view_.x) * std::size_t(s) * 4;
        const std::size_t pitch = std::size_t(ws->pitch) / 4;
        for (int y = fit.y; y < fit.bottom(); ++y) {
            const std::uint32_t* src = frame.data() + std::size_t(y) * frame.width();
            const std::size_t top = std::size_t(y - view_.y) * std::size_t(s);
            auto* row = static_cast<std::uint8_t*>(ws->pixels) + top * std::size_t(ws->pitch);
            enlargeRow(src + fit.x, std::size_t(fit.w),
                       reinterpret_cast<std::uint32_t*>(row + left), pitch, s);
        }
    }

    void setCursor(const gfx::Cursor& c) override {
        if (c == current_)
            return;
        applyCursor(c);
        current_ = c;
    }

    void applyCursor(const gfx::Cursor& c) {
        SDL_Cursor* cur =
            c.shape == gfx::CursorShape::Custom ? customCursor(c.custom) : standardCursor(c.shape);
        if (!cur)
            cur = standardCursor(gfx::CursorShape::Default);
        if (cur)
            SDL_SetCursor(cur);
    }

    bool waitEvent(InputEvent& ev, int timeoutMs) override {
        const Uint64 start = SDL_GetTicks64();
        for (;;) {
            int left = timeoutMs;
            if (timeoutMs > 0)
                left = std::max<int>(0, timeoutMs - int(SDL_GetTicks64() - start));
            SDL_Event e;
            const int got = left < 0 ? SDL_WaitEvent(&e) : SDL_WaitEventTimeout(&e, left);
            if (!got)
                return false;
            if (e.type == wakeEvent_)
                return false;
            if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_MOVED)
                keepAtOrigin(e.window.data1, e.window.data2);
            if (translate(e, ev))
                return true;
            if (timeoutMs > 0 && int(SDL_GetTicks64() - start) >= timeoutMs)
                return false;
        }
    }

    void wake() override {
        SDL_Event e{};
        e.type = wakeEvent_;
        SDL_PushEvent(&e);
    }

    Point pointerPosition() const override {
        int x = 0, y = 0, wx = 0, wy = 0;
        SDL_GetGlobalMouseState(&x, &y);
        SDL_GetWindowPosition(window_.get(), &wx, &wy);
        return toLogical(x - wx, y - wy);
    }

  private:
    // A window manager may place the window by the frame it had as a window
    // (its title bar above the top of the screen): moved again once it has
    // dropped the frame.
    void keepAtOrigin(int x, int y) {
        if (windowed_ || placeTries_ <= 0 || (x == 0 && y == 0))
            return;
        --placeTries_;
        SDL_SetWindowPosition(window_.get(), 0, 0);
    }

    // Room left around a window for the window manager's title bar and
    // borders.
    static constexpr Size kFrameAllowance{16, 64};

    Point toLogical(int x, int y) const {
        const int s = shownScale_;
        return {std::clamp(view_.x + (x < 0 ? -1 : x / s), view_.x, view_.right() - 1),
                std::clamp(view_.y + (y < 0 ? -1 : y / s), view_.y, view_.bottom() - 1)};
    }

    bool translate(const SDL_Event& e, InputEvent& ev) const {
        ev = InputEvent{};
        switch (e.type) {
        case SDL_QUIT:
            ev.type = InputEvent::Type::Quit;
            return true;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
            case SDL_WINDOWEVENT_EXPOSED:
            case SDL_WINDOWEVENT_SHOWN:
            case SDL_WINDOWEVENT_RESTORED:
            case SDL_WINDOWEVENT_SIZE_CHANGED:
                ev.type = InputEvent::Type::Expose;
                return true;
            default:
                return false;
            }
        case SDL_MOUSEMOTION:
            ev.type = InputEvent::Type::MouseMove;
            ev.pos = toLogical(e.motion.x, e.motion.y);
            ev.button = buttonBits(e.motion.state);
            ev.shift = shiftBits(SDL_GetModState());
            return true;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            ev.type = e.type == SDL_MOUSEBUTTONDOWN ? InputEvent::Type::MouseDown
                                                    : InputEvent::Type::MouseUp;
            ev.pos = toLogical(e.button.x, e.button.y);
            ev.button = buttonBit(e.button.button);
            ev.shift = shiftBits(SDL_GetModState());
            return ev.button != 0;
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            ev.type = e.type == SDL_KEYDOWN ? InputEvent::Type::KeyDown : InputEvent::Type::KeyUp;
            ev.key = virtualKey(e.key.keysym.sym);
            ev.shift = shiftBits(e.key.keysym.mod);
            return ev.key != 0;
        case SDL_TEXTINPUT:
            ev.type = InputEvent::Type::Text;
            ev.text = e.text.text;
            return !ev.text.empty();
        default:
            return false;
        }
    }

    SDL_Cursor* standardCursor(gfx::CursorShape shape) {
        auto it = standard_.find(shape);
        if (it != standard_.end())
            return it->second.get();
        CursorPtr made;
        switch (shape) {
        case gfx::CursorShape::Hourglass:
            made.reset(SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_WAIT));
            break;
        case gfx::CursorShape::Crosshair:
            made.reset(SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_CROSSHAIR));
            break;
        case gfx::CursorShape::NoDrop:
        case gfx::CursorShape::NotAllowed:
            made.reset(SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_NO));
            break;
        case gfx::CursorShape::Hand:
            made.reset(SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_HAND));
            break;
        case gfx::CursorShape::ArrowQuestion:
            made = arrowQuestion();
            break;
        default:
            made.reset(SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW));
            break;
        }
        SDL_Cursor* raw = made.get();
        standard_[shape] = std::move(made);
        return raw;
    }

    // A cursor from ARGB pixels, enlarged by the shown factor.
    CursorPtr makeCursor(const std::vector<Uint32>& argb, int w, int h, Point hot) const {
        const int k = shownScale_;
        SurfacePtr s(SDL_CreateRGBSurfaceWithFormat(0, w * k, h * k, 32, SDL_PIXELFORMAT_ARGB8888));
        if (!s)
            return nullptr;
        for (int y = 0; y < h * k; ++y) {
            auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) +
                                                  std::ptrdiff_t(y) * s->pitch);
            for (int x = 0; x < w * k; ++x)
                row[x] = argb[std::size_t(y / k) * std::size_t(w) + std::size_t(x / k)];
        }
        return CursorPtr(SDL_CreateColorCursor(s.get(), hot.x * k, hot.y * k));
    }

    CursorPtr arrowQuestion() const {
        const int w = 20, h = int(kArrowQuestion.size());
        std::vector<Uint32> px(std::size_t(w) * std::size_t(h), 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const char c = kArrowQuestion[std::size_t(y)][x];
                px[std::size_t(y) * w + std::size_t(x)] = c == 'X'   ? 0xFF000000u
                                                          : c == '.' ? 0xFFFFFFFFu
                                                                     : 0u;
            }
        return makeCursor(px, w, h, {0, 0});
    }

    SDL_Cursor* customCursor(const std::shared_ptr<const gfx::CustomCursor>& c) {
        if (!c || c->image.empty())
            return nullptr;
        for (auto& [key, cur] : custom_)
            if (key == c)
                return cur.get();
        const int w = c->image.width(), h = c->image.height();
        const bool masked = c->opaque.size() == c->image.size();
        std::vector<Uint32> px(std::size_t(w) * std::size_t(h));
        for (std::size_t i = 0; i < px.size(); ++i) {
            const bool opaque = !masked || (c->opaque.data()[i] & 0xFFFFFF) != 0;
            px[i] = opaque ? 0xFF000000u | (c->image.data()[i] & 0xFFFFFF) : 0u;
        }
        CursorPtr made = makeCursor(px, w, h, c->hotSpot);
        SDL_Cursor* raw = made.get();
        if (made)
            custom_.emplace_back(c, std::move(made));
        return raw;
    }

    Size real_;
    Size logical_;
    int scale_ = 1;
    // The factor and the part of the logical desktop the window shows now.
    int shownScale_ = 1;
    gfx::Rect view_;
    bool windowed_ = false;
    int placeTries_ = 0;
    bool shownOnce_ = false;
    WindowPtr window_;
    std::unique_ptr<ServerScaler> scaler_;
    Uint32 wakeEvent_ = 0;
    gfx::Cursor current_{gfx::CursorShape::Default, nullptr};
    std::map<gfx::CursorShape, CursorPtr> standard_;
    // Keeping the picture alive keeps its address from naming another cursor.
    std::vector<std::pair<std::shared_ptr<const gfx::CustomCursor>, CursorPtr>> custom_;
};

} // namespace

std::unique_ptr<Display> createSdlDisplay() {
    return std::make_unique<SdlDisplay>();
}

} // namespace platform
