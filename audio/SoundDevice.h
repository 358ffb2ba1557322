// The sound device object: opens the machine's audio device and keeps the result code of
// the last call made on it.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>

#include "platform/Audio.h"

class EDirectSoundError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TDirectSoundBuffer;

// Every call stores the platform's result code; only making a required object raises.
class TDirectSound {
public:
    // Opens the default device: EDirectSoundError "DirectSound cannot be initialized" when
    // there is none or it refuses.
    TDirectSound();
    virtual ~TDirectSound();
    TDirectSound(const TDirectSound&) = delete;
    TDirectSound& operator=(const TDirectSound&) = delete;

    // EDirectSoundError "IDirectSound not made" without a device.
    platform::IAudioDevice& IDSound();
    int32_t DXResult() const { return dxResult_; }
    void SetDXResult(int32_t code) { dxResult_ = code; }

    void SetCooperativeLevel(uint32_t window, int level);

    bool GlobalFocus = false;
    bool StickyFocus = false;

protected:
    // A buffer call answered "buffer lost": reload the device-held data.
    virtual void DoRestoreBuffer() {}

private:
    friend class TDirectSoundBuffer;
    void BufferLost();
    std::unique_ptr<platform::IAudioDevice> device_;
    int32_t dxResult_ = platform::sound::Ok;
    bool inRestore_ = false;
};
