// How a window's picture reaches the screen: the scale it is shown at, where it lands inside
// the window and how mouse positions map back. (When a frame is shown: StepClock.)
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

}  // namespace platform::sdl
