// The enemy craft and the routine that credits a hit enemy.
#include "entities/MonoSprite.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>

#include "entities/SpriteNames.h"
#include "entities/VSprite.h"
#include "game/state/GameHost.h"
#include "game/state/Globals.h"
#include "game/state/Random.h"

namespace {

constexpr std::array<int, 9> kPoints = {1, 2, 5, 10, 15, 10, -15, -15, -15};
// Enemy shot picture per kind; empty for kinds that never fire.
const std::array<const char*, 9> kShotPictures = {"", "", "PULA2", "PULA3", "PULA4", "PULA5", "", "PULA6", "PULA7"};

bool Shoots(int kind) { return kind == 2 || kind == 3 || kind == 4 || kind == 5 || kind == 7 || kind == 8; }
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
constexpr std::array<TAmmoRow, 8> kLevelAmmo = {
    {{10, 0, 0}, {25, 5, 0}, {50, 10, 0}, {75, 15, 0}, {100, 25, 0}, {200, 35, 5}, {250, 50, 10}, {500, 100, 25}}};

// The enemies' sine path without the library's slow argument reduction wherever that
// cannot change the result. SineNear works sin(a) out to within 2^-62 (reduction by a
// three-part pi/2, then Taylor series on |r| <= pi/4); the library's sinl is within an ulp
// of the true sine, so it lies within kSineSlack of SineNear's value. The arithmetic that
// takes the sine to a row rounds monotonically, so when both ends of that bracket give the
// same double, sinl's value would have given it too; otherwise sinl itself is asked.
constexpr long double kSineSlack = 0x1p-59L;
constexpr long double kTwoOverPi = 0xa2f9836e4e441529p-64L;
// pi/2 = kPiHalf1 + kPiHalf2 + kPiHalf3 + O(2^-160); the first two carry 48 bits, so their
// products with k below 2^16 are exact.
constexpr long double kPiHalf1 = 0xc90fdaa22168p-47L;
constexpr long double kPiHalf2 = 0xc234c4c6628bp-95L;
constexpr long double kPiHalf3 = 0x80dc1cd129024e08p-159L;

bool SineNear(long double a, long double& s) {
    if (!(std::fabs(a) <= 65536.0L)) return false;
    // The nearest whole number to a * 2/pi: adding and taking away 1.5 * 2^63 rounds it.
    constexpr long double kRound = 0x1.8p63L;
    const long double k = (a * kTwoOverPi + kRound) - kRound;
    // a - k * kPiHalf1 is exact (the operands are within a factor of two of each other).
    const long double r = ((a - k * kPiHalf1) - k * kPiHalf2) - k * kPiHalf3;
    const long double z = r * r;
    const int quadrant = static_cast<int>(static_cast<double>(k)) & 3;
    // Series to r^19 and r^20: the next terms stay below 2^-72 for |r| <= pi/4. The
    // polynomials in z are evaluated in pairs (Estrin) for a shorter chain of operations.
    const long double z2 = z * z, z4 = z2 * z2, z8 = z4 * z4;
    auto poly = [&](const long double(&c)[9]) {
        return ((c[0] + c[1] * z) + z2 * (c[2] + c[3] * z)) + z4 * ((c[4] + c[5] * z) + z2 * (c[6] + c[7] * z)) +
               z8 * c[8];
    };
    long double v;
    if (quadrant & 1) {
        static constexpr long double kCos[9] = {
            1.0L / 24,
            -1.0L / 720,
            1.0L / 40320,
            -1.0L / 3628800,
            1.0L / 479001600,
            -1.0L / 87178291200,
            1.0L / 20922789888000,
            -1.0L / 6402373705728000,
            1.0L / 2432902008176640000,
        };
        v = (1.0L - 0.5L * z) + z2 * poly(kCos);
    } else {
        static constexpr long double kSin[9] = {
            -1.0L / 6,
            1.0L / 120,
            -1.0L / 5040,
            1.0L / 362880,
            -1.0L / 39916800,
            1.0L / 6227020800,
            -1.0L / 1307674368000,
            1.0L / 355687428096000,
            -1.0L / 121645100408832000,
        };
        v = r + r * z * poly(kSin);
    }
    s = (quadrant & 2) ? -v : v;
    return true;
}

// (300 - sin(a) * 200) - 65 worked out as long double and stored as a double.
double EnemyRow(long double a) {
    auto row = [](long double s) { return static_cast<double>((300 - s * 200) - 65); };
    long double s;
    if (SineNear(a, s)) {
        const double top = row(s + kSineSlack), bottom = row(s - kSineSlack);
        if (std::bit_cast<uint64_t>(top) == std::bit_cast<uint64_t>(bottom)) return top;
    }
    return row(std::sin(a));
}

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
        Y = EnemyRow(static_cast<long double>(Clock) / 100 + Phase);
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
