// The SDL window system on SDL's dummy video driver: windows, presentation at every depth,
// messages from SDL events and from other threads.
#include <gtest/gtest.h>

#include <SDL.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <thread>

#include "platform/Settings.h"
#include "platform/sdl/SdlWindowSystem.h"

using platform::Message;
using platform::MsgKind;
using platform::sdl::SdlWindow;
using platform::sdl::SdlWindowSystem;
using Clock = std::chrono::steady_clock;

namespace {

struct SdlFixture : ::testing::Test {
    std::unique_ptr<SdlWindowSystem> ws;
    void SetUp() override {
        ::setenv("SDL_VIDEODRIVER", "dummy", 0);
        ws = std::make_unique<SdlWindowSystem>();
    }
    void TearDown() override { ws.reset(); }

    std::vector<Message> Drain() {
        std::vector<Message> out;
        Message m;
        while (ws->PeekMessage(m)) out.push_back(m);
        return out;
    }
    static void PushKey(uint32_t type, uint32_t window, SDL_Scancode sc, SDL_Keycode sym, uint16_t mod = 0) {
        SDL_Event e{};
        e.type = type;
        e.key.windowID = window;
        e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.scancode = sc;
        e.key.keysym.sym = sym;
        e.key.keysym.mod = mod;
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    }
};

uint32_t SurfacePixel(SDL_Window* w, int x, int y) {
    SDL_Surface* s = SDL_GetWindowSurface(w);
    uint32_t v;
    std::memcpy(&v, static_cast<uint8_t*>(s->pixels) + y * s->pitch + x * 4, 4);
    uint8_t r, g, b;
    SDL_GetRGB(v, s->format, &r, &g, &b);
    return (uint32_t(r) << 16) | (uint32_t(g) << 8) | b;
}

// What a window shows, read where its path draws it: through its renderer where it has one
// (SDL 3 gives no window surface behind a renderer), else from its framebuffer.
struct ShownPicture {
    int Width = 0, Height = 0;
    std::vector<uint32_t> Pixels;  // 0x00RRGGBB
    uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
};

ShownPicture Shown(SdlWindow* w) {
    ShownPicture p;
    if (SDL_Renderer* r = w->Renderer()) {
        SDL_GetRendererOutputSize(r, &p.Width, &p.Height);
        p.Pixels.resize(static_cast<size_t>(p.Width) * p.Height);
        if (SDL_RenderReadPixels(r, nullptr, SDL_PIXELFORMAT_RGB888, p.Pixels.data(), p.Width * 4) != 0) return {};
        for (uint32_t& v : p.Pixels) v &= 0xFFFFFF;
        return p;
    }
    SDL_Surface* s = SDL_GetWindowSurface(w->Handle());
    p.Width = s->w;
    p.Height = s->h;
    p.Pixels.resize(static_cast<size_t>(p.Width) * p.Height);
    for (int y = 0; y < p.Height; ++y)
        for (int x = 0; x < p.Width; ++x)
            p.Pixels[static_cast<size_t>(y) * p.Width + x] = SurfacePixel(w->Handle(), x, y);
    return p;
}

// Equal within the rounding of a 5/6-bit channel.
bool Near(uint32_t a, uint32_t b) {
    for (int shift : {0, 8, 16})
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 4) return false;
    return true;
}

}  // namespace

