// Display component, drawing surfaces and the named image list the game draws from.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "engine/DXClass.h"
#include "engine/Forms.h"
#include "platform/Picture.h"
#include "platform/Platform.h"

// ---------------------------------------------------------------------------------------
// Colours

// 0x00BBGGRR, red in the low byte.
using TColor = uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clNavy = 0x800000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

constexpr TColor RGBColor(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}
constexpr platform::RGB ColorToRGB(TColor c) {
    return platform::RGB{static_cast<uint8_t>(c & 0xFF), static_cast<uint8_t>((c >> 8) & 0xFF),
                         static_cast<uint8_t>((c >> 16) & 0xFF)};
}
constexpr TColor RGBToColor(platform::RGB c) { return RGBColor(c.R, c.G, c.B); }

// One colour-table entry as stored in the design data: blue, green, red, 0.
struct TRGBQuad {
    uint8_t rgbBlue = 0, rgbGreen = 0, rgbRed = 0, rgbReserved = 0;
    friend bool operator==(const TRGBQuad&, const TRGBQuad&) = default;
};
using TRGBQuads = std::array<TRGBQuad, 256>;  // 1024 bytes

constexpr TRGBQuad RGBQuad(uint8_t r, uint8_t g, uint8_t b) { return TRGBQuad{b, g, r, 0}; }

// The machine's own 256-entry palette: the twenty static colours at 0..9 and 246..255,
// black elsewhere.
const TRGBQuads& SystemPalette();

// ---------------------------------------------------------------------------------------
// Errors

class EDirectDrawError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class EDXDrawError : public EDirectDrawError {
public:
    using EDirectDrawError::EDirectDrawError;
};
class EPictureCollectionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// ---------------------------------------------------------------------------------------
// Surfaces

class TDirectDrawSurface;

enum TBrushStyle { bsSolid, bsClear };

struct TFont {
    std::string Name = "MS Sans Serif";
    int Size = 8;  // points
    TColor Color = clBlack;
};

struct TBrush {
    TBrushStyle Style = bsSolid;
    TColor Color = clWhite;
};

// Text on a surface. Holding the canvas keeps its surface locked until Release; font and
// brush persist between frames.
class TDirectDrawSurfaceCanvas {
public:
    explicit TDirectDrawSurfaceCanvas(TDirectDrawSurface* surface) : surface_(surface) {}
    ~TDirectDrawSurfaceCanvas();
    TDirectDrawSurfaceCanvas(const TDirectDrawSurfaceCanvas&) = delete;
    TDirectDrawSurfaceCanvas& operator=(const TDirectDrawSurfaceCanvas&) = delete;

    TFont& Font() { return font_; }
    TBrush& Brush() { return brush_; }
    // Text with its top-left at (x, y); with a solid brush the text box is filled first.
    void TextOut(int x, int y, std::string_view utf8);
    int TextWidth(std::string_view utf8);
    int TextHeight(std::string_view utf8);
    // Gives the surface back (unlocks it); nothing happens when it is not held.
    void Release();
    bool Held() const { return held_; }

private:
    bool Acquire();
    platform::FontSpec CurrentFont() const;
    TDirectDrawSurface* surface_;
    TFont font_;
    TBrush brush_;
    bool held_ = false;
};

class TDirectDrawSurface {
public:
    TDirectDrawSurface() = default;  // empty: no pixels (the primary surface is one)
    TDirectDrawSurface(int width, int height, int bits);
    ~TDirectDrawSurface();
    TDirectDrawSurface(const TDirectDrawSurface&) = delete;
    TDirectDrawSurface& operator=(const TDirectDrawSurface&) = delete;

    int Width() const { return bitmap_.Width(); }
    int Height() const { return bitmap_.Height(); }
    int BitCount() const { return bitmap_.Bits(); }
    platform::Rect ClientRect() const { return {0, 0, Width(), Height()}; }
    platform::Bitmap& Bitmap() { return bitmap_; }
    const platform::Bitmap& Bitmap() const { return bitmap_; }

    uint32_t ColorKey() const { return colorKey_; }
    void SetColorKey(uint32_t rawValue) { colorKey_ = rawValue; }
    // Key by colour: the pixel value that shows it (NearestPixel).
    void SetTransparentColor(TColor color) { colorKey_ = NearestPixel(color); }

