// Scripted joysticks and a recording haptic device for tests.
#include "platform/fake/FakeJoystick.h"

#include <algorithm>

namespace platform::fake {
namespace {

class FakeEffect final : public IHapticEffect {
public:
    explicit FakeEffect(std::shared_ptr<FakeHapticEffectRecord> r) : r_(std::move(r)) {}
    ~FakeEffect() override {
        r_->Destroyed = true;
        r_->Playing = false;
    }
    bool SetParameters(const HapticEffectParams& p, bool start) override {
        r_->Params = p;
        r_->Updates.push_back(p);
        if (start) Run(1);
        return true;
    }
    bool Run(uint32_t) override {
        ++r_->Runs;
        r_->Playing = true;
        return true;
    }
    bool Stop() override {
        ++r_->Stops;
        r_->Playing = false;
        return true;
    }
    bool Playing() override { return r_->Playing; }

private:
    std::shared_ptr<FakeHapticEffectRecord> r_;
};

class FakeJoystickHandle final : public IJoystick {
public:
    explicit FakeJoystickHandle(std::shared_ptr<FakeJoystickDevice> d) : d_(std::move(d)) {}
    std::string Name() const override { return d_->Name; }
    int NumAxes() const override { return static_cast<int>(d_->Axes.size()); }
    int NumButtons() const override { return static_cast<int>(d_->Buttons.size()); }
    int NumHats() const override { return static_cast<int>(d_->Hats.size()); }
    void Update() override { ++d_->Updates; }
    bool Attached() const override { return d_->Attached; }
    int Axis(int i) const override {
        if (!d_->Attached || i < 0 || i >= NumAxes()) return 0;
        return std::clamp(d_->Axes[i], -32768, 32767);
    }
    bool Button(int i) const override { return d_->Attached && i >= 0 && i < NumButtons() && d_->Buttons[i]; }
    uint32_t Hat(int i) const override {
        if (!d_->Attached || i < 0 || i >= NumHats()) return PovCentered;
        return d_->Hats[i];
    }
    IHaptic* Haptic() override { return d_->Attached ? d_->Haptic.get() : nullptr; }
    bool Rumble(uint16_t low, uint16_t high, uint32_t ms) override {
        if (!d_->Attached || !d_->CanRumble) return false;
        d_->Rumbles.push_back({low, high, ms});
        return true;
    }

private:
    std::shared_ptr<FakeJoystickDevice> d_;
};

}  // namespace

int FakeHaptic::LiveEffects() const {
    return static_cast<int>(std::count_if(Effects.begin(), Effects.end(), [](auto& e) { return !e->Destroyed; }));
}

std::unique_ptr<IHapticEffect> FakeHaptic::CreateEffect(const HapticEffectParams& params) {
    if (RefuseCreate) return nullptr;
    if (std::find(Supported.begin(), Supported.end(), params.Kind) == Supported.end()) return nullptr;
    auto r = std::make_shared<FakeHapticEffectRecord>();
    r->Params = params;
    Effects.push_back(r);
    return std::make_unique<FakeEffect>(r);
}

std::shared_ptr<FakeJoystickDevice> FakeJoystickSystem::Add(const std::string& name, int axes, int buttons, int hats,
                                                            bool withHaptic) {
    auto d = std::make_shared<FakeJoystickDevice>();
    d->Name = name;
    d->Axes.assign(std::max(0, axes), 0);
    d->Buttons.assign(std::max(0, buttons), false);
    d->Hats.assign(std::max(0, hats), PovCentered);
    if (withHaptic) d->Haptic = std::make_shared<FakeHaptic>();
    devices_.push_back(d);
    return d;
}

void FakeJoystickSystem::Remove(const std::shared_ptr<FakeJoystickDevice>& dev) {
    dev->Attached = false;
    std::erase(devices_, dev);
}

void FakeJoystickSystem::Attach(const std::shared_ptr<FakeJoystickDevice>& dev) {
    dev->Attached = true;
    if (std::find(devices_.begin(), devices_.end(), dev) == devices_.end()) devices_.push_back(dev);
}

std::string FakeJoystickSystem::NameOf(int index) {
    if (index < 0 || index >= Count()) return "";
    return devices_[index]->Name;
}

std::unique_ptr<IJoystick> FakeJoystickSystem::Open(int index) {
    if (index < 0 || index >= Count() || devices_[index]->RefuseOpen) return nullptr;
    ++Opens;
    return std::make_unique<FakeJoystickHandle>(devices_[index]);
}

}  // namespace platform::fake
