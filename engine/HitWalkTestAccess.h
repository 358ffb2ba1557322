// For tests only: what the collision walk's class registry holds.
#pragma once

#include <typeinfo>

#include "engine/HitWalk.h"

struct TSpriteHitWalkTestAccess {
    // Whether the walk works out the hit boxes of sprites of exactly this class in line.
    static bool KnowsHitBoxOf(const std::type_info& type) { return TSpriteHitWalk::HasPlainHitBox(&type); }
};
