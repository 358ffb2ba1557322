// Effect trees: lookup, clamping, the stored form, and what reaches a haptic device.
#include "InputFixture.h"

namespace {

using Fx = InputFixture;
using platform::HapticEffectKind;

TEST_F(Fx, FindByNameAndPath) {
    MakeInput(false);
    TForceFeedbackEffects& root = *input->Joystick()->Effects();
    EXPECT_EQ(root.Name(), "Effects");
    auto* a = new TForceFeedbackEffect(&root);
    a->SetName("a");
    auto* ab = new TForceFeedbackEffect(a);
    ab->SetName("b");
    auto* dotted = new TForceFeedbackEffect(&root);
    dotted->SetName("a.b");
    auto* eff1 = new TForceFeedbackEffect(&root);
    eff1->SetName("eff1");
    auto* first = new TForceFeedbackEffect(ab);
    first->SetName("c");
    auto* second = new TForceFeedbackEffect(ab);
    second->SetName("c");

    EXPECT_EQ(root.Find("eff1"), eff1);
    EXPECT_EQ(root.Find("a.b"), dotted);   // the whole name first
    EXPECT_EQ(root.Find("a.b.c"), first);  // then the path; the first equal child wins
    EXPECT_EQ(a->Find("b"), ab);
    for (const char* missing : {"EFF1", "Eff1", "a.x", "x.b", "b", "", "a.b.c.d"}) {
        try {
            root.Find(missing);
            ADD_FAILURE() << missing;
        } catch (const EForceFeedbackEffectError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("Effect '") + missing + "' not found");
        }
    }
    delete dotted;  // a freed child leaves its parent
    EXPECT_EQ(root.Count(), 2);
    EXPECT_EQ(root.Find("a.b"), ab);
}

TEST_F(Fx, SettersClamp) {
    MakeInput(false);
    TForceFeedbackEffect& e = *new TForceFeedbackEffect(input->Joystick()->Effects());
    EXPECT_EQ(e.Period(), 50);
    EXPECT_EQ(e.Power(), 10000);
    EXPECT_EQ(e.Time(), 1000);
    e.SetPower(12000);
    EXPECT_EQ(e.Power(), 10000);
    e.SetTime(-5);
    EXPECT_EQ(e.Time(), 0);
    e.SetTime(-1);
    EXPECT_EQ(e.Time(), -1);
    e.SetAttackLevel(-1);
    EXPECT_EQ(e.AttackLevel(), 0);
    e.SetFadeLevel(20000);
    EXPECT_EQ(e.FadeLevel(), 10000);
    e.SetConstant(-20000, 20000);
    EXPECT_EQ(e.ConstantX(), -10000);
    EXPECT_EQ(e.ConstantY(), 10000);
    e.SetConditionY(-10001);
    EXPECT_EQ(e.ConditionY(), -10000);
    for (auto set : {&TForceFeedbackEffect::SetAttackTime, &TForceFeedbackEffect::SetFadeTime,
                     &TForceFeedbackEffect::SetPeriod, &TForceFeedbackEffect::SetStartDelayTime})
        (e.*set)(-7);
    EXPECT_EQ(e.AttackTime(), 0);
    EXPECT_EQ(e.FadeTime(), 0);
    EXPECT_EQ(e.Period(), 0);
    EXPECT_EQ(e.StartDelayTime(), 0);
}

