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

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "engine/Forms.h"
#include "input/ForceFeedbackEffect.h"
#include "platform/Input.h"

class EDXInputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The order is the bit position in TInputStates.
enum TInputState : uint8_t {
    InputUp, InputDown, InputLeft, InputRight,
    InputButton1, InputButton2, InputButton3, InputButton4, InputButton5, InputButton6,
    InputButton7, InputButton8, InputButton9, InputButton10, InputButton11, InputButton12,
    InputButton13, InputButton14, InputButton15, InputButton16, InputButton17, InputButton18,
    InputButton19, InputButton20, InputButton21, InputButton22, InputButton23, InputButton24,
    InputButton25, InputButton26, InputButton27, InputButton28, InputButton29, InputButton30,
    InputButton31, InputButton32,
};
constexpr int InputStateCount = 36;

// A set of input states held in 40 bits (5 bytes); bits 36..39 are never set.
class TInputStates {
public:
    constexpr TInputStates() = default;
    constexpr TInputStates(std::initializer_list<TInputState> states) {
        for (TInputState s : states) Include(s);
    }
    constexpr bool Contains(TInputState s) const { return s < InputStateCount && (bits_ >> s) & 1; }
    constexpr void Include(TInputState s) {
        if (s < InputStateCount) bits_ |= uint64_t(1) << s;
    }
    constexpr void Exclude(TInputState s) {
        if (s < InputStateCount) bits_ &= ~(uint64_t(1) << s);
    }
    constexpr void Clear() { bits_ = 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr uint64_t Bits() const { return bits_; }
    std::array<uint8_t, 5> Bytes() const {
        std::array<uint8_t, 5> b{};
        for (int i = 0; i < 5; ++i) b[i] = static_cast<uint8_t>(bits_ >> (8 * i));
        return b;
    }
    constexpr TInputStates& operator|=(const TInputStates& o) {
        bits_ |= o.bits_;
        return *this;
    }
    friend constexpr TInputStates operator|(TInputStates a, const TInputStates& b) { return a |= b; }
    friend constexpr bool operator==(const TInputStates&, const TInputStates&) = default;

private:
    uint64_t bits_ = 0;
};

// Cooperative-level flags.
enum : uint32_t { DISCL_EXCLUSIVE = 1, DISCL_NONEXCLUSIVE = 2, DISCL_FOREGROUND = 4, DISCL_BACKGROUND = 8 };

// Stored binary properties of a device, in writing order.
using TBinaryProperties = std::vector<std::pair<std::string, std::vector<uint8_t>>>;

class TCustomDXInput;
class TGamepad;

// One input device. Created by (and added to the device list of) its component, which
// owns it.
class TCustomInput {
public:
    explicit TCustomInput(TCustomDXInput* owner);
    virtual ~TCustomInput();
    TCustomInput(const TCustomInput&) = delete;
    TCustomInput& operator=(const TCustomInput&) = delete;

    virtual void Finalize();
    virtual void Initialize();
    virtual uint32_t CoopLevelFlags() const;
    virtual void Update() = 0;

