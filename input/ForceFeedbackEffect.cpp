// Force-feedback effect trees and their stored form.
#include "input/ForceFeedbackEffect.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "input/InputDevice.h"

namespace {

int Clamp(int v, int lo, int hi) { return std::clamp(v, lo, hi); }
int NonNegative(int v) { return v < 0 ? 0 : v; }

// Milliseconds to microseconds without wrapping (the largest finite value stays finite).
uint32_t Micro(int64_t ms) {
    int64_t us = ms * 1000;
    return static_cast<uint32_t>(std::clamp<int64_t>(us, 0, int64_t(platform::HapticInfinite) - 1));
}

}  // namespace

const char* EffectTypeName(TForceFeedbackEffectType t) {
    switch (t) {
        case etNone: return "etNone";
        case etConstantForce: return "etConstantForce";
        case etPeriodic: return "etPeriodic";
        case etCondition: return "etCondition";
    }
    return "etNone";
}

// ---------------------------------------------------------------------------------------

TForceFeedbackEffect::TForceFeedbackEffect(TForceFeedbackEffect* parent) : parent_(parent) {
    if (parent_) {
        root_ = parent_->root_;
        parent_->children_.push_back(this);
    }
}

TForceFeedbackEffect::TForceFeedbackEffect(RootTag) : name_("Effects") {}

TForceFeedbackEffect::~TForceFeedbackEffect() {
    Clear();
    ReleaseEffects();
    if (parent_) std::erase(parent_->children_, this);
}

TForceFeedbackEffect* TForceFeedbackEffect::Child(int index) const {
    if (index < 0 || index >= Count()) throw std::out_of_range("effect index out of range");
    return children_[index];
}

void TForceFeedbackEffect::Clear() {
    while (!children_.empty()) delete children_.back();  // the child unlinks itself
}

TForceFeedbackEffect* TForceFeedbackEffect::Find(const std::string& name) const {
    auto childNamed = [](const TForceFeedbackEffect* node, const std::string& n) -> TForceFeedbackEffect* {
        for (TForceFeedbackEffect* c : node->children_)
            if (c->name_ == n) return c;
        return nullptr;
    };
    std::string rest = name;
    const TForceFeedbackEffect* current = this;
    size_t dot;
    while ((dot = rest.find('.')) != std::string::npos) {
        if (TForceFeedbackEffect* exact = childNamed(current, rest)) return exact;
        TForceFeedbackEffect* next = childNamed(current, rest.substr(0, dot));
        if (!next) throw EForceFeedbackEffectError("Effect '" + name + "' not found");
        current = next;
        rest = rest.substr(dot + 1);
    }
    if (TForceFeedbackEffect* found = childNamed(current, rest)) return found;
    throw EForceFeedbackEffectError("Effect '" + name + "' not found");
}

// ---------------------------------------------------------------------------------------
// Device effects

void TForceFeedbackEffect::ReleaseEffects() {
    object1_.Release();
    object2_.Release();
}

void TForceFeedbackEffect::FillParams() {
    using platform::HapticEffectParams;
    auto common = [&](HapticEffectParams& p) {
        p.Kind = kind_;
        p.Duration = time_ == -1 ? platform::HapticInfinite : Micro(time_);
        p.SamplePeriod = 0;
        p.Gain = static_cast<uint32_t>(power_);
        p.TriggerButton = platform::HapticNoButton;
        p.TriggerRepeatInterval = 0;
        p.StartDelay = 0;
        p.Envelope.AttackLevel = static_cast<uint32_t>(attackLevel_);
        if (time_ < 0) {
            p.Envelope.AttackTime = Micro(attackTime_);
            p.Envelope.FadeLevel = 0;
            p.Envelope.FadeTime = 0;
        } else {
            p.Envelope.AttackTime = Micro(std::min(attackTime_, time_));
            p.Envelope.FadeLevel = static_cast<uint32_t>(fadeLevel_);
            p.Envelope.FadeTime = Micro(std::min(fadeTime_, time_));
        }
    };
    HapticEffectParams& a = object1_.Params;
    HapticEffectParams& b = object2_.Params;
    a = HapticEffectParams{};
    b = HapticEffectParams{};
    common(a);
    common(b);
    switch (effectType_) {
        case etConstantForce:
        case etPeriodic: {
            a.AxisCount = 2;
            a.Axes[0] = 0;
            a.Axes[1] = 4;
            a.Direction[0] = -constantX_;
            a.Direction[1] = -constantY_;
            double m = std::sqrt(double(constantX_) * constantX_ + double(constantY_) * constantY_);
            a.Magnitude = static_cast<int32_t>(std::trunc(m));
            if (effectType_ == etPeriodic) {
                a.Offset = 0;
                a.Phase = 0;
                a.Period = Micro(period_);
            }
            break;
        }
        case etCondition: {
            a.AxisCount = 1;
            a.Axes[0] = 0;
            a.Direction[0] = a.Direction[1] = 0;
            a.Offset = constantX_;
            a.PositiveCoefficient = conditionX_;
            a.NegativeCoefficient = -conditionX_;
            b.AxisCount = 1;
            b.Axes[0] = 4;
            b.Direction[0] = b.Direction[1] = 0;
            b.Offset = constantY_;
            b.PositiveCoefficient = conditionY_;
            b.NegativeCoefficient = -conditionY_;
            break;
        }
        case etNone: break;
    }
}

