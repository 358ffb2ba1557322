// BMP and JPEG decoding.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include <unistd.h>

#include "platform/Files.h"
#include "platform/Jpeg.h"
#include "platform/Picture.h"

namespace {

void Put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(x & 0xFF);
    v.push_back((x >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}

// A BMP (BI_RGB) of the given depth; pixel(x, y) gives the raw value (palette index,
// 555 word, 0xRRGGBB); rows bottom-up unless topDown.
template <typename F>
std::vector<uint8_t> MakeBmp(int w, int h, int bits, const std::vector<platform::RGB>& palette, F pixel,
                             bool topDown = false) {
    const int rowBytes = ((w * bits + 31) / 32) * 4;
    const int palBytes = static_cast<int>(palette.size()) * 4;
    const int offset = 14 + 40 + palBytes;
    std::vector<uint8_t> v;
    v.push_back('B');
    v.push_back('M');
    Put32(v, static_cast<uint32_t>(offset + rowBytes * h));
    Put32(v, 0);
    Put32(v, static_cast<uint32_t>(offset));
    Put32(v, 40);
    Put32(v, static_cast<uint32_t>(w));
    Put32(v, static_cast<uint32_t>(topDown ? -h : h));
    Put16(v, 1);
    Put16(v, static_cast<uint32_t>(bits));
    Put32(v, 0);  // BI_RGB
    Put32(v, static_cast<uint32_t>(rowBytes * h));
    Put32(v, 2835);
    Put32(v, 2835);
    Put32(v, static_cast<uint32_t>(palette.size()));
    Put32(v, 0);
    for (const auto& c : palette) {
        v.push_back(c.B);
        v.push_back(c.G);
        v.push_back(c.R);
        v.push_back(0);
    }
    for (int r = 0; r < h; ++r) {
        const int y = topDown ? r : h - 1 - r;
        std::vector<uint8_t> row(static_cast<size_t>(rowBytes), 0);
        for (int x = 0; x < w; ++x) {
            const uint32_t p = pixel(x, y);
            switch (bits) {
                case 1: row[x / 8] |= static_cast<uint8_t>((p & 1) << (7 - x % 8)); break;
                case 4: row[x / 2] |= static_cast<uint8_t>((p & 15) << (x % 2 ? 0 : 4)); break;
                case 8: row[x] = static_cast<uint8_t>(p); break;
                case 16:
                    row[x * 2] = p & 0xFF;
                    row[x * 2 + 1] = (p >> 8) & 0xFF;
                    break;
                case 24:
                    row[x * 3] = p & 0xFF;
                    row[x * 3 + 1] = (p >> 8) & 0xFF;
                    row[x * 3 + 2] = (p >> 16) & 0xFF;
                    break;
                default:
                    row[x * 4] = p & 0xFF;
                    row[x * 4 + 1] = (p >> 8) & 0xFF;
                    row[x * 4 + 2] = (p >> 16) & 0xFF;
                    row[x * 4 + 3] = 0;
                    break;
            }
        }
        v.insert(v.end(), row.begin(), row.end());
    }
    return v;
}

std::vector<uint8_t> EncodeJpeg(int w, int h, int quality) {
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const bool left = x < w / 2;  // red | blue
            uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
            p[0] = left ? 255 : 0;
            p[1] = 0;
            p[2] = left ? 0 : 255;
        }
    return platform::EncodeJpeg(w, h, rgb, {.Quality = quality});
}

bool Near(platform::RGB a, platform::RGB b, int tol) {
    return std::abs(a.R - b.R) <= tol && std::abs(a.G - b.G) <= tol && std::abs(a.B - b.B) <= tol;
}

}  // namespace

TEST(DecodeBMP, IndexedDepthsKeepIndicesAndColourTable) {
    for (int bits : {1, 4, 8}) {
        SCOPED_TRACE(bits);
        const int n = 1 << bits;
        std::vector<platform::RGB> pal;
        for (int i = 0; i < n; ++i)
            pal.push_back({static_cast<uint8_t>(i * 7), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 3)});
        auto bytes = MakeBmp(5, 3, bits, pal, [n](int x, int y) { return static_cast<uint32_t>((x + 2 * y) % n); });
        platform::Picture p = platform::DecodeBMP(bytes);
        ASSERT_EQ(p.Width(), 5);
        ASSERT_EQ(p.Height(), 3);
        ASSERT_EQ(p.Image.Bits(), 8);
        EXPECT_TRUE(p.HasPalette);
        EXPECT_TRUE(p.IndexedDIB);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x) EXPECT_EQ(p.Image.GetPixel(x, y), static_cast<uint32_t>((x + 2 * y) % n));
        for (int i = 0; i < n; ++i) EXPECT_EQ(p.Image.Palette()[i], pal[i]) << i;
    }
}

