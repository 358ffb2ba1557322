// The sprite tree: move, sweep, depth-ordered draw and collision passes, and its root, the
// engine.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "platform/Platform.h"

class ESpriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TSpriteEngine;
class TDirectDrawSurface;

// Strict overlap of half-open rectangles: shared edges do not count, an empty rectangle
// overlaps nothing.
inline bool OverlapRect(const platform::Rect& a, const platform::Rect& b) {
    return a.Left < b.Right && a.Right > b.Left && a.Top < b.Bottom && a.Bottom > b.Top && a.Left < a.Right &&
           a.Top < a.Bottom && b.Left < b.Right && b.Top < b.Bottom;
}

// A node of the tree. A sprite is owned by its parent; destroying it destroys its children
// first (last child first). Game code must not delete sprites during a pass: call Kill and
// let the engine's Sweep free them.
//
// The fields' order serves the collision walk's fast path (engine/HitWalk.cpp): keep it.
class TSprite {
public:
    explicit TSprite(TSprite* parent);
    virtual ~TSprite();
    TSprite(const TSprite&) = delete;
    TSprite& operator=(const TSprite&) = delete;

    TSpriteEngine* Engine() const { return engine_; }
    TSprite* Parent() const { return parent_; }
    bool MarkedDead() const { return markedDead_; }

    bool CollisionEnabled = true;
    bool MoveEnabled = true;
    bool Visible = true;

private:
    bool markedDead_ = false;

public:
    double X = 0.0;
    double Y = 0.0;
    int Width = 0;
    int Height = 0;

    int Z() const { return z_; }
    // Re-files the sprite among its siblings beneath those already at the new depth.
    void SetZ(int value);

    double AbsX() const { return parent_ ? X + parent_->AbsX() : X; }
    double AbsY() const { return parent_ ? Y + parent_->AbsY() : Y; }
    platform::Rect HitBox() { return GetHitBox(); }

    // Children in creation order.
    int Count() const { return static_cast<int>(children_.size()); }
    // ESpriteError "Index of the list exceeds the range. (%d)" without children,
    // std::out_of_range "List index out of bounds (%d)" outside 0..Count-1.
    TSprite* Items(int index) const;
    // Children in drawing order (ascending Z).
    int DrawCount() const { return static_cast<int>(drawList_.size()); }
    TSprite* DrawItems(int index) const { return drawList_.at(static_cast<size_t>(index)); }

    void Move(int elapsed);
    virtual void Draw();
    // Hits of this sprite against the whole tree; HitBy is called once per hit.
    int CheckHits();
    // Queues the sprite for the engine's next Sweep; it stays live until then.
    void Kill();
    void Clear();

    virtual void HitBy(TSprite* sprite, bool& done);
    virtual void DrawSelf();
    virtual void Advance(int elapsed);
    virtual platform::Rect GetHitBox();
    virtual bool FineTest(TSprite* other);

private:
    friend class TSpriteEngine;
    friend class TSpriteHitWalk;
    void AddDrawList(TSprite* sprite);
    void RemoveChild(TSprite* sprite);

    TSprite* parent_ = nullptr;
    std::vector<TSprite*> children_;
    // The collision walk's note of this sprite's class (engine/HitWalk.cpp).
    uintptr_t hitBoxClass_ = 0;
    TSpriteEngine* engine_ = nullptr;
    std::vector<TSprite*> drawList_;
    int z_ = 0;
};

// The root of the tree and the engine-wide state.
class TSpriteEngine : public TSprite {
public:
    explicit TSpriteEngine(TSprite* parent = nullptr);
    ~TSpriteEngine() override;

    int TotalSprites() const { return totalSprites_; }
    int DrawnSprites() const { return drawnSprites_; }
    // Sprites marked dead and not yet freed, in marking order.
    const std::vector<TSprite*>& KillList() const { return killList_; }

    TDirectDrawSurface* Surface() const { return surface_; }
    // Takes the surface's size as SurfaceBox and as the engine's own Width/Height; a null
    // surface keeps the old rectangle.
    void SetSurface(TDirectDrawSurface* surface);
    platform::Rect SurfaceBox() const { return surfaceBox_; }

    // Frees every sprite of the kill list, last marked first.
    void Sweep();
    void Draw() override;

private:
    friend class TSprite;
    friend class TSpriteHitWalk;

    int totalSprites_ = 0;
    // The collision walk's state while one sprite checks its hits (engine/HitWalk.cpp).
    int hitTally_ = 0;
    bool hitStop_ = false;
    platform::Rect hitAskerBox_;
    bool hitAskerBoxEmpty_ = true;
    TSprite* hitAsker_ = nullptr;
    std::vector<TSprite*> killList_;
    int drawnSprites_ = 0;
    TDirectDrawSurface* surface_ = nullptr;
    platform::Rect surfaceBox_;
};
