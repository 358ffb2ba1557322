// The component that owns the sprite engine and follows the display's lifecycle.
#pragma once

#include "engine/Display.h"
#include "engine/Sprite.h"

class TForm;

// The component that owns the engine and follows the display's lifecycle.
class TCustomDXSpriteEngine {
public:
    explicit TCustomDXSpriteEngine(TForm* owner = nullptr);
    virtual ~TCustomDXSpriteEngine();
    TCustomDXSpriteEngine(const TCustomDXSpriteEngine&) = delete;
    TCustomDXSpriteEngine& operator=(const TCustomDXSpriteEngine&) = delete;

    TForm* Owner() const { return owner_; }
    TSpriteEngine* Engine() const { return engine_; }

    void Move(int elapsed);
    void Sweep();
    // Draws only while the linked display is initialised.
    void Draw();

    TCustomDXDraw* DXDraw() const { return dxdraw_; }
    void SetDXDraw(TCustomDXDraw* dxdraw);

private:
    void DXDrawNotifyEvent(TDXDrawNotifyType kind);
    TForm* owner_;
    TSpriteEngine* engine_;
    TCustomDXDraw* dxdraw_ = nullptr;
};

class TDXSpriteEngine : public TCustomDXSpriteEngine {
public:
    using TCustomDXSpriteEngine::TCustomDXSpriteEngine;
};
