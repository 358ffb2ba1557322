// The window system on SDL2: borderless windows presented through their window surface,
// SDL events translated into the program's messages, window timers, message boxes.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/MessageQueue.h"
#include "platform/Platform.h"
#include "platform/sdl/SdlClock.h"

struct SDL_Window;
union SDL_Event;

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
    void Focus() override;
    bool HasFocus() const override;

    SDL_Window* Handle() const { return window_; }
    bool CursorVisible() const { return cursorVisible_; }

private:
    friend class SdlWindowSystem;
    SdlWindow(SdlWindowSystem* owner, SDL_Window* window, std::string caption, const Rect& bounds);
    void Detach();

    SdlWindowSystem* owner_;
    SDL_Window* window_;
    uint32_t id_;
    std::string caption_;
    Rect bounds_;
    bool visible_ = false;
    bool cursorVisible_ = true;
    bool fullScreen_ = false;
};

class SdlWindowSystem : public IWindowSystem {
public:
    // Starts SDL's video, event and timer parts; throws std::runtime_error when it cannot.
    SdlWindowSystem();
    ~SdlWindowSystem() override;
    SdlWindowSystem(const SdlWindowSystem&) = delete;
    SdlWindowSystem& operator=(const SdlWindowSystem&) = delete;

    std::unique_ptr<IWindow> CreateWindow(const std::string& caption, const Rect& bounds) override;
    bool PeekMessage(Message& msg) override;
    void WaitMessage(int timeoutMs) override;
    void PostMessage(const Message& msg) override;
    void SetTimer(uint32_t window, int id, int intervalMs) override;
    void KillTimer(uint32_t window, int id) override;
    void ShowMessageBox(const std::string& title, const std::string& text) override;
    Size ScreenSize() override;
    std::vector<DisplayMode> DisplayModes() override;
    uint32_t FocusWindow() override { return queue_.Focus(); }
    void GetKeyboardState(uint8_t vk[256]) override { queue_.GetKeyboardState(vk); }
    void GetScanCodeState(uint8_t sc[256]) override { queue_.GetScanCodeState(sc); }

    // SDL events the window system does not translate itself (the game pads') are handed to
    // this hook, which gives its messages to PushInput.
    using EventHook = std::function<void(const SDL_Event&)>;
    void SetEventHook(EventHook hook) { eventHook_ = std::move(hook); }
    // A message from the hook: pad presses go to the window holding the keyboard focus (and
    // nowhere while none of ours has it); other messages to the application.
    void PushInput(Message msg);

    IClock& Clock() { return clock_; }
    // True on a driver without a desktop (dummy, offscreen): focus changes are ours to make.
    bool Headless() const { return headless_; }

private:
    friend class SdlWindow;
    void Pump();
    void Translate(const SDL_Event& e);
    bool FocusComingToUs();
    SdlWindow* Find(uint32_t id) const;
    void Forget(SdlWindow* w);

    SdlClock clock_;
    MessageQueue queue_;
    std::vector<SdlWindow*> windows_;
    uint32_t wakeEvent_ = 0;
    std::atomic<bool> wakePending_{false};
    bool headless_ = false;
    EventHook eventHook_;
};

}  // namespace platform::sdl
