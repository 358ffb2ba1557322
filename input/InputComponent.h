// The input component: joystick, keyboard and mouse polled once per frame into a set of
// abstract input states through a binding table.
//
// Two ways to read the devices, chosen by UseDirectInput:
//  - the direct path: the keyboard as PC set-1 scan codes translated to virtual keys by our
//    own table, the joystick through the joystick seam with range and dead zone applied per
//    axis here as the device would, devices acquired under a cooperative level;
//  - the fallback path: the window system's virtual-key state and the joystick's raw
//    positions through the multimedia conversion formula. The mouse needs the direct path.
#pragma once

#include <vector>

#include "input/InputStates.h"

class TForm;
class TCustomInput;
class TGamepad;
class TJoystick;
class TKeyboard;
class TMouse;

class TCustomDXInput {
public:
    // owner: the form the component sits on ("Form not found" without one).
    explicit TCustomDXInput(TForm* owner);
    virtual ~TCustomDXInput();
    TCustomDXInput(const TCustomDXInput&) = delete;
    TCustomDXInput& operator=(const TCustomDXInput&) = delete;

    void Initialize();
    void Finalize();
    // Once per frame: poll every device, then change States on presses and releases only.
    void Update();

    // The set the game reads (and may change: a removed state stays out until re-pressed).
    TInputStates States;

    bool ActiveOnly() const { return activeOnly_; }
    void SetActiveOnly(bool on);
    bool UseDirectInput() const { return useDirectInput_; }
    void SetUseDirectInput(bool on);

    TJoystick* Joystick() const { return joystick_; }
    TKeyboard* Keyboard() const { return keyboard_; }
    TMouse* Mouse() const { return mouse_; }
    // The game pads, a device of their own after the three described ones.
    TGamepad* Gamepad() const { return gamepad_; }
    const std::vector<TCustomInput*>& Devices() const { return devices_; }
    TForm* Form() const { return form_; }
    // The direct path is in use (set by Initialize).
    bool DirectInput() const { return directInput_; }
    // The owning form's window holds the keyboard focus.
    bool IsForeground() const;

    // Settings are being read: setters do not re-initialise; EndLoading initialises.
    bool Loading() const { return loading_; }
    void BeginLoading() { loading_ = true; }
    void EndLoading();

protected:
    bool loading_ = false;

private:
    friend class TCustomInput;
    void ApplyCoopLevels();
    void Reacquire();

    bool activeOnly_ = true;
    std::vector<TCustomInput*> devices_;
    bool directInput_ = false;
    TForm* form_;
    TJoystick* joystick_ = nullptr;
    TKeyboard* keyboard_ = nullptr;
    TMouse* mouse_ = nullptr;
    TGamepad* gamepad_ = nullptr;
    TInputStates oldStates_;
    bool useDirectInput_ = true;
    bool destroying_ = false;
};

class TDXInput : public TCustomDXInput {
public:
    using TCustomDXInput::TCustomDXInput;
    // This program's settings (joystick, keyboard bindings, mouse off, the effect trees);
    // initialises the component.
    void ApplyGameSettings();
};
