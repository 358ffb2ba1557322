// Drawing surfaces: fill, clipped and colour-keyed copies, colour matching.
#include "engine/Surface.h"

#include <algorithm>
#include <array>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <cstring>
#include <memory>
#include <unordered_map>
#include <vector>

namespace {

// Clips the destination rectangle (x, y, size of src) against dst and src against the
// source's own bounds, trimming both alike. False when nothing is left.
bool ClipCopy(int& x, int& y, platform::Rect& src, int dstW, int dstH, int srcW, int srcH) {
    // Source against its surface.
    if (src.Left < 0) {
        x -= src.Left;
        src.Left = 0;
    }
    if (src.Top < 0) {
        y -= src.Top;
        src.Top = 0;
    }
    if (src.Right > srcW) src.Right = srcW;
    if (src.Bottom > srcH) src.Bottom = srcH;
    // Destination against its surface.
    if (x < 0) {
        src.Left -= x;
        x = 0;
    }
    if (y < 0) {
        src.Top -= y;
        y = 0;
    }
    if (x + src.Width() > dstW) src.Right = src.Left + (dstW - x);
    if (y + src.Height() > dstH) src.Bottom = src.Top + (dstH - y);
    return !src.Empty();
}

// Keyed row copies: pixels equal to the key keep the destination. SSE2 handles 16 bytes
// at a time; the scalar selects finish the row.
#if defined(__SSE2__)
template <int Bytes>
int KeyedRowSse(uint8_t* d, const uint8_t* s, int n, uint32_t key) {
    constexpr int perVec = 16 / Bytes;
    __m128i k;
    if constexpr (Bytes == 1) k = _mm_set1_epi8(static_cast<char>(key));
    else if constexpr (Bytes == 2) k = _mm_set1_epi16(static_cast<short>(key));
    else k = _mm_set1_epi32(static_cast<int>(key));
    int i = 0;
    for (; i + perVec <= n; i += perVec) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i * Bytes));
        const __m128i o = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i * Bytes));
        __m128i eq;
        if constexpr (Bytes == 1) eq = _mm_cmpeq_epi8(v, k);
        else if constexpr (Bytes == 2) eq = _mm_cmpeq_epi16(v, k);
        else eq = _mm_cmpeq_epi32(v, k);
        const __m128i r = _mm_or_si128(_mm_and_si128(eq, o), _mm_andnot_si128(eq, v));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i * Bytes), r);
    }
    return i;
}
#else
template <int Bytes>
int KeyedRowSse(uint8_t*, const uint8_t*, int, uint32_t) {
    return 0;
}
#endif

void KeyedRow8(uint8_t* d, const uint8_t* s, int n, uint8_t key) {
    for (int i = KeyedRowSse<1>(d, s, n, key); i < n; ++i)
        if (s[i] != key) d[i] = s[i];
}

void KeyedRow16(uint8_t* d, const uint8_t* s, int n, uint16_t key) {
    for (int i = KeyedRowSse<2>(d, s, n, key); i < n; ++i) {
        uint16_t v;
        std::memcpy(&v, s + 2 * i, 2);
        if (v != key) std::memcpy(d + 2 * i, &v, 2);
    }
}

void KeyedRow32(uint8_t* d, const uint8_t* s, int n, uint32_t key) {
    for (int i = KeyedRowSse<4>(d, s, n, key); i < n; ++i) {
        uint32_t v;
        std::memcpy(&v, s + 4 * i, 4);
        if (v != key) std::memcpy(d + 4 * i, &v, 4);
    }
}

void KeyedRow24(uint8_t* d, const uint8_t* s, int n, uint32_t key) {
    const uint8_t k0 = key & 0xFF, k1 = (key >> 8) & 0xFF, k2 = (key >> 16) & 0xFF;
    for (int i = 0; i < n; ++i, d += 3, s += 3) {
        if (s[0] != k0 || s[1] != k1 || s[2] != k2) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    }
}

