// The generated data: every file the start-up asks for, the carried sounds and pictures,
// the see-through colour rules, repeatable output and the player's own files left alone.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "game/assets/Assets.h"
#include "platform/Jpeg.h"
#include "platform/Picture.h"

namespace fs = std::filesystem;

namespace {

std::string Generator() {
#ifdef SB_SBGEN_PATH
    return SB_SBGEN_PATH;
#else
    const char* bin = std::getenv("SB_BINARY_DIR");
    return std::string(bin ? bin : ".") + "/tools/sbgen";
#endif
}

std::vector<uint8_t> ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& p, const std::string& s) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << s;
}

struct Decoded {
    int W = 0, H = 0;
    std::vector<uint8_t> Rgb;
};

bool DecodeJpeg(const uint8_t* data, size_t size, Decoded& out) {
    try {
        platform::JpegPixels p = platform::DecodeJpeg({data, size}, platform::JpegOrder::RGB);
        out.W = p.Width;
        out.H = p.Height;
        out.Rgb = std::move(p.Pixels);
        return true;
    } catch (const platform::EJpegError&) { return false; }
}

bool DecodeJpegFile(const fs::path& p, Decoded& out) {
    std::vector<uint8_t> b = ReadAll(p);
    return !b.empty() && DecodeJpeg(b.data(), b.size(), out);
}

// Why the last LoadBmp failed.
std::string BmpError;

bool LoadBmp(const fs::path& p, Decoded& out) {
    try {
        const std::vector<uint8_t> bytes = ReadAll(p);
        const platform::Picture pic = platform::DecodeBMP(bytes);
        out.W = pic.Width();
        out.H = pic.Height();
        out.Rgb.clear();
        for (int y = 0; y < out.H; ++y)
            for (int x = 0; x < out.W; ++x) {
                const platform::RGB c = pic.Image.GetRGB(pic.Image.GetPixel(x, y));
                out.Rgb.insert(out.Rgb.end(), {c.R, c.G, c.B});
            }
        return true;
    } catch (const platform::EPictureError& e) {
        BmpError = e.what();
        return false;
    }
}

int CountColour(const Decoded& d, uint8_t r, uint8_t g, uint8_t b) {
    int n = 0;
    for (size_t i = 0; i + 2 < d.Rgb.size(); i += 3) n += d.Rgb[i] == r && d.Rgb[i + 1] == g && d.Rgb[i + 2] == b;
    return n;
}

std::string N(const char* base, int n, const char* ext) { return std::string(base) + std::to_string(n) + ext; }

// The files the start-up checks, then those it loads without a check; paths below data/.
std::vector<std::string> ExpectedFiles() {
    std::vector<std::string> f;
    struct Group {
        const char* Base;
        const char* Ext;
        int Count;
    };
    const Group groups[] = {
        {"all_bmp/player", ".bmp", 3},  {"all_bmp/x/00", ".bmp", 3},   {"all_bmp/x/gad", ".bmp", 3},
        {"all_bmp/x/bss", ".bmp", 3},   {"all_bmp/x/bug", ".bmp", 3},  {"all_bmp/pus", ".bmp", 3},
        {"all_bmp/pula", ".bmp", 6},    {"all_bmp/x/sdsa", ".bmp", 3}, {"all_bmp/x/disp", ".bmp", 3},
        {"all_bmp/playerg", ".bmp", 3}, {"all_bmp/x/hunt", ".bmp", 3}, {"all_bmp/bb", ".bmp", 6},
        {"all_bmp/b", ".bmp", 9},       {"all_bmp/bo", ".bmp", 9},     {"all_jpg/rb", "x.jpg", 5},
        {"all_jpg/rm", "x.jpg", 6},     {"all_jpg/lvl", "x.jpg", 2},   {"all_jpg/q", "x.jpg", 1},
        {"all_jpg/au", "x.jpg", 1},     {"all_bmp/x/ufo", ".bmp", 3},  {"all_bmp/x/panel", ".bmp", 3},
    };
    for (const Group& g : groups)
        for (int n = 1; n <= g.Count; ++n) f.push_back(N(g.Base, n, g.Ext));
    for (int k = 1; k <= 4; ++k)
        for (int n = 1; n <= 3; ++n) f.push_back("all_bmp/bon" + std::to_string(k) + std::to_string(n) + ".bmp");
    for (const char* s : {"all_jpg/readx.jpg", "all_bmp/star.bmp", "all_jpg/intro.jpg", "all_mp3/music.mp3",
                          "all_qrx/res.qrx", "all_qrx/opt.qrx"})
        f.push_back(s);
    return f;
}

