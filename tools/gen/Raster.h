// Drawing for the data generator: premultiplied RGBA pictures, anti-aliased shapes, text.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace gen {

struct Rgb {
    float R = 0, G = 0, B = 0;
};
inline Rgb C8(int r, int g, int b) { return {r / 255.f, g / 255.f, b / 255.f}; }
inline Rgb Mix(Rgb a, Rgb b, float t) { return {a.R + (b.R - a.R) * t, a.G + (b.G - a.G) * t, a.B + (b.B - a.B) * t}; }
inline Rgb Scale(Rgb a, float k) { return {a.R * k, a.G * k, a.B * k}; }

// Premultiplied RGBA, four floats per pixel, top row first. A fresh picture is fully transparent.
class Image {
public:
    Image() = default;
    Image(int w, int h) : W(w), H(h), Px(static_cast<size_t>(w) * h * 4, 0.f) {}
    int W = 0, H = 0;
    std::vector<float> Px;
    // Shapes and paints are given in drawing units: pixel (x, y) shows the drawing at
    // ((x + 0.5) / Zoom + ViewX, (y + 0.5) / Zoom + ViewY). One drawing serves several sizes.
    float Zoom = 1, ViewX = 0, ViewY = 0;

    float* At(int x, int y) { return &Px[(static_cast<size_t>(y) * W + x) * 4]; }
    const float* At(int x, int y) const { return &Px[(static_cast<size_t>(y) * W + x) * 4]; }
    // Colour c with coverage a laid over the pixel.
    void Over(int x, int y, Rgb c, float a) {
        if (x < 0 || y < 0 || x >= W || y >= H || a <= 0) return;
        float* p = At(x, y);
        float k = 1 - a;
        p[0] = c.R * a + p[0] * k;
        p[1] = c.G * a + p[1] * k;
        p[2] = c.B * a + p[2] * k;
        p[3] = a + p[3] * k;
    }
    // Light added on top (glows); the pixel becomes at least as opaque as the light.
    void Add(int x, int y, Rgb c, float a) {
        if (x < 0 || y < 0 || x >= W || y >= H || a <= 0) return;
        float* p = At(x, y);
        p[0] += c.R * a;
        p[1] += c.G * a;
        p[2] += c.B * a;
        p[3] = std::min(1.f, p[3] + a);
    }
    void FillAll(Rgb c) {
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                float* p = At(x, y);
                p[0] = c.R, p[1] = c.G, p[2] = c.B, p[3] = 1;
            }
    }
};

struct Box {
    int X0 = 0, Y0 = 0, X1 = 1 << 20, Y1 = 1 << 20;  // X1, Y1 exclusive
};

// Signed distance to a shape's edge, negative inside.
using Sdf = std::function<float(float, float)>;
using Paint = std::function<Rgb(float, float)>;

Sdf Circle(float cx, float cy, float r);
Sdf Ellipse(float cx, float cy, float rx, float ry);
Sdf RoundBox(float x0, float y0, float x1, float y1, float r);
Sdf Capsule(float ax, float ay, float bx, float by, float r);
Sdf Polygon(std::vector<std::pair<float, float>> pts);
Sdf Union(Sdf a, Sdf b);
Sdf Subtract(Sdf a, Sdf b);
Sdf Intersect(Sdf a, Sdf b);
Sdf Ring(Sdf a, float halfWidth);

Paint Solid(Rgb c);
Paint VGradient(float y0, Rgb a, float y1, Rgb b);
Paint HGradient(float x0, Rgb a, float x1, Rgb b);

void Fill(Image& img, const Sdf& shape, const Paint& paint, float alpha = 1, Box bb = {});
inline void Fill(Image& img, const Sdf& shape, Rgb c, float alpha = 1, Box bb = {}) {
    Fill(img, shape, Solid(c), alpha, bb);
}
// Soft light around (and inside) a shape, fading over radius pixels from its edge.
void Glow(Image& img, const Sdf& shape, Rgb c, float radius, float strength, Box bb = {});

// A grey-level coverage mask (text, blurred text).
struct Mask {
    int W = 0, H = 0;
    std::vector<float> A;
    float At(int x, int y) const {
        return (x < 0 || y < 0 || x >= W || y >= H) ? 0.f : A[static_cast<size_t>(y) * W + x];
    }
};

// Fonts are found by family and style through fontconfig; size in pixels.
struct FontSpec {
    std::string Family = "DejaVu Sans";
    std::string Style = "Book";
    int Px = 16;
};
Mask TextMask(const FontSpec& f, const std::string& utf8);
int TextWidth(const FontSpec& f, const std::string& utf8);
Mask Blur(const Mask& m, int radius);  // grows the mask by radius on every side
void DrawMask(Image& img, const Mask& m, int x, int y, const Paint& paint, float alpha = 1, bool additive = false);
// Text with its top-left corner at (x, y); returns the width drawn.
int Text(Image& img, const FontSpec& f, int x, int y, const std::string& utf8, Rgb c, float glow = 0,
         Rgb glowColour = {});
int TextPaint(Image& img, const FontSpec& f, int x, int y, const std::string& utf8, const Paint& paint, float glow = 0,
              Rgb glowColour = {});
// Text centred horizontally on cx.
void TextC(Image& img, const FontSpec& f, int cx, int y, const std::string& utf8, Rgb c, float glow = 0,
           Rgb glowColour = {});
void ShutdownFonts();

// Pictures onto pictures.
void Paste(Image& dst, const Image& src, int x, int y, float alpha = 1);
Image Resized(const Image& src, int w, int h);  // area-averaged
Image Crop(const Image& src, int x, int y, int w, int h);

// Deterministic noise.
struct Lcg {
    uint32_t S;
    explicit Lcg(uint32_t seed) : S(seed) {}
    uint32_t Next() {
        S = S * 1664525u + 1013904223u;
        return S;
    }
    float Unit() { return (Next() >> 8) * (1.f / 16777216.f); }  // 0..1
    float Range(float a, float b) { return a + (b - a) * Unit(); }
    int Int(int n) { return static_cast<int>((static_cast<uint64_t>(Next()) * n) >> 32); }
};
float ValueNoise(float x, float y, uint32_t seed);  // 0..1, smooth
float Fbm(float x, float y, uint32_t seed, int octaves);

// Flattened 8-bit RGB (three bytes per pixel, R G B, top row first) over black.
std::vector<uint8_t> ToRgb8(const Image& img);
// The same for a sprite drawn with black as its see-through colour: nearly empty pixels
// become exactly black and no visible pixel is exactly black.
std::vector<uint8_t> ToSpriteRgb8(const Image& img);
Image FromRgb8(int w, int h, const std::vector<uint8_t>& rgb);

// Straight (not premultiplied) RGBA, eight bits a channel, deflated.
std::vector<uint8_t> EncodePNG(const Image& img);
std::vector<uint8_t> EncodeBMP24(int w, int h, const std::vector<uint8_t>& rgb);
std::vector<uint8_t> EncodeJPEG(int w, int h, const std::vector<uint8_t>& rgb, int quality);
bool DecodeJPEG(const std::vector<uint8_t>& jpeg, int& w, int& h, std::vector<uint8_t>& rgb);

}  // namespace gen
