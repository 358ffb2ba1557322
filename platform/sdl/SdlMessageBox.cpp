// Message boxes.
#include <SDL.h>

#include <cstdio>

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
    SDL_ShowMessageBox(&box, &pressed);
}

}  // namespace platform::sdl
