// The sound device and the music player as the game needs them of the machine.
//
// The sound side follows the classic buffer model: open the device, make a buffer from a
// wave format block and its bytes, duplicate it (the duplicate shares the sample memory),
// play it once or looping, stop, set the position, rate, pan and volume. Every call answers
// with a result code (0 = success, negative = failure), never an exception: the library
// above stores the codes and decides what is an error.
//
// The music side plays one file with an end-of-piece callback, stops keeping the position
// and seeks to the start.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// Result codes of the sound device (the values the library layer knows them by).
namespace sound {
constexpr int32_t Ok = 0;
constexpr int32_t ErrGeneric = static_cast<int32_t>(0x80004005);
constexpr int32_t ErrOutOfMemory = static_cast<int32_t>(0x8007000E);
constexpr int32_t ErrInvalidParam = static_cast<int32_t>(0x80070057);
constexpr int32_t ErrInvalidCall = static_cast<int32_t>(0x88780032);
constexpr int32_t ErrBadFormat = static_cast<int32_t>(0x88780064);
constexpr int32_t ErrNoDriver = static_cast<int32_t>(0x88780078);
constexpr int32_t ErrBufferLost = static_cast<int32_t>(0x88780096);

inline bool Failed(int32_t code) { return code < 0; }

// Buffer description flags.
constexpr uint32_t FlagPrimaryBuffer = 0x0001;
constexpr uint32_t FlagCtrlFrequency = 0x0020;
constexpr uint32_t FlagCtrlPan = 0x0040;
constexpr uint32_t FlagCtrlVolume = 0x0080;
constexpr uint32_t FlagStickyFocus = 0x4000;
constexpr uint32_t FlagGlobalFocus = 0x8000;

// Status bits.
constexpr uint32_t StatusPlaying = 0x1;
constexpr uint32_t StatusLooping = 0x4;

// Cooperative levels.
constexpr int LevelNormal = 1;
constexpr int LevelExclusive = 3;

// Ranges: volume in hundredths of a decibel of attenuation, pan likewise for one side
// (negative: the right side is attenuated), frequency in samples per second (0 = the
// wave's own rate).
constexpr int32_t VolumeMin = -10000, VolumeMax = 0;
constexpr int32_t PanLeft = -10000, PanRight = 10000;
constexpr uint32_t FrequencyMin = 100, FrequencyMax = 200000;
}  // namespace sound

// The fields of a wave format block that matter to playing it.
struct WaveFormat {
    uint16_t FormatTag = 0;
    uint16_t Channels = 0;
    uint32_t SamplesPerSec = 0;
    uint32_t AvgBytesPerSec = 0;
    uint16_t BlockAlign = 0;
    uint16_t BitsPerSample = 0;
};

// Reads the leading 16 bytes of a format block; false when it is shorter.
inline bool ParseWaveFormat(const uint8_t* block, size_t size, WaveFormat& out) {
    if (!block || size < 16) return false;
    auto u16 = [&](size_t o) { return static_cast<uint16_t>(block[o] | (block[o + 1] << 8)); };
    auto u32 = [&](size_t o) {
        return static_cast<uint32_t>(block[o]) | (static_cast<uint32_t>(block[o + 1]) << 8) |
               (static_cast<uint32_t>(block[o + 2]) << 16) | (static_cast<uint32_t>(block[o + 3]) << 24);
    };
    out.FormatTag = u16(0);
    out.Channels = u16(2);
    out.SamplesPerSec = u32(4);
    out.AvgBytesPerSec = u32(8);
    out.BlockAlign = u16(12);
    out.BitsPerSample = u16(14);
    return true;
}

// What a new buffer is: flags (sound::Flag*), its size in bytes and the format block
// (empty for the primary buffer).
struct SoundBufferDesc {
    uint32_t Flags = 0;
    uint32_t BufferBytes = 0;
    std::vector<uint8_t> Format;
};

// One sound buffer. A voice of the library is a buffer of its own (usually a duplicate);
// buffers sound independently of each other.
class ISoundBuffer {
public:
    virtual ~ISoundBuffer() = default;
    // Lock the whole buffer, copy the bytes in (at most its size), unlock.
    virtual int32_t Fill(const uint8_t* bytes, size_t count) = 0;
    // Start from the current position; a playing buffer keeps playing where it is.
    virtual int32_t Play(bool looping) = 0;
    virtual int32_t Stop() = 0;
    virtual int32_t SetCurrentPosition(uint32_t bytePosition) = 0;
    virtual int32_t SetFrequency(uint32_t samplesPerSec) = 0;
    virtual int32_t SetPan(int32_t pan) = 0;
    virtual int32_t SetVolume(int32_t volume) = 0;
    virtual int32_t GetStatus(uint32_t& status) = 0;
};

// An opened sound device.
class IAudioDevice {
public:
    virtual ~IAudioDevice() = default;
    virtual int32_t SetCooperativeLevel(uint32_t window, int level) = 0;
    virtual int32_t CreateBuffer(const SoundBufferDesc& desc, std::unique_ptr<ISoundBuffer>& out) = 0;
    // A new buffer sharing the source's sample memory (and format), stopped at position 0.
    virtual int32_t DuplicateBuffer(ISoundBuffer& source, std::unique_ptr<ISoundBuffer>& out) = 0;
};

class IAudioSystem {
public:
    virtual ~IAudioSystem() = default;
    // Opens the default device; a failure code when there is none or it refuses.
    virtual int32_t OpenDevice(std::unique_ptr<IAudioDevice>& out) = 0;
    // The player's effect volume, 0 (silent) to 100 (full), over every buffer's own volume;
    // heard at once, also by buffers already playing, and kept for devices opened later.
    virtual void SetEffectsVolume(int percent) = 0;
};

// ---------------------------------------------------------------------------------------
// Music: one piece at a time. Positions and lengths are milliseconds.

class IMusicSystem {
public:
    virtual ~IMusicSystem() = default;
    // Opens a file (closing any open one), stopped at position 0. Returns "" on success,
    // otherwise the device's text for what went wrong.
    virtual std::string Open(const std::string& path) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Play from the current position. onEnd runs once when the piece reaches its end
    // (not after Stop, Close or a later Play) and may run on any thread: it must only post.
    // False when the device refuses.
    virtual bool Play(std::function<void()> onEnd) = 0;
    // Stop where it is; a later Play continues from there.
    virtual void Stop() = 0;
    virtual void SeekToStart() = 0;
    virtual bool Playing() = 0;
    virtual uint32_t Length() = 0;
    // Equals Length() once the piece has played to its end.
    virtual uint32_t Position() = 0;
    // The music's volume, 0 (silent) to 100 (full); heard at once and kept across Open.
    virtual void SetVolume(int percent) = 0;
};

// How loud a volume percentage sounds: the amplitude factor (percent / 100) squared, so
// 50 sounds about half as loud as 100 and the low end of the range stays usable.
inline double VolumeAmplitude(int percent) {
    if (percent <= 0) return 0.0;
    if (percent >= 100) return 1.0;
    const double f = percent / 100.0;
    return f * f;
}

}  // namespace platform
