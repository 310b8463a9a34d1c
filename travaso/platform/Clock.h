#pragma once

#include <chrono>

namespace travaso {

// Time as the copier's window sees it: handed in, so that tests set it instead of waiting for it.
class Clock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    virtual ~Clock() = default;
    virtual TimePoint Now() const = 0;
};

// The machine's monotonic clock.
class SteadyClock : public Clock {
public:
    TimePoint Now() const override { return std::chrono::steady_clock::now(); }
};

}  // namespace travaso
