// The picture of a message box of the program's own drawing: the title and the text centred
// in the game's font, yellow and white on black as the game's screens, with an OK button.
// Kept apart from SDL so its layout can be checked with any text renderer.
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace platform::sdl {

struct MessageBoxPicture {
    Bitmap Picture;                  // 32-bit, 0x00RRGGBB
    Rect Button;                     // the OK button, in the picture's pixels
    std::vector<std::string> Lines;  // the text as laid out (wrapped at spaces)
};

// Lines break at '\n' and, wider than maxTextWidth pixels, at spaces (a single word wider
// than that stays whole and is clipped).
MessageBoxPicture DrawMessageBox(ITextRenderer& text, const std::string& title, const std::string& body,
                                 int maxTextWidth = 560);

}  // namespace platform::sdl
