// The game's sprites: dark space, neon accents, everything drawn on black.
#include <cmath>
#include <string>

#include "tools/gen/Catalogue.h"

namespace gen {

namespace {

constexpr float kPi = 3.14159265f;

const Rgb kCyan = C8(40, 230, 255);
const Rgb kMagenta = C8(255, 60, 200);
const Rgb kViolet = C8(160, 90, 255);
const Rgb kOrange = C8(255, 150, 40);
const Rgb kGreen = C8(90, 255, 130);
const Rgb kYellow = C8(255, 230, 70);
const Rgb kRed = C8(255, 70, 60);
const Rgb kWhite = C8(255, 255, 255);

using Pts = std::vector<std::pair<float, float>>;

// ---- the player's ship ----

void DrawShip(Image& img, int frame) {
    // Engine flame first, so the hull covers its root.
    float len = 14.f + (frame == 1 ? 6.f : frame == 2 ? 3.f : 0.f);
    Glow(img, Ellipse(16 - len / 2, 34, len / 2 + 3, 5), C8(40, 140, 255), 7, 0.55f);
    Fill(img, Ellipse(17 - len / 2, 34, len / 2 + 1, 3.2f), HGradient(17 - len, C8(40, 120, 255), 16, kWhite), 0.95f);
    Fill(img, Ellipse(14, 34, 4, 1.6f), kWhite);

    // Lower swept wing with a neon edge.
    Sdf wing = Polygon({{34, 40}, {66, 40}, {46, 58}, {22, 58}});
    Fill(img, wing, VGradient(40, C8(95, 105, 160), 58, C8(40, 45, 85)));
    Fill(img, Capsule(24, 56.5f, 46, 56.5f, 1.1f), kCyan);
    // Upper fin.
    Sdf fin = Polygon({{20, 28}, {42, 22}, {32, 11}, {19, 11}});
    Fill(img, fin, VGradient(11, C8(80, 90, 140), 28, C8(140, 150, 190)));
    Fill(img, Capsule(20, 12, 31, 12, 1.0f), kMagenta);

    // Hull.
    Sdf hull = Polygon({{13, 26}, {40, 19}, {70, 21}, {90, 28}, {99, 34}, {90, 40}, {70, 46}, {40, 47}, {13, 42}});
    Fill(img, hull, VGradient(19, C8(205, 215, 235), 47, C8(60, 70, 105)));
    Fill(img, Ring(hull, 0.6f), C8(150, 230, 255), 0.6f);
    // Engine block.
    Fill(img, RoundBox(10, 25, 24, 43, 3), VGradient(25, C8(110, 115, 140), 43, C8(40, 42, 60)));
    Fill(img, RoundBox(11, 29, 15, 39, 1.5f), C8(120, 200, 255));
    // Neon stripe and panel lines.
    Fill(img, Capsule(28, 38, 84, 38, 1.0f), kMagenta);
    Glow(img, Capsule(28, 38, 84, 38, 1.0f), kMagenta, 3, 0.25f);
    Fill(img, Capsule(44, 24, 44, 45, 0.4f), C8(40, 50, 80), 0.7f);

    // Cockpit.
    Sdf canopy = Ellipse(68, 29, 12, 5);
    Fill(img, canopy, VGradient(24, C8(170, 250, 255), 34, C8(20, 110, 170)));
    Fill(img, Ellipse(64, 27.5f, 5, 1.4f), kWhite, 0.8f);

    // Dorsal cannon: the main-gun shot leaves from its muzzle at the top of the picture.
    Fill(img, RoundBox(52, 7, 64, 22, 2), VGradient(7, C8(150, 160, 185), 22, C8(60, 65, 90)));
    Fill(img, RoundBox(46, 2.5f, 93, 9, 2), VGradient(2.5f, C8(200, 210, 230), 9, C8(80, 85, 110)));
    Fill(img, Capsule(50, 5.7f, 90, 5.7f, 0.6f), kCyan, 0.9f);
    Glow(img, Circle(94, 5.7f, 1.5f), kCyan, 4, frame == 0 ? 0.9f : 0.5f);

    // Wing-tip light blinks with the animation.
    Fill(img, Circle(25, 55, 1.8f), frame == 0 ? kRed : C8(120, 40, 40));
    if (frame == 0) Glow(img, Circle(25, 55, 1.5f), kRed, 4, 0.6f);
}

Image Ship(int frame, bool shield) {
    Image img(100, 60);
    DrawShip(img, frame);
    if (shield) {
        Sdf bubble = Ellipse(50, 30, 48.5f, 28.5f);
        // Faint inner sheen and a bright rim whose shimmer turns with the animation.
        Fill(img, bubble, C8(60, 200, 255), 0.13f);
        float phase = frame * 2.1f;
        Paint rim = [=](float x, float y) {
            float a = std::atan2((y - 30) / 28.5f, (x - 50) / 48.5f);
            float k = 0.55f + 0.45f * std::cos(3 * a - phase);
            return Mix(C8(40, 120, 255), C8(200, 255, 255), k);
        };
        Fill(img, Ring(bubble, 1.1f), rim, 0.95f);
        Glow(img, Ring(bubble, 0.8f), C8(60, 200, 255), 4, 0.3f);
    }
    return img;
}

// ---- enemies (all about the size of the first saucer, facing left) ----

constexpr int kEW = 64, kEH = 44;

Image Ufo(int f) {
    Image img(kEW, kEH);
    Glow(img, Ellipse(32, 34, 16, 4), C8(90, 255, 170), 6, 0.25f);
    Sdf dome = Intersect(Ellipse(32, 20, 13, 11), [](float, float y) { return y - 25; });
    Fill(img, dome, VGradient(9, C8(180, 255, 220), 25, C8(30, 140, 110)), 0.95f);
    Fill(img, Ellipse(28, 15, 4, 2), kWhite, 0.7f);
    Sdf body = Ellipse(32, 27, 30, 8.5f);
    Fill(img, body, VGradient(19, C8(190, 180, 220), 35, C8(55, 45, 90)));
    Fill(img, Ring(body, 0.6f), C8(200, 160, 255), 0.7f);
    Fill(img, Capsule(6, 27, 58, 27, 0.6f), C8(60, 40, 100), 0.8f);
    for (int i = 0; i < 5; ++i) {
        float x = 12 + i * 10.f;
        bool lit = (i + f) % 3 == 0;
        Fill(img, Circle(x, 30, 1.8f), lit ? kYellow : C8(150, 80, 30));
        if (lit) Glow(img, Circle(x, 30, 1.5f), kYellow, 4, 0.55f);
    }
    return img;
}

Image Nex(int f) {
    Image img(kEW, kEH);
    Sdf gem = Polygon({{4, 22}, {32, 2}, {60, 22}, {32, 42}});
    Glow(img, gem, kMagenta, 5, 0.25f);
    Fill(img, gem, VGradient(2, C8(255, 130, 230), 42, C8(90, 10, 90)));
    // Facets: the lit one walks round with the animation.
    Pts c = {{32, 22}};
    Pts outer = {{4, 22}, {32, 2}, {60, 22}, {32, 42}};
    for (int i = 0; i < 4; ++i) {
        auto a = outer[i], b = outer[(i + 1) % 4];
        Sdf tri = Polygon({c[0], a, b});
        Fill(img, tri, i == f % 4 ? C8(255, 200, 255) : C8(150, 40, 160), i == f % 4 ? 0.45f : 0.25f);
        Fill(img, Capsule(32, 22, a.first, a.second, 0.5f), C8(255, 190, 250), 0.6f);
    }
    Fill(img, Ring(gem, 0.7f), C8(255, 180, 255));
    float r = 5.f + f;
    Glow(img, Circle(32, 22, r), C8(255, 120, 230), 6, 0.7f);
    Fill(img, Circle(32, 22, r * 0.6f), kWhite);
    return img;
}

Image Disp(int f) {
    Image img(kEW, kEH);
    float fl = 4.f + f * 2;
    Glow(img, Ellipse(60, 22, fl, 3), kOrange, 5, 0.5f);
    Sdf body = Polygon({{2, 22}, {26, 12}, {58, 4}, {50, 22}, {58, 40}, {26, 32}});
    Fill(img, body, VGradient(4, C8(255, 190, 90), 40, C8(120, 50, 10)));
    Fill(img, Ring(body, 0.6f), C8(255, 220, 150), 0.8f);
    Fill(img, Polygon({{26, 12}, {58, 4}, {46, 14}}), C8(90, 40, 20), 0.9f);
    Fill(img, Polygon({{26, 32}, {58, 40}, {46, 30}}), C8(90, 40, 20), 0.9f);
    Fill(img, Ellipse(22, 22, 7, 3.5f), VGradient(18, C8(255, 250, 200), 26, C8(200, 90, 0)));
    Fill(img, Capsule(30, 22, 50, 22, 1), kYellow, 0.8f);
    return img;
}

Image Bss(int f) {
    Image img(kEW, kEH);
    Glow(img, RoundBox(56, 16, 62, 30, 2), kRed, 6, 0.35f + 0.1f * f);
    Fill(img, Capsule(1, 24, 14, 24, 3), VGradient(21, C8(200, 200, 210), 27, C8(70, 70, 80)));
    Sdf body = RoundBox(8, 10, 60, 36, 7);
    Fill(img, body, VGradient(10, C8(230, 90, 80), 36, C8(80, 15, 20)));
    Fill(img, Ring(body, 0.6f), C8(255, 150, 130), 0.8f);
    Fill(img, RoundBox(24, 3, 44, 13, 3), VGradient(3, C8(200, 80, 70), 13, C8(90, 20, 20)));
    Fill(img, Capsule(16, 6, 28, 7, 1.5f), C8(180, 180, 190));
    for (int i = 0; i < 4; ++i) {
        bool lit = (i + f) % 2 == 0;
        Fill(img, RoundBox(18 + i * 9.f, 20, 24 + i * 9.f, 24, 1), lit ? kYellow : C8(140, 100, 30));
    }
    Fill(img, Capsule(12, 31, 56, 31, 0.7f), C8(255, 160, 120), 0.6f);
    return img;
}

Image Sdsa(int f) {
    Image img(kEW, kEH);
    Fill(img, RoundBox(2, 17, 62, 27, 4), VGradient(17, C8(120, 200, 140), 27, C8(20, 70, 40)));
    Sdf ring = Ring(Circle(32, 22, 17), 3);
    Glow(img, ring, kGreen, 4, 0.25f);
    Fill(img, ring, VGradient(5, C8(170, 255, 190), 39, C8(20, 110, 60)));
    for (int i = 0; i < 3; ++i) {
        float a = f * kPi / 9 + i * 2 * kPi / 3;
        Fill(img, Capsule(32, 22, 32 + 15 * std::cos(a), 22 + 15 * std::sin(a), 1.6f), C8(120, 200, 140));
        Fill(img, Circle(32 + 17 * std::cos(a + kPi / 3), 22 + 17 * std::sin(a + kPi / 3), 1.8f), kYellow);
    }
    Glow(img, Circle(32, 22, 6), kGreen, 6, 0.6f);
    Fill(img, Circle(32, 22, 6), VGradient(16, kWhite, 28, C8(60, 220, 120)));
    Fill(img, Capsule(2, 22, 10, 22, 2), C8(220, 255, 220));
    return img;
}

Image Hunt(int f) {
    Image img(kEW, kEH);
    Glow(img, Ellipse(60, 22, 4.f + 2 * f, 2.5f), C8(120, 180, 255), 5, 0.6f);
    Sdf body = Polygon({{0, 22}, {38, 8}, {63, 1}, {52, 22}, {63, 43}, {38, 36}});
    Fill(img, body, VGradient(1, C8(255, 240, 120), 43, C8(130, 90, 0)));
    Fill(img, Ring(body, 0.6f), C8(255, 250, 190), 0.85f);
    Fill(img, Polygon({{14, 22}, {46, 14}, {40, 22}, {46, 30}}), C8(70, 50, 10), 0.9f);
    Glow(img, Ellipse(20, 22, 5, 2.5f), C8(80, 200, 255), 4, 0.7f);
    Fill(img, Ellipse(20, 22, 5, 2.2f), C8(200, 240, 255));
    return img;
}

Image Bug(int f) {
    Image img(kEW, kEH);
    // Wings beat with the animation.
    float wy = 8.f + f * 3;
    Fill(img, Ellipse(38, 22 - wy / 1.4f, 14, wy / 2 + 2), C8(180, 255, 120), 0.35f);
    Fill(img, Ellipse(38, 22 + wy / 1.4f, 14, wy / 2 + 2), C8(180, 255, 120), 0.35f);
    for (int i = 0; i < 3; ++i) {
        float x = 26 + i * 10.f, k = ((i + f) % 2 ? 1.f : -1.f) * 3;
        Fill(img, Capsule(x, 30, x - 4 + k, 41, 1.1f), C8(160, 220, 40));
        Fill(img, Capsule(x, 14, x - 4 - k, 3, 1.1f), C8(160, 220, 40));
    }
    Sdf body = Ellipse(36, 22, 20, 10.5f);
    Fill(img, body, VGradient(12, C8(210, 255, 90), 33, C8(50, 110, 10)));
    for (int i = 0; i < 3; ++i) Fill(img, Capsule(30 + i * 8.f, 13, 30 + i * 8.f, 31, 0.9f), C8(60, 20, 90), 0.7f);
    Fill(img, Circle(13, 22, 8.5f), VGradient(13, C8(170, 110, 255), 31, C8(50, 20, 100)));
    Fill(img, Circle(10, 19, 2.2f), kRed);
    Fill(img, Circle(10, 25, 2.2f), kRed);
    Glow(img, Circle(10, 22, 3), kRed, 4, 0.4f);
    Fill(img, Capsule(6, 17, 0, 10, 0.8f), C8(170, 110, 255));
    Fill(img, Capsule(6, 27, 0, 34, 0.8f), C8(170, 110, 255));
    return img;
}

Image Gad(int f) {
    Image img(kEW, kEH);
    Pts star;
    for (int i = 0; i < 16; ++i) {
        float a = i * kPi / 8 + f * kPi / 24;
        float r = i % 2 ? 12.f : 21.f;
        star.push_back({32 + r * std::cos(a), 22 + r * std::sin(a) * 0.95f});
    }
    Sdf spikes = Polygon(star);
    Glow(img, spikes, C8(255, 40, 60), 4, 0.3f);
    Fill(img, spikes, VGradient(1, C8(200, 60, 80), 43, C8(70, 0, 20)));
    Fill(img, Ring(spikes, 0.5f), C8(255, 120, 130), 0.8f);
    Fill(img, Circle(32, 22, 11), VGradient(11, C8(110, 20, 40), 33, C8(30, 5, 15)));
    Glow(img, Ellipse(30, 22, 6, 3.5f), kRed, 5, 0.5f + 0.15f * f);
    Fill(img, Ellipse(30, 22, 6, 3.5f), C8(255, 200, 120));
    Fill(img, Ellipse(30, 22, 1.5f, 3.2f), C8(60, 0, 0));
    return img;
}

// ---- explosions ----

Image Explosion(int size, int stage, bool plasma, uint32_t seed) {
    Image img(size, size);
    float t = (stage - 1) / 8.f;  // 0 .. 1 over the nine stages
    float c = size / 2.f;
    float rmax = size * 0.42f;
    float r = rmax * (0.25f + 0.75f * std::sqrt(t));
    float fade = 1 - std::pow(t, 1.4f) * 0.92f;
    Rgb hot = plasma ? C8(230, 200, 255) : C8(255, 250, 210);
    Rgb mid = plasma ? C8(170, 80, 255) : C8(255, 160, 30);
    Rgb cool = plasma ? C8(60, 20, 160) : C8(170, 30, 10);
    // A ragged fireball: the radius wobbles with noise round the circle.
    Sdf ball = [=](float x, float y) {
        float dx = x - c, dy = y - c;
        float a = std::atan2(dy, dx);
        float n = Fbm(std::cos(a) * 2 + 10, std::sin(a) * 2 + 10 + stage * 0.3f, seed, 3);
        return std::sqrt(dx * dx + dy * dy) - r * (0.8f + 0.45f * n);
    };
    Paint heat = [=](float x, float y) {
        float d = std::sqrt((x - c) * (x - c) + (y - c) * (y - c)) / r;
        float k = std::clamp(d + t * 0.9f, 0.f, 1.6f);
        Rgb col = k < 0.6f ? Mix(hot, mid, k / 0.6f) : Mix(mid, cool, std::min(1.f, (k - 0.6f) / 0.8f));
        return Scale(col, fade);
    };
    Glow(img, ball, Scale(mid, fade), size * 0.12f, 0.35f * fade);
    Fill(img, ball, heat, std::min(1.f, 0.35f + fade));
    if (stage >= 3) {
        float rr = r * 1.25f;
        Fill(img, Ring(Circle(c, c, rr), 1.2f), Scale(mid, fade), 0.6f * fade);
    }
    Lcg rng(seed);
    for (int i = 0; i < 12; ++i) {
        float a = rng.Range(0, 2 * kPi), sp = rng.Range(0.6f, 1.1f);
        float d = rmax * (0.2f + 0.9f * t * sp) + 2;
        float x = c + d * std::cos(a), y = c + d * std::sin(a);
        float tail = 2 + 3 * t;
        Fill(img, Capsule(x, y, x - tail * std::cos(a), y - tail * std::sin(a), 0.9f), Scale(hot, fade), fade);
    }
    return img;
}

Image Burst(int stage) {
    Image img(32, 32);
    float t = (stage - 1) / 5.f;
    float fade = 1 - t * 0.85f;
    float r = 4 + 10 * t;
    Glow(img, Circle(16, 16, r * 0.6f), Scale(kOrange, fade), 6, 0.6f * fade);
    Fill(img, Circle(16, 16, r * 0.55f), Scale(Mix(kWhite, kYellow, t), fade), fade);
    Fill(img, Ring(Circle(16, 16, r), 0.9f), Scale(kOrange, fade), fade);
    for (int i = 0; i < 8; ++i) {
        float a = i * kPi / 4 + stage * 0.2f;
        float d0 = r * 0.7f, d1 = r + 3;
        Fill(img,
             Capsule(16 + d0 * std::cos(a), 16 + d0 * std::sin(a), 16 + d1 * std::cos(a), 16 + d1 * std::sin(a), 0.7f),
             Scale(kYellow, fade), fade);
    }
    return img;
}

// ---- shots ----

// A bolt with a bright core; dir = +1 flies right (tail on the left), −1 flies left.
Image Bolt(int w, int h, Rgb col, int dir, float coreR) {
    Image img(w, h);
    float cy = h / 2.f;
    float head = dir > 0 ? w - h / 2.f : h / 2.f, tail = dir > 0 ? h / 2.f : w - h / 2.f;
    // The glow dies out before the picture's edge, so no lit box shows round the shot.
    Glow(img, Capsule(tail, cy, head, cy, coreR), col, (h / 2.f - coreR) * 0.75f, 0.55f);
    Fill(img, Capsule(tail, cy, head, cy, coreR * 0.9f), HGradient(tail, Scale(col, 0.6f), head, kWhite));
    Fill(img, Circle(head, cy, coreR * 1.1f), kWhite);
    return img;
}

Image Orb(int w, int h, Rgb col, Rgb rim) {
    Image img(w, h);
    float cx = w * 0.35f, cy = h / 2.f, r = h * 0.36f;
    Glow(img, Capsule(cx, cy, w - 2.f, cy, r * 0.4f), col, h * 0.3f, 0.4f);
    Glow(img, Circle(cx, cy, r), rim, h * 0.35f, 0.6f);
    Fill(img, Circle(cx, cy, r), [=](float x, float y) {
        float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy)) / r;
        return Mix(kWhite, col, std::min(1.f, d * 1.2f));
    });
    return img;
}

