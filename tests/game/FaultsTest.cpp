// Faults a player's machine can throw at the game: no sound device, a joystick pulled out,
// surfaces lost mid-game, a damaged picture, the program killed while writing the table.
#include "MainFormFixture.h"

#include <csignal>
#include <sys/wait.h>

#include "engine/SurfaceTestAccess.h"
#include "entities/Sprites.h"
#include "game/files/ScoreFile.h"
#include "platform/Audio.h"

namespace {
constexpr int VK_RETURN = 13;
}

TEST_F(MainFormFixture, NoSoundDeviceGivesASilentGameWithoutErrors) {
    fake.Audio.OpenResult() = platform::sound::ErrNoDriver;
    Boot();
    ASSERT_FALSE(Application().Terminated());
    EXPECT_FALSE(main->DXSound->Initialized());
    main->FormKeyDown(VK_RETURN, 0);  // "Menu" cue, new game
    fake.Windows.PressKey(32);        // fire
    Frames(30);
    EXPECT_EQ(GameState, gsPlaying);
    EXPECT_TRUE(fake.Windows.MessageBoxes().empty());
    EXPECT_NO_THROW(main->PlayCue("snd"));
}

TEST_F(MainFormFixture, JoystickSteersAndItsRemovalMidGameIsHarmless) {
    auto stick = fake.Joysticks.Add("Test stick", 2, 4, 1);
    Boot();
    main->FormKeyDown(VK_RETURN, 0);
    Frames(5);
    const double x0 = PlayerSprite->X;
    stick->Axes[0] = 32767;  // full right
    Frames(10);
    EXPECT_GT(PlayerSprite->X, x0);
    fake.Joysticks.Remove(stick);
    const double x1 = PlayerSprite->X;
    Frames(10);
    EXPECT_EQ(main->JoystickX(), 0);
    EXPECT_EQ(PlayerSprite->X, x1);  // no stick, no keys: the ship stays
    EXPECT_EQ(GameState, gsPlaying);
}

TEST_F(MainFormFixture, LostSurfacesFreezeTheGameUntilTheyAreRestored) {
    Boot();
    main->FormKeyDown(VK_RETURN, 0);
    Frames(5);
    const int drawn = main->FramesDrawn();
    const double hud = HudPanelY;
    main->DXDraw->Surface()->SetLost(true);
    TDirectDrawSurfaceTestAccess::SetRestoreFails(*main->DXDraw->Surface(), true);
    Frames(10);
    EXPECT_EQ(main->FramesDrawn(), drawn);  // nothing moved or drawn
    EXPECT_EQ(HudPanelY, hud);
    TDirectDrawSurfaceTestAccess::SetRestoreFails(*main->DXDraw->Surface(), false);
    Frames(10);
    EXPECT_EQ(main->FramesDrawn(), drawn + 10);
    EXPECT_LT(HudPanelY, hud);
    // The pictures were rebuilt by the restore: the ship is drawn again.
    EXPECT_GT(main->ImageList->Items().Find("player1")->NumPatterns(), 0);
}

// A window that cannot show frames (not mapped yet, a lost device) freezes the game without
// keeping the processor busy: each frame rests its turn, no picture is rebuilt until
// presenting works again, and then once.
TEST_F(MainFormFixture, WindowThatCannotPresentDoesNotStopTheGame) {
    Boot();
    main->FormKeyDown(VK_RETURN, 0);
    auto* window = fake.Windows.Window(main->Handle());
    int restores = 0, owner = 0;
    main->DXDraw->AddListener(&owner, [&](TDXDrawNotifyType k) { restores += k == dxntRestore; });
    restores = 0;
    const int skipped = window->SkippedFrames();
    fake.Windows.SetPresentFails(true);
    Frames(30);
    EXPECT_GE(window->SkippedFrames() - skipped, 28);
    EXPECT_EQ(restores, 0);  // no picture rebuilt for a window that shows nothing
    fake.Windows.SetPresentFails(false);
    Frames(10);
    EXPECT_EQ(restores, 1);
    EXPECT_EQ(GameState, gsPlaying);
    EXPECT_GT(window->Presents(), 0);
    main->DXDraw->RemoveListener(&owner);
}

TEST_F(MainFormFixture, GarbagePictureIsReportedAndTheProgramEnds) {
    WriteFile("data/all_bmp/star.bmp", "BM this is not a picture at all, just bytes");
    Boot();
    ASSERT_FALSE(fake.Windows.MessageBoxes().empty());
    EXPECT_NE(fake.Windows.MessageBoxes().back().Text.find("BMP"), std::string::npos);
    EXPECT_TRUE(Application().Terminated());
    EXPECT_TRUE(main->EndedWithError());
}

// A writer killed at random moments leaves either the old table or the new one, complete.
TEST(ScoreTableCrash, KilledWriterNeverLeavesABrokenTable) {
    const auto dir = std::filesystem::temp_directory_path() / ("sb-kill-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "data/all_qrx");
    const auto old = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    TScoreTable table = EmptyScoreTable();
    WriteScoreTable(ScoreFileName, table);
    for (int round = 0; round < 20; ++round) {
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            TScoreTable t = EmptyScoreTable();
            for (int32_t i = 1;; ++i) {
                t.Values[0] = i;
                t.Names[0] = "Игрок" + std::to_string(i);
                WriteScoreTable(ScoreFileName, t);
            }
        }
        ::usleep(static_cast<useconds_t>(2000 + round * 700));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        int32_t check = 0;
        TScoreTable read = ReadScoreTable(ScoreFileName, check);
        EXPECT_EQ(check, ScoreSum(read)) << "round " << round;
        EXPECT_EQ(read.Names[0].substr(0, 10), "Игрок") << "round " << round;
    }
    std::filesystem::current_path(old);
    std::filesystem::remove_all(dir);
}
