// Colours as the game names them (0x00BBGGRR), colour-table entries and the system palette.
#pragma once

#include <array>
#include <cstdint>

#include "platform/Platform.h"

// 0x00BBGGRR, red in the low byte.
using TColor = uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clNavy = 0x800000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

constexpr TColor RGBColor(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}
constexpr platform::RGB ColorToRGB(TColor c) {
    return platform::RGB{static_cast<uint8_t>(c & 0xFF), static_cast<uint8_t>((c >> 8) & 0xFF),
                         static_cast<uint8_t>((c >> 16) & 0xFF)};
}
constexpr TColor RGBToColor(platform::RGB c) { return RGBColor(c.R, c.G, c.B); }

// One colour-table entry as stored in the design data: blue, green, red, 0.
struct TRGBQuad {
    uint8_t rgbBlue = 0, rgbGreen = 0, rgbRed = 0, rgbReserved = 0;
    friend bool operator==(const TRGBQuad&, const TRGBQuad&) = default;
};
using TRGBQuads = std::array<TRGBQuad, 256>;  // 1024 bytes

constexpr TRGBQuad RGBQuad(uint8_t r, uint8_t g, uint8_t b) { return TRGBQuad{b, g, r, 0}; }

// The machine's own 256-entry palette: the twenty static colours at 0..9 and 246..255,
// black elsewhere.
const TRGBQuads& SystemPalette();
