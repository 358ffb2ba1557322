// The runtime's random generator.
#include "game/state/Random.h"

#include "platform/Platform.h"

uint32_t RandSeed = 0;

int32_t Random(int32_t n) {
    RandSeed = RandSeed * 134775813u + 1u;
    return static_cast<int32_t>((static_cast<uint64_t>(RandSeed) * static_cast<uint32_t>(n)) >> 32);
}

void Randomize() {
    platform::IClock* clock = platform::Current().Clock;
    if (!clock) return;
    uint64_t counter = 0;
    if (clock->PerformanceCounter(counter)) RandSeed = static_cast<uint32_t>(counter);
    else RandSeed = clock->Milliseconds();
}
