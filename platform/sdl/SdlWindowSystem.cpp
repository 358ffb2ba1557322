// The window system on SDL2.
#include "platform/sdl/SdlWindowSystem.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "platform/Settings.h"
#include "platform/sdl/KeyMap.h"

namespace platform::sdl {

namespace {

constexpr uint32_t kSubsystems = SDL_INIT_VIDEO | SDL_INIT_EVENTS | SDL_INIT_TIMER;

uint32_t ShiftFromMod(uint16_t mod) {
    uint32_t s = 0;
    if (mod & KMOD_SHIFT) s |= ssShift;
    if (mod & KMOD_CTRL) s |= ssCtrl;
    if (mod & KMOD_ALT) s |= ssAlt;
    return s;
}

int ButtonFromSdl(uint8_t b) {
    switch (b) {
        case SDL_BUTTON_LEFT: return 1;
        case SDL_BUTTON_RIGHT: return 2;
        case SDL_BUTTON_MIDDLE: return 3;
        default: return 0;
    }
}

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

int SoftwareRendererIndex() {
    SDL_RendererInfo info;
    for (int i = 0, n = SDL_GetNumRenderDrivers(); i < n; ++i)
        if (SDL_GetRenderDriverInfo(i, &info) == 0 && std::strcmp(info.name, "software") == 0) return i;
    return -1;
}

}  // namespace

// ---------------------------------------------------------------------------------------

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
    // A desktop gives a newly shown window the focus; a bare X server or a headless driver
    // does not, so ask for it.
    if (!wasVisible) Focus();
}

void SdlWindow::Hide() {
    if (!window_) return;
    SDL_HideWindow(window_.get());
    visible_ = false;
    if (owner_ && owner_->headless_ && HasFocus()) owner_->queue_.SetFocus(0);
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
    if (owner_) owner_->StartPacing(this);
    return true;
}

bool SdlWindow::EnsureRenderer() {
    if (!window_) return false;
    const Size want{std::max(1, bounds_.Width()), std::max(1, bounds_.Height())};
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
        picture_.reset();
        picture_.reset(SDL_CreateTexture(renderer_.get(), SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                         want.Width, want.Height));
        if (!picture_) return false;
        pictureSize_ = want;
        SDL_SetTextureBlendMode(picture_.get(), SDL_BLENDMODE_NONE);
        SDL_SetTextureScaleMode(picture_.get(), SDL_ScaleModeNearest);
        // A new client area starts black, as a new window does.
        void* pixels;
        int pitch;
        if (SDL_LockTexture(picture_.get(), nullptr, &pixels, &pitch) == 0) {
            for (int y = 0; y < want.Height; ++y)
                std::memset(static_cast<uint8_t*>(pixels) + static_cast<size_t>(y) * pitch, 0,
                            static_cast<size_t>(want.Width) * 4);
            SDL_UnlockTexture(picture_.get());
        }
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
    SDL_Rect rect{dx, dy, w, h};
    void* pixels;
    int pitch;
    if (SDL_LockTexture(picture_.get(), &rect, &pixels, &pitch) != 0) return false;
    for (int row = 0; row < h; ++row)
        ConvertRow(src, sx, sy + row, w,
                   reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(pixels) + static_cast<size_t>(row) * pitch), lut);
    SDL_UnlockTexture(picture_.get());
    return true;
}

