// The game pads as an input device.
#include "input/Gamepad.h"

#include <algorithm>
#include <cmath>

#include "input/ForceFeedbackEffect.h"
#include "platform/Platform.h"

namespace {

platform::IGamepadSystem* Pads() { return platform::Current().Gamepads; }

constexpr TPadBinding kLayout[] = {
    {platform::PadA, InputButton1},
    {platform::PadX, InputButton2},
    {platform::PadB, InputButton2},
    {platform::PadLeftShoulder, InputButton3},
    {platform::PadRightShoulder, InputButton3},
    {platform::PadY, InputButton3},
    {platform::PadUp, InputUp},
    {platform::PadDown, InputDown},
    {platform::PadLeft, InputLeft},
    {platform::PadRight, InputRight},
};

}  // namespace

std::span<const TPadBinding> PadLayout() { return kLayout; }

TRumble RumbleFor(const TForceFeedbackEffect& e) {
    if (e.EffectType() != etConstantForce && e.EffectType() != etPeriodic) return {};
    if (e.Time() == 0) return {};
    const double m = std::sqrt(double(e.ConstantX()) * e.ConstantX() + double(e.ConstantY()) * e.ConstantY());
    const int64_t magnitude = std::min<int64_t>(static_cast<int64_t>(std::trunc(m)), 10000);
    const int64_t level = magnitude * e.Power() / 10000 * 65535 / 10000;
    if (level <= 0) return {};
    TRumble r;
    const auto full = static_cast<uint16_t>(level), half = static_cast<uint16_t>(level / 2);
    if (e.EffectType() == etPeriodic && e.Period() <= 50) {
        r.High = full;
        r.Low = half;
    } else {
        r.Low = full;
        r.High = half;
    }
    r.Ms = e.Time() < 0 ? 0xFFFFFFFFu : static_cast<uint32_t>(e.Time());
    return r;
}

TGamepad::TGamepad(TCustomDXInput* owner) : TCustomInput(owner) {}

TGamepad::~TGamepad() { TGamepad::Finalize(); }

void TGamepad::Finalize() {
    TCustomInput::Finalize();
    consumed_.fill(false);
}

void TGamepad::Initialize() {
    Finalize();
    if (!enabled_) return;
    numButtons_ = platform::PadButtonCount;
    TCustomInput::Initialize();
}

int TGamepad::Count() const {
    platform::IGamepadSystem* sys = Pads();
    if (!sys) return 0;
    auto pads = sys->Pads();
    return static_cast<int>(std::count_if(pads.begin(), pads.end(), [](auto* p) { return p->Attached(); }));
}

bool TGamepad::Held(const std::vector<platform::IGamepad*>& pads, int button) {
    for (platform::IGamepad* p : pads) {
        if (!p->Attached()) continue;
        if (button >= platform::PadStickUp && button <= platform::PadStickRight) {
            const int threshold = 32767 * PadStickDeadZone / 100;
            const int v = p->Axis(button <= platform::PadStickDown ? platform::PadLeftY : platform::PadLeftX);
            const bool negative = button == platform::PadStickUp || button == platform::PadStickLeft;
            if (negative ? v < -threshold : v > threshold) return true;
        } else if (p->Button(button)) {
            return true;
        }
    }
    return false;
}

void TGamepad::Consume(int button) {
    if (button >= 0 && button < static_cast<int>(consumed_.size())) consumed_[button] = true;
}

void TGamepad::Update() {
    states_.Clear();
    if (!initialized_) return;
    platform::IGamepadSystem* sys = Pads();
    const std::vector<platform::IGamepad*> pads = sys ? sys->Pads() : std::vector<platform::IGamepad*>{};
    // A press a screen used stays used until it is let go, in the background too.
    for (size_t b = 0; b < consumed_.size(); ++b)
        if (consumed_[b] && !Held(pads, static_cast<int>(b))) consumed_[b] = false;
    if (pads.empty() || !InputAllowed()) return;
    auto pressed = [&](int b) { return !consumed_[b] && Held(pads, b); };
    for (const TPadBinding& k : kLayout)
        if (pressed(k.Button)) states_.Include(k.State);
    if (pressed(platform::PadStickUp)) states_.Include(InputUp);
    if (pressed(platform::PadStickDown)) states_.Include(InputDown);
    if (pressed(platform::PadStickLeft)) states_.Include(InputLeft);
    if (pressed(platform::PadStickRight)) states_.Include(InputRight);
}

void TGamepad::Rumble(const TRumble& r) {
    platform::IGamepadSystem* sys = Pads();
    if (!initialized_ || !sys || r.Empty()) return;
    for (platform::IGamepad* p : sys->Pads()) p->Rumble(r.Low, r.High, r.Ms);
}

void TGamepad::StopRumble() {
    if (platform::IGamepadSystem* sys = Pads())
        for (platform::IGamepad* p : sys->Pads()) p->Rumble(0, 0, 0);
}
