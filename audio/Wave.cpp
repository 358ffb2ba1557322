// RIFF WAVE reading and writing.
#include "audio/Wave.h"

#include <algorithm>
#include <cstring>
#include <limits>

// ---------------------------------------------------------------------------------------
// Byte streams

int64_t TStream::Size() {
    int64_t here = Seek(0, TSeekOrigin::soCurrent);
    int64_t end = Seek(0, TSeekOrigin::soEnd);
    Seek(here, TSeekOrigin::soBeginning);
    return end;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
    if (count != 0 && Read(buffer, count) != count) throw EStreamError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
    if (count != 0 && Write(buffer, count) != count) throw EStreamError("Stream write error");
}

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
    int64_t size = Size();
    if (count <= 0 || position_ >= size) return 0;
    int64_t n = std::min(count, size - position_);
    std::memcpy(buffer, bytes_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    int64_t end = position_ + count;
    if (end > Size()) bytes_.resize(static_cast<size_t>(end));
    std::memcpy(bytes_.data() + position_, buffer, static_cast<size_t>(count));
    position_ = end;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = origin == TSeekOrigin::soBeginning ? 0 : origin == TSeekOrigin::soCurrent ? position_ : Size();
    position_ = std::max<int64_t>(0, base + offset);
    return position_;
}

void TMemoryStream::SetSize(int64_t size) {
    bytes_.resize(static_cast<size_t>(std::max<int64_t>(0, size)));
    position_ = std::min(position_, Size());
}

// ---------------------------------------------------------------------------------------
// Wave streams

int64_t TCustomWaveStream::Read(void* buffer, int64_t count) {
    int64_t left = std::max<int64_t>(0, GetFilledSize() - position_);
    int64_t n = ReadWave(position_, buffer, std::clamp<int64_t>(count, 0, left));
    position_ += n;
    return n;
}

int64_t TCustomWaveStream::Write(const void* buffer, int64_t count) {
    int64_t n = WriteWave(position_, buffer, std::max<int64_t>(0, count));
    position_ += n;
    return n;
}

int64_t TCustomWaveStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t size = GetFilledSize();
    int64_t base = origin == TSeekOrigin::soBeginning ? 0 : origin == TSeekOrigin::soCurrent ? position_ : size;
    position_ = std::clamp<int64_t>(base + offset, 0, size);
    return position_;
}

void TCustomWaveStream2::SetFormatSize(int size) { format_.assign(static_cast<size_t>(std::max(0, size)), 0); }

namespace {
constexpr uint32_t FourCC(const char (&s)[5]) {
    return static_cast<uint32_t>(static_cast<uint8_t>(s[0])) |
           (static_cast<uint32_t>(static_cast<uint8_t>(s[1])) << 8) |
           (static_cast<uint32_t>(static_cast<uint8_t>(s[2])) << 16) |
           (static_cast<uint32_t>(static_cast<uint8_t>(s[3])) << 24);
}
constexpr uint32_t kRIFF = FourCC("RIFF"), kWAVE = FourCC("WAVE"), kFmt = FourCC("fmt "), kData = FourCC("data");

uint32_t GetU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}
void PutU32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}
void WriteU32Pair(TStream& s, uint32_t a, uint32_t b) {
    uint8_t buf[8];
    PutU32(buf, a);
    PutU32(buf + 4, b);
    s.WriteBuffer(buf, 8);
}
}  // namespace

TWaveStream::TWaveStream(TStream& carrier) : carrier_(carrier) { start_ = carrier_.Position(); }

TWaveStream::~TWaveStream() {
    if (opened_ && writeMode_) {
        try {
            CompleteRiff();
        } catch (...) {
            // A destructor cannot report; the carrying stream refused the header.
        }
    }
}

void TWaveStream::Open(bool writeMode) {
    if (opened_) throw EWaveStreamError("Stream has already been opened");
    if (writeMode) {
        WriteRiffStart();
    } else {
        ReadRiff();
    }
    writeMode_ = writeMode;
    opened_ = true;
}

void TWaveStream::ReadRiff() {
    uint8_t head[12] = {};
    carrier_.Read(head, 12);
    if (GetU32(head) != kRIFF || GetU32(head + 8) != kWAVE) throw EWaveStreamError("Wave is invalid");

    bool haveData = false;
    for (;;) {
        uint8_t chunk[8] = {};
        carrier_.Read(chunk, 8);
        uint32_t id = GetU32(chunk);
        if (id == 0) break;
        int64_t length = GetU32(chunk + 4);
        if (id == kFmt) {
            // Check against what is left before allocating: a damaged length must not ask
            // for gigabytes.
            if (length > carrier_.Size() - carrier_.Position() || length > INT32_MAX)
                throw EWaveStreamError("Stream read error");
            SetFormatSize(static_cast<int>(length));
            if (carrier_.Read(TCustomWaveStream2::Format(), length) != length)
                throw EWaveStreamError("Stream read error");
        } else if (id == kData) {
            dataSize_ = length;
            dataStart_ = carrier_.Position();
            haveData = true;
            carrier_.Seek(length, TSeekOrigin::soCurrent);
        } else {
            carrier_.Seek(length, TSeekOrigin::soCurrent);
        }
    }
    if (!haveData) {
        dataSize_ = 0;
        dataStart_ = carrier_.Position();
    } else if (dataStart_ + dataSize_ > carrier_.Size()) {
        throw EWaveStreamError("Stream read error");
    }
}

void TWaveStream::WriteRiffStart() {
    if (FormatSize() == 0) throw EWaveStreamError("Format is invalid");
    carrier_.SetPosition(start_);
    uint8_t placeholder[12] = {};
    carrier_.WriteBuffer(placeholder, 12);
    WriteU32Pair(carrier_, kFmt, static_cast<uint32_t>(FormatSize()));
    carrier_.WriteBuffer(Format(), FormatSize());
    WriteU32Pair(carrier_, kData, 0);
    dataStart_ = carrier_.Position();
    dataSize_ = 0;
}

