// The event pump: SDL events translated into the program's messages, the wait for them,
// and the keys that switch full screen.
#include <SDL.h>

#include <algorithm>

#include "platform/sdl/KeyMap.h"
#include "platform/sdl/SdlWindowSystem.h"

namespace platform::sdl {

namespace {

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

}  // namespace

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
            // Whatever happened to the window (shown, moved, resized, uncovered, its full
            // screen switched), its next frame is drawn whole: the desktop may have lost it.
            if (w) w->Invalidate();
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
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    if (w && w->surface_) w->surface_->Invalidate();  // its framebuffer is sent whole again
                    m.Kind = MsgKind::Expose;
                    break;
                case SDL_WINDOWEVENT_MOVED:
                case SDL_WINDOWEVENT_DISPLAY_CHANGED: DisplayMayHaveChanged(w); return;
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

}  // namespace platform::sdl
