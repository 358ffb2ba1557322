// The display component and its surfaces on the fake backend.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/DXDraws.h"
#include "engine/SurfaceTestAccess.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeText.h"
#include "platform/fake/FakeWindowSystem.h"

using platform::fake::FakeClock;
using platform::fake::FakeTextRenderer;
using platform::fake::FakeWindowSystem;

namespace {

const char* KindName(TDXDrawNotifyType k) {
    static const char* names[] = {"Destroying", "Initializing",    "Initialize", "InitializeSurface",
                                  "Finalize",   "FinalizeSurface", "Restore",    "SetSurfaceSize"};
    return names[k];
}

class DXDrawTest : public ::testing::Test {
protected:
    DXDrawTest() : ws(clock) {
        ws.SetScreenSize({1024, 768});
        platform::Install({.Clock = &clock, .Windows = &ws, .Text = &text});
        form = std::make_unique<TForm>("Main", 800, 600);
        dx = std::make_unique<TDXDraw>(form.get());
        dx->AutoSize = false;
        dx->SetSurfaceWidth(800);
        dx->SetSurfaceHeight(600);
        dx->Display().SetWidth(800);
        dx->Display().SetHeight(600);
        dx->SetOptions({doFlip, doSelectDriver});
    }
    ~DXDrawTest() override {
        dx.reset();
        form.reset();
        platform::Install({});
    }

    // A listener that writes "tag:Kind" into log.
    void Listen(const void* owner, const std::string& tag) {
        dx->AddListener(owner, [this, tag](TDXDrawNotifyType k) { log.push_back(tag + ":" + KindName(k)); });
    }
    void LogEvents() {
        dx->OnInitializing = [this] { log.push_back("OnInitializing"); };
        dx->OnInitialize = [this] { log.push_back("OnInitialize"); };
        dx->OnInitializeSurface = [this] { log.push_back("OnInitializeSurface"); };
        dx->OnRestoreSurface = [this] { log.push_back("OnRestoreSurface"); };
        dx->OnFinalizeSurface = [this] { log.push_back("OnFinalizeSurface"); };
        dx->OnFinalize = [this] { log.push_back("OnFinalize"); };
    }
    platform::fake::FakeWindow* Win() { return ws.Window(form->Handle()); }

    FakeClock clock;
    FakeWindowSystem ws;
    FakeTextRenderer text;
    std::unique_ptr<TForm> form;
    std::unique_ptr<TDXDraw> dx;
    std::vector<std::string> log;
    int a = 0, b = 0;  // listener owners
};

using Log = std::vector<std::string>;

}  // namespace

TEST(DXDrawOptions, EffectiveOptionsFollowTheRequest) {
    struct Case {
        TDXDrawOptions requested, effective;
    } cases[] = {
        {{doFlip, doSelectDriver}, {}},
        {{doFullScreen, doFlip, doSelectDriver}, {doFullScreen, doFlip}},
        {{doAllowReboot, doWaitVBlank, doCenter, doDirectX7Mode, doHardware, doSelectDriver}, {doWaitVBlank, doCenter}},
        {{doFullScreen, doFlip, doSystemMemory, doAllowPalette256}, {doFullScreen, doSystemMemory, doAllowPalette256}},
        {{do3D, doDirectX7Mode, doRetainedMode, doHardware, doZBuffer}, {do3D, doDirectX7Mode, doZBuffer}},
    };
    TCustomDXDraw dx(nullptr);
    EXPECT_EQ(dx.ActiveOptions(), (TDXDrawOptions{doWaitVBlank, doCenter}));  // construction default
    for (const auto& c : cases) {
        dx.SetOptions(c.requested);
        EXPECT_EQ(ToString(dx.ActiveOptions()), ToString(c.effective)) << ToString(c.requested);
    }
}

TEST_F(DXDrawTest, WithoutAFormInitializeFailsAndStaysFinalized) {
    TDXDraw orphan(nullptr);
    try {
        orphan.Initialize();
        FAIL() << "no exception";
    } catch (const EDXDrawError& e) { EXPECT_STREQ(e.what(), "Form not found"); }
    EXPECT_FALSE(orphan.Initialized());
    EXPECT_EQ(orphan.Surface(), nullptr);
    EXPECT_FALSE(orphan.ReadyToDraw());
}

