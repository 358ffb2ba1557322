// A deterministic window system for tests: in-memory windows, scripted messages, timers
// driven by a FakeClock.
//
// Typical use:
//
//   platform::fake::FakeClock clock;
//   platform::fake::FakeWindowSystem ws(clock);
//   platform::Install({.Clock = &clock, .Windows = &ws});
//
//   auto win = ws.CreateWindow("Main", {0, 0, 800, 600});
//   win->Show();                                // takes the focus: AppActivate, Activate
//   ws.PressKey(39);                            // Right arrow (scan code 205 by default)
//   ws.TypeChar("Жук");                         // three Char messages
//   ws.SetTimer(win->Id(), 1, 100);
//   clock.Advance(100);                         // the timer is due: PeekMessage yields it
//   platform::Message m;
//   while (ws.PeekMessage(m)) { ... }           // or Application().ProcessMessages()
//
//   uint8_t keys[256];
//   ws.GetKeyboardState(keys);                  // keys[39] & 0x80 once KeyDown was delivered
//   auto* rec = ws.Window(win->Id());           // what was presented, full screen, cursor …
//   rec->Presents(); rec->LastPresented(); rec->Contents();
//   ws.MessageBoxes();                          // every ShowMessageBox call
//
// The keyboard state follows the key messages as they are taken from the queue, as on the
// real window system: push the key, then pump the messages, then read the state.
// WaitMessage never blocks: with a timer set it advances the clock to the timer's due time
// (no further than its timeout), otherwise it returns at once.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/MessageQueue.h"
#include "platform/Platform.h"
#include "platform/fake/FakeClock.h"

namespace platform::fake {

class FakeWindowSystem;

class FakeWindow : public IWindow {
public:
    ~FakeWindow() override;

    uint32_t Id() const override { return id_; }
    void SetBounds(const Rect& r) override { bounds_ = r; }
    Rect Bounds() const override { return bounds_; }
    void Show() override;
    void Hide() override;
    bool Visible() const override { return visible_; }
    void SetCaption(const std::string& utf8) override { caption_ = utf8; }
    std::string Caption() const override { return caption_; }
    void SetCursorVisible(bool visible) override { cursorVisible_ = visible; }
    bool SetFullScreen(bool on, const DisplayMode& mode) override;
    bool FullScreen() const override { return fullScreen_; }
    bool Present(const Bitmap& src, int x, int y) override;
    void SkipFrame() override { ++skippedFrames_; }
    void Focus() override;
    bool HasFocus() const override;

    // Records for tests.
    bool CursorVisible() const { return cursorVisible_; }
    DisplayMode Mode() const { return mode_; }  // the last full-screen mode
    int Presents() const { return presents_; }  // successful ones
    int FailedPresents() const { return failedPresents_; }
    int SkippedFrames() const { return skippedFrames_; }   // frames that took their turn unseen
    const Bitmap& LastPresented() const { return last_; }  // a 32-bit copy
    int LastX() const { return lastX_; }
    int LastY() const { return lastY_; }
    // The client area as a player would see it (32 bits): every present composited, clipped.
    const Bitmap& Contents() const { return contents_; }

private:
    friend class FakeWindowSystem;
    FakeWindow(FakeWindowSystem* owner, uint32_t id, std::string caption, const Rect& bounds);

    FakeWindowSystem* owner_;
    uint32_t id_;
    std::string caption_;
    Rect bounds_;
    bool visible_ = false;
    bool cursorVisible_ = true;
    bool fullScreen_ = false;
    DisplayMode mode_;
    int presents_ = 0, failedPresents_ = 0, skippedFrames_ = 0;
    Bitmap last_;
    int lastX_ = 0, lastY_ = 0;
    Bitmap contents_;
};

class FakeWindowSystem : public IWindowSystem {
public:
    static constexpr int DefaultScan = -1;

    explicit FakeWindowSystem(FakeClock& clock);
    ~FakeWindowSystem() override;

