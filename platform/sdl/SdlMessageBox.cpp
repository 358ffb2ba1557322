// Message boxes: SDL's own where it can show one, else one of the program's own drawing.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/sdl/MessageBoxPicture.h"
#include "platform/sdl/SdlText.h"
#include "platform/sdl/SdlWindowSystem.h"

namespace platform::sdl {

void SdlWindowSystem::ShowMessageBox(const std::string& title, const std::string& text) {
    // Also to stderr: without a display the box cannot show, and a log keeps what it said.
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    std::fflush(stderr);
    // No parent: SDL places a box relative to its parent's position twice over, which puts
    // it off the screen for a window that is not at the screen's corner (and our main window
    // waits out of sight during the start-up). Without one it is centred on the screen.
    // Its OK button answers Enter and Escape.
    SDL_MessageBoxButtonData ok{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0,
                                "OK"};
    SDL_MessageBoxData box{SDL_MESSAGEBOX_INFORMATION, nullptr, title.c_str(), text.c_str(), 1, &ok, nullptr};
    int pressed = 0;
    if (SDL_ShowMessageBox(&box, &pressed) == 0) return;
    // SDL's box needs a dialog helper on Wayland (zenity) that a desktop may lack. Nobody
    // could answer a box on a driver without a desktop: there the log is all.
    if (!headless_) ShowDrawnMessageBox(title, text);
}

bool SdlWindowSystem::ShowDrawnMessageBox(const std::string& title, const std::string& text) {
    SdlTextRenderer fonts(8);
    const MessageBoxPicture box = DrawMessageBox(fonts, title, text);
    const int w = box.Picture.Width(), h = box.Picture.Height();
    WindowPtr window(SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h,
                                      SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALLOW_HIGHDPI));
    if (!window) return false;
    RendererPtr renderer(SDL_CreateRenderer(window.get(), rendererIndex_, 0));
    if (!renderer) renderer.reset(SDL_CreateRenderer(window.get(), SoftwareRendererIndex(), 0));
    if (!renderer) return false;
    TexturePtr picture(SDL_CreateTexture(renderer.get(), SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STATIC, w, h));
    if (!picture || SDL_UpdateTexture(picture.get(), nullptr, box.Picture.Data(), box.Picture.Pitch()) != 0)
        return false;
    SDL_SetTextureScaleMode(picture.get(), SDL_ScaleModeNearest);
    const uint32_t id = SDL_GetWindowID(window.get());
    // On Wayland the compositor gives a new window the focus, and SDL's activation request
    // there crashes sway 1.7: ask only elsewhere.
    if (!wayland_) {
        SDL_RaiseWindow(window.get());
        SDL_SetWindowInputFocus(window.get());
    }

    // Modal, as SDL's box is: input to the program's other windows meanwhile is dropped;
    // their other events (focus, pads plugged in) are handed on once it is answered. A
    // request to quit answers the box and is kept for the program.
    std::vector<SDL_Event> later;
    bool answered = false, quit = false, dirty = true;
    while (!answered) {
        if (dirty) {
            // A Wayland window shows only once a frame is committed to it: draw at once.
            SDL_RenderClear(renderer.get());
            SDL_RenderCopy(renderer.get(), picture.get(), nullptr, nullptr);
            SDL_RenderPresent(renderer.get());
            dirty = false;
        }
        SDL_Event e;
        if (!SDL_WaitEventTimeout(&e, 250)) continue;
        switch (e.type) {
            case SDL_QUIT: quit = answered = true; break;
            case SDL_KEYDOWN: {
                // A key sent to no window in particular counts as ours too.
                if (e.key.windowID != id && e.key.windowID != 0) break;
                const SDL_Keycode k = e.key.keysym.sym;
                answered = k == SDLK_RETURN || k == SDLK_KP_ENTER || k == SDLK_ESCAPE || k == SDLK_SPACE;
                break;
            }
            case SDL_MOUSEBUTTONUP: {
                if (e.button.windowID != id || e.button.button != SDL_BUTTON_LEFT) break;
                // Mouse positions are in points, the picture in its own pixels.
                int ww = w, wh = h;
                SDL_GetWindowSize(window.get(), &ww, &wh);
                const int x = ww > 0 ? e.button.x * w / ww : e.button.x, y = wh > 0 ? e.button.y * h / wh : e.button.y;
                answered = x >= box.Button.Left && x < box.Button.Right && y >= box.Button.Top && y < box.Button.Bottom;
                break;
            }
            case SDL_TEXTINPUT:
            case SDL_KEYUP:
            case SDL_MOUSEMOTION:
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEWHEEL: break;
            case SDL_WINDOWEVENT:
                if (e.window.windowID != id) {
                    later.push_back(e);
                    break;
                }
                if (e.window.event == SDL_WINDOWEVENT_CLOSE) answered = true;
                else if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SHOWN ||
                         e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
                    dirty = true;
                break;
            default:
                if (e.type == wakeEvent_) wakePending_ = false;
                else later.push_back(e);
                break;
        }
    }
    picture.reset();
    renderer.reset();
    window.reset();
    for (SDL_Event& e : later) Translate(e);
    if (quit) {
        Message m;
        m.Kind = MsgKind::Quit;
        queue_.Push(std::move(m));
    }
    return true;
}

}  // namespace platform::sdl
