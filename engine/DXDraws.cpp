// The display component: lifecycle, listeners, mode choice, presentation, palette.
#include "engine/DXDraws.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "platform/ScopeExit.h"

namespace {

TRGBQuads MakeSystemPalette() {
    TRGBQuads p{};
    const TRGBQuad low[10] = {RGBQuad(0, 0, 0),       RGBQuad(128, 0, 0),     RGBQuad(0, 128, 0),
                              RGBQuad(128, 128, 0),   RGBQuad(0, 0, 128),     RGBQuad(128, 0, 128),
                              RGBQuad(0, 128, 128),   RGBQuad(192, 192, 192), RGBQuad(192, 220, 192),
                              RGBQuad(166, 202, 240)};
    const TRGBQuad high[10] = {RGBQuad(255, 251, 240), RGBQuad(160, 160, 164), RGBQuad(128, 128, 128),
                               RGBQuad(255, 0, 0),     RGBQuad(0, 255, 0),     RGBQuad(255, 255, 0),
                               RGBQuad(0, 0, 255),     RGBQuad(255, 0, 255),   RGBQuad(0, 255, 255),
                               RGBQuad(255, 255, 255)};
    for (int i = 0; i < 10; ++i) {
        p[i] = low[i];
        p[246 + i] = high[i];
    }
    return p;
}

std::string Format(const char* fmt, int a, int b, int c) {
    char buf[128];
    std::snprintf(buf, sizeof buf, fmt, a, b, c);
    return buf;
}

}  // namespace

const TRGBQuads& SystemPalette() {
    static const TRGBQuads p = MakeSystemPalette();
    return p;
}

std::string ToString(TDXDrawOptions options) {
    static const char* names[] = {"doFullScreen",    "doNoWindowChange", "doAllowReboot",   "doWaitVBlank",
                                  "doAllowPalette256", "doSystemMemory", "doStretch",       "doCenter",
                                  "doFlip",          "do3D",             "doDirectX7Mode",  "doRetainedMode",
                                  "doHardware",      "doSelectDriver",   "doZBuffer"};
    std::string s = "[";
    for (int i = 0; i <= doZBuffer; ++i) {
        if (!options.Contains(static_cast<TDXDrawOption>(i))) continue;
        if (s.size() > 1) s += ", ";
        s += names[i];
    }
    return s + "]";
}

// ---------------------------------------------------------------------------------------
// TDXDrawDisplay

void TDXDrawDisplay::SetBitCount(int bits) {
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        throw EDirectDrawError("It should be either of 8 or 16 or 24 or 32");
    bitCount_ = bits;
}

const std::vector<TDXDrawDisplayMode>& TDXDrawDisplay::Modes() {
    if (!enumerated_) {
        enumerated_ = true;
        modes_.clear();
        if (auto* ws = platform::Current().Windows) {
            for (const auto& m : ws->DisplayModes()) modes_.push_back({m.Width, m.Height, m.Bits});
        }
        std::sort(modes_.begin(), modes_.end(), [](const TDXDrawDisplayMode& a, const TDXDrawDisplayMode& b) {
            if (a.Width != b.Width) return a.Width < b.Width;
            if (a.Height != b.Height) return a.Height < b.Height;
            return a.BitCount < b.BitCount;
        });
        modes_.erase(std::unique(modes_.begin(), modes_.end()), modes_.end());
    }
    return modes_;
}

bool TDXDrawDisplay::TrySet(const TDXDrawDisplayMode& m) {
    platform::IWindow* w = owner_->Window();
    if (!w || !w->SetFullScreen(true, platform::DisplayMode{m.Width, m.Height, m.BitCount})) return false;
    width_ = m.Width;
    height_ = m.Height;
    bitCount_ = m.BitCount;
    return true;
}

bool TDXDrawDisplay::DoSetDisplayMode() {
    const int W = width_, H = height_, B = bitCount_;
    if (W <= 0 || H <= 0 || (B != 8 && B != 16 && B != 24 && B != 32)) return false;
    if (TrySet({W, H, B})) return true;

    const auto& modes = Modes();
    auto search = [&](bool sameRatio) -> std::optional<TDXDrawDisplayMode> {
        for (const auto& m : modes) {
            if (FixedSize) {
                if (m.Width != W || m.Height != H) continue;
            } else if (m.Width < W || m.Height < H) {
                continue;
            }
            if (sameRatio && static_cast<long long>(m.Width) * H != static_cast<long long>(m.Height) * W) continue;
            if (FixedBitCount) {
                if (m.BitCount != B) continue;
            } else if (!(m.BitCount >= B || (B > 8 && m.BitCount > 8))) {
                continue;
            }
            return m;
        }
        return std::nullopt;
    };
    std::optional<TDXDrawDisplayMode> taken;
    if (FixedRatio) taken = search(true);
    if (!taken) taken = search(false);
    if (!taken) return false;
    if (taken->BitCount != B) {
        for (const auto& m : modes)
            if (m.Width == taken->Width && m.Height == taken->Height && m.BitCount == B) taken->BitCount = B;
    }
    return TrySet(*taken);
}

