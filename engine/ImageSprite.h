// A sprite that shows a picture: image-list pattern, frame animation, tiling and the
// pixel-exact collision test.
#pragma once

#include "engine/Sprite.h"
#include "platform/Platform.h"

class TDirectDrawSurface;
class TPictureCollectionItem;

// A sprite showing one pattern of an image-list entry, with frame animation and an
// optional pixel-exact collision test.
class TImageSprite : public TSprite {
public:
    using TSprite::TSprite;

    // First, next to the base's fields: the collision walk (engine/HitWalk.cpp) reads it for every sprite.
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
    static bool PixelHit(TDirectDrawSurface* sa, const platform::Rect& boxA, int ax, int ay, TDirectDrawSurface* sb,
                         const platform::Rect& boxB, int bx, int by);
};
