// An enemy's shot: flies left, bursts on the player's ship and takes energy by its shooter's kind.
#pragma once

#include "engine/ImageSprite.h"

class TVSprite : public TImageSprite {
public:
    using TImageSprite::TImageSprite;

    int Stage = 0;        // 0 flying; 1..5 burst pictures "bb1".."bb5"; 6 ends the shot
    int StageTick = 0;    // moves spent on the current burst picture
    int ShooterKind = 0;  // Kind of the enemy that fired it

    void Advance(int elapsed) override;
    void HitBy(TSprite* sprite, bool& done) override;
};

// Energy an enemy shot of that shooter kind takes on a hit (0 for kinds that never fire).
double ShotDamage(int shooterKind);
