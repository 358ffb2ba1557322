// The sprite tree and the engine component.
#include "engine/DXSprite.h"

#include <algorithm>
#include <cmath>
#include <climits>
#include <cstring>

namespace {

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
    e->hitAskerBoxEmpty_ = !(e->hitAskerBox_.Left < e->hitAskerBox_.Right && e->hitAskerBox_.Top < e->hitAskerBox_.Bottom);
    e->hitAsker_ = this;
    e->HitWalkChildren(e);
    return e->hitTally_;
}

namespace {

// Kept out of line so that the walk's common case stays small.
[[gnu::noinline]] double DeepAbsX(const TSprite* s) { return s->AbsX(); }
[[gnu::noinline]] double DeepAbsY(const TSprite* s) { return s->AbsY(); }

}  // namespace

// AbsX/AbsY are spelled out for the game's one-level tree, with the same sums. Both
// coordinates are always worked out so that the only branch on the data is the rare hit.
inline bool TImageSprite::PlainBoxOverlaps(const platform::Rect& r) const {
    const TSprite* p = Parent();
    double ax = X, ay = Y;
    if (p) {
        if (p->Parent()) [[unlikely]] {
            ax = DeepAbsX(this);
            ay = DeepAbsY(this);
        } else {
            ax = X + p->X;
            ay = Y + p->Y;
        }
    }
    int x = TruncPos(ax), y = TruncPos(ay);
    if (WrapAround && Engine()) {
        const platform::Rect sb = Engine()->SurfaceBox();
        x = WrapPos(x, sb.Right, Width);
        y = WrapPos(y, sb.Bottom, Height);
    }
    const int right = x + Width, bottom = y + Height;
    return (x < r.Right) & (right > r.Left) & (x < right) & (y < r.Bottom) & (bottom > r.Top) & (y < bottom);
}

// Whether t (met as class `type`) has a hit box overlapping the asker's. Classes known to
// keep TImageSprite's box have it worked out without asking the sprite; every other class
// is asked through GetHitBox.
bool TSpriteEngine::HitOverlaps(TSprite* t, const std::type_info* type) {
    const uintptr_t plain = reinterpret_cast<uintptr_t>(type);
    if (t->hitBoxClass_ != plain && t->hitBoxClass_ != (plain | 1))
        t->hitBoxClass_ = TImageSprite::HasPlainHitBox(type) ? plain : (plain | 1);
    if (t->hitBoxClass_ != plain) return OverlapRect(t->GetHitBox(), hitAskerBox_);
    return !hitAskerBoxEmpty_ && static_cast<const TImageSprite*>(t)->PlainBoxOverlaps(hitAskerBox_);
}

// Children are fetched by index: sprites created by a hit are appended and wait for the
// next walk, and the size check keeps the walk safe should one be freed. Done only stops
// the descent into children of sprites tested after it was set; later siblings are still
// tested.
//
// The walk visits every sprite for every asker, so among the root engine's children the
// common case is passed over in HitSkip: nothing outside this file runs there, so the
// list and the walk's state are read again only after a sprite has had the full visit.
void TSpriteEngine::HitWalkChildren(TSprite* parent) {
    const std::vector<TSprite*>& list = parent->children_;
    const size_t n = list.size();
    const bool root = parent == this && !parent_;
    size_t i = 0;
    while (i < n && i < list.size()) {
        const size_t end = std::min(n, list.size());
        if (root) i = HitSkip(list.data(), i, end);
        if (i == end) break;
        HitVisit(list[i]);
        ++i;
    }
}

// The first of items[i..end) that needs the full visit. Passed over: sprites with their
// collision off, and childless sprites of classes that keep TImageSprite's box whose box
// (worked out as GetHitBox does, for a child of the root engine: AbsX is X plus the
// engine's X) cannot overlap the asker's horizontally.
size_t TSpriteEngine::HitSkip(TSprite* const* items, size_t i, size_t end) const {
    constexpr double kLimit = 1.0e9;  // TruncPos's range
    const TSprite* const asker = hitAsker_;
    // An empty asker box overlaps nothing: a box no x can fall into says the same.
    const int left = hitAskerBoxEmpty_ ? 0 : hitAskerBox_.Left;
    const int right = hitAskerBoxEmpty_ ? INT_MIN : hitAskerBox_.Right;
    const double baseX = X;
    for (; i < end; ++i) {
        const TSprite* t = items[i];
        if (!t->CollisionEnabled) continue;
        if (t == asker || !t->children_.empty()) break;
        if (t->hitBoxClass_ != reinterpret_cast<uintptr_t>(&typeid(*t))) break;
        const auto* s = static_cast<const TImageSprite*>(t);
        const double ax = s->X + baseX;
        if (!(std::fabs(ax) <= kLimit)) break;
        int x = static_cast<int>(ax);
        if (s->WrapAround && s->engine_) x = WrapPos(x, s->engine_->surfaceBox_.Right, s->Width);
        const int r = x + s->Width;
        // One branch for the three tests: for the stars under the shots the outcome
        // follows no pattern a predictor could learn.
        if ((x < right) & (r > left) & (x < r)) break;
    }
    return i;
}

// The full visit of one sprite: its test against the asker, then its children.
void TSpriteEngine::HitVisit(TSprite* t) {
    if (!t->CollisionEnabled) return;
    if (t != hitAsker_ && HitOverlaps(t, &typeid(*t))) HitFound(t);
    if (hitStop_ || t->children_.empty()) return;
    HitWalkChildren(t);
}

// The boxes overlap: both fine tests, then the asker is told.
void TSpriteEngine::HitFound(TSprite* t) {
    if (!(hitAsker_->FineTest(t) && t->FineTest(hitAsker_))) return;
    ++hitTally_;
    TSprite* asker = hitAsker_;
    asker->HitBy(t, hitStop_);
    if (!asker->CollisionEnabled || asker->markedDead_) hitStop_ = true;
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
        x = WrapPos(x, sb.Right, Width);
        y = WrapPos(y, sb.Bottom, Height);
    }
    return {x, y, x + Width, y + Height};
}

namespace {

// Classes whose hit boxes the walk works out in line; filled by static initialisers, so
// it is plain zero-initialised storage.
constexpr int kMaxPlainClasses = 32;
const std::type_info* g_plainClasses[kMaxPlainClasses];
int g_plainClassCount;

}  // namespace

bool TImageSprite::AddPlainHitBoxClass(const std::type_info& type) {
    if (HasPlainHitBox(&type)) return true;
    if (g_plainClassCount == kMaxPlainClasses) return false;
    g_plainClasses[g_plainClassCount++] = &type;
    return true;
}

// Compared by address: a class whose type information exists twice is merely asked.
bool TImageSprite::HasPlainHitBox(const std::type_info* type) {
    for (int i = 0; i < g_plainClassCount; ++i)
        if (g_plainClasses[i] == type) return true;
    return false;
}

namespace {
[[maybe_unused]] const bool kImageSpriteKeepsItsBox = TImageSprite::KeepsImageHitBox<TImageSprite>();
}  // namespace

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
        // A new back-buffer size makes the back buffer anew between these two: the engine
        // lets go of the old one before it is freed and takes the new one.
        case dxntInitializeSurface:
            if (dxdraw_ && dxdraw_->Initialized()) engine_->SetSurface(dxdraw_->Surface());
            break;
        case dxntFinalizeSurface:
        case dxntFinalize: engine_->SetSurface(nullptr); break;
        default: break;
    }
}
