// The machine's clocks through SDL.
#pragma once

#include "platform/Platform.h"

namespace platform::sdl {

class SdlClock : public IClock {
public:
    uint32_t Milliseconds() override;  // low 32 bits of SDL's 64-bit tick count
    bool PerformanceCounter(uint64_t& value) override;
    void Sleep(int milliseconds) override;
};

}  // namespace platform::sdl
