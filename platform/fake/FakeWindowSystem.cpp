// A deterministic window system for tests.
#include "platform/fake/FakeWindowSystem.h"

#include <algorithm>
#include <cstring>

namespace platform::fake {

namespace {

// The window shows 0x00RRGGBB words. Each depth is converted a row at a time with the
// colours Bitmap::GetRGB gives; 32-bit rows are taken as they are.
Bitmap To32(const Bitmap& src) {
    Bitmap out(src.Width(), src.Height(), 32);
    const int w = src.Width();
    switch (src.Bits()) {
        case 32:
            for (int y = 0; y < src.Height(); ++y) std::memcpy(out.Row(y), src.Row(y), static_cast<size_t>(w) * 4);
            break;
        case 24:
            for (int y = 0; y < src.Height(); ++y) {
                const uint8_t* s = src.Row(y);
                uint8_t* d = out.Row(y);
                int x = 0;
                // Four pixels are three little-endian words.
                for (; x + 4 <= w; x += 4, s += 12, d += 16) {
                    uint32_t a, b, c;
                    std::memcpy(&a, s, 4);
                    std::memcpy(&b, s + 4, 4);
                    std::memcpy(&c, s + 8, 4);
                    const uint32_t p[4] = {a & 0xFFFFFFu, (a >> 24) | ((b & 0xFFFFu) << 8),
                                           (b >> 16) | ((c & 0xFFu) << 16), c >> 8};
                    std::memcpy(d, p, 16);
                }
                for (; x < w; ++x, s += 3, d += 4) {
                    const uint32_t v = s[0] | (uint32_t(s[1]) << 8) | (uint32_t(s[2]) << 16);
                    std::memcpy(d, &v, 4);
                }
            }
            break;
        case 16:
            // GetRGB's widening: each field's top bits repeated below it.
            for (int y = 0; y < src.Height(); ++y) {
                const uint8_t* s = src.Row(y);
                uint8_t* d = out.Row(y);
                for (int x = 0; x < w; ++x) {
                    uint16_t v;
                    std::memcpy(&v, s + 2 * x, 2);
                    const uint32_t r = v >> 11, g = (v >> 5) & 0x3Fu, b = v & 0x1Fu;
                    const uint32_t c =
                        (((r << 3) | (r >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) | ((b << 3) | (b >> 2));
                    std::memcpy(d + 4 * x, &c, 4);
                }
            }
            break;
        case 8: {
            uint32_t map[256];
            for (int i = 0; i < 256; ++i) {
                const RGB c = src.Palette()[static_cast<size_t>(i)];
                map[i] = (uint32_t(c.R) << 16) | (uint32_t(c.G) << 8) | c.B;
            }
            for (int y = 0; y < src.Height(); ++y) {
                const uint8_t* s = src.Row(y);
                uint8_t* d = out.Row(y);
                for (int x = 0; x < w; ++x) std::memcpy(d + 4 * x, &map[s[x]], 4);
            }
            break;
        }
        default: break;
    }
    return out;
}

}  // namespace

// ---------------------------------------------------------------------------------------

FakeWindow::FakeWindow(FakeWindowSystem* owner, uint32_t id, std::string caption, const Rect& bounds)
    : owner_(owner), id_(id), caption_(std::move(caption)), bounds_(bounds) {}

FakeWindow::~FakeWindow() {
    if (owner_) owner_->Forget(this);
}

void FakeWindow::Show() {
    bool wasVisible = visible_;
    visible_ = true;
    if (!wasVisible && owner_ && owner_->focusOnShow_) owner_->SetFocus(id_);
}

void FakeWindow::Hide() {
    visible_ = false;
    if (owner_ && HasFocus()) owner_->SetFocus(0);
}

bool FakeWindow::SetFullScreen(bool on, const DisplayMode& mode) {
    if (!on) {
        fullScreen_ = false;
        return true;
    }
    if (!owner_ || owner_->fullScreenFails_) return false;
    const auto& modes = owner_->modes_;
    if (std::find(modes.begin(), modes.end(), mode) == modes.end()) return false;
    fullScreen_ = true;
    mode_ = mode;
    return true;
}

bool FakeWindow::Present(const Bitmap& src, int x, int y) {
    if (!owner_ || owner_->presentFails_) {
        ++failedPresents_;
        return false;
    }
    ++presents_;
    last_ = To32(src);
    lastX_ = x;
    lastY_ = y;

    int w = fullScreen_ ? mode_.Width : bounds_.Width();
    int h = fullScreen_ ? mode_.Height : bounds_.Height();
    w = std::max(w, 0);
    h = std::max(h, 0);
    if (contents_.Width() != w || contents_.Height() != h) contents_ = Bitmap(w, h, 32);
    int x0 = std::max(0, x), y0 = std::max(0, y);
    int x1 = std::min(w, x + last_.Width()), y1 = std::min(h, y + last_.Height());
    for (int row = y0; row < y1; ++row)
        if (x1 > x0)
            std::memcpy(contents_.Row(row) + x0 * 4, last_.Row(row - y) + (x0 - x) * 4,
                        static_cast<size_t>(x1 - x0) * 4);
    return true;
}

void FakeWindow::Focus() {
    if (owner_) owner_->SetFocus(id_);
}

bool FakeWindow::HasFocus() const { return owner_ && owner_->queue_.Focus() == id_; }

// ---------------------------------------------------------------------------------------

FakeWindowSystem::FakeWindowSystem(FakeClock& clock) : clock_(clock), queue_(clock) {
    for (auto [w, h] : {std::pair{640, 480}, {800, 600}, {1024, 768}})
        for (int bits : {8, 16, 24, 32}) modes_.push_back({w, h, bits});
}

FakeWindowSystem::~FakeWindowSystem() {
    for (FakeWindow* w : windows_) w->owner_ = nullptr;
}

std::unique_ptr<IWindow> FakeWindowSystem::CreateWindow(const std::string& caption, const Rect& bounds) {
    std::unique_ptr<FakeWindow> w(new FakeWindow(this, nextId_++, caption, bounds));
    windows_.push_back(w.get());
    return w;
}

void FakeWindowSystem::Forget(FakeWindow* w) {
    std::erase(windows_, w);
    queue_.WindowGone(w->id_);
}

FakeWindow* FakeWindowSystem::Window(uint32_t id) const {
    for (FakeWindow* w : windows_)
        if (w->id_ == id) return w;
    return nullptr;
}

bool FakeWindowSystem::PeekMessage(Message& msg) { return queue_.Take(msg); }

void FakeWindowSystem::WaitMessage(int timeoutMs) {
    if (queue_.Pending()) return;
    int untilTimer = queue_.MsUntilTimer();
    if (untilTimer <= 0) return;
    clock_.Advance(static_cast<uint64_t>(timeoutMs >= 0 ? std::min(timeoutMs, untilTimer) : untilTimer));
}

void FakeWindowSystem::PostMessage(const Message& msg) { queue_.Post(msg); }

void FakeWindowSystem::SetTimer(uint32_t window, int id, int intervalMs) { queue_.SetTimer(window, id, intervalMs); }

void FakeWindowSystem::KillTimer(uint32_t window, int id) { queue_.KillTimer(window, id); }

void FakeWindowSystem::ShowMessageBox(const std::string& title, const std::string& text) {
    boxes_.push_back({title, text});
}

void FakeWindowSystem::PressKey(int vk, int scanCode, uint32_t shift, bool repeat, uint32_t window) {
    Message m;
    m.Kind = MsgKind::KeyDown;
    m.Window = Target(window);
    m.Key = vk;
    m.ScanCode = scanCode == DefaultScan ? ScanCodeOf(vk) : scanCode;
    m.Shift = shift;
    m.Repeat = repeat;
    queue_.Push(m);
    // Text input carries no control characters, so the key itself gives them.
    queue_.PushControlChar(m.Window, vk, shift);
}

void FakeWindowSystem::ReleaseKey(int vk, int scanCode, uint32_t shift, uint32_t window) {
    Message m;
    m.Kind = MsgKind::KeyUp;
    m.Window = Target(window);
    m.Key = vk;
    m.ScanCode = scanCode == DefaultScan ? ScanCodeOf(vk) : scanCode;
    m.Shift = shift;
    queue_.Push(m);
}

void FakeWindowSystem::TypeChar(std::string_view utf8, uint32_t window) { queue_.PushText(Target(window), utf8); }

void FakeWindowSystem::MoveMouse(int x, int y, uint32_t window) {
    Message m;
    m.Kind = MsgKind::MouseMove;
    m.Window = Target(window);
    m.X = x;
    m.Y = y;
    queue_.Push(m);
}

void FakeWindowSystem::Click(int x, int y, int button, uint32_t window) {
    Message m;
    m.Window = Target(window);
    m.X = x;
    m.Y = y;
    m.Button = button;
    m.Kind = MsgKind::MouseDown;
    queue_.Push(m);
    m.Kind = MsgKind::MouseUp;
    queue_.Push(m);
}

void FakeWindowSystem::CloseWindow(uint32_t window) {
    Message m;
    m.Kind = MsgKind::Close;
    m.Window = window;
    queue_.Push(m);
}

void FakeWindowSystem::Quit() {
    Message m;
    m.Kind = MsgKind::Quit;
    queue_.Push(m);
}

int FakeWindowSystem::ScanCodeOf(int vk) {
    if (vk >= 'A' && vk <= 'Z') {
        static constexpr uint8_t letters[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                                49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};
        return letters[vk - 'A'];
    }
    if (vk >= '1' && vk <= '9') return vk - '1' + 2;
    if (vk == '0') return 11;
    if (vk >= 0x70 && vk <= 0x79) return 59 + (vk - 0x70);  // F1..F10
    static constexpr std::pair<int, int> table[] = {
        {8, 14},   {9, 15},    {13, 28},   {16, 42},   {17, 29},  {18, 56},  {19, 197}, {20, 58},  {27, 1},
        {32, 57},  {33, 201},  {34, 209},  {35, 207},  {36, 199}, {37, 203}, {38, 200}, {39, 205}, {40, 208},
        {44, 183}, {45, 210},  {46, 211},  {91, 219},  {92, 220}, {93, 221}, {96, 82},  {97, 79},  {98, 80},
        {99, 81},  {100, 75},  {101, 76},  {102, 77},  {103, 71}, {104, 72}, {105, 73}, {106, 55}, {107, 78},
        {109, 74}, {110, 83},  {111, 181}, {122, 87},  {123, 88}, {144, 69}, {145, 70}, {160, 42}, {161, 54},
        {162, 29}, {163, 157}, {164, 56},  {165, 184}, {186, 39}, {187, 13}, {188, 51}, {189, 12}, {190, 52},
        {191, 53}, {192, 41},  {219, 26},  {220, 43},  {221, 27}, {222, 40}, {226, 86},
    };
    for (auto [v, sc] : table)
        if (v == vk) return sc;
    return 0;
}

}  // namespace platform::fake
