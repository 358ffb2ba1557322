// The input unit: the input component, its devices (keyboard, joystick, mouse, game pads),
// the input states they are bound to, and the devices' force-feedback effect trees.
#pragma once

#include "input/ForceFeedbackEffect.h"
#include "input/Gamepad.h"
#include "input/InputComponent.h"
#include "input/InputDevice.h"
#include "input/InputStates.h"
#include "input/Joystick.h"
#include "input/Keyboard.h"
#include "input/Mouse.h"
