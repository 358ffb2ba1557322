// Joysticks and haptic devices through SDL2.
#include "platform/sdl/SdlJoystick.h"

#include <SDL.h>

#include <algorithm>

#include "platform/sdl/SdlPtrs.h"

namespace platform::sdl {
namespace {

// The haptic device is shared by its effects, so an effect that outlives its joystick
// still refers to a live (closed-on-last-use) handle.
using HapticHandle = std::shared_ptr<SDL_Haptic>;

Sint16 Level16(int64_t v) {
    // Input-layer levels are 0..10000 (magnitudes may go above); SDL's are 16-bit.
    int64_t s = v * 32767 / 10000;
    return static_cast<Sint16>(std::clamp<int64_t>(s, -32768, 32767));
}
Uint16 ULevel16(int64_t v) { return static_cast<Uint16>(std::clamp<int64_t>(v * 32767 / 10000, 0, 65535)); }
Uint16 Ms16(uint32_t us) { return static_cast<Uint16>(std::min<uint32_t>(us / 1000, 65535)); }

uint32_t LengthMs(uint32_t us) { return us == HapticInfinite ? SDL_HAPTIC_INFINITY : us / 1000; }

SDL_HapticDirection Direction(const HapticEffectParams& p) {
    SDL_HapticDirection d{};
    d.type = SDL_HAPTIC_CARTESIAN;
    for (int i = 0; i < p.AxisCount && i < 2; ++i) {
        int axis = p.Axes[i] == 4 ? 1 : (p.Axes[i] == 8 ? 2 : 0);
        d.dir[axis] = p.Direction[i];
    }
    return d;
}

bool ToSdl(const HapticEffectParams& p, SDL_HapticEffect& e) {
    e = SDL_HapticEffect{};
    // SDL has no per-effect gain: fold it into the strength.
    auto gained = [&](int64_t v) { return v * static_cast<int64_t>(std::min<uint32_t>(p.Gain, 10000)) / 10000; };
    switch (p.Kind) {
        case HapticEffectKind::Constant: {
            auto& c = e.constant;
            c.type = SDL_HAPTIC_CONSTANT;
            c.direction = Direction(p);
            c.length = LengthMs(p.Duration);
            c.delay = Ms16(p.StartDelay);
            c.level = Level16(gained(p.Magnitude));
            c.attack_length = Ms16(p.Envelope.AttackTime);
            c.attack_level = ULevel16(gained(p.Envelope.AttackLevel));
            c.fade_length = Ms16(p.Envelope.FadeTime);
            c.fade_level = ULevel16(gained(p.Envelope.FadeLevel));
            return true;
        }
        case HapticEffectKind::Sine:
        case HapticEffectKind::Triangle: {
            auto& c = e.periodic;
            c.type = p.Kind == HapticEffectKind::Sine ? SDL_HAPTIC_SINE : SDL_HAPTIC_TRIANGLE;
            c.direction = Direction(p);
            c.length = LengthMs(p.Duration);
            c.delay = Ms16(p.StartDelay);
            c.period = Ms16(p.Period);
            c.magnitude = Level16(gained(p.Magnitude));
            c.offset = Level16(p.Offset);
            c.phase = static_cast<Uint16>(p.Phase % 36000);
            c.attack_length = Ms16(p.Envelope.AttackTime);
            c.attack_level = ULevel16(gained(p.Envelope.AttackLevel));
            c.fade_length = Ms16(p.Envelope.FadeTime);
            c.fade_level = ULevel16(gained(p.Envelope.FadeLevel));
            return true;
        }
        case HapticEffectKind::Spring:
        case HapticEffectKind::Damper: {
            auto& c = e.condition;
            c.type = p.Kind == HapticEffectKind::Spring ? SDL_HAPTIC_SPRING : SDL_HAPTIC_DAMPER;
            c.direction = Direction(p);
            c.length = LengthMs(p.Duration);
            c.delay = Ms16(p.StartDelay);
            int axis = p.AxisCount > 0 && p.Axes[0] == 4 ? 1 : 0;
            c.right_sat[axis] = ULevel16(p.PositiveSaturation);
            c.left_sat[axis] = ULevel16(p.NegativeSaturation);
            c.right_coeff[axis] = Level16(gained(p.PositiveCoefficient));
            c.left_coeff[axis] = Level16(gained(p.NegativeCoefficient));
            c.deadband[axis] = ULevel16(p.DeadBand);
            c.center[axis] = Level16(p.Offset);
            return true;
        }
    }
    return false;
}

class SdlHapticEffect final : public IHapticEffect {
public:
    SdlHapticEffect(HapticHandle h, int id, const HapticEffectParams& p) : h_(std::move(h)), id_(id), params_(p) {}
    ~SdlHapticEffect() override { SDL_HapticDestroyEffect(h_.get(), id_); }

