// A clock for tests: time moves only when the test moves it.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

namespace platform::fake {

class FakeClock : public IClock {
public:
    explicit FakeClock(uint64_t startMs = 0) : now_(startMs) {}

    // Milliseconds() is the low 32 bits, so a test can start near 2^32 to cross the wrap.
    void Set(uint64_t ms) { now_ = ms; }
    void Advance(uint64_t ms) { now_ += ms; }
    uint64_t Now() const { return now_; }

    // The performance counter reads Now() * 1000 unless a value was set; it can be
    // switched off to act as a machine without one.
    void SetPerformanceCounter(uint64_t value) {
        counter_ = value;
        counterSet_ = true;
    }
    void SetPerformanceCounterAvailable(bool available) { counterAvailable_ = available; }

    // Sleep advances the clock; the total is kept for tests that check a pause happened.
    uint64_t TotalSlept() const { return slept_; }

    uint32_t Milliseconds() override { return static_cast<uint32_t>(now_); }
    bool PerformanceCounter(uint64_t& value) override;
    void Sleep(int milliseconds) override;

private:
    uint64_t now_;
    uint64_t counter_ = 0;
    bool counterSet_ = false;
    bool counterAvailable_ = true;
    uint64_t slept_ = 0;
};

}  // namespace platform::fake
