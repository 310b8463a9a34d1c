#pragma once

// The program's time behind one small interface: SystemClock for the program, a fake in tests that moves only
// when told, so that nothing waits real seconds and a date set back or forward can be tried.

#include <QDateTime>

#include <functional>
#include <memory>

namespace calamo {

// A timer on a Clock: runs its handler on the event loop of the thread that made it, `ms` after start (each
// start counts from its own moment), then again every `ms` when repeating. Stopped when destroyed.
class ClockTimer {
public:
    virtual ~ClockTimer() = default;
    virtual void start(int ms) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds on a clock that setting the date never moves, for measuring waits; only differences count.
    virtual qint64 steadyMs() const = 0;
    // The date and time now, in UTC: for what the user reads, never for measuring a wait.
    virtual QDateTime wallNow() const = 0;
    virtual std::unique_ptr<ClockTimer> makeTimer(std::function<void()> handler, bool repeating) = 0;
};

// The system's steady clock and date, and the toolkit's timers (which run on the steady clock).
class SystemClock final : public Clock {
public:
    qint64 steadyMs() const override;
    QDateTime wallNow() const override;
    std::unique_ptr<ClockTimer> makeTimer(std::function<void()> handler, bool repeating) override;
};

}  // namespace calamo