TEST_F(DXDrawTest, WindowedInitializeCopiesTheBackBufferToTheControlTopLeft) {
    EXPECT_FALSE(dx->ReadyToDraw());
    dx->Display().SetBitCount(16);
    dx->Initialize();
    ASSERT_TRUE(dx->Initialized());
    EXPECT_TRUE(dx->ActiveOptions().Empty());  // doFlip dropped without full screen
    EXPECT_NE(dynamic_cast<TDXDrawDriverBlt*>(dx->Driver()), nullptr);
    ASSERT_NE(dx->Surface(), nullptr);
    EXPECT_EQ(dx->Surface()->Width(), 800);
    EXPECT_EQ(dx->Surface()->Height(), 600);
    EXPECT_EQ(dx->Surface()->BitCount(), 16);
    EXPECT_FALSE(Win()->FullScreen());

    ASSERT_TRUE(dx->ReadyToDraw());
    dx->Surface()->Fill(dx->Surface()->NearestPixel(clRed));
    dx->Flip();
    ASSERT_EQ(Win()->Presents(), 1);
    EXPECT_EQ(Win()->LastX(), 0);
    EXPECT_EQ(Win()->LastY(), 0);
    EXPECT_EQ(Win()->LastPresented().Width(), 800);
    EXPECT_EQ(Win()->LastPresented().GetPixel(10, 10), 0xFF0000u);
}

TEST_F(DXDrawTest, NotificationsAndEventsRunInOrderNewestListenerFirst) {
    LogEvents();
    Listen(&a, "A");
    Listen(&b, "B");
    EXPECT_EQ(log, (Log{"A:SetSurfaceSize", "B:SetSurfaceSize"}));  // told at once on registering
    log.clear();

    dx->Initialize();
    EXPECT_EQ(log, (Log{"OnInitializing", "B:Initializing", "A:Initializing", "B:SetSurfaceSize", "A:SetSurfaceSize",
                        "B:Initialize", "A:Initialize", "OnInitialize", "B:InitializeSurface", "A:InitializeSurface",
                        "OnInitializeSurface", "B:Restore", "A:Restore", "OnRestoreSurface"}));
    log.clear();

    dx->Finalize();
    EXPECT_EQ(log, (Log{"OnFinalizeSurface", "B:FinalizeSurface", "A:FinalizeSurface", "OnFinalize", "B:Finalize",
                        "A:Finalize"}));
    EXPECT_FALSE(dx->Initialized());
    EXPECT_EQ(dx->Surface(), nullptr);
}

TEST_F(DXDrawTest, LateListenerIsBroughtUpToDateAndLeavingListenerIsToldToFinalize) {
    dx->Initialize();
    Listen(&a, "A");
    EXPECT_EQ(log, (Log{"A:SetSurfaceSize", "A:Initialize", "A:InitializeSurface", "A:Restore"}));
    log.clear();
    Listen(&a, "A2");  // same owner again: replaces the first registration
    log.clear();
    dx->Restore();
    EXPECT_EQ(log, (Log{"A2:Restore"}));
    log.clear();
    dx->RemoveListener(&a);
    EXPECT_EQ(log, (Log{"A2:FinalizeSurface", "A2:Finalize"}));
    log.clear();
    dx->Restore();
    EXPECT_TRUE(log.empty());
}

TEST_F(DXDrawTest, ListenerRegisteringDuringInitializeIsNotRestoredTwice) {
    dx->OnInitialize = [this] { Listen(&b, "B"); };
    dx->Initialize();
    // Registered inside the notification step: no immediate Restore, only the broadcast one.
    EXPECT_EQ(log, (Log{"B:SetSurfaceSize", "B:Initialize", "B:InitializeSurface", "B:Restore"}));
}

TEST_F(DXDrawTest, FailedModeChangeLeavesItFinalizedAndNamesTheMode) {
    ws.SetDisplayModes({{640, 480, 16}, {800, 600, 32}});
    LogEvents();
    Listen(&a, "A");
    log.clear();
    dx->Display().SetBitCount(16);
    dx->SetOptions({doFullScreen, doFlip, doSelectDriver});
    try {
        dx->Initialize();
        FAIL() << "no exception";
    } catch (const EDXDrawError& e) { EXPECT_STREQ(e.what(), "Display mode cannot be changed (800x600 16bit)"); }
    EXPECT_FALSE(dx->Initialized());
    EXPECT_FALSE(dx->Updating());
    EXPECT_FALSE(Win()->FullScreen());
    EXPECT_EQ(log, (Log{"OnInitializing", "A:Initializing"}));  // never told it was initialised
    EXPECT_EQ(dx->ActiveOptions(), (TDXDrawOptions{doFullScreen, doFlip}));
}

