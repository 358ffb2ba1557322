// Keyboard states through the binding table, on both reading paths, and the component's
// press/release rule.
#include "InputFixture.h"
#include "input/Gamepad.h"

#include <sstream>

#include "platform/KeyNames.h"
#include "platform/Settings.h"

namespace {

using Fx = InputFixture;

TEST(ScanCodeTable, TranslatesWithItsSharedCodes) {
    struct Case {
        int scan, vk;
    } cases[] = {
        {1, 27},   {2, 49},   {10, 57},  {11, 48},   {12, 0},   {13, 61},  {17, 87},  {26, 91},  {219, 91}, {28, 13},
        {156, 13}, {29, 17},  {157, 17}, {30, 65},   {39, 59},  {40, 39},  {205, 39}, {41, 0},   {42, 16},  {54, 16},
        {43, 92},  {220, 92}, {44, 90},  {50, 77},   {52, 46},  {211, 46}, {55, 42},  {56, 18},  {184, 18}, {57, 32},
        {59, 112}, {68, 121}, {71, 103}, {72, 104},  {74, 109}, {77, 102}, {78, 107}, {79, 97},  {82, 96},  {83, 110},
        {84, 0},   {87, 122}, {88, 123}, {181, 111}, {199, 36}, {200, 38}, {201, 33}, {203, 37}, {207, 35}, {208, 40},
        {209, 34}, {210, 45}, {212, 0},  {255, 0},   {-1, 0},   {256, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(TKeyboard::ScanCodeToVirtualKey(c.scan), c.vk) << "scan " << c.scan;
}

TEST_F(Fx, ApostropheSteersRightAndKeypadStarNeverFiresOnTheScanCodePath) {
    MakeInput();
    Press(222, 40);  // apostrophe
    EXPECT_TRUE(Frame().Contains(InputRight));
    EXPECT_TRUE(input->Keyboard()->Keys(39));
    Release(222, 40);
    EXPECT_FALSE(Frame().Contains(InputRight));

    Press(106, 55);  // keypad *: translates to 42, the binding 106 never matches
    EXPECT_FALSE(Frame().Contains(InputButton1));
    EXPECT_TRUE(input->Keyboard()->Keys(42));
    Press(90);  // Z still fires
    EXPECT_TRUE(Frame().Contains(InputButton1));
}

TEST_F(Fx, FallbackPathReadsVirtualKeysSoKeypadStarFires) {
    MakeInput();
    input->SetUseDirectInput(false);
    EXPECT_FALSE(input->DirectInput());
    Press(106, 55);
    EXPECT_TRUE(Frame().Contains(InputButton1));
    Release(106, 55);
    Press(222, 40);  // the apostrophe is its own key here
    EXPECT_TRUE(Frame().Empty());
}

TEST_F(Fx, ProgramBindingsSetTheirStatesOnBothPaths) {
    MakeInput();
    struct Case {
        int vk;
        TInputState state;
    } cases[] = {{87, InputUp},      {38, InputUp},     {104, InputUp},     {83, InputDown},    {40, InputDown},
                 {98, InputDown},    {65, InputLeft},   {37, InputLeft},    {100, InputLeft},   {68, InputRight},
                 {39, InputRight},   {102, InputRight}, {90, InputButton1}, {32, InputButton1}, {88, InputButton2},
                 {16, InputButton2}, {9, InputButton3}, {113, InputButton9}};
    for (bool direct : {true, false}) {
        input->SetUseDirectInput(direct);
        for (const Case& c : cases) {
            Press(c.vk);
            EXPECT_EQ(Frame(), TInputStates{c.state}) << "vk " << c.vk << " direct " << direct;
            Release(c.vk);
            EXPECT_TRUE(Frame().Empty());
        }
    }
}

TEST_F(Fx, StatesChangeOnlyOnPressAndRelease) {
    MakeInput();
    // W and Up together: releasing one keeps InputUp.
    Press(87);
    Press(38);
    EXPECT_TRUE(Frame().Contains(InputUp));
    Release(87);
    EXPECT_TRUE(Frame().Contains(InputUp));
    Release(38);
    EXPECT_FALSE(Frame().Contains(InputUp));

    // A state the program removes stays out while the key is held, and returns on a new press.
    Press(39);
    EXPECT_TRUE(Frame().Contains(InputRight));
    input->States.Exclude(InputRight);
    EXPECT_FALSE(Frame().Contains(InputRight));
    EXPECT_FALSE(Frame().Contains(InputRight));
    Release(39);
    EXPECT_FALSE(Frame().Contains(InputRight));
    Press(39);
    EXPECT_TRUE(Frame().Contains(InputRight));
}

TEST_F(Fx, BindingZeroNeverMatchesEvenWhenAnUntranslatableKeyIsDown) {
    MakeInput();
    input->Keyboard()->Assigns()[InputButton5] = {0, 0, 0};
    Press(0, 84);  // a scan code with no virtual key
    Frame();
    EXPECT_EQ(input->Keyboard()->KeyTable()[0], 128);
    EXPECT_FALSE(input->Keyboard()->Keys(0));
    EXPECT_TRUE(input->States.Empty());
}

TEST_F(Fx, BackgroundWindowReleasesEverythingUnlessActiveOnlyIsOff) {
    TForm other("Other", 100, 100);
    MakeInput();
    Press(39);
    EXPECT_TRUE(Frame().Contains(InputRight));
    ws.SetFocus(other.Handle());
    Pump();
    EXPECT_TRUE(Frame().Empty());
    EXPECT_FALSE(input->Keyboard()->Keys(39));

    input->SetActiveOnly(false);
    EXPECT_EQ(input->Keyboard()->CooperativeLevel(), DISCL_NONEXCLUSIVE | DISCL_BACKGROUND);
    EXPECT_TRUE(Frame().Contains(InputRight));

    input->SetActiveOnly(true);
    EXPECT_TRUE(Frame().Empty());
    ws.SetFocus(form->Handle());
    Pump();
    EXPECT_TRUE(Frame().Contains(InputRight));
}

TEST_F(Fx, StoredBindingTable) {
    MakeInput(false);
    TKeyboard& k = *input->Keyboard();
    EXPECT_EQ(k.Assigns(), TKeyboard::DefaultAssigns());
    EXPECT_EQ(k.Assigns()[InputUp], (TKeyboard::TKeyAssign{75, 38, 104}));
    EXPECT_EQ(k.Assigns()[InputButton2], (TKeyboard::TKeyAssign{88, 13, 0}));

    k.Assigns() = TKeyboard::GameAssigns();
    k.Assigns()[InputButton32] = {-2, 0x12345678, 255};
    std::vector<uint8_t> bytes = k.SaveAssigns();
    ASSERT_EQ(bytes.size(), 432u);
    EXPECT_EQ((std::vector<uint8_t>(bytes.begin(), bytes.begin() + 12)),
              (std::vector<uint8_t>{87, 0, 0, 0, 38, 0, 0, 0, 104, 0, 0, 0}));
    EXPECT_EQ((std::vector<uint8_t>(bytes.end() - 12, bytes.end() - 4)),
              (std::vector<uint8_t>{0xFE, 0xFF, 0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12}));

    TBinaryProperties props;
    k.WriteBinaryProperties(props);
    ASSERT_EQ(props.size(), 2u);
    EXPECT_EQ(props[1].first, "Assigns");

    for (const char* name : {"Assigns", "Aissgns"}) {
        TDXInput fresh(form.get());
        EXPECT_TRUE(fresh.Keyboard()->ReadBinaryProperty(name, bytes));
        EXPECT_EQ(fresh.Keyboard()->Assigns(), k.Assigns()) << name;
    }
    // A short table is refused and leaves the old one whole.
    TKeyboard::TKeyAssignList before = k.Assigns();
    bytes.resize(431);
    EXPECT_THROW(k.ReadBinaryProperty("Assigns", bytes), EDXInputError);
    EXPECT_EQ(k.Assigns(), before);
    EXPECT_FALSE(k.ReadBinaryProperty("Other", bytes));
}

TEST_F(Fx, MouseIsOffAndNeedsTheDirectPath) {
    MakeInput();
    TMouse& m = *input->Mouse();
    EXPECT_FALSE(m.Enabled());
    EXPECT_FALSE(m.BindInputStates());
    EXPECT_FALSE(m.Initialized());

    m.SetEnabled(true);  // direct path: works
    EXPECT_TRUE(m.Initialized());
    ws.MoveMouse(10, 10);
    ws.MoveMouse(4, 30);
    Pump();
    input->Update();
    EXPECT_EQ(m.X(), -6);
    EXPECT_EQ(m.Y(), 20);
    EXPECT_EQ(m.States(), (TInputStates{InputLeft, InputDown}));
    EXPECT_TRUE(input->States.Empty());  // not bound

    try {
        input->SetUseDirectInput(false);
        FAIL() << "no error";
    } catch (const EDXInputError& e) { EXPECT_STREQ(e.what(), "DirectInput is necessary to use the mouse"); }
    m.SetEnabled(false);
    EXPECT_THROW(m.SetEnabled(true), EDXInputError);
}

TEST_F(Fx, ComponentNeedsAForm) {
    try {
        TDXInput bad(nullptr);
        FAIL() << "no error";
    } catch (const EDXInputError& e) { EXPECT_STREQ(e.what(), "Form not found"); }
}

TEST_F(Fx, DevicesInListOrderWithTheirCooperativeLevels) {
    fakeJoysticks.Add("Pad", 2, 4, 1, true);
    MakeInput();
    // The game pads come after the three described devices.
    ASSERT_EQ(input->Devices().size(), 4u);
    EXPECT_EQ(input->Devices()[0], input->Joystick());
    EXPECT_EQ(input->Devices()[1], input->Keyboard());
    EXPECT_EQ(input->Devices()[2], input->Mouse());
    EXPECT_EQ(input->Devices()[3], input->Gamepad());
    EXPECT_EQ(input->Joystick()->CoopLevelFlags(), DISCL_EXCLUSIVE | DISCL_FOREGROUND);
    EXPECT_EQ(input->Keyboard()->CoopLevelFlags(), DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    input->Joystick()->SetForceFeedback(false);
    EXPECT_EQ(input->Joystick()->CoopLevelFlags(), DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
}

}  // namespace

namespace {

TEST(KeyNames, EveryNamedKeyCanBePressedOnTheScanCodePath) {
    // A name the settings accept must be a key the keyboard can report; the keypad * key is
    // the one described exception (its scan code reads as 42, so it fires on the other path only).
    for (const std::string& name : platform::AllKeyNames()) {
        const int code = *platform::KeyCodeFromName(name);
        bool reachable = false;
        for (int scan = 1; scan < 256; ++scan) reachable |= TKeyboard::ScanCodeToVirtualKey(scan) == code;
        EXPECT_TRUE(reachable || name == "Keypad *") << name;
        EXPECT_EQ(platform::KeyNameFromCode(code), name);
    }
}

TEST(KeyNames, SettingsDefaultsGiveTheProgramsBindingsAndOverridesReplaceWholeStates) {
    EXPECT_EQ(TKeyboard::GameAssigns(platform::TSettings()), TKeyboard::GameAssigns());

    std::ostringstream warn;
    const auto s = platform::TSettings::Parse("keys_fire = Q\nkeys_up = i, page up\nkeys_next =\n", "t", warn);
    ASSERT_EQ(warn.str(), "");
    auto expected = TKeyboard::GameAssigns();
    expected[InputButton1] = {81, 0, 0};
    expected[InputUp] = {73, 33, 0};
    expected[InputButton3] = {0, 0, 0};
    EXPECT_EQ(TKeyboard::GameAssigns(s), expected);  // F2 of InputButton9 stays
}

TEST_F(Fx, AReboundKeySetsItsStateOnBothPaths) {
    std::ostringstream warn;
    platform::CurrentSettings() = platform::TSettings::Parse("keys_fire = Q, Keypad 5\n", "t", warn);
    for (const bool direct : {true, false}) {
        MakeInput();
        input->SetUseDirectInput(direct);
        Press(81, 16);  // Q
        EXPECT_TRUE(Frame().Contains(InputButton1)) << direct;
        Release(81, 16);
        Press(90, 44);  // Z, the default, no longer fires
        EXPECT_FALSE(Frame().Contains(InputButton1)) << direct;
        Release(90, 44);
    }
    platform::CurrentSettings() = platform::TSettings();
}

}  // namespace
