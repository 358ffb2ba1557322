// Player shots (main gun, piercing, homing) and enemy shots.
#include <cmath>
#include <numbers>

#include "TestHost.h"

namespace {

using ShotsTest = EntitiesTest;

TArmoSprite* PlayerShot(TTestHost& host, int specialKind, double x, double y) {
    auto* s = new TArmoSprite(&host.Engine);
    s->ExactHits = true;
    s->SpecialKind = specialKind;
    s->X = x;
    s->Y = y;
    SetImageAndSize(s, specialKind == 0 ? "Pula1" : "PUS" + std::to_string(specialKind - 200));
    return s;
}

TVSprite* EnemyShot(TTestHost& host, int shooterKind, double x, double y) {
    auto* s = new TVSprite(&host.Engine);
    s->ExactHits = true;
    s->SetZ(2);
    s->ShooterKind = shooterKind;
    s->X = x;
    s->Y = y;
    SetImageAndSize(s, "PULA5");
    return s;
}

TEST_F(ShotsTest, HomingPullWithWobbleTakenBeforeTheMove) {
    GameState = gsPlaying;
    TargetY = 300;
    const double w = std::sin(100.0 / 50) * 10;
    // Just above the target: overshoots in the first pull and is pulled back in the second.
    auto* a = PlayerShot(host, 202, 100, 295);
    // Far below: only the second pull applies.
    auto* b = PlayerShot(host, 202, 100, 500);
    // Far above: only the first.
    auto* c = PlayerShot(host, 202, 100, 100);
    host.Frame(16);
    EXPECT_NEAR(a->Y, 295 + 2 * w, 1e-9);
    EXPECT_NEAR(b->Y, 500 - 8 + w, 1e-9);
    EXPECT_NEAR(c->Y, 100 + 8 + w, 1e-9);
    EXPECT_EQ(a->X, 108);
    // A main-gun shot flies straight.
    auto* d = PlayerShot(host, 0, 100, 295);
    host.Frame(16);
    EXPECT_EQ(d->Y, 295);
    EXPECT_EQ(d->X, 108);
}

TEST_F(ShotsTest, PiercingCreditsEveryFrameOfOverlap) {
    GameState = gsPlaying;
    // Kind 4 enemies left of their column stay put; at this phase they weave only a little.
    auto* a = Enemy(4, 300, 35, 5);
    auto* b = Enemy(4, 340, 35, 5);
    a->Phase = b->Phase = std::numbers::pi / 2;
    auto* shot = PlayerShot(host, 201, 200, 45);
    int frames = 0;
    while (host.All<TArmoSprite>().size() == 1 && frames < 200) {
        host.Frame(16);
        ++frames;
    }
    // 30 wide, 8 pixels a move: 11 moves overlap each 60-wide enemy.
    EXPECT_EQ(Score, 22 * 15);
    EXPECT_EQ(frames, 76);  // removed once past X = 800
    (void)shot;
}

TEST_F(ShotsTest, MainGunShotScoresEveryEnemyOfItsHitFrameAndDies) {
    GameState = gsPlaying;
    auto* a = Enemy(4, 300, 35, 5);
    auto* b = Enemy(4, 310, 35, 5);
    a->Phase = b->Phase = std::numbers::pi / 2;
    PlayerShot(host, 0, 290, 45);
    host.Frame(16);
    EXPECT_EQ(Score, 30);
    EXPECT_TRUE(a->Exploding);
    EXPECT_TRUE(b->Exploding);
    EXPECT_TRUE(host.All<TArmoSprite>().empty());
    EXPECT_EQ(host.CountCue("snd"), 2);
}

TEST_F(ShotsTest, KindSixIsNotHitByShots) {
    GameState = gsPlaying;
    auto* bug = Enemy(6, 300, 35, 1);
    bug->Phase = std::numbers::pi / 2;
    auto* shot = PlayerShot(host, 0, 280, 45);
    for (int i = 0; i < 5; ++i) host.Frame(16);
    EXPECT_EQ(Score, 0);
    EXPECT_FALSE(bug->Exploding);
    ASSERT_EQ(host.All<TArmoSprite>().size(), 1u);
    EXPECT_EQ(shot->X, 320);
}

TEST_F(ShotsTest, PlayerShotsLeaveAtTheRightEdgeAndOnMenuOrLevelDone) {
    GameState = gsPlaying;
    PlayerShot(host, 0, 795, 45);
    host.Frame(16);
    EXPECT_TRUE(host.All<TArmoSprite>().empty());

    for (int state : {gsPauseMenu, gsScores, gsMenu, gsLevelDone}) {
        SCOPED_TRACE(state);
        host.Engine.Clear();
        GameState = state;
        auto* s = PlayerShot(host, 0, 100, 45);
        host.Frame(16);
        const bool removed = state == gsMenu || state == gsLevelDone;
        ASSERT_EQ(host.All<TArmoSprite>().size(), removed ? 0u : 1u);
        if (!removed) { EXPECT_EQ(s->X, 100); }
    }
}

TEST_F(ShotsTest, EnemyShotOnTheShipWithAndWithoutShield) {
    for (int shield : {0, 10}) {
        SCOPED_TRACE(shield);
        host.Engine.Clear();
        host.Cues.clear();
        GameState = gsPlaying;
        Energy = 100;
        ShieldTime = shield;
        PlayerSprite = TPlayerSprite::CreateForScene(&host.Engine);
        PlayerSprite->X = 100;
        PlayerSprite->Y = 200;
        auto* shot = EnemyShot(host, 5, 220, 210);
        host.Frame(16);  // 204: not yet
        EXPECT_EQ(shot->Stage, 0);
        host.Frame(16);  // 188: burst
        EXPECT_EQ(shot->Stage, 1);
        EXPECT_FALSE(shot->CollisionEnabled);
        EXPECT_EQ(Energy, shield ? 100 : 85);
        EXPECT_EQ(host.CountCue("snd"), 1);
        // The burst stays put and shows bb1 for four moves, bb2..bb5 for five, then ends.
        std::vector<std::string> pictures;
        int moves = 0;
        while (moves < 100) {
            host.Frame(16);
            ++moves;
            if (host.All<TVSprite>().empty()) break;  // swept: `shot` is gone
            pictures.push_back(shot->Image->Name());
            EXPECT_EQ(shot->X, 188);
        }
        EXPECT_EQ(moves, 25);
        ASSERT_EQ(pictures.size(), 24u);
        EXPECT_EQ(pictures[3], "bb1");
        EXPECT_EQ(pictures[4], "bb2");
        EXPECT_EQ(pictures[23], "bb5");
        EXPECT_EQ(Energy, shield ? 100 : 85);
        EXPECT_EQ(host.CountCue("snd"), 1);
    }
}

TEST_F(ShotsTest, EnemyShotDamageByShooterKind) {
    const std::pair<int, double> table[] = {{2, 2.5}, {3, 5}, {4, 10}, {5, 15}, {7, 25}, {8, 50}, {0, 0}, {6, 0}};
    GameState = gsPlaying;
    PlayerSprite = TPlayerSprite::CreateForScene(&host.Engine);
    for (const auto& [kind, damage] : table) {
        SCOPED_TRACE(kind);
        Energy = 100;
        auto* shot = EnemyShot(host, kind, 0, 0);
        bool done = false;
        shot->HitBy(PlayerSprite, done);
        EXPECT_EQ(Energy, 100 - damage);
        // Nothing but the ship counts.
        Energy = 100;
        auto* other = EnemyShot(host, kind, 0, 0);
        other->HitBy(Enemy(0, 0), done);
        EXPECT_EQ(other->Stage, 0);
        EXPECT_EQ(Energy, 100);
    }
}

TEST_F(ShotsTest, EnemyShotPassingTheLeftEdgeIsRemovedHarmlessly) {
    GameState = gsPlaying;
    EnemyShot(host, 8, 10, 300);
    host.Frame(16);
    EXPECT_TRUE(host.All<TVSprite>().empty());
    EXPECT_EQ(Energy, 100);
    GameState = gsMenu;
    EnemyShot(host, 8, 400, 300);
    host.Frame(16);
    EXPECT_TRUE(host.All<TVSprite>().empty());
}

}  // namespace
