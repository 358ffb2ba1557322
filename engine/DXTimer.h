// The idle-time frame timer: ticks as often as the message loop is idle, reports the lag.
#pragma once

#include <cstdint>
#include <functional>

#include "engine/Forms.h"

class TDXTimer;

using TDXTimerEvent = std::function<void(TDXTimer* sender, int lagCount)>;
using TDXTimerNotifyEvent = std::function<void(TDXTimer* sender)>;

// Runs from the application's idle handler rather than a system timer, so the game loop
// goes as fast as the machine allows while messages are still handled between ticks. Only
// one such timer can tick at a time: the application has a single idle handler.
class TCustomDXTimer {
public:
    virtual ~TCustomDXTimer();
    TCustomDXTimer(const TCustomDXTimer&) = delete;
    TCustomDXTimer& operator=(const TCustomDXTimer&) = delete;

    TForm* Owner() const { return owner_; }

    bool ActiveOnly() const { return activeOnly_; }
    void SetActiveOnly(bool value) { activeOnly_ = value; }
    bool Enabled() const { return enabled_; }
    // A change initialises (true) or finalises (false), except while loading.
    void SetEnabled(bool value);
    int Interval() const { return interval_; }
    void SetInterval(int value);
    // Ticks per second over the last full one-second window; 0 before the first.
    int MeasuredFps() const { return measuredFps_; }
    bool Initialized() const { return initialized_; }

    // Property loading: while it lasts, Enabled is only stored. Loaded ends it and starts
    // the timer when it is enabled.
    void BeginLoading() { loading_ = true; }
    bool Loading() const { return loading_; }
    void Loaded();

    TDXTimerNotifyEvent OnActivate;
    TDXTimerNotifyEvent OnDeactivate;
    TDXTimerEvent OnTimer;

protected:
    explicit TCustomDXTimer(TForm* owner);
    virtual void DoActivate();
    virtual void DoDeactivate();
    virtual void DoTimer(int lagCount);

private:
    void Initialize();
    void Finalize();
    void Resume();
    void Suspend();
    bool Tick();
    void AppMessage(const platform::Message& msg);
    static uint32_t Now();

    TForm* owner_;
    bool activeOnly_ = true;
    bool enabled_ = true;
    int interval_ = 1000;
    uint32_t divisor_ = 1000;
    bool initialized_ = false;
    bool loading_ = false;
    uint32_t oldTime_ = 0;
    uint32_t fpsTime_ = 0;
    uint32_t frameCount_ = 0;
    int measuredFps_ = 0;
};

class TDXTimer : public TCustomDXTimer {
public:
    explicit TDXTimer(TForm* owner = nullptr) : TCustomDXTimer(owner) {}
};
