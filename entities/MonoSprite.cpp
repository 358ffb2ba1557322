// The enemy craft and the routine that credits a hit enemy.
#include "entities/MonoSprite.h"

#include <array>
#include <cmath>

#include "entities/SpriteNames.h"
#include "entities/VSprite.h"
#include "game/GameHost.h"
#include "game/Globals.h"
#include "game/Random.h"

namespace {
// The collision walk works out the hit boxes of this class itself.
[[maybe_unused]] const bool kWalkKnowsHitBox = TImageSprite::KeepsImageHitBox<TMonoSprite>();
}  // namespace

namespace {

constexpr std::array<int, 9> kPoints = {1, 2, 5, 10, 15, 10, -15, -15, -15};
// Enemy shot picture per kind; empty for kinds that never fire.
const std::array<const char*, 9> kShotPictures = {"", "", "PULA2", "PULA3", "PULA4", "PULA5", "", "PULA6", "PULA7"};

bool Shoots(int kind) {
    return kind == 2 || kind == 3 || kind == 4 || kind == 5 || kind == 7 || kind == 8;
}
bool StopsAtColumn(int kind) { return kind == 4 || kind == 5 || kind == 7 || kind == 8; }

const TNumberedNames& FlyingNames(int kind) {
    static const std::array<TNumberedNames, 9> names = {
        TNumberedNames(EnemyNames[0], 1, 3), TNumberedNames(EnemyNames[1], 1, 3), TNumberedNames(EnemyNames[2], 1, 3),
        TNumberedNames(EnemyNames[3], 1, 3), TNumberedNames(EnemyNames[4], 1, 3), TNumberedNames(EnemyNames[5], 1, 3),
        TNumberedNames(EnemyNames[6], 1, 3), TNumberedNames(EnemyNames[7], 1, 3), TNumberedNames(EnemyNames[8], 1, 3)};
    return names[static_cast<size_t>(kind)];
}

const TNumberedNames& ExplosionNames(int kind) {
    static const TNumberedNames small("b", 1, 9);
    static const TNumberedNames big("bo", 1, 9);
    return kind <= 3 ? small : big;
}

struct TAmmoRow {
    int A1, A2, A3;
};
// Ammunition granted on reaching levels 2..9; it replaces what was left.
constexpr std::array<TAmmoRow, 8> kLevelAmmo = {{{10, 0, 0},
                                                  {25, 5, 0},
                                                  {50, 10, 0},
                                                  {75, 15, 0},
                                                  {100, 25, 0},
                                                  {200, 35, 5},
                                                  {250, 50, 10},
                                                  {500, 100, 25}}};

}  // namespace

TMonoSprite* TMonoSprite::CreateForWave(TSprite* parent) {
    auto* s = new TMonoSprite(parent);
    SetImage(s, "Ufo1");
    s->Kind = Random(Level);
    s->SpeedFactor = (Random(4) + 1) * (s->Kind + 1);
    s->X = Random(30000) + s->SpeedFactor * s->SpeedFactor * 1000 + s->Kind * 100 - Level * 100;
    s->ExplosionFrame = 1;
    s->ExplosionTick = 0;
    s->FireCounter = Random(10);
    Randomize();
    s->Y = Random(800) - 1000;
    s->Exploding = false;
    s->Phase = Random(1000);
    s->SetZ(2);
    SetImageAndSize(s, "Ufo1");
    s->Clock = 0.0;
    return s;
}

void TMonoSprite::HitBy(TSprite* sprite, bool& done) {
    (void)sprite;
    (void)done;
}

void TMonoSprite::ReEnter() { X = Random(50000) + SpeedFactor * SpeedFactor * 1000; }

void TMonoSprite::Advance(int elapsed) {
    TImageSprite::Advance(elapsed);
    ExactHits = true;
    Clock = Clock + elapsed * 0.1L;

    if (GameState == gsPlaying) {
        ++FireCounter;
        if (!StopsAtColumn(Kind) || X > 520 + 50 * (Kind - 4))
            X = X - static_cast<long double>(elapsed) * 0.2L * SpeedFactor / 1.65L;
        Y = (300 - std::sin(static_cast<long double>(Clock) / 100 + Phase) * 200) - 65;
        const double muzzleX = X + 20;
        const double muzzleY = Y + 10;
        if (100 < X && X < 800) TargetY = Y;
        if (FireCounter == 50) {
            if (40 < X && X < 900 && Shoots(Kind) && EnemyFireOn) Fire(muzzleX, muzzleY);
            FireCounter = 0;
        }
        if (X < -100) ReEnter();
        if (0 < AnimFrame && AnimFrame < 4 && !Exploding) SetImage(this, FlyingNames(Kind)(AnimFrame));
        if (Exploding) {
            ++ExplosionTick;
            if (ExplosionTick == 3) {
                ExplosionTick = 0;
                ++ExplosionFrame;
            }
            SetImage(this, ExplosionNames(Kind)(ExplosionFrame));
        }
        if (ExplosionFrame == 9) {
            Exploding = false;
            ExplosionFrame = 1;
            ExplosionTick = 0;
            ReEnter();
        }
    }
    if (GameState == gsMenu || GameState == gsLevelDone) Kill();
}

void TMonoSprite::Fire(double muzzleX, double muzzleY) {
    auto* shot = new TVSprite(Engine());
    shot->ExactHits = true;
    shot->SetZ(2);
    shot->X = muzzleX + 50;
    shot->Y = muzzleY;
    shot->Stage = 0;
    shot->StageTick = 0;
    shot->ShooterKind = Kind;
    SetImageAndSize(shot, kShotPictures[static_cast<size_t>(Kind)]);
    GameHost()->PlayCue("shoot1");
}

int KillPoints(int kind) { return kind >= 0 && kind <= 8 ? kPoints[static_cast<size_t>(kind)] : 0; }

void ScoreKill(TMonoSprite* enemy) {
    // The heavy kinds cost 15 points, booked as a 5-point credit and a 20-point charge.
    if (enemy->Kind >= 6 && enemy->Kind <= 8) {
        Score = Score + 5;
        Score = Score - 20;
    } else {
        Score = Score + KillPoints(enemy->Kind);
    }
    enemy->Exploding = true;
    if (Score >= Level * 1000 && Level < 9 && Level >= 1) {
        ++Level;
        Score = 0;
        const TAmmoRow& row = kLevelAmmo[static_cast<size_t>(Level - 2)];
        Ammo[1] = row.A1;
        Ammo[2] = row.A2;
        Ammo[3] = row.A3;
        GameState = gsLevelDone;
    }
    GameHost()->PlayCue("snd");
}
