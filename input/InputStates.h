// The abstract input states the devices are bound to, and the set of them read each frame.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>

// The order is the bit position in TInputStates.
enum TInputState : uint8_t {
    InputUp,
    InputDown,
    InputLeft,
    InputRight,
    InputButton1,
    InputButton2,
    InputButton3,
    InputButton4,
    InputButton5,
    InputButton6,
    InputButton7,
    InputButton8,
    InputButton9,
    InputButton10,
    InputButton11,
    InputButton12,
    InputButton13,
    InputButton14,
    InputButton15,
    InputButton16,
    InputButton17,
    InputButton18,
    InputButton19,
    InputButton20,
    InputButton21,
    InputButton22,
    InputButton23,
    InputButton24,
    InputButton25,
    InputButton26,
    InputButton27,
    InputButton28,
    InputButton29,
    InputButton30,
    InputButton31,
    InputButton32,
};
constexpr int InputStateCount = 36;

// A set of input states held in 40 bits (5 bytes); bits 36..39 are never set.
class TInputStates {
public:
    constexpr TInputStates() = default;
    constexpr TInputStates(std::initializer_list<TInputState> states) {
        for (TInputState s : states) Include(s);
    }
    constexpr bool Contains(TInputState s) const { return s < InputStateCount && (bits_ >> s) & 1; }
    constexpr void Include(TInputState s) {
        if (s < InputStateCount) bits_ |= uint64_t(1) << s;
    }
    constexpr void Exclude(TInputState s) {
        if (s < InputStateCount) bits_ &= ~(uint64_t(1) << s);
    }
    constexpr void Clear() { bits_ = 0; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr uint64_t Bits() const { return bits_; }
    std::array<uint8_t, 5> Bytes() const {
        std::array<uint8_t, 5> b{};
        for (int i = 0; i < 5; ++i) b[i] = static_cast<uint8_t>(bits_ >> (8 * i));
        return b;
    }
    constexpr TInputStates& operator|=(const TInputStates& o) {
        bits_ |= o.bits_;
        return *this;
    }
    friend constexpr TInputStates operator|(TInputStates a, const TInputStates& b) { return a |= b; }
    friend constexpr bool operator==(const TInputStates&, const TInputStates&) = default;

private:
    uint64_t bits_ = 0;
};
