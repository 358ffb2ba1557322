// Owning handles for the SDL, SDL_ttf and SDL_mixer objects the backend and the tools hold:
// each is a std::unique_ptr whose stateless deleter calls the library's own free, close or
// destroy function. Where one object must go before another (a texture before its renderer,
// a renderer before its window, chunks and music before the mixer closes), the owner still
// resets them in that order.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>
#include <SDL_ttf.h>

#include <memory>

namespace platform::sdl {

// Calls Release on the pointer; unique_ptr never passes it a null one.
template <auto Release>
struct SdlRelease {
    template <typename T>
    void operator()(T* p) const {
        Release(p);
    }
};

using SurfacePtr = std::unique_ptr<SDL_Surface, SdlRelease<SDL_FreeSurface>>;
using WindowPtr = std::unique_ptr<SDL_Window, SdlRelease<SDL_DestroyWindow>>;
using RendererPtr = std::unique_ptr<SDL_Renderer, SdlRelease<SDL_DestroyRenderer>>;
using TexturePtr = std::unique_ptr<SDL_Texture, SdlRelease<SDL_DestroyTexture>>;
using FontPtr = std::unique_ptr<TTF_Font, SdlRelease<TTF_CloseFont>>;
using ChunkPtr = std::unique_ptr<Mix_Chunk, SdlRelease<Mix_FreeChunk>>;
using MusicPtr = std::unique_ptr<Mix_Music, SdlRelease<Mix_FreeMusic>>;
using JoystickPtr = std::unique_ptr<SDL_Joystick, SdlRelease<SDL_JoystickClose>>;
using GameControllerPtr = std::unique_ptr<SDL_GameController, SdlRelease<SDL_GameControllerClose>>;
using HapticPtr = std::unique_ptr<SDL_Haptic, SdlRelease<SDL_HapticClose>>;

}  // namespace platform::sdl