Image Missile(Rgb body, Rgb flame) {
    Image img(36, 14);
    Glow(img, Ellipse(6, 7, 6, 2.5f), flame, 4, 0.7f);
    Fill(img, Ellipse(6, 7, 5, 1.8f), HGradient(1, flame, 10, kWhite));
    Fill(img, Polygon({{10, 7}, {14, 1}, {18, 1}, {17, 7}}), Scale(body, 0.7f));
    Fill(img, Polygon({{10, 7}, {14, 13}, {18, 13}, {17, 7}}), Scale(body, 0.7f));
    Sdf hull = Union(RoundBox(10, 4.5f, 30, 9.5f, 2), Polygon({{28, 4.5f}, {35, 7}, {28, 9.5f}}));
    Fill(img, hull, VGradient(4.5f, C8(235, 240, 250), 9.5f, C8(110, 115, 140)));
    Fill(img, RoundBox(26, 4.5f, 29, 9.5f, 0.5f), body);
    Fill(img, Circle(33, 7, 1.2f), kWhite);
    return img;
}

Image Lance() {
    Image img(48, 12);
    Glow(img, Capsule(2, 6, 45, 6, 2), kViolet, 6, 0.6f);
    Fill(img, Capsule(2, 6, 45, 6, 2.2f), HGradient(2, C8(90, 40, 200), 45, C8(230, 200, 255)));
    Fill(img, Capsule(14, 6, 46, 6, 0.9f), kWhite);
    for (int i = 0; i < 3; ++i) Fill(img, Ring(Ellipse(12 + i * 10.f, 6, 2, 5), 0.5f), C8(200, 160, 255), 0.7f);
    return img;
}

