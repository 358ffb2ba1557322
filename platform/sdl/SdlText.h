// Text on Bitmaps through SDL_ttf, with faces found by fontconfig.
#pragma once

#include <list>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <unordered_map>

#include "platform/Platform.h"
#include "platform/sdl/SdlPtrs.h"

namespace platform::sdl {

class SdlTextRenderer : public ITextRenderer {
public:
    // cacheSize: how many rendered strings are kept (the HUD redraws the same ones).
    explicit SdlTextRenderer(size_t cacheSize = 128);
    ~SdlTextRenderer() override;
    SdlTextRenderer(const SdlTextRenderer&) = delete;
    SdlTextRenderer& operator=(const SdlTextRenderer&) = delete;

    void DrawText(Bitmap& dst, int x, int y, std::string_view utf8, const FontSpec& font) override;
    Size TextExtent(std::string_view utf8, const FontSpec& font) override;

    // The font file fontconfig answers for a family name ("" when none).
    std::string FontFileFor(const std::string& family);
    size_t CachedStrings() const { return lru_.size(); }
    size_t CacheHits() const { return hits_; }

private:
    using FontKey = std::tuple<std::string, int, bool>;  // family, size, size in pixels
    struct Rendered {
        std::string Key;
        SurfacePtr Surface;
    };

    TTF_Font* OpenFont(const FontSpec& font);
    SDL_Surface* Render(std::string_view utf8, const FontSpec& font);

    size_t cacheSize_;
    bool ttfStarted_ = false;
    std::map<std::string, std::string> files_;
    std::map<FontKey, FontPtr> fonts_;
    std::list<Rendered> lru_;  // most recent first
    std::unordered_map<std::string, std::list<Rendered>::iterator> index_;
    size_t hits_ = 0;
};

}  // namespace platform::sdl
