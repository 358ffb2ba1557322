// The program on the real machine's SDL backend (dummy drivers) played from SDL virtual pads:
// menu, new game, steering, shots, pause, continue, a record typed with the pad's letter
// choice; and a pad plugged in during play and pulled out again.
#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include <unistd.h>

#include "engine/Forms.h"
#include "entities/Sprites.h"
#include "game/ProgramWindows.h"
#include "game/files/Cp1251.h"
#include "game/files/ScoreFile.h"
#include "game/state/Globals.h"
#include "game/state/Random.h"
#include "input/Gamepad.h"
#include "platform/sdl/SdlPlatform.h"
#include "platform/sdl/SdlWindowSystem.h"
#include "testkit/PlayFolder.h"
#include "tests/VirtualPad.h"

namespace {

constexpr int kTickTimer = 4242;

class PadGameFx : public ::testing::Test {
protected:
    std::unique_ptr<TPlayFolder> folder;
    std::unique_ptr<platform::sdl::SdlPlatform> machine;
    std::unique_ptr<TProgramWindows> windows;
    TMainForm* main = nullptr;
    TForm2* form2 = nullptr;
    int padIndex = -1;
    int padId = -1;

    void SetUp() override {
        ResetGlobals();
        RandSeed = 0;
        Application().ResetTerminated();
        ASSERT_NE(std::getenv("SB_DATA_DIR"), nullptr);
        folder = std::make_unique<TPlayFolder>("sb-padgame");
        folder->Write("data/all_qrx/opt.qrx", "0\r\n0\r\n0\r\n32\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");
        std::string table;
        for (int i = 0; i < 10; ++i) table += "\xC8\xE3\xF0\xEE\xEA\r\n0\r\n";
        folder->Write("data/all_qrx/res.qrx", table + "0\r\n");

        machine = std::make_unique<platform::sdl::SdlPlatform>();
        windows = std::make_unique<TProgramWindows>();
        main = windows->Main.get();
        form2 = windows->Form2.get();
        main->Show();
        if (main->Window()) main->Window()->Focus();
        // A steady tick, so the loop never sleeps long and the modal window's script runs.
        platform::Current().Windows->SetTimer(form2->Handle(), kTickTimer, 20);
        platform::Current().Windows->SetTimer(main->Handle(), kTickTimer, 20);
        RunUntil([] { return AssetsLoaded && GameState == gsMenu; });
    }

    void TearDown() override {
        Application().RemoveMessageHook(this);
        if (padIndex >= 0) SDL_JoystickDetachVirtual(padIndex);
        windows.reset();
        machine.reset();
        folder.reset();
    }

    bool RunUntil(const std::function<bool()>& done, int limitMs = 10000) {
        auto start = std::chrono::steady_clock::now();
        while (!done()) {
            if (Application().Terminated()) return false;
            if (std::chrono::steady_clock::now() - start > std::chrono::milliseconds(limitMs)) return false;
            Application().HandleMessage();
        }
        return true;
    }
    void RunFor(int ms) {
        auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        RunUntil([&] { return std::chrono::steady_clock::now() >= until; }, ms + 1000);
    }

