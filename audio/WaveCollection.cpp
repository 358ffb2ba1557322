// The named waves of a wave list and their voice pools.
#include "audio/WaveCollection.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <utility>

#include "audio/SoundComponent.h"
#include "platform/Platform.h"

namespace snd = platform::sound;

namespace {
void Sleep10() {
    if (auto* clock = platform::Current().Clock) clock->Sleep(10);
    else std::this_thread::sleep_for(std::chrono::milliseconds(10));
}
}  // namespace

// TWaveCollectionItem

TWaveCollectionItem::TWaveCollectionItem(TWaveCollection* collection) : THashCollectionItem(collection) {}

TWaveCollectionItem::~TWaveCollectionItem() { Finalize(); }

TWaveCollection* TWaveCollectionItem::WaveCollection() const { return static_cast<TWaveCollection*>(Collection()); }

TDirectSoundBuffer* TWaveCollectionItem::GetBuffer() {
    if (initialized_ && !buffer_) Restore();
    return buffer_.get();
}

void TWaveCollectionItem::ApplySettings(TDirectSoundBuffer& b) {
    b.SetFrequency(frequency_);
    b.SetPan(pan_);
    b.SetVolume(volume_);
}

std::unique_ptr<TDirectSoundBuffer> TWaveCollectionItem::CreateVoice() {
    TDirectSoundBuffer* source = GetBuffer();
    if (!source || !source->Made()) return nullptr;
    auto voice = std::make_unique<TDirectSoundBuffer>(source->DSound());
    // A refused duplicate leaves the code on the device object; the play stays silent
    // instead of keeping a voice that would fail on every later play.
    if (!voice->Duplicate(*source)) return nullptr;
    return voice;
}

void TWaveCollectionItem::Play(bool wait) {
    if (!initialized_) return;

    if (looped_) {
        TDirectSoundBuffer* b = GetBuffer();
        if (!b || !b->Made()) return;  // an empty wave has nothing to loop
        b->Stop();
        b->SetPosition(0);
        b->Play(true);
        return;
    }

    TDirectSoundBuffer* voice = nullptr;
    for (auto& v : voices_) {
        if (!v->Playing()) {
            voice = v.get();
            break;
        }
    }
    if (!voice) {
        if (maxPlayingCount_ == 0 || static_cast<int>(voices_.size()) < maxPlayingCount_) {
            auto made = CreateVoice();
            if (!made) return;
            voice = made.get();
            voices_.push_back(std::move(made));
        } else {
            // Every allowed voice is sounding: cut the oldest and move it to the end.
            auto first = std::move(voices_.front());
            voices_.erase(voices_.begin());
            voice = first.get();
            voices_.push_back(std::move(first));
        }
    }

    voice->Stop();
    voice->SetPosition(0);
    ApplySettings(*voice);
    voice->Play(false);

    if (wait)
        while (voice->Playing()) Sleep10();
}

void TWaveCollectionItem::Stop() {
    if (!initialized_) return;
    if (buffer_ && buffer_->Made()) buffer_->Stop();
    for (auto& v : voices_)
        if (v->Made()) v->Stop();
}

void TWaveCollectionItem::Initialize() {
    Finalize();
    auto* c = WaveCollection();
    initialized_ = c && c->Initialized();
}

void TWaveCollectionItem::Finalize() {
    if (!initialized_) return;
    initialized_ = false;
    voices_.clear();
    buffer_.reset();
}

void TWaveCollectionItem::Restore() {
    if (wave_.Size() == 0) return;
    if (!initialized_) {
        auto* c = WaveCollection();
        if (c && c->Initialized()) Initialize();
        if (!initialized_) return;
    }
    TDirectSound* ds = WaveCollection()->DXSound()->DSound();
    if (!buffer_) buffer_ = std::make_unique<TDirectSoundBuffer>(*ds);
    uint32_t flags = snd::FlagCtrlFrequency | snd::FlagCtrlPan | snd::FlagCtrlVolume;
    if (ds->StickyFocus) flags |= snd::FlagStickyFocus;
    else if (ds->GlobalFocus) flags |= snd::FlagGlobalFocus;
    buffer_->LoadFromWave(wave_, flags);
    ApplySettings(*buffer_);
}

void TWaveCollectionItem::SetLooped(bool value) {
    if (value == looped_) return;
    Stop();
    looped_ = value;
}

void TWaveCollectionItem::SetMaxPlayingCount(int value) {
    value = std::max(0, value);
    if (value == maxPlayingCount_) return;
    maxPlayingCount_ = value;
    if (initialized_) voices_.clear();
}

void TWaveCollectionItem::SetFrequency(int value) {
    frequency_ = value;
    if (initialized_ && buffer_ && buffer_->Made()) buffer_->SetFrequency(value);
}

void TWaveCollectionItem::SetPan(int value) {
    pan_ = value;
    if (initialized_ && buffer_ && buffer_->Made()) buffer_->SetPan(value);
}

void TWaveCollectionItem::SetVolume(int value) {
    volume_ = value;
    if (initialized_ && buffer_ && buffer_->Made()) buffer_->SetVolume(value);
}

// ---------------------------------------------------------------------------------------
// TWaveCollection

TWaveCollection::~TWaveCollection() {
    // Entries finalise while this collection is still whole.
    Clear();
}

TWaveCollectionItem* TWaveCollection::Find(std::string_view name) const {
    int i = IndexOf(name);
    if (i < 0) throw EWaveCollectionError(std::string("Wave '").append(name).append("' not found"));
    return Items(i);
}

void TWaveCollection::Initialize(TCustomDXSound* sound) {
    for (int i = 0; i < Count(); ++i) Items(i)->Finalize();
    dxSound_ = sound;
    for (int i = 0; i < Count(); ++i) Items(i)->Initialize();
}

void TWaveCollection::Finalize() {
    for (int i = 0; i < Count(); ++i) Items(i)->Finalize();
    dxSound_ = nullptr;
}

void TWaveCollection::Restore() {
    for (int i = 0; i < Count(); ++i) Items(i)->Restore();
}

bool TWaveCollection::Initialized() const { return dxSound_ && dxSound_->Initialized(); }