const std::string kScores = [] {
    std::string s;
    for (int i = 0; i < 10; ++i) s += "\xC8\xE3\xF0\xEE\xEA\r\n0\r\n";
    return s + "0\r\n";
}();
const std::string kOptions = "1\r\n0\r\n0\r\n32\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n";

// One generated data folder, made once for the whole suite; a second run checks that the
// generator repeats itself and leaves a player's edited files alone.
class GeneratedData : public ::testing::Test {
protected:
    static fs::path Root;
    static std::map<std::string, std::vector<uint8_t>> FirstRun;
    static std::string EditedScores, EditedOptions;
    static int FirstRc, SecondRc;

    static int RunGenerator(const fs::path& data) {
        std::string cmd = "\"" + Generator() + "\" --data \"" + data.string() + "\"";
        return std::system(cmd.c_str());
    }

    static void SetUpTestSuite() {
        char tmpl[] = "/tmp/sbdata-XXXXXX";
        Root = fs::path(mkdtemp(tmpl)) / "data";
        FirstRc = RunGenerator(Root);
        if (FirstRc != 0) return;
        for (const auto& e : fs::recursive_directory_iterator(Root))
            if (e.is_regular_file()) FirstRun[fs::relative(e.path(), Root).string()] = ReadAll(e.path());
        EditedScores = "\xC2\xE0\xF1\xFF\r\n500\r\n" + kScores.substr(kScores.find("\r\n0\r\n") + 5);
        EditedOptions = "0\r\n1\r\n1\r\n16\r\n1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n";
        WriteAll(Root / "all_qrx/res.qrx", EditedScores);
        WriteAll(Root / "all_qrx/opt.qrx", EditedOptions);
        SecondRc = RunGenerator(Root);
    }
    static void TearDownTestSuite() { fs::remove_all(Root.parent_path()); }

    void SetUp() override { ASSERT_EQ(FirstRc, 0) << "the generator failed: " << Generator(); }
};
fs::path GeneratedData::Root;
std::map<std::string, std::vector<uint8_t>> GeneratedData::FirstRun;
std::string GeneratedData::EditedScores, GeneratedData::EditedOptions;
int GeneratedData::FirstRc = -1, GeneratedData::SecondRc = -1;

TEST_F(GeneratedData, EveryFileTheStartUpNeedsExistsAndDecodes) {
    for (const std::string& rel : ExpectedFiles()) {
        SCOPED_TRACE(rel);
        ASSERT_TRUE(fs::is_regular_file(Root / rel));
        Decoded d;
        if (rel.ends_with(".bmp")) {
            EXPECT_TRUE(LoadBmp(Root / rel, d)) << BmpError;
        } else if (rel.ends_with(".jpg")) {
            EXPECT_TRUE(DecodeJpegFile(Root / rel, d));
        }
    }
}

TEST_F(GeneratedData, PicturesHaveTheirPlacesSizes) {
    struct Case {
        const char* File;
        int W, H;
    };
    const Case cases[] = {
        {"all_bmp/player1.bmp", 100, 60},  {"all_bmp/playerg2.bmp", 100, 60}, {"all_bmp/x/panel1.bmp", 800, 80},
        {"all_bmp/x/panel3.bmp", 800, 80}, {"all_jpg/q1x.jpg", 400, 600},     {"all_jpg/rm6x.jpg", 400, 600},
        {"all_jpg/rb4x.jpg", 400, 600},    {"all_jpg/lvl1x.jpg", 400, 600},   {"all_jpg/intro.jpg", 637, 477}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.File);
        Decoded d;
        ASSERT_TRUE(std::string(c.File).ends_with(".bmp") ? LoadBmp(Root / c.File, d)
                                                          : DecodeJpegFile(Root / c.File, d));
        EXPECT_EQ(d.W, c.W);
        EXPECT_EQ(d.H, c.H);
    }
    // Every enemy collides with the size of the first saucer: keep them all close to it.
    Decoded ufo;
    ASSERT_TRUE(LoadBmp(Root / "all_bmp/x/ufo1.bmp", ufo));
    for (const char* e : {"00", "disp", "bss", "sdsa", "hunt", "bug", "gad"}) {
        Decoded d;
        ASSERT_TRUE(LoadBmp(Root / (std::string("all_bmp/x/") + e + "2.bmp"), d));
        EXPECT_NEAR(d.W, ufo.W, ufo.W / 4) << e;
        EXPECT_NEAR(d.H, ufo.H, ufo.H / 4) << e;
    }
}

