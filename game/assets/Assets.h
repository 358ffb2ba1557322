// The sounds and pictures the program carries inside itself, made at build time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace assets {

struct Blob {
    const uint8_t* Data = nullptr;
    size_t Size = 0;
};

// The complete RIFF WAVE file of a carried sound; an empty Blob for an unknown name.
// Names are matched exactly: "snd", "Shoot", "Menu", "shoot1", "shoot2", "shoot3", "noclip".
Blob Wave(std::string_view name);
// The seven names in catalogue order.
const std::vector<std::string>& WaveNames();
// The pictures carry words: each comes in the game's own Russian ("ru") and in English ("en");
// another language code gets the Russian one.
// The "Au1" picture (400 × 600 JPEG).
Blob Au1Jpeg(std::string_view language = "ru");
// The result window's background (300 × 150 JPEG).
Blob ResultBackgroundJpeg(std::string_view language = "ru");

}  // namespace assets
