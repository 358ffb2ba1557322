// The idle-time frame timer.
#include "engine/DXTimer.h"

#include <climits>
#include <stdexcept>

TCustomDXTimer::TCustomDXTimer(TForm* owner) : owner_(owner) {
    Application().AddMessageHook(this, [this](const platform::Message& msg) { AppMessage(msg); });
}

TCustomDXTimer::~TCustomDXTimer() {
    Finalize();
    Application().RemoveMessageHook(this);
}

uint32_t TCustomDXTimer::Now() {
    platform::IClock* clock = platform::Current().Clock;
    if (!clock) throw std::runtime_error("no clock installed");
    return clock->Milliseconds();
}

void TCustomDXTimer::SetEnabled(bool value) {
    if (enabled_ == value) return;
    enabled_ = value;
    if (loading_) return;
    if (enabled_) Initialize();
    else Finalize();
}

void TCustomDXTimer::SetInterval(int value) {
    if (interval_ == value) return;
    interval_ = value < 0 ? 0 : value;
    divisor_ = static_cast<uint32_t>(value < 1 ? 1 : value);
}

void TCustomDXTimer::Loaded() {
    loading_ = false;
    if (enabled_) Initialize();
}

void TCustomDXTimer::Initialize() {
    Finalize();
    if (!activeOnly_ || Application().Active()) Resume();
    initialized_ = true;
}

void TCustomDXTimer::Finalize() {
    if (initialized_) {
        Suspend();
        initialized_ = false;
    }
}

void TCustomDXTimer::Resume() {
    oldTime_ = Now();
    fpsTime_ = oldTime_;
    Application().SetIdleHandler([this] { return Tick(); });
}

void TCustomDXTimer::Suspend() { Application().ClearIdleHandler(); }

// Reports "not done" so that the loop comes straight back instead of waiting for a message.
bool TCustomDXTimer::Tick() {
    const uint32_t now = Now();
    const uint32_t elapsed = now - oldTime_;  // unsigned: right across the clock's wrap
    if (elapsed < static_cast<uint32_t>(interval_)) return false;
    oldTime_ = now;

    uint32_t lag = elapsed / divisor_;
    if (lag < 1) lag = 1;
    ++frameCount_;

    uint32_t span = now - fpsTime_;
    if (span < 1) span = 1;
    if (span >= 1000) {
        // Round half to even, in exact integer arithmetic.
        const uint64_t num = static_cast<uint64_t>(frameCount_) * 1000u;
        uint64_t q = num / span;
        const uint64_t r2 = (num % span) * 2;
        if (r2 > span || (r2 == span && (q & 1u))) ++q;
        measuredFps_ = q > static_cast<uint64_t>(INT_MAX) ? INT_MAX : static_cast<int>(q);
        frameCount_ = 0;
        fpsTime_ = now;
    }

    DoTimer(lag > static_cast<uint32_t>(INT_MAX) ? INT_MAX : static_cast<int>(lag));
    return false;
}

void TCustomDXTimer::AppMessage(const platform::Message& msg) {
    if (msg.Kind == platform::MsgKind::AppActivate) DoActivate();
    else if (msg.Kind == platform::MsgKind::AppDeactivate) DoDeactivate();
}

void TCustomDXTimer::DoActivate() {
    if (OnActivate) OnActivate(dynamic_cast<TDXTimer*>(this));
    if (initialized_ && activeOnly_) Resume();
}

void TCustomDXTimer::DoDeactivate() {
    if (OnDeactivate) OnDeactivate(dynamic_cast<TDXTimer*>(this));
    if (initialized_ && activeOnly_) Suspend();
}

void TCustomDXTimer::DoTimer(int lagCount) {
    if (OnTimer) OnTimer(dynamic_cast<TDXTimer*>(this), lagCount);
}