    bool SetParameters(const HapticEffectParams& p, bool start) override {
        SDL_HapticEffect e;
        if (!ToSdl(p, e)) return false;
        params_ = p;
        if (SDL_HapticUpdateEffect(h_.get(), id_, &e) < 0) return false;
        return start ? Run(1) : true;
    }
    bool Run(uint32_t iterations) override {
        startedAt_ = SDL_GetTicks();
        iterations_ = iterations;
        running_ = SDL_HapticRunEffect(h_.get(), id_, iterations) == 0;
        return running_;
    }
    bool Stop() override {
        running_ = false;
        return SDL_HapticStopEffect(h_.get(), id_) == 0;
    }
    bool Playing() override {
        if (SDL_HapticQuery(h_.get()) & SDL_HAPTIC_STATUS) {
            int s = SDL_HapticGetEffectStatus(h_.get(), id_);
            if (s >= 0) return s == 1;
        }
        // The device cannot tell: judge by the time the effect should take.
        if (!running_) return false;
        if (params_.Duration == HapticInfinite || iterations_ == SDL_HAPTIC_INFINITY) return true;
        uint64_t total = (static_cast<uint64_t>(params_.Duration) / 1000 + params_.StartDelay / 1000) * iterations_;
        return SDL_GetTicks() - startedAt_ < total;
    }

private:
    HapticHandle h_;
    int id_;
    HapticEffectParams params_;
    Uint32 startedAt_ = 0;
    uint32_t iterations_ = 1;
    bool running_ = false;
};

class SdlHaptic final : public IHaptic {
public:
    explicit SdlHaptic(HapticHandle h) : h_(std::move(h)) {}

    std::vector<HapticEffectKind> SupportedEffects() override {
        unsigned q = SDL_HapticQuery(h_.get());
        std::vector<HapticEffectKind> kinds;
        if (q & SDL_HAPTIC_CONSTANT) kinds.push_back(HapticEffectKind::Constant);
        if (q & SDL_HAPTIC_SINE) kinds.push_back(HapticEffectKind::Sine);
        if (q & SDL_HAPTIC_TRIANGLE) kinds.push_back(HapticEffectKind::Triangle);
        if (q & SDL_HAPTIC_SPRING) kinds.push_back(HapticEffectKind::Spring);
        if (q & SDL_HAPTIC_DAMPER) kinds.push_back(HapticEffectKind::Damper);
        return kinds;
    }
    std::unique_ptr<IHapticEffect> CreateEffect(const HapticEffectParams& p) override {
        SDL_HapticEffect e;
        if (!ToSdl(p, e)) return nullptr;
        int id = SDL_HapticNewEffect(h_.get(), &e);
        if (id < 0) return nullptr;
        return std::make_unique<SdlHapticEffect>(h_, id, p);
    }
    bool SetAutocenter(int percent) override {
        if (!(SDL_HapticQuery(h_.get()) & SDL_HAPTIC_AUTOCENTER)) return false;
        return SDL_HapticSetAutocenter(h_.get(), std::clamp(percent, 0, 100)) == 0;
    }
    bool SetGain(int percent) override {
        if (!(SDL_HapticQuery(h_.get()) & SDL_HAPTIC_GAIN)) return false;
        return SDL_HapticSetGain(h_.get(), std::clamp(percent, 0, 100)) == 0;
    }

private:
    HapticHandle h_;
};

class SdlJoystick final : public IJoystick {
public:
    SdlJoystick(JoystickPtr j, bool hapticOk) : j_(std::move(j)) {
        if (hapticOk && SDL_JoystickIsHaptic(j_.get()) == 1) {
            if (HapticPtr h{SDL_HapticOpenFromJoystick(j_.get())})
                haptic_ = std::make_unique<SdlHaptic>(HapticHandle(std::move(h)));
        }
    }
    ~SdlJoystick() override {
        haptic_.reset();
        j_.reset();
    }