void TForceFeedbackEffect::BuildEffects(bool restart) {
    ReleaseEffects();
    TCustomInput* input = root_ ? root_->Input() : nullptr;
    if (!input || !input->HasDevice() || !input->ForceFeedbackCapable() || !input->ForceFeedback() ||
        effectType_ == etNone)
        return;
    platform::IHaptic* haptic = input->HapticDevice();
    if (!haptic) return;

    // The first kind of the wanted family the device lists.
    std::vector<platform::HapticEffectKind> kinds = haptic->SupportedEffects();
    auto first = [&](bool (*family)(platform::HapticEffectKind)) -> const platform::HapticEffectKind* {
        for (auto& k : kinds)
            if (family(k)) return &k;
        return nullptr;
    };
    const platform::HapticEffectKind* kind = nullptr;
    switch (effectType_) {
        case etConstantForce:
            kind = first([](platform::HapticEffectKind k) { return k == platform::HapticEffectKind::Constant; });
            break;
        case etPeriodic: kind = first(platform::IsPeriodic); break;
        case etCondition: kind = first(platform::IsCondition); break;
        case etNone: break;
    }
    if (!kind) return;
    kind_ = *kind;
    FillParams();
    object1_.Effect = haptic->CreateEffect(object1_.Params);
    if (effectType_ == etCondition) object2_.Effect = haptic->CreateEffect(object2_.Params);
    // Only restart when something was built: a refusing device must not loop.
    if (restart && playing_ && time_ == -1 && HasEffect()) Start();
}

void TForceFeedbackEffect::RebuildTree() {
    BuildEffects(true);
    for (TForceFeedbackEffect* c : std::vector(children_)) c->RebuildTree();
}

void TForceFeedbackEffect::Changed() {
    if (!HasEffect()) return;
    FillParams();
    for (auto* o : {&object1_, &object2_})
        if (o->Effect) o->Effect->SetParameters(o->Params, playing_);
}

void TForceFeedbackEffect::Start() {
    for (TForceFeedbackEffect* c : std::vector(children_)) c->Start();
    if (!HasEffect() || effectType_ == etNone) BuildEffects(false);
    TCustomInput* input = root_ ? root_->Input() : nullptr;
    if (input && effectType_ != etNone) {
        input->EffectStarted(*this, HasEffect());
        rumbled_ = true;
    }
    if (!HasEffect()) return;
    for (auto* o : {&object1_, &object2_}) {
        if (!o->Effect) continue;
        if (input && !input->DeviceAcquired()) {
            // The device answers "not acquired": take it back (which may rebuild this
            // node's effects) and start once more.
            input->Acquire();
            if (o->Effect && input->DeviceAcquired()) o->Effect->Run(1);
        } else {
            o->Effect->Run(1);
        }
    }
    playing_ = true;
}

void TForceFeedbackEffect::Stop() {
    if (rumbled_) {
        rumbled_ = false;
        if (TCustomInput* input = root_ ? root_->Input() : nullptr) input->EffectStopped(*this);
    }
    if (playing_) {
        playing_ = false;
        for (auto* o : {&object1_, &object2_})
            if (o->Effect) o->Effect->Stop();
    }
    for (TForceFeedbackEffect* c : std::vector(children_)) c->Stop();
}

bool TForceFeedbackEffect::Playing() {
    if (!playing_) return false;
    if (time_ == -1) return true;
    for (auto* o : {&object1_, &object2_})
        if (o->Effect && o->Effect->Playing()) return true;
    playing_ = false;
    return false;
}

