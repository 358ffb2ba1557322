// The sprite tree and the engine component.
#include "engine/DXSprite.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Trunc toward zero, kept well inside int so that adding a size cannot overflow.
int TruncPos(double v) {
    constexpr double kLimit = 1.0e9;
    if (!(v == v)) return 0;  // NaN
    if (v > kLimit) return static_cast<int>(kLimit);
    if (v < -kLimit) return -static_cast<int>(kLimit);
    return static_cast<int>(v);
}

void EraseLast(std::vector<TSprite*>& list, TSprite* s) {
    auto it = std::find(list.rbegin(), list.rend(), s);
    if (it != list.rend()) list.erase(std::next(it).base());
}

}  // namespace

// ---------------------------------------------------------------------------------------
// TSprite

TSprite::TSprite(TSprite* parent) : parent_(parent) {
    if (parent_) {
        parent_->children_.push_back(this);
        parent_->AddDrawList(this);
        if (auto* e = dynamic_cast<TSpriteEngine*>(parent_))
            engine_ = e;
        else
            engine_ = parent_->engine_;
        if (engine_) ++engine_->totalSprites_;
    }
}

TSprite::~TSprite() {
    Clear();
    if (parent_) {
        if (engine_) {
            --engine_->totalSprites_;
            if (markedDead_) EraseLast(engine_->killList_, this);
        }
        parent_->RemoveChild(this);
    }
}

void TSprite::RemoveChild(TSprite* sprite) {
    EraseLast(children_, sprite);
    EraseLast(drawList_, sprite);
}

// Lower-bound binary search: a newcomer goes in front of the siblings sharing its Z.
void TSprite::AddDrawList(TSprite* sprite) {
    int l = 0, h = static_cast<int>(drawList_.size()) - 1;
    while (l <= h) {
        int i = (l + h) / 2;
        if (drawList_[i]->z_ < sprite->z_)
            l = i + 1;
        else
            h = i - 1;
    }
    drawList_.insert(drawList_.begin() + l, sprite);
}

void TSprite::SetZ(int value) {
    if (z_ == value) return;
    z_ = value;
    if (parent_) {
        EraseLast(parent_->drawList_, this);
        parent_->AddDrawList(this);
    }
}

TSprite* TSprite::Items(int index) const {
    if (children_.empty())
        throw ESpriteError("Index of the list exceeds the range. (" + std::to_string(index) + ")");
    if (index < 0 || index >= static_cast<int>(children_.size()))
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return children_[static_cast<size_t>(index)];
}

// Children are fetched by index as the loops reach them: sprites created on the way are
// appended and wait for the next pass. The size check keeps a pass safe should a child be
// freed during it.
void TSprite::Move(int elapsed) {
    if (!MoveEnabled) return;
    Advance(elapsed);
    const size_t n = children_.size();
    for (size_t i = 0; i < n && i < children_.size(); ++i) children_[i]->Move(elapsed);
}

void TSprite::Draw() {
    if (!Visible) return;
    if (engine_) {
        if (OverlapRect(GetHitBox(), engine_->surfaceBox_)) {
            DrawSelf();
            ++engine_->drawnSprites_;
        }
    }
    const size_t n = drawList_.size();
    for (size_t i = 0; i < n && i < drawList_.size(); ++i) drawList_[i]->Draw();
}

int TSprite::CheckHits() {
    TSpriteEngine* e = engine_;
    if (!e || markedDead_ || !CollisionEnabled) return 0;
    e->hitTally_ = 0;
    e->hitStop_ = false;
    e->hitAskerBox_ = GetHitBox();
    e->hitAsker_ = this;
    const size_t n = e->children_.size();
    for (size_t i = 0; i < n && i < e->children_.size(); ++i) e->HitWalk(e->children_[i]);
    return e->hitTally_;
}

// One step of the collision walk. Done only stops the descent into children of sprites
// tested after it was set; later siblings are still tested.
void TSpriteEngine::HitWalk(TSprite* t) {
    if (!t->CollisionEnabled) return;
    if (t != hitAsker_) {
        if (OverlapRect(t->GetHitBox(), hitAskerBox_) && hitAsker_->FineTest(t) && t->FineTest(hitAsker_)) {
            ++hitTally_;
            TSprite* asker = hitAsker_;
            asker->HitBy(t, hitStop_);
            if (!asker->CollisionEnabled || asker->markedDead_) hitStop_ = true;
        }
    }
    if (hitStop_) return;
    const size_t n = t->children_.size();
    for (size_t i = 0; i < n && i < t->children_.size(); ++i) HitWalk(t->children_[i]);
}

