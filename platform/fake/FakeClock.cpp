// A clock for tests: time moves only when the test moves it.
#include "platform/fake/FakeClock.h"

namespace platform::fake {

bool FakeClock::PerformanceCounter(uint64_t& value) {
    if (!counterAvailable_) return false;
    value = counterSet_ ? counter_ : now_ * 1000;
    return true;
}

void FakeClock::Sleep(int milliseconds) {
    if (milliseconds <= 0) return;
    now_ += static_cast<uint64_t>(milliseconds);
    slept_ += static_cast<uint64_t>(milliseconds);
}

}  // namespace platform::fake
