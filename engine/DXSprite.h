// The sprite unit: the sprite tree and its engine, the picture sprite and the engine
// component, in one include.
#pragma once

#include "engine/ImageSprite.h"
#include "engine/Sprite.h"
#include "engine/SpriteEngineComponent.h"
