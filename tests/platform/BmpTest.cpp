// The BMP decoder's layouts beyond plain rows (run-length coding, bit fields, colour tables)
// and the malformed headers it refuses.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/Picture.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& v, uint32_t x) {
    v.push_back(x & 0xFF);
    v.push_back((x >> 8) & 0xFF);
}
void Put32(Bytes& v, uint32_t x) {
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}

struct BmpSpec {
    int W = 1, H = 1, Bits = 8;
    uint32_t Compression = 0;
    uint32_t HeaderSize = 40;
    uint32_t ColoursUsed = 0;
    std::vector<uint32_t> Masks;  // written after a 40-byte header, or inside a longer one
    std::vector<platform::RGB> Palette;
    Bytes Pixels;
};

Bytes Build(const BmpSpec& s) {
    Bytes header;
    Put32(header, s.HeaderSize);
    Put32(header, static_cast<uint32_t>(s.W));
    Put32(header, static_cast<uint32_t>(s.H));
    Put16(header, 1);
    Put16(header, static_cast<uint32_t>(s.Bits));
    Put32(header, s.Compression);
    Put32(header, static_cast<uint32_t>(s.Pixels.size()));
    Put32(header, 2835);
    Put32(header, 2835);
    Put32(header, s.ColoursUsed);
    Put32(header, 0);
    for (uint32_t m : s.Masks) Put32(header, m);
    while (header.size() < s.HeaderSize) header.push_back(0);
    for (const platform::RGB& c : s.Palette) header.insert(header.end(), {c.B, c.G, c.R, 0});
    Bytes v{'B', 'M'};
    Put32(v, static_cast<uint32_t>(14 + header.size() + s.Pixels.size()));
    Put32(v, 0);
    Put32(v, static_cast<uint32_t>(14 + header.size()));
    v.insert(v.end(), header.begin(), header.end());
    v.insert(v.end(), s.Pixels.begin(), s.Pixels.end());
    return v;
}

// An 8-bit picture of w x h with a 16-grey colour table; callers change what they test.
BmpSpec Indexed(int w, int h, int bits = 8, uint32_t compression = 0) {
    BmpSpec s;
    s.W = w;
    s.H = h;
    s.Bits = bits;
    s.Compression = compression;
    s.ColoursUsed = 16;
    for (int i = 0; i < 16; ++i)
        s.Palette.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i)});
    return s;
}

std::vector<std::vector<uint32_t>> Indices(const platform::Picture& p) {
    std::vector<std::vector<uint32_t>> rows(static_cast<size_t>(p.Height()));
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x) rows[y].push_back(p.Image.GetPixel(x, y));
    return rows;
}

}  // namespace

TEST(DecodeBMP, RunLengthCodingWithEveryEscape) {
    // RLE8, bottom row first: a run, a literal stretch with its pad byte, end of line; a run,
    // a skip right and up, a run, end of picture. Skipped pixels stay 0.
    BmpSpec rle8 = Indexed(5, 3, 8, 1);
    rle8.Pixels = {2, 1, 0, 3, 2, 3, 4, 0, 0, 0, 1, 9, 0, 2, 2, 1, 2, 6, 0, 1};
    platform::Picture p = platform::DecodeBMP(Build(rle8));
    EXPECT_EQ(Indices(p), (std::vector<std::vector<uint32_t>>{{0, 0, 0, 6, 6}, {9, 0, 0, 0, 0}, {1, 1, 2, 3, 4}}));
    EXPECT_TRUE(p.IndexedDIB);

    // RLE4: a run alternates its two nibbles; a literal stretch of three nibbles takes two bytes.
    BmpSpec rle4 = Indexed(5, 2, 4, 2);
    rle4.Pixels = {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 1};
    EXPECT_EQ(Indices(platform::DecodeBMP(Build(rle4))),
              (std::vector<std::vector<uint32_t>>{{3, 4, 5, 0, 0}, {1, 2, 1, 2, 1}}));

    // A run past the row's end is cut there; the next line is not touched.
    BmpSpec over = Indexed(3, 2, 8, 1);
    over.Pixels = {2, 7, 0, 0, 5, 8, 0, 1};
    EXPECT_EQ(Indices(platform::DecodeBMP(Build(over))), (std::vector<std::vector<uint32_t>>{{8, 8, 8}, {7, 7, 0}}));
}

