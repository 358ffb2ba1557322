// The step schedule and the refresh measurement.
#include "platform/sdl/StepClock.h"

#include <algorithm>
#include <cmath>

namespace platform::sdl {

RefreshMeter::Verdict RefreshMeter::Presented(uint64_t called, uint64_t returned) {
    if (verdict_ != Verdict::Unknown) return verdict_;
    const uint64_t last = lastReturn_;
    lastReturn_ = returned;
    ++presents_;
    // A presentation that comes back within a quarter of a millisecond did not wait.
    const bool waited = returned - called >= tps_ / 4000;
    unblocked_ = waited ? 0 : unblocked_ + 1;
    if (unblocked_ >= kMinOnes * 2) return verdict_ = Verdict::NoWait;
    // Presentations that waited come back at refreshes, so the time between two is a whole
    // number of refreshes: one when the step's work fitted in a refresh, more when it did not.
    // Only rates from 40 to 420 Hz are believed.
    if (waited && last != 0 && returned > last) {
        const uint64_t gap = returned - last;
        if (gap >= tps_ / 420 && gap <= tps_ / 40 && count_ < kMaxPresents) gaps_[count_++] = gap;
    }
    if (count_ >= kSamples) {
        // The shortest gap is one refresh when the others are whole multiples of it and a
        // few are it again; a renderer's own work scatters instead.
        const uint64_t shortest = *std::min_element(gaps_, gaps_ + count_);
        const uint64_t slack = shortest / 20;
        int ones = 0;
        bool whole = true;
        uint64_t sum = 0;
        for (int i = 0; i < count_; ++i) {
            const uint64_t n = (gaps_[i] + shortest / 2) / shortest;
            const uint64_t off = gaps_[i] > n * shortest ? gaps_[i] - n * shortest : n * shortest - gaps_[i];
            whole = whole && off <= slack * n;
            if (n == 1) ++ones, sum += gaps_[i];
        }
        if (whole && ones >= kMinOnes) {
            period_ = sum / static_cast<uint64_t>(ones);
            return verdict_ = Verdict::Measured;
        }
    }
    if (presents_ >= kMaxPresents) verdict_ = Verdict::NoWait;
    return verdict_;
}

void StepClock::Start(uint64_t ticksPerSecond, int stepsPerSecond, bool presentsWait) {
    *this = StepClock();
    tps_ = std::max<uint64_t>(1, ticksPerSecond);
    rate_ = std::max(0, stepsPerSecond);
    vsync_ = presentsWait && rate_ > 0;
    meter_ = RefreshMeter(tps_);
}

double StepClock::RefreshHz() const { return refresh_ > 0 ? static_cast<double>(tps_) / refresh_ : 0.0; }

int StepClock::LockedRefreshes() const {
    if (!AimsAtRefresh() || rate_ <= 0) return 0;
    const double hz = RefreshHz();
    const long k = std::lround(hz / rate_);
    return k >= 1 && std::abs(hz - static_cast<double>(k * rate_)) <= 0.005 * static_cast<double>(k * rate_)
               ? static_cast<int>(k)
               : 0;
}

uint64_t StepClock::Due() const {
    const double period = locked_ ? locked_ * refresh_ : static_cast<double>(tps_) / rate_;
    return origin_ + static_cast<uint64_t>(std::llround(static_cast<double>(index_) * period));
}

StepClock::Turn StepClock::Next(uint64_t now, bool canShow) {
    pending_ = 0;
    if (rate_ == 0) return {0, canShow};
    if (origin_ == 0) origin_ = std::max<uint64_t>(1, now);
    const uint64_t period = tps_ / static_cast<uint64_t>(rate_);
    uint64_t due = Due();
    if (now > due + 2 * period && !Measuring()) {
        // A stall (loading, a hidden window): a new schedule from now, no burst of steps.
        // (Measuring on a display slower than the steps falls behind less than that, and
        // catches up by leaving pictures out.)
        origin_ = now;
        index_ = 0;
        due = now;
        lastTarget_ = 0;
        late_ = false;
    }
    if (!canShow) return {due, false};
    if (Measuring()) return {0, true};  // back to back until the refresh is known
    if (!AimsAtRefresh() || lastVblank_ == 0) return {due, true};

    // Aim at the first refresh at or after the step's time, counted from the refresh the
    // previous step was aimed at. Between the whole numbers of refreshes around the ratio, so
    // a little error in a predicted refresh never shows one step one refresh too long (a
    // shorter step only to catch up after a late one), and in lock mode exactly the lock.
    const double r = refresh_;
    const double perStep = locked_ ? locked_ : static_cast<double>(tps_) / rate_ / r;
    const uint64_t base = lastTarget_ ? lastTarget_ : lastVblank_;
    long m = static_cast<long>(std::ceil((static_cast<double>(due) - static_cast<double>(base)) / r));
    if (lastTarget_) {
        const long lo = static_cast<long>(std::floor(perStep)), hi = static_cast<long>(std::ceil(perStep));
        m = late_ ? std::clamp(m, 0L, hi) : std::clamp(m, lo, hi);
    } else {
        m = std::max(m, 1L);
    }
    pending_ = base + static_cast<uint64_t>(std::llround(static_cast<double>(m) * r));
    if (m == 0) return {due, false};  // this step's refresh has already gone: shown by the next
    // Present half a refresh early: it waits for the aimed refresh and lands on it even when
    // the wake-up is a little late or the prediction a little off.
    return {pending_ - static_cast<uint64_t>(r / 2), true};
}

void StepClock::Shown(uint64_t called, uint64_t returned) {
    if (rate_ == 0) return;
    ++index_;
    if (Measuring()) {
        if (meter_.Presented(called, returned) != RefreshMeter::Verdict::Measured) return;
        refresh_ = static_cast<double>(meter_.Period());
        lastVblank_ = returned;
        lastTarget_ = 0;
        const uint64_t due = Due();
        locked_ = LockedRefreshes();
        if (locked_) {
            // The lock's schedule starts half a refresh before the first refresh at or after
            // the step's time on the wall clock (steps that ran ahead while measuring wait).
            const double m = due > returned ? std::ceil(static_cast<double>(due - returned) / refresh_) : 1.0;
            origin_ = returned + static_cast<uint64_t>(std::llround((m - 0.5) * refresh_));
            index_ = 0;
        }
        return;
    }
    if (!AimsAtRefresh()) return;
    const double r = refresh_;
    if (pending_ == 0) {  // shown without an aim (no previous refresh known)
        lastVblank_ = returned;
        lastTarget_ = 0;
        return;
    }
    if (returned + static_cast<uint64_t>(r / 4) >= pending_ && returned <= pending_ + static_cast<uint64_t>(r / 2)) {
        // On the aimed refresh: follow the display's real period as it shows itself.
        const double n = std::round(static_cast<double>(returned - lastVblank_) / r);
        if (lastVblank_ && n >= 1 && n <= 8) {
            const double sample = static_cast<double>(returned - lastVblank_) / n;
            if (std::abs(sample - r) < 0.02 * r) refresh_ += (sample - r) / 16;
        }
        lastVblank_ = lastTarget_ = returned;
        late_ = false;
    } else if (returned > pending_) {
        // Landed on a later refresh: the next step may be shown for less to catch up.
        lastVblank_ = lastTarget_ = returned;
        late_ = true;
        return;
    } else {
        // Came back without waiting: keep to the predicted refreshes.
        lastTarget_ = pending_;
        late_ = false;
    }
    const int k = LockedRefreshes();
    if (k != locked_) {
        // The refined refresh crossed a lock's edge: a new schedule from the next step.
        const uint64_t due = Due();
        locked_ = k;
        origin_ = due;
        index_ = 0;
    } else if (locked_) {
        origin_ = pending_ - static_cast<uint64_t>(r / 2);
        index_ = 1;
    }
}

void StepClock::NotShown(uint64_t) {
    if (rate_ == 0) return;
    ++index_;
    lastTarget_ = pending_;  // 0 when the step had no aim: the next one starts afresh
    late_ = false;
}

}  // namespace platform::sdl
