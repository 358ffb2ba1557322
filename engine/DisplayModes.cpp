// Full-screen mode choice.
#include "engine/DisplayModes.h"

#include <algorithm>
#include <optional>

#include "engine/Display.h"

void TDXDrawDisplay::SetBitCount(int bits) {
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32)
        throw EDirectDrawError("It should be either of 8 or 16 or 24 or 32");
    bitCount_ = bits;
}

const std::vector<TDXDrawDisplayMode>& TDXDrawDisplay::Modes() {
    if (!enumerated_) {
        enumerated_ = true;
        modes_.clear();
        if (auto* ws = platform::Current().Windows) {
            for (const auto& m : ws->DisplayModes()) modes_.push_back({m.Width, m.Height, m.Bits});
        }
        std::sort(modes_.begin(), modes_.end(), [](const TDXDrawDisplayMode& a, const TDXDrawDisplayMode& b) {
            if (a.Width != b.Width) return a.Width < b.Width;
            if (a.Height != b.Height) return a.Height < b.Height;
            return a.BitCount < b.BitCount;
        });
        modes_.erase(std::unique(modes_.begin(), modes_.end()), modes_.end());
    }
    return modes_;
}

bool TDXDrawDisplay::TrySet(const TDXDrawDisplayMode& m) {
    platform::IWindow* w = owner_->Window();
    if (!w || !w->SetFullScreen(true, platform::DisplayMode{m.Width, m.Height, m.BitCount})) return false;
    width_ = m.Width;
    height_ = m.Height;
    bitCount_ = m.BitCount;
    return true;
}

bool TDXDrawDisplay::DoSetDisplayMode() {
    const int W = width_, H = height_, B = bitCount_;
    if (W <= 0 || H <= 0 || (B != 8 && B != 16 && B != 24 && B != 32)) return false;
    if (TrySet({W, H, B})) return true;

    const auto& modes = Modes();
    auto search = [&](bool sameRatio) -> std::optional<TDXDrawDisplayMode> {
        for (const auto& m : modes) {
            if (FixedSize) {
                if (m.Width != W || m.Height != H) continue;
            } else if (m.Width < W || m.Height < H) {
                continue;
            }
            if (sameRatio && static_cast<long long>(m.Width) * H != static_cast<long long>(m.Height) * W) continue;
            if (FixedBitCount) {
                if (m.BitCount != B) continue;
            } else if (!(m.BitCount >= B || (B > 8 && m.BitCount > 8))) {
                continue;
            }
            return m;
        }
        return std::nullopt;
    };
    std::optional<TDXDrawDisplayMode> taken;
    if (FixedRatio) taken = search(true);
    if (!taken) taken = search(false);
    if (!taken) return false;
    if (taken->BitCount != B) {
        for (const auto& m : modes)
            if (m.Width == taken->Width && m.Height == taken->Height && m.BitCount == B) taken->BitCount = B;
    }
    return TrySet(*taken);
}
