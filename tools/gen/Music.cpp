// The game's music: a 64-second synth loop in A minor (pad, bass, arpeggio, lead, soft drums),
// rendered so that its end flows into its start, and encoded to MP3.
#include <lame/lame.h>

#include <cmath>
#include <memory>
#include <stdexcept>

#include "tools/gen/Catalogue.h"

namespace gen {

namespace {

constexpr int kRate = 44100;
constexpr int kStep = 5512;  // a sixteenth note: 120 beats a minute
constexpr int kBars = 32;
constexpr int kLoop = kBars * 16 * kStep;
constexpr double kTau = 6.283185307179586;

double Midi(double n) { return 440.0 * std::pow(2.0, (n - 69) / 12.0); }

// Stereo buffer that wraps round, so notes ringing past the end sound at the start.
struct Mix2 {
    std::vector<double> L = std::vector<double>(kLoop, 0.0), R = std::vector<double>(kLoop, 0.0);
    void Add(long i, double v, double pan) {  // pan −1 .. 1
        size_t k = static_cast<size_t>(((i % kLoop) + kLoop) % kLoop);
        L[k] += v * std::sqrt(0.5 * (1 - pan));
        R[k] += v * std::sqrt(0.5 * (1 + pan));
    }
};

double PolyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1;
    }
    if (t > 1 - dt) {
        t = (t - 1) / dt;
        return t * t + t + t + 1;
    }
    return 0;
}

// Band-limited saw and pulse from a phase in 0..1.
struct Osc {
    double Phase = 0;
    double Saw(double f) {
        double dt = f / kRate;
        double v = 2 * Phase - 1 - PolyBlep(Phase, dt);
        Phase += dt;
        if (Phase >= 1) Phase -= 1;
        return v;
    }
    double Pulse(double f, double duty) {
        double dt = f / kRate;
        double v = (Phase < duty ? 1.0 : -1.0) + PolyBlep(Phase, dt) - PolyBlep(std::fmod(Phase + 1 - duty, 1.0), dt);
        Phase += dt;
        if (Phase >= 1) Phase -= 1;
        return v;
    }
};

struct OnePole {
    double Z = 0;
    double Run(double in, double fc) {
        double a = 1 - std::exp(-kTau * fc / kRate);
        Z += a * (in - Z);
        return Z;
    }
};

// Chords of the eight-bar progression: Am F C G Am F G E.
const int kRoots[8] = {45, 41, 48, 43, 45, 41, 43, 40};
const bool kMajor[8] = {false, true, true, true, false, true, true, true};

void Pad(Mix2& m, long start, long len, int root, bool major, double vel) {
    int notes[3] = {root + 12, root + 12 + (major ? 4 : 3), root + 19};
    for (int n = 0; n < 3; ++n)
        for (int d = -1; d <= 1; ++d) {
            Osc o;
            o.Phase = 0.17 * (n * 3 + d + 1);
            OnePole lp;
            double f = Midi(notes[n] + d * 0.08);
            long total = len + kRate * 6 / 10;
            for (long i = 0; i < total; ++i) {
                double t = static_cast<double>(i) / kRate;
                double env = std::min(1.0, t / 0.35) * (i < len ? 1.0 : std::exp(-(i - len) / (0.18 * kRate)));
                double v = lp.Run(o.Saw(f), 900 + 300 * std::sin(kTau * 0.25 * (start + i) / kRate));
                m.Add(start + i, v * env * vel * 0.045, d * 0.6);
            }
        }
}

void Bass(Mix2& m, long start, long len, double f, double vel) {
    Osc a, b;
    OnePole lp, lp2;
    long total = len + kRate / 20;
    for (long i = 0; i < total; ++i) {
        double t = static_cast<double>(i) / kRate;
        double env = std::min(1.0, t / 0.004) * (i < len ? 1.0 : std::exp(-(i - len) / (0.012 * kRate)));
        double fc = 180 + 1400 * std::exp(-t * 14);
        double v = lp2.Run(lp.Run(0.6 * a.Saw(f) + 0.4 * b.Pulse(f * 0.5, 0.5), fc), fc * 1.5);
        m.Add(start + i, v * env * vel * 0.32, 0);
    }
}

void Pluck(Mix2& m, std::vector<double>& sendL, std::vector<double>& sendR, long start, double f, double vel,
           double pan) {
    Osc o;
    OnePole lp;
    long total = kRate * 3 / 10;
    for (long i = 0; i < total; ++i) {
        double t = static_cast<double>(i) / kRate;
        double env = std::min(1.0, t / 0.002) * std::exp(-t * 11);
        double v = lp.Run(o.Pulse(f, 0.3), 1200 + 3500 * std::exp(-t * 20)) * env * vel * 0.09;
        m.Add(start + i, v, pan);
        size_t k = static_cast<size_t>((start + i) % kLoop);
        sendL[k] += v * 0.5 * (1 - pan);
        sendR[k] += v * 0.5 * (1 + pan);
    }
}

