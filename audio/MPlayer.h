// The invisible media player control that plays the background music: open a file, play
// with a completion notice, stop keeping the position, rewind, close.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "engine/Forms.h"
#include "platform/Audio.h"

class EMCIDeviceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum TMPNotifyValues { nvSuccessful, nvSuperseded, nvAborted, nvFailure };

// The completion notice is a queued window message: Param = MM_MCINOTIFY, Param2 = one of
// the MCI_NOTIFY_* values.
constexpr intptr_t MM_MCINOTIFY = 0x3B9;
constexpr intptr_t MCI_NOTIFY_SUCCESSFUL = 1;
constexpr intptr_t MCI_NOTIFY_SUPERSEDED = 2;
constexpr intptr_t MCI_NOTIFY_ABORTED = 4;
constexpr intptr_t MCI_NOTIFY_FAILURE = 8;

enum TMPDeviceTypes { dtAutoSelect };

class TMediaPlayer {
public:
    // The owner's window receives the completion notices.
    explicit TMediaPlayer(TForm* owner, std::string name = "Mp1");
    ~TMediaPlayer();
    TMediaPlayer(const TMediaPlayer&) = delete;
    TMediaPlayer& operator=(const TMediaPlayer&) = delete;

    const std::string& Name() const { return name_; }

    // Settings.
    std::string FileName;
    TMPDeviceTypes DeviceType = dtAutoSelect;
    bool AutoOpen = false;
    bool AutoRewind = true;
    bool Shareable = false;
    bool Visible = true;
    std::function<void(TMediaPlayer& sender)> OnNotify;

    // Opens FileName (closing an open device first). EMCIDeviceError with the device's text.
    void Open();
    // Play, Stop and Rewind raise EMCIDeviceError "No MCI device open" without an open
    // device; a refused Play is only recorded in Error().
    void Play();
    void Stop();
    void Rewind();
    void Close();

    // The music's loudness, 0 (silent) to 100 (full), heard at once; the device keeps it
    // whether or not a piece is open.
    void SetVolume(int percent);
    int Volume() const { return volume_; }

    bool Opened() const { return deviceId_ != 0; }
    uint32_t DeviceID() const { return deviceId_; }
    uint32_t Length();
    uint32_t Position();
    // Result of the last command: 0 = done.
    int Error() const { return error_; }
    TMPNotifyValues NotifyValue() const { return notifyValue_; }

private:
    platform::IMusicSystem& Music();
    void CheckOpen() const;
    void PostNotice(intptr_t kind);
    void OnWindowMessage(const platform::Message& msg);

    TForm* owner_;
    std::string name_;
    uint32_t deviceId_ = 0;
    uint32_t length_ = 0;
    int error_ = 0;
    int volume_ = 100;
    TMPNotifyValues notifyValue_ = nvSuccessful;
};
