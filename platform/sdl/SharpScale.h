// Enlarging a picture to any size and keeping it sharp: every output pixel takes the source
// pixel it lies on, and only a pixel that straddles the edge between two source pixels mixes
// them, by how much of it each covers (at most two per axis). Whole multiples are therefore
// plain k x k blocks. Written straight into the final-size picture, so the renderer only copies.
//
// Pure arithmetic on 0x00RRGGBB pixels, kept apart from SDL.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Platform.h"

namespace platform::sdl {

class SharpScaler {
public:
    // Precomputes the mix of every output column and row; output at least as large as source.
    void Resize(Size source, Size output);
    Size Source() const { return source_; }
    Size Output() const { return output_; }
    // src: Source().Height rows of Source().Width pixels, srcPitch pixels apart; dst likewise
    // at Output() size, dstPitch bytes apart.
    void Scale(const uint32_t* src, int srcPitch, uint32_t* dst, int dstPitch);
    // Only the output pixels inside `area` (clipped to the output) are written.
    void Scale(const uint32_t* src, int srcPitch, uint32_t* dst, int dstPitch, const Rect& area);
    // The output pixels that depend on any source pixel inside `source` (empty when none do).
    Rect OutputOf(const Rect& source) const;

private:
    struct Axis {
        std::vector<int> First;          // the source pixel an output pixel starts on
        std::vector<uint32_t> NextPart;  // how much of the following one it covers, 0..256
    };
    static Axis MakeAxis(int source, int output);
    // Output pixels [from, to) of the axis that read source pixels [s0, s1).
    static void Span(const Axis& a, int s0, int s1, int& from, int& to);
    void ScaleRow(const uint32_t* src, uint32_t* out, int x0, int x1) const;

    Size source_{}, output_{};
    Axis x_, y_;
    std::vector<uint32_t> rows_[2];  // two source rows scaled across, for the rows that mix
    int rowOf_[2] = {-1, -1};
};

// a and b mixed, part (0..256) of b.
inline uint32_t MixPixels(uint32_t a, uint32_t b, uint32_t part) {
    const uint32_t keep = 256 - part;
    const uint32_t rb = ((a & 0xFF00FF) * keep + (b & 0xFF00FF) * part) >> 8;
    const uint32_t g = ((a & 0x00FF00) * keep + (b & 0x00FF00) * part) >> 8;
    return (rb & 0xFF00FF) | (g & 0x00FF00);
}

}  // namespace platform::sdl