void Lead(Mix2& m, std::vector<double>& sendL, std::vector<double>& sendR, long start, long len, double f, double vel) {
    double ph = 0;
    long total = len + kRate / 6;
    for (long i = 0; i < total; ++i) {
        double t = static_cast<double>(i) / kRate;
        double vib = 1 + 0.004 * std::sin(kTau * 5.2 * t) * std::min(1.0, std::max(0.0, (t - 0.15) / 0.2));
        ph += kTau * f * vib / kRate;
        double env = std::min(1.0, t / 0.02) *
                     (i < len ? 1.0 - 0.25 * std::min(1.0, t / 0.6) : 0.75 * std::exp(-(i - len) / (0.05 * kRate)));
        double tri = (2 / M_PI) * std::asin(std::sin(ph));
        double v = (0.6 * tri + 0.4 * std::sin(ph) + 0.08 * std::sin(2 * ph)) * env * vel * 0.13;
        m.Add(start + i, v, 0.1);
        size_t k = static_cast<size_t>((start + i) % kLoop);
        sendL[k] += v * 0.6;
        sendR[k] += v * 0.6;
    }
}

void Kick(Mix2& m, long start, double vel) {
    double ph = 0;
    for (long i = 0; i < kRate * 3 / 10; ++i) {
        double t = static_cast<double>(i) / kRate;
        ph += kTau * (48 + 110 * std::exp(-t * 30)) / kRate;
        m.Add(start + i, std::sin(ph) * std::exp(-t * 9) * std::min(1.0, t / 0.001) * vel * 0.5, 0);
    }
}

void Snare(Mix2& m, Lcg& rng, long start, double vel) {
    OnePole lp;
    double ph = 0;
    for (long i = 0; i < kRate / 4; ++i) {
        double t = static_cast<double>(i) / kRate;
        double n = rng.Unit() * 2 - 1;
        double hp = n - lp.Run(n, 1500);
        ph += kTau * 185 / kRate;
        double v = (0.55 * hp * std::exp(-t * 16) + 0.4 * std::sin(ph) * std::exp(-t * 30)) * std::min(1.0, t / 0.001);
        m.Add(start + i, v * vel * 0.28, 0.1);
    }
}

void Hat(Mix2& m, Lcg& rng, long start, double vel, double pan) {
    OnePole lp;
    for (long i = 0; i < kRate / 20; ++i) {
        double t = static_cast<double>(i) / kRate;
        double n = rng.Unit() * 2 - 1;
        double hp = n - lp.Run(n, 7000);
        m.Add(start + i, hp * std::exp(-t * 70) * vel * 0.12, pan);
    }
}

struct Note {
    int Step, Len, Midi;
};
// The lead's eight-bar tune over the progression.
const std::vector<std::vector<Note>> kTune = {
    {{0, 4, 76}, {4, 2, 72}, {6, 2, 74}, {8, 6, 76}, {14, 2, 69}},
    {{0, 4, 77}, {4, 2, 76}, {6, 2, 72}, {8, 8, 69}},
    {{0, 6, 79}, {6, 2, 76}, {8, 4, 72}, {12, 4, 74}},
    {{0, 4, 71}, {4, 4, 74}, {8, 6, 79}, {14, 2, 77}},
    {{0, 4, 76}, {4, 4, 81}, {8, 2, 79}, {10, 2, 76}, {12, 4, 72}},
    {{0, 4, 74}, {4, 4, 77}, {8, 4, 81}, {12, 4, 79}},
    {{0, 4, 79}, {4, 2, 77}, {6, 2, 76}, {8, 8, 74}},
    {{0, 6, 76}, {6, 2, 71}, {8, 4, 68}, {12, 4, 71}},
};

