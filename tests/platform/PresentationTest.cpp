// The arithmetic of presentation: window scale, where the picture lands, mouse mapping back,
// the frame schedule and the step clock on simulated displays.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/sdl/Presentation.h"
#include "platform/sdl/StepClock.h"

using namespace platform;
using namespace platform::sdl;

TEST(Presentation, WindowScaleIsTheLargestWholeMultipleThatFits) {
    struct Case {
        Size Usable;
        Scaling Mode;
        int Expected;
    } cases[] = {
        {{1920, 1080}, Scaling::Auto, 1},    {{1920, 1040}, Scaling::Auto, 1}, {{2560, 1440}, Scaling::Auto, 2},
        {{2560, 1400}, Scaling::Integer, 2}, {{3840, 2160}, Scaling::Auto, 3}, {{3840, 2160}, Scaling::Off, 1},
        {{640, 480}, Scaling::Auto, 1},      {{1600, 1199}, Scaling::Auto, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WindowScale(c.Usable, {800, 600}, c.Mode), c.Expected) << c.Usable.Width << "x" << c.Usable.Height;
}

TEST(Presentation, ViewsInAWindowAndInFullScreen) {
    const Size pic{800, 600};
    struct Case {
        Size Output;
        Scaling Mode;
        bool Full;
        Rect Target;
        int Prescale;
        bool Smooth;
    } cases[] = {
        {{800, 600}, Scaling::Auto, false, {0, 0, 800, 600}, 0, false},
        {{1600, 1200}, Scaling::Auto, false, {0, 0, 1600, 1200}, 0, false},
        // Full HD: the height filled, 4:3 centred between bars, sharp from a 2x picture.
        {{1920, 1080}, Scaling::Auto, true, {240, 0, 1680, 1080}, 2, true},
        {{1920, 1080}, Scaling::Integer, true, {560, 240, 1360, 840}, 0, false},
        {{1920, 1080}, Scaling::Off, true, {560, 240, 1360, 840}, 0, false},
        {{2560, 1440}, Scaling::Auto, true, {320, 0, 2240, 1440}, 3, true},
        {{2560, 1440}, Scaling::Integer, true, {480, 120, 2080, 1320}, 0, false},
        // A whole fit stays nearest, also when only one side is whole.
        {{1600, 1200}, Scaling::Auto, true, {0, 0, 1600, 1200}, 0, false},
        {{1600, 1300}, Scaling::Auto, true, {0, 50, 1600, 1250}, 0, false},
        // A wide 16:10 screen is limited by its height.
        {{1680, 1050}, Scaling::Auto, true, {140, 0, 1540, 1050}, 2, true},
        // A screen smaller than the picture: shrunk to fit, whatever the setting.
        {{640, 480}, Scaling::Off, true, {0, 0, 640, 480}, 0, true},
        {{640, 480}, Scaling::Auto, false, {0, 0, 640, 480}, 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Output.Width << "x" << c.Output.Height << " mode "
                                        << static_cast<int>(c.Mode) << " full " << c.Full);
        const View v = ComputeView(c.Output, pic, c.Mode, c.Full);
        EXPECT_EQ(v.Target, c.Target);
        EXPECT_EQ(v.Prescale, c.Prescale);
        EXPECT_EQ(v.Smooth, c.Smooth);
    }
}

TEST(Presentation, MousePositionsMapBackIntoThePicture) {
    const Size pic{800, 600};
    const View twice = ComputeView({1600, 1200}, pic, Scaling::Auto, false);
    const View full = ComputeView({1920, 1080}, pic, Scaling::Auto, true);
    struct Case {
        const View* V;
        int Px, Py, X, Y;
    } cases[] = {
        {&twice, 0, 0, 0, 0},
        {&twice, 1, 1, 0, 0},
        {&twice, 1599, 1199, 799, 599},
        {&twice, 497, 241, 248, 120},  // " OK " of a 300 x 150 window's place, at 2x
        {&full, 240, 0, 0, 0},
        {&full, 1679, 1079, 799, 599},
        {&full, 960, 540, 400, 300},
        // In the bars: outside the picture, on the correct side (no rounding towards it).
        {&full, 239, 0, -1, 0},
        {&full, 0, 0, -134, 0},
        {&full, 1919, 0, 932, 0},
    };
    for (const Case& c : cases) {
        int x, y;
        OutputToPicture(*c.V, pic, c.Px, c.Py, x, y);
        EXPECT_EQ(x, c.X) << c.Px << "," << c.Py;
        EXPECT_EQ(y, c.Y) << c.Px << "," << c.Py;
    }
}

TEST(StepClock, RefreshIsMeasuredFromWaitsAndNotFromTheRenderersOwnWork) {
    // Gaps between returns (us), each present called 1 ms after the previous one returned.
    auto measure = [](std::vector<uint64_t> gaps, uint64_t callAfter = 1000) {
        RefreshMeter meter(1'000'000);
        uint64_t t = 1'000'000;
        for (int i = 0; meter.Result() == RefreshMeter::Verdict::Unknown && i < 40; ++i) {
            const uint64_t called = t + std::min(callAfter, gaps[i % gaps.size()]);
            t += gaps[i % gaps.size()];
            meter.Presented(called, t);
        }
        return std::make_pair(meter.Result(), meter.Period());
    };
    using V = RefreshMeter::Verdict;
    EXPECT_EQ(measure({6944}), std::make_pair(V::Measured, uint64_t{6944}));
    // At 360 Hz a step's work often misses a refresh: gaps of one and two refreshes.
    EXPECT_EQ(measure({2778, 5556, 2778, 5556, 5556, 2778}), std::make_pair(V::Measured, uint64_t{2778}));
    EXPECT_EQ(measure({16683, 16684}).first, V::Measured);
    // Presents that come back at once, or after the renderer's own scattered work.
    EXPECT_EQ(measure({1000}, 990).first, V::NoWait);
    EXPECT_EQ(measure({3100, 4700, 3900, 8200, 5300, 6100}).first, V::NoWait);
}

// A display for the step clock: a nanosecond clock that moves only when the loop moves it,
// refreshes at a fixed rate, and presentations that wait for the next refresh (vsync) or come
// back at once. Wake-ups and the step's own work are late or long by a varying amount.
class SimulatedDisplay {
public:
    SimulatedDisplay(double hz, bool waits) : hz_(hz), waits_(waits) {}
    uint64_t Now() const { return now_; }
    uint64_t Refresh(int64_t i) const { return kPhase + static_cast<uint64_t>(std::llround(i * 1e9 / hz_)); }
    // The refresh the picture first appears at.
    int64_t Present() {
        int64_t i = static_cast<int64_t>(std::floor((now_ - kPhase) * hz_ / 1e9)) + 1;
        while (Refresh(i - 1) > now_) --i;
        if (waits_) now_ = Refresh(i) + 20'000 + Jitter(100'000);  // back soon after the refresh
        else now_ += 300'000;
        return i;
    }
    void WaitUntil(uint64_t t) { now_ = std::max(now_, t) + Jitter(1'000'000); }
    void Work() { now_ += 1'500'000 + Jitter(2'500'000); }

private:
    static constexpr uint64_t kPhase = 3'141'592;
    uint64_t Jitter(uint64_t most) {
        seed_ = seed_ * 6364136223846793005ull + 1442695040888963407ull;
        return (seed_ >> 33) % most;
    }
    double hz_;
    bool waits_;
    uint64_t now_ = 1'000'000'000;
    uint64_t seed_ = 1;
};

