// The sound device component: opens the device for its window, holds the primary buffer
// and tells its listeners (the wave lists) when the device comes, goes or is restored.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "audio/SoundBuffer.h"
#include "audio/SoundDevice.h"

class TForm;
class TCustomDXSound;

class EDXSoundError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

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
