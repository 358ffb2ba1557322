// The program as a whole on the fake machine: start-up, the frame step's text, the game
// clock, every state's keys, the game over and the result entry.
#include "MainFormFixture.h"

#include "entities/Sprites.h"
#include "game/ImageTable.h"
#include "game/files/ScoreFile.h"

#include <algorithm>
#include <functional>
#include <map>

namespace {
constexpr int VK_RETURN = 13, VK_ESCAPE = 27, VK_UP = 38, VK_DOWN = 40;
const std::string kMissing = "Файл не найден: ";
const std::string kTampered = "Кто-то взломал очки.Обнулите результаты через Setup и перезапустите игру";
}  // namespace

TEST_F(MainFormFixture, StartUpLoadsEverythingAndShowsTheMenuCentred) {
    Boot();
    ASSERT_FALSE(Application().Terminated());
    EXPECT_TRUE(fake.Windows.MessageBoxes().empty());
    EXPECT_TRUE(AssetsLoaded);
    EXPECT_EQ(GameState, gsMenu);
    EXPECT_EQ(form1->Gauge1.Progress(), 100);  // 107 offered, clamped
    EXPECT_FALSE(form1->Visible());
    EXPECT_EQ(main->Left(), (1024 - 800) / 2);
    EXPECT_EQ(main->Top(), (768 - 600) / 2);
    EXPECT_TRUE(main->DXDraw->Initialized());
    EXPECT_EQ(main->DXDraw->Surface()->BitCount(), 32);
    EXPECT_EQ(main->SpriteEngine()->Count(), 301 + 13 + 1);
    EXPECT_NE(PlayerSprite, nullptr);
    for (const char* name : {"bug2", "player1", "nex3", "rb5", "read", "q1", "Au1", "panel3", "bon43"})
        EXPECT_GT(main->ImageList->Items().Find(name)->Width(), 0) << name;
    EXPECT_EQ(fake.Music.OpenedPath.empty(), false);
    EXPECT_EQ(ScoreNames[1], "Игрок");
}

// Each row of the picture table as the window uses it: its entry in the list's place, drawn
// as described, its file checked at start-up when required and loaded once when loaded.
TEST_F(MainFormFixture, EveryPictureIsListedCheckedAndLoadedAsItsTableRowSays) {
    const std::vector<const ImageEntry*> required = RequiredImages();
    std::map<const ImageEntry*, int> loads;
    for (const ImageLoadRound& round : ImageLoadRounds())
        for (const ImageEntry* e : round.Entries) ++loads[e];
    Boot();
    ASSERT_FALSE(Application().Terminated());
    const TPictureCollection& items = main->ImageList->Items();
    const std::span<const ImageEntry> table = ImageTable();
    ASSERT_EQ(items.Count(), static_cast<int>(table.size()));
    for (size_t i = 0; i < table.size(); ++i) {
        const ImageEntry& e = table[i];
        SCOPED_TRACE(e.Name);
        const TPictureCollectionItem* item = items.Items(static_cast<int>(i));
        EXPECT_EQ(item->Name(), e.Name);
        EXPECT_EQ(item->Transparent(), e.Transparent);
        EXPECT_EQ(item->TransparentColor(), e.TransparentColor);
        EXPECT_EQ(item->PatternWidth(), e.PatternWidth);
        EXPECT_EQ(item->PatternHeight(), e.PatternHeight);
        const bool isRequired = e.Use == ImageFileUse::Required || e.Use == ImageFileUse::RequiredLoaded;
        const bool isLoaded = e.Use == ImageFileUse::Loaded || e.Use == ImageFileUse::RequiredLoaded;
        EXPECT_EQ(e.File != nullptr, e.Use != ImageFileUse::Listed);
        EXPECT_EQ(std::count(required.begin(), required.end(), &e), isRequired ? 1 : 0);
        EXPECT_EQ(loads[&e], isLoaded ? 1 : 0);
        // Only the entries without a file stay empty (the carried picture is set at creation).
        EXPECT_EQ(item->Width() > 0, e.Use != ImageFileUse::Listed);
    }
}

