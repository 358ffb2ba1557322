// Painting helpers for the plain windows.
#include "game/WindowCanvas.h"

#include <algorithm>

namespace wincanvas {

void DrawBitmap(platform::Bitmap& dst, const platform::Bitmap& src, int x, int y) {
    const int x0 = std::max(0, x), y0 = std::max(0, y);
    const int x1 = std::min(dst.Width(), x + src.Width()), y1 = std::min(dst.Height(), y + src.Height());
    for (int dy = y0; dy < y1; ++dy)
        for (int dx = x0; dx < x1; ++dx)
            dst.SetPixel(dx, dy, dst.MapRGB(src.GetRGB(src.GetPixel(dx - x, dy - y))));
}

void FillRect(platform::Bitmap& dst, const platform::Rect& r, platform::RGB color) {
    const uint32_t v = dst.MapRGB(color);
    const int x0 = std::max(0, r.Left), y0 = std::max(0, r.Top);
    const int x1 = std::min(dst.Width(), r.Right), y1 = std::min(dst.Height(), r.Bottom);
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
