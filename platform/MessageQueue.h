// The message queue behind every window system: queued and posted messages, window timers,
// the keyboard as the delivered key messages describe it, and keyboard-focus bookkeeping.
//
// A backend pushes the messages it translates (on the window thread), other threads post,
// and Take hands them out in that order, then due timers. Both the SDL backend and the
// fake one use it, so they order and track things the same way.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <string_view>
#include <vector>

#include "platform/Platform.h"
#include "platform/TimerQueue.h"

namespace platform {

// Keys held down, built from delivered KeyDown/KeyUp messages. Keys are told apart by scan
// code, so two keys giving one virtual key (both Enter keys, both Shift keys) keep it
// down until both are released.
class KeyboardTracker {
public:
    void Observe(const Message& msg);
    void Clear() { down_.clear(); }
    // vk[code] bit 7 = down; Shift/Ctrl/Alt also set their left/right codes (160..165)
    // and the other way round.
    void GetKeyboardState(uint8_t vk[256]) const;
    void GetScanCodeState(uint8_t sc[256]) const;

private:
    struct Key {
        int Vk;
        int Sc;
    };
    std::vector<Key> down_;
};

class MessageQueue {
public:
    explicit MessageQueue(IClock& clock) : clock_(clock) {}

    // Window thread: a message the backend translated or synthesised.
    void Push(Message msg);
    // One Char message per UTF-8 character (Key = the character's code when below 256).
    void PushText(uint32_t window, std::string_view utf8, uint32_t shift = 0);
    // The Char message of Enter, Escape, Backspace and Tab, which text input does not carry;
    // nothing for other keys.
    void PushControlChar(uint32_t window, int vk, uint32_t shift = 0);
    // Any thread. True when the posted queue was empty before (a sleeper may need waking).
    bool Post(const Message& msg);
    // Anything but timers waiting?
    bool Pending() const;
    size_t Count() const;
    // Next message: pushed ones, then posted ones, then a due timer. Key messages update the
    // keyboard, AppDeactivate forgets every key held.
    bool Take(Message& msg);

    void SetTimer(uint32_t window, int id, int intervalMs) {
        timers_.Set(window, id, intervalMs, clock_.Milliseconds());
    }
    void KillTimer(uint32_t window, int id) { timers_.Kill(window, id); }
    int MsUntilTimer() { return timers_.MsUntilNext(clock_.Milliseconds()); }
    const TimerQueue& Timers() const { return timers_; }

    // Keyboard focus. FocusGained/FocusLost follow what the window system reports; SetFocus
    // performs a whole change where the backend has to decide itself. They push
    // Deactivate/Activate for the windows and AppActivate/AppDeactivate when the application
    // as a whole gains or loses the focus (AppActivate before Activate, AppDeactivate after
    // Deactivate).
    uint32_t Focus() const { return focus_; }
    bool AppActive() const { return appActive_; }
    void FocusGained(uint32_t window);
    // focusStaysInApp: another of our windows is known to be gaining the focus next.
    void FocusLost(uint32_t window, bool focusStaysInApp);
    void SetFocus(uint32_t window);
    // The window is being destroyed: its timers go, and the focus with it.
    void WindowGone(uint32_t window);

    void GetKeyboardState(uint8_t vk[256]) const { keyboard_.GetKeyboardState(vk); }
    void GetScanCodeState(uint8_t sc[256]) const { keyboard_.GetScanCodeState(sc); }

private:
    void Observe(const Message& msg);

    IClock& clock_;
    std::deque<Message> queue_;
    mutable std::mutex postedLock_;
    std::deque<Message> posted_;
    TimerQueue timers_;
    KeyboardTracker keyboard_;
    uint32_t focus_ = 0;
    bool appActive_ = false;
};

}  // namespace platform
