// The input component and this program's input settings.
#include "input/InputComponent.h"

#include "engine/Forms.h"
#include "input/ForceFeedbackEffect.h"
#include "input/Gamepad.h"
#include "input/Joystick.h"
#include "input/Keyboard.h"
#include "input/Mouse.h"
#include "platform/Platform.h"
#include "platform/Settings.h"

TCustomDXInput::TCustomDXInput(TForm* owner) : form_(owner) {
    if (!form_) throw EDXInputError("Form not found");
    joystick_ = new TJoystick(this);
    keyboard_ = new TKeyboard(this);
    mouse_ = new TMouse(this);
    gamepad_ = new TGamepad(this);
    form_->AddWindowHook(this, [this](const platform::Message& m) {
        switch (m.Kind) {
            case platform::MsgKind::Activate: Reacquire(); break;
            case platform::MsgKind::MouseMove:
            case platform::MsgKind::MouseDown:
            case platform::MsgKind::MouseUp:
                if (mouse_) mouse_->MouseMessage(m);
                break;
            default: break;
        }
    });
    Application().AddMessageHook(this, [this](const platform::Message& m) {
        if (m.Kind == platform::MsgKind::AppActivate) Reacquire();
    });
}

TCustomDXInput::~TCustomDXInput() {
    destroying_ = true;
    Finalize();
    Application().RemoveMessageHook(this);
    if (form_) form_->RemoveWindowHook(this);
    delete joystick_;
    delete keyboard_;
    delete mouse_;
    delete gamepad_;
    joystick_ = nullptr;
    keyboard_ = nullptr;
    mouse_ = nullptr;
    gamepad_ = nullptr;
    while (!devices_.empty()) delete devices_.back();  // a device unlinks itself
}

bool TCustomDXInput::IsForeground() const {
    platform::IWindowSystem* ws = platform::Current().Windows;
    return ws && form_->Handle() != 0 && ws->FocusWindow() == form_->Handle();
}

void TCustomDXInput::Finalize() {
    for (TCustomInput* d : devices_) d->Finalize();
    directInput_ = false;
}

void TCustomDXInput::Initialize() {
    Finalize();
    if (useDirectInput_) directInput_ = true;
    for (TCustomInput* d : std::vector(devices_)) d->Initialize();
    ApplyCoopLevels();
    Update();
}

void TCustomDXInput::ApplyCoopLevels() {
    for (TCustomInput* d : devices_)
        if (d->HasDevice()) d->SetCooperativeLevel(d->CoopLevelFlags());
}

void TCustomDXInput::Reacquire() {
    if (destroying_) return;
    for (TCustomInput* d : std::vector(devices_)) d->Acquire();
}

void TCustomDXInput::Update() {
    TInputStates now;
    for (TCustomInput* d : devices_) {
        d->Update();
        if (d->BindInputStates()) now |= d->States();
    }
    for (int n = 0; n < InputStateCount; ++n) {
        auto s = static_cast<TInputState>(n);
        if (now.Contains(s) && !oldStates_.Contains(s)) States.Include(s);
        if (!now.Contains(s) && oldStates_.Contains(s)) States.Exclude(s);
    }
    oldStates_ = now;
}

void TCustomDXInput::SetActiveOnly(bool on) {
    if (on == activeOnly_) return;
    activeOnly_ = on;
    if (!loading_) ApplyCoopLevels();
}

void TCustomDXInput::SetUseDirectInput(bool on) {
    if (on == useDirectInput_) return;
    useDirectInput_ = on;
    if (!loading_) Initialize();
}

void TCustomDXInput::EndLoading() {
    loading_ = false;
    Initialize();
}

// ---------------------------------------------------------------------------------------
// This program's settings

void TDXInput::ApplyGameSettings() {
    BeginLoading();
    try {
        SetActiveOnly(true);
        SetUseDirectInput(true);

        TJoystick* j = Joystick();
        j->SetBindInputStates(true);
        j->SetEnabled(true);
        // The rumble setting switches force feedback (and the pads' rumble) off alone.
        j->SetForceFeedback(platform::CurrentSettings().GetBool("rumble"));
        j->SetAutoCenter(true);
        j->SetDeadZoneX(50);
        j->SetDeadZoneY(50);
        j->SetDeadZoneZ(50);
        j->SetID(0);
        j->SetRangeX(300);
        j->SetRangeY(300);
        j->SetRangeZ(300);
        TForceFeedbackEffects* root = j->Effects();
        root->Clear();
        auto* eff1 = new TForceFeedbackEffect(root);
        eff1->SetName("eff1");
        eff1->SetConstant(10000, -10000);
        eff1->SetPeriod(30);
        eff1->SetPower(10000);
        eff1->SetTime(50);
        eff1->SetStartDelayTime(0);
        eff1->SetEffectType(etPeriodic);

        TKeyboard* k = Keyboard();
        k->SetBindInputStates(true);
        k->SetEnabled(true);
        k->SetForceFeedback(false);
        k->Assigns() = TKeyboard::GameAssigns(platform::CurrentSettings());
        k->Effects()->Clear();

        TMouse* m = Mouse();
        m->SetBindInputStates(false);
        m->SetEnabled(false);
        m->SetForceFeedback(false);
        m->Effects()->Clear();

        TGamepad* g = Gamepad();
        g->SetBindInputStates(true);
        g->SetEnabled(true);
        g->SetForceFeedback(false);
        g->Effects()->Clear();
    } catch (...) {
        loading_ = false;
        throw;
    }
    EndLoading();
}
