// The one registration of the game's sprite classes with the collision walk. A class that
// overrides GetHitBox is refused at compile time and simply keeps being asked.
#include "entities/HitBoxClasses.h"

#include "engine/HitWalk.h"
#include "entities/Sprites.h"

void RegisterHitBoxClasses() {
    static const bool registered = [] {
        TSpriteHitWalk::KeepsImageHitBox<TArmoSprite>();
        TSpriteHitWalk::KeepsImageHitBox<TBonSprite>();
        TSpriteHitWalk::KeepsImageHitBox<TMonoSprite>();
        TSpriteHitWalk::KeepsImageHitBox<TNSprite>();
        TSpriteHitWalk::KeepsImageHitBox<TNewSprite>();
        TSpriteHitWalk::KeepsImageHitBox<TPlayerSprite>();
        TSpriteHitWalk::KeepsImageHitBox<TVSprite>();
        return true;
    }();
    (void)registered;
}
