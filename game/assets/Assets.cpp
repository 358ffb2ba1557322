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

namespace {
// The English picture is carried as "<name>.en".
Blob Picture(const std::string& name, std::string_view language) {
    if (language != "ru")
        if (Blob b = Find(name + "." + std::string(language)); b.Data) return b;
    return Find(name);
}
}  // namespace

Blob Au1Jpeg(std::string_view language) { return Picture("Au1", language); }
Blob ResultBackgroundJpeg(std::string_view language) { return Picture("ResultBackground", language); }

}  // namespace assets
