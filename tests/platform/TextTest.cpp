// Text renderers: the recording fake and SDL_ttf with fontconfig faces.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "platform/fake/FakeText.h"
#include "platform/sdl/SdlText.h"

using platform::Bitmap;
using platform::FontSpec;
using platform::RGB;

namespace {

FontSpec Font(const char* name, int size, RGB color, bool pixels = false) {
    FontSpec f;
    f.Name = name;
    f.Size = size;
    f.Color = color;
    f.SizeInPixels = pixels;
    return f;
}

// Pixels differing from `background`, and their bounding box.
struct Ink {
    int Count = 0;
    platform::Rect Box{1 << 30, 1 << 30, -1, -1};
};
Ink InkOf(const Bitmap& b, uint32_t background) {
    Ink ink;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.GetPixel(x, y) != background) {
                ++ink.Count;
                ink.Box.Left = std::min(ink.Box.Left, x);
                ink.Box.Top = std::min(ink.Box.Top, y);
                ink.Box.Right = std::max(ink.Box.Right, x + 1);
                ink.Box.Bottom = std::max(ink.Box.Bottom, y + 1);
            }
    return ink;
}

}  // namespace

TEST(FakeText, RecordsCallsAndDrawsABoxPerCharacter) {
    platform::fake::FakeTextRenderer text;
    Bitmap b(40, 20, 32);
    const FontSpec f = Font("Times New Roman", 6, {255, 255, 0});  // 8 px high, 4 px per character
    text.DrawText(b, 2, 3, "Жук", f);                              // three characters
    ASSERT_EQ(text.Calls().size(), 1u);
    EXPECT_EQ(text.Calls()[0].Text, "Жук");
    EXPECT_EQ(text.Calls()[0].FontName, "Times New Roman");
    EXPECT_EQ(text.Calls()[0].Size, 6);
    EXPECT_EQ(text.Calls()[0].Color, (RGB{255, 255, 0}));
    Ink ink = InkOf(b, 0);
    EXPECT_EQ(ink.Box, (platform::Rect{2, 3, 13, 11}));
    EXPECT_EQ(ink.Count, 3 * 3 * 8);
    EXPECT_EQ(b.GetPixel(5, 5), 0u);  // the gap between characters
    EXPECT_EQ(text.TextExtent("Жук", f), (platform::Size{12, 8}));

    // Clipped at every edge, any depth.
    Bitmap small(5, 5, 8);
    small.Palette()[7] = {255, 255, 0};
    text.DrawText(small, -3, -3, "abcdef", f);
    text.DrawText(small, 3, 3, "abcdef", f);
    EXPECT_EQ(small.GetPixel(1, 0), 7u);
    EXPECT_EQ(small.GetPixel(0, 0), 0u);  // gap after the first, clipped character
    EXPECT_EQ(small.GetPixel(4, 4), 7u);
    EXPECT_EQ(text.Texts(), (std::vector<std::string>{"Жук", "abcdef", "abcdef"}));
    text.ClearCalls();
    EXPECT_TRUE(text.Calls().empty());
}

class SdlTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (text.FontFileFor("Times New Roman").empty()) GTEST_SKIP() << "no fonts on this machine";
    }
    platform::sdl::SdlTextRenderer text{64};
};

TEST_F(SdlTextTest, FontconfigAnswersBothFamilies) {
    EXPECT_FALSE(text.FontFileFor("Times New Roman").empty());
    EXPECT_FALSE(text.FontFileFor("MS Sans Serif").empty());
    EXPECT_NE(text.FontFileFor("Times New Roman"), text.FontFileFor("MS Sans Serif"));  // serif vs sans
}

TEST_F(SdlTextTest, BlendsTextInsideItsExtentAtEveryDepth) {
    const FontSpec f = Font("Times New Roman", 16, {255, 255, 0});
    const platform::Size ext = text.TextExtent("Энергия 100", f);
    EXPECT_GT(ext.Width, 40);
    EXPECT_GE(ext.Height, 16 * 96 / 72);
    for (int bits : {8, 16, 24, 32}) {
        SCOPED_TRACE(bits);
        Bitmap b(200, 60, bits);
        b.Palette()[0] = {0, 0, 0};
        b.Palette()[1] = {255, 255, 0};
        b.Palette()[2] = {0, 0, 255};
        for (int i = 3; i < 256; ++i) b.Palette()[i] = {0, 0, 255};
        text.DrawText(b, 10, 5, "Энергия 100", f);
        Ink ink = InkOf(b, 0);
        ASSERT_GT(ink.Count, 50);
        EXPECT_GE(ink.Box.Left, 10);
        EXPECT_GE(ink.Box.Top, 5);
        EXPECT_LE(ink.Box.Right, 10 + ext.Width);
        EXPECT_LE(ink.Box.Bottom, 5 + ext.Height);
        // Some fully covered pixel shows the font colour; paletted text uses only its entry.
        bool solid = false;
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x) {
                uint32_t v = b.GetPixel(x, y);
                if (bits == 8) { EXPECT_TRUE(v == 0 || v == 1) << v; }
                if (b.GetRGB(v) == RGB{255, 255, 0} || (bits == 16 && v == b.MapRGB({255, 255, 0}))) solid = true;
            }
        EXPECT_TRUE(solid);
    }
}

TEST_F(SdlTextTest, PixelSizesAndClipping) {
    const platform::Size px = text.TextExtent("A", Font("MS Sans Serif", 20, {}, true));
    EXPECT_GE(px.Height, 20);
    EXPECT_LT(px.Height, 30);
    Bitmap b(30, 20, 32);
    const FontSpec f = Font("MS Sans Serif", 50, {255, 255, 255});
    text.DrawText(b, -20, -20, "WWW", f);
    text.DrawText(b, 25, 15, "WWW", f);
    text.DrawText(b, 500, 500, "WWW", f);
    text.DrawText(b, 0, 0, "", f);
    EXPECT_GT(InkOf(b, 0).Count, 0);
}

TEST_F(SdlTextTest, RepeatedStringsComeFromTheCache) {
    Bitmap b(800, 600, 32);
    const FontSpec f = Font("Times New Roman", 18, {255, 255, 0});
    text.DrawText(b, 0, 0, "1234", f);
    const size_t before = text.CacheHits();
    // A HUD-sized frame: 25 strings drawn again.
    const auto start = std::chrono::steady_clock::now();
    for (int frame = 0; frame < 20; ++frame)
        for (int i = 0; i < 25; ++i) text.DrawText(b, 100, i * 20, "1234", f);
    const double msPerFrame =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() / 20;
    EXPECT_EQ(text.CacheHits(), before + 500);
    EXPECT_EQ(text.CachedStrings(), 1u);
    RecordProperty("ms_per_frame", std::to_string(msPerFrame));
    EXPECT_LT(msPerFrame, 10.0);  // generous: debug builds and shared machines

    // Old strings leave the cache once it is full.
    for (int i = 0; i < 100; ++i) text.DrawText(b, 0, 0, std::to_string(i), f);
    EXPECT_EQ(text.CachedStrings(), 64u);
}
