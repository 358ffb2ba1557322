#include "tests/VirtualPad.h"
#include "tools/setup/SetupModel.h"
#include "tools/setup/SetupTool.h"
#include "tools/setup/SetupWindow.h"

#include <SDL.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class SetupTool : public ::testing::Test {
protected:
    void SetUp() override {
        std::string templ = (fs::temp_directory_path() / "sb-setup-XXXXXX").string();
        Root = mkdtemp(templ.data());
        fs::create_directories(Root / "data" / "all_qrx");
    }
    void TearDown() override { fs::remove_all(Root); }

    int Run(std::vector<std::string> args) {
        Out.str("");
        Err.str("");
        args.insert(args.begin(), {"--data", (Root / "data").string()});
        return setup::RunSetup(args, Out, Err);
    }
    std::string Bytes(const char* file) {
        std::stringstream ss;
        ss << std::ifstream(Root / "data" / "all_qrx" / file, std::ios::binary).rdbuf();
        return ss.str();
    }
    void Put(const char* file, const std::string& bytes) {
        std::ofstream(Root / "data" / "all_qrx" / file, std::ios::binary) << bytes;
    }

    fs::path Root;
    std::stringstream Out, Err;
};

}  // namespace

TEST_F(SetupTool, HelpAndBadArguments) {
    EXPECT_EQ(setup::RunSetup({"--help"}, Out, Err), 0);
    EXPECT_NE(Out.str().find("--reset-scores"), std::string::npos);
    EXPECT_NE(Out.str().find("--set N=V"), std::string::npos);
    EXPECT_NE(Out.str().find("GPL-3.0-or-later"), std::string::npos);

    EXPECT_EQ(setup::RunSetup({}, Out, Err), 2);
    EXPECT_EQ(setup::RunSetup({"--frobnicate"}, Out, Err), 2);
    EXPECT_NE(Err.str().find("unknown argument '--frobnicate'"), std::string::npos);
    EXPECT_EQ(setup::RunSetup({"--set"}, Out, Err), 2);
    EXPECT_EQ(setup::RunSetup({"--lang", "de", "--show"}, Out, Err), 2);
    EXPECT_NE(Err.str().find("--lang takes ru or en"), std::string::npos);
    EXPECT_EQ(setup::RunSetup({"--set", "language=fr"}, Out, Err), 2);
}

TEST_F(SetupTool, ResetScoresWritesTheEmptyTableOverATamperedOne) {
    Put("res.qrx", "Cheater\r\n999999\r\n0\r\n");
    ASSERT_EQ(Run({"--reset-scores"}), 0) << Err.str();
    EXPECT_EQ(Bytes("res.qrx"), FormatScoreTable(EmptyScoreTable()));
    int32_t check = -1;
    EXPECT_EQ(ScoreSum(ReadScoreTable((Root / "data/all_qrx/res.qrx").string(), check)), check);
}

TEST_F(SetupTool, OptionsAreCreatedSetAndShown) {
    EXPECT_EQ(Run({"--set", "4=16"}), 1);
    EXPECT_NE(Err.str().find("--reset-options"), std::string::npos);
    EXPECT_FALSE(fs::exists(Root / "data/all_qrx/opt.qrx"));

    ASSERT_EQ(Run({"--reset-options"}), 0) << Err.str();
    EXPECT_EQ(Bytes("opt.qrx"), FormatOptions(DefaultOptions()));

    ASSERT_EQ(Run({"--set", "4=16", "--set", "2=1", "--set", "10=-7", "--show"}), 0) << Err.str();
    EXPECT_EQ(Bytes("opt.qrx"), "1\r\n1\r\n0\r\n16\r\n0\r\n0\r\n0\r\n0\r\n0\r\n-7\r\n");
    const std::string shown = Out.str();
    for (const char* text : {"FPS line: hidden", "music: off", "sound effects and force feedback: on",
                             "colour depth: 16 bits", "display: 800 x 600 window", "10 = -7"})
        EXPECT_NE(shown.find(text), std::string::npos) << text << "\n" << shown;
}

TEST_F(SetupTool, InvalidSettingsChangeNothing) {
    Put("opt.qrx", FormatOptions(DefaultOptions()));
    for (const char* set : {"4=15", "4=0", "11=1", "0=1", "3=x", "3=", "3", "=3", "3=1.5", "3=99999999999"}) {
        EXPECT_EQ(Run({"--set", "2=1", "--set", set}), 2) << set;
        EXPECT_FALSE(Err.str().empty()) << set;
    }
    EXPECT_EQ(Bytes("opt.qrx"), FormatOptions(DefaultOptions()));
}