TEST_F(DXDrawTest, ModeChoice) {
    using M = platform::DisplayMode;
    struct Case {
        const char* what;
        std::vector<M> modes;
        int bits;
        bool fixedBitCount;
        M expected;  // Bits 0: no mode can be set
    } cases[] = {
        {"exact", {{640, 480, 16}, {800, 600, 16}, {1024, 768, 16}}, 16, true, {800, 600, 16}},
        {"smallest larger 4:3",
         {{1280, 720, 16}, {1280, 960, 16}, {1024, 768, 16}, {800, 600, 32}},
         16,
         true,
         {1024, 768, 16}},
        {"larger, any ratio: first by width",
         {{1280, 720, 16}, {1024, 600, 16}, {1920, 1080, 16}},
         16,
         true,
         {1024, 600, 16}},
        {"fixed bit count never takes another", {{800, 600, 32}, {1024, 768, 32}}, 16, true, {0, 0, 0}},
        {"free bit count: at least as many", {{800, 600, 8}, {800, 600, 24}}, 16, false, {800, 600, 24}},
        {"none large enough", {{640, 480, 16}}, 16, true, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ws.SetDisplayModes(c.modes);
        dx->Display().SetWidth(800);
        dx->Display().SetHeight(600);
        dx->Display().SetBitCount(c.bits);
        dx->Display().FixedBitCount = c.fixedBitCount;
        dx->SetOptions({doFullScreen, doFlip});
        if (c.expected.Bits == 0) {
            EXPECT_THROW(dx->Initialize(), EDXDrawError);
            continue;
        }
        dx->Initialize();
        EXPECT_TRUE(Win()->FullScreen());
        EXPECT_EQ(Win()->Mode(), c.expected);
        EXPECT_EQ(dx->Display().Width(), c.expected.Width);
        EXPECT_EQ(dx->Display().BitCount(), c.expected.Bits);
        EXPECT_EQ(dx->Surface()->Width(), c.expected.Width);
        EXPECT_EQ(dx->Surface()->BitCount(), c.expected.Bits);
        dx->Finalize();
        EXPECT_FALSE(Win()->FullScreen());
    }
}

TEST_F(DXDrawTest, FullScreenFlipShowsNothingWhileInactive) {
    ws.SetDisplayModes({{800, 600, 32}});
    dx->Display().SetBitCount(32);
    dx->SetOptions({doFullScreen, doFlip, doSelectDriver});
    form->Show();
    dx->Initialize();
    ASSERT_NE(dynamic_cast<TDXDrawDriverFlip*>(dx->Driver()), nullptr);
    dx->Flip();
    EXPECT_EQ(Win()->Presents(), 1);
    ws.SetFocus(0);
    dx->Flip();
    EXPECT_EQ(Win()->Presents(), 1);
    EXPECT_EQ(Win()->SkippedFrames(), 1);  // the unseen frame still takes its turn
    ws.SetFocus(form->Handle());
    dx->Flip();
    EXPECT_EQ(Win()->Presents(), 2);
}

TEST_F(DXDrawTest, LostSurfacesAreRestoredByReadyToDraw) {
    Listen(&a, "A");
    dx->Initialize();
    log.clear();

    // The window refuses a present: the primary counts as lost until restored.
    ws.SetPresentFails(true);
    dx->Flip();
    EXPECT_TRUE(dx->Primary()->IsLost());
    ws.SetPresentFails(false);
    EXPECT_TRUE(dx->ReadyToDraw());
    EXPECT_EQ(log, (Log{"A:Restore"}));
    log.clear();

    // A back buffer that cannot be brought back keeps every frame skipped.
    dx->Surface()->Fill(7);
    dx->Surface()->SetLost(true);
    TDirectDrawSurfaceTestAccess::SetRestoreFails(*dx->Surface(), true);
    EXPECT_FALSE(dx->ReadyToDraw());
    EXPECT_FALSE(dx->ReadyToDraw());
    const int presents = Win()->Presents();
    dx->Flip();
    EXPECT_EQ(Win()->Presents(), presents);
    EXPECT_TRUE(log.empty());

    TDirectDrawSurfaceTestAccess::SetRestoreFails(*dx->Surface(), false);
    EXPECT_TRUE(dx->ReadyToDraw());
    EXPECT_EQ(log, (Log{"A:Restore"}));
    EXPECT_EQ(dx->Surface()->Bitmap().GetPixel(5, 5), 0u);  // cleared to black
}

// A window that refuses every present (not mapped yet, a lost device) must not have the
// pictures rebuilt each frame: every frame rests its turn, and the one restore comes when a
// present works again.
TEST_F(DXDrawTest, WindowThatCannotPresentRestsAndIsRestoredOnce) {
    Listen(&a, "A");
    dx->Initialize();
    log.clear();

    ws.SetPresentFails(true);
    int drawable = 0;
    for (int frame = 0; frame < 20; ++frame)
        if (dx->ReadyToDraw()) {
            ++drawable;
            dx->Flip();
        }
    EXPECT_EQ(drawable, 1);  // the first frame found out, the others were skipped
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(Win()->SkippedFrames(), 19);  // each skipped frame took its turn, none spun
    EXPECT_EQ(Win()->Presents(), 0);

    ws.SetPresentFails(false);
    EXPECT_TRUE(dx->ReadyToDraw());
    EXPECT_EQ(Win()->Presents(), 1);  // the present that proved the window shows frames
    for (int frame = 0; frame < 5; ++frame) {
        EXPECT_TRUE(dx->ReadyToDraw());
        dx->Flip();
    }
    EXPECT_EQ(log, (Log{"A:Restore"}));
}

TEST_F(DXDrawTest, NotReadyWhileUpdating) {
    bool readyInside = true;
    dx->AddListener(&a, [&](TDXDrawNotifyType k) {
        if (k == dxntRestore) readyInside = dx->ReadyToDraw();
    });
    dx->Initialize();
    EXPECT_FALSE(readyInside);
    EXPECT_TRUE(dx->ReadyToDraw());
}

TEST_F(DXDrawTest, SurfaceSizeChanges) {
    // Not initialised: stored, listeners told.
    Listen(&a, "A");
    log.clear();
    dx->SetSurfaceWidth(640);
    EXPECT_EQ(log, (Log{"A:SetSurfaceSize"}));
    EXPECT_EQ(dx->SurfaceWidth(), 640);
    log.clear();
    dx->SetSurfaceWidth(640);  // the current size: nothing
    EXPECT_TRUE(log.empty());

    // Initialised with the copying strategy: the back buffer is made again.
    LogEvents();
    dx->Initialize();
    log.clear();
    dx->SetSurfaceHeight(400);
    EXPECT_EQ(log, (Log{"A:FinalizeSurface", "OnFinalizeSurface", "A:InitializeSurface", "OnInitializeSurface",
                        "A:SetSurfaceSize"}));
    EXPECT_EQ(dx->Surface()->Width(), 640);
    EXPECT_EQ(dx->Surface()->Height(), 400);
    dx->Finalize();
    EXPECT_EQ(dx->SurfaceHeight(), 400);  // survives finalisation

    // Page flipping: nothing changes.
    ws.SetDisplayModes({{800, 600, 8}});
    dx->SetOptions({doFullScreen, doFlip});
    dx->Initialize();
    log.clear();
    dx->SetSurfaceWidth(320);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(dx->Surface()->Width(), 800);
}

TEST_F(DXDrawTest, BitCountAcceptsOnlyDisplayDepths) {
    dx->Display().SetBitCount(24);
    try {
        dx->Display().SetBitCount(15);
        FAIL() << "no exception";
    } catch (const EDirectDrawError& e) { EXPECT_STREQ(e.what(), "It should be either of 8 or 16 or 24 or 32"); }
    EXPECT_EQ(dx->Display().BitCount(), 24);
}

TEST_F(DXDrawTest, FirstShowInitializesOnceUnlessTurnedOff) {
    int inits = 0;
    dx->OnInitialize = [&] { ++inits; };
    form->Show();
    Application().ProcessMessages();
    EXPECT_TRUE(dx->Initialized());
    EXPECT_EQ(inits, 1);
    form->Hide();
    form->Show();
    Application().ProcessMessages();
    EXPECT_EQ(inits, 1);

    TForm other("Other", 320, 200);
    TDXDraw manual(&other);
    manual.AutoInitialize = false;
    other.Show();
    Application().ProcessMessages();
    EXPECT_FALSE(manual.Initialized());
}

TEST_F(DXDrawTest, PaletteKeepsSystemColoursUnlessAllowed) {
    dx->Display().SetBitCount(8);
    for (int i = 0; i < 256; ++i) dx->ColorTable[i] = RGBQuad(static_cast<uint8_t>(i), 1, 2);
    dx->Initialize();
    dx->ApplyPalette();
    auto pal = dx->Surface()->Bitmap().Palette();
    EXPECT_EQ(pal[100], (platform::RGB{100, 1, 2}));
    EXPECT_EQ(pal[5], (platform::RGB{128, 0, 128}));      // system colour kept
    EXPECT_EQ(pal[255], (platform::RGB{255, 255, 255}));  // system colour kept
    // The same table at 32 bits: no palette, nothing happens.
    dx->Finalize();
    dx->Display().SetBitCount(32);
    dx->Initialize();
    EXPECT_NO_THROW(dx->ApplyPalette());
}

TEST_F(DXDrawTest, CanvasDrawsTextThroughTheRendererAndHoldsTheSurface) {
    dx->Display().SetBitCount(32);
    dx->Initialize();
    TDirectDrawSurface* s = dx->Surface();
    auto& c = s->Canvas();
    c.Brush().Style = bsClear;
    c.Font().Name = "Times New Roman";
    c.Font().Size = 16;
    c.Font().Color = clYellow;
    c.TextOut(60, 37, "100");
    EXPECT_TRUE(s->Locked());
    c.Release();
    c.Release();  // nothing held: nothing happens
    EXPECT_FALSE(s->Locked());
    ASSERT_EQ(text.Calls().size(), 1u);
    const auto& call = text.Calls()[0];
    EXPECT_EQ(call.Text, "100");
    EXPECT_EQ(call.X, 60);
    EXPECT_EQ(call.Y, 37);
    EXPECT_EQ(call.FontName, "Times New Roman");
    EXPECT_EQ(call.Size, 16);
    EXPECT_EQ(call.Color, (platform::RGB{255, 255, 0}));
    EXPECT_EQ(s->Bitmap().GetPixel(61, 38), 0xFFFF00u);
    EXPECT_EQ(&s->Canvas(), &c);  // kept, with its font
    EXPECT_EQ(s->Canvas().Font().Size, 16);
}

// ---------------------------------------------------------------------------------------
// Surface copies

namespace {

// A surface of `bits` with a palette where index i shows (i, i, i).
std::unique_ptr<TDirectDrawSurface> MakeSurface(int w, int h, int bits) {
    auto s = std::make_unique<TDirectDrawSurface>(w, h, bits);
    std::array<platform::RGB, 256> pal;
    for (int i = 0; i < 256; ++i) pal[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i)};
    s->SetPalette(pal);
    return s;
}

}  // namespace

