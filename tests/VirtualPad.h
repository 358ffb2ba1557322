// A virtual pad that SDL reads as a game controller: every button and axis of the standard
// layout, so the mapping database needs no entry for it.
#pragma once

#include <SDL.h>

inline SDL_VirtualJoystickDesc VirtualPadDesc(const char* name = "Virtual Pad") {
    SDL_VirtualJoystickDesc d{};
    d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    d.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    d.naxes = SDL_CONTROLLER_AXIS_MAX;
    d.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    d.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
    d.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
    d.name = name;
    return d;
}

// What a virtual device's callback answers for "done". SDL 2 reads 0; sdl2-compat (SDL 2 over
// SDL 3, versions 2.x.50 and later) hands the answer to SDL 3 unchanged, which reads true, and
// takes 0 for a failure (a rumble it then never times out). Real pads are not answered this way.
inline int VirtualDeviceDone() {
    SDL_version v;
    SDL_GetVersion(&v);
    return (v.major == 2 && v.patch >= 50) ? 1 : 0;
}
