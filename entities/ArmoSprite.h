// A shot of the player: main gun, piercing special (201) or homing special (202).
#pragma once

#include "engine/ImageSprite.h"

class TArmoSprite : public TImageSprite {
public:
    using TImageSprite::TImageSprite;

    static constexpr int skMainGun = 0;
    static constexpr int skPiercing = 201;
    static constexpr int skHoming = 202;

    int SpecialKind = skMainGun;

    void Advance(int elapsed) override;
    void HitBy(TSprite* sprite, bool& done) override;
};
