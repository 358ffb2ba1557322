// Which window system SDL's video runs on.
#include "platform/sdl/SdlVideoDriver.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <dlfcn.h>

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

bool Sdl3Underneath() {
    SDL_version v;
    SDL_GetVersion(&v);
    return v.major == 2 && v.patch >= 50;
}

void TakeX11InputFocus(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
    // The X library SDL itself has loaded; the program does not link it.
    void* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
    if (!x11) return;
    using ErrorHandler = int (*)(Display*, XErrorEvent*);
    auto setFocus = reinterpret_cast<int (*)(Display*, Window, int, Time)>(dlsym(x11, "XSetInputFocus"));
    auto setHandler = reinterpret_cast<ErrorHandler (*)(ErrorHandler)>(dlsym(x11, "XSetErrorHandler"));
    auto sync = reinterpret_cast<int (*)(Display*, Bool)>(dlsym(x11, "XSync"));
    if (setFocus && setHandler && sync) {
        // A window not yet viewable refuses the focus with an X error: that one is ignored
        // (the default handler would end the program).
        sync(info.info.x11.display, False);
        ErrorHandler previous = setHandler([](Display*, XErrorEvent*) { return 0; });
        setFocus(info.info.x11.display, info.info.x11.window, RevertToParent, CurrentTime);
        sync(info.info.x11.display, False);
        setHandler(previous);
    }
    dlclose(x11);
#else
    (void)window;
#endif
}

}  // namespace platform::sdl
