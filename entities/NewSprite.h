// One star of the scrolling background.
#pragma once

#include "engine/ImageSprite.h"

class TNewSprite : public TImageSprite {
public:
    using TImageSprite::TImageSprite;

    // A star with its creation draws, under the given parent (the engine).
    static TNewSprite* CreateForScene(TSprite* parent);

    int Speed = 0;  // 0..9, in fiftieths of a pixel per millisecond

    void Advance(int elapsed) override;
};