TEST_F(SdlFixture, ShownWindowTakesTheFocusAndPresentsEveryDepth) {
    auto win = ws->CreateWindow("Окно", {10, 20, 330, 260});
    EXPECT_FALSE(win->Visible());
    EXPECT_EQ(win->Bounds(), (platform::Rect{10, 20, 330, 260}));
    EXPECT_EQ(win->Caption(), "Окно");
    win->Show();
    EXPECT_TRUE(win->Visible());
    EXPECT_EQ(ws->FocusWindow(), win->Id());
    std::vector<std::pair<MsgKind, uint32_t>> got;
    for (const auto& m : Drain())
        if (m.Kind == MsgKind::AppActivate || m.Kind == MsgKind::Activate) got.emplace_back(m.Kind, m.Window);
    EXPECT_EQ(got, (std::vector<std::pair<MsgKind, uint32_t>>{{MsgKind::AppActivate, win->Id()},
                                                              {MsgKind::Activate, win->Id()}}));

    SDL_Window* handle = static_cast<SdlWindow*>(win.get())->Handle();
    for (int bits : {8, 16, 24, 32}) {
        SCOPED_TRACE(bits);
        platform::Bitmap pic(64, 48, bits);
        if (bits == 8) {
            pic.Palette()[7] = {255, 128, 0};
            pic.Palette()[9] = {0, 0, 255};
        }
        uint32_t orange = pic.MapRGB({255, 128, 0});
        pic.Fill(pic.MapRGB({0, 0, 255}));
        pic.SetPixel(5, 6, orange);
        EXPECT_TRUE(win->Present(pic, 100, 50));
        EXPECT_PRED2(Near, SurfacePixel(handle, 105, 56), 0xFF8000u);
        EXPECT_EQ(SurfacePixel(handle, 100, 50), 0x0000FFu);
        // Hanging over every edge: clipped, not refused.
        EXPECT_TRUE(win->Present(pic, -20, -10));
        EXPECT_TRUE(win->Present(pic, 300, 230));
        EXPECT_PRED2(Near, SurfacePixel(handle, 305, 236), 0xFF8000u);
        EXPECT_TRUE(win->Present(pic, 5000, 5000));
    }
    auto modes = ws->DisplayModes();
    ASSERT_FALSE(modes.empty());
    EXPECT_TRUE(std::is_sorted(modes.begin(), modes.end(), [](auto& a, auto& b) {
        return std::tie(a.Width, a.Height, a.Bits) < std::tie(b.Width, b.Height, b.Bits);
    }));
    EXPECT_EQ(ws->ScreenSize(), (platform::Size{modes.back().Width, modes.back().Height}));
}

TEST_F(SdlFixture, MessagePostedFromAnotherThreadWakesTheWaitingLoop) {
    std::thread poster([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        Message m;
        m.Kind = MsgKind::User;
        m.Param = 77;
        ws->PostMessage(m);
    });
    auto start = std::chrono::steady_clock::now();
    ws->WaitMessage(5000);
    auto waited = std::chrono::steady_clock::now() - start;
    poster.join();
    EXPECT_LT(waited, std::chrono::milliseconds(1000));
    auto msgs = Drain();
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].Kind, MsgKind::User);
    EXPECT_EQ(msgs[0].Param, 77);
}

TEST_F(SdlFixture, WaitMessageWakesForTheNextTimer) {
    ws->SetTimer(0, 9, 40);
    auto start = std::chrono::steady_clock::now();
    ws->WaitMessage(-1);
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(35));
    EXPECT_LT(waited, std::chrono::milliseconds(1000));
    auto msgs = Drain();
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].Kind, MsgKind::Timer);
    EXPECT_EQ(msgs[0].Param, 9);
}

