// The wave list component.
#include "audio/WaveList.h"

TCustomDXWaveList::TCustomDXWaveList(TForm* owner) : owner_(owner), items_(this) {}

TCustomDXWaveList::~TCustomDXWaveList() {
    try {
        SetDXSound(nullptr);
    } catch (...) {}
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