TEST_F(SetupTool, AMalformedOptionsFileIsReportedNotOverwritten) {
    Put("opt.qrx", "1\r\nloud\r\n");
    EXPECT_EQ(Run({"--show"}), 1);
    EXPECT_NE(Err.str().find("line 2: \"loud\" is not a decimal number"), std::string::npos) << Err.str();
    EXPECT_EQ(Run({"--set", "1=0"}), 1);
    EXPECT_EQ(Bytes("opt.qrx"), "1\r\nloud\r\n");
    EXPECT_EQ(Run({"--show"}), 1);

    fs::remove_all(Root / "data" / "all_qrx");
    EXPECT_EQ(Run({"--reset-scores"}), 1);
    EXPECT_NE(Err.str().find("res.qrx"), std::string::npos) << Err.str();
}

TEST_F(SetupTool, SettingsAreSetCheckedAndShown) {
    Put("opt.qrx", FormatOptions(DefaultOptions()));
    ASSERT_EQ(Run({"--set", "music_volume=35", "--set", "keys_fire=q, space", "--set", "5=1"}), 0) << Err.str();
    EXPECT_NE(Bytes("settings.ini").find("\nmusic_volume = 35\n"), std::string::npos);
    EXPECT_NE(Bytes("settings.ini").find("\nkeys_fire = Q, Space\n"), std::string::npos);
    EXPECT_EQ(Bytes("opt.qrx").substr(0, 15), "1\r\n0\r\n0\r\n32\r\n1\r");

    // Every refusal changes nothing, the options given beside it included.
    const std::string before = Bytes("settings.ini"), optionsBefore = Bytes("opt.qrx");
    for (const char* set : {"music_volume=101", "scaling=huge", "no_such=1", "keys_up=Escape", "keys_down=Q"}) {
        EXPECT_EQ(Run({"--set", "1=0", "--set", set}), 2) << set;
        EXPECT_FALSE(Err.str().empty()) << set;
    }
    EXPECT_NE(Err.str().find("already bound by keys_fire"), std::string::npos) << Err.str();
    EXPECT_EQ(Bytes("settings.ini"), before);
    EXPECT_EQ(Bytes("opt.qrx"), optionsBefore);

    ASSERT_EQ(Run({"--show"}), 0) << Err.str();
    for (const char* text : {"music_volume = 35", "keys_fire = Q, Space", "pause_on_focus_loss = off"})
        EXPECT_NE(Out.str().find(text), std::string::npos) << text << "\n" << Out.str();

    ASSERT_EQ(Run({"--reset-settings"}), 0) << Err.str();
    EXPECT_EQ(Bytes("settings.ini"), platform::TSettings().Text());
}

// The set-up window's rows, driven by the commands its keys and pad buttons give.
TEST_F(SetupTool, WindowRowsChangeFilesAtOnceAndRefuseAKeyOfAnotherAction) {
    Put("opt.qrx", FormatOptions(DefaultOptions()));
    Put("res.qrx", "Cheater\r\n999999\r\n0\r\n");
    const platform::DataFoldersScope inForce({(Root / "data").string(), ""});
    const platform::LanguageScope language(platform::TLanguage::Ru);
    setup::TSetupModel m;
    auto select = [&](const std::string& label) {
        for (int i = 0; i < 40 && m.Rows()[static_cast<size_t>(m.Selected())].Label != label; ++i)
            m.Command(setup::TCommand::Down);
        ASSERT_EQ(m.Rows()[static_cast<size_t>(m.Selected())].Label, label);
    };
    using setup::TCommand;

    select("Полный экран");
    m.Command(TCommand::Right);
    EXPECT_EQ(ReadOptions((Root / "data/all_qrx/opt.qrx").string())[4], 1);

    select("Громкость эффектов");
    m.Command(TCommand::Left);
    m.Command(TCommand::Left);
    EXPECT_NE(Bytes("settings.ini").find("\neffects_volume = 90\n"), std::string::npos);
    for (int i = 0; i < 30; ++i) m.Command(TCommand::Left);
    EXPECT_NE(Bytes("settings.ini").find("\neffects_volume = 0\n"), std::string::npos);

    select("Огонь");
    m.Command(TCommand::Enter);
    ASSERT_TRUE(m.Capturing());
    m.CapturedKey(27);  // Escape belongs to the game: not taken, still capturing
    EXPECT_TRUE(m.StatusIsError());
    m.CapturedKey(87);  // W steers up
    m.Command(TCommand::Enter);
    EXPECT_FALSE(m.Capturing());
    EXPECT_NE(m.Status().find("keys_up"), std::string::npos) << m.Status();
    EXPECT_EQ(m.Settings().Get("keys_fire"), "Z, Space, Keypad *");
    m.Command(TCommand::Enter);
    m.CapturedKey(81);
    m.CapturedKey(32);
    m.Command(TCommand::Enter);
    EXPECT_NE(Bytes("settings.ini").find("\nkeys_fire = Q, Space\n"), std::string::npos);

    // The reset asks once more before it writes.
    select("Обнулить результаты");
    m.Command(TCommand::Enter);
    EXPECT_EQ(Bytes("res.qrx"), "Cheater\r\n999999\r\n0\r\n");
    m.Command(TCommand::Enter);
    EXPECT_EQ(Bytes("res.qrx"), FormatScoreTable(EmptyScoreTable()));

    m.Command(TCommand::Back);
    EXPECT_TRUE(m.Done());
}