TEST(SurfaceDraw, ColorKeyedAndOpaqueCopiesAtEveryDepth) {
    for (int bits : {8, 16, 24, 32}) {
        SCOPED_TRACE(bits);
        auto dst = MakeSurface(8, 8, bits);
        auto src = MakeSurface(4, 4, bits);
        const uint32_t bg = dst->NearestPixel(RGBColor(16, 16, 16));
        const uint32_t key = src->NearestPixel(RGBColor(32, 32, 32));
        const uint32_t ink = src->NearestPixel(RGBColor(200, 200, 200));
        ASSERT_NE(key, ink);
        dst->Fill(bg);
        src->Fill(key);
        src->Bitmap().SetPixel(1, 2, ink);
        src->SetColorKey(key);

        dst->Draw(2, 3, src->ClientRect(), src.get(), true);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                EXPECT_EQ(dst->Bitmap().GetPixel(x, y), (x == 3 && y == 5) ? ink : bg) << x << "," << y;

        dst->Draw(2, 3, src->ClientRect(), src.get(), false);
        EXPECT_EQ(dst->Bitmap().GetPixel(2, 3), key);
        EXPECT_EQ(dst->Bitmap().GetPixel(5, 6), key);
        EXPECT_EQ(dst->Bitmap().GetPixel(6, 7), bg);

        // A long row: the wide copy and the rest of the row after it.
        auto row = MakeSurface(37, 1, bits);
        row->SetColorKey(key);
        for (int x = 0; x < 37; ++x) row->Bitmap().SetPixel(x, 0, x % 3 == 0 ? ink : key);
        auto wide = MakeSurface(40, 1, bits);
        wide->Fill(bg);
        wide->Draw(1, 0, row->ClientRect(), row.get(), true);
        for (int x = 0; x < 40; ++x)
            EXPECT_EQ(wide->Bitmap().GetPixel(x, 0), (x >= 1 && x <= 37 && (x - 1) % 3 == 0) ? ink : bg) << x;
    }
}

