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
