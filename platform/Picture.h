// Decoded pictures: BMP and JPEG files turned into Bitmaps.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace platform {

// Pictures beyond these sizes are refused rather than allocated.
constexpr long long kMaxPictureSide = 32768;
constexpr long long kMaxPicturePixels = 16LL * 1024 * 1024;

// A picture file that cannot be decoded (unknown format, damaged or truncated data).
class EPictureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One decoded picture. Paletted pictures stay 8-bit with their palette; everything else
// is 24 or 32 bits.
struct Picture {
    Bitmap Image;
    // The picture is 8-bit with a meaningful palette (Image.Palette()).
    bool HasPalette = false;
    // It came from a device-independent bitmap of 8 or fewer bits per pixel; its colour
    // table (padded with black to 256 entries) is Image.Palette().
    bool IndexedDIB = false;

    int Width() const { return Image.Width(); }
    int Height() const { return Image.Height(); }
    bool Empty() const { return Image.Empty(); }
};

// Windows BMP at 1, 4, 8, 16, 24 or 32 bits per pixel.
Picture DecodeBMP(std::span<const uint8_t> bytes);
// Baseline/progressive JPEG, to 24 bits. Corrupt data is refused.
Picture DecodeJPEG(std::span<const uint8_t> bytes);
// By content (BMP/JPEG signature).
Picture DecodePicture(std::span<const uint8_t> bytes);
// A file named the program's way (data\all_bmp\x\ufo1.bmp): resolved, read and decoded.
// Raises EInOutError for a missing file and EPictureError for one that cannot be decoded.
Picture LoadPicture(std::string_view programName);

}  // namespace platform
