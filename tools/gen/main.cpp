// sbgen: makes the game's data folder, the data the program carries and a contact sheet.
//
//   sbgen --data DIR [--embed FILE.cpp] [--sheet FILE.jpg] [--waves DIR]
//
// Everything is drawn and synthesised here from fixed seeds, so every run gives the same bytes.
// The score table and the options file are written only when they do not exist yet.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <iostream>
#include <map>
#include <sstream>
#include <string>

#include "tools/gen/Catalogue.h"

namespace fs = std::filesystem;
using namespace gen;

namespace {

std::vector<uint8_t> ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    if (!in) return {};
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

fs::path TempBeside(const fs::path& p) {
    return p.parent_path() / ("." + p.filename().string() + ".tmp" + std::to_string(::getpid()));
}

void WriteTemp(const fs::path& tmp, const std::vector<uint8_t>& bytes) {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + tmp.string());
}

// Several builds may generate into the same folder at once: write beside and rename, and
// leave a file alone when it already holds these bytes (its time stamp stays).
void WriteFile(const fs::path& p, const std::vector<uint8_t>& bytes) {
    fs::create_directories(p.parent_path());
    if (fs::exists(p) && ReadAll(p) == bytes) return;
    fs::path tmp = TempBeside(p);
    WriteTemp(tmp, bytes);
    fs::rename(tmp, p);
}

// A player's file: created when missing, never replaced.
void CreateOnce(const fs::path& p, const std::vector<uint8_t>& bytes) {
    fs::create_directories(p.parent_path());
    if (fs::exists(p)) return;
    fs::path tmp = TempBeside(p);
    WriteTemp(tmp, bytes);
    // link() refuses to replace an existing file, so a file made meanwhile survives.
    int rc = ::link(tmp.c_str(), p.c_str());
    int err = errno;
    fs::remove(tmp);
    if (rc != 0 && err != EEXIST) throw std::runtime_error("cannot create " + p.string() + ": " + std::strerror(err));
}

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

std::vector<uint8_t> DefaultScores() {
    const std::string player = "\xC8\xE3\xF0\xEE\xEA";  // "Игрок" in Windows-1251
    std::string s;
    for (int i = 0; i < 10; ++i) s += player + "\r\n0\r\n";
    s += "0\r\n";
    return Bytes(s);
}

std::vector<uint8_t> DefaultOptions() {
    // FPS hidden, music on, sound on, 32 bits, a window, five unused zeros.
    return Bytes("1\r\n0\r\n0\r\n32\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");
}

// The menu's sixth entry and the rules are drawn with RGB(4, 10, 104) as see-through colour:
// nudge the picture until no decoded pixel has exactly that colour.
std::vector<uint8_t> JpegWithoutColour(int w, int h, std::vector<uint8_t> rgb, const uint8_t key[3]) {
    for (int round = 0; round < 40; ++round) {
        std::vector<uint8_t> jpeg = EncodeJPEG(w, h, rgb, 90);
        int dw = 0, dh = 0;
        std::vector<uint8_t> dec;
        if (!DecodeJPEG(jpeg, dw, dh, dec)) throw std::runtime_error("own JPEG does not decode");
        bool clean = true;
        for (int i = 0; i < dw * dh; ++i)
            if (dec[i * 3] == key[0] && dec[i * 3 + 1] == key[1] && dec[i * 3 + 2] == key[2]) {
                clean = false;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        int x = i % dw + dx, y = i / dw + dy;
                        if (x < 0 || y < 0 || x >= w || y >= h) continue;
                        uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
                        p[0] = static_cast<uint8_t>(std::min(255, p[0] + 4));
                        p[1] = static_cast<uint8_t>(std::min(255, p[1] + 3));
                    }
            }
        if (clean) return jpeg;
    }
    throw std::runtime_error("cannot keep the key colour out of a picture");
}

