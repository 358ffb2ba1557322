// The machine as the game sees it: pixels, windows, messages, clocks, text.
//
// Everything above this seam (engine, input, audio, game) talks to the machine only
// through these interfaces, so the same code runs on the SDL backend (platform/sdl)
// and on the deterministic fake backend used by the tests (platform/fake).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct RGB {
    uint8_t R = 0, G = 0, B = 0;
    friend bool operator==(const RGB&, const RGB&) = default;
};

struct Rect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool Empty() const { return Right <= Left || Bottom <= Top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Size {
    int Width = 0, Height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

// A block of pixels in memory. Our surfaces, the back buffer and decoded pictures are all
// Bitmaps; drawing happens in our own code, the platform only shows a finished one.
//
// Pixel layouts (fixed, the same on every backend):
//   8 bits  one palette index per pixel (Palette holds 256 entries)
//   16 bits RGB565, little-endian 16-bit words
//   24 bits three bytes per pixel in the order B, G, R
//   32 bits little-endian 32-bit words 0x00RRGGBB (bytes B, G, R, 0)
class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int width, int height, int bits);  // zero-filled; throws std::invalid_argument on a bad depth/size

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Bits() const { return bits_; }
    int BytesPerPixel() const { return bits_ / 8; }
    int Pitch() const { return pitch_; }
    bool Empty() const { return width_ <= 0 || height_ <= 0; }

    uint8_t* Row(int y) { return pixels_.data() + static_cast<size_t>(y) * pitch_; }
    const uint8_t* Row(int y) const { return pixels_.data() + static_cast<size_t>(y) * pitch_; }
    uint8_t* Data() { return pixels_.data(); }
    const uint8_t* Data() const { return pixels_.data(); }

    // The raw pixel value (palette index, 565 word, 0xRRGGBB) at x, y; no bounds check.
    uint32_t GetPixel(int x, int y) const;
    void SetPixel(int x, int y, uint32_t value);
    // Raw value that shows colour c in this layout (8 bits: the nearest palette entry).
    uint32_t MapRGB(RGB c) const;
    RGB GetRGB(uint32_t value) const;
    void Fill(uint32_t value);

    std::array<RGB, 256>& Palette() { return palette_; }
    const std::array<RGB, 256>& Palette() const { return palette_; }

private:
    int width_ = 0, height_ = 0, bits_ = 32, pitch_ = 0;
    std::vector<uint8_t> pixels_;
    std::array<RGB, 256> palette_{};
};

// ---------------------------------------------------------------------------------------
// Clock

class IClock {
public:
    virtual ~IClock() = default;
    // Milliseconds since some start; wraps at 2^32 like the Windows multimedia clock.
    virtual uint32_t Milliseconds() = 0;
    // High-resolution counter; false when the machine has none.
    virtual bool PerformanceCounter(uint64_t& value) = 0;
    virtual void Sleep(int milliseconds) = 0;
};

// ---------------------------------------------------------------------------------------
// Messages. Key codes are Windows virtual-key codes (VK_*), scan codes are PC set-1 codes
// with 0x80 added for the extended (E0-prefixed) keys, as DirectInput numbers them.

enum class MsgKind {
    KeyDown,  // Key = virtual-key code, ScanCode, Repeat, Shift
    KeyUp,
    Char,       // Text = one character as UTF-8 (also Key = its code when < 256)
    MouseMove,  // X, Y in window client coordinates
    MouseDown,  // Button 1 left, 2 right, 3 middle
    MouseUp,
    Activate,          // the window gained the keyboard focus
    Deactivate,        // the window lost it
    AppActivate,       // the application as a whole became active (first window focused)
    AppDeactivate,     // no window of the application has the focus any more
    Close,             // the user or the system asks the window to close
    Quit,              // the whole application should end (SIGTERM, last window closed)
    Timer,             // Param = timer id
    Expose,            // the window's contents must be presented again
    User,              // posted by PostMessage; Param/Text free for the poster
    PadDown,           // a game pad's control pressed: Button = PadButton, Param = pad id
    PadUp,             // ... released
    PadAdded,          // a game pad connected (Param = its id); Window 0
    PadRemoved,        // a game pad went away (Param = its id); Window 0
    FullScreenChange,  // the player switched the window to full screen (Param 1) or back (0)
};

enum ShiftState : uint32_t { ssShift = 1, ssCtrl = 2, ssAlt = 4 };

struct Message {
    MsgKind Kind = MsgKind::User;
    uint32_t Window = 0;  // target window id; 0 = the application
    int Key = 0;
    int ScanCode = 0;
    bool Repeat = false;
    uint32_t Shift = 0;
    int X = 0, Y = 0;
    int Button = 0;
    intptr_t Param = 0;
    intptr_t Param2 = 0;
    std::string Text;
};

