// The picture sprite: pattern, animation, tiling hit box and the pixel test.
#include "engine/ImageSprite.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/ImageList.h"
#include "engine/SpritePosition.h"
#include "engine/Surface.h"

int TImageSprite::ShownPattern() const { return CycleStart + TruncPos(CyclePos); }

platform::Rect TImageSprite::DrawBox() {
    platform::Rect r = GetHitBox();
    if (!Image) return r;
    int dx = (Width - Image->Width()) / 2;
    int dy = (Height - Image->Height()) / 2;
    return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

void TImageSprite::DrawSelf() {
    TSpriteEngine* e = Engine();
    if (!Image || !e || !e->Surface()) return;
    platform::Rect box = DrawBox();
    Image->Draw(e->Surface(), box.Left, box.Top, ShownPattern());
}

void TImageSprite::Advance(int elapsed) {
    CyclePos = CyclePos + CycleSpeed * elapsed;
    if (CycleLoops) {
        if (CycleLength > 0) {
            CyclePos = CyclePos - std::trunc(CyclePos / CycleLength) * CycleLength;
            if (CyclePos < 0) CyclePos = CyclePos + CycleLength;
        } else {
            CyclePos = 0;
        }
    } else {
        if (!(CycleLength > CyclePos)) {
            CyclePos = CycleLength - 1;
            CycleSpeed = 0;
        }
        if (CyclePos < 0) {
            CyclePos = 0;
            CycleSpeed = 0;
        }
    }
}

// A tiling sprite wraps on a period of the surface size plus its own size, so it
// re-enters on one side once it has fully left on the other.
platform::Rect TImageSprite::GetHitBox() {
    int x = TruncPos(AbsX()), y = TruncPos(AbsY());
    if (WrapAround && Engine()) {
        const platform::Rect sb = Engine()->SurfaceBox();
        x = WrapPos(x, sb.Right, Width);
        y = WrapPos(y, sb.Bottom, Height);
    }
    return {x, y, x + Width, y + Height};
}
bool TImageSprite::FineTest(TSprite* other) {
    if (!ExactHits) return true;
    auto* o = dynamic_cast<TImageSprite*>(other);
    if (!o) return true;
    // Without an image there is nothing finer than the hit boxes.
    if (!Image || !o->Image) return true;
    // A pattern outside its entry has the empty rectangle and no surface: it overlaps nothing.
    const int pa = ShownPattern(), pb = o->ShownPattern();
    const platform::Rect da = DrawBox(), db = o->DrawBox();
    return PixelHit(Image->PatternSheets(pa), Image->PatternBoxes(pa), da.Left, da.Top, o->Image->PatternSheets(pb),
                    o->Image->PatternBoxes(pb), db.Left, db.Top);
}

namespace {

template <int Bpp>
inline uint32_t ReadPixel(const uint8_t* p) {
    if constexpr (Bpp == 1) return p[0];
    if constexpr (Bpp == 2) return static_cast<uint32_t>(p[0] | (p[1] << 8));
    if constexpr (Bpp == 3) return static_cast<uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16));
    if constexpr (Bpp == 4) {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v & 0xFFFFFFu;  // the fourth byte carries no colour
    }
}

template <int Bpp>
bool ScanOpaque(const platform::Bitmap& a, int ax, int ay, uint32_t keyA, const platform::Bitmap& b, int bx, int by,
                uint32_t keyB, int w, int h) {
    for (int row = 0; row < h; ++row) {
        const uint8_t* pa = a.Row(ay + row) + ax * Bpp;
        const uint8_t* pb = b.Row(by + row) + bx * Bpp;
        for (int col = 0; col < w; ++col, pa += Bpp, pb += Bpp)
            if (ReadPixel<Bpp>(pa) != keyA && ReadPixel<Bpp>(pb) != keyB) return true;
    }
    return false;
}

uint32_t KeyMask(int bits) {
    switch (bits) {
        case 8: return 0xFFu;
        case 16: return 0xFFFFu;
        default: return 0xFFFFFFu;
    }
}

}  // namespace

bool TImageSprite::PixelHit(TDirectDrawSurface* sa, const platform::Rect& boxA, int ax, int ay, TDirectDrawSurface* sb,
                            const platform::Rect& boxB, int bx, int by) {
    const platform::Rect ra{ax, ay, ax + boxA.Width(), ay + boxA.Height()};
    const platform::Rect rb{bx, by, bx + boxB.Width(), by + boxB.Height()};
    if (!OverlapRect(ra, rb)) return false;
    if (!sa || !sb) return true;

    // The common area in each pattern's own surface coordinates.
    const int left = std::max(ra.Left, rb.Left), top = std::max(ra.Top, rb.Top);
    int w = std::min(ra.Right, rb.Right) - left;
    int h = std::min(ra.Bottom, rb.Bottom) - top;
    int pax = left - ra.Left + boxA.Left, pay = top - ra.Top + boxA.Top;
    int pbx = left - rb.Left + boxB.Left, pby = top - rb.Top + boxB.Top;

    if (!sa->Lock()) return false;
    if (sb != sa && !sb->Lock()) {
        sa->Unlock();
        return false;
    }
    struct Unlocker {
        TDirectDrawSurface* a;
        TDirectDrawSurface* b;
        ~Unlocker() {
            a->Unlock();
            if (b != a) b->Unlock();
        }
    } unlocker{sa, sb};

    const platform::Bitmap& ba = sa->Bitmap();
    const platform::Bitmap& bb = sb->Bitmap();
    if (ba.Bits() != bb.Bits()) return true;

    // A pattern box reaching past its surface is read only where the pixels exist.
    if (pax < 0) {
        w += pax;
        pbx -= pax;
        pax = 0;
    }
    if (pbx < 0) {
        w += pbx;
        pax -= pbx;
        pbx = 0;
    }
    if (pay < 0) {
        h += pay;
        pby -= pay;
        pay = 0;
    }
    if (pby < 0) {
        h += pby;
        pay -= pby;
        pby = 0;
    }
    w = std::min({w, ba.Width() - pax, bb.Width() - pbx});
    h = std::min({h, ba.Height() - pay, bb.Height() - pby});
    if (w <= 0 || h <= 0) return false;

    const uint32_t mask = KeyMask(ba.Bits());
    const uint32_t keyA = sa->ColorKey() & mask, keyB = sb->ColorKey() & mask;
    switch (ba.Bits()) {
        case 8: return ScanOpaque<1>(ba, pax, pay, keyA, bb, pbx, pby, keyB, w, h);
        case 16: return ScanOpaque<2>(ba, pax, pay, keyA, bb, pbx, pby, keyB, w, h);
        case 24: return ScanOpaque<3>(ba, pax, pay, keyA, bb, pbx, pby, keyB, w, h);
        case 32: return ScanOpaque<4>(ba, pax, pay, keyA, bb, pbx, pby, keyB, w, h);
        default: return false;
    }
}
