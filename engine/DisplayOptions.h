// The display's option set and its text form.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

enum TDXDrawOption {
    doFullScreen,
    doNoWindowChange,
    doAllowReboot,
    doWaitVBlank,
    doAllowPalette256,
    doSystemMemory,
    doStretch,
    doCenter,
    doFlip,
    do3D,
    doDirectX7Mode,
    doRetainedMode,
    doHardware,
    doSelectDriver,
    doZBuffer
};

// A set of TDXDrawOption (bit n = option n).
class TDXDrawOptions {
public:
    constexpr TDXDrawOptions() = default;
    constexpr TDXDrawOptions(std::initializer_list<TDXDrawOption> opts) {
        for (auto o : opts) bits_ |= Bit(o);
    }
    constexpr bool Contains(TDXDrawOption o) const { return (bits_ & Bit(o)) != 0; }
    constexpr void Include(TDXDrawOption o) { bits_ |= Bit(o); }
    constexpr void Exclude(TDXDrawOption o) { bits_ &= ~Bit(o); }
    constexpr uint32_t Bits() const { return bits_; }
    constexpr bool Empty() const { return bits_ == 0; }
    friend constexpr TDXDrawOptions operator+(TDXDrawOptions a, TDXDrawOptions b) {
        return FromBits(a.bits_ | b.bits_);
    }
    friend constexpr TDXDrawOptions operator-(TDXDrawOptions a, TDXDrawOptions b) {
        return FromBits(a.bits_ & ~b.bits_);
    }
    friend constexpr TDXDrawOptions operator*(TDXDrawOptions a, TDXDrawOptions b) {
        return FromBits(a.bits_ & b.bits_);
    }
    friend constexpr bool operator==(TDXDrawOptions, TDXDrawOptions) = default;
    static constexpr TDXDrawOptions FromBits(uint32_t b) {
        TDXDrawOptions o;
        o.bits_ = b;
        return o;
    }

private:
    static constexpr uint32_t Bit(TDXDrawOption o) { return 1u << static_cast<int>(o); }
    uint32_t bits_ = 0;
};
std::string ToString(TDXDrawOptions options);  // "[doFullScreen, doFlip]"
