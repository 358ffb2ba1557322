// Force-feedback effect trees: each input device owns one, whose named nodes are played on
// the device's haptic side; and the stored form of a tree.
//
// They live with the input devices: a tree asks its device for the haptic side, and the
// device tells its tree when it initialises, finalises and is re-acquired.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Input.h"

class TCustomInput;
class TForceFeedbackEffects;

class EForceFeedbackEffectError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum TForceFeedbackEffectType { etNone, etConstantForce, etPeriodic, etCondition };

// The device-side parameter block of a node and the effect made from it (absent until
// created).
class TForceFeedbackEffectObject {
public:
    platform::HapticEffectParams Params;
    std::unique_ptr<platform::IHapticEffect> Effect;
    void Release() { Effect.reset(); }
};

// One node of an effect tree. Children are created with their parent, which owns them;
// deleting a child removes it from its parent.
class TForceFeedbackEffect {
public:
    explicit TForceFeedbackEffect(TForceFeedbackEffect* parent);
    virtual ~TForceFeedbackEffect();
    TForceFeedbackEffect(const TForceFeedbackEffect&) = delete;
    TForceFeedbackEffect& operator=(const TForceFeedbackEffect&) = delete;

    TForceFeedbackEffects* Root() const { return root_; }
    TForceFeedbackEffect* Parent() const { return parent_; }
    int Count() const { return static_cast<int>(children_.size()); }
    TForceFeedbackEffect* Child(int index) const;  // std::out_of_range outside 0..Count-1
    void Clear();                                  // frees the children, last first

    // A descendant by exact name, or by a dotted path of names; a child whose whole name
    // matches is preferred to reading the name as a path.
    TForceFeedbackEffect* Find(const std::string& name) const;

    void Start();
    void Stop();
    bool Playing();

    // Copy another node's values and children into this one (its own children are freed).
    void Assign(const TForceFeedbackEffect& source);

    // Stored form (header, then the item tree).
    std::vector<uint8_t> SaveToBytes() const;
    void LoadFromBytes(const std::vector<uint8_t>& bytes);  // "Invalid stream format"

    // Called by the owning input device for the whole tree.
    void DeviceInitialized();  // rebuild the device effects, this node first
    void DeviceFinalized();    // stop and release every node
    void DeviceAcquired();     // after re-acquisition: bring endless effects back

    int AttackLevel() const { return attackLevel_; }
    int AttackTime() const { return attackTime_; }
    int ConditionX() const { return conditionX_; }
    int ConditionY() const { return conditionY_; }
    int ConstantX() const { return constantX_; }
    int ConstantY() const { return constantY_; }
    TForceFeedbackEffectType EffectType() const { return effectType_; }
    int FadeLevel() const { return fadeLevel_; }
    int FadeTime() const { return fadeTime_; }
    const std::string& Name() const { return name_; }
    int Period() const { return period_; }
    int Power() const { return power_; }
    int Time() const { return time_; }
    int StartDelayTime() const { return startDelayTime_; }

    void SetAttackLevel(int v);
    void SetAttackTime(int v);
    void SetCondition(int x, int y);
    void SetConditionX(int v) { SetCondition(v, conditionY_); }
    void SetConditionY(int v) { SetCondition(conditionX_, v); }
    void SetConstant(int x, int y);
    void SetConstantX(int v) { SetConstant(v, constantY_); }
    void SetConstantY(int v) { SetConstant(constantX_, v); }
    void SetEffectType(TForceFeedbackEffectType t);
    void SetFadeLevel(int v);
    void SetFadeTime(int v);
    void SetName(const std::string& n) { name_ = n; }
    void SetPeriod(int v);
    void SetPower(int v);
    void SetTime(int v);
    void SetStartDelayTime(int v);

    // The device side (object 2 is used only by conditions, for the Y axis).
    TForceFeedbackEffectObject& Object1() { return object1_; }
    TForceFeedbackEffectObject& Object2() { return object2_; }

protected:
    struct RootTag {};
    explicit TForceFeedbackEffect(RootTag);

private:
    friend class TForceFeedbackEffects;
    bool HasEffect() const { return object1_.Effect || object2_.Effect; }
    void ReleaseEffects();
    void BuildEffects(bool restart);
    void RebuildTree();
    void FillParams();
    void Changed();  // hand the values to existing device effects

    TForceFeedbackEffects* root_ = nullptr;
    TForceFeedbackEffect* parent_ = nullptr;
    std::vector<TForceFeedbackEffect*> children_;
    int attackLevel_ = 0;
    int attackTime_ = 0;
    int conditionX_ = 0, conditionY_ = 0;
    int constantX_ = 0, constantY_ = 0;
    TForceFeedbackEffectType effectType_ = etNone;
    int fadeLevel_ = 0;
    int fadeTime_ = 0;
    std::string name_;
    int period_ = 50;
    bool playing_ = false;
    bool rumbled_ = false;  // started on a device that rumbles instead
    int power_ = 10000;
    int time_ = 1000;
    int startDelayTime_ = 0;
    TForceFeedbackEffectObject object1_, object2_;
    platform::HapticEffectKind kind_ = platform::HapticEffectKind::Sine;  // chosen when built
};

// The root of a device's tree, named "Effects".
class TForceFeedbackEffects : public TForceFeedbackEffect {
public:
    explicit TForceFeedbackEffects(TCustomInput* input);
    ~TForceFeedbackEffects() override;
    TCustomInput* Input() const { return input_; }

private:
    TCustomInput* input_;
};

// The stored tree: one item per node, in the order the stream holds them.
struct TForceFeedbackEffectItem {
    std::string Name;
    TForceFeedbackEffectType EffectType = etNone;
    int AttackLevel = 0, AttackTime = 0;
    int ConditionX = 0, ConditionY = 0;
    int ConstantX = 0, ConstantY = 0;
    int FadeLevel = 0, FadeTime = 0;
    int Period = 0, Power = 0, Time = 0, StartDelayTime = 0;
    std::vector<TForceFeedbackEffectItem> Effects;

    static TForceFeedbackEffectItem From(const TForceFeedbackEffect& node);
};

// The storage component: its one property is the collection "Effects".
//
// Stored bytes: byte 0xFF, 16-bit 10, the name "TFORCEFEEDBACKEFFECTCOMPONENT" and a NUL,
// 16-bit flags 0x1030, 32-bit length of what follows, then the component stream:
//   "SBFC", then a property list
//   property list := { name value } 0x00        name := 8-bit length (1..255), ASCII
//   value := 0x01 int32 | 0x02 uint32 length, bytes | 0x03 8-bit length, identifier
//          | 0x04 uint32 count, count property lists (a collection of items)
// All numbers little-endian. Unknown properties are skipped; a missing one reads as 0.
class TForceFeedbackEffectComponent {
public:
    std::vector<TForceFeedbackEffectItem> Effects;

    std::vector<uint8_t> Save() const;
    static TForceFeedbackEffectComponent Load(const std::vector<uint8_t>& bytes);
};

const char* EffectTypeName(TForceFeedbackEffectType t);
