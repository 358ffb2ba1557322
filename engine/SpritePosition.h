// How a sprite's position becomes pixels: truncation toward zero and the tiling wrap.
#pragma once

// Trunc toward zero, kept well inside int so that adding a size cannot overflow.
inline int TruncPos(double v) {
    constexpr double kLimit = 1.0e9;
    if (v >= -kLimit && v <= kLimit) [[likely]]
        return static_cast<int>(v);
    if (!(v == v)) return 0;  // NaN
    return v > 0 ? static_cast<int>(kLimit) : -static_cast<int>(kLimit);
}

// A tiling coordinate: v taken modulo limit + size, made non-negative, then moved back by
// one period when it lies beyond limit.
inline int WrapPos(int v, int limit, int size) {
    const int m = limit + size;
    if (m > 0) {
        if (v < 0 || v >= m) v %= m;  // the division only when it changes v
        if (v < 0) v += m;
        if (v > limit) v -= m;
    }
    return v;
}
