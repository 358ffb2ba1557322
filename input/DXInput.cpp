// The input component and its devices.
#include "input/DXInput.h"

#include "input/Gamepad.h"
#include "platform/Settings.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

platform::IWindowSystem* Ws() { return platform::Current().Windows; }
platform::IJoystickSystem* Js() { return platform::Current().Joysticks; }

// PC set-1 scan code (extended + 0x80) to virtual-key code. Several keys share a code on
// purpose (the apostrophe gives the Right arrow's 39, keypad * gives 42, not 106).
const std::array<uint8_t, 256>& ScanTable() {
    static const std::array<uint8_t, 256> table = [] {
        std::array<uint8_t, 256> t{};
        auto put = [&](std::initializer_list<int> scans, int vk) {
            for (int s : scans) t[s] = static_cast<uint8_t>(vk);
        };
        auto run = [&](int firstScan, std::initializer_list<int> vks) {
            int s = firstScan;
            for (int vk : vks) t[s++] = static_cast<uint8_t>(vk);
        };
        put({1}, 27);
        for (int i = 0; i < 9; ++i) t[2 + i] = static_cast<uint8_t>(49 + i);
        put({11}, 48);
        put({13}, 61);
        run(14, {8, 9});
        run(16, {81, 87, 69, 82, 84, 89, 85, 73, 79, 80});
        put({26, 219}, 91);
        put({27, 221}, 93);
        put({28, 156}, 13);
        put({29, 157}, 17);
        run(30, {65, 83, 68, 70, 71, 72, 74, 75, 76});
        put({39}, 59);
        put({40, 205}, 39);
        put({42, 54}, 16);
        put({43, 220}, 92);
        run(44, {90, 88, 67, 86, 66, 78, 77});
        put({51}, 44);
        put({52, 211}, 46);
        put({53}, 47);
        put({55}, 42);
        put({56, 184}, 18);
        put({57}, 32);
        put({58}, 20);
        for (int i = 0; i < 10; ++i) t[59 + i] = static_cast<uint8_t>(112 + i);
        run(69, {144, 145});
        run(71, {103, 104, 105});
        put({74}, 109);
        run(75, {100, 101, 102});
        put({78}, 107);
        run(79, {97, 98, 99, 96});
        put({83}, 110);
        run(87, {122, 123});
        put({181}, 111);
        run(199, {36, 38, 33});
        put({203}, 37);
        run(207, {35, 40, 34, 45});
        return t;
    }();
    return table;
}

// Multiply then divide, rounding to nearest (halves away from zero).
int MulDiv(int64_t a, int64_t b, int64_t c) {
    if (c == 0) return -1;
    int64_t p = a * b;
    bool neg = (p < 0) != (c < 0);
    int64_t q = (std::llabs(p) + std::llabs(c) / 2) / std::llabs(c);
    return static_cast<int>(neg ? -q : q);
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TCustomInput

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

// ---------------------------------------------------------------------------------------
// TKeyboard

TKeyboard::TKeyAssignList TKeyboard::DefaultAssigns() {
    TKeyAssignList a{};
    a[InputUp] = {75, 38, 104};
    a[InputDown] = {74, 40, 98};
    a[InputLeft] = {72, 37, 100};
    a[InputRight] = {76, 39, 102};
    a[InputButton1] = {90, 32, 0};
    a[InputButton2] = {88, 13, 0};
    a[InputButton9] = {113, 0, 0};
    return a;
}

TKeyboard::TKeyAssignList TKeyboard::GameAssigns() {
    TKeyAssignList a{};
    a[InputUp] = {87, 38, 104};
    a[InputDown] = {83, 40, 98};
    a[InputLeft] = {65, 37, 100};
    a[InputRight] = {68, 39, 102};
    a[InputButton1] = {90, 32, 106};
    a[InputButton2] = {88, 16, 0};
    a[InputButton3] = {9, 0, 0};
    a[InputButton9] = {113, 0, 0};
    return a;
}

TKeyboard::TKeyboard(TCustomDXInput* owner) : TCustomInput(owner), assigns_(DefaultAssigns()) {}

TKeyboard::~TKeyboard() { TKeyboard::Finalize(); }

int TKeyboard::ScanCodeToVirtualKey(int scanCode) {
    if (scanCode < 0 || scanCode > 255) return 0;
    return ScanTable()[scanCode];
}

void TKeyboard::Finalize() {
    TCustomInput::Finalize();
    keyTable_.fill(0);
}

void TKeyboard::Initialize() {
    Finalize();
    if (!enabled_) return;
    if (owner_->DirectInput()) {
        if (!Ws()) return;  // no keyboard device to be had: this device stays silent
        device_ = true;
    }
    numButtons_ = 32;
    TCustomInput::Initialize();
}

void TKeyboard::Update() {
    keyTable_.fill(0);
    states_.Clear();
    if (!initialized_ || !InputAllowed()) return;
    if (device_) {
        uint8_t sc[256] = {};
        if (BeginStateRead() && Ws()) Ws()->GetScanCodeState(sc);
        for (int i = 0; i < 256; ++i)
            if (sc[i] & 0x80) keyTable_[ScanTable()[i]] = 128;
    } else if (Ws()) {
        Ws()->GetKeyboardState(keyTable_.data());
    }
    for (int n = 0; n < InputStateCount; ++n) {
        for (int32_t key : assigns_[n]) {
            if (Keys(key)) {
                states_.Include(static_cast<TInputState>(n));
                break;
            }
        }
    }
}

std::vector<uint8_t> TKeyboard::SaveAssigns() const {
    std::vector<uint8_t> out;
    out.reserve(AssignsSize);
    for (const auto& a : assigns_)
        for (int32_t k : a) {
            uint32_t u = static_cast<uint32_t>(k);
            for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(u >> (8 * i)));
        }
    return out;
}