// The palette index MapRGB gives an 8-bit layout: the first entry at the least squared
// distance. Four entries at a time where SSE2 is there.
class NearestEntry {
public:
#if defined(__SSE2__)
    explicit NearestEntry(const std::array<platform::RGB, 256>& palette) {
        for (int i = 0; i < 256; ++i) {
            rg_[2 * i] = palette[static_cast<size_t>(i)].R;
            rg_[2 * i + 1] = palette[static_cast<size_t>(i)].G;
            b_[2 * i] = palette[static_cast<size_t>(i)].B;
            b_[2 * i + 1] = 0;
        }
    }
#else
    explicit NearestEntry(const std::array<platform::RGB, 256>& palette) : palette_(palette) {}
#endif

    uint32_t operator()(platform::RGB c) const {
#if defined(__SSE2__)
        // (R, G) and (B, 0) pairs: one multiply-add per pair gives dr^2 + dg^2 and db^2.
        const __m128i qrg = _mm_set1_epi32(static_cast<int>(c.R | (c.G << 16)));
        const __m128i qb = _mm_set1_epi32(static_cast<int>(c.B));
        alignas(16) int32_t dist[256];
        __m128i best = _mm_set1_epi32(0x7FFFFFFF);
        for (int i = 0; i < 256; i += 4) {
            const __m128i drg = _mm_sub_epi16(_mm_load_si128(reinterpret_cast<const __m128i*>(rg_ + 2 * i)), qrg);
            const __m128i db = _mm_sub_epi16(_mm_load_si128(reinterpret_cast<const __m128i*>(b_ + 2 * i)), qb);
            const __m128i d = _mm_add_epi32(_mm_madd_epi16(drg, drg), _mm_madd_epi16(db, db));
            _mm_store_si128(reinterpret_cast<__m128i*>(dist + i), d);
            const __m128i less = _mm_cmplt_epi32(d, best);
            best = _mm_or_si128(_mm_and_si128(less, d), _mm_andnot_si128(less, best));
        }
        alignas(16) int32_t lanes[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(lanes), best);
        const int32_t least = std::min(std::min(lanes[0], lanes[1]), std::min(lanes[2], lanes[3]));
        for (int i = 0; i < 256; ++i)
            if (dist[i] == least) return static_cast<uint32_t>(i);
        return 0;
#else
        int best = 0, bestDist = 0x7FFFFFFF;
        for (int i = 0; i < 256; ++i) {
            const platform::RGB& e = palette_[static_cast<size_t>(i)];
            const int dr = e.R - c.R, dg = e.G - c.G, db = e.B - c.B;
            const int d = dr * dr + dg * dg + db * db;
            if (d < bestDist) {
                bestDist = d;
                best = i;
            }
        }
        return static_cast<uint32_t>(best);
#endif
    }

private:
#if defined(__SSE2__)
    alignas(16) int16_t rg_[512];
    alignas(16) int16_t b_[512];
#else
    const std::array<platform::RGB, 256>& palette_;
#endif
};

// Raw pixel of one layout → raw pixel of another, remembering earlier answers for 8-bit
// targets (they search their palette). `pixels` sizes that memory.
class PixelConverter {
public:
    PixelConverter(const platform::Bitmap& src, const platform::Bitmap& dst, long long pixels = 256)
        : src_(src), dst_(dst) {
        if (src.Bits() == 8) {
            for (int i = 0; i < 256; ++i) lut_[i] = dst.MapRGB(src.Palette()[i]);
        } else if (dst.Bits() == 8) {
            nearest_ = std::make_unique<NearestEntry>(dst.Palette());
            size_t n = 64;
            while (n < static_cast<size_t>(std::min<long long>(pixels, 1 << 20)) * 2) n *= 2;
            memo_.assign(n, 0);
            while ((size_t{1} << (64 - shift_)) < n) --shift_;
        }
    }
    uint32_t operator()(uint32_t v) {
        if (src_.Bits() == 8) return lut_[v & 0xFF];
        if (dst_.Bits() != 8) return dst_.MapRGB(src_.GetRGB(v));
        // Open addressing; an entry holds 1 << 40 | value << 8 | index, 0 when free.
        const size_t mask = memo_.size() - 1;
        for (size_t h = (uint64_t{v} * 0x9E3779B97F4A7C15ull) >> shift_;; h = (h + 1) & mask) {
            const uint64_t e = memo_[h];
            if (e == 0) {
                if (used_ * 2 >= memo_.size()) return (*nearest_)(src_.GetRGB(v));  // full: just ask
                const uint32_t r = (*nearest_)(src_.GetRGB(v));
                memo_[h] = (uint64_t{1} << 40) | (uint64_t{v} << 8) | r;
                ++used_;
                return r;
            }
            if (static_cast<uint32_t>(e >> 8) == v) return static_cast<uint32_t>(e & 0xFF);
        }
    }

private:
    const platform::Bitmap& src_;
    const platform::Bitmap& dst_;
    uint32_t lut_[256] = {};
    std::unique_ptr<NearestEntry> nearest_;
    std::vector<uint64_t> memo_;
    int shift_ = 64;  // 64 - log2(memo_.size())
    size_t used_ = 0;
};