TEST_F(SdlFixture, KeyEventsBecomeVirtualKeysAndScanCodes) {
    auto win = ws->CreateWindow("w", {0, 0, 50, 50});
    win->Show();
    Drain();
    struct Case {
        SDL_Scancode Sc;
        SDL_Keycode Sym;
        uint16_t Mod;
        int Vk, Scan;
        uint32_t Shift;
    };
    const Case cases[] = {
        {SDL_SCANCODE_RIGHT, SDLK_RIGHT, 0, 39, 205, 0},
        {SDL_SCANCODE_UP, SDLK_UP, 0, 38, 200, 0},
        {SDL_SCANCODE_LEFT, SDLK_LEFT, 0, 37, 203, 0},
        {SDL_SCANCODE_DOWN, SDLK_DOWN, 0, 40, 208, 0},
        {SDL_SCANCODE_RETURN, SDLK_RETURN, 0, 13, 28, 0},
        {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, 0, 13, 156, 0},
        {SDL_SCANCODE_SPACE, SDLK_SPACE, 0, 32, 57, 0},
        {SDL_SCANCODE_Z, SDLK_z, KMOD_LSHIFT, 90, 44, platform::ssShift},
        {SDL_SCANCODE_Z, 0x44F /* я: Russian layout */, 0, 90, 44, 0},
        {SDL_SCANCODE_Y, SDLK_z /* German layout */, 0, 90, 21, 0},
        {SDL_SCANCODE_APOSTROPHE, SDLK_QUOTE, 0, 222, 40, 0},
        {SDL_SCANCODE_KP_MULTIPLY, SDLK_KP_MULTIPLY, 0, 106, 55, 0},
        {SDL_SCANCODE_DELETE, SDLK_DELETE, KMOD_LCTRL | KMOD_RALT, 46, 211, platform::ssCtrl | platform::ssAlt},
        {SDL_SCANCODE_KP_8, SDLK_KP_8, KMOD_NUM, 104, 72, 0},
        {SDL_SCANCODE_KP_8, SDLK_KP_8, 0, 38, 72, 0},
        {SDL_SCANCODE_RCTRL, SDLK_RCTRL, 0, 17, 157, 0},
        {SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, 0, 16, 42, 0},
        {SDL_SCANCODE_F2, SDLK_F2, 0, 113, 60, 0},
        {SDL_SCANCODE_TAB, SDLK_TAB, 0, 9, 15, 0},
        {SDL_SCANCODE_5, SDLK_5, 0, '5', 6, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Scan);
        PushKey(SDL_KEYDOWN, win->Id(), c.Sc, c.Sym, c.Mod);
        auto msgs = Drain();
        ASSERT_GE(msgs.size(), 1u);
        EXPECT_EQ(msgs[0].Kind, MsgKind::KeyDown);
        EXPECT_EQ(msgs[0].Window, win->Id());
        EXPECT_EQ(msgs[0].Key, c.Vk);
        EXPECT_EQ(msgs[0].ScanCode, c.Scan);
        EXPECT_EQ(msgs[0].Shift, c.Shift);
        uint8_t vk[256], sc[256];
        ws->GetKeyboardState(vk);
        ws->GetScanCodeState(sc);
        EXPECT_EQ(vk[c.Vk], 0x80);
        EXPECT_EQ(sc[c.Scan], 0x80);
        bool control = c.Vk == 13 || c.Vk == 9;
        ASSERT_EQ(msgs.size(), control ? 2u : 1u);
        if (control) {
            EXPECT_EQ(msgs[1].Kind, MsgKind::Char);
            EXPECT_EQ(msgs[1].Key, c.Vk);
        }
        PushKey(SDL_KEYUP, win->Id(), c.Sc, c.Sym, c.Mod);
        msgs = Drain();
        ASSERT_EQ(msgs.size(), 1u);
        EXPECT_EQ(msgs[0].Kind, MsgKind::KeyUp);
        ws->GetScanCodeState(sc);
        EXPECT_EQ(sc[c.Scan], 0);
    }
}

