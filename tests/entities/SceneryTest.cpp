// Screen panels, bonus capsules and stars.
#include <cmath>

#include "TestHost.h"

namespace {

class PanelTest : public EntitiesTest {
protected:
    TNSprite* Panel(int kind) { return TNSprite::CreateForScene(&host.Engine, kind); }
};

TEST_F(PanelTest, PictureScreensSlideInEightyFramesAndPublishTheirGap) {
    struct Case {
        int State, Kind;
        int* Gap;
        const char* Picture;
    };
    const Case cases[] = {{gsScreenAu, 8, &AuPanelGap, "au1"},
                          {gsScreenRead, 9, &ReadPanelGap, "read"},
                          {gsScreenRb5, 11, &Rb5PanelGap, "rb5"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Kind);
        host.Engine.Clear();
        GameState = c.State;
        TNSprite* p = Panel(c.Kind);
        const int width = p->Width;
        for (int frame = 1; frame <= 80; ++frame) {
            host.Frame(frame % 2 ? 1 : 100);  // a fixed step whatever the lag
            ASSERT_EQ(p->X, 800 - 5 * frame);
            ASSERT_EQ(*c.Gap, -400 + 5 * frame);
        }
        EXPECT_EQ(*c.Gap, 0);
        EXPECT_EQ(p->Image, host.Images.Find(c.Picture));
        EXPECT_EQ(p->Width, width);
        host.Frame(16);
        EXPECT_EQ(p->X, 400);
        EXPECT_EQ(*c.Gap, 0);
        // Leaving: slides back out, and the gap reads -100 in every other state.
        GameState = gsMenu;
        host.Frame(16);
        EXPECT_EQ(p->X, 405);
        EXPECT_EQ(AuPanelGap, -100);
        EXPECT_EQ(ReadPanelGap, -100);
        EXPECT_EQ(Rb5PanelGap, -100);
    }
}

TEST_F(PanelTest, HudPanelClimbsWhilePlayingAndSinksInTheMenus) {
    TNSprite* hud = Panel(1);
    GameState = gsPlaying;
    Weapon = 3;
    for (int i = 0; i < 290; ++i) host.Frame(16);
    EXPECT_EQ(hud->Y, 520);
    EXPECT_EQ(HudPanelY, 520);
    EXPECT_EQ(hud->Image, host.Images.Find("panel3"));
    host.Frame(16);
    EXPECT_EQ(hud->Y, 520);
    for (int state : {gsMenu, gsPauseMenu, gsLevelDone}) {
        SCOPED_TRACE(state);
        hud->Y = 520;
        GameState = state;
        for (int i = 0; i < 300; ++i) host.Frame(16);
        EXPECT_EQ(hud->Y, 800);
        EXPECT_EQ(HudPanelY, 800);
    }
    // The picture screens leave it alone.
    GameState = gsScreenAu;
    hud->Y = 700;
    host.Frame(16);
    EXPECT_EQ(hud->Y, 700);
}

TEST_F(PanelTest, LevelBannerArrivesExactlyAtZero) {
    TNSprite* banner = Panel(5);
    TNSprite* picture = Panel(6);
    GameState = gsLevelDone;
    for (int frame = 1; frame <= 80; ++frame) {
        host.Frame(16);
        ASSERT_EQ(LevelPanelX == 0.0, frame == 80);
    }
    EXPECT_EQ(banner->Image, host.Images.Find("lvl1"));
    EXPECT_EQ(picture->X, 400);
    EXPECT_EQ(picture->Image, host.Images.Find("lvl2"));
    GameState = gsPlaying;
    host.Frame(16);
    EXPECT_EQ(LevelPanelX, -5.0);
    EXPECT_EQ(picture->X, 405);
}

TEST_F(PanelTest, MenusFollowTheSelection) {
    TNSprite* frame = Panel(2);
    TNSprite* entries = Panel(3);
    TNSprite* pause = Panel(4);
    GameState = gsMenu;
    MenuIndex = 5;
    for (int i = 0; i < 80; ++i) host.Frame(16);
    EXPECT_EQ(frame->X, 0);
    EXPECT_EQ(entries->X, 400);
    EXPECT_EQ(entries->Image, host.Images.Find("rm5"));
    EXPECT_EQ(frame->Image, host.Images.Find("q1"));
    EXPECT_EQ(pause->X, 800);

    GameState = gsPauseMenu;
    MenuIndex = 2;
    for (int i = 0; i < 80; ++i) host.Frame(16);
    EXPECT_EQ(frame->X, -400);
    EXPECT_EQ(entries->X, 800);
    EXPECT_EQ(pause->X, 400);
    EXPECT_EQ(pause->Image, host.Images.Find("rb2"));

    GameState = gsPlaying;
    host.Frame(16);
    EXPECT_EQ(pause->X, 405);
}

TEST_F(PanelTest, ScoreTablePublishesItsPlaceInEveryState) {
    TNSprite* table = Panel(13);
    GameState = gsMenu;
    host.Frame(16);
    EXPECT_EQ(ScoresPanelX, 800);
    GameState = gsScores;
    for (int i = 1; i <= 80; ++i) {
        host.Frame(16);
        ASSERT_EQ(ScoresPanelX, 800 - 5 * i);
    }
    EXPECT_EQ(table->Image, host.Images.Find("rb4"));
}

TEST_F(PanelTest, RolelessPanelsNeverMove) {
    TNSprite* a = Panel(7);
    TNSprite* b = Panel(10);
    TNSprite* c = Panel(12);
    for (int state : {gsMenu, gsPlaying, gsPauseMenu, gsLevelDone, gsScreenAu, gsScreenRead, gsScreenRb5, gsScores}) {
        GameState = state;
        host.Frame(16);
    }
    EXPECT_EQ(a->X, 0);
    EXPECT_EQ(a->Y, 810);
    EXPECT_EQ(b->X, -400);
    EXPECT_EQ(c->Y, 810);
}

using BonusTest = EntitiesTest;

TEST_F(BonusTest, CollectedCapsuleGivesItsEffectAndIsRecycled) {
    struct Case {
        int Kind;
        double Energy;
        int A1, A2, A3;
    };
    const Case cases[] = {{1, 120, 0, 0, 0}, {2, 100, 10, 0, 0}, {3, 100, 0, 20, 0}, {4, 100, 0, 0, 1}};
    Level = 3;
    auto* ship = TPlayerSprite::CreateForScene(&host.Engine);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Kind);
        Energy = 100;
        Ammo = {0, 0, 0, 0};
        auto* bonus = TBonSprite::CreateForWave(&host.Engine);
        bonus->Kind = c.Kind;
        bonus->Y = 123;
        const uint32_t seed = RandSeed;
        bool done = false;
        bonus->HitBy(ship, done);
        EXPECT_EQ(Energy, c.Energy);
        EXPECT_EQ(Ammo[1], c.A1);
        EXPECT_EQ(Ammo[2], c.A2);
        EXPECT_EQ(Ammo[3], c.A3);
        RandSeed = seed;
        const int x = Random(10000) + 3000;
        const int kind = Random(4) + 1;
        EXPECT_EQ(bonus->X, x);
        EXPECT_EQ(bonus->Kind, kind);
        EXPECT_EQ(bonus->Y, 123);
        EXPECT_TRUE(host.Cues.empty());
        // Anything but the ship is ignored.
        bonus->HitBy(Enemy(0, 0), done);
        EXPECT_EQ(bonus->X, x);
    }
}