// The window speaks the language of the settings (or the one asked for) and its first row
// switches it at once, labels, values and messages alike.
TEST_F(SetupTool, TheLanguageRowSwitchesTheWindowAtOnce) {
    Put("opt.qrx", FormatOptions(DefaultOptions()));
    Put("settings.ini", "language = en\n");
    const platform::DataFoldersScope inForce({(Root / "data").string(), ""});
    const platform::LanguageScope kept(platform::TLanguage::Ru);
    {
        setup::TSetupModel m;
        EXPECT_EQ(m.Rows()[0].Label, "Язык / Language");
        EXPECT_EQ(m.Rows()[0].Value, "English");
        EXPECT_EQ(m.Rows()[1].Label, "Full screen");
        EXPECT_EQ(m.Rows()[1].Value, "no (window)");
        EXPECT_EQ(m.Status(), "↑↓ choose, ←→ change, Enter keys and actions, Esc leave");
        m.Command(setup::TCommand::Right);
        EXPECT_EQ(m.Rows()[0].Value, "Русский");
        EXPECT_EQ(m.Rows()[1].Label, "Полный экран");
        EXPECT_EQ(m.Status(), "Сохранено в settings.ini");
        EXPECT_NE(Bytes("settings.ini").find("\nlanguage = ru\n"), std::string::npos);
    }
    // --lang for one run: the file keeps its setting.
    setup::TSetupModel m(platform::TLanguage::En);
    EXPECT_EQ(m.Rows()[1].Label, "Full screen");
    EXPECT_NE(Bytes("settings.ini").find("\nlanguage = ru\n"), std::string::npos);
}

// The window itself on SDL's dummy video driver, driven by a game pad as a player on a sofa
// would: the D-pad chooses and changes, B leaves.
TEST_F(SetupTool, TheWindowAnswersAGamePad) {
    Put("opt.qrx", FormatOptions(DefaultOptions()));  // the FPS line hidden
    const SDL_GameControllerButton script[] = {
        SDL_CONTROLLER_BUTTON_DPAD_DOWN,  SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_CONTROLLER_BUTTON_DPAD_DOWN,
        SDL_CONTROLLER_BUTTON_DPAD_DOWN,  SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_CONTROLLER_BUTTON_DPAD_DOWN,
        SDL_CONTROLLER_BUTTON_DPAD_DOWN,
        SDL_CONTROLLER_BUTTON_DPAD_RIGHT,  // row 8: the FPS line, now shown
        SDL_CONTROLLER_BUTTON_B,
    };
    SDL_Joystick* pad = nullptr;
    std::ostringstream err;
    const int status = setup::RunSetupWindow((Root / "data").string(), err, [&](int call) {
        if (call == 0) {
            // The dummy driver's window never holds the focus; a real one does while it is used.
            SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
            SDL_VirtualJoystickDesc desc = VirtualPadDesc();
            const int index = SDL_JoystickAttachVirtualEx(&desc);
            ASSERT_GE(index, 0) << SDL_GetError();
            pad = SDL_JoystickOpen(index);
            return;
        }
        const size_t step = static_cast<size_t>(call - 1) / 2;
        if (step >= std::size(script) || call > 100) {
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
            return;
        }
        SDL_JoystickSetVirtualButton(pad, script[step], call % 2 ? SDL_PRESSED : SDL_RELEASED);
    });
    EXPECT_EQ(status, 0) << err.str();
    EXPECT_EQ(ReadOptions((Root / "data/all_qrx/opt.qrx").string())[0], 0);
}