TEST_F(MainFormFixture, EveryMissingFileGetsItsMessageInOrderAndTheProgramEnds) {
    std::filesystem::remove(dir / "data/all_bmp/x/bug2.bmp");
    std::filesystem::remove(dir / "data/all_bmp/b5.bmp");
    Boot();
    const auto& boxes = fake.Windows.MessageBoxes();
    ASSERT_GE(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].Text, kMissing + "data\\all_bmp\\x\\bug2.bmp . Не могу запустиься без него.");
    EXPECT_EQ(boxes[1].Text, kMissing + "data\\all_bmp\\b5.bmp . Не могу запустиься без него.");
    Application().ProcessMessages();
    EXPECT_TRUE(Application().Terminated());
}

TEST_F(MainFormFixture, ProgramNamesFindFilesWhateverTheirCase) {
    std::filesystem::rename(dir / "data/all_bmp/star.bmp", dir / "data/all_bmp/STAR.BMP");
    std::filesystem::rename(dir / "data/all_jpg", dir / "data/All_JPG");
    Boot();
    EXPECT_TRUE(fake.Windows.MessageBoxes().empty());
    EXPECT_FALSE(Application().Terminated());
}

TEST_F(MainFormFixture, TamperedScoreTableEndsTheProgramWithItsMessage) {
    std::string t = EmptyTable();
    t.replace(t.find("0\r\n"), 1, "7");  // the first score, without changing line 21
    WriteFile("data/all_qrx/res.qrx", t);
    Boot();
    ASSERT_FALSE(fake.Windows.MessageBoxes().empty());
    EXPECT_EQ(fake.Windows.MessageBoxes().back().Text,
              "Кто-то взломал очки.Обнулите результаты через Setup и перезапустите игру");
    EXPECT_TRUE(Application().Terminated());
}

// The file checks go on after a missing file, and so does the table check that follows them.
TEST_F(MainFormFixture, TamperedTableIsReportedAlsoAfterAMissingFile) {
    std::filesystem::remove(dir / "data/all_jpg/au1x.jpg");  // required, never loaded
    std::string t = EmptyTable();
    t.replace(t.find("0\r\n"), 1, "7");
    WriteFile("data/all_qrx/res.qrx", t);
    Boot();
    std::vector<std::string> texts;
    for (const auto& b : fake.Windows.MessageBoxes()) texts.push_back(b.Text);
    EXPECT_EQ(texts, (std::vector<std::string>{kMissing + "data\\all_jpg\\au1x.jpg . Не могу запустиься без него.",
                                               kTampered}));
    Application().ProcessMessages();
    EXPECT_TRUE(Application().Terminated());
}

// Only a wrong check value ends the program after start-up; a table that cannot be read then
// is reported and play goes on with the table already shown.
TEST_F(MainFormFixture, UnreadableTableAtALaterActivationIsReportedAndPlayGoesOn) {
    const struct {
        const char* Name;
        std::function<void()> Spoil;
    } cases[] = {
        {"missing", [&] { std::filesystem::remove(dir / "data/all_qrx/res.qrx"); }},
        {"bad number", [&] { WriteFile("data/all_qrx/res.qrx", "Вася\r\nмного\r\n"); }},
    };
    Boot();
    ASSERT_FALSE(Application().Terminated());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        WriteFile("data/all_qrx/res.qrx", EmptyTable());
        c.Spoil();
        fake.Windows.ClearMessageBoxes();
        fake.Windows.SetFocus(0);  // away to another program and back
        fake.Windows.SetFocus(main->Handle());
        Application().ProcessMessages();
        EXPECT_EQ(fake.Windows.MessageBoxes().size(), 1u);
        EXPECT_FALSE(Application().Terminated());
        EXPECT_EQ(ScoreNames[1], "Игрок");
        EXPECT_TRUE(main->Timer1->Enabled());
        Frames(2);
        EXPECT_EQ(GameState, gsMenu);
    }
    // A wrong check value still ends it.
    std::string t = EmptyTable();
    t.replace(t.find("0\r\n"), 1, "7");
    WriteFile("data/all_qrx/res.qrx", t);
    fake.Windows.SetFocus(0);
    fake.Windows.SetFocus(main->Handle());
    Application().ProcessMessages();
    EXPECT_TRUE(Application().Terminated());
}