TEST_F(SdlFixture, TextInputGivesOneCharPerCharacterAndFocusEventsActivate) {
    auto a = ws->CreateWindow("a", {0, 0, 50, 50});
    auto b = ws->CreateWindow("b", {0, 0, 50, 50});
    a->Show();
    Drain();

    SDL_Event t{};
    t.type = SDL_TEXTINPUT;
    t.text.windowID = a->Id();
    std::strcpy(t.text.text, "Ёж!");
    ws->Translate(t);  // SDL 3 (through sdl2-compat) does not take text events from a program
    auto msgs = Drain();
    ASSERT_EQ(msgs.size(), 3u);
    EXPECT_EQ(msgs[0].Text, "Ё");
    EXPECT_EQ(msgs[1].Text, "ж");
    EXPECT_EQ(msgs[2].Text, "!");
    EXPECT_EQ(msgs[2].Key, '!');
    for (auto& m : msgs) EXPECT_EQ(m.Kind, MsgKind::Char);

    auto pushWindowEvent = [](uint32_t id, uint8_t what) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.windowID = id;
        e.window.event = what;
        ASSERT_EQ(SDL_PushEvent(&e), 1);
    };
    auto kinds = [&] {
        std::vector<std::pair<MsgKind, uint32_t>> got;
        for (const auto& m : Drain()) got.emplace_back(m.Kind, m.Window);
        return got;
    };
    using V = std::vector<std::pair<MsgKind, uint32_t>>;
    // Focus moving between our own windows does not deactivate the application.
    pushWindowEvent(a->Id(), SDL_WINDOWEVENT_FOCUS_LOST);
    pushWindowEvent(b->Id(), SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_EQ(kinds(), (V{{MsgKind::Deactivate, a->Id()}, {MsgKind::Activate, b->Id()}}));
    EXPECT_EQ(ws->FocusWindow(), b->Id());
    pushWindowEvent(b->Id(), SDL_WINDOWEVENT_FOCUS_LOST);
    pushWindowEvent(b->Id(), SDL_WINDOWEVENT_CLOSE);
    EXPECT_EQ(kinds(),
              (V{{MsgKind::Deactivate, b->Id()}, {MsgKind::AppDeactivate, b->Id()}, {MsgKind::Close, b->Id()}}));
    EXPECT_EQ(ws->FocusWindow(), 0u);
    pushWindowEvent(a->Id(), SDL_WINDOWEVENT_FOCUS_GAINED);
    EXPECT_EQ(kinds(), (V{{MsgKind::AppActivate, a->Id()}, {MsgKind::Activate, a->Id()}}));

    // The session ending (SIGTERM) asks the whole application to quit.
    std::raise(SIGTERM);
    ws->WaitMessage(1000);
    msgs = Drain();
    ASSERT_EQ(msgs.size(), 1u);
    EXPECT_EQ(msgs[0].Kind, MsgKind::Quit);
}