// ---------------------------------------------------------------------------------------
// Presentation strategies

bool TDXDrawDriver::Restore() {
    const bool primaryOk = primary_ && primary_->Restore();
    const bool surfaceOk = surface_ && surface_->Restore();
    if (!primaryOk || !surfaceOk) return false;
    primary_->Fill(0);
    surface_->Fill(0);
    return true;
}

void TDXDrawDriverFlip::Initialize() {
    if (!dxdraw_->Window()) throw EDXDrawError("Primary Surface cannot be made");
    TDXDrawDisplay& d = dxdraw_->Display();
    primary_ = std::make_unique<TDirectDrawSurface>();
    try {
        surface_ = std::make_unique<TDirectDrawSurface>(std::max(1, d.Width()), std::max(1, d.Height()), d.BitCount());
    } catch (const std::exception&) {
        throw EDXDrawError("Primary Surface cannot be made");
    }
    surface_->SetSystemMemory(dxdraw_->activeOptions_.Contains(doSystemMemory));
}

void TDXDrawDriverFlip::Flip() {
    platform::IWindow* w = dxdraw_->Window();
    if (!w || !surface_) return;
    if (!w->HasFocus()) {
        w->SkipFrame();
        return;
    }
    if (!w->Present(surface_->Bitmap(), 0, 0)) primary_->SetLost(true);
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
    } catch (const std::exception&) {
        throw EDXDrawError("Surface cannot be made");
    }
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
    const TDXDrawOptions a = dxdraw_->ActiveOptions();
    const int cw = dxdraw_->ControlWidth(), ch = dxdraw_->ControlHeight();
    const platform::Bitmap& src = surface_->Bitmap();
    bool ok;
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
        ok = w->Present(stretched_, 0, 0);
    } else {
        int x = 0, y = 0;
        if (a.Contains(doCenter)) {
            x = (cw - src.Width()) / 2;
            y = (ch - src.Height()) / 2;
        }
        ok = w->Present(src, x, y);
    }
    if (!ok) primary_->SetLost(true);
}

// ---------------------------------------------------------------------------------------
// TCustomDXDraw

TCustomDXDraw::TCustomDXDraw(TForm* owner) : owner_(owner) {
    ColorTable = SystemPalette();
    DefaultColors = SystemPalette();
    UpdateActiveOptions();
    if (owner_) owner_->AddWindowHook(this, [this](const platform::Message& m) { WindowMessage(m); });
}

TCustomDXDraw::~TCustomDXDraw() {
    try {
        Finalize();
    } catch (...) {
    }
    try {
        NotifyEventList(dxntDestroying);
    } catch (...) {
    }
    if (owner_) owner_->RemoveWindowHook(this);
}

platform::IWindow* TCustomDXDraw::Window() const { return owner_ ? owner_->Window() : nullptr; }

int TCustomDXDraw::ControlWidth() const { return owner_ ? owner_->ClientWidth() : 100; }
int TCustomDXDraw::ControlHeight() const { return owner_ ? owner_->ClientHeight() : 100; }

TDirectDrawSurface* TCustomDXDraw::Surface() const { return initialized_ && driver_ ? driver_->Surface() : nullptr; }
TDirectDrawSurface* TCustomDXDraw::Primary() const { return initialized_ && driver_ ? driver_->Primary() : nullptr; }

void TCustomDXDraw::UpdateActiveOptions() {
    TDXDrawOptions a = options_;
    if (!a.Contains(doFullScreen)) a = a - TDXDrawOptions{doNoWindowChange, doAllowReboot, doAllowPalette256, doFlip};
    if (!a.Contains(do3D))
        a = a - TDXDrawOptions{doDirectX7Mode, doRetainedMode, doHardware, doSelectDriver, doZBuffer};
    if (a.Contains(doSystemMemory)) a.Exclude(doFlip);
    if (a.Contains(doDirectX7Mode)) a.Exclude(doRetainedMode);
    a.Exclude(doHardware);
    activeOptions_ = a;
}

void TCustomDXDraw::SetOptions(TDXDrawOptions options) {
    options_ = options;
    if (!initialized_) {
        UpdateActiveOptions();
        return;
    }
    const TDXDrawOptions live{doWaitVBlank, doStretch, doCenter};
    activeOptions_ = (activeOptions_ - live) + (options * live);
    if (!activeOptions_.Contains(do3D))
        activeOptions_ = activeOptions_ - TDXDrawOptions{doRetainedMode, doHardware, doSelectDriver, doZBuffer};
}

