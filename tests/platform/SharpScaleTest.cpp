// The sharp enlargement: whole multiples as blocks, fractional sizes mixed only at the edges
// between source pixels.
#include <gtest/gtest.h>

#include <vector>

#include "platform/sdl/SharpScale.h"

using namespace platform;
using namespace platform::sdl;

namespace {

std::vector<uint32_t> Noise(Size s) {
    std::vector<uint32_t> p(static_cast<size_t>(s.Width) * s.Height);
    uint32_t seed = 7;
    for (auto& v : p) v = (seed = seed * 1664525u + 1013904223u) >> 8;
    return p;
}

std::vector<uint32_t> Scaled(const std::vector<uint32_t>& src, Size from, Size to) {
    SharpScaler s;
    s.Resize(from, to);
    std::vector<uint32_t> out(static_cast<size_t>(to.Width) * to.Height, 0xDEADBEEF);
    s.Scale(src.data(), from.Width, out.data(), to.Width * 4);
    return out;
}

bool Between(uint32_t v, uint32_t a, uint32_t b) {
    for (int shift : {0, 8, 16}) {
        const uint32_t c = (v >> shift) & 255, x = (a >> shift) & 255, y = (b >> shift) & 255;
        if (c < std::min(x, y) || c > std::max(x, y)) return false;
    }
    return (v >> 24) == 0;
}

}  // namespace

TEST(SharpScale, WholeMultiplesAreUniformBlocks) {
    const Size from{8, 6};
    const auto src = Noise(from);
    for (int k : {1, 2, 3, 4}) {
        const auto out = Scaled(src, from, {8 * k, 6 * k});
        for (int y = 0; y < 6 * k; ++y)
            for (int x = 0; x < 8 * k; ++x)
                ASSERT_EQ(out[static_cast<size_t>(y) * 8 * k + x], src[static_cast<size_t>(y / k) * 8 + x / k])
                    << k << "x at " << x << "," << y;
    }
}

TEST(SharpScale, FractionalSizesMixOnlyNeighboursAtTheirEdges) {
    struct Case {
        Size From, To;
    } cases[] = {{{8, 6}, {14, 10}}, {{800, 600}, {1440, 1080}}, {{800, 600}, {1920, 1440}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.To.Width << "x" << c.To.Height);
        const auto src = Noise(c.From);
        const auto out = Scaled(src, c.From, c.To);
        auto at = [&](int x, int y) { return src[static_cast<size_t>(y) * c.From.Width + x]; };
        int exact = 0;
        for (int y = 0; y < c.To.Height; ++y)
            for (int x = 0; x < c.To.Width; ++x) {
                const uint32_t v = out[static_cast<size_t>(y) * c.To.Width + x];
                // Where the output pixel's span lies, in source pixels.
                const int x0 = x * c.From.Width / c.To.Width, x1 = ((x + 1) * c.From.Width - 1) / c.To.Width;
                const int y0 = y * c.From.Height / c.To.Height, y1 = ((y + 1) * c.From.Height - 1) / c.To.Height;
                if (x0 == x1 && y0 == y1) {
                    ASSERT_EQ(v, at(x0, y0)) << x << "," << y;  // inside one source pixel: that pixel
                    ++exact;
                    continue;
                }
                // On an edge: between the neighbours it straddles, channel by channel.
                uint32_t lo = 0xFFFFFF, hi = 0;
                for (int sy = y0; sy <= y1; ++sy)
                    for (int sx = x0; sx <= x1; ++sx)
                        for (int shift : {0, 8, 16}) {
                            const uint32_t ch = (at(sx, sy) >> shift) & 255;
                            lo = (lo & ~(255u << shift)) | (std::min((lo >> shift) & 255, ch) << shift);
                            hi = (hi & ~(255u << shift)) | (std::max((hi >> shift) & 255, ch) << shift);
                        }
                ASSERT_TRUE(Between(v, lo, hi)) << x << "," << y;
            }
        // Most of the picture stays the source's own pixels.
        EXPECT_GT(exact, c.To.Width * c.To.Height / 4);
    }
}

// A changed part of the source is redrawn by scaling only its OutputOf area: the result is the
// whole new picture scaled, and nothing outside that area changed.
TEST(SharpScale, ChangedPartsRedrawOnlyTheirOutputArea) {
    struct Case {
        Size From, To;
        Rect Changed;
    } cases[] = {
        {{8, 6}, {8, 6}, {2, 1, 5, 3}},
        {{8, 6}, {16, 12}, {3, 2, 4, 3}},
        {{8, 6}, {32, 24}, {0, 0, 1, 6}},
        {{8, 6}, {14, 10}, {3, 2, 5, 4}},
        {{8, 6}, {14, 10}, {7, 5, 8, 6}},
        {{8, 6}, {14, 10}, {0, 0, 8, 6}},
        {{800, 600}, {1440, 1080}, {401, 17, 403, 18}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.To.Width << "x" << c.To.Height << " changed at " << c.Changed.Left << ","
                                        << c.Changed.Top);
        const auto before = Noise(c.From);
        auto after = before;
        for (int y = c.Changed.Top; y < c.Changed.Bottom; ++y)
            for (int x = c.Changed.Left; x < c.Changed.Right; ++x)
                after[static_cast<size_t>(y) * c.From.Width + x] ^= 0x804020;
        SharpScaler s;
        s.Resize(c.From, c.To);
        const Rect area = s.OutputOf(c.Changed);
        auto redrawn = Scaled(before, c.From, c.To);
        s.Scale(after.data(), c.From.Width, redrawn.data(), c.To.Width * 4, area);
        const auto expected = Scaled(after, c.From, c.To);
        const auto old = Scaled(before, c.From, c.To);
        for (int y = 0; y < c.To.Height; ++y)
            for (int x = 0; x < c.To.Width; ++x) {
                const size_t i = static_cast<size_t>(y) * c.To.Width + x;
                ASSERT_EQ(redrawn[i], expected[i]) << x << "," << y;
                const bool inside = x >= area.Left && x < area.Right && y >= area.Top && y < area.Bottom;
                if (!inside) { ASSERT_EQ(expected[i], old[i]) << "changed outside the area at " << x << "," << y; }
            }
    }
    SharpScaler s;
    s.Resize({8, 6}, {14, 10});
    EXPECT_TRUE(s.OutputOf({8, 0, 9, 6}).Empty());  // wholly outside the source
}
