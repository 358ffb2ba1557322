// The application object, forms (top-level windows), window timers and the message loop.
//
// One thread: every handler runs from TApplication's loop. The loop takes pending messages
// first and, when the queue is empty, calls the idle handler (the frame timer installs
// itself there), so the game runs as fast as the machine allows between messages.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"

class TForm;

class TApplication {
public:
    // The idle handler returns Done: true lets the loop sleep until the next message,
    // false makes it call the handler again at once. Only one handler exists at a time.
    using IdleHandler = std::function<bool()>;
    using MessageHook = std::function<void(const platform::Message&)>;

    void SetIdleHandler(IdleHandler handler);
    void ClearIdleHandler();
    bool HasIdleHandler() const { return static_cast<bool>(idle_); }

    // Observers of every message the application dispatches (after the target form has
    // handled it). Used by components that follow activation (frame timer, input).
    void AddMessageHook(const void* owner, MessageHook hook);
    void RemoveMessageHook(const void* owner);

    // True while one of the application's windows holds the keyboard focus.
    bool Active() const { return active_; }
    std::string Title() const { return title_; }
    void SetTitle(std::string t) { title_ = std::move(t); }

    // Run until Terminate (or a Quit message, or the main form closing).
    void Run();
    // One pass: handle one pending message, or else run the idle handler once.
    // Returns false once the application is terminated.
    bool HandleMessage();
    // Handle every pending message without running the idle handler.
    void ProcessMessages();
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }
    void ResetTerminated() { terminated_ = false; }

    TForm* MainForm() const { return mainForm_; }
    void SetMainForm(TForm* f) { mainForm_ = f; }

    // Shows an exception that escaped a handler, as the default error report does, and
    // carries on.
    void ShowException(const std::exception& e);
    void ShowException(const std::string& text);

    void RegisterForm(TForm* f);
    void UnregisterForm(TForm* f);
    TForm* FindForm(uint32_t windowId) const;

    void Dispatch(const platform::Message& msg);

    // The innermost modal form, or null. While one is open every other form of the program
    // is shut out: it takes no key or mouse input and no activation, and an attempt to
    // activate or click it brings the modal form back to the front instead.
    TForm* ModalForm() const { return modal_.empty() ? nullptr : modal_.back(); }
    void BeginModal(TForm* f) { modal_.push_back(f); }
    void EndModal(TForm* f);

private:
    // True when the message is for a form the open modal form shuts out (and, where the
    // user reached for that form, the modal form has been brought to the front).
    bool ShutOut(TForm* target, const platform::Message& msg);

    IdleHandler idle_;
    struct Hook {
        const void* Owner;
        MessageHook Fn;
    };
    std::vector<Hook> hooks_;
    std::vector<TForm*> forms_;
    std::vector<TForm*> modal_;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    bool active_ = false;
    std::string title_ = "Starbreaker";
};

TApplication& Application();

enum class TCloseAction { caNone, caHide, caFree };

// A top-level borderless window. Subclasses override the Do* handlers.
class TForm {
public:
    TForm(std::string caption, int clientWidth, int clientHeight);
    virtual ~TForm();
    TForm(const TForm&) = delete;
    TForm& operator=(const TForm&) = delete;

    platform::IWindow* Window() const { return window_.get(); }
    uint32_t Handle() const { return window_ ? window_->Id() : 0; }

    void Show();
    void Hide();
    bool Visible() const { return window_ && window_->Visible(); }
    // Ask the form to close: DoClose decides; the main form closing ends the application.
    void Close();
    // Shows the form and runs a nested message loop until it is hidden or closed; meanwhile
    // the program's other forms are shut out (TApplication::ModalForm).
    void ShowModal();
    bool Modal() const { return modal_; }

    int Left() const { return bounds_.Left; }
    int Top() const { return bounds_.Top; }
    int ClientWidth() const { return bounds_.Width(); }
    int ClientHeight() const { return bounds_.Height(); }
    void SetBounds(int left, int top, int width, int height);
    void SetPosition(int left, int top) { SetBounds(left, top, ClientWidth(), ClientHeight()); }
    // Centre on the screen: left := (screen width - width) div 2, likewise top.
    void CenterOnScreen();

    std::string Caption() const { return caption_; }
    void SetCaption(const std::string& c);

    // Handlers a window procedure hook can watch (after the form handled the message).
    void AddWindowHook(const void* owner, TApplication::MessageHook hook);
    void RemoveWindowHook(const void* owner);

    // Message entry point: calls the matching Do* handler, then the window hooks.
    virtual void HandleMessage(const platform::Message& msg);

protected:
    virtual void DoShow() {}
    virtual void DoActivate() {}
    virtual void DoDeactivate() {}
    virtual void DoClose(TCloseAction& action) { (void)action; }
    virtual void DoKeyDown(int& key, uint32_t shift) {
        (void)key;
        (void)shift;
    }
    virtual void DoKeyUp(int& key, uint32_t shift) {
        (void)key;
        (void)shift;
    }
    // One character as UTF-8 (the Cyrillic letters of a name arrive here too).
    virtual void DoKeyPress(std::string& ch) { (void)ch; }
    // A game pad's control (platform::PadButton) pressed or released while this window has
    // the focus, once per press; pad tells the pads apart.
    virtual void DoPadDown(int button, int pad) { (void)button, (void)pad; }
    virtual void DoPadUp(int button, int pad) { (void)button, (void)pad; }
    virtual void DoMouseMove(int x, int y) {
        (void)x;
        (void)y;
    }
    virtual void DoMouseDown(int button, int x, int y) {
        (void)button;
        (void)x;
        (void)y;
    }
    virtual void DoMouseUp(int button, int x, int y) {
        (void)button;
        (void)x;
        (void)y;
    }
    virtual void DoTimer(int id) { (void)id; }
    virtual void DoPaint() {}

private:
    std::unique_ptr<platform::IWindow> window_;
    std::string caption_;
    platform::Rect bounds_;
    bool modal_ = false;
    bool shownOnce_ = false;
    struct Hook {
        const void* Owner;
        TApplication::MessageHook Fn;
    };
    std::vector<Hook> hooks_;
};

// A window timer (the 100 ms game clock): OnTimer fires every Interval ms while Enabled.
class TTimer {
public:
    explicit TTimer(TForm* owner, int interval = 1000, bool enabled = true);
    ~TTimer();
    void SetEnabled(bool on);
    bool Enabled() const { return enabled_; }
    void SetInterval(int ms);
    int Interval() const { return interval_; }
    std::function<void()> OnTimer;
    // Called by the owner form for its Timer messages.
    bool Matches(int id) const { return id == id_; }

private:
    void Apply();
    TForm* owner_;
    int interval_;
    bool enabled_;
    int id_;
};
