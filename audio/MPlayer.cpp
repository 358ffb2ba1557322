// Media player over the platform's music device; notices travel through the window queue.
#include "audio/MPlayer.h"

#include "platform/Files.h"

namespace {
constexpr int kErrNotOpen = 263;  // the device is not open
constexpr int kErrRefused = 277;  // the device refused the command

// A machine without a music device still runs the game: the music stays silent.
class SilentMusic : public platform::IMusicSystem {
public:
    std::string Open(const std::string&) override {
        open_ = true;
        return "";
    }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    bool Play(std::function<void()>) override { return open_; }
    void Stop() override {}
    void SeekToStart() override {}
    bool Playing() override { return false; }
    uint32_t Length() override { return 0; }
    uint32_t Position() override { return 0; }
    void SetVolume(int) override {}

private:
    bool open_ = false;
};

uint32_t g_nextDeviceId = 1;
}  // namespace

TMediaPlayer::TMediaPlayer(TForm* owner, std::string name) : owner_(owner), name_(std::move(name)) {
    if (owner_) owner_->AddWindowHook(this, [this](const platform::Message& m) { OnWindowMessage(m); });
}

TMediaPlayer::~TMediaPlayer() {
    if (owner_) owner_->RemoveWindowHook(this);
    if (Opened()) {
        try {
            Close();
        } catch (...) {}
    }
}

platform::IMusicSystem& TMediaPlayer::Music() {
    if (auto* m = platform::Current().Music) return *m;
    static SilentMusic silent;
    return silent;
}

void TMediaPlayer::CheckOpen() const {
    if (!Opened()) throw EMCIDeviceError("No MCI device open");
}

void TMediaPlayer::PostNotice(intptr_t kind) {
    auto* ws = platform::Current().Windows;
    if (!ws || !owner_) return;
    platform::Message msg;
    msg.Kind = platform::MsgKind::User;
    msg.Window = owner_->Handle();
    msg.Param = MM_MCINOTIFY;
    msg.Param2 = kind;
    ws->PostMessage(msg);
}

void TMediaPlayer::OnWindowMessage(const platform::Message& m) {
    if (m.Kind != platform::MsgKind::User || m.Param != MM_MCINOTIFY) return;
    switch (m.Param2) {
        case MCI_NOTIFY_SUCCESSFUL: notifyValue_ = nvSuccessful; break;
        case MCI_NOTIFY_SUPERSEDED: notifyValue_ = nvSuperseded; break;
        case MCI_NOTIFY_ABORTED: notifyValue_ = nvAborted; break;
        case MCI_NOTIFY_FAILURE: notifyValue_ = nvFailure; break;
        default: return;
    }
    if (OnNotify) OnNotify(*this);
}

void TMediaPlayer::Open() {
    if (Opened()) Close();
    std::string path = platform::ResolvePath(FileName);
    std::string err = Music().Open(path);
    if (!err.empty()) {
        error_ = kErrRefused;
        throw EMCIDeviceError(err);
    }
    error_ = 0;
    deviceId_ = g_nextDeviceId++;
    length_ = Music().Length();
}

void TMediaPlayer::Play() {
    CheckOpen();
    auto& music = Music();
    if (AutoRewind && music.Position() == music.Length()) Rewind();
    // A play that replaces one still waiting for its end supersedes that notice.
    if (music.Playing()) PostNotice(MCI_NOTIFY_SUPERSEDED);
    // The end-of-piece callback may run on the audio thread: it only posts. The window id
    // is captured now so the callback never reads this object.
    auto* ws = platform::Current().Windows;
    uint32_t window = owner_ ? owner_->Handle() : 0;
    bool ok = music.Play([ws, window] {
        if (!ws || !window) return;
        platform::Message msg;
        msg.Kind = platform::MsgKind::User;
        msg.Window = window;
        msg.Param = MM_MCINOTIFY;
        msg.Param2 = MCI_NOTIFY_SUCCESSFUL;
        ws->PostMessage(msg);
    });
    error_ = ok ? 0 : kErrRefused;
}

void TMediaPlayer::Stop() {
    CheckOpen();
    auto& music = Music();
    bool wasPlaying = music.Playing();
    music.Stop();
    if (wasPlaying) PostNotice(MCI_NOTIFY_ABORTED);
    error_ = 0;
}

void TMediaPlayer::Rewind() {
    CheckOpen();
    Music().SeekToStart();
    error_ = 0;
}

void TMediaPlayer::Close() {
    if (!Opened()) {
        error_ = kErrNotOpen;
        return;
    }
    Music().Close();
    deviceId_ = 0;
    length_ = 0;
    error_ = 0;
}

void TMediaPlayer::SetVolume(int percent) {
    volume_ = percent < 0 ? 0 : percent > 100 ? 100 : percent;
    Music().SetVolume(volume_);
}

uint32_t TMediaPlayer::Length() {
    CheckOpen();
    return Music().Length();
}

uint32_t TMediaPlayer::Position() {
    CheckOpen();
    return Music().Position();
}
