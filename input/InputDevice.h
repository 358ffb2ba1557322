// One input device of the input component: its common switches, its acquisition under a
// cooperative level, its force-feedback effect tree and its stored properties.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "input/InputStates.h"
#include "platform/Input.h"

class TCustomDXInput;
class TForceFeedbackEffect;
class TForceFeedbackEffects;

class EDXInputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Cooperative-level flags.
enum : uint32_t { DISCL_EXCLUSIVE = 1, DISCL_NONEXCLUSIVE = 2, DISCL_FOREGROUND = 4, DISCL_BACKGROUND = 8 };

// Stored binary properties of a device, in writing order.
using TBinaryProperties = std::vector<std::pair<std::string, std::vector<uint8_t>>>;

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
