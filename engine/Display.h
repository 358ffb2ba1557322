// The display component: lifecycle, listeners, options, surface size, palette and cursor.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "engine/Colors.h"
#include "engine/DisplayModes.h"
#include "engine/DisplayOptions.h"
#include "engine/DrawErrors.h"
#include "platform/Platform.h"

class TForm;
class TDirectDrawSurface;
class TDXDrawDriver;

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

    TDirectDrawSurface* Surface() const;  // back buffer; null when not initialised
    TDirectDrawSurface* Primary() const;  // null when not initialised
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

    TNotifyEvent OnInitializing, OnInitialize, OnInitializeSurface, OnRestoreSurface, OnFinalizeSurface, OnFinalize;

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
    void ResizeSurface(int w, int h);
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
