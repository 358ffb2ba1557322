#include "game/assets/Assets.h"

namespace assets {

namespace detail {
struct EmbeddedBlob {
    const char* Name;
    const unsigned char* Data;
    std::size_t Size;
};
extern const EmbeddedBlob kEmbedded[];
extern const std::size_t kEmbeddedCount;
}  // namespace detail

namespace {
Blob Find(std::string_view name) {
    for (std::size_t i = 0; i < detail::kEmbeddedCount; ++i)
        if (name == detail::kEmbedded[i].Name) return {detail::kEmbedded[i].Data, detail::kEmbedded[i].Size};
    return {};
}
}  // namespace

const std::vector<std::string>& WaveNames() {
    static const std::vector<std::string> names = {"snd", "Shoot", "Menu", "shoot1", "shoot2", "shoot3", "noclip"};
    return names;
}

Blob Wave(std::string_view name) {
    for (const std::string& n : WaveNames())
        if (n == name) return Find(name);
    return {};
}

Blob Au1Jpeg() { return Find("Au1"); }
Blob ResultBackgroundJpeg() { return Find("ResultBackground"); }

}  // namespace assets