    std::string Name() const override {
        const char* n = SDL_JoystickName(j_.get());
        return n ? n : "";
    }
    int NumAxes() const override { return std::max(0, SDL_JoystickNumAxes(j_.get())); }
    int NumButtons() const override { return std::max(0, SDL_JoystickNumButtons(j_.get())); }
    int NumHats() const override { return std::max(0, SDL_JoystickNumHats(j_.get())); }
    void Update() override { SDL_JoystickUpdate(); }
    bool Attached() const override { return SDL_JoystickGetAttached(j_.get()) == SDL_TRUE; }
    int Axis(int i) const override {
        if (!Attached() || i < 0 || i >= NumAxes()) return 0;
        return SDL_JoystickGetAxis(j_.get(), i);
    }
    bool Button(int i) const override {
        if (!Attached() || i < 0 || i >= NumButtons()) return false;
        return SDL_JoystickGetButton(j_.get(), i) != 0;
    }
    uint32_t Hat(int i) const override {
        if (!Attached() || i < 0 || i >= NumHats()) return PovCentered;
        switch (SDL_JoystickGetHat(j_.get(), i)) {
            case SDL_HAT_UP: return 0;
            case SDL_HAT_RIGHTUP: return 4500;
            case SDL_HAT_RIGHT: return 9000;
            case SDL_HAT_RIGHTDOWN: return 13500;
            case SDL_HAT_DOWN: return 18000;
            case SDL_HAT_LEFTDOWN: return 22500;
            case SDL_HAT_LEFT: return 27000;
            case SDL_HAT_LEFTUP: return 31500;
            default: return PovCentered;
        }
    }
    IHaptic* Haptic() override { return haptic_.get(); }
    bool Rumble(uint16_t low, uint16_t high, uint32_t ms) override {
        return Attached() && SDL_JoystickRumble(j_.get(), low, high, ms) == 0;
    }

private:
    JoystickPtr j_;
    std::unique_ptr<SdlHaptic> haptic_;
};

class SdlJoystickSystem final : public IJoystickSystem {
public:
    SdlJoystickSystem() {
        if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) == 0) joystickOk_ = true;
        if (joystickOk_ && SDL_InitSubSystem(SDL_INIT_HAPTIC) == 0) hapticOk_ = true;
    }
    ~SdlJoystickSystem() override {
        if (hapticOk_) SDL_QuitSubSystem(SDL_INIT_HAPTIC);
        if (joystickOk_) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
    }

    int Count() override {
        if (!joystickOk_) return 0;
        SDL_JoystickUpdate();  // notices devices plugged in or out since the last look
        int n = 0;
        for (int i = 0, all = SDL_NumJoysticks(); i < all; ++i)
            if (!ReadAsPad(i)) ++n;
        return n;
    }
    std::string NameOf(int index) override {
        int device = DeviceIndex(index);
        if (device < 0) return "";
        const char* n = SDL_JoystickNameForIndex(device);
        return n ? n : "";
    }
    std::unique_ptr<IJoystick> Open(int index) override {
        int device = DeviceIndex(index);
        if (device < 0) return nullptr;
        JoystickPtr j(SDL_JoystickOpen(device));
        if (!j) return nullptr;
        return std::make_unique<SdlJoystick>(std::move(j), hapticOk_);
    }

private:
    // A device with a pad mapping is read by the pad system while that runs; here it would
    // be a second reader of the same device.
    static bool ReadAsPad(int device) { return SDL_WasInit(SDL_INIT_GAMECONTROLLER) && SDL_IsGameController(device); }
    // SDL's device index of our index-th joystick, -1 when there is none.
    int DeviceIndex(int index) {
        if (index < 0 || index >= Count()) return -1;
        for (int i = 0, all = SDL_NumJoysticks(), seen = 0; i < all; ++i)
            if (!ReadAsPad(i) && seen++ == index) return i;
        return -1;
    }

    bool joystickOk_ = false;
    bool hapticOk_ = false;
};

}  // namespace

std::unique_ptr<platform::IJoystickSystem> CreateJoystickSystem() { return std::make_unique<SdlJoystickSystem>(); }

}  // namespace platform::sdl
