// A bonus capsule.
#include "entities/BonSprite.h"

#include <array>
#include <cmath>

#include "entities/PlayerSprite.h"
#include "entities/SpriteNames.h"
#include "game/state/Globals.h"
#include "game/state/Random.h"

namespace {

// "Bon" + kind + frame.
std::string_view CapsuleName(int kind, int frame) {
    static const std::array<TNumberedNames, 4> names = {TNumberedNames("Bon1", 1, 3), TNumberedNames("Bon2", 1, 3),
                                                        TNumberedNames("Bon3", 1, 3), TNumberedNames("Bon4", 1, 3)};
    if (kind >= 1 && kind <= 4) return names[static_cast<size_t>(kind - 1)](frame);
    static std::string spare;
    spare = "Bon" + std::to_string(kind) + std::to_string(frame);
    return spare;
}

}  // namespace

TBonSprite* TBonSprite::CreateForWave(TSprite* parent) {
    auto* s = new TBonSprite(parent);
    SetImage(s, "bon41");
    s->Y = Random(400) + 100;
    s->X = Random(10000) + Level * 1000;
    s->ExactHits = true;
    s->Kind = Random(4) + 1;
    const std::string first = "bon" + std::to_string(s->Kind) + "1";
    SetImage(s, first);
    s->SetZ(1);
    SetImageAndSize(s, first);
    return s;
}

void TBonSprite::Advance(int elapsed) {
    if (GameState == gsPlaying) {
        TImageSprite::Advance(elapsed);
        X = X - elapsed * 0.02L * 5;
        // Parked out of reach: at this speed it would take over a quarter of an hour to return.
        if (X < 0) X = 100000.0;
        Y = Y + std::sin(static_cast<long double>(X) / 50) * 2;
        SetImage(this, CapsuleName(Kind, AnimFrame));
    }
    if (GameState == gsMenu || GameState == gsScores || GameState == gsLevelDone) Kill();
    CheckHits();
}

void TBonSprite::HitBy(TSprite* sprite, bool& done) {
    (void)done;
    if (!dynamic_cast<TPlayerSprite*>(sprite)) return;
    switch (Kind) {
        case 1: Energy = Energy + 20; break;
        case 2: Ammo[1] = Ammo[1] + 10; break;
        case 3: Ammo[2] = Ammo[2] + 20; break;
        case 4: Ammo[3] = Ammo[3] + 1; break;
        default: break;
    }
    X = Random(10000) + Level * 1000;
    Kind = Random(4) + 1;
}
