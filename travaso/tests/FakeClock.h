#pragma once

#include "Clock.h"

namespace travaso {

// A clock that moves only when the test moves it, or by step at every reading.
class FakeClock : public Clock {
public:
    TimePoint Now() const override { return now += step; }
    void Advance(std::chrono::milliseconds span) { now += span; }

    mutable TimePoint now{};
    std::chrono::milliseconds step{0};
};

}  // namespace travaso