TEST(DecodeBMP, BitFieldsScaleEachChannelToTheFullRange) {
    // 5-6-5: full channels give 255, the others scale down (16 of 31 → 131, 21 of 63 → 85).
    BmpSpec b16;
    b16.W = 2;
    b16.Bits = 16;
    b16.Compression = 3;
    b16.Masks = {0xF800, 0x07E0, 0x001F};
    Put16(b16.Pixels, 0xFFE0);                        // R 31, G 63, B 0
    Put16(b16.Pixels, (16u << 11) | (21u << 5) | 1);  // R 16, G 21, B 1
    platform::Picture p = platform::DecodeBMP(Build(b16));
    ASSERT_EQ(p.Image.Bits(), 24);
    EXPECT_EQ(p.Image.GetRGB(p.Image.GetPixel(0, 0)), (platform::RGB{255, 255, 0}));
    EXPECT_EQ(p.Image.GetRGB(p.Image.GetPixel(1, 0)), (platform::RGB{131, 85, 8}));

    // 32 bits with blue in the top byte, in a 124-byte header that also names an alpha mask.
    BmpSpec b32;
    b32.Bits = 32;
    b32.Compression = 3;
    b32.HeaderSize = 124;
    b32.Masks = {0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF};
    Put32(b32.Pixels, 0x30201080);  // B 0x30, G 0x20, R 0x10, alpha 0x80
    platform::Picture q = platform::DecodeBMP(Build(b32));
    ASSERT_EQ(q.Image.Bits(), 32);
    EXPECT_EQ(q.Image.GetPixel(0, 0), 0x00102030u);
}

TEST(DecodeBMP, ColourTableWithoutACountHasTheDepthsSizeAndTheRestBlack) {
    BmpSpec s = Indexed(3, 1, 1);
    s.ColoursUsed = 0;
    s.Palette = {{10, 20, 30}, {40, 50, 60}};
    s.Pixels = {0xA0, 0xFF, 0xFF, 0xFF};  // 1 0 1, then bytes that are no colours
    platform::Picture p = platform::DecodeBMP(Build(s));
    EXPECT_EQ(Indices(p), (std::vector<std::vector<uint32_t>>{{1, 0, 1}}));
    EXPECT_EQ(p.Image.Palette()[1], (platform::RGB{40, 50, 60}));
    for (int i = 2; i < 256; ++i) ASSERT_EQ(p.Image.Palette()[i], platform::RGB{}) << i;
}

TEST(DecodeBMP, MalformedLayoutsAreRefused) {
    struct Case {
        const char* Name;
        std::function<void(BmpSpec&)> Change;
        size_t CutTo = 0;  // 0: the whole file
    };
    const std::vector<Case> cases = {
        {"unknown compression", [](BmpSpec& s) { s.Compression = 4; }},
        {"unknown header size", [](BmpSpec& s) { s.HeaderSize = 44; }},
        {"15-bit pixels", [](BmpSpec& s) { s.Bits = 15; }},
        {"bit fields at 8 bits",
         [](BmpSpec& s) {
             s.Compression = 3, s.Masks = {0xE0, 0x1C, 0x03};
         }},
        {"unknown bit fields",
         [](BmpSpec& s) {
             s.Bits = 16, s.Compression = 3, s.Masks = {0x3F, 0x7C0, 0xF800};
         }},
        {"RLE8 at 4 bits",
         [](BmpSpec& s) {
             s.Bits = 4, s.Compression = 1, s.Pixels = {0, 1};
         }},
        {"RLE without its end mark",
         [](BmpSpec& s) {
             s.Compression = 1, s.Pixels = {1, 5, 0, 0};
         }},
        {"top-down RLE",
         [](BmpSpec& s) {
             s.H = -1, s.Compression = 1, s.Pixels = {0, 1};
         }},
        {"pixel outside the colour table",
         [](BmpSpec& s) {
             s.Pixels = {20, 0, 0, 0};
         }},
        {"colour table past the end", [](BmpSpec& s) { s.ColoursUsed = 200; }},
        {"file cut inside a long header", [](BmpSpec& s) { s.HeaderSize = 124; }, 60},
    };
    for (const Case& c : cases) {
        BmpSpec s = Indexed(1, 1);
        s.Pixels = {0, 0, 0, 0};
        c.Change(s);
        Bytes b = Build(s);
        if (c.CutTo) b.resize(c.CutTo);
        EXPECT_THROW(platform::DecodeBMP(b), platform::EPictureError) << c.Name;
    }
}
