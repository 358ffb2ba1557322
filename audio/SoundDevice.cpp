// The sound device object.
#include "audio/SoundDevice.h"

#include "platform/Platform.h"

namespace snd = platform::sound;

TDirectSound::TDirectSound() {
    auto* audio = platform::Current().Audio;
    dxResult_ = audio ? audio->OpenDevice(device_) : snd::ErrNoDriver;
    if (snd::Failed(dxResult_) || !device_) {
        device_.reset();
        throw EDirectSoundError("DirectSound cannot be initialized");
    }
}

TDirectSound::~TDirectSound() = default;

platform::IAudioDevice& TDirectSound::IDSound() {
    if (!device_) throw EDirectSoundError("IDirectSound not made");
    return *device_;
}

void TDirectSound::SetCooperativeLevel(uint32_t window, int level) {
    dxResult_ = IDSound().SetCooperativeLevel(window, level);
}

void TDirectSound::BufferLost() {
    if (inRestore_) return;
    inRestore_ = true;
    try {
        DoRestoreBuffer();
    } catch (...) {
        inRestore_ = false;
        throw;
    }
    inRestore_ = false;
}