    void AttachPad() {
        SDL_VirtualJoystickDesc d = VirtualPadDesc();
        padIndex = SDL_JoystickAttachVirtualEx(&d);
        ASSERT_GE(padIndex, 0) << SDL_GetError();
        padId = SDL_JoystickGetDeviceInstanceID(padIndex);
        ASSERT_TRUE(RunUntil([] { return MainForm->DXInput->Gamepad()->Count() == 1; }));
    }
    void DetachPad() {
        SDL_JoystickDetachVirtual(padIndex);
        padIndex = -1;
    }
    void Set(int button, bool down) {
        SDL_JoystickSetVirtualButton(SDL_JoystickFromInstanceID(padId), button, down ? 1 : 0);
    }
    void Press(int button) {
        Set(button, true);
        RunFor(60);
        Set(button, false);
        RunFor(60);
    }
    void Key(SDL_Scancode sc) {
        for (bool down : {true, false}) {
            SDL_Event e{};
            e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
            e.key.windowID = SDL_GetWindowID(static_cast<platform::sdl::SdlWindow*>(main->Window())->Handle());
            e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
            e.key.keysym.scancode = sc;
            e.key.keysym.sym = SDL_GetKeyFromScancode(sc);
            SDL_PushEvent(&e);
            RunFor(40);
        }
    }
    static int MainGunShots() {
        int n = 0;
        TSpriteEngine* engine = MainForm->SpriteEngine();
        for (int i = 0; i < engine->Count(); ++i)
            if (auto* s = dynamic_cast<TArmoSprite*>(engine->Items(i)); s && s->SpecialKind == TArmoSprite::skMainGun)
                ++n;
        return n;
    }
};

TEST_F(PadGameFx, WholeGameFromThePad) {
    AttachPad();

    // Menu: down and up move one entry per press; A is Enter.
    Set(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
    RunFor(300);  // held: still one step
    Set(SDL_CONTROLLER_BUTTON_DPAD_DOWN, false);
    RunFor(60);
    EXPECT_EQ(MenuIndex, 2);
    Press(SDL_CONTROLLER_BUTTON_DPAD_UP);
    EXPECT_EQ(MenuIndex, 1);
    Press(SDL_CONTROLLER_BUTTON_A);
    ASSERT_EQ(GameState, gsPlaying);
    EXPECT_EQ(MainGunShots(), 0);  // the press that started the game fires nothing

    // Steering with the D-pad and the stick, keeping the screen's bounds.
    const double x0 = PlayerSprite->X, y0 = PlayerSprite->Y;
    Set(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    RunFor(300);
    Set(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, false);
    EXPECT_GT(PlayerSprite->X, x0 + 50);
    SDL_JoystickSetVirtualAxis(SDL_JoystickFromInstanceID(padId), SDL_CONTROLLER_AXIS_LEFTY, -32768);
    RunFor(200);
    SDL_JoystickSetVirtualAxis(SDL_JoystickFromInstanceID(padId), SDL_CONTROLLER_AXIS_LEFTY, 0);
    RunFor(40);
    EXPECT_LT(PlayerSprite->Y, y0 - 30);

    // Shots: A is the main gun.
    Set(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_TRUE(RunUntil([] { return MainGunShots() > 0; }, 2000));
    Set(SDL_CONTROLLER_BUTTON_A, false);

    // Pause with Start, continue with A on the pause menu's first entry.
    Press(SDL_CONTROLLER_BUTTON_START);
    EXPECT_EQ(GameState, gsPauseMenu);
    EXPECT_EQ(MenuIndex, 1);
    Press(SDL_CONTROLLER_BUTTON_A);
    EXPECT_EQ(GameState, gsPlaying);

    // A record: the game ends with a score above the table's last entry; the result window
    // opens modally, and the pad types a name with its letter choice. The script runs from
    // the modal loop's ticks.
    std::vector<int> script = {
        SDL_CONTROLLER_BUTTON_B,          SDL_CONTROLLER_BUTTON_B, SDL_CONTROLLER_BUTTON_B, SDL_CONTROLLER_BUTTON_B,
        SDL_CONTROLLER_BUTTON_B,           // "Игрок" deleted
        SDL_CONTROLLER_BUTTON_DPAD_DOWN,   // to "А"
        SDL_CONTROLLER_BUTTON_DPAD_RIGHT,  // "Б"
        SDL_CONTROLLER_BUTTON_A,           // types "Б"; the rest in lower case
        SDL_CONTROLLER_BUTTON_DPAD_DOWN,   // to "a"
        SDL_CONTROLLER_BUTTON_DPAD_DOWN,   // to "0"
        SDL_CONTROLLER_BUTTON_DPAD_LEFT,   // "z"
        SDL_CONTROLLER_BUTTON_Y,           // "Z"
        SDL_CONTROLLER_BUTTON_A,           // types "Z"
        SDL_CONTROLLER_BUTTON_DPAD_UP,     // to "А"
        SDL_CONTROLLER_BUTTON_DPAD_UP,     // to " OK "
        SDL_CONTROLLER_BUTTON_A,           // enters the record
    };
    size_t step = 0;
    int phase = 0;
    uint32_t openedAt = 0;
    bool sawPadMode = false;
    Application().AddMessageHook(this, [&](const platform::Message& m) {
        if (m.Kind != platform::MsgKind::Timer || m.Param != kTickTimer || !form2->Visible()) return;
        if (openedAt == 0) openedAt = SDL_GetTicks();
        sawPadMode = sawPadMode || form2->PadMode();
        if (SDL_GetTicks() - openedAt < TForm2::PadGraceMs + 100 || step >= script.size()) return;
        // Down on one tick, up on the next two.
        if (phase == 0) Set(script[step], true);
        if (phase == 1) Set(script[step], false);
        if (++phase == 3) phase = 0, ++step;
    });
    Score = 500;
    Energy = 0;
    ASSERT_TRUE(RunUntil([&] { return openedAt != 0 && GameState == gsScores && !form2->Visible(); }, 15000))
        << "script step " << step << ", name " << form2->Edit1Text;
    EXPECT_EQ(step, script.size() - 1);  // the window closed on the last press
    Set(SDL_CONTROLLER_BUTTON_A, false);
    EXPECT_TRUE(sawPadMode);
    EXPECT_EQ(form2->Edit1Text, "БZ");
    int32_t check = 0;
    TScoreTable table = ReadScoreTable(ScoreFileName, check);
    EXPECT_EQ(table.Names[0], "БZ");
    EXPECT_EQ(table.Values[0], 500);
    EXPECT_EQ(check, 500);
    EXPECT_FALSE(Application().Terminated());
}

TEST_F(PadGameFx, PadPluggedInDuringPlayIsUsedAtOnceAndPullingItPauses) {
    Key(SDL_SCANCODE_RETURN);  // a new game from the keyboard
    ASSERT_EQ(GameState, gsPlaying);
    RunFor(200);

    AttachPad();
    Set(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_TRUE(RunUntil([] { return MainGunShots() > 0; }, 2000));
    Set(SDL_CONTROLLER_BUTTON_A, false);
    const double x0 = PlayerSprite->X;
    Set(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    RunFor(200);
    EXPECT_GT(PlayerSprite->X, x0 + 30);

    // Pulled out while it was the input in use (a button still held): the game stays, on the
    // pause menu, and nothing stays held.
    DetachPad();
    EXPECT_TRUE(RunUntil([] { return GameState == gsPauseMenu; }, 2000));
    const double x1 = PlayerSprite->X;
    RunFor(100);
    EXPECT_EQ(PlayerSprite->X, x1);
    EXPECT_FALSE(Application().Terminated());
    Key(SDL_SCANCODE_RETURN);  // continue from the keyboard
    EXPECT_EQ(GameState, gsPlaying);
    RunFor(100);
    EXPECT_EQ(PlayerSprite->X, x1);  // the pad's held right did not come back

    // A pad the keyboard took over from is pulled without pausing.
    AttachPad();
    Press(SDL_CONTROLLER_BUTTON_X);
    Key(SDL_SCANCODE_LEFT);
    DetachPad();
    RunFor(200);
    EXPECT_EQ(GameState, gsPlaying);
}

}  // namespace
