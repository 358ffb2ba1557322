// The seven sound effects, synthesised, in the wave catalogue's exact formats.
#include <cmath>
#include <functional>

#include "tools/gen/Catalogue.h"

namespace gen {

namespace {

constexpr double kTau = 6.283185307179586;

struct Format {
    const char* Name;
    int Rate;
    int Bits;
    int DataBytes;
    int ByteRate;
    int Align;
    bool Extra;  // the 20-byte format block: extra-size 24 and a 16-bit 0
};

// Catalogue order.
const Format kFormats[] = {
    {"snd", 11025, 16, 24076, 22050, 2, true},    {"Shoot", 22050, 8, 16542, 22050, 1, false},
    {"Menu", 8000, 16, 6116, 16000, 2, false},    {"shoot1", 22050, 8, 18216, 22050, 1, false},
    {"shoot2", 22050, 8, 36432, 22050, 1, false}, {"shoot3", 22050, 8, 36432, 22050, 1, false},
    {"noclip", 22050, 8, 4135, 22050, 1, false},
};

void Put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(x & 0xFF);
    v.push_back((x >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
    Put16(v, x & 0xFFFF);
    Put16(v, x >> 16);
}
void PutTag(std::vector<uint8_t>& v, const char* t) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(t[i]));
}

std::vector<uint8_t> Riff(const Format& f, const std::vector<uint8_t>& data) {
    uint32_t fmtSize = f.Extra ? 20 : 16;
    std::vector<uint8_t> v;
    PutTag(v, "RIFF");
    Put32(v, 4 + 8 + fmtSize + 8 + static_cast<uint32_t>(data.size()));  // no pad byte, even for an odd length
    PutTag(v, "WAVE");
    PutTag(v, "fmt ");
    Put32(v, fmtSize);
    Put16(v, 1);  // PCM
    Put16(v, 1);  // mono
    Put32(v, static_cast<uint32_t>(f.Rate));
    Put32(v, static_cast<uint32_t>(f.ByteRate));
    Put16(v, static_cast<uint32_t>(f.Align));
    Put16(v, static_cast<uint32_t>(f.Bits));
    if (f.Extra) {
        Put16(v, 24);
        Put16(v, 0);
    }
    PutTag(v, "data");
    Put32(v, static_cast<uint32_t>(data.size()));
    v.insert(v.end(), data.begin(), data.end());
    return v;
}

// Fade both ends so that no sound starts or stops with a click, then scale to the peak.
void Finish(std::vector<double>& s, int rate, double peak, double fadeInMs = 3, double fadeOutMs = 25) {
    size_t n = s.size();
    size_t fi = std::min(n, static_cast<size_t>(rate * fadeInMs / 1000));
    size_t fo = std::min(n, static_cast<size_t>(rate * fadeOutMs / 1000));
    for (size_t i = 0; i < fi; ++i) s[i] *= 0.5 - 0.5 * std::cos(M_PI * i / fi);
    for (size_t i = 0; i < fo; ++i) s[n - 1 - i] *= 0.5 - 0.5 * std::cos(M_PI * i / fo);
    double mx = 1e-9;
    for (double x : s) mx = std::max(mx, std::fabs(x));
    for (double& x : s) x *= peak / mx;
}

std::vector<uint8_t> Quantise(const std::vector<double>& s, int bits) {
    std::vector<uint8_t> out;
    for (double x : s) {
        if (bits == 16) {
            long v = std::lround(std::clamp(x, -1.0, 1.0) * 32767);
            Put16(out, static_cast<uint32_t>(static_cast<int16_t>(v)) & 0xFFFF);
        } else {
            long v = std::lround(std::clamp(x, -1.0, 1.0) * 127) + 128;
            out.push_back(static_cast<uint8_t>(std::clamp(v, 0L, 255L)));
        }
    }
    return out;
}

struct Noise {
    Lcg R{12345};
    double operator()() { return R.Unit() * 2.0 - 1.0; }
};

// Chamberlin state-variable filter.
struct Svf {
    double Low = 0, Band = 0;
    void Run(double in, double fc, double rate, double q, double& low, double& band, double& high) {
        double f = 2 * std::sin(M_PI * std::min(fc, rate / 6) / rate);
        Low += f * Band;
        double h = in - Low - q * Band;
        Band += f * h;
        low = Low, band = Band, high = h;
    }
};

// Explosion and hit: a low thump under a rumbling, darkening burst of noise.
std::vector<double> Explosion(int n, int rate) {
    std::vector<double> s(n);
    Noise noise;
    noise.R = Lcg(901);
    Svf svf;
    double ph = 0;
    Lcg crackle(33);
    double crack = 0;
    for (int i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / rate;
        double fc = 200 + 2600 * std::exp(-t * 5);
        double lo, bd, hi;
        svf.Run(noise(), fc, rate, 0.9, lo, bd, hi);
        double f = 38 + 90 * std::exp(-t * 9);
        ph += kTau * f / rate;
        if (crackle.Unit() < 0.004 * std::exp(-t * 3)) crack = crackle.Range(-0.8f, 0.8f);
        crack *= 0.93;
        double env = std::exp(-t * 3.0) * std::min(1.0, t / 0.004);
        s[i] = env * (0.75 * lo + 0.9 * std::sin(ph) * std::exp(-t * 4) + 0.3 * crack);
    }
    Finish(s, rate, 0.9, 2, 60);
    return s;
}

// Main gun: a short falling laser note with two soft echoes.
std::vector<double> Laser(int n, int rate) {
    std::vector<double> dry(n), s(n);
    double ph = 0;
    for (int i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / rate;
        double f = 260 + 1700 * std::exp(-t * 16);
        ph += kTau * f / rate;
        double tone = 0.65 * std::tanh(2.5 * std::sin(ph)) + 0.35 * std::sin(2 * ph);
        dry[i] = tone * std::exp(-t * 18) * std::min(1.0, t / 0.002);
    }
    int d1 = rate * 9 / 100, d2 = rate * 19 / 100;
    for (int i = 0; i < n; ++i) s[i] = dry[i] + (i >= d1 ? 0.3 * dry[i - d1] : 0) + (i >= d2 ? 0.12 * dry[i - d2] : 0);
    Finish(s, rate, 0.85, 1.5, 40);
    return s;
}

// Menu step: a soft two-note chime.
std::vector<double> Chime(int n, int rate) {
    std::vector<double> s(n);
    double p1 = 0, p2 = 0;
    for (int i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / rate;
        p1 += kTau * 880 / rate;
        p2 += kTau * 1318.5 / rate;
        double a = std::exp(-t * 14) * std::min(1.0, t / 0.003);
        double b = t > 0.07 ? std::exp(-(t - 0.07) * 10) * std::min(1.0, (t - 0.07) / 0.003) : 0;
        s[i] = a * (std::sin(p1) + 0.25 * std::sin(2 * p1)) + 0.9 * b * (std::sin(p2) + 0.2 * std::sin(2 * p2));
    }
    Finish(s, rate, 0.6, 2, 30);
    return s;
}

// Enemy shot and the piercing beam: a buzzing zap that sinks with a fast vibrato.
std::vector<double> Zap(int n, int rate) {
    std::vector<double> s(n);
    Noise noise;
    noise.R = Lcg(4242);
    double ph = 0;
    for (int i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / rate;
        double f = (150 + 750 * std::exp(-t * 6)) * (1 + 0.06 * std::sin(kTau * 28 * t));
        ph += kTau * f / rate;
        double saw = 0;
        for (int k = 1; k <= 6; ++k) saw += std::sin(k * ph) / k;
        double env = std::exp(-t * 6.5) * std::min(1.0, t / 0.003);
        s[i] = env * (0.55 * saw + 0.12 * noise());
    }
    Finish(s, rate, 0.85, 2, 60);
    return s;
}

// Homing launch: a rocket's whoosh rising, with a low rumble under it.
std::vector<double> Launch(int n, int rate) {
    std::vector<double> s(n);
    Noise noise;
    noise.R = Lcg(777);
    Svf svf;
    double ph = 0;
    for (int i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / rate;
        double fc = t < 0.35 ? 350 + 2600 * (t / 0.35) : 2950 * std::exp(-(t - 0.35) * 1.6) + 300;
        double lo, bd, hi;
        svf.Run(noise(), fc, rate, 0.5, lo, bd, hi);
        double f = 55 + 25 * std::exp(-t * 2);
        ph += kTau * f / rate;
        double rumble = std::fmod(ph / kTau, 1.0) * 2 - 1;
        double env = std::min(1.0, t / 0.04) * (t < 0.5 ? 1.0 : std::exp(-(t - 0.5) * 2.6));
        s[i] = env * (0.8 * bd + 0.25 * rumble * std::exp(-t * 1.5));
    }
    Finish(s, rate, 0.85, 3, 120);
    return s;
}

// A short soft knock.
std::vector<double> Knock(int n, int rate) {
    std::vector<double> s(n);
    double ph = 0;
    for (int i = 0; i < n; ++i) {
        double t = static_cast<double>(i) / rate;
        ph += kTau * (90 + 140 * std::exp(-t * 30)) / rate;
        s[i] = std::sin(ph) * std::exp(-t * 18) * std::min(1.0, t / 0.002);
    }
    Finish(s, rate, 0.8, 1.5, 30);
    return s;
}

}  // namespace

std::vector<WaveFile> MakeWaves() {
    std::vector<WaveFile> out;
    for (const Format& f : kFormats) {
        int n = f.DataBytes / (f.Bits / 8);
        std::string name = f.Name;
        std::vector<double> s = name == "snd"      ? Explosion(n, f.Rate)
                                : name == "Shoot"  ? Laser(n, f.Rate)
                                : name == "Menu"   ? Chime(n, f.Rate)
                                : name == "shoot1" ? Zap(n, f.Rate)
                                : name == "noclip" ? Knock(n, f.Rate)
                                                   : Launch(n, f.Rate);  // shoot2 and shoot3 are the same sound
        out.push_back({name, Riff(f, Quantise(s, f.Bits))});
    }
    return out;
}

}  // namespace gen
