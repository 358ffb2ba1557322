// How a window's picture reaches the screen: the scale it is shown at, where it lands inside
// the window, how mouse positions map back, and how often a frame may be shown.
//
// Pure arithmetic, kept apart from SDL so it can be checked case by case.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/Platform.h"

namespace platform::sdl {

enum class Scaling { Auto, Integer, Off };
enum class Pacing { Display, Fixed, Unlimited };

// "auto" / "integer" / "off"; anything else is Auto (the settings file has checked it).
Scaling ScalingFromName(std::string_view name);
Pacing PacingFromName(std::string_view name);

// Window scale: the largest whole multiple of the program's display size (design) that fits
// the desktop's usable area, both in real pixels; at least 1, and 1 with Scaling::Off.
int WindowScale(Size usablePixels, Size design, Scaling scaling);

// Where a picture of `picture` pixels is drawn inside an output of `output` pixels.
struct View {
    Rect Target;          // destination rectangle in output pixels (black outside it)
    int Prescale = 0;     // > 0: enlarge by this whole factor with nearest pixels first, then
                          // smooth down to Target (a fractional fit kept sharp); 0: straight
    bool Smooth = false;  // the final copy is filtered (only for a fit that is not whole)
};

// Window (fullScreen false): the picture fills the output at the window's whole scale.
// Full screen: as large as fits and centred; Auto sharp at any size, Integer whole
// multiples only, Off 1:1 (shrunk to fit when the screen is smaller than the picture).
View ComputeView(Size output, Size picture, Scaling scaling, bool fullScreen);

// An output pixel (px, py) back into picture coordinates (may lie outside the picture,
// in the bars).
void OutputToPicture(const View& view, Size picture, int px, int py, int& x, int& y);

// Frame pacing: presentations no closer together than one period, on a schedule that does
// not drift (a late frame does not make the next one early, a stall does not cause a burst).
class FramePacer {
public:
    // periodTicks 0: no pacing.
    void SetPeriod(uint64_t periodTicks) {
        period_ = periodTicks;
        next_ = 0;
    }
    uint64_t Period() const { return period_; }
    // Ticks to wait before presenting at `now` (0 when due or unpaced).
    uint64_t Delay(uint64_t now) const;
    // A frame was presented at `now` (after any wait): schedules the next one.
    void Presented(uint64_t now);

private:
    uint64_t period_ = 0;
    uint64_t next_ = 0;  // 0: nothing scheduled yet
};

// Whether a renderer that claims to wait for the refresh really does: the gaps between
// the first presentations, presented back to back, tell. Until it knows, it says "not yet".
class VsyncProbe {
public:
    enum class Verdict { Unknown, Honoured, Ignored };
    explicit VsyncProbe(uint64_t periodTicks) : period_(periodTicks) {}
    // One presentation finished at `now`.
    Verdict Presented(uint64_t now);
    Verdict Result() const { return verdict_; }

private:
    static constexpr int kSamples = 8;
    uint64_t period_;
    uint64_t last_ = 0;
    int count_ = 0;
    uint64_t gaps_[kSamples]{};
    Verdict verdict_ = Verdict::Unknown;
};

}  // namespace platform::sdl
