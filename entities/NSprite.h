// The screen panels: thirteen picture sprites that slide in and out to make the menus, the
// head-up display and the picture screens, and publish how far they have arrived.
#pragma once

#include "engine/ImageSprite.h"

class TNSprite : public TImageSprite {
public:
    using TImageSprite::TImageSprite;

    // Panel `kind` (1..13) at its starting place, under the given parent (the engine).
    static TNSprite* CreateForScene(TSprite* parent, int kind);

    int Kind = 0;  // the panel's role, 1..13

    // Slides a fixed step per frame whatever the elapsed time.
    void Advance(int elapsed) override;
};
