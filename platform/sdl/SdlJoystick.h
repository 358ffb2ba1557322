// Joysticks and haptic devices through SDL2.
#pragma once

#include <memory>

#include "platform/Input.h"

namespace platform::sdl {

// Opens SDL's joystick and haptic subsystems (either may fail: then there are simply no
// joysticks, or no force feedback) and closes them again when the system is destroyed.
std::unique_ptr<platform::IJoystickSystem> CreateJoystickSystem();

}  // namespace platform::sdl
