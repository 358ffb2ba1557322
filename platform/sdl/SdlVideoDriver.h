// Which of the desktop's window systems SDL's video runs on, and what the desktop is told
// about the program.
//
// Where the session is Wayland (WAYLAND_DISPLAY set) the program runs on it natively, with
// X11 as the fallback; where there is no Wayland, X11. A video driver the player names
// (SDL_VIDEODRIVER, or a hint set before) always decides.
#pragma once

#include <string>

struct SDL_Window;

namespace platform::sdl {

// The program's name on Wayland (its app id): the desktop entry's name for the game.
inline constexpr const char* GameAppId = "org.starbreaker.Starbreaker";

// Before SDL's video starts: the driver preference above, and the app id for SDL 2.
void PrepareVideoDriver(const std::string& appId);

// Right after SDL's video has started, before any window exists: the settings that depend on
// the driver chosen. On Wayland the app id (unless the player gave one); on X11 the window
// surface without software OpenGL, which costs twenty times a plain one there (on Wayland
// the surface exists only through OpenGL, so the setting stays SDL's).
void VideoDriverStarted(const std::string& appId);

// The driver SDL's video runs on ("x11", "wayland", "dummy", ...; empty before it starts).
std::string VideoDriverName();
bool OnWayland();

// SDL 2's interface is served by SDL 3 underneath (sdl2-compat, versions 2.x.50 and later).
bool Sdl3Underneath();

// Gives a shown X11 window the keyboard focus, as SDL 2's request for it did (SDL 3 only asks
// a window manager, so without one the window never got it). Does nothing elsewhere.
void TakeX11InputFocus(SDL_Window* window);

}  // namespace platform::sdl
