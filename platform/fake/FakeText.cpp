// Deterministic text drawing for tests.
#include "platform/fake/FakeText.h"

#include <algorithm>

namespace platform::fake {

int FakeTextRenderer::PixelHeight(const FontSpec& font) {
    const int px = font.SizeInPixels ? font.Size : font.Size * 96 / 72;
    return std::max(1, px);
}

int FakeTextRenderer::CharWidth(const FontSpec& font) { return std::max(1, PixelHeight(font) / 2); }

int FakeTextRenderer::CharCount(std::string_view utf8) {
    int n = 0;
    for (unsigned char c : utf8)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

void FakeTextRenderer::DrawText(Bitmap& dst, int x, int y, std::string_view utf8, const FontSpec& font) {
    calls_.push_back({std::string(utf8), x, y, font.Name, font.Size, font.SizeInPixels, font.Color});
    if (dst.Empty()) return;
    const int h = PixelHeight(font), cw = CharWidth(font);
    const int boxW = cw > 1 ? cw - 1 : 1;
    const uint32_t value = dst.MapRGB(font.Color);
    const int n = CharCount(utf8);
    const int top = std::max(0, y), bottom = std::min(dst.Height(), y + h);
    for (int i = 0; i < n; ++i) {
        const int left = std::max(0, x + i * cw), right = std::min(dst.Width(), x + i * cw + boxW);
        for (int py = top; py < bottom; ++py)
            for (int px = left; px < right; ++px) dst.SetPixel(px, py, value);
    }
}

Size FakeTextRenderer::TextExtent(std::string_view utf8, const FontSpec& font) {
    return Size{CharCount(utf8) * CharWidth(font), PixelHeight(font)};
}

std::vector<std::string> FakeTextRenderer::Texts() const {
    std::vector<std::string> out;
    out.reserve(calls_.size());
    for (const auto& c : calls_) out.push_back(c.Text);
    return out;
}

}  // namespace platform::fake