bool SdlWindow::Render() {
    const View view = CurrentView();
    SDL_SetRenderDrawColor(renderer_.get(), 0, 0, 0, 255);
    SDL_RenderClear(renderer_.get());
    const SDL_Rect target{view.Target.Left, view.Target.Top, view.Target.Width(), view.Target.Height()};
    SDL_Texture* source = picture_.get();
    if (view.Prescale > 0) {
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
    const bool main = owner_ && owner_->mainId_ == id_;
    if (main) owner_->PaceFrame(this);
    SDL_RenderPresent(renderer_.get());
    if (main) owner_->FramePresented(this);
    return true;
}

void SdlWindow::SkipFrame() {
    if (owner_ && owner_->mainId_ == id_) owner_->FrameSkipped(this);
}

bool SdlWindow::Present(const Bitmap& src, int x, int y) {
    if (!window_ || !EnsureRenderer()) return false;
    if (!src.Empty() && !Upload(src, x, y)) return false;
    return Render();
}

void SdlWindow::Focus() {
    if (!window_) return;
    SDL_RaiseWindow(window_.get());
    if (owner_ && owner_->headless_) {
        // Nothing else will ever give a headless window the focus.
        if (visible_) owner_->queue_.FocusGained(id_);
    } else if (visible_) {
        SDL_SetWindowInputFocus(window_.get());
    }
}

bool SdlWindow::HasFocus() const { return owner_ && owner_->queue_.Focus() == id_; }

// ---------------------------------------------------------------------------------------

SdlWindowSystem::SdlWindowSystem(Size design) : queue_(clock_), design_(design) {
    // The window surface through software OpenGL costs twenty times a plain one.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // Closing a window is the program's decision (its Close message), not SDL's.
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    if (SDL_InitSubSystem(kSubsystems) != 0)
        throw std::runtime_error(std::string("Cannot start the window system: ") + SDL_GetError());
    const char* driver = SDL_GetCurrentVideoDriver();
    headless_ = driver && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0);
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
    if (headless_ || OpenGlIsSoftware()) rendererIndex_ = SoftwareRendererIndex();
    // The software renderer never waits for the display: our own timed wait paces it.
    if (rendererIndex_ >= 0 && rendererIndex_ == SoftwareRendererIndex()) vsyncAsked_ = false;
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

void SdlWindowSystem::Pump() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) Translate(e);
}

bool SdlWindowSystem::FocusComingToUs() {
    SDL_Event events[64];
    int n = SDL_PeepEvents(events, 64, SDL_PEEKEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT);
    for (int i = 0; i < n; ++i)
        if (events[i].window.event == SDL_WINDOWEVENT_FOCUS_GAINED && Find(events[i].window.windowID)) return true;
    return false;
}

void SdlWindowSystem::Translate(const SDL_Event& e) {
    Message m;
    switch (e.type) {
        case SDL_QUIT:
            m.Kind = MsgKind::Quit;
            queue_.Push(std::move(m));
            return;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            if (FullScreenKey(e.key)) return;
            m.Kind = e.type == SDL_KEYDOWN ? MsgKind::KeyDown : MsgKind::KeyUp;
            m.Window = e.key.windowID ? e.key.windowID : queue_.Focus();
            m.Key = VirtualKeyFromSdl(e.key.keysym);
            m.ScanCode = ScanCodeFromSdl(e.key.keysym.scancode);
            if (m.Key == 0 && m.ScanCode == 0) return;  // a key the program has no name for
            m.Repeat = e.key.repeat != 0;
            m.Shift = ShiftFromMod(e.key.keysym.mod);
            int vk = m.Key;
            uint32_t window = m.Window, shift = m.Shift;
            queue_.Push(std::move(m));
            if (e.type == SDL_KEYDOWN) queue_.PushControlChar(window, vk, shift);
            return;
        }
        case SDL_TEXTINPUT:
            queue_.PushText(e.text.windowID ? e.text.windowID : queue_.Focus(), e.text.text,
                            ShiftFromMod(static_cast<uint16_t>(SDL_GetModState())));
            return;
        case SDL_MOUSEMOTION:
            m.Kind = MsgKind::MouseMove;
            m.Window = e.motion.windowID;
            MapMouse(e.motion.windowID, e.motion.x, e.motion.y, m);
            m.Shift = ShiftFromMod(static_cast<uint16_t>(SDL_GetModState()));
            queue_.Push(std::move(m));
            return;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            m.Button = ButtonFromSdl(e.button.button);
            if (m.Button == 0) return;
            m.Kind = e.type == SDL_MOUSEBUTTONDOWN ? MsgKind::MouseDown : MsgKind::MouseUp;
            m.Window = e.button.windowID;
            MapMouse(e.button.windowID, e.button.x, e.button.y, m);
            m.Shift = ShiftFromMod(static_cast<uint16_t>(SDL_GetModState()));
            queue_.Push(std::move(m));
            return;
        case SDL_WINDOWEVENT: {
            uint32_t id = e.window.windowID;
            SdlWindow* w = Find(id);
            switch (e.window.event) {
                case SDL_WINDOWEVENT_FOCUS_GAINED:
                    if (w) queue_.FocusGained(id);
                    return;
                case SDL_WINDOWEVENT_FOCUS_LOST:
                    // Moving between our own windows is no deactivation of the application.
                    queue_.FocusLost(id, FocusComingToUs());
                    return;
                case SDL_WINDOWEVENT_CLOSE: m.Kind = MsgKind::Close; break;
                case SDL_WINDOWEVENT_EXPOSED:
                case SDL_WINDOWEVENT_SIZE_CHANGED: m.Kind = MsgKind::Expose; break;
                case SDL_WINDOWEVENT_ENTER:
                    if (w) SDL_ShowCursor(w->cursorVisible_ ? SDL_ENABLE : SDL_DISABLE);
                    return;
                default: return;
            }
            if (!w) return;
            m.Window = id;
            queue_.Push(std::move(m));
            return;
        }
        default:
            if (e.type == wakeEvent_) wakePending_ = false;
            else if (eventHook_) eventHook_(e);
            return;
    }
}

