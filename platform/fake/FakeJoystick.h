// Scripted joysticks and a recording haptic device for tests.
//
// A test adds devices, moves their axes, presses buttons, turns hats, unplugs and plugs
// them; a haptic device records every effect created on it with its parameters and every
// run, stop and parameter change, and lets the test decide when an effect has finished.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Input.h"

namespace platform::fake {

// What a created effect went through.
struct FakeHapticEffectRecord {
    HapticEffectParams Params;                // as created, then as last set
    std::vector<HapticEffectParams> Updates;  // every SetParameters
    int Runs = 0;
    int Stops = 0;
    bool Playing = false;  // set by Run, cleared by Stop or the test
    bool Destroyed = false;
};

class FakeHaptic final : public IHaptic {
public:
    std::vector<HapticEffectKind> Supported{HapticEffectKind::Constant, HapticEffectKind::Sine,
                                            HapticEffectKind::Triangle, HapticEffectKind::Spring};
    bool RefuseCreate = false;
    int Autocenter = -1;  // last value set, -1 never
    int Gain = -1;
    // Every effect ever created, in order.
    std::vector<std::shared_ptr<FakeHapticEffectRecord>> Effects;
    // Effects still alive.
    int LiveEffects() const;

    std::vector<HapticEffectKind> SupportedEffects() override { return Supported; }
    std::unique_ptr<IHapticEffect> CreateEffect(const HapticEffectParams& params) override;
    bool SetAutocenter(int percent) override {
        Autocenter = percent;
        return true;
    }
    bool SetGain(int percent) override {
        Gain = percent;
        return true;
    }
};

// One physical device. Tests keep the shared pointer to script it.
struct FakeJoystickDevice {
    std::string Name = "Fake joystick";
    std::vector<int> Axes;  // raw -32768..32767
    std::vector<bool> Buttons;
    std::vector<uint32_t> Hats;  // PovCentered or hundredths of a degree
    bool Attached = true;
    std::shared_ptr<FakeHaptic> Haptic;  // null: no force feedback
    bool RefuseOpen = false;
    int Updates = 0;  // how often an open handle was updated
    bool CanRumble = true;
    struct RumbleCall {
        uint16_t Low, High;
        uint32_t Ms;
    };
    std::vector<RumbleCall> Rumbles;  // every rumble asked of an open handle
};

class FakeJoystickSystem final : public IJoystickSystem {
public:
    std::shared_ptr<FakeJoystickDevice> Add(const std::string& name, int axes, int buttons, int hats,
                                            bool withHaptic = false);
    // Unplug: the device leaves the list and open handles read zero from now on.
    void Remove(const std::shared_ptr<FakeJoystickDevice>& dev);
    // Plug a device (back) in at the end of the list.
    void Attach(const std::shared_ptr<FakeJoystickDevice>& dev);

    int Count() override { return static_cast<int>(devices_.size()); }
    std::string NameOf(int index) override;
    std::unique_ptr<IJoystick> Open(int index) override;

    int Opens = 0;

private:
    std::vector<std::shared_ptr<FakeJoystickDevice>> devices_;
};

}  // namespace platform::fake