void TForceFeedbackEffect::DeviceInitialized() { RebuildTree(); }

void TForceFeedbackEffect::DeviceFinalized() {
    if (playing_) {
        playing_ = false;
        for (auto* o : {&object1_, &object2_})
            if (o->Effect) o->Effect->Stop();
    }
    ReleaseEffects();
    for (TForceFeedbackEffect* c : std::vector(children_)) c->DeviceFinalized();
}

void TForceFeedbackEffect::DeviceAcquired() {
    if (playing_ && time_ == -1) Start();
    for (TForceFeedbackEffect* c : std::vector(children_)) c->RebuildTree();
}

// ---------------------------------------------------------------------------------------
// Setters

void TForceFeedbackEffect::SetAttackLevel(int v) {
    v = Clamp(v, 0, 10000);
    if (v == attackLevel_) return;
    attackLevel_ = v;
    Changed();
}

void TForceFeedbackEffect::SetAttackTime(int v) {
    v = NonNegative(v);
    if (v == attackTime_) return;
    attackTime_ = v;
    Changed();
}

void TForceFeedbackEffect::SetCondition(int x, int y) {
    x = Clamp(x, -10000, 10000);
    y = Clamp(y, -10000, 10000);
    if (x == conditionX_ && y == conditionY_) return;
    conditionX_ = x;
    conditionY_ = y;
    Changed();
}

void TForceFeedbackEffect::SetConstant(int x, int y) {
    x = Clamp(x, -10000, 10000);
    y = Clamp(y, -10000, 10000);
    if (x == constantX_ && y == constantY_) return;
    constantX_ = x;
    constantY_ = y;
    Changed();
}

void TForceFeedbackEffect::SetEffectType(TForceFeedbackEffectType t) {
    if (t < etNone || t > etCondition) t = etNone;
    if (t == effectType_) return;
    Stop();
    effectType_ = t;
    BuildEffects(true);
}

void TForceFeedbackEffect::SetFadeLevel(int v) {
    v = Clamp(v, 0, 10000);
    if (v == fadeLevel_) return;
    fadeLevel_ = v;
    Changed();
}

void TForceFeedbackEffect::SetFadeTime(int v) {
    v = NonNegative(v);
    if (v == fadeTime_) return;
    fadeTime_ = v;
    Changed();
}

void TForceFeedbackEffect::SetPeriod(int v) {
    v = NonNegative(v);
    if (v == period_) return;
    period_ = v;
    Changed();
}

void TForceFeedbackEffect::SetPower(int v) {
    v = Clamp(v, 0, 10000);
    if (v == power_) return;
    power_ = v;
    Changed();
}

void TForceFeedbackEffect::SetTime(int v) {
    if (v < -1) v = 0;
    if (v == time_) return;
    Stop();
    time_ = v;
    Changed();
}

void TForceFeedbackEffect::SetStartDelayTime(int v) {
    v = NonNegative(v);
    if (v == startDelayTime_) return;
    Stop();
    startDelayTime_ = v;
    Changed();
}

// ---------------------------------------------------------------------------------------
// Copying and the stored form

namespace {

void Apply(TForceFeedbackEffect& node, const TForceFeedbackEffectItem& item) {
    node.SetEffectType(etNone);
    node.SetName(item.Name);
    node.SetAttackLevel(item.AttackLevel);
    node.SetAttackTime(item.AttackTime);
    node.SetCondition(item.ConditionX, item.ConditionY);
    node.SetConstant(item.ConstantX, item.ConstantY);
    node.SetFadeLevel(item.FadeLevel);
    node.SetFadeTime(item.FadeTime);
    node.SetPeriod(item.Period);
    node.SetPower(item.Power);
    node.SetTime(item.Time);
    node.SetStartDelayTime(item.StartDelayTime);
    node.SetEffectType(item.EffectType);
    for (const auto& sub : item.Effects) Apply(*new TForceFeedbackEffect(&node), sub);
}

}  // namespace

TForceFeedbackEffectItem TForceFeedbackEffectItem::From(const TForceFeedbackEffect& n) {
    TForceFeedbackEffectItem it;
    it.Name = n.Name();
    it.EffectType = n.EffectType();
    it.AttackLevel = n.AttackLevel();
    it.AttackTime = n.AttackTime();
    it.ConditionX = n.ConditionX();
    it.ConditionY = n.ConditionY();
    it.ConstantX = n.ConstantX();
    it.ConstantY = n.ConstantY();
    it.FadeLevel = n.FadeLevel();
    it.FadeTime = n.FadeTime();
    it.Period = n.Period();
    it.Power = n.Power();
    it.Time = n.Time();
    it.StartDelayTime = n.StartDelayTime();
    for (int i = 0; i < n.Count(); ++i) it.Effects.push_back(From(*n.Child(i)));
    return it;
}

