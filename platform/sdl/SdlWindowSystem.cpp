// The window system on SDL2: start-up, the renderer choice, the window scale, the list of
// windows, screen sizes and full screen.
#include "platform/sdl/SdlWindowSystem.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "platform/Settings.h"
#include "platform/sdl/SdlVideoDriver.h"

namespace platform::sdl {

namespace {

constexpr uint32_t kSubsystems = SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER;

// Whether OpenGL here is drawn by the processor (no GPU): SDL's own software renderer then
// costs a fraction of it.
bool OpenGlIsSoftware() {
    WindowPtr probe(SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_HIDDEN | SDL_WINDOW_OPENGL));
    if (!probe) return true;  // no OpenGL at all
    bool software = true;
    if (SDL_GLContext ctx = SDL_GL_CreateContext(probe.get())) {
        using GetString = const unsigned char* (*)(unsigned);
        auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
        const unsigned char* name = getString ? getString(0x1F01 /* GL_RENDERER */) : nullptr;
        if (name) {
            const std::string r(reinterpret_cast<const char*>(name));
            software = r.find("llvmpipe") != std::string::npos || r.find("softpipe") != std::string::npos ||
                       r.find("Software Rasterizer") != std::string::npos || r.find("swrast") != std::string::npos;
        }
        SDL_GL_DeleteContext(ctx);
    }
    return software;
}

}  // namespace

SdlWindowSystem::SdlWindowSystem(Size design) : queue_(clock_), design_(design) {
    PrepareVideoDriver(GameAppId);
    // Closing a window is the program's decision (its Close message), not SDL's.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(kSubsystems) != 0)
        throw std::runtime_error(std::string("Cannot start the window system: ") + SDL_GetError());
    VideoDriverStarted(GameAppId);
    const std::string driver = VideoDriverName();
    headless_ = driver == "dummy" || driver == "offscreen";
    wayland_ = driver == "wayland";
    wakeEvent_ = SDL_RegisterEvents(1);
    if (wakeEvent_ == static_cast<uint32_t>(-1)) wakeEvent_ = SDL_USEREVENT;
    ticksPerSecond_ = std::max<uint64_t>(1, SDL_GetPerformanceFrequency());

    const TSettings& settings = CurrentSettings();
    scaling_ = ScalingFromName(settings.Get("scaling"));
    pacing_ = PacingFromName(settings.Get("pacing"));
    frameRate_ = static_cast<int>(settings.GetInt("frame_rate"));
    exclusive_ = settings.Get("fullscreen_mode") == "exclusive";
    vsyncAsked_ = pacing_ == Pacing::Display;
    ChooseRenderer();
    UpdateScale(nullptr);
    SDL_StartTextInput();
}

void SdlWindowSystem::ChooseRenderer() {
    // A renderer named by the user (SDL_RENDER_DRIVER) is SDL's business.
    const char* asked = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    if (asked && *asked) return;
    // On Wayland SDL's software renderer draws through OpenGL anyway (its window surface
    // exists only that way): the OpenGL renderer there does the scaling in one step instead.
    if (headless_ || (!wayland_ && OpenGlIsSoftware())) rendererIndex_ = SoftwareRendererIndex();
    // The software renderer never waits for the display: our own timed wait paces it. On
    // Wayland SDL 2's refresh wait costs a third of a core by itself (and may block while the
    // window is hidden): the timed wait paces there too.
    if ((rendererIndex_ >= 0 && rendererIndex_ == SoftwareRendererIndex()) || wayland_) vsyncAsked_ = false;
    // That renderer would only copy into the window's framebuffer: drawing there ourselves
    // saves the copy, and lets a frame send only what changed. (Wayland has no such buffer.)
    surfacesPossible_ = surfaces_ = !wayland_ && rendererIndex_ >= 0 && rendererIndex_ == SoftwareRendererIndex();
}

void SdlWindowSystem::UpdateScale(SDL_Window* sample) {
    if (sample) {
        int pw = 0, ph = 0, w = 0, h = 0;
        SDL_GetWindowSizeInPixels(sample, &pw, &ph);
        SDL_GetWindowSize(sample, &w, &h);
        pixelsPerPoint_ = (w > 0 && pw >= w) ? std::max(1, pw / w) : 1;
        pixelsMeasured_ = true;
    }
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0 || usable.w <= 0 || usable.h <= 0) {
        const Size s = ScreenSizeInPoints();
        usable = {0, 0, s.Width, s.Height};
    }
    scale_ = WindowScale({usable.w * pixelsPerPoint_, usable.h * pixelsPerPoint_}, design_, scaling_);
}

int SdlWindowSystem::ToPoints(int programPixels) const {
    const int64_t v = static_cast<int64_t>(programPixels) * scale_;
    // Floor division, so places left of or above the screen stay there.
    return static_cast<int>(v >= 0 ? v / pixelsPerPoint_ : -((-v + pixelsPerPoint_ - 1) / pixelsPerPoint_));
}

