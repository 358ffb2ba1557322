// Sound device component, wave list and voice pool.
#include "audio/DXSounds.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace snd = platform::sound;

namespace {
std::string Format1(const char* pattern, std::string_view arg) {
    std::string s(pattern);
    auto p = s.find("%s");
    if (p != std::string::npos) s.replace(p, 2, arg);
    return s;
}

void Sleep10() {
    if (auto* clock = platform::Current().Clock)
        clock->Sleep(10);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}
}  // namespace

// ---------------------------------------------------------------------------------------
// TDirectSound

TDirectSound::TDirectSound() {
    auto* audio = platform::Current().Audio;
    dxResult_ = audio ? audio->OpenDevice(device_) : snd::ErrNoDriver;
    if (snd::Failed(dxResult_) || !device_) {
        device_.reset();
        throw EDirectSoundError(Format1("%s cannot be initialized", "DirectSound"));
    }
}

TDirectSound::~TDirectSound() = default;

platform::IAudioDevice& TDirectSound::IDSound() {
    if (!device_) throw EDirectSoundError(Format1("%s not made", "IDirectSound"));
    return *device_;
}

void TDirectSound::SetCooperativeLevel(uint32_t window, int level) {
    dxResult_ = IDSound().SetCooperativeLevel(window, level);
}

void TDirectSound::BufferLost() {
    if (inRestore_) return;
    inRestore_ = true;
    try {
        DoRestoreBuffer();
    } catch (...) {
        inRestore_ = false;
        throw;
    }
    inRestore_ = false;
}

// ---------------------------------------------------------------------------------------
// TDirectSoundBuffer

TDirectSoundBuffer::TDirectSoundBuffer(TDirectSound& ds) : ds_(ds) {}
TDirectSoundBuffer::~TDirectSoundBuffer() = default;

platform::ISoundBuffer& TDirectSoundBuffer::IBuffer() {
    if (!buffer_) throw EDirectSoundBufferError(Format1("%s not made", "IDirectSoundBuffer"));
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
    if (!CreateBuffer(desc)) throw EDirectSoundBufferError(Format1("%s cannot be made", "Sound Buffer"));
    int32_t r = buffer_->Fill(wave.Data(), static_cast<size_t>(wave.Size()));
    dxResult_ = r;
    if (snd::Failed(r)) {
        buffer_.reset();
        throw EDirectSoundBufferError(Format1("%s cannot be locked", "Sound Buffer"));
    }
}

void TDirectSoundBuffer::Play(bool loop) { Check(IBuffer().Play(loop)); }
void TDirectSoundBuffer::Stop() { Check(IBuffer().Stop()); }
void TDirectSoundBuffer::SetPosition(uint32_t p) { Check(IBuffer().SetCurrentPosition(p)); }
void TDirectSoundBuffer::SetFrequency(int32_t v) { Check(IBuffer().SetFrequency(static_cast<uint32_t>(std::max(0, v)))); }
void TDirectSoundBuffer::SetPan(int32_t v) { Check(IBuffer().SetPan(v)); }
void TDirectSoundBuffer::SetVolume(int32_t v) { Check(IBuffer().SetVolume(v)); }

uint32_t TDirectSoundBuffer::Status() {
    uint32_t status = 0;
    int32_t r = IBuffer().GetStatus(status);
    if (snd::Failed(r)) status = 0;
    Check(r);
    return status;
}

// ---------------------------------------------------------------------------------------
// TCustomDXSound

void TDXSoundDirectSound::DoRestoreBuffer() {
    if (owner_) owner_->Restore();
}

TCustomDXSound::TCustomDXSound(TForm* owner) : owner_(owner) {}

TCustomDXSound::~TCustomDXSound() {
    try {
        Finalize();
    } catch (...) {
    }
    try {
        Notify(dsntDestroying);
    } catch (...) {
    }
}

void TCustomDXSound::Loaded() {
    if (!AutoInitialize) return;
    try {
        Initialize();
    } catch (const EDirectSoundError&) {
        // No usable device: the program runs silent.
    }
}

void TCustomDXSound::Notify(TDXSoundNotifyType type) {
    // Last registered first; a copy, since a listener may unregister itself.
    auto list = listeners_;
    for (auto it = list.rbegin(); it != list.rend(); ++it) it->Event(*this, type);
}

void TCustomDXSound::SetLevel() {
    if (!dsound_ || !owner_) return;
    hookedHandle_ = owner_->Handle();
    dsound_->SetCooperativeLevel(hookedHandle_, (nowOptions_ & soExclusive) ? snd::LevelExclusive : snd::LevelNormal);
}

