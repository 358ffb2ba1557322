// The fake window system: timers on the fake clock, message order, keyboard state, focus.
#include <gtest/gtest.h>

#include <functional>

#include "platform/fake/FakeWindowSystem.h"

using platform::Message;
using platform::MsgKind;
using platform::fake::FakeClock;
using platform::fake::FakeWindowSystem;

namespace {

std::vector<Message> Drain(platform::IWindowSystem& ws) {
    std::vector<Message> out;
    Message m;
    while (ws.PeekMessage(m)) out.push_back(m);
    return out;
}

std::vector<MsgKind> Kinds(const std::vector<Message>& msgs) {
    std::vector<MsgKind> k;
    for (const auto& m : msgs) k.push_back(m.Kind);
    return k;
}

struct FakeFixture : ::testing::Test {
    FakeClock clock;
    FakeWindowSystem ws{clock};
};

}  // namespace

// Timers run on the wrapping 32-bit clock, so each case also starts just before the wrap.
class TimerTest : public ::testing::TestWithParam<uint64_t> {};

TEST_P(TimerTest, FiresAtItsPeriodsAndCoalescesMissedOnes) {
    FakeClock clock(GetParam());
    FakeWindowSystem ws(clock);
    ws.SetTimer(7, 3, 100);
    auto timersAt = [&](uint64_t t) {
        clock.Set(GetParam() + t);
        return Drain(ws);
    };
    EXPECT_TRUE(timersAt(99).empty());
    auto at100 = timersAt(100);
    ASSERT_EQ(at100.size(), 1u);
    EXPECT_EQ(at100[0].Kind, MsgKind::Timer);
    EXPECT_EQ(at100[0].Window, 7u);
    EXPECT_EQ(at100[0].Param, 3);
    EXPECT_TRUE(timersAt(199).empty());
    EXPECT_EQ(timersAt(450).size(), 1u);  // three periods missed: one message
    EXPECT_TRUE(timersAt(499).empty());   // the period stays on the 100 ms grid
    EXPECT_EQ(timersAt(500).size(), 1u);
    ws.KillTimer(7, 3);
    EXPECT_TRUE(timersAt(1000).empty());
}

INSTANTIATE_TEST_SUITE_P(StartTimes, TimerTest, ::testing::Values(0ull, (1ull << 32) - 50));

TEST_F(FakeFixture, WaitMessageAdvancesTheClockToTheNextTimerButNoFurther) {
    ws.WaitMessage(-1);  // nothing set: returns at once
    EXPECT_EQ(clock.Now(), 0u);

    ws.SetTimer(1, 1, 100);
    ws.SetTimer(1, 2, 30);
    ws.WaitMessage(10);  // the timeout comes first
    EXPECT_EQ(clock.Now(), 10u);
    ws.WaitMessage(-1);
    EXPECT_EQ(clock.Now(), 30u);
    auto msgs = Drain(ws);
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].Param, 2);

    ws.PressKey(65);
    ws.WaitMessage(-1);  // a message is waiting: time stands still
    EXPECT_EQ(clock.Now(), 30u);
    Drain(ws);
    ws.WaitMessage(-1);
    EXPECT_EQ(clock.Now(), 60u);
}

TEST_F(FakeFixture, PushedMessagesComeBeforePostedOnesAndTimersLast) {
    ws.SetTimer(0, 5, 10);
    clock.Advance(10);
    Message user;
    user.Kind = MsgKind::User;
    user.Param = 42;
    ws.PostMessage(user);
    ws.PressKey(13);  // Enter: KeyDown then its Char
    ws.TypeChar("Жa");
    ws.Click(3, 4, 2);
    auto msgs = Drain(ws);
    EXPECT_EQ(Kinds(msgs), (std::vector{MsgKind::KeyDown, MsgKind::Char, MsgKind::Char, MsgKind::Char,
                                        MsgKind::MouseDown, MsgKind::MouseUp, MsgKind::User, MsgKind::Timer}));
    EXPECT_EQ(msgs[0].ScanCode, 28);
    EXPECT_EQ(msgs[1].Text, "\r");
    EXPECT_EQ(msgs[1].Key, 13);
    EXPECT_EQ(msgs[2].Text, "Ж");
    EXPECT_EQ(msgs[2].Key, 0);  // beyond 255: no single-byte code
    EXPECT_EQ(msgs[3].Text, "a");
    EXPECT_EQ(msgs[3].Key, 'a');
    EXPECT_EQ(msgs[4].Button, 2);
    EXPECT_EQ(msgs[4].X, 3);
    EXPECT_EQ(msgs[6].Param, 42);
}

