// How a finished frame reaches the screen: page flip (full screen) or copy (window).
#pragma once

#include <memory>

#include "engine/Surface.h"
#include "platform/Platform.h"

class TCustomDXDraw;

// How a finished frame reaches the screen.
class TDXDrawDriver {
public:
    explicit TDXDrawDriver(TCustomDXDraw* dxdraw) : dxdraw_(dxdraw) {}
    virtual ~TDXDrawDriver() = default;
    virtual void Initialize() = 0;  // makes the primary and the back buffer
    virtual bool Restore();         // brings lost surfaces back
    virtual void Flip() = 0;
    virtual void SetSize(int width, int height) {
        (void)width;
        (void)height;
    }
    TDirectDrawSurface* Primary() const { return primary_.get(); }
    TDirectDrawSurface* Surface() const { return surface_.get(); }

protected:
    TCustomDXDraw* dxdraw_;
    std::unique_ptr<TDirectDrawSurface> primary_;
    std::unique_ptr<TDirectDrawSurface> surface_;
};

// Full screen: page flip; nothing is shown while the form's window lacks the focus.
class TDXDrawDriverFlip : public TDXDrawDriver {
public:
    using TDXDrawDriver::TDXDrawDriver;
    void Initialize() override;
    void Flip() override;
};

// Window: copy the back buffer into the control's client area.
class TDXDrawDriverBlt : public TDXDrawDriver {
public:
    using TDXDrawDriver::TDXDrawDriver;
    void Initialize() override;
    void Flip() override;
    void SetSize(int width, int height) override;

private:
    void MakeSurface(int width, int height);
    platform::Bitmap stretched_;
};