TEST_F(MainFormFixture, ConsistentlyEditedScoreTableIsAccepted) {
    std::string t = "Вася\r\n500\r\n";
    for (int i = 0; i < 9; ++i) t += "\xC8\xE3\xF0\xEE\xEA\r\n0\r\n";
    WriteFile("data/all_qrx/res.qrx", t + "500\r\n");
    Boot();
    EXPECT_FALSE(Application().Terminated());
    EXPECT_EQ(ScoreValues[1], 500);
}

TEST_F(MainFormFixture, BadBitCountAbandonsTheStartUpWithItsMessage) {
    WriteFile("data/all_qrx/opt.qrx", "0\r\n0\r\n0\r\n15\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");
    Boot();
    ASSERT_FALSE(fake.Windows.MessageBoxes().empty());
    EXPECT_NE(fake.Windows.MessageBoxes().back().Text.find("It should be either of 8 or 16 or 24 or 32"),
              std::string::npos);
    EXPECT_TRUE(Application().Terminated());
}

TEST_F(MainFormFixture, FullScreenOptionSwitchesTheDisplayMode) {
    WriteFile("data/all_qrx/opt.qrx", "0\r\n0\r\n0\r\n16\r\n1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");
    fake.Windows.SetDisplayModes({{640, 480, 16}, {800, 600, 16}, {800, 600, 32}, {1024, 768, 16}});
    Boot();
    ASSERT_FALSE(Application().Terminated());
    auto* win = fake.Windows.Window(main->Handle());
    EXPECT_TRUE(win->FullScreen());
    EXPECT_EQ(win->Mode(), (platform::DisplayMode{800, 600, 16}));
    EXPECT_EQ(main->DXDraw->Surface()->BitCount(), 16);
}

TEST_F(MainFormFixture, FrameStepWritesTheHudAndScoreTableAtTheirPlaces) {
    Boot();
    Frame();
    auto has = [&](const std::string& text, int x, int y) {
        for (const auto& c : fake.Text.Calls())
            if (c.Text == text && c.X == x && c.Y == y) return true;
        return false;
    };
    // Menu: FPS shown (option 1 = 0), energy and score on the parked HUD panel, no ammunition,
    // the table off-screen with the parked score panel, the level number.
    EXPECT_TRUE(has("FPS: 0", 0, 0));
    const int y = static_cast<int>(RoundHalfEven(HudPanelY)) + 37;
    EXPECT_TRUE(has("100", 60, y));
    EXPECT_TRUE(has("0", 170, y));
    EXPECT_FALSE(has("0", 480, y));
    EXPECT_TRUE(has("Игрок", ScoresPanelX + 100, 56));
    EXPECT_TRUE(has("0", ScoresPanelX + 250, 470));
    EXPECT_TRUE(has("1", static_cast<int>(RoundHalfEven(LevelPanelX)) + 245, 270));

    fake.Text.ClearCalls();
    GameState = gsPauseMenu;
    CheatMode = true;
    Energy = 0.5;  // halves go to even: 0
    Frame();
    EXPECT_TRUE(has("CHEAT!!!!!!!!", 0, 12));
    const int y2 = static_cast<int>(RoundHalfEven(HudPanelY)) + 37;
    EXPECT_TRUE(has("0", 60, y2));
    EXPECT_TRUE(has("0", 480, y2));
    EXPECT_FALSE(has("Игрок", ScoresPanelX + 100, 56));
}

TEST_F(MainFormFixture, GameClockDrainsBonusEnergyCyclesFramesAndArmsTheEnemies) {
    Boot();
    Energy = 120.0;
    AnimFrame = 3;
    ShieldTime = 0;
    SwitchDelay = 1;
    FireReady = false;
    TickCount = 0;
    EnemyFireOn = false;
    main->Timer1Timer();
    EXPECT_NEAR(Energy, 119.74, 1e-9);
    EXPECT_EQ(AnimFrame, 1);
    EXPECT_EQ(ShieldTime, -1);
    EXPECT_EQ(SwitchDelay, 2);
    EXPECT_TRUE(FireReady);
    for (int i = 0; i < 8; ++i) main->Timer1Timer();
    EXPECT_FALSE(EnemyFireOn);
    main->Timer1Timer();
    EXPECT_TRUE(EnemyFireOn);
    EXPECT_EQ(ShieldTime, -1);  // rests at -1
    Energy = 100.0;
    main->Timer1Timer();
    EXPECT_EQ(Energy, 100.0);
}