struct SimulatedRun {
    int StepsInAMinute = 0;
    int NotShown = 0;
    std::map<int64_t, int> RefreshesPerStep;  // after the first second
};

// The game's loop over a simulated minute: work, the step clock's turn, wait, present.
SimulatedRun RunAMinute(double hz, bool waits, bool claimed, int stepRate = 60) {
    SimulatedDisplay d(hz, waits);
    StepClock clock;
    clock.Start(1'000'000'000, stepRate, claimed);
    SimulatedRun run;
    const uint64_t start = d.Now(), end = start + 60'000'000'000ull;
    int64_t lastShown = -1;
    while (d.Now() < end) {
        d.Work();
        const StepClock::Turn turn = clock.Next(d.Now());
        d.WaitUntil(turn.WaitUntil);
        if (d.Now() >= end) break;
        ++run.StepsInAMinute;
        if (!turn.Show) {
            ++run.NotShown;
            clock.NotShown(d.Now());
            continue;
        }
        const uint64_t called = d.Now();
        const int64_t at = d.Present();
        clock.Shown(called, d.Now());
        if (lastShown >= 0 && called > start + 1'000'000'000) ++run.RefreshesPerStep[at - lastShown];
        lastShown = at;
    }
    return run;
}

std::string Cadence(const std::map<int64_t, int>& m) {
    std::string s;
    for (auto [refreshes, steps] : m) s += std::to_string(refreshes) + "x" + std::to_string(steps) + " ";
    return s;
}

TEST(StepClock, SixtyStepsASecondOnEveryDisplayWithAnEvenCadence) {
    struct Case {
        double Hz;
        double StepsPerSecond;  // 60, or the display's own rate where it locks
        std::set<int64_t> Refreshes;
    } cases[] = {
        {60, 60, {1}},  {75, 60, {1, 2}}, {120, 60, {2}}, {144, 60, {2, 3}},   {143.98, 60, {2, 3}}, {165, 60, {2, 3}},
        {240, 60, {4}}, {360, 60, {6}},   {48, 60, {1}},  {59.94, 59.94, {1}}, {119.88, 59.94, {2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Hz << " Hz");
        const SimulatedRun vsync = RunAMinute(c.Hz, true, true);
        std::printf("%7.2f Hz vsync: %d steps a minute (%d not shown), refreshes x steps: %s\n", c.Hz,
                    vsync.StepsInAMinute, vsync.NotShown, Cadence(vsync.RefreshesPerStep).c_str());
        EXPECT_NEAR(vsync.StepsInAMinute, c.StepsPerSecond * 60, c.StepsPerSecond == 60 ? 2 : 0.005 * 3600);
        std::set<int64_t> seen;
        for (auto [refreshes, steps] : vsync.RefreshesPerStep) seen.insert(refreshes);
        EXPECT_EQ(seen, c.Refreshes) << Cadence(vsync.RefreshesPerStep);
        // Only a display slower than the steps leaves pictures out: one per refresh it lacks.
        EXPECT_NEAR(vsync.NotShown, c.Hz < 59 ? (60 - c.Hz) * 60 : 0, 2);

        // The renderer claims to wait and does not, or does not claim it: the wall clock alone.
        for (bool claimed : {true, false}) {
            const SimulatedRun timed = RunAMinute(c.Hz, false, claimed);
            EXPECT_NEAR(timed.StepsInAMinute, 3600, 2) << "claimed " << claimed;
            EXPECT_EQ(timed.NotShown, 0);
        }
    }
}

TEST(StepClock, FixedAndUnlimitedKeepTheirMeaning) {
    EXPECT_NEAR(RunAMinute(144, false, false, 100).StepsInAMinute, 6000, 2);
    EXPECT_NEAR(RunAMinute(60, false, false, 30).StepsInAMinute, 1800, 2);
    StepClock unpaced;
    unpaced.Start(1000, 0, true);
    for (uint64_t now : {5u, 6u, 7u}) {
        const StepClock::Turn t = unpaced.Next(now);
        EXPECT_EQ(t.WaitUntil, 0u);
        EXPECT_TRUE(t.Show);
        unpaced.Shown(now, now);
    }
}
