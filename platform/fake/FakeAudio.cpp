// Recorded, scriptable sound and music for tests.
#include "platform/fake/FakeAudio.h"

#include <algorithm>
#include <cstdio>

namespace platform::fake {

struct FakeAudioState {
    int32_t OpenResult = sound::Ok;
    int32_t PrimaryResult = sound::Ok;
    int32_t CreateResult = sound::Ok;
    int32_t DuplicateResult = sound::Ok;
    int32_t FillResult = sound::Ok;
    int32_t FailCode = sound::Ok;
    int FailCount = 0;
    int NextId = 1;
    int OpenDevices = 0;
    std::vector<std::string> Log;
    std::vector<FakeSoundBuffer*> Live;
};

namespace {
std::string Hex(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%x", v);
    return buf;
}
}  // namespace

// ---------------------------------------------------------------------------------------

FakeSoundBuffer::FakeSoundBuffer(std::shared_ptr<FakeAudioState> state, int id) : Id(id), state_(std::move(state)) {
    state_->Live.push_back(this);
}

FakeSoundBuffer::~FakeSoundBuffer() {
    state_->Log.push_back("free #" + std::to_string(Id));
    std::erase(state_->Live, this);
}

int32_t FakeSoundBuffer::Answer(const std::string& call) {
    state_->Log.push_back(call);
    if (state_->FailCount > 0) {
        --state_->FailCount;
        return state_->FailCode;
    }
    return sound::Ok;
}

int32_t FakeSoundBuffer::Fill(const uint8_t* bytes, size_t count) {
    state_->Log.push_back("fill #" + std::to_string(Id) + " " + std::to_string(count));
    if (sound::Failed(state_->FillResult)) return state_->FillResult;
    if (!Samples) return sound::ErrInvalidCall;
    size_t n = std::min(count, Samples->Bytes.size());
    std::copy(bytes, bytes + n, Samples->Bytes.begin());
    return sound::Ok;
}

int32_t FakeSoundBuffer::Play(bool looping) {
    int32_t r = Answer("play #" + std::to_string(Id) + (looping ? " loop" : " once"));
    if (sound::Failed(r)) return r;
    if (Primary) return sound::Ok;
    if (!Playing) Elapsed = 0;
    Playing = true;
    Looping = looping;
    ++PlayCount;
    return sound::Ok;
}

int32_t FakeSoundBuffer::Stop() {
    int32_t r = Answer("stop #" + std::to_string(Id));
    if (sound::Failed(r)) return r;
    Playing = false;
    return sound::Ok;
}

int32_t FakeSoundBuffer::SetCurrentPosition(uint32_t p) {
    int32_t r = Answer("position #" + std::to_string(Id) + " " + std::to_string(p));
    if (sound::Failed(r)) return r;
    Position = p;
    Elapsed = 0;
    return sound::Ok;
}

int32_t FakeSoundBuffer::SetFrequency(uint32_t f) {
    int32_t r = Answer("frequency #" + std::to_string(Id) + " " + std::to_string(f));
    if (sound::Failed(r)) return r;
    if (f != 0 && (f < sound::FrequencyMin || f > sound::FrequencyMax)) return sound::ErrInvalidParam;
    Frequency = f;
    return sound::Ok;
}

int32_t FakeSoundBuffer::SetPan(int32_t p) {
    int32_t r = Answer("pan #" + std::to_string(Id) + " " + std::to_string(p));
    if (sound::Failed(r)) return r;
    if (p < sound::PanLeft || p > sound::PanRight) return sound::ErrInvalidParam;
    Pan = p;
    return sound::Ok;
}

int32_t FakeSoundBuffer::SetVolume(int32_t v) {
    int32_t r = Answer("volume #" + std::to_string(Id) + " " + std::to_string(v));
    if (sound::Failed(r)) return r;
    if (v < sound::VolumeMin || v > sound::VolumeMax) return sound::ErrInvalidParam;
    Volume = v;
    return sound::Ok;
}

int32_t FakeSoundBuffer::GetStatus(uint32_t& status) {
    status = 0;
    if (state_->FailCount > 0) {
        --state_->FailCount;
        return state_->FailCode;
    }
    if (Playing) status |= sound::StatusPlaying | (Looping ? sound::StatusLooping : 0);
    return sound::Ok;
}

void FakeSoundBuffer::End() {
    if (Playing && !Looping) {
        Playing = false;
        Position = 0;
    }
}

// ---------------------------------------------------------------------------------------

FakeAudioDevice::FakeAudioDevice(std::shared_ptr<FakeAudioState> state) : state_(std::move(state)) {
    ++state_->OpenDevices;
}

FakeAudioDevice::~FakeAudioDevice() {
    --state_->OpenDevices;
    state_->Log.push_back("close");
}

int32_t FakeAudioDevice::SetCooperativeLevel(uint32_t window, int level) {
    state_->Log.push_back("level " + std::to_string(window) + " " + std::to_string(level));
    return sound::Ok;
}

int32_t FakeAudioDevice::CreateBuffer(const SoundBufferDesc& desc, std::unique_ptr<ISoundBuffer>& out) {
    out.reset();
    int id = state_->NextId++;
    bool primary = (desc.Flags & sound::FlagPrimaryBuffer) != 0;
    if (primary) {
        state_->Log.push_back("primary #" + std::to_string(id));
        if (sound::Failed(state_->PrimaryResult)) return state_->PrimaryResult;
    } else {
        state_->Log.push_back("create #" + std::to_string(id) + " flags=" + Hex(desc.Flags) +
                              " bytes=" + std::to_string(desc.BufferBytes));
        if (sound::Failed(state_->CreateResult)) return state_->CreateResult;
        WaveFormat f;
        if (!ParseWaveFormat(desc.Format.data(), desc.Format.size(), f) || desc.BufferBytes == 0)
            return sound::ErrInvalidParam;
    }
    auto b = std::make_unique<FakeSoundBuffer>(state_, id);
    b->Primary = primary;
    if (!primary) {
        b->Samples = std::make_shared<FakeSoundSamples>();
        b->Samples->Format = desc.Format;
        b->Samples->Bytes.assign(desc.BufferBytes, 0);
    }
    out = std::move(b);
    return sound::Ok;
}

int32_t FakeAudioDevice::DuplicateBuffer(ISoundBuffer& source, std::unique_ptr<ISoundBuffer>& out) {
    out.reset();
    auto* src = dynamic_cast<FakeSoundBuffer*>(&source);
    int id = state_->NextId++;
    state_->Log.push_back("duplicate #" + std::to_string(id) + " <- #" + std::to_string(src ? src->Id : 0));
    if (sound::Failed(state_->DuplicateResult)) return state_->DuplicateResult;
    if (!src || src->Primary) return sound::ErrInvalidCall;
    auto b = std::make_unique<FakeSoundBuffer>(state_, id);
    b->SourceId = src->Id;
    b->Samples = src->Samples;
    b->Frequency = src->Frequency;
    b->Pan = src->Pan;
    b->Volume = src->Volume;
    out = std::move(b);
    return sound::Ok;
}

// ---------------------------------------------------------------------------------------

FakeAudioSystem::FakeAudioSystem() : state_(std::make_shared<FakeAudioState>()) {}
FakeAudioSystem::~FakeAudioSystem() = default;

int32_t FakeAudioSystem::OpenDevice(std::unique_ptr<IAudioDevice>& out) {
    out.reset();
    state_->Log.push_back("open");
    if (sound::Failed(state_->OpenResult)) return state_->OpenResult;
    out = std::make_unique<FakeAudioDevice>(state_);
    return sound::Ok;
}

int32_t& FakeAudioSystem::OpenResult() { return state_->OpenResult; }
int32_t& FakeAudioSystem::PrimaryResult() { return state_->PrimaryResult; }
int32_t& FakeAudioSystem::CreateResult() { return state_->CreateResult; }
int32_t& FakeAudioSystem::DuplicateResult() { return state_->DuplicateResult; }
int32_t& FakeAudioSystem::FillResult() { return state_->FillResult; }

void FakeAudioSystem::FailNextBufferCalls(int32_t code, int count) {
    state_->FailCode = code;
    state_->FailCount = count;
}

const std::vector<std::string>& FakeAudioSystem::Log() const { return state_->Log; }
void FakeAudioSystem::ClearLog() { state_->Log.clear(); }

std::vector<std::string> FakeAudioSystem::Calls(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& l : state_->Log)
        if (l.compare(0, prefix.size(), prefix) == 0) out.push_back(l);
    return out;
}

