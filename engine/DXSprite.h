// The sprite tree: move, sweep, depth-ordered draw and collision passes, and the engine component.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <vector>

#include "engine/DXDraws.h"
#include "engine/Forms.h"
#include "platform/Platform.h"

class ESpriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TSpriteEngine;

// Strict overlap of half-open rectangles: shared edges do not count, an empty rectangle
// overlaps nothing.
inline bool OverlapRect(const platform::Rect& a, const platform::Rect& b) {
    return a.Left < b.Right && a.Right > b.Left && a.Top < b.Bottom && a.Bottom > b.Top && a.Left < a.Right &&
           a.Top < a.Bottom && b.Left < b.Right && b.Top < b.Bottom;
}

// A node of the tree. A sprite is owned by its parent; destroying it destroys its children
// first (last child first). Game code must not delete sprites during a pass: call Kill and
// let the engine's Sweep free them.
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
    // Declared here to share the collision walk's cache lines with the fields above and below.
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
    void AddDrawList(TSprite* sprite);
    void RemoveChild(TSprite* sprite);

    TSprite* parent_ = nullptr;
    std::vector<TSprite*> children_;
    // The class the collision walk last met this sprite as (a sprite under construction
    // changes class), with the low bit set when that class's hit box must be asked for.
    uintptr_t hitBoxClass_ = 0;
    TSpriteEngine* engine_ = nullptr;
    std::vector<TSprite*> drawList_;
    int z_ = 0;
};

// A sprite showing one pattern of an image-list entry, with frame animation and an
// optional pixel-exact collision test.
class TImageSprite : public TSprite {
public:
    using TSprite::TSprite;

    // First, next to the base's fields: the collision walk reads it for every sprite.
    bool WrapAround = false;
    bool ExactHits = false;
    bool CycleLoops = false;
    int CycleLength = 0;
    double CyclePos = 0.0;
    double CycleSpeed = 0.0;
    int CycleStart = 0;
    TPictureCollectionItem* Image = nullptr;

    int ShownPattern() const;
    // The hit box shifted so that the image is centred on the sprite.
    platform::Rect DrawBox();

    void DrawSelf() override;
    void Advance(int elapsed) override;
    platform::Rect GetHitBox() override;
    bool FineTest(TSprite* other) override;

    // The pixel test on two placed patterns: a at (ax, ay) showing rectangle boxA of
    // surface sa, b likewise. True when some pixel of the common area is opaque in both
    // (a pixel is transparent when it equals its surface's colour key); true for surfaces
    // of different depths; false when a lock fails or the placed rectangles do not overlap.
    static bool PixelHit(TDirectDrawSurface* sa, const platform::Rect& boxA, int ax, int ay,
                         TDirectDrawSurface* sb, const platform::Rect& boxB, int bx, int by);

    // Lets the collision walk work out the hit boxes of sprites whose class is exactly T in
    // line, without the virtual call. A class that overrides GetHitBox (itself or through a
    // base between it and TImageSprite) is not taken and keeps being asked. Returns whether
    // T was taken; meant for a namespace-scope initialiser in T's own source file.
    template <class T>
    static bool KeepsImageHitBox() {
        static_assert(std::is_base_of_v<TImageSprite, T>);
        if constexpr (std::is_same_v<decltype(&T::GetHitBox), platform::Rect (TImageSprite::*)()>)
            return AddPlainHitBoxClass(typeid(T));
        else
            return false;
    }

private:
    friend class TSpriteEngine;
    static bool AddPlainHitBoxClass(const std::type_info& type);
    static bool HasPlainHitBox(const std::type_info* type);
    // The hit box as GetHitBox works it out, tested against r (which must not be empty).
    bool PlainBoxOverlaps(const platform::Rect& r) const;
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
    void HitWalkChildren(TSprite* parent);
    size_t HitSkip(TSprite* const* items, size_t i, size_t end) const;
    void HitVisit(TSprite* t);
    bool HitOverlaps(TSprite* t, const std::type_info* type);
    void HitFound(TSprite* t);

    int totalSprites_ = 0;
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

// The component that owns the engine and follows the display's lifecycle.
class TCustomDXSpriteEngine {
public:
    explicit TCustomDXSpriteEngine(TForm* owner = nullptr);
    virtual ~TCustomDXSpriteEngine();
    TCustomDXSpriteEngine(const TCustomDXSpriteEngine&) = delete;
    TCustomDXSpriteEngine& operator=(const TCustomDXSpriteEngine&) = delete;

    TForm* Owner() const { return owner_; }
    TSpriteEngine* Engine() const { return engine_; }

    void Move(int elapsed);
    void Sweep();
    // Draws only while the linked display is initialised.
    void Draw();

    TCustomDXDraw* DXDraw() const { return dxdraw_; }
    void SetDXDraw(TCustomDXDraw* dxdraw);

private:
    void DXDrawNotifyEvent(TDXDrawNotifyType kind);
    TForm* owner_;
    TSpriteEngine* engine_;
    TCustomDXDraw* dxdraw_ = nullptr;
};

class TDXSpriteEngine : public TCustomDXSpriteEngine {
public:
    using TCustomDXSpriteEngine::TCustomDXSpriteEngine;
};