    bool SystemMemory() const { return systemMemory_; }
    void SetSystemMemory(bool on) { systemMemory_ = on; }
    bool HasClipper() const { return hasClipper_; }
    void SetHasClipper(bool on) { hasClipper_ = on; }

    // Nested locks; Lock fails while the surface is lost.
    bool Lock();
    void Unlock();
    bool Locked() const { return lockCount_ > 0; }

    bool IsLost() const { return lost_; }
    void SetLost(bool lost) { lost_ = lost; }
    // Brings a lost surface back (its pixels are undefined afterwards). False while the
    // test hook below refuses.
    bool Restore();
    void SetRestoreFails(bool fails) { restoreFails_ = fails; }

    void Fill(uint32_t devColor);
    void FillRect(const platform::Rect& r, uint32_t devColor);
    // Copies srcRect of source to (x, y), clipped to both surfaces; with transparent,
    // source pixels equal to the source's colour key are skipped. Surfaces of different
    // depths are converted pixel by pixel.
    void Draw(int x, int y, const platform::Rect& srcRect, TDirectDrawSurface* source, bool transparent);
    void Draw(int x, int y, TDirectDrawSurface* source, bool transparent) {
        if (source) Draw(x, y, source->ClientRect(), source, transparent);
    }

    // The pixel value that shows a colour: written into the top-left pixel and read back,
    // the old pixel restored afterwards.
    uint32_t NearestPixel(platform::RGB color);
    uint32_t NearestPixel(TColor color) { return NearestPixel(ColorToRGB(color)); }
    uint32_t NearestPixel(int color) { return NearestPixel(static_cast<TColor>(color)); }

    // 8-bit surfaces: the palette the pixels index.
    void SetPalette(const std::array<platform::RGB, 256>& palette) { bitmap_.Palette() = palette; }

    // Fills the surface from part of a picture at any depth (converting; 8-bit surfaces
    // take the nearest colour of their own palette).
    void LoadFromBitmap(const platform::Bitmap& src, const platform::Rect& srcRect);

    TDirectDrawSurfaceCanvas& Canvas();
    bool HasCanvas() const { return canvas_ != nullptr; }

private:
    platform::Bitmap bitmap_;
    uint32_t colorKey_ = 0;
    bool systemMemory_ = false;
    bool hasClipper_ = false;
    bool lost_ = false;
    bool restoreFails_ = false;
    int lockCount_ = 0;
    std::unique_ptr<TDirectDrawSurfaceCanvas> canvas_;
};

// ---------------------------------------------------------------------------------------
// Display

enum TDXDrawNotifyType {
    dxntDestroying,
    dxntInitializing,
    dxntInitialize,
    dxntInitializeSurface,
    dxntFinalize,
    dxntFinalizeSurface,
    dxntRestore,
    dxntSetSurfaceSize
};

enum TDXDrawOption {
    doFullScreen,
    doNoWindowChange,
    doAllowReboot,
    doWaitVBlank,
    doAllowPalette256,
    doSystemMemory,
    doStretch,
    doCenter,
    doFlip,
    do3D,
    doDirectX7Mode,
    doRetainedMode,
    doHardware,
    doSelectDriver,
    doZBuffer
};

// A set of TDXDrawOption (bit n = option n).
class TDXDrawOptions {
public:
    constexpr TDXDrawOptions() = default;
    constexpr TDXDrawOptions(std::initializer_list<TDXDrawOption> opts) {
        for (auto o : opts) bits_ |= Bit(o);
    }
    constexpr bool Contains(TDXDrawOption o) const { return (bits_ & Bit(o)) != 0; }
    constexpr void Include(TDXDrawOption o) { bits_ |= Bit(o); }
    constexpr void Exclude(TDXDrawOption o) { bits_ &= ~Bit(o); }
    constexpr uint32_t Bits() const { return bits_; }
    constexpr bool Empty() const { return bits_ == 0; }
    friend constexpr TDXDrawOptions operator+(TDXDrawOptions a, TDXDrawOptions b) { return FromBits(a.bits_ | b.bits_); }
    friend constexpr TDXDrawOptions operator-(TDXDrawOptions a, TDXDrawOptions b) { return FromBits(a.bits_ & ~b.bits_); }
    friend constexpr TDXDrawOptions operator*(TDXDrawOptions a, TDXDrawOptions b) { return FromBits(a.bits_ & b.bits_); }
    friend constexpr bool operator==(TDXDrawOptions, TDXDrawOptions) = default;
    static constexpr TDXDrawOptions FromBits(uint32_t b) {
        TDXDrawOptions o;
        o.bits_ = b;
        return o;
    }

private:
    static constexpr uint32_t Bit(TDXDrawOption o) { return 1u << static_cast<int>(o); }
    uint32_t bits_ = 0;
};
std::string ToString(TDXDrawOptions options);  // "[doFullScreen, doFlip]"

