// Text through SDL2_ttf, with faces found by family through fontconfig and
// characters a face lacks taken from the next face that has them.
#include "platform/Platform.h"
#include "platform/SdlHandles.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fontconfig/fontconfig.h>
#include <map>
#include <strings.h>
#include <thread>
#include <tuple>

namespace platform {

namespace {

constexpr const char* kKai = "AR PL KaitiM GB";
constexpr const char* kKaiFallback = "AR PL UKai CN";

struct FaceFile {
    std::string file;
    int index = 0;
    bool needsSyntheticBold = false;
    friend bool operator<(const FaceFile& a, const FaceFile& b) {
        return std::tie(a.file, a.index, a.needsSyntheticBold) <
               std::tie(b.file, b.index, b.needsSyntheticBold);
    }
};

// The face fontconfig picks for a family; with `exact`, only a face of that
// very family.
std::optional<FaceFile> matchFamily(const std::string& family, bool bold, bool exact) {
    FcPattern* pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pat, &result);
    FcPatternDestroy(pat);
    if (!match)
        return std::nullopt;
    std::optional<FaceFile> face;
    bool familyMatches = !exact;
    FcChar8* name = nullptr;
    for (int i = 0;
         !familyMatches && FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i)
        familyMatches = strcasecmp(reinterpret_cast<const char*>(name), family.c_str()) == 0;
    FcChar8* file = nullptr;
    if (familyMatches && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        int index = 0, weight = FC_WEIGHT_REGULAR;
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
        face = FaceFile{reinterpret_cast<const char*>(file), index,
                        bold && weight < FC_WEIGHT_DEMIBOLD};
    }
    FcPatternDestroy(match);
    return face;
}

bool isAscii(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return (unsigned char)c < 0x80; });
}

// Decodes one UTF-8 character at `i`, moving `i` past it; malformed bytes
// read as U+FFFD.
char32_t nextChar(std::string_view s, std::size_t& i) {
    const auto b = (unsigned char)s[i++];
    int more = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
    if (more < 0)
        return 0xFFFD;
    char32_t c = more == 0 ? b : more == 1 ? (b & 0x1F) : more == 2 ? (b & 0x0F) : (b & 0x07);
    for (; more > 0; --more) {
        if (i >= s.size() || ((unsigned char)s[i] >> 6) != 2)
            return 0xFFFD;
        c = (c << 6) | ((unsigned char)s[i++] & 0x3F);
    }
    return c;
}

// The worker reading the configuration ahead of the engine, if started; a
// program that ends before making the engine still waits for it.
std::thread& fontconfigReader() {
    static struct Reader {
        std::thread thread;
        ~Reader() {
            if (thread.joinable())
                thread.join();
        }
    } reader;
    return reader.thread;
}

// Fontconfig's caches are released at exit, so leak checkers see a clean end.
void fontconfigAtExit() {
    static struct Fontconfig {
        Fontconfig() {
            if (fontconfigReader().joinable())
                fontconfigReader().join();
            FcInit(); // at once when the worker has read it
        }
        ~Fontconfig() { FcFini(); }
    } once;
}

class TtfFontEngine final : public FontEngine {
  public:
    TtfFontEngine() {
        if (TTF_Init() != 0)
            std::fprintf(stderr, "fonts: %s\n", TTF_GetError());
        fontconfigAtExit();
    }
    ~TtfFontEngine() override {
        fonts_.clear();
        TTF_Quit();
    }

    gfx::AlphaMask render(const FontSpec& f, std::string_view utf8) override {
        const auto faces = open(f);
        gfx::AlphaMask mask;
        if (faces.empty())
            return mask;
        TTF_Font* primary = faces.front();
        const auto runs = split(faces, utf8);
        mask.width = width(runs);
        mask.height = TTF_FontHeight(primary);
        mask.alpha.assign(std::size_t(std::max(0, mask.width)) * std::size_t(mask.height), 0);
        const int baseline = TTF_FontAscent(primary);
        int x = 0;
        const SDL_Color white{255, 255, 255, 255};
        for (const Run& r : runs) {
            SurfacePtr s(TTF_RenderUTF8_Blended(r.font, r.text.c_str(), white));
            if (!s)
                continue;
            SurfacePtr argb(SDL_ConvertSurfaceFormat(s.get(), SDL_PIXELFORMAT_ARGB8888, 0));
            if (!argb)
                continue;
            const int top = baseline - TTF_FontAscent(r.font);
            for (int y = 0; y < argb->h; ++y) {
                const int my = top + y;
                if (my < 0 || my >= mask.height)
                    continue;
                const auto* row = reinterpret_cast<const Uint32*>(
                    static_cast<const Uint8*>(argb->pixels) + std::ptrdiff_t(y) * argb->pitch);
                for (int sx = 0; sx < argb->w; ++sx) {
                    const int mx = x + sx;
                    if (mx >= 0 && mx < mask.width) {
                        auto& a =
                            mask.alpha[std::size_t(my) * std::size_t(mask.width) + std::size_t(mx)];
                        a = std::max<std::uint8_t>(a, std::uint8_t(row[sx] >> 24));
                    }
                }
            }
            x += r.width;
        }
        return mask;
    }

