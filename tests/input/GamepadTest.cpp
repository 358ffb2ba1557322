// Game pads: SDL virtual pads read through the pad system, their layout as input states,
// the messages of presses and of pads coming and going, rumble for "eff1", the mapping
// file, and the raw joystick path leaving pads alone.
#include <SDL.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "InputFixture.h"
#include "input/Gamepad.h"
#include "platform/Settings.h"
#include "platform/sdl/SdlGamepad.h"
#include "platform/sdl/SdlJoystick.h"
#include "tests/VirtualPad.h"

namespace {

using platform::Message;
using platform::MsgKind;

struct RumbleLog {
    std::vector<std::pair<int, int>> Calls;  // (low, high) as the device was told
};

int SDLCALL RecordRumble(void* user, Uint16 low, Uint16 high) {
    static_cast<RumbleLog*>(user)->Calls.emplace_back(low, high);
    return VirtualDeviceDone();
}

// A virtual pad SDL reads as a game controller (every button and axis of the layout).
int AttachPad(RumbleLog* log, const char* name = "Test Pad") {
    SDL_VirtualJoystickDesc d = VirtualPadDesc(name);
    d.userdata = log;
    d.Rumble = log ? RecordRumble : nullptr;
    return SDL_JoystickAttachVirtualEx(&d);
}

class PadFx : public InputFixture {
protected:
    platform::IJoystickSystem* joysticks() override { return sdlJoysticks.get(); }
    void SetUp() override {
        pads = std::make_unique<platform::sdl::SdlGamepadSystem>(warn);
        sdlJoysticks = platform::sdl::CreateJoystickSystem();
        InputFixture::SetUp();
        platform::Current().Gamepads = pads.get();
        ASSERT_TRUE(pads->Available());
    }
    void TearDown() override {
        InputFixture::TearDown();
        for (int i = SDL_NumJoysticks() - 1; i >= 0; --i)
            if (SDL_JoystickIsVirtual(i)) SDL_JoystickDetachVirtual(i);
        Events();
        sdlJoysticks.reset();
        pads.reset();
        platform::CurrentSettings() = platform::TSettings();
    }

    // SDL's events through the pad system; what it posts is kept.
    std::vector<Message> Events() {
        std::vector<Message> out;
        SDL_Event e;
        while (SDL_PollEvent(&e)) pads->HandleEvent(e, [&](Message m) { out.push_back(std::move(m)); });
        return out;
    }
    // The SDL joystick of the pad at device index i, for setting its controls.
    SDL_Joystick* Handle(int instance) { return SDL_JoystickFromInstanceID(instance); }
    int Attach(RumbleLog* log = nullptr) {
        int index = AttachPad(log);
        EXPECT_GE(index, 0) << SDL_GetError();
        int id = SDL_JoystickGetDeviceInstanceID(index);
        auto added = Events();
        EXPECT_EQ(pads->Pads().size() > 0, true);
        return id;
    }
    void Set(int id, int button, bool down) { SDL_JoystickSetVirtualButton(Handle(id), button, down ? 1 : 0); }
    void SetAxis(int id, int axis, int v) { SDL_JoystickSetVirtualAxis(Handle(id), axis, static_cast<Sint16>(v)); }

    std::ostringstream warn;
    std::unique_ptr<platform::sdl::SdlGamepadSystem> pads;
    std::unique_ptr<platform::IJoystickSystem> sdlJoysticks;
};

TEST_F(PadFx, LayoutHoldsTheStatesOfTheKeysAndTheRawPathLeavesThePadAlone) {
    int id = Attach();
    MakeInput();
    // Read once, by the pad system: the joystick path sees no device.
    EXPECT_EQ(sdlJoysticks->Count(), 0);
    EXPECT_FALSE(input->Joystick()->Initialized());

    struct Case {
        int button;
        TInputStates states;
    } cases[] = {
        {SDL_CONTROLLER_BUTTON_A, {InputButton1}},
        {SDL_CONTROLLER_BUTTON_X, {InputButton2}},
        {SDL_CONTROLLER_BUTTON_B, {InputButton2}},
        {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, {InputButton3}},
        {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, {InputButton3}},
        {SDL_CONTROLLER_BUTTON_Y, {InputButton3}},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, {InputUp}},
        {SDL_CONTROLLER_BUTTON_DPAD_DOWN, {InputDown}},
        {SDL_CONTROLLER_BUTTON_DPAD_LEFT, {InputLeft}},
        {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, {InputRight}},
        {SDL_CONTROLLER_BUTTON_START, {}},
        {SDL_CONTROLLER_BUTTON_BACK, {}},
    };
    for (const Case& c : cases) {
        Set(id, c.button, true);
        Events();
        EXPECT_EQ(Frame(), c.states) << "button " << c.button;
        Set(id, c.button, false);
        Events();
        EXPECT_TRUE(Frame().Empty()) << "button " << c.button;
    }

