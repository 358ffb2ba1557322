// Pads and the keyboard on the screens, on the fake machine: which key each pad press stands
// for in each state, and the result window taken without a mouse (Enter, the pad's letter
// choice), Escape leaving it open.
#include "MainFormFixture.h"

#include "game/LetterChoice.h"
#include "game/PadKeys.h"
#include "game/files/ScoreFile.h"
#include "platform/Input.h"

namespace {

constexpr int VK_RETURN = 13, VK_ESCAPE = 27, VK_UP = 38, VK_DOWN = 40;

TEST(PadKeys, EachPressStandsForAKeyOfTheScreens) {
    using namespace platform;
    struct Case {
        int button, state, key;
    } cases[] = {
        {PadA, gsMenu, VK_RETURN},
        {PadA, gsPlaying, VK_RETURN},
        {PadA, gsScores, VK_RETURN},
        {PadStart, gsPlaying, VK_ESCAPE},
        {PadStart, gsPauseMenu, VK_RETURN},
        {PadStart, gsLevelDone, VK_RETURN},
        {PadBack, gsPlaying, VK_ESCAPE},
        {PadBack, gsMenu, 0},
        {PadB, gsPlaying, 0},
        {PadB, gsMenu, 0},
        {PadUp, gsMenu, VK_UP},
        {PadStickUp, gsPauseMenu, VK_UP},
        {PadDown, gsMenu, VK_DOWN},
        {PadStickDown, gsMenu, VK_DOWN},
        {PadLeft, gsMenu, 0},
        {PadX, gsMenu, 0},
        {PadY, gsMenu, 0},
        {PadLeftShoulder, gsPlaying, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(PadKeyFor(c.button, c.state), c.key) << c.button << " in " << c.state;
}

class PadScreens : public MainFormFixture {
protected:
    void Pad(int button, uint32_t window) {
        platform::Message m;
        m.Kind = platform::MsgKind::PadDown;
        m.Button = button;
        m.Param = 7;
        m.Window = window;
        fake.Windows.Push(m);
        m.Kind = platform::MsgKind::PadUp;
        fake.Windows.Push(m);
        Application().ProcessMessages();
    }
};

TEST_F(PadScreens, MenusFromThePadStepAsTheKeysDoWithTheSameCues) {
    Boot();
    fake.Audio.ClearLog();
    Pad(platform::PadUp, main->Handle());
    EXPECT_EQ(MenuIndex, 6);
    Pad(platform::PadStickDown, main->Handle());
    EXPECT_EQ(MenuIndex, 1);
    EXPECT_EQ(fake.Audio.Calls("play").size(), 2u);
    Pad(platform::PadStart, main->Handle());  // Enter outside play: a new game
    EXPECT_EQ(GameState, gsPlaying);
    Pad(platform::PadStart, main->Handle());  // Escape in play
    EXPECT_EQ(GameState, gsPauseMenu);
    Pad(platform::PadStart, main->Handle());  // Enter on "continue"
    EXPECT_EQ(GameState, gsPlaying);
    Pad(platform::PadB, main->Handle());  // the special weapon: no pause
    EXPECT_EQ(GameState, gsPlaying);

    // A pad that goes away pauses only while it was the input in use.
    platform::Message gone;
    gone.Kind = platform::MsgKind::PadRemoved;
    gone.Param = 8;
    fake.Windows.Push(gone);
    Application().ProcessMessages();
    EXPECT_EQ(GameState, gsPlaying);
    gone.Param = 7;
    fake.Windows.Push(gone);
    Application().ProcessMessages();
    EXPECT_EQ(GameState, gsPauseMenu);
}

TEST_F(PadScreens, ResultWindowTakesEnterAsOkAndIgnoresEscape) {
    Boot();
    main->Label1Caption = "1234";
    form2->Show();
    form2->Edit1Text = "Вася";
    fake.Windows.PressKey(VK_ESCAPE, -1, 0, false, form2->Handle());
    Application().ProcessMessages();
    EXPECT_TRUE(form2->Visible());
    fake.Windows.PressKey(VK_RETURN, -1, 0, false, form2->Handle());
    Application().ProcessMessages();
    EXPECT_FALSE(form2->Visible());
    int32_t check = 0;
    TScoreTable t = ReadScoreTable(ScoreFileName, check);
    EXPECT_EQ(t.Names[0], "Вася");
    EXPECT_EQ(t.Values[0], 1234);
    EXPECT_EQ(check, 1234);
}

TEST_F(PadScreens, PadTypesANameAfterItsGraceAndTakesOk) {
    Boot();
    main->Label1Caption = "77";
    form2->Show();
    form2->Window()->Focus();
    Application().ProcessMessages();
    const uint32_t w = form2->Handle();
    EXPECT_FALSE(form2->PadMode());  // no pad connected: the window as it always was
    Pad(platform::PadA, w);          // at once: still the lost game's fire button
    EXPECT_TRUE(form2->Visible());
    EXPECT_FALSE(form2->PadMode());
    fake.Clock.Advance(TForm2::PadGraceMs);

    for (int i = 0; i < 5; ++i) Pad(platform::PadB, w);
    EXPECT_EQ(form2->Edit1Text, "");
    EXPECT_TRUE(form2->PadMode());
    EXPECT_TRUE(form2->Letters().UpperCase());
    Pad(platform::PadDown, w);                                    // "А"
    Pad(platform::PadLeft, w);                                    // back to delete
    Pad(platform::PadRight, w);                                   // "А"
    for (int i = 0; i < 6; ++i) Pad(platform::PadStickRight, w);  // "Ё" follows "Е"
    Pad(platform::PadA, w);
    Pad(platform::PadA, w);  // then lower case
    EXPECT_EQ(form2->Edit1Text, "Ёё");
    Pad(platform::PadLeft, w);
    Pad(platform::PadY, w);
    Pad(platform::PadA, w);
    EXPECT_EQ(form2->Edit1Text, "ЁёЕ");
    Pad(platform::PadUp, w);     // the commands: " OK " first
    Pad(platform::PadRight, w);  // delete
    Pad(platform::PadA, w);
    EXPECT_EQ(form2->Edit1Text, "Ёё");
    Pad(platform::PadRight, w);                           // "а"
    for (int i = 0; i < 12; ++i) Pad(platform::PadA, w);  // ten characters at most
    EXPECT_EQ(form2->Edit1Text, "Ёёаааааааа");
    Pad(platform::PadStart, w);
    EXPECT_FALSE(form2->Visible());
    EXPECT_EQ(ReadScoreTable(ScoreFileName).Names[0], "Ёёаааааааа");
}

TEST(LetterChoice, WalksAndJumpsRoundTheGroups) {
    TLetterChoice c;
    c.Reset(false);
    EXPECT_EQ(c.Current().Kind, TLetterChoice::lkOk);
    EXPECT_FALSE(c.UpperCase());
    c.Move(-1);
    EXPECT_EQ(c.Current().Upper, " ");  // wraps to the space at the end
    c.Jump(1);
    EXPECT_EQ(c.Current().Kind, TLetterChoice::lkOk);
    struct Step {
        int jump;
        const char* upper;
    } steps[] = {{1, "А"}, {1, "A"}, {1, "0"}, {-1, "A"}, {-1, "А"}, {-1, " OK "}, {-1, "0"}};
    for (const Step& s : steps) {
        c.Jump(s.jump);
        EXPECT_EQ(c.Current().Upper, s.upper);
    }
    size_t letters = 0;
    for (const auto& item : c.Items()) letters += item.Kind == TLetterChoice::lkLetter;
    EXPECT_EQ(letters, 33u + 26u + 10u + 1u);
}

}  // namespace