struct TDXDrawDisplayMode {
    int Width = 0, Height = 0, BitCount = 0;
    friend bool operator==(const TDXDrawDisplayMode&, const TDXDrawDisplayMode&) = default;
};

class TCustomDXDraw;

// The full-screen mode request and the modes the machine offers.
class TDXDrawDisplay {
public:
    explicit TDXDrawDisplay(TCustomDXDraw* owner) : owner_(owner) {}

    int BitCount() const { return bitCount_; }
    // Raises EDirectDrawError for anything but 8, 16, 24, 32 (the old value stays).
    void SetBitCount(int bits);
    int Width() const { return width_; }
    void SetWidth(int w) { width_ = w < 0 ? 0 : w; }
    int Height() const { return height_; }
    void SetHeight(int h) { height_ = h < 0 ? 0 : h; }
    bool FixedBitCount = true;
    bool FixedRatio = true;
    bool FixedSize = false;

    // Enumerated on first use, sorted by width, height, bit count.
    const std::vector<TDXDrawDisplayMode>& Modes();
    int Count() { return static_cast<int>(Modes().size()); }
    void ClearModes() { modes_.clear(); enumerated_ = false; }

    // Chooses and sets a full-screen mode for the owner's window; false when none can be
    // set. On success Width/Height/BitCount take the mode that was set.
    bool DoSetDisplayMode();

private:
    bool TrySet(const TDXDrawDisplayMode& m);
    TCustomDXDraw* owner_;
    int width_ = 640, height_ = 480, bitCount_ = 8;
    std::vector<TDXDrawDisplayMode> modes_;
    bool enumerated_ = false;
};

// How a finished frame reaches the screen.
class TDXDrawDriver {
public:
    explicit TDXDrawDriver(TCustomDXDraw* dxdraw) : dxdraw_(dxdraw) {}
    virtual ~TDXDrawDriver() = default;
    virtual void Initialize() = 0;     // makes the primary and the back buffer
    virtual bool Restore();            // brings lost surfaces back
    virtual void Flip() = 0;
    virtual void SetSize(int width, int height) { (void)width; (void)height; }
    TDirectDrawSurface* Primary() const { return primary_.get(); }
    TDirectDrawSurface* Surface() const { return surface_.get(); }

protected:
    TCustomDXDraw* dxdraw_;
    std::unique_ptr<TDirectDrawSurface> primary_;
    std::unique_ptr<TDirectDrawSurface> surface_;
};

// Full screen: page flip; nothing is shown while the form's window lacks the focus.
class TDXDrawDriverFlip : public TDXDrawDriver {
public:
    using TDXDrawDriver::TDXDrawDriver;
    void Initialize() override;
    void Flip() override;
};

// Window: copy the back buffer into the control's client area.
class TDXDrawDriverBlt : public TDXDrawDriver {
public:
    using TDXDrawDriver::TDXDrawDriver;
    void Initialize() override;
    void Flip() override;
    void SetSize(int width, int height) override;

private:
    void MakeSurface(int width, int height);
    platform::Bitmap stretched_;
};

enum TCursor { crDefault = 0, crNone = -1 };

class TCustomDXDraw {
public:
    using TNotifyEvent = std::function<void()>;
    using TListener = std::function<void(TDXDrawNotifyType)>;

    explicit TCustomDXDraw(TForm* owner);
    virtual ~TCustomDXDraw();
    TCustomDXDraw(const TCustomDXDraw&) = delete;
    TCustomDXDraw& operator=(const TCustomDXDraw&) = delete;

    TForm* Owner() const { return owner_; }

