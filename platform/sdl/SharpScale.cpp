// The sharp enlargement.
#include "platform/sdl/SharpScale.h"

#include <algorithm>
#include <cstring>

namespace platform::sdl {

SharpScaler::Axis SharpScaler::MakeAxis(int source, int output) {
    // In units of 1/output of a source pixel, output pixel i covers [i*source, (i+1)*source).
    Axis a;
    a.First.resize(static_cast<size_t>(output));
    a.NextPart.resize(static_cast<size_t>(output));
    for (int i = 0; i < output; ++i) {
        const int64_t from = static_cast<int64_t>(i) * source, to = from + source;
        const int64_t first = from / output, edge = (first + 1) * output;
        a.First[static_cast<size_t>(i)] = static_cast<int>(first);
        const int64_t over = to > edge && first + 1 < source ? to - edge : 0;
        a.NextPart[static_cast<size_t>(i)] = static_cast<uint32_t>((over * 256 + source / 2) / source);
    }
    return a;
}

void SharpScaler::Resize(Size source, Size output) {
    if (source == source_ && output == output_) return;
    source_ = source;
    output_ = output;
    x_ = MakeAxis(source.Width, output.Width);
    y_ = MakeAxis(source.Height, output.Height);
    for (auto& r : rows_) r.assign(static_cast<size_t>(std::max(0, output.Width)), 0);
    rowOf_[0] = rowOf_[1] = -1;
}

void SharpScaler::Span(const Axis& a, int s0, int s1, int& from, int& to) {
    // First is ascending; an output pixel reads First and, when it mixes, First + 1.
    const auto& f = a.First;
    auto i = std::lower_bound(f.begin(), f.end(), s0 - 1);
    while (i != f.end() && *i < s0 && !a.NextPart[static_cast<size_t>(i - f.begin())]) ++i;
    from = static_cast<int>(i - f.begin());
    to = static_cast<int>(std::lower_bound(f.begin(), f.end(), s1) - f.begin());
    if (to < from) to = from;
}

Rect SharpScaler::OutputOf(const Rect& source) const {
    const int l = std::max(0, source.Left), t = std::max(0, source.Top);
    const int r = std::min(source_.Width, source.Right), b = std::min(source_.Height, source.Bottom);
    if (l >= r || t >= b) return {};
    Rect out;
    Span(x_, l, r, out.Left, out.Right);
    Span(y_, t, b, out.Top, out.Bottom);
    return out;
}

void SharpScaler::ScaleRow(const uint32_t* src, uint32_t* out, int x0, int x1) const {
    if (source_.Width == output_.Width) {  // 1:1 across
        std::memcpy(out + x0, src + x0, static_cast<size_t>(x1 - x0) * 4);
        return;
    }
    if (const int k = output_.Width / source_.Width; k * source_.Width == output_.Width) {
        // A whole multiple: every source pixel k times, no look-up.
        int s = x0 / k, i = x0;
        if (i % k) {  // the end of a block the area starts inside
            for (const int end = std::min(x1, (s + 1) * k); i < end; ++i) out[i] = src[s];
            ++s;
        }
        const int blocks = std::max(0, (x1 - i) / k);
        if (k == 2) {
            for (int n = 0; n < blocks; ++n, ++s, i += 2) out[i] = out[i + 1] = src[s];
        } else if (k == 3) {
            for (int n = 0; n < blocks; ++n, ++s, i += 3) out[i] = out[i + 1] = out[i + 2] = src[s];
        } else {
            for (int n = 0; n < blocks; ++n, ++s)
                for (int j = 0; j < k; ++j) out[i++] = src[s];
        }
        for (; i < x1; ++i) out[i] = src[s];  // the start of one it ends inside
        return;
    }
    const int* first = x_.First.data();
    const uint32_t* part = x_.NextPart.data();
    for (int i = x0; i < x1; ++i) {
        const uint32_t a = src[first[i]];
        out[i] = part[i] ? MixPixels(a, src[first[i] + 1], part[i]) : a;  // most take one pixel
    }
}

void SharpScaler::Scale(const uint32_t* src, int srcPitch, uint32_t* dst, int dstPitch) {
    Scale(src, srcPitch, dst, dstPitch, {0, 0, output_.Width, output_.Height});
}

void SharpScaler::Scale(const uint32_t* src, int srcPitch, uint32_t* dst, int dstPitch, const Rect& area) {
    if (source_.Width <= 0 || source_.Height <= 0 || output_.Width <= 0) return;
    const int x0 = std::max(0, area.Left), x1 = std::min(output_.Width, area.Right);
    const int y0 = std::max(0, area.Top), y1 = std::min(output_.Height, area.Bottom);
    if (x0 >= x1 || y0 >= y1) return;
    rowOf_[0] = rowOf_[1] = -1;  // a new picture, or another part of it
    // A source row scaled across, from the two kept (each source row is scaled once, then
    // copied to every output row that takes it whole).
    auto across = [&](int row) -> const uint32_t* {
        for (int k = 0; k < 2; ++k)
            if (rowOf_[k] == row) return rows_[k].data();
        const int k = rowOf_[0] < rowOf_[1] ? 0 : 1;  // the older, as rows only go down
        ScaleRow(src + static_cast<size_t>(row) * srcPitch, rows_[k].data(), x0, x1);
        rowOf_[k] = row;
        return rows_[k].data();
    };
    const size_t bytes = static_cast<size_t>(x1 - x0) * 4;
    auto rowAt = [&](int y) {
        return reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(dst) + static_cast<ptrdiff_t>(y) * dstPitch);
    };
    if (output_.Height % source_.Height == 0) {
        // Whole rows: each source row scaled straight into its first output row, which the
        // next ones copy (no row mixes, so nothing else needs it).
        for (int y = y0; y < y1; ++y) {
            const int first = y_.First[static_cast<size_t>(y)];
            if (y > y0 && y_.First[static_cast<size_t>(y) - 1] == first)
                std::memcpy(rowAt(y) + x0, rowAt(y - 1) + x0, bytes);
            else ScaleRow(src + static_cast<size_t>(first) * srcPitch, rowAt(y), x0, x1);
        }
        return;
    }
    for (int y = y0; y < y1; ++y) {
        uint32_t* out = rowAt(y) + x0;
        const int first = y_.First[static_cast<size_t>(y)];
        const uint32_t part = y_.NextPart[static_cast<size_t>(y)];
        const uint32_t* a = across(first) + x0;
        if (!part) {
            std::memcpy(out, a, bytes);
            continue;
        }
        const uint32_t* b = across(first + 1) + x0;  // evicts an older row, never `first`
        // Byte by byte, which the compiler turns into wide vector arithmetic.
        const uint8_t* pa = reinterpret_cast<const uint8_t*>(a);
        const uint8_t* pb = reinterpret_cast<const uint8_t*>(b);
        uint8_t* po = reinterpret_cast<uint8_t*>(out);
        const uint16_t keep = static_cast<uint16_t>(256 - part), take = static_cast<uint16_t>(part);
        for (size_t i = 0; i < bytes; ++i)
            po[i] =
                static_cast<uint8_t>((static_cast<uint16_t>(pa[i] * keep) + static_cast<uint16_t>(pb[i] * take)) >> 8);
    }
}

}  // namespace platform::sdl