std::vector<FakeSoundBuffer*> FakeAudioSystem::Buffers() const { return state_->Live; }

FakeSoundBuffer* FakeAudioSystem::Buffer(int id) const {
    for (auto* b : state_->Live)
        if (b->Id == id) return b;
    return nullptr;
}

int FakeAudioSystem::OpenDevices() const { return state_->OpenDevices; }

void FakeAudioSystem::EndAll() {
    for (auto* b : state_->Live) b->End();
}

void FakeAudioSystem::Advance(double ms) {
    for (auto* b : state_->Live) {
        if (!b->Playing || b->Looping || !b->Samples) continue;
        WaveFormat f;
        if (!ParseWaveFormat(b->Samples->Format.data(), b->Samples->Format.size(), f) || f.AvgBytesPerSec == 0) {
            b->End();
            continue;
        }
        double rate = f.AvgBytesPerSec;
        if (b->Frequency != 0 && f.SamplesPerSec != 0) rate = rate * b->Frequency / f.SamplesPerSec;
        b->Elapsed += ms;
        double left = b->Samples->Bytes.size() > b->Position ? b->Samples->Bytes.size() - b->Position : 0;
        if (b->Elapsed * rate / 1000.0 >= left) b->End();
    }
}

// ---------------------------------------------------------------------------------------