    bool Initialized() const { return initialized_; }
    bool Updating() const { return updating_; }
    bool CanDraw() const;
    bool ReadyToDraw();
    void Initialize();
    void Finalize();
    void Restore();
    void Flip();
    // Presents the current back buffer again (window exposure), without waiting.
    void Paint();

    TDirectDrawSurface* Surface() const;   // back buffer; null when not initialised
    TDirectDrawSurface* Primary() const;   // null when not initialised
    TDXDrawDriver* Driver() const { return driver_.get(); }

    void AddListener(const void* owner, TListener callback);
    void RemoveListener(const void* owner);

    TDXDrawOptions Options() const { return options_; }
    void SetOptions(TDXDrawOptions options);
    TDXDrawOptions ActiveOptions() const { return activeOptions_; }
    TDXDrawDisplay& Display() { return display_; }

    int SurfaceWidth() const;
    int SurfaceHeight() const;
    void SetSurfaceWidth(int w);
    void SetSurfaceHeight(int h);
    // The control fills its form: its size is the form's client size.
    int ControlWidth() const;
    int ControlHeight() const;

    TRGBQuads ColorTable{};
    TRGBQuads DefaultColors{};
    void ApplyPalette();
    // The palette in force (8-bit modes), as colours.
    std::array<platform::RGB, 256> PaletteColors() const;
    void UpdatePalette();  // loads ColorTable into the palette

    bool AutoInitialize = true;
    bool AutoSize = true;
    TColor Color = clBlack;
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor c);

    TNotifyEvent OnInitializing, OnInitialize, OnInitializeSurface, OnRestoreSurface, OnFinalizeSurface,
        OnFinalize;

    // The owner form calls this when it is shown; the first show initialises automatically
    // (AutoInitialize, no explicit Initialize yet). Activation and exposure messages of the
    // form's window do the same, so forms that do not call it still work.
    void FormShown();

private:
    friend class TDXDrawDriver;
    friend class TDXDrawDriverFlip;
    friend class TDXDrawDriverBlt;
    friend class TDXDrawDisplay;

    void NotifyEventList(TDXDrawNotifyType kind);
    void UpdateActiveOptions();
    bool CheckSurfaces();
    void LoadPalette(const TRGBQuads& table);
    void WindowMessage(const platform::Message& msg);
    platform::IWindow* Window() const;

    TForm* owner_;
    std::unique_ptr<TDXDrawDriver> driver_;
    TDXDrawDisplay display_{this};
    TDXDrawOptions options_{doAllowReboot, doWaitVBlank, doCenter, doDirectX7Mode, doHardware, doSelectDriver};
    TDXDrawOptions activeOptions_;
    int surfaceWidth_ = 100, surfaceHeight_ = 100;
    bool initialized_ = false;
    bool updating_ = false;
    bool initializeStarted_ = false;  // an explicit or automatic Initialize happened
    bool calledDoInitialize_ = false;
    bool calledDoInitializeSurface_ = false;
    bool inNotifyInitialize_ = false;
    bool fullScreenSet_ = false;
    TCursor cursor_ = crDefault;
    std::array<platform::RGB, 256> palette_{};
    bool hasPalette_ = false;

    struct Listener {
        const void* Owner;
        TListener Callback;
    };
    std::vector<Listener> listeners_;
};

class TDXDraw : public TCustomDXDraw {
public:
    using TCustomDXDraw::TCustomDXDraw;
};

// ---------------------------------------------------------------------------------------
// Image list

class TPictureCollection;
class TCustomDXImageList;

struct TPictureCollectionItemPattern {
    TDirectDrawSurface* Surface = nullptr;
    platform::Rect Rect;
};

class TPictureCollectionItem : public THashCollectionItem {
public:
    explicit TPictureCollectionItem(TPictureCollection* collection);
    ~TPictureCollectionItem() override;

    TPictureCollection* PictureCollection() const;

    int Width() const;
    int Height() const;
    int NumPatterns() const { return static_cast<int>(patterns_.size()); }
    platform::Rect PatternBoxes(int i) const;
    TDirectDrawSurface* PatternSheets(int i) const;
    void Draw(TDirectDrawSurface* dest, int x, int y, int patternIndex);

    bool Initialized() const { return initialized_; }
    void Initialize();
    void Finalize();
    void Restore();

