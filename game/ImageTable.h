// The game window's pictures, described once: the image list's entries in the order of the
// window's design data, the file each one comes from and how it is drawn. The image list,
// the start-up's file checks and its loading steps all follow from this table.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "engine/Colors.h"

// A numbered family of pictures ("rm1" to "rm6"): the start-up checks and loads the files
// family by family.
enum class ImageSeries : uint8_t {
    None,
    Player,
    PlayerG,
    Ufo,
    Nex,
    Disp,
    Bss,
    Sdsa,
    Hunt,
    Bug,
    Gad,
    B,
    Bo,
    Bb,
    Pula,
    Pus,
    Bon1,
    Bon2,
    Bon3,
    Bon4,
    Star,
    Panel,
    Rm,
    Rb,
    Lvl,
    Q,
    Au,
    Read,
};

// What the start-up does with an entry's file.
enum class ImageFileUse : uint8_t {
    Listed,          // no file: the entry is only in the list
    Loaded,          // loaded without a check beforehand (a missing one ends the start-up with an error)
    Required,        // checked, never loaded: the program carries the picture
    RequiredLoaded,  // checked, then loaded
};

struct ImageEntry {
    const char* Name;  // as the design data spells it (look-ups ignore the letter case)
    const char* File;  // the program's name of its file; nullptr for none
    ImageFileUse Use;
    ImageSeries Series;
    bool Transparent;
    TColor TransparentColor;
    int PatternWidth, PatternHeight;  // 0: the whole picture is one pattern
};

// Every entry, in the image list's order.
std::span<const ImageEntry> ImageTable();

// The entries whose files the start-up checks before anything else, in the order it checks
// them: family by family, each family in the table's order.
std::vector<const ImageEntry*> RequiredImages();

// One round of a loading step: one picture from each of the step's families (all the first
// ones, then all the second ones, ...), after which the loading bar moves on.
struct ImageLoadRound {
    char Step;     // 'A' to 'J'; the start-up opens the music between steps I and J
    int Progress;  // what the loading bar moves on by after the round
    std::vector<const ImageEntry*> Entries;
};

// Every round of every loading step, in loading order.
std::vector<ImageLoadRound> ImageLoadRounds();
