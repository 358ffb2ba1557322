// An enemy's shot.
#include "entities/VSprite.h"

#include "entities/PlayerSprite.h"
#include "entities/SpriteNames.h"
#include "game/state/GameHost.h"
#include "game/state/Globals.h"

double ShotDamage(int shooterKind) {
    switch (shooterKind) {
        case 2: return 2.5;
        case 3: return 5;
        case 4: return 10;
        case 5: return 15;
        case 7: return 25;
        case 8: return 50;
        default: return 0;
    }
}

void TVSprite::Advance(int elapsed) {
    if (GameState == gsMenu || GameState == gsLevelDone) Kill();
    if (GameState != gsPlaying) return;
    TImageSprite::Advance(elapsed);
    ExactHits = true;
    if (Stage == 0) X = X - elapsed;
    if (Stage >= 1) {
        ++StageTick;
        if (StageTick >= 5) {
            ++Stage;
            StageTick = 0;
        }
        static const TNumberedNames burst("bb", 1, 6);
        SetImage(this, burst(Stage));
    }
    if (Stage >= 6) Kill();
    if (X < 0) Kill();
    CheckHits();
}

void TVSprite::HitBy(TSprite* sprite, bool& done) {
    (void)done;
    if (!dynamic_cast<TPlayerSprite*>(sprite)) return;
    Stage = 1;
    // The burst stays where it hit and must not hit again.
    CollisionEnabled = false;
    GameHost()->PlayCue("snd");
    if (ShieldTime > 0) return;
    Energy = Energy - ShotDamage(ShooterKind);
}
