// The game window's pictures and the orders the start-up checks and loads their files in.
#include "game/ImageTable.h"

#include <algorithm>
#include <array>

namespace {

using enum ImageFileUse;
using enum ImageSeries;

// The image list's entries in the order of the window's design data. The sprites are keyed on
// black; the menu, pause, level and information screens are drawn opaque or keyed on the
// colour of their backgrounds.
constexpr ImageEntry kImages[] = {
    {"Player1", "data\\all_bmp\\player1.bmp", RequiredLoaded, Player, true, clBlack, 0, 0},
    {"Player2", "data\\all_bmp\\player2.bmp", RequiredLoaded, Player, true, clBlack, 0, 0},
    {"Player3", "data\\all_bmp\\player3.bmp", RequiredLoaded, Player, true, clBlack, 0, 0},
    {"Ufo1", "data\\all_bmp\\x\\ufo1.bmp", Loaded, Ufo, true, clBlack, 0, 0},
    {"ufo2", "data\\all_bmp\\x\\ufo2.bmp", Loaded, Ufo, true, clBlack, 0, 0},
    {"ufo3", "data\\all_bmp\\x\\ufo3.bmp", Loaded, Ufo, true, clBlack, 0, 0},
    {"Star", "data\\all_bmp\\star.bmp", RequiredLoaded, Star, true, clBlack, 0, 0},
    {"Pula1", "data\\all_bmp\\pula1.bmp", RequiredLoaded, Pula, true, clBlack, 0, 0},
    {"Disp1", "data\\all_bmp\\x\\disp1.bmp", RequiredLoaded, Disp, true, clBlack, 0, 0},
    {"Disp2", "data\\all_bmp\\x\\disp2.bmp", RequiredLoaded, Disp, true, clBlack, 0, 0},
    {"Disp3", "data\\all_bmp\\x\\disp3.bmp", RequiredLoaded, Disp, true, clBlack, 0, 0},
    {"b1", "data\\all_bmp\\b1.bmp", RequiredLoaded, B, true, clBlack, 0, 0},
    {"b2", "data\\all_bmp\\b2.bmp", RequiredLoaded, B, true, clBlack, 0, 0},
    {"b3", "data\\all_bmp\\b3.bmp", RequiredLoaded, B, true, clBlack, 0, 0},
    {"b4", "data\\all_bmp\\b4.bmp", RequiredLoaded, B, true, clBlack, 0, 0},
    {"b5", "data\\all_bmp\\b5.bmp", RequiredLoaded, B, true, clBlack, 0, 0},
    {"b6", "data\\all_bmp\\b6.bmp", RequiredLoaded, B, true, clBlack, 0, 0},
    {"b7", "data\\all_bmp\\b7.bmp", RequiredLoaded, B, true, clBlack, 0, 0},
    {"b8", "data\\all_bmp\\b8.bmp", RequiredLoaded, B, true, clBlack, 0, 0},
    {"b9", "data\\all_bmp\\b9.bmp", RequiredLoaded, B, true, clBlack, 0, 0},
    {"Panel1", "data\\all_bmp\\x\\panel1.bmp", Loaded, Panel, true, clBlack, 0, 0},
    {"rm1", "data\\all_jpg\\rm1x.jpg", RequiredLoaded, Rm, false, 0x680A04, 0, 0},
    {"rm2", "data\\all_jpg\\rm2x.jpg", RequiredLoaded, Rm, false, 0x680A04, 0, 0},
    {"rm3", "data\\all_jpg\\rm3x.jpg", RequiredLoaded, Rm, false, 0x680A04, 0, 0},
    {"rm4", "data\\all_jpg\\rm4x.jpg", RequiredLoaded, Rm, false, 0x680A04, 0, 0},
    {"rm5", "data\\all_jpg\\rm5x.jpg", RequiredLoaded, Rm, false, 0x680A04, 0, 0},
    {"Q1", "data\\all_jpg\\q1x.jpg", RequiredLoaded, Q, false, 0x6F0504, 0, 0},
    {"rb1", "data\\all_jpg\\rb1x.jpg", RequiredLoaded, Rb, false, 0x660702, 0, 0},
    {"rb2", "data\\all_jpg\\rb2x.jpg", RequiredLoaded, Rb, false, 0x660702, 0, 0},
    {"rb3", "data\\all_jpg\\rb3x.jpg", RequiredLoaded, Rb, false, 0x660702, 0, 0},
    {"lvl1", "data\\all_jpg\\lvl1x.jpg", RequiredLoaded, Lvl, false, 0x950805, 0, 0},
    {"lvl2", "data\\all_jpg\\lvl2x.jpg", RequiredLoaded, Lvl, false, 0x770A03, 0, 0},
    {"Nex1", "data\\all_bmp\\x\\001.bmp", RequiredLoaded, Nex, true, clBlack, 0, 0},
    {"Nex2", "data\\all_bmp\\x\\002.bmp", RequiredLoaded, Nex, true, clBlack, 0, 0},
    {"Nex3", "data\\all_bmp\\x\\003.bmp", RequiredLoaded, Nex, true, clBlack, 0, 0},
    {"bb1", "data\\all_bmp\\bb1.bmp", RequiredLoaded, Bb, true, clBlack, 0, 0},
    {"bb2", "data\\all_bmp\\bb2.bmp", RequiredLoaded, Bb, true, clBlack, 0, 0},
    {"bb3", "data\\all_bmp\\bb3.bmp", RequiredLoaded, Bb, true, clBlack, 0, 0},
    {"bb4", "data\\all_bmp\\bb4.bmp", RequiredLoaded, Bb, true, clBlack, 0, 0},
    {"bb5", "data\\all_bmp\\bb5.bmp", RequiredLoaded, Bb, true, clBlack, 0, 0},
    {"bb6", "data\\all_bmp\\bb6.bmp", RequiredLoaded, Bb, true, clBlack, 0, 0},
    {"Pula2", "data\\all_bmp\\pula2.bmp", RequiredLoaded, Pula, true, clBlack, 0, 0},
    {"rm6", "data\\all_jpg\\rm6x.jpg", RequiredLoaded, Rm, true, 0x680A04, 0, 0},
    {"Au1", "data\\all_jpg\\au1x.jpg", Required, Au, false, 0x600703, 0, 0},
    {"Read", "data\\all_jpg\\readx.jpg", RequiredLoaded, Read, true, 0x680A04, 0, 0},
    {"Panel2", "data\\all_bmp\\x\\panel2.bmp", Loaded, Panel, true, clBlack, 0, 0},
    {"panel3", "data\\all_bmp\\x\\panel3.bmp", Loaded, Panel, true, clBlack, 0, 0},
    {"PUS1", "data\\all_bmp\\pus1.bmp", RequiredLoaded, Pus, true, clBlack, 0, 0},
    {"PUS2", "data\\all_bmp\\pus2.bmp", RequiredLoaded, Pus, true, clBlack, 0, 0},
    {"PUS3", "data\\all_bmp\\pus3.bmp", RequiredLoaded, Pus, true, clBlack, 0, 0},
    {"bss1", "data\\all_bmp\\x\\bss1.bmp", RequiredLoaded, Bss, true, clBlack, 0, 0},
    {"bss2", "data\\all_bmp\\x\\bss2.bmp", RequiredLoaded, Bss, true, clBlack, 0, 0},
    {"bss3", "data\\all_bmp\\x\\bss3.bmp", RequiredLoaded, Bss, true, clBlack, 0, 0},
    {"pula3", "data\\all_bmp\\pula3.bmp", RequiredLoaded, Pula, true, clBlack, 0, 0},
    {"rb4", "data\\all_jpg\\rb4x.jpg", RequiredLoaded, Rb, true, clBlack, 0, 0},
    {"sdsa1", "data\\all_bmp\\x\\sdsa1.bmp", RequiredLoaded, Sdsa, true, clBlack, 0, 0},
    {"sdsa2", "data\\all_bmp\\x\\sdsa2.bmp", RequiredLoaded, Sdsa, true, clBlack, 0, 0},
    {"sdsa3", "data\\all_bmp\\x\\sdsa3.bmp", RequiredLoaded, Sdsa, true, clBlack, 0, 0},
    {"pula4", "data\\all_bmp\\pula4.bmp", RequiredLoaded, Pula, true, clBlack, 0, 0},
    {"pula5", "data\\all_bmp\\pula5.bmp", RequiredLoaded, Pula, true, clBlack, 0, 0},
    {"hunt1", "data\\all_bmp\\x\\hunt1.bmp", RequiredLoaded, Hunt, true, clBlack, 0, 0},
    {"hunt2", "data\\all_bmp\\x\\hunt2.bmp", RequiredLoaded, Hunt, true, clBlack, 0, 0},
    {"hunt3", "data\\all_bmp\\x\\hunt3.bmp", RequiredLoaded, Hunt, true, clBlack, 0, 0},
    {"rb5", "data\\all_jpg\\rb5x.jpg", RequiredLoaded, Rb, true, clBlack, 0, 0},
    {"Bug1", "data\\all_bmp\\x\\bug1.bmp", RequiredLoaded, Bug, true, clBlack, 0, 0},
    {"Bug2", "data\\all_bmp\\x\\bug2.bmp", RequiredLoaded, Bug, true, clBlack, 0, 0},
    {"Bug3", "data\\all_bmp\\x\\bug3.bmp", RequiredLoaded, Bug, true, clBlack, 0, 0},
    {"bo1", "data\\all_bmp\\bo1.bmp", RequiredLoaded, Bo, true, clBlack, 0, 0},
    {"bo2", "data\\all_bmp\\bo2.bmp", RequiredLoaded, Bo, true, clBlack, 0, 0},
    {"bo3", "data\\all_bmp\\bo3.bmp", RequiredLoaded, Bo, true, clBlack, 0, 0},
    {"bo4", "data\\all_bmp\\bo4.bmp", RequiredLoaded, Bo, true, clBlack, 0, 0},
    {"bo5", "data\\all_bmp\\bo5.bmp", RequiredLoaded, Bo, true, clBlack, 0, 0},
    {"bo6", "data\\all_bmp\\bo6.bmp", RequiredLoaded, Bo, true, clBlack, 0, 0},
    {"bo7", "data\\all_bmp\\bo7.bmp", RequiredLoaded, Bo, true, clBlack, 0, 0},
    {"bo8", "data\\all_bmp\\bo8.bmp", RequiredLoaded, Bo, true, clBlack, 0, 0},
    {"bo9", "data\\all_bmp\\bo9.bmp", RequiredLoaded, Bo, true, clBlack, 0, 0},
    {"gad1", "data\\all_bmp\\x\\gad1.bmp", RequiredLoaded, Gad, true, clBlack, 0, 0},
    {"gad2", "data\\all_bmp\\x\\gad2.bmp", RequiredLoaded, Gad, true, clBlack, 0, 0},
    {"gad3", "data\\all_bmp\\x\\gad3.bmp", RequiredLoaded, Gad, true, clBlack, 0, 0},
    {"bos1", nullptr, Listed, None, true, clBlack, 0, 0},
    {"bos2", nullptr, Listed, None, true, clBlack, 0, 0},
    {"bos3", nullptr, Listed, None, true, clBlack, 0, 0},
    {"pula6", "data\\all_bmp\\pula6.bmp", RequiredLoaded, Pula, true, clBlack, 0, 0},
    {"pula7", nullptr, Listed, None, true, clBlack, 0, 0},
    {"playerg1", "data\\all_bmp\\playerg1.bmp", RequiredLoaded, PlayerG, true, clBlack, 0, 0},
    {"playerg2", "data\\all_bmp\\playerg2.bmp", RequiredLoaded, PlayerG, true, clBlack, 0, 0},
    {"playerg3", "data\\all_bmp\\playerg3.bmp", RequiredLoaded, PlayerG, true, clBlack, 0, 0},
    {"bon11", "data\\all_bmp\\bon11.bmp", Loaded, Bon1, true, clBlack, 0, 0},
    {"bon12", "data\\all_bmp\\bon12.bmp", Loaded, Bon1, true, clBlack, 0, 0},
    {"bon13", "data\\all_bmp\\bon13.bmp", Loaded, Bon1, true, clBlack, 0, 0},
    {"bon21", "data\\all_bmp\\bon21.bmp", Loaded, Bon2, true, clBlack, 0, 0},
    {"bon22", "data\\all_bmp\\bon22.bmp", Loaded, Bon2, true, clBlack, 0, 0},
    {"bon23", "data\\all_bmp\\bon23.bmp", Loaded, Bon2, true, clBlack, 0, 0},
    {"bon31", "data\\all_bmp\\bon31.bmp", Loaded, Bon3, true, clBlack, 0, 0},
    {"bon32", "data\\all_bmp\\bon32.bmp", Loaded, Bon3, true, clBlack, 0, 0},
    {"bon33", "data\\all_bmp\\bon33.bmp", Loaded, Bon3, true, clBlack, 0, 0},
    {"bon41", "data\\all_bmp\\bon41.bmp", Loaded, Bon4, true, clBlack, 0, 0},
    {"bon42", "data\\all_bmp\\bon42.bmp", Loaded, Bon4, true, clBlack, 0, 0},
    {"bon43", "data\\all_bmp\\bon43.bmp", Loaded, Bon4, true, clBlack, 0, 0},
};

// The families the start-up checks, in its order.
constexpr ImageSeries kCheckOrder[] = {
    Player, Nex, Gad, Bss, Bug, Pus, Pula, Sdsa, Disp, PlayerG, Hunt, Bb, B, Bo, Rb, Rm, Lvl, Q, Au, Read, Star,
};

struct LoadStep {
    char Name;
    int Progress;                          // per round
    std::array<ImageSeries, 15> Families;  // in loading order within a round; None pads
};
constexpr LoadStep kLoadSteps[] = {
    {'A', 10, {Bon1, Bon2, Bon3, Bon4, Sdsa, PlayerG, Gad, Player, Ufo, Bss, Disp, Nex, Pus, Hunt, Bug}},
    {'B', 2, {Rm}},
    {'C', 2, {Bb}},
    {'D', 2, {Pula}},
    {'E', 2, {Lvl}},
    {'F', 2, {Bo, B}},
    {'G', 2, {Star}},
    {'H', 2, {Panel}},
    {'I', 1, {Rb}},
    {'J', 6, {Q, Read}},
};

bool IsLoaded(const ImageEntry& e) { return e.Use == Loaded || e.Use == RequiredLoaded; }

}  // namespace

