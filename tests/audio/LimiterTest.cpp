// The limiter on the final mix: never past its ceiling whatever is added up, transparent below
// it, recovering after a burst, and the same however the stream is cut into buffers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "platform/sdl/Limiter.h"

using platform::sdl::Limiter;

namespace {

constexpr int kRate = 44100;

// `voices` copies of a decaying 440 Hz tone, each at full scale, starting 1/60 s apart (the
// hit sound once a frame), in stereo, with the left and right channels a little apart.
std::vector<float> Pile(int voices, double seconds) {
    const size_t frames = static_cast<size_t>(kRate * seconds);
    std::vector<float> out(frames * 2, 0.0f);
    for (int v = 0; v < voices; ++v) {
        const size_t start = static_cast<size_t>(v) * kRate / 60;
        for (size_t f = start; f < frames; ++f) {
            const double t = static_cast<double>(f - start) / kRate;
            const double s = std::sin(2 * M_PI * 440 * t + 0.1 * v) * std::exp(-2 * t);
            out[2 * f] += static_cast<float>(s);
            out[2 * f + 1] += static_cast<float>(0.8 * s);
        }
    }
    return out;
}

// Runs the stream through a new limiter in buffers of the given sizes, in turn.
std::vector<float> Limit(std::vector<float> samples, const std::vector<size_t>& bufferFrames) {
    Limiter limiter(kRate, 2);
    size_t at = 0, k = 0;
    while (at < samples.size()) {
        const size_t n = std::min(bufferFrames[k++ % bufferFrames.size()] * 2, samples.size() - at);
        limiter.Run(samples.data() + at, n);
        at += n;
    }
    return samples;
}

float Peak(const std::vector<float>& s, size_t from = 0, size_t to = SIZE_MAX) {
    float p = 0;
    for (size_t i = from; i < std::min(to, s.size()); ++i) p = std::max(p, std::fabs(s[i]));
    return p;
}

}  // namespace

TEST(Limiter, NothingPassesTheCeilingWhateverTheNumberOfVoices) {
    for (int voices : {1, 2, 8, 24, 60, 200}) {
        const std::vector<float> in = Pile(voices, 1.5);
        const std::vector<float> out = Limit(in, {1024, 7, 333});
        EXPECT_LE(Peak(out), Limiter::Ceiling) << voices << " voices (in: " << Peak(in) << ")";
        if (voices >= 8) {
            EXPECT_GT(Peak(out), 0.9f * Limiter::Ceiling) << voices;  // limited, not silenced
        }
    }
}

TEST(Limiter, SoundUnderTheCeilingPassesUntouchedOnlyLate) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> quiet(-0.9f, 0.9f);
    std::vector<float> in(2 * 20000);
    for (float& s : in) s = quiet(rng);
    const std::vector<float> out = Limit(in, {512});
    const size_t delay = 2 * static_cast<size_t>(Limiter(kRate, 2).Delay());
    for (size_t i = 0; i + delay < in.size(); ++i) ASSERT_EQ(out[i + delay], in[i]) << i;
}

TEST(Limiter, GainComesBackAfterABurstAndTheCutsOfTheStreamDoNotMatter) {
    std::vector<float> in = Pile(40, 1.0);
    std::vector<float> tail(2 * kRate, 0.0f);  // then one second of a quiet tone
    for (size_t f = 0; f < tail.size() / 2; ++f)
        tail[2 * f] = tail[2 * f + 1] = static_cast<float>(0.3 * std::sin(f * 0.05));
    in.insert(in.end(), tail.begin(), tail.end());

    const std::vector<float> a = Limit(in, {1024});
    const std::vector<float> b = Limit(in, {1, 4096, 37});
    EXPECT_EQ(a, b);
    // The last half second of the tone is at its own level again.
    const size_t from = in.size() - kRate;
    EXPECT_NEAR(Peak(a, from), 0.3f, 0.01f);
}
