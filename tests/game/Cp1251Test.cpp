#include "game/files/Cp1251.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

namespace {

// The system's own converter, as an independent check of our table.
std::string SystemToUtf8(unsigned char byte) {
    iconv_t cd = iconv_open("UTF-8", "CP1251");
    if (cd == reinterpret_cast<iconv_t>(-1)) return "(no converter)";
    char in[1] = {static_cast<char>(byte)};
    char out[8] = {};
    char* inPtr = in;
    char* outPtr = out;
    size_t inLeft = 1, outLeft = sizeof out;
    const size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1)) return "(unassigned)";
    return std::string(out, sizeof out - outLeft);
}

}  // namespace

TEST(Cp1251, EveryByteDecodesLikeTheSystemConverterAndRoundTrips) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
        if (b == 0x98) continue;  // unassigned in the code page: we keep it as U+0098
        EXPECT_EQ(cp1251::ToUtf8(std::string(1, static_cast<char>(b))), SystemToUtf8(static_cast<unsigned char>(b)))
            << "byte " << b;
    }
    const std::string utf8 = cp1251::ToUtf8(all);
    EXPECT_TRUE(cp1251::IsRepresentable(utf8));
    EXPECT_EQ(cp1251::FromUtf8(utf8), all);
}

TEST(Cp1251, KnownNames) {
    EXPECT_EQ(cp1251::FromUtf8("Игрок"), "\xC8\xE3\xF0\xEE\xEA");
    EXPECT_EQ(cp1251::ToUtf8("\xC8\xE3\xF0\xEE\xEA"), "Игрок");
    EXPECT_EQ(cp1251::FromUtf8("Ёж ё №1 €"),
              "\xA8\xE6 \xB8 \xB9"
              "1 \x88");
    EXPECT_EQ(cp1251::FromUtf8("Ace-99"), "Ace-99");
}

TEST(Cp1251, RefusesCharactersItCannotHold) {
    struct Case {
        const char* text;
        bool representable;
        const char* written;
    };
    const Case cases[] = {
        {"Петя", true, "\xCF\xE5\xF2\xFF"},
        {"", true, ""},
        {"ä", false, "?"},  // Latin-1 letter outside the code page
        {"Ω", false, "?"},  // Greek
        {"日本", false, "??"},
        {"😀", false, "?"},               // outside the Basic Multilingual Plane
        {"A\xC8", false, "A?"},          // truncated sequence
        {"\xC0\x80", false, "??"},       // overlong NUL
        {"\xED\xA0\x80", false, "???"},  // surrogate
        {"\xFF", false, "?"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(cp1251::IsRepresentable(c.text), c.representable) << c.text;
        EXPECT_EQ(cp1251::FromUtf8(c.text), c.written) << c.text;
    }
    EXPECT_FALSE(cp1251::FromCodePoint(U'ä').has_value());
    EXPECT_EQ(cp1251::FromCodePoint(U'я'), 0xFF);
}
