// One star of the scrolling background.
#include "entities/NewSprite.h"

#include "entities/SpriteNames.h"
#include "game/state/Globals.h"
#include "game/state/Random.h"

TNewSprite* TNewSprite::CreateForScene(TSprite* parent) {
    auto* s = new TNewSprite(parent);
    SetImage(s, "star");
    // Two draws, left one first: the stars crowd toward the middle of the screen.
    const int left = Random(400);
    const int right = Random(400);
    s->X = left + right;
    s->Y = Random(600);
    s->SetZ(-2);
    s->Speed = Random(10);
    SetImageAndSize(s, "star");
    return s;
}

void TNewSprite::Advance(int elapsed) {
    if (GameState != gsPlaying) return;
    TImageSprite::Advance(elapsed);
    ExactHits = false;
    X = X - elapsed * 0.02L * Speed;
    if (X < 0) X = 800.0;
    SetImage(this, "Star");
}