// The dummy screen is 1024 x 768: a program whose display is 400 x 300 gets windows at 2x.
TEST_F(SdlFixture, WindowsAtTwiceTheSizeShowBlocksAndMapTheMouseBack) {
    ws.reset();
    ws = std::make_unique<SdlWindowSystem>(platform::Size{400, 300});
    ASSERT_EQ(ws->WindowScaleFactor(), 2);
    EXPECT_EQ(ws->ScreenSize(), (platform::Size{512, 384}));  // in the program's pixels

    auto win = ws->CreateWindow("w", {56, 42, 456, 342});
    auto* sw = static_cast<SdlWindow*>(win.get());
    int x, y, w, h;
    SDL_GetWindowPosition(sw->Handle(), &x, &y);
    SDL_GetWindowSize(sw->Handle(), &w, &h);
    EXPECT_EQ(std::tie(x, y, w, h), std::make_tuple(112, 84, 800, 600));
    EXPECT_EQ(win->Bounds(), (platform::Rect{56, 42, 456, 342}));
    win->Show();

    platform::Bitmap pic(400, 300, 8);
    pic.Palette()[1] = {255, 255, 255};
    pic.SetPixel(5, 6, 1);
    ASSERT_TRUE(win->Present(pic, 0, 0));
    // Every program pixel is a uniform 2 x 2 block, its neighbours stay black.
    for (int dy : {0, 1})
        for (int dx : {0, 1}) EXPECT_EQ(SurfacePixel(sw->Handle(), 10 + dx, 12 + dy), 0xFFFFFFu);
    EXPECT_EQ(SurfacePixel(sw->Handle(), 9, 12), 0u);
    EXPECT_EQ(SurfacePixel(sw->Handle(), 12, 12), 0u);
    EXPECT_EQ(SurfacePixel(sw->Handle(), 10, 14), 0u);

    Drain();
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = win->Id();
    e.motion.x = 497;
    e.motion.y = 241;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    e = SDL_Event{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.windowID = win->Id();
    e.button.button = SDL_BUTTON_LEFT;
    e.button.x = 799;
    e.button.y = 599;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    auto msgs = Drain();
    ASSERT_EQ(msgs.size(), 2u);
    EXPECT_EQ(std::tie(msgs[0].Kind, msgs[0].X, msgs[0].Y), std::make_tuple(MsgKind::MouseMove, 248, 120));
    EXPECT_EQ(std::tie(msgs[1].Kind, msgs[1].X, msgs[1].Y), std::make_tuple(MsgKind::MouseDown, 399, 299));
}

TEST_F(SdlFixture, AltEnterAndF11SwitchTheMainWindowAndNeverReachTheProgram) {
    auto main = ws->CreateWindow("main", {0, 0, 100, 80});
    auto other = ws->CreateWindow("other", {0, 0, 50, 50});
    other->Show();
    Drain();
    auto switches = [&] {
        std::vector<intptr_t> got;
        for (const auto& m : Drain()) {
            EXPECT_TRUE(m.Kind != MsgKind::KeyDown && m.Kind != MsgKind::KeyUp && m.Kind != MsgKind::Char)
                << "a switching key reached the program";
            if (m.Kind == MsgKind::FullScreenChange) {
                EXPECT_EQ(m.Window, main->Id());
                got.push_back(m.Param);
            }
        }
        return got;
    };
    // Alt+Enter with the focus in another of our windows still switches the main one.
    PushKey(SDL_KEYDOWN, other->Id(), SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LALT);
    PushKey(SDL_KEYUP, other->Id(), SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LALT);
    EXPECT_EQ(switches(), std::vector<intptr_t>{1});
    EXPECT_TRUE(main->FullScreen());
    EXPECT_FALSE(other->FullScreen());
    PushKey(SDL_KEYDOWN, other->Id(), SDL_SCANCODE_F11, SDLK_F11);
    // Held down: the repeats switch nothing more.
    SDL_Event r{};
    r.type = SDL_KEYDOWN;
    r.key.windowID = other->Id();
    r.key.repeat = 1;
    r.key.keysym.scancode = SDL_SCANCODE_F11;
    r.key.keysym.sym = SDLK_F11;
    ASSERT_EQ(SDL_PushEvent(&r), 1);
    PushKey(SDL_KEYUP, other->Id(), SDL_SCANCODE_F11, SDLK_F11);
    EXPECT_EQ(switches(), std::vector<intptr_t>{0});
    EXPECT_FALSE(main->FullScreen());
    // Back in a window, it has its place and size again.
    int w, h;
    SDL_GetWindowSize(static_cast<SdlWindow*>(main.get())->Handle(), &w, &h);
    EXPECT_EQ(std::tie(w, h), std::make_tuple(100, 80));

    // Enter alone is the program's key, with its Char.
    PushKey(SDL_KEYDOWN, other->Id(), SDL_SCANCODE_RETURN, SDLK_RETURN);
    auto msgs = Drain();
    ASSERT_EQ(msgs.size(), 2u);
    EXPECT_EQ(msgs[0].Kind, MsgKind::KeyDown);
    EXPECT_EQ(msgs[1].Kind, MsgKind::Char);
}

// The main window's frames are paced (60 Hz where the display does not say); other windows
// and the unlimited setting present at once. Timers falling due meanwhile still arrive.
// A frame the same as the one on the screen is not drawn again (but takes its turn), until the
// picture changes or the window's picture is lost.
TEST_F(SdlFixture, SameFrameIsNotDrawnAgainUntilItChangesOrTheWindowIsExposed) {
    // Through the renderer, which draws the whole picture whenever it draws (the framebuffer
    // path sends only what changed, so a scribble there would stay by design).
    ws->UseWindowSurfaces(false);
    auto main = ws->CreateWindow("main", {0, 0, 64, 48});
    main->Show();
    ASSERT_GT(ws->PacedRate(), 0.0);
    auto* sw = static_cast<SdlWindow*>(main.get());
    // Paints the shown picture green behind the window system's back, through the renderer.
    auto scribble = [&] {
        SDL_SetRenderDrawColor(sw->Renderer(), 0, 255, 0, 255);
        SDL_RenderFillRect(sw->Renderer(), nullptr);
    };
    auto pixel = [&](int x, int y) { return Shown(sw).At(x, y); };
    platform::Bitmap pic(64, 48, 32);
    pic.Fill(pic.MapRGB({0, 0, 255}));
    // A window newly shown is drawn whole for a while (a desktop may still be placing it).
    for (int i = 0; i < 40; ++i) {
        scribble();
        ASSERT_TRUE(main->Present(pic, 0, 0));
        if (pixel(3, 3) != 0x0000FFu) break;
    }
    ASSERT_EQ(pixel(3, 3), 0x00FF00u) << "a still window is drawn again every frame";
    ASSERT_TRUE(main->Present(pic, 1, 0));
    ASSERT_EQ(pixel(3, 3), 0x0000FFu);
    ASSERT_TRUE(main->Present(pic, 0, 0));

    scribble();
    EXPECT_TRUE(main->Present(pic, 0, 0));
    EXPECT_EQ(pixel(3, 3), 0x00FF00u) << "the same frame was drawn again";
    pic.SetPixel(60, 40, pic.MapRGB({255, 0, 0}));
    EXPECT_TRUE(main->Present(pic, 0, 0));
    EXPECT_EQ(pixel(3, 3), 0x0000FFu) << "a changed frame was not drawn";
    scribble();
    EXPECT_TRUE(main->Present(pic, 1, 0));
    EXPECT_EQ(pixel(3, 3), 0x0000FFu) << "a frame moved in the window was not drawn";

    scribble();
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = SDL_WINDOWEVENT_EXPOSED;
    e.window.windowID = main->Id();
    ASSERT_EQ(SDL_PushEvent(&e), 1);
    Drain();
    EXPECT_TRUE(main->Present(pic, 1, 0));
    EXPECT_EQ(pixel(3, 3), 0x0000FFu) << "an exposed window was not drawn again";
    scribble();
    EXPECT_TRUE(main->Present(pic, 1, 0));
    EXPECT_EQ(pixel(3, 3), 0x0000FFu) << "an exposed window is drawn whole for a while";
}

TEST_F(SdlFixture, MainWindowFramesArePacedAndTimersStillArrive) {
    auto elapsedFor = [](platform::IWindow& w, int frames) {
        platform::Bitmap pic(64, 48, 32);
        const auto start = Clock::now();
        for (int i = 0; i < frames; ++i) w.Present(pic, 0, 0);
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    };
    {
        auto main = ws->CreateWindow("main", {0, 0, 64, 48});
        auto loading = ws->CreateWindow("loading", {0, 0, 64, 48});
        main->Show();
        ASSERT_GT(ws->PacedRate(), 20.0);
        ASSERT_TRUE(ws->TimedPacing());
        const double period = 1000.0 / ws->PacedRate();
        Drain();
        ws->SetTimer(main->Id(), 3, 30);
        const double paced = elapsedFor(*main, 13);
        EXPECT_GE(paced, 12 * period - 2);
        EXPECT_LT(paced, 12 * period * 1.6);
        int timers = 0;
        for (const auto& m : Drain()) timers += m.Kind == MsgKind::Timer;
        EXPECT_GE(timers, 1);
        EXPECT_LT(elapsedFor(*loading, 13), 6 * period);

        // Frames that are not shown (full screen without the focus) keep the same pace, and a
        // skipped frame of another window does not wait.
        auto skippedFor = [](platform::IWindow& w, int frames) {
            const auto start = Clock::now();
            for (int i = 0; i < frames; ++i) w.SkipFrame();
            return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        };
        const double skipped = skippedFor(*main, 13);
        EXPECT_GE(skipped, 12 * period - 2);
        EXPECT_LT(skipped, 13 * period * 1.6);
        EXPECT_LT(skippedFor(*loading, 13), 2 * period);
    }
    ws.reset();
    platform::TSettings saved = platform::CurrentSettings();
    ASSERT_EQ(platform::CurrentSettings().Set("pacing", "unlimited"), "");
    ws = std::make_unique<SdlWindowSystem>();
    platform::CurrentSettings() = saved;
    auto main = ws->CreateWindow("main", {0, 0, 64, 48});
    main->Show();
    EXPECT_EQ(ws->PacedRate(), 0.0);
    EXPECT_LT(elapsedFor(*main, 13), 6 * 1000.0 / 60);
    // Unpaced, unseen frames (a window that cannot show one) still rest: a loop of them
    // must not keep the processor busy.
    const auto start = Clock::now();
    for (int i = 0; i < 7; ++i) main->SkipFrame();
    const double rested = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    EXPECT_GE(rested, 6 * 1000.0 / 60);
}

// Where SDL's box cannot show, the program's own: a key answers it, and a request to quit
// meanwhile answers it too and still reaches the program.
TEST_F(SdlFixture, DrawnMessageBoxIsAnsweredByAKeyAndKeepsAQuit) {
    auto main = ws->CreateWindow("main", {0, 0, 64, 48});
    main->Show();
    Drain();
    PushKey(SDL_KEYDOWN, 0, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
    EXPECT_TRUE(ws->ShowDrawnMessageBox("Ошибка", "Нет файла data\\all_bmp\\star.bmp"));
    for (const auto& m : Drain()) EXPECT_NE(m.Kind, MsgKind::KeyDown);  // the answer is the box's

    SDL_Event quit{};
    quit.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&quit), 1);
    EXPECT_TRUE(ws->ShowDrawnMessageBox("", "?"));
    int quits = 0;
    for (const auto& m : Drain()) quits += m.Kind == MsgKind::Quit;
    EXPECT_EQ(quits, 1);
}