// ---- bonuses ----

Image Bonus(int kind, int frame) {
    Image img(32, 32);
    Rgb col = kind == 1 ? kGreen : kind == 2 ? kViolet : kind == 3 ? kOrange : kCyan;
    float pulse = frame == 0 ? 1.f : frame == 1 ? 0.75f : 0.55f;
    Sdf shell = Circle(16, 16, 13);
    Glow(img, shell, col, 5, 0.35f * pulse);
    Fill(img, shell, [=](float x, float y) {
        float d = std::sqrt((x - 12) * (x - 12) + (y - 11) * (y - 11)) / 17;
        return Mix(Scale(col, 0.45f), C8(12, 16, 34), std::min(1.f, d));
    });
    Fill(img, Ring(shell, 1.3f), Mix(col, kWhite, 0.3f * pulse));
    // A highlight walks round the shell.
    float a = -kPi / 2 + frame * 2 * kPi / 3;
    Fill(img, Circle(16 + 11 * std::cos(a), 16 + 11 * std::sin(a), 2), kWhite, 0.9f);
    Rgb ink = Mix(col, kWhite, 0.55f);
    switch (kind) {
        case 1:  // energy
            Fill(img, RoundBox(14, 8, 18, 24, 1), ink);
            Fill(img, RoundBox(8, 14, 24, 18, 1), ink);
            break;
        case 2:
        case 3: {
            FontSpec f{"DejaVu Sans", "Bold", 18};
            std::string s = kind == 2 ? "1" : "2";
            Text(img, f, 16 - TextWidth(f, s) / 2, 5, s, ink);
            break;
        }
        default: {  // shield
            Sdf sh = Polygon({{9, 8}, {23, 8}, {23, 16}, {16, 25}, {9, 16}});
            Fill(img, sh, ink);
            Fill(img, Polygon({{12, 11}, {16, 11}, {16, 21}, {12, 16}}), Scale(col, 0.5f));
        }
    }
    return img;
}

