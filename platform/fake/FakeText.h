// A deterministic text renderer for tests: records each call and draws one box per character.
#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace platform::fake {

class FakeTextRenderer : public ITextRenderer {
public:
    struct Call {
        std::string Text;
        int X = 0, Y = 0;
        std::string FontName;
        int Size = 0;
        bool SizeInPixels = false;
        RGB Color;
    };

    // Each character is a filled box CharWidth × PixelHeight with a one-pixel gap on its
    // right (when wider than one pixel); PixelHeight = Size * 96 / 72 for point sizes.
    static int PixelHeight(const FontSpec& font);
    static int CharWidth(const FontSpec& font);
    static int CharCount(std::string_view utf8);  // code points

    void DrawText(Bitmap& dst, int x, int y, std::string_view utf8, const FontSpec& font) override;
    Size TextExtent(std::string_view utf8, const FontSpec& font) override;

    const std::vector<Call>& Calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }
    // Texts drawn so far, in order (a convenience for assertions).
    std::vector<std::string> Texts() const;

private:
    std::vector<Call> calls_;
};

}  // namespace platform::fake
