// Move-only owners of the SDL and SDL_ttf handles the platform layer keeps.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>
#include <memory>

namespace platform {

template <auto Free> struct SdlDeleter {
    template <typename T> void operator()(T* p) const {
        if (p)
            Free(p);
    }
};

using WindowPtr = std::unique_ptr<SDL_Window, SdlDeleter<SDL_DestroyWindow>>;
using RendererPtr = std::unique_ptr<SDL_Renderer, SdlDeleter<SDL_DestroyRenderer>>;
using TexturePtr = std::unique_ptr<SDL_Texture, SdlDeleter<SDL_DestroyTexture>>;
using SurfacePtr = std::unique_ptr<SDL_Surface, SdlDeleter<SDL_FreeSurface>>;
using CursorPtr = std::unique_ptr<SDL_Cursor, SdlDeleter<SDL_FreeCursor>>;
using FontPtr = std::unique_ptr<TTF_Font, SdlDeleter<TTF_CloseFont>>;

} // namespace platform