Image StarDot() {
    Image img(3, 3);
    img.Over(1, 1, C8(235, 240, 255), 1);
    for (auto [x, y] : std::vector<std::pair<int, int>>{{0, 1}, {2, 1}, {1, 0}, {1, 2}})
        img.Over(x, y, C8(80, 90, 130), 1);
    return img;
}

// ---- head-up panel ----

Image MiniIcon(int kind) {
    switch (kind) {
        case 1: return Resized(Lance(), 24, 6);
        case 2: return Resized(Missile(kOrange, C8(255, 200, 80)), 26, 10);
        default: {
            Image img(20, 20);
            Fill(img, Polygon({{3, 2}, {17, 2}, {17, 10}, {10, 18}, {3, 10}}), kCyan);
            Fill(img, Polygon({{6, 5}, {10, 5}, {10, 14}, {6, 10}}), C8(10, 60, 90));
            return img;
        }
    }
}

// The panel's labels: energy, score, then the three special weapons.
struct HudWords {
    const char* Energy;
    const char* Score;
    const char* Weapons[3];
};
const HudWords kHudRussian{"ЭНЕРГИЯ", "ОЧКИ", {"ЛУЧ", "РАКЕТЫ", "ЩИТ"}};
const HudWords kHudEnglish{"ENERGY", "SCORE", {"BEAM", "MISSILES", "SHIELD"}};