    // The stick steers digitally, outside a dead zone of 35 % of its travel; the joystick's
    // analogue X and Y stay 0, so the ship keeps its bounds and its guns.
    struct Stick {
        int x, y;
        TInputStates states;
    } sticks[] = {
        {11000, 0, {}},         {12000, 0, {InputRight}}, {-32768, 0, {InputLeft}},
        {0, -12000, {InputUp}}, {0, 32767, {InputDown}},  {20000, 20000, {InputRight, InputDown}},
    };
    for (const Stick& s : sticks) {
        SetAxis(id, SDL_CONTROLLER_AXIS_LEFTX, s.x);
        SetAxis(id, SDL_CONTROLLER_AXIS_LEFTY, s.y);
        Events();
        EXPECT_EQ(Frame(), s.states) << s.x << ", " << s.y;
        EXPECT_EQ(input->Joystick()->X(), 0);
    }
}

TEST_F(PadFx, PressesBecomeOneMessageEachAndTheStickHasHysteresis) {
    int id = Attach();
    Set(id, SDL_CONTROLLER_BUTTON_A, true);
    auto down = Events();
    ASSERT_EQ(down.size(), 1u);
    EXPECT_EQ(down[0].Kind, MsgKind::PadDown);
    EXPECT_EQ(down[0].Button, platform::PadA);
    EXPECT_EQ(down[0].Param, id);
    EXPECT_TRUE(Events().empty());  // held: nothing more, no repeat
    Set(id, SDL_CONTROLLER_BUTTON_A, false);
    auto up = Events();
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(up[0].Kind, MsgKind::PadUp);

    // Left stick Y: pressed at half travel, released only below a quarter.
    struct Step {
        int y;
        std::vector<std::pair<MsgKind, int>> msgs;
    } steps[] = {
        {16000, {}},
        {16384, {{MsgKind::PadDown, platform::PadStickDown}}},
        {9000, {}},
        {16384, {}},
        {8192, {{MsgKind::PadUp, platform::PadStickDown}}},
        {-32768, {{MsgKind::PadDown, platform::PadStickUp}}},
        {32767, {{MsgKind::PadUp, platform::PadStickUp}, {MsgKind::PadDown, platform::PadStickDown}}},
        {0, {{MsgKind::PadUp, platform::PadStickDown}}},
    };
    for (const Step& s : steps) {
        SetAxis(id, SDL_CONTROLLER_AXIS_LEFTY, s.y);
        auto got = Events();
        std::vector<std::pair<MsgKind, int>> kinds;
        for (auto& m : got) kinds.emplace_back(m.Kind, m.Button);
        EXPECT_EQ(kinds, s.msgs) << "y " << s.y;
    }
}

TEST_F(PadFx, HotPlugOpensAtOnceAndAPulledPadLeavesNothingHeld) {
    MakeInput();
    EXPECT_TRUE(pads->Pads().empty());
    int index = AttachPad(nullptr);
    ASSERT_GE(index, 0);
    int id = SDL_JoystickGetDeviceInstanceID(index);
    auto added = Events();
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].Kind, MsgKind::PadAdded);
    EXPECT_EQ(added[0].Param, id);
    EXPECT_EQ(input->Gamepad()->Count(), 1);

    Set(id, SDL_CONTROLLER_BUTTON_A, true);
    Events();
    EXPECT_EQ(Frame(), TInputStates{InputButton1});

    SDL_JoystickDetachVirtual(index);
    auto removed = Events();
    ASSERT_FALSE(removed.empty());
    EXPECT_EQ(removed.back().Kind, MsgKind::PadRemoved);
    EXPECT_EQ(removed.back().Param, id);
    EXPECT_TRUE(Frame().Empty());
    EXPECT_EQ(input->Gamepad()->Count(), 0);
}

TEST_F(PadFx, UsedPressStaysOutUntilReleased) {
    int id = Attach();
    MakeInput();
    Set(id, SDL_CONTROLLER_BUTTON_A, true);
    Events();
    input->Gamepad()->Consume(platform::PadA);
    EXPECT_TRUE(Frame().Empty());
    EXPECT_TRUE(Frame().Empty());
    Set(id, SDL_CONTROLLER_BUTTON_A, false);
    Events();
    Frame();
    Set(id, SDL_CONTROLLER_BUTTON_A, true);
    Events();
    EXPECT_EQ(Frame(), TInputStates{InputButton1});
}