void TForceFeedbackEffect::Assign(const TForceFeedbackEffect& source) {
    if (&source == this) return;
    // Take the values first: the source may be one of our own descendants.
    TForceFeedbackEffectItem item = TForceFeedbackEffectItem::From(source);
    Clear();
    Apply(*this, item);
}

std::vector<uint8_t> TForceFeedbackEffect::SaveToBytes() const {
    TForceFeedbackEffectComponent c;
    c.Effects.push_back(TForceFeedbackEffectItem::From(*this));
    return c.Save();
}

void TForceFeedbackEffect::LoadFromBytes(const std::vector<uint8_t>& bytes) {
    // Read everything before touching the tree, so bad bytes leave it as it was.
    TForceFeedbackEffectComponent c = TForceFeedbackEffectComponent::Load(bytes);
    Clear();
    if (!c.Effects.empty()) Apply(*this, c.Effects.front());
}

TForceFeedbackEffects::TForceFeedbackEffects(TCustomInput* input) : TForceFeedbackEffect(RootTag{}), input_(input) {
    root_ = this;
}

TForceFeedbackEffects::~TForceFeedbackEffects() {
    // Free the children while the root is still whole: they ask it for the device.
    Clear();
    ReleaseEffects();
}

// ---------------------------------------------------------------------------------------
// Component stream

namespace {

constexpr char kStreamName[] = "TFORCEFEEDBACKEFFECTCOMPONENT";
constexpr char kSignature[4] = {'S', 'B', 'F', 'C'};
enum : uint8_t { vaInt = 1, vaString = 2, vaIdent = 3, vaCollection = 4 };
constexpr int kMaxDepth = 64;

[[noreturn]] void Invalid() { throw EForceFeedbackEffectError("Invalid stream format"); }

class Writer {
public:
    std::vector<uint8_t> Out;
    void U8(uint8_t v) { Out.push_back(v); }
    void U16(uint16_t v) {
        U8(v & 0xFF);
        U8(v >> 8);
    }
    void U32(uint32_t v) {
        for (int i = 0; i < 4; ++i) U8((v >> (8 * i)) & 0xFF);
    }
    void Bytes(const std::string& s) { Out.insert(Out.end(), s.begin(), s.end()); }
    void Name(const char* n) {
        U8(static_cast<uint8_t>(std::strlen(n)));
        Bytes(n);
    }
    void Int(const char* n, int v) {
        Name(n);
        U8(vaInt);
        U32(static_cast<uint32_t>(v));
    }
    void Item(const TForceFeedbackEffectItem& it) {
        Name("Name");
        U8(vaString);
        U32(static_cast<uint32_t>(it.Name.size()));
        Bytes(it.Name);
        Name("EffectType");
        U8(vaIdent);
        std::string t = EffectTypeName(it.EffectType);
        U8(static_cast<uint8_t>(t.size()));
        Bytes(t);
        auto opt = [&](const char* n, int v) {
            if (v != 0) Int(n, v);
        };
        opt("AttackLevel", it.AttackLevel);
        opt("AttackTime", it.AttackTime);
        opt("ConditionX", it.ConditionX);
        opt("ConditionY", it.ConditionY);
        opt("ConstantX", it.ConstantX);
        opt("ConstantY", it.ConstantY);
        opt("FadeLevel", it.FadeLevel);
        opt("FadeTime", it.FadeTime);
        Int("Period", it.Period);
        Int("Power", it.Power);
        Int("Time", it.Time);
        Int("StartDelayTime", it.StartDelayTime);
        if (!it.Effects.empty()) Collection("Effects", it.Effects);
        U8(0);
    }
    void Collection(const char* n, const std::vector<TForceFeedbackEffectItem>& items) {
        Name(n);
        U8(vaCollection);
        U32(static_cast<uint32_t>(items.size()));
        for (const auto& it : items) Item(it);
    }
};

class Reader {
public:
    Reader(const uint8_t* p, size_t n) : p_(p), end_(p + n) {}
    bool AtEnd() const { return p_ == end_; }
    size_t Left() const { return static_cast<size_t>(end_ - p_); }
    uint8_t U8() {
        if (p_ >= end_) Invalid();
        return *p_++;
    }
    uint16_t U16() {
        uint16_t lo = U8();
        return static_cast<uint16_t>(lo | (U8() << 8));
    }
    uint32_t U32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v |= uint32_t(U8()) << (8 * i);
        return v;
    }
    std::string Bytes(size_t n) {
        if (n > Left()) Invalid();
        std::string s(reinterpret_cast<const char*>(p_), n);
        p_ += n;
        return s;
    }

