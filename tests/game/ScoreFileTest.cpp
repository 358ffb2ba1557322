#include "game/files/ScoreFile.h"

#include "platform/Files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

struct TempFolder {
    fs::path Path;
    TempFolder() {
        std::string templ = (fs::temp_directory_path() / "sb-score-XXXXXX").string();
        Path = mkdtemp(templ.data());
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(Path, ec);
    }
};

void WriteBytes(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

int32_t ReadOneNumber(const std::string& bytes) {
    TTextFileReader reader(bytes, "res.qrx");
    return reader.ReadNumber();
}

// The empty table as the set-up tool writes it: "Игрок" in Windows-1251, score 0, check 0.
std::string EmptyTableBytes() {
    std::string s;
    for (int i = 0; i < 10; ++i) s += "\xC8\xE3\xF0\xEE\xEA\r\n0\r\n";
    return s + "0\r\n";
}

TScoreTable Table(std::array<int32_t, 10> values) {
    TScoreTable t;
    for (int i = 0; i < 10; ++i) {
        t.Names[i] = "N" + std::to_string(i + 1);
        t.Values[i] = values[i];
    }
    return t;
}

}  // namespace

TEST(ScoreFileNumbers, ReadAsTheRuntimeReadsThem) {
    struct Case {
        std::string text;
        int32_t value;
    } cases[] = {
        {"42", 42},
        {"  \t\r\n\r\n\n-17 points and more", -17},
        {"+5\r\n", 5},
        {"", 0},             // end of file
        {" \t\r\n\r\n", 0},  // only blanks before the end of file
        {"0007\t8", 7},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        // Only the first 32 characters are taken: these 34 end "...01" after 32.
        {"0000000000000000000000000000000123", 1},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadOneNumber(c.text), c.value) << '"' << c.text << '"';
}

TEST(ScoreFileNumbers, AWordThatIsNoNumberOrOutOfRangeRefusesTheFile) {
    for (const char* text : {"abc", "12abc", "-", "+", "1.5", "0x10", "\x01", "2147483648", "-2147483649",
                             "99999999999999999999999999999999"}) {
        EXPECT_THROW(ReadOneNumber(text), EFileFormatError) << text;
    }
    try {
        ParseScoreTable("Vasya\r\n100\r\nPetya\r\nlots\r\n", "data\\all_qrx\\res.qrx");
        FAIL() << "no error";
    } catch (const EFileFormatError& e) {
        EXPECT_STREQ(e.what(), "data\\all_qrx\\res.qrx, line 4: \"lots\" is not a decimal number");
    }
}

TEST(ScoreFileRead, BlankLinesAreSkippedBeforeAScoreButBecomeAName) {
    int32_t check = -1;
    const TScoreTable t = ParseScoreTable("Vasya\r\n\r\n\r\n  300 trailing words\r\n\r\n200\r\nPetya\r\n", "f", &check);
    EXPECT_EQ(t.Names[0], "Vasya");
    EXPECT_EQ(t.Values[0], 300);
    EXPECT_EQ(t.Names[1], "");  // the blank line after the score line is entry 2's name
    EXPECT_EQ(t.Values[1], 200);
    EXPECT_EQ(t.Names[2], "Petya");
    // Short file: names empty and numbers 0 past its end, the check value included.
    for (int i = 3; i < 10; ++i) {
        EXPECT_EQ(t.Names[i], "");
        EXPECT_EQ(t.Values[i], 0);
    }
    EXPECT_EQ(check, 0);
    EXPECT_NE(ScoreSum(t), check);
}

TEST(ScoreFileRead, LineEndsMayBeCrLfLfOrCr) {
    std::string lf = EmptyTableBytes(), cr = lf;
    std::erase(lf, '\r');
    std::erase(cr, '\n');
    for (const std::string& bytes : {EmptyTableBytes(), lf, cr}) {
        int32_t check = -1;
        EXPECT_EQ(ParseScoreTable(bytes, "f", &check), EmptyScoreTable());
        EXPECT_EQ(check, 0);
    }
}

TEST(ScoreFileVerify, EmptyTableIsValidAndOnlyScoresCount) {
    int32_t check = -1;
    const TScoreTable t = ParseScoreTable(EmptyTableBytes(), "f", &check);
    EXPECT_EQ(t, EmptyScoreTable());
    EXPECT_EQ(ScoreSum(t), check);

    TScoreTable played = Table({500, 400, 400, 300, 200, 100, 90, 80, 70, 60});
    const std::string good = FormatScoreTable(played);

    std::string renamed = good;
    renamed.replace(renamed.find("N3"), 2, "Hacker");
    const TScoreTable n = ParseScoreTable(renamed, "f", &check);
    EXPECT_EQ(n.Names[2], "Hacker");
    EXPECT_EQ(ScoreSum(n), check);

    std::string rescored = good;
    rescored.replace(rescored.find("\r\n300\r\n"), 7, "\r\n900\r\n");
    const TScoreTable r = ParseScoreTable(rescored, "f", &check);
    EXPECT_EQ(r.Values[3], 900);
    EXPECT_NE(ScoreSum(r), check);
}

