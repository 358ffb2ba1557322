// The collision walk and its fast path: the pass-over of far sprites among the root's
// children, in-line hit boxes for registered classes, and the class registry.
#include "engine/HitWalk.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "engine/SpritePosition.h"

namespace {

// Kept out of line so that the walk's common case stays small.
[[gnu::noinline]] double DeepAbsX(const TSprite* s) { return s->AbsX(); }
[[gnu::noinline]] double DeepAbsY(const TSprite* s) { return s->AbsY(); }

// The hit box of s as TImageSprite::GetHitBox works it out, tested against r (which must
// not be empty). AbsX/AbsY are spelled out for the game's one-level tree, with the same
// sums. Both coordinates are always worked out so that the only branch on the data is the
// rare hit.
inline bool PlainBoxOverlaps(const TImageSprite& s, const platform::Rect& r) {
    const TSprite* p = s.Parent();
    double ax = s.X, ay = s.Y;
    if (p) {
        if (p->Parent()) [[unlikely]] {
            ax = DeepAbsX(&s);
            ay = DeepAbsY(&s);
        } else {
            ax = s.X + p->X;
            ay = s.Y + p->Y;
        }
    }
    int x = TruncPos(ax), y = TruncPos(ay);
    if (s.WrapAround && s.Engine()) {
        const platform::Rect sb = s.Engine()->SurfaceBox();
        x = WrapPos(x, sb.Right, s.Width);
        y = WrapPos(y, sb.Bottom, s.Height);
    }
    const int right = x + s.Width, bottom = y + s.Height;
    return (x < r.Right) & (right > r.Left) & (x < right) & (y < r.Bottom) & (bottom > r.Top) & (y < bottom);
}

}  // namespace

int TSpriteHitWalk::CheckHits(TSpriteEngine& e, TSprite* asker) {
    e.hitTally_ = 0;
    e.hitStop_ = false;
    e.hitAskerBox_ = asker->GetHitBox();
    e.hitAskerBoxEmpty_ = !(e.hitAskerBox_.Left < e.hitAskerBox_.Right && e.hitAskerBox_.Top < e.hitAskerBox_.Bottom);
    e.hitAsker_ = asker;
    WalkChildren(e, &e);
    return e.hitTally_;
}

// Whether t (met as class `type`) has a hit box overlapping the asker's. Classes known to
// keep TImageSprite's box have it worked out without asking the sprite; every other class
// is asked through GetHitBox.
bool TSpriteHitWalk::Overlaps(TSpriteEngine& e, TSprite* t, const std::type_info* type) {
    const uintptr_t plain = reinterpret_cast<uintptr_t>(type);
    if (t->hitBoxClass_ != plain && t->hitBoxClass_ != (plain | 1))
        t->hitBoxClass_ = HasPlainHitBox(type) ? plain : (plain | 1);
    if (t->hitBoxClass_ != plain) return OverlapRect(t->GetHitBox(), e.hitAskerBox_);
    return !e.hitAskerBoxEmpty_ && PlainBoxOverlaps(*static_cast<const TImageSprite*>(t), e.hitAskerBox_);
}

// Children are fetched by index: sprites created by a hit are appended and wait for the
// next walk, and the size check keeps the walk safe should one be freed. Done only stops
// the descent into children of sprites tested after it was set; later siblings are still
// tested.
//
// The walk visits every sprite for every asker, so among the root engine's children the
// common case is passed over in Skip: nothing outside this file runs there, so the list
// and the walk's state are read again only after a sprite has had the full visit.
void TSpriteHitWalk::WalkChildren(TSpriteEngine& e, TSprite* parent) {
    const std::vector<TSprite*>& list = parent->children_;
    const size_t n = list.size();
    const bool root = parent == &e && !e.parent_;
    size_t i = 0;
    while (i < n && i < list.size()) {
        const size_t end = std::min(n, list.size());
        if (root) i = Skip(e, list.data(), i, end);
        if (i == end) break;
        Visit(e, list[i]);
        ++i;
    }
}

// The first of items[i..end) that needs the full visit. Passed over: sprites with their
// collision off, and childless sprites of classes that keep TImageSprite's box whose box
// (worked out as GetHitBox does, for a child of the root engine: AbsX is X plus the
// engine's X) cannot overlap the asker's horizontally.
size_t TSpriteHitWalk::Skip(const TSpriteEngine& e, TSprite* const* items, size_t i, size_t end) {
    constexpr double kLimit = 1.0e9;  // TruncPos's range
    const TSprite* const asker = e.hitAsker_;
    // An empty asker box overlaps nothing: a box no x can fall into says the same.
    const int left = e.hitAskerBoxEmpty_ ? 0 : e.hitAskerBox_.Left;
    const int right = e.hitAskerBoxEmpty_ ? INT_MIN : e.hitAskerBox_.Right;
    const double baseX = e.X;
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
void TSpriteHitWalk::Visit(TSpriteEngine& e, TSprite* t) {
    if (!t->CollisionEnabled) return;
    if (t != e.hitAsker_ && Overlaps(e, t, &typeid(*t))) Found(e, t);
    if (e.hitStop_ || t->children_.empty()) return;
    WalkChildren(e, t);
}

// The boxes overlap: both fine tests, then the asker is told.
void TSpriteHitWalk::Found(TSpriteEngine& e, TSprite* t) {
    if (!(e.hitAsker_->FineTest(t) && t->FineTest(e.hitAsker_))) return;
    ++e.hitTally_;
    TSprite* asker = e.hitAsker_;
    asker->HitBy(t, e.hitStop_);
    if (!asker->CollisionEnabled || asker->markedDead_) e.hitStop_ = true;
}

// ---------------------------------------------------------------------------------------
// The registry of classes that keep TImageSprite's hit box

namespace {

// Filled by static initialisers and registration calls, so it is plain zero-initialised
// storage.
constexpr int kMaxPlainClasses = 32;
const std::type_info* g_plainClasses[kMaxPlainClasses];
int g_plainClassCount;

}  // namespace

bool TSpriteHitWalk::AddPlainHitBoxClass(const std::type_info& type) {
    if (HasPlainHitBox(&type)) return true;
    if (g_plainClassCount == kMaxPlainClasses) return false;
    g_plainClasses[g_plainClassCount++] = &type;
    return true;
}

// Compared by address: a class whose type information exists twice is merely asked.
bool TSpriteHitWalk::HasPlainHitBox(const std::type_info* type) {
    for (int i = 0; i < g_plainClassCount; ++i)
        if (g_plainClasses[i] == type) return true;
    return false;
}

namespace {
[[maybe_unused]] const bool kImageSpriteKeepsItsBox = TSpriteHitWalk::KeepsImageHitBox<TImageSprite>();
}  // namespace
