// The collision walk behind TSprite::CheckHits, with its fast path.
//
// The walk visits every sprite of the tree for every asker. Among the root engine's
// children it passes over the common case (a childless sprite whose box cannot reach the
// asker's) without calling into the sprite, and it works out in line the hit boxes of the
// classes registered here as keeping TImageSprite's box. Any other class is asked through
// GetHitBox: registering is only ever a matter of speed.
#pragma once

#include <cstddef>
#include <type_traits>
#include <typeinfo>

#include "engine/ImageSprite.h"
#include "engine/Sprite.h"
#include "platform/Platform.h"

class TSpriteHitWalk {
public:
    // Lets the walk work out the hit boxes of sprites whose class is exactly T in line,
    // without the virtual call. A class that overrides GetHitBox (itself or through a base
    // between it and TImageSprite) is not taken and keeps being asked. Returns whether T was
    // taken. Register a class before its sprites first meet the walk: a sprite already met
    // keeps being asked.
    template <class T>
    static bool KeepsImageHitBox() {
        static_assert(std::is_base_of_v<TImageSprite, T>);
        if constexpr (std::is_same_v<decltype(&T::GetHitBox), platform::Rect (TImageSprite::*)()>)
            return AddPlainHitBoxClass(typeid(T));
        else return false;
    }

private:
    friend class TSprite;
    friend struct TSpriteHitWalkTestAccess;

    // The hits of asker against the whole tree of engine e; HitBy is called once per hit.
    static int CheckHits(TSpriteEngine& e, TSprite* asker);
    static void WalkChildren(TSpriteEngine& e, TSprite* parent);
    static size_t Skip(const TSpriteEngine& e, TSprite* const* items, size_t i, size_t end);
    static void Visit(TSpriteEngine& e, TSprite* t);
    static bool Overlaps(TSpriteEngine& e, TSprite* t, const std::type_info* type);
    static void Found(TSpriteEngine& e, TSprite* t);

    static bool AddPlainHitBoxClass(const std::type_info& type);
    static bool HasPlainHitBox(const std::type_info* type);
};
