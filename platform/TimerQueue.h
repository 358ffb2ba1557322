// Window timers as due times on a 32-bit millisecond clock, shared by every window system.
//
// No threads: the message loop asks for a due timer whenever its queue is empty, so a
// timer message is low priority and several missed periods coalesce into one message,
// as window timers always have.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

class TimerQueue {
public:
    // (Re)starts the timer (window, id): first due intervalMs after now.
    void Set(uint32_t window, int id, int intervalMs, uint32_t now);
    void Kill(uint32_t window, int id);
    void KillWindow(uint32_t window);
    void Clear() { entries_.clear(); }

    // Takes the most overdue timer (ties: the one set first) and schedules its next period
    // after now. False when none is due.
    bool TakeDue(uint32_t now, uint32_t& window, int& id);
    // Milliseconds until the next timer is due: 0 when one is due now, -1 when none is set.
    int MsUntilNext(uint32_t now) const;

    bool Has(uint32_t window, int id) const;
    int Interval(uint32_t window, int id) const;  // -1 when not set
    bool Empty() const { return entries_.empty(); }

private:
    struct Entry {
        uint32_t Window;
        int Id;
        uint32_t Interval;
        uint32_t Due;
        uint64_t Order;
    };
    std::vector<Entry> entries_;
    uint64_t nextOrder_ = 0;
};

}  // namespace platform
