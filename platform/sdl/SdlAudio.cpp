// Sound buffers and music on SDL2_mixer.
#include "platform/sdl/SdlAudio.h"
#include "platform/sdl/Limiter.h"
#include "platform/sdl/SdlPtrs.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace platform::sdl {
namespace {

// ---------------------------------------------------------------------------------------
// The music finished hook is a plain function the mixer calls on its audio thread (and
// from Mix_HaltMusic on ours). What it needs lives here, never destroyed, so a late call
// cannot reach a freed object.

struct MusicHookState {
    std::mutex Lock;
    bool Armed = false;
    std::function<void()> OnEnd;
};

MusicHookState& HookState() {
    static auto* state = new MusicHookState;
    return *state;
}

void SDLCALL MusicFinished() {
    std::function<void()> cb;
    {
        auto& h = HookState();
        std::lock_guard<std::mutex> g(h.Lock);
        if (!h.Armed) return;
        h.Armed = false;
        cb = std::move(h.OnEnd);
        h.OnEnd = nullptr;
    }
    if (cb) cb();
}

void Disarm() {
    auto& h = HookState();
    std::lock_guard<std::mutex> g(h.Lock);
    h.Armed = false;
    h.OnEnd = nullptr;
}

void Arm(std::function<void()> cb) {
    auto& h = HookState();
    std::lock_guard<std::mutex> g(h.Lock);
    h.OnEnd = std::move(cb);
    h.Armed = true;
}

// ---------------------------------------------------------------------------------------
// The player's volumes, kept while no mixer is open so the next one starts with them.

std::atomic<int> g_effectsPercent{100};
std::atomic<int> g_musicPercent{100};

int MixerVolume(double amplitude) {
    return static_cast<int>(std::lround(MIX_MAX_VOLUME * std::clamp(amplitude, 0.0, 1.0)));
}

// The limiter sees the final mix. The mixer adds the voices in floating point, so a sum of
// many loud voices goes past full scale without being cut; the limiter brings it back under.

void SDLCALL LimitFinalMix(void* limiter, Uint8* stream, int len) {
    static_cast<Limiter*>(limiter)->Run(reinterpret_cast<float*>(stream), static_cast<size_t>(len) / sizeof(float));
}

// ---------------------------------------------------------------------------------------
// The opened mixer, shared by the sound device, its buffers and the music.

class Mixer {
public:
    // Null (with the reason) when no audio device can be opened.
    static std::shared_ptr<Mixer> Acquire(std::string& error) {
        static std::mutex lock;
        std::weak_ptr<Mixer>& current = Registry();
        std::lock_guard<std::mutex> g(lock);
        if (auto m = current.lock()) return m;
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            error = SDL_GetError();
            return nullptr;
        }
        Mix_Init(MIX_INIT_MP3);
        // Mixing in floating point leaves the sum of the voices uncut for the limiter; SDL
        // converts its output to whatever the device takes.
        const int changes = SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE;
        if (Mix_OpenAudioDevice(44100, AUDIO_F32SYS, 2, 1024, nullptr, changes) != 0 &&
            Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
            error = Mix_GetError();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return nullptr;
        }
        auto m = std::shared_ptr<Mixer>(new Mixer);
        Mix_QuerySpec(&m->Frequency, &m->Format, &m->Channels);
        m->channels_.assign(static_cast<size_t>(std::max(0, Mix_AllocateChannels(-1))), false);
        m->gains_.assign(m->channels_.size(), 1.0);
        if (m->Format == AUDIO_F32SYS) {
            m->limiter_ = std::make_unique<Limiter>(m->Frequency, m->Channels);
            Mix_SetPostMix(LimitFinalMix, m->limiter_.get());
        }
        Mix_VolumeMusic(MixerVolume(VolumeAmplitude(g_musicPercent)));
        Mix_HookMusicFinished(MusicFinished);
        current = m;
        return m;
    }