// Full screen at a fractional fit, drawn straight into the window's framebuffer (only what
// changed each frame) and through SDL's software renderer: both show exactly our sharp scale
// of the whole current picture between black bars, frame after frame, and the picture again
// 1:1 back in a window.
TEST(SdlPresentation, EveryFrameShowsTheWholeCurrentPictureOnBothPaths) {
    ::setenv("SDL_VIDEODRIVER", "dummy", 0);
    for (const char* renderer : {"", "software"}) {
        SCOPED_TRACE(*renderer ? "renderer" : "framebuffer");
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, renderer);
        SdlWindowSystem ws;
        auto win = ws.CreateWindow("main", {0, 0, 100, 80});
        auto* sw = static_cast<SdlWindow*>(win.get());
        win->Show();
        ASSERT_TRUE(win->SetFullScreen(true, {100, 80, 32}));
        platform::Bitmap pic(100, 80, 32);
        uint32_t seed = 5;
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 100; ++x) pic.SetPixel(x, y, (seed = seed * 1664525u + 1013904223u) >> 8);
        auto check = [&](const char* step) {
            SCOPED_TRACE(step);
            ASSERT_TRUE(win->Present(pic, 0, 0));
            const ShownPicture s = Shown(sw);
            ASSERT_FALSE(s.Pixels.empty());
            const platform::Rect t = sw->CurrentView().Target;
            ASSERT_FALSE(t.Empty());
            std::vector<uint32_t> src(100 * 80);
            for (int y = 0; y < 80; ++y)
                for (int x = 0; x < 100; ++x) src[static_cast<size_t>(y) * 100 + x] = pic.GetPixel(x, y) & 0xFFFFFF;
            platform::sdl::SharpScaler scaler;
            scaler.Resize({100, 80}, {t.Width(), t.Height()});
            std::vector<uint32_t> want(static_cast<size_t>(t.Width()) * t.Height());
            scaler.Scale(src.data(), 100, want.data(), t.Width() * 4);
            int wrong = 0;
            for (int y = 0; y < s.Height; ++y)
                for (int x = 0; x < s.Width; ++x) {
                    const bool inside = x >= t.Left && x < t.Right && y >= t.Top && y < t.Bottom;
                    const uint32_t expect =
                        inside ? want[static_cast<size_t>(y - t.Top) * t.Width() + (x - t.Left)] : 0u;
                    if (s.At(x, y) != expect && ++wrong <= 3) ADD_FAILURE() << "at " << x << "," << y;
                }
            EXPECT_EQ(wrong, 0);
        };
        check("first frame");
        EXPECT_EQ(ws.RendererName(), *renderer ? "software" : "framebuffer");
        {
            const ShownPicture s = Shown(sw);
            const platform::Rect t = sw->CurrentView().Target;
            EXPECT_EQ(std::make_tuple(s.Width, s.Height), std::make_tuple(1024, 768));
            EXPECT_GT(t.Left, 0);  // 5:4 on a 4:3 screen: bars at the sides
            EXPECT_NE(t.Width() % 100, 0);
        }
        for (int y = 30; y < 34; ++y)
            for (int x = 40; x < 47; ++x) pic.SetPixel(x, y, 0xFF00FF);
        pic.SetPixel(99, 79, 0x00FF00);  // far from the rest, in the last row and column
        check("a block and a corner pixel changed");
        check("nothing changed");
        pic.SetPixel(0, 0, 0x123456);
        pic.SetPixel(0, 79, 0x654321);
        check("two far corners changed");
        ASSERT_TRUE(win->SetFullScreen(false, {}));
        // SDL 3's software renderer takes up the window's new size a frame late (it follows the
        // size event): the first picture after the switch may be lost, the next must be whole.
        ASSERT_TRUE(win->Present(pic, 0, 0));
        platform::Message m;
        while (ws.PeekMessage(m)) {}
        check("back in a window");
    }
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "");
}

