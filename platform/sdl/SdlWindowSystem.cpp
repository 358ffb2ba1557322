// The window system on SDL2.
#include "platform/sdl/SdlWindowSystem.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>

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

// The SDL pixel format holding a Bitmap of this depth as it lies in memory.
uint32_t SdlFormatOf(int bits) {
    switch (bits) {
        case 8: return SDL_PIXELFORMAT_INDEX8;
        case 16: return SDL_PIXELFORMAT_RGB565;
        case 24: return SDL_PIXELFORMAT_BGR24;  // bytes B, G, R
        default: return SDL_PIXELFORMAT_RGB888;  // 0x00RRGGBB words
    }
}

struct SurfaceDeleter {
    void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};

}  // namespace

// ---------------------------------------------------------------------------------------

SdlWindow::SdlWindow(SdlWindowSystem* owner, SDL_Window* window, std::string caption, const Rect& bounds)
    : owner_(owner), window_(window), id_(SDL_GetWindowID(window)), caption_(std::move(caption)), bounds_(bounds) {}

SdlWindow::~SdlWindow() {
    if (owner_) owner_->Forget(this);
    Detach();
}

void SdlWindow::Detach() {
    owner_ = nullptr;
    if (window_) SDL_DestroyWindow(window_);
    window_ = nullptr;
}

void SdlWindow::SetBounds(const Rect& r) {
    bounds_ = r;
    if (!window_ || fullScreen_) return;
    SDL_SetWindowPosition(window_, r.Left, r.Top);
    SDL_SetWindowSize(window_, std::max(1, r.Width()), std::max(1, r.Height()));
}

void SdlWindow::Show() {
    if (!window_) return;
    bool wasVisible = visible_;
    SDL_ShowWindow(window_);
    visible_ = true;
    // A desktop gives a newly shown window the focus; a bare X server or a headless driver
    // does not, so ask for it.
    if (!wasVisible) Focus();
}

void SdlWindow::Hide() {
    if (!window_) return;
    SDL_HideWindow(window_);
    visible_ = false;
    if (owner_ && owner_->headless_ && HasFocus()) owner_->queue_.SetFocus(0);
}

void SdlWindow::SetCaption(const std::string& utf8) {
    caption_ = utf8;
    if (window_) SDL_SetWindowTitle(window_, utf8.c_str());
}

void SdlWindow::SetCursorVisible(bool visible) {
    cursorVisible_ = visible;
    // SDL's cursor setting is global: apply it while the pointer is over this window, and
    // again whenever the pointer enters one of ours.
    if (window_ && (SDL_GetMouseFocus() == window_ || (owner_ && owner_->headless_)))
        SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

bool SdlWindow::SetFullScreen(bool on, const DisplayMode& mode) {
    if (!window_) return false;
    if (!on) {
        if (!fullScreen_) return true;
        if (SDL_SetWindowFullscreen(window_, 0) != 0) return false;
        fullScreen_ = false;
        SDL_SetWindowSize(window_, std::max(1, bounds_.Width()), std::max(1, bounds_.Height()));
        SDL_SetWindowPosition(window_, bounds_.Left, bounds_.Top);
        return true;
    }
    if (mode.Width <= 0 || mode.Height <= 0) return false;
    if (mode.Bits != 8 && mode.Bits != 16 && mode.Bits != 24 && mode.Bits != 32) return false;

    int display = std::max(0, SDL_GetWindowDisplayIndex(window_));
    SDL_DisplayMode hw{};
    bool found = false;
    for (int i = 0, n = SDL_GetNumDisplayModes(display); i < n && !found; ++i)
        if (SDL_GetDisplayMode(display, i, &hw) == 0 && hw.w == mode.Width && hw.h == mode.Height) found = true;
    int rc;
    if (found) {
        if (SDL_SetWindowDisplayMode(window_, &hw) != 0) return false;
        rc = SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN);
    } else {
        // No hardware mode of that size: cover the desktop as it is.
        rc = SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
    if (rc != 0) return false;
    fullScreen_ = true;
    return true;
}

bool SdlWindow::Present(const Bitmap& src, int x, int y) {
    if (!window_) return false;
    SDL_Surface* dst = SDL_GetWindowSurface(window_);  // re-made by SDL after a size change
    if (!dst) return false;
    if (src.Empty()) return true;

    int sx = std::max(0, -x), sy = std::max(0, -y);
    int dx = std::max(0, x), dy = std::max(0, y);
    int w = std::min(src.Width() - sx, dst->w - dx);
    int h = std::min(src.Height() - sy, dst->h - dy);
    if (w <= 0 || h <= 0) return true;  // nothing of it lies inside the window
    SDL_Rect dstRect{dx, dy, w, h};

    uint32_t dstFormat = dst->format->format;
    if (src.Bits() == 32 && (dstFormat == SDL_PIXELFORMAT_RGB888 || dstFormat == SDL_PIXELFORMAT_ARGB8888)) {
        if (SDL_MUSTLOCK(dst) && SDL_LockSurface(dst) != 0) return false;
        auto* base = static_cast<uint8_t*>(dst->pixels);
        for (int row = 0; row < h; ++row)
            std::memcpy(base + static_cast<size_t>(dy + row) * dst->pitch + static_cast<size_t>(dx) * 4,
                        src.Row(sy + row) + static_cast<size_t>(sx) * 4, static_cast<size_t>(w) * 4);
        if (SDL_MUSTLOCK(dst)) SDL_UnlockSurface(dst);
    } else {
        // SDL reads the pixels only; the Bitmap stays untouched.
        std::unique_ptr<SDL_Surface, SurfaceDeleter> tmp(SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<uint8_t*>(src.Data()), src.Width(), src.Height(), src.Bits(), src.Pitch(), SdlFormatOf(src.Bits())));
        if (!tmp) return false;
        if (src.Bits() == 8) {
            SDL_Color colors[256];
            for (int i = 0; i < 256; ++i) {
                const RGB& c = src.Palette()[i];
                colors[i] = SDL_Color{c.R, c.G, c.B, 255};
            }
            SDL_SetPaletteColors(tmp->format->palette, colors, 0, 256);
        }
        SDL_SetSurfaceBlendMode(tmp.get(), SDL_BLENDMODE_NONE);
        SDL_Rect srcRect{sx, sy, w, h};
        SDL_Rect to = dstRect;
        if (SDL_BlitSurface(tmp.get(), &srcRect, dst, &to) != 0) return false;
    }
    return SDL_UpdateWindowSurfaceRects(window_, &dstRect, 1) == 0;
}