    TCustomDXInput* Owner() const { return owner_; }
    bool BindInputStates() const { return bindInputStates_; }
    void SetBindInputStates(bool on) { bindInputStates_ = on; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    bool ForceFeedback() const { return forceFeedback_; }
    void SetForceFeedback(bool on);
    bool ForceFeedbackCapable() const { return forceFeedbackCapable_; }
    bool Initialized() const { return initialized_; }
    int NumButtons() const { return numButtons_; }
    const TInputStates& States() const { return states_; }
    TForceFeedbackEffects* Effects() const { return effects_.get(); }

    // The device of the direct path, when one is open.
    bool HasDevice() const { return device_; }
    virtual platform::IHaptic* HapticDevice() { return nullptr; }
    void SetCooperativeLevel(uint32_t flags) { coopLevel_ = flags; }
    uint32_t CooperativeLevel() const { return coopLevel_; }
    bool DeviceAcquired() const { return device_ && acquired_; }
    // Take the device back (skipped in the background when only the foreground counts)
    // and bring its force-feedback effects back.
    void Acquire();

    // A node of this device's effect tree was started (onDevice: it plays as a haptic
    // effect) or stopped: devices that can rumble stand in where no haptic effect plays.
    virtual void EffectStarted(const TForceFeedbackEffect& node, bool onDevice) { (void)node, (void)onDevice; }
    virtual void EffectStopped(const TForceFeedbackEffect& node) { (void)node; }

    // Stored form: true when the property was this device's.
    virtual bool ReadBinaryProperty(const std::string& name, const std::vector<uint8_t>& data);
    virtual void WriteBinaryProperties(TBinaryProperties& out) const;

protected:
    // The input of this frame counts only when the owner's foreground rule allows it.
    bool InputAllowed() const;
    // Acquire the open device under its cooperative level.
    bool AcquireDevice();
    // The device can deliver data now (a joystick that was unplugged cannot).
    virtual bool DeviceAvailable() const { return device_; }
    // Release what the direct path opened (the base only forgets it).
    virtual void ReleaseDevice() { device_ = false; }
    // Zero, then ask for the state: re-acquire once when the device was lost.
    bool BeginStateRead();

    TCustomDXInput* owner_;
    bool bindInputStates_ = true;
    int numButtons_ = 0;
    bool device_ = false;
    bool acquired_ = false;
    uint32_t coopLevel_ = 0;
    std::unique_ptr<TForceFeedbackEffects> effects_;
    bool enabled_ = true;
    bool forceFeedback_ = false;
    bool forceFeedbackCapable_ = false;
    bool initialized_ = false;
    TInputStates states_;
};

class TKeyboard : public TCustomInput {
public:
    using TKeyAssign = std::array<int32_t, 3>;
    using TKeyAssignList = std::array<TKeyAssign, InputStateCount>;
    static constexpr size_t AssignsSize = sizeof(int32_t) * 3 * InputStateCount;  // 432

    explicit TKeyboard(TCustomDXInput* owner);
    ~TKeyboard() override;

    void Finalize() override;
    void Initialize() override;
    void Update() override;

    bool Keys(int code) const { return code >= 1 && code <= 255 && (keyTable_[code] & 0x80); }
    const std::array<uint8_t, 256>& KeyTable() const { return keyTable_; }
    TKeyAssignList& Assigns() { return assigns_; }
    const TKeyAssignList& Assigns() const { return assigns_; }
    static TKeyAssignList DefaultAssigns();  // what the constructor fills in
    static TKeyAssignList GameAssigns();     // this program's bindings

    // The stored table: 432 bytes, little-endian, state 0 first.
    std::vector<uint8_t> SaveAssigns() const;
    void LoadAssigns(const std::vector<uint8_t>& data);  // EDXInputError when too short

    bool ReadBinaryProperty(const std::string& name, const std::vector<uint8_t>& data) override;
    void WriteBinaryProperties(TBinaryProperties& out) const override;

    // Virtual-key code of a PC set-1 scan code (extended keys + 0x80); 0 when none.
    static int ScanCodeToVirtualKey(int scanCode);

private:
    std::array<uint8_t, 256> keyTable_{};
    TKeyAssignList assigns_{};
};

// One object of the joystick's data format: where a device axis, hat or button lands in
// the state record.
struct TJoystickObject {
    enum Kind { Axis, Pov, Button } Type;
    int Index;   // the device's axis/hat/button number
    int Offset;  // byte offset in the state record
};

class TJoystick : public TCustomInput {
public:
    static constexpr int StateSize = 272;
    static constexpr int PovOffset = 32;
    static constexpr int ButtonOffset = 48;
    static constexpr int MaxObjects = 256;

    explicit TJoystick(TCustomDXInput* owner);
    ~TJoystick() override;

