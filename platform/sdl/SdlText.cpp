// SDL_ttf text blended onto Bitmaps of any depth.
#include "platform/sdl/SdlText.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <strings.h>

namespace platform::sdl {

namespace {

// Used when fontconfig has no answer (a machine without its configuration).
const char* const kFallbackFiles[] = {
    "/usr/share/fonts/truetype/liberation/LiberationSerif-Regular.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
};

// Face names the program asks for that have no free font of their own, and the face to ask
// for instead. Left to itself fontconfig answers "MS Sans Serif" with a far wider face, and
// window texts laid out for the small system face (the result window's caption and score,
// its " OK ") run into each other; Liberation Sans keeps close to its widths.
std::string StandIn(const std::string& family) {
    if (strcasecmp(family.c_str(), "MS Sans Serif") == 0) return "Liberation Sans";
    return family;
}

bool Readable(const std::string& path) {
    if (path.empty()) return false;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        std::fclose(f);
        return true;
    }
    return false;
}

}  // namespace

SdlTextRenderer::SdlTextRenderer(size_t cacheSize) : cacheSize_(std::max<size_t>(1, cacheSize)) {
    if (TTF_Init() == 0) ttfStarted_ = true;
}

SdlTextRenderer::~SdlTextRenderer() {
    index_.clear();
    lru_.clear();
    fonts_.clear();
    if (ttfStarted_) TTF_Quit();
}

std::string SdlTextRenderer::FontFileFor(const std::string& family) {
    auto it = files_.find(family);
    if (it != files_.end()) return it->second;
    std::string file;
    if (FcInit()) {
        const std::string asked = StandIn(family);
        FcPattern* pat = FcNameParse(reinterpret_cast<const FcChar8*>(asked.c_str()));
        if (pat) {
            FcConfigSubstitute(nullptr, pat, FcMatchPattern);
            FcDefaultSubstitute(pat);
            FcResult result = FcResultNoMatch;
            if (FcPattern* match = FcFontMatch(nullptr, pat, &result)) {
                FcChar8* path = nullptr;
                if (FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path)
                    file = reinterpret_cast<const char*>(path);
                FcPatternDestroy(match);
            }
            FcPatternDestroy(pat);
        }
    }
    if (!Readable(file)) {
        file.clear();
        for (const char* f : kFallbackFiles)
            if (Readable(f)) {
                file = f;
                break;
            }
    }
    files_[family] = file;
    return file;
}

TTF_Font* SdlTextRenderer::OpenFont(const FontSpec& font) {
    if (!ttfStarted_ || font.Size <= 0) return nullptr;
    FontKey key{font.Name, font.Size, font.SizeInPixels};
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second.get();
    const std::string file = FontFileFor(font.Name);
    TTF_Font* f = nullptr;
    if (!file.empty()) {
        // Points at 96 dpi, or a pixel em height (72 dpi makes one point one pixel).
        const unsigned dpi = font.SizeInPixels ? 72 : 96;
        f = TTF_OpenFontDPI(file.c_str(), font.Size, dpi, dpi);
    }
    fonts_.emplace(key, FontPtr(f));  // remembers failures too
    return f;
}

SDL_Surface* SdlTextRenderer::Render(std::string_view utf8, const FontSpec& font) {
    std::string key = font.Name;
    key += '\x1f';
    key += std::to_string(font.Size) + (font.SizeInPixels ? "px" : "pt");
    key += '\x1f';
    key += std::to_string((font.Color.R << 16) | (font.Color.G << 8) | font.Color.B);
    key += '\x1f';
    key.append(utf8);
    auto it = index_.find(key);
    if (it != index_.end()) {
        ++hits_;
        lru_.splice(lru_.begin(), lru_, it->second);
        return it->second->Surface.get();
    }
    TTF_Font* f = OpenFont(font);
    if (!f) return nullptr;
    const std::string text(utf8);
    SurfacePtr s(TTF_RenderUTF8_Blended(f, text.c_str(), SDL_Color{font.Color.R, font.Color.G, font.Color.B, 255}));
    if (!s) return nullptr;
    if (s->format->format != SDL_PIXELFORMAT_ARGB8888) {
        s.reset(SDL_ConvertSurfaceFormat(s.get(), SDL_PIXELFORMAT_ARGB8888, 0));
        if (!s) return nullptr;
    }
    SDL_Surface* shown = s.get();
    lru_.push_front(Rendered{key, std::move(s)});
    index_[key] = lru_.begin();
    while (lru_.size() > cacheSize_) {
        index_.erase(lru_.back().Key);
        lru_.pop_back();
    }
    return shown;
}

void SdlTextRenderer::DrawText(Bitmap& dst, int x, int y, std::string_view utf8, const FontSpec& font) {
    if (utf8.empty() || dst.Empty()) return;
    if (x >= dst.Width() || y >= dst.Height()) return;
    SDL_Surface* s = Render(utf8, font);
    if (!s) return;
    const int x0 = std::max(0, x), y0 = std::max(0, y);
    const int x1 = std::min(dst.Width(), x + s->w), y1 = std::min(dst.Height(), y + s->h);
    if (x0 >= x1 || y0 >= y1) return;

    const uint8_t* base = static_cast<const uint8_t*>(s->pixels);
    const uint32_t solid8 = dst.Bits() == 8 ? dst.MapRGB(font.Color) : 0;
    for (int py = y0; py < y1; ++py) {
        const uint32_t* src = reinterpret_cast<const uint32_t*>(base + static_cast<size_t>(py - y) * s->pitch);
        for (int px = x0; px < x1; ++px) {
            const uint32_t argb = src[px - x];
            const uint32_t a = argb >> 24;
            if (a == 0) continue;
            const uint32_t sr = (argb >> 16) & 0xFF, sg = (argb >> 8) & 0xFF, sb = argb & 0xFF;
            if (dst.Bits() == 32) {
                uint8_t* d = dst.Row(py) + px * 4;  // B, G, R, 0
                d[0] = static_cast<uint8_t>((sb * a + d[0] * (255 - a) + 127) / 255);
                d[1] = static_cast<uint8_t>((sg * a + d[1] * (255 - a) + 127) / 255);
                d[2] = static_cast<uint8_t>((sr * a + d[2] * (255 - a) + 127) / 255);
                continue;
            }
            if (dst.Bits() == 8) {  // paletted: no half tones, a threshold on coverage
                if (a >= 128) dst.SetPixel(px, py, solid8);
                continue;
            }
            RGB under = dst.GetRGB(dst.GetPixel(px, py));
            RGB out{static_cast<uint8_t>((sr * a + under.R * (255 - a) + 127) / 255),
                    static_cast<uint8_t>((sg * a + under.G * (255 - a) + 127) / 255),
                    static_cast<uint8_t>((sb * a + under.B * (255 - a) + 127) / 255)};
            dst.SetPixel(px, py, dst.MapRGB(out));
        }
    }
}

Size SdlTextRenderer::TextExtent(std::string_view utf8, const FontSpec& font) {
    TTF_Font* f = OpenFont(font);
    if (!f) return {};
    int w = 0, h = 0;
    const std::string text(utf8);
    if (TTF_SizeUTF8(f, text.c_str(), &w, &h) != 0) return {0, TTF_FontHeight(f)};
    return {w, h};
}

}  // namespace platform::sdl