TEST_F(MainFormFixture, MainMenuWrapsAndEnterOpensEachEntry) {
    Boot();
    fake.Audio.ClearLog();
    main->FormKeyDown(VK_UP, 0);
    EXPECT_EQ(MenuIndex, 6);
    main->FormKeyDown(VK_DOWN, 0);
    EXPECT_EQ(MenuIndex, 1);
    EXPECT_EQ(fake.Audio.Calls("play").size(), 2u);  // "Menu" on each step

    struct Case {
        int Entry;
        int State;
    } cases[] = {{2, gsScores}, {3, gsScreenRb5}, {4, gsScreenAu}, {5, gsScreenRead}};
    for (const Case& c : cases) {
        GameState = gsMenu;
        MenuIndex = c.Entry;
        main->FormKeyDown(VK_RETURN, 0);
        EXPECT_EQ(GameState, c.State) << "entry " << c.Entry;
        // The screen's panel has not arrived yet: Enter is ignored.
        main->FormKeyDown(VK_RETURN, 0);
        EXPECT_EQ(GameState, c.State) << "entry " << c.Entry;
        Frames(80);
        main->FormKeyDown(VK_RETURN, 0);
        EXPECT_EQ(GameState, gsMenu) << "entry " << c.Entry;
    }
    MenuIndex = 6;
    main->FormKeyDown(VK_RETURN, 0);
    EXPECT_TRUE(Application().Terminated());
}

TEST_F(MainFormFixture, SoundOffSilencesTheMenu) {
    WriteFile("data/all_qrx/opt.qrx", "0\r\n0\r\n1\r\n32\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");
    Boot();
    fake.Audio.ClearLog();
    main->FormKeyDown(VK_DOWN, 0);
    main->FormKeyDown(VK_RETURN, 0);
    EXPECT_TRUE(fake.Audio.Calls("play").empty());
}

TEST_F(MainFormFixture, NewGamePauseContinueAndBackToTheMenu) {
    Boot();
    Weapon = 2;
    main->FormKeyDown(VK_RETURN, 0);  // entry 1
    EXPECT_EQ(GameState, gsPlaying);
    EXPECT_EQ(Level, 1);
    EXPECT_TRUE(MusicOn);
    EXPECT_EQ(Weapon, 2);  // carried over
    EXPECT_EQ(main->SpriteEngine()->Count(), 315 + 3 + 501);
    EXPECT_EQ(fake.Music.Log.back(), "play");

    main->FormKeyDown(VK_ESCAPE, 0);
    EXPECT_EQ(GameState, gsPauseMenu);
    EXPECT_EQ(MenuIndex, 1);
    main->FormKeyDown(VK_UP, 0);
    EXPECT_EQ(MenuIndex, 3);
    main->FormKeyDown(VK_DOWN, 0);
    EXPECT_EQ(MenuIndex, 1);
    Energy = 0;
    main->FormKeyDown(VK_RETURN, 0);
    EXPECT_EQ(GameState, gsPauseMenu);  // no energy: continue refused
    Energy = 50;
    main->FormKeyDown(VK_RETURN, 0);
    EXPECT_EQ(GameState, gsPlaying);

    main->FormKeyDown(VK_ESCAPE, 0);
    main->FormKeyDown(VK_DOWN, 0);
    CheatMode = true;
    main->FormKeyDown(VK_RETURN, 0);
    EXPECT_EQ(GameState, gsMenu);
    EXPECT_FALSE(MusicOn);
    EXPECT_FALSE(CheatMode);
    EXPECT_EQ(fake.Music.Log.back(), "stop");
    Frame();
    EXPECT_EQ(main->SpriteEngine()->Count(), 315);  // the wave removed itself
}

TEST_F(MainFormFixture, EscapeActsOnlyWhilePlaying) {
    Boot();
    for (int state : {gsMenu, gsLevelDone, gsScreenAu, gsScreenRead, gsScreenRb5, gsScores}) {
        GameState = state;
        main->FormKeyDown(VK_ESCAPE, 0);
        EXPECT_EQ(GameState, state);
    }
}

