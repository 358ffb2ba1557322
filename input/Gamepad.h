// The game pads as one more input device: their controls become input states by the
// program's pad layout, and force-feedback effects become rumble on pads (and on joysticks
// without haptic effects).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "input/InputDevice.h"
#include "input/InputStates.h"
#include "platform/Input.h"

class TForceFeedbackEffect;

// One control of the layout and the input state it holds while pressed.
struct TPadBinding {
    int Button;  // platform::PadButton
    TInputState State;
};

// The layout in play: A the main gun; X or B the special weapon; either shoulder or Y the
// next special weapon; the D-pad steers (the left stick too, outside its dead zone).
std::span<const TPadBinding> PadLayout();

// The left stick steers once pushed past this share of its travel (percent).
inline constexpr int PadStickDeadZone = 35;

// A rumble: low- and high-frequency motor strengths and a length.
struct TRumble {
    uint16_t Low = 0, High = 0;
    uint32_t Ms = 0;  // 0xFFFFFFFF: as long as the device allows
    bool Empty() const { return Ms == 0 || (Low == 0 && High == 0); }
    friend bool operator==(const TRumble&, const TRumble&) = default;
};

// What an effect becomes on rumble motors: its strength (magnitude times gain, capped at
// full) on the high-frequency motor for a fast periodic shake (period up to 50 ms), else on
// the low-frequency one, with half of it on the other motor; its own length. Conditions
// (springs) and effects of no type have no rumble.
TRumble RumbleFor(const TForceFeedbackEffect& effect);

class TGamepad : public TCustomInput {
public:
    explicit TGamepad(TCustomDXInput* owner);
    ~TGamepad() override;

    void Finalize() override;
    void Initialize() override;
    void Update() override;

    // Pads connected now.
    int Count() const;
    // Shake every connected pad (nothing while the device is off).
    void Rumble(const TRumble& r);
    void StopRumble();
    // The control reads as released until every pad lets go of it: a press that a screen
    // has used (A on the menu's "new game") does not also fire in the game it starts.
    void Consume(int button);

private:
    static bool Held(const std::vector<platform::IGamepad*>& pads, int button);
    std::array<bool, 64> consumed_{};
};