    Size measure(const FontSpec& f, std::string_view utf8) override {
        const auto faces = open(f);
        if (faces.empty())
            return {};
        return {width(split(faces, utf8)), TTF_FontHeight(faces.front())};
    }

    int lineHeight(const FontSpec& f) override {
        const auto faces = open(f);
        return faces.empty() ? 0 : TTF_FontHeight(faces.front());
    }

  private:
    struct Run {
        TTF_Font* font;
        std::string text;
        int width = 0;
    };

    static int width(const std::vector<Run>& runs) {
        int w = 0;
        for (const Run& r : runs)
            w += r.width;
        return w;
    }

    // Cuts the text into runs each drawn by one face: the first face that has
    // the character, else the first face (which shows its "missing" box).
    static std::vector<Run> split(const std::vector<TTF_Font*>& faces, std::string_view s) {
        std::vector<Run> runs;
        for (std::size_t i = 0; i < s.size();) {
            const std::size_t from = i;
            const char32_t c = nextChar(s, i);
            TTF_Font* font = faces.front();
            for (TTF_Font* face : faces)
                if (TTF_GlyphIsProvided32(face, Uint32(c))) {
                    font = face;
                    break;
                }
            if (runs.empty() || runs.back().font != font)
                runs.push_back({font, {}, 0});
            runs.back().text.append(s.substr(from, i - from));
        }
        for (Run& r : runs) {
            int w = 0, h = 0;
            TTF_SizeUTF8(r.font, r.text.c_str(), &w, &h);
            r.width = w;
        }
        return runs;
    }

    // The faces for a font, the program's own choice first, then the Kai
    // faces for the characters it lacks.
    std::vector<TTF_Font*> open(const FontSpec& f) {
        const int px = std::max(1, int(std::lround(f.points * 4.0 / 3.0)));
        const auto key = std::make_tuple(f.family, f.bold, px);
        if (auto it = resolved_.find(key); it != resolved_.end())
            return it->second;
        std::vector<TTF_Font*> faces;
        for (const FaceFile& file : faceFiles(f.family, f.bold))
            if (TTF_Font* font = load(file, px);
                font && std::find(faces.begin(), faces.end(), font) == faces.end())
                faces.push_back(font);
        if (faces.empty())
            std::fprintf(stderr, "fonts: no face for \"%s\"\n", f.family.c_str());
        resolved_[key] = faces;
        return faces;
    }

    static std::vector<FaceFile> faceFiles(const std::string& family, bool bold) {
        std::vector<FaceFile> files;
        auto add = [&](const std::string& name, bool b, bool exact) {
            if (auto face = matchFamily(name, b, exact))
                files.push_back(*face);
        };
        if (family == "System") {
            add("WenQuanYi Zen Hei", true, true);
            add("DejaVu Sans", true, true);
        } else if (!family.empty() && isAscii(family)) {
            add(family, bold, false);
        }
        add(kKai, bold, true);
        add(kKaiFallback, bold, true);
        if (files.empty())
            add(family.empty() ? "sans" : family, bold, false);
        return files;
    }

    TTF_Font* load(const FaceFile& file, int px) {
        const auto key = std::make_tuple(file, px);
        if (auto it = fonts_.find(key); it != fonts_.end())
            return it->second.get();
        FontPtr font(TTF_OpenFontIndex(file.file.c_str(), px, file.index));
        if (!font) {
            std::fprintf(stderr, "fonts: cannot open %s: %s\n", file.file.c_str(), TTF_GetError());
        } else {
            TTF_SetFontHinting(font.get(), TTF_HINTING_LIGHT);
            if (file.needsSyntheticBold)
                TTF_SetFontStyle(font.get(), TTF_STYLE_BOLD);
        }
        TTF_Font* raw = font.get();
        fonts_[key] = std::move(font);
        return raw;
    }

    std::map<std::tuple<FaceFile, int>, FontPtr> fonts_;
    std::map<std::tuple<std::string, bool, int>, std::vector<TTF_Font*>> resolved_;
};

} // namespace

void prepareFonts() {
    if (!fontconfigReader().joinable())
        fontconfigReader() = std::thread([] { FcInit(); });
}

std::unique_ptr<FontEngine> createFontEngine() {
    return std::make_unique<TtfFontEngine>();
}

} // namespace platform