template <int Bytes>
inline uint32_t LoadPixel(const uint8_t* p) {
    if constexpr (Bytes == 1) return p[0];
    if constexpr (Bytes == 2) return static_cast<uint32_t>(p[0] | (p[1] << 8));
    if constexpr (Bytes == 3) return static_cast<uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16));
    if constexpr (Bytes == 4) {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
}

template <int Bytes>
inline void StorePixel(uint8_t* p, uint32_t v) {
    if constexpr (Bytes == 1) p[0] = static_cast<uint8_t>(v);
    if constexpr (Bytes == 2) {
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
    }
    if constexpr (Bytes == 3) {
        p[0] = static_cast<uint8_t>(v);
        p[1] = static_cast<uint8_t>(v >> 8);
        p[2] = static_cast<uint8_t>(v >> 16);
    }
    if constexpr (Bytes == 4) std::memcpy(p, &v, 4);
}

template <int SrcBytes, int DstBytes, class F>
void ConvertRect(platform::Bitmap& dst, int x, int y, const platform::Bitmap& src, const platform::Rect& r, F f) {
    const int w = r.Width();
    for (int j = 0; j < r.Height(); ++j) {
        const uint8_t* s = src.Row(r.Top + j) + r.Left * SrcBytes;
        uint8_t* d = dst.Row(y + j) + x * DstBytes;
        for (int i = 0; i < w; ++i, s += SrcBytes, d += DstBytes) StorePixel<DstBytes>(d, f(LoadPixel<SrcBytes>(s)));
    }
}

template <int SrcBytes, class F>
void ConvertRectTo(platform::Bitmap& dst, int x, int y, const platform::Bitmap& src, const platform::Rect& r, F f) {
    switch (dst.BytesPerPixel()) {
        case 1: ConvertRect<SrcBytes, 1>(dst, x, y, src, r, f); break;
        case 2: ConvertRect<SrcBytes, 2>(dst, x, y, src, r, f); break;
        case 3: ConvertRect<SrcBytes, 3>(dst, x, y, src, r, f); break;
        default: ConvertRect<SrcBytes, 4>(dst, x, y, src, r, f); break;
    }
}

