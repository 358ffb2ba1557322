// Painting helpers for the plain windows.
#include "game/WindowCanvas.h"

#include <algorithm>
#include <cstring>

namespace wincanvas {

namespace {

// One row of src as 0x00RRGGBB words, the colours GetRGB gives.
void RowTo32(uint8_t* d, const platform::Bitmap& src, const uint8_t* s, int n) {
    switch (src.Bits()) {
        case 32:
            for (int i = 0; i < n; ++i, s += 4, d += 4) {
                uint32_t v;
                std::memcpy(&v, s, 4);
                v &= 0xFFFFFFu;
                std::memcpy(d, &v, 4);
            }
            break;
        case 24: {
            int i = 0;
            // Four pixels are three little-endian words.
            for (; i + 4 <= n; i += 4, s += 12, d += 16) {
                uint32_t a, b, c;
                std::memcpy(&a, s, 4);
                std::memcpy(&b, s + 4, 4);
                std::memcpy(&c, s + 8, 4);
                const uint32_t p[4] = {a & 0xFFFFFFu, (a >> 24) | ((b & 0xFFFFu) << 8), (b >> 16) | ((c & 0xFFu) << 16),
                                       c >> 8};
                std::memcpy(d, p, 16);
            }
            for (; i < n; ++i, s += 3, d += 4) {
                const uint32_t v = s[0] | (uint32_t(s[1]) << 8) | (uint32_t(s[2]) << 16);
                std::memcpy(d, &v, 4);
            }
            break;
        }
        case 16:
            for (int i = 0; i < n; ++i, s += 2, d += 4) {
                const uint32_t v = s[0] | (uint32_t(s[1]) << 8);
                const uint32_t r = v >> 11, g = (v >> 5) & 0x3F, b = v & 0x1F;
                const uint32_t c = (((r << 3) | (r >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) | ((b << 3) | (b >> 2));
                std::memcpy(d, &c, 4);
            }
            break;
        default:
            for (int i = 0; i < n; ++i, ++s, d += 4) {
                const platform::RGB c = src.Palette()[*s];
                const uint32_t v = (uint32_t(c.R) << 16) | (uint32_t(c.G) << 8) | c.B;
                std::memcpy(d, &v, 4);
            }
            break;
    }
}

}  // namespace

void DrawBitmap(platform::Bitmap& dst, const platform::Bitmap& src, int x, int y) {
    const int x0 = std::max(0, x), y0 = std::max(0, y);
    const int x1 = std::min(dst.Width(), x + src.Width()), y1 = std::min(dst.Height(), y + src.Height());
    if (x1 <= x0) return;
    if (dst.Bits() == 32) {
        // MapRGB on a 32-bit target is the colour itself: whole rows at once.
        for (int dy = y0; dy < y1; ++dy)
            RowTo32(dst.Row(dy) + x0 * 4, src, src.Row(dy - y) + (x0 - x) * src.BytesPerPixel(), x1 - x0);
        return;
    }
    for (int dy = y0; dy < y1; ++dy)
        for (int dx = x0; dx < x1; ++dx) dst.SetPixel(dx, dy, dst.MapRGB(src.GetRGB(src.GetPixel(dx - x, dy - y))));
}

void FillRect(platform::Bitmap& dst, const platform::Rect& r, platform::RGB color) {
    const uint32_t v = dst.MapRGB(color);
    const int x0 = std::max(0, r.Left), y0 = std::max(0, r.Top);
    const int x1 = std::min(dst.Width(), r.Right), y1 = std::min(dst.Height(), r.Bottom);
    if (dst.Bits() == 32) {
        for (int y = y0; y < y1; ++y) {
            uint8_t* d = dst.Row(y);
            for (int x = x0; x < x1; ++x) std::memcpy(d + 4 * x, &v, 4);
        }
        return;
    }
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) dst.SetPixel(x, y, v);
}

void FrameRect(platform::Bitmap& dst, const platform::Rect& r, platform::RGB color) {
    FillRect(dst, {r.Left, r.Top, r.Right, r.Top + 1}, color);
    FillRect(dst, {r.Left, r.Bottom - 1, r.Right, r.Bottom}, color);
    FillRect(dst, {r.Left, r.Top, r.Left + 1, r.Bottom}, color);
    FillRect(dst, {r.Right - 1, r.Top, r.Right, r.Bottom}, color);
}

}  // namespace wincanvas
