// The scene and wave builders and the creation draws of each sprite class.
#include <set>

#include "TestHost.h"

namespace {

// The runtime's generator, replayed independently.
struct TLcg {
    uint32_t Seed;
    int32_t Next(int32_t n) {
        Seed = Seed * 134775813u + 1u;
        return static_cast<int32_t>((static_cast<uint64_t>(Seed) * static_cast<uint32_t>(n)) >> 32);
    }
};

using BuildersTest = EntitiesTest;

TEST_F(BuildersTest, SceneHasStarsPanelsThenTheShip) {
    BuildScene();
    ASSERT_EQ(host.Engine.Count(), 301 + 13 + 1);
    for (int i = 0; i < 301; ++i) {
        auto* star = dynamic_cast<TNewSprite*>(host.Engine.Items(i));
        ASSERT_NE(star, nullptr);
        EXPECT_EQ(star->Z(), -2);
        EXPECT_GE(star->X, 0);
        EXPECT_LE(star->X, 798);
        EXPECT_LT(star->Y, 600);
        EXPECT_LE(star->Speed, 9);
        EXPECT_EQ(star->Width, 2);
    }
    for (int k = 1; k <= 13; ++k) {
        auto* panel = dynamic_cast<TNSprite*>(host.Engine.Items(300 + k));
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->Kind, k);
    }
    auto* ship = dynamic_cast<TPlayerSprite*>(host.Engine.Items(314));
    ASSERT_NE(ship, nullptr);
    EXPECT_EQ(PlayerSprite, ship);
    EXPECT_EQ(ship->X, 0.0);
    EXPECT_EQ(ship->Y, 280.0);
    EXPECT_EQ(ship->Z(), 1);
    EXPECT_EQ(ship->Image, host.Images.Find("Player2"));
    EXPECT_EQ(ship->Width, 100);
}

TEST_F(BuildersTest, StarDrawsTwoHalvesThenHeightThenSpeed) {
    TLcg lcg{RandSeed};
    auto* star = TNewSprite::CreateForScene(&host.Engine);
    const int a = lcg.Next(400), b = lcg.Next(400), y = lcg.Next(600), speed = lcg.Next(10);
    EXPECT_EQ(star->X, a + b);
    EXPECT_EQ(star->Y, y);
    EXPECT_EQ(star->Speed, speed);
    EXPECT_EQ(RandSeed, lcg.Seed);
}

TEST_F(BuildersTest, PanelStartValues) {
    struct Row {
        int Kind;
        const char* Picture;
        double X, Y;
        int Z, W, H;
    };
    const Row rows[] = {
        {1, "panel1", 0, 810, 3, 800, 80}, {2, "q1", -400, 0, 3, 400, 600},   {3, "q1", 800, 0, 3, 400, 600},
        {4, "rb1", 800, 0, 3, 400, 600},   {5, "lvl1", -400, 0, 3, 400, 600}, {6, "rm1", 800, 0, 3, 400, 600},
        {7, "panel1", 0, 810, 3, 800, 80}, {8, "q1", 800, 0, 5, 400, 600},    {9, "q1", 800, 0, 5, 400, 600},
        {10, "q1", -400, 0, 5, 400, 600},  {11, "rb4", 800, 0, 5, 400, 600},  {12, "panel1", 0, 810, 3, 800, 80},
        {13, "rb1", 800, 0, 5, 400, 600}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.Kind);
        auto* p = TNSprite::CreateForScene(&host.Engine, r.Kind);
        EXPECT_EQ(p->Image, host.Images.Find(r.Picture));
        EXPECT_EQ(p->X, r.X);
        EXPECT_EQ(p->Y, r.Y);
        EXPECT_EQ(p->Z(), r.Z);
        EXPECT_EQ(p->Width, r.W);
        EXPECT_EQ(p->Height, r.H);
    }
}

