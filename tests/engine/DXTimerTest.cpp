// The idle-time frame timer: lag counts, interval, measured rate, activation.
#include "engine/DXTimer.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace {

class TestClock : public platform::IClock {
public:
    uint32_t Now = 0;
    uint32_t Milliseconds() override { return Now; }
    bool PerformanceCounter(uint64_t&) override { return false; }
    void Sleep(int) override {}
};

// Just enough of a window system for the application loop: a message queue, no windows.
class QueueOnlyWindows : public platform::IWindowSystem {
public:
    std::deque<platform::Message> Queue;
    std::unique_ptr<platform::IWindow> CreateWindow(const std::string&, const platform::Rect&) override {
        return nullptr;
    }
    bool PeekMessage(platform::Message& msg) override {
        if (Queue.empty()) return false;
        msg = Queue.front();
        Queue.pop_front();
        return true;
    }
    void WaitMessage(int) override {}
    void PostMessage(const platform::Message& msg) override { Queue.push_back(msg); }
    void SetTimer(uint32_t, int, int) override {}
    void KillTimer(uint32_t, int) override {}
    void ShowMessageBox(const std::string&, const std::string&) override {}
    platform::Size ScreenSize() override { return {800, 600}; }
    std::vector<platform::DisplayMode> DisplayModes() override { return {}; }
    uint32_t FocusWindow() override { return 0; }
    void GetKeyboardState(uint8_t vk[256]) override { std::fill(vk, vk + 256, 0); }
    void GetScanCodeState(uint8_t sc[256]) override { std::fill(sc, sc + 256, 0); }
};

class FrameTimer : public ::testing::Test {
protected:
    void SetUp() override {
        saved = platform::Current();
        platform::Services s = saved;
        s.Clock = &clock;
        s.Windows = &windows;
        platform::Install(s);
        Application().ClearIdleHandler();
        Post(platform::MsgKind::AppDeactivate);
        Application().ProcessMessages();
    }
    void TearDown() override {
        timer.reset();
        Application().ClearIdleHandler();
        platform::Install(saved);
    }

    void Post(platform::MsgKind kind) {
        platform::Message m;
        m.Kind = kind;
        windows.Queue.push_back(m);
    }
    // A timer set up the way the game's window loads it.
    void MakeGameTimer(int interval = 0) {
        timer = std::make_unique<TDXTimer>();
        timer->BeginLoading();
        timer->SetActiveOnly(false);
        timer->SetInterval(interval);
        timer->SetEnabled(true);
        timer->OnTimer = [this](TDXTimer* sender, int lag) {
            EXPECT_EQ(sender, timer.get());
            lags.push_back(lag);
        };
        timer->Loaded();
    }
    // One idle pass of the application loop at the given clock reading.
    void PassAt(uint32_t now) {
        clock.Now = now;
        ASSERT_TRUE(windows.Queue.empty());
        Application().HandleMessage();
    }

    TestClock clock;
    QueueOnlyWindows windows;
    platform::Services saved;
    std::unique_ptr<TDXTimer> timer;
    std::vector<int> lags;
};

TEST_F(FrameTimer, LagCountIsWholeMillisecondsAtLeastOne) {
    clock.Now = 1000;
    MakeGameTimer();
    EXPECT_TRUE(timer->Initialized());
    EXPECT_TRUE(Application().HasIdleHandler());
    PassAt(1000);  // same millisecond as the resume
    PassAt(1000);
    PassAt(1016);
    PassAt(3016);  // a two-second stall is reported whole
    EXPECT_EQ(lags, (std::vector<int>{1, 1, 16, 2000}));
}

TEST_F(FrameTimer, IntervalGatesTicksAndDividesTheLag) {
    const struct {
        int interval;
        std::vector<uint32_t> passes;
        std::vector<int> lags;
    } cases[] = {
        {0, {5, 6, 45}, {5, 1, 39}},
        {1, {5, 6, 45}, {5, 1, 39}},
        {0, {5, 5}, {5, 1}},             // a second pass in the same millisecond still ticks
        {1, {5, 5}, {5}},                // ... but not with a 1 ms interval
        {20, {15, 45, 50, 69}, {2, 1}},  // 15: too soon; 45: 2 intervals; 50: 5 ms; 69: 24 ms
        {-3, {0, 7}, {1, 7}},            // negative acts as 0
    };
    for (const auto& c : cases) {
        lags.clear();
        clock.Now = 0;
        MakeGameTimer(c.interval);
        for (uint32_t t : c.passes) PassAt(t);
        EXPECT_EQ(lags, c.lags) << c.interval;
        EXPECT_EQ(timer->Interval(), c.interval < 0 ? 0 : c.interval);
    }
}