struct DisplayMode {
    int Width = 0, Height = 0, Bits = 0;
    friend bool operator==(const DisplayMode&, const DisplayMode&) = default;
};

// One top-level, borderless window.
class IWindow {
public:
    virtual ~IWindow() = default;
    virtual uint32_t Id() const = 0;
    virtual void SetBounds(const Rect& r) = 0;  // screen coordinates of the client area
    virtual Rect Bounds() const = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual bool Visible() const = 0;
    virtual void SetCaption(const std::string& utf8) = 0;
    virtual std::string Caption() const = 0;
    virtual void SetCursorVisible(bool visible) = 0;
    // Switch the screen to a mode and cover it with this window, or (on = false) go back
    // to the desktop. False when the mode cannot be set.
    virtual bool SetFullScreen(bool on, const DisplayMode& mode) = 0;
    virtual bool FullScreen() const = 0;
    // Show src with its top-left at (x, y) of the client area; any depth is converted.
    // False when the window's own surface is lost/unavailable (the caller restores later).
    virtual bool Present(const Bitmap& src, int x, int y) = 0;
    // A frame that is not shown (full screen without the focus, a window that cannot show
    // one) still takes its turn: waits as a presentation would, so the game keeps its frame
    // rate while nobody watches, and at least a 60 Hz frame's time when unpaced, so a loop of
    // unseen frames never keeps the processor busy.
    virtual void SkipFrame() {}
    virtual void Focus() = 0;  // raise and take the keyboard focus
    virtual bool HasFocus() const = 0;
};

class IWindowSystem {
public:
    virtual ~IWindowSystem() = default;
    virtual std::unique_ptr<IWindow> CreateWindow(const std::string& caption, const Rect& bounds) = 0;
    // Take the next pending message (including due timers); false when none is pending.
    virtual bool PeekMessage(Message& msg) = 0;
    // Block until a message is pending or timeoutMs passed (< 0: no limit).
    virtual void WaitMessage(int timeoutMs) = 0;
    // Queue a message from any thread (the music player's end-of-piece notice).
    virtual void PostMessage(const Message& msg) = 0;
    // Window timers: a Timer message with Param = id every intervalMs while set.
    virtual void SetTimer(uint32_t window, int id, int intervalMs) = 0;
    virtual void KillTimer(uint32_t window, int id) = 0;
    // A modal message box; writes to stderr where no display can show one.
    virtual void ShowMessageBox(const std::string& title, const std::string& text) = 0;
    virtual Size ScreenSize() = 0;
    virtual std::vector<DisplayMode> DisplayModes() = 0;
    // Id of the window holding the keyboard focus, 0 when none of ours has it.
    virtual uint32_t FocusWindow() = 0;
    // Keyboard as the window system sees it, from the key messages delivered so far:
    // vk[code] has bit 7 set while that virtual key is down (both Shift keys also set 16).
    virtual void GetKeyboardState(uint8_t vk[256]) = 0;
    // The same keyboard as PC set-1 scan codes (extended keys + 0x80), bit 7 = down.
    virtual void GetScanCodeState(uint8_t sc[256]) = 0;
};

// ---------------------------------------------------------------------------------------
// Text

struct FontSpec {
    std::string Name = "Times New Roman";  // asked of the font system; a close face answers
    int Size = 12;                         // points at 96 dpi (pixels = Size * 96 / 72)
    bool SizeInPixels = false;             // Size is a pixel height instead
    RGB Color{255, 255, 255};
};

class ITextRenderer {
public:
    virtual ~ITextRenderer() = default;
    // Draw UTF-8 text with its top-left at (x, y) onto dst, background left untouched,
    // clipped to dst.
    virtual void DrawText(Bitmap& dst, int x, int y, std::string_view utf8, const FontSpec& font) = 0;
    virtual Size TextExtent(std::string_view utf8, const FontSpec& font) = 0;
};

// ---------------------------------------------------------------------------------------
// The installed backend. Backends fill the parts they provide; unused parts stay null.

class IAudioSystem;     // platform/Audio.h
class IMusicSystem;     // platform/Audio.h
class IJoystickSystem;  // platform/Input.h
class IGamepadSystem;   // platform/Input.h

struct Services {
    IClock* Clock = nullptr;
    IWindowSystem* Windows = nullptr;
    ITextRenderer* Text = nullptr;
    IAudioSystem* Audio = nullptr;
    IMusicSystem* Music = nullptr;
    IJoystickSystem* Joysticks = nullptr;
    IGamepadSystem* Gamepads = nullptr;
};

// The services in force. Installed once by main() or by a test fixture.
Services& Current();
void Install(const Services& services);

}  // namespace platform
