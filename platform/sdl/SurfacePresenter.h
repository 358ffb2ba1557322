// Presentation straight into a window's own framebuffer (SDL's window surface), for where
// SDL's software renderer would otherwise draw: the picture is scaled into it at its final
// place, and only what changed since the last frame is scaled again and sent to the window
// system (under X11 the framebuffer is a shared-memory image, so a present is one copy of
// the changed rectangles into the server). The bars around the picture are cleared only when
// the whole window is drawn again (new size, exposed, another place for the picture).
#pragma once

#include <SDL.h>

#include <cstdint>
#include <vector>

#include "platform/Platform.h"
#include "platform/sdl/SharpScale.h"

namespace platform::sdl {

class SurfacePresenter {
public:
    explicit SurfacePresenter(SDL_Window* window) : window_(window) {}

    // Draws the client picture (picture.Width x picture.Height pixels of 0x00RRGGBB) into
    // `target` of the window's framebuffer. False: the window has no framebuffer of a format
    // this can write (the renderer has to present it instead).
    bool Draw(const std::vector<uint32_t>& picture, Size size, const Rect& target);
    // Sends what Draw changed since the last Show to the screen.
    bool Show();
    // The next Draw draws the whole window again.
    void Invalidate() { whole_ = true; }
    // The window's size in pixels, as its framebuffer has it.
    Size OutputSize() const;

private:
    // The changed parts of the picture since it was last drawn, as rectangles of it.
    void Changes(const std::vector<uint32_t>& picture, Size size, std::vector<Rect>& out) const;
    void DrawWhole(SDL_Surface* s, const std::vector<uint32_t>& picture, Size size, const Rect& target);
    void DrawPart(SDL_Surface* s, const std::vector<uint32_t>& picture, Size size, const Rect& target,
                  const Rect& part);

    SDL_Window* window_;
    SDL_Surface* surface_ = nullptr;  // the framebuffer last drawn into (SDL owns it)
    Size surfaceSize_{};
    Rect target_{};
    Size size_{};
    bool whole_ = true;
    std::vector<uint32_t> drawn_;  // the picture as it stands in the framebuffer
    SharpScaler scaler_;
    std::vector<SDL_Rect> pending_;  // drawn, not yet sent
    std::vector<Rect> changes_;
};

}  // namespace platform::sdl