TEST_F(FrameTimer, ElapsedTimeSurvivesTheClockWrap) {
    clock.Now = 4294967290u;
    MakeGameTimer();
    PassAt(5);
    EXPECT_EQ(lags, std::vector<int>{11});
}

TEST_F(FrameTimer, MeasuredFpsOverOneSecondWindows) {
    clock.Now = 0;
    MakeGameTimer();
    for (uint32_t t = 10; t < 1000; t += 10) PassAt(t);  // 99 ticks inside the first second
    EXPECT_EQ(timer->MeasuredFps(), 0);
    PassAt(1000);  // the 100th closes the window
    EXPECT_EQ(timer->MeasuredFps(), 100);

    // Each window closes at the first tick a second or more after it opened; halves go
    // to even.
    const struct {
        std::vector<uint32_t> passes;
        int fps;
    } cases[] = {
        {{3000}, 0},                          // 1 tick / 2000 ms = 0.5
        {{3100, 3200, 5000}, 2},              // 3 / 2000 = 1.5
        {{5100, 5200, 5300, 5400, 7000}, 2},  // 5 / 2000 = 2.5
        {{7100, 7200, 8001}, 3},              // 3 / 1001 = 2.997
    };
    for (const auto& w : cases) {
        for (uint32_t t : w.passes) PassAt(t);
        EXPECT_EQ(timer->MeasuredFps(), w.fps) << w.passes.back();
    }
}

TEST_F(FrameTimer, EnabledSetterRestartsOnlyOnChange) {
    clock.Now = 100;
    MakeGameTimer();
    clock.Now = 150;
    timer->SetEnabled(true);  // unchanged: the lag reference stays at 100
    PassAt(160);
    EXPECT_EQ(lags, std::vector<int>{60});

    timer->SetEnabled(false);
    EXPECT_FALSE(timer->Initialized());
    EXPECT_FALSE(Application().HasIdleHandler());
    clock.Now = 500;
    timer->SetEnabled(true);  // restart: the lag reference is now
    PassAt(503);
    EXPECT_EQ(lags, (std::vector<int>{60, 3}));

    // While loading, Enabled is only stored.
    timer->SetEnabled(false);
    timer->BeginLoading();
    timer->SetEnabled(true);
    EXPECT_FALSE(timer->Initialized());
    timer->Loaded();
    EXPECT_TRUE(timer->Initialized());

    timer.reset();  // destroying finalises
    EXPECT_FALSE(Application().HasIdleHandler());
}

TEST_F(FrameTimer, ActivationEventsAndActiveOnly) {
    std::vector<std::string> events;
    clock.Now = 0;
    timer = std::make_unique<TDXTimer>();
    EXPECT_TRUE(timer->ActiveOnly());
    EXPECT_EQ(timer->Interval(), 1000);
    timer->OnActivate = [&](TDXTimer*) { events.push_back("activate"); };
    timer->OnDeactivate = [&](TDXTimer*) { events.push_back("deactivate"); };
    timer->OnTimer = [&](TDXTimer*, int lag) { lags.push_back(lag); };
    timer->SetInterval(0);
    timer->Loaded();  // enabled, but the application is not active: no ticking yet
    EXPECT_TRUE(timer->Initialized());
    EXPECT_FALSE(Application().HasIdleHandler());

    clock.Now = 50;
    Post(platform::MsgKind::AppActivate);
    Application().HandleMessage();
    EXPECT_TRUE(Application().HasIdleHandler());
    PassAt(70);
    Post(platform::MsgKind::AppDeactivate);
    Application().HandleMessage();
    EXPECT_FALSE(Application().HasIdleHandler());
    EXPECT_EQ(events, (std::vector<std::string>{"activate", "deactivate"}));
    EXPECT_EQ(lags, std::vector<int>{20});

    // Without ActiveOnly the focus changes only fire the events.
    timer->SetActiveOnly(false);
    timer->SetEnabled(false);
    timer->SetEnabled(true);
    Post(platform::MsgKind::AppActivate);
    Post(platform::MsgKind::AppDeactivate);
    Application().ProcessMessages();
    EXPECT_TRUE(Application().HasIdleHandler());
    EXPECT_EQ(events.size(), 4u);
}

TEST_F(FrameTimer, ExceptionFromTheHandlerLeavesTheTimerInstalled) {
    clock.Now = 0;
    MakeGameTimer();
    timer->OnTimer = [](TDXTimer*, int) { throw std::runtime_error("boom"); };
    PassAt(10);
    EXPECT_TRUE(Application().HasIdleHandler());
}

}  // namespace
