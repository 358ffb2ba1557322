// Program file names on the real file system: case-insensitive backslash names, reading,
// crash-safe writing.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/Files.h"
#include "platform/Language.h"

namespace fs = std::filesystem;
using platform::EInOutError;

namespace {

struct FilesTest : ::testing::Test {
    fs::path dir;
    fs::path oldCwd;

    void SetUp() override {
        char tmpl[] = "/tmp/sb-files-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;
        oldCwd = fs::current_path();
        fs::current_path(dir);  // the program names files relative to its working directory
        fs::create_directories("data/all_mp3");
        fs::create_directories("data/all_qrx");
        Write("data/all_mp3/music.mp3", "ID3");
        Write("data/all_qrx/res.qrx", "old table");
    }
    void TearDown() override {
        fs::current_path(oldCwd);
        fs::remove_all(dir);
    }
    static void Write(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }
    static std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::vector<std::string> Entries(const fs::path& p) {
        std::vector<std::string> names;
        for (auto& e : fs::directory_iterator(p)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

}  // namespace

TEST_F(FilesTest, ResolvesBackslashAndMixedCaseNames) {
    struct Case {
        const char* Given;
        const char* Real;
    };
    const Case cases[] = {
        {"Data\\All_mp3\\Music.MP3", "data/all_mp3/music.mp3"},
        {"data\\all_mp3\\music.mp3", "data/all_mp3/music.mp3"},
        {"DATA/all_QRX\\\\Res.qrx", "data/all_qrx/res.qrx"},
        {".\\Data\\all_mp3", "./data/all_mp3"},
        {"Data\\Missing\\Sub\\File.TXT", "data/Missing/Sub/File.TXT"},  // the rest kept as given
        {"data\\all_qrx\\New.qrx", "data/all_qrx/New.qrx"},
    };
    for (const Case& c : cases) EXPECT_EQ(platform::ResolvePath(c.Given), c.Real) << c.Given;

    EXPECT_EQ(platform::ResolvePath((dir / "DATA" / "All_Mp3").string()), (dir / "data" / "all_mp3").string());

    EXPECT_TRUE(platform::FileExists("Data\\All_mp3\\Music.MP3"));
    EXPECT_FALSE(platform::FileExists("Data\\All_mp3")) << "a folder is no file";
    EXPECT_FALSE(platform::FileExists("Data\\All_mp3\\Other.mp3"));
}

TEST_F(FilesTest, AnExactMatchWinsOverOneIgnoringCase) {
    Write("data/all_mp3/Music.mp3", "other");
    EXPECT_EQ(platform::ResolvePath("data\\all_mp3\\music.mp3"), "data/all_mp3/music.mp3");
    EXPECT_EQ(platform::ResolvePath("data\\all_mp3\\Music.mp3"), "data/all_mp3/Music.mp3");
}

TEST_F(FilesTest, ReadingAMissingFileNamesItAndTheReason) {
    EXPECT_EQ(platform::ReadFileBytes("DATA\\ALL_MP3\\MUSIC.MP3"), Bytes("ID3"));
    for (const char* name : {"data\\all_qrx\\nothing.qrx", "data\\all_qrx"}) {
        try {
            platform::ReadFileBytes(name);
            FAIL() << name << " was read";
        } catch (const EInOutError& e) {
            std::string what = e.what();
            EXPECT_NE(what.find(name), std::string::npos) << what;
            EXPECT_NE(what.find(": "), std::string::npos) << what;
        }
    }
}

TEST_F(FilesTest, WriteAtomicReplacesTheFileAndKeepsItsPermissions) {
    fs::permissions("data/all_qrx/res.qrx", fs::perms(0640));
    platform::WriteFileAtomic("Data\\All_Qrx\\Res.QRX", Bytes("new table\r\n"));
    EXPECT_EQ(Read("data/all_qrx/res.qrx"), "new table\r\n");
    EXPECT_EQ(fs::status("data/all_qrx/res.qrx").permissions(), fs::perms(0640));
    platform::WriteFileAtomic("data\\all_qrx\\opt.qrx", Bytes("1"));  // a new file
    EXPECT_EQ(Read("data/all_qrx/opt.qrx"), "1");
    EXPECT_EQ(Entries("data/all_qrx"), (std::vector<std::string>{"opt.qrx", "res.qrx"}));
}

TEST_F(FilesTest, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    // The write itself fails: the file-size limit stops it half way.
    {
        struct sigaction ignore {
        }, old{};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGXFSZ, &ignore, &old);
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        rlimit small = saved;
        small.rlim_cur = 4;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        EXPECT_THROW(platform::WriteFileAtomic("data\\all_qrx\\res.qrx", Bytes("a much longer table")), EInOutError);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        ::sigaction(SIGXFSZ, &old, nullptr);
    }
    EXPECT_EQ(Read("data/all_qrx/res.qrx"), "old table");
    EXPECT_EQ(Entries("data/all_qrx"), (std::vector<std::string>{"res.qrx"}));

    // The rename fails: the target is a folder that is not empty.
    fs::create_directories("data/all_qrx/busy/inner");
    try {
        platform::WriteFileAtomic("data\\all_qrx\\busy", Bytes("x"));
        FAIL() << "written over a folder";
    } catch (const EInOutError& e) {
        EXPECT_NE(std::string(e.what()).find("data\\all_qrx\\busy"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(fs::is_directory("data/all_qrx/busy/inner"));
    EXPECT_EQ(Entries("data/all_qrx"), (std::vector<std::string>{"busy", "res.qrx"}));

    // The folder does not exist.
    EXPECT_THROW(platform::WriteFileAtomic("data\\nowhere\\res.qrx", Bytes("x")), EInOutError);
    EXPECT_FALSE(fs::exists("data/nowhere"));
}

// An installed copy: read-only data in one place, the player's files in another.
struct DataFoldersTest : FilesTest {
    fs::path installed, user;
    void SetUp() override {
        FilesTest::SetUp();
        installed = dir / "prefix/share/starbreaker/data";
        user = dir / "home/.local/share/starbreaker";
        fs::create_directories(installed / "all_bmp");
        fs::create_directories(installed / "all_qrx");
        Write(installed / "all_bmp/star.bmp", "BM");
        Write(installed / "all_qrx/res.qrx", "default table");
        Write(installed / "all_qrx/opt.qrx", "default options");
    }
    void TearDown() override {
        platform::SetDataFolders({});
        FilesTest::TearDown();
    }
    platform::DataFolders Installed() const { return {installed.string(), user.string()}; }
};

TEST_F(DataFoldersTest, NamesUnderDataLandInTheFoldersInForce) {
    struct Case {
        const char* Given;
        fs::path Real;
    };
    {
        platform::DataFoldersScope scope(Installed());
        const Case cases[] = {
            {"Data\\All_Bmp\\Star.BMP", installed / "all_bmp/star.bmp"},
            {"data\\all_qrx\\res.qrx", user / "res.qrx"},
            {"DATA\\ALL_QRX\\settings.ini", user / "settings.ini"},
            {"data\\all_qrx\\gamecontrollerdb.txt", user / "gamecontrollerdb.txt"},
            {"data\\all_mp3\\music.mp3", installed / "all_mp3/music.mp3"},
            {"database\\x.txt", "database/x.txt"},  // only the folder named data is mapped
            {"other\\file", "other/file"},
        };
        for (const Case& c : cases) EXPECT_EQ(platform::ResolvePath(c.Given), c.Real.string()) << c.Given;
        EXPECT_EQ(platform::ResolvePath((dir / "data/all_qrx/res.qrx").string()),
                  (dir / "data/all_qrx/res.qrx").string())
            << "an absolute name is never mapped";

        fs::create_directories(user);
        platform::WriteFileAtomic("data\\all_qrx\\res.qrx", Bytes("played"));
        EXPECT_EQ(Read(user / "res.qrx"), "played");
        EXPECT_EQ(Read(installed / "all_qrx/res.qrx"), "default table");
        EXPECT_EQ(Read("data/all_qrx/res.qrx"), "old table");
    }
    // The scope ends: the working directory's data folder again.
    EXPECT_EQ(platform::ResolvePath("Data\\All_qrx\\Res.qrx"), "data/all_qrx/res.qrx");

    // A portable folder named on the command line takes every name.
    platform::DataFoldersScope portable({installed.string(), ""});
    EXPECT_EQ(platform::ResolvePath("data\\all_qrx\\RES.QRX"), (installed / "all_qrx/res.qrx").string());
}

// English: a picture's English version where the data has one, the picture itself where it has
// not; the player's files and the Russian game never move.
TEST_F(DataFoldersTest, EnglishNamesLandOnTheDatasEnglishVersionWhereThereIsOne) {
    fs::create_directories(installed / "all_bmp/x");
    fs::create_directories(installed / "en/all_bmp/x");
    fs::create_directories(installed / "en/all_qrx");
    Write(installed / "all_bmp/x/panel1.bmp", "BM");
    Write(installed / "en/all_bmp/x/panel1.bmp", "BM english");
    Write(installed / "en/all_qrx/res.qrx", "never read");
    fs::create_directories("data/en/all_jpg");
    Write("data/en/all_jpg/rm1x.jpg", "english menu");
    struct Case {
        platform::DataFolders Folders;
        const char* Given;
        fs::path Russian, English;
    };
    const Case cases[] = {
        {Installed(), "data\\all_bmp\\x\\Panel1.bmp", installed / "all_bmp/x/panel1.bmp",
         installed / "en/all_bmp/x/panel1.bmp"},
        {Installed(), "data\\all_bmp\\star.bmp", installed / "all_bmp/star.bmp", installed / "all_bmp/star.bmp"},
        {Installed(), "data\\all_qrx\\res.qrx", user / "res.qrx", user / "res.qrx"},
        {{installed.string(), ""},
         "data\\all_qrx\\res.qrx",
         installed / "all_qrx/res.qrx",
         installed / "all_qrx/res.qrx"},
        {{}, "Data\\All_jpg\\RM1x.jpg", "data/All_jpg/RM1x.jpg", "data/en/all_jpg/rm1x.jpg"},
        {{}, "data\\all_jpg\\rm2x.jpg", "data/all_jpg/rm2x.jpg", "data/all_jpg/rm2x.jpg"},
        {{}, "other\\all_jpg\\rm1x.jpg", "other/all_jpg/rm1x.jpg", "other/all_jpg/rm1x.jpg"},
    };
    for (const Case& c : cases) {
        platform::DataFoldersScope folders(c.Folders);
        {
            platform::LanguageScope language(platform::TLanguage::En);
            EXPECT_EQ(platform::ResolvePath(c.Given), c.English.string()) << c.Given;
        }
        EXPECT_EQ(platform::ResolvePath(c.Given), c.Russian.string()) << c.Given;
    }
    platform::LanguageScope language(platform::TLanguage::En);
    EXPECT_EQ(platform::ReadFileBytes("data\\all_jpg\\rm1x.jpg"), Bytes("english menu"));
    EXPECT_TRUE(platform::FileExists("data\\all_qrx\\res.qrx")) << "the working directory's table";
}

TEST_F(DataFoldersTest, TheRuleThatPicksTheFolders) {
    const std::vector<std::string> some{installed.string()}, none;
    const platform::DataFolders portableHere{}, installedCopy = Installed();
    // The working directory holds the game's data folder (SetUp made data/all_qrx).
    EXPECT_EQ(platform::PickDataFolders("", some, user.string()), portableHere);
    EXPECT_EQ(platform::PickDataFolders("/x/y", some, user.string()), (platform::DataFolders{"/x/y", ""}));

    // A data folder that is not the game's (a home folder's own "data") does not count.
    fs::remove_all("data/all_qrx");
    fs::remove_all("data/all_mp3");
    EXPECT_EQ(platform::PickDataFolders("", some, user.string()), installedCopy);
    fs::remove_all("data");
    EXPECT_EQ(platform::PickDataFolders("", some, user.string()), installedCopy);
    fs::create_directories("Data/All_Bmp");
    EXPECT_EQ(platform::PickDataFolders("", some, user.string()), portableHere);
    fs::remove_all("Data");

    // Nothing installed, or no home to keep scores in: the working directory's data/, whose
    // missing files start-up reports.
    EXPECT_EQ(platform::PickDataFolders("", none, user.string()), portableHere);
    EXPECT_EQ(platform::PickDataFolders("", some, ""), portableHere);
}

TEST_F(DataFoldersTest, TheUserFolderFollowsXdgDataHomeThenHome) {
    struct Env {
        const char* Name;
        std::string Saved;
        bool Had;
    };
    Env env[] = {{"XDG_DATA_HOME", "", false}, {"HOME", "", false}};
    for (Env& e : env)
        if (const char* v = std::getenv(e.Name)) e.Saved = v, e.Had = true;

    ::setenv("HOME", "/home/player/", 1);
    ::setenv("XDG_DATA_HOME", "/xdg/data", 1);
    EXPECT_EQ(platform::UserDataFolder(), "/xdg/data/starbreaker");
    ::setenv("XDG_DATA_HOME", "relative/data", 1);  // invalid, so ignored
    EXPECT_EQ(platform::UserDataFolder(), "/home/player/.local/share/starbreaker");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(platform::UserDataFolder(), "/home/player/.local/share/starbreaker");
    ::unsetenv("HOME");  // the password database still knows a home
    const std::string fromPasswd = platform::UserDataFolder();
    EXPECT_TRUE(fromPasswd.empty() || fromPasswd.ends_with("/.local/share/starbreaker")) << fromPasswd;

    for (Env& e : env)
        if (e.Had) ::setenv(e.Name, e.Saved.c_str(), 1);
        else ::unsetenv(e.Name);
}

TEST_F(DataFoldersTest, SeedingCopiesTheDefaultsOnceAndNeverReplacesAFile) {
    std::ostringstream warn;
    platform::SeedUserFolder(Installed(), warn);
    EXPECT_EQ(warn.str(), "");
    EXPECT_EQ(Read(user / "res.qrx"), "default table");
    EXPECT_EQ(Read(user / "opt.qrx"), "default options");
    EXPECT_EQ(fs::status(user).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(Entries(user), (std::vector<std::string>{"opt.qrx", "res.qrx"}));

    // The player's table (even one the game would refuse) and a missing options file.
    Write(user / "res.qrx", "played table");
    fs::remove(user / "opt.qrx");
    Write(installed / "all_qrx/opt.qrx", "newer defaults");
    platform::SeedUserFolder(Installed(), warn);
    EXPECT_EQ(Read(user / "res.qrx"), "played table");
    EXPECT_EQ(Read(user / "opt.qrx"), "newer defaults");
    EXPECT_EQ(Entries(user), (std::vector<std::string>{"opt.qrx", "res.qrx"})) << "no temporary file left";
    EXPECT_EQ(warn.str(), "");

    // Several programs seeding at once: each file appears once, whole, and nothing is left over.
    fs::remove_all(user);
    std::vector<pid_t> children;
    for (int i = 0; i < 6; ++i) {
        pid_t pid = ::fork();
        if (pid == 0) {
            std::ostringstream quiet;
            platform::SeedUserFolder(Installed(), quiet);
            ::_exit(quiet.str().empty() ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(Read(user / "res.qrx"), "default table");
    EXPECT_EQ(Entries(user), (std::vector<std::string>{"opt.qrx", "res.qrx"}));
}

TEST_F(DataFoldersTest, SeedingProblemsAreWarningsNamingTheFile) {
    // No default to copy.
    fs::remove(installed / "all_qrx/opt.qrx");
    std::ostringstream warn;
    platform::SeedUserFolder(Installed(), warn);
    EXPECT_NE(warn.str().find("opt.qrx"), std::string::npos) << warn.str();
    EXPECT_EQ(warn.str().find("res.qrx"), std::string::npos) << warn.str();
    EXPECT_EQ(Read(user / "res.qrx"), "default table");

    // The user folder cannot be made: a file stands where a folder should be.
    Write(dir / "blocked", "");
    std::ostringstream warn2;
    platform::SeedUserFolder({installed.string(), (dir / "blocked/starbreaker").string()}, warn2);
    const std::string said = warn2.str();
    EXPECT_NE(said.find("blocked/starbreaker"), std::string::npos) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
}
