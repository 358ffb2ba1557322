// The common part of every input device.
#include "input/InputDevice.h"

#include "input/ForceFeedbackEffect.h"
#include "input/InputComponent.h"

TCustomInput::TCustomInput(TCustomDXInput* owner) : owner_(owner) {
    effects_ = std::make_unique<TForceFeedbackEffects>(this);
    owner_->devices_.push_back(this);
}

TCustomInput::~TCustomInput() {
    effects_.reset();
    std::erase(owner_->devices_, this);
}

void TCustomInput::SetEnabled(bool on) {
    if (on == enabled_) return;
    enabled_ = on;
    if (!owner_->Loading()) Initialize();
}

void TCustomInput::SetForceFeedback(bool on) {
    if (on == forceFeedback_) return;
    forceFeedback_ = on;
    if (!owner_->Loading()) Initialize();
}

void TCustomInput::Finalize() {
    acquired_ = false;
    initialized_ = false;
    numButtons_ = 0;
    effects_->DeviceFinalized();
    ReleaseDevice();
    forceFeedbackCapable_ = false;
    states_.Clear();
}

void TCustomInput::Initialize() {
    initialized_ = true;
    effects_->DeviceInitialized();
}

uint32_t TCustomInput::CoopLevelFlags() const {
    uint32_t f = (forceFeedbackCapable_ && forceFeedback_) ? DISCL_EXCLUSIVE : DISCL_NONEXCLUSIVE;
    return f | (owner_->ActiveOnly() ? DISCL_FOREGROUND : DISCL_BACKGROUND);
}

bool TCustomInput::InputAllowed() const { return !owner_->ActiveOnly() || owner_->IsForeground(); }

bool TCustomInput::AcquireDevice() {
    if (!DeviceAvailable()) return acquired_ = false;
    if ((coopLevel_ & DISCL_FOREGROUND) && !owner_->IsForeground()) return acquired_ = false;
    return acquired_ = true;
}

bool TCustomInput::BeginStateRead() {
    if (!device_) return false;
    // A foreground device is lost as soon as its window is not in front, an unplugged one
    // for good.
    if (!DeviceAvailable() || ((coopLevel_ & DISCL_FOREGROUND) && !owner_->IsForeground())) acquired_ = false;
    if (acquired_) return true;
    return AcquireDevice();
}

void TCustomInput::Acquire() {
    if (owner_->ActiveOnly() && !owner_->IsForeground()) return;
    if (device_) AcquireDevice();
    if (!device_ || acquired_) effects_->DeviceAcquired();
}

bool TCustomInput::ReadBinaryProperty(const std::string& name, const std::vector<uint8_t>& data) {
    if (name != "Effects") return false;
    effects_->LoadFromBytes(data);
    return true;
}

void TCustomInput::WriteBinaryProperties(TBinaryProperties& out) const {
    out.emplace_back("Effects", effects_->SaveToBytes());
}
