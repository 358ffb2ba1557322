// The player's ship: steering, guns, shield, pictures, and the end of a game.
#pragma once

#include <string>

#include "engine/ImageSprite.h"

class TPlayerSprite : public TImageSprite {
public:
    using TImageSprite::TImageSprite;

    // The one ship of a run, at its starting place, under the given parent (the engine).
    static TPlayerSprite* CreateForScene(TSprite* parent);

    void Advance(int elapsed) override;
    void HitBy(TSprite* sprite, bool& done) override;

private:
    void FireShot(int specialKind, int z, const std::string& picture);
};

// ((Level - 1) * 1000 * Level - 1) div 2 + Score: the points of the completed levels (less
// one, from level 2 on) plus the current level's.
int FinalScore();

// The end of a game: final score to the hidden label, the ship's explosion picture, the
// music stopped, then the result-entry window for a new record or the score-table screen.
void RunGameOver();