TEST(ScoreFileVerify, SumWrapsAt32BitsAndTheWrappedSumVerifies) {
    TScoreTable t = Table({2000000000, 2000000000, 2000000000, 2000000000, 2000000000, 2000000000, 2000000000,
                           2000000000, 2000000000, 2000000000});
    EXPECT_EQ(ScoreSum(t), -1474836480);  // 20000000000 mod 2^32, as a signed value
    int32_t check = 0;
    EXPECT_EQ(ParseScoreTable(FormatScoreTable(t), "f", &check), t);
    EXPECT_EQ(check, -1474836480);

    t = Table({2147483647, 1, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(ScoreSum(t), INT32_MIN);
    EXPECT_TRUE(FormatScoreTable(t).ends_with("\r\n-2147483648\r\n"));
}

TEST(ScoreFileWrite, BytesAreExactAndReadBack) {
    EXPECT_EQ(FormatScoreTable(EmptyScoreTable()), EmptyTableBytes());

    TScoreTable t = EmptyScoreTable();
    t.Names[0] = "Вася";
    t.Values[0] = 1234;
    t.Names[1] = "";
    t.Values[1] = -5;
    t.Names[2] = "two\r\nlines";  // kept on one line, or every later line would shift
    const std::string bytes = FormatScoreTable(t);
    EXPECT_TRUE(bytes.starts_with("\xC2\xE0\xF1\xFF\r\n1234\r\n\r\n-5\r\ntwo  lines\r\n0\r\n"));
    EXPECT_TRUE(bytes.ends_with("\r\n1229\r\n"));

    TempFolder dir;
    const std::string name = (dir.Path / "res.qrx").string();
    WriteScoreTable(name, t);
    EXPECT_EQ(ReadBytes(dir.Path / "res.qrx"), bytes);
    int32_t check = 0;
    TScoreTable back = ReadScoreTable(name, check);
    EXPECT_EQ(back.Names[0], "Вася");
    EXPECT_EQ(back.Names[2], "two  lines");
    EXPECT_EQ(back.Values, t.Values);
    EXPECT_EQ(check, 1229);
}

TEST(ScoreFileWrite, ProgramNamesFindTheExistingFileWhateverItsCase) {
    TempFolder dir;
    fs::create_directories(dir.Path / "Data" / "ALL_QRX");
    WriteBytes(dir.Path / "Data" / "ALL_QRX" / "Res.Qrx", EmptyTableBytes());
    const std::string programName = dir.Path.string() + "\\data\\all_qrx\\res.qrx";

    TScoreTable t = ReadScoreTable(programName);
    EXPECT_EQ(t, EmptyScoreTable());
    InsertScore(t, "Ace", 10);
    WriteScoreTable(programName, t);
    EXPECT_EQ(ReadBytes(dir.Path / "Data" / "ALL_QRX" / "Res.Qrx"), FormatScoreTable(t));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path / "Data" / "ALL_QRX"), fs::directory_iterator()), 1);
}

TEST(ScoreFileWrite, MissingFileIsAnInputOutputError) {
    TempFolder dir;
    int32_t check;
    EXPECT_THROW(ReadScoreTable((dir.Path / "none.qrx").string()), platform::EInOutError);
    EXPECT_THROW(ReadScoreTable((dir.Path / "none.qrx").string(), check), platform::EInOutError);
}

// A disk that fills up in the middle of the write: the old table must survive whole.
TEST(ScoreFileWrite, AFailedWriteLeavesTheOldTable) {
    TempFolder dir;
    const fs::path path = dir.Path / "res.qrx";
    WriteBytes(path, EmptyTableBytes());

    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 20;  // bytes; the table is longer
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool threw = false;
    try {
        WriteScoreTable(path.string(), Table({9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
    } catch (const platform::EInOutError&) { threw = true; }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_TRUE(threw);
    EXPECT_EQ(ReadBytes(path), EmptyTableBytes());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path), fs::directory_iterator()), 1)
        << "temporary file left behind";

    // A target that cannot be replaced at all (a folder of that name) is an error too.
    fs::create_directory(dir.Path / "taken.qrx");
    EXPECT_THROW(WriteScoreTable((dir.Path / "taken.qrx").string(), EmptyScoreTable()), platform::EInOutError);
    EXPECT_TRUE(fs::is_directory(dir.Path / "taken.qrx"));
}

TEST(ScoreFileInsert, PlaceIsBelowEveryEqualScore) {
    const TScoreTable base = Table({500, 400, 400, 300, 200, 100, 90, 80, 70, 60});
    struct Case {
        int32_t score;
        int p;
        std::array<int32_t, 10> values;
    } cases[] = {
        {400, 4, {500, 400, 400, 400, 300, 200, 100, 90, 80, 70}},
        {501, 1, {501, 500, 400, 400, 300, 200, 100, 90, 80, 70}},
        {65, 10, {500, 400, 400, 300, 200, 100, 90, 80, 70, 65}},
        {60, 11, {500, 400, 400, 300, 200, 100, 90, 80, 70, 60}},
        {-3, 11, {500, 400, 400, 300, 200, 100, 90, 80, 70, 60}},
    };
    for (const Case& c : cases) {
        TScoreTable t = base;
        EXPECT_EQ(InsertScore(t, "New", c.score), c.p) << c.score;
        EXPECT_EQ(t.Values, c.values) << c.score;
        for (int i = 0; i < 10; ++i) {
            const int entry = i + 1;
            const std::string expected = entry < c.p ? base.Names[i] : entry == c.p ? "New" : base.Names[i - 1];
            EXPECT_EQ(t.Names[i], expected) << c.score << " entry " << entry;
        }
    }
}

TEST(ScoreFileInsert, EmptyNameIsWrittenAsAnEmptyLineWithAMatchingCheck) {
    TScoreTable t = EmptyScoreTable();
    EXPECT_EQ(InsertScore(t, "", 1000), 1);
    const std::string bytes = FormatScoreTable(t);
    EXPECT_TRUE(bytes.starts_with("\r\n1000\r\n\xC8\xE3\xF0\xEE\xEA\r\n0\r\n"));
    int32_t check = 0;
    EXPECT_EQ(ScoreSum(ParseScoreTable(bytes, "f", &check)), check);
    EXPECT_EQ(check, 1000);
}