Image Panel(int weapon, const HudWords& words) {
    Image img(800, 80);
    // Never pure black: the panel is drawn with black as its see-through colour.
    Fill(img, RoundBox(0, 0, 800, 80, 0), VGradient(0, C8(26, 32, 62), 80, C8(8, 10, 24)));
    Fill(img, Capsule(0, 1.5f, 800, 1.5f, 1.2f), kCyan);
    Glow(img, Capsule(0, 1.5f, 800, 1.5f, 1), kCyan, 6, 0.35f, Box{0, 0, 800, 12});
    for (int x = 0; x < 800; x += 16)
        Fill(img, Capsule(x + 0.5f, 70, x + 0.5f, 76, 0.4f), C8(40, 60, 110), 0.6f, Box{x - 2, 68, x + 3, 78});

    FontSpec label{"DejaVu Sans", "Bold", 11};
    Rgb labelCol = C8(130, 200, 255);
    // Energy at x 60 and score at x 170: the numbers are written 37 px below the top.
    auto slot = [&](int x0, int x1, bool on) {
        Fill(img, RoundBox(x0, 28, x1, 64, 6), on ? C8(30, 45, 90) : C8(16, 20, 42), 1, Box{x0 - 1, 27, x1 + 1, 65});
        Fill(img, Ring(RoundBox(x0, 28, x1, 64, 6), on ? 1.2f : 0.6f), on ? kCyan : C8(60, 80, 140), 1,
             Box{x0 - 2, 26, x1 + 2, 66});
        if (on) Glow(img, Ring(RoundBox(x0, 28, x1, 64, 6), 1), kCyan, 6, 0.3f, Box{x0 - 8, 20, x1 + 8, 72});
    };
    slot(26, 150, false);
    Text(img, label, 60, 12, words.Energy, labelCol);
    Fill(img, RoundBox(33, 38, 49, 54, 2), kGreen);
    Fill(img, RoundBox(39, 40, 43, 52, 1), C8(10, 50, 20));
    Fill(img, RoundBox(35, 44, 47, 48, 1), C8(10, 50, 20));
    slot(160, 250, false);
    Text(img, label, 170, 12, words.Score, labelCol);

    // Centre: the name of the game.
    FontSpec title{"DejaVu Sans", "Bold", 20};
    TextC(img, title, 352, 30, "STARBREAKER", C8(200, 240, 255), 0.6f, kMagenta);
    Fill(img, Capsule(280, 58, 424, 58, 0.8f), kMagenta, 0.8f);

    const char* const* names = words.Weapons;
    int xs[3] = {480, 600, 700};
    int x0s[3] = {446, 564, 672}, x1s[3] = {556, 664, 792};
    for (int i = 0; i < 3; ++i) {
        bool on = weapon == i + 1;
        slot(x0s[i], x1s[i], on);
        Text(img, label, xs[i], 12, names[i], on ? kYellow : labelCol);
        Image icon = MiniIcon(i + 1);
        Paste(img, icon, xs[i] - 4 - icon.W, 46 - icon.H / 2);
        FontSpec key{"DejaVu Sans", "Bold", 10};
        Text(img, key, x0s[i] + 5, 14, std::to_string(i + 1), on ? kYellow : C8(90, 110, 160));
    }
    return img;
}

}  // namespace

