// The display component: lifecycle, listeners, presentation, palette.
#include "engine/Display.h"

#include <algorithm>
#include <cstdio>

#include "engine/DisplayDrivers.h"
#include "engine/Forms.h"
#include "engine/Surface.h"

#include "platform/ScopeExit.h"

namespace {

std::string Format(const char* fmt, int a, int b, int c) {
    char buf[128];
    std::snprintf(buf, sizeof buf, fmt, a, b, c);
    return buf;
}

}  // namespace

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
    } catch (...) {}
    try {
        NotifyEventList(dxntDestroying);
    } catch (...) {}
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
    ResizeSurface(w, SurfaceHeight());
}

void TCustomDXDraw::SetSurfaceHeight(int h) {
    h = std::max(1, h);
    if (h == SurfaceHeight()) return;
    if (!initialized_) {
        surfaceHeight_ = h;
        NotifyEventList(dxntSetSurfaceSize);
        return;
    }
    ResizeSurface(SurfaceWidth(), h);
}

// A running display changes size only with the copying driver: the surfaces are made again
// at the new size, with the listeners told on either side.
void TCustomDXDraw::ResizeSurface(int w, int h) {
    if (!dynamic_cast<TDXDrawDriverBlt*>(driver_.get())) return;
    surfaceWidth_ = w;
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

        if (activeOptions_.Contains(doFlip)) driver_ = std::make_unique<TDXDrawDriverFlip>(this);
        else driver_ = std::make_unique<TDXDrawDriverBlt>(this);

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
