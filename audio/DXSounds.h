// The sound device component, the named wave list with its voice pool, and the thin device
// layer (device object, sound buffers) they stand on.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "audio/Wave.h"
#include "engine/DXClass.h"
#include "engine/Forms.h"
#include "platform/Audio.h"

class EDirectSoundError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class EDirectSoundBufferError : public EDirectSoundError {
public:
    using EDirectSoundError::EDirectSoundError;
};
class EDXSoundError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class EWaveCollectionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TCustomDXSound;
class TCustomDXWaveList;
class TWaveCollection;

// ---------------------------------------------------------------------------------------
// Device layer: every call stores the platform's result code; only making a required
// object raises.

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

// ---------------------------------------------------------------------------------------
// Sound component

enum TDXSoundOption : uint32_t { soGlobalFocus = 1, soStickyFocus = 2, soExclusive = 4 };
using TDXSoundOptions = uint32_t;

// Device events told to listeners.
enum TDXSoundNotifyType : int {
    dsntDestroying = 0,
    dsntInitializing = 1,
    dsntInitialize = 2,
    dsntFinalize = 3,
    dsntRestore = 4,
};

using TDXSoundNotifyEvent = std::function<void(TCustomDXSound& sender, TDXSoundNotifyType type)>;
using TDXSoundEvent = std::function<void(TCustomDXSound& sender)>;

// The device object of the component: a lost buffer makes the component restore.
class TDXSoundDirectSound : public TDirectSound {
public:
    explicit TDXSoundDirectSound(TCustomDXSound* owner) : owner_(owner) {}

protected:
    void DoRestoreBuffer() override;

private:
    TCustomDXSound* owner_;
};

class TCustomDXSound {
public:
    explicit TCustomDXSound(TForm* owner);
    virtual ~TCustomDXSound();
    TCustomDXSound(const TCustomDXSound&) = delete;
    TCustomDXSound& operator=(const TCustomDXSound&) = delete;

    TForm* Owner() const { return owner_; }

    // The owning window has been loaded: with AutoInitialize, open the device, and if that
    // fails for want of a device (the EDirectSoundError family) carry on silent.
    void Loaded();
    void Initialize();
    void Finalize();
    void Restore();
    bool Initialized() const { return initialized_; }

    bool AutoInitialize = true;
    TDXSoundOptions Options() const { return options_; }
    void SetOptions(TDXSoundOptions value);
    TDXSoundOptions NowOptions() const { return nowOptions_; }

    TDirectSound* DSound() const { return dsound_.get(); }
    TDirectSoundBuffer* Primary() const { return primary_.get(); }

    void RegisterNotifyEvent(const void* listener, TDXSoundNotifyEvent event);
    void UnRegisterNotifyEvent(const void* listener);

    TDXSoundEvent OnInitializing, OnInitialize, OnFinalize, OnRestore;

private:
    void Notify(TDXSoundNotifyType type);
    void SetLevel();

    TForm* owner_;
    TForm* hookedForm_ = nullptr;
    uint32_t hookedHandle_ = 0;
    TDXSoundOptions options_ = 0;
    TDXSoundOptions nowOptions_ = 0;
    bool initialized_ = false;
    bool initializing_ = false;
    bool calledDoInitialize_ = false;
    std::unique_ptr<TDXSoundDirectSound> dsound_;
    std::unique_ptr<TDirectSoundBuffer> primary_;
    struct Listener {
        const void* Owner;
        TDXSoundNotifyEvent Event;
    };
    std::vector<Listener> listeners_;
};

class TDXSound : public TCustomDXSound {
public:
    using TCustomDXSound::TCustomDXSound;
};

// ---------------------------------------------------------------------------------------
// Wave list

class TWaveCollectionItem : public THashCollectionItem {
public:
    explicit TWaveCollectionItem(TWaveCollection* collection);
    ~TWaveCollectionItem() override;

    TWaveCollection* WaveCollection() const;

    // Start the sound; overlapping plays sound on separate voices. Without a device: nothing.
    void Play(bool wait = false);
    void Stop();

    void Initialize();
    void Finalize();
    void Restore();
    bool Initialized() const { return initialized_; }

    bool Looped() const { return looped_; }
    void SetLooped(bool value);
    int MaxPlayingCount() const { return maxPlayingCount_; }
    void SetMaxPlayingCount(int value);
    int Frequency() const { return frequency_; }
    void SetFrequency(int value);
    int Pan() const { return pan_; }
    void SetPan(int value);
    int Volume() const { return volume_; }
    void SetVolume(int value);

    TWave& Wave() { return wave_; }
    const TWave& Wave() const { return wave_; }
    void SetWave(const TWave& value) { wave_.Assign(&value); }

    // The entry's own device buffer (null until loaded) and its voices.
    TDirectSoundBuffer* Buffer() const { return buffer_.get(); }
    int VoiceCount() const { return static_cast<int>(voices_.size()); }
    TDirectSoundBuffer* Voice(int index) const { return voices_.at(static_cast<size_t>(index)).get(); }

private:
    TDirectSoundBuffer* GetBuffer();
    std::unique_ptr<TDirectSoundBuffer> CreateVoice();
    void ApplySettings(TDirectSoundBuffer& b);

    std::unique_ptr<TDirectSoundBuffer> buffer_;
    std::vector<std::unique_ptr<TDirectSoundBuffer>> voices_;
    int frequency_ = 0;
    bool initialized_ = false;
    bool looped_ = false;
    int maxPlayingCount_ = 0;
    int pan_ = 0;
    int volume_ = 0;
    TWave wave_;
};

class TWaveCollection : public THashCollection {
public:
    explicit TWaveCollection(TCustomDXWaveList* owner = nullptr) : owner_(owner) {}
    ~TWaveCollection() override;

    TCustomDXWaveList* Owner() const { return owner_; }
    TWaveCollectionItem* Items(int index) const { return static_cast<TWaveCollectionItem*>(GetItem(index)); }
    TWaveCollectionItem* Add() { return new TWaveCollectionItem(this); }
    // EWaveCollectionError "Wave '%s' not found".
    TWaveCollectionItem* Find(std::string_view name) const;

    void Initialize(TCustomDXSound* sound);
    void Finalize();
    void Restore();
    bool Initialized() const;
    TCustomDXSound* DXSound() const { return dxSound_; }

private:
    TCustomDXWaveList* owner_;
    TCustomDXSound* dxSound_ = nullptr;
};

class TCustomDXWaveList {
public:
    explicit TCustomDXWaveList(TForm* owner);
    virtual ~TCustomDXWaveList();
    TCustomDXWaveList(const TCustomDXWaveList&) = delete;
    TCustomDXWaveList& operator=(const TCustomDXWaveList&) = delete;

    TForm* Owner() const { return owner_; }
    TCustomDXSound* DXSound() const { return dxSound_; }
    void SetDXSound(TCustomDXSound* value);
    TWaveCollection& Items() { return items_; }
    const TWaveCollection& Items() const { return items_; }

private:
    void DXSoundNotifyEvent(TCustomDXSound& sender, TDXSoundNotifyType type);
    TForm* owner_;
    TCustomDXSound* dxSound_ = nullptr;
    TWaveCollection items_;
};

class TDXWaveList : public TCustomDXWaveList {
public:
    using TCustomDXWaveList::TCustomDXWaveList;
};
