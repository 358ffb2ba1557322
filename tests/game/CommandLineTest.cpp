// The command line, the display check, the display choice for one run, and a start-up from
// an installed copy's folders.
#include "MainFormFixture.h"

#include <sstream>

#include "game/CommandLine.h"
#include "game/files/OptionsFile.h"
#include "platform/Files.h"

namespace {
using TAction = TCommandLine::TAction;
}  // namespace

TEST(CommandLine, ArgumentsAndTheirMistakes) {
    struct Case {
        std::vector<std::string> Args;
        TAction Action;
        std::string DataDir;
        std::optional<bool> FullScreen;
        std::string Problem;  // a part of it
    };
    const Case cases[] = {
        {{}, TAction::Play, "", std::nullopt, ""},
        {{"--help"}, TAction::Help, "", std::nullopt, ""},
        {{"--window", "-h", "--bogus"}, TAction::Help, "", false, ""},
        {{"--version"}, TAction::Version, "", std::nullopt, ""},
        {{"--data", "/srv/sb data"}, TAction::Play, "/srv/sb data", std::nullopt, ""},
        {{"--data=mine", "--fullscreen"}, TAction::Play, "mine", true, ""},
        {{"--window", "--window"}, TAction::Play, "", false, ""},
        {{"--data"}, TAction::BadUsage, "", std::nullopt, "--data needs a folder"},
        {{"--data="}, TAction::BadUsage, "", std::nullopt, "--data needs a folder"},
        {{"--window", "--fullscreen"}, TAction::BadUsage, "", false, "exclude each other"},
        {{"--frobnicate"}, TAction::BadUsage, "", std::nullopt, "unknown argument '--frobnicate'"},
        {{"data"}, TAction::BadUsage, "", std::nullopt, "unknown argument 'data'"},
    };
    for (const Case& c : cases) {
        std::string shown;
        for (const auto& a : c.Args) shown += a + " ";
        const TCommandLine line = ParseCommandLine(c.Args);
        EXPECT_EQ(line.Action, c.Action) << shown;
        EXPECT_EQ(line.FullScreen, c.FullScreen) << shown;
        if (c.Action == TAction::Play) {
            EXPECT_EQ(line.DataDir, c.DataDir) << shown;
        } else if (c.Action == TAction::BadUsage) {
            EXPECT_NE(line.Problem.find(c.Problem), std::string::npos) << line.Problem;
        }
    }
    // The language for one run.
    EXPECT_EQ(ParseCommandLine({}).Language, std::nullopt);
    EXPECT_EQ(ParseCommandLine({"--lang", "en"}).Language, platform::TLanguage::En);
    EXPECT_EQ(ParseCommandLine({"--window", "--lang=RU"}).Language, platform::TLanguage::Ru);
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"--lang"}, {"--lang", "de"}, {"--lang="}, {"--lang", "--window"}}) {
        const TCommandLine line = ParseCommandLine(args);
        EXPECT_EQ(line.Action, TAction::BadUsage) << args[0];
        EXPECT_NE(line.Problem.find("--lang"), std::string::npos) << line.Problem;
    }
    EXPECT_NE(UsageText().find("--lang ru|en"), std::string::npos);
    EXPECT_NE(UsageText().find("--data DIR"), std::string::npos);
    EXPECT_TRUE(VersionText().starts_with("starbreaker ")) << VersionText();
    EXPECT_NE(VersionText().find("\nLicence GPL-3.0-or-later"), std::string::npos) << VersionText();
}

TEST(CommandLine, ADisplayIsAnXOrWaylandDisplayOrAChosenDriver) {
    const char* names[] = {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"};
    std::vector<std::optional<std::string>> saved;
    for (const char* n : names) {
        const char* v = std::getenv(n);
        saved.push_back(v ? std::optional<std::string>(v) : std::nullopt);
        ::unsetenv(n);
    }
    EXPECT_FALSE(DisplayAvailable());
    ::setenv("DISPLAY", "", 1);  // set but empty is no display either
    EXPECT_FALSE(DisplayAvailable());
    for (const char* n : names) {
        ::setenv(n, n[0] == 'S' ? "dummy" : ":7", 1);
        EXPECT_TRUE(DisplayAvailable()) << n;
        ::unsetenv(n);
    }
    for (size_t i = 0; i < saved.size(); ++i)
        if (saved[i]) ::setenv(names[i], saved[i]->c_str(), 1);
}

TEST_F(MainFormFixture, WindowOrFullScreenForThisRunOverridesTheOptionsWithoutWritingThem) {
    fake.Windows.SetDisplayModes({{800, 600, 32}});
    const std::string window = "0\r\n0\r\n0\r\n32\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n";
    const std::string full = "0\r\n0\r\n0\r\n32\r\n1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n";
    struct Case {
        std::string File;
        std::optional<bool> Choice;
        bool FullScreen;
    };
    const Case cases[] = {{window, true, true}, {full, false, false}, {full, std::nullopt, true}};
    for (const Case& c : cases) {
        WriteFile("data/all_qrx/opt.qrx", c.File);
        FullScreenForThisRun = c.Choice;
        Boot();
        FullScreenForThisRun.reset();
        ASSERT_FALSE(Application().Terminated());
        EXPECT_EQ(fake.Windows.Window(main->Handle())->FullScreen(), c.FullScreen);
        EXPECT_EQ(ReadFile("data/all_qrx/opt.qrx"), c.File);
        TearDown();
        SetUp();
    }
}

// Every file the game opens goes through the data folders: with the data installed elsewhere
// and nothing in the working directory, the game starts from the installed pictures and the
// player's own tables, and a tampered table there is the one refused.
TEST_F(MainFormFixture, AnInstalledCopyReadsItsPicturesAndThePlayersOwnTables) {
    std::filesystem::rename(dir / "data", dir / "installed");
    const std::string user = (dir / "home/starbreaker").string();
    std::ostringstream warn;
    const platform::DataFolders folders = platform::PickDataFolders("", {(dir / "installed").string()}, user);
    ASSERT_EQ(folders, (platform::DataFolders{(dir / "installed").string(), user}));
    platform::SeedUserFolder(folders, warn);
    platform::DataFoldersScope scope(folders);
    EXPECT_EQ(warn.str(), "");

    std::string table = EmptyTable();
    table.replace(table.find("\r\n0\r\n"), 5, "\r\n70\r\n");  // a score without its check value
    WriteFile("home/starbreaker/res.qrx", table);
    Boot();
    EXPECT_TRUE(AssetsLoaded);
    ASSERT_FALSE(fake.Windows.MessageBoxes().empty());
    EXPECT_EQ(fake.Windows.MessageBoxes().back().Text,
              "Кто-то взломал очки.Обнулите результаты через Setup и перезапустите игру");
    EXPECT_EQ(ScoreValues[1], 70);
    EXPECT_FALSE(std::filesystem::exists(dir / "data"));
    EXPECT_EQ(ReadFile("installed/all_qrx/res.qrx"), EmptyTable()) << "the installed default is untouched";
}