    void Finalize() override;
    void Initialize() override;
    void Update() override;

    // The state record as the game sees it.
    int X() const { return Int32At(0); }
    int Y() const { return Int32At(4); }
    int Z() const { return Int32At(8); }
    uint32_t Pov(int i) const { return i >= 0 && i < 4 ? static_cast<uint32_t>(Int32At(PovOffset + 4 * i)) : 0; }
    bool Button(int i) const { return i >= 0 && i < 128 && (state_[ButtonOffset + i] & 0x80); }
    const std::array<uint8_t, StateSize>& JoyState() const { return state_; }

    bool AutoCenter() const { return autoCenter_; }
    void SetAutoCenter(bool on);
    int ID() const { return id_; }
    void SetID(int id);

    int DeadZone(int offset) const;
    void SetDeadZone(int offset, int value);
    int Range(int offset) const;
    void SetRange(int offset, int value);
    int DeadZoneX() const { return DeadZone(0); }
    int DeadZoneY() const { return DeadZone(4); }
    int DeadZoneZ() const { return DeadZone(8); }
    void SetDeadZoneX(int v) { SetDeadZone(0, v); }
    void SetDeadZoneY(int v) { SetDeadZone(4, v); }
    void SetDeadZoneZ(int v) { SetDeadZone(8, v); }
    int RangeX() const { return Range(0); }
    int RangeY() const { return Range(4); }
    int RangeZ() const { return Range(8); }
    void SetRangeX(int v) { SetRange(0, v); }
    void SetRangeY(int v) { SetRange(4, v); }
    void SetRangeZ(int v) { SetRange(8, v); }

    platform::IHaptic* HapticDevice() override;
    // Without a haptic effect "eff1" rumbles the joystick; the pads rumble with it.
    void EffectStarted(const TForceFeedbackEffect& node, bool onDevice) override;
    void EffectStopped(const TForceFeedbackEffect& node) override;
    // The joystick read on the fallback path, -1 when none.
    int MultimediaJoystick() const { return mmId_; }
    const std::vector<TJoystickObject>& DataFormat() const { return format_; }

    // The multimedia axis conversion (integers throughout).
    static int ConvertMultimediaAxis(int pos, int min, int max, int range, int deadZone);
    // What the direct path reports for a raw axis value with a range and a dead zone in
    // hundredths of a percent.
    static int ScaleAxis(int raw, int range, int deadZoneHundredths);

protected:
    bool DeviceAvailable() const override;
    void ReleaseDevice() override;

private:
    int Int32At(int offset) const;
    void PutInt32(int offset, int32_t v);
    void MultimediaSearch();
    void BuildDataFormat();
    bool OffsetIsAxis(int offset) const;

    std::array<uint8_t, StateSize> state_{};
    bool autoCenter_ = true;
    int id_ = 0;
    int mmId_ = -1;
    std::unique_ptr<platform::IJoystick> dev_;  // the direct path
    std::unique_ptr<platform::IJoystick> mm_;   // the fallback path
    std::array<int, StateSize> deadZones_;
    std::array<int, StateSize> ranges_;
    std::vector<TJoystickObject> format_;
};

class TMouse : public TCustomInput {
public:
    explicit TMouse(TCustomDXInput* owner);
    ~TMouse() override;

    void Finalize() override;
    void Initialize() override;
    void Update() override;

    int X() const { return x_; }
    int Y() const { return y_; }
    int Z() const { return z_; }
    bool Button(int i) const { return i >= 0 && i < 4 && (buttons_[i] & 0x80); }

    // The owning form's mouse messages, gathered between two updates.
    void MouseMessage(const platform::Message& msg);

private:
    int x_ = 0, y_ = 0, z_ = 0;
    std::array<uint8_t, 4> buttons_{};
    int dx_ = 0, dy_ = 0;
    bool haveLast_ = false;
    int lastX_ = 0, lastY_ = 0;
    std::array<uint8_t, 4> held_{};
};

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
