// A bonus capsule: energy, ammunition or a shield charge, recycled far to the right when taken.
#pragma once

#include "engine/ImageSprite.h"

class TBonSprite : public TImageSprite {
public:
    using TImageSprite::TImageSprite;

    // A wave's capsule with its creation draws, under the given parent (the engine).
    static TBonSprite* CreateForWave(TSprite* parent);

    int Kind = 1;  // 1 energy, 2 piercing shots, 3 homing shots, 4 shield charge

    void Advance(int elapsed) override;
    void HitBy(TSprite* sprite, bool& done) override;
};