    ~Mixer() {
        Disarm();
        Mix_HookMusicFinished(nullptr);
        Mix_HaltMusic();
        Mix_HaltChannel(-1);
        Mix_SetPostMix(nullptr, nullptr);
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    // A channel of its own for one buffer; grows the mixer's channels so a new sound never
    // pushes out one that is playing.
    int TakeChannel() {
        for (size_t i = 0; i < channels_.size(); ++i) {
            if (!channels_[i]) {
                channels_[i] = true;
                return static_cast<int>(i);
            }
        }
        size_t want = std::max<size_t>(8, channels_.size() * 2);
        int got = Mix_AllocateChannels(static_cast<int>(want));
        if (got <= static_cast<int>(channels_.size())) return -1;
        size_t first = channels_.size();
        channels_.resize(static_cast<size_t>(got), false);
        gains_.resize(channels_.size(), 1.0);
        channels_[first] = true;
        return static_cast<int>(first);
    }

    void GiveBackChannel(int ch) {
        if (ch < 0 || static_cast<size_t>(ch) >= channels_.size()) return;
        Mix_HaltChannel(ch);
        channels_[static_cast<size_t>(ch)] = false;
        SetChannelGain(ch, 1.0);
    }

    // A buffer's own volume on its channel, under the player's effect volume.
    void SetChannelGain(int ch, double gain) {
        if (ch < 0 || static_cast<size_t>(ch) >= gains_.size()) return;
        gains_[static_cast<size_t>(ch)] = gain;
        Mix_Volume(ch, MixerVolume(gain * VolumeAmplitude(g_effectsPercent)));
    }

    // The effect volume changed: every channel, playing or not, hears it at once.
    void ApplyEffectsVolume() {
        for (size_t ch = 0; ch < gains_.size(); ++ch) SetChannelGain(static_cast<int>(ch), gains_[ch]);
    }

    // The open mixer, if any (for volume changes that must be heard at once).
    static std::shared_ptr<Mixer> Current() { return Registry().lock(); }

    int FrameBytes() const { return (SDL_AUDIO_BITSIZE(Format) / 8) * Channels; }

    int Frequency = 0;
    Uint16 Format = 0;
    int Channels = 0;

private:
    Mixer() = default;
    static std::weak_ptr<Mixer>& Registry() {
        static std::weak_ptr<Mixer> current;
        return current;
    }
    std::vector<bool> channels_;
    std::vector<double> gains_;
    std::unique_ptr<Limiter> limiter_;
};

// A RIFF WAVE file in memory, as the mixer's loader reads it.
std::vector<uint8_t> MakeRiff(const std::vector<uint8_t>& format, const uint8_t* data, size_t size) {
    std::vector<uint8_t> out;
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    auto tag = [&](const char* t) { out.insert(out.end(), t, t + 4); };
    tag("RIFF");
    put32(static_cast<uint32_t>(4 + 8 + format.size() + 8 + size));
    tag("WAVE");
    tag("fmt ");
    put32(static_cast<uint32_t>(format.size()));
    out.insert(out.end(), format.begin(), format.end());
    tag("data");
    put32(static_cast<uint32_t>(size));
    if (size) out.insert(out.end(), data, data + size);
    return out;
}

ChunkPtr LoadChunk(const std::vector<uint8_t>& format, const uint8_t* data, size_t size) {
    std::vector<uint8_t> riff = MakeRiff(format, data, size);
    SDL_RWops* rw = SDL_RWFromConstMem(riff.data(), static_cast<int>(riff.size()));
    if (!rw) return nullptr;
    return ChunkPtr(Mix_LoadWAV_RW(rw, 1));
}

// Amplitude factor of an attenuation in hundredths of a decibel.
double Gain(int32_t hundredthsDb) { return std::pow(10.0, hundredthsDb / 2000.0); }

class SdlSoundBuffer;

// The sample memory that duplicates share: the wave converted to the mixer's format.
struct Samples {
    std::vector<uint8_t> Format;
    WaveFormat Wave;
    uint32_t Bytes = 0;
    ChunkPtr Chunk;
    std::vector<SdlSoundBuffer*> Users;
};

class SdlSoundBuffer : public ISoundBuffer {
public:
    SdlSoundBuffer(std::shared_ptr<Mixer> mixer, std::shared_ptr<Samples> samples, bool primary)
        : mixer_(std::move(mixer)), samples_(std::move(samples)), primary_(primary) {
        if (samples_) samples_->Users.push_back(this);
    }

    ~SdlSoundBuffer() override {
        DropDerived();
        if (channel_ >= 0) mixer_->GiveBackChannel(channel_);
        if (samples_) std::erase(samples_->Users, this);
    }

    bool TakeChannel() {
        channel_ = mixer_->TakeChannel();
        return channel_ >= 0;
    }

    const std::shared_ptr<Samples>& Shared() const { return samples_; }
    bool Primary() const { return primary_; }

    // The chunk this buffer plays is about to go: stop and forget what was made from it.
    void DropDerived() {
        if (channel_ >= 0) Mix_HaltChannel(channel_);
        view_.reset();
        rateChunk_.reset();
        rateBytes_.clear();
        rateFor_ = 0;
    }

