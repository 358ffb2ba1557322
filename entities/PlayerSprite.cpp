// The player's ship.
#include "entities/PlayerSprite.h"

#include <charconv>
#include <string>

#include "engine/ImageList.h"
#include "entities/ArmoSprite.h"
#include "entities/MonoSprite.h"
#include "entities/SpriteNames.h"
#include "game/state/GameHost.h"
#include "game/state/Globals.h"
#include "input/DXInput.h"

namespace {

const TNumberedNames kShipNames("player", 1, 3);
const TNumberedNames kShieldNames("playerg", 1, 3);
const TNumberedNames kWreckNames("b", 1, 3);
const TNumberedNames kSpecialShotNames("PUS", 1, 3);
const TNumberedNames kSpecialShotSounds("shoot", 1, 3);

// Button1 fires the main gun, Button2 the special weapon or shield, Button3 switches weapons.
bool Held(IGameHost* host, TInputState input) { return host->InputHeld(input); }

}  // namespace

TPlayerSprite* TPlayerSprite::CreateForScene(TSprite* parent) {
    auto* s = new TPlayerSprite(parent);
    s->Y = 280.0;
    SetImage(s, "player2");
    s->SetZ(1);
    SetImageAndSize(s, "player2");
    return s;
}

void TPlayerSprite::FireShot(int specialKind, int z, const std::string& picture) {
    auto* shot = new TArmoSprite(Engine());
    shot->ExactHits = true;
    shot->SetZ(z);
    // The muzzle follows the picture shown now, which may differ from the collision size.
    const int shipWidth = PlayerSprite && PlayerSprite->Image ? PlayerSprite->Image->Width() : Width;
    const TPlayerSprite* ship = PlayerSprite ? PlayerSprite : this;
    shot->X = static_cast<long double>(ship->X) + shipWidth - 50;
    shot->Y = ship->Y;
    shot->SpecialKind = specialKind;
    SetImageAndSize(shot, picture);
    FireReady = false;
}

void TPlayerSprite::Advance(int elapsed) {
    if (GameState != gsPlaying) return;
    TImageSprite::Advance(elapsed);
    IGameHost* host = GameHost();

    const int jx = host->JoystickX();
    const int jy = host->JoystickY();
    if (jx != 0 || jy != 0) {
        X = X + static_cast<long double>(jx) / 1000 * elapsed;
        Y = Y + static_cast<long double>(jy) / 1000 * elapsed;
    } else {
        if (Energy > 0.0) {
            // Kept in extended precision: each position is rounded once, when stored.
            const long double step = elapsed * 0.3L * 1.2L;
            // A bound only stops the next step, so one step may carry the ship past it.
            if (Held(host, InputUp) && Y > 20) Y = Y - step;
            if (Held(host, InputDown) && Y < 450) Y = Y + step;
            if (Held(host, InputLeft) && X > 0) X = X - step;
            if (Held(host, InputRight) && X < 700) X = X + step;
            if (Held(host, InputButton1) && FireReady) {
                const size_t gun =
                    GunType >= 0 && GunType < static_cast<int>(ShotNames.size()) ? static_cast<size_t>(GunType) : 0;
                FireShot(TArmoSprite::skMainGun, 2, ShotNames[gun]);
                host->PlayCue("shoot");
            }
        }

        if (Held(host, InputButton3) && SwitchDelay == 2) {
            ++Weapon;
            SwitchDelay = 0;
        }
        if (Weapon == 4) Weapon = 1;

        // Weapon is 1..3 here unless something outside set it otherwise; then there is
        // no ammunition slot to read.
        if (Held(host, InputButton2) && Weapon >= 1 && Weapon <= 3) {
            if (FireReady && Ammo[Weapon] > 0 && Weapon < 3) {
                FireShot(200 + Weapon, 1, kSpecialShotNames(Weapon));
                --Ammo[Weapon];
                host->PlayCue(kSpecialShotSounds(Weapon));
            }
            if (FireReady && Ammo[Weapon] > 0 && Weapon == 3 && ShieldTime <= 0) {
                ShieldTime = 50;
                --Ammo[3];
            }
        }

        if (0 < AnimFrame && AnimFrame < 4 && ShieldTime <= 0) SetImage(this, kShipNames(AnimFrame));
        if (ShieldTime > 0) SetImage(this, kShieldNames(AnimFrame));
    }

    if (RoundHalfEven(Energy) <= 0) {
        RunGameOver();
        // A game that has just ended takes no more hits: an enemy touched now would be
        // credited after the final score was taken and could even complete a level.
        if (GameState != gsPlaying) return;
    }
    CheckHits();
}

void TPlayerSprite::HitBy(TSprite* sprite, bool& done) {
    if (auto* enemy = dynamic_cast<TMonoSprite*>(sprite)) {
        if (ShieldTime <= 0 && Energy > 0.0) Energy = Energy - 0.1;
        ScoreKill(enemy);
    }
    done = false;
}

int FinalScore() { return ((Level - 1) * 1000 * Level - 1) / 2 + Score; }

void RunGameOver() {
    IGameHost* host = GameHost();
    const int finalScore = FinalScore();
    host->SetFinalScoreText(std::to_string(finalScore));
    if (PlayerSprite) SetImage(PlayerSprite, kWreckNames(AnimFrame));
    AnimFrame = 1;
    MusicOn = false;
    host->MusicStop();
    if (!CheatMode) {
        // The label is what the result-entry window will read, so the decision uses it too.
        const std::string text = host->FinalScoreText();
        long long shown = finalScore;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), shown);
        if (ec != std::errc() || end != text.data() + text.size()) shown = finalScore;
        if (shown > ScoreValues[10]) {
            host->MusicStop();
            GameState = gsScores;
            AnimFrame = 1;
            host->StopTimers();
            host->ShowResultEntry();
        } else {
            GameState = gsScores;
        }
    } else {
        GameState = gsScores;
        CheatMode = false;
    }
}
