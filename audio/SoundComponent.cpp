// The sound device component.
#include "audio/SoundComponent.h"

#include <algorithm>
#include <utility>

#include "engine/Forms.h"

namespace snd = platform::sound;

void TDXSoundDirectSound::DoRestoreBuffer() {
    if (owner_) owner_->Restore();
}

TCustomDXSound::TCustomDXSound(TForm* owner) : owner_(owner) {}

TCustomDXSound::~TCustomDXSound() {
    try {
        Finalize();
    } catch (...) {}
    try {
        Notify(dsntDestroying);
    } catch (...) {}
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
        if (!primary_->CreateBuffer(desc)) throw EDXSoundError("Primary Buffer cannot be made");

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
    auto it =
        std::find_if(listeners_.begin(), listeners_.end(), [&](const Listener& l) { return l.Owner == listener; });
    if (it == listeners_.end()) return;
    auto ev = std::move(it->Event);
    listeners_.erase(it);
    if (initialized_) ev(*this, dsntFinalize);
}
