// The sprite engine component.
#include "engine/SpriteEngineComponent.h"

#include "engine/Surface.h"

TCustomDXSpriteEngine::TCustomDXSpriteEngine(TForm* owner) : owner_(owner), engine_(new TSpriteEngine(nullptr)) {}

TCustomDXSpriteEngine::~TCustomDXSpriteEngine() {
    SetDXDraw(nullptr);
    delete engine_;
}

void TCustomDXSpriteEngine::Move(int elapsed) { engine_->Move(elapsed); }

void TCustomDXSpriteEngine::Sweep() { engine_->Sweep(); }

void TCustomDXSpriteEngine::Draw() {
    if (dxdraw_ && dxdraw_->Initialized()) engine_->Draw();
}

void TCustomDXSpriteEngine::SetDXDraw(TCustomDXDraw* dxdraw) {
    if (dxdraw_) dxdraw_->RemoveListener(this);
    dxdraw_ = dxdraw;
    if (dxdraw_) dxdraw_->AddListener(this, [this](TDXDrawNotifyType kind) { DXDrawNotifyEvent(kind); });
}

void TCustomDXSpriteEngine::DXDrawNotifyEvent(TDXDrawNotifyType kind) {
    switch (kind) {
        case dxntDestroying: dxdraw_ = nullptr; break;
        case dxntInitialize:
            if (dxdraw_) engine_->SetSurface(dxdraw_->Surface());
            break;
        // A new back-buffer size makes the back buffer anew between these two: the engine
        // lets go of the old one before it is freed and takes the new one.
        case dxntInitializeSurface:
            if (dxdraw_ && dxdraw_->Initialized()) engine_->SetSurface(dxdraw_->Surface());
            break;
        case dxntFinalizeSurface:
        case dxntFinalize: engine_->SetSurface(nullptr); break;
        default: break;
    }
}
