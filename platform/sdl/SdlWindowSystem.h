// The window system on SDL2: borderless windows presented through SDL's 2D renderer (one
// streaming texture per window, scaled sharp), SDL events translated into the program's
// messages, window timers, message boxes, frame pacing and full screen on the fly.
//
// Sizes and places of windows are in the program's own pixels. Windows are shown at a whole
// scale k (the largest multiple of the program's display size that fits the desktop's usable
// area, in real pixels), so one of the program's pixels covers k x k pixels of the screen
// and ScreenSize answers the screen's size divided by k. Mouse positions come back in each
// window's own coordinates whatever the scale.
//
// The first window made is the application's main window: its presentations are paced to
// the display (settings pacing and frame_rate), and Alt+Enter or F11 switch it between
// window and full screen; the switch is reported as a FullScreenChange message.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/MessageQueue.h"
#include "platform/Platform.h"
#include "platform/sdl/Presentation.h"
#include "platform/sdl/SdlClock.h"
#include "platform/sdl/SdlPtrs.h"
#include "platform/sdl/SdlWindow.h"
#include "platform/sdl/StepClock.h"

struct SDL_KeyboardEvent;
union SDL_Event;

namespace platform::sdl {

class SdlWindowSystem : public IWindowSystem {
public:
    // Starts SDL's video, event and timer parts; throws std::runtime_error when it cannot.
    // design: the program's display size, which decides the window scale. Reads the settings
    // in force (scaling, pacing, frame_rate, fullscreen_mode).
    explicit SdlWindowSystem(Size design = {800, 600});
    ~SdlWindowSystem() override;
    SdlWindowSystem(const SdlWindowSystem&) = delete;
    SdlWindowSystem& operator=(const SdlWindowSystem&) = delete;

    std::unique_ptr<IWindow> CreateWindow(const std::string& caption, const Rect& bounds) override;
    bool PeekMessage(Message& msg) override;
    void WaitMessage(int timeoutMs) override;
    void PostMessage(const Message& msg) override;
    void SetTimer(uint32_t window, int id, int intervalMs) override;
    void KillTimer(uint32_t window, int id) override;
    void ShowMessageBox(const std::string& title, const std::string& text) override;
    // A message box of the program's own drawing (the game's font, centred), where SDL's
    // cannot show: answered by Enter, Escape, Space, a click on its OK button or closing it.
    // False when not even a window could be made.
    bool ShowDrawnMessageBox(const std::string& title, const std::string& text);
    Size ScreenSize() override;
    std::vector<DisplayMode> DisplayModes() override;
    uint32_t FocusWindow() override { return queue_.Focus(); }
    void GetKeyboardState(uint8_t vk[256]) override { queue_.GetKeyboardState(vk); }
    void GetScanCodeState(uint8_t sc[256]) override { queue_.GetScanCodeState(sc); }

    // SDL events the window system does not translate itself (the game pads') are handed to
    // this hook, which gives its messages to PushInput.
    using EventHook = std::function<void(const SDL_Event&)>;
    void SetEventHook(EventHook hook) { eventHook_ = std::move(hook); }
    // A message from the hook: pad presses go to the window holding the keyboard focus (and
    // nowhere while none of ours has it); other messages to the application.
    void PushInput(Message msg);
    // One SDL event into the program's messages, as the pump does: also for an event that
    // never went through SDL's queue (SDL 3 refuses some SDL 2 event types there).
    void Translate(const SDL_Event& e);

    IClock& Clock() { return clock_; }
    // True on a driver without a desktop (dummy, offscreen): focus changes are ours to make.
    bool Headless() const { return headless_; }
    // The whole scale windows are shown at.
    int WindowScaleFactor() const { return scale_; }
    // Switches the main window between window and full screen, as Alt+Enter does.
    void ToggleFullScreen();
    // Frames a second the main window is paced to (0: unpaced), and whether the wait is
    // ours (true) or the renderer's refresh wait (false).
    double PacedRate() const;
    bool TimedPacing() const;
    // Enlarged pictures are scaled by the renderer (nearest to a whole multiple, then
    // smoothed down) instead of by our own scaler: the earlier way, kept to compare the two.
    void UseRendererScaling(bool on) { rendererScaling_ = on; }
    // Whether windows made from now on are drawn straight into their framebuffers where that
    // serves (false: through SDL's renderer, the earlier way, kept to compare the two).
    void UseWindowSurfaces(bool on) { surfaces_ = on && surfacesPossible_; }
    // The renderer the windows use ("software", "opengl", ...; "framebuffer" when a window
    // is drawn straight into its own), once one exists.
    std::string RendererName() const;

private:
    friend class SdlWindow;
    void Pump();
    bool FullScreenKey(const SDL_KeyboardEvent& key);
    bool FocusComingToUs();
    SdlWindow* Find(uint32_t id) const;
    void Forget(SdlWindow* w);
    void ChooseRenderer();
    void UpdateScale(SDL_Window* sample);
    int ToPoints(int programPixels) const;
    // The main window's frame wait: events keep arriving into the queue meanwhile. False:
    // the picture is not to be presented (the step's refresh has gone; the next one shows).
    bool PaceFrame(SdlWindow* w);
    // The present began at `called` (the clock's counter) and has just returned.
    void FramePresented(SdlWindow* w, uint64_t called);
    // The timed part of the wait, also for a frame that is not shown.
    void WaitForTurn(uint64_t until);
    void FrameSkipped(SdlWindow* w);
    void StartPacing(SdlWindow* w);
    // The main window moved: on another display the refresh is measured again.
    void DisplayMayHaveChanged(SdlWindow* w);
    Size ScreenSizeInPoints();
    void MapMouse(uint32_t window, int x, int y, Message& m);

    SdlClock clock_;
    MessageQueue queue_;
    std::vector<SdlWindow*> windows_;
    uint32_t wakeEvent_ = 0;
    std::atomic<bool> wakePending_{false};
    bool headless_ = false;
    bool wayland_ = false;

    Size design_;
    Scaling scaling_ = Scaling::Auto;
    Pacing pacing_ = Pacing::Display;
    int frameRate_ = 60;
    bool exclusive_ = false;
    int scale_ = 1;
    int pixelsPerPoint_ = 1;
    bool pixelsMeasured_ = false;
    int rendererIndex_ = -1;  // -1: SDL's choice
    uint32_t mainId_ = 0;
    std::vector<int> swallowedKeys_;  // scan codes whose key-up is not the program's

    static constexpr int kStepsPerSecond = 60;
    StepClock steps_;
    int pacedDisplay_ = -1;
    bool rendererScaling_ = false;
    // Where SDL's software renderer would draw (X11, no GPU; the headless drivers), windows
    // are drawn straight into their framebuffers instead.
    bool surfaces_ = false;
    bool surfacesPossible_ = false;
    bool vsyncAsked_ = false;
    bool vsyncClaimed_ = false;  // the main window's renderer says it waits for the refresh
    uint64_t ticksPerSecond_ = 1;

    EventHook eventHook_;
};

}  // namespace platform::sdl
