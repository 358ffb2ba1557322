// Text on a surface through the platform's text renderer.
#include "engine/Canvas.h"

#include "engine/Surface.h"

TDirectDrawSurfaceCanvas::~TDirectDrawSurfaceCanvas() { Release(); }

bool TDirectDrawSurfaceCanvas::Acquire() {
    if (held_) return true;
    if (!surface_->Lock()) return false;
    held_ = true;
    return true;
}

void TDirectDrawSurfaceCanvas::Release() {
    if (!held_) return;
    held_ = false;
    surface_->Unlock();
}

platform::FontSpec TDirectDrawSurfaceCanvas::CurrentFont() const {
    platform::FontSpec f;
    f.Name = font_.Name;
    f.Size = font_.Size;
    f.Color = ColorToRGB(font_.Color);
    return f;
}

void TDirectDrawSurfaceCanvas::TextOut(int x, int y, std::string_view utf8) {
    if (!Acquire()) return;
    auto* text = platform::Current().Text;
    if (!text) return;
    const platform::FontSpec f = CurrentFont();
    if (brush_.Style == bsSolid) {
        platform::Size sz = text->TextExtent(utf8, f);
        surface_->FillRect({x, y, x + sz.Width, y + sz.Height}, surface_->NearestPixel(brush_.Color));
    }
    text->DrawText(surface_->Bitmap(), x, y, utf8, f);
}

int TDirectDrawSurfaceCanvas::TextWidth(std::string_view utf8) {
    auto* text = platform::Current().Text;
    return text ? text->TextExtent(utf8, CurrentFont()).Width : 0;
}

int TDirectDrawSurfaceCanvas::TextHeight(std::string_view utf8) {
    auto* text = platform::Current().Text;
    return text ? text->TextExtent(utf8, CurrentFont()).Height : 0;
}