TEST(SurfaceDraw, ClipsToBothSurfaces) {
    auto dst = MakeSurface(10, 10, 32);
    auto src = MakeSurface(4, 4, 32);
    src->Fill(0x123456);
    struct Case {
        int x, y;
        platform::Rect srcRect;
        int painted;
    } cases[] = {
        {10, 0, {0, 0, 4, 4}, 0},    // X = width: clipped away
        {11, 0, {0, 0, 4, 4}, 0},    // X = width + 1: returns at once
        {8, 8, {0, 0, 4, 4}, 4},     // bottom-right corner: 2 × 2
        {-3, -3, {0, 0, 4, 4}, 1},   // top-left: 1 × 1
        {0, 0, {-2, -2, 4, 4}, 16},  // source rectangle larger than its surface
        {0, 0, {2, 2, 2, 4}, 0},     // empty source rectangle
    };
    for (const auto& c : cases) {
        dst->Fill(0);
        dst->Draw(c.x, c.y, c.srcRect, src.get(), false);
        int painted = 0;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) painted += dst->Bitmap().GetPixel(x, y) == 0x123456;
        EXPECT_EQ(painted, c.painted) << c.x << "," << c.y;
    }
    dst->Fill(0);
    dst->Draw(0, 0, src->ClientRect(), nullptr, false);  // no source: nothing
    dst->Draw(-2, 0, {0, 0, 4, 4}, src.get(), false);
    EXPECT_EQ(dst->Bitmap().GetPixel(1, 0), 0x123456u);
    EXPECT_EQ(dst->Bitmap().GetPixel(2, 0), 0u);
}