void SdlWindowSystem::PushInput(Message msg) {
    if (msg.Kind == MsgKind::PadDown || msg.Kind == MsgKind::PadUp) {
        msg.Window = queue_.Focus();
        if (msg.Window == 0) return;
    }
    queue_.Push(std::move(msg));
}

bool SdlWindowSystem::PeekMessage(Message& msg) {
    if (!queue_.Pending()) Pump();
    return queue_.Take(msg);
}

void SdlWindowSystem::WaitMessage(int timeoutMs) {
    if (queue_.Pending()) return;
    Pump();
    uint32_t start = clock_.Milliseconds();
    while (!queue_.Pending()) {
        int wait = queue_.MsUntilTimer();
        if (timeoutMs >= 0) {
            int left = timeoutMs - static_cast<int>(clock_.Milliseconds() - start);
            if (left <= 0) return;
            wait = wait < 0 ? left : std::min(wait, left);
        }
        if (wait == 0) return;  // a timer is due
        // Wake now and then even without a limit, so a wake-up event lost to someone
        // flushing SDL's queue cannot strand a posted message.
        int slice = (wait < 0 || wait > 250) ? 250 : wait;
        SDL_Event e;
        if (SDL_WaitEventTimeout(&e, slice)) {
            Translate(e);
            Pump();
        }
    }
}

void SdlWindowSystem::PostMessage(const Message& msg) {
    queue_.Post(msg);
    if (!wakePending_.exchange(true)) {
        SDL_Event e{};
        e.type = wakeEvent_;
        if (SDL_PushEvent(&e) != 1) wakePending_ = false;
    }
}

void SdlWindowSystem::SetTimer(uint32_t window, int id, int intervalMs) { queue_.SetTimer(window, id, intervalMs); }

void SdlWindowSystem::KillTimer(uint32_t window, int id) { queue_.KillTimer(window, id); }

