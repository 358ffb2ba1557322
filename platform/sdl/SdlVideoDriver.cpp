// Which window system SDL's video runs on.
#include "platform/sdl/SdlVideoDriver.h"

#include <SDL.h>

#include <cstdlib>

namespace platform::sdl {

namespace {

bool Given(const char* value) { return value && *value; }

}  // namespace

void PrepareVideoDriver() {
    if (Given(SDL_GetHint(SDL_HINT_VIDEODRIVER))) return;  // the player's (or a test's) choice
    if (Given(std::getenv("WAYLAND_DISPLAY"))) SDL_SetHint(SDL_HINT_VIDEODRIVER, "wayland,x11");
}

void VideoDriverStarted(const std::string& appId) {
    if (OnWayland()) {
        // SDL 2 reads the app id from the environment, SDL 3 (also under the SDL 2 names)
        // from its hint; a player's own setting of either stays.
        const char* own = std::getenv("SDL_VIDEO_WAYLAND_WMCLASS");
        if (!Given(own)) own = std::getenv("SDL_APP_ID");
        const std::string id = Given(own) ? own : appId;
        setenv("SDL_VIDEO_WAYLAND_WMCLASS", id.c_str(), 0);
        SDL_SetHint("SDL_APP_ID", id.c_str());
    } else {
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    }
}

std::string VideoDriverName() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver ? driver : "";
}

bool OnWayland() { return VideoDriverName() == "wayland"; }

}  // namespace platform::sdl