void TWaveStream::CompleteRiff() {
    int64_t end = carrier_.Size();
    carrier_.SetPosition(start_);
    uint8_t head[12];
    PutU32(head, kRIFF);
    PutU32(head + 4, static_cast<uint32_t>(end - start_ - 8));
    PutU32(head + 8, kWAVE);
    carrier_.WriteBuffer(head, 12);
    carrier_.SetPosition(dataStart_ - 8);
    WriteU32Pair(carrier_, kData, static_cast<uint32_t>(end - dataStart_));
    carrier_.Seek(0, TSeekOrigin::soEnd);
}

int64_t TWaveStream::GetFilledSize() {
    if (!opened_) return 0;
    if (writeMode_) return std::max<int64_t>(0, carrier_.Size() - dataStart_);
    return dataSize_;
}

int64_t TWaveStream::ReadWave(int64_t position, void* buffer, int64_t count) {
    if (!opened_) throw EWaveStreamError("Stream not opend");
    if (count <= 0) return 0;
    carrier_.SetPosition(dataStart_ + position);
    return carrier_.Read(buffer, count);
}

int64_t TWaveStream::WriteWave(int64_t position, const void* buffer, int64_t count) {
    if (!opened_) throw EWaveStreamError("Stream not opend");
    if (!writeMode_ || count <= 0) return 0;
    carrier_.SetPosition(dataStart_ + position);
    return carrier_.Write(buffer, count);
}

// ---------------------------------------------------------------------------------------
// TWave

void TWave::Assign(const TWave* source) {
    if (!source) {
        Clear();
        return;
    }
    SetFormatSize(source->formatSize_);
    if (formatSize_ > 0) std::memcpy(format_.get(), source->format_.get(), static_cast<size_t>(formatSize_));
    SetSize(source->size_);
    if (size_ > 0) std::memcpy(data_.get(), source->data_.get(), static_cast<size_t>(size_));
}

void TWave::Clear() {
    SetFormatSize(0);
    SetSize(0);
}

void TWave::SetFormatSize(int size) {
    size = std::max(0, size);
    std::unique_ptr<uint8_t[]> block;
    if (size > 0) {
        block.reset(new uint8_t[static_cast<size_t>(size)]());
        if (formatSize_ > 0) std::memcpy(block.get(), format_.get(), static_cast<size_t>(std::min(size, formatSize_)));
    }
    format_ = std::move(block);
    formatSize_ = size;
}

void TWave::SetSize(int size) {
    size = std::max(0, size);
    int64_t blocks = (static_cast<int64_t>(size) + BlockSize - 1) / BlockSize;
    // The store is counted in whole blocks; near 2 GiB that count no longer fits.
    if (blocks * BlockSize > std::numeric_limits<int>::max()) throw std::length_error("Wave data too large");
    int capacity = static_cast<int>(blocks * BlockSize);
    if (capacity != capacity_) {
        std::unique_ptr<uint8_t[]> block;
        if (capacity > 0) {
            block.reset(new uint8_t[static_cast<size_t>(capacity)]());
            if (capacity_ > 0)
                std::memcpy(block.get(), data_.get(), static_cast<size_t>(std::min(capacity, capacity_)));
        }
        data_ = std::move(block);
        capacity_ = capacity;
    }
    size_ = size;
}

void TWave::SetPCMFormat(uint32_t samplesPerSec, uint16_t bits, uint16_t channels) {
    SetFormatSize(16);
    uint16_t align = static_cast<uint16_t>(channels * bits / 8);
    uint8_t* p = format_.get();
    p[0] = 1;
    p[1] = 0;
    p[2] = static_cast<uint8_t>(channels);
    p[3] = static_cast<uint8_t>(channels >> 8);
    PutU32(p + 4, samplesPerSec);
    PutU32(p + 8, samplesPerSec * align);
    p[12] = static_cast<uint8_t>(align);
    p[13] = static_cast<uint8_t>(align >> 8);
    p[14] = static_cast<uint8_t>(bits);
    p[15] = static_cast<uint8_t>(bits >> 8);
}

void TWave::LoadFromStream(TStream& stream) {
    Clear();
    TWaveStream ws(stream);
    ws.Open(false);
    // Read into a scratch wave first so a failure leaves this one cleared, not half-filled.
    TWave w;
    w.SetFormatSize(ws.FormatSize());
    if (w.formatSize_ > 0) std::memcpy(w.format_.get(), ws.Format(), static_cast<size_t>(w.formatSize_));
    int64_t size = ws.Size();
    if (size > INT32_MAX) throw EWaveStreamError("Stream read error");
    w.SetSize(static_cast<int>(size));
    if (ws.Read(w.data_.get(), size) != size) throw EWaveStreamError("Stream read error");
    Assign(&w);
}

void TWave::SaveToStream(TStream& stream) const {
    if (formatSize_ == 0 || size_ == 0) return;
    TWaveStream ws(stream);
    ws.SetFormatSize(formatSize_);
    std::memcpy(ws.Format(), format_.get(), static_cast<size_t>(formatSize_));
    ws.Open(true);
    ws.WriteBuffer(data_.get(), size_);
}

void TWave::LoadFromBytes(const uint8_t* bytes, size_t size) {
    TMemoryStream s(bytes, size);
    LoadFromStream(s);
}

std::vector<uint8_t> TWave::SaveToBytes() const {
    TMemoryStream s;
    SaveToStream(s);
    return std::move(s.Bytes());
}
