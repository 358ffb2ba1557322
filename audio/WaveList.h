// The wave list component: a named collection of waves that follows a sound component,
// loading its entries when the device comes and releasing them when it goes.
#pragma once

#include "audio/SoundComponent.h"
#include "audio/WaveCollection.h"

class TForm;

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
