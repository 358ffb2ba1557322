// The application object, forms, window timers and the message loop.
#include "engine/Forms.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {
platform::IWindowSystem& Ws() {
    auto* ws = platform::Current().Windows;
    if (!ws) throw std::runtime_error("no window system installed");
    return *ws;
}
int g_nextTimerId = 1;
}  // namespace

TApplication& Application() {
    static TApplication app;
    return app;
}

void TApplication::SetIdleHandler(IdleHandler handler) { idle_ = std::move(handler); }
void TApplication::ClearIdleHandler() { idle_ = nullptr; }

void TApplication::AddMessageHook(const void* owner, MessageHook hook) {
    RemoveMessageHook(owner);
    hooks_.push_back({owner, std::move(hook)});
}

void TApplication::RemoveMessageHook(const void* owner) {
    std::erase_if(hooks_, [&](const Hook& h) { return h.Owner == owner; });
}

void TApplication::RegisterForm(TForm* f) { forms_.push_back(f); }

void TApplication::UnregisterForm(TForm* f) {
    std::erase(forms_, f);
    std::erase(modal_, f);
    if (mainForm_ == f) mainForm_ = nullptr;
}

void TApplication::EndModal(TForm* f) {
    auto it = std::find(modal_.rbegin(), modal_.rend(), f);
    if (it != modal_.rend()) modal_.erase(std::next(it).base());
}

bool TApplication::ShutOut(TForm* target, const platform::Message& msg) {
    TForm* modal = ModalForm();
    if (!modal || !target || target == modal) return false;
    using platform::MsgKind;
    switch (msg.Kind) {
        case MsgKind::Activate:
        case MsgKind::MouseDown:
            // The user reached for a window behind the modal one: show them the modal one.
            if (modal->Visible() && modal->Window()) modal->Window()->Focus();
            return true;
        case MsgKind::KeyDown:
        case MsgKind::KeyUp:
        case MsgKind::Char:
        case MsgKind::MouseMove:
        case MsgKind::MouseUp:
        case MsgKind::PadDown:
        case MsgKind::PadUp: return true;
        default: return false;
    }
}

TForm* TApplication::FindForm(uint32_t windowId) const {
    if (windowId == 0) return nullptr;
    for (TForm* f : forms_)
        if (f->Handle() == windowId) return f;
    return nullptr;
}

void TApplication::ShowException(const std::string& text) {
    auto* ws = platform::Current().Windows;
    if (ws) ws->ShowMessageBox(title_, text);
    else std::fprintf(stderr, "%s\n", text.c_str());
}

void TApplication::ShowException(const std::exception& e) { ShowException(std::string(e.what())); }

void TApplication::Dispatch(const platform::Message& msg) {
    switch (msg.Kind) {
        case platform::MsgKind::Quit: terminated_ = true; break;
        case platform::MsgKind::AppActivate: active_ = true; break;
        case platform::MsgKind::AppDeactivate: active_ = false; break;
        default: break;
    }
    // Input for a hidden window is stale (typed or clicked before it was hidden): drop it.
    const bool input = msg.Kind == platform::MsgKind::KeyDown || msg.Kind == platform::MsgKind::KeyUp ||
                       msg.Kind == platform::MsgKind::Char || msg.Kind == platform::MsgKind::MouseMove ||
                       msg.Kind == platform::MsgKind::MouseDown || msg.Kind == platform::MsgKind::MouseUp ||
                       msg.Kind == platform::MsgKind::PadDown || msg.Kind == platform::MsgKind::PadUp;
    TForm* f = FindForm(msg.Window);
    if (ShutOut(f, msg)) return;
    try {
        if (f && (!input || f->Visible())) f->HandleMessage(msg);
    } catch (const std::exception& e) { ShowException(e); }
    // Copy: a hook may add or remove hooks.
    auto hooks = hooks_;
    for (auto& h : hooks) {
        try {
            h.Fn(msg);
        } catch (const std::exception& e) { ShowException(e); }
    }
}

bool TApplication::HandleMessage() {
    if (terminated_) return false;
    platform::Message msg;
    if (Ws().PeekMessage(msg)) {
        Dispatch(msg);
    } else if (idle_) {
        bool done = true;
        // The handler may replace or clear itself (the frame timer stopping inside a frame).
        IdleHandler handler = idle_;
        try {
            done = handler();
        } catch (const std::exception& e) { ShowException(e); }
        if (done) Ws().WaitMessage(-1);
    } else {
        Ws().WaitMessage(-1);
    }
    return !terminated_;
}

void TApplication::ProcessMessages() {
    platform::Message msg;
    while (!terminated_ && Ws().PeekMessage(msg)) Dispatch(msg);
}

void TApplication::Run() {
    while (HandleMessage()) {}
}

// ---------------------------------------------------------------------------------------