TEST_F(GeneratedData, SeeThroughColoursOnlyWhereMeant) {
    // Sprites sit on exact black, which the game skips when drawing.
    for (const char* f :
         {"all_bmp/player1.bmp", "all_bmp/x/ufo1.bmp", "all_bmp/b5.bmp", "all_bmp/pula1.bmp", "all_bmp/bon41.bmp"}) {
        Decoded d;
        ASSERT_TRUE(LoadBmp(Root / f, d));
        EXPECT_GT(CountColour(d, 0, 0, 0), 0) << f;
        EXPECT_LT(CountColour(d, 0, 0, 0), d.W * d.H) << f;
        EXPECT_EQ(d.Rgb[0] + d.Rgb[1] + d.Rgb[2], 0) << f << ": the corner belongs to the background";
    }
    // Drawn keyed on black but meant to be solid: no black pixel at all.
    for (const char* f : {"all_bmp/x/panel1.bmp", "all_bmp/x/panel2.bmp", "all_bmp/x/panel3.bmp",
                          "en/all_bmp/x/panel1.bmp", "en/all_bmp/x/panel2.bmp", "en/all_bmp/x/panel3.bmp"}) {
        Decoded d;
        ASSERT_TRUE(LoadBmp(Root / f, d));
        EXPECT_EQ(CountColour(d, 0, 0, 0), 0) << f;
    }
    for (const char* f : {"all_jpg/rb4x.jpg", "all_jpg/rb5x.jpg", "en/all_jpg/rb4x.jpg", "en/all_jpg/rb5x.jpg"}) {
        Decoded d;
        ASSERT_TRUE(DecodeJpegFile(Root / f, d));
        EXPECT_EQ(CountColour(d, 0, 0, 0), 0) << f;
    }
    // The sixth menu picture and the rules are keyed on RGB(4, 10, 104): no decoded pixel may have it.
    for (const char* f : {"all_jpg/rm6x.jpg", "all_jpg/readx.jpg", "en/all_jpg/rm6x.jpg", "en/all_jpg/readx.jpg"}) {
        Decoded d;
        ASSERT_TRUE(DecodeJpegFile(Root / f, d));
        EXPECT_EQ(CountColour(d, 4, 10, 104), 0) << f;
    }
}

TEST_F(GeneratedData, MusicIsAnMp3LoopOfAMinuteAt44100) {
    std::vector<uint8_t> mp3 = ReadAll(Root / "all_mp3/music.mp3");
    ASSERT_GT(mp3.size(), 200u);
    // First frame: MPEG-1 layer III at 44.1 kHz, carrying the encoder's tag with the frame count.
    ASSERT_EQ(mp3[0], 0xFF);
    ASSERT_EQ(mp3[1] & 0xFE, 0xFA);
    EXPECT_EQ((mp3[2] >> 2) & 3, 0) << "sample rate index of 44100 Hz";
    size_t tag = 4 + (((mp3[3] >> 6) == 3) ? 17 : 32);
    std::string id(mp3.begin() + tag, mp3.begin() + tag + 4);
    ASSERT_TRUE(id == "Info" || id == "Xing") << id;
    ASSERT_TRUE(mp3[tag + 7] & 1) << "frame count present";
    uint32_t frames = (mp3[tag + 8] << 24) | (mp3[tag + 9] << 16) | (mp3[tag + 10] << 8) | mp3[tag + 11];
    EXPECT_GE(frames * 1152.0 / 44100.0, 60.0);
}

TEST_F(GeneratedData, DefaultScoreTableAndOptions) {
    EXPECT_EQ(FirstRun.at("all_qrx/res.qrx"), std::vector<uint8_t>(kScores.begin(), kScores.end()));
    EXPECT_EQ(FirstRun.at("all_qrx/opt.qrx"), std::vector<uint8_t>(kOptions.begin(), kOptions.end()));
}