void SdlWindow::Focus() {
    if (!window_) return;
    SDL_RaiseWindow(window_);
    if (owner_ && owner_->headless_) {
        // Nothing else will ever give a headless window the focus.
        if (visible_) owner_->queue_.FocusGained(id_);
    } else if (visible_) {
        SDL_SetWindowInputFocus(window_);
    }
}

bool SdlWindow::HasFocus() const { return owner_ && owner_->queue_.Focus() == id_; }

// ---------------------------------------------------------------------------------------

SdlWindowSystem::SdlWindowSystem() : queue_(clock_) {
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
    SDL_StartTextInput();
}

SdlWindowSystem::~SdlWindowSystem() {
    for (SdlWindow* w : windows_) w->Detach();
    windows_.clear();
    SDL_StopTextInput();
    SDL_QuitSubSystem(kSubsystems);
}

std::unique_ptr<IWindow> SdlWindowSystem::CreateWindow(const std::string& caption, const Rect& bounds) {
    SDL_Window* w = SDL_CreateWindow(caption.c_str(), bounds.Left, bounds.Top, std::max(1, bounds.Width()),
                                     std::max(1, bounds.Height()), SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN);
    if (!w) throw std::runtime_error("Cannot create the window \"" + caption + "\": " + SDL_GetError());
    std::unique_ptr<SdlWindow> window(new SdlWindow(this, w, caption, bounds));
    windows_.push_back(window.get());
    return window;
}

void SdlWindowSystem::Forget(SdlWindow* w) {
    std::erase(windows_, w);
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
            m.X = e.motion.x;
            m.Y = e.motion.y;
            m.Shift = ShiftFromMod(static_cast<uint16_t>(SDL_GetModState()));
            queue_.Push(std::move(m));
            return;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            m.Button = ButtonFromSdl(e.button.button);
            if (m.Button == 0) return;
            m.Kind = e.type == SDL_MOUSEBUTTONDOWN ? MsgKind::MouseDown : MsgKind::MouseUp;
            m.Window = e.button.windowID;
            m.X = e.button.x;
            m.Y = e.button.y;
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
                case SDL_WINDOWEVENT_CLOSE:
                    m.Kind = MsgKind::Close;
                    break;
                case SDL_WINDOWEVENT_EXPOSED:
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    m.Kind = MsgKind::Expose;
                    break;
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
            if (e.type == wakeEvent_)
                wakePending_ = false;
            else if (eventHook_)
                eventHook_(e);
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
    SdlWindow* parent = Find(queue_.Focus());
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, title.c_str(), text.c_str(),
                             parent ? parent->window_ : nullptr);
}

Size SdlWindowSystem::ScreenSize() {
    SDL_DisplayMode m{};
    if (SDL_GetDesktopDisplayMode(0, &m) == 0 && m.w > 0 && m.h > 0) return {m.w, m.h};
    SDL_Rect r{};
    if (SDL_GetDisplayBounds(0, &r) == 0 && r.w > 0 && r.h > 0) return {r.w, r.h};
    return {800, 600};  // the program's own display size, when the system cannot say
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
