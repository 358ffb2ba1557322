#include "game/files/OptionsFile.h"

#include "game/files/ScoreFile.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

TEST(OptionsFile, ReadsTenNumbersByTheNumberRules) {
    EXPECT_EQ(ParseOptions("1\r\n0\r\n0\r\n32\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n", "opt.qrx"), DefaultOptions());
    // Text after a number is ignored; blank lines are skipped; a short file gives 0.
    EXPECT_EQ(ParseOptions("0 show fps\r\n\r\n\r\n1\n-1\t\r\n16 bits\r\n", "opt.qrx"),
              (TOptions{0, 1, -1, 16, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(ParseOptions("", "opt.qrx"), TOptions{});
}

TEST(OptionsFile, ALineThatIsNoNumberIsRefused) {
    try {
        ParseOptions("1\r\n0\r\n0\r\nthirty-two\r\n", "data\\all_qrx\\opt.qrx");
        FAIL() << "no error";
    } catch (const EFileFormatError& e) {
        EXPECT_STREQ(e.what(), "data\\all_qrx\\opt.qrx, line 4: \"thirty-two\" is not a decimal number");
    }
    EXPECT_THROW(ParseOptions("1\r\n4294967328\r\n", "opt.qrx"), EFileFormatError);
}

TEST(OptionsFile, WriteIsExactAndReadsBack) {
    std::string templ = (fs::temp_directory_path() / "sb-opt-XXXXXX").string();
    const fs::path dir = mkdtemp(templ.data());
    const std::string name = (dir / "opt.qrx").string();

    EXPECT_THROW(ReadOptions(name), platform::EInOutError);
    const TOptions options{0, 1, 2, 8, 1, -6, 7, 2147483647, INT32_MIN, 10};
    WriteOptions(name, options);
    std::stringstream bytes;
    bytes << std::ifstream(name, std::ios::binary).rdbuf();
    EXPECT_EQ(bytes.str(), "0\r\n1\r\n2\r\n8\r\n1\r\n-6\r\n7\r\n2147483647\r\n-2147483648\r\n10\r\n");
    EXPECT_EQ(ReadOptions(name), options);
    fs::remove_all(dir);
}

TEST(OptionsFile, FullScreenSwitchRewritesLineFiveOnly) {
    std::string templ = (fs::temp_directory_path() / "sb-opt-XXXXXX").string();
    const fs::path dir = mkdtemp(templ.data());
    const std::string name = (dir / "opt.qrx").string();
    struct Case {
        const char* File;  // nullptr: no file
        bool On;
        TOptions Expected;
    } cases[] = {
        {"0\r\n1\r\n1\r\n16\r\n0\r\n5\r\n0\r\n0\r\n0\r\n9\r\n", true, {0, 1, 1, 16, 1, 5, 0, 0, 0, 9}},
        {"0\r\n1\r\n1\r\n16\r\n1\r\n5\r\n0\r\n0\r\n0\r\n9\r\n", false, {0, 1, 1, 16, 0, 5, 0, 0, 0, 9}},
        // Another window value stays when going back to a window.
        {"1\r\n0\r\n0\r\n32\r\n2\r\n", false, {1, 0, 0, 32, 2, 0, 0, 0, 0, 0}},
        // No file, or a damaged one: the defaults carry the choice.
        {nullptr, true, {1, 0, 0, 32, 1, 0, 0, 0, 0, 0}},
        {"x\r\n", true, {1, 0, 0, 32, 1, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.File ? c.File : "(none)");
        fs::remove(name);
        if (c.File) std::ofstream(name, std::ios::binary) << c.File;
        EXPECT_EQ(WriteFullScreenOption(name, c.On), c.Expected);
        EXPECT_EQ(ReadOptions(name), c.Expected);
    }
    fs::remove_all(dir);
    // Nowhere to write: the error reaches the caller.
    EXPECT_THROW(WriteFullScreenOption((dir / "gone" / "opt.qrx").string(), true), platform::EInOutError);
}
