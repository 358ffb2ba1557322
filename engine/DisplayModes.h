// The full-screen mode request and the modes the machine offers.
#pragma once

#include <vector>

#include "engine/DrawErrors.h"

struct TDXDrawDisplayMode {
    int Width = 0, Height = 0, BitCount = 0;
    friend bool operator==(const TDXDrawDisplayMode&, const TDXDrawDisplayMode&) = default;
};

class TCustomDXDraw;

class TDXDrawDisplay {
public:
    explicit TDXDrawDisplay(TCustomDXDraw* owner) : owner_(owner) {}

    int BitCount() const { return bitCount_; }
    // Raises EDirectDrawError for anything but 8, 16, 24, 32 (the old value stays).
    void SetBitCount(int bits);
    int Width() const { return width_; }
    void SetWidth(int w) { width_ = w < 0 ? 0 : w; }
    int Height() const { return height_; }
    void SetHeight(int h) { height_ = h < 0 ? 0 : h; }
    bool FixedBitCount = true;
    bool FixedRatio = true;
    bool FixedSize = false;

    // Enumerated on first use, sorted by width, height, bit count.
    const std::vector<TDXDrawDisplayMode>& Modes();
    int Count() { return static_cast<int>(Modes().size()); }
    void ClearModes() {
        modes_.clear();
        enumerated_ = false;
    }

    // Chooses and sets a full-screen mode for the owner's window; false when none can be
    // set. On success Width/Height/BitCount take the mode that was set.
    bool DoSetDisplayMode();

private:
    bool TrySet(const TDXDrawDisplayMode& m);
    TCustomDXDraw* owner_;
    int width_ = 640, height_ = 480, bitCount_ = 8;
    std::vector<TDXDrawDisplayMode> modes_;
    bool enumerated_ = false;
};