TEST(SurfaceDraw, LostSurfacesRefuseDrawingAndLocking) {
    auto dst = MakeSurface(4, 4, 16);
    auto src = MakeSurface(4, 4, 16);
    src->Fill(0xF800);
    dst->SetLost(true);
    EXPECT_FALSE(dst->Lock());
    dst->Draw(0, 0, src->ClientRect(), src.get(), false);
    dst->Fill(0x1F);
    EXPECT_EQ(dst->Bitmap().GetPixel(0, 0), 0u);
    EXPECT_TRUE(dst->Restore());
    EXPECT_TRUE(dst->Lock());
    dst->Unlock();
}

TEST(SurfaceDraw, NearestPixelIsExactAndLeavesThePixel) {
    struct Case {
        int bits;
        TColor color;
        uint32_t expected;
    } cases[] = {
        {32, RGBColor(4, 10, 104), 0x040A68}, {24, RGBColor(4, 10, 104), 0x040A68},
        {16, RGBColor(255, 0, 0), 0xF800},    {16, RGBColor(4, 10, 104), (0 << 11) | (2 << 5) | 13},
        {8, RGBColor(77, 77, 77), 77},        {8, RGBColor(77, 79, 76), 77},
    };
    for (const auto& c : cases) {
        auto s = MakeSurface(2, 2, c.bits);
        s->Bitmap().SetPixel(0, 0, 3);
        EXPECT_EQ(s->NearestPixel(c.color), c.expected) << c.bits;
        EXPECT_EQ(s->Bitmap().GetPixel(0, 0), 3u);
    }
}

TEST(SurfaceDraw, DifferentDepthsAreConverted) {
    auto dst = MakeSurface(2, 1, 32);
    auto src = MakeSurface(2, 1, 16);
    src->Bitmap().SetPixel(0, 0, 0xF800);  // red
    src->Bitmap().SetPixel(1, 0, 0x0000);  // key
    src->SetColorKey(0);
    dst->Fill(0x0000FF);
    dst->Draw(0, 0, src->ClientRect(), src.get(), true);
    EXPECT_EQ(dst->Bitmap().GetPixel(0, 0), 0xFF0000u);
    EXPECT_EQ(dst->Bitmap().GetPixel(1, 0), 0x0000FFu);
}
