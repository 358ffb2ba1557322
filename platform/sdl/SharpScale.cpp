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

void SharpScaler::ScaleRow(const uint32_t* src, uint32_t* out) const {
    const int* first = x_.First.data();
    const uint32_t* part = x_.NextPart.data();
    for (int i = 0, n = output_.Width; i < n; ++i) {
        const uint32_t a = src[first[i]];
        out[i] = part[i] ? MixPixels(a, src[first[i] + 1], part[i]) : a;  // most take one pixel
    }
}

void SharpScaler::Scale(const uint32_t* src, int srcPitch, uint32_t* dst, int dstPitch) {
    if (source_.Width <= 0 || source_.Height <= 0 || output_.Width <= 0) return;
    rowOf_[0] = rowOf_[1] = -1;  // a new picture
    // A source row scaled across, from the two kept (each source row is scaled once).
    auto across = [&](int row) -> const uint32_t* {
        for (int k = 0; k < 2; ++k)
            if (rowOf_[k] == row) return rows_[k].data();
        const int k = rowOf_[0] < rowOf_[1] ? 0 : 1;  // the older, as rows only go down
        ScaleRow(src + static_cast<size_t>(row) * srcPitch, rows_[k].data());
        rowOf_[k] = row;
        return rows_[k].data();
    };
    const size_t bytes = static_cast<size_t>(output_.Width) * 4;
    for (int y = 0; y < output_.Height; ++y) {
        uint32_t* out =
            reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(dst) + static_cast<size_t>(y) * dstPitch);
        const int first = y_.First[static_cast<size_t>(y)];
        const uint32_t part = y_.NextPart[static_cast<size_t>(y)];
        const uint32_t* a = across(first);
        if (!part) {
            std::memcpy(out, a, bytes);
            continue;
        }
        const uint32_t* b = across(first + 1);  // evicts an older row, never `first`
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