TEST_F(PadFx, Eff1RumblesThePadForItsOwnLengthUnlessRumbleIsOff) {
    RumbleLog log;
    Attach(&log);
    MakeInput();
    input->Joystick()->Effects()->Find("eff1")->Start();
    ASSERT_EQ(log.Calls.size(), 1u);
    // 30 ms period: a fast shake, on the high-frequency motor; full strength.
    EXPECT_EQ(log.Calls[0], std::make_pair(32767, 65535));
    SDL_Delay(120);  // eff1 lasts 50 ms
    SDL_GameControllerUpdate();
    ASSERT_EQ(log.Calls.size(), 2u);
    EXPECT_EQ(log.Calls[1], std::make_pair(0, 0));

    // The setting switches it off alone.
    log.Calls.clear();
    input.reset();
    platform::CurrentSettings().Set("rumble", "off");
    MakeInput();
    EXPECT_FALSE(input->Joystick()->ForceFeedback());
    input->Joystick()->Effects()->Find("eff1")->Start();
    EXPECT_TRUE(log.Calls.empty());
}

TEST(Rumble, StrengthAndLengthComeFromTheEffect) {
    platform::fake::FakeClock clock;
    platform::fake::FakeWindowSystem ws{clock};
    platform::Install({.Clock = &clock, .Windows = &ws});
    {
        TForm form("F", 10, 10);
        TDXInput input(&form);
        auto* e = new TForceFeedbackEffect(input.Keyboard()->Effects());
        struct Case {
            TForceFeedbackEffectType type;
            int cx, cy, period, power, time;
            TRumble want;
        } cases[] = {
            {etPeriodic, 10000, -10000, 30, 10000, 50, {32767, 65535, 50}},  // "eff1": capped at full
            {etPeriodic, 6000, 8000, 100, 10000, 200, {65535, 32767, 200}},  // slow: the big motor
            {etConstantForce, 5000, 0, 50, 5000, 1000, {16383, 8191, 1000}},
            {etConstantForce, 10000, 0, 50, 10000, -1, {65535, 32767, 0xFFFFFFFFu}},
            {etPeriodic, 10000, 0, 30, 10000, 0, {}},
            {etPeriodic, 10000, 0, 30, 0, 50, {}},
            {etCondition, 10000, 10000, 30, 10000, 50, {}},
            {etNone, 10000, 0, 30, 10000, 50, {}},
        };
        for (const Case& c : cases) {
            e->SetEffectType(c.type);
            e->SetConstant(c.cx, c.cy);
            e->SetPeriod(c.period);
            e->SetPower(c.power);
            e->SetTime(c.time);
            TRumble r = RumbleFor(*e);
            EXPECT_EQ(r.Empty(), c.want.Empty()) << c.type << " " << c.cx;
            if (!c.want.Empty()) {
                EXPECT_EQ(r, c.want) << c.type << " " << c.cx << " " << r.Low << "/" << r.High << "/" << r.Ms;
            }
        }
    }
    platform::Install({});
}

TEST_F(PadFx, MappingFileBesideTheSettingsAddsMappingsAndABadOneIsAWarning) {
    auto dir = std::filesystem::temp_directory_path() / ("sb-pads-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "data/all_qrx");
    auto old = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    pads.reset();

    const char* guid = "03000000aaaa0000bbbb000000000000";
    std::ofstream(dir / "data/all_qrx/gamecontrollerdb.txt")
        << "# a comment line\n"
        << guid << ",Made-up Pad,a:b1,b:b0,x:b3,y:b2,leftx:a0,lefty:a1,platform:Linux,\n";
    std::ostringstream good;
    pads = std::make_unique<platform::sdl::SdlGamepadSystem>(good);
    EXPECT_EQ(good.str(), "");
    char* mapping = SDL_GameControllerMappingForGUID(SDL_JoystickGetGUIDFromString(guid));
    ASSERT_NE(mapping, nullptr);
    EXPECT_NE(std::string(mapping).find("Made-up Pad"), std::string::npos);
    SDL_free(mapping);
    pads.reset();

    std::ofstream(dir / "data/all_qrx/gamecontrollerdb.txt", std::ios::trunc) << "\x01\x02 not a mapping at all\n";
    std::ostringstream bad;
    pads = std::make_unique<platform::sdl::SdlGamepadSystem>(bad);
    EXPECT_TRUE(pads->Available());
    const std::string said = bad.str();
    EXPECT_NE(said.find("gamecontrollerdb.txt"), std::string::npos);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;

    std::filesystem::current_path(old);
    std::filesystem::remove_all(dir);
}

}  // namespace
