// Which window system SDL's video runs on.
#include "platform/sdl/SdlVideoDriver.h"

#include <SDL.h>

#include <cstdlib>

namespace platform::sdl {

namespace {

bool Given(const char* value) { return value && *value; }

}  // namespace

// The app id the player gave (SDL 2's or SDL 3's name for it), else ours.
std::string AppId(const std::string& ours) {
    const char* own = std::getenv("SDL_VIDEO_WAYLAND_WMCLASS");
    if (!Given(own)) own = std::getenv("SDL_APP_ID");
    return Given(own) ? own : ours;
}

void PrepareVideoDriver(const std::string& appId) {
    // SDL 2 reads the Wayland app id from the environment as its video starts (and only on
    // Wayland); SDL 3 reads its hint as a window is made, also on X11 (there it would change
    // the window's class), so that one waits until the driver is known.
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", AppId(appId).c_str(), 0);
    if (Given(SDL_GetHint(SDL_HINT_VIDEODRIVER))) return;  // the player's (or a test's) choice
    if (Given(std::getenv("WAYLAND_DISPLAY"))) SDL_SetHint(SDL_HINT_VIDEODRIVER, "wayland,x11");
}

void VideoDriverStarted(const std::string& appId) {
    if (OnWayland()) {
        SDL_SetHint("SDL_APP_ID", AppId(appId).c_str());
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
