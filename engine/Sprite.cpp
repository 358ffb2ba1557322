// The sprite tree: building and unlinking, depth order, the move and draw passes, hits,
// kill and sweep.
#include "engine/Sprite.h"

#include <algorithm>
#include <string>

#include "engine/HitWalk.h"
#include "engine/SpritePosition.h"
#include "engine/Surface.h"

namespace {

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
        if (auto* e = dynamic_cast<TSpriteEngine*>(parent_)) engine_ = e;
        else engine_ = parent_->engine_;
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
        if (drawList_[i]->z_ < sprite->z_) l = i + 1;
        else h = i - 1;
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
    if (children_.empty()) throw ESpriteError("Index of the list exceeds the range. (" + std::to_string(index) + ")");
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
    return TSpriteHitWalk::CheckHits(*e, this);
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