    int32_t Fill(const uint8_t* bytes, size_t count) override {
        if (primary_ || !samples_) return sound::ErrInvalidCall;
        std::vector<uint8_t> data(samples_->Bytes, 0);
        if (bytes) std::memcpy(data.data(), bytes, std::min<size_t>(count, data.size()));
        for (auto* u : samples_->Users) u->DropDerived();
        ChunkPtr c = LoadChunk(samples_->Format, data.data(), data.size());
        if (!c) return sound::ErrBadFormat;
        samples_->Chunk = std::move(c);
        return sound::Ok;
    }

    int32_t Play(bool looping) override {
        if (primary_) return sound::Ok;
        if (channel_ < 0) return sound::ErrGeneric;
        if (Mix_Playing(channel_)) {
            looping_ = looping;
            return sound::Ok;
        }
        Mix_Chunk* chunk = PlayableChunk();
        if (!chunk) return sound::Ok;  // nothing filled in yet: silence
        looping_ = looping;
        // Volume before the start, panning right after (the mixer drops a channel's effects
        // whenever it starts or finishes).
        mixer_->SetChannelGain(channel_, Gain(volume_));
        if (Mix_PlayChannel(channel_, chunk, looping ? -1 : 0) < 0) return sound::ErrGeneric;
        ApplyPan();
        return sound::Ok;
    }

    int32_t Stop() override {
        if (channel_ >= 0) Mix_HaltChannel(channel_);
        return sound::Ok;
    }

    int32_t SetCurrentPosition(uint32_t p) override {
        if (primary_) return sound::ErrInvalidCall;
        position_ = std::min(p, samples_->Bytes);
        if (channel_ >= 0 && Mix_Playing(channel_)) {
            Mix_HaltChannel(channel_);
            return Play(looping_);
        }
        return sound::Ok;
    }

    int32_t SetFrequency(uint32_t f) override {
        if (primary_) return sound::ErrInvalidCall;
        if (f != 0 && (f < sound::FrequencyMin || f > sound::FrequencyMax)) return sound::ErrInvalidParam;
        frequency_ = f;  // heard from the next play on
        return sound::Ok;
    }

    int32_t SetPan(int32_t pan) override {
        if (pan < sound::PanLeft || pan > sound::PanRight) return sound::ErrInvalidParam;
        pan_ = pan;
        if (channel_ >= 0 && Mix_Playing(channel_)) ApplyPan();
        return sound::Ok;
    }

    int32_t SetVolume(int32_t v) override {
        if (v < sound::VolumeMin || v > sound::VolumeMax) return sound::ErrInvalidParam;
        volume_ = v;
        if (channel_ >= 0) mixer_->SetChannelGain(channel_, Gain(volume_));
        return sound::Ok;
    }

    int32_t GetStatus(uint32_t& status) override {
        status = 0;
        if (channel_ >= 0 && Mix_Playing(channel_))
            status = sound::StatusPlaying | (looping_ ? sound::StatusLooping : 0);
        return sound::Ok;
    }

private:
    void ApplyPan() {
        double left = 1.0, right = 1.0;
        if (pan_ > 0) left = Gain(-pan_);
        if (pan_ < 0) right = Gain(pan_);
        Mix_SetPanning(channel_, static_cast<Uint8>(std::lround(255 * left)),
                       static_cast<Uint8>(std::lround(255 * right)));
    }

    // The chunk at the wanted rate, from the wanted position.
    Mix_Chunk* PlayableChunk() {
        Mix_Chunk* base = samples_ ? samples_->Chunk.get() : nullptr;
        if (!base) return nullptr;
        uint32_t own = samples_->Wave.SamplesPerSec;
        if (frequency_ != 0 && own != 0 && frequency_ != own) {
            if (rateFor_ != frequency_) MakeRateChunk(base, own);
            if (rateChunk_) base = rateChunk_.get();
        }
        view_.reset();
        if (position_ == 0 || samples_->Bytes == 0) return base;
        int frame = std::max(1, mixer_->FrameBytes());
        uint64_t frames = base->alen / static_cast<uint32_t>(frame);
        uint64_t at = frames * position_ / samples_->Bytes * static_cast<uint32_t>(frame);
        if (at >= base->alen) return nullptr;
        view_.reset(Mix_QuickLoad_RAW(base->abuf + at, static_cast<Uint32>(base->alen - at)));
        return view_.get();
    }

