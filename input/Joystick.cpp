// The joystick device.
#include "input/Joystick.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "input/Gamepad.h"
#include "input/InputComponent.h"
#include "platform/Platform.h"

namespace {

platform::IJoystickSystem* Js() { return platform::Current().Joysticks; }

// Multiply then divide, rounding to nearest (halves away from zero).
int MulDiv(int64_t a, int64_t b, int64_t c) {
    if (c == 0) return -1;
    int64_t p = a * b;
    bool neg = (p < 0) != (c < 0);
    int64_t q = (std::llabs(p) + std::llabs(c) / 2) / std::llabs(c);
    return static_cast<int>(neg ? -q : q);
}

}  // namespace

TJoystick::TJoystick(TCustomDXInput* owner) : TCustomInput(owner) {
    deadZones_.fill(-1);
    ranges_.fill(-1);
    for (int ofs : {0, 4, 8}) {
        deadZones_[ofs] = 50;
        ranges_[ofs] = 1000;
    }
}

TJoystick::~TJoystick() { TJoystick::Finalize(); }

int TJoystick::Int32At(int offset) const {
    int32_t v;
    std::memcpy(&v, state_.data() + offset, 4);
    return v;
}

void TJoystick::PutInt32(int offset, int32_t v) {
    if (offset < 0 || offset + 4 > StateSize) return;
    std::memcpy(state_.data() + offset, &v, 4);
}

platform::IHaptic* TJoystick::HapticDevice() { return dev_ && dev_->Attached() ? dev_->Haptic() : nullptr; }

void TJoystick::EffectStarted(const TForceFeedbackEffect& node, bool onDevice) {
    // The pads rumble whether or not a joystick was found; ForceFeedback is the switch.
    if (!forceFeedback_) return;
    const TRumble r = RumbleFor(node);
    if (r.Empty()) return;
    if (!onDevice && initialized_ && DeviceAvailable()) dev_->Rumble(r.Low, r.High, r.Ms);
    if (TGamepad* pads = owner_->Gamepad()) pads->Rumble(r);
}

void TJoystick::EffectStopped(const TForceFeedbackEffect&) {
    if (dev_ && DeviceAvailable()) dev_->Rumble(0, 0, 0);
    if (TGamepad* pads = owner_->Gamepad()) pads->StopRumble();
}

bool TJoystick::DeviceAvailable() const { return device_ && dev_ && dev_->Attached(); }

void TJoystick::ReleaseDevice() {
    dev_.reset();
    format_.clear();
    TCustomInput::ReleaseDevice();
}

void TJoystick::Finalize() {
    TCustomInput::Finalize();
    state_.fill(0);
    mm_.reset();
    mmId_ = -1;
}

void TJoystick::SetID(int id) {
    if (id == id_) return;
    id_ = id;
    if (!owner_->Loading()) Initialize();
}

void TJoystick::SetAutoCenter(bool on) {
    autoCenter_ = on;
    if (device_ && dev_ && dev_->Haptic()) dev_->Haptic()->SetAutocenter(on ? 100 : 0);
}

int TJoystick::DeadZone(int offset) const { return offset >= 0 && offset < StateSize ? deadZones_[offset] : -1; }
int TJoystick::Range(int offset) const { return offset >= 0 && offset < StateSize ? ranges_[offset] : -1; }

bool TJoystick::OffsetIsAxis(int offset) const {
    return std::any_of(format_.begin(), format_.end(),
                       [&](const TJoystickObject& o) { return o.Type == TJoystickObject::Axis && o.Offset == offset; });
}

void TJoystick::SetDeadZone(int offset, int value) {
    if (offset < 0 || offset > StateSize - 2) return;
    value = std::clamp(value, 0, 100);
    if (offset == PovOffset) {
        deadZones_[offset] = -1;
        return;
    }
    deadZones_[offset] = value;
    // The open device takes a dead zone only for an axis it has.
    if (device_ && !OffsetIsAxis(offset)) deadZones_[offset] = -1;
}

void TJoystick::SetRange(int offset, int value) {
    if (offset < 0 || offset > StateSize - 2) return;
    value = std::max(value, 0);
    if (offset == PovOffset) {
        ranges_[offset] = -1;
        return;
    }
    ranges_[offset] = value;
    if (device_ && !OffsetIsAxis(offset)) ranges_[offset] = -1;
}

void TJoystick::BuildDataFormat() {
    // Objects in the order the device lists them, each at its own place of the state
    // record; what does not fit the record (or the 256 entries) is left out.
    format_.clear();
    auto add = [&](TJoystickObject::Kind k, int index, int offset, int size) {
        if (offset + size > StateSize || static_cast<int>(format_.size()) >= MaxObjects) return;
        format_.push_back({k, index, offset});
    };
    for (int i = 0; i < dev_->NumAxes() && i < 8; ++i) add(TJoystickObject::Axis, i, 4 * i, 4);
    for (int i = 0; i < dev_->NumHats() && i < 4; ++i) add(TJoystickObject::Pov, i, PovOffset + 4 * i, 4);
    for (int i = 0; i < dev_->NumButtons() && i < 128; ++i) add(TJoystickObject::Button, i, ButtonOffset + i, 1);
}