void Embed(const fs::path& p, const std::vector<std::pair<std::string, std::vector<uint8_t>>>& blobs) {
    std::ostringstream s;
    s << "// Made by sbgen: the sounds and pictures the program carries. Not to be edited.\n"
         "#include <cstddef>\n\nnamespace assets::detail {\n\n"
         "struct EmbeddedBlob {\n    const char* Name;\n    const unsigned char* Data;\n    std::size_t Size;\n};\n\n";
    for (size_t i = 0; i < blobs.size(); ++i) {
        s << "static const unsigned char kData" << i << "[] = {";
        const auto& b = blobs[i].second;
        for (size_t k = 0; k < b.size(); ++k) {
            if (k % 24 == 0) s << "\n";
            s << static_cast<int>(b[k]) << ",";
        }
        s << "\n};\n\n";
    }
    s << "extern const EmbeddedBlob kEmbedded[] = {\n";
    for (size_t i = 0; i < blobs.size(); ++i)
        s << "    {\"" << blobs[i].first << "\", kData" << i << ", " << blobs[i].second.size() << "},\n";
    s << "};\nextern const std::size_t kEmbeddedCount = " << blobs.size() << ";\n\n}  // namespace assets::detail\n";
    WriteFile(p, Bytes(s.str()));
}

// Every picture with its name, for people to look at.
void ContactSheet(const fs::path& p, const std::vector<Picture>& pics,
                  const std::map<std::string, std::vector<uint8_t>>& flat) {
    const int width = 1660, pad = 12, labelH = 18;
    FontSpec f{"DejaVu Sans", "Book", 12};
    struct Place {
        int X, Y;
    };
    std::vector<Place> places;
    int x = pad, y = pad + 34, rowH = 0;
    for (const Picture& pic : pics) {
        int w = std::max(pic.Img.W, TextWidth(f, pic.Name)), h = pic.Img.H + labelH;
        if (x + w + pad > width) {
            x = pad;
            y += rowH + pad;
            rowH = 0;
        }
        places.push_back({x, y});
        x += w + pad;
        rowH = std::max(rowH, h);
    }
    Image sheet(width, y + rowH + pad);
    sheet.FillAll(C8(70, 72, 84));
    Text(sheet, FontSpec{"DejaVu Sans", "Bold", 20}, pad, 8, "Starbreaker: every picture of the game",
         C8(255, 255, 255));
    for (size_t i = 0; i < pics.size(); ++i) {
        const Picture& pic = pics[i];
        Paste(sheet, FromRgb8(pic.Img.W, pic.Img.H, flat.at(pic.Name)), places[i].X, places[i].Y);
        Text(sheet, f, places[i].X, places[i].Y + pic.Img.H + 2, pic.Name, C8(230, 230, 240));
    }
    WriteFile(p, EncodeJPEG(sheet.W, sheet.H, ToRgb8(sheet), 88));
}

