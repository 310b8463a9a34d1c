#pragma once

// A clock that moves only when the test says: timers fall due as it is moved forward, and the date can be set
// back or forward without moving the steady clock, as a user or a time service may set it.

#include "Clock.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

namespace calamo::testing {

class FakeClock final : public Clock {
public:
    qint64 steadyMs() const override { return now_; }
    QDateTime wallNow() const override { return kStart.addMSecs(now_ + dateShift_); }
    std::unique_ptr<ClockTimer> makeTimer(std::function<void()> handler, bool repeating) override
    {
        return std::make_unique<Timer>(*this, std::move(handler), repeating);
    }

    // Moves time `ms` forward, running every timer that falls due on the way at its own moment, in order.
    void advance(qint64 ms)
    {
        const qint64 end = now_ + ms;
        for (;;) {
            const auto next = std::min_element(timers_.begin(), timers_.end(), [](const Timer* a, const Timer* b) {
                return a->due.value_or(kNever) < b->due.value_or(kNever);
            });
            if (next == timers_.end() || (*next)->due.value_or(kNever) > end)
                break;
            Timer& timer = **next;
            now_ = *timer.due;
            timer.due = timer.repeating ? std::optional(now_ + std::max(timer.interval, 1)) : std::nullopt;
            timer.handler();
        }
        now_ = end;
    }
    // Sets the date `ms` forward (back when negative); the steady clock stays.
    void shiftDate(qint64 ms) { dateShift_ += ms; }

private:
    static constexpr qint64 kNever = std::numeric_limits<qint64>::max();
    static inline const QDateTime kStart = QDateTime(QDate(2026, 12, 9), QTime(8, 0), Qt::UTC);

    struct Timer final : ClockTimer {
        Timer(FakeClock& clock, std::function<void()> handler, bool repeating)
            : clock(clock),
              handler(std::move(handler)),
              repeating(repeating)
        {
            clock.timers_.push_back(this);
        }
        ~Timer() override { std::erase(clock.timers_, this); }
        void start(int ms) override
        {
            interval = ms;
            due = clock.now_ + ms;
        }
        void stop() override { due.reset(); }
        bool isActive() const override { return due.has_value(); }

        FakeClock& clock;
        std::function<void()> handler;
        bool repeating;
        int interval = 0;
        std::optional<qint64> due;
    };

    qint64 now_ = 0;
    qint64 dateShift_ = 0;
    std::vector<Timer*> timers_;
};

}  // namespace calamo::testing