void TJoystick::MultimediaSearch() {
    platform::IJoystickSystem* js = Js();
    if (!js || id_ < 0 || id_ >= js->Count()) return;
    mmId_ = id_;
    mm_ = js->Open(id_);
    if (!mm_) {
        mmId_ = -1;
        return;
    }
    // The multimedia interface knows 32 buttons at most.
    numButtons_ = std::min(mm_->NumButtons(), 32);
}

void TJoystick::Initialize() {
    Finalize();
    if (!enabled_ || id_ < 0) return;
    if (!owner_->DirectInput()) {
        MultimediaSearch();
        TCustomInput::Initialize();
        return;
    }
    platform::IJoystickSystem* js = Js();
    bool ok = false;
    do {
        if (!js || id_ >= js->Count()) break;
        {
            std::unique_ptr<platform::IJoystick> probe = js->Open(id_);
            if (!probe) break;
            numButtons_ = probe->NumButtons();
            if (probe->Haptic()) forceFeedbackCapable_ = true;
        }
        // Opened again by position, so the device read is the one chosen by ID.
        dev_ = js->Open(id_);
        if (!dev_) break;
        BuildDataFormat();
        device_ = true;
        SetAutoCenter(autoCenter_);
        for (int ofs = 0; ofs < StateSize; ++ofs) SetDeadZone(ofs, deadZones_[ofs]);
        for (int ofs = 0; ofs < StateSize; ++ofs) SetRange(ofs, ranges_[ofs]);
        ok = true;
    } while (false);
    if (!ok) {
        // The joystick stays silent; the search only records what the fallback would use.
        dev_.reset();
        forceFeedbackCapable_ = false;
        MultimediaSearch();
        mm_.reset();
        return;
    }
    TCustomInput::Initialize();
}

int TJoystick::ConvertMultimediaAxis(int pos, int min, int max, int range, int deadZone) {
    // A value refused by an earlier device (-1) means none here.
    range = std::max(range, 0);
    deadZone = std::clamp(deadZone, 0, 100);
    int half = (max - min) / 2;
    int c = pos - half;
    int d = half * deadZone / 100;
    int s = half - d;
    if (s == 0) return 0;
    if (std::abs(c) <= d) return 0;
    int v = c > 0 ? c - d : c + d;
    return MulDiv(v, range, s);
}

int TJoystick::ScaleAxis(int raw, int range, int deadZoneHundredths) {
    if (range <= 0) return 0;
    raw = std::clamp(raw, -32768, 32767);
    double f = (2.0 * (raw + 32768) - 65535.0) / 65535.0;  // -1..1
    double dz = std::clamp(deadZoneHundredths, 0, 10000) / 10000.0;
    if (std::fabs(f) <= dz || dz >= 1.0) return 0;
    double v = (std::fabs(f) - dz) / (1.0 - dz) * range;
    int r = static_cast<int>(std::lround(v));
    return f < 0 ? -r : r;
}

void TJoystick::Update() {
    state_.fill(0);
    states_.Clear();
    if (!initialized_ || !InputAllowed()) return;
    if (device_) {
        if (dev_) dev_->Update();  // poll
        if (BeginStateRead()) {
            for (const TJoystickObject& o : format_) {
                switch (o.Type) {
                    case TJoystickObject::Axis:
                        PutInt32(o.Offset, ScaleAxis(dev_->Axis(o.Index), ranges_[o.Offset],
                                                     std::max(deadZones_[o.Offset], 0) * 100));
                        break;
                    case TJoystickObject::Pov: PutInt32(o.Offset, static_cast<int32_t>(dev_->Hat(o.Index))); break;
                    case TJoystickObject::Button:
                        if (o.Offset < StateSize) state_[o.Offset] = dev_->Button(o.Index) ? 0x80 : 0;
                        break;
                }
            }
        }
    } else if (mm_ && mm_->Attached()) {
        mm_->Update();
        // Positions 0..65535 as the multimedia interface reports them, centred.
        auto pos = [&](int axis) { return mm_->Axis(axis) + 32768; };
        PutInt32(0, ConvertMultimediaAxis(pos(0), 0, 65535, ranges_[0], deadZones_[0]));
        PutInt32(4, ConvertMultimediaAxis(pos(1), 0, 65535, ranges_[4], deadZones_[4]));
        PutInt32(8, mm_->NumAxes() > 2 ? ConvertMultimediaAxis(pos(2), 0, 65535, ranges_[8], deadZones_[8]) : 0);
        uint32_t pov = mm_->NumHats() > 0 ? mm_->Hat(0) : platform::PovCentered;
        PutInt32(PovOffset, static_cast<int32_t>(pov == platform::PovCentered ? 0xFFFFu : pov));
        for (int i = 0; i < numButtons_ && i < 32; ++i)
            if (mm_->Button(i)) state_[ButtonOffset + i] = 128;
    }
    for (int i = 0; i < 32; ++i)
        if (state_[ButtonOffset + i] & 0x80) states_.Include(static_cast<TInputState>(InputButton1 + i));
    if (X() < 0) states_.Include(InputLeft);
    if (X() > 0) states_.Include(InputRight);
    if (Y() < 0) states_.Include(InputUp);
    if (Y() > 0) states_.Include(InputDown);
}
