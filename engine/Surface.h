// A drawing surface: pixels, colour key, locks, loss and restore, copies between surfaces.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "engine/Canvas.h"
#include "engine/Colors.h"
#include "platform/Platform.h"

class TDirectDrawSurface {
public:
    TDirectDrawSurface() = default;  // empty: no pixels (the primary surface is one)
    TDirectDrawSurface(int width, int height, int bits);
    ~TDirectDrawSurface();
    TDirectDrawSurface(const TDirectDrawSurface&) = delete;
    TDirectDrawSurface& operator=(const TDirectDrawSurface&) = delete;

    int Width() const { return bitmap_.Width(); }
    int Height() const { return bitmap_.Height(); }
    int BitCount() const { return bitmap_.Bits(); }
    platform::Rect ClientRect() const { return {0, 0, Width(), Height()}; }
    platform::Bitmap& Bitmap() { return bitmap_; }
    const platform::Bitmap& Bitmap() const { return bitmap_; }

    uint32_t ColorKey() const { return colorKey_; }
    void SetColorKey(uint32_t rawValue) { colorKey_ = rawValue; }
    // Key by colour: the pixel value that shows it (NearestPixel).
    void SetTransparentColor(TColor color) { colorKey_ = NearestPixel(color); }

    bool SystemMemory() const { return systemMemory_; }
    void SetSystemMemory(bool on) { systemMemory_ = on; }
    bool HasClipper() const { return hasClipper_; }
    void SetHasClipper(bool on) { hasClipper_ = on; }

    // Nested locks; Lock fails while the surface is lost.
    bool Lock();
    void Unlock();
    bool Locked() const { return lockCount_ > 0; }

    bool IsLost() const { return lost_; }
    void SetLost(bool lost) { lost_ = lost; }
    // Brings a lost surface back (its pixels are undefined afterwards). False while a test
    // makes it refuse (engine/SurfaceTestAccess.h).
    bool Restore();

    void Fill(uint32_t devColor);
    void FillRect(const platform::Rect& r, uint32_t devColor);
    // Copies srcRect of source to (x, y), clipped to both surfaces; with transparent,
    // source pixels equal to the source's colour key are skipped. Surfaces of different
    // depths are converted pixel by pixel.
    void Draw(int x, int y, const platform::Rect& srcRect, TDirectDrawSurface* source, bool transparent);
    void Draw(int x, int y, TDirectDrawSurface* source, bool transparent) {
        if (source) Draw(x, y, source->ClientRect(), source, transparent);
    }

    // The pixel value that shows a colour: written into the top-left pixel and read back,
    // the old pixel restored afterwards.
    uint32_t NearestPixel(platform::RGB color);
    uint32_t NearestPixel(TColor color) { return NearestPixel(ColorToRGB(color)); }
    uint32_t NearestPixel(int color) { return NearestPixel(static_cast<TColor>(color)); }

    // 8-bit surfaces: the palette the pixels index.
    void SetPalette(const std::array<platform::RGB, 256>& palette) { bitmap_.Palette() = palette; }

    // Fills the surface from part of a picture at any depth (converting; 8-bit surfaces
    // take the nearest colour of their own palette).
    void LoadFromBitmap(const platform::Bitmap& src, const platform::Rect& srcRect);

    TDirectDrawSurfaceCanvas& Canvas();
    bool HasCanvas() const { return canvas_ != nullptr; }

private:
    friend struct TDirectDrawSurfaceTestAccess;

    platform::Bitmap bitmap_;
    uint32_t colorKey_ = 0;
    bool systemMemory_ = false;
    bool hasClipper_ = false;
    bool lost_ = false;
    bool restoreFails_ = false;
    int lockCount_ = 0;
    std::unique_ptr<TDirectDrawSurfaceCanvas> canvas_;
};
