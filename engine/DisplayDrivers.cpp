// Presentation strategies: page flip and window copy.
#include "engine/DisplayDrivers.h"

#include <algorithm>

#include "engine/Display.h"

bool TDXDrawDriver::Restore() {
    if (presentFailed_) {
        // The surfaces themselves are intact: only showing them failed. Rebuilding every
        // picture is of no use while the window still cannot show a frame, and doing it each
        // frame would keep the processor busy for nothing; so try the present first, and rest
        // as an unseen frame does while it still fails.
        platform::IWindow* w = dxdraw_->Window();
        if (!w || !surface_) return false;
        if (!Show(*w)) {
            w->SkipFrame();
            return false;
        }
        presentFailed_ = false;
    }
    const bool primaryOk = primary_ && primary_->Restore();
    const bool surfaceOk = surface_ && surface_->Restore();
    if (!primaryOk || !surfaceOk) return false;
    primary_->Fill(0);
    surface_->Fill(0);
    return true;
}

void TDXDrawDriver::PresentFailed() {
    presentFailed_ = true;
    if (primary_) primary_->SetLost(true);
}

void TDXDrawDriverFlip::Initialize() {
    if (!dxdraw_->Window()) throw EDXDrawError("Primary Surface cannot be made");
    TDXDrawDisplay& d = dxdraw_->Display();
    primary_ = std::make_unique<TDirectDrawSurface>();
    try {
        surface_ = std::make_unique<TDirectDrawSurface>(std::max(1, d.Width()), std::max(1, d.Height()), d.BitCount());
    } catch (const std::exception&) { throw EDXDrawError("Primary Surface cannot be made"); }
    surface_->SetSystemMemory(dxdraw_->activeOptions_.Contains(doSystemMemory));
}

void TDXDrawDriverFlip::Flip() {
    platform::IWindow* w = dxdraw_->Window();
    if (!w || !surface_) return;
    if (!w->HasFocus()) {
        w->SkipFrame();
        return;
    }
    if (!Show(*w)) PresentFailed();
}

bool TDXDrawDriverFlip::Show(platform::IWindow& w) {
    // Nothing is shown while the window lacks the focus.
    return w.HasFocus() && w.Present(surface_->Bitmap(), 0, 0);
}

void TDXDrawDriverBlt::Initialize() {
    if (!dxdraw_->Window()) throw EDXDrawError("Primary Surface cannot be made");
    primary_ = std::make_unique<TDirectDrawSurface>();
    primary_->SetHasClipper(true);
    MakeSurface(dxdraw_->surfaceWidth_, dxdraw_->surfaceHeight_);
}

void TDXDrawDriverBlt::MakeSurface(int width, int height) {
    try {
        surface_ = std::make_unique<TDirectDrawSurface>(std::max(1, width), std::max(1, height),
                                                        dxdraw_->Display().BitCount());
    } catch (const std::exception&) { throw EDXDrawError("Surface cannot be made"); }
    surface_->SetSystemMemory(dxdraw_->activeOptions_.Contains(doSystemMemory));
    surface_->Fill(0);
}

void TDXDrawDriverBlt::SetSize(int width, int height) {
    MakeSurface(width, height);
    if (surface_->BitCount() == 8) surface_->SetPalette(dxdraw_->palette_);
}

void TDXDrawDriverBlt::Flip() {
    platform::IWindow* w = dxdraw_->Window();
    if (!w || !surface_) return;
    if (!Show(*w)) PresentFailed();
}

bool TDXDrawDriverBlt::Show(platform::IWindow& w) {
    const TDXDrawOptions a = dxdraw_->ActiveOptions();
    const int cw = dxdraw_->ControlWidth(), ch = dxdraw_->ControlHeight();
    const platform::Bitmap& src = surface_->Bitmap();
    if (a.Contains(doStretch) && (cw != src.Width() || ch != src.Height()) && cw > 0 && ch > 0) {
        if (stretched_.Width() != cw || stretched_.Height() != ch || stretched_.Bits() != src.Bits())
            stretched_ = platform::Bitmap(cw, ch, src.Bits());
        stretched_.Palette() = src.Palette();
        const int bpp = src.BytesPerPixel();
        for (int y = 0; y < ch; ++y) {
            const uint8_t* s = src.Row(static_cast<int>(static_cast<long long>(y) * src.Height() / ch));
            uint8_t* d = stretched_.Row(y);
            for (int x = 0; x < cw; ++x) {
                const int sx = static_cast<int>(static_cast<long long>(x) * src.Width() / cw);
                std::copy_n(s + sx * bpp, bpp, d + x * bpp);
            }
        }
        return w.Present(stretched_, 0, 0);
    }
    int x = 0, y = 0;
    if (a.Contains(doCenter)) {
        x = (cw - src.Width()) / 2;
        y = (ch - src.Height()) / 2;
    }
    return w.Present(src, x, y);
}
