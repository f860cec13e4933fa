#include "platform/ServerScaler.h"

#include <algorithm>
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
// process, which by default ends the program. While shared memory and its
// pictures are set up or taken down, a refusal is noted instead.
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

// One block of memory both sides hold, and the server's picture of a frame
// laid out in it.
struct Segment {
    XShmSegmentInfo info{};
    std::size_t bytes = 0;
    Pixmap pixmap = 0;
    ::Picture source = 0;
    gfx::Size size;
    // The enlarging factor the picture is set up for.
    int scale = 0;
};

// The memory itself: each block handed out is a segment of its own, shared
// with the server as it is made.
class SharedMemory final : public std::pmr::memory_resource {
  public:
    SharedMemory(::Display* d, Window w, XRenderPictFormat* format)
        : d_(d), window_(w), format_(format) {}
    SharedMemory(const SharedMemory&) = delete;
    SharedMemory& operator=(const SharedMemory&) = delete;
    ~SharedMemory() override {
        for (const auto& s : segments_)
            release(*s);
    }

    // The segment that holds exactly the pixels of `frame`.
    Segment* holding(const gfx::Picture& frame) {
        const auto* at = reinterpret_cast<const char*>(frame.data());
        const std::size_t bytes = std::size_t(frame.width()) * std::size_t(frame.height()) * 4;
        for (const auto& s : segments_)
            if (s->info.shmaddr == at && s->bytes >= bytes)
                return s.get();
        return nullptr;
    }

    // A segment of its own the size of `size`, made the first time.
    Segment* spare(gfx::Size size) {
        if (spare_ && spare_->size == size)
            return spare_;
        if (spare_)
            drop(spare_);
        spare_ = share(std::size_t(size.w) * std::size_t(size.h) * 4);
        if (spare_)
            spare_->size = size;
        return spare_;
    }

    // The server's picture of the `size` frame in `s`, set to enlarge
    // `scale` times; false when the server refuses it.
    bool prepare(Segment& s, gfx::Size size, int scale) {
        if (s.source && s.size != size) {
            const RefusalsNoted noted(d_);
            dropPicture(s);
        }
        if (!s.source) {
            RefusalsNoted noted(d_);
            s.pixmap = XShmCreatePixmap(d_, window_, s.info.shmaddr, &s.info, unsigned(size.w),
                                        unsigned(size.h), 24);
            if (s.pixmap)
                s.source = XRenderCreatePicture(d_, s.pixmap, format_, 0, nullptr);
            if (s.source)
                XRenderSetPictureFilter(d_, s.source, FilterNearest, nullptr, 0);
            if (noted.any() || !s.source) {
                // Whatever was made is taken down again; the frame is then
                // copied into the spare segment.
                dropPicture(s);
                return false;
            }
            s.size = size;
            s.scale = 0;
        }
        if (s.scale != scale) {
            // Window pixel (x, y) shows frame pixel (x / scale, y / scale).
            XTransform t{};
            t.matrix[0][0] = XDoubleToFixed(1.0 / scale);
            t.matrix[1][1] = XDoubleToFixed(1.0 / scale);
            t.matrix[2][2] = XDoubleToFixed(1.0);
            XRenderSetPictureTransform(d_, s.source, &t);
            s.scale = scale;
        }
        return true;
    }

  private:
    void* do_allocate(std::size_t bytes, std::size_t alignment) override {
        if (const Segment* s = share(bytes))
            return s->info.shmaddr;
        return std::pmr::new_delete_resource()->allocate(bytes, alignment);
    }

    void do_deallocate(void* p, std::size_t bytes, std::size_t alignment) override {
        const auto it = std::find_if(segments_.begin(), segments_.end(),
                                     [p](const auto& s) { return s->info.shmaddr == p; });
        if (it == segments_.end())
            std::pmr::new_delete_resource()->deallocate(p, bytes, alignment);
        else
            drop(it->get());
    }

    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override {
        return this == &other;
    }

    // A new segment the server has attached, or null (it cannot be made, or
    // a server on another machine cannot reach it).
    Segment* share(std::size_t bytes) {
        auto s = std::make_unique<Segment>();
        s->bytes = bytes;
        s->info.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
        if (s->info.shmid < 0)
            return nullptr;
        void* at = shmat(s->info.shmid, nullptr, 0);
        // Both sides hold it once attached; it goes when the last one lets
        // go, even if the program is killed.
        const auto forget = [&s] { shmctl(s->info.shmid, IPC_RMID, nullptr); };
        if (at == reinterpret_cast<void*>(-1)) {
            forget();
            return nullptr;
        }
        s->info.shmaddr = static_cast<char*>(at);
        s->info.readOnly = False;
        bool attached = false;
        {
            RefusalsNoted noted(d_);
            attached = XShmAttach(d_, &s->info) != 0 && !noted.any();
        }
        forget();
        if (!attached) {
            shmdt(at);
            return nullptr;
        }
        segments_.push_back(std::move(s));
        return segments_.back().get();
    }