TEST_F(Fx, ProgramTreesAndTheirStoredForm) {
    MakeInput();
    EXPECT_EQ(input->Joystick()->Effects()->Count(), 1);
    EXPECT_EQ(input->Keyboard()->Effects()->Count(), 0);
    EXPECT_THROW(input->Keyboard()->Effects()->Find("eff1"), EForceFeedbackEffectError);
    EXPECT_THROW(input->Mouse()->Effects()->Find("eff1"), EForceFeedbackEffectError);

    TForceFeedbackEffects& root = *input->Joystick()->Effects();
    // A deeper tree with every value off its default.
    auto* sub = new TForceFeedbackEffect(root.Find("eff1"));
    sub->SetName("sub");
    sub->SetAttackLevel(1);
    sub->SetAttackTime(2);
    sub->SetCondition(3, -4);
    sub->SetFadeLevel(5);
    sub->SetFadeTime(6);
    sub->SetTime(-1);
    sub->SetStartDelayTime(7);
    sub->SetEffectType(etCondition);

    std::vector<uint8_t> bytes = root.SaveToBytes();
    ASSERT_GT(bytes.size(), 40u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 10);
    EXPECT_EQ(bytes[2], 0);
    std::string name(reinterpret_cast<const char*>(&bytes[3]));
    EXPECT_EQ(name, "TFORCEFEEDBACKEFFECTCOMPONENT");
    size_t p = 3 + name.size() + 1;
    EXPECT_EQ(bytes[p] | bytes[p + 1] << 8, 0x1030);
    uint32_t len = bytes[p + 2] | bytes[p + 3] << 8 | bytes[p + 4] << 16 | uint32_t(bytes[p + 5]) << 24;
    EXPECT_EQ(len, bytes.size() - (p + 6));

    TDXInput other(form.get());
    TBinaryProperties props;
    input->Joystick()->WriteBinaryProperties(props);
    ASSERT_EQ(props.at(0).first, "Effects");
    ASSERT_TRUE(other.Joystick()->ReadBinaryProperty("Effects", props[0].second));
    TForceFeedbackEffects& copy = *other.Joystick()->Effects();
    EXPECT_EQ(copy.Name(), "Effects");
    EXPECT_EQ(copy.EffectType(), etNone);
    TForceFeedbackEffect* e1 = copy.Find("eff1");
    EXPECT_EQ(e1->EffectType(), etPeriodic);
    EXPECT_EQ(e1->ConstantX(), 10000);
    EXPECT_EQ(e1->ConstantY(), -10000);
    EXPECT_EQ(e1->Period(), 30);
    EXPECT_EQ(e1->Time(), 50);
    TForceFeedbackEffect* s = copy.Find("eff1.sub");
    EXPECT_EQ(s->EffectType(), etCondition);
    EXPECT_EQ((std::vector{s->AttackLevel(), s->AttackTime(), s->ConditionX(), s->ConditionY(), s->FadeLevel(),
                           s->FadeTime(), s->Time(), s->StartDelayTime(), s->Period()}),
              (std::vector{1, 2, 3, -4, 5, 6, -1, 7, 50}));
    EXPECT_EQ(copy.SaveToBytes(), bytes);

    // Bad bytes are refused and leave the tree as it was.
    for (std::vector<uint8_t> bad :
         {std::vector<uint8_t>{}, std::vector<uint8_t>{0xFE, 10, 0}, std::vector<uint8_t>{0xFF, 11, 0},
          std::vector<uint8_t>(bytes.begin(), bytes.end() - 3)}) {
        try {
            copy.LoadFromBytes(bad);
            ADD_FAILURE() << "accepted " << bad.size() << " bytes";
        } catch (const EForceFeedbackEffectError& e) { EXPECT_STREQ(e.what(), "Invalid stream format"); }
        EXPECT_EQ(copy.Find("eff1.sub")->Time(), -1);
    }
}

class HapticFx : public InputFixture {
protected:
    void SetUp() override {
        InputFixture::SetUp();
        pad = fakeJoysticks.Add("Wheel", 2, 8, 0, true);
        MakeInput();
        eff1 = input->Joystick()->Effects()->Find("eff1");
    }
    platform::fake::FakeHaptic& Haptic() { return *pad->Haptic; }
    std::shared_ptr<platform::fake::FakeJoystickDevice> pad;
    TForceFeedbackEffect* eff1 = nullptr;
};

