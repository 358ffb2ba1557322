#include "tools/gen/Raster.h"

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>
#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>

#include "platform/Jpeg.h"
#include "platform/sdl/SdlPtrs.h"

namespace gen {

namespace {
float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
float Len(float x, float y) { return std::sqrt(x * x + y * y); }
}  // namespace

Sdf Circle(float cx, float cy, float r) {
    return [=](float x, float y) { return Len(x - cx, y - cy) - r; };
}

Sdf Ellipse(float cx, float cy, float rx, float ry) {
    return [=](float x, float y) {
        float px = x - cx, py = y - cy;
        float k0 = Len(px / rx, py / ry);
        float k1 = Len(px / (rx * rx), py / (ry * ry));
        if (k1 < 1e-6f) return -std::min(rx, ry);
        return k0 * (k0 - 1) / k1;
    };
}

Sdf RoundBox(float x0, float y0, float x1, float y1, float r) {
    float cx = (x0 + x1) / 2, cy = (y0 + y1) / 2, hx = (x1 - x0) / 2 - r, hy = (y1 - y0) / 2 - r;
    return [=](float x, float y) {
        float qx = std::fabs(x - cx) - hx, qy = std::fabs(y - cy) - hy;
        return Len(std::max(qx, 0.f), std::max(qy, 0.f)) + std::min(std::max(qx, qy), 0.f) - r;
    };
}

Sdf Capsule(float ax, float ay, float bx, float by, float r) {
    return [=](float x, float y) {
        float pax = x - ax, pay = y - ay, bax = bx - ax, bay = by - ay;
        float dd = bax * bax + bay * bay;
        float h = dd > 0 ? Clamp01((pax * bax + pay * bay) / dd) : 0;
        return Len(pax - bax * h, pay - bay * h) - r;
    };
}

Sdf Polygon(std::vector<std::pair<float, float>> v) {
    return [v = std::move(v)](float px, float py) {
        size_t n = v.size();
        float d = (px - v[0].first) * (px - v[0].first) + (py - v[0].second) * (py - v[0].second);
        float s = 1;
        for (size_t i = 0, j = n - 1; i < n; j = i, ++i) {
            float ex = v[j].first - v[i].first, ey = v[j].second - v[i].second;
            float wx = px - v[i].first, wy = py - v[i].second;
            float h = Clamp01((wx * ex + wy * ey) / (ex * ex + ey * ey));
            float bx = wx - ex * h, by = wy - ey * h;
            d = std::min(d, bx * bx + by * by);
            bool c1 = py >= v[i].second, c2 = py<v[j].second, c3 = ex * wy> ey * wx;
            if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
        }
        return s * std::sqrt(d);
    };
}

Sdf Union(Sdf a, Sdf b) {
    return [=](float x, float y) { return std::min(a(x, y), b(x, y)); };
}
Sdf Subtract(Sdf a, Sdf b) {
    return [=](float x, float y) { return std::max(a(x, y), -b(x, y)); };
}
Sdf Intersect(Sdf a, Sdf b) {
    return [=](float x, float y) { return std::max(a(x, y), b(x, y)); };
}
Sdf Ring(Sdf a, float hw) {
    return [=](float x, float y) { return std::fabs(a(x, y)) - hw; };
}

Paint Solid(Rgb c) {
    return [=](float, float) { return c; };
}
Paint VGradient(float y0, Rgb a, float y1, Rgb b) {
    return [=](float, float y) { return Mix(a, b, Clamp01((y - y0) / (y1 - y0))); };
}
Paint HGradient(float x0, Rgb a, float x1, Rgb b) {
    return [=](float x, float) { return Mix(a, b, Clamp01((x - x0) / (x1 - x0))); };
}

static Box Clip(const Image& img, Box bb) {
    bb.X0 = std::max(bb.X0, 0);
    bb.Y0 = std::max(bb.Y0, 0);
    bb.X1 = std::min(bb.X1, img.W);
    bb.Y1 = std::min(bb.Y1, img.H);
    return bb;
}

void Fill(Image& img, const Sdf& shape, const Paint& paint, float alpha, Box bb) {
    bb = Clip(img, bb);
    for (int y = bb.Y0; y < bb.Y1; ++y)
        for (int x = bb.X0; x < bb.X1; ++x) {
            float fx = (x + 0.5f) / img.Zoom + img.ViewX, fy = (y + 0.5f) / img.Zoom + img.ViewY;
            float cov = Clamp01(0.5f - shape(fx, fy) * img.Zoom);
            if (cov > 0) img.Over(x, y, paint(fx, fy), cov * alpha);
        }
}

void Glow(Image& img, const Sdf& shape, Rgb c, float radius, float strength, Box bb) {
    bb = Clip(img, bb);
    for (int y = bb.Y0; y < bb.Y1; ++y)
        for (int x = bb.X0; x < bb.X1; ++x) {
            float d = shape((x + 0.5f) / img.Zoom + img.ViewX, (y + 0.5f) / img.Zoom + img.ViewY);
            float f = d <= 0 ? 1.f : std::exp(-3.f * d * d / (radius * radius));
            if (f > 0.002f) img.Add(x, y, c, f * strength);
        }
}

// ---- text ----

namespace {
struct FontCache {
    bool Ready = false;
    std::map<std::string, platform::sdl::FontPtr> Fonts;
    ~FontCache() { Close(); }
    void Close() {
        Fonts.clear();
        if (Ready) TTF_Quit();
        Ready = false;
    }
};
FontCache& Cache() {
    static FontCache c;
    return c;
}

std::string FindFontFile(const std::string& family, const std::string& style) {
    FcPattern* pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddString(pat, FC_STYLE, reinterpret_cast<const FcChar8*>(style.c_str()));
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult res;
    FcPattern* match = FcFontMatch(nullptr, pat, &res);
    std::string file;
    FcChar8* f = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &f) == FcResultMatch) file = reinterpret_cast<const char*>(f);
    if (match) FcPatternDestroy(match);
    FcPatternDestroy(pat);
    if (file.empty()) throw std::runtime_error("no font found for " + family + " " + style);
    return file;
}