    void dropPicture(Segment& s) {
        if (s.source)
            XRenderFreePicture(d_, s.source);
        if (s.pixmap)
            XFreePixmap(d_, s.pixmap);
        s.source = 0;
        s.pixmap = 0;
    }

    void release(Segment& s) {
        {
            const RefusalsNoted noted(d_);
            dropPicture(s);
            XShmDetach(d_, &s.info);
        }
        shmdt(s.info.shmaddr);
    }

    void drop(Segment* s) {
        if (s == spare_)
            spare_ = nullptr;
        release(*s);
        std::erase_if(segments_, [s](const auto& held) { return held.get() == s; });
    }

    ::Display* d_;
    Window window_;
    XRenderPictFormat* format_;
    std::vector<std::unique_ptr<Segment>> segments_;
    Segment* spare_ = nullptr;
};

} // namespace

struct ServerScaler::Handles {
    ::Display* display = nullptr;
    ::Picture target = 0;
    std::unique_ptr<SharedMemory> memory;

    Handles() = default;
    Handles(const Handles&) = delete;
    Handles& operator=(const Handles&) = delete;
    ~Handles() {
        if (target) {
            const RefusalsNoted noted(display);
            XRenderFreePicture(display, target);
        }
    }
};

bool ServerScaler::declined() {
    const char* v = std::getenv("SHIZI_SERVER_SCALING");
    return v && std::string_view(v) == "0";
}

std::unique_ptr<ServerScaler> ServerScaler::open(SDL_Window* window) {
    if (!window)
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
    h->display = d;
    h->memory = std::make_unique<SharedMemory>(d, w, frameFormat);
    // A first, one-pixel segment tries it all: if the server cannot share
    // memory or make its picture, the program enlarges itself from the start.
    Segment* spare = h->memory->spare({1, 1});
    if (!spare || !h->memory->prepare(*spare, {1, 1}, 1))
        return nullptr;
    {
        RefusalsNoted noted(d);
        h->target = XRenderCreatePicture(d, w, windowFormat, 0, nullptr);
        if (noted.any())
            h->target = 0;
    }
    if (!h->target)
        return nullptr;
    return std::unique_ptr<ServerScaler>(new ServerScaler(std::move(h)));
}

ServerScaler::ServerScaler(std::unique_ptr<Handles> h) : h_(std::move(h)) {}

ServerScaler::~ServerScaler() = default;

std::pmr::memory_resource* ServerScaler::frameMemory() {
    return h_->memory.get();
}

void ServerScaler::show(const gfx::Picture& frame, const std::vector<gfx::Rect>& regions,
                        gfx::Rect view, int scale) {
    if (scale < 1 || frame.empty())
        return;
    ::Display* d = h_->display;
    SharedMemory& memory = *h_->memory;
    Segment* s = memory.holding(frame);
    if (s && !memory.prepare(*s, frame.size(), scale))
        s = nullptr;
    const bool copied = !s;
    if (copied) {
        s = memory.spare(frame.size());
        if (!s || !memory.prepare(*s, frame.size(), scale))
            return;
    }
    bool sent = false;
    for (const gfx::Rect& asked : regions) {
        const gfx::Rect r = asked.intersected(frame.rect());
        if (r.empty())
            continue;
        if (copied) {
            auto* to = reinterpret_cast<std::uint32_t*>(s->info.shmaddr);
            for (int y = r.y; y < r.bottom(); ++y) {
                const std::size_t at =
                    std::size_t(y) * std::size_t(frame.width()) + std::size_t(r.x);
                std::memcpy(to + at, frame.data() + at, std::size_t(r.w) * 4);
            }
        }
        XRenderComposite(d, PictOpSrc, s->source, 0, h_->target, r.x * scale, r.y * scale, 0, 0,
                         (r.x - view.x) * scale, (r.y - view.y) * scale, unsigned(r.w * scale),
                         unsigned(r.h * scale));
        sent = true;
    }
    // The frame is drawn on again in the same memory: the server must have
    // read it first.
    if (sent)
        XSync(d, False);
}

} // namespace platform