// Whole rows of MapRGB(GetRGB(v)) for the layouts where that is plain arithmetic (or the
// palette table); false for matching against an 8-bit palette, which is left to the
// per-pixel converter.
bool ConvertRows(platform::Bitmap& dst, int x, int y, const platform::Bitmap& src, const platform::Rect& r) {
    const int sb = src.Bits(), db = dst.Bits();
    if (sb == 8) {
        uint32_t lut[256];
        for (int i = 0; i < 256; ++i) lut[i] = dst.MapRGB(src.Palette()[static_cast<size_t>(i)]);
        ConvertRectTo<1>(dst, x, y, src, r, [&](uint32_t v) { return lut[v & 0xFF]; });
        return true;
    }
    if (db == 8) return false;
    // The colour GetRGB sees, as 0xRRGGBB.
    auto widen565 = [](uint32_t v) {
        const uint32_t r5 = (v >> 11) & 0x1F, g6 = (v >> 5) & 0x3F, b5 = v & 0x1F;
        return (((r5 << 3) | (r5 >> 2)) << 16) | (((g6 << 2) | (g6 >> 4)) << 8) | ((b5 << 3) | (b5 >> 2));
    };
    auto pack565 = [](uint32_t c) {
        return (((c >> 16 & 0xFF) >> 3) << 11) | (((c >> 8 & 0xFF) >> 2) << 5) | ((c & 0xFF) >> 3);
    };
    auto rgb = [](uint32_t v) { return v & 0xFFFFFFu; };
    if (db == 16) {
        if (sb == 24) ConvertRect<3, 2>(dst, x, y, src, r, [&](uint32_t v) { return pack565(rgb(v)); });
        else if (sb == 32) ConvertRect<4, 2>(dst, x, y, src, r, [&](uint32_t v) { return pack565(rgb(v)); });
        else return false;
        return true;
    }
    // 24 or 32 bits: the colour itself.
    if (sb == 16) ConvertRectTo<2>(dst, x, y, src, r, widen565);
    else if (sb == 24) ConvertRectTo<3>(dst, x, y, src, r, rgb);
    else if (sb == 32) ConvertRectTo<4>(dst, x, y, src, r, rgb);
    else return false;
    return true;
}

void KeyedCopy(uint8_t* d, const uint8_t* s, int w, int bpp, uint32_t key) {
    switch (bpp) {
        case 1: KeyedRow8(d, s, w, static_cast<uint8_t>(key)); break;
        case 2: KeyedRow16(d, s, w, static_cast<uint16_t>(key)); break;
        case 3: KeyedRow24(d, s, w, key); break;
        default: KeyedRow32(d, s, w, key); break;
    }
}

}  // namespace

TDirectDrawSurface::TDirectDrawSurface(int width, int height, int bits) : bitmap_(width, height, bits) {}

TDirectDrawSurface::~TDirectDrawSurface() { canvas_.reset(); }

bool TDirectDrawSurface::Lock() {
    if (lost_) return false;
    ++lockCount_;
    return true;
}

void TDirectDrawSurface::Unlock() {
    if (lockCount_ > 0) --lockCount_;
}

bool TDirectDrawSurface::Restore() {
    if (!lost_) return true;
    if (restoreFails_) return false;
    lost_ = false;
    return true;
}

void TDirectDrawSurface::Fill(uint32_t devColor) {
    if (lost_) return;
    bitmap_.Fill(devColor);
}

void TDirectDrawSurface::FillRect(const platform::Rect& r, uint32_t devColor) {
    if (lost_) return;
    const int l = std::max(0, r.Left), t = std::max(0, r.Top);
    const int rr = std::min(Width(), r.Right), b = std::min(Height(), r.Bottom);
    for (int y = t; y < b; ++y)
        for (int x = l; x < rr; ++x) bitmap_.SetPixel(x, y, devColor);
}