TEST_F(MainFormFixture, LevelCompleteWaitsForTheBannerThenBuildsTheNextWave) {
    Boot();
    main->FormKeyDown(VK_RETURN, 0);
    Frames(2);
    GameState = gsLevelDone;
    Level = 3;
    Energy = 20;
    main->FormKeyDown(VK_RETURN, 0);
    EXPECT_EQ(GameState, gsLevelDone);  // the banner is still sliding
    Frames(80);
    EXPECT_EQ(LevelPanelX, 0.0);
    EXPECT_EQ(main->SpriteEngine()->Count(), 315);
    main->FormKeyDown(VK_RETURN, 0);
    EXPECT_EQ(GameState, gsPlaying);
    EXPECT_EQ(Energy, 100.0);
    EXPECT_EQ(main->SpriteEngine()->Count(), 315 + 7 + 501);
}

TEST_F(MainFormFixture, CheatAndWeaponKeys) {
    Boot();
    main->FormKeyPress("C");  // upper case does nothing
    EXPECT_FALSE(CheatMode);
    main->FormKeyPress(std::string(1, CheatKey));
    EXPECT_TRUE(CheatMode);
    EXPECT_EQ(Level, 8);
    EXPECT_EQ(Score, 8000);
    main->FormKeyPress("3");
    EXPECT_EQ(Weapon, 3);
    main->FormKeyPress("1");
    EXPECT_EQ(Weapon, 1);
    main->FormKeyDown(VK_RETURN, 0);  // a new game resets the cheat
    EXPECT_FALSE(CheatMode);
    EXPECT_EQ(Level, 1);
    EXPECT_EQ(Score, 0);
}

TEST_F(MainFormFixture, KeysReachTheHandlersOnceThroughTheWindow) {
    Boot();
    Key(VK_DOWN);
    EXPECT_EQ(MenuIndex, 2);
    fake.Windows.TypeChar("2");
    Application().ProcessMessages();
    EXPECT_EQ(Weapon, 2);
}

// The game over: energy used up during play. Score 500 at level 1.
class GameOverTest : public MainFormFixture {
protected:
    void StartGameAndDie(int level, int score) {
        Boot();
        main->FormKeyDown(VK_RETURN, 0);
        Frame();
        Level = level;
        Score = score;
        Energy = 0.4;
    }
};

TEST_F(GameOverTest, BetterScoreOpensTheResultWindowAndIsWrittenToTheTable) {
    StartGameAndDie(2, 10);  // 999 + 10
    // The player clicks " OK " in the result window once it is open.
    form2->AddWindowHook(this, [this](const platform::Message& m) {
        if (m.Kind == platform::MsgKind::Activate) fake.Windows.Click(260, 130, 1, form2->Handle());
    });
    Frame();
    form2->RemoveWindowHook(this);
    EXPECT_EQ(main->Label1Caption, "1009");
    EXPECT_EQ(GameState, gsScores);
    EXPECT_FALSE(form2->Visible());
    EXPECT_FALSE(MusicOn);
    Application().ProcessMessages();  // the main window's activation re-reads the table
    EXPECT_EQ(ScoreValues[1], 1009);
    EXPECT_EQ(ScoreNames[1], "Игрок");
    EXPECT_TRUE(main->Timer1->Enabled());
    EXPECT_TRUE(main->DXTimer->Enabled());
    int32_t check = 0;
    TScoreTable t = ReadScoreTable(ScoreFileName, check);
    EXPECT_EQ(check, 1009);
    EXPECT_EQ(t.Values[0], 1009);
}