SdlWindowSystem::~SdlWindowSystem() {
    for (SdlWindow* w : windows_) w->Detach();
    windows_.clear();
    SDL_StopTextInput();
    SDL_QuitSubSystem(kSubsystems);
}

std::unique_ptr<IWindow> SdlWindowSystem::CreateWindow(const std::string& caption, const Rect& bounds) {
    WindowPtr w(SDL_CreateWindow(caption.c_str(), ToPoints(bounds.Left), ToPoints(bounds.Top),
                                 std::max(1, ToPoints(bounds.Width())), std::max(1, ToPoints(bounds.Height())),
                                 SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI));
    if (!w) throw std::runtime_error("Cannot create the window \"" + caption + "\": " + SDL_GetError());
    std::unique_ptr<SdlWindow> window(new SdlWindow(this, std::move(w), caption, bounds));
    windows_.push_back(window.get());
    if (mainId_ == 0) {
        mainId_ = window->id_;
        StartPacing(window.get());
    }
    if (!pixelsMeasured_) {
        // Only a window tells how many real pixels a point has (a HiDPI desktop).
        const int before = scale_, ppp = pixelsPerPoint_;
        UpdateScale(window->Handle());
        if (scale_ != before || pixelsPerPoint_ != ppp) window->ApplyBounds();
    }
    return window;
}

void SdlWindowSystem::Forget(SdlWindow* w) {
    std::erase(windows_, w);
    if (mainId_ == w->id_) mainId_ = 0;
    queue_.WindowGone(w->id_);
}

SdlWindow* SdlWindowSystem::Find(uint32_t id) const {
    if (id == 0) return nullptr;
    for (SdlWindow* w : windows_)
        if (w->id_ == id) return w;
    return nullptr;
}

Size SdlWindowSystem::ScreenSizeInPoints() {
    SDL_DisplayMode m{};
    if (SDL_GetDesktopDisplayMode(0, &m) == 0 && m.w > 0 && m.h > 0) return {m.w, m.h};
    SDL_Rect r{};
    if (SDL_GetDisplayBounds(0, &r) == 0 && r.w > 0 && r.h > 0) return {r.w, r.h};
    return design_;  // the program's own display size, when the system cannot say
}

Size SdlWindowSystem::ScreenSize() {
    const Size s = ScreenSizeInPoints();
    return {s.Width * pixelsPerPoint_ / scale_, s.Height * pixelsPerPoint_ / scale_};
}

void SdlWindowSystem::ToggleFullScreen() {
    SdlWindow* w = Find(mainId_);
    if (!w || !w->window_) return;
    const bool on = !w->fullScreen_;
    bool done;
    if (!on) {
        done = w->SetFullScreen(false, {});
    } else {
        DisplayMode mode = w->lastMode_;
        if (mode.Width <= 0) mode = {design_.Width, design_.Height, 32};
        done = w->SetFullScreen(true, mode);
        if (!done && exclusive_) {
            // No mode of that size: the nearest larger one the monitor has, else the desktop.
            SDL_DisplayMode want{0, mode.Width, mode.Height, 0, nullptr}, got{};
            const int display = std::max(0, SDL_GetWindowDisplayIndex(w->window_.get()));
            if (SDL_GetClosestDisplayMode(display, &want, &got))
                done = w->SetFullScreen(true, {got.w, got.h, mode.Bits});
            if (!done) {
                exclusive_ = false;
                done = w->SetFullScreen(true, mode);
                exclusive_ = true;
            }
        }
    }
    if (!done) return;
    Message m;
    m.Kind = MsgKind::FullScreenChange;
    m.Window = w->id_;
    m.Param = on ? 1 : 0;
    queue_.Push(std::move(m));
}

std::string SdlWindowSystem::RendererName() const {
    for (SdlWindow* w : windows_) {
        SDL_RendererInfo info{};
        if (w->surface_) return "framebuffer";
        if (w->renderer_ && SDL_GetRendererInfo(w->renderer_.get(), &info) == 0) return info.name;
    }
    return {};
}

std::vector<DisplayMode> SdlWindowSystem::DisplayModes() {
    std::vector<std::pair<int, int>> sizes;
    SDL_DisplayMode m{};
    for (int i = 0, n = SDL_GetNumDisplayModes(0); i < n; ++i)
        if (SDL_GetDisplayMode(0, i, &m) == 0 && m.w > 0 && m.h > 0) sizes.emplace_back(m.w, m.h);
    if (sizes.empty()) {
        Size s = ScreenSize();
        sizes.emplace_back(s.Width, s.Height);
    }
    std::sort(sizes.begin(), sizes.end());
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    // The back buffer's depth is ours and presentation converts, so every size is
    // offered at every depth.
    std::vector<DisplayMode> modes;
    for (auto [w, h] : sizes)
        for (int bits : {8, 16, 24, 32}) modes.push_back({w, h, bits});
    return modes;
}

}  // namespace platform::sdl