TEST_F(HapticFx, Eff1IsAPeriodicEffectWithTheStatedParameters) {
    ASSERT_TRUE(input->Joystick()->ForceFeedbackCapable());
    EXPECT_EQ(Haptic().Autocenter, 100);
    ASSERT_EQ(Haptic().Effects.size(), 1u);  // built when the joystick initialised
    const platform::HapticEffectParams& p = Haptic().Effects[0]->Params;
    EXPECT_EQ(p.Kind, HapticEffectKind::Sine);  // the first periodic kind the device lists
    EXPECT_EQ(p.Duration, 50000u);
    EXPECT_EQ(p.Gain, 10000u);
    EXPECT_EQ(p.AxisCount, 2);
    EXPECT_EQ(p.Axes[0], 0u);
    EXPECT_EQ(p.Axes[1], 4u);
    EXPECT_EQ(p.Direction[0], -10000);
    EXPECT_EQ(p.Direction[1], 10000);
    EXPECT_EQ(p.Magnitude, 14142);
    EXPECT_EQ(p.Period, 30000u);
    EXPECT_EQ(p.Offset, 0);
    EXPECT_EQ(p.Phase, 0u);
    EXPECT_EQ(p.StartDelay, 0u);
    EXPECT_EQ(p.TriggerButton, platform::HapticNoButton);
    EXPECT_EQ(p.Envelope, platform::HapticEnvelope{});

    eff1->Start();
    EXPECT_EQ(Haptic().Effects[0]->Runs, 1);
    EXPECT_TRUE(eff1->Playing());
    eff1->Start();  // again while playing: restarted on the device
    EXPECT_EQ(Haptic().Effects[0]->Runs, 2);
    Haptic().Effects[0]->Playing = false;  // the device finished it
    EXPECT_FALSE(eff1->Playing());
    eff1->Start();
    eff1->Stop();
    EXPECT_EQ(Haptic().Effects[0]->Stops, 1);
    EXPECT_FALSE(eff1->Playing());
}

TEST_F(HapticFx, ChangesReachTheDeviceAndTheTypeRebuilds) {
    eff1->Start();
    eff1->SetPower(5000);
    auto& rec = *Haptic().Effects[0];
    ASSERT_EQ(rec.Updates.size(), 1u);
    EXPECT_EQ(rec.Updates[0].Gain, 5000u);
    EXPECT_EQ(rec.Runs, 2);  // handed on with the start flag while playing

    eff1->SetTime(-1);  // stops first, then an endless duration
    EXPECT_EQ(rec.Stops, 1);
    EXPECT_EQ(rec.Params.Duration, platform::HapticInfinite);
    eff1->SetAttackTime(20);
    eff1->SetFadeTime(30);
    EXPECT_EQ(rec.Params.Envelope.AttackTime, 20000u);  // endless: attack kept, fade dropped
    EXPECT_EQ(rec.Params.Envelope.FadeTime, 0u);

    eff1->SetConstant(300, 400);
    eff1->SetCondition(7000, -2000);
    eff1->SetEffectType(etCondition);  // two effects, one per axis
    EXPECT_TRUE(rec.Destroyed);
    ASSERT_EQ(Haptic().Effects.size(), 3u);
    const auto& x = Haptic().Effects[1]->Params;
    const auto& y = Haptic().Effects[2]->Params;
    EXPECT_EQ(x.Kind, HapticEffectKind::Spring);
    EXPECT_EQ(x.AxisCount, 1);
    EXPECT_EQ(x.Axes[0], 0u);
    EXPECT_EQ(y.Axes[0], 4u);
    EXPECT_EQ(x.Offset, 300);
    EXPECT_EQ(y.Offset, 400);
    EXPECT_EQ(x.PositiveCoefficient, 7000);
    EXPECT_EQ(x.NegativeCoefficient, -7000);
    EXPECT_EQ(y.PositiveCoefficient, -2000);

    eff1->SetEffectType(etConstantForce);
    ASSERT_EQ(Haptic().Effects.size(), 4u);
    EXPECT_EQ(Haptic().Effects[3]->Params.Kind, HapticEffectKind::Constant);
    EXPECT_EQ(Haptic().Effects[3]->Params.Magnitude, 500);
    EXPECT_EQ(Haptic().Effects[3]->Params.Direction[0], -300);
    EXPECT_EQ(Haptic().LiveEffects(), 1);
}

