// The main window's frame pacing: the step clock set from the settings and the renderer, the
// timed wait, and what each presentation tells the clock about the display.
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/sdl/SdlWindowSystem.h"

namespace platform::sdl {

void SdlWindowSystem::StartPacing(SdlWindow* w) {
    // The game's rules count frame steps, so the display pacing runs them at sixty a second
    // whatever the refresh; the refresh only decides when each picture is shown.
    int rate = 0;
    if (pacing_ == Pacing::Fixed) rate = frameRate_ > 0 ? frameRate_ : 60;
    else if (pacing_ == Pacing::Display) rate = kStepsPerSecond;
    vsyncClaimed_ = false;
    SDL_RendererInfo info{};
    if (pacing_ == Pacing::Display && w->renderer_ && SDL_GetRendererInfo(w->renderer_.get(), &info) == 0)
        vsyncClaimed_ = (info.flags & SDL_RENDERER_PRESENTVSYNC) && std::strcmp(info.name, "software") != 0;
    // The claim is not proof: the first presentations are timed to see whether it holds, and
    // how long a refresh really is (SDL's figure can be 0, truncated or wrong).
    steps_.Start(ticksPerSecond_, rate, vsyncClaimed_);
    pacedDisplay_ = w->window_ ? SDL_GetWindowDisplayIndex(w->window_.get()) : -1;
}

void SdlWindowSystem::DisplayMayHaveChanged(SdlWindow* w) {
    if (w && w->id_ == mainId_ && w->window_ && SDL_GetWindowDisplayIndex(w->window_.get()) != pacedDisplay_)
        StartPacing(w);  // another display, maybe another refresh: measured again
}

bool SdlWindowSystem::PaceFrame(SdlWindow*) {
    const StepClock::Turn turn = steps_.Next(SDL_GetPerformanceCounter());
    WaitForTurn(turn.WaitUntil);
    if (!turn.Show) steps_.NotShown(SDL_GetPerformanceCounter());
    return turn.Show;
}

void SdlWindowSystem::FrameSkipped(SdlWindow*) {
    if (steps_.StepsPerSecond() == 0) {
        // Unpaced, an unseen frame still rests a 60 Hz frame's time: skipping frames (a window
        // that cannot show one) as fast as the processor can would only keep it busy.
        WaitForTurn(SDL_GetPerformanceCounter() + ticksPerSecond_ / 60);
        return;
    }
    // Nothing is presented, so no renderer waits for the display: the timed wait always does.
    WaitForTurn(steps_.Next(SDL_GetPerformanceCounter(), false).WaitUntil);
    steps_.NotShown(SDL_GetPerformanceCounter());
}

void SdlWindowSystem::WaitForTurn(uint64_t until) {
    for (;;) {
        const uint64_t now = SDL_GetPerformanceCounter();
        if (now >= until) return;
        const uint64_t delay = until - now;
        const uint64_t ms = delay * 1000 / ticksPerSecond_;
        if (ms < 2) {
            // The last stretch is slept exactly: a refresh at 360 Hz lasts under 3 ms.
            std::this_thread::sleep_for(std::chrono::nanoseconds(delay * 1'000'000'000 / ticksPerSecond_));
            return;
        }
        // Wait for events rather than sleep blindly: keys, timers and music notices that
        // arrive meanwhile are queued at once and handled right after this frame.
        SDL_Event e;
        if (SDL_WaitEventTimeout(&e, static_cast<int>(ms - 1))) Translate(e);
    }
}

void SdlWindowSystem::FramePresented(SdlWindow*, uint64_t called) { steps_.Shown(called, SDL_GetPerformanceCounter()); }

double SdlWindowSystem::PacedRate() const { return steps_.StepsPerSecond(); }

bool SdlWindowSystem::TimedPacing() const {
    return steps_.StepsPerSecond() != 0 && !steps_.AimsAtRefresh() && !steps_.Measuring();
}

}  // namespace platform::sdl
