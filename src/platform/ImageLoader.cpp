// Picture files: BMP through the program's own reader, JPEG (and PNG)
// through SDL2_image, each sized from its header before anything is decoded.
#include "platform/Platform.h"
#include "platform/SdlHandles.h"
#include "text/Text.h"

#include <SDL_image.h>
#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace platform {

namespace {

// No picture within the limits needs a larger file: four bytes a pixel of
// the largest picture, and room for headers and metadata.
constexpr std::int64_t kMaxFileBytes = gfx::kMaxPicturePixels * 4 + (std::int64_t(1) << 20);

bool readFile(const std::string& file, std::vector<std::uint8_t>& bytes, std::string& why) {
    std::ifstream f(file, std::ios::binary | std::ios::ate);
    if (!f) {
        why = "missing or unreadable";
        return false;
    }
    const std::streamoff len = f.tellg();
    if (len <= 0 || len > kMaxFileBytes) {
        why = len <= 0 ? "empty" : "larger than any picture the program can show";
        return false;
    }
    bytes.resize(std::size_t(len));
    f.seekg(0);
    if (!f.read(reinterpret_cast<char*>(bytes.data()), len)) {
        why = "cannot be read";
        return false;
    }
    return true;
}

// Copies a decoded surface straight into the picture's pixels, converting
// each row on the way: no second full-size surface is made.
bool copySurface(SDL_Surface* s, Picture& pic) {
    const SDL_PixelFormat* f = s->format;
    if (SDL_ISPIXELFORMAT_INDEXED(f->format)) {
        if (SDL_MUSTLOCK(s) && SDL_LockSurface(s) != 0)
            return false;
        const SDL_Palette* pal = f->palette;
        for (int y = 0; y < s->h; ++y) {
            const auto* row = static_cast<const Uint8*>(s->pixels) + std::ptrdiff_t(y) * s->pitch;
            std::uint32_t* out = pic.data() + std::size_t(y) * std::size_t(s->w);
            for (int x = 0; x < s->w; ++x) {
                int i = 0;
                if (f->BitsPerPixel == 4)
                    i = x % 2 ? row[x / 2] & 15 : row[x / 2] >> 4;
                else if (f->BitsPerPixel == 1)
                    i = (row[x / 8] >> (7 - x % 8)) & 1;
                else
                    i = row[x];
                const SDL_Color c =
                    pal && i < pal->ncolors ? pal->colors[i] : SDL_Color{0, 0, 0, 0};
                out[x] = gfx::rgb(c.r, c.g, c.b);
            }
        }
        if (SDL_MUSTLOCK(s))
            SDL_UnlockSurface(s);
        return true;
    }
    if (SDL_ConvertPixels(s->w, s->h, f->format, s->pixels, s->pitch, SDL_PIXELFORMAT_RGB888,
                          pic.data(), s->w * 4) != 0)
        return false;
    const std::size_t n = std::size_t(s->w) * std::size_t(s->h);
    std::uint32_t* px = pic.data();
    for (std::size_t i = 0; i < n; ++i)
        px[i] &= 0xFFFFFFu;
    return true;
}

class SdlImageLoader final : public ImageLoader {
  public:
    SdlImageLoader() { IMG_Init(IMG_INIT_JPG | IMG_INIT_PNG); }
    ~SdlImageLoader() override { IMG_Quit(); }

    std::optional<Picture> load(const std::string& path) override {
        const std::string file = nativePath(path);
        std::vector<std::uint8_t> bytes;
        std::string why;
        if (!readFile(file, bytes, why)) {
            report(file, why);
            return std::nullopt;
        }
        gfx::PictureHeader head;
        if (!gfx::readPictureHeader(bytes.data(), bytes.size(), head)) {
            report(file, "not a BMP, JPEG or PNG picture");
            return std::nullopt;
        }
        if (!gfx::pictureFits(head.width, head.height)) {
            report(file,
                   "it claims " + std::to_string(head.width) + " x " + std::to_string(head.height) +
                       " pixels, more than the " + std::to_string(gfx::kMaxPictureSide) + " x " +
                       std::to_string(gfx::kMaxPictureSide) + " (" +
                       std::to_string(gfx::kMaxPicturePixels) + " pixels) the program can show");
            return std::nullopt;
        }
        if (head.kind == gfx::PictureHeader::Kind::Bmp) {
            Picture pic;
            if (!gfx::decodeBmp(bytes.data(), bytes.size(), pic) || pic.empty()) {
                report(file, "a damaged or unsupported BMP file");
                return std::nullopt;
            }
            return pic;
        }
        return decode(file, bytes);
    }

  private:
    std::set<std::string> reported_;

    // One line per file and run, however often a screen asks for it.
    void report(const std::string& file, const std::string& why) {
        if (reported_.insert(file).second)
            std::fprintf(stderr, "cannot read picture %s: %s\n", text::displayPath(file).c_str(),
                         why.c_str());
    }

    std::optional<Picture> decode(const std::string& file, const std::vector<std::uint8_t>& bytes) {
        SurfacePtr s(IMG_Load_RW(SDL_RWFromConstMem(bytes.data(), int(bytes.size())), 1));
        if (!s || s->w <= 0 || s->h <= 0) {
            report(file, IMG_GetError());
            return std::nullopt;
        }
        // The decoder may disagree with the header it was given; the limits
        // hold for what it made, too.
        Picture pic(s->w, s->h);
        if (pic.empty()) {
            report(file, "no room for its " + std::to_string(s->w) + " x " + std::to_string(s->h) +
                             " pixels");
            return std::nullopt;
        }
        if (!copySurface(s.get(), pic)) {
            report(file, SDL_GetError());
            return std::nullopt;
        }
        return pic;
    }
};

} // namespace

std::unique_ptr<ImageLoader> createImageLoader() {
    return std::make_unique<SdlImageLoader>();
}

} // namespace platform
