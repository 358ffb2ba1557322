// Deterministic sound device and music player for tests: every call is recorded, sounds end
// when the test says so (or after their length of fake time), failures can be injected.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Audio.h"

namespace platform::fake {

struct FakeAudioState;

// Sample memory of a buffer; duplicates hold the same object.
struct FakeSoundSamples {
    std::vector<uint8_t> Format;
    std::vector<uint8_t> Bytes;
};

class FakeSoundBuffer : public ISoundBuffer {
public:
    FakeSoundBuffer(std::shared_ptr<FakeAudioState> state, int id);
    ~FakeSoundBuffer() override;

    int32_t Fill(const uint8_t* bytes, size_t count) override;
    int32_t Play(bool looping) override;
    int32_t Stop() override;
    int32_t SetCurrentPosition(uint32_t bytePosition) override;
    int32_t SetFrequency(uint32_t samplesPerSec) override;
    int32_t SetPan(int32_t pan) override;
    int32_t SetVolume(int32_t volume) override;
    int32_t GetStatus(uint32_t& status) override;

    // What the test can look at and change.
    int Id = 0;
    int SourceId = 0;  // the buffer this one duplicates, 0 for none
    bool Primary = false;
    std::shared_ptr<FakeSoundSamples> Samples;
    bool Playing = false;
    bool Looping = false;
    uint32_t Position = 0;  // bytes
    uint32_t Frequency = 0;
    int32_t Pan = 0;
    int32_t Volume = 0;
    int PlayCount = 0;
    double Elapsed = 0;  // fake milliseconds since the last play from the current position

    // Ends a play now, as the sound reaching its end would.
    void End();

private:
    int32_t Answer(const std::string& call);
    std::shared_ptr<FakeAudioState> state_;
};

class FakeAudioDevice : public IAudioDevice {
public:
    explicit FakeAudioDevice(std::shared_ptr<FakeAudioState> state);
    ~FakeAudioDevice() override;
    int32_t SetCooperativeLevel(uint32_t window, int level) override;
    int32_t CreateBuffer(const SoundBufferDesc& desc, std::unique_ptr<ISoundBuffer>& out) override;
    int32_t DuplicateBuffer(ISoundBuffer& source, std::unique_ptr<ISoundBuffer>& out) override;

private:
    std::shared_ptr<FakeAudioState> state_;
};

class FakeAudioSystem : public IAudioSystem {
public:
    FakeAudioSystem();
    ~FakeAudioSystem() override;
    int32_t OpenDevice(std::unique_ptr<IAudioDevice>& out) override;
    void SetEffectsVolume(int percent) override { EffectsVolume = percent; }

    // The last effect volume set (100 until one is).
    int EffectsVolume = 100;

    // Injected answers (sound::Ok = behave normally).
    int32_t& OpenResult();       // opening the device
    int32_t& PrimaryResult();    // making the primary buffer
    int32_t& CreateResult();     // making any other buffer
    int32_t& DuplicateResult();  // duplicating
    int32_t& FillResult();       // locking a buffer to fill it
    // The next `count` buffer calls (play, stop, position, frequency, pan, volume, status)
    // answer `code` instead of doing anything (e.g. sound::ErrBufferLost).
    void FailNextBufferCalls(int32_t code, int count = 1);

    // Every call, in order: "open", "level 7 1", "primary #1", "create #2 flags=0xe0 bytes=100",
    // "fill #2 100", "duplicate #3 <- #2", "play #3 once", "play #2 loop", "stop #3",
    // "position #3 0", "frequency #3 0", "pan #3 0", "volume #3 0", "free #3", "close".
    const std::vector<std::string>& Log() const;
    void ClearLog();
    // Log lines that start with prefix.
    std::vector<std::string> Calls(const std::string& prefix) const;

    // Live buffers in creation order.
    std::vector<FakeSoundBuffer*> Buffers() const;
    FakeSoundBuffer* Buffer(int id) const;
    int OpenDevices() const;

    // Every play that is not looping ends now.
    void EndAll();
    // Moves fake time on: plays end once their bytes have been played at the buffer's rate.
    void Advance(double milliseconds);

private:
    std::shared_ptr<FakeAudioState> state_;
};

// ---------------------------------------------------------------------------------------

class FakeMusicSystem : public IMusicSystem {
public:
    std::string Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() const override { return open_; }
    bool Play(std::function<void()> onEnd) override;
    void Stop() override;
    void SeekToStart() override;
    bool Playing() override { return playing_; }
    uint32_t Length() override { return open_ ? PieceLength : 0; }
    uint32_t Position() override { return position_; }
    void SetVolume(int percent) override { Volume = percent; }

    // The last music volume set (100 until one is).
    int Volume = 100;

    // Injected behaviour.
    std::string OpenError;  // non-empty: Open fails with this text
    uint32_t PieceLength = 1000;
    bool RefusePlay = false;

    // "open <path>", "play", "stop", "seek 0", "close", "end".
    std::vector<std::string> Log;
    std::string OpenedPath;

    // Moves the piece on while playing; at its end it stops at Length() and calls onEnd.
    void Advance(uint32_t milliseconds);
    // Plays the rest of the piece at once.
    void FinishPiece();

private:
    bool open_ = false;
    bool playing_ = false;
    uint32_t position_ = 0;
    std::function<void()> onEnd_;
};

}  // namespace platform::fake