void TCustomDXDraw::SetCursor(TCursor c) {
    cursor_ = c;
    if (auto* w = Window()) w->SetCursorVisible(c != crNone);
}

int TCustomDXDraw::SurfaceWidth() const {
    if (auto* s = Surface()) return s->Width();
    return surfaceWidth_;
}

int TCustomDXDraw::SurfaceHeight() const {
    if (auto* s = Surface()) return s->Height();
    return surfaceHeight_;
}

void TCustomDXDraw::SetSurfaceWidth(int w) {
    w = std::max(1, w);
    if (w == SurfaceWidth()) return;
    if (!initialized_) {
        surfaceWidth_ = w;
        NotifyEventList(dxntSetSurfaceSize);
        return;
    }
    if (!dynamic_cast<TDXDrawDriverBlt*>(driver_.get())) return;
    surfaceWidth_ = w;
    surfaceHeight_ = SurfaceHeight();
    NotifyEventList(dxntFinalizeSurface);
    if (OnFinalizeSurface) OnFinalizeSurface();
    driver_->SetSize(surfaceWidth_, surfaceHeight_);
    NotifyEventList(dxntInitializeSurface);
    if (OnInitializeSurface) OnInitializeSurface();
    NotifyEventList(dxntSetSurfaceSize);
}

void TCustomDXDraw::SetSurfaceHeight(int h) {
    h = std::max(1, h);
    if (h == SurfaceHeight()) return;
    if (!initialized_) {
        surfaceHeight_ = h;
        NotifyEventList(dxntSetSurfaceSize);
        return;
    }
    if (!dynamic_cast<TDXDrawDriverBlt*>(driver_.get())) return;
    surfaceWidth_ = SurfaceWidth();
    surfaceHeight_ = h;
    NotifyEventList(dxntFinalizeSurface);
    if (OnFinalizeSurface) OnFinalizeSurface();
    driver_->SetSize(surfaceWidth_, surfaceHeight_);
    NotifyEventList(dxntInitializeSurface);
    if (OnInitializeSurface) OnInitializeSurface();
    NotifyEventList(dxntSetSurfaceSize);
}

void TCustomDXDraw::NotifyEventList(TDXDrawNotifyType kind) {
    // A listener may register or leave while being told: walk a copy, newest first.
    auto copy = listeners_;
    for (auto it = copy.rbegin(); it != copy.rend(); ++it) it->Callback(kind);
}

void TCustomDXDraw::AddListener(const void* owner, TListener callback) {
    std::erase_if(listeners_, [&](const Listener& l) { return l.Owner == owner; });
    listeners_.push_back({owner, callback});
    callback(dxntSetSurfaceSize);
    if (initialized_) {
        callback(dxntInitialize);
        if (calledDoInitializeSurface_) callback(dxntInitializeSurface);
        if (!inNotifyInitialize_) callback(dxntRestore);
    }
}

void TCustomDXDraw::RemoveListener(const void* owner) {
    auto it = std::find_if(listeners_.begin(), listeners_.end(), [&](const Listener& l) { return l.Owner == owner; });
    if (it == listeners_.end()) return;
    TListener callback = std::move(it->Callback);
    listeners_.erase(it);
    if (calledDoInitializeSurface_) callback(dxntFinalizeSurface);
    if (initialized_) callback(dxntFinalize);
}

void TCustomDXDraw::Initialize() {
    initializeStarted_ = true;
    Finalize();
    if (!owner_) throw EDXDrawError("Form not found");

    try {
        if (OnInitializing) OnInitializing();
        updating_ = true;
        NotifyEventList(dxntInitializing);

        if (activeOptions_.Contains(doFlip))
            driver_ = std::make_unique<TDXDrawDriverFlip>(this);
        else
            driver_ = std::make_unique<TDXDrawDriverBlt>(this);

        if (activeOptions_.Contains(doFullScreen)) {
            const int w = display_.Width(), h = display_.Height(), b = display_.BitCount();
            if (!display_.DoSetDisplayMode())
                throw EDXDrawError(Format("Display mode cannot be changed (%dx%d %dbit)", w, h, b));
            fullScreenSet_ = true;
        }

        if (AutoSize) {
            surfaceWidth_ = ControlWidth();
            surfaceHeight_ = ControlHeight();
        }

        driver_->Initialize();
        if (driver_->Surface()->SystemMemory()) activeOptions_.Include(doSystemMemory);

        hasPalette_ = driver_->Surface()->BitCount() == 8;
        if (hasPalette_) {
            palette_ = {};
            for (int i = 0; i < 256; ++i) {
                const TRGBQuad& q = (!activeOptions_.Contains(doAllowPalette256) && (i < 10 || i >= 246))
                                        ? SystemPalette()[i]
                                        : ColorTable[i];
                palette_[i] = platform::RGB{q.rgbRed, q.rgbGreen, q.rgbBlue};
            }
            driver_->Surface()->SetPalette(palette_);
        }

        updating_ = false;
        initialized_ = true;
    } catch (...) {
        updating_ = false;
        Finalize();
        throw;
    }

    NotifyEventList(dxntSetSurfaceSize);
    {
        inNotifyInitialize_ = true;
        platform::ScopeExit done([this] { inNotifyInitialize_ = false; });
        calledDoInitialize_ = true;
        NotifyEventList(dxntInitialize);
        if (OnInitialize) OnInitialize();
        calledDoInitializeSurface_ = true;
        NotifyEventList(dxntInitializeSurface);
        if (OnInitializeSurface) OnInitializeSurface();
    }
    Restore();
}