TEST_F(HapticFx, FinaliseReleasesAndReacquisitionBringsEndlessEffectsBack) {
    eff1->SetTime(-1);
    eff1->Start();
    EXPECT_EQ(Haptic().LiveEffects(), 1);

    TForm other("Other", 10, 10);
    ws.SetFocus(other.Handle());
    Pump();
    ws.SetFocus(form->Handle());  // activation: re-acquire and rebuild
    Pump();
    ASSERT_EQ(Haptic().Effects.size(), 2u);
    EXPECT_TRUE(Haptic().Effects[0]->Destroyed);
    EXPECT_EQ(Haptic().Effects[1]->Runs, 1);
    EXPECT_TRUE(eff1->Playing());

    input->Finalize();
    EXPECT_EQ(Haptic().LiveEffects(), 0);
    EXPECT_FALSE(eff1->Playing());
    eff1->Start();  // no device now: nothing happens
    EXPECT_EQ(Haptic().Effects.size(), 2u);
    EXPECT_FALSE(eff1->Playing());
}

TEST_F(HapticFx, NoEffectsWithoutForceFeedbackOrWhenRefused) {
    input->Joystick()->SetForceFeedback(false);
    EXPECT_EQ(Haptic().LiveEffects(), 0);
    eff1->Start();
    EXPECT_FALSE(eff1->Playing());
    input->Joystick()->SetForceFeedback(true);
    EXPECT_EQ(Haptic().LiveEffects(), 1);

    Haptic().RefuseCreate = true;
    eff1->SetTime(-1);
    eff1->SetEffectType(etConstantForce);
    eff1->Start();  // refused: no loop, no report
    EXPECT_FALSE(eff1->Playing());
    Haptic().RefuseCreate = false;
    Haptic().Supported = {HapticEffectKind::Constant};
    eff1->SetEffectType(etPeriodic);  // the device has no periodic kind
    EXPECT_EQ(Haptic().LiveEffects(), 0);
}

TEST_F(HapticFx, JoysticksWithoutAHapticEffectRumbleInstead) {
    eff1->Start();  // the haptic path: no rumble besides it
    EXPECT_TRUE(pad->Rumbles.empty());

    // The device lists no periodic kind: "eff1" rumbles, the small motor at full strength.
    Haptic().Supported = {HapticEffectKind::Constant};
    input->Initialize();
    eff1->Start();
    ASSERT_EQ(pad->Rumbles.size(), 1u);
    EXPECT_EQ(pad->Rumbles[0].High, 65535);
    EXPECT_EQ(pad->Rumbles[0].Low, 32767);
    EXPECT_EQ(pad->Rumbles[0].Ms, 50u);
    EXPECT_FALSE(eff1->Playing());  // nothing the device could report on
    eff1->Stop();
    ASSERT_EQ(pad->Rumbles.size(), 2u);
    EXPECT_EQ(pad->Rumbles[1].High + pad->Rumbles[1].Low + pad->Rumbles[1].Ms, 0u);

    // A stick without force feedback at all rumbles too; with ForceFeedback off nothing does.
    fakeJoysticks.Remove(pad);
    auto plain = fakeJoysticks.Add("Plain", 2, 4, 0, false);
    input->Initialize();
    eff1->Start();
    EXPECT_EQ(plain->Rumbles.size(), 1u);
    input->Joystick()->SetForceFeedback(false);
    eff1->Start();
    EXPECT_EQ(plain->Rumbles.size(), 1u);
}

}  // namespace