void TKeyboard::LoadAssigns(const std::vector<uint8_t>& data) {
    // A short table is refused whole rather than read half-way.
    if (data.size() < AssignsSize) throw EDXInputError("Stream read error");
    size_t p = 0;
    for (auto& a : assigns_)
        for (int32_t& k : a) {
            uint32_t u = 0;
            for (int i = 0; i < 4; ++i) u |= uint32_t(data[p++]) << (8 * i);
            k = static_cast<int32_t>(u);
        }
}

bool TKeyboard::ReadBinaryProperty(const std::string& name, const std::vector<uint8_t>& data) {
    if (name == "Assigns" || name == "Aissgns") {
        LoadAssigns(data);
        return true;
    }
    return TCustomInput::ReadBinaryProperty(name, data);
}

void TKeyboard::WriteBinaryProperties(TBinaryProperties& out) const {
    TCustomInput::WriteBinaryProperties(out);
    out.emplace_back("Assigns", SaveAssigns());
}

// ---------------------------------------------------------------------------------------
// TJoystick

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

// ---------------------------------------------------------------------------------------
// TMouse

TMouse::TMouse(TCustomDXInput* owner) : TCustomInput(owner) {
    bindInputStates_ = false;
    enabled_ = false;
}

TMouse::~TMouse() { TMouse::Finalize(); }

void TMouse::Finalize() {
    TCustomInput::Finalize();
    x_ = y_ = z_ = 0;
    buttons_.fill(0);
    dx_ = dy_ = 0;
    haveLast_ = false;
    held_.fill(0);
}

void TMouse::Initialize() {
    Finalize();
    if (!enabled_) return;
    if (!owner_->DirectInput()) throw EDXInputError("DirectInput is necessary to use the mouse");
    device_ = true;
    numButtons_ = 3;
    TCustomInput::Initialize();
}

void TMouse::MouseMessage(const platform::Message& msg) {
    if (!device_) return;
    using platform::MsgKind;
    if (msg.Kind == MsgKind::MouseMove || msg.Kind == MsgKind::MouseDown || msg.Kind == MsgKind::MouseUp) {
        if (haveLast_) {
            dx_ += msg.X - lastX_;
            dy_ += msg.Y - lastY_;
        }
        lastX_ = msg.X;
        lastY_ = msg.Y;
        haveLast_ = true;
    }
    if ((msg.Kind == MsgKind::MouseDown || msg.Kind == MsgKind::MouseUp) && msg.Button >= 1 && msg.Button <= 3)
        held_[msg.Button - 1] = msg.Kind == MsgKind::MouseDown ? 0x80 : 0;
}

void TMouse::Update() {
    x_ = y_ = z_ = 0;
    buttons_.fill(0);
    states_.Clear();
    if (!initialized_ || !InputAllowed()) return;
    if (!BeginStateRead()) return;
    x_ = dx_;
    y_ = dy_;
    dx_ = dy_ = 0;
    buttons_ = held_;
    if (x_ < 0) states_.Include(InputLeft);
    if (x_ > 0) states_.Include(InputRight);
    if (y_ < 0) states_.Include(InputUp);
    if (y_ > 0) states_.Include(InputDown);
    for (int i = 0; i < 3; ++i)
        if (buttons_[i] & 0x80) states_.Include(static_cast<TInputState>(InputButton1 + i));
}

// ---------------------------------------------------------------------------------------
// TCustomDXInput