    // One property list into an item.
    void Item(TForceFeedbackEffectItem& it, int depth) {
        if (depth > kMaxDepth) Invalid();
        for (;;) {
            uint8_t len = U8();
            if (len == 0) return;
            std::string name = Bytes(len);
            uint8_t kind = U8();
            switch (kind) {
                case vaInt: {
                    int v = static_cast<int32_t>(U32());
                    if (int* field = IntField(it, name)) *field = v;
                    break;
                }
                case vaString: {
                    std::string s = Bytes(U32());
                    if (name == "Name") it.Name = s;
                    break;
                }
                case vaIdent: {
                    std::string s = Bytes(U8());
                    if (name == "EffectType") it.EffectType = TypeOf(s);
                    break;
                }
                case vaCollection: {
                    std::vector<TForceFeedbackEffectItem> items = Collection(depth + 1);
                    if (name == "Effects") it.Effects = std::move(items);
                    break;
                }
                default: Invalid();
            }
        }
    }

    std::vector<TForceFeedbackEffectItem> Collection(int depth) {
        if (depth > kMaxDepth) Invalid();
        uint32_t count = U32();
        if (count > Left()) Invalid();  // every item takes at least its end marker
        std::vector<TForceFeedbackEffectItem> items(count);
        for (auto& it : items) Item(it, depth);
        return items;
    }

private:
    static int* IntField(TForceFeedbackEffectItem& it, const std::string& n) {
        if (n == "AttackLevel") return &it.AttackLevel;
        if (n == "AttackTime") return &it.AttackTime;
        if (n == "ConditionX") return &it.ConditionX;
        if (n == "ConditionY") return &it.ConditionY;
        if (n == "ConstantX") return &it.ConstantX;
        if (n == "ConstantY") return &it.ConstantY;
        if (n == "FadeLevel") return &it.FadeLevel;
        if (n == "FadeTime") return &it.FadeTime;
        if (n == "Period") return &it.Period;
        if (n == "Power") return &it.Power;
        if (n == "Time") return &it.Time;
        if (n == "StartDelayTime") return &it.StartDelayTime;
        return nullptr;
    }
    static TForceFeedbackEffectType TypeOf(const std::string& s) {
        for (auto t : {etNone, etConstantForce, etPeriodic, etCondition})
            if (s == EffectTypeName(t)) return t;
        Invalid();
    }
    const uint8_t* p_;
    const uint8_t* end_;
};

}  // namespace

std::vector<uint8_t> TForceFeedbackEffectComponent::Save() const {
    Writer body;
    body.Out.insert(body.Out.end(), kSignature, kSignature + 4);
    body.Collection("Effects", Effects);
    body.U8(0);

    Writer w;
    w.U8(0xFF);
    w.U16(10);
    w.Bytes(kStreamName);
    w.U8(0);
    w.U16(0x1030);
    w.U32(static_cast<uint32_t>(body.Out.size()));
    w.Out.insert(w.Out.end(), body.Out.begin(), body.Out.end());
    return w.Out;
}

TForceFeedbackEffectComponent TForceFeedbackEffectComponent::Load(const std::vector<uint8_t>& bytes) {
    Reader r(bytes.data(), bytes.size());
    if (r.U8() != 0xFF || r.U16() != 10) Invalid();
    while (r.U8() != 0) {}  // the stream's name, not checked
    r.U16();                // flags
    uint32_t length = r.U32();
    if (length > r.Left()) Invalid();
    std::string body = r.Bytes(length);
    Reader b(reinterpret_cast<const uint8_t*>(body.data()), body.size());
    if (b.Bytes(4) != std::string(kSignature, 4)) Invalid();
    TForceFeedbackEffectComponent c;
    for (;;) {
        uint8_t len = b.U8();
        if (len == 0) break;
        std::string name = b.Bytes(len);
        if (b.U8() != vaCollection || name != "Effects") Invalid();
        c.Effects = b.Collection(1);
    }
    return c;
}