TEST_F(FakeFixture, KeyboardStateFollowsDeliveredKeysAndTellsKeysApartByScanCode) {
    uint8_t vk[256], sc[256];
    auto down = [&](int code) {
        ws.GetKeyboardState(vk);
        return (vk[code] & 0x80) != 0;
    };
    ws.PressKey(13, 28);  // main Enter
    EXPECT_FALSE(down(13)) << "not delivered yet";
    Drain(ws);
    ws.PressKey(13, 156);  // keypad Enter: the same virtual key
    ws.ReleaseKey(13, 28);
    Drain(ws);
    EXPECT_TRUE(down(13)) << "the keypad Enter still holds it";
    ws.GetScanCodeState(sc);
    EXPECT_EQ(sc[28], 0);
    EXPECT_EQ(sc[156], 0x80);
    ws.ReleaseKey(13, 156);
    Drain(ws);
    EXPECT_FALSE(down(13));

    ws.PressKey(16, 54);  // right Shift
    Drain(ws);
    EXPECT_TRUE(down(16));
    EXPECT_TRUE(down(161));
    EXPECT_FALSE(down(160));
    ws.PressKey(16, 42);
    ws.ReleaseKey(16, 54);
    Drain(ws);
    EXPECT_TRUE(down(16));
    EXPECT_TRUE(down(160));
    EXPECT_FALSE(down(161));

    // Keys held while the application loses the focus are forgotten.
    auto win = ws.CreateWindow("w", {0, 0, 10, 10});
    win->Show();
    ws.PressKey(39);
    Drain(ws);
    EXPECT_TRUE(down(39));
    ws.SetFocus(0);
    Drain(ws);
    EXPECT_FALSE(down(39));
    EXPECT_FALSE(down(16));
}

TEST_F(FakeFixture, FocusChangesGiveActivationMessagesLikeADesktop) {
    auto a = ws.CreateWindow("a", {0, 0, 10, 10});
    auto b = ws.CreateWindow("b", {0, 0, 10, 10});
    ws.SetTimer(b->Id(), 1, 100);
    struct Step {
        std::function<void()> Do;
        std::vector<std::pair<MsgKind, uint32_t>> Expect;
        uint32_t Focus;
    };
    uint32_t A = a->Id(), B = b->Id();
    std::vector<Step> steps = {
        {[&] { a->Show(); }, {{MsgKind::AppActivate, A}, {MsgKind::Activate, A}}, A},
        {[&] { b->Show(); }, {{MsgKind::Deactivate, A}, {MsgKind::Activate, B}}, B},
        {[&] { a->Focus(); }, {{MsgKind::Deactivate, B}, {MsgKind::Activate, A}}, A},
        {[&] { ws.SetFocus(0); }, {{MsgKind::Deactivate, A}, {MsgKind::AppDeactivate, A}}, 0},
        {[&] { ws.SetFocus(B); }, {{MsgKind::AppActivate, B}, {MsgKind::Activate, B}}, B},
        {[&] { b->Hide(); }, {{MsgKind::Deactivate, B}, {MsgKind::AppDeactivate, B}}, 0},
        {[&] { b->Focus(); }, {{MsgKind::AppActivate, B}, {MsgKind::Activate, B}}, B},
        {[&] { b.reset(); }, {{MsgKind::AppDeactivate, 0}}, 0},
    };
    for (size_t i = 0; i < steps.size(); ++i) {
        steps[i].Do();
        std::vector<std::pair<MsgKind, uint32_t>> got;
        for (const auto& m : Drain(ws)) got.emplace_back(m.Kind, m.Window);
        EXPECT_EQ(got, steps[i].Expect) << "step " << i;
        EXPECT_EQ(ws.FocusWindow(), steps[i].Focus) << "step " << i;
    }
    EXPECT_FALSE(ws.HasTimer(B, 1)) << "a destroyed window's timers go with it";
    EXPECT_EQ(ws.Window(B), nullptr);
}

TEST_F(FakeFixture, PresentRecordsWhatTheWindowShowsAndFailsWhenLost) {
    auto win = ws.CreateWindow("w", {100, 50, 104, 53});  // 4 x 3 client area
    auto* rec = ws.Window(win->Id());
    platform::Bitmap pic(2, 2, 8);
    pic.Palette()[1] = {10, 20, 30};
    pic.SetPixel(0, 0, 1);
    pic.SetPixel(1, 1, 1);
    EXPECT_TRUE(win->Present(pic, 3, -1));  // partly outside: clipped
    EXPECT_EQ(rec->Presents(), 1);
    EXPECT_EQ(rec->LastPresented().Bits(), 32);
    EXPECT_EQ(rec->LastPresented().GetPixel(0, 0), 0x0A141Eu);
    EXPECT_EQ(rec->LastX(), 3);
    ASSERT_EQ(rec->Contents().Width(), 4);
    EXPECT_EQ(rec->Contents().GetPixel(3, 0), 0u);  // pic (0,1)
    EXPECT_EQ(rec->Contents().GetPixel(2, 0), 0u);  // not covered
    platform::Bitmap pic2(1, 1, 16);
    pic2.SetPixel(0, 0, pic2.MapRGB({255, 255, 255}));
    EXPECT_TRUE(win->Present(pic2, 3, 0));
    EXPECT_EQ(rec->Contents().GetPixel(3, 0), 0xFFFFFFu);

    ws.SetPresentFails(true);
    EXPECT_FALSE(win->Present(pic, 0, 0));
    EXPECT_EQ(rec->Presents(), 2);
    EXPECT_EQ(rec->FailedPresents(), 1);

    EXPECT_FALSE(win->SetFullScreen(true, {123, 45, 32})) << "not a listed mode";
    EXPECT_TRUE(win->SetFullScreen(true, {800, 600, 16}));
    EXPECT_TRUE(rec->FullScreen());
    EXPECT_EQ(rec->Mode(), (platform::DisplayMode{800, 600, 16}));
}
