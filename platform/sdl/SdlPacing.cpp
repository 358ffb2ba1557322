// The main window's frame pacing: the period from the settings and the display, the check
// of the renderer's refresh wait, and the timed wait.
#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/sdl/SdlWindowSystem.h"

namespace platform::sdl {

void SdlWindowSystem::StartPacing(SdlWindow* w) {
    double rate = 0;
    if (pacing_ == Pacing::Fixed) {
        rate = frameRate_ > 0 ? frameRate_ : 60;
    } else if (pacing_ == Pacing::Display) {
        SDL_DisplayMode m{};
        const int display = w->window_ ? std::max(0, SDL_GetWindowDisplayIndex(w->window_.get())) : 0;
        // A display that does not say (Xvfb says 0) is taken as the usual 60 Hz.
        rate = (SDL_GetCurrentDisplayMode(display, &m) == 0 && m.refresh_rate > 0) ? m.refresh_rate : 60;
    }
    const uint64_t period = rate > 0 ? static_cast<uint64_t>(static_cast<double>(ticksPerSecond_) / rate) : 0;
    pacer_.SetPeriod(period);
    vsyncClaimed_ = false;
    SDL_RendererInfo info{};
    if (pacing_ == Pacing::Display && w->renderer_ && SDL_GetRendererInfo(w->renderer_.get(), &info) == 0)
        vsyncClaimed_ = (info.flags & SDL_RENDERER_PRESENTVSYNC) && std::strcmp(info.name, "software") != 0;
    // The claim is not proof: the first frames are timed to see whether it holds.
    probe_ = VsyncProbe(vsyncClaimed_ ? period : 0);
}

void SdlWindowSystem::PaceFrame(SdlWindow*) {
    if (pacer_.Period() == 0) return;
    if (vsyncClaimed_ && probe_.Result() != VsyncProbe::Verdict::Ignored) return;  // the renderer waits
    WaitForTurn();
}

void SdlWindowSystem::FrameSkipped(SdlWindow*) {
    // Nothing is presented, so no renderer waits for the display: the timed wait always does.
    if (pacer_.Period() == 0) {
        // Unpaced, an unseen frame still rests a 60 Hz frame's time: skipping frames (a window
        // that cannot show one) as fast as the processor can would only keep it busy.
        FramePacer rest;
        rest.SetPeriod(ticksPerSecond_ / 60);
        rest.Presented(SDL_GetPerformanceCounter());
        WaitOut(rest);
        return;
    }
    WaitForTurn();
    pacer_.Presented(SDL_GetPerformanceCounter());
}

void SdlWindowSystem::WaitForTurn() { WaitOut(pacer_); }

void SdlWindowSystem::WaitOut(const FramePacer& pacer) {
    for (;;) {
        const uint64_t delay = pacer.Delay(SDL_GetPerformanceCounter());
        if (delay == 0) return;
        // Wait for events rather than sleep blindly: keys, timers and music notices that
        // arrive meanwhile are queued at once and handled right after this frame.
        const int ms = static_cast<int>((delay * 1000 + ticksPerSecond_ - 1) / ticksPerSecond_);
        SDL_Event e;
        if (SDL_WaitEventTimeout(&e, std::max(1, ms))) Translate(e);
    }
}

void SdlWindowSystem::FramePresented(SdlWindow*) {
    const uint64_t now = SDL_GetPerformanceCounter();
    if (vsyncClaimed_) probe_.Presented(now);
    pacer_.Presented(now);
}

double SdlWindowSystem::PacedRate() const {
    return pacer_.Period() ? static_cast<double>(ticksPerSecond_) / static_cast<double>(pacer_.Period()) : 0.0;
}

bool SdlWindowSystem::TimedPacing() const {
    return pacer_.Period() != 0 && (!vsyncClaimed_ || probe_.Result() == VsyncProbe::Verdict::Ignored);
}

}  // namespace platform::sdl
