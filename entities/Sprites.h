// Every sprite class of the game and the hit-scoring routine, in one include.
#pragma once

#include "entities/ArmoSprite.h"
#include "entities/BonSprite.h"
#include "entities/MonoSprite.h"
#include "entities/NSprite.h"
#include "entities/NewSprite.h"
#include "entities/PlayerSprite.h"
#include "entities/VSprite.h"
