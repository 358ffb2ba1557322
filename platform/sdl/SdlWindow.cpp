// SDL windows: the renderer of each, the picture's upload and its scaled presentation.
#include "platform/sdl/SdlWindow.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/sdl/SdlVideoDriver.h"
#include "platform/sdl/SdlWindowSystem.h"

namespace platform::sdl {

namespace {

// Rows of a Bitmap of any depth as 0x00RRGGBB words (the streaming texture's format).
void ConvertRow(const Bitmap& src, int sx, int sy, int w, uint32_t* out, const uint32_t* lut) {
    const uint8_t* row = src.Row(sy);
    switch (src.Bits()) {
        case 32: std::memcpy(out, row + static_cast<size_t>(sx) * 4, static_cast<size_t>(w) * 4); break;
        case 24: {
            const uint8_t* p = row + static_cast<size_t>(sx) * 3;
            for (int i = 0; i < w; ++i, p += 3) out[i] = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
            break;
        }
        case 16: {
            const uint8_t* p = row + static_cast<size_t>(sx) * 2;
            for (int i = 0; i < w; ++i, p += 2) {
                const uint32_t v = uint32_t(p[0]) | uint32_t(p[1]) << 8;
                const uint32_t r = (v >> 11) & 31, g = (v >> 5) & 63, b = v & 31;
                out[i] = ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
            }
            break;
        }
        default: {
            const uint8_t* p = row + sx;
            for (int i = 0; i < w; ++i) out[i] = lut[p[i]];
            break;
        }
    }
}

// Without a display the focus is the program's own bookkeeping: SDL 3 reports focus of its own
// there too (as windows are shown and hidden), queued and so out of date once the program has
// decided. Those reports are dropped when it decides.
int DropFocusReports(void*, SDL_Event* e) {
    return !(e->type == SDL_WINDOWEVENT &&
             (e->window.event == SDL_WINDOWEVENT_FOCUS_GAINED || e->window.event == SDL_WINDOWEVENT_FOCUS_LOST));
}

}  // namespace

int SoftwareRendererIndex() {
    SDL_RendererInfo info;
    for (int i = 0, n = SDL_GetNumRenderDrivers(); i < n; ++i)
        if (SDL_GetRenderDriverInfo(i, &info) == 0 && std::strcmp(info.name, "software") == 0) return i;
    return -1;
}

SdlWindow::SdlWindow(SdlWindowSystem* owner, WindowPtr window, std::string caption, const Rect& bounds)
    : owner_(owner),
      window_(std::move(window)),
      id_(SDL_GetWindowID(window_.get())),
      caption_(std::move(caption)),
      bounds_(bounds) {}

SdlWindow::~SdlWindow() {
    if (owner_) owner_->Forget(this);
    Detach();
}

void SdlWindow::Detach() {
    owner_ = nullptr;
    DropRenderer();
    window_.reset();
}

void SdlWindow::DropRenderer() {
    surface_.reset();
    scaled_.reset();
    scaler_ = SharpScaler();
    shown_.Forget();
    prescaled_.reset();
    picture_.reset();
    renderer_.reset();
    pictureSize_ = prescaledSize_ = {};
}

void SdlWindow::ApplyBounds() {
    if (!window_ || fullScreen_ || !owner_) return;
    SDL_SetWindowPosition(window_.get(), owner_->ToPoints(bounds_.Left), owner_->ToPoints(bounds_.Top));
    SDL_SetWindowSize(window_.get(), std::max(1, owner_->ToPoints(bounds_.Width())),
                      std::max(1, owner_->ToPoints(bounds_.Height())));
}

void SdlWindow::SetBounds(const Rect& r) {
    bounds_ = r;
    ApplyBounds();
}

void SdlWindow::Show() {
    if (!window_) return;
    bool wasVisible = visible_;
    SDL_ShowWindow(window_.get());
    visible_ = true;
    shown_.Forget();
    // A desktop gives a newly shown window the focus; a bare X server or a headless driver
    // does not, so ask for it.
    if (!wasVisible) Focus();
}

void SdlWindow::Hide() {
    if (!window_) return;
    SDL_HideWindow(window_.get());
    visible_ = false;
    if (owner_ && owner_->headless_) {
        SDL_FilterEvents(DropFocusReports, nullptr);
        if (HasFocus()) owner_->queue_.SetFocus(0);
    }
}

void SdlWindow::SetCaption(const std::string& utf8) {
    caption_ = utf8;
    if (window_) SDL_SetWindowTitle(window_.get(), utf8.c_str());
}

void SdlWindow::SetCursorVisible(bool visible) {
    cursorVisible_ = visible;
    // SDL's cursor setting is global: apply it while the pointer is over this window, and
    // again whenever the pointer enters one of ours.
    if (window_ && (SDL_GetMouseFocus() == window_.get() || (owner_ && owner_->headless_)))
        SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

bool SdlWindow::SetFullScreen(bool on, const DisplayMode& mode) {
    if (!window_) return false;
    if (!on) {
        if (!fullScreen_) return true;
        if (SDL_SetWindowFullscreen(window_.get(), 0) != 0) return false;
        fullScreen_ = false;
        shown_.Forget();
        ApplyBounds();
        if (owner_) owner_->StartPacing(this);
        return true;
    }
    if (mode.Width <= 0 || mode.Height <= 0) return false;
    if (mode.Bits != 8 && mode.Bits != 16 && mode.Bits != 24 && mode.Bits != 32) return false;
    lastMode_ = mode;

    int rc;
    if (owner_ && owner_->exclusive_) {
        // The monitor really switches, and only to a mode it has: the caller searches on.
        int display = std::max(0, SDL_GetWindowDisplayIndex(window_.get()));
        SDL_DisplayMode hw{};
        bool found = false;
        for (int i = 0, n = SDL_GetNumDisplayModes(display); i < n && !found; ++i)
            if (SDL_GetDisplayMode(display, i, &hw) == 0 && hw.w == mode.Width && hw.h == mode.Height) found = true;
        if (!found || SDL_SetWindowDisplayMode(window_.get(), &hw) != 0) return false;
        rc = SDL_SetWindowFullscreen(window_.get(), SDL_WINDOW_FULLSCREEN);
    } else {
        // Cover the desktop at its own resolution; the picture is scaled to it.
        rc = SDL_SetWindowFullscreen(window_.get(), SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
    if (rc != 0) return false;
    fullScreen_ = true;
    shown_.Forget();
    if (owner_) owner_->StartPacing(this);
    return true;
}

bool SdlWindow::EnsureRenderer() {
    if (!window_) return false;
    const Size want{std::max(1, bounds_.Width()), std::max(1, bounds_.Height())};
    if (!renderer_ && !surface_ && !refusedSurface_ && owner_ && owner_->surfaces_)
        surface_ = std::make_unique<SurfacePresenter>(window_.get());
    if (surface_) {
        if (pictureSize_ != want) {
            pictureSize_ = want;
            frame_.assign(static_cast<size_t>(want.Width) * want.Height, 0);  // a new client area starts black
        }
        return true;
    }
    if (!renderer_) {
        const bool main = owner_ && owner_->mainId_ == id_;
        const uint32_t flags = (main && owner_->vsyncAsked_) ? SDL_RENDERER_PRESENTVSYNC : 0;
        const int index = owner_ ? owner_->rendererIndex_ : -1;
        renderer_.reset(SDL_CreateRenderer(window_.get(), index, flags));
        if (!renderer_ && index != SoftwareRendererIndex())
            renderer_.reset(SDL_CreateRenderer(window_.get(), SoftwareRendererIndex(), 0));
        if (!renderer_) return false;
        if (main && owner_) owner_->StartPacing(this);
    }
    if (!picture_ || pictureSize_ != want) {
        shown_.Forget();
        picture_.reset();
        picture_.reset(SDL_CreateTexture(renderer_.get(), SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                         want.Width, want.Height));
        if (!picture_) return false;
        SDL_SetTextureBlendMode(picture_.get(), SDL_BLENDMODE_NONE);
        SDL_SetTextureScaleMode(picture_.get(), SDL_ScaleModeNearest);
        // A new client area starts black, as a new window does.
        if (pictureSize_ != want) frame_.assign(static_cast<size_t>(want.Width) * want.Height, 0);
        pictureSize_ = want;
        frameStale_ = true;
    }
    return true;
}

Size SdlWindow::OutputSize() const {
    int w = 0, h = 0;
    if (renderer_ && SDL_GetRendererOutputSize(renderer_.get(), &w, &h) == 0 && w > 0 && h > 0) return {w, h};
    if (window_) SDL_GetWindowSizeInPixels(window_.get(), &w, &h);
    return {w, h};
}

View SdlWindow::CurrentView() {
    const Size picture{std::max(1, bounds_.Width()), std::max(1, bounds_.Height())};
    return ComputeView(OutputSize(), picture, owner_ ? owner_->scaling_ : Scaling::Auto, fullScreen_);
}

bool SdlWindow::Upload(const Bitmap& src, int x, int y) {
    int sx = std::max(0, -x), sy = std::max(0, -y);
    int dx = std::max(0, x), dy = std::max(0, y);
    int w = std::min(src.Width() - sx, pictureSize_.Width - dx);
    int h = std::min(src.Height() - sy, pictureSize_.Height - dy);
    if (w <= 0 || h <= 0) return true;  // nothing of it lies inside the window
    uint32_t lut[256];
    if (src.Bits() == 8)
        for (int i = 0; i < 256; ++i) {
            const RGB& c = src.Palette()[i];
            lut[i] = uint32_t(c.R) << 16 | uint32_t(c.G) << 8 | c.B;
        }
    // Kept on our side: our scaler reads it, and the renderer's texture is filled from it.
    frame_.resize(static_cast<size_t>(pictureSize_.Width) * pictureSize_.Height);
    for (int row = 0; row < h; ++row)
        ConvertRow(src, sx, sy + row, w, frame_.data() + static_cast<size_t>(dy + row) * pictureSize_.Width + dx, lut);
    frameStale_ = true;
    return true;
}

bool SdlWindow::ScaleOurselves(const View& view) {
    // Only fractional enlargements: a whole multiple is a nearest copy the renderer makes at
    // least as fast (measured with bench_Present), 1:1 needs no scaling, and a screen
    // smaller than the picture is the renderer's filtered shrink.
    const Size out{view.Target.Width(), view.Target.Height()};
    if ((owner_ && owner_->rendererScaling_) || view.Prescale == 0 || out.Width < pictureSize_.Width ||
        out.Height < pictureSize_.Height ||
        frame_.size() != static_cast<size_t>(pictureSize_.Width) * pictureSize_.Height)
        return false;
    if (!scaled_ || scaler_.Output() != out || scaler_.Source() != pictureSize_) {
        scaled_.reset();
        scaled_.reset(SDL_CreateTexture(renderer_.get(), SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, out.Width,
                                        out.Height));
        if (!scaled_) return false;
        SDL_SetTextureBlendMode(scaled_.get(), SDL_BLENDMODE_NONE);
        SDL_SetTextureScaleMode(scaled_.get(), SDL_ScaleModeNearest);
        scaler_.Resize(pictureSize_, out);
    }
    void* pixels;
    int pitch;
    if (SDL_LockTexture(scaled_.get(), nullptr, &pixels, &pitch) != 0) return false;
    scaler_.Scale(frame_.data(), pictureSize_.Width, static_cast<uint32_t*>(pixels), pitch);
    SDL_UnlockTexture(scaled_.get());
    return true;
}

bool SdlWindow::Render() {
    const View view = CurrentView();
    SDL_SetRenderDrawColor(renderer_.get(), 0, 0, 0, 255);
    const SDL_Rect target{view.Target.Left, view.Target.Top, view.Target.Width(), view.Target.Height()};
    // Only the bars around the picture are cleared: the picture covers the rest.
    const Size out = OutputSize();
    const SDL_Rect bars[4] = {{0, 0, out.Width, target.y},
                              {0, target.y + target.h, out.Width, out.Height - target.y - target.h},
                              {0, target.y, target.x, target.h},
                              {target.x + target.w, target.y, out.Width - target.x - target.w, target.h}};
    for (const SDL_Rect& bar : bars)
        if (bar.w > 0 && bar.h > 0) SDL_RenderFillRect(renderer_.get(), &bar);
    SDL_Texture* source = picture_.get();
    if (ScaleOurselves(view)) {
        source = scaled_.get();
    } else if (frameStale_) {
        SDL_UpdateTexture(picture_.get(), nullptr, frame_.data(), pictureSize_.Width * 4);
        frameStale_ = false;
    }
    if (source != scaled_.get() && view.Prescale > 0) {
        const Size want{pictureSize_.Width * view.Prescale, pictureSize_.Height * view.Prescale};
        if (!prescaled_ || prescaledSize_ != want) {
            prescaled_.reset();
            prescaled_.reset(SDL_CreateTexture(renderer_.get(), SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET,
                                               want.Width, want.Height));
            prescaledSize_ = prescaled_ ? want : Size{};
            if (prescaled_) {
                SDL_SetTextureBlendMode(prescaled_.get(), SDL_BLENDMODE_NONE);
                SDL_SetTextureScaleMode(prescaled_.get(), SDL_ScaleModeLinear);
            }
        }
        // Without a target texture the straight filtered copy below still shows it all.
        if (prescaled_ && SDL_SetRenderTarget(renderer_.get(), prescaled_.get()) == 0) {
            SDL_SetTextureScaleMode(picture_.get(), SDL_ScaleModeNearest);
            SDL_RenderCopy(renderer_.get(), picture_.get(), nullptr, nullptr);
            SDL_SetRenderTarget(renderer_.get(), nullptr);
            source = prescaled_.get();
        }
    }
    if (source == picture_.get())
        SDL_SetTextureScaleMode(picture_.get(), view.Smooth ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    if (SDL_RenderCopy(renderer_.get(), source, nullptr, &target) != 0) return false;
    Flip();
    return true;
}

bool SdlWindow::RenderToSurface() {
    const View view = CurrentView();
    if (!surface_->Draw(frame_, pictureSize_, view.Target)) return false;
    Flip();
    return true;
}

void SdlWindow::Flip() {
    const bool main = owner_ && owner_->mainId_ == id_;
    if (main && !owner_->PaceFrame(this)) return;  // its refresh has gone: the next picture shows
    const uint64_t called = SDL_GetPerformanceCounter();
    if (surface_) surface_->Show();
    else SDL_RenderPresent(renderer_.get());
    if (main) owner_->FramePresented(this, called);
}

void SdlWindow::SkipFrame() {
    if (owner_ && owner_->mainId_ == id_) owner_->FrameSkipped(this);
}

bool SdlWindow::Present(const Bitmap& src, int x, int y) {
    if (!window_ || !EnsureRenderer()) return false;
    if (src.Empty()) return DrawPicture();
    // Drawn into the framebuffer, only what changed since the last picture is scaled and sent
    // (the presenter compares), so a still frame costs little there already.
    if (surface_) return Upload(src, x, y) && DrawPicture();
    // Through a renderer, a frame the same as the one on the screen, in the same place and
    // view, is not drawn again: a still screen (the menus) would otherwise cost a full upload,
    // scaling and hand-over to the desktop every frame. It still takes its turn; unpaced, it
    // is drawn.
    const bool paced = owner_ && owner_->mainId_ == id_ && owner_->PacedRate() > 0;
    int pw = 0, ph = 0;
    SDL_GetWindowSizeInPixels(window_.get(), &pw, &ph);
    const Size pixels{pw, ph};
    if (paced && shown_.Same(src, x, y, CurrentView(), pixels)) {
        SkipFrame();
        return true;
    }
    shown_.valid = false;
    if (!Upload(src, x, y) || !DrawPicture()) return false;
    shown_.Remember(src, x, y, CurrentView(), pixels);
    return true;
}

bool SdlWindow::DrawPicture() {
    if (!surface_) return Render();
    if (RenderToSurface()) return true;
    // No framebuffer we can write (an unusual pixel format): the renderer presents it.
    surface_.reset();
    refusedSurface_ = true;
    return EnsureRenderer() && Render();
}

bool SdlWindow::ShownFrame::Same(const Bitmap& src, int x, int y, const View& v, Size windowSize) const {
    if (!valid || x != X || y != Y || windowSize != windowPixels || src.Width() != width || src.Height() != height ||
        src.Bits() != bits || src.Pitch() != pitch || v.Target != view.Target || v.Prescale != view.Prescale ||
        v.Smooth != view.Smooth)
        return false;
    if (bits == 8 && src.Palette() != palette) return false;
    return std::memcmp(src.Data(), pixels.data(), pixels.size()) == 0;
}

void SdlWindow::ShownFrame::Remember(const Bitmap& src, int x, int y, const View& v, Size windowSize) {
    windowPixels = windowSize;
    X = x;
    Y = y;
    width = src.Width();
    height = src.Height();
    bits = src.Bits();
    pitch = src.Pitch();
    palette = src.Palette();
    view = v;
    pixels.assign(src.Data(), src.Data() + static_cast<size_t>(pitch) * height);
    if (settle > 0) --settle;
    valid = settle == 0;
}

void SdlWindow::Focus() {
    if (!window_) return;
    // On Wayland the compositor alone gives the focus (it does to a window newly shown); an
    // activation request of our own there is at best ignored and crashes sway 1.7.
    if (owner_ && owner_->wayland_) return;
    SDL_RaiseWindow(window_.get());
    if (owner_ && owner_->headless_) {
        // Nothing else will ever give a headless window the focus.
        if (visible_) {
            SDL_FilterEvents(DropFocusReports, nullptr);
            owner_->queue_.FocusGained(id_);
        }
    } else if (visible_) {
        SDL_SetWindowInputFocus(window_.get());
        if (Sdl3Underneath()) TakeX11InputFocus(window_.get());
    }
}

bool SdlWindow::HasFocus() const { return owner_ && owner_->queue_.Focus() == id_; }

}  // namespace platform::sdl