TEST_F(GeneratedData, SecondRunRepeatsItselfAndKeepsThePlayersFiles) {
    ASSERT_EQ(SecondRc, 0);
    size_t compared = 0;
    for (const auto& [rel, bytes] : FirstRun) {
        if (rel.starts_with("all_qrx")) continue;
        EXPECT_TRUE(ReadAll(Root / rel) == bytes) << rel << " differs between runs";
        ++compared;
    }
    EXPECT_EQ(compared, FirstRun.size() - 2);
    std::vector<uint8_t> scores = ReadAll(Root / "all_qrx/res.qrx"), options = ReadAll(Root / "all_qrx/opt.qrx");
    EXPECT_EQ(std::string(scores.begin(), scores.end()), EditedScores);
    EXPECT_EQ(std::string(options.begin(), options.end()), EditedOptions);
    // The folder holds nothing but the game's files (no leftovers of the safe writes).
    for (const auto& e : fs::recursive_directory_iterator(Root)) {
        if (!e.is_regular_file()) continue;
        EXPECT_TRUE(FirstRun.count(fs::relative(e.path(), Root).string())) << e.path();
    }
}

TEST_F(GeneratedData, CarriedAu1IsTheDataFoldersAuPicture) {
    for (const char* language : {"ru", "en"}) {
        assets::Blob au = assets::Au1Jpeg(language);
        ASSERT_NE(au.Data, nullptr);
        EXPECT_EQ(std::vector<uint8_t>(au.Data, au.Data + au.Size),
                  FirstRun.at(std::string(language) == "en" ? "en/all_jpg/au1x.jpg" : "all_jpg/au1x.jpg"))
            << language;
    }
}

// ---- both languages, in the build's data folder ----

fs::path BuiltData() {
    const char* data = std::getenv("SB_DATA_DIR");
    return data ? fs::path(data) : fs::path("data");
}

// The Russian game stays the game it was: its data folder and the pictures and sounds the
// program carries, byte for byte as pinned in the fixture (the players' tables aside).
TEST(BothLanguages, TheRussianDataAndCarriedFilesAreByteForByteAsPinned) {
    char tmpl[] = "/tmp/sbpin-XXXXXX";
    const fs::path top = mkdtemp(tmpl);
    fs::create_directories(top / "carried");
    fs::create_directory_symlink(fs::absolute(BuiltData()), top / "data");
    auto carry = [&](const std::string& name, assets::Blob b) {
        ASSERT_NE(b.Data, nullptr) << name;
        std::ofstream(top / "carried" / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(b.Data), static_cast<std::streamsize>(b.Size));
    };
    for (const std::string& name : assets::WaveNames()) carry(name, assets::Wave(name));
    carry("Au1", assets::Au1Jpeg());
    carry("ResultBackground", assets::ResultBackgroundJpeg());
    const char* source = std::getenv("SB_SOURCE_DIR");
    ASSERT_NE(source, nullptr);
    const std::string cmd = "cd '" + top.string() + "' && sha256sum --quiet --strict -c '" + source +
                            "/tests/fixtures/russian-data.sha256'";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << "the Russian data changed (sha256sum names the files above)";
    fs::remove_all(top);
}

// Every picture that carries words has its English version below en/, of its size, and
// nothing else is there; the carried pictures likewise.
TEST(BothLanguages, EveryPictureWithWordsHasItsEnglishVersionOfTheSameSize) {
    const fs::path root = BuiltData();
    std::vector<std::string> withWords = {"all_jpg/q1x.jpg",   "all_jpg/au1x.jpg",  "all_jpg/readx.jpg",
                                          "all_jpg/intro.jpg", "all_jpg/lvl1x.jpg", "all_jpg/lvl2x.jpg"};
    for (int n = 1; n <= 6; ++n) withWords.push_back(N("all_jpg/rm", n, "x.jpg"));
    for (int n = 1; n <= 5; ++n) withWords.push_back(N("all_jpg/rb", n, "x.jpg"));
    for (int n = 1; n <= 3; ++n) withWords.push_back(N("all_bmp/x/panel", n, ".bmp"));
    auto load = [](const fs::path& p, Decoded& d) {
        return p.extension() == ".bmp" ? LoadBmp(p, d) : DecodeJpegFile(p, d);
    };
    for (const std::string& rel : withWords) {
        SCOPED_TRACE(rel);
        Decoded ru, en;
        ASSERT_TRUE(load(root / rel, ru));
        ASSERT_TRUE(load(root / "en" / rel, en));
        EXPECT_EQ(en.W, ru.W);
        EXPECT_EQ(en.H, ru.H);
        EXPECT_NE(en.Rgb, ru.Rgb) << "the same picture in both languages";
    }
    size_t english = 0;
    for (const auto& e : fs::recursive_directory_iterator(root / "en")) english += e.is_regular_file();
    EXPECT_EQ(english, withWords.size()) << "en/ holds only the English versions";

    Decoded ru, en;
    ASSERT_TRUE(DecodeJpeg(assets::ResultBackgroundJpeg().Data, assets::ResultBackgroundJpeg().Size, ru));
    ASSERT_TRUE(DecodeJpeg(assets::ResultBackgroundJpeg("en").Data, assets::ResultBackgroundJpeg("en").Size, en));
    EXPECT_EQ(en.W, ru.W);
    EXPECT_EQ(en.H, ru.H);
    EXPECT_NE(en.Rgb, ru.Rgb);
    EXPECT_EQ(assets::Au1Jpeg("de").Data, assets::Au1Jpeg().Data) << "another language gets the game's own";
}