void TCustomDXSound::Initialize() {
    Finalize();
    TForm* form = owner_;
    if (!form) throw EDXSoundError("Form not found");

    Notify(dsntInitializing);
    if (OnInitializing) OnInitializing(*this);
    initializing_ = true;
    try {
        dsound_ = std::make_unique<TDXSoundDirectSound>(this);
        dsound_->GlobalFocus = (nowOptions_ & soGlobalFocus) != 0;

        primary_ = std::make_unique<TDirectSoundBuffer>(*dsound_);
        platform::SoundBufferDesc desc;
        desc.Flags = snd::FlagPrimaryBuffer;
        if (!primary_->CreateBuffer(desc)) throw EDXSoundError(Format1("%s cannot be made", "Primary Buffer"));

        initialized_ = true;
        hookedForm_ = form;
        form->AddWindowHook(this, [this](const platform::Message&) {
            // The window was made anew: the device must follow the new handle.
            if (initialized_ && owner_ && owner_->Handle() != hookedHandle_) SetLevel();
        });
        SetLevel();
    } catch (...) {
        Finalize();
        throw;
    }

    Notify(dsntInitialize);
    calledDoInitialize_ = true;
    if (OnInitialize) OnInitialize(*this);
    Restore();
}

void TCustomDXSound::Finalize() {
    if (!initialized_ && !initializing_) return;
    if (hookedForm_) {
        hookedForm_->RemoveWindowHook(this);
        hookedForm_ = nullptr;
    }
    if (calledDoInitialize_) {
        calledDoInitialize_ = false;
        if (OnFinalize) OnFinalize(*this);
    }
    Notify(dsntFinalize);
    initialized_ = false;
    initializing_ = false;
    nowOptions_ = options_;
    primary_.reset();
    dsound_.reset();
}

void TCustomDXSound::Restore() {
    if (!initialized_) return;
    Notify(dsntRestore);
    if (OnRestore) OnRestore(*this);
}

void TCustomDXSound::SetOptions(TDXSoundOptions value) {
    options_ = value;
    if (initialized_) {
        // Exclusive use can only change while the device is closed.
        nowOptions_ = (value & ~static_cast<TDXSoundOptions>(soExclusive)) | (nowOptions_ & soExclusive);
        if (dsound_) {
            dsound_->GlobalFocus = (value & soGlobalFocus) != 0;
            dsound_->StickyFocus = (value & soStickyFocus) != 0;
        }
    } else {
        nowOptions_ = value;
    }
}

void TCustomDXSound::RegisterNotifyEvent(const void* listener, TDXSoundNotifyEvent event) {
    UnRegisterNotifyEvent(listener);
    listeners_.push_back({listener, std::move(event)});
    if (initialized_) {
        auto ev = listeners_.back().Event;
        ev(*this, dsntInitialize);
        ev(*this, dsntRestore);
    }
}

void TCustomDXSound::UnRegisterNotifyEvent(const void* listener) {
    auto it = std::find_if(listeners_.begin(), listeners_.end(), [&](const Listener& l) { return l.Owner == listener; });
    if (it == listeners_.end()) return;
    auto ev = std::move(it->Event);
    listeners_.erase(it);
    if (initialized_) ev(*this, dsntFinalize);
}

// ---------------------------------------------------------------------------------------
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
    if (ds->StickyFocus)
        flags |= snd::FlagStickyFocus;
    else if (ds->GlobalFocus)
        flags |= snd::FlagGlobalFocus;
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
    if (i < 0) throw EWaveCollectionError(Format1("Wave '%s' not found", name));
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

// ---------------------------------------------------------------------------------------
// TCustomDXWaveList

TCustomDXWaveList::TCustomDXWaveList(TForm* owner) : owner_(owner), items_(this) {}

TCustomDXWaveList::~TCustomDXWaveList() {
    try {
        SetDXSound(nullptr);
    } catch (...) {
    }
}

void TCustomDXWaveList::SetDXSound(TCustomDXSound* value) {
    if (value == dxSound_) return;
    if (dxSound_) dxSound_->UnRegisterNotifyEvent(this);
    dxSound_ = value;
    if (dxSound_)
        dxSound_->RegisterNotifyEvent(
            this, [this](TCustomDXSound& sender, TDXSoundNotifyType type) { DXSoundNotifyEvent(sender, type); });
}

void TCustomDXWaveList::DXSoundNotifyEvent(TCustomDXSound& sender, TDXSoundNotifyType type) {
    switch (type) {
        case dsntDestroying: SetDXSound(nullptr); break;
        case dsntInitializing: break;
        case dsntInitialize: items_.Initialize(&sender); break;
        case dsntFinalize: items_.Finalize(); break;
        case dsntRestore: items_.Restore(); break;
    }
}
