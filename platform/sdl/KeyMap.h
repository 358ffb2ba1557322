// SDL key identities → the key codes the program uses: Windows virtual-key codes and PC
// set-1 scan codes (extended keys + 0x80).
#pragma once

#include <SDL_keyboard.h>

namespace platform::sdl {

// The virtual-key code of a key event; 0 when the key has none. Letters and digits follow
// the keyboard layout where it gives Latin ones, other keys their position; the keypad
// digits give VK_NUMPAD0..9 with Num Lock on and the navigation keys with it off.
int VirtualKeyFromSdl(const SDL_Keysym& key);
// The set-1 scan code of a key position; 0 when the PC keyboard has no such key.
int ScanCodeFromSdl(SDL_Scancode scancode);

}  // namespace platform::sdl