// While the result window is open the game behind it is shut out: a click on the game
// window neither activates it (which would restart the clocks) nor lets its keys act, and
// the result window comes back to the front.
TEST_F(GameOverTest, ResultWindowIsModal) {
    StartGameAndDie(2, 10);
    Weapon = 1;
    const uint32_t m = main->Handle();
    struct Seen {
        int Weapon, TickCount;
        bool Timer1, DXTimer;
        uint32_t Focus;
    } seen{};
    bool started = false;
    form2->AddWindowHook(this, [&](const platform::Message& msg) {
        if (msg.Kind == platform::MsgKind::Activate && !started) {
            started = true;
            fake.Windows.SetFocus(m);  // the player clicks on the game window
            fake.Windows.Click(400, 300, 1, m);
            fake.Windows.TypeChar("3", m);
            fake.Windows.PressKey(VK_ESCAPE, -1, 0, false, m);
            platform::Message look;
            look.Kind = platform::MsgKind::User;
            look.Window = form2->Handle();
            look.Param = 7;
            fake.Windows.Push(look);
        }
        if (msg.Kind == platform::MsgKind::User && msg.Param == 7) {
            fake.Clock.Advance(1000);
            Application().ProcessMessages();  // a second for the clocks, had they been started
            seen = {Weapon, TickCount, main->Timer1->Enabled(), main->DXTimer->Enabled(), fake.Windows.FocusWindow()};
            fake.Windows.Click(260, 130, 1, form2->Handle());
        }
    });
    const int ticks = TickCount;
    Frame();
    form2->RemoveWindowHook(this);
    ASSERT_TRUE(started);
    EXPECT_EQ(seen.Weapon, 1);
    EXPECT_EQ(seen.TickCount, ticks);
    EXPECT_FALSE(seen.Timer1);
    EXPECT_FALSE(seen.DXTimer);
    EXPECT_EQ(seen.Focus, form2->Handle());
    EXPECT_FALSE(form2->Visible());
    // " OK " closed it: the main window's activation starts the clocks again.
    Application().ProcessMessages();
    EXPECT_TRUE(main->Timer1->Enabled());
    EXPECT_EQ(ScoreValues[1], 1009);
    EXPECT_EQ(GameState, gsScores);
}

TEST_F(GameOverTest, ScoreEqualToTheLowestEntryGoesStraightToTheTable) {
    StartGameAndDie(1, 0);
    Frame();
    EXPECT_EQ(main->Label1Caption, "0");
    EXPECT_EQ(GameState, gsScores);
    EXPECT_FALSE(form2->Visible());
    EXPECT_TRUE(main->Timer1->Enabled());
}

TEST_F(GameOverTest, CheatedGameNeverEntersTheTable) {
    StartGameAndDie(4, 700);
    CheatMode = true;
    Frame();
    EXPECT_EQ(main->Label1Caption, "6699");
    EXPECT_EQ(GameState, gsScores);
    EXPECT_FALSE(CheatMode);
    EXPECT_EQ(ReadFile("data/all_qrx/res.qrx"), EmptyTable());
}

TEST_F(MainFormFixture, ResultWindowStaysOpenWhenTheTableCannotBeRead) {
    Boot();
    main->Label1Caption = "300";
    form2->Show();
    std::filesystem::remove(dir / "data/all_qrx/res.qrx");
    const size_t boxes = fake.Windows.MessageBoxes().size();
    form2->st1Click();
    EXPECT_TRUE(form2->Visible());
    EXPECT_EQ(fake.Windows.MessageBoxes().size(), boxes + 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "data/all_qrx/res.qrx"));

    WriteFile("data/all_qrx/res.qrx", EmptyTable());
    form2->Edit1Text = "";  // an empty name is accepted
    form2->st1Click();
    EXPECT_FALSE(form2->Visible());
    TScoreTable t = ReadScoreTable(ScoreFileName);
    EXPECT_EQ(t.Names[0], "");
    EXPECT_EQ(t.Values[0], 300);
}

TEST_F(MainFormFixture, NameEntryKeepsTenWindows1251Characters) {
    Boot();
    form2->Show();
    form2->Edit1Text.clear();
    fake.Windows.TypeChar("Жук€", form2->Handle());  // the euro sign is in Windows-1251
    fake.Windows.TypeChar("中", form2->Handle());    // a CJK character is not
    Application().ProcessMessages();
    EXPECT_EQ(form2->Edit1Text, "Жук€");
    fake.Windows.PressKey(8, -1, 0, false, form2->Handle());
    Application().ProcessMessages();
    EXPECT_EQ(form2->Edit1Text, "Жук");
    fake.Windows.TypeChar("abcdefghij", form2->Handle());
    Application().ProcessMessages();
    EXPECT_EQ(form2->Edit1Text, "Жукabcdefg");
    fake.Windows.MoveMouse(250, 125, form2->Handle());
    Application().ProcessMessages();
    EXPECT_EQ(form2->St1Color, 0x00FFFFu);
    fake.Windows.MoveMouse(10, 10, form2->Handle());
    Application().ProcessMessages();
    EXPECT_EQ(form2->St1Color, 0x0000FFu);
}