void TCustomDXDraw::Finalize() {
    if (!initializeStarted_) return;
    if (auto* s = Surface()) {
        surfaceWidth_ = s->Width();
        surfaceHeight_ = s->Height();
    }
    display_.ClearModes();
    updating_ = true;

    platform::ScopeExit done([this] {
        initialized_ = false;
        UpdateActiveOptions();
        driver_.reset();
        hasPalette_ = false;
        if (fullScreenSet_) {
            fullScreenSet_ = false;
            if (auto* w = Window()) w->SetFullScreen(false, platform::DisplayMode{});
        }
        updating_ = false;
    });

    if (calledDoInitializeSurface_) {
        calledDoInitializeSurface_ = false;
        platform::ScopeExit notify([this] { NotifyEventList(dxntFinalizeSurface); });
        if (OnFinalizeSurface) OnFinalizeSurface();
    }
    if (calledDoInitialize_) {
        calledDoInitialize_ = false;
        platform::ScopeExit notify([this] { NotifyEventList(dxntFinalize); });
        if (OnFinalize) OnFinalize();
    }
}

void TCustomDXDraw::LoadPalette(const TRGBQuads& table) {
    if (!initialized_ || !hasPalette_) return;
    for (int i = 0; i < 256; ++i) {
        const TRGBQuad& q =
            (!activeOptions_.Contains(doAllowPalette256) && (i < 10 || i >= 246)) ? SystemPalette()[i] : table[i];
        palette_[i] = platform::RGB{q.rgbRed, q.rgbGreen, q.rgbBlue};
    }
    if (driver_ && driver_->Surface()) driver_->Surface()->SetPalette(palette_);
}

void TCustomDXDraw::UpdatePalette() { LoadPalette(ColorTable); }

void TCustomDXDraw::ApplyPalette() { LoadPalette(ColorTable); }

std::array<platform::RGB, 256> TCustomDXDraw::PaletteColors() const { return palette_; }

void TCustomDXDraw::Restore() {
    if (!initialized_ || updating_ || !driver_) return;
    updating_ = true;
    platform::ScopeExit done([this] { updating_ = false; });
    if (!driver_->Restore()) return;
    LoadPalette(DefaultColors);
    NotifyEventList(dxntRestore);
    if (OnRestoreSurface) OnRestoreSurface();
    LoadPalette(ColorTable);
}

bool TCustomDXDraw::CheckSurfaces() {
    if (!initialized_ || updating_ || !driver_ || !driver_->Primary()) return false;
    TDirectDrawSurface* p = driver_->Primary();
    TDirectDrawSurface* s = driver_->Surface();
    if (p->IsLost() || (s && s->IsLost())) {
        Restore();
        return !p->IsLost() && !(s && s->IsLost());
    }
    return true;
}

bool TCustomDXDraw::CanDraw() const {
    return initialized_ && !updating_ && driver_ && driver_->Surface() && driver_->Primary();
}

bool TCustomDXDraw::ReadyToDraw() { return initialized_ && !updating_ && Surface() && CheckSurfaces(); }

void TCustomDXDraw::Flip() {
    if (!initialized_ || updating_) return;
    if (!CheckSurfaces()) return;
    driver_->Flip();
}

void TCustomDXDraw::Paint() {
    if (!initialized_ || updating_ || !driver_ || !driver_->Surface()) return;
    if (driver_->Primary()->IsLost() || driver_->Surface()->IsLost()) return;
    driver_->Flip();
}

void TCustomDXDraw::FormShown() {
    if (!initializeStarted_ && AutoInitialize) Initialize();
}

void TCustomDXDraw::WindowMessage(const platform::Message& msg) {
    using platform::MsgKind;
    switch (msg.Kind) {
        case MsgKind::Activate:
        case MsgKind::Expose:
            if (!initializeStarted_) {
                if (owner_ && owner_->Visible()) FormShown();
            } else if (msg.Kind == MsgKind::Expose) {
                Paint();
            }
            break;
        default: break;
    }
}
