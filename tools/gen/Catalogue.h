// What the data generator makes: the pictures, the sounds and the music of the game.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tools/gen/Raster.h"

namespace gen {

// The language of a picture's words: the game's own Russian, or English (whose pictures go
// to the data folder's en/, beside the Russian ones, under the same names).
enum class Lang { Ru, En };
inline std::string LangFolder(Lang lang) { return lang == Lang::En ? "en/" : ""; }

// One picture of the data folder (or carried with the program).
struct Picture {
    std::string Name;  // entry name, as the game looks it up
    std::string File;  // path below the data folder, lower case; empty for pictures only carried
    Image Img;
    bool Jpeg = false;
};

// Pictures drawn on black, which the game treats as see-through: ship, enemies, shots,
// explosions, bonuses, the star and the head-up panels.
std::vector<Picture> MakeSprites();
// The head-up panels ("panel1" to "panel3") with their labels in the language.
std::vector<Picture> MakeHudPanels(Lang lang);
// The program's icon: the ship on a tile of deep space, size × size pixels.
Image ShipIcon(int size);
// The menu and information screens, the level-complete pair, the loading picture and the
// result window's background, with the sprites at hand for their illustrations.
std::vector<Picture> MakeScreens(const std::map<std::string, Image>& sprites, Lang lang);

// The seven sound effects as complete RIFF WAVE files, in catalogue order.
struct WaveFile {
    std::string Name;
    std::vector<uint8_t> Riff;
};
std::vector<WaveFile> MakeWaves();

// The music: a seamless loop, MP3 at 44.1 kHz.
std::vector<uint8_t> MakeMusic();

}  // namespace gen