    // The same samples resampled so that they sound at `frequency_` instead of their own rate.
    void MakeRateChunk(Mix_Chunk* base, uint32_t own) {
        rateChunk_.reset();
        rateBytes_.clear();
        rateFor_ = frequency_;
        SDL_AudioCVT cvt;
        int srcRate = static_cast<int>(static_cast<uint64_t>(mixer_->Frequency) * frequency_ / own);
        if (srcRate <= 0 ||
            SDL_BuildAudioCVT(&cvt, mixer_->Format, static_cast<Uint8>(mixer_->Channels), srcRate, mixer_->Format,
                              static_cast<Uint8>(mixer_->Channels), mixer_->Frequency) < 0)
            return;
        if (!cvt.needed) return;
        cvt.len = static_cast<int>(base->alen);
        rateBytes_.assign(static_cast<size_t>(cvt.len) * static_cast<size_t>(cvt.len_mult), 0);
        std::memcpy(rateBytes_.data(), base->abuf, base->alen);
        cvt.buf = rateBytes_.data();
        if (SDL_ConvertAudio(&cvt) != 0) {
            rateBytes_.clear();
            return;
        }
        int frame = std::max(1, mixer_->FrameBytes());
        Uint32 len = static_cast<Uint32>(cvt.len_cvt - cvt.len_cvt % frame);
        rateChunk_.reset(Mix_QuickLoad_RAW(rateBytes_.data(), len));
    }

    std::shared_ptr<Mixer> mixer_;
    std::shared_ptr<Samples> samples_;
    bool primary_;
    int channel_ = -1;
    bool looping_ = false;
    uint32_t position_ = 0;
    uint32_t frequency_ = 0;
    int32_t pan_ = 0;
    int32_t volume_ = 0;
    ChunkPtr view_;       // a window into the playing chunk, for plays from a position
    ChunkPtr rateChunk_;  // the samples at another rate; its memory is rateBytes_
    std::vector<uint8_t> rateBytes_;
    uint32_t rateFor_ = 0;
};

class SdlAudioDevice : public IAudioDevice {
public:
    explicit SdlAudioDevice(std::shared_ptr<Mixer> mixer) : mixer_(std::move(mixer)) {}

    int32_t SetCooperativeLevel(uint32_t, int level) override {
        return (level == sound::LevelNormal || level == sound::LevelExclusive || level == 2 || level == 4)
                   ? sound::Ok
                   : sound::ErrInvalidParam;
    }

    int32_t CreateBuffer(const SoundBufferDesc& desc, std::unique_ptr<ISoundBuffer>& out) override {
        out.reset();
        if (desc.Flags & sound::FlagPrimaryBuffer) {
            out = std::make_unique<SdlSoundBuffer>(mixer_, nullptr, true);
            return sound::Ok;
        }
        auto samples = std::make_shared<Samples>();
        if (!ParseWaveFormat(desc.Format.data(), desc.Format.size(), samples->Wave) || desc.BufferBytes == 0 ||
            samples->Wave.Channels == 0 || samples->Wave.SamplesPerSec == 0)
            return sound::ErrInvalidParam;
        samples->Format = desc.Format;
        samples->Bytes = desc.BufferBytes;
        // Try the format on one block of silence, so a wave the mixer cannot decode is
        // refused here rather than when its bytes arrive.
        std::vector<uint8_t> probe(std::max<size_t>(4, samples->Wave.BlockAlign), 0);
        if (!LoadChunk(samples->Format, probe.data(), probe.size())) return sound::ErrBadFormat;
        auto b = std::make_unique<SdlSoundBuffer>(mixer_, std::move(samples), false);
        if (!b->TakeChannel()) return sound::ErrOutOfMemory;
        out = std::move(b);
        return sound::Ok;
    }

    int32_t DuplicateBuffer(ISoundBuffer& source, std::unique_ptr<ISoundBuffer>& out) override {
        out.reset();
        auto* src = dynamic_cast<SdlSoundBuffer*>(&source);
        if (!src || src->Primary() || !src->Shared()) return sound::ErrInvalidCall;
        auto b = std::make_unique<SdlSoundBuffer>(mixer_, src->Shared(), false);
        if (!b->TakeChannel()) return sound::ErrOutOfMemory;
        out = std::move(b);
        return sound::Ok;
    }

private:
    std::shared_ptr<Mixer> mixer_;
};

class SdlAudioSystem : public IAudioSystem {
public:
    int32_t OpenDevice(std::unique_ptr<IAudioDevice>& out) override {
        out.reset();
        std::string error;
        auto mixer = Mixer::Acquire(error);
        if (!mixer) return sound::ErrNoDriver;
        out = std::make_unique<SdlAudioDevice>(std::move(mixer));
        return sound::Ok;
    }

