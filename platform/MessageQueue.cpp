// The message queue shared by the window systems.
#include "platform/MessageQueue.h"

#include <algorithm>
#include <cstring>

namespace platform {

namespace {
constexpr int VK_SHIFT = 16, VK_CONTROL = 17, VK_MENU = 18;
constexpr int VK_LSHIFT = 160, VK_RSHIFT = 161, VK_LCONTROL = 162, VK_RCONTROL = 163, VK_LMENU = 164, VK_RMENU = 165;
constexpr int SC_RSHIFT = 54, SC_RCONTROL = 157, SC_RALT = 184;
}  // namespace

void KeyboardTracker::Observe(const Message& msg) {
    if (msg.Kind != MsgKind::KeyDown && msg.Kind != MsgKind::KeyUp) return;
    auto same = [&](const Key& k) { return msg.ScanCode > 0 ? k.Sc == msg.ScanCode : (k.Sc <= 0 && k.Vk == msg.Key); };
    if (msg.Kind == MsgKind::KeyUp) {
        std::erase_if(down_, same);
        return;
    }
    if (msg.Key <= 0 && msg.ScanCode <= 0) return;
    auto it = std::find_if(down_.begin(), down_.end(), same);
    if (it != down_.end()) it->Vk = msg.Key;
    else down_.push_back({msg.Key, msg.ScanCode});
}

void KeyboardTracker::GetKeyboardState(uint8_t vk[256]) const {
    std::memset(vk, 0, 256);
    auto set = [&](int code) {
        if (code > 0 && code < 256) vk[code] = 0x80;
    };
    for (const Key& k : down_) {
        set(k.Vk);
        switch (k.Vk) {
            case VK_SHIFT: set(k.Sc == SC_RSHIFT ? VK_RSHIFT : VK_LSHIFT); break;
            case VK_CONTROL: set(k.Sc == SC_RCONTROL ? VK_RCONTROL : VK_LCONTROL); break;
            case VK_MENU: set(k.Sc == SC_RALT ? VK_RMENU : VK_LMENU); break;
            case VK_LSHIFT:
            case VK_RSHIFT: set(VK_SHIFT); break;
            case VK_LCONTROL:
            case VK_RCONTROL: set(VK_CONTROL); break;
            case VK_LMENU:
            case VK_RMENU: set(VK_MENU); break;
            default: break;
        }
    }
}

void KeyboardTracker::GetScanCodeState(uint8_t sc[256]) const {
    std::memset(sc, 0, 256);
    for (const Key& k : down_)
        if (k.Sc > 0 && k.Sc < 256) sc[k.Sc] = 0x80;
}

// ---------------------------------------------------------------------------------------

void MessageQueue::Push(Message msg) { queue_.push_back(std::move(msg)); }

namespace {
// Length of the UTF-8 character starting with lead byte b (1 for a stray byte).
size_t Utf8Length(unsigned char b) {
    if (b >= 0xF0 && b < 0xF8) return 4;
    if (b >= 0xE0) return b < 0xF0 ? 3 : 1;
    if (b >= 0xC0) return 2;
    return 1;
}

int CodePoint(std::string_view ch) {
    auto b = [&](size_t i) { return static_cast<unsigned char>(ch[i]); };
    switch (ch.size()) {
        case 1: return b(0);
        case 2: return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
        case 3: return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
        default: return ((b(0) & 0x07) << 18) | ((b(1) & 0x3F) << 12) | ((b(2) & 0x3F) << 6) | (b(3) & 0x3F);
    }
}
}  // namespace

void MessageQueue::PushText(uint32_t window, std::string_view utf8, uint32_t shift) {
    for (size_t i = 0; i < utf8.size();) {
        size_t n = std::min(Utf8Length(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        Message m;
        m.Kind = MsgKind::Char;
        m.Window = window;
        m.Shift = shift;
        m.Text = std::string(utf8.substr(i, n));
        int code = CodePoint(m.Text);
        m.Key = code < 256 ? code : 0;
        Push(std::move(m));
        i += n;
    }
}

void MessageQueue::PushControlChar(uint32_t window, int vk, uint32_t shift) {
    const char* text = nullptr;
    switch (vk) {
        case 13: text = "\r"; break;
        case 27: text = "\x1b"; break;
        case 8: text = "\b"; break;
        case 9: text = "\t"; break;
        default: return;
    }
    Message m;
    m.Kind = MsgKind::Char;
    m.Window = window;
    m.Key = vk;
    m.Shift = shift;
    m.Text = text;
    Push(std::move(m));
}

bool MessageQueue::Post(const Message& msg) {
    std::lock_guard lock(postedLock_);
    bool wasEmpty = posted_.empty();
    posted_.push_back(msg);
    return wasEmpty;
}

bool MessageQueue::Pending() const {
    if (!queue_.empty()) return true;
    std::lock_guard lock(postedLock_);
    return !posted_.empty();
}

size_t MessageQueue::Count() const {
    std::lock_guard lock(postedLock_);
    return queue_.size() + posted_.size();
}

bool MessageQueue::Take(Message& msg) {
    bool got = false;
    if (!queue_.empty()) {
        msg = std::move(queue_.front());
        queue_.pop_front();
        got = true;
    } else {
        std::lock_guard lock(postedLock_);
        if (!posted_.empty()) {
            msg = std::move(posted_.front());
            posted_.pop_front();
            got = true;
        }
    }
    if (got) {
        Observe(msg);
        return true;
    }
    uint32_t window = 0;
    int id = 0;
    if (!timers_.TakeDue(clock_.Milliseconds(), window, id)) return false;
    msg = Message{};
    msg.Kind = MsgKind::Timer;
    msg.Window = window;
    msg.Param = id;
    return true;
}

void MessageQueue::Observe(const Message& msg) {
    keyboard_.Observe(msg);
    // Keys released while another application had the focus would stay down for ever.
    if (msg.Kind == MsgKind::AppDeactivate) keyboard_.Clear();
}

namespace {
Message Notice(MsgKind kind, uint32_t window) {
    Message m;
    m.Kind = kind;
    m.Window = window;
    return m;
}
}  // namespace

void MessageQueue::FocusGained(uint32_t window) {
    if (window == 0 || window == focus_) return;
    if (focus_ != 0) Push(Notice(MsgKind::Deactivate, focus_));
    focus_ = window;
    if (!appActive_) {
        appActive_ = true;
        Push(Notice(MsgKind::AppActivate, window));
    }
    Push(Notice(MsgKind::Activate, window));
}

void MessageQueue::FocusLost(uint32_t window, bool focusStaysInApp) {
    if (window == 0 || window != focus_) return;
    focus_ = 0;
    Push(Notice(MsgKind::Deactivate, window));
    if (!focusStaysInApp && appActive_) {
        appActive_ = false;
        Push(Notice(MsgKind::AppDeactivate, window));
    }
}

void MessageQueue::SetFocus(uint32_t window) {
    if (window == focus_) return;
    if (window == 0) FocusLost(focus_, false);
    else FocusGained(window);
}

void MessageQueue::WindowGone(uint32_t window) {
    timers_.KillWindow(window);
    if (focus_ == window && window != 0) {
        focus_ = 0;
        if (appActive_) {
            appActive_ = false;
            Push(Notice(MsgKind::AppDeactivate, 0));
        }
    }
}

}  // namespace platform