    // IWindowSystem
    std::unique_ptr<IWindow> CreateWindow(const std::string& caption, const Rect& bounds) override;
    bool PeekMessage(Message& msg) override;
    void WaitMessage(int timeoutMs) override;
    void PostMessage(const Message& msg) override;
    void SetTimer(uint32_t window, int id, int intervalMs) override;
    void KillTimer(uint32_t window, int id) override;
    void ShowMessageBox(const std::string& title, const std::string& text) override;
    Size ScreenSize() override { return screen_; }
    std::vector<DisplayMode> DisplayModes() override { return modes_; }
    uint32_t FocusWindow() override { return queue_.Focus(); }
    void GetKeyboardState(uint8_t vk[256]) override { queue_.GetKeyboardState(vk); }
    void GetScanCodeState(uint8_t sc[256]) override { queue_.GetScanCodeState(sc); }

    // Scripting. A window of 0 means the window holding the focus (as keys and the mouse go).
    void Push(const Message& msg) { queue_.Push(msg); }
    // KeyDown (KeyUp) with the key's usual set-1 scan code unless one is given; Enter,
    // Escape, Backspace and Tab also give their Char message, as on the real keyboard.
    void PressKey(int vk, int scanCode = DefaultScan, uint32_t shift = 0, bool repeat = false, uint32_t window = 0);
    void ReleaseKey(int vk, int scanCode = DefaultScan, uint32_t shift = 0, uint32_t window = 0);
    // One Char message per UTF-8 character of text.
    void TypeChar(std::string_view utf8, uint32_t window = 0);
    void MoveMouse(int x, int y, uint32_t window = 0);
    void Click(int x, int y, int button = 1, uint32_t window = 0);  // MouseDown, MouseUp
    void CloseWindow(uint32_t window);                              // the user closes it
    void Quit();                                                    // the session ends
    // Moves the keyboard focus (0: to another application), with the messages a desktop
    // sends: Deactivate / AppDeactivate for the loser, AppActivate / Activate for the winner.
    void SetFocus(uint32_t window) { queue_.SetFocus(window); }
    // Show() gives the window the focus, as a desktop does; off: the focus moves only when told.
    void SetFocusOnShow(bool on) { focusOnShow_ = on; }

    struct MessageBoxRecord {
        std::string Title, Text;
    };
    const std::vector<MessageBoxRecord>& MessageBoxes() const { return boxes_; }
    void ClearMessageBoxes() { boxes_.clear(); }

    void SetScreenSize(Size s) { screen_ = s; }
    void SetDisplayModes(std::vector<DisplayMode> modes) { modes_ = std::move(modes); }
    // Present fails while set: the window's surface is lost.
    void SetPresentFails(bool fails) { presentFails_ = fails; }
    bool PresentFails() const { return presentFails_; }
    void SetFullScreenFails(bool fails) { fullScreenFails_ = fails; }

    FakeWindow* Window(uint32_t id) const;  // null when no such window lives
    std::vector<FakeWindow*> Windows() const { return windows_; }
    size_t PendingMessages() const { return queue_.Count(); }
    bool HasTimer(uint32_t window, int id) const { return queue_.Timers().Has(window, id); }
    int TimerInterval(uint32_t window, int id) const { return queue_.Timers().Interval(window, id); }
    FakeClock& Clock() { return clock_; }

    // The set-1 scan code of a virtual key on a standard keyboard (0 when it has none).
    static int ScanCodeOf(int vk);

private:
    friend class FakeWindow;
    uint32_t Target(uint32_t window) const { return window ? window : queue_.Focus(); }
    void Forget(FakeWindow* w);

    FakeClock& clock_;
    MessageQueue queue_;
    std::vector<FakeWindow*> windows_;
    uint32_t nextId_ = 1;
    std::vector<MessageBoxRecord> boxes_;
    Size screen_{1024, 768};
    std::vector<DisplayMode> modes_;
    bool presentFails_ = false;
    bool fullScreenFails_ = false;
    bool focusOnShow_ = true;
};

}  // namespace platform::fake
