// A shot of the player.
#include "entities/ArmoSprite.h"

#include <cmath>

#include "entities/MonoSprite.h"
#include "game/state/Globals.h"

void TArmoSprite::Advance(int elapsed) {
    if (GameState == gsMenu || GameState == gsLevelDone) Kill();
    if (GameState != gsPlaying) return;
    TImageSprite::Advance(elapsed);
    ExactHits = true;
    const long double step = elapsed * 0.5L;
    if (SpecialKind == skHoming) {
        // The wobble belongs to where the shot was, so it is taken before the move; the two
        // pulls let a shot that overshoots the target come back within the same move.
        const long double w = std::sin(static_cast<long double>(X) / 50) * 10;
        if (Y < TargetY) Y = Y + step + w;
        if (Y > TargetY) Y = Y - step + w;
        X = X + step;
    } else {
        X = X + step;
    }
    if (X > 800) Kill();
    CheckHits();
}

void TArmoSprite::HitBy(TSprite* sprite, bool& done) {
    (void)done;
    auto* enemy = dynamic_cast<TMonoSprite*>(sprite);
    if (!enemy || enemy->Kind == 6) return;
    if (SpecialKind != skPiercing) Kill();
    ScoreKill(enemy);
}