std::vector<int16_t> Render() {
    Mix2 m;
    std::vector<double> sendL(kLoop, 0.0), sendR(kLoop, 0.0);
    Lcg rng(2024);
    for (int bar = 0; bar < kBars; ++bar) {
        int c = bar % 8, section = bar / 8;
        long b0 = static_cast<long>(bar) * 16 * kStep;
        int root = kRoots[c];
        bool major = kMajor[c];
        Pad(m, b0, 16L * kStep, root, major, section == 0 ? 0.8 : 1.0);
        // Bass in eighths: root, root, octave, root ... with a push into the next bar.
        const int bassPat[8] = {0, 0, 12, 0, 0, 7, 12, 0};
        for (int k = 0; k < 8; ++k) {
            double vel = (k % 2 == 0 ? 1.0 : 0.75) * (section == 0 ? 0.85 : 1.0);
            Bass(m, b0 + k * 2L * kStep, static_cast<long>(kStep * 1.7), Midi(root - 12 + bassPat[k]), vel);
        }
        // Drums: soft in the first section, full after; a fill closes the last bar.
        for (int s = 0; s < 16; ++s) {
            long t = b0 + static_cast<long>(s) * kStep;
            if (s % 4 == 0 && (section > 0 || s % 8 == 0)) Kick(m, t, 0.9);
            if (section > 0 && s == 10 && bar % 2 == 1) Kick(m, t, 0.6);
            if (section > 0 && (s == 4 || s == 12)) Snare(m, rng, t, 0.8);
            if (bar == kBars - 1 && s >= 12) Snare(m, rng, t, 0.35 + 0.15 * (s - 12));
            if (s % 2 == 0) Hat(m, rng, t, s % 4 == 2 ? 0.9 : 0.5, 0.35);
            else if (section > 0) Hat(m, rng, t, 0.3, -0.35);
        }
        // Arpeggio from the second section on.
        if (section >= 1) {
            int tones[4] = {0, major ? 4 : 3, 7, 12};
            const int order[16] = {0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2, 3, 1, 2, 0, 2};
            for (int s = 0; s < 16; ++s)
                Pluck(m, sendL, sendR, b0 + static_cast<long>(s) * kStep, Midi(root + 24 + tones[order[s]]),
                      s % 4 == 0 ? 1.0 : 0.7, s % 2 ? 0.45 : -0.45);
        }
        // The tune in the third and fourth sections.
        if (section >= 2)
            for (const Note& n : kTune[c])
                Lead(m, sendL, sendR, b0 + static_cast<long>(n.Step) * kStep,
                     static_cast<long>(n.Len) * kStep - kStep / 4, Midi(n.Midi), section == 3 ? 0.9 : 1.0);
    }
    // Ping-pong echo on the sends (three sixteenths), run round the loop twice so that its
    // start already carries the echoes of its end.
    const long d = 3L * kStep;
    std::vector<double> eL(kLoop, 0.0), eR(kLoop, 0.0);
    for (int pass = 0; pass < 2; ++pass)
        for (long i = 0; i < kLoop; ++i) {
            long j = (i - d + kLoop) % kLoop;
            eL[i] = 0.4 * (sendL[j] + sendR[j]) + 0.42 * eR[j];
            eR[i] = 0.42 * eL[j];
        }
    std::vector<int16_t> pcm(static_cast<size_t>(kLoop) * 2);
    double peak = 1e-9;
    for (long i = 0; i < kLoop; ++i) peak = std::max({peak, std::fabs(m.L[i] + eL[i]), std::fabs(m.R[i] + eR[i])});
    double g = 0.89 / peak;
    for (long i = 0; i < kLoop; ++i) {
        pcm[2 * i] = static_cast<int16_t>(std::lround((m.L[i] + eL[i]) * g * 32767));
        pcm[2 * i + 1] = static_cast<int16_t>(std::lround((m.R[i] + eR[i]) * g * 32767));
    }
    return pcm;
}

}  // namespace

std::vector<uint8_t> MakeMusic() {
    std::vector<int16_t> pcm = Render();
    std::unique_ptr<lame_global_flags, decltype(&lame_close)> lame(lame_init(), lame_close);
    if (!lame) throw std::runtime_error("LAME cannot be initialised");
    lame_set_in_samplerate(lame.get(), kRate);
    lame_set_out_samplerate(lame.get(), kRate);
    lame_set_num_channels(lame.get(), 2);
    lame_set_mode(lame.get(), JOINT_STEREO);
    lame_set_brate(lame.get(), 160);
    lame_set_VBR(lame.get(), vbr_off);
    lame_set_quality(lame.get(), 5);
    lame_set_bWriteVbrTag(lame.get(), 1);  // the tag lets players drop the encoder's padding
    lame_set_write_id3tag_automatic(lame.get(), 0);
    if (lame_init_params(lame.get()) < 0) throw std::runtime_error("LAME refuses its settings");
    std::vector<uint8_t> out;
    const int chunk = 8192;
    std::vector<unsigned char> buf(static_cast<size_t>(1.25 * chunk + 7200));
    for (size_t pos = 0; pos < pcm.size() / 2; pos += chunk) {
        int n = static_cast<int>(std::min<size_t>(chunk, pcm.size() / 2 - pos));
        int w = lame_encode_buffer_interleaved(lame.get(), &pcm[pos * 2], n, buf.data(), static_cast<int>(buf.size()));
        if (w < 0) throw std::runtime_error("MP3 encoding failed");
        out.insert(out.end(), buf.begin(), buf.begin() + w);
    }
    int w = lame_encode_flush(lame.get(), buf.data(), static_cast<int>(buf.size()));
    if (w < 0) throw std::runtime_error("MP3 encoding failed");
    out.insert(out.end(), buf.begin(), buf.begin() + w);
    std::vector<unsigned char> tag(4096);
    size_t tagSize = lame_get_lametag_frame(lame.get(), tag.data(), tag.size());
    if (tagSize > 0 && tagSize <= out.size()) std::copy_n(tag.begin(), tagSize, out.begin());
    return out;
}

}  // namespace gen
