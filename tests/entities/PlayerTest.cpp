// The player's ship: steering, guns, shield, pictures, collisions and the end of a game.
#include "TestHost.h"
#include "input/DXInput.h"

namespace {

class PlayerTest : public EntitiesTest {
protected:
    void SetUp() override {
        EntitiesTest::SetUp();
        GameState = gsPlaying;
        ship = TPlayerSprite::CreateForScene(&host.Engine);
        PlayerSprite = ship;
    }
    std::vector<TArmoSprite*> Shots() { return host.All<TArmoSprite>(); }
    TPlayerSprite* ship = nullptr;
};

TEST_F(PlayerTest, KeyboardBoundsStopOnlyTheNextStep) {
    const double step = 16 * 0.3 * 1.2;  // 5.76
    struct Case {
        const char* Name;
        double X, Y;
        std::set<int> Keys;
        double X1, Y1;  // after one move
        double X2, Y2;  // after a second
    };
    const Case cases[] = {
        {"up past 20", 300, 22, {InputUp}, 300, 22 - step, 300, 22 - step},
        {"down past 450", 300, 449, {InputDown}, 300, 449 + step, 300, 449 + step},
        {"left past 0", 2, 200, {InputLeft}, 2 - step, 200, 2 - step, 200},
        {"right past 700", 698, 200, {InputRight}, 698 + step, 200, 698 + step, 200},
        {"up then down on the new height", 300, 22, {InputUp, InputDown}, 300, 22 - step + step, 300, 22},
        {"free flight", 300, 200, {InputRight, InputDown}, 300 + step, 200 + step, 300 + 2 * step, 200 + 2 * step},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        ship->X = c.X;
        ship->Y = c.Y;
        host.Held = c.Keys;
        host.Frame(16);
        EXPECT_DOUBLE_EQ(ship->X, c.X1);
        EXPECT_DOUBLE_EQ(ship->Y, c.Y1);
        host.Frame(16);
        EXPECT_DOUBLE_EQ(ship->X, c.X2);
        EXPECT_DOUBLE_EQ(ship->Y, c.Y2);
    }
}

// Position sums are worked out in extended precision and rounded to a Double once, when
// stored. Each case is one where rounding the step (or the ship's X + width) to a Double
// first lands one unit in the last place away.
TEST_F(PlayerTest, SumsAreRoundedOnceWhenStored) {
    struct Case {
        const char* Name;
        double Y;
        int Elapsed;
        TInputState Key;
        long double Sign;
    };
    const Case cases[] = {
        {"up 9 ms from 22", 22, 9, InputUp, -1},
        {"down 9 ms from 22", 22, 9, InputDown, +1},
        {"up 36 ms from 100", 100, 36, InputUp, -1},
        {"down 39 ms from 100", 100, 39, InputDown, +1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const long double step = c.Elapsed * 0.3L * 1.2L;
        const double expected = static_cast<double>(c.Y + c.Sign * step);
        ASSERT_NE(expected, c.Y + static_cast<double>(c.Sign * step)) << "the case does not tell the two apart";
        ship->X = 300;
        ship->Y = c.Y;
        host.Held = {c.Key};
        host.Frame(c.Elapsed);
        EXPECT_EQ(ship->Y, expected) << std::hexfloat << ship->Y << " vs " << expected;
    }

    // The muzzle: X + the picture's width (100) - 50.
    ship->X = 5.76;
    ship->Y = 200;
    FireReady = true;
    host.Held = {InputButton1};
    host.Frame(16);
    const double muzzle = static_cast<double>(static_cast<long double>(5.76) + 100 - 50);
    ASSERT_NE(muzzle, (5.76 + 100) - 50);
    ASSERT_EQ(Shots().size(), 1u);
    EXPECT_EQ(Shots()[0]->X, muzzle) << std::hexfloat << Shots()[0]->X << " vs " << muzzle;
}

TEST_F(PlayerTest, JoystickPathHasNoBoundsGunsSwitchOrPictures) {
    ship->X = 699;
    ship->Y = 19;
    host.JoyX = 300;
    host.JoyY = -150;
    host.Held = {InputUp, InputButton1, InputButton2, InputButton3};
    SwitchDelay = 2;
    Ammo[1] = 5;
    AnimFrame = 3;
    host.Frame(16);
    EXPECT_DOUBLE_EQ(ship->X, 699 + 4.8);
    EXPECT_DOUBLE_EQ(ship->Y, 19 - 2.4);
    EXPECT_TRUE(Shots().empty());
    EXPECT_TRUE(FireReady);
    EXPECT_EQ(Weapon, 1);
    EXPECT_EQ(Ammo[1], 5);
    EXPECT_EQ(ship->Image, host.Images.Find("player2"));
}

TEST_F(PlayerTest, MainGunAtTheCurrentPictureWidth) {
    ship->X = 50;
    ship->Y = 200;
    host.Held = {InputButton1};
    host.Frame(16);
    auto shots = Shots();
    ASSERT_EQ(shots.size(), 1u);
    EXPECT_EQ(shots[0]->X, 50 + 100 - 50);
    EXPECT_EQ(shots[0]->Y, 200);
    EXPECT_EQ(shots[0]->SpecialKind, 0);
    EXPECT_EQ(shots[0]->Z(), 2);
    EXPECT_TRUE(shots[0]->ExactHits);
    EXPECT_EQ(shots[0]->Image, host.Images.Find("Pula1"));
    EXPECT_EQ(shots[0]->Width, 20);
    EXPECT_FALSE(FireReady);
    EXPECT_EQ(host.CountCue("shoot"), 1);
    host.Frame(16);  // held on, no fire permission: no second shot
    EXPECT_EQ(Shots().size(), 1u);

    // With the shield on the ship shows a wider picture but keeps its collision size.
    host.Engine.Clear();
    ship = TPlayerSprite::CreateForScene(&host.Engine);
    PlayerSprite = ship;
    ship->X = 50;
    host.Held = {};
    ShieldTime = 5;
    host.Frame(16);
    EXPECT_EQ(ship->Image, host.Images.Find("playerg1"));
    EXPECT_EQ(ship->Width, 100);
    FireReady = true;
    host.Held = {InputButton1};
    host.Frame(16);
    ASSERT_EQ(Shots().size(), 1u);
    EXPECT_EQ(Shots()[0]->X, 50 + 120 - 50);
}

TEST_F(PlayerTest, SpecialWeaponsAndShield) {
    struct Case {
        int Weapon, Ammo;
        int SpecialKind;  // -1: no shot
        const char* Picture;
        const char* Sound;
    };
    const Case cases[] = {{1, 2, 201, "PUS1", "shoot1"}, {2, 1, 202, "PUS2", "shoot2"}, {1, 0, -1, "", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Weapon);
        host.Engine.Clear();
        host.Cues.clear();
        ship = TPlayerSprite::CreateForScene(&host.Engine);
        PlayerSprite = ship;
        FireReady = true;
        Weapon = c.Weapon;
        Ammo = {0, 0, 0, 0};
        Ammo[static_cast<size_t>(c.Weapon)] = c.Ammo;
        host.Held = {InputButton2};
        host.Frame(16);
        auto shots = Shots();
        if (c.SpecialKind < 0) {
            EXPECT_TRUE(shots.empty());
            EXPECT_TRUE(FireReady);
            continue;
        }
        ASSERT_EQ(shots.size(), 1u);
        EXPECT_EQ(shots[0]->SpecialKind, c.SpecialKind);
        EXPECT_EQ(shots[0]->Z(), 1);
        EXPECT_EQ(shots[0]->Image, host.Images.Find(c.Picture));
        EXPECT_EQ(shots[0]->X, ship->X + 50);
        EXPECT_EQ(Ammo[static_cast<size_t>(c.Weapon)], c.Ammo - 1);
        EXPECT_FALSE(FireReady);
        EXPECT_EQ(host.Cues, std::vector<std::string>{c.Sound});
    }

    // The shield: a charge for 50 ticks, no sound, the shield picture at once.
    host.Cues.clear();
    Weapon = 3;
    Ammo[3] = 2;
    FireReady = true;
    host.Held = {InputButton2};
    host.Frame(16);
    EXPECT_EQ(ShieldTime, 50);
    EXPECT_EQ(Ammo[3], 1);
    EXPECT_TRUE(host.Cues.empty());
    EXPECT_EQ(ship->Image, host.Images.Find("playerg1"));
    // Already on: the charge is kept.
    host.Frame(16);
    EXPECT_EQ(Ammo[3], 1);
    // The main gun fired in the same move takes the permission first.
    ShieldTime = 0;
    FireReady = true;
    host.Held = {InputButton1, InputButton2};
    host.Frame(16);
    EXPECT_EQ(ShieldTime, 0);
    EXPECT_EQ(Ammo[3], 1);
}

TEST_F(PlayerTest, WeaponSwitchWrapsAndWaitsForTheDelay) {
    host.Held = {InputButton3};
    struct Case {
        int Weapon, Delay, WeaponAfter, DelayAfter;
    };
    for (const Case c : {Case{1, 2, 2, 0}, Case{3, 2, 1, 0}, Case{2, 1, 2, 1}, Case{4, 0, 1, 0}}) {
        Weapon = c.Weapon;
        SwitchDelay = c.Delay;
        host.Frame(16);
        EXPECT_EQ(Weapon, c.WeaponAfter);
        EXPECT_EQ(SwitchDelay, c.DelayAfter);
    }
}

TEST_F(PlayerTest, TouchingEnemiesCostsEnergyAndCreditsThem) {
    ship->X = 100;
    ship->Y = 100;
    auto* a = Enemy(0, 5000);
    auto* bug = Enemy(6, 5000);
    bool done = true;
    ship->HitBy(a, done);
    EXPECT_FALSE(done);
    EXPECT_DOUBLE_EQ(Energy, 99.9);
    EXPECT_EQ(Score, 1);
    EXPECT_TRUE(a->Exploding);
    ShieldTime = 3;
    ship->HitBy(bug, done);
    EXPECT_DOUBLE_EQ(Energy, 99.9);
    EXPECT_EQ(Score, -14);
    // Stars, panels, bonuses and shots mean nothing to the ship.
    ShieldTime = 0;
    ship->HitBy(TNewSprite::CreateForScene(&host.Engine), done);
    EXPECT_DOUBLE_EQ(Energy, 99.9);
}

TEST_F(PlayerTest, FrozenOutsidePlay) {
    ship->X = 300;
    host.Held = {InputRight, InputButton1};
    Enemy(0, 300, ship->Y);
    for (int state : {gsMenu, gsPauseMenu, gsLevelDone, gsScores}) {
        GameState = state;
        host.Frame(16);
    }
    EXPECT_EQ(ship->X, 300);
    EXPECT_TRUE(Shots().empty());
    EXPECT_EQ(Energy, 100);
}

TEST_F(PlayerTest, FinalScoreFormula) {
    for (const auto& [level, base] :
         std::vector<std::pair<int, int>>{{1, 0}, {2, 999}, {3, 2999}, {4, 5999}, {9, 35999}}) {
        Level = level;
        Score = 7;
        EXPECT_EQ(FinalScore(), base + 7) << level;
    }
    Level = 1;
    Score = -20;
    EXPECT_EQ(FinalScore(), -20);
}

TEST_F(PlayerTest, GameOverBranches) {
    struct Case {
        const char* Name;
        int Level, Score, Lowest;
        bool Cheat;
        bool ResultEntry;
    };
    const Case cases[] = {
        {"equal score: table screen", 2, 50, 1049, false, false},
        {"better score: result entry", 2, 50, 1048, false, true},
        {"cheat: table screen", 9, 5000, 0, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        GameState = gsPlaying;
        host.TimersStopped = false;
        host.TimersStoppedAtEntry = false;
        host.ResultEntries = 0;
        host.MusicStops = 0;
        Level = c.Level;
        Score = c.Score;
        ScoreValues[10] = c.Lowest;
        CheatMode = c.Cheat;
        MusicOn = true;
        AnimFrame = 2;
        Energy = 0.2;
        host.Frame(16);
        EXPECT_EQ(host.Label, std::to_string(((c.Level - 1) * 1000 * c.Level - 1) / 2 + c.Score));
        EXPECT_EQ(ship->Image, host.Images.Find("b2"));
        EXPECT_EQ(AnimFrame, 1);
        EXPECT_FALSE(MusicOn);
        EXPECT_EQ(GameState, gsScores);
        EXPECT_FALSE(CheatMode);
        EXPECT_EQ(host.ResultEntries, c.ResultEntry ? 1 : 0);
        EXPECT_EQ(host.TimersStopped, c.ResultEntry);
        EXPECT_EQ(host.TimersStoppedAtEntry, c.ResultEntry);
        EXPECT_EQ(host.MusicStops, c.ResultEntry ? 2 : 1);
        // Once over, it does not run again.
        host.Frame(16);
        EXPECT_EQ(host.ResultEntries, c.ResultEntry ? 1 : 0);
    }
}

TEST_F(PlayerTest, EnergyRoundingDecidesTheEnd) {
    ScoreValues[10] = 1000000;
    struct Case {
        double Energy;
        bool Moves, Ends;
    };
    for (const Case c : {Case{0.51, true, false}, Case{0.5, true, true}, Case{0.4, true, true}, Case{0.0, false, true},
                         Case{-3.0, false, true}}) {
        SCOPED_TRACE(c.Energy);
        GameState = gsPlaying;
        Energy = c.Energy;
        FireReady = true;
        host.Engine.Clear();
        ship = TPlayerSprite::CreateForScene(&host.Engine);
        PlayerSprite = ship;
        ship->X = 300;
        host.Held = {InputRight, InputButton1, InputButton3};
        SwitchDelay = 2;
        Weapon = 1;
        host.Frame(16);
        EXPECT_EQ(ship->X > 300, c.Moves);
        EXPECT_EQ(Shots().size(), c.Moves ? 1u : 0u);
        EXPECT_EQ(Weapon, 2);  // the switch runs either way
        EXPECT_EQ(GameState, c.Ends ? gsScores : gsPlaying);
    }
}

TEST_F(PlayerTest, NoHitsAfterTheGameHasEnded) {
    // Ending the game during the move: an enemy touched now must neither score nor
    // complete the level after the final score was taken.
    ScoreValues[10] = 1000000;
    ship->X = 100;
    ship->Y = 100;
    Enemy(4, 100, 100);
    Score = 999;
    Energy = 0.3;
    host.Frame(1);
    EXPECT_EQ(GameState, gsScores);
    EXPECT_EQ(Score, 999);
    EXPECT_EQ(Level, 1);
    EXPECT_EQ(host.Label, "999");
}

TEST_F(PlayerTest, CollisionRunsAfterTheMove) {
    ship->X = 100;
    ship->Y = 100;
    auto* e = Enemy(0, 5000);
    e->Phase = 0;
    host.Frame(16);
    EXPECT_EQ(Score, 0);
    // An enemy standing where the ship is going: the ship tests against where it stands.
    e->X = 210;
    e->Y = 100;
    host.Held = {InputRight};
    ship->X = 106;
    host.Frame(16);  // ship box 111..211 overlaps 210..270 before the enemy moves on
    EXPECT_EQ(Score, 1);
    EXPECT_NEAR(Energy, 99.9, 1e-12);
}

}  // namespace
