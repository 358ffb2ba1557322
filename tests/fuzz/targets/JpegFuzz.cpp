// JPEG decoding: any bytes give a 24-bit picture or a picture error.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/Picture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    platform::Picture p;
    try {
        p = platform::DecodeJPEG(std::span<const uint8_t>(data, size));
    } catch (const platform::EPictureError&) { return 0; }
    if (p.Width() <= 0 || p.Height() <= 0 || p.Image.Bits() != 24 || p.HasPalette) std::abort();
    unsigned sum = 0;
    for (int y = 0; y < p.Height(); ++y) sum += p.Image.Row(y)[p.Width() * 3 - 1];
    return static_cast<int>(sum & 0);
}
