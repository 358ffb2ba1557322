// The machine's clocks through SDL.
#include "platform/sdl/SdlClock.h"

#include <SDL_timer.h>

namespace platform::sdl {

uint32_t SdlClock::Milliseconds() { return static_cast<uint32_t>(SDL_GetTicks64()); }

bool SdlClock::PerformanceCounter(uint64_t& value) {
    value = SDL_GetPerformanceCounter();
    return true;
}

void SdlClock::Sleep(int milliseconds) {
    if (milliseconds > 0) SDL_Delay(static_cast<uint32_t>(milliseconds));
}

}  // namespace platform::sdl