Image ShipIcon(int size) {
    // The icon is a 112-unit square of deep space round the ship, whose drawing spans about
    // -8..104 across and 0..60 down.
    Image img(size, size);
    img.Zoom = size / 112.f;
    img.ViewX = -8;
    img.ViewY = -26;
    Sdf tile = RoundBox(-6, -24, 102, 84, 20);
    Fill(img, tile, VGradient(-24, C8(18, 16, 58), 84, C8(4, 4, 16)));
    Lcg rng(7);
    for (int i = 0; i < 18; ++i) {
        float x = rng.Range(0, 96), y = rng.Range(-18, 78), r = rng.Range(0.5f, 1.3f);
        if (y > -4 && y < 64) continue;  // none behind the ship
        Fill(img, Intersect(Circle(x, y, r), tile), Mix(kWhite, kCyan, rng.Unit()), 0.9f);
    }
    DrawShip(img, 0);
    Fill(img, Ring(tile, 0.9f), kCyan, 0.8f);
    return img;
}

std::vector<Picture> MakeSprites() {
    std::vector<Picture> out;
    auto add = [&](std::string name, std::string file, Image img) {
        out.push_back({std::move(name), "all_bmp/" + file + ".bmp", std::move(img), false});
    };
    for (int n = 1; n <= 3; ++n) add("player" + std::to_string(n), "player" + std::to_string(n), Ship(n - 1, false));
    for (int n = 1; n <= 3; ++n) add("playerg" + std::to_string(n), "playerg" + std::to_string(n), Ship(n - 1, true));
    struct Kind {
        const char* Name;
        const char* File;
        Image (*Make)(int);
    };
    const Kind kinds[] = {{"ufo", "x/ufo", Ufo}, {"nex", "x/00", Nex},     {"disp", "x/disp", Disp},
                          {"bss", "x/bss", Bss}, {"sdsa", "x/sdsa", Sdsa}, {"hunt", "x/hunt", Hunt},
                          {"bug", "x/bug", Bug}, {"gad", "x/gad", Gad}};
    for (const Kind& k : kinds)
        for (int n = 1; n <= 3; ++n) add(k.Name + std::to_string(n), k.File + std::to_string(n), k.Make(n - 1));
    for (int n = 1; n <= 9; ++n) add("b" + std::to_string(n), "b" + std::to_string(n), Explosion(64, n, false, 77));
    for (int n = 1; n <= 9; ++n) add("bo" + std::to_string(n), "bo" + std::to_string(n), Explosion(80, n, true, 91));
    for (int n = 1; n <= 6; ++n) add("bb" + std::to_string(n), "bb" + std::to_string(n), Burst(n));
    add("pula1", "pula1", Bolt(32, 10, kCyan, +1, 2.2f));
    add("pula2", "pula2", Bolt(16, 8, kOrange, -1, 1.8f));
    add("pula3", "pula3", Bolt(22, 10, kRed, -1, 2.2f));
    add("pula4", "pula4", Orb(26, 14, kGreen, C8(60, 200, 90)));
    add("pula5", "pula5", Bolt(30, 10, kYellow, -1, 2.0f));
    add("pula6", "pula6", Orb(34, 22, kMagenta, kRed));
    add("pus1", "pus1", Lance());
    add("pus2", "pus2", Missile(kOrange, C8(255, 200, 80)));
    add("pus3", "pus3", Missile(kGreen, C8(140, 255, 160)));
    for (int k = 1; k <= 4; ++k)
        for (int n = 1; n <= 3; ++n)
            add("bon" + std::to_string(k) + std::to_string(n), "bon" + std::to_string(k) + std::to_string(n),
                Bonus(k, n - 1));
    add("star", "star", StarDot());
    for (Picture& p : MakeHudPanels(Lang::Ru)) out.push_back(std::move(p));
    return out;
}

std::vector<Picture> MakeHudPanels(Lang lang) {
    std::vector<Picture> out;
    for (int n = 1; n <= 3; ++n)
        out.push_back({"panel" + std::to_string(n), LangFolder(lang) + "all_bmp/x/panel" + std::to_string(n) + ".bmp",
                       Panel(n, lang == Lang::En ? kHudEnglish : kHudRussian), false});
    return out;
}

}  // namespace gen