TCustomDXInput::TCustomDXInput(TForm* owner) : form_(owner) {
    if (!form_) throw EDXInputError("Form not found");
    joystick_ = new TJoystick(this);
    keyboard_ = new TKeyboard(this);
    mouse_ = new TMouse(this);
    gamepad_ = new TGamepad(this);
    form_->AddWindowHook(this, [this](const platform::Message& m) {
        switch (m.Kind) {
            case platform::MsgKind::Activate: Reacquire(); break;
            case platform::MsgKind::MouseMove:
            case platform::MsgKind::MouseDown:
            case platform::MsgKind::MouseUp:
                if (mouse_) mouse_->MouseMessage(m);
                break;
            default: break;
        }
    });
    Application().AddMessageHook(this, [this](const platform::Message& m) {
        if (m.Kind == platform::MsgKind::AppActivate) Reacquire();
    });
}

TCustomDXInput::~TCustomDXInput() {
    destroying_ = true;
    Finalize();
    Application().RemoveMessageHook(this);
    if (form_) form_->RemoveWindowHook(this);
    delete joystick_;
    delete keyboard_;
    delete mouse_;
    delete gamepad_;
    joystick_ = nullptr;
    keyboard_ = nullptr;
    mouse_ = nullptr;
    gamepad_ = nullptr;
    while (!devices_.empty()) delete devices_.back();  // a device unlinks itself
}

bool TCustomDXInput::IsForeground() const {
    platform::IWindowSystem* ws = Ws();
    return ws && form_->Handle() != 0 && ws->FocusWindow() == form_->Handle();
}

void TCustomDXInput::Finalize() {
    for (TCustomInput* d : devices_) d->Finalize();
    directInput_ = false;
}

void TCustomDXInput::Initialize() {
    Finalize();
    if (useDirectInput_) directInput_ = true;
    for (TCustomInput* d : std::vector(devices_)) d->Initialize();
    ApplyCoopLevels();
    Update();
}

void TCustomDXInput::ApplyCoopLevels() {
    for (TCustomInput* d : devices_)
        if (d->HasDevice()) d->SetCooperativeLevel(d->CoopLevelFlags());
}

void TCustomDXInput::Reacquire() {
    if (destroying_) return;
    for (TCustomInput* d : std::vector(devices_)) d->Acquire();
}

void TCustomDXInput::Update() {
    TInputStates now;
    for (TCustomInput* d : devices_) {
        d->Update();
        if (d->BindInputStates()) now |= d->States();
    }
    for (int n = 0; n < InputStateCount; ++n) {
        auto s = static_cast<TInputState>(n);
        if (now.Contains(s) && !oldStates_.Contains(s)) States.Include(s);
        if (!now.Contains(s) && oldStates_.Contains(s)) States.Exclude(s);
    }
    oldStates_ = now;
}

void TCustomDXInput::SetActiveOnly(bool on) {
    if (on == activeOnly_) return;
    activeOnly_ = on;
    if (!loading_) ApplyCoopLevels();
}

void TCustomDXInput::SetUseDirectInput(bool on) {
    if (on == useDirectInput_) return;
    useDirectInput_ = on;
    if (!loading_) Initialize();
}

void TCustomDXInput::EndLoading() {
    loading_ = false;
    Initialize();
}

// ---------------------------------------------------------------------------------------
// This program's settings

void TDXInput::ApplyGameSettings() {
    BeginLoading();
    try {
        SetActiveOnly(true);
        SetUseDirectInput(true);

        TJoystick* j = Joystick();
        j->SetBindInputStates(true);
        j->SetEnabled(true);
        // The rumble setting switches force feedback (and the pads' rumble) off alone.
        j->SetForceFeedback(platform::CurrentSettings().GetBool("rumble"));
        j->SetAutoCenter(true);
        j->SetDeadZoneX(50);
        j->SetDeadZoneY(50);
        j->SetDeadZoneZ(50);
        j->SetID(0);
        j->SetRangeX(300);
        j->SetRangeY(300);
        j->SetRangeZ(300);
        TForceFeedbackEffects* root = j->Effects();
        root->Clear();
        auto* eff1 = new TForceFeedbackEffect(root);
        eff1->SetName("eff1");
        eff1->SetConstant(10000, -10000);
        eff1->SetPeriod(30);
        eff1->SetPower(10000);
        eff1->SetTime(50);
        eff1->SetStartDelayTime(0);
        eff1->SetEffectType(etPeriodic);

        TKeyboard* k = Keyboard();
        k->SetBindInputStates(true);
        k->SetEnabled(true);
        k->SetForceFeedback(false);
        k->Assigns() = TKeyboard::GameAssigns();
        k->Effects()->Clear();

        TMouse* m = Mouse();
        m->SetBindInputStates(false);
        m->SetEnabled(false);
        m->SetForceFeedback(false);
        m->Effects()->Clear();

        TGamepad* g = Gamepad();
        g->SetBindInputStates(true);
        g->SetEnabled(true);
        g->SetForceFeedback(false);
        g->Effects()->Clear();
    } catch (...) {
        loading_ = false;
        throw;
    }
    EndLoading();
}
