// The limiter on the final mix: keeps interleaved floating-point samples under a ceiling just
// below full scale, whatever was added up to make them.
//
// It looks a little ahead (the output is that much late): the gain a loud frame needs is
// reached by a straight ramp over the frames before it, so a sudden pile of voices is turned
// down without a click, and no frame ever leaves above the ceiling. Afterwards the gain
// recovers smoothly. Material under the ceiling passes untouched, only delayed.
#pragma once

#include <cstddef>
#include <vector>

namespace platform::sdl {

class Limiter {
public:
    static constexpr float Ceiling = 0.977f;  // -0.2 dB
    static constexpr double LookAheadSeconds = 0.0015;
    static constexpr double ReleaseSeconds = 0.2;

    Limiter(int frequency, int channels);

    // Limits count samples (whole frames of `channels` samples) in place; the stream that
    // comes out is the stream that went in, Delay() frames later.
    void Run(float* samples, size_t count);

    int Delay() const { return lookAhead_; }
    float Gain() const { return gain_; }

private:
    int channels_;
    int lookAhead_;
    float release_;
    float gain_ = 1.0f;
    // The last lookAhead_ frames and the gain each needs, in rings; pos_ is the oldest.
    std::vector<float> frames_;
    std::vector<float> needs_;
    int pos_ = 0;
};

}  // namespace platform::sdl
