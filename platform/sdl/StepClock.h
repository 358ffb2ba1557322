// When each frame step of the game may show its picture: a fixed number of steps a second of
// wall-clock time (the game's rules count steps), whatever the display refreshes at, with each
// picture aimed at a refresh chosen in advance so the cadence stays even.
//
// Pure arithmetic on a tick counter, kept apart from SDL so a simulated display can drive it.
#pragma once

#include <cstdint>

namespace platform::sdl {

// The display's refresh period, measured from presentations that wait for the refresh and
// follow one another without a timed wait. SDL's own figure can be 0, truncated (59 for 59.94) or wrong
// under variable refresh, so the time between refreshes is taken from the refreshes.
class RefreshMeter {
public:
    enum class Verdict { Unknown, Measured, NoWait };
    explicit RefreshMeter(uint64_t ticksPerSecond = 1) : tps_(ticksPerSecond) {}
    // One presentation: called at `called`, returned at `returned`.
    Verdict Presented(uint64_t called, uint64_t returned);
    Verdict Result() const { return verdict_; }
    uint64_t Period() const { return period_; }  // ticks, once Measured

private:
    static constexpr int kSamples = 6;
    static constexpr int kMinOnes = 3;
    static constexpr int kMaxPresents = 24;
    uint64_t tps_;
    uint64_t lastReturn_ = 0;
    int presents_ = 0;
    int unblocked_ = 0;  // presents in a row that returned at once
    int count_ = 0;
    uint64_t gaps_[kMaxPresents]{};
    uint64_t period_ = 0;
    Verdict verdict_ = Verdict::Unknown;
};

class StepClock {
public:
    // stepsPerSecond 0: unpaced. presentsWait: the renderer says a presentation waits for the
    // display's refresh (it is measured before it is believed). Starts a new schedule: at the
    // start, after a switch between window and full screen, on another display.
    void Start(uint64_t ticksPerSecond, int stepsPerSecond, bool presentsWait);

    struct Turn {
        uint64_t WaitUntil = 0;  // a timed wait until this tick first (0 or past: none)
        bool Show = true;        // false: the step ran but its picture is not to be presented
    };
    // Before a step's picture goes out. canShow false: it will not be presented in any case
    // (a full-screen window without the focus); the step still takes its turn.
    Turn Next(uint64_t now, bool canShow = true);
    // The step's picture was presented: the call began at `called` and returned at `returned`.
    void Shown(uint64_t called, uint64_t returned);
    // The step's picture was not presented; `now` is after its wait.
    void NotShown(uint64_t now);

    int StepsPerSecond() const { return rate_; }
    // Whether the display's refresh is known (measured) and presentations are aimed at it.
    bool AimsAtRefresh() const { return vsync_ && meter_.Result() == RefreshMeter::Verdict::Measured; }
    // Still timing the first presentations.
    bool Measuring() const { return vsync_ && meter_.Result() == RefreshMeter::Verdict::Unknown; }
    double RefreshHz() const;
    // Refreshes each step is shown for when the display runs at a whole multiple of the step
    // rate (within 0.5 %): the steps then follow the display's own refresh exactly. 0 otherwise.
    int LockedRefreshes() const;

private:
    uint64_t Due() const;

    uint64_t tps_ = 1;
    int rate_ = 0;
    bool vsync_ = false;
    RefreshMeter meter_;
    double refresh_ = 0;       // ticks between refreshes, once measured
    uint64_t origin_ = 0;      // step 0 of the current schedule is due here (0: not begun)
    uint64_t index_ = 0;       // the step about to be shown
    uint64_t lastVblank_ = 0;  // the refresh the last presented picture appeared at
    uint64_t lastTarget_ = 0;  // the refresh the previous step was aimed at (0: none)
    uint64_t pending_ = 0;     // the refresh this step is aimed at
    bool late_ = false;        // the previous picture landed after the refresh aimed at
    int locked_ = 0;           // refreshes a step in lock mode (0: steps on the wall clock)
};

}  // namespace platform::sdl