TTF_Font* GetFont(const FontSpec& face) {
    FontCache& c = Cache();
    if (!c.Ready) {
        if (TTF_Init() != 0) throw std::runtime_error(std::string("TTF_Init: ") + TTF_GetError());
        c.Ready = true;
    }
    std::string key = face.Family + "|" + face.Style + "|" + std::to_string(face.Px);
    auto it = c.Fonts.find(key);
    if (it != c.Fonts.end()) return it->second.get();
    std::string file = FindFontFile(face.Family, face.Style);
    TTF_Font* font = TTF_OpenFont(file.c_str(), face.Px);
    if (!font) throw std::runtime_error("cannot open font " + file + ": " + TTF_GetError());
    TTF_SetFontHinting(font, TTF_HINTING_LIGHT);
    c.Fonts[key].reset(font);
    return font;
}
}  // namespace

void ShutdownFonts() { Cache().Close(); }

Mask TextMask(const FontSpec& face, const std::string& utf8) {
    Mask m;
    if (utf8.empty()) return m;
    TTF_Font* font = GetFont(face);
    platform::sdl::SurfacePtr s(TTF_RenderUTF8_Blended(font, utf8.c_str(), SDL_Color{255, 255, 255, 255}));
    if (!s) throw std::runtime_error(std::string("text: ") + TTF_GetError());
    platform::sdl::SurfacePtr hold(SDL_ConvertSurfaceFormat(s.get(), SDL_PIXELFORMAT_ARGB8888, 0));
    SDL_Surface* conv = hold.get();
    m.W = conv->w;
    m.H = conv->h;
    m.A.resize(static_cast<size_t>(m.W) * m.H);
    for (int y = 0; y < m.H; ++y) {
        const uint32_t* row =
            reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(conv->pixels) + y * conv->pitch);
        for (int x = 0; x < m.W; ++x) m.A[static_cast<size_t>(y) * m.W + x] = (row[x] >> 24) / 255.f;
    }
    return m;
}

int TextWidth(const FontSpec& face, const std::string& utf8) {
    int w = 0, h = 0;
    TTF_SizeUTF8(GetFont(face), utf8.c_str(), &w, &h);
    return w;
}

