#include "platform/ServerScaler.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <sys/ipc.h>
#include <sys/shm.h>

// The X headers last: they define macros (None, True, Status) that other
// headers use as names.
#include <SDL_syswm.h>
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xrender.h>

namespace platform {

namespace {

// X reports a refused request later, through one handler for the whole
// process, which by default ends the program. While the scaler is set up or
// taken down, a refusal is noted instead.
bool refused = false;

int noteRefusal(::Display*, XErrorEvent*) {
    refused = true;
    return 0;
}

class RefusalsNoted {
  public:
    explicit RefusalsNoted(::Display* d) : d_(d) {
        XSync(d_, False);
        refused = false;
        previous_ = XSetErrorHandler(noteRefusal);
    }
    RefusalsNoted(const RefusalsNoted&) = delete;
    RefusalsNoted& operator=(const RefusalsNoted&) = delete;
    // Whether the server refused anything sent so far.
    bool any() {
        XSync(d_, False);
        return refused;
    }
    ~RefusalsNoted() {
        XSync(d_, False);
        XSetErrorHandler(previous_);
    }

  private:
    ::Display* d_;
    int (*previous_)(::Display*, XErrorEvent*) = nullptr;
};

bool programsPixelFormat(const Visual* v) {
    return v && v->red_mask == 0xFF0000 && v->green_mask == 0x00FF00 && v->blue_mask == 0x0000FF;
}

} // namespace

struct ServerScaler::Handles {
    ::Display* display = nullptr;
    XShmSegmentInfo segment{};
    bool attached = false;
    Pixmap pixmap = 0;
    ::Picture source = 0;
    ::Picture target = 0;
    // The shared memory, the size of a frame: what the server enlarges from.
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;

    Handles() { segment.shmid = -1; }
    Handles(const Handles&) = delete;
    Handles& operator=(const Handles&) = delete;

    ~Handles() {
        if (display) {
            const RefusalsNoted noted(display);
            if (target)
                XRenderFreePicture(display, target);
            if (source)
                XRenderFreePicture(display, source);
            if (pixmap)
                XFreePixmap(display, pixmap);
            if (attached)
                XShmDetach(display, &segment);
        }
        if (pixels)
            shmdt(pixels);
        if (segment.shmid >= 0)
            shmctl(segment.shmid, IPC_RMID, nullptr);
    }
};

bool ServerScaler::declined() {
    const char* v = std::getenv("SHIZI_SERVER_SCALING");
    return v && std::string_view(v) == "0";
}

std::unique_ptr<ServerScaler> ServerScaler::open(SDL_Window* window, gfx::Size logical) {
    if (!window || logical.w <= 0 || logical.h <= 0)
        return nullptr;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11)
        return nullptr;
    ::Display* d = info.info.x11.display;
    const Window w = info.info.x11.window;

    // Shared memory pixmaps (the program writes, the server reads the same
    // memory) and the rendering extension with transforms and filters.
    int major = 0, minor = 0, event = 0, error = 0;
    Bool sharedPixmaps = False;
    if (!XShmQueryVersion(d, &major, &minor, &sharedPixmaps) || !sharedPixmaps ||
        XShmPixmapFormat(d) != ZPixmap)
        return nullptr;
    if (!XRenderQueryExtension(d, &event, &error) || !XRenderQueryVersion(d, &major, &minor) ||
        (major == 0 && minor < 6))
        return nullptr;

    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(d, w, &attributes) || !programsPixelFormat(attributes.visual) ||
        (attributes.depth != 24 && attributes.depth != 32))
        return nullptr;
    XRenderPictFormat* windowFormat = XRenderFindVisualFormat(d, attributes.visual);
    XRenderPictFormat* frameFormat = XRenderFindStandardFormat(d, PictStandardRGB24);
    if (!windowFormat || !frameFormat)
        return nullptr;

    auto h = std::make_unique<Handles>();
    h->width = logical.w;
    h->height = logical.h;
    const std::size_t bytes = std::size_t(logical.w) * std::size_t(logical.h) * 4;
    h->segment.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (h->segment.shmid < 0)
        return nullptr;
    void* at = shmat(h->segment.shmid, nullptr, 0);
    if (at == reinterpret_cast<void*>(-1))
        return nullptr;
    h->pixels = static_cast<std::uint32_t*>(at);
    h->segment.shmaddr = static_cast<char*>(at);
    h->segment.readOnly = False;
    h->display = d;
    {
        // A server on another machine cannot reach this memory and refuses.
        RefusalsNoted noted(d);
        h->attached = XShmAttach(d, &h->segment) != 0;
        if (noted.any())
            h->attached = false;
        if (!h->attached)
            return nullptr;
        h->pixmap = XShmCreatePixmap(d, w, h->segment.shmaddr, &h->segment, unsigned(logical.w),
                                     unsigned(logical.h), 24);
        if (h->pixmap)
            h->source = XRenderCreatePicture(d, h->pixmap, frameFormat, 0, nullptr);
        if (h->source)
            h->target = XRenderCreatePicture(d, w, windowFormat, 0, nullptr);
        if (h->source)
            XRenderSetPictureFilter(d, h->source, FilterNearest, nullptr, 0);
        if (noted.any() || !h->target)
            return nullptr;
    }
    // Both sides hold the memory now; it goes when the last one lets go,
    // even if the program is killed.
    shmctl(h->segment.shmid, IPC_RMID, nullptr);
    h->segment.shmid = -1;
    return std::unique_ptr<ServerScaler>(new ServerScaler(std::move(h)));
}

ServerScaler::ServerScaler(std::unique_ptr<Handles> h) : h_(std::move(h)) {}

ServerScaler::~ServerScaler() = default;

void ServerScaler::show(const gfx::Picture& frame, const std::vector<gfx::Rect>& regions,
                        gfx::Rect view, int scale) {
    if (scale < 1)
        return;
    ::Display* d = h_->display;
    if (scale != scale_) {
        // Window pixel (x, y) shows frame pixel (x / scale, y / scale).
        XTransform t{};
        t.matrix[0][0] = XDoubleToFixed(1.0 / scale);
        t.matrix[1][1] = XDoubleToFixed(1.0 / scale);
        t.matrix[2][2] = XDoubleToFixed(1.0);
        XRenderSetPictureTransform(d, h_->source, &t);
        scale_ = scale;
    }
    const gfx::Rect shared{0, 0, h_->width, h_->height};
    bool sent = false;
    for (const gfx::Rect& asked : regions) {
        const gfx::Rect r = asked.intersected(frame.rect()).intersected(shared);
        if (r.empty())
            continue;
        for (int y = r.y; y < r.bottom(); ++y)
            std::memcpy(h_->pixels + std::size_t(y) * std::size_t(h_->width) + std::size_t(r.x),
                        frame.data() + std::size_t(y) * std::size_t(frame.width()) +
                            std::size_t(r.x),
                        std::size_t(r.w) * 4);
        XRenderComposite(d, PictOpSrc, h_->source, 0, h_->target, r.x * scale, r.y * scale, 0, 0,
                         (r.x - view.x) * scale, (r.y - view.y) * scale, unsigned(r.w * scale),
                         unsigned(r.h * scale));
        sent = true;
    }
    // The next frame is written into the same memory: the server must have
    // read this one first.
    if (sent)
        XSync(d, False);
}

} // namespace platform