int Run(int argc, char** argv) {
    fs::path data, embed, sheet, waveDir, icons, defaults;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string a = argv[i];
        if (a == "--data") data = argv[i + 1];
        else if (a == "--embed") embed = argv[i + 1];
        else if (a == "--sheet") sheet = argv[i + 1];
        else if (a == "--waves") waveDir = argv[i + 1];
        else if (a == "--icons") icons = argv[i + 1];
        else if (a == "--defaults") defaults = argv[i + 1];
        else {
            std::cerr << "sbgen: unknown option " << a << "\n";
            return 2;
        }
    }
    if (data.empty() && embed.empty() && sheet.empty() && waveDir.empty() && icons.empty() && defaults.empty()) {
        std::cerr << "usage: sbgen --data DIR [--embed FILE.cpp] [--sheet FILE.jpg] [--waves DIR] [--icons DIR]"
                     " [--defaults DIR]\n";
        return 2;
    }

    // The music takes longest: make it on the other core meanwhile.
    auto music = std::async(std::launch::async, MakeMusic);

    std::vector<Picture> sprites = MakeSprites();
    std::map<std::string, Image> byName;
    for (const Picture& p : sprites) byName[p.Name] = p.Img;
    std::vector<Picture> screens = MakeScreens(byName, Lang::Ru);
    // Every picture with words once more in English: the screens and the head-up panels.
    std::vector<Picture> englishScreens = MakeScreens(byName, Lang::En);
    std::vector<Picture> englishPanels = MakeHudPanels(Lang::En);
    ShutdownFonts();

    std::map<std::string, std::vector<uint8_t>> files;  // data-folder path → bytes
    // name ("en/" before an English one) → the RGB pixels the game will see
    std::map<std::string, std::vector<uint8_t>> flat;
    auto addSprites = [&](const std::vector<Picture>& pics, const std::string& prefix) {
        for (const Picture& p : pics) {
            std::vector<uint8_t> rgb = ToSpriteRgb8(p.Img);
            files[p.File] = EncodeBMP24(p.Img.W, p.Img.H, rgb);
            flat[prefix + p.Name] = std::move(rgb);
        }
    };
    // The carried pictures, by the program's names for them.
    std::vector<std::pair<std::string, std::vector<uint8_t>>> carried;
    auto addScreens = [&](const std::vector<Picture>& pics, const std::string& prefix, const std::string& suffix) {
        const uint8_t key[3] = {4, 10, 104};
        for (const Picture& p : pics) {
            std::vector<uint8_t> rgb = ToRgb8(p.Img);
            std::vector<uint8_t> jpeg = (p.Name == "rm6" || p.Name == "read")
                                            ? JpegWithoutColour(p.Img.W, p.Img.H, rgb, key)
                                            : EncodeJPEG(p.Img.W, p.Img.H, rgb, 90);
            int w, h;
            DecodeJPEG(jpeg, w, h, flat[prefix + p.Name]);
            if (p.Name == "au1") carried.push_back({"Au1" + suffix, jpeg});
            if (p.Name == "result") carried.push_back({"ResultBackground" + suffix, jpeg});
            if (!p.File.empty()) files[p.File] = std::move(jpeg);
        }
    };
    addSprites(sprites, "");
    addScreens(screens, "", "");
    addSprites(englishPanels, "en/");
    addScreens(englishScreens, "en/", ".en");
    std::vector<WaveFile> waves = MakeWaves();
    files["all_mp3/music.mp3"] = music.get();

    if (!data.empty()) {
        for (const auto& [rel, bytes] : files) WriteFile(data / rel, bytes);
        CreateOnce(data / "all_qrx/res.qrx", DefaultScores());
        CreateOnce(data / "all_qrx/opt.qrx", DefaultOptions());
    }
    // What an installed game copies for each new player: always the fresh tables, never the
    // ones played in the data folder.
    if (!defaults.empty()) {
        WriteFile(defaults / "all_qrx/res.qrx", DefaultScores());
        WriteFile(defaults / "all_qrx/opt.qrx", DefaultOptions());
    }
    // The desktop's icon theme layout: hicolor/<n>x<n>/apps/<application id>.png.
    if (!icons.empty())
        for (int size : {16, 24, 32, 48, 64, 128, 256, 512}) {
            const std::string n = std::to_string(size);
            WriteFile(icons / "hicolor" / (n + "x" + n) / "apps" / "org.starbreaker.Starbreaker.png",
                      EncodePNG(ShipIcon(size)));
        }
    if (!embed.empty()) {
        std::vector<std::pair<std::string, std::vector<uint8_t>>> blobs;
        for (const WaveFile& w : waves) blobs.push_back({w.Name, w.Riff});
        for (auto& c : carried) blobs.push_back(std::move(c));
        Embed(embed, blobs);
    }
    if (!waveDir.empty())
        for (const WaveFile& w : waves) WriteFile(waveDir / (w.Name + ".wav"), w.Riff);
    if (!sheet.empty()) {
        std::vector<Picture> all = sprites;
        all.insert(all.end(), screens.begin(), screens.end());
        for (const auto* english : {&englishPanels, &englishScreens})
            for (Picture p : *english) {
                p.Name = "en/" + p.Name;
                all.push_back(std::move(p));
            }
        ContactSheet(sheet, all, flat);
        ShutdownFonts();
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "sbgen: " << e.what() << "\n";
        return 1;
    }
}
