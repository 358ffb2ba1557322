// Sound buffers on the device.
#include "audio/SoundBuffer.h"

#include <algorithm>
#include <utility>

#include "audio/Wave.h"

namespace snd = platform::sound;

TDirectSoundBuffer::TDirectSoundBuffer(TDirectSound& ds) : ds_(ds) {}
TDirectSoundBuffer::~TDirectSoundBuffer() = default;

platform::ISoundBuffer& TDirectSoundBuffer::IBuffer() {
    if (!buffer_) throw EDirectSoundBufferError("IDirectSoundBuffer not made");
    return *buffer_;
}

void TDirectSoundBuffer::Check(int32_t code) {
    dxResult_ = code;
    // Last thing done: a restore may replace this very buffer's device buffer.
    if (code == snd::ErrBufferLost) ds_.BufferLost();
}

bool TDirectSoundBuffer::CreateBuffer(const platform::SoundBufferDesc& desc) {
    buffer_.reset();
    std::unique_ptr<platform::ISoundBuffer> b;
    int32_t r = ds_.IDSound().CreateBuffer(desc, b);
    ds_.SetDXResult(r);
    dxResult_ = r;
    if (snd::Failed(r) || !b) return false;
    buffer_ = std::move(b);
    return true;
}

bool TDirectSoundBuffer::Duplicate(TDirectSoundBuffer& source) {
    buffer_.reset();
    std::unique_ptr<platform::ISoundBuffer> b;
    int32_t r = ds_.IDSound().DuplicateBuffer(source.IBuffer(), b);
    ds_.SetDXResult(r);
    dxResult_ = r;
    if (snd::Failed(r) || !b) return false;
    buffer_ = std::move(b);
    return true;
}

void TDirectSoundBuffer::LoadFromWave(const TWave& wave, uint32_t flags) {
    platform::SoundBufferDesc desc;
    desc.Flags = flags;
    desc.BufferBytes = static_cast<uint32_t>(wave.Size());
    desc.Format.assign(wave.Format(), wave.Format() + wave.FormatSize());
    if (!CreateBuffer(desc)) throw EDirectSoundBufferError("Sound Buffer cannot be made");
    int32_t r = buffer_->Fill(wave.Data(), static_cast<size_t>(wave.Size()));
    dxResult_ = r;
    if (snd::Failed(r)) {
        buffer_.reset();
        throw EDirectSoundBufferError("Sound Buffer cannot be locked");
    }
}

void TDirectSoundBuffer::Play(bool loop) { Check(IBuffer().Play(loop)); }
void TDirectSoundBuffer::Stop() { Check(IBuffer().Stop()); }
void TDirectSoundBuffer::SetPosition(uint32_t p) { Check(IBuffer().SetCurrentPosition(p)); }
void TDirectSoundBuffer::SetFrequency(int32_t v) {
    Check(IBuffer().SetFrequency(static_cast<uint32_t>(std::max(0, v))));
}
void TDirectSoundBuffer::SetPan(int32_t v) { Check(IBuffer().SetPan(v)); }
void TDirectSoundBuffer::SetVolume(int32_t v) { Check(IBuffer().SetVolume(v)); }

uint32_t TDirectSoundBuffer::Status() {
    uint32_t status = 0;
    int32_t r = IBuffer().GetStatus(status);
    if (snd::Failed(r)) status = 0;
    Check(r);
    return status;
}
