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
    // Brings lost surfaces back. After a present the window refused, nothing is rebuilt until
    // the window shows a frame again: meanwhile each attempt rests a frame's time and fails.
    virtual bool Restore();
    virtual void Flip() = 0;
    virtual void SetSize(int width, int height) {
        (void)width;
        (void)height;
    }
    TDirectDrawSurface* Primary() const { return primary_.get(); }
    TDirectDrawSurface* Surface() const { return surface_.get(); }

protected:
    // Presents the back buffer: false when the window could not show it.
    virtual bool Show(platform::IWindow& w) = 0;
    // The window refused the frame: the primary counts as lost until a present succeeds.
    void PresentFailed();

    TCustomDXDraw* dxdraw_;
    std::unique_ptr<TDirectDrawSurface> primary_;
    std::unique_ptr<TDirectDrawSurface> surface_;

private:
    bool presentFailed_ = false;
};

// Full screen: page flip; nothing is shown while the form's window lacks the focus.
class TDXDrawDriverFlip : public TDXDrawDriver {
public:
    using TDXDrawDriver::TDXDrawDriver;
    void Initialize() override;
    void Flip() override;

protected:
    bool Show(platform::IWindow& w) override;
};

// Window: copy the back buffer into the control's client area.
class TDXDrawDriverBlt : public TDXDrawDriver {
public:
    using TDXDrawDriver::TDXDrawDriver;
    void Initialize() override;
    void Flip() override;
    void SetSize(int width, int height) override;

protected:
    bool Show(platform::IWindow& w) override;

private:
    void MakeSurface(int width, int height);
    platform::Bitmap stretched_;
};
