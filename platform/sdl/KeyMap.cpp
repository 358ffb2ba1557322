// SDL key identities → virtual-key codes and set-1 scan codes.
#include "platform/sdl/KeyMap.h"

#include <array>

namespace platform::sdl {

namespace {

struct Pair {
    SDL_Scancode Sdl;
    int Code;
};

// Virtual-key codes of key positions (US layout for the punctuation keys).
constexpr Pair kVirtualKeys[] = {
    {SDL_SCANCODE_RETURN, 13},         {SDL_SCANCODE_ESCAPE, 27},
    {SDL_SCANCODE_BACKSPACE, 8},       {SDL_SCANCODE_TAB, 9},
    {SDL_SCANCODE_SPACE, 32},          {SDL_SCANCODE_MINUS, 0xBD},
    {SDL_SCANCODE_EQUALS, 0xBB},       {SDL_SCANCODE_LEFTBRACKET, 0xDB},
    {SDL_SCANCODE_RIGHTBRACKET, 0xDD}, {SDL_SCANCODE_BACKSLASH, 0xDC},
    {SDL_SCANCODE_NONUSHASH, 0xDC},    {SDL_SCANCODE_SEMICOLON, 0xBA},
    {SDL_SCANCODE_APOSTROPHE, 0xDE},   {SDL_SCANCODE_GRAVE, 0xC0},
    {SDL_SCANCODE_COMMA, 0xBC},        {SDL_SCANCODE_PERIOD, 0xBE},
    {SDL_SCANCODE_SLASH, 0xBF},        {SDL_SCANCODE_CAPSLOCK, 0x14},
    {SDL_SCANCODE_PRINTSCREEN, 0x2C},  {SDL_SCANCODE_SCROLLLOCK, 0x91},
    {SDL_SCANCODE_PAUSE, 0x13},        {SDL_SCANCODE_INSERT, 0x2D},
    {SDL_SCANCODE_HOME, 0x24},         {SDL_SCANCODE_PAGEUP, 0x21},
    {SDL_SCANCODE_DELETE, 0x2E},       {SDL_SCANCODE_END, 0x23},
    {SDL_SCANCODE_PAGEDOWN, 0x22},     {SDL_SCANCODE_RIGHT, 0x27},
    {SDL_SCANCODE_LEFT, 0x25},         {SDL_SCANCODE_DOWN, 0x28},
    {SDL_SCANCODE_UP, 0x26},           {SDL_SCANCODE_NUMLOCKCLEAR, 0x90},
    {SDL_SCANCODE_KP_DIVIDE, 0x6F},    {SDL_SCANCODE_KP_MULTIPLY, 0x6A},
    {SDL_SCANCODE_KP_MINUS, 0x6D},     {SDL_SCANCODE_KP_PLUS, 0x6B},
    {SDL_SCANCODE_KP_ENTER, 13},       {SDL_SCANCODE_NONUSBACKSLASH, 0xE2},
    {SDL_SCANCODE_APPLICATION, 0x5D},  {SDL_SCANCODE_LCTRL, 17},
    {SDL_SCANCODE_LSHIFT, 16},         {SDL_SCANCODE_LALT, 18},
    {SDL_SCANCODE_LGUI, 0x5B},         {SDL_SCANCODE_RCTRL, 17},
    {SDL_SCANCODE_RSHIFT, 16},         {SDL_SCANCODE_RALT, 18},
    {SDL_SCANCODE_RGUI, 0x5C},
};

// Keypad keys: with Num Lock on, without.
struct KeypadKey {
    SDL_Scancode Sdl;
    int NumLockOn, NumLockOff;
};
constexpr KeypadKey kKeypad[] = {
    {SDL_SCANCODE_KP_0, 0x60, 0x2D}, {SDL_SCANCODE_KP_1, 0x61, 0x23},      {SDL_SCANCODE_KP_2, 0x62, 0x28},
    {SDL_SCANCODE_KP_3, 0x63, 0x22}, {SDL_SCANCODE_KP_4, 0x64, 0x25},      {SDL_SCANCODE_KP_5, 0x65, 0x0C},
    {SDL_SCANCODE_KP_6, 0x66, 0x27}, {SDL_SCANCODE_KP_7, 0x67, 0x24},      {SDL_SCANCODE_KP_8, 0x68, 0x26},
    {SDL_SCANCODE_KP_9, 0x69, 0x21}, {SDL_SCANCODE_KP_PERIOD, 0x6E, 0x2E},
};

constexpr Pair kScanCodes[] = {
    {SDL_SCANCODE_ESCAPE, 1},
    {SDL_SCANCODE_MINUS, 12},
    {SDL_SCANCODE_EQUALS, 13},
    {SDL_SCANCODE_BACKSPACE, 14},
    {SDL_SCANCODE_TAB, 15},
    {SDL_SCANCODE_LEFTBRACKET, 26},
    {SDL_SCANCODE_RIGHTBRACKET, 27},
    {SDL_SCANCODE_RETURN, 28},
    {SDL_SCANCODE_LCTRL, 29},
    {SDL_SCANCODE_SEMICOLON, 39},
    {SDL_SCANCODE_APOSTROPHE, 40},
    {SDL_SCANCODE_GRAVE, 41},
    {SDL_SCANCODE_LSHIFT, 42},
    {SDL_SCANCODE_BACKSLASH, 43},
    {SDL_SCANCODE_NONUSHASH, 43},
    {SDL_SCANCODE_COMMA, 51},
    {SDL_SCANCODE_PERIOD, 52},
    {SDL_SCANCODE_SLASH, 53},
    {SDL_SCANCODE_RSHIFT, 54},
    {SDL_SCANCODE_KP_MULTIPLY, 55},
    {SDL_SCANCODE_LALT, 56},
    {SDL_SCANCODE_SPACE, 57},
    {SDL_SCANCODE_CAPSLOCK, 58},
    {SDL_SCANCODE_NUMLOCKCLEAR, 69},
    {SDL_SCANCODE_SCROLLLOCK, 70},
    {SDL_SCANCODE_KP_7, 71},
    {SDL_SCANCODE_KP_8, 72},
    {SDL_SCANCODE_KP_9, 73},
    {SDL_SCANCODE_KP_MINUS, 74},
    {SDL_SCANCODE_KP_4, 75},
    {SDL_SCANCODE_KP_5, 76},
    {SDL_SCANCODE_KP_6, 77},
    {SDL_SCANCODE_KP_PLUS, 78},
    {SDL_SCANCODE_KP_1, 79},
    {SDL_SCANCODE_KP_2, 80},
    {SDL_SCANCODE_KP_3, 81},
    {SDL_SCANCODE_KP_0, 82},
    {SDL_SCANCODE_KP_PERIOD, 83},
    {SDL_SCANCODE_NONUSBACKSLASH, 86},
    {SDL_SCANCODE_F11, 87},
    {SDL_SCANCODE_F12, 88},
    {SDL_SCANCODE_F13, 0x64},
    {SDL_SCANCODE_F14, 0x65},
    {SDL_SCANCODE_F15, 0x66},
    // Extended (E0-prefixed) keys.
    {SDL_SCANCODE_KP_ENTER, 0x9C},
    {SDL_SCANCODE_RCTRL, 0x9D},
    {SDL_SCANCODE_KP_DIVIDE, 0xB5},
    {SDL_SCANCODE_PRINTSCREEN, 0xB7},
    {SDL_SCANCODE_RALT, 0xB8},
    {SDL_SCANCODE_PAUSE, 0xC5},
    {SDL_SCANCODE_HOME, 0xC7},
    {SDL_SCANCODE_UP, 0xC8},
    {SDL_SCANCODE_PAGEUP, 0xC9},
    {SDL_SCANCODE_LEFT, 0xCB},
    {SDL_SCANCODE_RIGHT, 0xCD},
    {SDL_SCANCODE_END, 0xCF},
    {SDL_SCANCODE_DOWN, 0xD0},
    {SDL_SCANCODE_PAGEDOWN, 0xD1},
    {SDL_SCANCODE_INSERT, 0xD2},
    {SDL_SCANCODE_DELETE, 0xD3},
    {SDL_SCANCODE_LGUI, 0xDB},
    {SDL_SCANCODE_RGUI, 0xDC},
    {SDL_SCANCODE_APPLICATION, 0xDD},
};

template <size_t N>
int Lookup(const Pair (&table)[N], SDL_Scancode sc) {
    for (const Pair& p : table)
        if (p.Sdl == sc) return p.Code;
    return 0;
}

}  // namespace

int VirtualKeyFromSdl(const SDL_Keysym& key) {
    // The layout decides which letter a key types where it types a Latin one (QWERTZ,
    // AZERTY); elsewhere (Cyrillic) the key's position decides, as on the US layout.
    if (key.sym >= SDLK_a && key.sym <= SDLK_z) return 'A' + (key.sym - SDLK_a);
    if (key.sym >= SDLK_0 && key.sym <= SDLK_9 && key.scancode >= SDL_SCANCODE_1 && key.scancode <= SDL_SCANCODE_0)
        return key.sym;
    SDL_Scancode sc = key.scancode;
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return 'A' + (sc - SDL_SCANCODE_A);
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return '1' + (sc - SDL_SCANCODE_1);
    if (sc == SDL_SCANCODE_0) return '0';
    if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return 0x70 + (sc - SDL_SCANCODE_F1);
    if (sc >= SDL_SCANCODE_F13 && sc <= SDL_SCANCODE_F24) return 0x7C + (sc - SDL_SCANCODE_F13);
    for (const KeypadKey& k : kKeypad)
        if (k.Sdl == sc) return (key.mod & KMOD_NUM) ? k.NumLockOn : k.NumLockOff;
    return Lookup(kVirtualKeys, sc);
}

int ScanCodeFromSdl(SDL_Scancode sc) {
    if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_0) return 2 + (sc - SDL_SCANCODE_1);
    if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) {
        static constexpr std::array<int, 26> letters = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                                        49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};
        return letters[sc - SDL_SCANCODE_A];
    }
    if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F10) return 59 + (sc - SDL_SCANCODE_F1);
    return Lookup(kScanCodes, sc);
}

}  // namespace platform::sdl
