// A sound buffer on the device: made empty, as a duplicate sharing another's samples, or
// from a wave; its calls store the device's result code.
#pragma once

#include <cstdint>
#include <memory>

#include "audio/SoundDevice.h"
#include "platform/Audio.h"

class TWave;

class EDirectSoundBufferError : public EDirectSoundError {
public:
    using EDirectSoundError::EDirectSoundError;
};

class TDirectSoundBuffer {
public:
    explicit TDirectSoundBuffer(TDirectSound& ds);
    ~TDirectSoundBuffer();
    TDirectSoundBuffer(const TDirectSoundBuffer&) = delete;
    TDirectSoundBuffer& operator=(const TDirectSoundBuffer&) = delete;

    TDirectSound& DSound() const { return ds_; }
    bool Made() const { return static_cast<bool>(buffer_); }
    // EDirectSoundBufferError "IDirectSoundBuffer not made" without a device buffer.
    platform::ISoundBuffer& IBuffer();
    int32_t DXResult() const { return dxResult_; }

    // Make a device buffer; false (code stored on the device object) when refused.
    bool CreateBuffer(const platform::SoundBufferDesc& desc);
    // Become a duplicate of source, sharing its sample memory; false when refused.
    bool Duplicate(TDirectSoundBuffer& source);
    // A new device buffer holding the wave: EDirectSoundBufferError "Sound Buffer cannot be
    // made" / "Sound Buffer cannot be locked".
    void LoadFromWave(const TWave& wave, uint32_t flags);
    void Release() { buffer_.reset(); }

    void Play(bool loop);
    void Stop();
    void SetPosition(uint32_t bytePosition);
    void SetFrequency(int32_t value);
    void SetPan(int32_t value);
    void SetVolume(int32_t value);
    uint32_t Status();
    bool Playing() { return (Status() & (platform::sound::StatusPlaying | platform::sound::StatusLooping)) != 0; }

private:
    void Check(int32_t code);
    TDirectSound& ds_;
    std::unique_ptr<platform::ISoundBuffer> buffer_;
    int32_t dxResult_ = platform::sound::Ok;
};