Mask Blur(const Mask& m, int r) {
    Mask out;
    out.W = m.W + 2 * r;
    out.H = m.H + 2 * r;
    out.A.assign(static_cast<size_t>(out.W) * out.H, 0.f);
    std::vector<float> tmp(out.A.size(), 0.f);
    // Two box passes per axis give a soft, roughly Gaussian falloff.
    for (int y = 0; y < out.H; ++y)
        for (int x = 0; x < out.W; ++x) tmp[static_cast<size_t>(y) * out.W + x] = m.At(x - r, y - r);
    auto pass = [&](std::vector<float>& src, bool horiz) {
        std::vector<float> dst(src.size(), 0.f);
        int rr = std::max(1, r / 2);
        float norm = 1.f / (2 * rr + 1);
        for (int y = 0; y < out.H; ++y)
            for (int x = 0; x < out.W; ++x) {
                float s = 0;
                for (int k = -rr; k <= rr; ++k) {
                    int xx = horiz ? x + k : x, yy = horiz ? y : y + k;
                    if (xx >= 0 && yy >= 0 && xx < out.W && yy < out.H) s += src[static_cast<size_t>(yy) * out.W + xx];
                }
                dst[static_cast<size_t>(y) * out.W + x] = s * norm;
            }
        src.swap(dst);
    };
    pass(tmp, true);
    pass(tmp, false);
    pass(tmp, true);
    pass(tmp, false);
    out.A = std::move(tmp);
    return out;
}

void DrawMask(Image& img, const Mask& m, int x0, int y0, const Paint& paint, float alpha, bool additive) {
    for (int y = 0; y < m.H; ++y)
        for (int x = 0; x < m.W; ++x) {
            float a = m.A[static_cast<size_t>(y) * m.W + x] * alpha;
            if (a <= 0) continue;
            int px = x0 + x, py = y0 + y;
            Rgb c = paint(px + 0.5f, py + 0.5f);
            if (additive) img.Add(px, py, c, a);
            else img.Over(px, py, c, std::min(a, 1.f));
        }
}

int TextPaint(Image& img, const FontSpec& f, int x, int y, const std::string& utf8, const Paint& paint, float glow,
              Rgb glowColour) {
    Mask m = TextMask(f, utf8);
    if (glow > 0) {
        int r = std::max(2, f.Px / 5);
        Mask b = Blur(m, r);
        DrawMask(img, b, x - r, y - r, Solid(glowColour), glow, true);
    }
    DrawMask(img, m, x, y, paint);
    return m.W;
}

int Text(Image& img, const FontSpec& f, int x, int y, const std::string& utf8, Rgb c, float glow, Rgb glowColour) {
    return TextPaint(img, f, x, y, utf8, Solid(c), glow, glowColour);
}

void TextC(Image& img, const FontSpec& f, int cx, int y, const std::string& utf8, Rgb c, float glow, Rgb glowColour) {
    Text(img, f, cx - TextWidth(f, utf8) / 2, y, utf8, c, glow, glowColour);
}

// ---- pictures onto pictures ----

void Paste(Image& dst, const Image& src, int x0, int y0, float alpha) {
    for (int y = 0; y < src.H; ++y)
        for (int x = 0; x < src.W; ++x) {
            int px = x0 + x, py = y0 + y;
            if (px < 0 || py < 0 || px >= dst.W || py >= dst.H) continue;
            const float* s = src.At(x, y);
            float* d = dst.At(px, py);
            float a = s[3] * alpha, k = 1 - a;
            d[0] = s[0] * alpha + d[0] * k;
            d[1] = s[1] * alpha + d[1] * k;
            d[2] = s[2] * alpha + d[2] * k;
            d[3] = a + d[3] * k;
        }
}