    // Copies another entry's settings and picture; rebuilds when initialised.
    void Assign(const TPictureCollectionItem& other);

    int PatternWidth() const { return patternWidth_; }
    int PatternHeight() const { return patternHeight_; }
    int SkipWidth() const { return skipWidth_; }
    int SkipHeight() const { return skipHeight_; }
    void SetPatternWidth(int v) { patternWidth_ = v < 0 ? 0 : v; }
    void SetPatternHeight(int v) { patternHeight_ = v < 0 ? 0 : v; }
    void SetSkipWidth(int v) { skipWidth_ = v < 0 ? 0 : v; }
    void SetSkipHeight(int v) { skipHeight_ = v < 0 ? 0 : v; }
    bool SystemMemory() const { return systemMemory_; }
    void SetSystemMemory(bool on) { systemMemory_ = on; }
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool on) { transparent_ = on; }
    TColor TransparentColor() const { return transparentColor_; }
    // Stores the colour and re-keys every surface the entry has.
    void SetTransparentColor(TColor color);

    // The picture; changing it does not rebuild the surfaces (the next restore does).
    platform::Picture& Picture() { return picture_; }
    const platform::Picture& Picture() const { return picture_; }
    void SetPicture(platform::Picture picture) { picture_ = std::move(picture); }
    // Loads a picture file named the program's way (backslashes, any letter case).
    void LoadPictureFromFile(std::string_view programName);
    // Decodes a BMP or JPEG held in memory.
    void SetPictureFromBytes(const std::vector<uint8_t>& bytes);

    // Surfaces the entry made and owns.
    int SurfaceCount() const { return static_cast<int>(surfaces_.size()); }
    TDirectDrawSurface* Surfaces(int i) const { return surfaces_.at(static_cast<size_t>(i)).get(); }

private:
    void ClearSurfaces();
    TDirectDrawSurface* MakeSurface(const platform::Rect& pictureRect);

    int patternWidth_ = 0, patternHeight_ = 0, skipWidth_ = 0, skipHeight_ = 0;
    bool systemMemory_ = false;
    bool transparent_ = true;
    TColor transparentColor_ = clBlack;
    platform::Picture picture_;
    bool initialized_ = false;
    std::vector<TPictureCollectionItemPattern> patterns_;
    std::vector<std::unique_ptr<TDirectDrawSurface>> surfaces_;
};

class TPictureCollection : public THashCollection {
public:
    explicit TPictureCollection(TCustomDXImageList* owner = nullptr) : owner_(owner) {}
    ~TPictureCollection() override;

    TCustomDXImageList* Owner() const { return owner_; }
    TPictureCollectionItem* Items(int i) const;
    TPictureCollectionItem* Add();  // a new entry with the empty name
    TPictureCollectionItem* Add(const std::string& name);
    // Raises EPictureCollectionError "Image '%s' not found".
    TPictureCollectionItem* Find(std::string_view name) const;

    TCustomDXDraw* DXDraw() const { return dxdraw_; }
    bool Initialized() const { return dxdraw_ && dxdraw_->Initialized(); }
    void Initialize(TCustomDXDraw* dxdraw);
    void Finalize();
    void Restore();

    TRGBQuads ColorTable{};
    void BuildColorTable();

private:
    friend class TCustomDXImageList;
    TCustomDXImageList* owner_;
    TCustomDXDraw* dxdraw_ = nullptr;
};

class TCustomDXImageList {
public:
    explicit TCustomDXImageList(TForm* owner = nullptr);
    virtual ~TCustomDXImageList();
    TCustomDXImageList(const TCustomDXImageList&) = delete;
    TCustomDXImageList& operator=(const TCustomDXImageList&) = delete;

    TPictureCollection& Items() { return items_; }
    TCustomDXDraw* DXDraw() const { return dxdraw_; }
    // Unregisters from the old display and registers with the new one.
    void SetDXDraw(TCustomDXDraw* dxdraw);
    TForm* Owner() const { return owner_; }

private:
    void DXDrawNotifyEvent(TDXDrawNotifyType kind);
    TForm* owner_;
    TPictureCollection items_{this};
    TCustomDXDraw* dxdraw_ = nullptr;
};

class TDXImageList : public TCustomDXImageList {
public:
    using TCustomDXImageList::TCustomDXImageList;
};