TEST_F(BonusTest, DriftsWobblesAndParksFarAway) {
    GameState = gsPlaying;
    auto* b = TBonSprite::CreateForWave(&host.Engine);
    b->Kind = 2;
    b->X = 1000;
    b->Y = 200;
    AnimFrame = 3;
    host.Frame(16);
    EXPECT_DOUBLE_EQ(b->X, 1000 - 1.6);
    EXPECT_NEAR(b->Y, 200 + std::sin((1000 - 1.6) / 50) * 2, 1e-9);
    EXPECT_EQ(b->Image, host.Images.Find("bon23"));
    b->X = 1;
    host.Frame(16);
    EXPECT_EQ(b->X, 100000.0);
}

TEST_F(BonusTest, RemovedInMenuScoresAndLevelDoneButCollectsWhilePaused) {
    auto* ship = TPlayerSprite::CreateForScene(&host.Engine);
    ship->X = 100;
    ship->Y = 100;
    GameState = gsPauseMenu;
    auto* b = TBonSprite::CreateForWave(&host.Engine);
    b->Kind = 1;
    b->X = 150;
    b->Y = 110;
    host.Frame(16);
    EXPECT_EQ(Energy, 120);
    for (int state : {gsMenu, gsScores, gsLevelDone}) {
        SCOPED_TRACE(state);
        GameState = state;
        TBonSprite::CreateForWave(&host.Engine);
        host.Frame(16);
        EXPECT_TRUE(host.All<TBonSprite>().empty());
    }
}

using StarTest = EntitiesTest;

TEST_F(StarTest, StarsScrollAndWrapOnlyWhilePlaying) {
    auto* still = TNewSprite::CreateForScene(&host.Engine);
    auto* fast = TNewSprite::CreateForScene(&host.Engine);
    still->Speed = 0;
    still->X = 300;
    fast->Speed = 9;
    fast->X = 300;
    fast->Y = 77;
    GameState = gsPauseMenu;
    host.Frame(16);
    EXPECT_EQ(fast->X, 300);
    GameState = gsPlaying;
    host.Frame(16);
    EXPECT_EQ(still->X, 300);
    EXPECT_DOUBLE_EQ(fast->X, 300 - 16 * 0.02 * 9);
    fast->X = 1;
    host.Frame(16);
    EXPECT_EQ(fast->X, 800.0);
    EXPECT_EQ(fast->Y, 77);
    EXPECT_FALSE(fast->ExactHits);
}

}  // namespace
