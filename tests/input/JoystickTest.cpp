// The joystick: SDL virtual joysticks on the direct path, scripted ones for the fallback
// path, unplugging, and devices that report more than the state record holds.
#include <SDL.h>

#include "InputFixture.h"
#include "platform/sdl/SdlJoystick.h"

namespace {

using Fx = InputFixture;

class SdlJoystickFx : public InputFixture {
protected:
    platform::IJoystickSystem* joysticks() override { return sdl.get(); }
    void SetUp() override {
        InputFixture::SetUp();
        index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 3, 40, 1);
        ASSERT_GE(index, 0) << SDL_GetError();
        handle = SDL_JoystickOpen(index);
        ASSERT_NE(handle, nullptr) << SDL_GetError();
    }
    void TearDown() override {
        InputFixture::TearDown();
        if (handle) SDL_JoystickClose(handle);
        if (index >= 0 && SDL_JoystickIsVirtual(index)) SDL_JoystickDetachVirtual(index);
    }
    void Axis(int a, int v) { SDL_JoystickSetVirtualAxis(handle, a, static_cast<Sint16>(v)); }
    void Button(int b, bool down) { SDL_JoystickSetVirtualButton(handle, b, down ? 1 : 0); }

    std::unique_ptr<platform::IJoystickSystem> sdl = platform::sdl::CreateJoystickSystem();
    int index = -1;
    SDL_Joystick* handle = nullptr;
};

TEST_F(SdlJoystickFx, AxesAreScaledToTheRangeOutsideTheDeadZone) {
    MakeInput();
    TJoystick& j = *input->Joystick();
    ASSERT_TRUE(j.Initialized());
    ASSERT_TRUE(j.HasDevice());
    struct Case {
        int raw, x;
    } cases[] = {{0, 0},       {16000, 0},     {-16000, 0},  {16384, 0},
                 {24576, 150}, {-24577, -150}, {32767, 300}, {-32768, -300}};
    for (const Case& c : cases) {
        Axis(0, c.raw);
        input->Update();
        EXPECT_EQ(j.X(), c.x) << "raw " << c.raw;
        EXPECT_EQ(j.States().Contains(InputRight), c.x > 0) << c.raw;
        EXPECT_EQ(j.States().Contains(InputLeft), c.x < 0) << c.raw;
    }
    Axis(0, 0);
    Axis(1, -32768);
    Axis(2, 32767);
    input->Update();
    EXPECT_EQ(j.Y(), -300);
    EXPECT_EQ(j.Z(), 300);
    EXPECT_EQ(input->States, TInputStates{InputUp});

    // New range and dead zone apply to the open device at once.
    j.SetRangeX(1000);
    j.SetDeadZoneX(0);
    Axis(0, 16384);
    input->Update();
    EXPECT_EQ(j.X(), 500);
    Axis(0, 32767);
    input->Update();
    EXPECT_EQ(j.X(), 1000);
}

TEST_F(SdlJoystickFx, ButtonsBeyondThe32ndSetNoStateAndTheHatIsThePointOfView) {
    MakeInput();
    TJoystick& j = *input->Joystick();
    EXPECT_EQ(j.NumButtons(), 40);
    Button(0, true);
    Button(31, true);
    Button(33, true);
    SDL_JoystickSetVirtualHat(handle, 0, SDL_HAT_RIGHT);
    input->Update();
    EXPECT_TRUE(j.Button(33));
    EXPECT_EQ(input->States, (TInputStates{InputButton1, InputButton32}));
    EXPECT_EQ(j.Pov(0), 9000u);

    struct Case {
        Uint8 hat;
        uint32_t pov;
    } hats[] = {{SDL_HAT_CENTERED, 0xFFFFFFFFu}, {SDL_HAT_UP, 0},       {SDL_HAT_RIGHTDOWN, 13500},
                {SDL_HAT_DOWN, 18000},           {SDL_HAT_LEFT, 27000}, {SDL_HAT_LEFTUP, 31500}};
    for (const Case& c : hats) {
        SDL_JoystickSetVirtualHat(handle, 0, c.hat);
        input->Update();
        EXPECT_EQ(j.Pov(0), c.pov) << int(c.hat);
    }
    // Offsets the device has no axis for were refused; the point of view never takes one.
    EXPECT_EQ(j.DeadZone(12), -1);
    EXPECT_EQ(j.Range(36), -1);
    EXPECT_EQ(j.DeadZone(32), -1);
    EXPECT_EQ(j.RangeY(), 300);
}

TEST_F(SdlJoystickFx, UnpluggedMidGameReadsZero) {
    MakeInput();
    TJoystick& j = *input->Joystick();
    Axis(0, 32767);
    Button(2, true);
    input->Update();
    EXPECT_EQ(j.X(), 300);
    SDL_JoystickDetachVirtual(index);
    index = -1;
    input->Update();
    EXPECT_EQ(j.X(), 0);
    EXPECT_TRUE(input->States.Empty());
    input->Joystick()->Effects()->Find("eff1")->Start();  // nothing to play on, nothing happens
    EXPECT_EQ(sdl->Count(), 0);
    input->Initialize();  // looking again finds none
    EXPECT_FALSE(j.Initialized());
}

// ---------------------------------------------------------------------------------------

