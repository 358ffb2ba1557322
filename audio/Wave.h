// RIFF WAVE sounds: the wave value object, the wave streams that read and write it, and the
// small byte streams they travel in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// ---------------------------------------------------------------------------------------
// Byte streams

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class EStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TStream {
public:
    virtual ~TStream() = default;
    // Read/Write move up to count bytes and answer how many moved.
    virtual int64_t Read(void* buffer, int64_t count) = 0;
    virtual int64_t Write(const void* buffer, int64_t count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
    virtual int64_t Size();
    virtual void SetSize(int64_t size) = 0;

    int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
    void SetPosition(int64_t p) { Seek(p, TSeekOrigin::soBeginning); }
    // All or nothing: EStreamError "Stream read error" / "Stream write error".
    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);
};

// A growable stream in memory.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    TMemoryStream(const uint8_t* data, size_t size) : bytes_(data, data + size) {}

    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
    void SetSize(int64_t size) override;

    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    std::vector<uint8_t>& Bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    int64_t position_ = 0;
};

// ---------------------------------------------------------------------------------------
// Wave streams

class EWaveStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The sample data of a wave seen as a stream of its own: position 0 is the first sample
// byte, reads stop at the data size, seeks are clamped into 0..data size, SetSize does
// nothing.
class TCustomWaveStream : public TStream {
public:
    int64_t Read(void* buffer, int64_t count) override;
    int64_t Write(const void* buffer, int64_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return GetFilledSize(); }
    void SetSize(int64_t) override {}

    virtual int FormatSize() const = 0;
    virtual const uint8_t* Format() const = 0;

protected:
    virtual int64_t GetFilledSize() = 0;
    // Move sample bytes at a sample-data position; answer how many moved.
    virtual int64_t ReadWave(int64_t position, void* buffer, int64_t count) = 0;
    virtual int64_t WriteWave(int64_t position, const void* buffer, int64_t count) = 0;

private:
    int64_t position_ = 0;
};

// A wave stream that keeps its own copy of the format block.
class TCustomWaveStream2 : public TCustomWaveStream {
public:
    int FormatSize() const override { return static_cast<int>(format_.size()); }
    const uint8_t* Format() const override { return format_.data(); }
    uint8_t* Format() { return format_.data(); }
    void SetFormatSize(int size);

private:
    std::vector<uint8_t> format_;
};

// A RIFF WAVE file carried inside another stream, starting where that stream stands when
// the wave stream is made. Opened once, for reading or for writing; a written file gets its
// header completed when the wave stream is destroyed.
class TWaveStream : public TCustomWaveStream2 {
public:
    explicit TWaveStream(TStream& carrier);
    ~TWaveStream() override;

    void Open(bool writeMode);
    bool Opened() const { return opened_; }
    bool WriteMode() const { return writeMode_; }

protected:
    int64_t GetFilledSize() override;
    int64_t ReadWave(int64_t position, void* buffer, int64_t count) override;
    int64_t WriteWave(int64_t position, const void* buffer, int64_t count) override;

private:
    void ReadRiff();
    void WriteRiffStart();
    void CompleteRiff();

    TStream& carrier_;
    int64_t start_ = 0;
    int64_t dataStart_ = 0;
    int64_t dataSize_ = 0;
    bool opened_ = false;
    bool writeMode_ = false;
};

// ---------------------------------------------------------------------------------------

// One wave: the "fmt " chunk body and the sample bytes.
class TWave {
public:
    static constexpr int BlockSize = 8096;  // growth step of the sample store

    TWave() = default;
    TWave(const TWave& other) { Assign(&other); }
    TWave& operator=(const TWave& other) {
        if (this != &other) Assign(&other);
        return *this;
    }

    // Copies both blocks; nullptr clears.
    void Assign(const TWave* source);
    void Clear();

    int FormatSize() const { return formatSize_; }
    void SetFormatSize(int size);
    const uint8_t* Format() const { return format_.get(); }
    uint8_t* Format() { return format_.get(); }

    int Size() const { return size_; }
    void SetSize(int size);
    int Capacity() const { return capacity_; }
    const uint8_t* Data() const { return data_.get(); }
    uint8_t* Data() { return data_.get(); }

    // A plain PCM format block of 16 bytes.
    void SetPCMFormat(uint32_t samplesPerSec, uint16_t bits, uint16_t channels);

    // Reading raises EWaveStreamError ("Wave is invalid", "Stream read error").
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;
    void LoadFromBytes(const uint8_t* bytes, size_t size);
    std::vector<uint8_t> SaveToBytes() const;

private:
    std::unique_ptr<uint8_t[]> format_;
    int formatSize_ = 0;
    std::unique_ptr<uint8_t[]> data_;
    int size_ = 0;
    int capacity_ = 0;
};