Image Resized(const Image& src, int w, int h) {
    // Separable area averaging: each output pixel covers an interval of source pixels.
    auto weights = [](int n, int m) {
        std::vector<std::vector<std::pair<int, float>>> out(m);
        float scale = static_cast<float>(n) / m;
        for (int i = 0; i < m; ++i) {
            float a = i * scale, b = (i + 1) * scale;
            if (scale < 1) {  // enlarging: linear interpolation
                float c = (i + 0.5f) * scale - 0.5f;
                int j = static_cast<int>(std::floor(c));
                float t = c - j;
                out[i].push_back({std::clamp(j, 0, n - 1), 1 - t});
                out[i].push_back({std::clamp(j + 1, 0, n - 1), t});
                continue;
            }
            for (int j = static_cast<int>(std::floor(a)); j < static_cast<int>(std::ceil(b)); ++j) {
                float ov = std::min(b, j + 1.f) - std::max(a, static_cast<float>(j));
                if (ov > 0) out[i].push_back({std::min(j, n - 1), ov / scale});
            }
        }
        return out;
    };
    auto wx = weights(src.W, w), wy = weights(src.H, h);
    Image mid(w, src.H), out(w, h);
    for (int y = 0; y < src.H; ++y)
        for (int x = 0; x < w; ++x) {
            float* d = mid.At(x, y);
            for (auto [j, k] : wx[x])
                for (int c = 0; c < 4; ++c) d[c] += src.At(j, y)[c] * k;
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float* d = out.At(x, y);
            for (auto [j, k] : wy[y])
                for (int c = 0; c < 4; ++c) d[c] += mid.At(x, j)[c] * k;
        }
    return out;
}

Image Crop(const Image& src, int x0, int y0, int w, int h) {
    Image out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int sx = x0 + x, sy = y0 + y;
            if (sx < 0 || sy < 0 || sx >= src.W || sy >= src.H) continue;
            std::copy_n(src.At(sx, sy), 4, out.At(x, y));
        }
    return out;
}

// ---- noise ----

static float Hash2(int x, int y, uint32_t seed) {
    uint32_t h = seed ^ (static_cast<uint32_t>(x) * 374761393u) ^ (static_cast<uint32_t>(y) * 668265263u);
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / 16777215.f;
}

float ValueNoise(float x, float y, uint32_t seed) {
    int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
    float tx = x - xi, ty = y - yi;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    float a = Hash2(xi, yi, seed), b = Hash2(xi + 1, yi, seed), c = Hash2(xi, yi + 1, seed),
          d = Hash2(xi + 1, yi + 1, seed);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float Fbm(float x, float y, uint32_t seed, int octaves) {
    float s = 0, amp = 0.5f, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        s += ValueNoise(x, y, seed + i * 1013) * amp;
        norm += amp;
        x *= 2.03f;
        y *= 2.03f;
        amp *= 0.5f;
    }
    return s / norm;
}

// ---- conversion and files ----

static uint8_t To8(float v) { return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.f)); }

std::vector<uint8_t> ToRgb8(const Image& img) {
    std::vector<uint8_t> out(static_cast<size_t>(img.W) * img.H * 3);
    for (int y = 0; y < img.H; ++y)
        for (int x = 0; x < img.W; ++x) {
            const float* p = img.At(x, y);
            uint8_t* o = &out[(static_cast<size_t>(y) * img.W + x) * 3];
            o[0] = To8(p[0]), o[1] = To8(p[1]), o[2] = To8(p[2]);
        }
    return out;
}

std::vector<uint8_t> ToSpriteRgb8(const Image& img) {
    std::vector<uint8_t> out = ToRgb8(img);
    for (int i = 0; i < img.W * img.H; ++i) {
        uint8_t* o = &out[static_cast<size_t>(i) * 3];
        float a = img.Px[static_cast<size_t>(i) * 4 + 3];
        int mx = std::max({o[0], o[1], o[2]});
        if (a >= 0.5f) {
            if (mx == 0) o[0] = 2, o[1] = 2, o[2] = 3;  // solid but dark: must not vanish
        } else if (mx < 3) {
            o[0] = o[1] = o[2] = 0;  // a faint fringe belongs to the background
        }
    }
    return out;
}

Image FromRgb8(int w, int h, const std::vector<uint8_t>& rgb) {
    Image img(w, h);
    for (int i = 0; i < w * h; ++i) {
        float* p = &img.Px[static_cast<size_t>(i) * 4];
        p[0] = rgb[i * 3] / 255.f, p[1] = rgb[i * 3 + 1] / 255.f, p[2] = rgb[i * 3 + 2] / 255.f, p[3] = 1;
    }
    return img;
}

