// The joystick device: its state record, the data format that fills it, and the axis range
// and dead zone applied on either path.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "input/InputDevice.h"
#include "platform/Input.h"

class TForceFeedbackEffect;

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
