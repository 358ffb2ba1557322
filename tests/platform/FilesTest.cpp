// Program file names on the real file system: case-insensitive backslash names, reading,
// crash-safe writing.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "platform/Files.h"

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
        struct sigaction ignore {}, old {};
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
