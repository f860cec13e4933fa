// Picture files through SDL2_image.
#include "platform/Platform.h"
#include "platform/SdlHandles.h"

#include <SDL_image.h>
#include <cstdio>

namespace platform {

namespace {

class SdlImageLoader final : public ImageLoader {
  public:
    SdlImageLoader() { IMG_Init(IMG_INIT_JPG); }
    ~SdlImageLoader() override { IMG_Quit(); }

    std::optional<Picture> load(const std::string& path) override {
        const std::string file = nativePath(path);
        SurfacePtr raw(IMG_Load(file.c_str()));
        if (!raw) {
            std::fprintf(stderr, "cannot read picture %s: %s\n", file.c_str(), IMG_GetError());
            return std::nullopt;
        }
        SurfacePtr s(SDL_ConvertSurfaceFormat(raw.get(), SDL_PIXELFORMAT_RGB888, 0));
        if (!s || s->w <= 0 || s->h <= 0) {
            std::fprintf(stderr, "cannot read picture %s: %s\n", file.c_str(), SDL_GetError());
            return std::nullopt;
        }
        Picture pic(s->w, s->h);
        for (int y = 0; y < s->h; ++y) {
            const auto* row = reinterpret_cast<const Uint32*>(static_cast<const Uint8*>(s->pixels) +
                                                              std::ptrdiff_t(y) * s->pitch);
            std::uint32_t* out = pic.data() + std::size_t(y) * std::size_t(s->w);
            for (int x = 0; x < s->w; ++x)
                out[x] = row[x] & 0xFFFFFFu;
        }
        return pic;
    }
};

} // namespace

std::unique_ptr<ImageLoader> createImageLoader() {
    return std::make_unique<SdlImageLoader>();
}

} // namespace platform