TEST(DecodeBMP, DirectColourDepths) {
    // (x, y) → colour; components 0 or 255 so every depth carries them exactly.
    auto colour = [](int x, int y) {
        return platform::RGB{static_cast<uint8_t>(x % 2 ? 255 : 0), static_cast<uint8_t>(y % 2 ? 255 : 0),
                             static_cast<uint8_t>((x + y) % 3 ? 255 : 0)};
    };
    for (int bits : {16, 24, 32}) {
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(testing::Message() << bits << (topDown ? " top-down" : ""));
            auto bytes = MakeBmp(
                7, 4, bits, {},
                [&](int x, int y) {
                    platform::RGB c = colour(x, y);
                    if (bits == 16) return static_cast<uint32_t>(((c.R >> 3) << 10) | ((c.G >> 3) << 5) | (c.B >> 3));
                    return static_cast<uint32_t>((c.R << 16) | (c.G << 8) | c.B);
                },
                topDown);
            platform::Picture p = platform::DecodeBMP(bytes);
            ASSERT_EQ(p.Width(), 7);
            ASSERT_EQ(p.Height(), 4);
            EXPECT_EQ(p.Image.Bits(), bits == 32 ? 32 : 24);
            EXPECT_FALSE(p.HasPalette);
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 7; ++x)
                    EXPECT_EQ(p.Image.GetRGB(p.Image.GetPixel(x, y)), colour(x, y)) << x << "," << y;
        }
    }
}

TEST(DecodeBMP, DamagedFilesRaise) {
    auto good = MakeBmp(4, 4, 24, {}, [](int, int) { return 0x123456u; });
    std::vector<uint8_t> truncated(good.begin(), good.begin() + 30);
    std::vector<uint8_t> notBmp = {'X', 'Y', 1, 2, 3};
    EXPECT_THROW(platform::DecodeBMP(truncated), platform::EPictureError);
    EXPECT_THROW(platform::DecodeBMP(notBmp), platform::EPictureError);
    EXPECT_THROW(platform::DecodeBMP({}), platform::EPictureError);
}

TEST(DecodeJPEG, RoundTrip) {
    auto bytes = EncodeJpeg(64, 32, 95);
    platform::Picture p = platform::DecodeJPEG(bytes);
    ASSERT_EQ(p.Width(), 64);
    ASSERT_EQ(p.Height(), 32);
    EXPECT_EQ(p.Image.Bits(), 24);
    EXPECT_FALSE(p.HasPalette);
    EXPECT_TRUE(Near(p.Image.GetRGB(p.Image.GetPixel(8, 16)), {255, 0, 0}, 12));
    EXPECT_TRUE(Near(p.Image.GetRGB(p.Image.GetPixel(56, 16)), {0, 0, 255}, 12));
    // By content as well.
    EXPECT_EQ(platform::DecodePicture(bytes).Width(), 64);
}

TEST(DecodeJPEG, GarbageAndTruncatedDataRaiseAndSayWhy) {
    auto good = EncodeJpeg(64, 64, 90);
    std::vector<uint8_t> garbage = {0xFF, 0xD8};
    for (int i = 0; i < 500; ++i) garbage.push_back(static_cast<uint8_t>(i * 37 + 11));
    std::vector<uint8_t> headerOnly(good.begin(), good.begin() + 40);
    std::vector<uint8_t> cutInData(good.begin(), good.begin() + static_cast<long>(good.size() * 2 / 3));
    for (const auto* bad : {&garbage, &headerOnly, &cutInData}) {
        try {
            platform::DecodeJPEG(*bad);
            ADD_FAILURE() << "decoded " << bad->size() << " bytes";
        } catch (const platform::EPictureError& e) {
            EXPECT_NE(std::string(e.what()).find("JPEG"), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(platform::DecodeJPEG({}), platform::EPictureError);
    std::vector<uint8_t> text = {'h', 'e', 'l', 'l', 'o'};
    EXPECT_THROW(platform::DecodePicture(text), platform::EPictureError);
}

TEST(LoadPicture, ResolvesProgramNamesAndDetectsTheFormatByContent) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / ("sb_picture_test_" + std::to_string(::getpid()));
    fs::create_directories(dir / "Data" / "All_bmp");
    auto write = [](const fs::path& p, const std::vector<uint8_t>& b) {
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), static_cast<long>(b.size()));
    };
    write(dir / "Data" / "All_bmp" / "Star.BMP", MakeBmp(3, 2, 24, {}, [](int, int) { return 0xFFFFFFu; }));
    write(dir / "Data" / "All_bmp" / "odd.bmp", EncodeJpeg(16, 16, 90));  // a JPEG under a .bmp name
    write(dir / "Data" / "All_bmp" / "bad.jpg", {0xFF, 0xD8, 0xFF, 0x00});

    const std::string base = dir.string() + "\\data\\all_bmp\\";
    EXPECT_EQ(platform::LoadPicture(base + "star.bmp").Width(), 3);
    EXPECT_EQ(platform::LoadPicture(base + "ODD.bmp").Width(), 16);
    EXPECT_THROW(platform::LoadPicture(base + "missing.bmp"), platform::EInOutError);
    try {
        platform::LoadPicture(base + "bad.jpg");
        ADD_FAILURE() << "decoded";
    } catch (const platform::EPictureError& e) {
        EXPECT_NE(std::string(e.what()).find("bad.jpg"), std::string::npos) << e.what();
    }
    fs::remove_all(dir);
}