std::span<const ImageEntry> ImageTable() { return kImages; }

std::vector<const ImageEntry*> RequiredImages() {
    std::vector<const ImageEntry*> out;
    for (ImageSeries series : kCheckOrder)
        for (const ImageEntry& e : kImages)
            if (e.Series == series && (e.Use == Required || e.Use == RequiredLoaded)) out.push_back(&e);
    return out;
}

std::vector<ImageLoadRound> ImageLoadRounds() {
    std::vector<ImageLoadRound> out;
    for (const LoadStep& step : kLoadSteps) {
        // The step's families in loading order, each with its loaded entries in table order.
        std::vector<std::vector<const ImageEntry*>> families;
        size_t rounds = 0;
        for (ImageSeries series : step.Families) {
            if (series == None) continue;
            std::vector<const ImageEntry*>& f = families.emplace_back();
            for (const ImageEntry& e : kImages)
                if (e.Series == series && IsLoaded(e)) f.push_back(&e);
            rounds = std::max(rounds, f.size());
        }
        for (size_t n = 0; n < rounds; ++n) {
            ImageLoadRound& round = out.emplace_back(ImageLoadRound{step.Name, step.Progress, {}});
            for (const auto& f : families)
                if (n < f.size()) round.Entries.push_back(f[n]);
        }
    }
    return out;
}
