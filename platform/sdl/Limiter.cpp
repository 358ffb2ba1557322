// The look-ahead limiter on the final mix.
#include "platform/sdl/Limiter.h"

#include <algorithm>
#include <cmath>

namespace platform::sdl {

Limiter::Limiter(int frequency, int channels)
    : channels_(std::max(1, channels)),
      lookAhead_(std::max(1, static_cast<int>(std::lround(LookAheadSeconds * std::max(1, frequency))))),
      release_(static_cast<float>(std::exp(-1.0 / (ReleaseSeconds * std::max(1, frequency))))),
      frames_(static_cast<size_t>(lookAhead_ * channels_), 0.0f),
      needs_(static_cast<size_t>(lookAhead_), 1.0f) {}

void Limiter::Run(float* samples, size_t count) {
    const size_t ch = static_cast<size_t>(channels_);
    const float span = static_cast<float>(lookAhead_ + 1);
    // What a frame d frames after the leaving one allows it: its need, eased back towards 1
    // the further away it is, so the gain reaches each need on a straight ramp.
    auto allowance = [span](float need, int d) { return need + (1.0f - need) * static_cast<float>(d) / span; };
    for (size_t i = 0; i + ch <= count; i += ch) {
        float peak = 0.0f;
        for (size_t c = 0; c < ch; ++c) peak = std::max(peak, std::fabs(samples[i + c]));
        // A hair under the exact ratio, so rounding cannot lift a sample past the ceiling.
        const float need = peak > Ceiling ? Ceiling / peak * 0.99999f : 1.0f;

        // The frame leaving now is the oldest in the ring (d = 0); the new one is d = lookAhead_.
        float target = allowance(need, lookAhead_);
        for (int d = 0; d < lookAhead_; ++d) {
            const float n = needs_[static_cast<size_t>((pos_ + d) % lookAhead_)];
            if (n < 1.0f) target = std::min(target, allowance(n, d));
        }
        // Down as far as the ramps ask at once, back up slowly.
        gain_ = std::min(target, 1.0f - (1.0f - gain_) * release_);

        float* slot = &frames_[static_cast<size_t>(pos_) * ch];
        for (size_t c = 0; c < ch; ++c) {
            const float in = samples[i + c];
            samples[i + c] = slot[c] * gain_;
            slot[c] = in;
        }
        needs_[static_cast<size_t>(pos_)] = need;
        pos_ = (pos_ + 1) % lookAhead_;
    }
}

}  // namespace platform::sdl
