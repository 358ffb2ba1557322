// Pixel storage shared by every surface, picture and back buffer.
#include "platform/Platform.h"

#include <cstring>
#include <limits>

namespace platform {

Bitmap::Bitmap(int width, int height, int bits) : width_(width), height_(height), bits_(bits) {
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        throw std::invalid_argument("Bitmap: depth must be 8, 16, 24 or 32 bits");
    if (width < 0 || height < 0 || width > 32768 || height > 32768)
        throw std::invalid_argument("Bitmap: size out of range");
    pitch_ = ((width * (bits / 8)) + 3) & ~3;
    pixels_.assign(static_cast<size_t>(pitch_) * height, 0);
}

uint32_t Bitmap::GetPixel(int x, int y) const {
    const uint8_t* p = Row(y) + x * BytesPerPixel();
    switch (bits_) {
        case 8: return p[0];
        case 16: return static_cast<uint32_t>(p[0] | (p[1] << 8));
        case 24: return static_cast<uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16));
        default: {
            uint32_t v;
            std::memcpy(&v, p, 4);
            return v;
        }
    }
}

void Bitmap::SetPixel(int x, int y, uint32_t value) {
    uint8_t* p = Row(y) + x * BytesPerPixel();
    switch (bits_) {
        case 8: p[0] = static_cast<uint8_t>(value); break;
        case 16:
            p[0] = static_cast<uint8_t>(value);
            p[1] = static_cast<uint8_t>(value >> 8);
            break;
        case 24:
            p[0] = static_cast<uint8_t>(value);
            p[1] = static_cast<uint8_t>(value >> 8);
            p[2] = static_cast<uint8_t>(value >> 16);
            break;
        default: std::memcpy(p, &value, 4); break;
    }
}

uint32_t Bitmap::MapRGB(RGB c) const {
    switch (bits_) {
        case 8: {
            int best = 0, bestDist = std::numeric_limits<int>::max();
            for (int i = 0; i < 256; ++i) {
                const RGB& e = palette_[i];
                int dr = e.R - c.R, dg = e.G - c.G, db = e.B - c.B;
                int d = dr * dr + dg * dg + db * db;
                if (d < bestDist) {
                    bestDist = d;
                    best = i;
                    if (d == 0) break;
                }
            }
            return static_cast<uint32_t>(best);
        }
        case 16: return static_cast<uint32_t>(((c.R >> 3) << 11) | ((c.G >> 2) << 5) | (c.B >> 3));
        default: return (static_cast<uint32_t>(c.R) << 16) | (static_cast<uint32_t>(c.G) << 8) | c.B;
    }
}

RGB Bitmap::GetRGB(uint32_t v) const {
    switch (bits_) {
        case 8: return palette_[v & 0xFF];
        case 16: {
            uint8_t r = (v >> 11) & 0x1F, g = (v >> 5) & 0x3F, b = v & 0x1F;
            return RGB{static_cast<uint8_t>((r << 3) | (r >> 2)), static_cast<uint8_t>((g << 2) | (g >> 4)),
                       static_cast<uint8_t>((b << 3) | (b >> 2))};
        }
        default: return RGB{static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
    }
}

void Bitmap::Fill(uint32_t value) {
    if (Empty()) return;
    if (bits_ == 8 || (bits_ == 32 && value == 0) || (bits_ == 16 && (value & 0xFF) == ((value >> 8) & 0xFF)) ||
        (bits_ == 24 && (value & 0xFF) == ((value >> 8) & 0xFF) && (value & 0xFF) == ((value >> 16) & 0xFF))) {
        std::memset(pixels_.data(), static_cast<int>(value & 0xFF), pixels_.size());
        return;
    }
    for (int x = 0; x < width_; ++x) SetPixel(x, 0, value);
    const size_t rowBytes = static_cast<size_t>(width_) * BytesPerPixel();
    for (int y = 1; y < height_; ++y) std::memcpy(Row(y), Row(0), rowBytes);
}

namespace {
Services g_services;
}

Services& Current() { return g_services; }
void Install(const Services& services) { g_services = services; }

}  // namespace platform