// A picture larger than the screen is shrunk to fit in full screen, on the framebuffer path
// too: its colours where it lies, black bars around it.
TEST(SdlPresentation, PictureLargerThanTheScreenIsShrunkToFit) {
    ::setenv("SDL_VIDEODRIVER", "dummy", 0);
    SdlWindowSystem ws;
    auto win = ws.CreateWindow("main", {0, 0, 2048, 1024});
    auto* sw = static_cast<SdlWindow*>(win.get());
    win->Show();
    ASSERT_TRUE(win->SetFullScreen(true, {2048, 1024, 32}));
    platform::Bitmap pic(2048, 1024, 32);
    pic.Fill(0x2040C0);
    for (int y = 0; y < 1024; ++y)
        for (int x = 1024; x < 2048; ++x) pic.SetPixel(x, y, 0xF0E010);
    ASSERT_TRUE(win->Present(pic, 0, 0));
    EXPECT_EQ(ws.RendererName(), "framebuffer");
    const platform::Rect t = sw->CurrentView().Target;
    EXPECT_EQ(std::make_tuple(t.Left, t.Top, t.Width(), t.Height()), std::make_tuple(0, 128, 1024, 512));
    EXPECT_EQ(SurfacePixel(sw->Handle(), 500, 10), 0u);   // bar above
    EXPECT_EQ(SurfacePixel(sw->Handle(), 500, 700), 0u);  // bar below
    EXPECT_PRED2(Near, SurfacePixel(sw->Handle(), 100, 300), 0x2040C0u);
    EXPECT_PRED2(Near, SurfacePixel(sw->Handle(), 900, 300), 0xF0E010u);
}
