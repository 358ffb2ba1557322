// The one registration of the sprite classes with the collision walk's fast path.
#include <gtest/gtest.h>

#include <typeinfo>

#include "engine/HitWalkTestAccess.h"
#include "entities/HitBoxClasses.h"
#include "entities/Sprites.h"

namespace {

// A class with a box of its own must never be worked out in line.
class TOwnBoxSprite : public TImageSprite {
public:
    using TImageSprite::TImageSprite;
    platform::Rect GetHitBox() override { return {0, 0, 1, 1}; }
};
class TInheritsOwnBox : public TOwnBoxSprite {
public:
    using TOwnBoxSprite::TOwnBoxSprite;
};

}  // namespace

TEST(HitBoxClasses, EveryGameSpriteClassIsKnownToTheWalk) {
    RegisterHitBoxClasses();
    RegisterHitBoxClasses();  // a second call changes nothing
    for (const std::type_info* type :
         {&typeid(TImageSprite), &typeid(TArmoSprite), &typeid(TBonSprite), &typeid(TMonoSprite), &typeid(TNSprite),
          &typeid(TNewSprite), &typeid(TPlayerSprite), &typeid(TVSprite)})
        EXPECT_TRUE(TSpriteHitWalkTestAccess::KnowsHitBoxOf(*type)) << type->name();
}

TEST(HitBoxClasses, ClassesWithTheirOwnBoxAreRefused) {
    EXPECT_FALSE(TSpriteHitWalk::KeepsImageHitBox<TOwnBoxSprite>());
    EXPECT_FALSE(TSpriteHitWalk::KeepsImageHitBox<TInheritsOwnBox>());
    EXPECT_FALSE(TSpriteHitWalkTestAccess::KnowsHitBoxOf(typeid(TOwnBoxSprite)));
    EXPECT_FALSE(TSpriteHitWalkTestAccess::KnowsHitBoxOf(typeid(TInheritsOwnBox)));
}