void TSprite::Kill() {
    if (engine_ && !markedDead_) {
        markedDead_ = true;
        engine_->killList_.push_back(this);
    }
}

void TSprite::Clear() {
    while (!children_.empty()) delete children_.back();
}

void TSprite::HitBy(TSprite* sprite, bool& done) {
    (void)sprite;
    (void)done;
}

void TSprite::DrawSelf() {}

void TSprite::Advance(int elapsed) { (void)elapsed; }

platform::Rect TSprite::GetHitBox() {
    int x = TruncPos(AbsX()), y = TruncPos(AbsY());
    return {x, y, x + Width, y + Height};
}

bool TSprite::FineTest(TSprite* other) {
    (void)other;
    return true;
}

// ---------------------------------------------------------------------------------------
// TImageSprite

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
        int mx = sb.Right + Width;
        if (mx > 0) {
            x %= mx;
            if (x < 0) x += mx;
            if (x > sb.Right) x -= mx;
        }
        int my = sb.Bottom + Height;
        if (my > 0) {
            y %= my;
            if (y < 0) y += my;
            if (y > sb.Bottom) y -= my;
        }
    }
    return {x, y, x + Width, y + Height};
}

bool TImageSprite::FineTest(TSprite* other) {
    if (!ExactHits) return true;
    auto* o = dynamic_cast<TImageSprite*>(other);
    if (!o) return true;
    // Without an image or a valid pattern there is nothing finer than the hit boxes.
    if (!Image || !o->Image) return true;
    int pa = ShownPattern(), pb = o->ShownPattern();
    if (pa < 0 || pa >= Image->NumPatterns() || pb < 0 || pb >= o->Image->NumPatterns()) return true;
    platform::Rect da = DrawBox(), db = o->DrawBox();
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

bool TImageSprite::PixelHit(TDirectDrawSurface* sa, const platform::Rect& boxA, int ax, int ay,
                            TDirectDrawSurface* sb, const platform::Rect& boxB, int bx, int by) {
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
    if (pax < 0) { w += pax; pbx -= pax; pax = 0; }
    if (pbx < 0) { w += pbx; pax -= pbx; pbx = 0; }
    if (pay < 0) { h += pay; pby -= pay; pay = 0; }
    if (pby < 0) { h += pby; pay -= pby; pby = 0; }
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

// ---------------------------------------------------------------------------------------
// TSpriteEngine

TSpriteEngine::TSpriteEngine(TSprite* parent) : TSprite(parent) {}

// The children must go while the engine's own lists still exist: their destructors
// unlink themselves from the kill list and the sprite count.
TSpriteEngine::~TSpriteEngine() { Clear(); }

void TSpriteEngine::SetSurface(TDirectDrawSurface* surface) {
    surface_ = surface;
    if (surface_) {
        surfaceBox_ = {0, 0, surface_->Width(), surface_->Height()};
        Width = surface_->Width();
        Height = surface_->Height();
    }
}

void TSpriteEngine::Sweep() {
    while (!killList_.empty()) delete killList_.back();
}

void TSpriteEngine::Draw() {
    drawnSprites_ = 0;
    TSprite::Draw();
}

// ---------------------------------------------------------------------------------------
// TCustomDXSpriteEngine

TCustomDXSpriteEngine::TCustomDXSpriteEngine(TForm* owner) : owner_(owner), engine_(new TSpriteEngine(nullptr)) {}

TCustomDXSpriteEngine::~TCustomDXSpriteEngine() {
    SetDXDraw(nullptr);
    delete engine_;
}

void TCustomDXSpriteEngine::Move(int elapsed) { engine_->Move(elapsed); }

void TCustomDXSpriteEngine::Sweep() { engine_->Sweep(); }

void TCustomDXSpriteEngine::Draw() {
    if (dxdraw_ && dxdraw_->Initialized()) engine_->Draw();
}

void TCustomDXSpriteEngine::SetDXDraw(TCustomDXDraw* dxdraw) {
    if (dxdraw_) dxdraw_->RemoveListener(this);
    dxdraw_ = dxdraw;
    if (dxdraw_) dxdraw_->AddListener(this, [this](TDXDrawNotifyType kind) { DXDrawNotifyEvent(kind); });
}

void TCustomDXSpriteEngine::DXDrawNotifyEvent(TDXDrawNotifyType kind) {
    switch (kind) {
        case dxntDestroying: dxdraw_ = nullptr; break;
        case dxntInitialize:
            if (dxdraw_) engine_->SetSurface(dxdraw_->Surface());
            break;
        case dxntFinalize: engine_->SetSurface(nullptr); break;
        default: break;
    }
}