TEST(MultimediaAxis, ConversionFormula) {
    struct Case {
        int pos, min, max, range, dead, out;
    } cases[] = {
        {65535, 0, 65535, 300, 50, 300}, {0, 0, 65535, 300, 50, -300},  {32768, 0, 65535, 300, 50, 0},
        {49150, 0, 65535, 300, 50, 0},   {49151, 0, 65535, 300, 50, 0}, {57343, 0, 65535, 300, 50, 150},
        {65535, 0, 65535, 300, 100, 0},  {49151, 0, 65535, 1, 0, 1},    {16383, 0, 65535, 1, 0, -1},
        {5, 0, 10, 300, 0, 0},           {10, 0, 10, 300, 0, 300},      {0, 0, 1, 300, 0, 0},
        {65535, 0, 65535, -1, -1, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TJoystick::ConvertMultimediaAxis(c.pos, c.min, c.max, c.range, c.dead), c.out)
            << c.pos << " " << c.range << " " << c.dead;
}

TEST_F(Fx, FallbackPathUsesTheConversionAndAtMost32Buttons) {
    auto pad = fakeJoysticks.Add("Pad", 2, 40, 1);
    MakeInput();
    input->SetUseDirectInput(false);
    TJoystick& j = *input->Joystick();
    EXPECT_TRUE(j.Initialized());
    EXPECT_EQ(j.MultimediaJoystick(), 0);
    EXPECT_EQ(j.NumButtons(), 32);
    pad->Axes = {32767, -32768};
    pad->Buttons[1] = pad->Buttons[32] = true;
    input->Update();
    EXPECT_EQ(j.X(), 300);
    EXPECT_EQ(j.Y(), -300);
    EXPECT_FALSE(j.Button(32));
    EXPECT_EQ(input->States, (TInputStates{InputRight, InputUp, InputButton2}));
    EXPECT_EQ(j.Pov(0), 0xFFFFu);  // the multimedia interface's centred value
    pad->Axes = {0, 0};
    input->Update();
    EXPECT_EQ(j.X(), 0);
}

TEST_F(Fx, NoJoystickReportsNothing) {
    for (bool direct : {true, false}) {
        MakeInput();
        input->SetUseDirectInput(direct);
        TJoystick& j = *input->Joystick();
        input->Update();
        EXPECT_EQ(j.X(), 0);
        EXPECT_EQ(j.Y(), 0);
        EXPECT_TRUE(j.States().Empty());
        EXPECT_EQ(j.MultimediaJoystick(), -1);
        EXPECT_NO_THROW(j.Effects()->Find("eff1")->Start());
    }
}

TEST_F(Fx, DeviceReportingMoreThanTheRecordHoldsIsCut) {
    auto big = fakeJoysticks.Add("Big", 20, 300, 10);
    MakeInput();
    TJoystick& j = *input->Joystick();
    EXPECT_EQ(j.NumButtons(), 300);
    for (const TJoystickObject& o : j.DataFormat()) {
        int size = o.Type == TJoystickObject::Button ? 1 : 4;
        EXPECT_LE(o.Offset + size, TJoystick::StateSize);
    }
    EXPECT_LE(j.DataFormat().size(), size_t(TJoystick::MaxObjects));
    std::fill(big->Buttons.begin(), big->Buttons.end(), true);
    std::fill(big->Axes.begin(), big->Axes.end(), 32767);
    std::fill(big->Hats.begin(), big->Hats.end(), 9000u);
    input->Update();
    EXPECT_TRUE(j.Button(127));
    EXPECT_EQ(j.Pov(3), 9000u);
    // Nothing spilled into the blocks after the buttons.
    for (int i = TJoystick::ButtonOffset + 128; i < TJoystick::StateSize; ++i) EXPECT_EQ(j.JoyState()[i], 0) << i;
}

TEST_F(Fx, IdChoosesTheDeviceAndUnpluggingIsSafe) {
    auto first = fakeJoysticks.Add("First", 2, 4, 0);
    auto second = fakeJoysticks.Add("Second", 2, 4, 0);
    MakeInput();
    TJoystick& j = *input->Joystick();
    j.SetID(1);
    first->Axes[0] = 32767;
    second->Axes[0] = -32768;
    input->Update();
    EXPECT_EQ(j.X(), -300);

    fakeJoysticks.Remove(second);
    second->Axes[0] = 32767;
    input->Update();
    EXPECT_EQ(j.X(), 0);
    EXPECT_TRUE(input->States.Empty());
    fakeJoysticks.Attach(second);  // plugged back in: the old handle reads it again
    input->Update();
    EXPECT_EQ(j.X(), 300);

    j.SetID(5);  // no such joystick
    input->Update();
    EXPECT_FALSE(j.Initialized());
    EXPECT_EQ(j.X(), 0);
}

TEST_F(Fx, DeadZoneAndRangeSetters) {
    MakeInput(false);
    TJoystick& j = *input->Joystick();
    EXPECT_EQ(j.DeadZoneX(), 50);
    EXPECT_EQ(j.RangeZ(), 1000);
    j.SetDeadZoneX(150);
    EXPECT_EQ(j.DeadZoneX(), 100);
    j.SetDeadZoneY(-3);
    EXPECT_EQ(j.DeadZoneY(), 0);
    j.SetRangeX(-5);
    EXPECT_EQ(j.RangeX(), 0);
    j.SetRangeY(100000);
    EXPECT_EQ(j.RangeY(), 100000);
    j.SetDeadZone(32, 10);
    EXPECT_EQ(j.DeadZone(32), -1);
    j.SetDeadZone(271, 10);  // outside the settable offsets: ignored
    EXPECT_EQ(j.DeadZone(271), -1);
    j.SetDeadZone(500, 10);
    EXPECT_EQ(j.DeadZone(500), -1);
}

}  // namespace
