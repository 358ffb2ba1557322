// The loading screen.
#include "game/Unit1.h"

#include <algorithm>

#include "game/WindowCanvas.h"
#include "game/texts/Texts.h"
#include "platform/Picture.h"

bool TGauge::SetProgress(int value) {
    value = std::clamp(value, 0, 100);
    if (value == progress_) return false;
    progress_ = value;
    return true;
}

void TGauge::Paint(platform::Bitmap& canvas) const {
    const platform::Rect box{Left, Top, Left + Width, Top + Height};
    wincanvas::FillRect(canvas, box, BackColor);
    const int inner = Width - 2;
    const int filled = inner * progress_ / 100;
    wincanvas::FillRect(canvas, {Left + 1, Top + 1, Left + 1 + filled, Top + Height - 1}, ForeColor);
    wincanvas::FrameRect(canvas, box, Color);
}

TForm1::TForm1() : TForm(texts::Get(texts::TextId::LoadingCaption), 637, 477), canvas_(637, 477, 32) {}

void TForm1::DoShow() {
    platform::Picture intro = platform::LoadPicture("data\\all_jpg\\intro.jpg");
    image_ = std::move(intro.Image);
}

void TForm1::SetProgress(int value) {
    if (Gauge1.SetProgress(value)) Repaint();
}

void TForm1::Repaint() {
    if (!Window()) return;
    // A 32-bit canvas that the picture covers is overwritten whole by it.
    const bool covered =
        canvas_.Bits() == 32 && image_.Width() >= canvas_.Width() && image_.Height() >= canvas_.Height();
    if (!covered) canvas_.Fill(0);
    if (!image_.Empty()) wincanvas::DrawBitmap(canvas_, image_, 0, 0);
    Gauge1.Paint(canvas_);
    Window()->Present(canvas_, 0, 0);
}
