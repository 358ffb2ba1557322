// The arithmetic of presentation: window scale, where the picture lands, mouse mapping back,
// and the frame schedule.
#include <gtest/gtest.h>

#include "platform/sdl/Presentation.h"

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

TEST(Presentation, PacerKeepsItsScheduleWithoutDriftOrBursts) {
    FramePacer p;
    EXPECT_EQ(p.Delay(5), 0u);  // unpaced
    p.SetPeriod(100);
    EXPECT_EQ(p.Delay(1000), 0u);  // the first frame goes at once
    p.Presented(1000);
    EXPECT_EQ(p.Delay(1030), 70u);
    // Presented a little late: the next one is still due on the original schedule.
    p.Presented(1105);
    EXPECT_EQ(p.Delay(1150), 50u);
    p.Presented(1200);
    // A stall of many periods: no burst of catch-up frames, a new schedule from now.
    p.Presented(5000);
    EXPECT_EQ(p.Delay(5000), 100u);
    EXPECT_EQ(p.Delay(5100), 0u);
    // Sixty frames presented the moment they are due take sixty periods.
    FramePacer q;
    q.SetPeriod(16667);
    uint64_t now = 1;
    for (int i = 0; i < 60; ++i) {
        now += q.Delay(now) + 3;  // each wake-up 3 ticks late
        q.Presented(now);
    }
    EXPECT_NEAR(static_cast<double>(now - 1), 59 * 16667.0 + 3, 200.0);
}

TEST(Presentation, VsyncProbeTellsAWaitFromAnEarlyReturn) {
    auto run = [](uint64_t gap, uint64_t stallEvery) {
        VsyncProbe probe(16667);
        uint64_t t = 1;
        for (int i = 1; i < 40 && probe.Result() == VsyncProbe::Verdict::Unknown; ++i) {
            t += (stallEvery && i % stallEvery == 0) ? 1000000 : gap;
            probe.Presented(t);
        }
        return probe.Result();
    };
    EXPECT_EQ(run(16667, 0), VsyncProbe::Verdict::Honoured);
    EXPECT_EQ(run(33333, 0), VsyncProbe::Verdict::Honoured);  // every other refresh: still waits
    EXPECT_EQ(run(300, 0), VsyncProbe::Verdict::Ignored);
    // Stalls between frames (a hidden window, loading) are no evidence either way.
    EXPECT_EQ(run(300, 3), VsyncProbe::Verdict::Ignored);
    EXPECT_EQ(run(16667, 2), VsyncProbe::Verdict::Honoured);
}