void TDirectDrawSurface::Draw(int x, int y, const platform::Rect& srcRect, TDirectDrawSurface* source,
                              bool transparent) {
    if (!source) return;
    if (x > Width() || y > Height()) return;
    if (lost_ || source->lost_ || source->bitmap_.Empty() || bitmap_.Empty()) return;

    // A rectangle given right-to-left or bottom-to-top is drawn mirrored on that axis.
    const bool mirrorX = srcRect.Right < srcRect.Left, mirrorY = srcRect.Bottom < srcRect.Top;
    if (mirrorX || mirrorY) {
        platform::Rect r{std::min(srcRect.Left, srcRect.Right), std::min(srcRect.Top, srcRect.Bottom),
                         std::max(srcRect.Left, srcRect.Right), std::max(srcRect.Top, srcRect.Bottom)};
        const int w = r.Width(), h = r.Height();
        PixelConverter conv(source->bitmap_, bitmap_, static_cast<long long>(w) * h);
        const bool same = source->bitmap_.Bits() == bitmap_.Bits();
        for (int j = 0; j < h; ++j) {
            const int sy = mirrorY ? r.Bottom - 1 - j : r.Top + j, dy = y + j;
            if (sy < 0 || sy >= source->Height() || dy < 0 || dy >= Height()) continue;
            for (int i = 0; i < w; ++i) {
                const int sx = mirrorX ? r.Right - 1 - i : r.Left + i, dx = x + i;
                if (sx < 0 || sx >= source->Width() || dx < 0 || dx >= Width()) continue;
                uint32_t v = source->bitmap_.GetPixel(sx, sy);
                if (transparent && v == source->colorKey_) continue;
                bitmap_.SetPixel(dx, dy, same ? v : conv(v));
            }
        }
        return;
    }

    platform::Rect src = srcRect;
    if (!ClipCopy(x, y, src, Width(), Height(), source->Width(), source->Height())) return;

    const platform::Bitmap& sb = source->bitmap_;
    const int w = src.Width(), h = src.Height();
    const int bpp = bitmap_.BytesPerPixel();
    // Surfaces of one depth copy raw values; 8-bit surfaces copy palette indices, as the
    // display hardware does (the palette belongs to the screen, not to the copy).
    const bool sameFormat = sb.Bits() == bitmap_.Bits();

    if (sameFormat) {
        // Overlapping copies within one surface go bottom-up/with memmove so rows are read
        // before they are overwritten.
        const bool self = source == this;
        const bool upward = self && y > src.Top;
        for (int j = 0; j < h; ++j) {
            const int row = upward ? h - 1 - j : j;
            uint8_t* d = bitmap_.Row(y + row) + x * bpp;
            const uint8_t* s = sb.Row(src.Top + row) + src.Left * bpp;
            if (!transparent) {
                std::memmove(d, s, static_cast<size_t>(w) * bpp);
                continue;
            }
            if (self) {
                // The keyed loops assume distinct rows: stage the source row first.
                std::vector<uint8_t> staged(s, s + static_cast<size_t>(w) * bpp);
                KeyedCopy(d, staged.data(), w, bpp, source->colorKey_);
                continue;
            }
            KeyedCopy(d, s, w, bpp, source->colorKey_);
        }
        return;
    }

    PixelConverter conv(sb, bitmap_, static_cast<long long>(w) * h);
    for (int j = 0; j < h; ++j) {
        for (int i = 0; i < w; ++i) {
            uint32_t v = sb.GetPixel(src.Left + i, src.Top + j);
            if (transparent && v == source->colorKey_) continue;
            bitmap_.SetPixel(x + i, y + j, conv(v));
        }
    }
}

uint32_t TDirectDrawSurface::NearestPixel(platform::RGB color) {
    if (bitmap_.Empty()) return bitmap_.MapRGB(color);
    const uint32_t old = bitmap_.GetPixel(0, 0);
    bitmap_.SetPixel(0, 0, bitmap_.MapRGB(color));
    const uint32_t v = bitmap_.GetPixel(0, 0);
    bitmap_.SetPixel(0, 0, old);
    return v;
}

void TDirectDrawSurface::LoadFromBitmap(const platform::Bitmap& src, const platform::Rect& srcRect) {
    int x = 0, y = 0;
    platform::Rect r = srcRect;
    if (!ClipCopy(x, y, r, Width(), Height(), src.Width(), src.Height())) return;
    const int w = r.Width(), h = r.Height();
    if (src.Bits() == bitmap_.Bits() && (src.Bits() != 8 || src.Palette() == bitmap_.Palette())) {
        const int bpp = bitmap_.BytesPerPixel();
        for (int j = 0; j < h; ++j)
            std::memcpy(bitmap_.Row(y + j) + x * bpp, src.Row(r.Top + j) + r.Left * bpp, static_cast<size_t>(w) * bpp);
        return;
    }
    if (ConvertRows(bitmap_, x, y, src, r)) return;
    PixelConverter conv(src, bitmap_, static_cast<long long>(w) * h);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) bitmap_.SetPixel(x + i, y + j, conv(src.GetPixel(r.Left + i, r.Top + j)));
}

TDirectDrawSurfaceCanvas& TDirectDrawSurface::Canvas() {
    if (!canvas_) canvas_ = std::make_unique<TDirectDrawSurfaceCanvas>(this);
    return *canvas_;
}
