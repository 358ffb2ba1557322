// RIFF wave reading: any bytes are read or refused with a wave or stream error, and whatever
// is read writes back to bytes that read to the same wave.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "audio/Wave.h"

namespace {

bool SameWave(const TWave& a, const TWave& b) {
    return a.FormatSize() == b.FormatSize() && a.Size() == b.Size() &&
           (a.FormatSize() == 0 || std::memcmp(a.Format(), b.Format(), static_cast<size_t>(a.FormatSize())) == 0) &&
           (a.Size() == 0 || std::memcmp(a.Data(), b.Data(), static_cast<size_t>(a.Size())) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TWave wave;
    try {
        wave.LoadFromBytes(data, size);
    } catch (const EWaveStreamError&) { return 0; } catch (const EStreamError&) {
        return 0;
    }
    if (wave.Size() < 0 || wave.Size() > wave.Capacity()) std::abort();

    // The same file further down a carrying stream reads the same.
    TMemoryStream carrier;
    const uint8_t pad[3] = {1, 2, 3};
    carrier.WriteBuffer(pad, sizeof pad);
    carrier.WriteBuffer(data, static_cast<int64_t>(size));
    carrier.SetPosition(sizeof pad);
    TWave shifted;
    shifted.LoadFromStream(carrier);
    if (!SameWave(wave, shifted)) std::abort();

    // Nothing is written for a wave without format or samples.
    std::vector<uint8_t> saved = wave.SaveToBytes();
    if (wave.FormatSize() == 0 || wave.Size() == 0) {
        if (!saved.empty()) std::abort();
        return 0;
    }
    TWave again;
    again.LoadFromBytes(saved.data(), saved.size());
    if (!SameWave(wave, again)) std::abort();
    if (again.SaveToBytes() != saved) std::abort();
    return 0;
}