std::string FakeMusicSystem::Open(const std::string& path) {
    Log.push_back("open " + path);
    Close();
    if (!OpenError.empty()) return OpenError;
    open_ = true;
    OpenedPath = path;
    position_ = 0;
    return "";
}

void FakeMusicSystem::Close() {
    if (!open_) return;
    Log.push_back("close");
    open_ = false;
    playing_ = false;
    onEnd_ = nullptr;
    position_ = 0;
}

bool FakeMusicSystem::Play(std::function<void()> onEnd) {
    Log.push_back("play");
    if (!open_ || RefusePlay) return false;
    onEnd_ = std::move(onEnd);
    playing_ = true;
    if (position_ >= PieceLength) Advance(0);  // nothing left to play: ends at once
    return true;
}

void FakeMusicSystem::Stop() {
    Log.push_back("stop");
    playing_ = false;
    onEnd_ = nullptr;
}

void FakeMusicSystem::SeekToStart() {
    Log.push_back("seek 0");
    if (!open_) return;
    playing_ = false;
    onEnd_ = nullptr;
    position_ = 0;
}

void FakeMusicSystem::Advance(uint32_t ms) {
    if (!playing_) return;
    uint64_t p = static_cast<uint64_t>(position_) + ms;
    if (p < PieceLength) {
        position_ = static_cast<uint32_t>(p);
        return;
    }
    position_ = PieceLength;
    playing_ = false;
    Log.push_back("end");
    auto cb = std::move(onEnd_);
    onEnd_ = nullptr;
    if (cb) cb();
}

void FakeMusicSystem::FinishPiece() {
    if (playing_) Advance(PieceLength - position_);
}

}  // namespace platform::fake
