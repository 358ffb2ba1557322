// The enemy craft and the routine that credits a hit enemy.
#pragma once

#include "engine/ImageSprite.h"

class TMonoSprite : public TImageSprite {
public:
    using TImageSprite::TImageSprite;

    // A wave's enemy with its creation draws, under the given parent (the engine).
    static TMonoSprite* CreateForWave(TSprite* parent);

    double Clock = 0.0;   // drives the sine path; runs in every state
    int Kind = 0;         // 0..8
    int SpeedFactor = 0;  // (1..4) * (Kind + 1)
    bool Exploding = false;
    int ExplosionFrame = 1;  // 1..9
    int ExplosionTick = 0;   // 0..2
    int FireCounter = 0;
    double Phase = 0.0;

    void Advance(int elapsed) override;
    // Enemies never ask for their own hits; the ship and the player's shots do.
    void HitBy(TSprite* sprite, bool& done) override;

private:
    void ReEnter();
    void Fire(double muzzleX, double muzzleY);
};

// Points an enemy of this kind is worth.
int KillPoints(int kind);

// Credits a hit enemy: points, explosion, and level completion with its ammunition.
void ScoreKill(TMonoSprite* enemy);