TEST_F(BuildersTest, EnemyDrawOrderWithReseedInTheMiddle) {
    Level = 3;
    TLcg before{RandSeed};
    TLcg after{static_cast<uint32_t>(host.Clock.Counter)};
    auto* e = TMonoSprite::CreateForWave(&host.Engine);

    const int kind = before.Next(3);
    const int sf = (before.Next(4) + 1) * (kind + 1);
    const int x = before.Next(30000) + sf * sf * 1000 + kind * 100 - 300;
    const int fireCounter = before.Next(10);
    const int y = after.Next(800) - 1000;
    const int phase = after.Next(1000);

    EXPECT_EQ(e->Kind, kind);
    EXPECT_EQ(e->SpeedFactor, sf);
    EXPECT_EQ(e->X, x);
    EXPECT_EQ(e->FireCounter, fireCounter);
    EXPECT_EQ(e->Y, y);
    EXPECT_EQ(e->Phase, phase);
    EXPECT_EQ(RandSeed, after.Seed);
    EXPECT_FALSE(e->Exploding);
    EXPECT_EQ(e->ExplosionFrame, 1);
    EXPECT_EQ(e->ExplosionTick, 0);
    EXPECT_EQ(e->Clock, 0.0);
    EXPECT_EQ(e->Z(), 2);
    EXPECT_EQ(e->Image, host.Images.Find("Ufo1"));
    EXPECT_EQ(e->Width, 60);
    EXPECT_EQ(e->Height, 40);
}

TEST_F(BuildersTest, BonusDrawOrder) {
    Level = 3;
    TLcg lcg{RandSeed};
    auto* b = TBonSprite::CreateForWave(&host.Engine);
    const int y = lcg.Next(400) + 100;
    const int x = lcg.Next(10000) + 3000;
    const int kind = lcg.Next(4) + 1;
    EXPECT_EQ(b->Y, y);
    EXPECT_EQ(b->X, x);
    EXPECT_EQ(b->Kind, kind);
    EXPECT_TRUE(b->ExactHits);
    EXPECT_EQ(b->Z(), 1);
    EXPECT_EQ(b->Image, host.Images.Find("bon" + std::to_string(kind) + "1"));
    EXPECT_EQ(b->Width, 30);
}

TEST_F(BuildersTest, WavesOfLevelOneAndNine) {
    struct Case {
        int Level, Bonuses;
        std::set<int> Kinds;
    };
    for (const Case& c : {Case{1, 3, {0}}, Case{9, 19, {0, 1, 2, 3, 4, 5, 6, 7, 8}}}) {
        SCOPED_TRACE(c.Level);
        host.Engine.Clear();
        Level = c.Level;
        const uint32_t firstSeed = static_cast<uint32_t>(host.Clock.Counter);
        BuildWave();
        ASSERT_EQ(host.Engine.Count(), c.Bonuses + 501);
        for (int i = 0; i < c.Bonuses; ++i) {
            auto* b = dynamic_cast<TBonSprite*>(host.Engine.Items(i));
            ASSERT_NE(b, nullptr);
            EXPECT_GE(b->X, c.Level * 1000);
            EXPECT_LT(b->X, c.Level * 1000 + 10000);
        }
        // The builder re-seeded before its first bonus.
        TLcg lcg{firstSeed};
        EXPECT_EQ(dynamic_cast<TBonSprite*>(host.Engine.Items(0))->Y, lcg.Next(400) + 100);
        std::set<int> kinds;
        for (int i = c.Bonuses; i < host.Engine.Count(); ++i) {
            auto* e = dynamic_cast<TMonoSprite*>(host.Engine.Items(i));
            ASSERT_NE(e, nullptr);
            kinds.insert(e->Kind);
            EXPECT_GE(e->SpeedFactor, e->Kind + 1);
            EXPECT_LE(e->SpeedFactor, 4 * (e->Kind + 1));
            EXPECT_GE(e->X, 100);  // the nearest possible start
        }
        EXPECT_EQ(kinds, c.Kinds);
    }
}

TEST_F(BuildersTest, NextLevelWaveJoinsTheSceneOnly) {
    BuildScene();
    Level = 1;
    BuildWave();
    GameState = gsLevelDone;
    host.Frame();
    EXPECT_EQ(host.Engine.Count(), 315);  // the wave removed itself
    Level = 3;
    GameState = gsPlaying;
    BuildWave();
    EXPECT_EQ(host.All<TBonSprite>().size(), 7u);
    EXPECT_EQ(host.All<TMonoSprite>().size(), 501u);
    EXPECT_EQ(host.All<TPlayerSprite>().size(), 1u);
}

}  // namespace
