// The whole keyboard path on SDL: key events through the SDL window system's scan codes
// into input states, as the running program sees them.
#include <gtest/gtest.h>

#include <SDL.h>

#include "engine/Forms.h"
#include "input/DXInput.h"
#include "platform/sdl/SdlJoystick.h"
#include "platform/sdl/SdlWindowSystem.h"

namespace {

struct SdlKeysFx : ::testing::Test {
    std::unique_ptr<platform::sdl::SdlWindowSystem> ws;
    std::unique_ptr<platform::IJoystickSystem> js;
    std::unique_ptr<TForm> form;
    std::unique_ptr<TDXInput> input;
    uint32_t sdlWindow = 0;

    void SetUp() override {
        ::setenv("SDL_VIDEODRIVER", "dummy", 0);
        ws = std::make_unique<platform::sdl::SdlWindowSystem>();
        js = platform::sdl::CreateJoystickSystem();
        platform::Install({.Clock = &ws->Clock(), .Windows = ws.get(), .Joysticks = js.get()});
        form = std::make_unique<TForm>("Main", 800, 600);
        form->Show();
        Application().ProcessMessages();
        sdlWindow = SDL_GetWindowID(static_cast<platform::sdl::SdlWindow*>(form->Window())->Handle());
        input = std::make_unique<TDXInput>(form.get());
        input->ApplyGameSettings();
    }
    void TearDown() override {
        input.reset();
        form.reset();
        Application().ProcessMessages();
        platform::Install({});
        js.reset();
        ws.reset();
    }
    void Key(bool down, SDL_Scancode sc) {
        SDL_Event e{};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.windowID = sdlWindow;
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.scancode = sc;
        e.key.keysym.sym = SDL_GetKeyFromScancode(sc);
        ASSERT_EQ(SDL_PushEvent(&e), 1);
        Application().ProcessMessages();
    }
};

TEST_F(SdlKeysFx, ArrowsAndWasdSteerOnBothPaths) {
    struct Case {
        SDL_Scancode sc;
        TInputState state;
    } cases[] = {{SDL_SCANCODE_UP, InputUp},       {SDL_SCANCODE_W, InputUp},      {SDL_SCANCODE_DOWN, InputDown},
                 {SDL_SCANCODE_S, InputDown},      {SDL_SCANCODE_LEFT, InputLeft}, {SDL_SCANCODE_A, InputLeft},
                 {SDL_SCANCODE_RIGHT, InputRight}, {SDL_SCANCODE_D, InputRight},   {SDL_SCANCODE_SPACE, InputButton1},
                 {SDL_SCANCODE_Z, InputButton1},   {SDL_SCANCODE_X, InputButton2}, {SDL_SCANCODE_TAB, InputButton3},
                 {SDL_SCANCODE_KP_8, InputUp}};
    for (bool direct : {true, false}) {
        input->SetUseDirectInput(direct);
        for (const Case& c : cases) {
            Key(true, c.sc);
            input->Update();
            EXPECT_EQ(input->States, TInputStates{c.state}) << SDL_GetScancodeName(c.sc) << " direct " << direct;
            Key(false, c.sc);
            input->Update();
            EXPECT_TRUE(input->States.Empty()) << SDL_GetScancodeName(c.sc);
        }
    }
}

}  // namespace
