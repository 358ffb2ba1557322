// Window timers as due times on a wrapping millisecond clock.
#include "platform/TimerQueue.h"

#include <algorithm>

namespace platform {

namespace {
// Signed distance a - b on the wrapping clock; valid while timers are less than 24 days away.
int32_t Diff(uint32_t a, uint32_t b) { return static_cast<int32_t>(a - b); }
}  // namespace

void TimerQueue::Set(uint32_t window, int id, int intervalMs, uint32_t now) {
    Kill(window, id);
    uint32_t interval = intervalMs < 1 ? 1u : static_cast<uint32_t>(intervalMs);
    entries_.push_back({window, id, interval, now + interval, nextOrder_++});
}

void TimerQueue::Kill(uint32_t window, int id) {
    std::erase_if(entries_, [&](const Entry& e) { return e.Window == window && e.Id == id; });
}

void TimerQueue::KillWindow(uint32_t window) {
    std::erase_if(entries_, [&](const Entry& e) { return e.Window == window; });
}

bool TimerQueue::TakeDue(uint32_t now, uint32_t& window, int& id) {
    Entry* best = nullptr;
    for (Entry& e : entries_) {
        if (Diff(now, e.Due) < 0) continue;
        if (!best || Diff(e.Due, best->Due) < 0 || (e.Due == best->Due && e.Order < best->Order)) best = &e;
    }
    if (!best) return false;
    window = best->Window;
    id = best->Id;
    // Periods missed while nobody asked collapse into this one message.
    uint32_t missed = static_cast<uint32_t>(Diff(now, best->Due)) / best->Interval + 1;
    best->Due += missed * best->Interval;
    return true;
}

int TimerQueue::MsUntilNext(uint32_t now) const {
    int best = -1;
    for (const Entry& e : entries_) {
        int d = std::max(0, static_cast<int>(Diff(e.Due, now)));
        if (best < 0 || d < best) best = d;
    }
    return best;
}

bool TimerQueue::Has(uint32_t window, int id) const { return Interval(window, id) >= 0; }

int TimerQueue::Interval(uint32_t window, int id) const {
    for (const Entry& e : entries_)
        if (e.Window == window && e.Id == id) return static_cast<int>(e.Interval);
    return -1;
}

}  // namespace platform