void SdlWindowSystem::ShowMessageBox(const std::string& title, const std::string& text) {
    // Also to stderr: without a display the box cannot show, and a log keeps what it said.
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    std::fflush(stderr);
    // No parent: SDL places a box relative to its parent's position twice over, which puts
    // it off the screen for a window that is not at the screen's corner (and our main window
    // waits out of sight during the start-up). Without one it is centred on the screen.
    // Its OK button answers Enter and Escape.
    SDL_MessageBoxButtonData ok{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0,
                                "OK"};
    SDL_MessageBoxData box{SDL_MESSAGEBOX_INFORMATION, nullptr, title.c_str(), text.c_str(), 1, &ok, nullptr};
    int pressed = 0;
    SDL_ShowMessageBox(&box, &pressed);
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

void SdlWindowSystem::MapMouse(uint32_t window, int x, int y, Message& m) {
    m.X = x;
    m.Y = y;
    SdlWindow* w = Find(window);
    if (!w || !w->window_) return;
    // Points to real pixels, then into the picture's own coordinates.
    int pw = 0, ph = 0, ww = 0, wh = 0;
    SDL_GetWindowSize(w->window_.get(), &ww, &wh);
    const Size out = w->OutputSize();
    pw = ww > 0 ? static_cast<int>(static_cast<int64_t>(x) * out.Width / ww) : x;
    ph = wh > 0 ? static_cast<int>(static_cast<int64_t>(y) * out.Height / wh) : y;
    const Size picture{std::max(1, w->bounds_.Width()), std::max(1, w->bounds_.Height())};
    OutputToPicture(w->CurrentView(), picture, pw, ph, m.X, m.Y);
}

bool SdlWindowSystem::FullScreenKey(const SDL_KeyboardEvent& key) {
    const int sc = key.keysym.scancode;
    if (key.type == SDL_KEYUP) {
        // The key-up of a switching key belongs to the switch, not to the program.
        auto it = std::find(swallowedKeys_.begin(), swallowedKeys_.end(), sc);
        if (it == swallowedKeys_.end()) return false;
        swallowedKeys_.erase(it);
        return true;
    }
    const bool altEnter = (key.keysym.mod & KMOD_ALT) &&
                          (key.keysym.scancode == SDL_SCANCODE_RETURN || key.keysym.scancode == SDL_SCANCODE_KP_ENTER);
    const bool f11 = key.keysym.scancode == SDL_SCANCODE_F11;
    if (!altEnter && !f11) return false;
    if (std::find(swallowedKeys_.begin(), swallowedKeys_.end(), sc) == swallowedKeys_.end())
        swallowedKeys_.push_back(sc);
    if (!key.repeat) ToggleFullScreen();
    return true;
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

void SdlWindowSystem::StartPacing(SdlWindow* w) {
    double rate = 0;
    if (pacing_ == Pacing::Fixed) {
        rate = frameRate_ > 0 ? frameRate_ : 60;
    } else if (pacing_ == Pacing::Display) {
        SDL_DisplayMode m{};
        const int display = w->window_ ? std::max(0, SDL_GetWindowDisplayIndex(w->window_.get())) : 0;
        // A display that does not say (Xvfb says 0) is taken as the usual 60 Hz.
        rate = (SDL_GetCurrentDisplayMode(display, &m) == 0 && m.refresh_rate > 0) ? m.refresh_rate : 60;
    }
    const uint64_t period = rate > 0 ? static_cast<uint64_t>(static_cast<double>(ticksPerSecond_) / rate) : 0;
    pacer_.SetPeriod(period);
    vsyncClaimed_ = false;
    SDL_RendererInfo info{};
    if (pacing_ == Pacing::Display && w->renderer_ && SDL_GetRendererInfo(w->renderer_.get(), &info) == 0)
        vsyncClaimed_ = (info.flags & SDL_RENDERER_PRESENTVSYNC) && std::strcmp(info.name, "software") != 0;
    // The claim is not proof: the first frames are timed to see whether it holds.
    probe_ = VsyncProbe(vsyncClaimed_ ? period : 0);
}

void SdlWindowSystem::PaceFrame(SdlWindow*) {
    if (pacer_.Period() == 0) return;
    if (vsyncClaimed_ && probe_.Result() != VsyncProbe::Verdict::Ignored) return;  // the renderer waits
    WaitForTurn();
}

void SdlWindowSystem::FrameSkipped(SdlWindow*) {
    // Nothing is presented, so no renderer waits for the display: the timed wait always does.
    if (pacer_.Period() == 0) return;
    WaitForTurn();
    pacer_.Presented(SDL_GetPerformanceCounter());
}

void SdlWindowSystem::WaitForTurn() {
    for (;;) {
        const uint64_t delay = pacer_.Delay(SDL_GetPerformanceCounter());
        if (delay == 0) return;
        // Wait for events rather than sleep blindly: keys, timers and music notices that
        // arrive meanwhile are queued at once and handled right after this frame.
        const int ms = static_cast<int>((delay * 1000 + ticksPerSecond_ - 1) / ticksPerSecond_);
        SDL_Event e;
        if (SDL_WaitEventTimeout(&e, std::max(1, ms))) Translate(e);
    }
}

void SdlWindowSystem::FramePresented(SdlWindow*) {
    const uint64_t now = SDL_GetPerformanceCounter();
    if (vsyncClaimed_) probe_.Presented(now);
    pacer_.Presented(now);
}

double SdlWindowSystem::PacedRate() const {
    return pacer_.Period() ? static_cast<double>(ticksPerSecond_) / static_cast<double>(pacer_.Period()) : 0.0;
}

bool SdlWindowSystem::TimedPacing() const {
    return pacer_.Period() != 0 && (!vsyncClaimed_ || probe_.Result() == VsyncProbe::Verdict::Ignored);
}

std::string SdlWindowSystem::RendererName() const {
    for (SdlWindow* w : windows_) {
        SDL_RendererInfo info{};
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
