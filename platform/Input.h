// Joysticks and their force-feedback (haptic) devices as the input layer sees them.
//
// Joysticks are listed in a stable order (the order the backend reports them) and opened by
// position. Axis values are raw (-32768..32767); range, dead zone and the mapping to input
// states are the input layer's business. A joystick that goes away keeps its object alive:
// Attached() turns false and every read answers zero.
//
// Effect parameters use the force-feedback units of the input layer: levels, gains and
// coefficients in 0..10000 (magnitudes may exceed 10000: the backend clamps), times in
// microseconds, directions as a Cartesian pair, phase in hundredths of a degree.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// Point of view in hundredths of a degree clockwise from north; this value when centred.
constexpr uint32_t PovCentered = 0xFFFFFFFFu;
// Effect duration that never ends.
constexpr uint32_t HapticInfinite = 0xFFFFFFFFu;
// No trigger button.
constexpr uint32_t HapticNoButton = 0xFFFFFFFFu;

enum class HapticEffectKind {
    Constant,  // constant force
    Sine,      // periodic waveforms
    Triangle,
    Spring,  // conditions
    Damper,
};

inline bool IsPeriodic(HapticEffectKind k) { return k == HapticEffectKind::Sine || k == HapticEffectKind::Triangle; }
inline bool IsCondition(HapticEffectKind k) { return k == HapticEffectKind::Spring || k == HapticEffectKind::Damper; }

struct HapticEnvelope {
    uint32_t AttackLevel = 0;  // 0..10000
    uint32_t AttackTime = 0;   // µs
    uint32_t FadeLevel = 0;    // 0..10000
    uint32_t FadeTime = 0;     // µs
    friend bool operator==(const HapticEnvelope&, const HapticEnvelope&) = default;
};

struct HapticEffectParams {
    HapticEffectKind Kind = HapticEffectKind::Sine;
    uint32_t Duration = 0;      // µs, or HapticInfinite
    uint32_t SamplePeriod = 0;  // µs, 0 = device default
    uint32_t Gain = 10000;      // 0..10000
    uint32_t TriggerButton = HapticNoButton;
    uint32_t TriggerRepeatInterval = 0;  // µs
    uint32_t StartDelay = 0;             // µs
    // Axes the effect acts on, as byte offsets of the joystick state record (0 = X, 4 = Y).
    int AxisCount = 2;
    uint32_t Axes[2] = {0, 4};
    int32_t Direction[2] = {0, 0};  // Cartesian, per axis above
    HapticEnvelope Envelope;
    // Constant force uses Magnitude; periodic uses Magnitude, Offset, Phase, Period.
    int32_t Magnitude = 0;
    int32_t Offset = 0;  // also the condition's centre offset
    uint32_t Phase = 0;
    uint32_t Period = 0;  // µs
    // Condition (one axis per effect).
    int32_t PositiveCoefficient = 0;
    int32_t NegativeCoefficient = 0;
    uint32_t PositiveSaturation = 0;
    uint32_t NegativeSaturation = 0;
    int32_t DeadBand = 0;
};

// One effect created on a haptic device. Calls after the device went away fail quietly.
class IHapticEffect {
public:
    virtual ~IHapticEffect() = default;  // destroys the effect on the device
    virtual bool SetParameters(const HapticEffectParams& params, bool start) = 0;
    virtual bool Run(uint32_t iterations) = 0;
    virtual bool Stop() = 0;
    // The device's playing status.
    virtual bool Playing() = 0;
};

class IHaptic {
public:
    virtual ~IHaptic() = default;
    // Effect kinds in the order the device lists them.
    virtual std::vector<HapticEffectKind> SupportedEffects() = 0;
    // Null when the device refuses.
    virtual std::unique_ptr<IHapticEffect> CreateEffect(const HapticEffectParams& params) = 0;
    virtual bool SetAutocenter(int percent) = 0;  // 0 = off
    virtual bool SetGain(int percent) = 0;        // 0..100
};

class IJoystick {
public:
    virtual ~IJoystick() = default;
    virtual std::string Name() const = 0;
    virtual int NumAxes() const = 0;
    virtual int NumButtons() const = 0;
    virtual int NumHats() const = 0;
    // Take the device's current readings.
    virtual void Update() = 0;
    virtual bool Attached() const = 0;
    virtual int Axis(int index) const = 0;  // -32768..32767; 0 when detached or out of range
    virtual bool Button(int index) const = 0;
    virtual uint32_t Hat(int index) const = 0;  // hundredths of a degree, or PovCentered
    // The force-feedback side of this joystick, null when it has none. Owned by the joystick.
    virtual IHaptic* Haptic() = 0;
    // Shake the device's rumble motors (low- and high-frequency, 0..65535) for ms
    // milliseconds; 0, 0 stops them. False when the device has no rumble.
    virtual bool Rumble(uint16_t low, uint16_t high, uint32_t ms) {
        (void)low, (void)high, (void)ms;
        return false;
    }
};

class IJoystickSystem {
public:
    virtual ~IJoystickSystem() = default;
    // Joysticks attached now (re-enumerates, so plugging in and out is noticed here).
    virtual int Count() = 0;
    virtual std::string NameOf(int index) = 0;
    // Null when index is out of range or the device refuses to open.
    virtual std::unique_ptr<IJoystick> Open(int index) = 0;
};

// ---------------------------------------------------------------------------------------
// Game pads: devices whose layout is known from a mapping database, read by the names of
// their controls rather than by raw numbers. A device that is a pad is never listed by the
// joystick system as well.

// Pad controls. The stick directions are the left stick pushed past half its travel;
// they arrive as their own presses in PadDown/PadUp messages.
enum PadButton : int {
    PadA,
    PadB,
    PadX,
    PadY,
    PadBack,
    PadGuide,
    PadStart,
    PadLeftStick,
    PadRightStick,
    PadLeftShoulder,
    PadRightShoulder,
    PadUp,
    PadDown,
    PadLeft,
    PadRight,
    PadButtonCount,
    PadStickUp = 32,
    PadStickDown,
    PadStickLeft,
    PadStickRight,
};
enum PadAxis : int { PadLeftX, PadLeftY, PadRightX, PadRightY, PadTriggerLeft, PadTriggerRight, PadAxisCount };

// The left stick's press and release points for the stick directions (hysteresis, so a
// stick resting near the point gives one press, not a stream).
constexpr int PadStickPress = 16384;
constexpr int PadStickRelease = 8192;

class IGamepad {
public:
    virtual ~IGamepad() = default;
    // Stable for as long as the pad stays connected; the Param of its messages.
    virtual int Id() const = 0;
    virtual std::string Name() const = 0;
    virtual bool Attached() const = 0;
    virtual bool Button(int button) const = 0;  // PadButton 0..PadButtonCount-1
    virtual int Axis(int axis) const = 0;       // -32768..32767 (triggers 0..32767)
    // As IJoystick::Rumble.
    virtual bool Rumble(uint16_t low, uint16_t high, uint32_t ms) = 0;
};

class IGamepadSystem {
public:
    virtual ~IGamepadSystem() = default;
    // The pads connected now, in the order they came; owned by the system. Pads come and
    // go with the messages PadAdded / PadRemoved.
    virtual std::vector<IGamepad*> Pads() = 0;
};

}  // namespace platform
