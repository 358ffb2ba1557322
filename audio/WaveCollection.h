// The named waves of a wave list: each entry holds a wave, its own device buffer once the
// device is there, and the pool of voices that lets its plays overlap.
#pragma once

#include <memory>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "audio/SoundBuffer.h"
#include "audio/Wave.h"
#include "engine/DXClass.h"

class TCustomDXSound;
class TCustomDXWaveList;
class TWaveCollection;

class EWaveCollectionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

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