TForm::TForm(std::string caption, int clientWidth, int clientHeight) : caption_(std::move(caption)) {
    platform::Size screen = Ws().ScreenSize();
    bounds_ = {(screen.Width - clientWidth) / 2, (screen.Height - clientHeight) / 2, 0, 0};
    bounds_.Right = bounds_.Left + clientWidth;
    bounds_.Bottom = bounds_.Top + clientHeight;
    window_ = Ws().CreateWindow(caption_, bounds_);
    Application().RegisterForm(this);
    if (!Application().MainForm()) Application().SetMainForm(this);
}

TForm::~TForm() { Application().UnregisterForm(this); }

void TForm::Show() {
    if (!window_) return;
    bool wasVisible = window_->Visible();
    window_->Show();
    if (!wasVisible) {
        shownOnce_ = true;
        DoShow();
    }
}

void TForm::Hide() {
    if (window_) window_->Hide();
}

void TForm::Close() {
    TCloseAction action = (Application().MainForm() == this) ? TCloseAction::caFree : TCloseAction::caHide;
    DoClose(action);
    if (action == TCloseAction::caNone) return;
    if (Application().MainForm() == this) {
        Hide();
        Application().Terminate();
        return;
    }
    Hide();
}

void TForm::ShowModal() {
    modal_ = true;
    Application().BeginModal(this);
    struct End {
        TForm* Form;
        ~End() {
            Application().EndModal(Form);
            Form->modal_ = false;
        }
    } end{this};
    Show();
    if (window_) window_->Focus();
    while (Visible() && !Application().Terminated()) Application().HandleMessage();
}

void TForm::SetBounds(int left, int top, int width, int height) {
    bounds_ = {left, top, left + width, top + height};
    if (window_) window_->SetBounds(bounds_);
}

void TForm::CenterOnScreen() {
    platform::Size screen = Ws().ScreenSize();
    SetPosition((screen.Width - ClientWidth()) / 2, (screen.Height - ClientHeight()) / 2);
}

void TForm::SetCaption(const std::string& c) {
    caption_ = c;
    if (window_) window_->SetCaption(c);
}

void TForm::AddWindowHook(const void* owner, TApplication::MessageHook hook) {
    RemoveWindowHook(owner);
    hooks_.push_back({owner, std::move(hook)});
}

void TForm::RemoveWindowHook(const void* owner) {
    std::erase_if(hooks_, [&](const Hook& h) { return h.Owner == owner; });
}

void TForm::HandleMessage(const platform::Message& msg) {
    using platform::MsgKind;
    switch (msg.Kind) {
        case MsgKind::KeyDown: {
            int key = msg.Key;
            DoKeyDown(key, msg.Shift);
            break;
        }
        case MsgKind::KeyUp: {
            int key = msg.Key;
            DoKeyUp(key, msg.Shift);
            break;
        }
        case MsgKind::Char: {
            std::string ch = msg.Text;
            DoKeyPress(ch);
            break;
        }
        case MsgKind::PadDown: DoPadDown(msg.Button, static_cast<int>(msg.Param)); break;
        case MsgKind::PadUp: DoPadUp(msg.Button, static_cast<int>(msg.Param)); break;
        case MsgKind::MouseMove: DoMouseMove(msg.X, msg.Y); break;
        case MsgKind::MouseDown: DoMouseDown(msg.Button, msg.X, msg.Y); break;
        case MsgKind::MouseUp: DoMouseUp(msg.Button, msg.X, msg.Y); break;
        case MsgKind::Activate: DoActivate(); break;
        case MsgKind::Deactivate: DoDeactivate(); break;
        case MsgKind::Close: Close(); break;
        case MsgKind::Timer: DoTimer(static_cast<int>(msg.Param)); break;
        case MsgKind::Expose: DoPaint(); break;
        default: break;
    }
    auto hooks = hooks_;
    for (auto& h : hooks) h.Fn(msg);
}

// ---------------------------------------------------------------------------------------

TTimer::TTimer(TForm* owner, int interval, bool enabled)
    : owner_(owner), interval_(interval), enabled_(enabled), id_(g_nextTimerId++) {
    owner_->AddWindowHook(this, [this](const platform::Message& m) {
        if (m.Kind == platform::MsgKind::Timer && m.Param == id_ && enabled_ && OnTimer) OnTimer();
    });
    Apply();
}

TTimer::~TTimer() {
    if (auto* ws = platform::Current().Windows) ws->KillTimer(owner_->Handle(), id_);
    owner_->RemoveWindowHook(this);
}

void TTimer::SetEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    Apply();
}

void TTimer::SetInterval(int ms) {
    if (ms == interval_) return;
    interval_ = ms;
    Apply();
}

void TTimer::Apply() {
    auto& ws = Ws();
    ws.KillTimer(owner_->Handle(), id_);
    if (enabled_ && interval_ > 0) ws.SetTimer(owner_->Handle(), id_, interval_);
}
