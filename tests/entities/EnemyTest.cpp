// Enemies: the sine path, stopping columns, firing, explosion, re-entry, removal, and the
// hit-scoring routine with level completion.
#include <cmath>

#include "TestHost.h"

namespace {

using EnemyTest = EntitiesTest;

TEST_F(EnemyTest, SinePathAndHorizontalMove) {
    GameState = gsPlaying;
    auto* e = Enemy(1, 1000, 0, 4);
    e->Phase = 7;
    host.Frame(16);
    EXPECT_DOUBLE_EQ(e->Clock, 1.6);
    EXPECT_NEAR(e->X, 1000 - 16 * 0.2 * 4 / 1.65, 1e-9);
    EXPECT_NEAR(e->Y, 300 - std::sin(1.6 / 100 + 7) * 200 - 65, 1e-9);
    EXPECT_EQ(e->Image, host.Images.Find("nex1"));
    EXPECT_EQ(TargetY, 300.0);  // X outside 100..800 leaves the homing target alone

    e->X = 500;
    AnimFrame = 3;
    host.Frame(16);
    EXPECT_EQ(TargetY, e->Y);
    EXPECT_EQ(e->Image, host.Images.Find("Nex3"));
    EXPECT_EQ(e->Width, 60);  // still the collision size of "Ufo1"

    // Paused: only the clock runs; the height catches up on resume.
    GameState = gsPauseMenu;
    const double x = e->X, y = e->Y;
    host.Frame(16);
    host.Frame(16);
    EXPECT_EQ(e->X, x);
    EXPECT_EQ(e->Y, y);
    EXPECT_DOUBLE_EQ(e->Clock, 6.4);
}

TEST_F(EnemyTest, StoppingColumns) {
    GameState = gsPlaying;
    struct Case {
        int Kind;
        double Column;
    };
    for (const Case c : {Case{4, 520}, Case{5, 570}, Case{7, 670}, Case{8, 720}}) {
        SCOPED_TRACE(c.Kind);
        host.Engine.Clear();
        const int sf = c.Kind + 1;
        auto* e = Enemy(c.Kind, 890, 0, sf);
        const double step = 16 * 0.2 * sf / 1.65;
        for (int i = 0; i < 400; ++i) host.Frame(16);
        EXPECT_LE(e->X, c.Column);
        EXPECT_GT(e->X, c.Column - step);
    }
    // Every other kind flies on past the columns.
    host.Engine.Clear();
    auto* e = Enemy(3, 560, 0, 4);
    for (int i = 0; i < 40; ++i) host.Frame(16);
    EXPECT_LT(e->X, 420);
}

TEST_F(EnemyTest, FiresEveryFiftyMoves) {
    GameState = gsPlaying;
    EnemyFireOn = true;
    auto* e = Enemy(4, 500, 0, 5);
    e->FireCounter = 0;
    for (int i = 0; i < 49; ++i) host.Frame(16);
    EXPECT_TRUE(host.All<TVSprite>().empty());
    host.Frame(16);
    auto shots = host.All<TVSprite>();
    ASSERT_EQ(shots.size(), 1u);
    EXPECT_EQ(shots[0]->X, e->X + 70);
    EXPECT_EQ(shots[0]->Y, e->Y + 10);
    EXPECT_EQ(shots[0]->ShooterKind, 4);
    EXPECT_EQ(shots[0]->Stage, 0);
    EXPECT_EQ(shots[0]->Z(), 2);
    EXPECT_TRUE(shots[0]->ExactHits);
    EXPECT_EQ(shots[0]->Image, host.Images.Find("PULA4"));
    EXPECT_EQ(shots[0]->Width, 16);
    EXPECT_EQ(host.CountCue("shoot1"), 1);
    EXPECT_EQ(e->FireCounter, 0);
    for (int i = 0; i < 50; ++i) host.Frame(16);
    EXPECT_EQ(host.CountCue("shoot1"), 2);
}

TEST_F(EnemyTest, NoFireWhenDisabledOrHarmlessOrOutOfRange) {
    GameState = gsPlaying;
    struct Case {
        bool FireOn;
        int Kind;
        double X;
    };
    for (const Case c : {Case{false, 4, 500}, Case{true, 0, 500}, Case{true, 6, 500}, Case{true, 4, 30}}) {
        SCOPED_TRACE(c.Kind);
        host.Engine.Clear();
        EnemyFireOn = c.FireOn;
        auto* e = Enemy(c.Kind, c.X, 0, 1);
        e->FireCounter = 0;
        for (int i = 0; i < 50; ++i) host.Frame(1);
        EXPECT_EQ(e->FireCounter, 0);  // wraps anyway
        EXPECT_TRUE(host.All<TVSprite>().empty());
    }
}

TEST_F(EnemyTest, ExplosionTakesTwentyFourMovesThenReEnters) {
    GameState = gsPlaying;
    for (int kind : {0, 5}) {
        SCOPED_TRACE(kind);
        host.Engine.Clear();
        auto* e = Enemy(kind, 5000, 0, 2);
        ScoreKill(e);
        const std::string base = kind <= 3 ? "b" : "bo";
        // Picture 1 for two moves, pictures 2..8 for three each, picture 9 ends it.
        std::vector<std::string> expected = {base + "1", base + "1"};
        for (int f = 2; f <= 9; ++f)
            for (int k = 0; k < 3 && expected.size() < 24; ++k) expected.push_back(base + std::to_string(f));
        ASSERT_EQ(expected.size(), 24u);
        for (int move = 0; move < 24; ++move) {
            SCOPED_TRACE(move);
            const uint32_t seed = RandSeed;
            host.Frame(16);
            EXPECT_EQ(e->Image, host.Images.Find(expected[static_cast<size_t>(move)]));
            EXPECT_EQ(e->Exploding, move < 23);
            if (move == 23) {
                RandSeed = seed;
                EXPECT_EQ(e->X, Random(50000) + 4000);
            }
        }
        EXPECT_EQ(e->ExplosionFrame, 1);
        EXPECT_EQ(e->ExplosionTick, 0);
        host.Frame(16);
        EXPECT_EQ(e->Image, host.Images.Find(EnemyNames[static_cast<size_t>(kind)] + "1"));
    }
}

TEST_F(EnemyTest, ReEntersAfterLeavingLeft) {
    GameState = gsPlaying;
    auto* e = Enemy(0, -99, 0, 3);
    const uint32_t seed = RandSeed;
    host.Frame(16);
    RandSeed = seed;
    EXPECT_EQ(e->X, Random(50000) + 9000);
}

TEST_F(EnemyTest, RemovedInMenuAndLevelDoneOnly) {
    struct Case {
        int State;
        bool Removed;
    };
    for (const Case c : {Case{gsMenu, true}, Case{gsLevelDone, true}, Case{gsPauseMenu, false}, Case{gsScores, false},
                         Case{gsScreenAu, false}, Case{gsPlaying, false}}) {
        SCOPED_TRACE(c.State);
        host.Engine.Clear();
        GameState = c.State;
        Enemy(0, 5000);
        host.Frame(16);
        EXPECT_EQ(host.Engine.Count(), c.Removed ? 0 : 1);
    }
}

TEST_F(EnemyTest, ScoreKillPoints) {
    const int points[9] = {1, 2, 5, 10, 15, 10, -15, -15, -15};
    for (int kind = 0; kind <= 8; ++kind) {
        SCOPED_TRACE(kind);
        Score = 500;
        auto* e = Enemy(kind, 5000);
        e->Exploding = kind % 2 == 0;  // credited whether or not it already explodes
        ScoreKill(e);
        EXPECT_EQ(Score, 500 + points[kind]);
        EXPECT_TRUE(e->Exploding);
        EXPECT_EQ(GameState, gsMenu);
    }
    EXPECT_EQ(host.CountCue("snd"), 9);
}

TEST_F(EnemyTest, LevelCompletionAndItsAmmunition) {
    GameState = gsPlaying;
    Level = 1;
    Score = 995;
    Ammo = {0, 3, 4, 5};
    ScoreKill(Enemy(4, 5000));  // 995 -> 1010
    EXPECT_EQ(Level, 2);
    EXPECT_EQ(Score, 0);
    EXPECT_EQ(GameState, gsLevelDone);
    EXPECT_EQ(Ammo[1], 10);
    EXPECT_EQ(Ammo[2], 0);
    EXPECT_EQ(Ammo[3], 0);

    const int table[10][3] = {{0, 0, 0},   {0, 0, 0},    {10, 0, 0},   {25, 5, 0},    {50, 10, 0},
                              {75, 15, 0}, {100, 25, 0}, {200, 35, 5}, {250, 50, 10}, {500, 100, 25}};
    for (int level = 2; level <= 8; ++level) {
        SCOPED_TRACE(level);
        GameState = gsPlaying;
        Level = level;
        Score = level * 1000 - 1;
        ScoreKill(Enemy(0, 5000));
        EXPECT_EQ(Level, level + 1);
        EXPECT_EQ(Ammo[1], table[level + 1][0]);
        EXPECT_EQ(Ammo[2], table[level + 1][1]);
        EXPECT_EQ(Ammo[3], table[level + 1][2]);
    }
    // Short of the threshold, and at level 9, play goes on.
    GameState = gsPlaying;
    Level = 3;
    Score = 2998;
    ScoreKill(Enemy(0, 5000));
    EXPECT_EQ(Score, 2999);
    EXPECT_EQ(GameState, gsPlaying);
    Level = 9;
    Score = 20000;
    ScoreKill(Enemy(3, 5000));
    EXPECT_EQ(Level, 9);
    EXPECT_EQ(Score, 20010);
    EXPECT_EQ(GameState, gsPlaying);
}

}  // namespace