    void SetEffectsVolume(int percent) override {
        g_effectsPercent = std::clamp(percent, 0, 100);
        if (auto m = Mixer::Current()) m->ApplyEffectsVolume();
    }
};

// ---------------------------------------------------------------------------------------

class SdlMusicSystem : public IMusicSystem {
public:
    ~SdlMusicSystem() override { Close(); }

    std::string Open(const std::string& path) override {
        Close();
        std::string error;
        auto mixer = Mixer::Acquire(error);
        if (!mixer) {
            // No sound device: an existing file opens silently, so the program runs on.
            if (FILE* f = std::fopen(path.c_str(), "rb")) {
                std::fclose(f);
                open_ = true;
                return "";
            }
            return "Cannot find the specified file. Make sure the path and filename are correct.";
        }
        MusicPtr m(Mix_LoadMUS(path.c_str()));
        if (!m) {
            std::string text = Mix_GetError();
            if (FILE* f = std::fopen(path.c_str(), "rb")) std::fclose(f);
            else text = "Cannot find the specified file. Make sure the path and filename are correct.";
            return text.empty() ? "Unknown error code" : text;
        }
        mixer_ = std::move(mixer);
        music_ = std::move(m);
        double d = Mix_MusicDuration(music_.get());
        length_ = d > 0 ? static_cast<uint32_t>(std::lround(d * 1000.0)) : 0;
        open_ = true;
        state_ = State::Stopped;
        return "";
    }

    void Close() override {
        if (music_) {
            Halt();
            music_.reset();
        }
        mixer_.reset();
        open_ = false;
        state_ = State::Stopped;
        length_ = 0;
    }

    bool IsOpen() const override { return open_; }

    bool Play(std::function<void()> onEnd) override {
        if (!open_) return false;
        if (!music_) return true;  // silent
        Update();
        switch (state_) {
            case State::Playing: Arm(std::move(onEnd)); return true;
            case State::Paused:
                Arm(std::move(onEnd));
                Mix_ResumeMusic();
                state_ = State::Playing;
                return true;
            case State::Ended:
                // Nothing left to play: the piece is over at once.
                if (onEnd) onEnd();
                return true;
            case State::Stopped: break;
        }
        // Armed before the start: a very short piece may end before this call returns.
        Arm(std::move(onEnd));
        if (Mix_PlayMusic(music_.get(), 0) != 0) {
            Disarm();
            return false;
        }
        state_ = State::Playing;
        return true;
    }

    void Stop() override {
        if (!music_) return;
        Update();
        if (state_ != State::Playing) return;
        Disarm();
        Mix_PauseMusic();
        state_ = State::Paused;
    }

    void SeekToStart() override {
        if (!music_) return;
        Halt();
        state_ = State::Stopped;
    }

    bool Playing() override {
        if (!music_) return false;
        Update();
        return state_ == State::Playing;
    }

    uint32_t Length() override { return music_ ? length_ : 0; }

    void SetVolume(int percent) override {
        g_musicPercent = std::clamp(percent, 0, 100);
        if (Mixer::Current()) Mix_VolumeMusic(MixerVolume(VolumeAmplitude(g_musicPercent)));
    }

    uint32_t Position() override {
        if (!music_) return 0;
        Update();
        switch (state_) {
            case State::Stopped: return 0;
            case State::Ended: return length_;
            case State::Playing:
            case State::Paused: {
                double p = Mix_GetMusicPosition(music_.get());
                uint32_t ms = p > 0 ? static_cast<uint32_t>(std::lround(p * 1000.0)) : 0;
                // Only a finished piece stands at its length.
                return length_ > 0 ? std::min(ms, length_ - 1) : 0;
            }
        }
        return 0;
    }

private:
    enum class State { Stopped, Playing, Paused, Ended };

    // A play that the mixer no longer plays has reached its end.
    void Update() {
        if (state_ == State::Playing && !Mix_PlayingMusic()) state_ = State::Ended;
    }

    // Stop for good; the finished hook this calls is disarmed first.
    void Halt() {
        Disarm();
        if (state_ == State::Playing || state_ == State::Paused) Mix_HaltMusic();
    }

    std::shared_ptr<Mixer> mixer_;
    MusicPtr music_;  // after the mixer: freed before the mixer may close
    bool open_ = false;
    // Stop pauses the stream, so Stopped always stands at the start.
    State state_ = State::Stopped;
    uint32_t length_ = 0;
};

}  // namespace

std::unique_ptr<IAudioSystem> CreateAudioSystem() { return std::make_unique<SdlAudioSystem>(); }
std::unique_ptr<IMusicSystem> CreateMusicSystem() { return std::make_unique<SdlMusicSystem>(); }

}  // namespace platform::sdl