// ---- carried data ----

uint32_t U32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

TEST(CarriedSounds, MatchTheCatalogueByteForByte) {
    struct Case {
        const char* Name;
        uint32_t Rate, Bits, Data, ByteRate, Align, FmtSize;
    };
    const Case cases[] = {
        {"snd", 11025, 16, 24076, 22050, 2, 20},   {"Shoot", 22050, 8, 16542, 22050, 1, 16},
        {"Menu", 8000, 16, 6116, 16000, 2, 16},    {"shoot1", 22050, 8, 18216, 22050, 1, 16},
        {"shoot2", 22050, 8, 36432, 22050, 1, 16}, {"shoot3", 22050, 8, 36432, 22050, 1, 16},
        {"noclip", 22050, 8, 4135, 22050, 1, 16},
    };
    std::vector<std::string> names;
    for (const Case& c : cases) names.push_back(c.Name);
    EXPECT_EQ(assets::WaveNames(), names);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        assets::Blob w = assets::Wave(c.Name);
        ASSERT_NE(w.Data, nullptr);
        const uint8_t* p = w.Data;
        ASSERT_EQ(w.Size, 28u + c.FmtSize + c.Data) << "whole file, no pad byte";
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(p), 4), "RIFF");
        EXPECT_EQ(U32(p + 4), w.Size - 8);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(p + 8), 8), "WAVEfmt ");
        EXPECT_EQ(U32(p + 16), c.FmtSize);
        EXPECT_EQ(U16(p + 20), 1) << "PCM";
        EXPECT_EQ(U16(p + 22), 1) << "mono";
        EXPECT_EQ(U32(p + 24), c.Rate);
        EXPECT_EQ(U32(p + 28), c.ByteRate);
        EXPECT_EQ(U16(p + 32), c.Align);
        EXPECT_EQ(U16(p + 34), c.Bits);
        if (c.FmtSize == 20) {
            EXPECT_EQ(U16(p + 36), 24u);
            EXPECT_EQ(U16(p + 38), 0);
        }
        const uint8_t* data = p + 20 + c.FmtSize;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), 4), "data");
        EXPECT_EQ(U32(data + 4), c.Data);
        // Silent ends: the fades leave no click at the start or the end.
        if (c.Bits == 8) {
            EXPECT_NEAR(data[8], 128, 2);
            EXPECT_NEAR(data[8 + c.Data - 1], 128, 2);
        } else {
            EXPECT_NEAR(static_cast<int16_t>(U16(data + 8)), 0, 300);
            EXPECT_NEAR(static_cast<int16_t>(U16(data + 8 + c.Data - 2)), 0, 300);
        }
    }
    EXPECT_EQ(
        std::vector<uint8_t>(assets::Wave("shoot2").Data, assets::Wave("shoot2").Data + assets::Wave("shoot2").Size),
        std::vector<uint8_t>(assets::Wave("shoot3").Data, assets::Wave("shoot3").Data + assets::Wave("shoot3").Size));
    for (const char* unknown : {"shoot", "SND", "", "eff1"}) {
        EXPECT_EQ(assets::Wave(unknown).Data, nullptr) << unknown;
        EXPECT_EQ(assets::Wave(unknown).Size, 0u) << unknown;
    }
}

TEST(CarriedPictures, Au1AndTheResultBackgroundHaveTheirWindowsSizes) {
    Decoded au, result;
    ASSERT_TRUE(DecodeJpeg(assets::Au1Jpeg().Data, assets::Au1Jpeg().Size, au));
    EXPECT_EQ(au.W, 400);
    EXPECT_EQ(au.H, 600);
    ASSERT_TRUE(DecodeJpeg(assets::ResultBackgroundJpeg().Data, assets::ResultBackgroundJpeg().Size, result));
    EXPECT_EQ(result.W, 300);
    EXPECT_EQ(result.H, 150);
}

}  // namespace