static void Put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(x & 0xFF);
    v.push_back((x >> 8) & 0xFF);
}
static void Put32(std::vector<uint8_t>& v, uint32_t x) {
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}

std::vector<uint8_t> EncodePNG(const Image& img) {
    std::vector<uint8_t> raw;
    raw.reserve(static_cast<size_t>(img.W * 4 + 1) * img.H);
    for (int y = 0; y < img.H; ++y) {
        raw.push_back(0);  // no row filter
        for (int x = 0; x < img.W; ++x) {
            const float* p = img.At(x, y);
            float a = std::clamp(p[3], 0.f, 1.f);
            for (int c = 0; c < 3; ++c) {
                float v = a > 0 ? p[c] / a : 0.f;
                raw.push_back(static_cast<uint8_t>(std::lround(std::clamp(v, 0.f, 1.f) * 255)));
            }
            raw.push_back(static_cast<uint8_t>(std::lround(a * 255)));
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
        throw std::runtime_error("PNG: compression failed");
    packed.resize(packedSize);

    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    auto be32 = [](std::vector<uint8_t>& v, uint32_t x) {
        for (int shift = 24; shift >= 0; shift -= 8) v.push_back(static_cast<uint8_t>(x >> shift));
    };
    auto chunk = [&](const char* type, const std::vector<uint8_t>& body) {
        be32(png, static_cast<uint32_t>(body.size()));
        std::vector<uint8_t> typed(type, type + 4);
        typed.insert(typed.end(), body.begin(), body.end());
        png.insert(png.end(), typed.begin(), typed.end());
        be32(png, static_cast<uint32_t>(crc32(0, typed.data(), static_cast<uInt>(typed.size()))));
    };
    std::vector<uint8_t> header;
    be32(header, static_cast<uint32_t>(img.W));
    be32(header, static_cast<uint32_t>(img.H));
    header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter, no interlace
    chunk("IHDR", header);
    chunk("IDAT", packed);
    chunk("IEND", {});
    return png;
}

std::vector<uint8_t> EncodeBMP24(int w, int h, const std::vector<uint8_t>& rgb) {
    int stride = (w * 3 + 3) & ~3;
    uint32_t imageSize = static_cast<uint32_t>(stride) * h;
    std::vector<uint8_t> v;
    v.reserve(54 + imageSize);
    v.push_back('B');
    v.push_back('M');
    Put32(v, 54 + imageSize);
    Put32(v, 0);
    Put32(v, 54);
    Put32(v, 40);
    Put32(v, static_cast<uint32_t>(w));
    Put32(v, static_cast<uint32_t>(h));  // positive: bottom row first
    Put16(v, 1);
    Put16(v, 24);
    Put32(v, 0);  // no compression
    Put32(v, imageSize);
    Put32(v, 2835);
    Put32(v, 2835);
    Put32(v, 0);
    Put32(v, 0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
            v.push_back(p[2]);
            v.push_back(p[1]);
            v.push_back(p[0]);
        }
        for (int k = w * 3; k < stride; ++k) v.push_back(0);
    }
    return v;
}

std::vector<uint8_t> EncodeJPEG(int w, int h, const std::vector<uint8_t>& rgb, int quality) {
    try {
        // Full-resolution colour keeps the coloured text crisp.
        return platform::EncodeJpeg(w, h, rgb, {.Quality = quality, .OptimizeCoding = true, .FullColour = true});
    } catch (const platform::EJpegError&) { throw std::runtime_error("JPEG encoding failed"); }
}

bool DecodeJPEG(const std::vector<uint8_t>& jpeg, int& w, int& h, std::vector<uint8_t>& rgb) {
    try {
        platform::JpegPixels p = platform::DecodeJpeg(jpeg, platform::JpegOrder::RGB);
        w = p.Width;
        h = p.Height;
        rgb = std::move(p.Pixels);
        return true;
    } catch (const platform::EJpegError&) { return false; }
}

}  // namespace gen
