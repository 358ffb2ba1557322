// BMP decoding: any bytes give a picture or a picture error.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/Picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    platform::Picture p;
    try {
        p = platform::DecodeBMP(std::span<const uint8_t>(data, size));
    } catch (const platform::EPictureError&) { return 0; }
    const int bits = p.Image.Bits();
    if (p.Width() <= 0 || p.Height() <= 0 || (bits != 8 && bits != 24 && bits != 32)) std::abort();
    if (p.HasPalette != (bits == 8)) std::abort();
    // Touch every row so a short pixel store shows up.
    unsigned sum = 0;
    for (int y = 0; y < p.Height(); ++y) sum += p.Image.Row(y)[p.Width() * p.Image.BytesPerPixel() - 1];
    return static_cast<int>(sum & 0);
}
