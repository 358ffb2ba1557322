// Painting helpers for the plain (non-DirectDraw) windows: loading screen and result entry.
#pragma once

#include "platform/Platform.h"

namespace wincanvas {

// Copies src (any depth) onto a 32-bit dst with its top-left at (x, y), clipped.
void DrawBitmap(platform::Bitmap& dst, const platform::Bitmap& src, int x, int y);
// Fills a rectangle of a 32-bit dst, clipped.
void FillRect(platform::Bitmap& dst, const platform::Rect& r, platform::RGB color);
// A one-pixel frame inside r.
void FrameRect(platform::Bitmap& dst, const platform::Rect& r, platform::RGB color);

}  // namespace wincanvas
