// A window of the SDL window system: a borderless SDL window presented through SDL's 2D
// renderer (one streaming texture, scaled sharp), or, where SDL's software renderer would
// draw, straight into its framebuffer (SurfacePresenter). See SdlWindowSystem.h for scale
// and pacing.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/sdl/Presentation.h"
#include "platform/sdl/SdlPtrs.h"
#include "platform/sdl/SharpScale.h"
#include "platform/sdl/SurfacePresenter.h"

namespace platform::sdl {

class SdlWindowSystem;

class SdlWindow : public IWindow {
public:
    ~SdlWindow() override;

    uint32_t Id() const override { return id_; }
    void SetBounds(const Rect& r) override;
    Rect Bounds() const override { return bounds_; }
    void Show() override;
    void Hide() override;
    bool Visible() const override { return visible_; }
    void SetCaption(const std::string& utf8) override;
    std::string Caption() const override { return caption_; }
    void SetCursorVisible(bool visible) override;
    bool SetFullScreen(bool on, const DisplayMode& mode) override;
    bool FullScreen() const override { return fullScreen_; }
    bool Present(const Bitmap& src, int x, int y) override;
    void SkipFrame() override;
    void Focus() override;
    bool HasFocus() const override;

    SDL_Window* Handle() const { return window_.get(); }
    SDL_Renderer* Renderer() const { return renderer_.get(); }
    bool CursorVisible() const { return cursorVisible_; }
    // Where the client picture lies in the window's real pixels, as last shown.
    View CurrentView();
    // The picture on the screen was lost (uncovered, resized): the next frame is drawn whole.
    void Invalidate() { shown_.Forget(); }
    // The renderer's real output size (the window's size in pixels).
    Size OutputSize() const;

private:
    friend class SdlWindowSystem;
    SdlWindow(SdlWindowSystem* owner, WindowPtr window, std::string caption, const Rect& bounds);
    void Detach();
    bool EnsureRenderer();
    void DropRenderer();
    bool Upload(const Bitmap& src, int x, int y);
    bool Render();
    // The picture to the screen by the window's path: its framebuffer, else the renderer.
    bool DrawPicture();
    // The picture into the window's framebuffer; false where it has none we can write.
    bool RenderToSurface();
    // The paced present of what was drawn.
    void Flip();
    // The enlarged picture into scaled_ (false: the renderer scales instead).
    bool ScaleOurselves(const View& view);
    // Window position and size from the program's pixels, at the current scale.
    void ApplyBounds();

    SdlWindowSystem* owner_;
    // Declared window first: the textures, then the renderer, then the window go.
    WindowPtr window_;
    RendererPtr renderer_;
    TexturePtr picture_;    // the client area, in the program's pixels
    TexturePtr prescaled_;  // a whole multiple of it, for the renderer's own fractional fits
    TexturePtr scaled_;     // the client area enlarged by our scaler, at its final size
    Size pictureSize_{};
    Size prescaledSize_{};
    std::vector<uint32_t> frame_;  // the client area as last presented, 0x00RRGGBB
    bool frameStale_ = false;      // picture_ does not hold frame_ yet
    SharpScaler scaler_;
    std::unique_ptr<SurfacePresenter> surface_;  // set: the framebuffer path, no renderer
    bool refusedSurface_ = false;                // its framebuffer could not be written
    uint32_t id_;
    std::string caption_;
    Rect bounds_;
    bool visible_ = false;
    bool cursorVisible_ = true;
    bool fullScreen_ = false;
    DisplayMode lastMode_{};

    // The last frame drawn to the screen, to tell a frame that would change nothing.
    struct ShownFrame {
        // Also the window's own size in pixels: SDL 3 may report a new window size before
        // its renderer's output follows.
        bool Same(const Bitmap& src, int x, int y, const View& v, Size windowSize) const;
        void Remember(const Bitmap& src, int x, int y, const View& v, Size windowSize);
        // Every frame for a while is drawn whole: a desktop may finish a change of the window
        // (a new size, full screen) some frames after it was reported.
        void Forget() {
            valid = false;
            settle = 30;
        }

        bool valid = false;
        int settle = 0;
        int X = 0, Y = 0, width = 0, height = 0, bits = 0, pitch = 0;
        std::array<RGB, 256> palette{};
        View view{};
        Size windowPixels{};
        std::vector<uint8_t> pixels;
    } shown_;
};

// The index of SDL's software renderer, -1 when there is none.
int SoftwareRendererIndex();

}  // namespace platform::sdl
